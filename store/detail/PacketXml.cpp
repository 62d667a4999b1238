#include "store/detail/PacketXml.h"

#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "store/detail/PacketFormat.h"
#include "store/detail/PacketLoad.h"

#include <QDate>
#include <QHash>
#include <QXmlStreamReader>
#include <cmath>
#include <cstring>

using namespace PacketFormat;

namespace PacketXml {

namespace {

constexpr qint64 kLastDay = 3652059; // 31 December 9999, counting 1 January 0001 as day 1

[[noreturn]] void refuseWrite(const QString &problem)
{
    throw EStoreError(
        StoreStatus::NotAllowed, QStringLiteral("The table cannot be written as XML: %1").arg(problem));
}

template <class T> T load(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// ---- Shared vocabulary

const char *xmlTypeName(StoreType type)
{
    switch (type) {
    case StoreType::Int8:
        return "i1";
    case StoreType::Int16:
        return "i2";
    case StoreType::Int32:
        return "i4";
    case StoreType::Int64:
        return "i8";
    case StoreType::UInt8:
        return "ui1";
    case StoreType::UInt16:
        return "ui2";
    case StoreType::UInt32:
        return "ui4";
    case StoreType::UInt64:
        return "ui8";
    case StoreType::Bool:
        return "boolean";
    case StoreType::Float:
        return "r8";
    case StoreType::Date:
        return "date";
    case StoreType::Time:
        return "time";
    case StoreType::DateTimeStamp:
        return "dateTime";
    case StoreType::Text:
        return "string";
    case StoreType::WideText:
        return "string.uni";
    case StoreType::VarBytes:
        return "bin.hex";
    default:
        return nullptr;
    }
}

bool storeTypeFor(QStringView name, StoreType &type)
{
    static const QHash<QString, StoreType> types = {
        { QStringLiteral("i1"), StoreType::Int8 },
        { QStringLiteral("i2"), StoreType::Int16 },
        { QStringLiteral("i4"), StoreType::Int32 },
        { QStringLiteral("i8"), StoreType::Int64 },
        { QStringLiteral("ui1"), StoreType::UInt8 },
        { QStringLiteral("ui2"), StoreType::UInt16 },
        { QStringLiteral("ui4"), StoreType::UInt32 },
        { QStringLiteral("ui8"), StoreType::UInt64 },
        { QStringLiteral("boolean"), StoreType::Bool },
        { QStringLiteral("r8"), StoreType::Float },
        { QStringLiteral("date"), StoreType::Date },
        { QStringLiteral("time"), StoreType::Time },
        { QStringLiteral("dateTime"), StoreType::DateTimeStamp },
        { QStringLiteral("string"), StoreType::Text },
        { QStringLiteral("string.uni"), StoreType::WideText },
        { QStringLiteral("bin.hex"), StoreType::VarBytes },
    };
    auto it = types.find(name.toString());
    if (it == types.end())
        return false;
    type = *it;
    return true;
}

// Table attributes the XML form writes as attributes of PARAMS, with the type word they read back as.
struct KnownParam
{
    const char *name;
    quint32 word;
};

constexpr KnownParam kKnownParams[] = {
    { "UNIQUE_KEY", kOrderWord },
    { "DEFAULT_ORDER", kOrderWord },
    { "CHANGE_LOG", kChangeLogWord },
    { "MD_FIELDLINKS", 0x00820002 },
    { "MD_SEMANTICS", 0x00820002 },
    { "PRIMARY_KEY", kOrderWord },
    { "SERVER_COL", kSubtypeWord },
    { "TABLENAME", kSubtypeWord },
    { "TYPENAME", kSubtypeWord },
    { "DATASET_DELTA", 0x00030002 },
    { "READONLY", 0x00030002 },
    { "DELTA", 0x00030002 },
    { "LCID", kInt32Word },
    { "UPDATEMODE", 0x00010002 },
    { "AUTOINCVALUE", kInt32Word },
    { "MINVALUE", kSubtypeWord },
    { "MAXVALUE", kSubtypeWord },
    { "DEFVALUE", kSubtypeWord },
};

const KnownParam *knownParam(const QByteArray &name)
{
    for (const KnownParam &p : kKnownParams) {
        if (name.compare(p.name, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

QString typeNameOfWord(quint32 word)
{
    word &= ~kRoundtrip;
    const int cls = typeClass(word);
    const int size = typeSize(word);
    if (word & kArray)
        return cls == 1 ? QStringLiteral("IntArray") : QStringLiteral("UIntArray");
    const QString bits = QString::number(size == 8 ? 8 : size);
    switch (cls) {
    case 1:
        return QStringLiteral("i") + bits;
    case 2:
        return QStringLiteral("ui") + bits;
    case 3:
        return QStringLiteral("boolean");
    case 4:
        return QStringLiteral("r8");
    case 9:
        return QStringLiteral("string");
    case 10:
        return QStringLiteral("string.uni");
    default:
        return QStringLiteral("bin.hex");
    }
}

qint64 littleEndian(const char *p, int size, bool isSigned)
{
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v |= quint64(quint8(p[i])) << (8 * i);
    if (isSigned && size < 8 && (v >> (8 * size - 1)) & 1)
        v |= ~quint64(0) << (8 * size);
    return qint64(v);
}

QString formatDouble(double v)
{
    if (!std::isfinite(v))
        refuseWrite(QStringLiteral("a number is not finite"));
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

// An encoded attribute value as text.
QString attributeText(quint32 word, const QByteArray &value)
{
    word &= ~kRoundtrip;
    const int cls = typeClass(word);
    const int size = typeSize(word);
    if (word & kArray) {
        QStringList items;
        const qint64 count = value.size() >= 4 ? littleEndian(value.constData(), 4, false) : 0;
        for (qint64 i = 0; i < count && 4 + (i + 1) * size <= value.size(); ++i)
            items << QString::number(littleEndian(value.constData() + 4 + i * size, size, cls == 1));
        return items.join(QLatin1Char(' '));
    }
    if (word & kVarying) {
        QByteArray bytes = value.mid(size);
        if (cls == 9) {
            const int zero = bytes.indexOf('\0');
            return Cp1252::decode(zero >= 0 ? bytes.left(zero) : bytes);
        }
        if (cls == 10)
            return QString::fromUtf16(
                reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
        return QString::fromLatin1(bytes.toHex());
    }
    if ((cls == 1 || cls == 2) && size <= 8)
        return QString::number(littleEndian(value.constData(), size, cls == 1));
    if (cls == 3)
        return std::any_of(value.begin(), value.end(), [](char c) { return c != 0; })
            ? QStringLiteral("TRUE")
            : QStringLiteral("FALSE");
    if (cls == 4 && size == 8)
        return formatDouble(load<double>(value.constData()));
    return QString::fromLatin1(value.toHex());
}

// ---- Writing

void escapeInto(QString &out, QStringView text)
{
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\r':
            out += QLatin1String("&#013;");
            break;
        case '\n':
            out += QLatin1String("&#010;");
            break;
        case '\t':
            out += QLatin1String("&#009;");
            break;
        case '\\':
            out += QLatin1String("&#092;");
            break;
        default:
            if (c < 0x20)
                refuseWrite(QStringLiteral("a text holds the control character %1").arg(int(c)));
            out += ch;
        }
    }
}

void attributeInto(QString &out, QStringView name, QStringView value)
{
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    escapeInto(out, value);
    out += QLatin1Char('"');
}

bool isXmlName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool ok = c.isLetter() || c == QLatin1Char('_')
            || (i > 0 && (c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-')));
        if (!ok)
            return false;
    }
    return !name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive);
}

QString tagNameFor(const QString &name, int columnNumber, bool &changed)
{
    QString tag = name;
    for (QChar &c : tag) {
        if (QStringView(u" !#$%()*?").contains(c))
            c = QLatin1Char('_');
    }
    if (!isXmlName(tag))
        tag = QStringLiteral("xF%1").arg(columnNumber);
    changed = tag != name;
    return tag;
}

QString dateText(qint64 day)
{
    if (day < 1 || day > kLastDay)
        refuseWrite(QStringLiteral("a date lies outside the years 1 to 9999"));
    const QDate d = QDate(1, 1, 1).addDays(day - 1);
    return QString::asprintf("%04d%02d%02d", d.year(), d.month(), d.day());
}

QString timeText(qint64 ms)
{
    if (ms < 0 || ms >= DateTime::kMsPerDay)
        refuseWrite(QStringLiteral("a time of day is invalid"));
    return QString::asprintf("%02d:%02d:%05d", int(ms / 3600000), int(ms / 60000 % 60), int(ms % 60000));
}

QString valueText(const ColumnDesc &column, const char *v, int size)
{
    switch (column.type) {
    case StoreType::Int8:
        return QString::number(load<qint8>(v));
    case StoreType::Int16:
        return QString::number(load<qint16>(v));
    case StoreType::Int32:
        return QString::number(load<qint32>(v));
    case StoreType::Int64:
        return QString::number(load<qint64>(v));
    case StoreType::UInt8:
        return QString::number(load<quint8>(v));
    case StoreType::UInt16:
        return QString::number(load<quint16>(v));
    case StoreType::UInt32:
        return QString::number(load<quint32>(v));
    case StoreType::UInt64:
        return QString::number(load<quint64>(v));
    case StoreType::Bool:
        return std::any_of(v, v + size, [](char c) { return c != 0; }) ? QStringLiteral("TRUE")
                                                                       : QStringLiteral("FALSE");
    case StoreType::Float:
        return formatDouble(load<double>(v));
    case StoreType::Date:
        return dateText(load<qint32>(v));
    case StoreType::Time:
        return timeText(load<qint32>(v));
    case StoreType::DateTimeStamp: {
        const double stamp = load<double>(v);
        if (!std::isfinite(stamp) || stamp < 0 || stamp >= double(kLastDay + 1) * DateTime::kMsPerDay)
            refuseWrite(QStringLiteral("a date lies outside the years 1 to 9999"));
        const auto t = qint64(std::llround(stamp));
        const qint64 day = t / DateTime::kMsPerDay;
        const qint64 ms = t % DateTime::kMsPerDay;
        return ms == 0 ? dateText(day) : dateText(day) + QLatin1Char('T') + timeText(ms);
    }
    case StoreType::Text: {
        const char *end = static_cast<const char *>(std::memchr(v, 0, size_t(size)));
        return Cp1252::decode(QByteArrayView(v, end ? end - v : size - 1));
    }
    case StoreType::WideText: {
        const int length = std::min(int(load<quint16>(v)), size - 2) / 2;
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(v + 2), length);
    }
    case StoreType::VarBytes: {
        const int length = std::min(int(load<quint16>(v)), size - 2);
        return QString::fromLatin1(QByteArray(v + 2, length).toHex());
    }
    default:
        refuseWrite(QStringLiteral("a column type has no XML form"));
    }
}

void writeRow(
    QString &out, const MemRecordStore &store, const std::vector<QString> &tags, int row, quint8 status)
{
    const RecordLayout &layout = store.layout();
    const char *record = store.record(row);
    out += QLatin1String("<ROW");
    if (status != 0)
        attributeInto(out, u"RowState", QString::number(status));
    out += QLatin1Char('>');
    for (int i = 0; i < layout.columnCount(); ++i) {
        if (Record::state(layout, record, i) != FieldState::Value)
            continue;
        const QString &tag = tags[size_t(i)];
        out += QLatin1Char('<') + tag + QLatin1Char('>');
        escapeInto(out,
            valueText(store.columns()[size_t(i)], Record::value(layout, record, i), layout.valueSize(i)));
        out += QLatin1String("</") + tag + QLatin1Char('>');
    }
    out += QLatin1String("</ROW>");
}

void writeParams(QString &out, const MemRecordStore &store)
{
    std::vector<PacketAttribute> attributes = store.orderAttributes;
    const std::vector<ChangeLogEntry> &log = store.changeLog();
    if (!log.empty()) {
        QByteArray value = PacketValue::int32(qint64(log.size()) * 3);
        for (const ChangeLogEntry &e : log)
            value += PacketValue::int32(e.row) + PacketValue::int32(e.replaces) + PacketValue::int32(e.kind);
        attributes.push_back({ "CHANGE_LOG", kChangeLogWord, value });
    }
    if (store.autoIncColumn() >= 0)
        attributes.push_back({ "AUTOINCVALUE", kInt32Word, PacketValue::int32(store.nextAutoIncValue()) });
    std::vector<const PacketAttribute *> params;
    for (const PacketAttribute &a : store.keptTableAttributes) {
        if (knownParam(a.name))
            attributes.push_back(a);
        else
            params.push_back(&a);
    }
    out += QLatin1String("<PARAMS");
    for (const PacketAttribute &a : attributes)
        attributeInto(out, QString::fromLatin1(a.name), attributeText(a.typeWord, a.value));
    if (params.empty()) {
        out += QLatin1String("/>");
        return;
    }
    out += QLatin1Char('>');
    for (const PacketAttribute *a : params) {
        out += QLatin1String("<PARAM");
        attributeInto(out, u"Name", Cp1252::decode(a->name));
        attributeInto(out, u"Value", attributeText(a->typeWord, a->value));
        attributeInto(out, u"Type", typeNameOfWord(a->typeWord));
        if (a->typeWord & kRoundtrip)
            attributeInto(out, u"Roundtrip", u"True");
        out += QLatin1String("/>");
    }
    out += QLatin1String("</PARAMS>");
}

} // namespace

QByteArray write(const MemRecordStore &store)
{
    QString out = QStringLiteral(
        "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    std::vector<QString> tags;
    int number = 0;
    for (const ColumnDesc &column : store.columns()) {
        const char *type = xmlTypeName(column.type);
        if (!type)
            refuseWrite(QStringLiteral("column %1 has no XML type").arg(Cp1252::decode(column.name)));
        const QString name = Cp1252::decode(column.name);
        bool changed = false;
        tags.push_back(tagNameFor(name, ++number, changed));
        out += QLatin1String("<FIELD");
        if (changed)
            attributeInto(out, u"fieldname", name);
        attributeInto(out, u"tagname", tags.back());
        attributeInto(out, u"fieldtype", QString::fromLatin1(type));
        if (column.attributes & StoreAttr::ReadOnly)
            attributeInto(out, u"readonly", u"true");
        if (column.attributes & StoreAttr::Required)
            attributeInto(out, u"required", u"true");
        if (column.attributes & StoreAttr::Hidden)
            attributeInto(out, u"hidden", u"true");
        if (column.attributes & StoreAttr::Link)
            attributeInto(out, u"linkfield", u"true");
        const QByteArray subtype = subtypeName(column.subtype);
        if (!subtype.isEmpty())
            attributeInto(out, u"SUBTYPE", QString::fromLatin1(subtype));
        if (column.decimals > 0)
            attributeInto(out, u"DECIMALS", QString::number(column.decimals));
        if (column.width > 0)
            attributeInto(out, u"WIDTH", QString::number(column.width));
        if (column.calculated)
            attributeInto(out, u"CALCULATED", u"TRUE");
        for (const PacketAttribute &a : column.keptAttributes) {
            const QString attributeName = Cp1252::decode(a.name);
            if (!isXmlName(attributeName)
                || (!subtype.isEmpty() && attributeName.compare(u"SUBTYPE", Qt::CaseInsensitive) == 0))
                refuseWrite(QStringLiteral("the column attribute %1 has no XML form").arg(attributeName));
            attributeInto(out, attributeName, attributeText(a.typeWord, a.value));
        }
        out += QLatin1String("/>");
    }
    out += QLatin1String("</FIELDS>");
    writeParams(out, store);
    out += QLatin1String("</METADATA><ROWDATA>");
    if (store.changeLog().empty()) {
        const bool keepStatus = store.keepChangeLog();
        for (int row : store.defaultOrder())
            writeRow(out, store, tags, row, keepStatus ? store.rowStatus(row) : RowStatus::Current);
    } else {
        for (int row = 1; row <= store.rowCount(); ++row)
            writeRow(out, store, tags, row, store.rowStatus(row));
    }
    out += QLatin1String("</ROWDATA></DATAPACKET>");
    return out.toUtf8();
}

// ---- Reading

namespace {

class XmlLoader
{
public:
    XmlLoader(const QByteArray &packet, const QString &source)
        : m_xml(packet)
        , m_load(source)
        , m_packetSize(packet.size())
    { }

    std::unique_ptr<IRecordStore> run();

private:
    [[noreturn]] void fail(const QString &problem, int status = StoreStatus::InvalidPacket) const
    {
        m_load.fail(problem, status);
    }
    // The next start element among the children of the current one; false at its end.
    bool nextChild();
    void readFields();
    void readField();
    void readParams();
    void readRows();
    void readRow();
    void setValue(char *record, int column, const QString &text, int row);
    QByteArray toCp1252(const QString &text) const;
    qint64 integer(const QString &text, qint64 low, qint64 high, const QString &what) const;

    QXmlStreamReader m_xml;
    PacketLoad m_load;
    qint64 m_packetSize;
    std::vector<int> m_columnOf;
    QHash<QString, int> m_tags;
    qint64 m_rows = 0;
};

bool XmlLoader::nextChild()
{
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            return true;
        case QXmlStreamReader::EndElement:
            return false;
        case QXmlStreamReader::DTD:
            fail(QStringLiteral("it declares a document type"));
        case QXmlStreamReader::EntityReference:
            fail(QStringLiteral("it refers to an undeclared entity"));
        case QXmlStreamReader::Characters:
            if (!m_xml.isWhitespace())
                fail(QStringLiteral("it holds text where an element belongs"));
            break;
        default:
            break;
        }
    }
    fail(QStringLiteral("the XML is not well-formed (%1)").arg(m_xml.errorString()));
}

QByteArray XmlLoader::toCp1252(const QString &text) const
{
    QByteArray bytes;
    if (Cp1252::encode(text, bytes))
        return bytes;
    bytes.clear();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        // The five bytes without a character are read back as the C1 controls they were written as.
        if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) {
            bytes += char(u);
            continue;
        }
        QByteArray one;
        if (!Cp1252::encode(QStringView(&c, 1), one))
            fail(QStringLiteral("the character U+%1 has no Windows-1252 form")
                     .arg(int(u), 4, 16, QLatin1Char('0')));
        bytes += one;
    }
    return bytes;
}

qint64 XmlLoader::integer(const QString &text, qint64 low, qint64 high, const QString &what) const
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high)
        fail(QStringLiteral("%1 is not a valid value for %2").arg(text, what));
    return v;
}

