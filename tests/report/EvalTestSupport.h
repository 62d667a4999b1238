#pragma once

#include "report/expressions/Evaluator.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <ostream>

// Shared by the expression tests: one-shot evaluation and a small in-memory table.
namespace EvalTest {

inline QString eval(
    const QString &text, TRpEvEnvironment *environment = nullptr, const TRpEvDataSetList *dataSets = nullptr)
{
    TRpEvaluator evaluator(environment, dataSets);
    TRpEvValue value;
    evaluator.ComputeOnce(text, value);
    return rpEvDescribe(value);
}

// Columns of typed values; `row` selects the current row.
class FakeTable : public IRpEvDataSet
{
public:
    struct Column
    {
        QString name;
        RpFieldKind kind;
        QList<QVariant> values;
    };

    FakeTable(QString name, QList<Column> columns)
        : m_name(std::move(name))
        , m_columns(std::move(columns))
    { }

    int row = 0;

    QString Name() const override { return m_name; }
    int FindField(const QString &fieldName) const override
    {
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i].name.compare(fieldName, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    QString FieldName(int index) const override { return m_columns[index].name; }
    RpFieldKind FieldKind(int index) const override { return m_columns[index].kind; }
    qint64 AsInteger(int index) const override { return value(index).toLongLong(); }
    double AsFloat(int index) const override { return value(index).toDouble(); }
    bool AsBoolean(int index) const override { return value(index).toBool(); }
    QString AsString(int index) const override { return value(index).toString(); }

private:
    QVariant value(int index) const { return m_columns[index].values.value(row); }

    QString m_name;
    QList<Column> m_columns;
};

} // namespace EvalTest

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
