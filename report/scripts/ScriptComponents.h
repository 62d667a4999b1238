#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class QMetaObject;
class QObject;
class TCustomRpReport;
class TDataSet;
class TDesignRpReport;
class TPropertyAddons;
class TRpReportRun;
class RpDesignRun;

// A designed report whose generation run has started and not ended, with what the functions of its
// expressions look into: the window that holds it, the report data module and database owner of its engine,
// the engine's addon list (the lock flags) and the run itself.
struct RpRunningReport
{
    QPointer<TDesignRpReport> report;
    QPointer<QObject> window;
    QPointer<QObject> dataModule;
    QPointer<QObject> databaseOwner;
    QPointer<TPropertyAddons> addons;
    TRpReportRun *run = nullptr;
    RpDesignRun *design = nullptr;
};

// The program-wide list of running designed reports, in the order their runs started.
namespace RpRunningReports {
void add(const RpRunningReport &entry);
void remove(const TDesignRpReport *report);
QList<RpRunningReport> list();
// The entry of a running report, or an empty entry (null report) when it is not running.
RpRunningReport find(const QObject *report);
} // namespace RpRunningReports

// Finding things by name for the functions of report expressions. Names compare without regard to case; a
// component of a window or data module is any object below it.
namespace RpComponentSearch {

// The generation search: for each running report from the last started to the first, the window that
// holds it, the report data module of its engine, its database owner; then the data modules from the last
// made to the first; then every window from the last made to the first. The first component of that name is
// the result, except that where `dataSetClass` is given a data set of that class without the field
// `fieldName` counts as not found in that place.
QObject *generationSearch(
    const QString &name, const QMetaObject *dataSetClass = nullptr, const QString &fieldName = {});

struct Found
{
    QObject *component = nullptr;
    // Found in one of the application's data modules (not a report's own data module).
    bool inApplicationDataModule = false;
};

// The report-element search: for each window that holds a designed report, from the last made to the
// first, its component of that name when that is a printable element, a band or panel, a report, a data set
// or a data source. With `windowsOnly` false the data modules are searched the same way afterwards.
Found reportElementSearch(const QString &name, bool windowsOnly);

// A data set found by the generation search (with the field when one is named), or null.
TDataSet *findDataSet(const QString &name, const QString &fieldName = {});
// The report named "RpReport" found by the generation search, or null.
TCustomRpReport *findReport();

// Windows in the order they were made, the report data modules left out.
QList<QObject *> windows();
// The first object named `name` below `holder`, or null.
QObject *componentOf(const QObject *holder, const QString &name);

// The lock flag of an element, read from the addon list of the engine that runs (or, outside a run, holds)
// the report named "RpReport"; false when there is none.
bool lockFlag(const QObject *element, const QString &flag);

} // namespace RpComponentSearch
