// What a run guarantees around the pages: bands that stretch over pages, page starts that cannot run away,
// runs that always end, reports left as they were, progress, cancelling, exports and composite reports.
#include "GenerationTestSupport.h"

#include "platform/Exceptions.h"
#include "report/expressions/Evaluator.h"
#include "report/streaming/ReportRegistry.h"
#include "report/streaming/StreamObjects.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Options that turn a run that would not end into a failed test instead of a hung one.
RpRunOptions bounded(int pageLimit = 200)
{
    RpRunOptions options;
    options.pageLimit = pageLimit;
    options.deadline = std::chrono::steady_clock::now() + 10s;
    return options;
}

struct Outcome
{
    std::unique_ptr<TRpPrinter> store;
    bool timedOut = false;
};

Outcome runBounded(TCustomRpReport &report, int pageLimit = 200)
{
    Outcome outcome { std::make_unique<TRpPrinter>() };
    TRpReportRun run(report, *outcome.store, bounded(pageLimit));
    run.Run();
    outcome.timedOut = run.timedOut();
    return outcome;
}

QStringList linesOf(int count, const QString &prefix = QStringLiteral("line "))
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << prefix + QString::number(i);
    return lines;
}

TEST(ReportStretch, TextThatDoesNotFitContinuesAfterThePageHeader)
{
    TMemTable table;
    fillTransactions(table, 1);
    ExampleReport example(&table);
    new ProbeText(example.pageHeader, QStringLiteral("PAGEHDR"));
    auto *text = new ProbeText(example.detail, {}, 0, 40);
    text->stretch = true;
    text->lines = linesOf(100);
    auto *other = new ProbeText(example.detail, QStringLiteral("OTHER"), 0, 40);
    other->size()->setNativeBounds(1000, 0, 400, 40);
    new ProbeText(example.summary, QStringLiteral("SUMMARY"));
    const Outcome outcome = runBounded(example.report);
    ASSERT_FALSE(outcome.timedOut);
    const std::vector<PageLog> pages = logPages(*outcome.store);
    ASSERT_EQ(pages.size(), 2u);
    // Page 1 holds the lines from 450 down to where the band, grown, meets the footer reserve at 2770.
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("line ")).size(), 57);
    EXPECT_EQ(pages[0].count(QStringLiteral("OTHER")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("OTHER")), 0);
    EXPECT_EQ(pages[1].textList().first(), QStringLiteral("PAGEHDR"));
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("line ")).first(), QStringLiteral("line 58"));
    EXPECT_NEAR(pages[1].find(QStringLiteral("line 58"))->y, 250, kPixel);
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("line ")).last(), QStringLiteral("line 100"));
    // The band ends below its last line; the summary follows.
    EXPECT_NEAR(pages[1].find(QStringLiteral("SUMMARY"))->y, 250 + 50 + 42 * 40, kPixel);
}

// A band's growth is the largest extra height any of its elements asked for, not their sum nor the last.
TEST(ReportStretch, BandGrowsByTheLargestExtraHeightOfItsElements)
{
    TRpReport report;
    TRpBand *detail = addBand(report, Rp::rbDetail, 100);
    TRpBand *after = addBand(report, Rp::rbSummary, 50);
    new ProbeText(after, QStringLiteral("AFTER"));
    // The element needing less asks first: the later one must still get all it needs.
    auto *shorter = new ProbeText(detail, {}, 60, 40);
    shorter->size()->setNativeBounds(1000, 60, 400, 40);
    shorter->stretch = true;
    shorter->lines = linesOf(3, QStringLiteral("b")); // 80 below its bottom
    auto *tall = new ProbeText(detail, {}, 0, 40);
    tall->stretch = true;
    tall->lines = linesOf(5, QStringLiteral("a")); // 160 below its bottom
    const std::vector<PageLog> pages = logPages(*runBounded(report).store);
    ASSERT_EQ(pages.size(), 1u);
    const double top = report.page()->nativeTopMargin();
    EXPECT_NEAR(pages[0].find(QStringLiteral("AFTER"))->y, top + 100 + 160, kPixel);
}