std::unique_ptr<IRecordStore> XmlLoader::run()
{
    if (!nextChild() || m_xml.name() != u"DATAPACKET")
        fail(QStringLiteral("it is neither a binary nor an XML table packet"));
    if (!nextChild())
        fail(QStringLiteral("it carries no metadata"), StoreStatus::NoMetadata);
    if (m_xml.name() == u"ROWDATA")
        fail(QStringLiteral("it carries no metadata"), StoreStatus::NoMetadata);
    if (m_xml.name() != u"METADATA")
        fail(QStringLiteral("it has no METADATA element"));
    if (!nextChild() || m_xml.name() != u"FIELDS")
        fail(QStringLiteral("its METADATA does not start with FIELDS"));
    readFields();
    m_load.createStore();
    while (nextChild()) {
        if (m_xml.name() != u"PARAMS")
            fail(QStringLiteral("unexpected element %1 in METADATA").arg(m_xml.name()));
        readParams();
    }
    if (nextChild()) {
        if (m_xml.name() != u"ROWDATA")
            fail(QStringLiteral("unexpected element %1 after METADATA").arg(m_xml.name()));
        readRows();
        if (nextChild())
            fail(QStringLiteral("unexpected element %1 after ROWDATA").arg(m_xml.name()));
    }
    while (!m_xml.atEnd()) {
        const auto token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement || token == QXmlStreamReader::DTD)
            fail(QStringLiteral("it holds more than one table"));
    }
    if (m_xml.hasError())
        fail(QStringLiteral("the XML is not well-formed (%1)").arg(m_xml.errorString()));
    return m_load.finish();
}

