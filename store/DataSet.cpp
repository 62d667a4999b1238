#include "store/DataSet.h"

#include "store/DataSource.h"

#include <algorithm>
#include <exception>

TDataSet::TDataSet(QObject *parent)
    : QObject(parent)
{ }

TDataSet::~TDataSet()
{
    // Data sources outlive nothing of ours: they forget this table.
    const auto sources = m_dataSources;
    for (TDataSource *source : sources)
        source->dataSetDestroyed(this);
}

void TDataSet::setActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

QString TDataSet::prefixed(const QString &text) const
{
    return objectName().isEmpty() ? text : objectName() + QStringLiteral(": ") + text;
}

void TDataSet::databaseError(const QString &text) const
{
    throw EDatabaseError(prefixed(text));
}

void TDataSet::checkActive() const
{
    if (m_state == dsInactive)
        databaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TDataSet::setState(TDataSetState state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_rowChanged = false;
    DataEvent(deUpdateState);
}

void TDataSet::setDisableStringTrim(bool on)
{
    if (on == m_disableStringTrim)
        return;
    m_disableStringTrim = on;
    storeTrimChanged();
}

void TDataSet::FinishPendingRow()
{
    checkActive();
    DataEvent(deCheckBrowseMode);
    if (m_state == dsEdit || m_state == dsInsert) {
        UpdateRecord();
        if (m_rowChanged)
            Post();
        else
            Cancel();
    }
}

void TDataSet::UpdateRecord()
{
    if (m_state != dsEdit && m_state != dsInsert && m_state != dsSetKey)
        databaseError(QStringLiteral("Dataset not in edit or insert mode"));
    DataEvent(deUpdateRecord);
}

TField *TDataSet::LookupField(const QString &name) const
{
    // Names are unique whatever their case, so a name written as the field's own is the match; that exact
    // comparison is the cheap one, and the usual case.
    for (const auto &field : m_fields)
        if (field->FieldName() == name)
            return field.get();
    for (const auto &field : m_fields)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

TField *TDataSet::FieldNamed(const QString &name) const
{
    TField *field = LookupField(name);
    if (!field)
        databaseError(QStringLiteral("Field '%1' not found").arg(name));
    return field;
}

void TDataSet::MoveField(int from, int to)
{
    const int count = FieldCount();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    auto field = std::move(m_fields[size_t(from)]);
    m_fields.erase(m_fields.begin() + from);
    m_fields.insert(m_fields.begin() + to, std::move(field));
    DataEvent(deLayoutChange);
}

TField *TDataSet::AddField(std::unique_ptr<TField> field)
{
    if (Active())
        databaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (LookupField(field->FieldName()))
        databaseError(QStringLiteral("Duplicate field name '%1'").arg(field->FieldName()));
    if (m_defaultFields) {
        m_fields.clear();
        m_defaultFields = false;
    }
    field->m_dataSet = this;
    m_fields.push_back(std::move(field));
    return m_fields.back().get();
}

void TDataSet::createDefaultFields()
{
    m_fields.clear();
    for (const TFieldDef &def : m_fieldDefs) {
        auto field = createField(def);
        field->m_dataSet = this;
        m_fields.push_back(std::move(field));
    }
    m_defaultFields = true;
}

void TDataSet::destroyDefaultFields()
{
    if (m_defaultFields) {
        m_fields.clear();
        m_defaultFields = false;
    }
}

void TDataSet::unbindFields()
{
    for (const auto &field : m_fields)
        field->m_column = -1;
}

void TDataSet::bindField(TField &field, int column)
{
    field.m_column = column;
}

// ---- observers ----

void TDataSet::attachDataSource(TDataSource *source)
{
    if (std::find(m_dataSources.begin(), m_dataSources.end(), source) == m_dataSources.end())
        m_dataSources.push_back(source);
    UpdateBufferCount();
}

void TDataSet::detachDataSource(TDataSource *source)
{
    m_dataSources.erase(std::remove(m_dataSources.begin(), m_dataSources.end(), source), m_dataSources.end());
    UpdateBufferCount();
}

void TDataSet::DataEvent(TDataEvent event, const TDataEventInfo &info)
{
    if (event == deFieldChange && (m_state == dsEdit || m_state == dsInsert))
        m_rowChanged = true;
    if (m_suspendCount > 0) {
        if (event == deLayoutChange || (event == deUpdateState && m_state == dsInactive))
            m_pendingEvent = deLayoutChange;
        return;
    }
    deliver(event, info);
}

void TDataSet::deliver(TDataEvent event, const TDataEventInfo &info)
{
    // A source may detach itself while it handles the event; the copy keeps the walk valid.
    const auto sources = m_dataSources;
    for (TDataSource *source : sources)
        if (std::find(m_dataSources.begin(), m_dataSources.end(), source) != m_dataSources.end())
            source->dataEvent(event, info);
}

void TDataSet::suspendObservers()
{
    if (m_suspendCount++ == 0) {
        m_suspendState = m_state;
        m_pendingEvent = deDataSetChange;
    }
}

void TDataSet::resumeObservers()
{
    if (m_suspendCount == 0)
        return;
    if (--m_suspendCount > 0)
        return;
    if (m_state != m_suspendState)
        deliver(deUpdateState, {});
    if (m_suspendState != dsInactive && m_state != dsInactive)
        deliver(m_pendingEvent, {});
}

void TDataSet::FocusField(TField *field)
{
    bool served = false;
    DataEvent(deFocusControl, { field, 0, &served });
}

ObserverSuspension::ObserverSuspension(TDataSet &dataSet)
    : m_dataSet(dataSet)
    , m_uncaught(std::uncaught_exceptions())
{
    m_dataSet.suspendObservers();
}

ObserverSuspension::~ObserverSuspension() noexcept(false)
{
    if (std::uncaught_exceptions() > m_uncaught) {
        try {
            m_dataSet.resumeObservers();
        } catch (const Exception &) {
            // The exception already on its way out is the one the caller must see.
        }
        return;
    }
    m_dataSet.resumeObservers();
}

// ---- the row window ----

void TDataSet::UpdateBufferCount()
{
    int count = 1;
    for (TDataSource *source : m_dataSources)
        for (TDataLink *link : source->links())
            count = std::max(count, link->BufferCount());
    if (count == m_bufferCount)
        return;
    m_bufferCount = count;
    if (Active())
        bufferCountChanged();
}

void TDataSet::clearWindow()
{
    m_buffers.clear();
    m_bufferRows.clear();
    m_recordCount = 0;
    m_activeRecord = 0;
}

void TDataSet::setActiveRecord(int index)
{
    if (index >= 0 && index < m_recordCount)
        m_activeRecord = index;
}

const char *TDataSet::activeBuffer() const
{
    if (m_tempBuffer)
        return m_tempBuffer;
    if (m_state == dsInactive || m_activeRecord < 0 || m_activeRecord >= m_recordCount)
        return nullptr;
    return m_buffers[size_t(m_activeRecord)].constData();
}

char *TDataSet::pendingBuffer()
{
    return m_buffers[size_t(m_activeRecord)].data();
}

char *TDataSet::beginFieldWrite(TField &field)
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert && m_state != dsSetKey)
        databaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (field.m_column < 0)
        databaseError(QStringLiteral("Field '%1' not found").arg(field.FieldName()));
    if (field.ReadOnly())
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(field.DisplayName()));
    if (m_activeRecord < 0 || m_activeRecord >= m_recordCount)
        databaseError(QStringLiteral("Dataset not in edit or insert mode"));
    return pendingBuffer();
}

void TDataSet::endFieldWrite(TField &field)
{
    DataEvent(deFieldChange, { &field, 0, nullptr });
    if (field.OnChange)
        field.OnChange(field);
}
