#pragma once

#include <QObject>
#include <QTimer>

class QWidget;
class TDataModule1;
class TDataSet;

// Keeps the saved data up to date while the program runs. Every post or delete of one of the four finance
// tables marks it changed (the store counts its changes) and arms a zero-time timer, so when control returns
// to the event loop after the user's action, the changes of all changed tables are saved together as one
// record of the change journal — both halves of a transfer, or a row and its account's balance, reach the
// disk in one step, at a cost that does not grow with the tables. A save that fails is shown in the error
// box; the tables stay changed and are saved again after the next action and at the end. At the end the
// journal is folded into the table files.
class TableSaver : public QObject
{
    Q_OBJECT

public:
    explicit TableSaver(TDataModule1 &module, QObject *parent = nullptr);
    ~TableSaver() override;

    // Asks for a write as soon as the event loop runs again.
    void scheduleSave();
    bool savePending() const { return m_timer.isActive(); }
    // Writes every changed table now. On failure shows the error box and returns false.
    bool saveNow();
    // The final close: finishes the pending rows of the four tables, saves, and folds the journal into the
    // table files.
    bool finishAndSave(QWidget *parent);

private:
    void hook(TDataSet &table);

    TDataModule1 &m_module;
    QTimer m_timer;
};

// Finishes a table's pending row when a window closes: a changed row is posted (on failure the error box is
// shown and the row is cancelled), an unchanged one is cancelled. Returns false when the post failed.
bool finishPendingRow(QWidget *parent, TDataSet &table);
