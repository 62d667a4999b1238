// A report run over a table into pages: the page layout of the banded list, portrait and landscape, columns
// and forced breaks.
#include "GenerationTestSupport.h"

#include "platform/RegionalSettings.h"

#include <gtest/gtest.h>

namespace {

// The banded list: texts on every band, the detail numbered, the page footer numbered, a total in the
// summary.
struct ListReport : ExampleReport
{
    explicit ListReport(TMemTable &table)
        : ExampleReport(&table)
    {
        new ProbeText(pageHeader, QStringLiteral("PAGEHDR"));
        new ProbeText(title, QStringLiteral("TITLE"));
        new ProbeText(columnHeader, QStringLiteral("COLHDR"));
        auto *number = new ProbeText(detail);
        number->value = [](RpPrintRun &run) { return QStringLiteral("#%1").arg(run.DetailNumber()); };
        auto *page = new ProbeText(pageFooter);
        page->value = [](RpPrintRun &run) { return QStringLiteral("Page %1").arg(run.PageNumber()); };
        new ProbeSum(summary, &table, QStringLiteral("TOTAL "));
    }
};

int rowsOn(const PageLog &page)
{
    int rows = 0;
    for (const PageLog::Text &t : page.texts)
        rows += t.text.startsWith(u'#') ? 1 : 0;
    return rows;
}

TEST(ReportPages, DetailsStartBelowTheHeadersAtTheirOwnHeights)
{
    TMemTable table;
    fillTransactions(table, 60);
    ListReport list(table);
    const auto store = runToStore(list.report);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NEAR(pages[0].find(QStringLiteral("PAGEHDR"))->y, 100, kPixel);
    EXPECT_NEAR(pages[0].find(QStringLiteral("TITLE"))->y, 200, kPixel);
    EXPECT_NEAR(pages[0].find(QStringLiteral("COLHDR"))->y, 400, kPixel);
    EXPECT_NEAR(pages[0].find(QStringLiteral("#1"))->y, 450, kPixel);
    EXPECT_NEAR(pages[0].find(QStringLiteral("#2"))->y, 500, kPixel);
    EXPECT_NEAR(pages[1].find(QStringLiteral("COLHDR"))->y, 200, kPixel);
    EXPECT_NEAR(pages[1].find(QStringLiteral("#47"))->y, 250, kPixel);
    // The summary follows the last detail.
    EXPECT_NEAR(pages[1].find(QStringLiteral("TOTAL 1830"))->y, 250 + 14 * 50, kPixel);
}

TEST(ReportPages, FirstPageHeaderAndLastPageFooterFollowTheOptions)
{
    TMemTable table;
    fillTransactions(table, 60);
    ListReport list(table);
    list.report.setOptions({});
    const auto store = runToStore(list.report);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].count(QStringLiteral("PAGEHDR")), 0);
    EXPECT_EQ(pages[0].count(QStringLiteral("Page 1")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("PAGEHDR")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("Page 2")), 0);
    // Without the page header the title moves up to the top margin.
    EXPECT_NEAR(pages[0].find(QStringLiteral("TITLE"))->y, 100, kPixel);
}

TEST(ReportPages, PaperFollowsTheReportWithoutAPrinter)
{
    struct Case
    {
        RpPaper::TRpPaperSize size;
        RpPaper::TPrinterOrientation orientation;
        double width;
        double length;
    };
    const Case cases[] = {
        { RpPaper::A4, RpPaper::poPortrait, 2100, 2970 },
        { RpPaper::A4, RpPaper::poLandscape, 2970, 2100 },
        { RpPaper::Letter, RpPaper::poPortrait, 2159, 2794 },
        { RpPaper::Legal, RpPaper::poLandscape, 3556, 2159 },
        { RpPaper::A5, RpPaper::poPortrait, 1480, 2100 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.size) * 10 + int(c.orientation));
        TRpReport report;
        report.page()->setPaperSize(c.size);
        report.page()->setOrientation(c.orientation);
        new ProbeText(addBand(report, Rp::rbDetail, 50), QStringLiteral("x"));
        const auto store = runToStore(report);
        EXPECT_NEAR(store->PaperWidthNative(), c.width, kPixel);
        EXPECT_NEAR(store->PaperLengthNative(), c.length, kPixel);
        const std::vector<PageLog> pages = logPages(*store);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_NEAR(pages[0].width, c.width, kPixel);
        EXPECT_NEAR(pages[0].height, c.length, kPixel);
    }
}

