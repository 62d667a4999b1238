#include "preview/RpExportFilters.h"
#include "preview/RpPreview.h"
#include "preview/RpStandardPreview.h"
#include "report/pages/RpPrinter.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

void drawPage(TRpPrinter &store, int page)
{
    QPainter &canvas = *store.canvas();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(store.DeviceHeight(60));
    canvas.setFont(font);
    canvas.drawText(
        store.DeviceX(200), store.DeviceY(250), QStringLiteral("Relevé du compte — page %1").arg(page));
    font.setPixelSize(store.DeviceHeight(35));
    canvas.setFont(font);
    for (int line = 0; line < 40; ++line) {
        const int y = 400 + line * 60;
        canvas.drawText(store.DeviceX(200), store.DeviceY(y),
            QStringLiteral("%1/03/2026").arg(line % 28 + 1, 2, 10, QLatin1Char('0')));
        canvas.drawText(
            store.DeviceX(500), store.DeviceY(y), QStringLiteral("Courses, ligne %1").arg(line + 1));
        canvas.drawText(store.DeviceX(1600), store.DeviceY(y),
            QStringLiteral("%1,%2 €").arg(line * 17 + page).arg(line % 100, 2, 10, QLatin1Char('0')));
        canvas.drawLine(
            store.DeviceX(200), store.DeviceY(y + 15), store.DeviceX(1900), store.DeviceY(y + 15));
    }
    canvas.drawRect(
        store.DeviceX(150), store.DeviceY(150), store.DeviceWidth(1800), store.DeviceHeight(2700));
}

void record(TRpPrinter &store, int pages, bool finish = true)
{
    store.StartDocument();
    for (int p = 1; p <= pages; ++p) {
        store.NewPage();
        drawPage(store, p);
    }
    if (finish)
        store.FinishDocument();
}

void deliverNotices()
{
    QCoreApplication::sendPostedEvents();
}

struct ZoomCase
{
    int zoom;
    bool taken;
};

class PreviewZoom : public ::testing::TestWithParam<ZoomCase>
{
};

TEST_P(PreviewZoom, TakesOnlyZoomsFrom2To2000)
{
    TRpPreview preview;
    preview.FitToWidth();
    preview.setZoom(GetParam().zoom);
    if (GetParam().taken) {
        EXPECT_EQ(preview.Zoom(), GetParam().zoom);
        EXPECT_EQ(preview.zoomState(), TRpPreview::ZoomState::Free);
    } else {
        EXPECT_NE(preview.Zoom(), GetParam().zoom);
        EXPECT_EQ(preview.zoomState(), TRpPreview::ZoomState::PageWidth);
    }
}

INSTANTIATE_TEST_SUITE_P(Preview, PreviewZoom,
    ::testing::Values(ZoomCase { 1, false }, ZoomCase { 2, true }, ZoomCase { 100, true },
        ZoomCase { 2000, true }, ZoomCase { 2001, false }, ZoomCase { -5, false }));

TEST(Preview, LayoutSizesTheImageFromThePaperAndZoom)
{
    TRpPrinter store;
    record(store, 1);
    TRpPreview preview;
    preview.LinkStore(&store);
    preview.setZoom(50);
    EXPECT_EQ(preview.image()->width(), store.DeviceWidth(store.PaperWidthNative() / 2) + 4);
    EXPECT_EQ(preview.image()->height(), store.DeviceHeight(store.PaperLengthNative() / 2) + 4);
    EXPECT_EQ(preview.image()->zoom(), 50);
    preview.LinkStore(nullptr);
    preview.setZoom(100);
    EXPECT_EQ(preview.image()->width(), 216 + 4);
    EXPECT_EQ(preview.image()->height(), 279 + 4);
}

TEST(Preview, AFitInATinyWindowKeepsTheZoom_ButSwitchesTheState)
{
    TRpPrinter store;
    record(store, 1);
    TRpPreview preview;
    preview.LinkStore(&store);
    preview.setZoom(100);
    preview.resize(3, 3);
    preview.FitToWindow();
    EXPECT_EQ(preview.Zoom(), 100);
    EXPECT_EQ(preview.zoomState(), TRpPreview::ZoomState::WholePage);
    preview.resize(800, 1200);
    EXPECT_GT(preview.Zoom(), 2) << "the resize fitted the page again";
    EXPECT_EQ(preview.zoomState(), TRpPreview::ZoomState::WholePage);
    preview.FitToWidth();
    EXPECT_EQ(preview.Zoom(), int(std::lround(800.0 / store.DeviceWidth(store.PaperWidthNative()) * 90)));
}

