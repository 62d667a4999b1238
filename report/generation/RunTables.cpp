#include "report/generation/RunTables.h"

#include "platform/Exceptions.h"
#include "store/DataSet.h"

#include <QObject>

RpRunTable::RpRunTable(TDataSet *table)
    : m_table(table)
    , m_fields(table)
{
    if (IsOpen()) {
        m_bookmark = m_table->CurrentRowNumber();
        m_remembered = true;
    }
}

bool RpRunTable::IsOpen() const
{
    return m_table && m_table->Active();
}

void RpRunTable::First()
{
    if (IsOpen())
        m_table->First();
}

void RpRunTable::Next()
{
    if (IsOpen())
        m_table->Next();
}

void RpRunTable::Prior()
{
    if (IsOpen())
        m_table->Prior();
}

bool RpRunTable::AtEnd() const
{
    return !IsOpen() || m_table->AtEnd();
}

qint64 RpRunTable::RecordCount() const
{
    return IsOpen() ? qint64(m_table->ViewRowCount()) : -1;
}

void RpRunTable::Restore()
{
    if (!m_remembered || !IsOpen() || m_table->CurrentRowNumber() == m_bookmark)
        return;
    // A row that left the view meanwhile cannot be shown again; the table then goes to its first row.
    if (m_bookmark == 0 || !m_table->MoveToRow(m_bookmark))
        m_table->First();
}

RpRunTables::~RpRunTables() = default;

RpRunTable *RpRunTables::find(const QObject *object) const
{
    if (!object)
        return nullptr;
    for (const auto &table : m_tables) {
        if (table->table() == object)
            return table.get();
    }
    return nullptr;
}

RpRunTable *RpRunTables::add(QObject *object)
{
    auto *dataSet = qobject_cast<TDataSet *>(object);
    if (!dataSet)
        return nullptr;
    if (RpRunTable *found = find(dataSet))
        return found;
    m_tables.push_back(std::make_unique<RpRunTable>(dataSet));
    m_dataSets.push_back(m_tables.back()->fields());
    return m_tables.back().get();
}

void RpRunTables::addOwnedBy(QObject *owner)
{
    if (!owner)
        return;
    add(owner);
    for (QObject *child : owner->findChildren<QObject *>())
        add(child);
}

void RpRunTables::RestoreAll()
{
    // Masters first: restoring a master moves the range of its details, which are then put back on their
    // own rows. Each table is tried on its own; a failure leaves the others restored.
    auto restore = [](RpRunTable &table) {
        try {
            table.Restore();
        } catch (const Exception &) {
            // The row cannot be shown again (a detail whose master moved); the table stays where it is.
        }
    };
    for (const bool details : { false, true }) {
        for (const auto &table : m_tables) {
            if (table->table() && (table->table()->masterSource() != nullptr) == details)
                restore(*table);
        }
    }
}
