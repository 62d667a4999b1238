#pragma once

#include "report/generation/RunExtension.h"
#include "report/model/Bands.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class ReportFileEngine;
class TCustomRpReport;
class TDesignRpReport;
class TRpBand;
class TRpCustomBand;
class TRpEvaluator;
class TRpReportRun;

// What the host of a designer engine gives the runs of its report: the printer offsets of its printer
// settings (millimetres; the vertical one moves the page's content down, the horizontal one right) and the
// hook every design band passes last before it prints.
struct RpDesignRunSettings
{
    double printOffsetVerticalMM = 0;
    double printOffsetHorizontalMM = 0;
    std::function<void(TRpCustomBand *band, bool &print)> BandBeforePrint;
};

// The settings of an engine, made on first use and kept with it.
RpDesignRunSettings &designRunSettings(ReportFileEngine &engine);

// Makes every run of a designed report a design run: installed once at start-up.
void installDesignRuns();

// The innermost report run going on on this thread, designed or not, or null: the page functions of a
// report that is not a designed one read it.
TRpReportRun *currentRunOnThisThread();

// Whether the group band printed when it last came up (GROUPPRINTED); false before it ever did.
bool groupPrinted(const QObject *group);

// One generation run of a designed report, from its start step to its end step.
//
// Start (before the run begins): elements that keep their place at the band's bottom or follow its height
// come to the front of their bands; the label band is found and the per-page print counts start at 0; a
// report that has no summary but a band that must not print on the last page gets a temporary summary band
// 2 pixels high, so that the end of the report is noticed; the report's events and every design band's
// BeforePrint are chained to the designer's own; the top, bottom and left margins take the printer offsets;
// the report joins the running reports.
//
// End (the destructor, however the run ended): everything the start step and the run changed in the design
// is put back — the events, the temporary summary band, the margins, the page footers' Enabled, the report's
// LastPageFooter option and the label band's print count — and the report leaves the running reports, so a
// failed or cancelled run leaves nothing behind that a save would keep.
class RpDesignRun : public RpRunExtension
{
public:
    RpDesignRun(TDesignRpReport &report, TRpReportRun &run);
    ~RpDesignRun() override;
    RpDesignRun(const RpDesignRun &) = delete;
    RpDesignRun &operator=(const RpDesignRun &) = delete;

    // How often the band printed on the current page (PAGEPRINTS); 0 for anything else.
    int pagePrints(const QObject *band) const;
    // The band print test of a design band, before it prints: its condition, EditorEnabled, its page rules
    // and the engine's hook decide; `print` comes in true.
    void BandPrintTest(TRpCustomBand *band, bool &print);
    // The temporary summary band while the run goes on, or null.
    TRpBand *temporarySummary() const { return m_temporarySummary; }

private:
    struct SavedBand;
    struct Condition;

    void bringAnchoredElementsToFront();
    void findLabelBand();
    void addTemporarySummary();
    void chainReportEvents();
    void chainBandEvents();
    void shiftMargins();
    void restore() noexcept;

    void beforePrint(bool &print);
    void startPage();
    bool conditionHolds(TRpCustomBand *band);
    bool pageRulesAllow(const TRpCustomBand *band) const;
    bool rowSpaceAllows(TRpCustomBand *band);

    class RunMark
    {
    public:
        explicit RunMark(TRpReportRun &run);
        ~RunMark();
        RunMark(const RunMark &) = delete;
        RunMark &operator=(const RunMark &) = delete;
    };
    friend class PlainRun;

    TDesignRpReport &m_report;
    TRpReportRun &m_run;
    RunMark m_mark;
    QPointer<ReportFileEngine> m_engine;
    RpDesignRunSettings m_settings;

    std::vector<SavedBand> m_bands;
    std::unique_ptr<struct SavedReportEvents> m_reportEvents;
    QPointer<TRpBand> m_temporarySummary;
    QPointer<TRpCustomBand> m_labelBand;
    int m_savedLabelPrintCount = -1;
    std::vector<long double> m_savedMargins;
    bool m_marginsShifted = false;
    bool m_savedLastPageFooter = false;
    bool m_summaryPrinted = false;
    QHash<const QObject *, int> m_pagePrints;
    QHash<const QObject *, std::shared_ptr<Condition>> m_conditions;
    bool m_listed = false;
};
