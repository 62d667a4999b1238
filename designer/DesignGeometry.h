#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// The arithmetic of the design surface, kept apart from the widgets so that each rule can be checked alone:
// grid snapping, the handles of a selection frame, the rectangle a drag makes, zoom steps, the palette's
// place, the equal spacing of a selection and the reading order of the Tab key. All values are pixels of the
// design view.
namespace DesignGeometry {

// The handles of a single selection, numbered as the cursor table numbers them; None is the inside.
enum class Handle { None = 0, TopLeft, TopRight, BottomLeft, BottomRight, Top, Left, Bottom, Right };

// grid × (value div grid), the remainder dropped toward zero. A grid below 1 leaves the value alone.
int snap(int value, int grid);

// The handle under `point` of a frame of `size` (point relative to the frame's top left corner): a corner
// within 5 pixels of both its edges, an edge middle within 5 pixels of the edge and less than 6 from its
// middle.
Handle handleAt(QPoint point, QSize size);

struct DragRules
{
    int gridX = 4;
    int gridY = 4;
    bool snapping = true; // Shift switches it off
    bool symmetric = false; // Alt: each moved edge moves the opposite one by the same amount
    // Shift on the bottom-right corner: the new size keeps this width to height proportion (of the first
    // selected element); an empty size keeps none.
    QSize proportion;
    int minWidth = 5;
    int minHeight = 5;
};

// The frame rectangle after the pointer moved by `distance` while dragging `handle`. Moved edges snap to the
// grid with the frame's 2-pixel (left, top) and 3-pixel (right, bottom) margins taken into account, and the
// result is never smaller than the minimum size.
QRect draggedFrame(const QRect &frame, Handle handle, QPoint distance, const DragRules &rules);

// The frame around elements: their bounding rectangle enlarged by 2 pixels at the left and top and 3 at the
// right and bottom.
QRect frameAround(const QRect &bounds);

// Zoom steps: doubling (capped at 300) and halving (a half rounds to the even neighbour). A result of 10 or
// less is refused: the zoom stays.
int zoomIncreased(int zoom);
int zoomDecreased(int zoom);

// True when the element palette goes above the design area rather than at its left.
bool paletteAtTop(int visibleButtons, bool maximised, int windowHeight, int screenHeight);
// The palette button positions for both places.
QPoint paletteButtonPosition(int index, bool atTop);

// Equal spacing of edges given in selection order: the first and the last position the smallest and largest
// edge (starting from the first edge), the others follow at equal steps in selection order.
QList<int> equalSpacing(const QList<int> &edges);

// The index of the candidate that Tab (forward) or Shift+Tab (backward) selects after `current`: positions
// compare top first, then left; the order wraps around. -1 for no candidates.
int nextInReadingOrder(const QList<QPoint> &candidates, QPoint current, bool forward);

} // namespace DesignGeometry
