#include "report/scripts/detail/ScriptFunctionSupport.h"

#include "platform/Exceptions.h"

#include <cmath>
#include <cstring>

namespace RpScriptDetail {

namespace {

bool fits(char letter, const TRpEvValue &value)
{
    switch (letter) {
    case 'S':
        return value.Kind() == evString;
    case 'N':
        return value.IsNumeric();
    case 'B':
        return value.Kind() == evBoolean;
    case 'T':
        return value.Kind() == evString || value.Kind() == evInteger;
    case 'U':
        return value.Kind() == evString || value.IsNumeric();
    default:
        return true;
    }
}

} // namespace

TRpEvValue failure(const QString &message)
{
    return TRpEvValue::Error(message);
}

bool wholeNumber(const TRpEvValue &value, qint64 min, qint64 max, qint64 &number)
{
    if (value.Kind() == evInteger) {
        number = value.AsInteger();
    } else if (value.Kind() == evFloat) {
        const double truncated = std::trunc(value.AsFloat());
        // Beyond ±2^62 no bound below can be met anyway, and the conversion must not overflow.
        if (!std::isfinite(truncated) || std::abs(truncated) > 4.6e18)
            return false;
        number = qint64(truncated);
    } else {
        return false;
    }
    return number >= min && number <= max;
}

void TRpScriptFunction::ComputeResult(TRpEvValue &value)
{
    const char *signature = Signature();
    if (ArgumentCount() != int(std::strlen(signature))) {
        value = failure(QStringLiteral("Wrong arguments for %1").arg(m_name));
        return;
    }
    for (int i = 0; i < ArgumentCount(); ++i) {
        if (Argument(i).IsError()) {
            value = Argument(i);
            return;
        }
        if (!fits(signature[i], Argument(i))) {
            value = failure(QStringLiteral("Wrong arguments for %1").arg(m_name));
            return;
        }
    }
    try {
        value = Result();
    } catch (const Exception &error) {
        value = failure(error.message());
    } catch (const std::exception &error) {
        value = failure(QString::fromLocal8Bit(error.what()));
    }
}

} // namespace RpScriptDetail
