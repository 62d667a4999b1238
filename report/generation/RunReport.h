#pragma once

#include "report/generation/ReportRun.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

class TCustomRpReport;
class TRpCompositeReport;
class TRpExportFilter;
class TRpPrinter;

// Generates a report into a store. False, and nothing done, while the same report runs already (also on
// another thread). The report's BeforePrint may refuse the run, which then leaves the store untouched.
// Exceptions of the run reach the caller after the document was ended (aborted when cancelled).
bool RunReport(TCustomRpReport &report, TRpPrinter &store, const RpRunOptions &options = {});

// Whether a run of the report is going on, and cancelling it (it stops at its next record or round).
bool IsReportRunning(const TCustomRpReport &report);
void CancelReport(TCustomRpReport &report);

// The entry points of a report. Each refuses to start while a run of the same report is going on.
//
// PrintReport: generates into a new store for the printer, with the progress window when the report's
// ShowProgress is set; nothing happens when the system has no printer.
void PrintReport(TCustomRpReport &report);
// GenerateToStore: generates into a new recording store that stays with the report (and replaces the one
// kept before); returns it, or null when the run was refused.
TRpPrinter *GenerateToStore(TCustomRpReport &report);
// ShowPreviewModal: opens the preview of a new recording store, generates the report while the preview
// already shows the pages that are ready, and returns when the preview closes. A cancelled run frees the
// store.
void ShowPreviewModal(TCustomRpReport &report);
// ShowPreviewThreaded: the preview opens at once while the report is generated on a background thread;
// modal: returns when the preview has closed and the run has ended. Closing the preview cancels the run.
void ShowPreviewThreaded(TCustomRpReport &report, bool modal);
// ExportThroughFilter: a run whose elements draw nothing and give their text lines to the filter.
void ExportThroughFilter(TCustomRpReport &report, TRpExportFilter &filter);
// The store kept with the report by GenerateToStore and the previews, or null.
TRpPrinter *ReportPageStore(const TCustomRpReport &report);

// Prints the reports of a composite report as one document into the store (recording or printer); false
// when a report was cancelled (the document is then aborted).
bool RunCompositeReport(TRpCompositeReport &composite, TRpPrinter &store);
// Generates a composite report into a new recording store; null when it was cancelled.
std::unique_ptr<TRpPrinter> GenerateComposite(TRpCompositeReport &composite);

// The progress window ("Printing progress") the printing and export runs show: made by the window layer,
// which installs its maker here. Without one no window is shown.
using RpProgressWindowFactory = std::function<std::unique_ptr<QObject>(TRpPrinter &store)>;
void setProgressWindowFactory(RpProgressWindowFactory factory);

// The background generation of the threaded preview: runs the report once and ends; a cancelled run frees
// its store (on the user-interface thread).
class TRpCreateReportThread : public QThread
{
    Q_OBJECT
public:
    TRpCreateReportThread(TCustomRpReport &report, TRpPrinter &store, QObject *parent = nullptr);

    bool cancelled() const { return m_cancelled; }
    TRpPrinter &storeUsed() const { return m_store; }
    // The message of an error that ended the run, empty when none did.
    QString errorMessage() const { return m_error; }

protected:
    void run() override;

private:
    TCustomRpReport &m_report;
    TRpPrinter &m_store;
    bool m_cancelled = false;
    QString m_error;
};
