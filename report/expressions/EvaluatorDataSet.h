#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// How the evaluator reads a field: the kind decides the kind of the expression value.
enum class RpFieldKind {
    String, // text fields: a string value
    Integer, // integer, small-integer, word and auto-increment fields: an integer value
    Float, // float, currency and BCD fields: a float value
    Boolean, // a Boolean value
    DateTime, // date, time and date-time fields: their display text as a string value
    Unknown, // any other field kind: the error "Field %s is of unknown type"
};

// A table whose fields report expressions may name (`Table.Field`, `[Field]`), positioned on its current
// row by whoever walks it. The evaluator looks fields up once when it compiles and reads them by index each
// time it computes. A null field reads as its kind's empty value: 0, 0.0, False, or an empty text.
class IRpEvDataSet
{
public:
    virtual ~IRpEvDataSet() = default;

    // The table's component name (`tblTransaction`).
    virtual QString Name() const = 0;
    // Index of the field of that name, compared without regard to case; -1 when there is none.
    virtual int FindField(const QString &fieldName) const = 0;
    virtual QString FieldName(int index) const = 0;
    virtual RpFieldKind FieldKind(int index) const = 0;

    // Current-row values. AsString serves text fields and the display text of date-time fields.
    virtual qint64 AsInteger(int index) const = 0;
    virtual double AsFloat(int index) const = 0;
    virtual bool AsBoolean(int index) const = 0;
    virtual QString AsString(int index) const = 0;
};

// The tables an evaluator may name fields of, in search order. Not owned.
using TRpEvDataSetList = std::vector<IRpEvDataSet *>;
