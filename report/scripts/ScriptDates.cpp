#include "report/scripts/ScriptDates.h"

namespace RpScriptDates {

namespace {

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

qint64 floorMod(qint64 a, qint64 b)
{
    return a - floorDiv(a, b) * b;
}

} // namespace

qint64 dayCount(qint64 year, int month, qint64 day)
{
    // January and February 1900 come before the leap-year rhythm the formula below assumes.
    if (year == 1900 && month == 1)
        return day - 1;
    if (year == 1900 && month == 2)
        return day + 30;
    const qint64 m = month >= 3 ? month - 3 : month + 9;
    const qint64 y = month >= 3 ? year - 1900 : year - 1901;
    return day + floorDiv(m * 153 + 2, 5) + floorDiv(y * 1461, 4) + 58;
}

bool dateOfCount(qint64 count, QDate &date)
{
    if (count < 0 || count > kLastDayCount)
        return false;
    if (count < 31) {
        date = QDate(1900, 1, int(count + 1));
        return true;
    }
    if (count < 59) {
        date = QDate(1900, 2, int(count - 30));
        return true;
    }
    // Days from the last day of February 1900 on, in years that start on 1 March.
    const qint64 t = count - 58;
    const qint64 y = (4 * t - 1) / 1461;
    const qint64 r = t - (y * 1461) / 4;
    const qint64 m = (5 * r - 3) / 153;
    const int day = int(r - (m * 153 + 2) / 5);
    const int month = int(m < 10 ? m + 3 : m - 9);
    const int year = int(y + 1900 + (month <= 2 ? 1 : 0));
    date = QDate(year, month, day);
    return date.isValid();
}

bool calcDate(const QDate &date, qint64 days, qint64 months, qint64 years, QDate &result)
{
    if (!date.isValid())
        return false;
    const qint64 start = dayCount(date.year(), date.month(), date.day());
    if (start < 0 || start > kLastDayCount)
        return false;
    const qint64 monthIndex = qint64(date.month()) - 1 + months;
    const int month = int(floorMod(monthIndex, 12)) + 1;
    const qint64 year = date.year() + floorDiv(monthIndex, 12) + years;
    if (year < 1900)
        return false;
    return dateOfCount(dayCount(year, month, date.day()) + days, result);
}

int calcTime(int msecOfDay, qint64 hours, qint64 minutes, qint64 seconds)
{
    constexpr qint64 kSecondsPerDay = 86400;
    const qint64 ms = msecOfDay % 1000;
    const qint64 secondOfDay = msecOfDay / 1000;
    const qint64 total = secondOfDay + seconds + minutes * 60 + hours * 3600;
    return int(floorMod(total, kSecondsPerDay) * 1000 + ms);
}

} // namespace RpScriptDates
