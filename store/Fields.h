#pragma once

#include "platform/DateTime.h"
#include "store/RecordStore.h"

#include <QChar>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

class TDataSet;

// Field types. The program's tables use ftAutoInc, ftInteger, ftString, ftCurrency and ftDateTime; the others
// name the columns a foreign table file may carry.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftTimeStamp,
    ftFMTBcd,
};

// The type's name as messages show it ("String", "Integer", "AutoInc", …).
QString fieldTypeName(TFieldType type);

// Field attributes; the bit values are those of the record store and the table file.
enum TFieldAttribute : quint16 {
    faHiddenCol = StoreAttr::Hidden,
    faReadonly = StoreAttr::ReadOnly,
    faRequired = StoreAttr::Required,
    faLink = StoreAttr::Link,
};
using TFieldAttributes = quint16;

class TFieldDef
{
public:
    TFieldDef() = default;
    TFieldDef(const QString &name, TFieldType dataType, int size = 0, TFieldAttributes attributes = 0)
        : Name(name)
        , DataType(dataType)
        , Size(size)
        , Attributes(attributes)
    { }

    QString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    TFieldAttributes Attributes = 0;

    bool Required() const { return Attributes & faRequired; }
    bool operator==(const TFieldDef &other) const = default;
};

class TFieldDefs
{
public:
    TFieldDef &Add(const QString &name, TFieldType dataType, int size = 0, TFieldAttributes attributes = 0);
    void Add(const TFieldDef &def) { m_defs.push_back(def); }
    void Clear() { m_defs.clear(); }
    int Count() const { return int(m_defs.size()); }
    bool isEmpty() const { return m_defs.empty(); }
    const TFieldDef &operator[](int index) const { return m_defs[size_t(index)]; }
    TFieldDef &operator[](int index) { return m_defs[size_t(index)]; }
    // Index of the definition of that name (ignoring case), -1 when none.
    int IndexOf(const QString &name) const;
    const TFieldDef *Find(const QString &name) const;

    auto begin() const { return m_defs.begin(); }
    auto end() const { return m_defs.end(); }
    bool operator==(const TFieldDefs &other) const = default;

private:
    std::vector<TFieldDef> m_defs;
};

// One field of a table: the typed view of one column of the table's current row. A field object is owned by
// its table; it reads and writes the table's active row buffer, so it always shows the current row (or the
// pending row while the table edits or inserts).
class TField
{
public:
    TField(const QString &fieldName, TFieldType dataType, int size = 0);
    virtual ~TField();
    TField(const TField &) = delete;
    TField &operator=(const TField &) = delete;

    // Identity.
    const QString &FieldName() const { return m_fieldName; }
    TFieldType DataType() const { return m_dataType; }
    int Size() const { return m_size; }
    TDataSet *DataSet() const { return m_dataSet; }
    // The column this field is bound to while its table is open (from 1), 0 otherwise.
    int FieldNo() const { return m_column + 1; }

    // Presentation and input properties. Changing one tells the table's observers.
    QString DisplayLabel() const { return m_displayLabel; }
    void setDisplayLabel(const QString &label);
    // The label when set, otherwise the field name; used in messages.
    QString DisplayName() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    int DisplayWidth() const;
    void setDisplayWidth(int width);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    bool Required() const { return m_required; }
    void setRequired(bool required) { m_required = required; }
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    QString DisplayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &format);
    QString EditFormat() const { return m_editFormat; }
    void setEditFormat(const QString &format);
    QString EditMask() const { return m_editMask; }
    void setEditMask(const QString &mask);

    // Values of the table's active row.
    bool IsNullValue() const;
    void Clear();
    virtual QString AsString() const;
    virtual void setAsString(const QString &text);
    virtual qint32 AsInteger() const;
    virtual void setAsInteger(qint32 value);
    virtual double AsNumber() const;
    virtual void setAsNumber(double value);
    virtual TDateTime AsDateTime() const;
    virtual void setAsDateTime(TDateTime value);

    // Text forms for controls and grids: empty for a null value; OnGetText replaces both when assigned.
    QString DisplayText() const;
    QString EditText() const;
    // Writes a typed text through OnSetText when assigned, otherwise through setAsString.
    void setText(const QString &text);
    // Whether a typed character is accepted as input.
    virtual bool IsValidChar(QChar c) const;
    // A field can be modified when it is bound, not ReadOnly and its table can be modified.
    bool CanModify() const;

    // Events; the table's owner may assign them.
    std::function<QString(TField &field, bool displayText)> OnGetText;
    std::function<void(TField &field, const QString &text)> OnSetText;
    std::function<void(TField &field)> OnValidate;
    std::function<void(TField &field)> OnChange;

