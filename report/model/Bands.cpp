#include "report/model/Bands.h"

#include "report/model/NameScope.h"
#include "report/model/Report.h"

#include <QSet>
#include <memory>

namespace {

// Destroys a band now; its links in other objects clear through their guarded pointers.
void destroyBand(TRpCustomBand *band)
{
    std::unique_ptr<TRpCustomBand> doomed(band);
}

bool isDataLoop(const QObject *object)
{
    return qobject_cast<const TCustomRpReport *>(object) || qobject_cast<const TRpControllerBand *>(object);
}

} // namespace

// ---------------------------------------------------------------- TRpCustomBand

TRpCustomBand::TRpCustomBand(QObject *parent)
    : TRpBasePanel(parent), m_size(new TRpBandSize(this)), m_font(new ReportFont(this))
{
    m_size->setNativeLength(pixelsToNative(40, resolution(), 100));
    connect(m_font, &ReportFont::changed, this, [this] {
        if (!m_syncingFont)
            m_parentFont = false;
    });
    if (TCustomRpReport *owner = report()) {
        m_size->setUnit(owner->units());
        followReportFont();
    }
    updatePixelBounds();
    connect(m_size, &TRpUnitBase::changed, this, &TRpCustomBand::updatePixelBounds);
    arrangementChanged();
}

TRpCustomBand::~TRpCustomBand()
{
    arrangementChanged();
}

TCustomRpReport *TRpCustomBand::report() const
{
    return qobject_cast<TCustomRpReport *>(parent());
}

void TRpCustomBand::arrangementChanged()
{
    if (TCustomRpReport *owner = report())
        owner->arrangementChanged();
}

void TRpCustomBand::watch(QObject *target)
{
    if (target)
        connect(target, &QObject::destroyed, this, &TRpCustomBand::arrangementChanged, Qt::UniqueConnection);
}

void TRpCustomBand::followReportFont()
{
    const TCustomRpReport *owner = report();
    if (!owner)
        return;
    m_syncingFont = true;
    m_font->assign(*owner->font());
    m_syncingFont = false;
}

void TRpCustomBand::setParentFont(bool value)
{
    m_parentFont = value;
    if (value)
        followReportFont();
}

bool TRpCustomBand::setLinkBand(TRpCustomBand *band)
{
    QSet<const TRpCustomBand *> seen;
    for (const TRpCustomBand *b = band; b && !seen.contains(b); b = b->linkBand()) {
        if (b == this)
            return false;
        seen.insert(b);
    }
    m_linkBand = band;
    watch(band);
    arrangementChanged();
    return true;
}

TRpChildBand *TRpCustomBand::childBand() const
{
    if (!parent())
        return nullptr;
    for (QObject *sibling : parent()->children()) {
        auto *child = qobject_cast<TRpChildBand *>(sibling);
        if (child && child->parentBand() == this)
            return child;
    }
    return nullptr;
}

bool TRpCustomBand::hasChild() const
{
    return childBand() != nullptr;
}

void TRpCustomBand::setHasChild(bool value)
{
    TRpChildBand *child = childBand();
    if (value) {
        if (!child && parent()) {
            auto *made = new TRpChildBand(parent());
            made->setParentBand(this);
        }
        return;
    }
    if (!child)
        return;
    // The chain loses only one link: a grandchild moves up to this band.
    if (TRpChildBand *grandchild = child->childBand())
        grandchild->setParentBand(this);
    destroyBand(child);
}

QString TRpCustomBand::captionOfType(TRpBandType type)
{
    switch (type) {
    case Rp::rbTitle:
        return QStringLiteral("Title");
    case Rp::rbPageHeader:
        return QStringLiteral("Page Header");
    case Rp::rbDetail:
        return QStringLiteral("Detail");
    case Rp::rbPageFooter:
        return QStringLiteral("Page Footer");
    case Rp::rbSummary:
        return QStringLiteral("Summary");
    case Rp::rbGroupHeader:
        return QStringLiteral("Group Header");
    case Rp::rbGroupFooter:
        return QStringLiteral("Group Footer");
    case Rp::rbSubDetail:
        return QStringLiteral("Sub Detail");
    case Rp::rbColumnHeader:
        return QStringLiteral("Column Header");
    case Rp::rbOverlay:
        return QStringLiteral("Overlay");
    case Rp::rbChild:
        return QStringLiteral("Child");
    }
    return {};
}

