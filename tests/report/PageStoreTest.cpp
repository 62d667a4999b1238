#include "report/pages/Compress.h"
#include "report/pages/RpPrinter.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// Records `pages` pages whose drawing depends on the page number.
void recordPages(TRpPrinter &store, int pages, int linesPerPage = 20)
{
    store.StartDocument();
    for (int p = 1; p <= pages; ++p) {
        store.NewPage();
        QPainter &canvas = *store.canvas();
        for (int line = 0; line < linesPerPage; ++line) {
            canvas.drawText(store.DeviceX(100), store.DeviceY(100 + line * 50),
                QStringLiteral("Page %1, line %2: Loyer, Électricité 1 234,56 €").arg(p).arg(line));
            canvas.drawLine(store.DeviceX(100), store.DeviceY(120 + line * 50), store.DeviceX(1900),
                store.DeviceY(120 + line * 50));
        }
    }
    store.FinishDocument();
}

std::vector<QByteArray> pageData(TRpPrinter &store)
{
    std::vector<QByteArray> pages;
    for (int n = 1; n <= store.pageList().count(); ++n)
        pages.push_back(store.pageList().ReadPageData(n));
    return pages;
}

QByteArray streamBytes(TRpPrinter &store)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    store.pageList().stream()->copyTo(buffer);
    return bytes;
}

class NoticeRecorder : public QObject
{
public:
    std::vector<std::pair<int, int>> notices;
    bool event(QEvent *e) override
    {
        if (e->type() >= RpNotice::Progress && e->type() <= RpNotice::PreviewClosed) {
            notices.emplace_back(int(e->type()), static_cast<TRpStoreEvent *>(e)->parameter());
            return true;
        }
        return QObject::event(e);
    }
};

class PageStoreFiles : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST(PageStream, StaysInMemoryUpToTheLimit_ThenMovesOnceToAnRppTemporaryFile)
{
    auto stream = TRpStream::forRecording();
    const QByteArray block(50000, 'x');
    stream->write(block.constData(), block.size());
    stream->write(block.constData(), block.size());
    EXPECT_TRUE(stream->isInMemory());
    EXPECT_EQ(stream->size(), 100000);
    stream->write("y", 1);
    ASSERT_FALSE(stream->isInMemory());
    const QString file = stream->fileName();
    EXPECT_TRUE(QFileInfo(file).fileName().startsWith(QLatin1String("RPP"))) << qPrintable(file);
    EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_EQ(stream->position(), 100001);
    stream->seek(99999);
    EXPECT_EQ(stream->readBytes(2), QByteArray("xy"));
    stream.reset();
    EXPECT_FALSE(QFile::exists(file));
}

TEST(PageStream, ReadsBeyondTheEndFail)
{
    auto stream = TRpStream::forRecording();
    stream->write("abcd", 4);
    stream->seek(2);
    EXPECT_THROW(stream->readBytes(3), ERpError);
    EXPECT_THROW(stream->seek(5), ERpError);
    EXPECT_THROW(stream->seek(-1), ERpError);
}

