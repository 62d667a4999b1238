#include "forms/GridMouseWheel.h"

#include "store/DataSet.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QWheelEvent>

namespace {

// Runs the handler before the grid's own wheel step and lets the event through.
class WheelFilter : public QObject
{
public:
    WheelFilter(TDBGrid *grid)
        : QObject(grid)
        , m_grid(grid)
    { }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel)
            GridMouseWheelHandler(*m_grid, static_cast<QWheelEvent *>(event)->angleDelta().y());
        return false;
    }

private:
    TDBGrid *m_grid;
};

} // namespace

int GetWheelScrollLines()
{
    return QApplication::wheelScrollLines();
}

void GridMouseWheelHandler(TDBGrid &grid, int wheelDelta)
{
    if (wheelDelta == 0)
        return;
    Dialogs::guarded(grid.window(), [&] {
        const int lines = GetWheelScrollLines();
        TDataSource *source = grid.DataSource();
        TDataSet *dataSet = source ? source->DataSet() : nullptr;
        if (dataSet && dataSet->Active())
            dataSet->MoveRows(wheelDelta > 0 ? -lines : lines);
    });
    grid.viewport()->update();
    grid.update();
}

void attachGridMouseWheel(TDBGrid *grid)
{
    auto *filter = new WheelFilter(grid);
    grid->viewport()->installEventFilter(filter);
}
