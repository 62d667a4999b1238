// The designer's report and page functions: page feed and position, page numbers, counters, resets of
// expression elements, the state of groups and bands, units, currency, dates, variables, query parameters.
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/Evaluator.h"
#include "report/files/DesignClasses.h"
#include "report/generation/ReportRun.h"
#include "report/scripts/DesignRun.h"
#include "report/scripts/ScriptComponents.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"

#include <cmath>

namespace RpScriptDetail {

namespace {

TCustomRpReport *reportOrThrow()
{
    TCustomRpReport *report = RpComponentSearch::findReport();
    if (!report)
        throw Exception(QStringLiteral("No report"));
    return report;
}

// The run the page functions read: that of the report the search finds when it is running, else the run
// going on on this thread (a report that is not a designed one); null when neither is. Without a report
// of either kind there is nothing to read: an error.
TRpReportRun *reportRun()
{
    TCustomRpReport *report = RpComponentSearch::findReport();
    if (report) {
        if (TRpReportRun *run = RpRunningReports::find(report).run)
            return run;
    }
    if (TRpReportRun *run = currentRunOnThisThread())
        return run;
    if (!report)
        throw Exception(QStringLiteral("No report"));
    return nullptr;
}

// A page feed now. While a page or column starts or finishes the generator ignores it, so that a page
// header or footer asking for one cannot start pages without end.
class TRpEvFunctionNewPage : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override
    {
        if (Validating())
            return TRpEvValue::String(QString());
        try {
            if (TRpReportRun *run = reportRun())
                run->RequestNewPage();
        } catch (const Exception &) {
            // A page feed that fails is passed over: the expression still gives its text.
        }
        return TRpEvValue::String(QString());
    }
};

class TRpEvFunctionVertPrintPos : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override
    {
        TRpReportRun *run = reportRun();
        if (!run)
            return failure(QStringLiteral("The report is not running"));
        return TRpEvValue::Integer64(qint64(std::llround(double(run->CurrentY()))));
    }
};

class TRpEvFunctionPageNumber : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override
    {
        TRpReportRun *run = reportRun();
        return TRpEvValue::Integer(run ? run->PageNumber() : 0);
    }
};

// Known only for reports prepared in advance, which this program does not do: an error otherwise.
class TRpEvFunctionPageCount : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override
    {
        reportOrThrow();
        return failure(QStringLiteral("The page count is known only for reports prepared in advance"));
    }
};

class TRpEvFunctionCounter : public TRpScriptFunction
{
public:
    void ResetState() override { m_count = 0; }

private:
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override { return TRpEvValue::Integer64(++m_count); }

    qint64 m_count = 0;
};

// The first object of that name and kind in the windows, taken in the order they were made.
template <typename T> T *inWindowsInOrder(const QString &name)
{
    for (QObject *window : RpComponentSearch::windows()) {
        if (auto *found = qobject_cast<T *>(RpComponentSearch::componentOf(window, name)))
            return found;
    }
    return nullptr;
}

class TRpEvFunctionResetExpr : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        auto *expression = inWindowsInOrder<TRpDesignExpr>(Text(0));
        if (expression && expression->evaluator() && !Validating())
            expression->evaluator()->ResetAggregates();
        return TRpEvValue::String(QString());
    }
};

class TRpEvFunctionGroupPrinted : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        auto *group = inWindowsInOrder<TRpDesignGroup>(Text(0));
        if (!group)
            return failure(QStringLiteral("Group not found: %1").arg(Text(0)));
        return TRpEvValue::Boolean(groupPrinted(group));
    }
};

class TRpEvFunctionPagePrints : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        QObject *element = RpComponentSearch::reportElementSearch(Text(0), true).component;
        if (!element)
            return failure(QStringLiteral("Element not found: %1").arg(Text(0)));
        for (const RpRunningReport &entry : RpRunningReports::list()) {
            for (const QObject *o = element; o && entry.design; o = o->parent()) {
                if (o == entry.report)
                    return TRpEvValue::Integer(entry.design->pagePrints(element));
            }
        }
        return TRpEvValue::Integer(0);
    }
};