// Bands printed while a page starts or ends never break and print once, so no page start can call for
// another page start.
TEST(ReportPageEdges, ForcedBreaksOnPageBandsAreIgnored)
{
    TMemTable table;
    fillTransactions(table, 60);
    ExampleReport example(&table);
    new ProbeText(example.columnHeader, QStringLiteral("COLHDR"));
    example.columnHeader->setForceNewPage(true);
    example.columnHeader->setForceNewColumn(true);
    example.pageFooter->setForceNewPage(true);
    example.pageHeader->setForceNewColumn(true);
    const Outcome outcome = runBounded(example.report);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.store->pageCount(), 2);
}

TEST(ReportPageEdges, StretchingFooterPrintsWhatFitsOnce)
{
    TMemTable table;
    fillTransactions(table, 60);
    ExampleReport example(&table);
    auto *notes = new ProbeText(example.pageFooter, {}, 0, 100);
    notes->stretch = true;
    notes->lines = linesOf(10, QStringLiteral("note "));
    auto *header = new ProbeText(example.pageHeader, {}, 0, 40);
    header->stretch = true;
    header->lines = linesOf(500, QStringLiteral("head "));
    const Outcome outcome = runBounded(example.report);
    ASSERT_FALSE(outcome.timedOut);
    const std::vector<PageLog> pages = logPages(*outcome.store);
    ASSERT_FALSE(pages.empty());
    // The footer has no room to grow below its band: its first two lines fit its 100 units.
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("note ")), QStringList({ "note 1", "note 2" }));
    // The header grows as far as the page allows and stops there, on every page alike.
    EXPECT_EQ(
        pages[0].startingWith(QStringLiteral("head ")).size(), pages.back().startingWith("head ").size());
}

TEST(ReportPageEdges, ReprintedGroupHeaderThatForcesAPageDoesNotLoop)
{
    TMemTable table;
    fillTransactions(table, 120, [](int) { return 1; });
    ExampleReport example(&table);
    auto *group = new TRpGroup(&example.report);
    group->setExpression(QStringLiteral("Account_Number"));
    group->setReprintOnNewPage(true);
    group->setForceNewPage(true);
    group->size()->setNativeLength(50);
    new ProbeText(group, QStringLiteral("HEAD"));
    const Outcome outcome = runBounded(example.report);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.store->pageCount(), 3);
}

TEST(ReportPageEdges, NewPageAskedForWhilePagesChangeIsIgnored)
{
    TMemTable table;
    fillTransactions(table, 60);
    ExampleReport example(&table);
    TRpPrinter store;
    TRpReportRun run(example.report, store, bounded());
    bool sawRun = true;
    auto *asking = new ProbeText(example.pageHeader);
    asking->value = [&](RpPrintRun &) {
        // An expression function reaches the run going on through current().
        sawRun = sawRun && TRpReportRun::current() == &run;
        TRpReportRun::current()->RequestNewPage();
        return QStringLiteral("PAGEHDR");
    };
    run.Run();
    EXPECT_TRUE(sawRun);
    EXPECT_EQ(TRpReportRun::current(), nullptr);
    EXPECT_FALSE(run.timedOut());
    EXPECT_EQ(store.pageCount(), 2);
}

// A continuing line taller than a whole column is printed all the same at the top of the next one, so
// the run moves on.
TEST(ReportProgressOfRounds, LineTallerThanAColumnStillAdvances)
{
    TRpReport report;
    TRpBand *detail = addBand(report, Rp::rbDetail, 50);
    auto *giant = new ProbeText(detail, {}, 0, 40);
    giant->stretch = true;
    giant->lineHeight = 4000;
    giant->lines = linesOf(3, QStringLiteral("giant "));
    const Outcome outcome = runBounded(report);
    ASSERT_FALSE(outcome.timedOut);
    QStringList printed;
    for (const PageLog &page : logPages(*outcome.store))
        printed << page.startingWith(QStringLiteral("giant "));
    EXPECT_EQ(printed, QStringList({ "giant 1", "giant 2", "giant 3" }));
    EXPECT_EQ(outcome.store->pageCount(), 4);
}

