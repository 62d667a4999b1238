#include "print/ReportPrinter.h"
#include "support/PdfText.h"
#include "widgets/DialogRecorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every store prints to one PDF file for as long as the guard lives.
class PdfPrinting : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext is not installed";
        file = dir.filePath(QStringLiteral("out.pdf"));
        ReportPrinting::installPdfPrinter(file);
    }
    void TearDown() override { ReportPrinting::uninstall(); }

    // Draws `pages` pages on a store, each with "PageN" at 2.54 cm from the paper's top-left corner.
    static void drawPages(TRpPrinter &store, int pages)
    {
        store.StartDocument();
        for (int p = 1; p <= pages; ++p) {
            store.NewPage();
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(store.DeviceHeight(40));
            store.canvas()->setFont(font);
            store.canvas()->drawText(store.DeviceX(254), store.DeviceY(254), QStringLiteral("Page%1").arg(p));
        }
        store.FinishDocument();
    }

    QStringList pageTexts() const
    {
        const PdfText pdf = PdfText::of(file);
        QStringList texts;
        for (size_t i = 1; i <= pdf.pages.size(); ++i)
            texts << pdf.pageText(int(i));
        return texts;
    }

    QTemporaryDir dir;
    QString file;
};

TEST_F(PdfPrinting, WithoutPrintersThePdfPrinterStandsIn)
{
    QtPrintDevice device(QtPrintDevice::Mode::PdfOnly);
    EXPECT_EQ(device.Printers(), QStringList { QStringLiteral("PDF") });
    EXPECT_FALSE(device.MakesCopies());
    EXPECT_EQ(device.PaperCodes().size(), 26);
    EXPECT_EQ(device.OffsetX(), 0);
    EXPECT_EQ(device.OffsetY(), 0);
    EXPECT_EQ(device.DpiX(), QtPrintDevice::kPdfResolution);
}

TEST_F(PdfPrinting, TheDeviceSettingsRecordSetsThePaper)
{
    QtPrintDevice device(QtPrintDevice::Mode::PdfOnly);
    TRpDeviceMode mode = device.DeviceMode();
    mode.paperSize = 1; // Letter
    mode.orientation = TRpDeviceMode::kLandscape;
    device.SetDeviceMode(&mode);
    EXPECT_NEAR(device.PhysicalWidth(), 11 * 1200, 2);
    EXPECT_NEAR(device.PhysicalHeight(), 8.5 * 1200, 2);
    mode.paperSize = 256;
    mode.orientation = TRpDeviceMode::kPortrait;
    mode.paperWidth = 1000;
    mode.paperLength = 1500;
    device.SetDeviceMode(&mode);
    // Page sizes are kept in whole points.
    EXPECT_NEAR(device.PhysicalWidth(), 100 / 25.4 * 1200, 12);
    EXPECT_NEAR(device.PhysicalHeight(), 150 / 25.4 * 1200, 12);
    device.SetDeviceMode(nullptr);
    EXPECT_EQ(device.DeviceMode().copies, 1);
}

TEST_F(PdfPrinting, DirectPrintingWritesThePagesInRangeAtTheirPlace)
{
    TRpPrinter store;
    ASSERT_TRUE(store.printerAvailable());
    store.setDestination(TRpPrinter::Destination::Printer);
    store.setPageRange(2, 3);
    drawPages(store, 4);
    EXPECT_EQ(pageTexts(), QStringList({ QStringLiteral("Page2"), QStringLiteral("Page3") }));
    const PdfText pdf = PdfText::of(file);
    const PdfText::Word *word = pdf.find(QStringLiteral("Page2"));
    ASSERT_TRUE(word);
    EXPECT_NEAR(word->xMin, 72, 2) << "one inch from the paper's left edge";
}

TEST_F(PdfPrinting, CopiesAreSentByTheEngineInCollateOrder)
{
    for (const bool collate : { true, false }) {
        TRpPrinter store;
        store.setDestination(TRpPrinter::Destination::Printer);
        store.printerSettings().SetCopies(2);
        store.printerSettings().collate = collate;
        drawPages(store, 2);
        const QStringList expected = collate ? QStringList { "Page1", "Page2", "Page1", "Page2" }
                                             : QStringList { "Page1", "Page1", "Page2", "Page2" };
        EXPECT_EQ(pageTexts(), expected) << (collate ? "collated" : "page by page");
    }
}

