#include "store/DataSource.h"

#include <algorithm>
#include <set>

QStringList splitFieldNames(const QString &names)
{
    QStringList result;
    for (const QString &part : names.split(QLatin1Char(';'))) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            result << name;
    }
    return result;
}

// ---- TDataSource ----

TDataSource::TDataSource(QObject *parent)
    : QObject(parent)
{ }

TDataSource::~TDataSource()
{
    const auto links = m_links;
    for (TDataLink *link : links)
        link->setDataSource(nullptr);
    if (m_dataSet)
        m_dataSet->detachDataSource(this);
}

void TDataSource::setDataSet(TDataSet *dataSet)
{
    if (dataSet == m_dataSet)
        return;
    // Walk the master-source chain of the new table; reaching this source again would make a table follow
    // itself. The visited set stops the walk on a loop that does not pass through this source.
    std::set<const TDataSet *> visited;
    for (const TDataSet *table = dataSet; table && visited.insert(table).second;) {
        const TDataSource *master = table->masterSource();
        if (master == this) {
            const QString text = QStringLiteral("Circular datalinks are not allowed");
            throw EDatabaseError(objectName().isEmpty() ? text : objectName() + QStringLiteral(": ") + text);
        }
        table = master ? master->DataSet() : nullptr;
    }
    // Leaving the old table goes through the inactive state, so the links let go of it before they see the
    // new one.
    if (m_dataSet) {
        m_dataSet->detachDataSource(this);
        m_dataSet = nullptr;
        updateState();
    }
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachDataSource(this);
    updateState();
}

void TDataSource::setDataSetProperty(TDataSet *dataSet)
{
    try {
        setDataSet(dataSet);
    } catch (const EDatabaseError &) {
        // A circular link read from a file leaves the source as it was.
    }
}

void TDataSource::dataSetDestroyed(TDataSet *dataSet)
{
    if (dataSet != m_dataSet)
        return;
    m_dataSet = nullptr;
    updateState();
}

void TDataSource::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    updateState();
}

void TDataSource::Edit()
{
    if (m_autoEdit && m_dataSet && m_state == dsBrowse)
        m_dataSet->Edit();
}

bool TDataSource::hasLink(TDataLink *link) const
{
    return std::find(m_links.begin(), m_links.end(), link) != m_links.end();
}

void TDataSource::addLink(TDataLink *link)
{
    if (!hasLink(link))
        m_links.push_back(link);
    if (m_dataSet)
        m_dataSet->UpdateBufferCount();
}

void TDataSource::removeLink(TDataLink *link)
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
    if (m_dataSet)
        m_dataSet->UpdateBufferCount();
}

void TDataSource::updateState()
{
    const TDataSetState state = m_enabled && m_dataSet ? m_dataSet->State() : dsInactive;
    if (state == m_state)
        return;
    const TDataSetState previous = m_state;
    m_state = state;
    notifyLinks(deUpdateState, {});
    if (OnStateChange)
        OnStateChange(*this);
    if (previous == dsInactive && OnDataChange)
        OnDataChange(*this, nullptr);
}

void TDataSource::notifyLinks(TDataEvent event, const TDataEventInfo &info)
{
    // Master links of detail tables first, so that a detail has followed its master before any control
    // repaints; within each round the most recently attached link first.
    const auto links = m_links;
    for (bool visualRound : { false, true })
        for (auto it = links.rbegin(); it != links.rend(); ++it)
            if ((*it)->isVisual() == visualRound && hasLink(*it))
                (*it)->dataEvent(event, info);
}

void TDataSource::dataEvent(TDataEvent event, const TDataEventInfo &info)
{
    if (event == deUpdateState) {
        updateState();
        return;
    }
    if (m_state == dsInactive)
        return;
    notifyLinks(event, info);
    if (event == deFieldChange) {
        if (OnDataChange)
            OnDataChange(*this, info.field);
    } else if (event >= deRecordChange && event <= deLayoutChange) {
        if (OnDataChange)
            OnDataChange(*this, nullptr);
    } else if (event == deUpdateRecord) {
        if (OnUpdateData)
            OnUpdateData(*this);
    }
}

// ---- TDataLink ----

TDataLink::~TDataLink()
{
    if (m_dataSource)
        m_dataSource->removeLink(this);
}

void TDataLink::setDataSource(TDataSource *source)
{
    if (source == m_dataSource)
        return;
    if (m_dataSource)
        m_dataSource->removeLink(this);
    m_dataSource = source;
    if (m_dataSource)
        m_dataSource->addLink(this);
    updateState();
}

void TDataLink::setReadOnly(bool on)
{
    if (on == m_readOnly)
        return;
    m_readOnly = on;
    updateState();
}

void TDataLink::updateState()
{
    const TDataSetState state = m_dataSource ? m_dataSource->State() : dsInactive;
    const bool active = state != dsInactive;
    const bool editing = (state == dsEdit || state == dsInsert || state == dsSetKey) && !m_readOnly;
    if (active != m_active) {
        m_active = active;
        if (active)
            adjustFirstRecord();
        else
            m_firstRecord = 0;
        activeChanged();
    }
    if (editing != m_editing) {
        m_editing = editing;
        editingChanged();
    }
}

