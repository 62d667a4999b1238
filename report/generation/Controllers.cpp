#include "report/generation/Controllers.h"

#include "report/generation/ReportRun.h"
#include "report/model/Printable.h"

#include <algorithm>

// ---------------------------------------------------------------- TRpCustomController

TRpCustomController::TRpCustomController(TRpReportRun &run, QObject *owner)
    : m_run(run)
    , m_owner(owner)
{ }

TRpCustomController::~TRpCustomController() = default;

void TRpCustomController::LoopVariableValue(TRpEvValue &value)
{
    value = TRpEvValue::Error(QStringLiteral("No loop variable"));
}

void TRpCustomController::BuildControllerTree()
{
    m_before.clear();
    m_after.clear();
    m_groups.clear();
    // Controller bands and groups are components of the report, in the order they were made.
    TCustomRpReport &report = m_run.report();
    for (QObject *child : report.children()) {
        if (auto *band = qobject_cast<TRpControllerBand *>(child)) {
            if (band->effectiveMaster() != m_owner)
                continue;
            TRpCustomController *controller = m_run.attachController(band);
            if (!controller)
                continue;
            (controller->printBefore() ? m_before : m_after).push_back(controller);
            controller->BuildControllerTree();
        } else if (auto *group = qobject_cast<TRpGroup *>(child)) {
            if (group->effectiveMaster() != m_owner)
                continue;
            auto state = std::make_unique<RpGroupState>();
            state->band = group;
            m_groups.push_back(std::move(state));
        }
    }
    AddOwnDataset();
}

void TRpCustomController::RunController()
{
    if (m_printIfEmpty)
        PrintEmpty();
}

void TRpCustomController::PrepareController()
{
    m_clients.clear();
    for (TRpCustomController *controller : m_before)
        controller->PrepareController();
    for (TRpCustomController *controller : m_after)
        controller->PrepareController();
    for (const auto &group : m_groups) {
        group->evaluator = std::make_unique<TRpEvaluator>(m_run.Functions(), &m_run.DataSets());
        group->evaluator->Compile(group->band->expression());
        group->valueTaken = false;
        group->changed = false;
        group->inGroup = false;
        group->headerPage = 1;
    }
    m_loopVariable = nullptr;
    if (m_owner && m_run.Functions() && !m_owner->objectName().isEmpty())
        m_loopVariable = m_run.Functions()->ConstantElement(m_owner->objectName());
    RegisterBands();
}

void TRpCustomController::UnprepareController()
{
    for (TRpCustomController *controller : m_before)
        controller->UnprepareController();
    for (TRpCustomController *controller : m_after)
        controller->UnprepareController();
    for (const auto &group : m_groups)
        group->evaluator.reset();
    m_loopVariable = nullptr;
    m_clients.clear();
}

void TRpCustomController::RunAfterControllers()
{
    for (TRpCustomController *controller : m_after) {
        if (m_run.Cancelled())
            return;
        controller->RunController();
    }
}

void TRpCustomController::RunBeforeControllers()
{
    for (TRpCustomController *controller : m_before) {
        if (m_run.Cancelled())
            return;
        controller->RunController();
    }
}

void TRpCustomController::PrintEmpty()
{
    RunBeforeControllers();
    RunAfterControllers();
}

void TRpCustomController::RegisterBands()
{
    if (auto *band = qobject_cast<TRpCustomBand *>(m_owner.data()))
        m_run.registerDetail(band, this);
}

void TRpCustomController::AddOwnDataset() { }

void TRpCustomController::AssignPrintBefore(bool value)
{
    m_printBefore = value;
}

void TRpCustomController::UpdateLoopVariable()
{
    if (!m_loopVariable)
        return;
    TRpEvValue value;
    LoopVariableValue(value);
    TRpEvEnvironment::StoreValue(m_loopVariable, value);
}

void TRpCustomController::addAggregateClient(TRpPrintable *element)
{
    m_clients.push_back(element);
}

void TRpCustomController::notifyRecordTaken()
{
    for (const QPointer<TRpPrintable> &element : m_clients) {
        if (element)
            element->NotifyElement(m_owner, 0);
    }
}

// ---------------------------------------------------------------- groups

