#include "report/notation/StreamTree.h"

#include "platform/Cp1252.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum Tag : quint8 {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20
};

constexpr quint16 kResourceFlags = 0x1030;

// ---------------------------------------------------------------- writing

class BinaryWriter
{
public:
    QByteArray take() { return std::move(m_out); }

    void writeObject(const StreamObject &object, int depth)
    {
        if (depth > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Objects are nested too deeply"));
        if (!isStreamIdentifier(object.className) || (!object.name.isEmpty() && !isStreamIdentifier(object.name)))
            throw EStreamError(QStringLiteral("Invalid object name \"%1: %2\"").arg(object.name, object.className));
        if (object.flags & 7) {
            m_out += char(0xF0 | (object.flags & 7));
            if (object.flags & StreamObject::ChildPosition)
                writeInteger(object.position);
        }
        writeShort(object.className.toLatin1());
        writeShort(object.name.toLatin1());
        for (const StreamProperty &property : object.properties)
            writeProperty(property, depth);
        m_out += '\0';
        for (const StreamObject &child : object.children)
            writeObject(child, depth + 1);
        m_out += '\0';
    }

private:
    template<typename T>
    void put(T value)
    {
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        m_out.append(bytes, sizeof(T)); // little-endian hosts only, as the program's other binary writers
    }

    void writeShort(const QByteArray &text)
    {
        if (text.size() > 255)
            throw EStreamError(QStringLiteral("Name too long"));
        m_out += char(text.size());
        m_out += text;
    }

    void writeProperty(const StreamProperty &property, int depth)
    {
        if (!isStreamPath(property.name))
            throw EStreamError(QStringLiteral("Invalid property name \"%1\"").arg(property.name));
        writeShort(property.name.toLatin1());
        writeValue(property.value, depth);
    }

    void writeInteger(qint64 v)
    {
        if (v >= -128 && v <= 127) {
            m_out += char(vaInt8);
            put<qint8>(qint8(v));
        } else if (v >= -32768 && v <= 32767) {
            m_out += char(vaInt16);
            put<qint16>(qint16(v));
        } else if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max()) {
            m_out += char(vaInt32);
            put<qint32>(qint32(v));
        } else {
            m_out += char(vaInt64);
            put<qint64>(v);
        }
    }

    void writeString(const QString &text)
    {
        QByteArray bytes;
        if (Cp1252::encode(text, bytes)) {
            if (bytes.size() <= 255) {
                m_out += char(vaString);
                m_out += char(bytes.size());
            } else {
                m_out += char(vaLString);
                put<quint32>(quint32(bytes.size()));
            }
            m_out += bytes;
            return;
        }
        m_out += char(vaWString);
        put<quint32>(quint32(text.size()));
        for (QChar c : text)
            put<quint16>(c.unicode());
    }

    void writeValue(const StreamValue &value, int depth)
    {
        if (depth > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Values are nested too deeply"));
        using Kind = StreamValue::Kind;
        switch (value.kind) {
        case Kind::Null:
            m_out += char(vaNull);
            break;
        case Kind::Nil:
            m_out += char(vaNil);
            break;
        case Kind::False:
            m_out += char(vaFalse);
            break;
        case Kind::True:
            m_out += char(vaTrue);
            break;
        case Kind::Integer:
            writeInteger(value.integer);
            break;
        case Kind::Extended:
            if (!std::isfinite(value.real))
                throw EStreamError(QStringLiteral("A float value is not a finite number"));
            m_out += char(vaExtended);
            m_out += extendedToBytes(value.real);
            break;
        case Kind::Single:
            m_out += char(vaSingle);
            put<float>(float(value.real));
            break;
        case Kind::Currency:
            m_out += char(vaCurrency);
            put<qint64>(value.integer);
            break;
        case Kind::Date:
            m_out += char(vaDate);
            put<double>(double(value.real));
            break;
        case Kind::Identifier:
            if (!isStreamPath(value.text))
                throw EStreamError(QStringLiteral("Invalid identifier \"%1\"").arg(value.text));
            m_out += char(vaIdent);
            writeShort(value.text.toLatin1());
            break;
        case Kind::String:
            writeString(value.text);
            break;
        case Kind::Set:
            m_out += char(vaSet);
            for (const QString &name : value.names) {
                if (!isStreamIdentifier(name))
                    throw EStreamError(QStringLiteral("Invalid set element \"%1\"").arg(name));
                writeShort(name.toLatin1());
            }
            m_out += '\0';
            break;
        case Kind::Binary:
            m_out += char(vaBinary);
            put<quint32>(quint32(value.bytes.size()));
            m_out += value.bytes;
            break;
        case Kind::List:
            m_out += char(vaList);
            for (const StreamValue &item : value.items)
                writeValue(item, depth + 1);
            m_out += char(vaNull);
            break;
        case Kind::Collection:
            // Each item: its optional index, a list marker, its properties, a zero byte.
            m_out += char(vaCollection);
            for (const StreamCollectionItem &item : value.collection) {
                if (item.hasIndex)
                    writeInteger(item.index);
                m_out += char(vaList);
                for (const StreamProperty &property : item.properties)
                    writeProperty(property, depth + 1);
                m_out += '\0';
            }
            m_out += '\0';
            break;
        }
    }

    QByteArray m_out;
};

// ---------------------------------------------------------------- reading

// A bounds-checked reader over the bytes of one block: every read past `end` fails.
class BinaryReader
{
public:
    BinaryReader(const QByteArray &bytes, qsizetype pos, qsizetype end) : m_bytes(bytes), m_pos(pos), m_end(end) {}

