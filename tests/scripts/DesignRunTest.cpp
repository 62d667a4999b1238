// Runs of designed reports: the band print test (conditions, EditorEnabled, page rules, first and last page),
// the start and end steps around a run, the functions that read a run, and what a run leaves in the design.
#include "ScriptTestSupport.h"

#include "report/GenerationTestSupport.h"
#include "report/elements/LabelItems.h"
#include "report/scripts/DesignRun.h"
#include "report/scripts/ScriptComponents.h"

#include <set>

namespace {

// A designed list over a table: a page header "HDR", a detail numbered "#n", a page footer "FTR", on A4 with
// margins of 100; 51 details fit a page.
class DesignedList
{
public:
    explicit DesignedList(int rows, const QString &windowName = QStringLiteral("DesignWindow"))
        : engine(windowName)
        , table(*new TMemTable(engine.dataModule()))
    {
        fillTransactions(table, rows);
        TDesignRpReport *report = engine.report();
        report->setUnits(Rp::Native);
        TRpPage &page = *report->page();
        page.setPaperSize(RpPaper::A4);
        page.setTopMargin(100);
        page.setBottomMargin(100);
        page.setLeftMargin(100);
        page.setRightMargin(100);
        report->setUnits(Rp::MM);
        report->setDataSet(&table);
        pageHeader = band<TRpDesignBand>("Pageheader", Rp::rbPageHeader, 100);
        detail = band<TRpDesignBand>("Detailband", Rp::rbDetail, 50);
        pageFooter = band<TRpDesignBand>("Pagefooter", Rp::rbPageFooter, 100);
        new ProbeText(pageHeader, QStringLiteral("HDR"));
        auto *number = new ProbeText(detail);
        number->value = [](RpPrintRun &run) { return QStringLiteral("#%1").arg(run.DetailNumber()); };
        new ProbeText(pageFooter, QStringLiteral("FTR"));
    }

    template <typename Band> Band *band(const char *name, TRpBandType type, long double height)
    {
        auto *made = new Band(engine.report());
        made->setObjectName(QString::fromLatin1(name));
        if constexpr (std::is_base_of_v<TRpBand, Band>)
            made->setBandType(type);
        made->size()->setNativeLength(height);
        return made;
    }

    TRpDesignExpr *expression(
        TRpCustomBand *band, const QString &name, const QString &text, long double top = 0)
    {
        auto *element = new TRpDesignExpr(band);
        element->setObjectName(name);
        element->setExpression(text);
        element->size()->setNativeBounds(1000, top, 800, 60);
        element->setAutoSize(false);
        return element;
    }

    std::vector<PageLog> run(const RpRunOptions &options = {})
    {
        store = runToStore(*engine.report(), options);
        return logPages(*store);
    }

    QByteArray saved()
    {
        QByteArray bytes;
        EXPECT_TRUE(engine.SaveReportStream(bytes));
        return bytes;
    }

    ReportFileEngine engine;
    // The report's own data set, in its data module.
    TMemTable &table;
    TRpDesignBand *pageHeader;
    TRpDesignBand *detail;
    TRpDesignBand *pageFooter;
    std::unique_ptr<TRpPrinter> store;
};

std::set<int> pagesWith(const std::vector<PageLog> &pages, const QString &text)
{
    std::set<int> found;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i].count(text) > 0)
            found.insert(int(i) + 1);
    }
    return found;
}

int countOf(const std::vector<PageLog> &pages, const QString &prefix)
{
    int n = 0;
    for (const PageLog &page : pages)
        n += int(page.startingWith(prefix).size());
    return n;
}

// ---------------------------------------------------------------- page rules

struct PageRuleCase
{
    int start, end, step;
    bool notOnFirstPage;
    std::set<int> pages;
};

void PrintTo(const PageRuleCase &c, std::ostream *os)
{
    *os << "start " << c.start << " end " << c.end << " step " << c.step
        << (c.notOnFirstPage ? " not first" : "");
}

class DesignPageRules : public testing::TestWithParam<PageRuleCase>
{
};

