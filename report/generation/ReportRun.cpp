#include "report/generation/ReportRun.h"

#include "report/elements/FrameStrips.h"
#include "report/elements/PagePaint.h"
#include "report/expressions/Evaluator.h"
#include "report/generation/Controllers.h"
#include "report/generation/PageSetup.h"
#include "report/model/Printable.h"
#include "report/pages/RpPrinter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

// Child chains and links longer than this are cut: no report needs them, and a damaged one must not
// exhaust the stack.
constexpr int kMaxBandDepth = 64;

bool isPageEdgeType(TRpBandType type)
{
    return type == Rp::rbTitle || type == Rp::rbPageHeader || type == Rp::rbPageFooter
        || type == Rp::rbOverlay;
}

bool isDetailType(TRpBandType type)
{
    return type == Rp::rbDetail || type == Rp::rbSubDetail;
}

} // namespace

// The band being printed: its growth and what its elements may do. Nested band prints (a page footer and
// header printed while a band breaks) keep their own and give the outer one back.
class TRpReportRun::BandScope
{
public:
    BandScope(TRpReportRun &run, const TRpCustomBand *band, long double height)
        : m_run(run)
        , m_saved(run.m_band)
    {
        m_run.m_band = BandContext { band, height, 0, run.m_edgeDepth == 0, false };
    }
    ~BandScope() { m_run.m_band = m_saved; }
    BandScope(const BandScope &) = delete;
    BandScope &operator=(const BandScope &) = delete;

private:
    TRpReportRun &m_run;
    BandContext m_saved;
};

// While a page or column starts or ends: the bands printed meanwhile never break and print in one round,
// and a nested request for a new page is ignored.
class TRpReportRun::EdgeScope
{
public:
    explicit EdgeScope(TRpReportRun &run)
        : m_run(run)
    {
        ++m_run.m_edgeDepth;
    }
    ~EdgeScope() { --m_run.m_edgeDepth; }
    EdgeScope(const EdgeScope &) = delete;
    EdgeScope &operator=(const EdgeScope &) = delete;

private:
    TRpReportRun &m_run;
};

