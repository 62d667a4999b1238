#include "report/expressions/EvaluatorValue.h"

#include "platform/Cp1252.h"
#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"

#include <limits>

TRpEvValue TRpEvValue::Integer(qint32 value)
{
    TRpEvValue result;
    result.m_integer = value;
    return result;
}

TRpEvValue TRpEvValue::Integer64(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return Float(double(value));
    return Integer(qint32(value));
}

TRpEvValue TRpEvValue::Float(double value)
{
    TRpEvValue result;
    result.m_kind = evFloat;
    result.m_float = value;
    return result;
}

TRpEvValue TRpEvValue::String(const QString &text)
{
    TRpEvValue result;
    result.m_kind = evString;
    result.m_text = rpEvCutText(text);
    return result;
}

TRpEvValue TRpEvValue::Boolean(bool value)
{
    TRpEvValue result;
    result.m_kind = evBoolean;
    result.m_boolean = value;
    return result;
}

TRpEvValue TRpEvValue::Error(const QString &message)
{
    TRpEvValue result;
    result.m_kind = evError;
    result.m_text = rpEvCutText(message);
    return result;
}

QString TRpEvValue::ValueToText() const
{
    switch (m_kind) {
    case evInteger:
        return QString::number(m_integer);
    case evFloat:
        return RegionalSettings::current().floatToStr(m_float, 15);
    case evString:
        return m_text;
    case evBoolean:
        return m_boolean ? QStringLiteral("True") : QStringLiteral("False");
    case evError:
        break;
    }
    throw Exception(QStringLiteral("Error in expression : %1").arg(m_text));
}

QString TRpEvValue::KindName(TRpEvKind kind)
{
    switch (kind) {
    case evInteger:
        return QStringLiteral("INTEGER");
    case evFloat:
        return QStringLiteral("FLOAT");
    case evString:
        return QStringLiteral("STRING");
    case evBoolean:
        return QStringLiteral("BOOLEAN");
    case evError:
        return QStringLiteral("ERROR");
    }
    return QStringLiteral("Unknown type");
}

QString rpEvDescribe(const TRpEvValue &value)
{
    static const char *const kinds[] = { "integer", "float", "string", "boolean", "error" };
    const QString text = value.IsError() ? value.Text() : value.ValueToText();
    return QLatin1String(kinds[value.Kind()]) + QStringLiteral(": ") + text;
}

QString rpEvCutText(const QString &text)
{
    return text.size() > kRpEvMaxText ? text.left(kRpEvMaxText) : text;
}

namespace {

// The single-byte code of a character, so that texts order as the program's Windows-1252 tables do;
// characters outside the code page order after it, by their own code.
int ordinalCode(QChar c)
{
    if (c.unicode() < 0x80)
        return c.unicode();
    QByteArray byte;
    if (Cp1252::encode(QStringView(&c, 1), byte) && byte.size() == 1)
        return quint8(byte[0]);
    return 0x100 + c.unicode();
}

} // namespace

int rpEvCompareOrdinal(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        return ordinalCode(a[i]) < ordinalCode(b[i]) ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}
