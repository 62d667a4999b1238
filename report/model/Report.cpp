#include "report/model/Report.h"

#include "report/model/NameScope.h"
#include "report/model/Printable.h"

#include <QHash>
#include <QSet>
#include <vector>
#include <algorithm>
#include <memory>

// ---------------------------------------------------------------- band switches

TRpReportBands::TRpReportBands(TCustomRpReport *report) : RpPersistent(report), m_report(report) {}

bool TRpReportBands::has(TRpBandType type) const
{
    return m_report->firstBandOfType(type) != nullptr;
}

void TRpReportBands::set(TRpBandType type, bool value)
{
    TRpCustomBand *existing = m_report->firstBandOfType(type);
    if (value && !existing)
        AddBandOfType(m_report, type);
    else if (!value && existing)
        std::unique_ptr<TRpCustomBand> doomed(existing);
}

// ---------------------------------------------------------------- report

TCustomRpReport::TCustomRpReport(QObject *parent)
    : TRpBasePanel(parent),
      m_bands(new TRpReportBands(this)),
      m_font(new ReportFont(this)),
      m_functions(new ReportFunctions(this)),
      m_page(new TRpPage(this)),
      m_printerSettings(new TRpReportPrinterSettings(this)),
      m_units(m_page->unit())
{
    connect(m_font, &ReportFont::changed, this, [this] {
        for (QObject *child : children()) {
            if (auto *band = qobject_cast<TRpCustomBand *>(child); band && band->parentFont())
                band->setParentFont(true);
        }
    });
}

TCustomRpReport::~TCustomRpReport()
{
    emit destroying(this);
    // Bands and elements go while the report is still whole, so that their links and variables unwind
    // against a living report.
    m_destroying = true;
    const QList<QObject *> owned = children();
    for (QObject *child : owned) {
        if (qobject_cast<TRpCustomBand *>(child) || qobject_cast<TRpPrintable *>(child))
            std::unique_ptr<QObject> doomed(child);
    }
}

void TCustomRpReport::setUnits(TRpUnit unit)
{
    if (int(unit) < int(Rp::MM) || int(unit) > int(Rp::Native))
        return;
    m_units = unit;
    m_page->setUnit(unit);
    for (TRpCustomBand *band : findChildren<TRpCustomBand *>())
        band->setUnit(unit);
    for (TRpPrintable *element : findChildren<TRpPrintable *>())
        element->setUnit(unit);
}

void TCustomRpReport::setZoom(int value)
{
    if (value < 1 || value > 300)
        return;
    m_zoom = value;
    ApplyZoom(value);
    m_page->setZoom(value);
    for (TRpCustomBand *band : findChildren<TRpCustomBand *>())
        band->setZoom(value);
    for (TRpPrintable *element : findChildren<TRpPrintable *>())
        element->setZoom(value);
    arrangementChanged();
}

void TCustomRpReport::arrangementChanged()
{
    m_arrangementDirty = true;
}

void TCustomRpReport::setBandRotation(int count)
{
    m_rotation = count < 0 ? 0 : count;
    arrangementChanged();
}

void TCustomRpReport::setBandsHidden(bool hidden)
{
    m_bandsHidden = hidden;
}

QList<TRpCustomBand *> TCustomRpReport::bandList() const
{
    arrangeBands();
    QList<TRpCustomBand *> list;
    for (const QPointer<TRpCustomBand> &band : m_bandList) {
        if (band)
            list.append(band);
    }
    return list;
}

TRpCustomBand *TCustomRpReport::firstBandOfType(TRpBandType type) const
{
    for (TRpCustomBand *band : bandList()) {
        if (band->bandType() == type)
            return band;
    }
    return nullptr;
}

void TCustomRpReport::arrangeBands() const
{
    if (m_arranging || m_destroying)
        return;
    m_arranging = true;
    if (m_arrangementDirty) {
        rebuildBandList();
        m_arrangementDirty = false;
    }
    layoutBands();
    m_arranging = false;
}

