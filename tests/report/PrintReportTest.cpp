#include "GenerationTestSupport.h"
#include "report/elements/LabelItems.h"
#include "report/generation/RunReport.h"
#include "store/MemTable.h"
#include "support/FakePrinter.h"

#include <gtest/gtest.h>

namespace {

// A report of one page per row: a detail band that starts a new page, with the row's description 2.54 cm from
// the paper's top-left corner.
struct RowPerPage
{
    explicit RowPerPage(int rows)
    {
        fillTransactions(table, rows);
        report.setShowProgress(false);
        report.setUnits(Rp::Native);
        TRpPage &page = *report.page();
        page.setLeftMargin(0);
        page.setTopMargin(0);
        report.setDataSet(&table);
        TRpBand *detail = addBand(report, Rp::rbDetail, 500);
        detail->setForceNewPage(true);
        auto *text = new TRpDBText(detail);
        text->setDataSet(&table);
        text->setDataField(QStringLiteral("Transaction_Description"));
        text->size()->setNativeBounds(254, 254, 1000, 60);
    }

    TMemTable table;
    TRpReport report;
};

std::vector<QStringList> rows(std::initializer_list<int> numbers)
{
    std::vector<QStringList> sheets;
    for (int n : numbers)
        sheets.push_back({ QStringLiteral("Row %1").arg(n) });
    return sheets;
}

struct PaperCase
{
    const char *name;
    TRpPaperSize paper;
    TPrinterOrientation orientation;
    QList<int> printerPapers; // the paper codes the printer lists
    int sheetPaper; // the paper code the sheets print on
};

class PrintReportPaper : public testing::TestWithParam<PaperCase>
{
};

TEST_P(PrintReportPaper, PrintsOnThePaperThePrinterCanGive)
{
    const PaperCase &c = GetParam();
    FakePrinterInstall install([&](FakePrinter &printer) { printer.paperCodes = c.printerPapers; });
    RowPerPage made(1);
    made.report.page()->setPaperSize(c.paper);
    made.report.page()->setOrientation(c.orientation);
    // The store's printer goes with the store: what it printed is taken when the print is finished.
    FakePrinter printer;
    made.report.AfterPrint = [&](QObject *) { printer = *install.last(); };
    PrintReport(made.report);
    ASSERT_EQ(printer.sheets.size(), 1u);
    const TRpDeviceMode &mode = printer.sheets[0].mode;
    EXPECT_EQ(mode.paperSize, c.sheetPaper);
    EXPECT_EQ(mode.orientation,
        c.orientation == RpPaper::poLandscape ? TRpDeviceMode::kLandscape : TRpDeviceMode::kPortrait);
    ASSERT_EQ(printer.sheets[0].texts.size(), 1u);
    // 2.54 cm from the paper's edge at 600 dpi, less the printer's unprintable border.
    EXPECT_NEAR(printer.sheets[0].texts[0].at.x(), 600 - printer.offsetX, 2);
}

INSTANTIATE_TEST_SUITE_P(Papers, PrintReportPaper,
    testing::Values(PaperCase { "LetterLandscape", RpPaper::Letter, RpPaper::poLandscape, { 1, 9 }, 1 },
        PaperCase { "LetterPortrait", RpPaper::Letter, RpPaper::poPortrait, { 1, 9 }, 1 },
        PaperCase { "A4Landscape", RpPaper::A4, RpPaper::poLandscape, { 1, 9 }, 9 },
        // A printer that has no Letter paper keeps its own.
        PaperCase { "LetterOnAnA4Printer", RpPaper::Letter, RpPaper::poLandscape, { 9 }, 9 }),
    [](const auto &info) { return std::string(info.param.name); });

struct RunCase
{
    const char *name;
    int first;
    int last;
    int copies;
    bool collate;
    std::vector<QStringList> sheets;
};

class PrintReportRange : public testing::TestWithParam<RunCase>
{
};

TEST_P(PrintReportRange, PrintsThePagesInRangeWithTheirCopies)
{
    const RunCase &c = GetParam();
    FakePrinterInstall install;
    RowPerPage made(4);
    made.report.printerSettings()->setFirstPage(c.first);
    made.report.printerSettings()->setLastPage(c.last);
    made.report.printerSettings()->setCopies(c.copies);
    made.report.printerSettings()->setCollate(c.collate);
    FakePrinter printer;
    made.report.AfterPrint = [&](QObject *) { printer = *install.last(); };
    PrintReport(made.report);
    EXPECT_EQ(printer.sheetTexts(), c.sheets);
    EXPECT_EQ(printer.jobs, c.sheets.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Runs, PrintReportRange,
    testing::Values(RunCase { "All", 0, 0, 1, true, rows({ 1, 2, 3, 4 }) },
        RunCase { "Middle", 2, 3, 1, true, rows({ 2, 3 }) },
        RunCase { "Collated", 2, 3, 2, true, rows({ 2, 3, 2, 3 }) },
        RunCase { "PageByPage", 2, 3, 2, false, rows({ 2, 2, 3, 3 }) },
        RunCase { "PastTheEnd", 6, 0, 1, true, {} }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PrintReport, WithoutAPrinterNothingHappens)
{
    RowPerPage made(1);
    bool ran = false;
    made.report.BeforePrint = [&](TCustomRpReport *, bool &) { ran = true; };
    PrintReport(made.report);
    EXPECT_FALSE(ran);
}

TEST(PrintReport, ThePrinterOfTheReportIsSelected)
{
    FakePrinterInstall install;
    RowPerPage made(1);
    made.report.printerSettings()->setPrinterIndex(1);
    FakePrinter printer;
    made.report.AfterPrint = [&](QObject *) { printer = *install.last(); };
    PrintReport(made.report);
    EXPECT_EQ(printer.selected, 1);
    EXPECT_EQ(printer.sheets.size(), 1u);
}

} // namespace