QString TRpCustomBand::baseNameOfType(TRpBandType type)
{
    switch (type) {
    case Rp::rbTitle:
        return QStringLiteral("TitleBand");
    case Rp::rbPageHeader:
        return QStringLiteral("PageHeaderBand");
    case Rp::rbDetail:
        return QStringLiteral("DetailBand");
    case Rp::rbPageFooter:
        return QStringLiteral("PageFooterBand");
    case Rp::rbSummary:
        return QStringLiteral("SummaryBand");
    case Rp::rbGroupHeader:
        return QStringLiteral("GroupHeaderBand");
    case Rp::rbGroupFooter:
        return QStringLiteral("GroupFooterBand");
    case Rp::rbSubDetail:
        return QStringLiteral("SubDetailBand");
    case Rp::rbColumnHeader:
        return QStringLiteral("ColumnHeaderBand");
    case Rp::rbOverlay:
        return QStringLiteral("OverlayBand");
    case Rp::rbChild:
        return QStringLiteral("ChildBand");
    }
    return QStringLiteral("Band");
}

QString TRpCustomBand::GetBandCaption() const
{
    return captionOfType(bandType());
}

QString TRpCustomBand::GetBandName() const
{
    return baseNameOfType(bandType());
}

void TRpCustomBand::setLayout(long double left, long double top, long double width)
{
    m_nativeLeft = left;
    m_nativeTop = top;
    m_size->setNativeWidth(width);
    updatePixelBounds();
}

void TRpCustomBand::setZoom(int zoom)
{
    if (zoom <= 0)
        return;
    ApplyZoom(zoom);
    m_size->setZoom(zoom);
    updatePixelBounds();
}

void TRpCustomBand::updatePixelBounds()
{
    setPixelBounds(nativeToPixels(m_nativeLeft, resolution(), zoom()), nativeToPixels(m_nativeTop, resolution(), zoom()),
                   nativeToPixels(m_size->nativeWidth(), resolution(), zoom()),
                   nativeToPixels(m_size->nativeLength(), resolution(), zoom()));
}

bool TRpCustomBand::isPropertyStored(const char *name) const
{
    if (qstrcmp(name, "Font") == 0)
        return !m_parentFont;
    return true;
}

void TRpCustomBand::beginRead()
{
    TRpBasePanel::beginRead();
    // A stored font lists its differences from the default font, so reading starts from that, not from
    // the report's font; a band that keeps following the report's font takes it again once loaded.
    m_syncingFont = true;
    m_font->assign(ReportFont());
    m_syncingFont = false;
}

void TRpCustomBand::propertiesRead()
{
    // The elements read next follow the band's font as it will be.
    if (m_parentFont)
        followReportFont();
}

void TRpCustomBand::loaded()
{
    // A stored pixel height other than the new-band height wins over a size that was never set.
    const long double newBandLength = pixelsToNative(40, resolution(), 100);
    if (boundRead(8) && storedBound(8) != 40 && storedBound(8) > 0 && m_size->nativeLength() == newBandLength)
        m_size->setNativeLength(pixelsToNative(storedBound(8), resolution(), zoom()));
    if (m_parentFont)
        followReportFont();
    updatePixelBounds();
    arrangementChanged();
}

// ---------------------------------------------------------------- kinds

TRpBand::TRpBand(QObject *parent) : TRpCustomBand(parent) {}

void TRpBand::setBandType(TRpBandType type)
{
    if (int(type) < int(Rp::rbTitle) || int(type) > int(Rp::rbChild))
        return;
    m_bandType = type;
    arrangementChanged();
}

TRpChildBand::TRpChildBand(QObject *parent) : TRpCustomBand(parent) {}

bool TRpChildBand::setParentBand(TRpCustomBand *band)
{
    QSet<const TRpCustomBand *> seen;
    for (const TRpCustomBand *b = band; b && !seen.contains(b);) {
        if (b == this)
            return false;
        seen.insert(b);
        const auto *child = qobject_cast<const TRpChildBand *>(b);
        b = child ? child->parentBand() : nullptr;
    }
    m_parentBand = band;
    watch(band);
    arrangementChanged();
    return true;
}

TRpGroup::TRpGroup(QObject *parent) : TRpCustomBand(parent) {}