TEST(PageStore, PagesReadBackTheSameBeforeAndAfterTheSpill)
{
    for (bool compressed : { false, true }) {
        TRpPrinter store;
        store.setCompression(compressed);
        store.StartDocument();
        std::vector<QByteArray> before;
        // Pages are added until the stream has moved to its file; every page is read right after it is
        // stored.
        while (store.pageList().stream()->isInMemory()) {
            store.NewPage();
            store.canvas()->drawText(10, 20, QStringLiteral("page %1").arg(store.pageCount()));
            store.canvas()->drawRect(5, 5, 300 + store.pageCount(), 200);
            if (store.pageList().count() > 0)
                before.push_back(store.pageList().ReadPageData(store.pageList().count()));
        }
        store.FinishDocument();
        const std::vector<QByteArray> after = pageData(store);
        ASSERT_GE(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(after[i], before[i]) << "page " << i + 1 << " compressed " << compressed;
    }
}

TEST(PageStore, TheTemporaryFileGoesWithTheStore_AlsoAfterAFailedRun)
{
    for (bool abort : { false, true }) {
        auto store = std::make_unique<TRpPrinter>();
        store->StartDocument();
        while (store->pageList().stream()->isInMemory())
            store->NewPage(), store->canvas()->drawText(5, 5, QString(500, QLatin1Char('x')));
        const QString file = store->pageList().stream()->fileName();
        EXPECT_TRUE(QFile::exists(file));
        if (abort)
            store->AbortDocument();
        store.reset();
        EXPECT_FALSE(QFile::exists(file)) << abort;
    }
}

TEST(PageStore, EmptyDocumentFinishesWith128ByteStream_AndNoPagesNotice)
{
    NoticeRecorder client;
    TRpPrinter store;
    store.setClient(&client);
    store.StartDocument();
    store.FinishDocument();
    QCoreApplication::sendPostedEvents(&client);
    EXPECT_TRUE(client.notices.empty());
    const QByteArray bytes = streamBytes(store);
    ASSERT_EQ(bytes.size(), 128);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 8), 0);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData()), 3);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 2), 350);
}

TEST(PageStore, AnnouncesEveryPageInOrderToItsClient)
{
    NoticeRecorder client;
    TRpPrinter store;
    store.setClient(&client);
    store.StartDocument();
    store.ReportProgress(3);
    store.NewPage();
    store.NewPage(); // page 1 is complete
    store.ReportProgress(50);
    store.NewPage();
    store.FinishDocument();
    QCoreApplication::sendPostedEvents(&client);
    const std::vector<std::pair<int, int>> expected { { 1024, 3 }, { 1025, 1 }, { 1024, 50 }, { 1025, 2 },
        { 1025, 3 } };
    EXPECT_EQ(client.notices, expected);
    EXPECT_EQ(store.availablePages(), 3);
}

TEST(PageStore, ABackgroundRunAndAReaderShareTheStore)
{
    NoticeRecorder client;
    TRpPrinter store;
    store.setCompression(true);
    store.setClient(&client);
    std::thread run([&store] { recordPages(store, 60, 30); });
    int read = 0;
    while (store.status() != TRpPrinter::Status::Finished) {
        const int available = store.availablePages();
        if (available > 0 && store.CopyPage(available))
            ++read;
        if (available > 1 && store.CopyPage(1))
            ++read;
    }
    run.join();
    QCoreApplication::sendPostedEvents(&client);
    ASSERT_EQ(client.notices.size(), 60u);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(client.notices[size_t(i)].second, i + 1);
    for (int n = 1; n <= 60; ++n)
        EXPECT_NE(store.CopyPage(n), nullptr) << n;
}

TEST(PageStore, StateErrors)
{
    TRpPrinter store;
    try {
        store.NewPage();
        FAIL() << "NewPage on a ready store";
    } catch (const ERpError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Illegal call to NewPage"));
    }
    store.StartDocument();
    try {
        store.StartDocument();
        FAIL() << "second StartDocument";
    } catch (const ERpError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("RpPrinter not ready"));
    }
    store.NewPage();
    store.FinishDocument();
    EXPECT_THROW(store.NewPage(), ERpError);
    store.ResetStore();
    EXPECT_EQ(store.status(), TRpPrinter::Status::Ready);
    EXPECT_NO_THROW(store.StartDocument());
}

TEST(PageStore, CopyPageGivesNothingOutsideTheStoredPages)
{
    TRpPrinter store;
    EXPECT_EQ(store.CopyPage(1), nullptr);
    store.StartDocument();
    store.NewPage();
    EXPECT_EQ(store.CopyPage(1), nullptr) << "page 1 is still being drawn";
    store.NewPage();
    EXPECT_NE(store.CopyPage(1), nullptr);
    store.FinishDocument();
    for (int n : { -1, 0, 3 })
        EXPECT_EQ(store.CopyPage(n), nullptr) << n;
    EXPECT_NE(store.CopyPage(2), nullptr);
    EXPECT_TRUE(store.pageList().ReadPageData(0).isEmpty());
}

