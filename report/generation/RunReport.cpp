#include "report/generation/RunReport.h"

#include "platform/Exceptions.h"
#include "report/generation/PageSetup.h"
#include "report/generation/PrintSetup.h"
#include "report/generation/RunExtension.h"
#include "report/model/Controllers.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <atomic>

namespace {

RpProgressWindowFactory &progressWindowFactory()
{
    static RpProgressWindowFactory factory;
    return factory;
}

bool onGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

// What a report keeps between runs and while one goes on: the running and cancelled flags, the store it
// made for later preview or printing, and the background run of a threaded preview. It is the master of
// the report's stores, so print requests and the preview-closed notice reach it. One per report, made on
// first use as an unnamed child of the report (not streamed: its class is not registered).
class ReportJob : public QObject
{
    Q_OBJECT
public:
    explicit ReportJob(TCustomRpReport &report)
        : QObject(&report)
        , m_report(report)
    {
        // A background run must end while the report's bands and elements still exist.
        connect(
            &report, &TCustomRpReport::destroying, this, &ReportJob::stopBackgroundRun, Qt::DirectConnection);
    }

    ~ReportJob() override { stopBackgroundRun(); }

    static ReportJob &of(const TCustomRpReport &report)
    {
        auto &target = const_cast<TCustomRpReport &>(report);
        if (auto *job = target.findChild<ReportJob *>(QString(), Qt::FindDirectChildrenOnly))
            return *job;
        return *new ReportJob(target);
    }

    // Takes the running flag; false when a run goes on already.
    bool claim()
    {
        bool expected = false;
        if (!running.compare_exchange_strong(expected, true))
            return false;
        cancelled = false;
        return true;
    }
    void release() { running = false; }

    TRpPrinter *keptStore() const { return m_store.get(); }
    // A new recording store for a preview or a kept run; it replaces the one kept before.
    TRpPrinter &newKeptStore()
    {
        dropStore();
        m_store = std::make_unique<TRpPrinter>();
        m_store->setMaster(this);
        m_store->setTitle(m_report.reportTitle());
        if (m_report.AfterPrint)
            m_store->printFinished = [this] { m_report.AfterPrint(&m_report); };
        if (m_report.AfterPreview)
            m_store->previewEnded = [this] { m_report.AfterPreview(&m_report); };
        if (m_report.OnPreview)
            m_store->previewHandler = [this](TRpPrinter &) { m_report.OnPreview(&m_report); };
        m_store->exportPages = [this](TRpExportFilter &filter) { ExportThroughFilter(m_report, filter); };
        m_store->printSetup = [this] { AskPrintSetup(m_report); };
        return *m_store;
    }
    // The kept store goes (later, as its own notice may still be on the stack).
    void dropStore()
    {
        if (m_store)
            m_store.release()->deleteLater();
    }

    void startBackgroundRun(TRpPrinter &store)
    {
        auto *thread = new TRpCreateReportThread(m_report, store, this);
        m_thread = thread;
        connect(thread, &QThread::finished, this, [this, thread] {
            release();
            if (thread->cancelled() && m_store.get() == &thread->storeUsed())
                dropStore();
            thread->deleteLater();
        });
        thread->start();
    }
    bool backgroundRunGoing() const { return m_thread && m_thread->isRunning(); }
    // A thread counts as no longer running a moment before it announces that it has finished; waiting for
    // it makes sure that announcement (which releases the run) has been posted.
    void waitForBackgroundRun()
    {
        if (m_thread)
            m_thread->wait();
    }

    std::atomic<bool> running { false };
    std::atomic<bool> cancelled { false };

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::Type(RpNotice::PrintRequest)) {
            PrintReport(m_report);
            return true;
        }
        if (event->type() == QEvent::Type(RpNotice::PreviewClosed)) {
            auto *notice = static_cast<TRpStoreEvent *>(event);
            if (running) {
                cancelled = true;
                if (notice->store())
                    notice->store()->CancelDocument();
            } else if (notice->store() && notice->store() == m_store.get()) {
                m_store->setShowingPreview(false);
                dropStore();
            }
            return true;
        }
        return QObject::event(event);
    }

