#pragma once

#include "report/expressions/Evaluator.h"
#include "report/model/Bands.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TRpReportRun;
class TRpPrintable;
class RpRunTable;

// What a run keeps of one group band: its compiled break expression, the last value, and where the group
// stands.
struct RpGroupState
{
    TRpGroup *band = nullptr;
    std::unique_ptr<TRpEvaluator> evaluator;
    TRpEvValue value;
    bool valueTaken = false;
    bool changed = false;
    bool inGroup = false;
    int headerPage = 1;
};

// A data loop of a run: the report's own loop or that of a controller band. Controllers are made by the run
// for the report and for every controller band it meets, and live as long as the run.
class TRpCustomController
{
public:
    TRpCustomController(TRpReportRun &run, QObject *owner);
    TRpCustomController(const TRpCustomController &) = delete;
    TRpCustomController &operator=(const TRpCustomController &) = delete;
    virtual ~TRpCustomController();

    // The value the loop publishes to expressions under the owner's name; an error value here.
    virtual void LoopVariableValue(TRpEvValue &value);
    // Collects the sub-loops (before and after the detail) and the groups of this loop.
    virtual void BuildControllerTree();
    virtual void RunController();
    virtual void PrepareController();
    virtual void UnprepareController();
    virtual void RunAfterControllers();
    virtual void RunBeforeControllers();
    virtual void PrintEmpty();
    // Tells the run which band is this loop's detail band.
    virtual void RegisterBands();
    virtual void AddOwnDataset();
    virtual void AssignPrintBefore(bool value);
    // Stores LoopVariableValue into the named expression that bears the owner's name.
    virtual void UpdateLoopVariable();

    QObject *owner() const { return m_owner; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    bool printBefore() const { return m_printBefore; }
    // True while the loop walks its records: its detail band then tells it of every record taken.
    bool running() const { return m_running; }

    // Expression elements that aggregate over this loop's records.
    void addAggregateClient(TRpPrintable *element);
    // A record was taken: every registered element runs one aggregation pass.
    void notifyRecordTaken();

    // Groups.
    bool CheckGroups();
    void PrintGroupHeaders();
    void PrintGroupFooters();
    void ReprintGroupHeaders();
    const std::vector<std::unique_ptr<RpGroupState>> &groups() const { return m_groups; }

protected:
    TRpReportRun &run() const { return m_run; }
    void setRunning(bool running) { m_running = running; }
    void invertGroupChanges();
    void clearGroupValues();

private:
    bool checkGroup(RpGroupState &group);
    void takeGroupValue(RpGroupState &group);
    bool anyGroupChanged() const;

    TRpReportRun &m_run;
    QPointer<QObject> m_owner;
    std::vector<TRpCustomController *> m_before;
    std::vector<TRpCustomController *> m_after;
    std::vector<std::unique_ptr<RpGroupState>> m_groups;
    std::vector<QPointer<TRpPrintable>> m_clients;
    bool m_printIfEmpty = true;
    bool m_printBefore = false;
    bool m_running = false;
    TRpEvElement *m_loopVariable = nullptr;
};

// A loop over the records of a table (or over what a need-data handler supplies): the report's loop and
// that of every sub-detail band.
class TRpController : public TRpCustomController
{
public:
    using NeedData = std::function<void(QObject *sender, bool &moreData)>;

    TRpController(TRpReportRun &run, QObject *owner);

    void RunController() override;
    void PrintEmpty() override;
    void RegisterBands() override;
    void AddOwnDataset() override;

    void setDataSet(QObject *dataSet) { m_dataSet = dataSet; }
    void setBands(TRpCustomBand *header, TRpCustomBand *detail, TRpCustomBand *footer);
    void setNeedData(NeedData handler) { m_needData = std::move(handler); }
    TRpCustomBand *detailBand() const { return m_detail; }
    // Running number of the current record, from 1; 0 before the first.
    qint64 detailNumber() const { return m_detailNumber; }

private:
    bool isReportLoop() const;
    void walkRecords(RpRunTable *table, bool more);

    QPointer<QObject> m_dataSet;
    QPointer<TRpCustomBand> m_header;
    QPointer<TRpCustomBand> m_detail;
    QPointer<TRpCustomBand> m_footer;
    NeedData m_needData;
    qint64 m_detailNumber = 0;
};

// A band printed a fixed number of times; publishes its 0-based repetition.
class TRpLoopController : public TRpCustomController
{
public:
    TRpLoopController(TRpReportRun &run, TRpLoopBand *band);

    void LoopVariableValue(TRpEvValue &value) override;
    void RunController() override;

private:
    QPointer<TRpLoopBand> m_band;
    int m_current = 0;
};

// A band printed once per item of a string list; publishes the current item.
class TRpStringsController : public TRpCustomController
{
public:
    TRpStringsController(TRpReportRun &run, TRpStringsBand *band);

    void LoopVariableValue(TRpEvValue &value) override;
    void RunController() override;

private:
    QPointer<TRpStringsBand> m_band;
    QStringList m_items;
    int m_index = -1;
};