TEST(Preview, APageUnderOnePixelKeepsTheZoom)
{
    TRpPrinter store;
    store.printerSettings().paperSize = RpPaper::Custom;
    store.printerSettings().paperWidth = 1;
    store.printerSettings().paperLength = 1;
    record(store, 1);
    TRpPreview preview;
    preview.LinkStore(&store);
    preview.setZoom(150);
    preview.FitToWindow();
    EXPECT_EQ(preview.Zoom(), 150);
    preview.FitToWidth();
    EXPECT_EQ(preview.Zoom(), 150);
    preview.image()->grab(); // paints only the page frame
}

TEST(Preview, PageNumberStaysWithinTheStoredPages)
{
    TRpPrinter store;
    record(store, 3);
    TRpPreview preview;
    preview.LinkStore(&store);
    EXPECT_EQ(store.client(), &preview);
    EXPECT_TRUE(store.showingPreview());
    ASSERT_NE(preview.image()->picture(), nullptr);
    for (int n : { 0, -1, 4 }) {
        preview.setPageNumber(n);
        EXPECT_EQ(preview.PageNumber(), 1) << n;
    }
    preview.setPageNumber(3);
    EXPECT_EQ(preview.PageNumber(), 3);
    EXPECT_EQ(preview.image()->pageNumber(), 3);
    ASSERT_NE(preview.image()->picture(), nullptr);
}

TEST(Preview, APageStillBeingDrawnShowsNothing_UntilItIsStored)
{
    TRpPrinter store;
    record(store, 2, false);
    TRpPreview preview;
    preview.resize(600, 400);
    preview.LinkStore(&store);
    deliverNotices();
    preview.setZoom(100);
    preview.setPageNumber(2);
    EXPECT_EQ(preview.PageNumber(), 2);
    EXPECT_EQ(preview.image()->picture(), nullptr);
    store.FinishDocument();
    deliverNotices();
    ASSERT_NE(preview.image()->picture(), nullptr);
    EXPECT_EQ(preview.zoomState(), TRpPreview::ZoomState::PageWidth);
}

TEST(Preview, UnlinkingEndsTheStoresPreview_AndADestroyedStoreLeavesNoPicture)
{
    int ended = 0;
    auto store = std::make_unique<TRpPrinter>();
    store->previewEnded = [&ended] { ++ended; };
    record(*store, 1);
    TRpPreview preview;
    preview.LinkStore(store.get());
    TRpPrinter other;
    preview.LinkStore(&other);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(store->showingPreview());
    EXPECT_EQ(store->client(), nullptr);
    preview.LinkStore(store.get());
    store.reset();
    EXPECT_EQ(preview.image()->picture(), nullptr);
    EXPECT_EQ(preview.store(), nullptr);
    preview.setPageNumber(1);
}

TEST(Preview, APageThatCannotBeReadShowsNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("p.rpp");
    {
        TRpPrinter source;
        source.setCompression(true);
        record(source, 2);
        source.SavePages(file);
    }
    TRpPrinter store;
    store.LoadPages(file);
    // The file changes under the store: page 2's byte count now claims far more than its code holds.
    QByteArray bytes = TestSupport::readFile(file);
    const qint32 second = qFromLittleEndian<qint32>(bytes.constData() + 128 + 4);
    qToLittleEndian<qint32>(0x7fffffff, bytes.data() + second + 8);
    TestSupport::writeFile(file, bytes);
    TRpPreview preview;
    preview.LinkStore(&store);
    preview.setPageNumber(2);
    EXPECT_EQ(preview.image()->picture(), nullptr);
}

class StandardPreview : public ::testing::Test
{
protected:
    TRpPrinter store;
    TRpStandardPreview *window = nullptr;

    void open(int pages, bool finish = true)
    {
        record(store, pages, finish);
        window = new TRpStandardPreview(&store);
        window->ShowPageStatus();
    }
    void TearDown() override { delete window; }
};

TEST_F(StandardPreview, PageCommandsMoveWithinTheStore_AndShowThePageStatus)
{
    store.setTitle(QStringLiteral("Comptes"));
    open(12);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Comptes"));
    EXPECT_TRUE(window->ZoomToWidth->isChecked());
    EXPECT_TRUE(window->Print->isEnabled());
    EXPECT_FALSE(window->PrintSetup->isEnabled());
    EXPECT_EQ(window->pagePanel->text(), QStringLiteral("Page 1 of 12"));
    window->PreviousPage->trigger();
    EXPECT_EQ(window->RpPreview->PageNumber(), 1);
    window->ToolButton2->trigger();
    window->ToolButton2->trigger();
    EXPECT_EQ(window->pagePanel->text(), QStringLiteral("Page 3 of 12"));
    window->LastPage->trigger();
    window->ToolButton2->trigger();
    EXPECT_EQ(window->RpPreview->PageNumber(), 12);
    window->FirstPage->trigger();
    EXPECT_EQ(window->RpPreview->PageNumber(), 1);
}