void XmlLoader::readFields()
{
    while (nextChild()) {
        if (m_xml.name() != u"FIELD")
            fail(QStringLiteral("unexpected element %1 in FIELDS").arg(m_xml.name()));
        readField();
        if (nextChild())
            fail(QStringLiteral("a FIELD holds other elements"));
    }
}

void XmlLoader::readField()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    QString tag = attributes.value(QLatin1String("tagname")).toString();
    if (tag.isEmpty())
        tag = attributes.value(QLatin1String("attrname")).toString();
    const QString name = attributes.hasAttribute(QLatin1String("fieldname"))
        ? attributes.value(QLatin1String("fieldname")).toString()
        : tag;
    if (tag.isEmpty() || m_tags.contains(tag))
        fail(QStringLiteral("a FIELD has no name of its own"));
    ColumnDesc type;
    if (!storeTypeFor(attributes.value(QLatin1String("fieldtype")), type.type))
        fail(QStringLiteral("column %1 has an unsupported type %2")
                 .arg(name, attributes.value(QLatin1String("fieldtype"))));
    quint16 bits = 0;
    const auto flag = [&](const char *attribute, quint16 bit) {
        if (attributes.value(QLatin1String(attribute)).compare(u"true", Qt::CaseInsensitive) == 0)
            bits |= bit;
    };
    flag("readonly", StoreAttr::ReadOnly);
    flag("required", StoreAttr::Required);
    flag("hidden", StoreAttr::Hidden);
    flag("linkfield", StoreAttr::Link);
    m_load.addColumn(toCp1252(name), type, bits);
    m_tags.insert(tag, int(m_load.columns().size()) - 1);
    for (const QXmlStreamAttribute &a : attributes) {
        const QString attribute = a.name().toString();
        static const QStringList handled = { QStringLiteral("tagname"), QStringLiteral("attrname"),
            QStringLiteral("fieldname"), QStringLiteral("fieldtype"), QStringLiteral("readonly"),
            QStringLiteral("required"), QStringLiteral("hidden"), QStringLiteral("linkfield") };
        if (handled.contains(attribute))
            continue;
        const QByteArray key = toCp1252(attribute);
        const QString value = a.value().toString();
        if (attribute == u"WIDTH" || attribute == u"DECIMALS" || attribute == u"ELEMENTS")
            m_load.applyColumnAttribute(
                key, kUInt16Word, PacketValue::int16(integer(value, 0, 65535, attribute)));
        else if (attribute == u"CALCULATED")
            m_load.applyColumnAttribute(key, kUInt16Word,
                PacketValue::int16(value.compare(u"TRUE", Qt::CaseInsensitive) == 0 || value == u"1"));
        else
            m_load.applyColumnAttribute(key, kSubtypeWord, PacketValue::text(toCp1252(value)));
    }
}