TEST(ReportPages, CustomPaperKeepsItsSizeInEitherOrientation)
{
    for (const auto orientation : { RpPaper::poPortrait, RpPaper::poLandscape }) {
        TRpReport report;
        report.setUnits(Rp::Native);
        report.page()->setPaperSize(RpPaper::Custom);
        report.page()->setOrientation(orientation);
        report.page()->setWidth(1500);
        report.page()->setLength(1000);
        addBand(report, Rp::rbDetail, 50);
        const auto store = runToStore(report);
        EXPECT_NEAR(store->PaperWidthNative(), 1500, kPixel);
        EXPECT_NEAR(store->PaperLengthNative(), 1000, kPixel);
    }
}

TEST(ReportPages, DefaultPaperIsA4OrLetterByTheRegionalMeasure)
{
    TRpReport report;
    report.page()->setPaperSize(RpPaper::Default);
    addBand(report, Rp::rbDetail, 50);
    EXPECT_EQ(runToStore(report)->printerSettings().paperSize, RpPaper::A4);
    const RegionalSettings saved = RegionalSettings::current();
    RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(QStringLiteral("en_US"))));
    const auto letter = runToStore(report);
    RegionalSettings::setCurrent(saved);
    EXPECT_EQ(letter->printerSettings().paperSize, RpPaper::Letter);
}

// Two columns: the second starts at the column top, below the title, with the column header; the page
// footer prints once per page across the printable width.
TEST(ReportColumns, SecondColumnStartsBelowTheTitleWithTheColumnHeader)
{
    TMemTable table;
    fillTransactions(table, 150);
    ListReport list(table);
    list.report.page()->setColumns(2);
    list.report.arrangeBands();
    const auto store = runToStore(list.report);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(rowsOn(pages[0]), 92);
    EXPECT_EQ(pages[0].count(QStringLiteral("COLHDR")), 2);
    EXPECT_EQ(pages[0].count(QStringLiteral("Page 1")), 1);
    const PageLog::Text *second = pages[0].find(QStringLiteral("#47"));
    ASSERT_NE(second, nullptr);
    EXPECT_NEAR(second->y, 450, kPixel);
    const long double column = list.report.page()->columnWidth();
    EXPECT_NEAR(second->x, double(100 + column), kPixel);
    EXPECT_NEAR(pages[0].find(QStringLiteral("#1"))->x, 100, kPixel);
    // Page 2: both columns begin below the page header and column header.
    EXPECT_NEAR(pages[1].find(QStringLiteral("#93"))->y, 250, kPixel);
    EXPECT_EQ(pages[1].count(QStringLiteral("COLHDR")), 2);
}

TEST(ReportColumns, FurtherColumnsOfPageOneStartBelowTheTitleAsItGrew)
{
    TMemTable table;
    fillTransactions(table, 60);
    ListReport list(table);
    auto *growing = new ProbeText(list.title, {}, 100, 40);
    growing->stretch = true;
    growing->lines
        = { QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3"), QStringLiteral("t4") };
    list.report.page()->setColumns(2);
    list.report.arrangeBands();
    const auto store = runToStore(list.report);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_FALSE(pages.empty());
    // The title grew by three lines (120); column 1 starts below it after the column header, and so
    // does column 2.
    const PageLog::Text *first = pages[0].find(QStringLiteral("#1"));
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->y, 450 + 120, kPixel);
    const PageLog::Text *top = pages[0].find(QStringLiteral("#45"));
    ASSERT_NE(top, nullptr);
    EXPECT_NEAR(top->y, 450 + 120, kPixel);
}

TEST(ReportBreaks, ForcedPageAfterTheTitleDoesNotLeaveThePageEmpty)
{
    TMemTable table;
    fillTransactions(table, 3);
    ListReport list(table);
    list.detail->setForceNewPage(true);
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("#")), QStringList { QStringLiteral("#1") });
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("#")), QStringList { QStringLiteral("#2") });
    EXPECT_EQ(pages[2].startingWith(QStringLiteral("#")), QStringList { QStringLiteral("#3") });
    EXPECT_EQ(pages[2].count(QStringLiteral("TOTAL 6")), 1);
}

