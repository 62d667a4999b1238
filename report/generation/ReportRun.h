#pragma once

#include "report/generation/RunTables.h"
#include "report/model/PrintRun.h"
#include "report/model/Report.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

class TRpCustomController;
class TRpController;
class TRpEvElement;
class TRpEvEnvironment;
class TRpExportFilter;
class TRpPrinter;

// Where a composite report's document stands between two of its reports: the next report continues the
// page number, column and write position of the previous one.
struct RpPagePosition
{
    int pageNumber = 0;
    int column = 1;
    long double y = 0;
    bool pageOpen = false;
};

struct RpRunOptions
{
    // Part of a composite report: the document is begun and ended by the composite; `position` carries the
    // page from report to report and `lastOfComposite` closes the last page.
    bool composite = false;
    bool lastOfComposite = false;
    RpPagePosition *position = nullptr;
    // An export run: elements do not draw, text lines go to the filter.
    TRpExportFilter *exportFilter = nullptr;
    // The run counts as cancelled once it has begun more pages than this (0: no limit), after the deadline
    // (none by default) or when the flag is set.
    int pageLimit = 0;
    std::chrono::steady_clock::time_point deadline {};
    const std::atomic<bool> *cancelFlag = nullptr;
    // Pending window messages are handled at most this often while the run goes on the user-interface
    // thread.
    int messageIntervalMs = 20;
};

// One run of a report into a page store: the run state, the pages, columns and bands. Elements see it as
// their RpPrintRun; the data loops (controllers) call back into it to print bands and break pages.
//
// Run() leaves the report as it found it whatever happens: its unit, the elements' run state, the
// controllers and the rows of the tables it walked are restored on every exit, exceptions included.
class TRpReportRun final : public RpPrintRun
{
public:
    TRpReportRun(TCustomRpReport &report, TRpPrinter &store, const RpRunOptions &options = {});
    TRpReportRun(const TRpReportRun &) = delete;
    TRpReportRun &operator=(const TRpReportRun &) = delete;
    ~TRpReportRun() override;

    // Generates the report. False when its BeforePrint handler refused the run (then nothing was begun).
    // An exception ends the document (aborted when the run was cancelled) and reaches the caller.
    bool Run();
    // True when the run stopped because of the page limit or the deadline.
    bool timedOut() const { return m_timedOut; }

    // RpPrintRun.
    TRpPrinter &PageStore() override { return m_store; }
    bool FinalPass() const override { return m_finalPass; }
    TRpExportFilter *ExportFilter() const override { return m_options.exportFilter; }
    TRpEvEnvironment *Functions() override { return m_functions.get(); }
    const std::vector<IRpEvDataSet *> &DataSets() const override { return m_tables.dataSets(); }
    void AddAggregateClient(QObject *master, TRpPrintable *element) override;
    bool GrowBand(long double extra) override;
    long double BandGrowth() const override { return m_band.growth; }
    bool MayContinue() const override { return m_band.mayContinue; }
    bool MustAdvance() const override { return m_band.mustAdvance; }
    int PageNumber() const override { return m_pageNumber; }
    qint64 DetailNumber() const override;
    qint64 DetailCount() const override;
    QString ReportTitle() const override;

