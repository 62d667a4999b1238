#include "report/expressions/EvaluatorTable.h"

#include "store/DataSet.h"
#include "store/Fields.h"

QString RpEvTableDataSet::Name() const
{
    return m_table->objectName();
}

// Fields are looked up again by position on every read: a table recreates its default field objects each
// time it opens.
TField *RpEvTableDataSet::field(int index) const
{
    const auto &fields = m_table->Fields();
    return index >= 0 && index < int(fields.size()) ? fields[size_t(index)].get() : nullptr;
}

int RpEvTableDataSet::FindField(const QString &fieldName) const
{
    const auto &fields = m_table->Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i]->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString RpEvTableDataSet::FieldName(int index) const
{
    const TField *f = field(index);
    return f ? f->FieldName() : QString();
}

RpFieldKind RpEvTableDataSet::FieldKind(int index) const
{
    const TField *f = field(index);
    if (dynamic_cast<const TStringField *>(f))
        return RpFieldKind::String;
    if (dynamic_cast<const TIntegerField *>(f))
        return RpFieldKind::Integer;
    if (dynamic_cast<const TFloatField *>(f))
        return RpFieldKind::Float;
    if (dynamic_cast<const TDateTimeField *>(f))
        return RpFieldKind::DateTime;
    return RpFieldKind::Unknown;
}

qint64 RpEvTableDataSet::AsInteger(int index) const
{
    const TField *f = field(index);
    return f ? f->AsInteger() : 0;
}

double RpEvTableDataSet::AsFloat(int index) const
{
    const TField *f = field(index);
    return f ? f->AsNumber() : 0.0;
}

bool RpEvTableDataSet::AsBoolean(int) const
{
    // The table store has no Boolean field class; FieldKind never reports one.
    return false;
}

QString RpEvTableDataSet::AsString(int index) const
{
    const TField *f = field(index);
    if (!f)
        return QString();
    return dynamic_cast<const TDateTimeField *>(f) ? f->DisplayText() : f->AsString();
}