    qsizetype position() const { return m_pos; }

    StreamObject readObject(int depth)
    {
        if (depth > kMaxStreamNesting)
            fail(QStringLiteral("Objects are nested too deeply"));
        StreamObject object;
        if ((peekByte() & 0xF0) == 0xF0) {
            object.flags = readByte() & 0x0F;
            if (object.flags & StreamObject::ChildPosition) {
                bool bad = false;
                const StreamValue position = readValue(depth, bad);
                if (position.kind != StreamValue::Kind::Integer)
                    fail(QStringLiteral("Invalid child position"));
                object.position = position.integer;
            }
        }
        object.className = QString::fromLatin1(readShort());
        object.name = QString::fromLatin1(readShort());
        if (!isStreamIdentifier(object.className))
            fail(QStringLiteral("Invalid class name"));
        while (peekByte() != 0) {
            bool bad = false;
            StreamProperty property;
            property.name = QString::fromLatin1(readShort());
            property.value = readValue(depth, bad);
            if (!bad)
                object.properties.push_back(std::move(property));
        }
        readByte();
        while (peekByte() != 0)
            object.children.push_back(readObject(depth + 1));
        readByte();
        return object;
    }

private:
    [[noreturn]] static void fail(const QString &what)
    {
        throw EStreamError(QStringLiteral("Invalid stream format: %1").arg(what));
    }

    void need(qint64 count) const
    {
        if (count < 0 || count > m_end - m_pos)
            fail(QStringLiteral("unexpected end of data"));
    }

    quint8 peekByte() const
    {
        need(1);
        return quint8(m_bytes[m_pos]);
    }

    quint8 readByte()
    {
        need(1);
        return quint8(m_bytes[m_pos++]);
    }