TEST_P(DesignPageRules, DecideOnWhichPagesABandPrints)
{
    const PageRuleCase &c = GetParam();
    DesignedList list(300);
    list.pageFooter->setStartPageNum(ushort(c.start));
    list.pageFooter->setEndPageNum(ushort(c.end));
    list.pageFooter->setPageStep(ushort(c.step));
    list.pageFooter->setNotOnFirstPage(c.notOnFirstPage);
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 6u);
    EXPECT_EQ(pagesWith(pages, QStringLiteral("FTR")), c.pages);
    EXPECT_EQ(countOf(pages, QStringLiteral("#")), 300);
}

INSTANTIATE_TEST_SUITE_P(Rules, DesignPageRules,
    testing::Values(PageRuleCase { 0, 0, 0, false, { 1, 2, 3, 4, 5, 6 } },
        PageRuleCase { 1, 0, 2, false, { 1, 3, 5 } }, PageRuleCase { 1, 0, 2, true, { 3, 5 } },
        PageRuleCase { 0, 0, 2, false, { 1, 3, 5 } }, PageRuleCase { 2, 4, 0, false, { 2, 3, 4 } },
        PageRuleCase { 2, 0, 3, false, { 2, 5 } }, PageRuleCase { 0, 0, 0, true, { 2, 3, 4, 5, 6 } },
        PageRuleCase { 0, 0, 1, false, { 1, 2, 3, 4, 5, 6 } }, PageRuleCase { 7, 0, 0, false, {} }));

// ---------------------------------------------------------------- conditions

struct ConditionCase
{
    const char *condition;
    bool editorEnabled;
    int rows; // details printed out of 5
};

void PrintTo(const ConditionCase &c, std::ostream *os)
{
    *os << "'" << c.condition << "'" << (c.editorEnabled ? "" : " disabled");
}

class DesignConditions : public testing::TestWithParam<ConditionCase>
{
};

TEST_P(DesignConditions, LetABandPrintUnlessTheyAreFalse)
{
    const ConditionCase &c = GetParam();
    DesignedList list(5);
    list.detail->setPrintCondition(QString::fromUtf8(c.condition));
    list.detail->setEditorEnabled(c.editorEnabled);
    const std::vector<PageLog> pages = list.run();
    EXPECT_EQ(countOf(pages, QStringLiteral("#")), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Conditions, DesignConditions,
    testing::Values(ConditionCase { "", true, 5 }, ConditionCase { "  ", true, 5 },
        ConditionCase { "TRUE", true, 5 }, ConditionCase { "FALSE", true, 0 },
        ConditionCase { "tblTransaction.Transaction_Amount > 2", true, 3 },
        ConditionCase { "tblTransaction.Transaction_Amount", true, 5 }, ConditionCase { "'texte'", true, 5 },
        ConditionCase { "UnknownThing(", true, 5 }, ConditionCase { "1 / 0", true, 5 },
        ConditionCase { "TRUE", false, 0 }, ConditionCase { "", false, 0 }));

TEST(DesignConditionsOfGroups, UseThePrintExpressionAndAreRememberedForGroupPrinted)
{
    DesignedList list(6);
    auto *group = list.band<TRpDesignGroup>("Group1", Rp::rbGroupHeader, 50);
    group->setExpression(QStringLiteral("tblTransaction.Transaction_Amount > 3"));
    group->setPrintCondition(QStringLiteral("tblTransaction.Transaction_Amount > 3"));
    new ProbeText(group, QStringLiteral("GROUP"));
    list.expression(
        list.detail, QStringLiteral("Printed"), QStringLiteral("'G' + STR(GROUPPRINTED('Group1'))"));
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 1u);
    // Two groups open (amounts 1-3 and 4-6); only the second passes its condition.
    EXPECT_EQ(pages[0].count(QStringLiteral("GROUP")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("GFalse")), 3);
    EXPECT_EQ(pages[0].count(QStringLiteral("GTrue")), 3);
    EXPECT_TRUE(groupPrinted(group));
}

// ---------------------------------------------------------------- first and last page

