#include "platform/Exceptions.h"
#include "report/pages/RpPrinter.h"
#include "support/FakePrinter.h"

#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// Draws `pages` pages, each with the text "page N" at 2.54 cm from the paper's top-left corner.
void drawPages(TRpPrinter &store, int pages)
{
    store.StartDocument();
    for (int p = 1; p <= pages; ++p) {
        store.NewPage();
        store.canvas()->drawText(store.DeviceX(254), store.DeviceY(254), QStringLiteral("page %1").arg(p));
    }
    store.FinishDocument();
}

std::vector<QStringList> sheetsOf(std::initializer_list<int> pages)
{
    std::vector<QStringList> sheets;
    for (int p : pages)
        sheets.push_back({ QStringLiteral("page %1").arg(p) });
    return sheets;
}

struct PrintingStore
{
    explicit PrintingStore(std::function<void(FakePrinter &)> shape = {})
        : install(std::move(shape))
    {
        store = std::make_unique<TRpPrinter>();
        printer = install.last();
    }
    FakePrinterInstall install;
    std::unique_ptr<TRpPrinter> store;
    FakePrinter *printer = nullptr;
};

// ---------------------------------------------------------------- direct printing

struct RangeCase
{
    int first;
    int last;
    std::vector<int> printed;
    bool jobStarted;
};

class DirectPrintingRange : public testing::TestWithParam<RangeCase>
{
};

TEST_P(DirectPrintingRange, PrintsThePagesInRangeOnly)
{
    PrintingStore p;
    TRpPrinter &store = *p.store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.setTitle(QStringLiteral("Relevé"));
    store.setPageRange(GetParam().first, GetParam().last);
    drawPages(store, 5);

    std::vector<QStringList> expected;
    for (int page : GetParam().printed)
        expected.push_back({ QStringLiteral("page %1").arg(page) });
    EXPECT_EQ(p.printer->sheetTexts(), expected);
    EXPECT_EQ(p.printer->jobs, GetParam().jobStarted ? 1 : 0);
    if (GetParam().jobStarted) {
        EXPECT_EQ(p.printer->sheets.front().title, QStringLiteral("Relevé"));
        EXPECT_EQ(p.printer->log.last(), QStringLiteral("end")) << "no sheet follows the last page in range";
    }
    EXPECT_EQ(store.pageCount(), 5) << "pages out of range are still generated";
}

INSTANTIATE_TEST_SUITE_P(Ranges, DirectPrintingRange,
    testing::Values(RangeCase { 2, 3, { 2, 3 }, true }, RangeCase { 0, 0, { 1, 2, 3, 4, 5 }, true },
        RangeCase { 4, 0, { 4, 5 }, true }, RangeCase { 0, 1, { 1 }, true }, RangeCase { 6, 9, {}, false },
        RangeCase { 3, 2, {}, false }));

TEST(DirectPrinting, APageAfterPagesOutOfRangeDrawsAtThePrintersFullSize)
{
    PrintingStore p;
    TRpPrinter &store = *p.store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.setPageRange(3, 3);
    store.StartDocument();
    for (int page = 1; page <= 3; ++page) {
        store.NewPage();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(store.DeviceHeight(50)); // 5 mm high on the page
        store.canvas()->setFont(font);
        store.canvas()->drawText(store.DeviceX(254), store.DeviceY(254), QStringLiteral("page %1").arg(page));
    }
    store.FinishDocument();

    ASSERT_EQ(p.printer->sheets.size(), 1u);
    const FakePrinter::Text &text = p.printer->sheets[0].texts.at(0);
    // 2.54 cm from the paper's edge at 600 dpi is 600 pixels, less the unprintable border of 100 pixels.
    EXPECT_NEAR(text.at.x(), 500, 1);
    EXPECT_NEAR(text.at.y(), 500, 1);
    EXPECT_NEAR(text.pixelSize, 50 * 600 / 254.0, 1);
}

struct CopiesCase
{
    const char *name;
    int copies;
    bool collate;
    bool printerMakesCopies;
    std::vector<int> sheets;
    int recordCopies; // the copies the printer is told to make itself
};

class DirectPrintingCopies : public testing::TestWithParam<CopiesCase>
{
};