int TDataLink::adjustFirstRecord()
{
    const TDataSet *dataSet = DataSet();
    if (!dataSet)
        return 0;
    const int active = dataSet->ActiveRecord();
    const int low = std::max(0, active - m_bufferCount + 1);
    const int high = std::max(low, std::min(active, std::max(0, dataSet->WindowRowCount() - m_bufferCount)));
    const int before = m_firstRecord;
    m_firstRecord = std::clamp(m_firstRecord, low, high);
    return m_firstRecord - before;
}

void TDataLink::setBufferCount(int count)
{
    count = std::max(1, count);
    if (count == m_bufferCount)
        return;
    m_bufferCount = count;
    if (TDataSet *dataSet = DataSet())
        dataSet->UpdateBufferCount();
    if (m_active)
        adjustFirstRecord();
}

int TDataLink::ActiveRecord() const
{
    const TDataSet *dataSet = DataSet();
    return m_active && dataSet ? dataSet->ActiveRecord() - m_firstRecord : 0;
}

void TDataLink::setActiveRecord(int index)
{
    if (TDataSet *dataSet = DataSet())
        dataSet->setActiveRecord(m_firstRecord + index);
}

int TDataLink::RecordCount() const
{
    const TDataSet *dataSet = DataSet();
    if (!m_active || !dataSet)
        return 0;
    if (dataSet->State() == dsSetKey)
        return 1;
    return std::min(m_bufferCount, dataSet->WindowRowCount());
}

bool TDataLink::Edit()
{
    if (!m_readOnly && m_dataSource)
        m_dataSource->Edit();
    return m_editing;
}

void TDataLink::UpdateRecord()
{
    struct Updating
    {
        bool &flag;
        explicit Updating(bool &f)
            : flag(f)
        {
            flag = true;
        }
        ~Updating() { flag = false; }
    } guard(m_updating);
    updateData();
}

int TDataLink::MoveRows(int n)
{
    TDataSet *dataSet = DataSet();
    return dataSet ? dataSet->MoveRows(n) : 0;
}

bool TDataLink::AtEnd() const
{
    const TDataSet *dataSet = DataSet();
    return !m_active || !dataSet || dataSet->AtEnd();
}

bool TDataLink::AtStart() const
{
    const TDataSet *dataSet = DataSet();
    return !m_active || !dataSet || dataSet->AtStart();
}

void TDataLink::dataEvent(TDataEvent event, const TDataEventInfo &info)
{
    if (event == deUpdateState) {
        updateState();
        return;
    }
    if (!m_active)
        return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!m_updating)
            recordChanged(info.field);
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        if (event == deDataSetScroll)
            m_firstRecord += info.shift;
        const int further = adjustFirstRecord();
        if (event == deDataSetChange)
            dataSetChanged();
        else if (event == deDataSetScroll)
            dataSetScrolled(further);
        else
            layoutChanged();
        break;
    }
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        checkBrowseMode();
        break;
    case deFocusControl:
        if (info.served) {
            focusControl(info.field, *info.served);
        } else {
            bool served = false;
            focusControl(info.field, served);
        }
        break;
    default:
        break;
    }
}

// ---- TMasterDataLink ----

TMasterDataLink::TMasterDataLink(TDataSet *detail)
    : TDataLink(false)
    , m_detail(detail)
{ }

TMasterDataLink::~TMasterDataLink() = default;

void TMasterDataLink::setFieldNames(const QString &names)
{
    if (names == m_fieldNames)
        return;
    m_fieldNames = names;
    rebuildFields();
    followMaster();
}

void TMasterDataLink::rebuildFields()
{
    m_fields.clear();
    TDataSet *master = DataSet();
    if (!Active() || !master)
        return;
    std::vector<TField *> fields;
    for (const QString &name : splitFieldNames(m_fieldNames))
        fields.push_back(master->FieldNamed(name));
    m_fields = std::move(fields);
}

void TMasterDataLink::followMaster()
{
    if (!m_detail || !m_detail->Active())
        return;
    if (Active() && !m_fields.empty()) {
        if (OnMasterChange)
            OnMasterChange();
    } else if (OnMasterDisable) {
        OnMasterDisable();
    }
}

void TMasterDataLink::activeChanged()
{
    rebuildFields();
    followMaster();
}

void TMasterDataLink::layoutChanged()
{
    rebuildFields();
    followMaster();
}

void TMasterDataLink::recordChanged(TField *field)
{
    TDataSet *master = DataSet();
    if (!master || master->State() == dsSetKey || !m_detail || !m_detail->Active() || m_fields.empty())
        return;
    if (field && std::find(m_fields.begin(), m_fields.end(), field) == m_fields.end())
        return;
    if (OnMasterChange)
        OnMasterChange();
}

void TMasterDataLink::checkBrowseMode()
{
    if (m_detail && m_detail->Active())
        m_detail->FinishPendingRow();
}
