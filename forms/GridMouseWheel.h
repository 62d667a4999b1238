#pragma once

class QPoint;
class TDBGrid;

// The grid wheel handler shared by the finance windows' data grids. Attach it once, in the window's creation:
//
//     attachGridMouseWheel(DBGrid1);
//
// Each wheel event then moves the grid's table by the desktop's wheel-scroll-lines setting (backwards for
// a wheel turned away from the user), whatever the size of the turn, and repaints the grid; the grid's own
// wheel step happens in addition. A table that is not open is skipped; errors show in the error box.

// The handler itself: `wheelDelta` is the wheel distance (positive away from the user).
void GridMouseWheelHandler(TDBGrid &grid, int wheelDelta);

// Installs the handler on the grid (and its viewport, which receives the wheel events).
void attachGridMouseWheel(TDBGrid *grid);

// The desktop's wheel-scroll-lines setting.
int GetWheelScrollLines();