TEST(DesignFooters, NotOnLastPageNoticesTheEndThroughATemporarySummary)
{
    DesignedList list(120);
    list.pageFooter->setNotOnLastPage(true);
    const QByteArray before = list.saved();
    int summariesDuringRun = 0;
    list.engine.report()->OnStartPage = [&](TCustomRpReport *report) {
        summariesDuringRun = report->firstBandOfType(Rp::rbSummary) != nullptr;
    };
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pagesWith(pages, QStringLiteral("FTR")), (std::set<int> { 1, 2 }));
    EXPECT_EQ(summariesDuringRun, 1);
    EXPECT_EQ(list.engine.report()->firstBandOfType(Rp::rbSummary), nullptr);
    list.engine.report()->OnStartPage = nullptr;
    EXPECT_EQ(list.saved(), before);
}

TEST(DesignFooters, AOnePageRunLeavesAFooterNotOnTheFirstPageEnabled)
{
    DesignedList list(3);
    list.pageFooter->setNotOnFirstPage(true);
    list.pageFooter->setNotOnLastPage(true);
    list.engine.report()->setOptions(Rp::FirstPageHeader | Rp::LastPageFooter);
    const QByteArray before = list.saved();
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pagesWith(pages, QStringLiteral("FTR")).empty());
    EXPECT_TRUE(list.pageFooter->enabled());
    EXPECT_TRUE(list.engine.report()->options().testFlag(Rp::LastPageFooter));
    EXPECT_EQ(list.saved(), before);
}

TEST(DesignFooters, ADisabledFooterStaysDisabled)
{
    DesignedList list(120);
    list.pageFooter->setEnabled(false);
    const std::vector<PageLog> pages = list.run();
    EXPECT_TRUE(pagesWith(pages, QStringLiteral("FTR")).empty());
    EXPECT_FALSE(list.pageFooter->enabled());
}

// ---------------------------------------------------------------- start and end

TEST(DesignRunSteps, MarginsTakeThePrinterOffsetsForTheRunOnly)
{
    DesignedList list(3);
    RpDesignRunSettings &settings = designRunSettings(list.engine);
    settings.printOffsetVerticalMM = 5;
    settings.printOffsetHorizontalMM = 3;
    TRpPage &page = *list.engine.report()->page();
    const long double top = page.nativeTopMargin();
    const long double bottom = page.nativeBottomMargin();
    const long double left = page.nativeLeftMargin();
    long double runTop = 0, runBottom = 0, runLeft = 0;
    list.engine.report()->BeforePrint = [&](TCustomRpReport *, bool &) {
        runTop = page.nativeTopMargin();
        runBottom = page.nativeBottomMargin();
        runLeft = page.nativeLeftMargin();
    };
    const std::vector<PageLog> pages = list.run();
    EXPECT_EQ(double(runTop), double(top + 50));
    EXPECT_EQ(double(runBottom), double(bottom - 50));
    EXPECT_EQ(double(runLeft), double(left + 30));
    EXPECT_TRUE(page.nativeTopMargin() == top && page.nativeBottomMargin() == bottom
        && page.nativeLeftMargin() == left);
    // The content moved: the first detail starts 5 mm lower than the margin says.
    ASSERT_EQ(pages.size(), 1u);
    const PageLog::Text *first = pages[0].find(QStringLiteral("#1"));
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->y, double(top + 50 + 100), 2 * kPixel);
}

TEST(DesignRunSteps, AFailedRunLeavesTheDesignAsItWas)
{
    DesignedList list(120);
    list.pageFooter->setNotOnFirstPage(true);
    list.pageFooter->setNotOnLastPage(true);
    designRunSettings(list.engine).printOffsetVerticalMM = 7;
    const QByteArray before = list.saved();
    int starts = 0;
    list.engine.report()->OnStartPage = [&](TCustomRpReport *) {
        if (++starts == 2)
            throw Exception(QStringLiteral("printer gone"));
    };
    TRpPrinter store;
    EXPECT_THROW(RunReport(*list.engine.report(), store), Exception);
    EXPECT_TRUE(RpRunningReports::list().isEmpty());
    EXPECT_EQ(list.engine.report()->firstBandOfType(Rp::rbSummary), nullptr);
    EXPECT_TRUE(list.pageFooter->enabled());
    // The host's handler is back in place of the designer's.
    starts = 0;
    list.engine.report()->OnStartPage(list.engine.report());
    EXPECT_EQ(starts, 1);
    list.engine.report()->OnStartPage = nullptr;
    EXPECT_EQ(list.saved(), before);
}