TEST_P(DirectPrintingCopies, SendsEveryCopyThePrinterCannotMake)
{
    const CopiesCase &c = GetParam();
    PrintingStore p([&](FakePrinter &f) { f.makesCopies = c.printerMakesCopies; });
    TRpPrinter &store = *p.store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.printerSettings().SetCopies(c.copies);
    store.printerSettings().collate = c.collate;
    store.setPageRange(2, 3);
    drawPages(store, 4);

    std::vector<QStringList> expected;
    for (int page : c.sheets)
        expected.push_back({ QStringLiteral("page %1").arg(page) });
    EXPECT_EQ(p.printer->sheetTexts(), expected);
    EXPECT_EQ(p.printer->jobs, 1);
    EXPECT_EQ(p.printer->mode.copies, c.recordCopies);
    EXPECT_EQ(p.printer->mode.collate, c.collate);
}

INSTANTIATE_TEST_SUITE_P(Copies, DirectPrintingCopies,
    testing::Values(CopiesCase { "Collated", 3, true, false, { 2, 3, 2, 3, 2, 3 }, 3 },
        CopiesCase { "PageByPage", 3, false, false, { 2, 2, 2, 3, 3, 3 }, 3 },
        CopiesCase { "PrinterMakesThem", 3, true, true, { 2, 3 }, 3 },
        CopiesCase { "OneCopy", 1, true, false, { 2, 3 }, 1 },
        CopiesCase { "ZeroCountsAsOne", 0, true, false, { 2, 3 }, 0 },
        CopiesCase { "NegativeCountsAsOne", -2, false, false, { 2, 3 }, -2 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DirectPrinting, ReplayedCopiesKeepTheTruePosition)
{
    PrintingStore p;
    TRpPrinter &store = *p.store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.printerSettings().SetCopies(2);
    drawPages(store, 1);
    ASSERT_EQ(p.printer->sheets.size(), 2u);
    for (const FakePrinter::Sheet &sheet : p.printer->sheets) {
        ASSERT_EQ(sheet.texts.size(), 1u);
        EXPECT_NEAR(sheet.texts[0].at.x(), 500, 2);
        EXPECT_NEAR(sheet.texts[0].at.y(), 500, 2);
    }
}

TEST(DirectPrinting, AnAbortedDocumentAbortsTheJobAndSendsNoCopies)
{
    PrintingStore p;
    TRpPrinter &store = *p.store;
    store.setDestination(TRpPrinter::Destination::Printer);
    store.printerSettings().SetCopies(2);
    store.StartDocument();
    store.NewPage();
    store.NewPage();
    store.AbortDocument();
    EXPECT_EQ(p.printer->log.last(), QStringLiteral("abort"));
    EXPECT_EQ(p.printer->sheets.size(), 1u) << "only the first, closed page was sent";
}

TEST(DirectPrinting, WithoutAPrinterTheDocumentDoesNotStart)
{
    TRpPrinter store;
    store.setDestination(TRpPrinter::Destination::Printer);
    EXPECT_THROW(store.StartDocument(), ERpError);
}

// ---------------------------------------------------------------- printing stored pages

struct StoredCase
{
    const char *name;
    int first;
    int last;
    int copies;
    bool collate;
    std::vector<int> sheets;
};

class StoredPagesPrinting : public testing::TestWithParam<StoredCase>
{
};

TEST_P(StoredPagesPrinting, PrintsTheRangeWithItsCopies)
{
    const StoredCase &c = GetParam();
    PrintingStore p;
    TRpPrinter &store = *p.store;
    store.setTitle(QStringLiteral("Comptes"));
    drawPages(store, 4);
    store.setPageRange(c.first, c.last);
    store.printerSettings().SetCopies(c.copies);
    store.printerSettings().collate = c.collate;
    store.PrintPages();

    std::vector<QStringList> expected;
    for (int page : c.sheets)
        expected.push_back({ QStringLiteral("page %1").arg(page) });
    EXPECT_EQ(p.printer->sheetTexts(), expected);
    EXPECT_EQ(p.printer->jobs, 1) << "the job begins and ends even when nothing is in range";
    EXPECT_EQ(p.printer->log.last(), QStringLiteral("end"));
}

INSTANTIATE_TEST_SUITE_P(Ranges, StoredPagesPrinting,
    testing::Values(StoredCase { "All", 0, 0, 1, true, { 1, 2, 3, 4 } },
        StoredCase { "Middle", 2, 3, 1, true, { 2, 3 } },
        StoredCase { "LastPastTheEndIsClamped", 3, 99, 1, true, { 3, 4 } },
        StoredCase { "FirstPastTheEnd", 7, 0, 1, true, {} },
        StoredCase { "FirstAfterLastIsEmpty", 3, 2, 1, true, {} },
        StoredCase { "CollatedCopies", 2, 3, 2, true, { 2, 3, 2, 3 } },
        StoredCase { "UncollatedCopies", 2, 3, 2, false, { 2, 2, 3, 3 } },
        StoredCase { "ZeroCopiesIsOne", 1, 2, 0, true, { 1, 2 } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StoredPagesPrinting, PagesAreDrawnAtTrueSizeFromThePapersCorner)
{
    PrintingStore p;
    TRpPrinter &store = *p.store;
    drawPages(store, 1);
    store.PrintPages();
    ASSERT_EQ(p.printer->sheets.size(), 1u);
    ASSERT_EQ(p.printer->sheets[0].texts.size(), 1u);
    EXPECT_NEAR(p.printer->sheets[0].texts[0].at.x(), 500, 7);
    EXPECT_NEAR(p.printer->sheets[0].texts[0].at.y(), 500, 7);
}

TEST(StoredPagesPrinting, APrinterThatMakesCopiesGetsEachPageOnce)
{
    PrintingStore p([](FakePrinter &f) { f.makesCopies = true; });
    TRpPrinter &store = *p.store;
    drawPages(store, 2);
    store.printerSettings().SetCopies(3);
    store.PrintPages();
    EXPECT_EQ(p.printer->sheetTexts(), sheetsOf({ 1, 2 }));
    EXPECT_EQ(p.printer->mode.copies, 3);
}

TEST(StoredPagesPrinting, NothingHappensUnlessFinishedAndAPrinterExists)
{
    PrintingStore p;
    p.store->PrintPages();
    EXPECT_EQ(p.printer->jobs, 0);

    TRpPrinter withoutPrinter;
    drawPages(withoutPrinter, 1);
    withoutPrinter.PrintPages(); // no printer: nothing, no error
}

TEST(StoredPagesPrinting, LoadingPagesOrResettingClearsTheRange)
{
    QTemporaryDir dir;
    PrintingStore p;
    TRpPrinter &store = *p.store;
    drawPages(store, 3);
    const QString file = dir.filePath(QStringLiteral("pages.rpp"));
    store.SavePages(file);

    store.setPageRange(2, 2);
    store.LoadPages(file);
    EXPECT_EQ(store.firstPage(), 0);
    EXPECT_EQ(store.lastPage(), 0);
    store.PrintPages();
    EXPECT_EQ(p.printer->sheetTexts(), sheetsOf({ 1, 2, 3 }));

    store.setPageRange(2, 3);
    store.ResetStore();
    EXPECT_EQ(store.firstPage(), 0);
    EXPECT_EQ(store.lastPage(), 0);
}

TEST(StoredPagesPrinting, APageThatCannotBeReadAbortsTheJob)
{
    // A page file is checked whole when it loads, but only its first picture is decoded then: a damaged
    // picture further on is found while printing. The job is abandoned rather than ended, so no half
    // document goes out as if it were complete, and the fault reaches the caller.
    QTemporaryDir dir;
    PrintingStore p;
    TRpPrinter &store = *p.store;
    drawPages(store, 3);
    const QString file = dir.filePath(QStringLiteral("pages.rpp"));
    store.SavePages(file);
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    QByteArray bytes = damaged.readAll();
    const qint32 second = qFromLittleEndian<qint32>(bytes.constData() + 128 + 4);
    bytes[second + 8] = 'X';
    damaged.seek(0);
    damaged.write(bytes);
    damaged.close();

    store.LoadPages(file);
    EXPECT_THROW(store.PrintPages(), Exception);
    EXPECT_EQ(p.printer->log.last(), QStringLiteral("abort"));
    EXPECT_FALSE(p.printer->Printing());
}

TEST(StoredPagesPrinting, AStillRunningJobOfThePrinterIsAbortedFirst)
{
    PrintingStore p;
    TRpPrinter &store = *p.store;
    drawPages(store, 1);
    p.printer->BeginJob(QStringLiteral("left over"));
    store.PrintPages();
    EXPECT_EQ(p.printer->log.filter(QStringLiteral("abort")).size(), 1);
    EXPECT_EQ(p.printer->log.last(), QStringLiteral("end"));
}

} // namespace
