#include "store/Fields.h"

#include "platform/Cp1252.h"
#include "platform/RegionalSettings.h"
#include "store/DataSet.h"

#include <QRegularExpression>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const RegionalSettings &regional()
{
    return RegionalSettings::current();
}

QString number(double value)
{
    return regional().floatToStr(value);
}

// A number shaped by a display format such as "#,##0.00": the decimals are the digit places after the
// point, a comma anywhere asks for thousands separators; the text around the digits is kept.
QString formatWithPattern(const QString &pattern, double value)
{
    const qsizetype first = pattern.indexOf(QRegularExpression(QStringLiteral("[#0.,]")));
    if (first < 0)
        return pattern;
    qsizetype last = first;
    while (last + 1 < pattern.size() && QStringLiteral("#0.,").contains(pattern.at(last + 1)))
        ++last;
    const QString digits = pattern.mid(first, last - first + 1);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const int decimals
        = point < 0 ? 0 : int(digits.size() - point - 1 - digits.mid(point + 1).count(QLatin1Char(',')));
    const QString body = digits.contains(QLatin1Char(',')) ? regional().formatNumber(value, decimals)
                                                           : regional().formatFixed(value, decimals);
    return pattern.left(first) + body + pattern.mid(last + 1);
}

} // namespace

QString fieldTypeName(TFieldType type)
{
    switch (type) {
    case ftUnknown:
        return QStringLiteral("Unknown");
    case ftString:
        return QStringLiteral("String");
    case ftSmallint:
        return QStringLiteral("Smallint");
    case ftInteger:
        return QStringLiteral("Integer");
    case ftWord:
        return QStringLiteral("Word");
    case ftBoolean:
        return QStringLiteral("Boolean");
    case ftFloat:
        return QStringLiteral("Float");
    case ftCurrency:
        return QStringLiteral("Currency");
    case ftBCD:
        return QStringLiteral("BCD");
    case ftDate:
        return QStringLiteral("Date");
    case ftTime:
        return QStringLiteral("Time");
    case ftDateTime:
        return QStringLiteral("DateTime");
    case ftBytes:
        return QStringLiteral("Bytes");
    case ftVarBytes:
        return QStringLiteral("VarBytes");
    case ftAutoInc:
        return QStringLiteral("AutoInc");
    case ftBlob:
        return QStringLiteral("Blob");
    case ftFixedChar:
        return QStringLiteral("FixedChar");
    case ftWideString:
        return QStringLiteral("WideString");
    case ftLargeint:
        return QStringLiteral("Largeint");
    case ftADT:
        return QStringLiteral("ADT");
    case ftArray:
        return QStringLiteral("Array");
    case ftReference:
        return QStringLiteral("Reference");
    case ftDataSet:
        return QStringLiteral("DataSet");
    case ftTimeStamp:
        return QStringLiteral("TimeStamp");
    case ftFMTBcd:
        return QStringLiteral("FMTBcd");
    }
    return QStringLiteral("Unknown");
}

// ---- definitions ----

TFieldDef &TFieldDefs::Add(const QString &name, TFieldType dataType, int size, TFieldAttributes attributes)
{
    m_defs.emplace_back(name, dataType, size, attributes);
    return m_defs.back();
}