protected:
    virtual QString displayTextOf() const { return AsString(); }
    virtual QString editTextOf() const { return AsString(); }
    virtual int defaultDisplayWidth() const { return 10; }

    // The value bytes of the active row, nullptr when the field has no value (null, unassigned, no row).
    const char *valueBytes() const;
    // Stores value bytes (or a null) into the table's pending row, after the table's checks.
    void writeValue(const char *bytes, int length);
    void writeNull();
    const ColumnDesc *column() const;

    [[noreturn]] void accessError(const QString &typeName) const;
    [[noreturn]] void rangeError(double value, double min, double max) const;
    void propertyChanged(bool layout);

private:
    friend class TDataSet;
    friend class TCustomMemTable;

    QString m_fieldName;
    TFieldType m_dataType;
    int m_size;
    TDataSet *m_dataSet = nullptr;
    int m_column = -1;

    QString m_displayLabel;
    int m_displayWidth = 0;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_required = false;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    QString m_displayFormat;
    QString m_editFormat;
    QString m_editMask;
};

// Text of at most Size characters, stored in Windows-1252.
class TStringField : public TField
{
public:
    explicit TStringField(const QString &fieldName, int size = 20);

    QString AsString() const override;
    void setAsString(const QString &text) override;
    qint32 AsInteger() const override;
    void setAsInteger(qint32 value) override;
    double AsNumber() const override;
    void setAsNumber(double value) override;

protected:
    int defaultDisplayWidth() const override { return Size(); }
};

// Integers of 8, 16 or 32 bits (ftSmallint, ftWord, ftInteger); the range follows the column's storage.
class TIntegerField : public TField
{
public:
    explicit TIntegerField(const QString &fieldName);
    TIntegerField(const QString &fieldName, TFieldType dataType);

    QString AsString() const override;
    void setAsString(const QString &text) override;
    qint32 AsInteger() const override;
    void setAsInteger(qint32 value) override;
    double AsNumber() const override;
    void setAsNumber(double value) override;
    bool IsValidChar(QChar c) const override;

    double MinValue() const;
    double MaxValue() const;

protected:
    QString displayTextOf() const override;
    QString editTextOf() const override;

private:
    void store(qint64 value);
};

class TAutoIncField : public TIntegerField
{
public:
    explicit TAutoIncField(const QString &fieldName);
};

// A double (ftFloat); TCurrencyField shows it as money.
class TFloatField : public TField
{
public:
    explicit TFloatField(const QString &fieldName);

    QString AsString() const override;
    void setAsString(const QString &text) override;
    qint32 AsInteger() const override;
    void setAsInteger(qint32 value) override;
    double AsNumber() const override;
    void setAsNumber(double value) override;
    bool IsValidChar(QChar c) const override;

    bool Currency() const { return m_currency; }
    void setCurrency(bool currency);
    int Precision() const { return m_precision; }
    void setPrecision(int precision);

protected:
    TFloatField(const QString &fieldName, TFieldType dataType);
    QString displayTextOf() const override;
    QString editTextOf() const override;

private:
    bool m_currency = false;
    int m_precision = 15;
    // Input accepts the decimal separator that was regional when the field was created.
    QChar m_decimalSeparator;
};

class TCurrencyField : public TFloatField
{
public:
    explicit TCurrencyField(const QString &fieldName);
};

// A date and time, stored as a millisecond stamp.
class TDateTimeField : public TField
{
public:
    explicit TDateTimeField(const QString &fieldName);

    QString AsString() const override;
    void setAsString(const QString &text) override;
    double AsNumber() const override;
    void setAsNumber(double value) override;
    TDateTime AsDateTime() const override;
    void setAsDateTime(TDateTime value) override;

protected:
    QString displayTextOf() const override;
    QString editTextOf() const override;
    int defaultDisplayWidth() const override { return 18; }
};

// The field object for a definition: the program's types get their own classes; a column of a type the
// program does not handle gets a plain, read-only TField that shows no text.
std::unique_ptr<TField> createField(const TFieldDef &def);

// Whether a field object of one type can show a column of another type.
bool fieldTypesCompatible(TFieldType fieldType, TFieldType columnType);
