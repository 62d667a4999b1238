#pragma once

#include <QDate>
#include <QDateTime>
#include <QtGlobal>

// A date-time value: days since 30 December 1899, with the time of day as the fraction. Tables store it as a
// millisecond stamp (see dateTimeToStamp), reports and windows compute with the day count.
using TDateTime = double;

namespace DateTime {

constexpr qint64 kMsPerDay = 86400000;
// Day number of 30 December 1899, counting 1 January of year 1 as day 1.
constexpr qint64 kDateDelta = 693594;
// 1 January 0001 and the last millisecond of 31 December 9999 as day counts.
constexpr double kMinDateTime = -693593.0;
constexpr double kMaxDateTime = 2958465.99999999;

// True for a finite value between 1 January 0001 and 31 December 9999.
bool isValid(TDateTime value);
// Throws EConvertError with the platform's message when isValid() is false.
void checkValid(TDateTime value);

TDateTime encodeDate(int year, int month, int day);
TDateTime encodeTime(int hour, int minute, int second, int msec);
TDateTime fromQDate(const QDate &date);
TDateTime fromQDateTime(const QDateTime &dateTime);
QDate toQDate(TDateTime value);
QTime toQTime(TDateTime value);
QDateTime toQDateTime(TDateTime value);
// The time of day in milliseconds (0 … 86 399 999), rounded to the nearest millisecond.
int msecOfDay(TDateTime value);
TDateTime today();
TDateTime now();

// The millisecond stamp tables store: day number (1 = 1 January 0001) × 86 400 000 + milliseconds of the day.
double dateTimeToStamp(TDateTime value);
// The inverse; a stamp whose day is 0 or less, whose milliseconds are negative, or that is not finite throws
// EConvertError "'%d.%d' is not a valid timestamp".
TDateTime stampToDateTime(double stamp);

} // namespace DateTime
