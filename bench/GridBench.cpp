// A data grid bound to tables of 10, 10 000 and 1 000 000 rows: opening it, moving to the last row and paging
// through, per step and in total. The grid reads only its window of rows, so a step should cost the same at
// every size.
#include "store/DataSource.h"
#include "store/MemTable.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <cstdio>

namespace {

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void fill(TMemTable &table, int rows)
{
    table.FieldDefs().Add(QStringLiteral("Num"), ftAutoInc, 0, faReadonly);
    table.FieldDefs().Add(QStringLiteral("Name"), ftString, 50);
    table.FieldDefs().Add(QStringLiteral("Amount"), ftCurrency);
    table.FieldDefs().Add(QStringLiteral("Day"), ftDateTime);
    table.CreateEmpty();
    TField *name = table.FieldNamed(QStringLiteral("Name"));
    TField *amount = table.FieldNamed(QStringLiteral("Amount"));
    TField *day = table.FieldNamed(QStringLiteral("Day"));
    for (int i = 0; i < rows; ++i) {
        table.AppendRow();
        name->setAsString(QStringLiteral("Row %1").arg(i));
        amount->setAsNumber(i * 1.25);
        day->setAsDateTime(45000 + i % 3000);
        table.Post();
    }
    table.First();
}

void press(TDBGrid &grid, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    grid.handleKey(&event);
}

// Renders the grid as a screen would, so each step includes reading the shown cells.
void paint(TDBGrid &grid)
{
    grid.grab();
}

void run(int rows)
{
    TMemTable table;
    fill(table, rows);
    TDataSource source;
    source.setDataSet(&table);

    QElapsedTimer timer;
    timer.start();
    TDBGrid grid;
    grid.resize(600, 400);
    grid.setDataSource(&source);
    paint(grid);
    const double open = msSince(timer);

    timer.restart();
    press(grid, Qt::Key_End, Qt::ControlModifier);
    paint(grid);
    const double last = msSince(timer);

    press(grid, Qt::Key_Home, Qt::ControlModifier);
    const int pages = 200;
    timer.restart();
    for (int i = 0; i < pages; ++i) {
        press(grid, Qt::Key_PageDown);
        paint(grid);
    }
    const double paging = msSince(timer);

    std::printf("grid_open_%d_rows: %.2f ms\n", rows, open);
    std::printf("grid_last_%d_rows: %.2f ms\n", rows, last);
    std::printf("grid_page_down_%d_rows: %.3f ms per step (%d steps, %.1f ms total)\n", rows, paging / pages, pages,
                paging);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int rows : {10, 10000, 1000000})
        run(rows);
    return 0;
}