TEST_F(StandardPreview, KeysReachTheWindowBeforeThePageView)
{
    open(5);
    struct KeyCase
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const KeyCase cases[] { { Qt::Key_PageDown, Qt::NoModifier, 2 },
        { Qt::Key_PageDown, Qt::ShiftModifier | Qt::ControlModifier, 3 }, { Qt::Key_End, Qt::NoModifier, 5 },
        { Qt::Key_PageUp, Qt::NoModifier, 4 }, { Qt::Key_PageUp, Qt::ControlModifier, 1 },
        { Qt::Key_PageDown, Qt::ControlModifier, 5 }, { Qt::Key_Home, Qt::NoModifier, 1 } };
    for (const KeyCase &c : cases) {
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QApplication::sendEvent(window->RpPreview, &press);
        EXPECT_EQ(window->RpPreview->PageNumber(), c.page) << c.key;
    }
}

TEST_F(StandardPreview, ProgressShowsStepsOfFive_AndClearsAtTheEnd)
{
    open(1, false);
    const struct
    {
        int progress;
        const char *shown;
    } steps[] { { 3, "0%" }, { 7, "7%" }, { 12, "12%" }, { 100, "" } };
    for (const auto &step : steps) {
        store.ReportProgress(step.progress);
        deliverNotices();
        EXPECT_EQ(window->progressPanel->text(), QString::fromLatin1(step.shown)) << step.progress;
    }
}

TEST_F(StandardPreview, PrintCommandsAreEnabledWhenTheStoreFinishes)
{
    open(2, false);
    deliverNotices();
    EXPECT_FALSE(window->Print->isEnabled());
    store.FinishDocument();
    deliverNotices();
    EXPECT_TRUE(window->Print->isEnabled());
    EXPECT_TRUE(window->PrintSetup->isEnabled());
    EXPECT_EQ(window->pagePanel->text(), QStringLiteral("Page 1 of 2"));
}

TEST_F(StandardPreview, SaveAndLoadCommands)
{
    QTemporaryDir dir;
    open(3);
    window->saveReportTo(dir.filePath("a.rpp"), 1);
    window->ToolButton2->trigger();
    TRpPrinter other;
    record(other, 1);
    other.SavePages(dir.filePath("b.rpp"));
    ASSERT_TRUE(window->loadReportFrom(dir.filePath("b.rpp")));
    EXPECT_EQ(window->RpPreview->PageNumber(), 1);
    EXPECT_EQ(window->pagePanel->text(), QStringLiteral("Page 1 of 1"));
    EXPECT_FALSE(window->PrintSetup->isEnabled());
    EXPECT_TRUE(window->Print->isEnabled());
    EXPECT_NE(window->RpPreview->image()->picture(), nullptr);

    QTimer::singleShot(0, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    EXPECT_FALSE(window->loadReportFrom(dir.filePath("missing.rpp")));
    EXPECT_EQ(store.pageCount(), 1);
}

TEST(StandardPreviewTypes, FileTypeTexts)
{
    EXPECT_EQ(TRpStandardPreview::saveFileTypes(), QStringLiteral("Report pages file(*.RPP)|*.RPP"));
    EXPECT_EQ(TRpStandardPreview::loadFileTypes(), QStringLiteral("Report pages file (*.RPP)|*.RPP"));
    EXPECT_TRUE(TRpExportFilterLibrary::instance().entries().isEmpty());
}

TEST(StandardPreviewTypes, ClosingSendsThePreviewClosedNoticeToTheMaster)
{
    struct Master : QObject
    {
        int closed = 0;
        bool event(QEvent *e) override
        {
            if (int(e->type()) == RpNotice::PreviewClosed) {
                ++closed;
                return true;
            }
            return QObject::event(e);
        }
    } master;
    TRpPrinter store;
    store.setMaster(&master);
    record(store, 1);
    TRpStandardPreviewInterface::install();
    QObject *window = store.ShowPages();
    ASSERT_NE(window, nullptr);
    static_cast<QWidget *>(window)->close();
    EXPECT_EQ(master.closed, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(store.client(), nullptr);
    EXPECT_FALSE(store.showingPreview());
}

TEST(StandardPreviewShot, MultiPageStore)
{
    TRpPrinter store;
    store.setTitle(QStringLiteral("Relevé des comptes"));
    record(store, 4);
    TRpStandardPreview window(&store);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.showNormal();
    window.resize(900, 700);
    window.ShowPageStatus();
    window.ZoomFit->trigger();
    window.ToolButton2->trigger();
    const QString target = qEnvironmentVariable("QUILLOT_PREVIEW_SHOT");
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(900, 700));
    if (!target.isEmpty())
        shot.save(target);
}

} // namespace