TEST(PageStore, PagesKeepThePageRectangle_ThroughSaveAndLoad)
{
    QTemporaryDir dir;
    TRpPrinter store;
    store.StartDocument();
    store.NewPage();
    store.canvas()->drawLine(10, 10, 20, 20);
    store.FinishDocument();
    const QRect page(
        0, 0, store.DeviceWidth(store.PaperWidthNative()), store.DeviceHeight(store.PaperLengthNative()));
    EXPECT_EQ(store.CopyPage(1)->boundingRect(), page);
    store.SavePages(dir.filePath("a.rpp"));
    TRpPrinter loaded;
    loaded.LoadPages(dir.filePath("a.rpp"));
    EXPECT_EQ(loaded.CopyPage(1)->boundingRect(), page);
}

TEST_F(PageStoreFiles, CompressedFileLoadsIntoUncompressedStore_AndBack)
{
    for (bool compressed : { true, false }) {
        TRpPrinter source;
        source.setCompression(compressed);
        recordPages(source, 5);
        source.SavePages(path("pages.rpp"));
        const std::vector<QByteArray> expected = pageData(source);

        TRpPrinter target;
        target.setCompression(!compressed);
        target.LoadPages(path("pages.rpp"));
        EXPECT_EQ(target.status(), TRpPrinter::Status::Finished);
        EXPECT_TRUE(target.loadedFromFile());
        EXPECT_EQ(target.pageCount(), 5);
        EXPECT_EQ(target.compression(), compressed);
        EXPECT_EQ(pageData(target), expected);
        // Pages read backwards and at random follow the links both ways.
        for (int n : { 4, 2, 3, 1, 5, 3 })
            EXPECT_EQ(target.pageList().ReadPageData(n), expected[size_t(n - 1)]) << n;
    }
}

TEST_F(PageStoreFiles, SavingALoadedFileGivesAnIdenticalCopy_AndSavingOverItselfKeepsIt)
{
    TRpPrinter source;
    source.setCompression(true);
    recordPages(source, 4);
    source.SavePages(path("one.rpp"));
    const QByteArray original = TestSupport::readFile(path("one.rpp"));

    TRpPrinter loaded;
    loaded.LoadPages(path("one.rpp"));
    loaded.SavePages(path("two.rpp"));
    EXPECT_EQ(TestSupport::readFile(path("two.rpp")), original);
    loaded.SavePages(path("one.rpp"));
    loaded.SavePages(dir.path() + QStringLiteral("/./one.rpp"));
    EXPECT_EQ(TestSupport::readFile(path("one.rpp")), original);
    EXPECT_EQ(pageData(loaded), pageData(source));
}

TEST_F(PageStoreFiles, SavePagesWritesNothingUnlessFinished)
{
    TRpPrinter store;
    store.StartDocument();
    store.NewPage();
    store.SavePages(path("busy.rpp"));
    EXPECT_FALSE(QFile::exists(path("busy.rpp")));
}

TEST_F(PageStoreFiles, LoadingIsRefusedWhileARunIsGenerating)
{
    TRpPrinter source;
    recordPages(source, 2);
    source.SavePages(path("p.rpp"));
    TRpPrinter store;
    store.StartDocument();
    store.NewPage();
    EXPECT_THROW(store.LoadPages(path("p.rpp")), ERpError);
    EXPECT_EQ(store.status(), TRpPrinter::Status::Busy);
    store.NewPage();
    store.AbortDocument();
    EXPECT_EQ(store.pageList().count(), 2);
}

TEST_F(PageStoreFiles, AnAbortedDocumentSavesAFileThatLoadsWithAllItsPages)
{
    TRpPrinter store;
    store.StartDocument();
    for (int i = 0; i < 3; ++i)
        store.NewPage();
    store.AbortDocument();
    EXPECT_EQ(store.status(), TRpPrinter::Status::Finished);
    store.SavePages(path("aborted.rpp"));
    TRpPrinter loaded;
    loaded.LoadPages(path("aborted.rpp"));
    EXPECT_EQ(loaded.pageCount(), 3);
    EXPECT_NE(loaded.CopyPage(3), nullptr);
}