TEST(DesignRunSteps, ACancelledRunLeavesTheDesignAsItWas)
{
    DesignedList list(300);
    list.pageFooter->setNotOnLastPage(true);
    designRunSettings(list.engine).printOffsetHorizontalMM = 2;
    const QByteArray before = list.saved();
    RpRunOptions options;
    options.pageLimit = 2;
    list.run(options);
    EXPECT_TRUE(list.store->cancelled());
    EXPECT_EQ(list.saved(), before);
    // And the next run is a whole one.
    EXPECT_EQ(list.run().size(), 6u);
}

TEST(DesignRunSteps, TheReportIsRunningFromTheStartToTheEnd)
{
    DesignedList list(3);
    QList<RpRunningReport> during;
    list.engine.report()->BeforePrint = [&](TCustomRpReport *, bool &) { during = RpRunningReports::list(); };
    list.run();
    ASSERT_EQ(during.size(), 1);
    EXPECT_EQ(during[0].report, list.engine.report());
    EXPECT_EQ(during[0].window, list.engine.window());
    EXPECT_EQ(during[0].dataModule, list.engine.dataModule());
    EXPECT_EQ(during[0].addons, list.engine.addons());
    EXPECT_TRUE(RpRunningReports::list().isEmpty());
}

TEST(DesignRunSteps, AHostThatRefusesThePrintStopsTheRun)
{
    DesignedList list(3);
    list.engine.report()->BeforePrint = [](TCustomRpReport *, bool &print) { print = false; };
    EXPECT_TRUE(list.run().empty());
}

TEST(DesignRunSteps, AnchoredElementsComeToTheFrontOfTheirBand)
{
    DesignedList list(1);
    auto *fixed = new TRpDesignLabel(list.detail);
    fixed->setObjectName(QStringLiteral("Fixed"));
    fixed->setFixBottomPosition(true);
    auto *plain = new TRpDesignLabel(list.detail);
    plain->setObjectName(QStringLiteral("Plain"));
    auto *stretched = new TRpDesignLabel(list.detail);
    stretched->setObjectName(QStringLiteral("Stretched"));
    stretched->setStretchHeightWithBand(true);
    list.run();
    QStringList order;
    for (QObject *child : list.detail->children()) {
        if (qobject_cast<TRpDesignLabel *>(child))
            order << child->objectName();
    }
    EXPECT_EQ(order,
        (QStringList { QStringLiteral("Plain"), QStringLiteral("Fixed"), QStringLiteral("Stretched") }));
}

TEST(DesignRunSteps, TheScriptIsKeptAndNeverRun)
{
    DesignedList list(3);
    const QStringList script { QStringLiteral("[Detailband.BeforePrint]"), QStringLiteral("raise;") };
    list.engine.report()->setScript(script);
    EXPECT_EQ(countOf(list.run(), QStringLiteral("#")), 3);
    EXPECT_EQ(list.engine.report()->script(), script);
}

// ---------------------------------------------------------------- functions during a run

TEST(DesignRunFunctions, PageNumbersPositionsAndPrintCountsAreThoseOfTheRun)
{
    DesignedList list(60);
    list.expression(list.pageFooter, QStringLiteral("Page"), QStringLiteral("'P' + STR(PAGENUMBER)"));
    list.expression(
        list.pageFooter, QStringLiteral("Prints"), QStringLiteral("'N' + STR(PAGEPRINTS('Detailband'))"), 50);
    list.expression(
        list.pageHeader, QStringLiteral("Position"), QStringLiteral("'Y' + STR(VERTPRINTPOS)"), 50);
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].count(QStringLiteral("P1")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("P2")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("N51")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("N9")), 1) << pages[1].textList().join(u'|').toStdString();
    EXPECT_EQ(pages[0].count(QStringLiteral("Y100")), 1);
}