    // For the data loops.
    TCustomRpReport &report() const { return m_report; }
    RpRunTables &tables() { return m_tables; }
    // The controller of a controller band, made on first request; null when the band already belongs to a
    // loop of this run (so that no loop can run inside itself).
    TRpCustomController *attachController(TRpControllerBand *band);
    TRpController *reportLoop() const { return m_reportLoop; }
    void registerDetail(const TRpCustomBand *band, TRpCustomController *loop);
    TRpCustomBand *columnHeaderBand() const;
    // Prints one occurrence of a band (and its child chain) at the write position.
    void EmitBand(TRpCustomBand *band);
    void StartNewPage();
    bool pageStarted() const { return m_pageOpen; }
    void setNoForce() { m_noForce = true; }
    // Further columns of the page start at the write position (below the title and all it grew to).
    void markColumnTop()
    {
        if (m_pageOpen)
            m_columnTop = m_y;
    }
    // Cancelled by the user, the store, the page limit or the deadline.
    bool Cancelled();
    // Handles pending window messages when the run goes on the user-interface thread, at most every
    // messageIntervalMs.
    void ProcessMessages();
    // Posts the progress to the store when it changed.
    void ReportProgress(qint64 done, qint64 count);
    // A new page asked for by an expression: ignored while a page or column starts or ends.
    void RequestNewPage() { StartNewPage(); }
    // The run going on in this thread, for expression functions that act on it; null outside a run.
    static TRpReportRun *current();
    const QList<TRpPrintable *> &elementsOf(const TRpCustomBand *band) const;

private:
    struct BandContext
    {
        const TRpCustomBand *band = nullptr;
        long double height = 0;
        long double growth = 0;
        bool mayContinue = false;
        bool mustAdvance = false;
    };
    class BandScope;
    class EdgeScope;

    // Steps of the run.
    void collectTables();
    bool askBeforePrint();
    void beginDocument();
    void computeFooterReserve();
    void prepare();
    void runLoops();
    void finishRun();
    void cleanUp() noexcept;
    void endDocument(bool failed);

    // Bands.
    void emitBand(TRpCustomBand *band, TRpBandType type, int depth);
    void outputBand(TRpCustomBand *band, TRpBandType type, bool zeroReserve);
    void printRounds(TRpCustomBand *band);
    void notifyLoop(const TRpCustomBand *band);
    void EnsureRoom(TRpCustomBand *band, TRpBandType type, bool zeroReserve);
    long double NeededHeight(const TRpCustomBand *band) const;
    long double SpaceLeft(bool zeroReserve = false) const;
    long double pageLength() const;
    long double pageWidth() const;

    // Pages and columns.
    void FinishPage();
    void StartNewColumn();
    void HonourForceNewPage();
    void HonourForceNewColumn();
    void printReportElements();
    void fillBand(const TRpCustomBand &band, long double height);
    void setPageVariable();
    void setColumnVariable();

    TCustomRpReport &m_report;
    TRpPrinter &m_store;
    RpRunOptions m_options;

    // Margins of this run: those of the page, or 0 where they leave no room.
    long double m_left = 0;
    long double m_right = 0;
    long double m_top = 0;
    long double m_bottom = 0;
    int m_columns = 1;
    long double m_columnWidth = 0;

    long double m_x = 0;
    long double m_y = -1;
    long double m_columnTop = 0;
    int m_column = 1;
    int m_pageNumber = 0;
    bool m_pageOpen = false;
    long double m_footerReserve = 0;
    bool m_lastPage = false;
    bool m_finalPass = true;
    bool m_noForce = false;
    bool m_columnForced = false;
    bool m_detailBreak = false;
    bool m_timedOut = false;
    bool m_documentBegun = false;
    int m_edgeDepth = 0;
    BandContext m_band;
    QList<const TRpCustomBand *> m_printing;

    RpRunTables m_tables;
    std::unique_ptr<TRpEvEnvironment> m_functions;
    bool m_functionsPrepared = false;
    bool m_globalPrepared = false;
    TRpEvElement *m_pageNumberElement = nullptr;
    TRpEvElement *m_columnNumberElement = nullptr;

    std::vector<std::unique_ptr<TRpCustomController>> m_controllers;
    QHash<const QObject *, TRpCustomController *> m_attached;
    QHash<const TRpCustomBand *, TRpCustomController *> m_detailLoops;
    TRpController *m_reportLoop = nullptr;
    bool m_loopsPrepared = false;

    QHash<const TRpCustomBand *, QList<TRpPrintable *>> m_elements;
    QList<QPointer<TRpPrintable>> m_begun;
    QList<TRpPrintable *> m_reportElements;
    TRpUnit m_savedUnit = Rp::MM;
    bool m_unitSwitched = false;

    QElapsedTimer m_messageClock;
    bool m_onGuiThread = false;
    int m_lastProgress = -1;
    bool m_cleanedUp = false;
};