namespace {

// Builds the print order. Each band is placed at most once, whatever the links say, so a band named by two
// groups or a link chain that meets itself cannot duplicate a band or loop.
class BandOrder
{
public:
    BandOrder(const TCustomRpReport *report, const QList<TRpCustomBand *> &previous)
        : m_report(report), m_previous(previous)
    {
        for (TRpCustomBand *band : previous) {
            m_present.insert(band);
            if (auto *child = qobject_cast<TRpChildBand *>(band)) {
                if (child->parentBand())
                    m_childrenOf[child->parentBand()].append(child);
            } else if (auto *group = qobject_cast<TRpGroup *>(band)) {
                m_groupsOf[group->effectiveMaster()].append(group);
            } else if (auto *controller = qobject_cast<TRpControllerBand *>(band)) {
                m_controllersOf[controller->effectiveMaster()].append(controller);
            }
        }
    }

    QList<TRpCustomBand *> build()
    {
        place(first(Rp::rbPageHeader));
        place(first(Rp::rbTitle));
        place(first(Rp::rbColumnHeader));
        m_visitedLoops.insert(m_report);
        const QList<TRpGroup *> groups = m_groupsOf.value(m_report);
        for (TRpGroup *group : groups)
            place(group);
        placeControllers(m_report, true);
        place(first(Rp::rbDetail));
        placeControllers(m_report, false);
        placeFooters(groups);
        place(first(Rp::rbSummary));
        place(first(Rp::rbPageFooter));
        for (TRpCustomBand *band : m_previous)
            place(band);
        return m_order;
    }

private:
    TRpCustomBand *first(TRpBandType type) const
    {
        for (TRpCustomBand *band : m_previous) {
            if (qobject_cast<TRpBand *>(band) && band->bandType() == type)
                return band;
        }
        return nullptr;
    }

    void place(TRpCustomBand *band)
    {
        // Iterative, so that a long chain of child bands cannot exhaust the stack.
        QList<TRpCustomBand *> pending{band};
        while (!pending.isEmpty()) {
            TRpCustomBand *next = pending.takeLast();
            if (!next || !m_present.contains(next) || m_placed.contains(next))
                continue;
            m_placed.insert(next);
            m_order.append(next);
            const QList<TRpChildBand *> children = m_childrenOf.value(next);
            for (auto it = children.crbegin(); it != children.crend(); ++it)
                pending.append(*it);
        }
    }

    void placeFooters(const QList<TRpGroup *> &groups)
    {
        for (auto it = groups.crbegin(); it != groups.crend(); ++it)
            place((*it)->footerBand());
    }

    void placeControllers(const QObject *master, bool before)
    {
        const QList<TRpControllerBand *> controllers = m_controllersOf.value(master);
        for (TRpControllerBand *controller : controllers) {
            if (controller->printBefore() == before)
                placeLoop(controller);
        }
    }

    // Iterative, so that a long chain of masters cannot exhaust the stack: each loop contributes its header
    // band and groups on the way down, itself, its group footers and its footer band on the way up.
    void placeLoop(TRpControllerBand *outer)
    {
        struct Level
        {
            TRpControllerBand *controller;
            QList<TRpGroup *> groups;
            qsizetype nextInner;
        };
        std::vector<Level> levels;
        auto enter = [this, &levels](TRpControllerBand *controller) {
            if (m_visitedLoops.contains(controller))
                return;
            m_visitedLoops.insert(controller);
            if (auto *subDetail = qobject_cast<TRpSubDetail *>(controller))
                place(subDetail->headerBand());
            const QList<TRpGroup *> groups = m_groupsOf.value(controller);
            for (TRpGroup *group : groups)
                place(group);
            levels.push_back({controller, groups, 0});
        };
        enter(outer);
        while (!levels.empty()) {
            Level &level = levels.back();
            const QList<TRpControllerBand *> inner = m_controllersOf.value(level.controller);
            if (level.nextInner < inner.size()) {
                enter(inner[level.nextInner++]);
                continue;
            }
            place(level.controller);
            placeFooters(level.groups);
            if (auto *subDetail = qobject_cast<TRpSubDetail *>(level.controller))
                place(subDetail->footerBand());
            levels.pop_back();
        }
    }

