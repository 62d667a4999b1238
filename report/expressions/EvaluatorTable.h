#pragma once

#include "report/expressions/EvaluatorDataSet.h"

class TDataSet;
class TField;

// Serves the fields of a table object (a TMemTable) to report expressions, under the table's component
// name. Fields are read through their objects on the table's current row: text fields as strings,
// integer and auto-increment fields as integers, float and currency fields as floats, date-time fields as
// their display text; a field without a value reads as 0, 0.0 or an empty text. Field kinds the table
// has no field class for are of unknown type.
class RpEvTableDataSet : public IRpEvDataSet
{
public:
    explicit RpEvTableDataSet(TDataSet *table)
        : m_table(table)
    { }

    TDataSet *Table() const { return m_table; }

    QString Name() const override;
    int FindField(const QString &fieldName) const override;
    QString FieldName(int index) const override;
    RpFieldKind FieldKind(int index) const override;
    qint64 AsInteger(int index) const override;
    double AsFloat(int index) const override;
    bool AsBoolean(int index) const override;
    QString AsString(int index) const override;

private:
    TField *field(int index) const;

    TDataSet *m_table;
};