private:
    void stopBackgroundRun()
    {
        if (!m_thread)
            return;
        cancelled = true;
        if (m_store)
            m_store->CancelDocument();
        m_thread->wait();
    }

    TCustomRpReport &m_report;
    std::unique_ptr<TRpPrinter> m_store;
    QPointer<TRpCreateReportThread> m_thread;
};

namespace {

// Holds the running flag taken by claim() for a scope.
class Claimed
{
public:
    explicit Claimed(ReportJob &job)
        : m_job(job)
    { }
    ~Claimed() { m_job.release(); }
    Claimed(const Claimed &) = delete;
    Claimed &operator=(const Claimed &) = delete;

private:
    ReportJob &m_job;
};

bool runClaimed(ReportJob &job, TCustomRpReport &report, TRpPrinter &store, const RpRunOptions &options)
{
    RpRunOptions withFlag = options;
    withFlag.cancelFlag = &job.cancelled;
    TRpReportRun run(report, store, withFlag);
    // The extension's work ends before the run object goes, whatever way the run ends.
    std::unique_ptr<RpRunExtension> extension;
    if (const RpRunStarter &start = runStarter()) {
        bool refuse = false;
        extension = start(report, run, refuse);
        if (refuse)
            return false;
    }
    return run.Run();
}

std::unique_ptr<QObject> makeProgressWindow(const TCustomRpReport &report, TRpPrinter &store)
{
    if (!report.showProgress() || !progressWindowFactory() || !onGuiThread())
        return nullptr;
    std::unique_ptr<QObject> window = progressWindowFactory()(store);
    if (window)
        store.setClient(window.get());
    return window;
}

RpRunStarter &installedStarter()
{
    static RpRunStarter starter;
    return starter;
}

} // namespace

void setRunStarter(RpRunStarter starter)
{
    installedStarter() = std::move(starter);
}

const RpRunStarter &runStarter()
{
    return installedStarter();
}

bool RunReport(TCustomRpReport &report, TRpPrinter &store, const RpRunOptions &options)
{
    ReportJob &job = ReportJob::of(report);
    if (!job.claim())
        return false;
    Claimed claimed(job);
    return runClaimed(job, report, store, options);
}

bool IsReportRunning(const TCustomRpReport &report)
{
    return ReportJob::of(report).running;
}

void CancelReport(TCustomRpReport &report)
{
    ReportJob &job = ReportJob::of(report);
    if (job.running)
        job.cancelled = true;
}

TRpPrinter *ReportPageStore(const TCustomRpReport &report)
{
    return ReportJob::of(report).keptStore();
}

void setProgressWindowFactory(RpProgressWindowFactory factory)
{
    progressWindowFactory() = std::move(factory);
}

void PrintReport(TCustomRpReport &report)
{
    ReportJob &job = ReportJob::of(report);
    if (job.running)
        return;
    auto store = std::make_unique<TRpPrinter>();
    if (!store->printerAvailable())
        return;
    store->setDestination(TRpPrinter::Destination::Printer);
    store->setMaster(&job);
    if (report.AfterPrint)
        store->printFinished = [&report] { report.AfterPrint(&report); };
    const std::unique_ptr<QObject> window = makeProgressWindow(report, *store);
    RunReport(report, *store);
}

TRpPrinter *GenerateToStore(TCustomRpReport &report)
{
    ReportJob &job = ReportJob::of(report);
    if (job.running)
        return nullptr;
    TRpPrinter &store = job.newKeptStore();
    return RunReport(report, store) ? &store : nullptr;
}