void XmlLoader::readParams()
{
    for (const QXmlStreamAttribute &a : m_xml.attributes()) {
        const QByteArray name = toCp1252(a.name().toString());
        const QString value = a.value().toString();
        const KnownParam *known = knownParam(name);
        const quint32 word = known ? known->word : kSubtypeWord;
        QByteArray encoded;
        if (word & kArray) {
            const int size = typeSize(word);
            const QStringList items = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            encoded = PacketValue::int32(items.size());
            for (const QString &item : items) {
                const qint64 v = integer(item, size == 2 ? 0 : -2147483648LL,
                    size == 2 ? 65535 : 4294967295LL, QString::fromLatin1(name));
                encoded += size == 2 ? PacketValue::int16(v) : PacketValue::int32(v);
            }
        } else if (typeClass(word) == 3) {
            encoded = PacketValue::int16(value.compare(u"TRUE", Qt::CaseInsensitive) == 0 ? 1 : 0);
        } else if (word == kInt32Word) {
            encoded
                = PacketValue::int32(integer(value, -2147483648LL, 2147483647LL, QString::fromLatin1(name)));
        } else if (typeClass(word) == 1) {
            encoded = PacketValue::int16(integer(value, -32768, 32767, QString::fromLatin1(name)));
        } else {
            encoded = PacketValue::text(toCp1252(value));
        }
        m_load.applyTableAttribute(name, word, encoded);
    }
    while (nextChild()) {
        if (m_xml.name() != u"PARAM")
            fail(QStringLiteral("unexpected element %1 in PARAMS").arg(m_xml.name()));
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const QByteArray name = toCp1252(attributes.value(QLatin1String("Name")).toString());
        const QString value = attributes.value(QLatin1String("Value")).toString();
        const QString type = attributes.value(QLatin1String("Type")).toString();
        const bool roundtrip
            = attributes.value(QLatin1String("Roundtrip")).compare(u"True", Qt::CaseInsensitive) == 0;
        if (name.isEmpty() || name.size() > 255)
            fail(QStringLiteral("a PARAM has no valid name"));
        quint32 word = kSubtypeWord;
        QByteArray encoded;
        static const QHash<QString, std::pair<quint32, qint64>> integers = {
            { QStringLiteral("i1"), { 0x00010001, 127 } },
            { QStringLiteral("i2"), { 0x00010002, 32767 } },
            { QStringLiteral("i4"), { 0x00010004, 2147483647LL } },
            { QStringLiteral("ui1"), { 0x00020001, 255 } },
            { QStringLiteral("ui2"), { 0x00020002, 65535 } },
            { QStringLiteral("ui4"), { 0x00020004, 4294967295LL } },
        };
        if (auto it = integers.find(type); it != integers.end()) {
            word = it->first;
            const bool isSigned = typeClass(word) == 1;
            const qint64 v
                = integer(value, isSigned ? -it->second - 1 : 0, it->second, QString::fromLatin1(name));
            for (int i = 0; i < typeSize(word); ++i)
                encoded += char((v >> (8 * i)) & 0xFF);
        } else if (type == u"boolean") {
            word = 0x00030002;
            encoded = PacketValue::int16(value.compare(u"TRUE", Qt::CaseInsensitive) == 0 ? 1 : 0);
        } else if (type == u"r8") {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (!ok || !std::isfinite(v))
                fail(QStringLiteral("%1 is not a valid number").arg(value));
            word = 0x00040008;
            encoded = QByteArray(reinterpret_cast<const char *>(&v), 8);
        } else {
            encoded = PacketValue::text(toCp1252(value));
        }
        m_load.applyTableAttribute(name, word | (roundtrip ? kRoundtrip : 0), encoded);
        if (nextChild())
            fail(QStringLiteral("a PARAM holds other elements"));
    }
}

