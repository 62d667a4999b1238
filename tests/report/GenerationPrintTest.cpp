// A report printed straight to a printer: the report's paper, orientation and page range reach the printer
// as far as it supports them, and the pages are laid out for the paper the printer takes.
#include "GenerationTestSupport.h"
#include "support/FakePrinter.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct PrintedList
{
    explicit PrintedList(int rows)
    {
        fillTransactions(table, rows);
        report.setDataSet(&table);
        report.setShowProgress(false);
        auto *number = new ProbeText(addBand(report, Rp::rbDetail, 50));
        number->value = [](RpPrintRun &run) { return QStringLiteral("#%1").arg(run.DetailNumber()); };
    }
    TMemTable table;
    TRpReport report;
};

TEST(ReportPrinting, PrintsThePagesOfTheReportsRange)
{
    FakePrinterInstall install;
    PrintedList list(200); // 55 rows a page: four pages
    list.report.printerSettings()->setFirstPage(2);
    list.report.printerSettings()->setLastPage(3);
    QStringList events;
    list.report.AfterPrint = [&events](QObject *) { events << QStringLiteral("printed"); };
    TRpPrinter store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.printFinished = [&] { list.report.AfterPrint(&list.report); };
    RunReport(list.report, store);
    const auto *printer = static_cast<const FakePrinter *>(store.printer());
    ASSERT_EQ(printer->sheets.size(), 2u);
    EXPECT_EQ(printer->sheets[0].textList().first(), QStringLiteral("#56"));
    EXPECT_EQ(printer->sheets[1].textList().last(), QStringLiteral("#165"));
    EXPECT_EQ(events, QStringList { QStringLiteral("printed") });

    // Printing the report makes a store of its own for the printer and tells the report when done.
    events.clear();
    PrintReport(list.report);
    EXPECT_EQ(events, QStringList { QStringLiteral("printed") });
    EXPECT_FALSE(IsReportRunning(list.report));
}

// Device positions round to the nearest pixel, halves to the even neighbour, on either side of the paper's
// edge: at 508 dpi a tenth of a millimetre is exactly two pixels, so quarter units land on halves.
TEST(ReportPrinting, DevicePositionsRoundHalvesToTheEvenPixel)
{
    FakePrinterInstall install([](FakePrinter &printer) {
        printer.dpiX = printer.dpiY = 508;
        printer.offsetX = printer.offsetY = 0;
    });
    TRpPrinter store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.StartDocument();
    EXPECT_EQ(store.DeviceX(1.25L), 2);
    EXPECT_EQ(store.DeviceX(1.75L), 4);
    EXPECT_EQ(store.DeviceY(-1.25L), -2);
    EXPECT_EQ(store.DeviceY(-1.75L), -4);
    EXPECT_EQ(store.DeviceWidth(1.3L), 3);
    EXPECT_EQ(store.DeviceHeight(2.25L), 4);
    EXPECT_EQ(store.DeviceX(std::numeric_limits<long double>::quiet_NaN()), -2147483647);
    store.AbortDocument();
}

TEST(ReportPrinting, PaperThePrinterLacksLeavesItsOwn)
{
    FakePrinterInstall install;
    PrintedList list(1);
    list.report.page()->setPaperSize(RpPaper::Tabloid); // not among the fake's papers
    list.report.page()->setOrientation(RpPaper::poLandscape);
    TRpPrinter store;
    store.setDestination(TRpPrinter::Destination::Printer);
    RunReport(list.report, store);
    EXPECT_EQ(store.printerSettings().paperSize, RpPaper::A4);
    EXPECT_EQ(store.printerSettings().orientation, RpPaper::poLandscape);
    EXPECT_NEAR(store.PaperLengthNative(), 2100, 0.5);

    list.report.page()->setPaperSize(RpPaper::Legal);
    TRpPrinter legal;
    legal.setDestination(TRpPrinter::Destination::Printer);
    RunReport(list.report, legal);
    EXPECT_EQ(legal.printerSettings().paperSize, RpPaper::Legal);
}

TEST(ReportPrinting, NothingHappensWithoutAPrinter)
{
    PrintedList list(3);
    bool printed = false;
    list.report.BeforePrint = [&printed](TCustomRpReport *, bool &) { printed = true; };
    PrintReport(list.report);
    EXPECT_FALSE(printed);
}

} // namespace