TRpReportRun::TRpReportRun(TCustomRpReport &report, TRpPrinter &store, const RpRunOptions &options)
    : m_report(report)
    , m_store(store)
    , m_options(options)
{
    m_finalPass = options.exportFilter == nullptr;
    m_onGuiThread
        = QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

TRpReportRun::~TRpReportRun()
{
    cleanUp();
}

// ---------------------------------------------------------------- the run

namespace {

thread_local TRpReportRun *t_currentRun = nullptr;

} // namespace

TRpReportRun *TRpReportRun::current()
{
    return t_currentRun;
}

bool TRpReportRun::Run()
{
    TRpReportRun *const outer = t_currentRun;
    t_currentRun = this;
    const auto restoreCurrent = qScopeGuard([outer] { t_currentRun = outer; });

    const TRpPage &page = *m_report.page();
    m_left = page.nativeLeftMargin();
    m_right = page.nativeRightMargin();
    m_top = page.nativeTopMargin();
    m_bottom = page.nativeBottomMargin();
    if (page.nativeWidth() - m_left - m_right < 0)
        m_left = m_right = 0;
    if (page.nativeLength() - m_top - m_bottom < 0)
        m_top = m_bottom = 0;
    m_messageClock.start();

    collectTables();
    if (!askBeforePrint()) {
        cleanUp();
        return false;
    }
    // Sizes read in native units from here on; the report's own unit comes back at the end.
    m_savedUnit = m_report.units();
    m_unitSwitched = true;
    m_report.setUnits(Rp::Native);
    try {
        beginDocument();
        computeFooterReserve();
        prepare();
        runLoops();
        finishRun();
    } catch (...) {
        cleanUp();
        endDocument(true);
        throw;
    }
    cleanUp();
    endDocument(false);
    return true;
}

void TRpReportRun::collectTables()
{
    // The tables of the form that holds the report, of the data modules its tables live in, and every table
    // a band or element names.
    m_tables.addOwnedBy(m_report.parent());
    auto addWithOwner = [this](QObject *object) {
        if (m_tables.add(object))
            m_tables.addOwnedBy(object->parent());
    };
    addWithOwner(m_report.dataSet());
    for (QObject *object : m_report.findChildren<QObject *>()) {
        if (auto *subDetail = qobject_cast<TRpSubDetail *>(object))
            addWithOwner(subDetail->dataSet());
        else if (qobject_cast<TRpPrintable *>(object))
            addWithOwner(object->property("DataSet").value<QObject *>());
    }
}

bool TRpReportRun::askBeforePrint()
{
    bool print = true;
    if (m_report.BeforePrint)
        m_report.BeforePrint(&m_report, print);
    return print;
}

void TRpReportRun::beginDocument()
{
    // Columns as the page lays them out; a column is at least one unit wide, whatever a damaged file says.
    const TRpPage &page = *m_report.page();
    const long double printable = page.nativeWidth() - m_left - m_right;
    const long double space = page.nativeColumnSpace();
    auto widthOf = [&](int columns) { return std::floor((printable - space * (columns - 1)) / columns); };
    m_columns = qMax(1, page.columns());
    while (m_columns > 1 && !(widthOf(m_columns) >= 1))
        --m_columns;
    const TRpCustomBand *detail = m_report.firstBandOfType(Rp::rbDetail);
    m_columnWidth
        = detail && m_columns == page.columns() ? detail->size()->nativeWidth() : widthOf(m_columns);

    if (m_options.composite) {
        const RpPagePosition start = m_options.position ? *m_options.position : RpPagePosition {};
        m_pageNumber = start.pageNumber;
        m_column = start.column;
        m_pageOpen = start.pageOpen;
        m_y = start.pageOpen ? start.y : pageLength();
    } else {
        ApplyPrinterSettings(m_report, m_store);
        m_store.setTitle(m_report.reportTitle());
        m_store.setCompression(m_report.options().testFlag(Rp::Compression));
        m_store.StartDocument();
        m_documentBegun = true;
        m_y = -1;
        m_pageNumber = 0;
        m_column = m_columns;
    }
    if (m_options.exportFilter) {
        m_options.exportFilter->Start(
            int(rpRound(pageWidth())), int(rpRound(pageLength())), pageFont(*m_report.font()));
    }
}

void TRpReportRun::computeFooterReserve()
{
    m_footerReserve = 0;
    for (TRpCustomBand *band : m_report.bandList()) {
        if (band->bandType() != Rp::rbPageFooter || !qobject_cast<TRpBand *>(band) || !band->enabled())
            continue;
        QSet<const TRpCustomBand *> seen;
        for (const TRpCustomBand *b = band; b && b->enabled() && !seen.contains(b); b = b->childBand()) {
            seen.insert(b);
            m_footerReserve += b->size()->nativeLength();
        }
    }
    m_x = m_left;
}

void TRpReportRun::prepare()
{
    // The report's loop and, through it, every loop and group of the report.
    auto loop = std::make_unique<TRpController>(*this, &m_report);
    m_reportLoop = loop.get();
    m_attached.insert(&m_report, m_reportLoop);
    m_controllers.push_back(std::move(loop));
    m_reportLoop->setDataSet(m_report.dataSet());
    m_reportLoop->setPrintIfEmpty(m_report.printIfEmpty());
    m_reportLoop->BuildControllerTree();

    TRpEvEnvironment::GlobalEnvironment().PrepareEnvironment();
    m_globalPrepared = true;
    m_functions = std::make_unique<TRpEvEnvironment>();
    for (const ReportFunctions::Entry &entry : m_report.functions()->entries())
        m_functions->AddNamedExpression(entry.name, entry.expression);
    m_functions->SetDataSets(&m_tables.dataSets());
    m_functions->PrepareEnvironment();
    m_functionsPrepared = true;
    m_pageNumberElement = m_functions->ConstantElement(QStringLiteral("PAGENUMBER"));
    m_columnNumberElement = m_functions->ConstantElement(QStringLiteral("COLUMNNUMBER"));
    TRpEvEnvironment::SetTextValue(
        m_functions->ConstantElement(QStringLiteral("REPORTTITLE")), m_report.reportTitle());
    setPageVariable();
    setColumnVariable();

    m_reportLoop->PrepareController();
    m_loopsPrepared = true;

    // Every element of every band, and those placed on the report itself, learn the run.
    for (TRpCustomBand *band : m_report.bandList()) {
        QList<TRpPrintable *> &elements = m_elements[band];
        for (QObject *child : band->children()) {
            if (auto *element = qobject_cast<TRpPrintable *>(child))
                elements.append(element);
        }
    }
    for (QObject *child : m_report.children()) {
        if (auto *element = qobject_cast<TRpPrintable *>(child))
            m_reportElements.append(element);
    }
    for (const QList<TRpPrintable *> &elements : std::as_const(m_elements)) {
        for (TRpPrintable *element : elements) {
            m_begun.append(element);
            element->BeginPrintRun(*this);
        }
    }
    for (TRpPrintable *element : std::as_const(m_reportElements)) {
        m_begun.append(element);
        element->BeginPrintRun(*this);
    }
}

void TRpReportRun::runLoops()
{
    m_reportLoop->setBands(m_report.firstBandOfType(Rp::rbTitle), m_report.firstBandOfType(Rp::rbDetail),
        m_report.firstBandOfType(Rp::rbSummary));
    m_reportLoop->setNeedData(m_report.OnNeedData);
    m_reportLoop->RegisterBands();
    m_reportLoop->RunController();
}

void TRpReportRun::finishRun()
{
    if (!m_options.composite) {
        m_x = m_left;
        m_lastPage = true;
        if (!Cancelled())
            FinishPage();
        if (m_options.exportFilter)
            m_options.exportFilter->EndDocument();
    } else {
        if (m_options.lastOfComposite) {
            m_lastPage = true;
            FinishPage();
        }
        if (m_options.position)
            *m_options.position = RpPagePosition { m_pageNumber, m_column, m_y, m_pageOpen };
    }
}

void TRpReportRun::cleanUp() noexcept
{
    if (m_cleanedUp)
        return;
    m_cleanedUp = true;
    // Each step on its own: one that fails must not keep the others from putting the report back.
    auto step = [](auto &&action) {
        try {
            action();
        } catch (const std::exception &) {
            // The report is put back as far as it goes; the run's own failure is what the caller sees.
        }
    };
    if (m_unitSwitched)
        step([this] { m_report.setUnits(m_savedUnit); });
    for (const QPointer<TRpPrintable> &element : std::as_const(m_begun)) {
        if (element)
            step([&element] { element->EndPrintRun(); });
    }
    m_begun.clear();
    if (m_loopsPrepared)
        step([this] { m_reportLoop->UnprepareController(); });
    m_loopsPrepared = false;
    if (m_functionsPrepared)
        step([this] { m_functions->UnprepareEnvironment(); });
    m_functionsPrepared = false;
    if (m_globalPrepared)
        step([] { TRpEvEnvironment::GlobalEnvironment().UnprepareEnvironment(); });
    m_globalPrepared = false;
    step([this] { m_tables.RestoreAll(); });
}

void TRpReportRun::endDocument(bool failed)
{
    if (!m_documentBegun)
        return;
    m_documentBegun = false;
    const bool cancelled
        = m_store.cancelled() || m_timedOut || (m_options.cancelFlag && m_options.cancelFlag->load());
    if (!failed) {
        if (cancelled || !m_finalPass)
            m_store.AbortDocument();
        else
            m_store.FinishDocument();
        return;
    }
    // The run's own exception is what the caller must see; a second failure while closing is dropped.
    try {
        if (cancelled)
            m_store.AbortDocument();
        else
            m_store.FinishDocument();
    } catch (const std::exception &) { }
}

// ---------------------------------------------------------------- element protocol

void TRpReportRun::AddAggregateClient(QObject *master, TRpPrintable *element)
{
    if (!element)
        return;
    TRpCustomController *loop = master ? m_attached.value(master) : m_reportLoop;
    if (loop)
        loop->addAggregateClient(element);
}

bool TRpReportRun::GrowBand(long double extra)
{
    if (!m_band.band || !std::isfinite(double(extra)))
        return false;
    if (extra <= m_band.growth)
        return true;
    bool fits = rpRound(extra + m_band.height) <= SpaceLeft();
    // At the top of a fresh column the first growth is granted even when it does not fit, so that a line
    // taller than the whole column still moves the run on.
    if (!fits && m_band.mustAdvance && m_band.growth == 0)
        fits = true;
    if (fits)
        m_band.growth = extra;
    return fits;
}

qint64 TRpReportRun::DetailNumber() const
{
    return m_reportLoop ? m_reportLoop->detailNumber() : 0;
}

qint64 TRpReportRun::DetailCount() const
{
    const RpRunTable *table = m_tables.find(m_report.dataSet());
    const qint64 count = table ? table->RecordCount() : -1;
    return count < 0 ? 1 : count;
}

QString TRpReportRun::ReportTitle() const
{
    return m_report.reportTitle();
}

// ---------------------------------------------------------------- for the loops

TRpCustomController *TRpReportRun::attachController(TRpControllerBand *band)
{
    if (!band || m_attached.contains(band))
        return nullptr;
    std::unique_ptr<TRpCustomController> made;
    if (auto *loopBand = qobject_cast<TRpLoopBand *>(band)) {
        made = std::make_unique<TRpLoopController>(*this, loopBand);
    } else if (auto *stringsBand = qobject_cast<TRpStringsBand *>(band)) {
        made = std::make_unique<TRpStringsController>(*this, stringsBand);
    } else if (auto *subDetail = qobject_cast<TRpSubDetail *>(band)) {
        auto controller = std::make_unique<TRpController>(*this, band);
        controller->setDataSet(subDetail->dataSet());
        controller->setBands(subDetail->headerBand(), subDetail, subDetail->footerBand());
        controller->setNeedData(subDetail->OnNeedData);
        controller->setPrintIfEmpty(subDetail->printIfEmpty());
        made = std::move(controller);
    } else {
        made = std::make_unique<TRpCustomController>(*this, band);
    }
    made->AssignPrintBefore(band->printBefore());
    TRpCustomController *controller = made.get();
    m_attached.insert(band, controller);
    m_controllers.push_back(std::move(made));
    return controller;
}

void TRpReportRun::registerDetail(const TRpCustomBand *band, TRpCustomController *loop)
{
    if (band && !m_detailLoops.contains(band))
        m_detailLoops.insert(band, loop);
}

TRpCustomBand *TRpReportRun::columnHeaderBand() const
{
    return m_report.firstBandOfType(Rp::rbColumnHeader);
}

const QList<TRpPrintable *> &TRpReportRun::elementsOf(const TRpCustomBand *band) const
{
    static const QList<TRpPrintable *> none;
    const auto found = m_elements.constFind(band);
    return found == m_elements.constEnd() ? none : *found;
}

bool TRpReportRun::Cancelled()
{
    if (m_store.cancelled())
        return true;
    if (m_options.cancelFlag && m_options.cancelFlag->load())
        return true;
    const bool pastLimit = m_options.pageLimit > 0 && m_pageNumber > m_options.pageLimit;
    const bool pastDeadline = m_options.deadline != std::chrono::steady_clock::time_point {}
        && std::chrono::steady_clock::now() >= m_options.deadline;
    if (pastLimit || pastDeadline) {
        m_timedOut = true;
        m_store.CancelDocument();
        return true;
    }
    return false;
}

void TRpReportRun::ProcessMessages()
{
    if (!m_onGuiThread || m_messageClock.elapsed() < m_options.messageIntervalMs)
        return;
    m_messageClock.restart();
    QCoreApplication::processEvents();
}

void TRpReportRun::ReportProgress(qint64 done, qint64 count)
{
    if (count <= 0)
        return;
    const int percent = int(std::clamp<qint64>(done * 100 / count, 0, 100));
    if (percent == m_lastProgress)
        return;
    m_lastProgress = percent;
    m_store.ReportProgress(percent);
}

// ---------------------------------------------------------------- bands

long double TRpReportRun::pageLength() const
{
    // One length for every purpose: the store's, already turned for a landscape page.
    return m_store.PaperLengthNative();
}

long double TRpReportRun::pageWidth() const
{
    return m_store.PaperWidthNative();
}

long double TRpReportRun::SpaceLeft(bool zeroReserve) const
{
    if (!m_pageOpen)
        return 0;
    if (m_options.exportFilter && m_options.exportFilter->ContinuousPage())
        return pageLength();
    return rpRound(pageLength() - m_bottom - (zeroReserve ? 0 : m_footerReserve) - m_y);
}

long double TRpReportRun::NeededHeight(const TRpCustomBand *band) const
{
    long double needed = 0;
    QSet<const TRpCustomBand *> seen;
    for (const TRpCustomBand *b = band; b && !seen.contains(b) && seen.size() < kMaxBandDepth;
         b = b->linkBand()) {
        seen.insert(b);
        needed += b->size()->nativeLength();
    }
    return needed;
}

void TRpReportRun::EmitBand(TRpCustomBand *band)
{
    if (band)
        emitBand(band, band->bandType(), 0);
}

void TRpReportRun::emitBand(TRpCustomBand *band, TRpBandType type, int depth)
{
    // A band never prints inside itself (a child chain or a footer that names its own header).
    if (!band || depth > kMaxBandDepth || m_printing.contains(band))
        return;
    m_printing.append(band);
    struct Unmark
    {
        QList<const TRpCustomBand *> &list;
        ~Unmark() { list.removeLast(); }
    } unmark { m_printing };

    bool zeroReserve = false;
    if (band->alignToBottom()) {
        // The summary of a report whose last page has no footer may use the footer's room, but only for its
        // own position and room test.
        zeroReserve = type == Rp::rbSummary && !m_report.options().testFlag(Rp::LastPageFooter);
        const long double reserve = zeroReserve ? 0 : m_footerReserve;
        const long double target = rpRound(pageLength() - m_bottom - band->size()->nativeLength() - reserve);
        if (target > m_y)
            m_y = target;
    }
    outputBand(band, type, zeroReserve);

    // The child follows whatever happened to its parent; under a page footer it prints as part of it.
    if (TRpChildBand *child = band->childBand())
        emitBand(child, type == Rp::rbPageFooter ? Rp::rbPageFooter : child->bandType(), depth + 1);
    m_detailBreak = false;
}

void TRpReportRun::outputBand(TRpCustomBand *band, TRpBandType type, bool zeroReserve)
{
    bool print = band->enabled();
    if (print && band->BeforePrint)
        band->BeforePrint(band, print);
    if (print) {
        // Bands printed while a page or column starts or ends print where they are.
        if (m_edgeDepth == 0) {
            const bool forceable = !isPageEdgeType(type);
            if (forceable && band->forceNewPage() && !m_detailBreak && m_pageOpen) {
                HonourForceNewPage();
                m_detailBreak = false;
            } else if (forceable && band->forceNewColumn() && m_pageOpen) {
                HonourForceNewColumn();
            } else {
                EnsureRoom(band, type, zeroReserve);
            }
        }
        notifyLoop(band);
        if (band->size()->nativeLength() != 0 && m_pageOpen)
            printRounds(band);
    } else {
        // A disabled detail band still counts its record; one vetoed by its handler does not.
        if (!band->enabled())
            notifyLoop(band);
    }
    if (band->AfterPrint)
        band->AfterPrint(band, print);
}

void TRpReportRun::notifyLoop(const TRpCustomBand *band)
{
    TRpCustomController *loop = m_detailLoops.value(band);
    if (loop && loop->running())
        loop->notifyRecordTaken();
}

void TRpReportRun::printRounds(TRpCustomBand *band)
{
    const long double height = band->size()->nativeLength();
    BandScope scope(*this, band, height);
    const QList<TRpPrintable *> &elements = elementsOf(band);
    for (int round = 1;; ++round) {
        m_band.mustAdvance = round > 1;
        fillBand(*band, height);
        bool complete = true;
        for (TRpPrintable *element : elements) {
            if (!element->IsPrintable() || (round > 1 && element->PrintDone()))
                continue;
            element->PrintAt(m_x, m_y);
            complete = complete && element->PrintDone();
        }
        if (m_finalPass)
            DrawFrameStrips(m_store, *band->frame(), m_x, m_y, m_x + band->size()->nativeWidth(),
                m_y + height + m_band.growth + 1);
        // At a page edge a band prints once; elsewhere its continuing elements go on in the next column.
        if (complete || !m_band.mayContinue || Cancelled())
            break;
        m_detailBreak = true;
        StartNewColumn();
        m_detailBreak = false;
        m_band.growth = 0;
    }
    m_y += rpRound(height + m_band.growth);
}

void TRpReportRun::EnsureRoom(TRpCustomBand *band, TRpBandType type, bool zeroReserve)
{
    const long double needed = NeededHeight(band);
    const long double space = SpaceLeft(zeroReserve);
    // A band taller than the printable page never fits anywhere: it prints where it starts, as long as it
    // starts on the paper.
    const bool tall = needed > pageLength() - m_top - m_bottom && space > 0;
    const bool fits = type == Rp::rbPageFooter || (m_pageOpen && space >= rpRound(needed)) || tall;
    if (fits && m_pageOpen) {
        if (isDetailType(type))
            m_detailBreak = false;
        return;
    }
    if (isDetailType(type))
        m_detailBreak = true;
    StartNewColumn();
}

void TRpReportRun::fillBand(const TRpCustomBand &band, long double height)
{
    QPainter *canvas = m_store.canvas();
    const QColor color = pageColor(band.color());
    // Bands do not overlap what was drawn before them, so white on the white paper changes nothing: it is
    // left out, which keeps pages small (and never covers the last line of the band above).
    if (!m_finalPass || !canvas || color.alpha() == 0 || color == QColor(Qt::white))
        return;
    fillDeviceRect(*canvas, m_store.DeviceX(m_x), m_store.DeviceY(m_y),
        m_store.DeviceWidth(band.size()->nativeWidth()), m_store.DeviceHeight(height), color);
}

// ---------------------------------------------------------------- pages and columns

void TRpReportRun::setPageVariable()
{
    TRpEvEnvironment::SetIntegerValue(m_pageNumberElement, m_pageNumber);
}

void TRpReportRun::setColumnVariable()
{
    TRpEvEnvironment::SetIntegerValue(m_columnNumberElement, m_column);
}

void TRpReportRun::StartNewPage()
{
    if (m_edgeDepth > 0)
        return;
    EdgeScope edge(*this);
    FinishPage();
    if (m_options.exportFilter)
        m_options.exportFilter->NewPage();
    ++m_pageNumber;
    setPageVariable();
    if (m_finalPass || m_pageNumber == 1 || !m_pageOpen)
        m_store.NewPage();
    m_pageOpen = true;
    m_y = m_top;
    if (m_report.OnStartPage)
        m_report.OnStartPage(&m_report);
    if (m_pageNumber > 1 || m_report.options().testFlag(Rp::FirstPageHeader))
        emitBand(m_report.firstBandOfType(Rp::rbPageHeader), Rp::rbPageHeader, 0);
    m_columnTop = m_y;
    Cancelled();
}

void TRpReportRun::FinishPage()
{
    if (!m_pageOpen)
        return;
    EdgeScope edge(*this);
    m_y = rpRound(pageLength() - m_bottom - m_footerReserve);
    m_x = m_left;
    if (!m_lastPage || m_report.options().testFlag(Rp::LastPageFooter))
        emitBand(m_report.firstBandOfType(Rp::rbPageFooter), Rp::rbPageFooter, 0);
    printReportElements();
    if (m_finalPass)
        DrawFrameStrips(
            m_store, *m_report.frame(), m_left, m_top, pageWidth() - m_right, pageLength() - m_bottom);
    if (m_report.OnEndPage)
        m_report.OnEndPage(&m_report);
    if (m_options.exportFilter)
        m_options.exportFilter->EndPage();
}

void TRpReportRun::printReportElements()
{
    BandScope scope(*this, nullptr, 0);
    for (TRpPrintable *element : std::as_const(m_reportElements)) {
        if (element->IsPrintable())
            element->PrintAt(0, 0);
    }
}

void TRpReportRun::StartNewColumn()
{
    if (m_edgeDepth > 0)
        return;
    // Without a page there is no column to move to: the first column break begins one.
    if (m_column >= m_columns || !m_pageOpen) {
        m_column = 1;
        m_x = m_left;
        StartNewPage();
    } else {
        m_x += m_report.page()->nativeColumnSpace() + m_columnWidth;
        m_y = m_columnTop;
        ++m_column;
    }
    setColumnVariable();
    if (m_pageNumber == 1 && m_column == 1)
        return;
    EdgeScope edge(*this);
    emitBand(columnHeaderBand(), Rp::rbColumnHeader, 0);
    if (m_reportLoop)
        m_reportLoop->ReprintGroupHeaders();
}

void TRpReportRun::HonourForceNewPage()
{
    if (m_noForce) {
        m_noForce = false;
        return;
    }
    // Columns until a new page has begun; at most one round of them.
    for (int step = 0; step < m_columns && !Cancelled(); ++step) {
        StartNewColumn();
        if (m_column == 1)
            break;
    }
}

void TRpReportRun::HonourForceNewColumn()
{
    if (m_columnForced || m_column > 1)
        StartNewColumn();
    else
        m_columnForced = true;
}