void XmlLoader::readRows()
{
    while (nextChild()) {
        if (m_xml.name() != u"ROW")
            fail(QStringLiteral("unexpected element %1 in ROWDATA").arg(m_xml.name()));
        readRow();
    }
}

void XmlLoader::readRow()
{
    ++m_rows;
    m_load.checkRowMemory(m_rows, m_packetSize);
    MemRecordStore &store = m_load.store();
    const QXmlStreamAttributes attributes = m_xml.attributes();
    quint8 status = 0;
    if (attributes.hasAttribute(QLatin1String("RowState"))) {
        status = quint8(integer(
            attributes.value(QLatin1String("RowState")).toString(), 0, 0x2F, QStringLiteral("RowState")));
        if (status & ~quint8(0x2F))
            fail(QStringLiteral("row %1 has an unknown status").arg(m_rows));
    }
    char *record = store.appendLoadedRow(status);
    const RecordLayout &layout = store.layout();
    // A value the row does not hold was never given one.
    for (int i = 0; i < layout.columnCount(); ++i)
        record[layout.stateOffset(i)] = char(FieldState::Unassigned);
    std::vector<bool> seen(size_t(layout.columnCount()), false);
    const auto take = [&](const QString &tag, const QString &text) {
        auto it = m_tags.find(tag);
        if (it == m_tags.end())
            fail(QStringLiteral("row %1 holds the unknown field %2").arg(m_rows).arg(tag));
        if (seen[size_t(*it)])
            fail(QStringLiteral("row %1 holds the field %2 twice").arg(m_rows).arg(tag));
        seen[size_t(*it)] = true;
        setValue(record, *it, text, int(m_rows));
    };
    for (const QXmlStreamAttribute &a : attributes) {
        if (a.name() != u"RowState")
            take(a.name().toString(), a.value().toString());
    }
    while (nextChild()) {
        const QString tag = m_xml.name().toString();
        const QString text = m_xml.readElementText();
        if (m_xml.hasError())
            fail(QStringLiteral("the value %1 of row %2 is not plain text").arg(tag).arg(m_rows));
        take(tag, text);
    }
}