    template<typename T>
    T read()
    {
        need(sizeof(T));
        T value;
        std::memcpy(&value, m_bytes.constData() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }

    QByteArray readBytes(qint64 count)
    {
        need(count);
        QByteArray bytes = m_bytes.mid(m_pos, count);
        m_pos += count;
        return bytes;
    }

    QByteArray readShort() { return readBytes(readByte()); }

    StreamValue readValue(int depth, bool &bad)
    {
        if (depth > kMaxStreamNesting)
            fail(QStringLiteral("values are nested too deeply"));
        StreamValue value;
        using Kind = StreamValue::Kind;
        const quint8 tag = readByte();
        switch (tag) {
        case vaNull:
            value.kind = Kind::Null;
            break;
        case vaList:
            value.kind = Kind::List;
            while (peekByte() != vaNull)
                value.items.push_back(readValue(depth + 1, bad));
            readByte();
            break;
        case vaInt8:
            value = StreamValue::fromInteger(read<qint8>());
            break;
        case vaInt16:
            value = StreamValue::fromInteger(read<qint16>());
            break;
        case vaInt32:
            value = StreamValue::fromInteger(read<qint32>());
            break;
        case vaInt64:
            value = StreamValue::fromInteger(read<qint64>());
            break;
        case vaExtended: {
            const QByteArray bytes = readBytes(10);
            value.kind = Kind::Extended;
            if (!extendedFromBytes(bytes.constData(), value.real))
                bad = true;
            break;
        }
        case vaSingle: {
            value.kind = Kind::Single;
            value.real = read<float>();
            if (!std::isfinite(value.real))
                bad = true;
            break;
        }
        case vaCurrency:
            value.kind = Kind::Currency;
            value.integer = read<qint64>();
            break;
        case vaDate:
            value.kind = Kind::Date;
            value.real = read<double>();
            if (!std::isfinite(value.real))
                bad = true;
            break;
        case vaString:
            value = StreamValue::fromString(Cp1252::decode(readShort()));
            break;
        case vaLString:
            value = StreamValue::fromString(Cp1252::decode(readBytes(read<quint32>())));
            break;
        case vaUTF8String:
            value = StreamValue::fromString(QString::fromUtf8(readBytes(read<quint32>())));
            break;
        case vaWString: {
            const quint32 count = read<quint32>();
            need(qint64(count) * 2);
            QString text;
            text.reserve(count);
            for (quint32 i = 0; i < count; ++i)
                text += QChar(char16_t(read<quint16>()));
            value = StreamValue::fromString(text);
            break;
        }
        case vaIdent: {
            const QString ident = QString::fromLatin1(readShort());
            if (ident.compare(u"True", Qt::CaseInsensitive) == 0)
                value = StreamValue::fromBool(true);
            else if (ident.compare(u"False", Qt::CaseInsensitive) == 0)
                value = StreamValue::fromBool(false);
            else if (ident.compare(u"nil", Qt::CaseInsensitive) == 0)
                value = StreamValue::nil();
            else if (isStreamPath(ident))
                value = StreamValue::fromIdentifier(ident);
            else
                bad = true;
            break;
        }
        case vaFalse:
            value = StreamValue::fromBool(false);
            break;
        case vaTrue:
            value = StreamValue::fromBool(true);
            break;
        case vaNil:
            value = StreamValue::nil();
            break;
        case vaBinary:
            value.kind = Kind::Binary;
            value.bytes = readBytes(read<quint32>());
            break;
        case vaSet:
            value.kind = Kind::Set;
            while (true) {
                const QString name = QString::fromLatin1(readShort());
                if (name.isEmpty())
                    break;
                if (!isStreamIdentifier(name))
                    bad = true;
                value.names.append(name);
            }
            break;
        case vaCollection:
            value.kind = Kind::Collection;
            while (peekByte() != vaNull) {
                StreamCollectionItem item;
                const quint8 next = peekByte();
                if (next == vaInt8 || next == vaInt16 || next == vaInt32 || next == vaInt64) {
                    item.hasIndex = true;
                    item.index = readValue(depth + 1, bad).integer;
                }
                if (readByte() != vaList)
                    fail(QStringLiteral("collection item expected"));
                while (peekByte() != 0) {
                    bool itemBad = false;
                    StreamProperty property;
                    property.name = QString::fromLatin1(readShort());
                    property.value = readValue(depth + 1, itemBad);
                    if (!itemBad)
                        item.properties.push_back(std::move(property));
                }
                readByte();
                value.collection.push_back(std::move(item));
            }
            readByte();
            break;
        default:
            fail(QStringLiteral("unknown value type %1").arg(tag));
        }
        return value;
    }

    const QByteArray &m_bytes;
    qsizetype m_pos;
    qsizetype m_end;
};

StreamObject readSigned(const QByteArray &bytes, qsizetype pos, qsizetype end, qsizetype *consumed)
{
    if (end - pos < 4 || bytes.mid(pos, 4) != "TPF0")
        throw EStreamError(QStringLiteral("Invalid stream format: signature \"TPF0\" expected"));
    BinaryReader reader(bytes, pos + 4, end);
    StreamObject object = reader.readObject(0);
    if (consumed)
        *consumed = reader.position();
    return object;
}

} // namespace

QByteArray writeObjectBinary(const StreamObject &object)
{
    BinaryWriter writer;
    writer.writeObject(object, 0);
    return "TPF0" + writer.take();
}

StreamObject readObjectBinary(const QByteArray &bytes, qsizetype *consumed)
{
    return readSigned(bytes, 0, bytes.size(), consumed);
}

QByteArray writeObjectResource(const StreamObject &object)
{
    const QByteArray body = writeObjectBinary(object);
    const QByteArray className = object.className.toUpper().toLatin1();
    QByteArray out;
    out += char(0xFF);
    out += char(0x0A);
    out += char(0x00);
    out += className;
    out += '\0';
    out += char(kResourceFlags & 0xFF);
    out += char(kResourceFlags >> 8);
    const quint32 length = quint32(body.size());
    for (int i = 0; i < 4; ++i)
        out += char((length >> (8 * i)) & 0xFF);
    out += body;
    return out;
}

StreamObject readObjectResource(const QByteArray &bytes, qsizetype *consumed)
{
    auto fail = [](const char *what) {
        throw EStreamError(QStringLiteral("Invalid resource form: %1").arg(QLatin1String(what)));
    };
    if (bytes.size() < 3 || quint8(bytes[0]) != 0xFF || bytes[1] != 0x0A || bytes[2] != 0x00)
        fail("header expected");
    const qsizetype nameEnd = bytes.indexOf('\0', 3);
    if (nameEnd < 0 || nameEnd - 3 > 255)
        fail("class name not terminated");
    qsizetype pos = nameEnd + 1;
    if (bytes.size() - pos < 6)
        fail("unexpected end of data");
    pos += 2; // flags
    quint32 length = 0;
    for (int i = 3; i >= 0; --i)
        length = (length << 8) | quint8(bytes[pos + i]);
    pos += 4;
    if (qint64(length) > bytes.size() - pos)
        fail("length past the end of the data");
    const qsizetype end = pos + qsizetype(length);
    StreamObject object = readSigned(bytes, pos, end, nullptr);
    if (consumed)
        *consumed = end;
    return object;
}
