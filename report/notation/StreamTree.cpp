#include "report/notation/StreamTree.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

StreamValue StreamValue::fromInteger(qint64 v)
{
    StreamValue value;
    value.kind = Kind::Integer;
    value.integer = v;
    return value;
}

StreamValue StreamValue::fromExtended(long double v)
{
    StreamValue value;
    value.kind = Kind::Extended;
    value.real = v;
    return value;
}

StreamValue StreamValue::fromBool(bool v)
{
    StreamValue value;
    value.kind = v ? Kind::True : Kind::False;
    return value;
}

StreamValue StreamValue::fromString(const QString &v)
{
    StreamValue value;
    value.kind = Kind::String;
    value.text = v;
    return value;
}

StreamValue StreamValue::fromIdentifier(const QString &v)
{
    StreamValue value;
    value.kind = Kind::Identifier;
    value.text = v;
    return value;
}

StreamValue StreamValue::nil()
{
    StreamValue value;
    value.kind = Kind::Nil;
    return value;
}

bool StreamValue::operator==(const StreamValue &other) const
{
    if (kind != other.kind)
        return false;
    switch (kind) {
    case Kind::Integer:
    case Kind::Currency:
        return integer == other.integer;
    case Kind::Extended:
    case Kind::Single:
    case Kind::Date:
        return real == other.real;
    case Kind::Identifier:
    case Kind::String:
        return text == other.text;
    case Kind::Set:
        return names == other.names;
    case Kind::Binary:
        return bytes == other.bytes;
    case Kind::List:
        return items == other.items;
    case Kind::Collection:
        return collection == other.collection;
    default:
        return true;
    }
}

namespace {

bool isIdentStart(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool isIdentChar(QChar c)
{
    return isIdentStart(c) || (c >= u'0' && c <= u'9');
}

} // namespace

bool isStreamIdentifier(QStringView name)
{
    if (name.isEmpty() || name.size() > 255 || !isIdentStart(name.front()))
        return false;
    for (QChar c : name) {
        if (!isIdentChar(c))
            return false;
    }
    return true;
}

bool isStreamPath(QStringView name)
{
    if (name.size() > 255)
        return false;
    qsizetype start = 0;
    while (true) {
        const qsizetype dot = name.indexOf(u'.', start);
        const QStringView part = name.mid(start, dot < 0 ? -1 : dot - start);
        if (!isStreamIdentifier(part))
            return false;
        if (dot < 0)
            return true;
        start = dot + 1;
    }
}

QByteArray extendedToBytes(long double value)
{
    QByteArray bytes(10, '\0');
    quint64 mantissa = 0;
    int exponent = 0;
    const bool negative = std::signbit(value);
    const long double magnitude = std::fabs(value);
    if (magnitude != 0) {
        int e = 0;
        const long double fraction = std::frexp(magnitude, &e); // magnitude = fraction * 2^e, fraction in [0.5, 1)
        exponent = e - 1 + 16383;
        if (exponent > 0) {
            mantissa = quint64(std::ldexp(fraction, 64));
        } else {
            // Too small for a normal number: a denormal with exponent field 0.
            mantissa = quint64(std::ldexp(magnitude, 16382 + 63));
            exponent = 0;
        }
    }
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((mantissa >> (8 * i)) & 0xFF);
    const quint16 top = quint16((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    bytes[8] = char(top & 0xFF);
    bytes[9] = char(top >> 8);
    return bytes;
}

bool extendedFromBytes(const char *bytes, long double &value)
{
    quint64 mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | quint8(bytes[i]);
    const quint16 top = quint16(quint8(bytes[8]) | (quint8(bytes[9]) << 8));
    const int exponent = top & 0x7FFF;
    const bool negative = (top & 0x8000) != 0;
    if (exponent == 0x7FFF)
        return false; // infinity or not-a-number
    if (exponent != 0 && (mantissa >> 63) == 0)
        return false; // an "unnormal": no valid value
    long double magnitude;
    if (exponent == 0)
        magnitude = std::ldexp(static_cast<long double>(mantissa), -16382 - 63);
    else
        magnitude = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
    if (!std::isfinite(magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

QString formatStreamFloat(long double value)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    for (int digits = 1; digits <= 21; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*Le", digits - 1, value);
        if (std::strtold(buffer, nullptr) == value)
            break;
    }
    // buffer holds "-d.ddde+XX": split it into sign, digits and the decimal exponent of the first digit.
    const QString scientific = QString::fromLatin1(buffer);
    const bool negative = scientific.startsWith(u'-');
    const qsizetype ePos = scientific.indexOf(u'e');
    QString digits = scientific.mid(negative ? 1 : 0, ePos - (negative ? 1 : 0));
    digits.remove(u'.');
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    const int exponent = scientific.mid(ePos + 1).toInt();

    QString text;
    if (exponent >= 15 || exponent < -4) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += u'.' + digits.mid(1);
        text += u'E' + QString::number(exponent);
    } else if (exponent < 0) {
        text = QStringLiteral("0.") + QString(-exponent - 1, u'0') + digits;
    } else {
        if (digits.size() <= exponent + 1) {
            text = digits + QString(exponent + 1 - digits.size(), u'0');
        } else {
            text = digits.left(exponent + 1) + u'.' + digits.mid(exponent + 1);
        }
    }
    return negative ? u'-' + text : text;
}

StreamObject readObjectBlock(const QByteArray &bytes, qsizetype *consumed)
{
    if (!bytes.isEmpty() && quint8(bytes.at(0)) == 0xFF)
        return readObjectResource(bytes, consumed);
    return readObjectText(bytes, consumed);
}
