#include "report/notation/StreamTree.h"

#include "platform/Cp1252.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kStringPiece = 64;
constexpr int kBinaryLine = 32;

// ---------------------------------------------------------------- writing

class TextWriter
{
public:
    QByteArray take() { return std::move(m_out); }

    void writeObject(const StreamObject &object, int level)
    {
        if (level > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Objects are nested too deeply"));
        checkName(object.className, QStringLiteral("class name"));
        if (!object.name.isEmpty())
            checkName(object.name, QStringLiteral("object name"));
        QByteArray line = (object.flags & StreamObject::Inline)          ? "inline "
                          : (object.flags & StreamObject::Inherited) ? "inherited "
                                                                        : "object ";
        if (!object.name.isEmpty())
            line += object.name.toLatin1() + ": ";
        line += object.className.toLatin1();
        if (object.flags & StreamObject::ChildPosition)
            line += " [" + QByteArray::number(object.position) + "]";
        writeLine(level, line);
        for (const StreamProperty &property : object.properties)
            writeProperty(property, level + 1);
        for (const StreamObject &child : object.children)
            writeObject(child, level + 1);
        writeLine(level, "end");
    }

private:
    static void checkName(const QString &name, const QString &what)
    {
        if (!isStreamIdentifier(name))
            throw EStreamError(QStringLiteral("Invalid %1 \"%2\"").arg(what, name));
    }

    static bool isKeyword(const QString &name)
    {
        const QString first = name.section(u'.', 0, 0);
        for (const char *keyword : {"object", "inherited", "inline", "end"}) {
            if (first.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }

    void writeProperty(const StreamProperty &property, int level)
    {
        if (!isStreamPath(property.name) || isKeyword(property.name))
            throw EStreamError(QStringLiteral("Invalid property name \"%1\"").arg(property.name));
        indent(level);
        m_out += property.name.toLatin1() + " = ";
        writeValue(property.value, level, 0);
        m_out += "\r\n";
    }

    void indent(int level) { m_out += QByteArray(2 * level, ' '); }

    void writeLine(int level, const QByteArray &text)
    {
        indent(level);
        m_out += text + "\r\n";
    }

    void newLine(int level)
    {
        m_out += "\r\n";
        indent(level);
    }

    // `level` is the indentation of the line the value starts on.
    void writeValue(const StreamValue &value, int level, int depth)
    {
        if (depth > kMaxStreamNesting)
            throw EStreamError(QStringLiteral("Values are nested too deeply"));
        using Kind = StreamValue::Kind;
        switch (value.kind) {
        case Kind::Null:
            m_out += "nil";
            break;
        case Kind::Nil:
            m_out += "nil";
            break;
        case Kind::False:
            m_out += "False";
            break;
        case Kind::True:
            m_out += "True";
            break;
        case Kind::Integer:
            m_out += QByteArray::number(value.integer);
            break;
        case Kind::Extended:
            m_out += floatText(value.real);
            break;
        case Kind::Single:
            m_out += floatText(value.real) + 's';
            break;
        case Kind::Date:
            m_out += floatText(value.real) + 'd';
            break;
        case Kind::Currency:
            m_out += currencyText(value.integer) + 'c';
            break;
        case Kind::Identifier:
            if (!isStreamPath(value.text))
                throw EStreamError(QStringLiteral("Invalid identifier \"%1\"").arg(value.text));
            m_out += value.text.toLatin1();
            break;
        case Kind::String:
            writeString(value.text, level);
            break;
        case Kind::Set:
            writeSet(value.names);
            break;
        case Kind::Binary:
            writeBinary(value.bytes, level);
            break;
        case Kind::List:
            m_out += '(';
            for (const StreamValue &item : value.items) {
                newLine(level + 1);
                writeValue(item, level + 1, depth + 1);
            }
            m_out += ')';
            break;
        case Kind::Collection:
            writeCollection(value.collection, level, depth);
            break;
        }
    }

    static QByteArray floatText(long double v)
    {
        if (!std::isfinite(v))
            throw EStreamError(QStringLiteral("A float value is not a finite number"));
        return formatStreamFloat(v).toLatin1();
    }

    static QByteArray currencyText(qint64 scaled)
    {
        const bool negative = scaled < 0;
        const quint64 magnitude = negative ? quint64(0) - quint64(scaled) : quint64(scaled);
        QByteArray text = QByteArray::number(magnitude / 10000);
        QByteArray fraction = QByteArray::number(magnitude % 10000).rightJustified(4, '0');
        while (fraction.endsWith('0'))
            fraction.chop(1);
        if (!fraction.isEmpty())
            text += '.' + fraction;
        return negative ? '-' + text : text;
    }

    void writeSet(const QStringList &names)
    {
        m_out += '[';
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (!isStreamIdentifier(names[i]))
                throw EStreamError(QStringLiteral("Invalid set element \"%1\"").arg(names[i]));
            if (i > 0)
                m_out += ", ";
            m_out += names[i].toLatin1();
        }
        m_out += ']';
    }

    void writeBinary(const QByteArray &bytes, int level)
    {
        m_out += '{';
        if (bytes.size() < kBinaryLine) {
            m_out += bytes.toHex().toUpper();
        } else {
            for (qsizetype i = 0; i < bytes.size(); i += kBinaryLine) {
                newLine(level + 1);
                m_out += bytes.mid(i, kBinaryLine).toHex().toUpper();
            }
        }
        m_out += '}';
    }

    void writeCollection(const std::vector<StreamCollectionItem> &items, int level, int depth)
    {
        m_out += '<';
        for (const StreamCollectionItem &item : items) {
            newLine(level + 1);
            m_out += "item";
            if (item.hasIndex)
                m_out += " [" + QByteArray::number(item.index) + "]";
            m_out += "\r\n";
            for (const StreamProperty &property : item.properties) {
                if (depth + 1 > kMaxStreamNesting)
                    throw EStreamError(QStringLiteral("Values are nested too deeply"));
                writeProperty(property, level + 2);
            }
            indent(level + 1);
            m_out += "end";
        }
        m_out += '>';
    }

    // A string is written as quoted runs of Windows-1252 bytes and "#" codes; when it holds a character
    // outside Windows-1252 it is a wide string and every character above 127 becomes a code too.
    void writeString(const QString &text, int level)
    {
        if (text.isEmpty()) {
            m_out += "''";
            return;
        }
        const bool wide = !Cp1252::canEncode(text);
        const bool multiLine = text.size() > kStringPiece;
        if (multiLine)
            newLine(level + 1);
        for (qsizetype start = 0; start < text.size(); start += kStringPiece) {
            if (start > 0) {
                m_out += " +";
                newLine(level + 1);
            }
            writePiece(QStringView(text).mid(start, kStringPiece), wide);
        }
    }

    void writePiece(QStringView piece, bool wide)
    {
        bool quoted = false;
        for (QChar c : piece) {
            const ushort code = c.unicode();
            QByteArray byte;
            const bool asCode = code < 32 || code == u'\'' || (wide && code > 127)
                                || !Cp1252::encode(QStringView(&c, 1), byte);
            if (asCode) {
                if (quoted) {
                    m_out += '\'';
                    quoted = false;
                }
                m_out += '#' + QByteArray::number(code);
            } else {
                if (!quoted) {
                    m_out += '\'';
                    quoted = true;
                }
                m_out += byte;
            }
        }
        if (quoted)
            m_out += '\'';
    }

    QByteArray m_out;
};

// ---------------------------------------------------------------- reading

// A value that is well formed but not acceptable (out of range, a code above 65535, not finite) sets m_bad:
// the property is then skipped and reading goes on.
class TextReader
{
public:
    explicit TextReader(const QByteArray &text) : m_text(text) {}

    StreamObject readTop()
    {
        skipBlanks();
        StreamObject object = readObject(0);
        return object;
    }

    qsizetype position() const
    {
        // Include the rest of the "end" line.
        qsizetype pos = m_pos;
        while (pos < m_text.size() && (m_text[pos] == ' ' || m_text[pos] == '\t'))
            ++pos;
        if (pos < m_text.size() && m_text[pos] == '\r')
            ++pos;
        if (pos < m_text.size() && m_text[pos] == '\n')
            ++pos;
        return pos;
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw EStreamError(QStringLiteral("Line %1: %2").arg(m_line).arg(what));
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }

    void skipBlanks()
    {
        while (!atEnd()) {
            const char c = m_text[m_pos];
            if (c == '\n')
                ++m_line;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0')
                ++m_pos;
            else
                break;
        }
    }

    static bool identStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool identChar(char c) { return identStart(c) || (c >= '0' && c <= '9'); }

    // An identifier, with dots when `dotted`.
    QString readIdent(bool dotted, const char *what)
    {
        skipBlanks();
        if (!identStart(peek()))
            fail(QStringLiteral("%1 expected").arg(QLatin1String(what)));
        const qsizetype start = m_pos;
        while (!atEnd() && (identChar(peek()) || (dotted && peek() == '.' && m_pos + 1 < m_text.size()
                                                            && identStart(m_text[m_pos + 1]))))
            ++m_pos;
        if (m_pos - start > 255)
            fail(QStringLiteral("Name too long"));
        return QString::fromLatin1(m_text.mid(start, m_pos - start));
    }

    void expect(char c)
    {
        skipBlanks();
        if (peek() != c)
            fail(QStringLiteral("\"%1\" expected").arg(QLatin1Char(c)));
        ++m_pos;
    }

    static bool isWord(const QString &word, const char *keyword)
    {
        return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }

    StreamObject readObject(int depth)
    {
        if (depth > kMaxStreamNesting)
            fail(QStringLiteral("Objects are nested too deeply"));
        StreamObject object;
        const QString keyword = readIdent(false, "\"object\"");
        if (isWord(keyword, "inherited"))
            object.flags |= StreamObject::Inherited;
        else if (isWord(keyword, "inline"))
            object.flags |= StreamObject::Inline;
        else if (!isWord(keyword, "object"))
            fail(QStringLiteral("\"object\" expected"));
        const QString first = readIdent(false, "Class name");
        skipBlanks();
        if (peek() == ':') {
            ++m_pos;
            object.name = first;
            object.className = readIdent(false, "Class name");
        } else {
            object.className = first;
        }
        skipBlanks();
        if (peek() == '[') {
            ++m_pos;
            object.flags |= StreamObject::ChildPosition;
            object.position = readPlainInteger();
            expect(']');
        }
        while (true) {
            skipBlanks();
            if (atEnd())
                fail(QStringLiteral("\"end\" expected"));
            const qsizetype mark = m_pos;
            const int markLine = m_line;
            const QString word = readIdent(true, "Property name");
            if (isWord(word, "end"))
                break;
            if (isWord(word, "object") || isWord(word, "inherited") || isWord(word, "inline")) {
                m_pos = mark;
                m_line = markLine;
                object.children.push_back(readObject(depth + 1));
                continue;
            }
            expect('=');
            StreamProperty property{word, {}};
            m_bad = false;
            property.value = readValue(depth);
            if (!m_bad)
                object.properties.push_back(std::move(property));
        }
        return object;
    }

    qint64 readPlainInteger()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        if (peek() == '-' || peek() == '+')
            ++m_pos;
        while (!atEnd() && peek() >= '0' && peek() <= '9')
            ++m_pos;
        bool ok = false;
        const qint64 value = m_text.mid(start, m_pos - start).toLongLong(&ok);
        if (!ok)
            fail(QStringLiteral("Integer expected"));
        return value;
    }

    StreamValue readValue(int depth)
    {
        if (depth > kMaxStreamNesting)
            fail(QStringLiteral("Values are nested too deeply"));
        skipBlanks();
        const char c = peek();
        if (c == '\'' || c == '#')
            return StreamValue::fromString(readString());
        if (c == '-' || c == '+' || (c >= '0' && c <= '9') || c == '$')
            return readNumber();
        if (c == '[')
            return readSet();
        if (c == '(')
            return readList(depth);
        if (c == '<')
            return readCollection(depth);
        if (c == '{')
            return readBinary();
        if (identStart(c)) {
            const QString ident = readIdent(true, "Value");
            if (isWord(ident, "True"))
                return StreamValue::fromBool(true);
            if (isWord(ident, "False"))
                return StreamValue::fromBool(false);
            if (isWord(ident, "nil"))
                return StreamValue::nil();
            return StreamValue::fromIdentifier(ident);
        }
        if (atEnd())
            fail(QStringLiteral("Unexpected end of text"));
        fail(QStringLiteral("Invalid property value"));
    }

    StreamValue readNumber()
    {
        const qsizetype start = m_pos;
        if (peek() == '-' || peek() == '+')
            ++m_pos;
        if (peek() == '$') {
            ++m_pos;
            const qsizetype digits = m_pos;
            while (!atEnd() && std::isxdigit(static_cast<unsigned char>(peek())))
                ++m_pos;
            bool ok = false;
            const qint64 v = m_text.mid(digits, m_pos - digits).toLongLong(&ok, 16);
            if (!ok) {
                if (m_pos == digits)
                    fail(QStringLiteral("Number expected"));
                m_bad = true;
            }
            return StreamValue::fromInteger(m_text[start] == '-' ? -v : v);
        }
        bool isFloat = false;
        while (!atEnd() && peek() >= '0' && peek() <= '9')
            ++m_pos;
        if (peek() == '.') {
            isFloat = true;
            ++m_pos;
            while (!atEnd() && peek() >= '0' && peek() <= '9')
                ++m_pos;
        }
        if (peek() == 'E' || peek() == 'e') {
            isFloat = true;
            ++m_pos;
            if (peek() == '-' || peek() == '+')
                ++m_pos;
            while (!atEnd() && peek() >= '0' && peek() <= '9')
                ++m_pos;
        }
        const QByteArray number = m_text.mid(start, m_pos - start);
        const bool hasDigit = std::any_of(number.begin(), number.end(), [](char d) { return d >= '0' && d <= '9'; });
        if (!hasDigit)
            fail(QStringLiteral("Number expected"));
        StreamValue value;
        const char suffix = peek();
        if (suffix == 's' || suffix == 'S' || suffix == 'c' || suffix == 'C' || suffix == 'd' || suffix == 'D') {
            ++m_pos;
            isFloat = true;
        }
        if (!isFloat) {
            bool ok = false;
            value = StreamValue::fromInteger(number.toLongLong(&ok));
            if (!ok)
                m_bad = true;
            return value;
        }
        char *end = nullptr;
        const long double real = std::strtold(number.constData(), &end);
        if (!std::isfinite(real)) {
            m_bad = true;
            return value;
        }
        switch (suffix) {
        case 's':
        case 'S':
            value.kind = StreamValue::Kind::Single;
            if (std::fabs(real) > std::numeric_limits<float>::max())
                m_bad = true;
            else
                value.real = static_cast<float>(real);
            break;
        case 'c':
        case 'C': {
            const long double scaled = std::round(real * 10000);
            if (!(std::fabs(scaled) < 9.2e18L)) {
                m_bad = true;
                break;
            }
            value.kind = StreamValue::Kind::Currency;
            value.integer = qint64(scaled);
            break;
        }
        case 'd':
        case 'D':
            value.kind = StreamValue::Kind::Date;
            if (std::fabs(real) > std::numeric_limits<double>::max())
                m_bad = true;
            else
                value.real = static_cast<double>(real);
            break;
        default:
            value.kind = StreamValue::Kind::Extended;
            value.real = real;
            break;
        }
        return value;
    }

    QString readString()
    {
        QString text;
        while (true) {
            skipBlanks();
            const char c = peek();
            if (c == '\'') {
                ++m_pos;
                QByteArray bytes;
                while (true) {
                    if (atEnd() || peek() == '\r' || peek() == '\n')
                        fail(QStringLiteral("Unterminated string"));
                    const char ch = m_text[m_pos++];
                    if (ch == '\'') {
                        if (peek() == '\'') {
                            ++m_pos;
                            bytes += '\'';
                            continue;
                        }
                        break;
                    }
                    bytes += ch;
                }
                text += Cp1252::decode(bytes);
            } else if (c == '#') {
                ++m_pos;
                const qint64 code = readCharCode();
                if (code < 0 || code > 65535)
                    m_bad = true;
                else
                    text += QChar(char16_t(code));
            } else {
                break;
            }
            // Pieces follow each other directly or are joined with "+"; a blank without "+" ends the string
            // (list items are strings separated by line breaks).
            if (peek() == '\'' || peek() == '#')
                continue;
            const qsizetype mark = m_pos;
            const int markLine = m_line;
            skipBlanks();
            if (peek() == '+') {
                ++m_pos;
                skipBlanks();
                if (peek() != '\'' && peek() != '#')
                    fail(QStringLiteral("String expected"));
            } else {
                m_pos = mark;
                m_line = markLine;
                break;
            }
        }
        return text;
    }

    qint64 readCharCode()
    {
        const bool hex = peek() == '$';
        if (hex)
            ++m_pos;
        const qsizetype start = m_pos;
        while (!atEnd() && (hex ? std::isxdigit(static_cast<unsigned char>(peek())) != 0 : (peek() >= '0' && peek() <= '9')))
            ++m_pos;
        if (m_pos == start)
            fail(QStringLiteral("Character code expected"));
        bool ok = false;
        const qint64 code = m_text.mid(start, m_pos - start).toLongLong(&ok, hex ? 16 : 10);
        return ok ? code : -1;
    }

    StreamValue readSet()
    {
        ++m_pos;
        StreamValue value;
        value.kind = StreamValue::Kind::Set;
        skipBlanks();
        if (peek() == ']') {
            ++m_pos;
            return value;
        }
        while (true) {
            value.names.append(readIdent(false, "Set element"));
            skipBlanks();
            if (peek() == ']') {
                ++m_pos;
                return value;
            }
            expect(',');
        }
    }

    StreamValue readList(int depth)
    {
        ++m_pos;
        StreamValue value;
        value.kind = StreamValue::Kind::List;
        while (true) {
            skipBlanks();
            if (peek() == ')') {
                ++m_pos;
                return value;
            }
            if (atEnd())
                fail(QStringLiteral("\")\" expected"));
            value.items.push_back(readValue(depth + 1));
        }
    }

    StreamValue readCollection(int depth)
    {
        ++m_pos;
        StreamValue value;
        value.kind = StreamValue::Kind::Collection;
        while (true) {
            skipBlanks();
            if (peek() == '>') {
                ++m_pos;
                return value;
            }
            const QString word = readIdent(false, "\"item\"");
            if (!isWord(word, "item"))
                fail(QStringLiteral("\"item\" expected"));
            StreamCollectionItem item;
            skipBlanks();
            if (peek() == '[') {
                ++m_pos;
                item.hasIndex = true;
                item.index = readPlainInteger();
                expect(']');
            }
            while (true) {
                skipBlanks();
                if (atEnd())
                    fail(QStringLiteral("\"end\" expected"));
                const QString name = readIdent(true, "Property name");
                if (isWord(name, "end"))
                    break;
                expect('=');
                const bool outerBad = m_bad;
                m_bad = false;
                StreamProperty property{name, readValue(depth + 1)};
                if (!m_bad)
                    item.properties.push_back(std::move(property));
                m_bad = outerBad;
            }
            value.collection.push_back(std::move(item));
        }
    }

    StreamValue readBinary()
    {
        ++m_pos;
        StreamValue value;
        value.kind = StreamValue::Kind::Binary;
        QByteArray hex;
        while (true) {
            skipBlanks();
            if (atEnd())
                fail(QStringLiteral("\"}\" expected"));
            const char c = m_text[m_pos++];
            if (c == '}')
                break;
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                fail(QStringLiteral("Invalid binary value"));
            hex += c;
        }
        if (hex.size() % 2 != 0)
            fail(QStringLiteral("Invalid binary value"));
        value.bytes = QByteArray::fromHex(hex);
        return value;
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_bad = false;
};

} // namespace

QByteArray writeObjectText(const StreamObject &object)
{
    TextWriter writer;
    writer.writeObject(object, 0);
    return writer.take();
}

StreamObject readObjectText(const QByteArray &text, qsizetype *consumed)
{
    TextReader reader(text);
    StreamObject object = reader.readTop();
    if (consumed)
        *consumed = reader.position();
    return object;
}