void TRpCustomController::takeGroupValue(RpGroupState &group)
{
    group.value = group.evaluator ? group.evaluator->Compute() : TRpEvValue();
    group.valueTaken = true;
}

bool TRpCustomController::checkGroup(RpGroupState &group)
{
    if (!group.valueTaken) {
        takeGroupValue(group);
        group.changed = true;
        return true;
    }
    const TRpEvValue value = group.evaluator ? group.evaluator->Compute() : TRpEvValue();
    bool differs = value.Kind() != group.value.Kind();
    if (!differs) {
        switch (value.Kind()) {
        case evInteger:
            differs = value.AsInteger() != group.value.AsInteger();
            break;
        case evFloat:
            differs = value.AsFloat() != group.value.AsFloat();
            break;
        case evString:
            differs = value.Text() != group.value.Text();
            break;
        case evBoolean:
            differs = value.AsBoolean() != group.value.AsBoolean();
            break;
        case evError:
            differs = false;
            break;
        }
    }
    if (differs) {
        group.value = value;
        group.changed = true;
    }
    return differs;
}

bool TRpCustomController::CheckGroups()
{
    bool changed = false;
    for (const auto &group : m_groups) {
        group->changed = false;
        if (!changed) {
            changed = checkGroup(*group);
        } else {
            // Every group inside one that changed starts again too.
            takeGroupValue(*group);
            group->changed = true;
        }
    }
    return changed;
}

void TRpCustomController::PrintGroupHeaders()
{
    for (const auto &group : m_groups) {
        if (!group->changed)
            continue;
        m_run.EmitBand(group->band);
        group->inGroup = true;
        group->headerPage = m_run.PageNumber();
    }
}

void TRpCustomController::PrintGroupFooters()
{
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it) {
        RpGroupState &group = **it;
        if (!group.changed)
            continue;
        if (group.band)
            m_run.EmitBand(group.band->footerBand());
        group.inGroup = false;
    }
}

bool TRpCustomController::anyGroupChanged() const
{
    return std::any_of(m_groups.begin(), m_groups.end(), [](const auto &group) { return group->changed; });
}

void TRpCustomController::ReprintGroupHeaders()
{
    // Headers about to print anyway are not printed twice.
    if (anyGroupChanged())
        return;
    for (TRpCustomController *controller : m_before)
        controller->ReprintGroupHeaders();
    auto first = std::find_if(m_groups.begin(), m_groups.end(), [this](const auto &group) {
        return group->band && group->band->reprintOnNewPage() && group->inGroup
            && group->headerPage != m_run.PageNumber();
    });
    if (first != m_groups.end()) {
        (*first)->changed = true;
        for (auto it = first + 1; it != m_groups.end(); ++it) {
            takeGroupValue(**it);
            (*it)->changed = true;
        }
        PrintGroupHeaders();
        // The reprint is done: a further page within the same record reprints them again.
        for (auto it = first; it != m_groups.end(); ++it)
            (*it)->changed = false;
    }
    for (TRpCustomController *controller : m_after)
        controller->ReprintGroupHeaders();
}

void TRpCustomController::invertGroupChanges()
{
    for (const auto &group : m_groups)
        group->changed = !group->changed;
}

void TRpCustomController::clearGroupValues()
{
    for (const auto &group : m_groups)
        group->valueTaken = false;
}

// ---------------------------------------------------------------- TRpController

TRpController::TRpController(TRpReportRun &run, QObject *owner)
    : TRpCustomController(run, owner)
{ }

void TRpController::setBands(TRpCustomBand *header, TRpCustomBand *detail, TRpCustomBand *footer)
{
    m_header = header;
    m_detail = detail;
    m_footer = footer;
}

bool TRpController::isReportLoop() const
{
    return run().reportLoop() == this;
}

void TRpController::RegisterBands()
{
    run().registerDetail(m_detail, this);
}

void TRpController::AddOwnDataset()
{
    // A closed table is listed all the same: expressions may name its fields, which then read as empty.
    run().tables().add(m_dataSet);
}

void TRpController::PrintEmpty()
{
    run().EmitBand(m_header);
    // As after the title of a loop with records: a detail that forces a new page does not leave the title's
    // page empty.
    if (m_header && isReportLoop())
        run().setNoForce();
    RunBeforeControllers();
    run().EmitBand(m_detail);
    RunAfterControllers();
    run().EmitBand(m_footer);
}