void XmlLoader::setValue(char *record, int column, const QString &text, int row)
{
    const MemRecordStore &store = m_load.store();
    const RecordLayout &layout = store.layout();
    const ColumnDesc &desc = store.columns()[size_t(column)];
    const QString what = QStringLiteral("%1 in row %2").arg(Cp1252::decode(desc.name)).arg(row);
    char *v = record + layout.valueOffset(column);
    const int size = layout.valueSize(column);
    const auto putInt = [&](qint64 value) {
        for (int i = 0; i < size; ++i)
            v[i] = char((value >> (8 * i)) & 0xFF);
    };
    const auto parseDate = [&](QStringView t) -> qint64 {
        if (t.size() != 8)
            fail(QStringLiteral("%1 is not a valid date for %2").arg(text, what));
        bool ok1 = false, ok2 = false, ok3 = false;
        const QDate date(t.mid(0, 4).toInt(&ok1), t.mid(4, 2).toInt(&ok2), t.mid(6, 2).toInt(&ok3));
        if (!ok1 || !ok2 || !ok3 || !date.isValid() || date.year() < 1)
            fail(QStringLiteral("%1 is not a valid date for %2").arg(text, what));
        return QDate(1, 1, 1).daysTo(date) + 1;
    };
    const auto parseTime = [&](QStringView t) -> qint64 {
        bool ok1 = false, ok2 = false, ok3 = false;
        if (t.size() != 11 || t[2] != QLatin1Char(':') || t[5] != QLatin1Char(':'))
            fail(QStringLiteral("%1 is not a valid time for %2").arg(text, what));
        const int h = t.mid(0, 2).toInt(&ok1);
        const int m = t.mid(3, 2).toInt(&ok2);
        const int ms = t.mid(6, 5).toInt(&ok3);
        if (!ok1 || !ok2 || !ok3 || h > 23 || m > 59 || ms > 59999 || h < 0 || m < 0 || ms < 0)
            fail(QStringLiteral("%1 is not a valid time for %2").arg(text, what));
        return qint64(h) * 3600000 + m * 60000 + ms;
    };
    switch (desc.type) {
    case StoreType::Int8:
        putInt(integer(text, -128, 127, what));
        break;
    case StoreType::Int16:
        putInt(integer(text, -32768, 32767, what));
        break;
    case StoreType::Int32:
        putInt(integer(text, -2147483648LL, 2147483647LL, what));
        break;
    case StoreType::Int64:
        putInt(integer(text, LLONG_MIN, LLONG_MAX, what));
        break;
    case StoreType::UInt8:
        putInt(integer(text, 0, 255, what));
        break;
    case StoreType::UInt16:
        putInt(integer(text, 0, 65535, what));
        break;
    case StoreType::UInt32:
        putInt(integer(text, 0, 4294967295LL, what));
        break;
    case StoreType::UInt64: {
        bool ok = false;
        const qulonglong u = text.trimmed().toULongLong(&ok);
        if (!ok)
            fail(QStringLiteral("%1 is not a valid value for %2").arg(text, what));
        std::memcpy(v, &u, 8);
        break;
    }
    case StoreType::Bool:
        if (text.compare(u"TRUE", Qt::CaseInsensitive) == 0)
            v[0] = 1;
        else if (text.compare(u"FALSE", Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("%1 is not a valid value for %2").arg(text, what));
        break;
    case StoreType::Float: {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(d))
            fail(QStringLiteral("%1 is not a valid number for %2").arg(text, what));
        std::memcpy(v, &d, 8);
        break;
    }
    case StoreType::Date:
        putInt(parseDate(text));
        break;
    case StoreType::Time:
        putInt(parseTime(text));
        break;
    case StoreType::DateTimeStamp: {
        const QStringView t(text);
        qint64 ms = 0;
        if (t.size() > 8) {
            if (t[8] != QLatin1Char('T'))
                fail(QStringLiteral("%1 is not a valid date for %2").arg(text, what));
            ms = parseTime(t.mid(9));
        }
        const double stamp = double(parseDate(t.left(8)) * DateTime::kMsPerDay + ms);
        std::memcpy(v, &stamp, 8);
        break;
    }
    case StoreType::Text: {
        const QByteArray bytes = toCp1252(text);
        if (bytes.size() > desc.width)
            fail(QStringLiteral("the text of %1 is longer than its column").arg(what));
        if (bytes.contains('\0'))
            fail(QStringLiteral("the text of %1 holds a zero character").arg(what));
        std::memcpy(v, bytes.constData(), size_t(bytes.size()));
        break;
    }
    case StoreType::WideText: {
        if (text.size() > desc.width)
            fail(QStringLiteral("the text of %1 is longer than its column").arg(what));
        const quint16 length = quint16(text.size() * 2);
        std::memcpy(v, &length, 2);
        std::memcpy(v + 2, text.utf16(), length);
        break;
    }
    case StoreType::VarBytes: {
        const QByteArray hex = text.trimmed().toLatin1();
        const QByteArray bytes = QByteArray::fromHex(hex);
        if (hex.size() != bytes.size() * 2 || bytes.size() > desc.width)
            fail(QStringLiteral("%1 is not valid hexadecimal data for %2").arg(text, what));
        const quint16 length = quint16(bytes.size());
        std::memcpy(v, &length, 2);
        std::memcpy(v + 2, bytes.constData(), length);
        break;
    }
    default:
        fail(QStringLiteral("column %1 has no XML form").arg(what));
    }
    record[layout.stateOffset(column)] = char(FieldState::Value);
}

} // namespace

std::unique_ptr<IRecordStore> read(const QByteArray &packet, const QString &sourceName)
{
    return XmlLoader(packet, sourceName).run();
}

} // namespace PacketXml