TEST(ReportSafety, EveryLoopStopsWhenTheRunIsCancelled)
{
    TRpReport report;
    addBand(report, Rp::rbDetail, 0);
    auto *loop = new TRpLoopBand(&report);
    loop->setPrintCount(2000000000);
    loop->size()->setNativeLength(1);
    TRpPrinter store;
    RpRunOptions options;
    options.deadline = std::chrono::steady_clock::now() + 300ms;
    TRpReportRun run(report, store, options);
    QElapsedTimer clock;
    clock.start();
    run.Run();
    EXPECT_TRUE(run.timedOut());
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(store.status(), TRpPrinter::Status::Finished);

    // Records supplied by a handler that never says "no more".
    TRpReport endless;
    addBand(endless, Rp::rbDetail, 10);
    endless.OnNeedData = [](QObject *, bool &more) { more = true; };
    EXPECT_TRUE(runBounded(endless, 20).timedOut);
}

TEST(ReportSafety, ColumnsAreAtLeastOneUnitWide)
{
    registerAll();
    // Columns is read before the page's values make the page narrow.
    const QByteArray text
        = "object R: TRpReport\r\n"
          "  Page.Columns = 500\r\n"
          "  Page.Values = (\r\n    10\r\n    2970\r\n    10\r\n    120\r\n    10\r\n    10\r\n    0)\r\n"
          "  object D: TRpBand\r\n    BandType = rbDetail\r\n  end\r\n"
          "end\r\n";
    std::unique_ptr<QObject> object = readComponent(text);
    auto *report = qobject_cast<TRpReport *>(object.get());
    ASSERT_NE(report, nullptr);
    report->OnNeedData = [count = 0](QObject *, bool &more) mutable { more = ++count < 3000; };
    auto *probe = new ProbeText(report->firstBandOfType(Rp::rbDetail));
    int lastColumn = 0;
    probe->value = [&lastColumn](RpPrintRun &run) {
        TRpEvValue column;
        run.Functions()->ValueByName(QStringLiteral("COLUMNNUMBER"), column);
        lastColumn = qMax(lastColumn, column.AsInteger());
        return QStringLiteral("x");
    };
    const Outcome outcome = runBounded(*report, 1000);
    EXPECT_FALSE(outcome.timedOut);
    // 100 units of printable width hold 100 columns of one unit.
    EXPECT_EQ(lastColumn, 100);
}

TEST(ReportSafety, DeviceConversionSaturates)
{
    TRpPrinter store;
    EXPECT_EQ(store.DeviceX(1e30L), 2147483647);
    EXPECT_EQ(store.DeviceY(-1e30L), -2147483647);
    EXPECT_EQ(store.DeviceWidth(std::numeric_limits<long double>::infinity()), 2147483647);
}

TEST(ReportSafety, ProgressOfLongTablesIsComputedIn64Bits)
{
    TRpReport report;
    TRpPrinter store;
    TRpReportRun run(report, store);
    run.ReportProgress(30000000, 40000000);
    EXPECT_EQ(store.progress(), 75);
}

TEST(ReportSafety, LinkCyclesInAFileAreCut)
{
    registerAll();
    const QByteArray text = "object R: TRpReport\r\n"
                            "  object A: TRpBand\r\n    BandType = rbDetail\r\n    LinkBand = B\r\n  end\r\n"
                            "  object B: TRpBand\r\n    BandType = rbSummary\r\n    LinkBand = A\r\n  end\r\n"
                            "  object C: TRpChildBand\r\n    ParentBand = E\r\n  end\r\n"
                            "  object E: TRpChildBand\r\n    ParentBand = C\r\n  end\r\n"
                            "end\r\n";
    std::unique_ptr<QObject> object = readComponent(text);
    auto *report = qobject_cast<TRpReport *>(object.get());
    ASSERT_NE(report, nullptr);
    const auto *a = report->findChild<TRpCustomBand *>(QStringLiteral("A"));
    const auto *b = report->findChild<TRpCustomBand *>(QStringLiteral("B"));
    EXPECT_FALSE(a->linkBand() == b && b->linkBand() == a);
    const auto *c = report->findChild<TRpChildBand *>(QStringLiteral("C"));
    const auto *e = report->findChild<TRpChildBand *>(QStringLiteral("E"));
    EXPECT_FALSE(c->parentBand() == e && e->parentBand() == c);
    EXPECT_FALSE(runBounded(*report).timedOut);
}

