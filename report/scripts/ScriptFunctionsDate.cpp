// The designer's date and time functions. Dates come as text in the regional date and time format and go
// back as text in the short date (four-digit years) or long time format.
#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorFormat.h"
#include "report/scripts/ScriptDates.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"

#include <QDate>
#include <cmath>

namespace RpScriptDetail {

namespace {

TDateTime dateArgument(const QString &text)
{
    TDateTime value = 0;
    if (!RegionalSettings::current().tryStrToDateTime(text, value) || !DateTime::isValid(value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return value;
}

QDate dateOf(const QString &text)
{
    return DateTime::toQDate(dateArgument(text));
}

class TRpEvFunctionDateDiff : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override { return TRpEvValue::Float(dateArgument(Text(1)) - dateArgument(Text(0))); }
};

class TRpEvFunctionReformatDate : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override
    {
        if (Text(0).isEmpty())
            return failure(QStringLiteral("No date to format"));
        return TRpEvValue::String(formatDateMask(Text(1), dateArgument(Text(0))));
    }
};

class TRpEvFunctionCalcDate : public TRpScriptFunction
{
    const char *Signature() const override { return "SNNN"; }
    TRpEvValue Result() override
    {
        qint64 days = 0, months = 0, years = 0;
        if (!wholeNumber(Argument(1), -kRpCalcLimit, kRpCalcLimit, days)
            || !wholeNumber(Argument(2), -kRpCalcLimit, kRpCalcLimit, months)
            || !wholeNumber(Argument(3), -kRpCalcLimit, kRpCalcLimit, years))
            return failure(QStringLiteral("Date arguments out of range"));
        QDate result;
        if (!RpScriptDates::calcDate(dateOf(Text(0)), days, months, years, result))
            return failure(QStringLiteral("Date outside 1900-01-01 to 2079-06-06"));
        return TRpEvValue::String(RegionalSettings::current().dateToStr(DateTime::fromQDate(result)));
    }
};

class TRpEvFunctionCalcTime : public TRpScriptFunction
{
    const char *Signature() const override { return "SNNN"; }
    TRpEvValue Result() override
    {
        TDateTime time = 0;
        if (!RegionalSettings::current().tryStrToDateTime(Text(0), time) || !DateTime::isValid(time))
            return failure(QStringLiteral("'%1' is not a valid time").arg(Text(0)));
        qint64 hours = 0, minutes = 0, seconds = 0;
        if (!wholeNumber(Argument(1), -kRpCalcLimit, kRpCalcLimit, hours)
            || !wholeNumber(Argument(2), -kRpCalcLimit, kRpCalcLimit, minutes)
            || !wholeNumber(Argument(3), -kRpCalcLimit, kRpCalcLimit, seconds))
            return failure(QStringLiteral("Time arguments out of range"));
        const int msecOfDay = RpScriptDates::calcTime(DateTime::msecOfDay(time), hours, minutes, seconds);
        return TRpEvValue::String(
            RegionalSettings::current().timeToStr(double(msecOfDay) / DateTime::kMsPerDay));
    }
};

// EXTRACTDAY, EXTRACTMONTH, EXTRACTYEAR, DAYOFWEEK, WEEKOFYEAR: one number of a date.
template <int (*Part)(const QDate &)> class TRpEvFunctionDatePart : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override { return TRpEvValue::Integer(Part(dateOf(Text(0)))); }
};

int dayOf(const QDate &date)
{
    return date.day();
}
int monthOf(const QDate &date)
{
    return date.month();
}
int yearOf(const QDate &date)
{
    return date.year();
}
// 1 for Sunday to 7 for Saturday.
int weekdayOf(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1;
}
int isoWeekOf(const QDate &date)
{
    return date.weekNumber();
}

class TRpEvFunctionDayString : public TRpScriptFunction
{
    const char *Signature() const override { return "N"; }
    TRpEvValue Result() override
    {
        qint64 day = 0;
        if (!wholeNumber(Argument(0), 1, 7, day))
            return failure(QStringLiteral("Day out of range (1..7)"));
        // 1 is Sunday here, 7 is Sunday for the locale.
        const int localeDay = day == 1 ? 7 : int(day) - 1;
        return TRpEvValue::String(
            RegionalSettings::current().locale().dayName(localeDay, QLocale::LongFormat));
    }
};

class TRpEvFunctionMonthString : public TRpScriptFunction
{
    const char *Signature() const override { return "N"; }
    TRpEvValue Result() override
    {
        qint64 month = 0;
        if (!wholeNumber(Argument(0), 1, 12, month))
            return failure(QStringLiteral("Month out of range (1..12)"));
        return TRpEvValue::String(
            RegionalSettings::current().locale().monthName(int(month), QLocale::LongFormat));
    }
};

} // namespace

void appendDateFunctions(std::vector<ScriptFunction> &list)
{
    list.push_back(scriptFunction<TRpEvFunctionDateDiff>(
        "DATEDIFF", "7SS", describe("DATEDIFF(<D1>,<D2>)", "Calculates days from D1 to D2")));
    list.push_back(scriptFunction<TRpEvFunctionReformatDate>(
        "REFORMATDATE", "7SS", describe("REFORMATDATE(<D>,<F>)", "Formats a date (and time)")));
    list.push_back(scriptFunction<TRpEvFunctionCalcDate>("CALCDATE", "1SNNN",
        describe("CALCDATE( DT, D, M, Y )", "Adds D days, M months and Y years to a given date DT")));
    list.push_back(scriptFunction<TRpEvFunctionDatePart<dayOf>>(
        "EXTRACTDAY", "1S", describe("EXTRACTDAY(<DATE>)", "Gets only the day from a given date.")));
    list.push_back(scriptFunction<TRpEvFunctionDatePart<monthOf>>(
        "EXTRACTMONTH", "1S", describe("EXTRACTMONTH(<DATE>)", "Gets only the month from a given date.")));
    list.push_back(scriptFunction<TRpEvFunctionDatePart<yearOf>>(
        "EXTRACTYEAR", "1S", describe("EXTRACTYEAR(<DATE>)", "Gets only the year from a given date.")));
    list.push_back(scriptFunction<TRpEvFunctionDatePart<weekdayOf>>("DAYOFWEEK", "1S",
        describe("DAYOFWEEK(<DATE>)", "Returns the day of the week (1..7) for a given date.")));
    list.push_back(scriptFunction<TRpEvFunctionDatePart<isoWeekOf>>("WEEKOFYEAR", "1S",
        describe("WEEKOFYEAR(<DATE>)", "Returns the week of the year for a given date.")));
    list.push_back(scriptFunction<TRpEvFunctionDayString>("DAYSTRING", "1N",
        describe("DAYSTRING(<D>)", "Returns the day name for the given day (1=Sunday,2=...).")));
    list.push_back(scriptFunction<TRpEvFunctionMonthString>("MONTHSTRING", "1N",
        describe("MONTHSTRING(<M>)", "Returns the month name for the given month (1..12).")));
    list.push_back(scriptFunction<TRpEvFunctionCalcTime>("CALCTIME", "1SNNN",
        describe("CALCTIME( T, H, M, S )", "Adds H hours, M minutes and S seconds to a given time T")));
}

} // namespace RpScriptDetail