struct PaperCase
{
    const char *name;
    TRpPaperSize recorded;
    TPrinterOrientation orientation;
    TRpPaperSize detected;
};

class PaperDetection : public PageStoreFiles, public ::testing::WithParamInterface<PaperCase>
{
};

TEST_P(PaperDetection, FirstPageSetsThePaperOfALoadedStore)
{
    const PaperCase &c = GetParam();
    TRpPrinter source;
    source.printerSettings().paperSize = c.recorded;
    source.printerSettings().orientation = c.orientation;
    recordPages(source, 1, 2);
    source.SavePages(path("paper.rpp"));
    TRpPrinter loaded;
    loaded.printerSettings().paperSize = RpPaper::Custom;
    loaded.LoadPages(path("paper.rpp"));
    EXPECT_EQ(loaded.printerSettings().paperSize, c.detected);
    EXPECT_EQ(loaded.printerSettings().orientation, c.orientation);
}

INSTANTIATE_TEST_SUITE_P(PageStore, PaperDetection,
    ::testing::Values(PaperCase { "A4Portrait", RpPaper::A4, RpPaper::poPortrait, RpPaper::A4Small },
        PaperCase { "A4Landscape", RpPaper::A4, RpPaper::poLandscape, RpPaper::A4Small },
        PaperCase { "Legal", RpPaper::Legal, RpPaper::poPortrait, RpPaper::Legal },
        PaperCase { "LetterIsNote", RpPaper::Letter, RpPaper::poPortrait, RpPaper::Note }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PageStoreFiles, AnEmptyFileLeavesThePaperAlone)
{
    TRpPrinter source;
    source.StartDocument();
    source.FinishDocument();
    source.SavePages(path("empty.rpp"));
    TRpPrinter loaded;
    loaded.printerSettings().paperSize = RpPaper::B5;
    loaded.LoadPages(path("empty.rpp"));
    EXPECT_EQ(loaded.pageCount(), 0);
    EXPECT_EQ(loaded.printerSettings().paperSize, RpPaper::B5);
}

// ---- damaged page files ----

struct Damage
{
    const char *name;
    bool compressed;
    std::function<void(QByteArray &)> apply;
};

void putInt(QByteArray &bytes, qsizetype at, qint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

qint32 intAt(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

class DamagedPageFiles : public PageStoreFiles, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedPageFiles, FailWithAMessage_AndTheStoreKeepsItsPages)
{
    const Damage &d = GetParam();
    TRpPrinter source;
    source.setCompression(d.compressed);
    recordPages(source, 3, 3);
    source.SavePages(path("good.rpp"));
    QByteArray bytes = TestSupport::readFile(path("good.rpp"));
    d.apply(bytes);
    TestSupport::writeFile(path("bad.rpp"), bytes);

    TRpPrinter store;
    recordPages(store, 2, 1);
    const std::vector<QByteArray> kept = pageData(store);
    try {
        store.LoadPages(path("bad.rpp"));
        FAIL() << "the damaged file loaded";
    } catch (const Exception &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(store.status(), TRpPrinter::Status::Finished);
    EXPECT_FALSE(store.loadedFromFile());
    EXPECT_EQ(pageData(store), kept);
}

const qsizetype kFirst = 128;

INSTANTIATE_TEST_SUITE_P(PageStore, DamagedPageFiles,
    ::testing::Values(Damage { "shorterThanHeader", false, [](QByteArray &b) { b.truncate(100); } },
        Damage { "negativeCount", false, [](QByteArray &b) { putInt(b, 8, -1); } },
        Damage { "countTooHigh", false, [](QByteArray &b) { putInt(b, 8, 4); } },
        Damage { "hugeCount", true, [](QByteArray &b) { putInt(b, 8, 0x7fffffff); } },
        Damage { "countTooLow", false, [](QByteArray &b) { putInt(b, 8, 2); } },
        Damage { "truncatedLastRecord", false, [](QByteArray &b) { b.chop(5); } },
        Damage { "trailingBytes", false, [](QByteArray &b) { b.append("xyz"); } },
        Damage { "wrongPageNumber", false, [](QByteArray &b) { putInt(b, kFirst, 2); } },
        Damage { "nextPointsBack", false, [](QByteArray &b) { putInt(b, kFirst + 4, 0); } },
        Damage { "nextPastEnd", false, [](QByteArray &b) { putInt(b, kFirst + 4, 0x7ffffff0); } },
        Damage { "backLinkWrong", false, [](QByteArray &b) { putInt(b, intAt(b, kFirst + 4) - 4, 7); } },
        Damage { "lastFourBytesWrong", false, [](QByteArray &b) { putInt(b, b.size() - 4, 128); } },
        Damage { "compressedCountBeyondCode", true,
            [](QByteArray &b) { putInt(b, kFirst + 8, (intAt(b, kFirst + 4) - kFirst - 16) * 8 + 1); } },
        Damage { "compressedCountNegative", true, [](QByteArray &b) { putInt(b, kFirst + 8, -5); } },
        Damage { "compressedCodeCut", true,
            [](QByteArray &b) { putInt(b, kFirst + 8, intAt(b, kFirst + 8) + 50); } },
        Damage { "firstPictureGarbage", false, [](QByteArray &b) { b[kFirst + 8] = 'X'; } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PageStoreFiles, AMissingFileFails_AndTheStoreKeepsItsPages)
{
    TRpPrinter store;
    recordPages(store, 1, 1);
    EXPECT_THROW(store.LoadPages(path("none.rpp")), EFOpenError);
    EXPECT_EQ(store.pageCount(), 1);
}

// A page file holds at most 2 GB. Both limits are tested over sparse files, so nothing near that size is
// ever written.
TEST_F(PageStoreFiles, AFileLargerThan2GBIsRefusedBeforeAnythingIsRead)
{
    TRpPrinter source;
    recordPages(source, 1, 1);
    source.SavePages(path("big.rpp"));
    QFile file(path("big.rpp"));
    ASSERT_TRUE(file.resize(qint64(std::numeric_limits<qint32>::max()) + 1));
    TRpPrinter store;
    recordPages(store, 2, 1);
    try {
        store.LoadPages(path("big.rpp"));
        FAIL() << "a file past 2 GB loaded";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("2 GB"))) << e.message().toStdString();
    }
    EXPECT_EQ(store.pageCount(), 2);
}

TEST(PageStore, APageThatWouldPassThe2GBOffsetsIsRefused_AndThePagesBeforeItStay)
{
    TRpPageList list;
    list.setStream(TRpStream::forRecording(0)); // on a temporary file from the first byte
    QPicture page;
    {
        QPainter painter(&page);
        painter.drawText(10, 10, QStringLiteral("page"));
    }
    list.AddPage(page);
    ASSERT_FALSE(list.stream()->isInMemory());
    // Grows the file (sparsely) to just below the largest offset a record may use.
    QFile file(list.stream()->fileName());
    ASSERT_TRUE(file.resize(qint64(std::numeric_limits<qint32>::max()) - 64));
    EXPECT_THROW(list.AddPage(page), ERpError);
    EXPECT_EQ(list.count(), 1);
}

TEST(PageStore, DeviceUnitsRoundHalvesToEven)
{
    TRpPrinter store;
    const long double f = store.xFactor();
    EXPECT_NEAR(double(f), TRpPrinter::screenPixelsPerInch() / 254.0, 1e-12);
    // 127 native units are half an inch: a whole number of pixels at every even resolution.
    EXPECT_EQ(store.DeviceWidth(254), qRound(TRpPrinter::screenPixelsPerInch()));
    EXPECT_EQ(store.DeviceX(0), 0);
    EXPECT_EQ(store.DeviceWidth(-254), -qRound(TRpPrinter::screenPixelsPerInch()));
}

} // namespace
