#include "report/scripts/ScriptComponents.h"

#include "report/files/ReportFile.h"
#include "store/DataSet.h"
#include "store/DataSource.h"

#include <algorithm>
#include <mutex>

namespace RpRunningReports {

namespace {

// A run on a background thread adds and removes its entry there while the user-interface thread may look.
std::mutex &guard()
{
    static std::mutex mutex;
    return mutex;
}

QList<RpRunningReport> &entries()
{
    static QList<RpRunningReport> list;
    return list;
}

} // namespace

void add(const RpRunningReport &entry)
{
    const std::lock_guard lock(guard());
    entries().append(entry);
}

void remove(const TDesignRpReport *report)
{
    const std::lock_guard lock(guard());
    entries().removeIf([report](const RpRunningReport &e) { return !e.report || e.report == report; });
}

QList<RpRunningReport> list()
{
    const std::lock_guard lock(guard());
    return entries();
}

RpRunningReport find(const QObject *report)
{
    const std::lock_guard lock(guard());
    for (const RpRunningReport &e : entries()) {
        if (report && e.report == report)
            return e;
    }
    return {};
}

} // namespace RpRunningReports

namespace RpComponentSearch {

namespace {

bool sameName(const QObject *object, const QString &name)
{
    return object->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

// Every data module, the report data modules among them, from the last made to the first.
QList<QObject *> dataModulesNewestFirst()
{
    QList<QObject *> modules = RpComponents::dataModules();
    for (QObject *window : RpComponents::windows()) {
        if (qobject_cast<TRuntimeDatamodule *>(window))
            modules.append(window);
    }
    std::reverse(modules.begin(), modules.end());
    return modules;
}

bool isApplicationDataModule(const QObject *module)
{
    return !qobject_cast<const TRuntimeDatamodule *>(module);
}

// Whether the component found in one place stands as the generation search's result there.
bool acceptedHere(QObject *component, const QMetaObject *dataSetClass, const QString &fieldName)
{
    if (!component || !dataSetClass)
        return component != nullptr;
    if (!component->metaObject()->inherits(dataSetClass) || fieldName.isEmpty())
        return true;
    auto *dataSet = qobject_cast<TDataSet *>(component);
    return !dataSet || dataSet->LookupField(fieldName) != nullptr;
}

bool isReportElementKind(const QObject *component)
{
    return qobject_cast<const TRpPrintable *>(component) || qobject_cast<const TRpBasePanel *>(component)
        || qobject_cast<const TDataSet *>(component) || qobject_cast<const TDataSource *>(component);
}

bool holdsDesignReport(const QObject *window)
{
    return window->findChild<TDesignRpReport *>() != nullptr;
}

QObject *reportElementIn(const QObject *holder, const QString &name)
{
    QObject *component = componentOf(holder, name);
    return component && isReportElementKind(component) ? component : nullptr;
}

} // namespace

QObject *componentOf(const QObject *holder, const QString &name)
{
    if (!holder || name.isEmpty())
        return nullptr;
    for (QObject *child : holder->children()) {
        if (sameName(child, name))
            return child;
        if (QObject *found = componentOf(child, name))
            return found;
    }
    return nullptr;
}

QList<QObject *> windows()
{
    QList<QObject *> list;
    for (QObject *window : RpComponents::windows()) {
        if (!qobject_cast<TRuntimeDatamodule *>(window))
            list.append(window);
    }
    return list;
}

QObject *generationSearch(const QString &name, const QMetaObject *dataSetClass, const QString &fieldName)
{
    if (name.isEmpty())
        return nullptr;
    QList<QObject *> places;
    const QList<RpRunningReport> running = RpRunningReports::list();
    for (auto entry = running.crbegin(); entry != running.crend(); ++entry)
        places << entry->window.data() << entry->dataModule.data() << entry->databaseOwner.data();
    places << dataModulesNewestFirst();
    QList<QObject *> all = windows();
    std::reverse(all.begin(), all.end());
    places << all;
    for (QObject *place : places) {
        QObject *component = componentOf(place, name);
        if (acceptedHere(component, dataSetClass, fieldName))
            return component;
    }
    return nullptr;
}

Found reportElementSearch(const QString &name, bool windowsOnly)
{
    if (name.isEmpty())
        return {};
    const QList<QObject *> all = windows();
    for (auto window = all.crbegin(); window != all.crend(); ++window) {
        if (!holdsDesignReport(*window))
            continue;
        if (QObject *found = reportElementIn(*window, name))
            return { found, false };
    }
    if (windowsOnly)
        return {};
    for (QObject *module : dataModulesNewestFirst()) {
        if (QObject *found = reportElementIn(module, name))
            return { found, isApplicationDataModule(module) };
    }
    return {};
}

TDataSet *findDataSet(const QString &name, const QString &fieldName)
{
    return qobject_cast<TDataSet *>(generationSearch(name, &TDataSet::staticMetaObject, fieldName));
}

TCustomRpReport *findReport()
{
    return qobject_cast<TCustomRpReport *>(generationSearch(QStringLiteral("RpReport")));
}

bool lockFlag(const QObject *element, const QString &flag)
{
    TCustomRpReport *report = findReport();
    if (!report || !element)
        return false;
    TPropertyAddons *addons = RpRunningReports::find(report).addons;
    if (!addons) {
        if (ReportFileEngine *engine = ReportFileEngine::engineOf(report))
            addons = engine->addons();
    }
    return addons && addons->flag(element, flag);
}

} // namespace RpComponentSearch