int TFieldDefs::IndexOf(const QString &name) const
{
    for (size_t i = 0; i < m_defs.size(); ++i)
        if (m_defs[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const TFieldDef *TFieldDefs::Find(const QString &name) const
{
    const int index = IndexOf(name);
    return index < 0 ? nullptr : &m_defs[size_t(index)];
}

// ---- TField ----

TField::TField(const QString &fieldName, TFieldType dataType, int size)
    : m_fieldName(fieldName)
    , m_dataType(dataType)
    , m_size(size)
{ }

TField::~TField() = default;

void TField::propertyChanged(bool layout)
{
    if (m_dataSet && m_dataSet->Active())
        m_dataSet->DataEvent(layout ? deLayoutChange : deDataSetChange);
}

void TField::setDisplayLabel(const QString &label)
{
    if (label == m_displayLabel)
        return;
    m_displayLabel = label;
    propertyChanged(true);
}

int TField::DisplayWidth() const
{
    return m_displayWidth > 0 ? m_displayWidth : defaultDisplayWidth();
}

void TField::setDisplayWidth(int width)
{
    if (width == m_displayWidth)
        return;
    m_displayWidth = width;
    propertyChanged(true);
}

void TField::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    propertyChanged(true);
}

void TField::setReadOnly(bool readOnly)
{
    if (readOnly == m_readOnly)
        return;
    m_readOnly = readOnly;
    propertyChanged(true);
}

void TField::setAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    propertyChanged(false);
}

void TField::setDisplayFormat(const QString &format)
{
    if (format == m_displayFormat)
        return;
    m_displayFormat = format;
    propertyChanged(false);
}

void TField::setEditFormat(const QString &format)
{
    if (format == m_editFormat)
        return;
    m_editFormat = format;
    propertyChanged(false);
}

void TField::setEditMask(const QString &mask)
{
    if (mask == m_editMask)
        return;
    m_editMask = mask;
    propertyChanged(false);
}

const ColumnDesc *TField::column() const
{
    return m_dataSet && m_column >= 0 ? m_dataSet->columnDesc(m_column) : nullptr;
}

const char *TField::valueBytes() const
{
    if (!m_dataSet || m_column < 0)
        return nullptr;
    const char *record = m_dataSet->activeBuffer();
    const RecordLayout *layout = m_dataSet->recordLayout();
    if (!record || !layout)
        return nullptr;
    if (Record::state(*layout, record, m_column) != FieldState::Value)
        return nullptr;
    return Record::value(*layout, record, m_column);
}

bool TField::IsNullValue() const
{
    return valueBytes() == nullptr;
}

void TField::writeValue(const char *bytes, int length)
{
    if (!m_dataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(DisplayName()));
    char *record = m_dataSet->beginFieldWrite(*this);
    const RecordLayout &layout = *m_dataSet->recordLayout();
    const QByteArray saved(record + layout.stateOffset(m_column), layout.valueSize(m_column) + 1);
    if (bytes)
        Record::setValue(layout, record, m_column, bytes, length);
    else
        Record::setState(layout, record, m_column, FieldState::Null);
    if (OnValidate) {
        try {
            OnValidate(*this);
        } catch (...) {
            // A refused value leaves the field as it was.
            std::memcpy(record + layout.stateOffset(m_column), saved.constData(), size_t(saved.size()));
            throw;
        }
    }
    m_dataSet->endFieldWrite(*this);
}

void TField::writeNull()
{
    writeValue(nullptr, 0);
}

void TField::Clear()
{
    writeNull();
}

void TField::accessError(const QString &typeName) const
{
    throw EDatabaseError(QStringLiteral("Cannot access field '%1' as type %2").arg(DisplayName(), typeName));
}

void TField::rangeError(double value, double min, double max) const
{
    throw EDatabaseError(
        QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
            .arg(number(value), DisplayName(), number(min), number(max)));
}

QString TField::AsString() const
{
    return QString();
}

void TField::setAsString(const QString &)
{
    accessError(QStringLiteral("String"));
}

qint32 TField::AsInteger() const
{
    accessError(QStringLiteral("Integer"));
}

void TField::setAsInteger(qint32)
{
    accessError(QStringLiteral("Integer"));
}

double TField::AsNumber() const
{
    accessError(QStringLiteral("Float"));
}

void TField::setAsNumber(double)
{
    accessError(QStringLiteral("Float"));
}

TDateTime TField::AsDateTime() const
{
    accessError(QStringLiteral("DateTime"));
}

void TField::setAsDateTime(TDateTime)
{
    accessError(QStringLiteral("DateTime"));
}

QString TField::DisplayText() const
{
    if (OnGetText)
        return OnGetText(const_cast<TField &>(*this), true);
    return IsNullValue() ? QString() : displayTextOf();
}

QString TField::EditText() const
{
    if (OnGetText)
        return OnGetText(const_cast<TField &>(*this), false);
    return IsNullValue() ? QString() : editTextOf();
}

void TField::setText(const QString &text)
{
    if (OnSetText)
        OnSetText(*this, text);
    else
        setAsString(text);
}

bool TField::IsValidChar(QChar) const
{
    return true;
}

bool TField::CanModify() const
{
    if (m_readOnly || !m_dataSet || m_column < 0 || !m_dataSet->CanModify())
        return false;
    return m_dataSet->State() != dsSetKey;
}

// ---- TStringField ----

TStringField::TStringField(const QString &fieldName, int size)
    : TField(fieldName, ftString, size)
{ }

QString TStringField::AsString() const
{
    const char *bytes = valueBytes();
    if (!bytes)
        return QString();
    const ColumnDesc *desc = column();
    const int width = desc ? desc->width : Size();
    return Cp1252::decode(QByteArrayView(bytes, qstrnlen(bytes, size_t(qMax(width, 0)))));
}

void TStringField::setAsString(const QString &text)
{
    // The value is cut at the field's size and at its column's width, whichever is smaller.
    const ColumnDesc *desc = column();
    int limit = Size() > 0 ? Size() : std::numeric_limits<int>::max();
    if (desc)
        limit = qMin(limit, desc->width);
    QString value = text.left(qMax(limit, 0));
    if (!DataSet() || !DataSet()->DisableStringTrim()) {
        qsizetype end = value.size();
        while (end > 0 && value.at(end - 1) == QLatin1Char(' '))
            --end;
        value.truncate(end);
    }
    QByteArray bytes;
    const QChar bad = Cp1252::firstUnencodable(value);
    const qsizetype zero = value.indexOf(QChar(0));
    if (!bad.isNull() || zero >= 0 || !Cp1252::encode(value, bytes)) {
        const QChar shown = bad.isNull() ? QChar(0) : bad;
        throw EDatabaseError(
            QStringLiteral("Field '%1' cannot hold the character U+%2 ('%3'): table files keep "
                           "text in Windows-1252")
                .arg(DisplayName())
                .arg(shown.unicode(), 4, 16, QLatin1Char('0'))
                .arg(shown.isPrint() ? QString(shown) : QString()));
    }
    writeValue(bytes.constData(), int(bytes.size()));
}

qint32 TStringField::AsInteger() const
{
    const QString text = AsString();
    qint64 value = 0;
    if (text.isEmpty())
        return 0;
    if (!RegionalSettings::tryStrToInt(text, value) || value < std::numeric_limits<qint32>::min()
        || value > std::numeric_limits<qint32>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return qint32(value);
}

void TStringField::setAsInteger(qint32 value)
{
    setAsString(QString::number(value));
}

double TStringField::AsNumber() const
{
    const QString text = AsString();
    return text.isEmpty() ? 0.0 : regional().strToFloat(text);
}

void TStringField::setAsNumber(double value)
{
    setAsString(number(value));
}

// ---- TIntegerField ----

TIntegerField::TIntegerField(const QString &fieldName)
    : TIntegerField(fieldName, ftInteger)
{ }

TIntegerField::TIntegerField(const QString &fieldName, TFieldType dataType)
    : TField(fieldName, dataType, 0)
{
    setAlignment(Qt::AlignRight);
}

double TIntegerField::MinValue() const
{
    const ColumnDesc *desc = column();
    const StoreType type = desc ? desc->type
                                : (DataType() == ftSmallint    ? StoreType::Int16
                                        : DataType() == ftWord ? StoreType::UInt16
                                                               : StoreType::Int32);
    switch (type) {
    case StoreType::Int8:
        return -128;
    case StoreType::Int16:
        return -32768;
    case StoreType::UInt8:
    case StoreType::UInt16:
        return 0;
    default:
        return std::numeric_limits<qint32>::min();
    }
}

double TIntegerField::MaxValue() const
{
    const ColumnDesc *desc = column();
    const StoreType type = desc ? desc->type
                                : (DataType() == ftSmallint    ? StoreType::Int16
                                        : DataType() == ftWord ? StoreType::UInt16
                                                               : StoreType::Int32);
    switch (type) {
    case StoreType::Int8:
        return 127;
    case StoreType::Int16:
        return 32767;
    case StoreType::UInt8:
        return 255;
    case StoreType::UInt16:
        return 65535;
    default:
        return std::numeric_limits<qint32>::max();
    }
}

qint32 TIntegerField::AsInteger() const
{
    const char *bytes = valueBytes();
    if (!bytes)
        return 0;
    const ColumnDesc *desc = column();
    switch (desc ? desc->type : StoreType::Int32) {
    case StoreType::Int8:
        return qint8(bytes[0]);
    case StoreType::UInt8:
        return quint8(bytes[0]);
    case StoreType::Int16:
        return qFromLittleEndian<qint16>(bytes);
    case StoreType::UInt16:
        return qFromLittleEndian<quint16>(bytes);
    default:
        return qFromLittleEndian<qint32>(bytes);
    }
}

void TIntegerField::store(qint64 value)
{
    if (double(value) < MinValue() || double(value) > MaxValue())
        rangeError(double(value), MinValue(), MaxValue());
    char bytes[4] = {};
    const ColumnDesc *desc = column();
    int size = 4;
    switch (desc ? desc->type : StoreType::Int32) {
    case StoreType::Int8:
    case StoreType::UInt8:
        bytes[0] = char(value);
        size = 1;
        break;
    case StoreType::Int16:
    case StoreType::UInt16:
        qToLittleEndian<quint16>(quint16(value), bytes);
        size = 2;
        break;
    default:
        qToLittleEndian<qint32>(qint32(value), bytes);
        break;
    }
    writeValue(bytes, size);
}

void TIntegerField::setAsInteger(qint32 value)
{
    store(value);
}

QString TIntegerField::AsString() const
{
    return IsNullValue() ? QString() : QString::number(AsInteger());
}

void TIntegerField::setAsString(const QString &text)
{
    if (text.isEmpty()) {
        writeNull();
        return;
    }
    qint64 value = 0;
    if (!RegionalSettings::tryStrToInt(text, value)) {
        // Digits beyond 64 bits are still a number, only out of range.
        static const QRegularExpression digits(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
        if (digits.match(text).hasMatch())
            rangeError(text.trimmed().toDouble(), MinValue(), MaxValue());
        throw EConvertError(
            QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, DisplayName()));
    }
    store(value);
}

double TIntegerField::AsNumber() const
{
    return AsInteger();
}

void TIntegerField::setAsNumber(double value)
{
    // Not-a-number and infinities lie outside every range.
    if (!std::isfinite(value) || std::round(value) < MinValue() || std::round(value) > MaxValue())
        rangeError(value, MinValue(), MaxValue());
    store(qint64(std::round(value)));
}

bool TIntegerField::IsValidChar(QChar c) const
{
    return c == QLatin1Char('+') || c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

QString TIntegerField::displayTextOf() const
{
    return DisplayFormat().isEmpty() ? AsString() : formatWithPattern(DisplayFormat(), AsInteger());
}

QString TIntegerField::editTextOf() const
{
    const QString format = EditFormat().isEmpty() ? DisplayFormat() : EditFormat();
    return format.isEmpty() ? AsString() : formatWithPattern(format, AsInteger());
}

TAutoIncField::TAutoIncField(const QString &fieldName)
    : TIntegerField(fieldName, ftAutoInc)
{ }

// ---- TFloatField ----

TFloatField::TFloatField(const QString &fieldName)
    : TFloatField(fieldName, ftFloat)
{ }

TFloatField::TFloatField(const QString &fieldName, TFieldType dataType)
    : TField(fieldName, dataType, 0)
    , m_currency(dataType == ftCurrency)
    , m_decimalSeparator(regional().decimalSeparator())
{
    setAlignment(Qt::AlignRight);
}

void TFloatField::setCurrency(bool currency)
{
    if (currency == m_currency)
        return;
    m_currency = currency;
    propertyChanged(false);
}

void TFloatField::setPrecision(int precision)
{
    precision = qBound(1, precision, 15);
    if (precision == m_precision)
        return;
    m_precision = precision;
    propertyChanged(false);
}

double TFloatField::AsNumber() const
{
    const char *bytes = valueBytes();
    if (!bytes)
        return 0.0;
    double value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return qFromLittleEndian(value);
}

void TFloatField::setAsNumber(double value)
{
    // A value that is not a finite number cannot be shown, summed or written to the XML form.
    if (!std::isfinite(value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                                .arg(number(value), DisplayName()));
    const double little = qToLittleEndian(value);
    char bytes[sizeof little];
    std::memcpy(bytes, &little, sizeof little);
    writeValue(bytes, int(sizeof bytes));
}

QString TFloatField::AsString() const
{
    return IsNullValue() ? QString() : number(AsNumber());
}

void TFloatField::setAsString(const QString &text)
{
    if (text.isEmpty()) {
        writeNull();
        return;
    }
    double value = 0;
    const bool ok
        = m_currency ? regional().tryStrToCurrency(text, value) : regional().tryStrToFloat(text, value);
    if (!ok || !std::isfinite(value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                                .arg(text, DisplayName()));
    setAsNumber(value);
}

qint32 TFloatField::AsInteger() const
{
    const double value = std::round(AsNumber());
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        rangeError(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    return qint32(value);
}

void TFloatField::setAsInteger(qint32 value)
{
    setAsNumber(value);
}

bool TFloatField::IsValidChar(QChar c) const
{
    return c == QLatin1Char('+') || c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        || c == QLatin1Char('E') || c == QLatin1Char('e') || c == m_decimalSeparator;
}

QString TFloatField::displayTextOf() const
{
    const double value = AsNumber();
    if (!DisplayFormat().isEmpty())
        return formatWithPattern(DisplayFormat(), value);
    if (m_currency) {
        // Precision significant digits first, then the currency form with the currency decimals.
        const double rounded = QString::number(value, 'g', m_precision).toDouble();
        return regional().formatCurrency(rounded);
    }
    return regional().floatToStr(value, m_precision);
}

QString TFloatField::editTextOf() const
{
    const double value = AsNumber();
    const QString format = EditFormat().isEmpty() ? DisplayFormat() : EditFormat();
    if (!format.isEmpty())
        return formatWithPattern(format, value);
    if (m_currency)
        return regional().formatFixed(value, regional().currencyDecimals());
    return regional().floatToStr(value, m_precision);
}

TCurrencyField::TCurrencyField(const QString &fieldName)
    : TFloatField(fieldName, ftCurrency)
{ }

// ---- TDateTimeField ----

TDateTimeField::TDateTimeField(const QString &fieldName)
    : TField(fieldName, ftDateTime, 0)
{ }

TDateTime TDateTimeField::AsDateTime() const
{
    const char *bytes = valueBytes();
    if (!bytes)
        return 0.0;
    double stamp = 0;
    std::memcpy(&stamp, bytes, sizeof stamp);
    return DateTime::stampToDateTime(qFromLittleEndian(stamp));
}

void TDateTimeField::setAsDateTime(TDateTime value)
{
    DateTime::checkValid(value);
    const double stamp = qToLittleEndian(DateTime::dateTimeToStamp(value));
    char bytes[sizeof stamp];
    std::memcpy(bytes, &stamp, sizeof stamp);
    writeValue(bytes, int(sizeof bytes));
}

double TDateTimeField::AsNumber() const
{
    return AsDateTime();
}

void TDateTimeField::setAsNumber(double value)
{
    setAsDateTime(value);
}

QString TDateTimeField::AsString() const
{
    return IsNullValue() ? QString() : regional().dateTimeToStr(AsDateTime());
}

void TDateTimeField::setAsString(const QString &text)
{
    if (text.isEmpty()) {
        writeNull();
        return;
    }
    setAsDateTime(regional().strToDateTime(text));
}

QString TDateTimeField::displayTextOf() const
{
    if (DisplayFormat().isEmpty())
        return AsString();
    return regional().formatDateTime(DisplayFormat(), AsDateTime());
}

QString TDateTimeField::editTextOf() const
{
    return AsString();
}

// ---- creation ----

std::unique_ptr<TField> createField(const TFieldDef &def)
{
    std::unique_ptr<TField> field;
    switch (def.DataType) {
    case ftString:
    case ftFixedChar:
        field = std::make_unique<TStringField>(def.Name, def.Size);
        break;
    case ftInteger:
    case ftSmallint:
    case ftWord:
        field = std::make_unique<TIntegerField>(def.Name, def.DataType);
        break;
    case ftAutoInc:
        field = std::make_unique<TAutoIncField>(def.Name);
        break;
    case ftCurrency:
        field = std::make_unique<TCurrencyField>(def.Name);
        break;
    case ftFloat:
        field = std::make_unique<TFloatField>(def.Name);
        break;
    case ftDateTime:
        field = std::make_unique<TDateTimeField>(def.Name);
        break;
    default:
        field = std::make_unique<TField>(def.Name, def.DataType, def.Size);
        field->setReadOnly(true);
        break;
    }
    field->setRequired(def.Attributes & faRequired);
    return field;
}

bool fieldTypesCompatible(TFieldType fieldType, TFieldType columnType)
{
    if (fieldType == columnType)
        return true;
    const auto family = [](TFieldType type) {
        switch (type) {
        case ftInteger:
        case ftAutoInc:
            return 1;
        case ftFloat:
        case ftCurrency:
            return 2;
        case ftString:
        case ftFixedChar:
            return 3;
        default:
            return 0;
        }
    };
    return family(fieldType) != 0 && family(fieldType) == family(columnType);
}