TEST(ReportBreaks, ForcedPageAfterTheTitleOfAnEmptyTableDoesNotLeaveThePageEmpty)
{
    TMemTable table;
    fillTransactions(table, 0);
    ListReport list(table);
    list.detail->setForceNewPage(true);
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].count(QStringLiteral("TITLE")), 1);
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("#")), QStringList { QStringLiteral("#0") });
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("TOTAL")).size(), 1);
}

TEST(ReportBreaks, FirstForcedColumnInColumnOneStaysThenEachStartsAPage)
{
    TMemTable table;
    fillTransactions(table, 3);
    ListReport list(table);
    list.report.setDataSet(&table);
    list.columnHeader->setEnabled(false);
    list.detail->setForceNewColumn(true);
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("#")), QStringList { QStringLiteral("#1") });
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("#")), QStringList { QStringLiteral("#2") });
}

TEST(ReportBreaks, BandTallerThanThePageIsPrintedWhereItStartsOnThePaper)
{
    TMemTable table;
    fillTransactions(table, 2);
    ListReport list(table);
    list.detail->size()->setNativeLength(5000);
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    // The first tall row prints where it starts; the second would start below the paper and opens a page;
    // the summary follows on a page of its own.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NEAR(pages[0].find(QStringLiteral("#1"))->y, 450, kPixel);
    EXPECT_NEAR(pages[1].find(QStringLiteral("#2"))->y, 250, kPixel);
    EXPECT_EQ(pages[2].count(QStringLiteral("TOTAL 3")), 1);
}

TEST(ReportBreaks, LinkedBandMustFitOnTheSamePage)
{
    TMemTable table;
    fillTransactions(table, 46);
    ListReport list(table);
    // Rows 44 to 46 fit alone at the bottom of page 1, but not with the summary linked to them.
    list.detail->setLinkBand(list.summary);
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(rowsOn(pages[0]), 43);
}

TEST(ReportBreaks, AlignedSummarySitsAboveTheFooterOrAtTheBottomMargin)
{
    for (const bool lastFooter : { true, false }) {
        SCOPED_TRACE(lastFooter);
        TMemTable table;
        fillTransactions(table, 3);
        ListReport list(table);
        list.summary->setAlignToBottom(true);
        list.report.setOptions(lastFooter ? Rp::FirstPageHeader | Rp::LastPageFooter : Rp::FirstPageHeader);
        const std::vector<PageLog> pages = logPages(*runToStore(list.report));
        ASSERT_EQ(pages.size(), 1u);
        const PageLog::Text *total = pages[0].find(QStringLiteral("TOTAL 6"));
        ASSERT_NE(total, nullptr);
        EXPECT_NEAR(total->y, lastFooter ? 2970 - 100 - 100 - 150 : 2970 - 100 - 150, kPixel);
    }
}

TEST(ReportBreaks, PageFooterChildPrintsBelowTheFooterOnEveryPage)
{
    TMemTable table;
    fillTransactions(table, 60);
    ListReport list(table);
    list.pageFooter->setHasChild(true);
    list.pageFooter->childBand()->size()->setNativeLength(80);
    new ProbeText(list.pageFooter->childBand(), QStringLiteral("UNDER"));
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    ASSERT_EQ(pages.size(), 2u);
    for (const PageLog &page : pages) {
        ASSERT_NE(page.find(QStringLiteral("UNDER")), nullptr);
        // The reserve holds footer and child: 180 above the bottom margin.
        EXPECT_NEAR(page.find(QStringLiteral("UNDER"))->y, 2970 - 100 - 80, kPixel);
    }
    EXPECT_EQ(rowsOn(pages[0]), 44);
}

TEST(ReportBreaks, ElementsOnTheReportPrintOnEveryPage)
{
    TMemTable table;
    fillTransactions(table, 60);
    ListReport list(table);
    auto *stamp = new ProbeText(&list.report, QStringLiteral("STAMP"), 1500);
    stamp->size()->setNativeBounds(1200, 1500, 400, 40);
    const std::vector<PageLog> pages = logPages(*runToStore(list.report));
    ASSERT_EQ(pages.size(), 2u);
    for (const PageLog &page : pages) {
        ASSERT_EQ(page.count(QStringLiteral("STAMP")), 1);
        EXPECT_NEAR(page.find(QStringLiteral("STAMP"))->x, 1200, kPixel);
        EXPECT_NEAR(page.find(QStringLiteral("STAMP"))->y, 1500, kPixel);
    }
}

} // namespace