    const TCustomRpReport *m_report;
    const QList<TRpCustomBand *> &m_previous;
    QSet<const TRpCustomBand *> m_present;
    QSet<const TRpCustomBand *> m_placed;
    QSet<const QObject *> m_visitedLoops;
    QHash<const QObject *, QList<TRpChildBand *>> m_childrenOf;
    QHash<const QObject *, QList<TRpGroup *>> m_groupsOf;
    QHash<const QObject *, QList<TRpControllerBand *>> m_controllersOf;
    QList<TRpCustomBand *> m_order;
};

bool spansPrintableWidth(const TRpCustomBand *band)
{
    QSet<const TRpCustomBand *> seen;
    while (const auto *child = qobject_cast<const TRpChildBand *>(band)) {
        if (!child->parentBand() || seen.contains(child))
            return false;
        seen.insert(child);
        band = child->parentBand();
    }
    switch (band->bandType()) {
    case Rp::rbTitle:
    case Rp::rbPageHeader:
    case Rp::rbPageFooter:
    case Rp::rbSummary:
    case Rp::rbOverlay:
        return true;
    default:
        return false;
    }
}

} // namespace

void TCustomRpReport::rebuildBandList() const
{
    QList<TRpCustomBand *> present;
    QSet<TRpCustomBand *> presentSet;
    for (QObject *child : children()) {
        if (auto *band = qobject_cast<TRpCustomBand *>(child)) {
            present.append(band);
            presentSet.insert(band);
        }
    }
    // Previous order first, then the bands not yet listed in the order they were made.
    QList<TRpCustomBand *> previous;
    QSet<TRpCustomBand *> listed;
    for (const QPointer<TRpCustomBand> &band : m_bandList) {
        if (band && presentSet.contains(band) && !listed.contains(band)) {
            previous.append(band);
            listed.insert(band);
        }
    }
    for (TRpCustomBand *band : present) {
        if (!listed.contains(band))
            previous.append(band);
    }
    QList<TRpCustomBand *> order = BandOrder(this, previous).build();
    if (!order.isEmpty() && m_rotation > 0)
        std::rotate(order.begin(), order.begin() + (m_rotation % order.size()), order.end());
    m_bandList.clear();
    for (TRpCustomBand *band : order)
        m_bandList.append(band);
}

void TCustomRpReport::layoutBands() const
{
    long double top = m_page->nativeTopMargin();
    const long double left = m_page->nativeLeftMargin();
    const long double printable = m_page->printableWidth();
    const long double column = m_page->columnWidth();
    for (const QPointer<TRpCustomBand> &band : m_bandList) {
        if (!band)
            continue;
        band->setLayout(left, m_bandsHidden ? m_page->nativeLength() : top,
                        spansPrintableWidth(band) ? printable : column);
        top += band->size()->nativeLength();
    }
}

bool TCustomRpReport::isPropertyStored(const char *name) const
{
    Q_UNUSED(name);
    return true;
}

void TCustomRpReport::beginRead()
{
    TRpBasePanel::beginRead();
    ++m_reading;
}

void TCustomRpReport::loaded()
{
    if (m_reading > 0)
        --m_reading;
    for (QObject *child : children()) {
        if (auto *band = qobject_cast<TRpCustomBand *>(child); band && band->parentFont())
            band->setParentFont(true);
    }
    arrangementChanged();
    arrangeBands();
}

TRpBand *AddBandOfType(TCustomRpReport *report, TRpBandType type)
{
    if (!report)
        return nullptr;
    NameScope scope(nameScopeRoot(report));
    auto *band = new TRpBand(report);
    band->setBandType(type);
    band->setObjectName(scope.numbered(TRpCustomBand::baseNameOfType(type)));
    return band;
}
