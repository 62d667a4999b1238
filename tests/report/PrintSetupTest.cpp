#include "report/generation/PrintSetup.h"
#include "report/files/DesignClasses.h"
#include "report/generation/PageSetup.h"
#include "report/generation/RunReport.h"
#include "report/pages/RpPrintDialog.h"
#include "support/FakePrinter.h"

#include <gtest/gtest.h>

namespace {

class PrintSetup : public testing::Test
{
protected:
    void SetUp() override
    {
        TRpPrintDialog::setRunner([this](TRpPrintDialogRequest &request) {
            seen = request;
            if (answer)
                answer(request);
            return confirm;
        });
    }
    void TearDown() override { TRpPrintDialog::setRunner({}); }

    FakePrinterInstall install;
    TRpPrintDialogRequest seen;
    std::function<void(TRpPrintDialogRequest &)> answer;
    bool confirm = true;
};

TEST_F(PrintSetup, OffersAnyPageOfAReportNotYetRun)
{
    TRpReport report;
    report.printerSettings()->setCopies(3);
    report.page()->setOrientation(RpPaper::poLandscape);
    AskPrintSetup(report);
    EXPECT_EQ(seen.minPage, 0);
    EXPECT_EQ(seen.maxPage, 9999);
    EXPECT_EQ(seen.copies, 3);
    EXPECT_EQ(seen.options, RpPrintDialogTypes::poPageNums | RpPrintDialogTypes::poWarning);
    EXPECT_EQ(seen.mode.orientation, TRpDeviceMode::kLandscape);
    EXPECT_EQ(report.tag(), 0);
}

TEST_F(PrintSetup, ConfirmedTakesTheRangeCopiesPrinterAndOrientation)
{
    TRpReport report;
    answer = [](TRpPrintDialogRequest &r) {
        r.printerIndex = 1;
        r.copies = 4;
        r.collate = false;
        r.mode.orientation = TRpDeviceMode::kLandscape;
        r.printRange = RpPrintDialogTypes::prPageNums;
        r.fromPage = 2;
        r.toPage = 5;
    };
    AskPrintSetup(report);
    const TRpReportPrinterSettings &s = *report.printerSettings();
    EXPECT_EQ(s.firstPage(), 2);
    EXPECT_EQ(s.lastPage(), 5);
    EXPECT_EQ(s.copies(), 4);
    EXPECT_FALSE(s.collate());
    EXPECT_EQ(s.printerIndex(), 1);
    EXPECT_EQ(report.page()->orientation(), RpPaper::poLandscape);
    EXPECT_EQ(report.tag(), 0);

    answer = [](TRpPrintDialogRequest &r) { r.printRange = RpPrintDialogTypes::prAllPages; };
    AskPrintSetup(report);
    EXPECT_EQ(report.printerSettings()->firstPage(), 0);
    EXPECT_EQ(report.printerSettings()->lastPage(), 0);
}

TEST_F(PrintSetup, ADriverKeepingItsCopiesGivesItsOwnCount)
{
    TRpReport report;
    answer = [](TRpPrintDialogRequest &r) {
        r.copies = 1;
        r.mode.copies = 6;
    };
    AskPrintSetup(report);
    EXPECT_EQ(report.printerSettings()->copies(), 6);
}

TEST_F(PrintSetup, CancelledChangesNothingAndSetsTheTag)
{
    TRpReport report;
    report.printerSettings()->setCopies(2);
    confirm = false;
    answer = [](TRpPrintDialogRequest &r) {
        r.copies = 9;
        r.printRange = RpPrintDialogTypes::prPageNums;
        r.fromPage = 3;
        r.toPage = 3;
    };
    AskPrintSetup(report);
    EXPECT_EQ(report.tag(), 1);
    EXPECT_EQ(report.printerSettings()->copies(), 2);
    EXPECT_EQ(report.printerSettings()->firstPage(), 0);
}

TEST_F(PrintSetup, TheDesignersReportAlsoAsksForItsPaperSourceAndDuplex)
{
    TERpReport report;
    report.printerSettings()->setOutputBin(RpPaper::Manual);
    report.printerSettings()->setDuplex(true);
    answer = [](TRpPrintDialogRequest &r) {
        r.mode.defaultSource = 14;
        r.mode.duplex = TRpDeviceMode::kSimplex;
    };
    AskPrintSetup(report);
    EXPECT_EQ(seen.mode.defaultSource, 4) << "the report's bin goes to the dialog";
    EXPECT_EQ(seen.mode.duplex, TRpDeviceMode::kDuplexHorizontal);
    EXPECT_EQ(report.printerSettings()->outputBin(), RpPaper::Cassette);
    EXPECT_FALSE(report.printerSettings()->duplex());

    TRpReport plain;
    plain.printerSettings()->setOutputBin(RpPaper::Manual);
    AskPrintSetup(plain);
    EXPECT_EQ(plain.printerSettings()->outputBin(), RpPaper::Manual) << "the engine's report keeps its bin";
}

} // namespace