TEST_F(PdfPrinting, StoredPagesPrintAtTrueSizeOnTheRightPaper)
{
    TRpPrinter store;
    store.printerSettings().SetPaperSize(RpPaper::Letter);
    store.printerSettings().SetOrientation(RpPaper::poLandscape);
    drawPages(store, 3);
    store.setPageRange(2, 9);
    store.PrintPages();
    const PdfText pdf = PdfText::of(file);
    ASSERT_EQ(pdf.pages.size(), 2u);
    EXPECT_NEAR(pdf.pages[0].width(), 792, 1);
    EXPECT_NEAR(pdf.pages[0].height(), 612, 1);
    const PdfText::Word *word = pdf.find(QStringLiteral("Page3"));
    ASSERT_TRUE(word);
    EXPECT_NEAR(word->xMin, 72, 2);
}

TEST_F(PdfPrinting, AnEmptyRangeWritesNoFile)
{
    TRpPrinter store;
    drawPages(store, 2);
    store.setPageRange(5, 0);
    store.PrintPages();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(PdfPrinting, ACancelledFileChoiceWritesNothing)
{
    ReportPrinting::installSystemPrinters([](const QString &) { return QString(); });
    TRpPrinter store;
    if (!store.printer() || store.printer()->Printers() != QStringList { QStringLiteral("PDF") })
        GTEST_SKIP() << "the system has printers";
    store.setDestination(TRpPrinter::Destination::Printer);
    drawPages(store, 1);
    EXPECT_FALSE(QFile::exists(file));
}

TEST(PaperCodes, MapSizesToTheFirstCodeOfTheirSize)
{
    EXPECT_EQ(PaperCodes::codeFor(QSizeF(210, 297)), 9);
    EXPECT_EQ(PaperCodes::codeFor(QSizeF(297, 210)), 9);
    EXPECT_EQ(PaperCodes::codeFor(QSizeF(215.9, 279.4)), 1);
    EXPECT_EQ(PaperCodes::codeFor(QSizeF(431.8, 279.4)), 4) << "Ledger is itself landscape";
    EXPECT_EQ(PaperCodes::codeFor(QSizeF(100, 150)), 256);
    EXPECT_TRUE(PaperCodes::sizeMM(0, TRpDeviceMode()).isEmpty());
}

// ---------------------------------------------------------------- the platform print dialog

TEST(ReportPrintDialog, FillsAndReadsThePlatformDialog)
{
    DialogRecorder dialogs;
    dialogs.printSetupAnswer = [](Dialogs::PrintSetupRequest &r) {
        r.landscape = true;
        r.paperSizeMM = QSizeF(215.9, 279.4);
        r.copies = 3;
        r.collate = false;
        r.range = Dialogs::PrintSetupRequest::Range::PageNums;
        r.fromPage = 2;
        r.toPage = 4;
    };
    TRpPrintDialogRequest request;
    request.printers = { QStringLiteral("PDF") };
    request.printerIndex = 0;
    request.mode.paperSize = 9;
    request.options = RpPrintDialogTypes::poPageNums | RpPrintDialogTypes::poWarning;
    request.minPage = 1;
    request.maxPage = 7;
    request.copies = 2;
    ASSERT_TRUE(ReportPrinting::runPrintDialog(request));

    ASSERT_EQ(dialogs.printSetups.size(), 1u);
    const Dialogs::PrintSetupRequest &shown = dialogs.printSetups[0];
    EXPECT_TRUE(shown.pageRangeEnabled);
    EXPECT_FALSE(shown.selectionEnabled);
    EXPECT_FALSE(shown.printToFileShown);
    EXPECT_EQ(shown.maxPage, 7);
    EXPECT_EQ(shown.copies, 2);
    EXPECT_NEAR(shown.paperSizeMM.width(), 210, 0.01);

    EXPECT_EQ(request.mode.orientation, TRpDeviceMode::kLandscape);
    EXPECT_EQ(request.mode.paperSize, 1);
    EXPECT_EQ(request.copies, 3);
    EXPECT_FALSE(request.collate);
    EXPECT_EQ(request.printRange, RpPrintDialogTypes::prPageNums);
    EXPECT_EQ(request.fromPage, 2);
    EXPECT_EQ(request.toPage, 4);
}

TEST(ReportPrintDialog, CancelledLeavesTheRequest)
{
    DialogRecorder dialogs;
    dialogs.printAnswer = false;
    TRpPrintDialogRequest request;
    request.copies = 2;
    EXPECT_FALSE(ReportPrinting::runPrintDialog(request));
    EXPECT_EQ(request.copies, 2);
}

} // namespace
