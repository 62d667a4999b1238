#include "forms/TableSaver.h"

#include "forms/Datamod.h"
#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QWidget>

namespace {

QWidget *errorParent()
{
    return QApplication::activeWindow();
}

} // namespace

TableSaver::TableSaver(TDataModule1 &module, QObject *parent)
    : QObject(parent)
    , m_module(module)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { saveNow(); });
    for (TMemTable *table : m_module.tables())
        hook(*table);
}

TableSaver::~TableSaver()
{
    for (TMemTable *table : m_module.tables()) {
        table->AfterPost = nullptr;
        table->AfterDelete = nullptr;
    }
}

void TableSaver::hook(TDataSet &table)
{
    // Chained, so a handler set before keeps running.
    for (TDataSet::Event *event : { &table.AfterPost, &table.AfterDelete }) {
        *event = [this, previous = *event](TDataSet &dataSet) {
            scheduleSave();
            if (previous)
                previous(dataSet);
        };
    }
}

void TableSaver::scheduleSave()
{
    m_timer.start();
}

bool TableSaver::saveNow()
{
    m_timer.stop();
    const auto tables = m_module.tables();
    return Dialogs::guarded(errorParent(), [&] {
        TCustomMemTable::SaveChangesTogether(std::vector<TCustomMemTable *>(tables.begin(), tables.end()));
    });
}

bool TableSaver::finishAndSave(QWidget *parent)
{
    for (TMemTable *table : m_module.tables()) {
        if (table->Active())
            finishPendingRow(parent, *table);
    }
    m_timer.stop();
    const auto tables = m_module.tables();
    return Dialogs::guarded(errorParent(), [&] {
        TCustomMemTable::FoldChangesTogether(std::vector<TCustomMemTable *>(tables.begin(), tables.end()));
    });
}

bool finishPendingRow(QWidget *parent, TDataSet &table)
{
    if (table.State() != dsInsert && table.State() != dsEdit)
        return true;
    const bool finished = Dialogs::guarded(parent, [&] {
        // Text still in a control counts as a change of the row.
        table.UpdateRecord();
        if (table.RowChanged())
            table.Post();
        else
            table.Cancel();
    });
    if (!finished && (table.State() == dsInsert || table.State() == dsEdit)) {
        try {
            table.Cancel();
        } catch (const Exception &) {
            // The post's error is already shown; a cancel that fails as well leaves nothing more to tell.
        }
    }
    return finished;
}
