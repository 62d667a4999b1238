#pragma once

#include "report/expressions/EvaluatorTable.h"
#include "store/DataSet.h"

#include <QPointer>
#include <QtGlobal>
#include <memory>
#include <vector>

class QObject;

// A table a report run reads: the cursor moves the data loops make on it, and its fields as report
// expressions see them. The row the table is on when the run finds it is remembered; Restore puts it back
// there, so that a report never moves the finance windows' current row (also that of a detail table whose
// master the run walked).
class RpRunTable
{
public:
    explicit RpRunTable(TDataSet *table);

    TDataSet *table() const { return m_table; }
    IRpEvDataSet *fields() { return &m_fields; }
    bool IsOpen() const;
    void First();
    void Next();
    void Prior();
    bool AtEnd() const;
    // Rows in the table's view; −1 when the table is closed.
    qint64 RecordCount() const;
    // Back to the remembered row (by the row's number, which survives moves and reordering).
    void Restore();

private:
    QPointer<TDataSet> m_table;
    RpEvTableDataSet m_fields;
    int m_bookmark = 0;
    bool m_remembered = false;
};

// Every table of a run, once each, in the order they were found; the expression evaluator's table list
// follows the same order.
class RpRunTables
{
public:
    RpRunTables() = default;
    RpRunTables(const RpRunTables &) = delete;
    RpRunTables &operator=(const RpRunTables &) = delete;
    ~RpRunTables();

    // The run's table for an object that is a table; null for anything else (a stand-in, none).
    RpRunTable *find(const QObject *object) const;
    // Adds the object when it is a table not listed yet; returns its run table or null.
    RpRunTable *add(QObject *object);
    // Adds the tables owned by `owner` and by its children, recursively.
    void addOwnedBy(QObject *owner);

    const std::vector<IRpEvDataSet *> &dataSets() const { return m_dataSets; }
    // Every table back on its row: masters first, so that a detail table restores within the range its
    // master gives it.
    void RestoreAll();

private:
    std::vector<std::unique_ptr<RpRunTable>> m_tables;
    std::vector<IRpEvDataSet *> m_dataSets;
};