// The footer reserve an aligned summary may use counts for its own place only: the page it leaves keeps
// its footer where every footer is.
TEST(ReportStretch, AlignedSummaryLeavesTheFooterOfEarlierPagesInPlace)
{
    TMemTable table;
    fillTransactions(table, 3);
    ExampleReport example(&table);
    example.report.setOptions(Rp::FirstPageHeader);
    auto *page = new ProbeText(example.pageFooter);
    page->value = [](RpPrintRun &run) { return QStringLiteral("Page %1").arg(run.PageNumber()); };
    example.summary->setAlignToBottom(true);
    auto *notes = new ProbeText(example.summary, {}, 0, 40);
    notes->stretch = true;
    notes->lines = linesOf(30, QStringLiteral("note "));
    const Outcome outcome = runBounded(example.report);
    const std::vector<PageLog> pages = logPages(*outcome.store);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_NE(pages[0].find(QStringLiteral("Page 1")), nullptr);
    EXPECT_NEAR(pages[0].find(QStringLiteral("Page 1"))->y, 2970 - 100 - 100, kPixel);
    EXPECT_EQ(pages[1].count(QStringLiteral("Page 2")), 0);
}

TEST(ReportFrames, ReportFrameLiesOnTheTurnedPage)
{
    TRpReport report;
    report.page()->setOrientation(RpPaper::poLandscape);
    report.frame()->setDrawBottom(true);
    report.frame()->setColor(clRed);
    addBand(report, Rp::rbDetail, 50);
    const std::vector<PageLog> pages = logPages(*runToStore(report));
    ASSERT_EQ(pages.size(), 1u);
    const PageLog::Fill *bottom = nullptr;
    for (const PageLog::Fill &fill : pages[0].fills) {
        if (fill.color == QColor(Qt::red))
            bottom = &fill;
    }
    ASSERT_NE(bottom, nullptr);
    const double margin = report.page()->nativeBottomMargin();
    EXPECT_NEAR(bottom->rect.bottom(), 2100 - margin, kPixel);
    EXPECT_NEAR(bottom->rect.width(), 2970 - 2 * report.page()->nativeLeftMargin(), kPixel);
}

TEST(ReportFrames, ColouredBandIsFilledWhiteOnesAreLeftOut)
{
    TRpReport report;
    TRpBand *detail = addBand(report, Rp::rbDetail, 80);
    detail->setColor(clYellow);
    addBand(report, Rp::rbSummary, 60);
    const std::vector<PageLog> pages = logPages(*runToStore(report));
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].fills.size(), 1u);
    EXPECT_EQ(pages[0].fills[0].color, QColor(Qt::yellow));
    const double margin = report.page()->nativeTopMargin();
    EXPECT_NEAR(pages[0].fills[0].rect.top(), margin, kPixel);
    EXPECT_NEAR(pages[0].fills[0].rect.height(), 80, kPixel);
}

// ---------------------------------------------------------------- the report stays as it was

class FailingRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fillTransactions(table, 10);
        table.First();
        table.Next();
        table.Next(); // row 3
        report.setDataSet(&table);
        report.setUnits(Rp::MM);
        detail = addBand(report, Rp::rbDetail, 50);
        probe = new ProbeText(detail, QStringLiteral("x"));
    }

    TMemTable table;
    TRpReport report;
    TRpBand *detail = nullptr;
    ProbeText *probe = nullptr;
};

