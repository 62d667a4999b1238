#include "report/scripts/DesignRun.h"

#include "report/expressions/Evaluator.h"
#include "report/files/ReportFile.h"
#include "report/generation/ReportRun.h"
#include "report/scripts/ScriptComponents.h"

#include "platform/Exceptions.h"

#include <QMetaProperty>
#include <algorithm>
#include <mutex>

// ---------------------------------------------------------------- settings and installation

namespace {

// Keeps the design-run settings of an engine with it: an unnamed child of the engine, never streamed.
class RpDesignRunHost : public QObject
{
    Q_OBJECT

public:
    explicit RpDesignRunHost(QObject *engine)
        : QObject(engine)
    { }
    RpDesignRunSettings settings;
};

// GROUPPRINTED outlives the runs: what each group band did when it last came up.
struct GroupMemory
{
    QPointer<const QObject> group;
    bool printed = false;
};

std::mutex &groupGuard()
{
    static std::mutex mutex;
    return mutex;
}

QHash<const QObject *, GroupMemory> &groupMemory()
{
    static QHash<const QObject *, GroupMemory> memory;
    return memory;
}

void rememberGroup(const QObject *group, bool printed)
{
    const std::lock_guard lock(groupGuard());
    QHash<const QObject *, GroupMemory> &memory = groupMemory();
    // Forget the groups that are gone, so that a new object at an old address starts afresh.
    memory.removeIf([](const auto &entry) { return !entry.value().group; });
    memory.insert(group, { group, printed });
}

DesignBandValues *designValues(QObject *band)
{
    return dynamic_cast<DesignBandValues *>(band);
}

bool isPlainBand(const QObject *band)
{
    return qobject_cast<const TRpDesignBand *>(band) != nullptr;
}

bool sameName(const QObject *object, const char *name)
{
    return object->objectName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool isRowSpace(const QObject *band)
{
    return qobject_cast<const TRpChildBand *>(band) && sameName(band, "RowSpace");
}

thread_local std::vector<TRpReportRun *> t_runs;

} // namespace

RpDesignRun::RunMark::RunMark(TRpReportRun &run)
{
    t_runs.push_back(&run);
}

RpDesignRun::RunMark::~RunMark()
{
    t_runs.pop_back();
}

// A run of a report that is not a designed one: only known as this thread's current run.
class PlainRun : public RpRunExtension
{
public:
    explicit PlainRun(TRpReportRun &run)
        : m_mark(run)
    { }

private:
    RpDesignRun::RunMark m_mark;
};

TRpReportRun *currentRunOnThisThread()
{
    return t_runs.empty() ? nullptr : t_runs.back();
}

RpDesignRunSettings &designRunSettings(ReportFileEngine &engine)
{
    auto *host = engine.findChild<RpDesignRunHost *>(QString(), Qt::FindDirectChildrenOnly);
    if (!host)
        host = new RpDesignRunHost(&engine);
    return host->settings;
}

void installDesignRuns()
{
    setRunStarter([](TCustomRpReport &report, TRpReportRun &run, bool &) -> std::unique_ptr<RpRunExtension> {
        auto *design = qobject_cast<TDesignRpReport *>(&report);
        if (!design)
            return std::make_unique<PlainRun>(run);
        return std::make_unique<RpDesignRun>(*design, run);
    });
}

bool groupPrinted(const QObject *group)
{
    const std::lock_guard lock(groupGuard());
    const auto found = groupMemory().constFind(group);
    return found != groupMemory().constEnd() && found->group == group && found->printed;
}

// ---------------------------------------------------------------- the run

struct RpDesignRun::SavedBand
{
    QPointer<TRpCustomBand> band;
    std::function<void(TRpCustomBand *, bool &)> beforePrint;
    std::function<void(TRpCustomBand *, bool)> afterPrint;
    bool enabled = true;
};

struct RpDesignRun::Condition
{
    std::unique_ptr<TRpEvaluator> evaluator;
};

struct SavedReportEvents
{
    std::function<void(TCustomRpReport *, bool &)> beforePrint;
    std::function<void(TCustomRpReport *)> onStartPage;
    std::function<void(TCustomRpReport *)> onEndPage;
    std::function<void(QObject *)> afterPrint;
    std::function<void(QObject *)> afterPreview;
};

RpDesignRun::RpDesignRun(TDesignRpReport &report, TRpReportRun &run)
    : m_report(report)
    , m_run(run)
    , m_mark(run)
    , m_engine(ReportFileEngine::engineOf(&report))
{
    if (m_engine)
        m_settings = designRunSettings(*m_engine);
    m_savedLastPageFooter = report.options().testFlag(Rp::LastPageFooter);
    // Whatever the start changed is taken back if a later part of it fails.
    try {
        bringAnchoredElementsToFront();
        findLabelBand();
        addTemporarySummary();
        chainReportEvents();
        chainBandEvents();
        shiftMargins();
        RpRunningReport entry;
        entry.report = &report;
        entry.window = report.parent();
        if (m_engine) {
            entry.dataModule = m_engine->dataModule();
            entry.addons = m_engine->addons();
            for (QObject *window : RpComponents::windows()) {
                if (!m_engine->databaseOwner().isEmpty()
                    && window->objectName().compare(m_engine->databaseOwner(), Qt::CaseInsensitive) == 0)
                    entry.databaseOwner = window;
            }
        }
        entry.run = &run;
        entry.design = this;
        RpRunningReports::add(entry);
        m_listed = true;
    } catch (...) {
        restore();
        throw;
    }
}

RpDesignRun::~RpDesignRun()
{
    restore();
}

void RpDesignRun::bringAnchoredElementsToFront()
{
    for (TRpCustomBand *band : m_report.findChildren<TRpCustomBand *>()) {
        QList<TRpPrintable *> anchored;
        for (QObject *child : band->children()) {
            auto *element = qobject_cast<TRpPrintable *>(child);
            if (element
                && (element->property("FixBottomPosition").toBool()
                    || element->property("StretchHeightWithBand").toBool()))
                anchored.append(element);
        }
        // The last child prints last, over the others.
        for (TRpPrintable *element : anchored) {
            element->setParent(nullptr);
            element->setParent(band);
        }
    }
}

void RpDesignRun::findLabelBand()
{
    for (TRpCustomBand *band : m_report.findChildren<TRpCustomBand *>()) {
        const bool labelLoop = qobject_cast<TRpLoopBand *>(band) && sameName(band, "LabelBand");
        const bool plainDetail = isPlainBand(band) && band->bandType() == Rp::rbDetail;
        if (labelLoop || plainDetail)
            m_labelBand = band;
    }
    m_pagePrints.clear();
}

void RpDesignRun::addTemporarySummary()
{
    if (m_report.firstBandOfType(Rp::rbSummary))
        return;
    bool needed = false;
    for (TRpCustomBand *band : m_report.findChildren<TRpCustomBand *>()) {
        if (isPlainBand(band) && designValues(band)->notOnLastPage())
            needed = true;
    }
    if (!needed)
        return;
    m_temporarySummary = AddBandOfType(&m_report, Rp::rbSummary);
    m_temporarySummary->size()->setNativeLength(pixelsToNative(2, m_report.resolution(), 100));
}

void RpDesignRun::chainReportEvents()
{
    m_reportEvents = std::make_unique<SavedReportEvents>(SavedReportEvents { m_report.BeforePrint,
        m_report.OnStartPage, m_report.OnEndPage, m_report.AfterPrint, m_report.AfterPreview });
    m_report.BeforePrint = [this](TCustomRpReport *, bool &print) { beforePrint(print); };
    m_report.OnStartPage = [this](TCustomRpReport *) { startPage(); };
}

void RpDesignRun::chainBandEvents()
{
    for (TRpCustomBand *band : m_report.findChildren<TRpCustomBand *>()) {
        m_bands.push_back({ band, band->BeforePrint, band->AfterPrint, band->enabled() });
        auto previous = band->BeforePrint;
        auto previousAfter = band->AfterPrint;
        const bool design = designValues(band) != nullptr;
        const bool group = qobject_cast<TRpGroup *>(band) != nullptr;
        band->BeforePrint = [this, previous, design, group](TRpCustomBand *self, bool &print) {
            if (design)
                BandPrintTest(self, print);
            if (previous)
                previous(self, print);
            if (group)
                rememberGroup(self, print);
            if (print && self->bandType() == Rp::rbSummary)
                m_summaryPrinted = true;
        };
        // A band counts where it printed: the test before it may still be on the page before.
        band->AfterPrint = [this, previousAfter](TRpCustomBand *self, bool printed) {
            if (printed && !isRowSpace(self))
                ++m_pagePrints[self];
            if (previousAfter)
                previousAfter(self, printed);
        };
    }
}

void RpDesignRun::shiftMargins()
{
    TRpPage &page = *m_report.page();
    std::vector<StreamProperty> values;
    page.writeDefinedProperties(values);
    for (const StreamProperty &property : values) {
        if (property.name == QLatin1String("Values")) {
            for (const StreamValue &item : property.value.items)
                m_savedMargins.push_back(item.real);
        }
    }
    const long double vertical = m_settings.printOffsetVerticalMM * kNativePerMM;
    const long double horizontal = m_settings.printOffsetHorizontalMM * kNativePerMM;
    if (vertical == 0 && horizontal == 0)
        return;
    // The offsets move the content: the top margin grows by what the bottom one loses.
    const TRpUnit unit = page.unit();
    page.setUnit(Rp::Native);
    page.setTopMargin(double(page.nativeTopMargin() + vertical));
    page.setBottomMargin(double(page.nativeBottomMargin() - vertical));
    page.setLeftMargin(double(page.nativeLeftMargin() + horizontal));
    page.setUnit(unit);
    m_marginsShifted = true;
}

void RpDesignRun::restore() noexcept
{
    if (m_listed) {
        RpRunningReports::remove(&m_report);
        m_listed = false;
    }
    if (m_reportEvents) {
        m_report.BeforePrint = m_reportEvents->beforePrint;
        m_report.OnStartPage = m_reportEvents->onStartPage;
        m_report.OnEndPage = m_reportEvents->onEndPage;
        m_report.AfterPrint = m_reportEvents->afterPrint;
        m_report.AfterPreview = m_reportEvents->afterPreview;
        m_reportEvents.reset();
    }
    for (SavedBand &saved : m_bands) {
        if (!saved.band)
            continue;
        saved.band->BeforePrint = std::move(saved.beforePrint);
        saved.band->AfterPrint = std::move(saved.afterPrint);
        // The page start switches page footers on and off; they end as the design had them.
        if (isPlainBand(saved.band) && saved.band->bandType() == Rp::rbPageFooter)
            saved.band->setEnabled(saved.enabled);
    }
    m_bands.clear();
    if (m_temporarySummary)
        delete m_temporarySummary.data();
    if (m_marginsShifted) {
        // The three margins as they were, to the last bit; whatever else of the page changed stays.
        TRpPage &page = *m_report.page();
        std::vector<StreamProperty> current;
        page.writeDefinedProperties(current);
        for (StreamProperty &property : current) {
            if (property.name != QLatin1String("Values")
                || property.value.items.size() != m_savedMargins.size())
                continue;
            // "Values": bottom margin, length, top margin, width, left margin, …
            for (const size_t index : { size_t(0), size_t(2), size_t(4) }) {
                if (index < m_savedMargins.size())
                    property.value.items[index].real = m_savedMargins[index];
            }
            bool ok = true;
            page.readDefinedProperty(property.name, property.value, ok);
        }
        m_marginsShifted = false;
    }
    m_report.setOptions(m_report.options().setFlag(Rp::LastPageFooter, m_savedLastPageFooter));
    if (m_labelBand && m_savedLabelPrintCount >= 0) {
        if (auto *loop = qobject_cast<TRpLoopBand *>(m_labelBand.data()))
            loop->setPrintCount(m_savedLabelPrintCount);
    }
    m_conditions.clear();
}

// ---------------------------------------------------------------- during the run

void RpDesignRun::beforePrint(bool &print)
{
    if (m_reportEvents && m_reportEvents->beforePrint)
        m_reportEvents->beforePrint(&m_report, print);
    if (!print)
        return;
    m_summaryPrinted = false;
    auto *loop = qobject_cast<TRpLoopBand *>(m_labelBand.data());
    if (loop && sameName(loop, "LabelBand")) {
        m_savedLabelPrintCount = loop->printCount();
        loop->setPrintCount(m_report.labelSettings()->labelCount());
    }
}

void RpDesignRun::startPage()
{
    const int page = m_run.PageNumber();
    m_pagePrints.clear();
    if (page == 1) {
        // Labels on the first sheet start where the first free one is.
        const int first = m_report.labelSettings()->firstLabel();
        for (const SavedBand &saved : m_bands) {
            if (saved.band && isRowSpace(saved.band) && first > 1)
                m_pagePrints.insert(saved.band, first - 1);
        }
    }
    if (m_reportEvents && m_reportEvents->onStartPage)
        m_reportEvents->onStartPage(&m_report);
    for (const SavedBand &saved : m_bands) {
        TRpCustomBand *band = saved.band;
        if (!band || !isPlainBand(band) || band->bandType() != Rp::rbPageFooter)
            continue;
        const DesignBandValues *values = designValues(band);
        // A footer the design disabled stays so: the run reserved no room for it.
        band->setEnabled(saved.enabled && (!values->notOnFirstPage() || page > 1));
        m_report.setOptions(m_report.options().setFlag(Rp::LastPageFooter, !values->notOnLastPage()));
    }
}

int RpDesignRun::pagePrints(const QObject *band) const
{
    return m_pagePrints.value(band, 0);
}

void RpDesignRun::BandPrintTest(TRpCustomBand *band, bool &print)
{
    DesignBandValues *values = designValues(band);
    if (!values)
        return;
    print = print && values->editorEnabled() && conditionHolds(band);
    if (print && band->bandType() == Rp::rbPageFooter && isPlainBand(band) && values->notOnLastPage()
        && m_summaryPrinted) {
        print = false;
        return;
    }
    // A group that passes starts its data fields' repeated values afresh.
    if (print) {
        if (auto *group = qobject_cast<TRpGroup *>(band))
            ForgetRepeatedValuesOfGroup(*group);
    }
    if (print)
        print = pageRulesAllow(band);
    if (print && isRowSpace(band))
        print = rowSpaceAllows(band);
    if (m_settings.BandBeforePrint)
        m_settings.BandBeforePrint(band, print);
}

bool RpDesignRun::conditionHolds(TRpCustomBand *band)
{
    const QString text = designValues(band)->printCondition();
    if (text.trimmed().isEmpty())
        return true;
    std::shared_ptr<Condition> &condition = m_conditions[band];
    if (!condition) {
        condition = std::make_shared<Condition>();
        condition->evaluator = std::make_unique<TRpEvaluator>(m_run.Functions(), &m_run.DataSets());
        condition->evaluator->Compile(text);
    }
    try {
        const TRpEvValue value = condition->evaluator->Compute();
        return !(value.Kind() == evBoolean && !value.AsBoolean());
    } catch (const Exception &) {
        // A condition that cannot be computed lets the band print.
        return true;
    }
}

bool RpDesignRun::pageRulesAllow(const TRpCustomBand *band) const
{
    const DesignBandValues *values = designValues(const_cast<TRpCustomBand *>(band));
    if (!values->startPageNum() && !values->endPageNum() && !values->notOnFirstPage()
        && values->pageStep() <= 1)
        return true;
    const qint64 start = values->startPageNum() ? values->startPageNum() : 1;
    const qint64 end = values->endPageNum() ? values->endPageNum() : 9999999;
    const qint64 step = values->pageStep() ? values->pageStep() : 1;
    const qint64 page = m_run.PageNumber();
    if (page < start || page > end || (page - start) % step != 0)
        return false;
    return !(page == 1 && values->notOnFirstPage());
}

bool RpDesignRun::rowSpaceAllows(TRpCustomBand *band)
{
    const int count = ++m_pagePrints[band];
    const auto *child = qobject_cast<TRpChildBand *>(band);
    const TRpCustomBand *parent = child ? child->parentBand() : nullptr;
    const long double height = band->size()->nativeLength();
    const long double parentHeight = parent ? parent->size()->nativeLength() : 0;
    const TRpPage &page = *m_report.page();
    const long double rows = height + parentHeight > 0
        ? (page.nativeLength() - page.nativeTopMargin() - page.nativeBottomMargin() + height)
            / (height + parentHeight)
        : 0;
    // No whole row of labels fits: there is no row after which a space would go.
    if (!(rows >= 1))
        return false;
    const qint64 perPage = qint64(std::min<long double>(rows, 1e9L));
    return count % perPage != 0;
}

#include "DesignRun.moc"
