#include "designer/DesignGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace DesignGeometry {

namespace {

constexpr int kHandleReach = 5;
constexpr int kMiddleReach = 6;
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 300;

// An edge position snapped with the frame's margin: the element edge lies `margin` pixels inside the frame.
int snapEdge(int value, int grid, int margin, bool snapping)
{
    return snapping ? snap(value - margin, grid) + margin : value;
}

int snapExtent(int value, int grid, bool snapping)
{
    return snapping ? snap(value + 3, grid) - 3 : value;
}

bool movesLeft(Handle h)
{
    return h == Handle::TopLeft || h == Handle::BottomLeft || h == Handle::Left;
}

bool movesRight(Handle h)
{
    return h == Handle::TopRight || h == Handle::BottomRight || h == Handle::Right;
}

bool movesTop(Handle h)
{
    return h == Handle::TopLeft || h == Handle::TopRight || h == Handle::Top;
}

bool movesBottom(Handle h)
{
    return h == Handle::BottomLeft || h == Handle::BottomRight || h == Handle::Bottom;
}

qint64 compare(QPoint a, QPoint b)
{
    if (a.y() != b.y())
        return a.y() < b.y() ? -1 : 1;
    if (a.x() != b.x())
        return a.x() < b.x() ? -1 : 1;
    return 0;
}

} // namespace

int snap(int value, int grid)
{
    if (grid < 1)
        return value;
    return grid * (value / grid);
}

Handle handleAt(QPoint point, QSize size)
{
    const bool nearLeft = point.x() < kHandleReach;
    const bool nearRight = point.x() >= size.width() - kHandleReach;
    const bool nearTop = point.y() < kHandleReach;
    const bool nearBottom = point.y() >= size.height() - kHandleReach;
    if (nearLeft && nearTop)
        return Handle::TopLeft;
    if (nearRight && nearTop)
        return Handle::TopRight;
    if (nearLeft && nearBottom)
        return Handle::BottomLeft;
    if (nearRight && nearBottom)
        return Handle::BottomRight;
    const bool middleX = std::abs(point.x() - size.width() / 2) < kMiddleReach;
    const bool middleY = std::abs(point.y() - size.height() / 2) < kMiddleReach;
    if (nearTop && middleX)
        return Handle::Top;
    if (nearBottom && middleX)
        return Handle::Bottom;
    if (nearLeft && middleY)
        return Handle::Left;
    if (nearRight && middleY)
        return Handle::Right;
    return Handle::None;
}

QRect draggedFrame(const QRect &frame, Handle handle, QPoint distance, const DragRules &rules)
{
    int left = frame.left();
    int top = frame.top();
    int width = frame.width();
    int height = frame.height();
    const bool snapping = rules.snapping;
    if (handle == Handle::None) {
        left = snapEdge(frame.left() + distance.x(), rules.gridX, 2, snapping);
        top = snapEdge(frame.top() + distance.y(), rules.gridY, 2, snapping);
        return QRect(left, top, width, height);
    }
    if (movesLeft(handle)) {
        left = snapEdge(frame.left() + distance.x(), rules.gridX, 2, snapping);
        width = frame.width() + frame.left() - left;
        if (rules.symmetric)
            width -= left - frame.left();
    } else if (movesRight(handle)) {
        width = snapExtent(frame.width() + distance.x(), rules.gridX, snapping);
        if (rules.symmetric) {
            left -= width - frame.width();
            width += width - frame.width();
        }
    }
    if (movesTop(handle)) {
        top = snapEdge(frame.top() + distance.y(), rules.gridY, 2, snapping);
        height = frame.height() + frame.top() - top;
        if (rules.symmetric)
            height -= top - frame.top();
    } else if (movesBottom(handle)) {
        height = snapExtent(frame.height() + distance.y(), rules.gridY, snapping);
        if (rules.symmetric) {
            top -= height - frame.height();
            height += height - frame.height();
        }
    }
    if (handle == Handle::BottomRight && !rules.proportion.isEmpty()) {
        // The element inside the frame keeps its proportion; its height follows its width.
        const qint64 elementWidth = std::max(0, width - 5);
        height = int(elementWidth * rules.proportion.height() / rules.proportion.width()) + 5;
    }
    if (width < rules.minWidth) {
        if (movesLeft(handle))
            left -= rules.minWidth - width;
        width = rules.minWidth;
    }
    if (height < rules.minHeight) {
        if (movesTop(handle))
            top -= rules.minHeight - height;
        height = rules.minHeight;
    }
    return QRect(left, top, width, height);
}

QRect frameAround(const QRect &bounds)
{
    return QRect(bounds.left() - 2, bounds.top() - 2, bounds.width() + 5, bounds.height() + 5);
}

int zoomIncreased(int zoom)
{
    const int doubled = std::min(zoom * 2, kMaxZoom);
    return doubled <= kMinZoom ? zoom : doubled;
}

int zoomDecreased(int zoom)
{
    // Halving rounds a half to the even neighbour: 25 gives 12, 27 gives 14.
    const int halved = (zoom % 2 == 0) ? zoom / 2 : (zoom / 2) % 2 == 0 ? zoom / 2 : zoom / 2 + 1;
    return halved <= kMinZoom ? zoom : std::min(halved, kMaxZoom);
}

bool paletteAtTop(int visibleButtons, bool maximised, int windowHeight, int screenHeight)
{
    const int needed = 20 + 29 * visibleButtons + 120;
    return maximised ? screenHeight < needed : windowHeight < needed;
}

QPoint paletteButtonPosition(int index, bool atTop)
{
    return atTop ? QPoint(8 + 29 * index, 6) : QPoint(6, 8 + 28 * index);
}

QList<int> equalSpacing(const QList<int> &edges)
{
    if (edges.size() < 3)
        return edges;
    int smallest = edges.first();
    int largest = edges.first();
    for (int edge : edges) {
        smallest = std::min(smallest, edge);
        largest = std::max(largest, edge);
    }
    const qint64 step = (qint64(largest) - smallest) / (edges.size() - 1);
    QList<int> result;
    for (qsizetype i = 0; i < edges.size(); ++i)
        result << int(smallest + step * i);
    return result;
}

int nextInReadingOrder(const QList<QPoint> &candidates, QPoint current, bool forward)
{
    int best = -1;
    int wrap = -1;
    for (int i = 0; i < candidates.size(); ++i) {
        const QPoint p = candidates.at(i);
        const qint64 order = compare(p, current);
        if (forward) {
            if (order > 0 && (best < 0 || compare(p, candidates.at(best)) < 0))
                best = i;
            if (wrap < 0 || compare(p, candidates.at(wrap)) < 0)
                wrap = i;
        } else {
            if (order < 0 && (best < 0 || compare(p, candidates.at(best)) > 0))
                best = i;
            if (wrap < 0 || compare(p, candidates.at(wrap)) > 0)
                wrap = i;
        }
    }
    return best >= 0 ? best : wrap;
}

} // namespace DesignGeometry
