#pragma once

#include <functional>
#include <memory>

class TCustomRpReport;
class TRpReportRun;

// Work that a layer above the engine does around every run of a report (the designer's reports: print
// conditions, page rules, the list of running reports). The starter is called once a run has been claimed
// and before it begins; it returns an object whose destruction ends its work after the run, however the run
// ended (null when it has nothing to do for this report), or sets `refuse` to stop the run before anything
// was begun.
class RpRunExtension
{
public:
    virtual ~RpRunExtension() = default;
};

using RpRunStarter = std::function<std::unique_ptr<RpRunExtension>(
    TCustomRpReport &report, TRpReportRun &run, bool &refuse)>;

// Installed once at start-up, before any run; an empty starter removes it.
void setRunStarter(RpRunStarter starter);
const RpRunStarter &runStarter();