TEST_F(FailingRun, ReportIsLeftAsItWasAndRunsAgain)
{
    int calls = 0;
    detail->BeforePrint = [&calls](TRpCustomBand *, bool &) {
        if (++calls == 4)
            throw Exception(QStringLiteral("handler failed"));
    };
    TRpPrinter store;
    EXPECT_THROW(RunReport(report, store), Exception);
    EXPECT_FALSE(IsReportRunning(report));
    EXPECT_EQ(store.status(), TRpPrinter::Status::Finished);
    EXPECT_EQ(report.units(), Rp::MM);
    EXPECT_EQ(report.page()->unit(), Rp::MM);
    EXPECT_EQ(probe->size()->unit(), Rp::MM);
    EXPECT_EQ(detail->size()->unit(), Rp::MM);
    EXPECT_EQ(probe->begins, probe->ends);
    EXPECT_EQ(probe->printRun(), nullptr);
    EXPECT_EQ(table.FieldNamed(QStringLiteral("Transaction_Number"))->AsInteger(), 3);

    // The same report runs again, whole.
    detail->BeforePrint = nullptr;
    const auto again = runToStore(report);
    EXPECT_EQ(logPages(*again).front().count(QStringLiteral("x")), 10);
    EXPECT_EQ(table.FieldNamed(QStringLiteral("Transaction_Number"))->AsInteger(), 3);
}

TEST_F(FailingRun, MarginsLeavingNoRoomAreDroppedForTheRunOnly)
{
    report.setUnits(Rp::Native);
    report.page()->setLeftMargin(1500);
    report.page()->setRightMargin(1500);
    report.setUnits(Rp::MM);
    const auto store = runToStore(report);
    EXPECT_NEAR(logPages(*store).front().find(QStringLiteral("x"))->x, 0, kPixel);
    EXPECT_NEAR(report.page()->leftMargin(), 150, 1e-9);
    EXPECT_NEAR(report.page()->rightMargin(), 150, 1e-9);
}

TEST_F(FailingRun, EntryPointsRefuseWhileTheReportRuns)
{
    bool nestedRan = true;
    TRpPrinter *nestedStore = reinterpret_cast<TRpPrinter *>(1);
    detail->BeforePrint = [&](TRpCustomBand *, bool &) {
        TRpPrinter other;
        nestedRan = RunReport(report, other);
        nestedStore = GenerateToStore(report);
    };
    runToStore(report);
    EXPECT_FALSE(nestedRan);
    EXPECT_EQ(nestedStore, nullptr);
    EXPECT_FALSE(IsReportRunning(report));
}

// ---------------------------------------------------------------- progress and cancelling

class ProgressLog : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::Type(RpNotice::Progress))
            values << static_cast<TRpStoreEvent *>(event)->parameter();
        return QObject::event(event);
    }
    QList<int> values;
};

TEST(ReportProgress, PostedOnlyWhenTheValueChanges)
{
    TMemTable table;
    fillTransactions(table, 400);
    TRpReport report;
    report.setDataSet(&table);
    addBand(report, Rp::rbDetail, 5);
    ProgressLog log;
    TRpPrinter store;
    store.setClient(&log);
    RunReport(report, store);
    QCoreApplication::sendPostedEvents(&log);
    ASSERT_EQ(log.values.size(), 101);
    EXPECT_EQ(log.values.first(), 0);
    EXPECT_EQ(log.values.last(), 100);
}

TEST(ReportProgress, CancelStopsAtTheNextRecordAndAbortsTheDocument)
{
    TMemTable table;
    fillTransactions(table, 50);
    TRpReport report;
    report.setDataSet(&table);
    TRpBand *detail = addBand(report, Rp::rbDetail, 50);
    auto *number = new ProbeText(detail);
    number->value = [](RpPrintRun &run) { return QStringLiteral("#%1").arg(run.DetailNumber()); };
    TRpBand *summary = addBand(report, Rp::rbSummary, 50);
    new ProbeText(summary, QStringLiteral("SUMMARY"));
    TRpPrinter store;
    detail->AfterPrint = [&](TRpCustomBand *, bool) {
        if (number->prints == 3)
            store.CancelDocument();
    };
    RunReport(report, store);
    EXPECT_EQ(store.status(), TRpPrinter::Status::Finished);
    const std::vector<PageLog> pages = logPages(store);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].textList(), QStringList({ "#1", "#2", "#3" }));
}