void TRpGroup::setFooterBand(TRpBand *band)
{
    m_footerBand = band;
    if (band)
        band->setBandType(Rp::rbGroupFooter);
    watch(band);
    arrangementChanged();
}

bool TRpGroup::setMaster(QObject *master)
{
    if (master && !isDataLoop(master))
        return false;
    m_master = master;
    watch(master);
    arrangementChanged();
    return true;
}

QObject *TRpGroup::effectiveMaster() const
{
    return m_master ? m_master.data() : report();
}

// ---------------------------------------------------------------- controller bands

TRpControllerBand::TRpControllerBand(QObject *parent) : TRpCustomBand(parent)
{
    connect(this, &QObject::objectNameChanged, this, [this] {
        DeleteLoopVariable();
        CreateLoopVariable();
    });
}

TRpControllerBand::~TRpControllerBand()
{
    DeleteLoopVariable();
}

bool TRpControllerBand::setMaster(QObject *master)
{
    if (master && !isDataLoop(master))
        return false;
    QSet<const QObject *> seen;
    for (const QObject *m = master; m && !seen.contains(m);) {
        if (m == this)
            return false;
        seen.insert(m);
        const auto *band = qobject_cast<const TRpControllerBand *>(m);
        m = band ? band->master() : nullptr;
    }
    m_master = master;
    watch(master);
    arrangementChanged();
    return true;
}

QObject *TRpControllerBand::effectiveMaster() const
{
    return m_master ? m_master.data() : report();
}

void TRpControllerBand::setPrintBefore(bool value)
{
    m_printBefore = value;
    arrangementChanged();
}

void TRpControllerBand::CreateLoopVariable()
{
    TCustomRpReport *owner = report();
    const QString start = LoopVariableStart();
    if (!owner || objectName().isEmpty() || start.isEmpty())
        return;
    owner->functions()->addNamedExpression(objectName().toUpper(), start);
    m_variable = objectName().toUpper();
    m_variableReport = owner;
}

void TRpControllerBand::DeleteLoopVariable()
{
    if (m_variableReport && !m_variable.isEmpty())
        m_variableReport->functions()->removeNamedExpression(m_variable);
    m_variable.clear();
    m_variableReport = nullptr;
}

TRpSubDetailGroupBands::TRpSubDetailGroupBands(TRpSubDetail *owner) : RpPersistent(owner), m_owner(owner) {}

bool TRpSubDetailGroupBands::hasHeader() const
{
    return m_owner->headerBand() != nullptr;
}

void TRpSubDetailGroupBands::setHasHeader(bool value)
{
    if (value == hasHeader())
        return;
    if (value) {
        if (TCustomRpReport *report = m_owner->report())
            m_owner->setHeaderBand(AddBandOfType(report, Rp::rbGroupHeader));
    } else {
        destroyBand(m_owner->headerBand());
    }
}

bool TRpSubDetailGroupBands::hasFooter() const
{
    return m_owner->footerBand() != nullptr;
}

void TRpSubDetailGroupBands::setHasFooter(bool value)
{
    if (value == hasFooter())
        return;
    if (value) {
        if (TCustomRpReport *report = m_owner->report())
            m_owner->setFooterBand(AddBandOfType(report, Rp::rbGroupFooter));
    } else {
        destroyBand(m_owner->footerBand());
    }
}

TRpSubDetail::TRpSubDetail(QObject *parent) : TRpControllerBand(parent), m_bands(new TRpSubDetailGroupBands(this)) {}

void TRpSubDetail::setDataSet(QObject *dataSet)
{
    m_dataSet = dataSet;
}

void TRpSubDetail::setHeaderBand(TRpBand *band)
{
    m_headerBand = band;
    if (band)
        band->setBandType(Rp::rbGroupHeader);
    watch(band);
    arrangementChanged();
}

void TRpSubDetail::setFooterBand(TRpBand *band)
{
    m_footerBand = band;
    if (band)
        band->setBandType(Rp::rbGroupFooter);
    watch(band);
    arrangementChanged();
}

TRpLoopBand::TRpLoopBand(QObject *parent) : TRpControllerBand(parent)
{
    CreateLoopVariable();
}

TRpStringsBand::TRpStringsBand(QObject *parent) : TRpControllerBand(parent)
{
    CreateLoopVariable();
}
