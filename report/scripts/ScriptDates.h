#pragma once

#include <QDate>
#include <QtGlobal>

// Beyond this no count of days, months, years, hours, minutes or seconds given to CALCDATE or CALCTIME is
// taken: such an argument is an error.
constexpr qint64 kRpCalcLimit = 1000000000;

// The date and time arithmetic of CALCDATE and CALCTIME.
namespace RpScriptDates {

// Day counts run from 1 January 1900 (0) to 6 June 2079 (65535).
constexpr qint64 kLastDayCount = 65535;

// The count of a date from 1 January 1900 on; a day beyond the end of its month runs on into the next.
qint64 dayCount(qint64 year, int month, qint64 day);
// The date of a count; false outside 0 to kLastDayCount.
bool dateOfCount(qint64 count, QDate &date);
// Adds months and years (the day kept, running on past the end of the month), then days. False when the
// date, the date moved by months and years, or the result lies outside the counted days.
bool calcDate(const QDate &date, qint64 days, qint64 months, qint64 years, QDate &result);
// Adds hours, minutes and seconds to a time of day in milliseconds, wrapping around midnight either way; the
// milliseconds are kept.
int calcTime(int msecOfDay, qint64 hours, qint64 minutes, qint64 seconds);

} // namespace RpScriptDates
