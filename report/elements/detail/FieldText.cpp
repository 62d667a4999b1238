#include "report/elements/detail/FieldText.h"

#include "platform/Exceptions.h"
#include "store/DataSet.h"
#include "store/Fields.h"

QString fieldText(const QObject *dataSet, const QString &fieldName)
{
    const auto *table = qobject_cast<const TDataSet *>(dataSet);
    if (!table || fieldName.isEmpty())
        return QString();
    try {
        const TField *field = table->LookupField(fieldName);
        return field ? field->DisplayText() : QString();
    } catch (const Exception &) {
        return QString();
    }
}

QByteArray rawFieldBytes(const QObject *dataSet, const QString &fieldName)
{
    return fieldText(dataSet, fieldName).toLatin1();
}