void ShowPreviewModal(TCustomRpReport &report)
{
    ReportJob &job = ReportJob::of(report);
    if (job.running)
        return;
    if (onGuiThread())
        QCoreApplication::processEvents();
    TRpPrinter &store = job.newKeptStore();
    const QPointer<TRpPrinter> watched(&store);
    const QPointer<QObject> window = store.ShowPages();
    RunReport(report, store);
    if (!watched)
        return;
    if (store.cancelled()) {
        job.dropStore();
        return;
    }
    while (window && watched && onGuiThread() && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ShowPreviewThreaded(TCustomRpReport &report, bool modal)
{
    ReportJob &job = ReportJob::of(report);
    if (!job.claim())
        return;
    TRpPrinter &store = job.newKeptStore();
    job.startBackgroundRun(store);
    if (!modal) {
        store.ShowPages();
        return;
    }
    const QPointer<TRpPrinter> watched(&store);
    store.ShowPagesModal();
    // The run uses the report until it ends; closing the preview has cancelled it by now.
    while (job.backgroundRunGoing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    job.waitForBackgroundRun();
    QCoreApplication::sendPostedEvents(&job);
}

void ExportThroughFilter(TCustomRpReport &report, TRpExportFilter &filter)
{
    ReportJob &job = ReportJob::of(report);
    if (job.running)
        return;
    TRpPrinter store;
    store.setMaster(&job);
    const std::unique_ptr<QObject> window = makeProgressWindow(report, store);
    RpRunOptions options;
    options.exportFilter = &filter;
    RunReport(report, store, options);
}

// ---------------------------------------------------------------- composite reports

bool RunCompositeReport(TRpCompositeReport &composite, TRpPrinter &store)
{
    if (composite.OnAddReports)
        composite.OnAddReports(&composite);
    const QList<TCustomRpReport *> reports = composite.reports();
    TPrinterSettings &settings = store.printerSettings();
    const TRpCompositePrinterSettings &own = *composite.printerSettings();
    settings.paperSize = own.paperSize() == RpPaper::Default && !store.printerAvailable() ? defaultPaperSize()
                                                                                          : own.paperSize();
    settings.orientation = own.orientation();
    settings.copies = own.copies();
    settings.outputBin = own.outputBin();
    store.setPageRange(own.firstPage(), own.lastPage());
    store.setTitle(composite.reportTitle());
    store.setCompression(composite.options().testFlag(Rp::Compression));
    store.StartDocument();
    RpPagePosition position;
    bool cancelled = false;
    try {
        for (qsizetype i = 0; i < reports.size(); ++i) {
            RpRunOptions options;
            options.composite = true;
            options.lastOfComposite = i + 1 == reports.size();
            options.position = &position;
            RunReport(*reports[i], store, options);
            if (composite.OnFinished)
                composite.OnFinished(reports[i]);
            if (store.cancelled()) {
                cancelled = true;
                break;
            }
        }
    } catch (...) {
        try {
            store.AbortDocument();
        } catch (const std::exception &) {
            // The report's own failure is what the caller sees.
        }
        throw;
    }
    if (cancelled) {
        store.AbortDocument();
        return false;
    }
    store.FinishDocument();
    if (composite.OnFinished)
        composite.OnFinished(&composite);
    return true;
}

std::unique_ptr<TRpPrinter> GenerateComposite(TRpCompositeReport &composite)
{
    auto store = std::make_unique<TRpPrinter>();
    if (!RunCompositeReport(composite, *store))
        return nullptr;
    return store;
}

// ---------------------------------------------------------------- background generation

TRpCreateReportThread::TRpCreateReportThread(TCustomRpReport &report, TRpPrinter &store, QObject *parent)
    : QThread(parent)
    , m_report(report)
    , m_store(store)
{ }

void TRpCreateReportThread::run()
{
    ReportJob &job = ReportJob::of(m_report);
    try {
        runClaimed(job, m_report, m_store, {});
    } catch (const Exception &error) {
        m_error = error.message();
    } catch (const std::exception &error) {
        // Nothing may leave a thread: the failure ends the run like any other and is kept for the caller.
        m_error = QString::fromLocal8Bit(error.what());
    }
    m_cancelled = m_store.cancelled() || job.cancelled;
}

#include "RunReport.moc"