class TRpEvFunctionPixels : public TRpScriptFunction
{
    const char *Signature() const override { return "N"; }
    TRpEvValue Result() override
    {
        const TCustomRpReport *report = reportOrThrow();
        if (!std::isfinite(Number(0)) || std::abs(Number(0)) > 1e9)
            return failure(QStringLiteral("Value out of range"));
        UnitContext context;
        context.unit = report->units();
        context.resolution = screenResolution();
        context.fontPoints = report->font()->size();
        const long double native = unitToNative(Number(0), context, Axis::Horizontal);
        return TRpEvValue::Integer64(nativeToPixels(native, screenResolution(), 100));
    }
};

class TRpEvFunctionCurrency : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override { return TRpEvValue::String(RegionalSettings::current().currencyString()); }
};

class TRpEvFunctionPrintDate : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override
    {
        return TRpEvValue::String(RegionalSettings::current().dateToStr(DateTime::today()));
    }
};

// The host's variables: this program has no provider of them.
class TRpEvFunctionVar : public TRpScriptFunction
{
    const char *Signature() const override { return "U"; }
    TRpEvValue Result() override { return failure(QStringLiteral("No application variables")); }
};

// Query parameters need the query interface of a database engine, which this program does not load.
class TRpEvFunctionQueryParam : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override { return failure(QStringLiteral("No query interface")); }
};

} // namespace

void appendReportFunctions(std::vector<ScriptFunction> &list)
{
    list.push_back(
        scriptFunction<TRpEvFunctionNewPage>("NEWPAGE", "7", describe("NEWPAGE", "Forces a page feed")));
    list.push_back(scriptFunction<TRpEvFunctionVertPrintPos>(
        "VERTPRINTPOS", "7", describe("VERPRINTPOS", "Returns current vertical printing position")));
    list.push_back(scriptFunction<TRpEvFunctionPageNumber>(
        "PAGENUMBER", "7", describe("PAGENUMBER", "Returns the current page number")));
    list.push_back(scriptFunction<TRpEvFunctionPageCount>(
        "PAGECOUNT", "7", describe("PAGECOUNT", "Returns the total number of pages")));
    list.push_back(scriptFunction<TRpEvFunctionCounter>(
        "COUNTER", "7", describe("COUNTER", "Counter; will be incremented on each print")));
    list.push_back(scriptFunction<TRpEvFunctionResetExpr>("RESETEXPR", "7S",
        describe("RESETEXPR(<exprname>)", "Resets aggregated function values for expressions")));
    list.push_back(scriptFunction<TRpEvFunctionGroupPrinted>("GROUPPRINTED", "7S",
        describe("GROUPPRINTED(<band>)", "Returns if group \"band\" has been printed")));
    list.push_back(scriptFunction<TRpEvFunctionPagePrints>("PAGEPRINTS", "7S",
        describe("PAGEPRINTS(<Bandname>)",
            "Returns how many times the band has been printed on the current page")));
    list.push_back(scriptFunction<TRpEvFunctionPixels>("PIXELS", "7N",
        describe("PIXELS", "Converts a given value in the current unit to its equivalent number of pixels")));
    list.push_back(scriptFunction<TRpEvFunctionCurrency>(
        "CURRENCY", "7", describe("CURRENCY", "Returns Windows' default currency ")));
    list.push_back(scriptFunction<TRpEvFunctionPrintDate>(
        "PRINTDATE", "1", describe("PRINTDATE", "Returns the date when printing of the report started")));
    list.push_back(scriptFunction<TRpEvFunctionVar>(
        "VAR", "7N", describe("VAR(<I>)", "Application-calculated variable")));
    list.push_back(scriptFunction<TRpEvFunctionQueryParam>("QUERYPARAM", "4SS",
        describe("QUERYPARAM(<Q>,<P>)",
            "Gets parameter value from a query\r\nExample: QueryParam('CustQuery','MaxAmount')")));
}

} // namespace RpScriptDetail
