#include "platform/DateTime.h"

#include "platform/Exceptions.h"

#include <cmath>

namespace DateTime {

namespace {
// Julian day of 30 December 1899.
constexpr qint64 kJulianOfZero = 2415019;
}

bool isValid(TDateTime value)
{
    return std::isfinite(value) && value >= kMinDateTime && value < kMaxDateTime + 1e-8;
}

void checkValid(TDateTime value)
{
    if (!isValid(value))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
}

TDateTime encodeDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999)
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return fromQDate(date);
}

TDateTime encodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0
        || msec > 999)
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(kMsPerDay);
}

TDateTime fromQDate(const QDate &date)
{
    return double(date.toJulianDay() - kJulianOfZero);
}

TDateTime fromQDateTime(const QDateTime &dateTime)
{
    const double days = fromQDate(dateTime.date());
    const double fraction = double(dateTime.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    return days < 0 ? days - fraction : days + fraction;
}

// Splits a value into whole days and milliseconds of the day the way the platform does: the fraction is the
// time of day whatever the sign of the day count (-1.25 is 29 December 1899, 06:00).
static void split(TDateTime value, qint64 &days, qint64 &ms)
{
    const qint64 total = qint64(std::llround(value * double(kMsPerDay)));
    const qint64 magnitude = total < 0 ? -total : total;
    days = magnitude / kMsPerDay;
    ms = magnitude % kMsPerDay;
    if (total < 0)
        days = -days;
}

QDate toQDate(TDateTime value)
{
    if (!isValid(value))
        return {};
    qint64 days, ms;
    split(value, days, ms);
    return QDate::fromJulianDay(days + kJulianOfZero);
}

int msecOfDay(TDateTime value)
{
    if (!isValid(value))
        return 0;
    qint64 days, ms;
    split(value, days, ms);
    return int(ms);
}

QTime toQTime(TDateTime value)
{
    return QTime::fromMSecsSinceStartOfDay(msecOfDay(value));
}

QDateTime toQDateTime(TDateTime value)
{
    return QDateTime(toQDate(value), toQTime(value));
}

TDateTime today()
{
    return fromQDate(QDate::currentDate());
}

TDateTime now()
{
    return fromQDateTime(QDateTime::currentDateTime());
}

double dateTimeToStamp(TDateTime value)
{
    checkValid(value);
    const qint64 t = qint64(std::llround(value * double(kMsPerDay)));
    qint64 day, ms;
    if (t >= 0) {
        day = t / kMsPerDay + kDateDelta;
        ms = t % kMsPerDay;
    } else {
        day = kDateDelta - (-t / kMsPerDay);
        ms = -t % kMsPerDay;
    }
    return double(day * kMsPerDay + ms);
}

TDateTime stampToDateTime(double stamp)
{
    // Beyond 31 December 9999 or below day 1 the value has no date; report it as the platform does.
    constexpr double kMaxStamp = 3652060.0 * double(kMsPerDay);
    if (!std::isfinite(stamp) || stamp < 0 || stamp >= kMaxStamp) {
        const qint64 day = std::isfinite(stamp) && std::fabs(stamp) < 9e18 ? qint64(stamp) / kMsPerDay : 0;
        const qint64 ms = std::isfinite(stamp) && std::fabs(stamp) < 9e18 ? qint64(stamp) % kMsPerDay : 0;
        throw EConvertError(QStringLiteral("'%1.%2' is not a valid timestamp").arg(day).arg(ms));
    }
    const qint64 t = qint64(std::llround(stamp));
    const qint64 day = t / kMsPerDay;
    const qint64 ms = t % kMsPerDay;
    if (day <= 0 || ms < 0)
        throw EConvertError(QStringLiteral("'%1.%2' is not a valid timestamp").arg(day).arg(ms));
    const qint64 relative = day - kDateDelta;
    const double result = relative < 0 ? (double(relative * kMsPerDay) - double(ms)) / double(kMsPerDay)
                                       : (double(relative * kMsPerDay) + double(ms)) / double(kMsPerDay);
    return result;
}

} // namespace DateTime