TEST(ReportProgress, CancelReportStopsARunFromAHandler)
{
    TMemTable table;
    fillTransactions(table, 50);
    TRpReport report;
    report.setDataSet(&table);
    TRpBand *detail = addBand(report, Rp::rbDetail, 50);
    int printed = 0;
    detail->AfterPrint = [&](TRpCustomBand *, bool) {
        if (++printed == 5)
            CancelReport(report);
    };
    TRpPrinter store;
    RunReport(report, store);
    EXPECT_EQ(printed, 5);
}

// ---------------------------------------------------------------- exports, composites, threads

class RecordingFilter : public TRpExportFilter
{
public:
    void Start(int pageWidth, int pageLength, const QFont &) override
    {
        calls << QStringLiteral("start %1x%2").arg(pageWidth).arg(pageLength);
    }
    void NewPage() override { calls << QStringLiteral("page"); }
    void TextLine(const QFont &, int, int, int, int, const QString &text) override { calls << text; }
    void EndPage() override { calls << QStringLiteral("end page"); }
    void EndDocument() override { calls << QStringLiteral("end"); }
    QStringList calls;
};

TEST(ReportExport, FilterHearsOfPagesWhileElementsDrawNothing)
{
    TMemTable table;
    fillTransactions(table, 60);
    ExampleReport example(&table);
    auto *number = new ProbeText(example.detail);
    number->value = [](RpPrintRun &run) { return QStringLiteral("#%1").arg(run.DetailNumber()); };
    RecordingFilter filter;
    ExportThroughFilter(example.report, filter);
    EXPECT_EQ(
        filter.calls, QStringList({ "start 2100x2970", "page", "end page", "page", "end page", "end" }));
    EXPECT_FALSE(IsReportRunning(example.report));
}

TEST(ReportComposite, ReportsFollowEachOtherInOneDocument)
{
    TMemTable first;
    fillTransactions(first, 3);
    TMemTable second;
    fillTransactions(second, 50);
    ExampleReport one(&first);
    ExampleReport two(&second);
    for (ExampleReport *example : { &one, &two }) {
        auto *page = new ProbeText(example->pageFooter);
        page->value = [](RpPrintRun &run) { return QStringLiteral("Page %1").arg(run.PageNumber()); };
        new ProbeText(example->title, example == &one ? QStringLiteral("ONE") : QStringLiteral("TWO"));
    }
    TRpCompositeReport composite;
    QStringList finished;
    composite.OnAddReports = [&](TRpCompositeReport *sender) {
        sender->addReport(&one.report);
        sender->addReport(&two.report);
    };
    composite.OnFinished = [&](QObject *sender) { finished << (sender == &composite ? "all" : "report"); };
    const std::unique_ptr<TRpPrinter> store = GenerateComposite(composite);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(finished, QStringList({ "report", "report", "all" }));
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].count(QStringLiteral("ONE")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("TWO")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("Page 2")), 1);
}

TEST(ReportThreads, BackgroundRunFillsTheStoreKeptWithTheReport)
{
    TMemTable table;
    fillTransactions(table, 500);
    ExampleReport example(&table);
    new ProbeText(example.detail, QStringLiteral("row"));
    ShowPreviewThreaded(example.report, true);
    EXPECT_FALSE(IsReportRunning(example.report));
    TRpPrinter *store = ReportPageStore(example.report);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->status(), TRpPrinter::Status::Finished);
    EXPECT_EQ(store->pageCount(), 11);

    ShowPreviewThreaded(example.report, false);
    EXPECT_TRUE(IsReportRunning(example.report));
    QElapsedTimer clock;
    clock.start();
    while (IsReportRunning(example.report) && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(ReportPageStore(example.report)->pageCount(), 11);
}

TEST(ReportThreads, DestroyingTheReportStopsItsBackgroundRun)
{
    TMemTable table;
    fillTransactions(table, 20000);
    auto example = std::make_unique<ExampleReport>(&table);
    new ProbeText(example->detail, QStringLiteral("row"));
    ShowPreviewThreaded(example->report, false);
    example.reset();
    SUCCEED();
}

} // namespace
