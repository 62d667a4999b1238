// A report generated into the preview window, on the user-interface thread and on a background thread, and
// the progress window of printing and export runs.
#include "preview/RpPreview.h"
#include "preview/RpProgressForm.h"
#include "preview/RpStandardPreview.h"
#include "report/generation/RunReport.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPicture>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Prints the running number of the report loop's record.
class NumberText : public TRpPrintable
{
public:
    using TRpPrintable::TRpPrintable;
    void PrintAt(long double x, long double y) override
    {
        RpPrintRun &run = *printRun();
        if (run.FinalPass() && run.PageStore().canvas()) {
            run.PageStore().canvas()->setPen(Qt::black);
            run.PageStore().canvas()->drawText(
                QPointF(run.PageStore().DeviceX(x), run.PageStore().DeviceY(y + 30)),
                QStringLiteral("#%1").arg(run.DetailNumber()));
        }
        setPrintDone(true);
    }
};

// A report of `rows` records supplied by its need-data handler, 50 rows a page.
struct CountingReport
{
    explicit CountingReport(int rows)
    {
        TRpBand *detail = AddBandOfType(&report, Rp::rbDetail);
        detail->size()->setNativeLength(55);
        new NumberText(detail);
        report.OnNeedData = [this, rows](QObject *, bool &more) { more = ++taken <= rows; };
    }
    TRpReport report;
    int taken = 0;
};

TRpStandardPreview *openPreview()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *preview = qobject_cast<TRpStandardPreview *>(widget); preview && preview->isVisible())
            return preview;
    }
    return nullptr;
}

// Processes events until the condition holds or the time is up.
template <typename Condition> bool waitFor(Condition condition, int ms = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

TEST(ReportPreview, ModalPreviewShowsTheGeneratedReportUntilClosed)
{
    TRpStandardPreviewInterface::install();
    CountingReport counting(120);
    counting.report.setReportTitle(QStringLiteral("Relevé"));
    QString status;
    QString caption;
    bool pictured = false;
    // Looks at the preview once the report is complete in it, then closes it.
    QTimer inspect;
    QObject::connect(&inspect, &QTimer::timeout, [&] {
        TRpStandardPreview *preview = openPreview();
        if (!preview || !preview->store() || preview->store()->status() != TRpPrinter::Status::Finished)
            return;
        inspect.stop();
        QCoreApplication::sendPostedEvents();
        status = preview->pagePanel->text();
        caption = preview->windowTitle();
        pictured = preview->RpPreview->image()->picture() != nullptr;
        preview->close();
    });
    inspect.start(10);
    ShowPreviewModal(counting.report);
    EXPECT_EQ(caption, QStringLiteral("Relevé"));
    EXPECT_EQ(status, QStringLiteral("Page 1 of 3"));
    EXPECT_TRUE(pictured);
    EXPECT_EQ(openPreview(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Closing the preview of a finished run frees its store.
    EXPECT_EQ(ReportPageStore(counting.report), nullptr);
}

TEST(ReportPreview, ThreadedPreviewShowsPageOneWhileTheRunGoesOn)
{
    TRpStandardPreviewInterface::install();
    CountingReport counting(4000);
    // Each record takes a little while, so the run outlasts the first pages by far.
    counting.report.firstBandOfType(Rp::rbDetail)->BeforePrint
        = [](TRpCustomBand *, bool &) { QThread::usleep(500); };
    ShowPreviewThreaded(counting.report, false);
    ASSERT_TRUE(waitFor([] { return openPreview() != nullptr; }));
    TRpStandardPreview *preview = openPreview();
    ASSERT_TRUE(waitFor([preview] { return preview->RpPreview->image()->picture() != nullptr; }));
    EXPECT_TRUE(IsReportRunning(counting.report));
    EXPECT_NE(preview->store()->status(), TRpPrinter::Status::Finished);
    EXPECT_EQ(preview->RpPreview->PageNumber(), 1);

    // Closing the preview cancels the run, which then frees its store.
    preview->close();
    ASSERT_TRUE(waitFor([&] { return !IsReportRunning(counting.report); }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ReportPageStore(counting.report), nullptr);
    EXPECT_LT(counting.taken, 4000);
}

TEST(ProgressForm, ShowsOnlyMultiplesOfFiveAndCancels)
{
    TRpPrinter store;
    TRpProgressForm form(&store);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Printing progress"));
    EXPECT_EQ(form.btnCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.Gauge->minimum(), 0);
    EXPECT_EQ(form.Gauge->maximum(), 100);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    store.setClient(&form);
    struct Step
    {
        int value;
        int gauge;
        const char *text;
    };
    const Step steps[] = { { 3, 0, "" }, { 5, 5, "5%  Completed" }, { 12, 5, "5%  Completed" },
        { 50, 50, "50%  Completed" } };
    for (const Step &step : steps) {
        store.ReportProgress(step.value);
        QCoreApplication::sendPostedEvents(&form);
        EXPECT_EQ(form.Gauge->value(), step.gauge) << step.value;
        EXPECT_EQ(form.lblProgress->text(), QLatin1String(step.text)) << step.value;
    }
    form.btnCancel->click();
    EXPECT_TRUE(store.cancelled());
}

class NullFilter : public TRpExportFilter
{
public:
    void Start(int, int, const QFont &) override { }
    void NewPage() override { ++pages; }
    void TextLine(const QFont &, int, int, int, int, const QString &) override { }
    void EndPage() override { }
    void EndDocument() override { }
    int pages = 0;
};

TEST(ProgressForm, ShownWhileAnExportRunsAndCancelStopsIt)
{
    TRpStandardPreviewInterface::install();
    CountingReport counting(5000);
    int shown = 0;
    counting.report.firstBandOfType(Rp::rbDetail)->AfterPrint = [&](TRpCustomBand *, bool) {
        // Press "Cancel" in the window once it is there.
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *form = qobject_cast<TRpProgressForm *>(widget); form && form->isVisible()) {
                ++shown;
                if (counting.taken == 100)
                    form->btnCancel->click();
            }
        }
    };
    NullFilter filter;
    ExportThroughFilter(counting.report, filter);
    EXPECT_GT(shown, 0);
    EXPECT_LT(counting.taken, 200);
    for (QWidget *widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TRpProgressForm *>(widget), nullptr);

    // Without ShowProgress no window is made.
    shown = 0;
    counting.taken = 0;
    counting.report.setShowProgress(false);
    ExportThroughFilter(counting.report, filter);
    EXPECT_EQ(shown, 0);
}

} // namespace