void TRpController::RunController()
{
    clearGroupValues();
    RpRunTable *table = run().tables().find(m_dataSet);
    const bool open = table && table->IsOpen();
    if (!open && !m_needData) {
        if (printIfEmpty())
            PrintEmpty();
        return;
    }
    bool more = true;
    if (open) {
        table->First();
        more = !table->AtEnd();
        if (!more && printIfEmpty())
            PrintEmpty();
    } else {
        m_needData(owner(), more);
    }
    m_detailNumber = 0;
    if (more)
        walkRecords(open ? table : nullptr, more);
}

void TRpController::walkRecords(RpRunTable *table, bool more)
{
    TRpReportRun &r = run();
    const bool reportLoop = isReportLoop();
    const qint64 count = reportLoop && table ? table->RecordCount() : 0;

    r.ProcessMessages();
    if (r.Cancelled())
        return;
    if (m_header) {
        r.EmitBand(m_header);
        if (reportLoop) {
            r.setNoForce();
            // Further columns of this page start below the title and whatever it grew to.
            r.markColumnTop();
        }
    }
    if (reportLoop && r.PageNumber() <= 1) {
        TRpCustomBand *columnHeader = r.columnHeaderBand();
        if (columnHeader && columnHeader->enabled()) {
            r.EmitBand(columnHeader);
            r.setNoForce();
        }
    }
    CheckGroups();
    setRunning(true);
    struct StopRunning
    {
        TRpController &loop;
        ~StopRunning() { loop.setRunning(false); }
    } stop { *this };
    while (more) {
        r.ProcessMessages();
        if (r.Cancelled())
            break;
        ++m_detailNumber;
        PrintGroupHeaders();
        RunBeforeControllers();
        r.EmitBand(m_detail);
        RunAfterControllers();
        if (table) {
            table->Next();
            more = !table->AtEnd();
        } else {
            more = false;
            if (m_needData)
                m_needData(owner(), more);
        }
        if (CheckGroups()) {
            // Footers show the last record of the group that ends.
            if (table)
                table->Prior();
            PrintGroupFooters();
            if (table)
                table->Next();
        }
        if (reportLoop && count > 0)
            r.ReportProgress(m_detailNumber, count);
    }
    if (r.Cancelled())
        return;
    // Every group still open closes now, innermost first.
    invertGroupChanges();
    PrintGroupFooters();
    if (m_footer) {
        if (!r.pageStarted())
            r.StartNewPage();
        r.EmitBand(m_footer);
    }
}

// ---------------------------------------------------------------- loop and strings controllers

TRpLoopController::TRpLoopController(TRpReportRun &run, TRpLoopBand *band)
    : TRpCustomController(run, band)
    , m_band(band)
{ }

void TRpLoopController::LoopVariableValue(TRpEvValue &value)
{
    value = TRpEvValue::Integer(m_current);
}

void TRpLoopController::RunController()
{
    const int count = m_band ? m_band->printCount() : 0;
    for (int i = 0; i < count && !run().Cancelled(); ++i) {
        m_current = i;
        UpdateLoopVariable();
        RunBeforeControllers();
        run().EmitBand(m_band);
        RunAfterControllers();
    }
    m_current = 0;
}

TRpStringsController::TRpStringsController(TRpReportRun &run, TRpStringsBand *band)
    : TRpCustomController(run, band)
    , m_band(band)
{ }

void TRpStringsController::LoopVariableValue(TRpEvValue &value)
{
    value = m_index >= 0 && m_index < m_items.size() ? TRpEvValue::String(m_items[m_index])
                                                     : TRpEvValue::String({});
}

void TRpStringsController::RunController()
{
    // The items as they are when the loop starts; a handler changing them meanwhile changes nothing here.
    m_items = m_band ? m_band->items() : QStringList();
    for (int i = 0; i < m_items.size() && !run().Cancelled(); ++i) {
        m_index = i;
        UpdateLoopVariable();
        RunBeforeControllers();
        run().EmitBand(m_band);
        RunAfterControllers();
    }
    m_index = -1;
}