TEST(DesignRunFunctions, NewPageInAPageHeaderOrFooterDoesNothing)
{
    DesignedList list(120);
    list.expression(list.pageHeader, QStringLiteral("FeedTop"), QStringLiteral("NEWPAGE + 'feed'"));
    list.expression(list.pageFooter, QStringLiteral("FeedBottom"), QStringLiteral("NEWPAGE + 'feed'"), 50);
    RpRunOptions options;
    options.pageLimit = 20;
    const std::vector<PageLog> pages = list.run(options);
    EXPECT_FALSE(list.store->cancelled());
    EXPECT_EQ(pages.size(), 3u);
    EXPECT_EQ(countOf(pages, QStringLiteral("#")), 120);
}

TEST(DesignRunFunctions, NewPageInADetailFeedsAPage)
{
    DesignedList list(3);
    list.expression(list.detail, QStringLiteral("Feed"), QStringLiteral("NEWPAGE"));
    const std::vector<PageLog> pages = list.run();
    EXPECT_GE(pages.size(), 3u);
    EXPECT_EQ(pagesWith(pages, QStringLiteral("#2")).size(), 1u);
    EXPECT_NE(pagesWith(pages, QStringLiteral("#1")), pagesWith(pages, QStringLiteral("#2")));
}

TEST(DesignRunFunctions, TheRunningReportsWindowIsSearchedFirst)
{
    DesignedList list(1, QStringLiteral("RunningWindow"));
    // A newer window with a data set of the same name.
    ReportFileEngine newer(QStringLiteral("NewerWindow"));
    auto *otherTable = new TMemTable(newer.dataModule());
    fillTransactions(*otherTable, 5);
    // The running report's own data set is found first, and so is the report it runs in.
    list.expression(list.detail, QStringLiteral("Count"),
        QStringLiteral("'R' + STR(RECORDCOUNT('tblTransaction')) + '/' + STR(PAGENUMBER)"));
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].count(QStringLiteral("R1/1")), 1) << pages[0].textList().join(u'|').toStdString();
}

TEST(DesignRunFunctions, CountersCountPrintsAndStartAgainWhenTheirExpressionIsReset)
{
    DesignedList list(3);
    list.expression(list.detail, QStringLiteral("Counted"), QStringLiteral("'C' + STR(COUNTER)"));
    list.expression(list.detail, QStringLiteral("Restarted"), QStringLiteral("'R' + STR(COUNTER)"), 60)
        ->setResetAfterPrint(true);
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("C")), (QStringList { QStringLiteral("C1"), QStringLiteral("C2"),
                                                              QStringLiteral("C3") }));
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("R")),
        (QStringList { QStringLiteral("R1"), QStringLiteral("R1"), QStringLiteral("R1") }));
}

TEST(DesignRunFunctions, AnExpressionAskingForItsOwnCaptionGetsAnError)
{
    DesignedList list(1);
    list.expression(list.detail, QStringLiteral("Itself"), QStringLiteral("GETCAPTION('Itself')"));
    const std::vector<PageLog> pages = list.run();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].count(QStringLiteral("Recursive calls not allowed")), 1)
        << pages[0].textList().join(u'|').toStdString();
}

// ---------------------------------------------------------------- label rows

class LabelRows : public testing::Test
{
protected:
    // Labels of the given height, a row space of 50 after each, one column.
    int rowSpacesOnFirstPage(long double labelHeight, int labels)
    {
        DesignedList list(labels);
        list.pageHeader->setEnabled(false);
        list.pageFooter->setEnabled(false);
        list.detail->size()->setNativeLength(labelHeight);
        auto *space = list.band<TRpDesignChildBand>("RowSpace", Rp::rbChild, 50);
        space->setParentBand(list.detail);
        new ProbeText(space, QStringLiteral("SPACE"));
        RpRunOptions options;
        options.pageLimit = 100;
        const std::vector<PageLog> pages = list.run(options);
        return pages.empty() ? -1 : pages[0].count(QStringLiteral("SPACE"));
    }
};

TEST_F(LabelRows, NoRowSpaceAfterTheLastRowOfAPage)
{
    // (2770 + 50) / (200 + 50) = 11 rows a page: 10 spaces between them.
    EXPECT_EQ(rowSpacesOnFirstPage(200, 30), 10);
}

TEST_F(LabelRows, LabelsTallerThanThePageNeverGetARowSpace)
{
    EXPECT_EQ(rowSpacesOnFirstPage(3000, 2), 0);
}

} // namespace
