#include "designer/DesignGeometry.h"

#include <gtest/gtest.h>

using namespace DesignGeometry;

namespace {

// An element at left 10 (frame left 8) dragged by `dx` with grid 4: where the frame's left edge ends.
struct MoveCase
{
    int frameLeft;
    int distance;
    bool snapping;
    int expectedFrameLeft;
};

class DragMove : public ::testing::TestWithParam<MoveCase>
{
};

TEST_P(DragMove, SnapsTheElementEdgeToTheGrid)
{
    const MoveCase c = GetParam();
    DragRules rules;
    rules.snapping = c.snapping;
    const QRect moved
        = draggedFrame(QRect(c.frameLeft, 8, 35, 25), Handle::None, QPoint(c.distance, 0), rules);
    EXPECT_EQ(moved.left(), c.expectedFrameLeft);
    EXPECT_EQ(moved.size(), QSize(35, 25));
}

INSTANTIATE_TEST_SUITE_P(Grid4, DragMove,
    ::testing::Values(MoveCase { 8, 7, true, 14 }, // element 10 → 16
        MoveCase { 8, 7, false, 15 }, // Shift: element 10 → 17
        MoveCase { 8, 0, true, 6 }, // snapping pulls back onto the grid
        MoveCase { 8, -9, true, 2 }, // snap(-3) drops toward zero
        MoveCase { 18, 1, true, 18 }));

TEST(DragResize, WidthSnapsWithTheFrameMargin)
{
    DragRules rules;
    // Element 30 wide: frame 35. Dragging the right edge 6 further: snap(35 + 6 + 3) − 3 = 41.
    const QRect r = draggedFrame(QRect(8, 8, 35, 25), Handle::Right, QPoint(6, 0), rules);
    EXPECT_EQ(r, QRect(8, 8, 41, 25));
}

TEST(DragResize, LeftHandleKeepsTheRightEdge)
{
    DragRules rules;
    const QRect r = draggedFrame(QRect(8, 8, 35, 25), Handle::Left, QPoint(-5, 0), rules);
    EXPECT_EQ(r.left(), 2);
    EXPECT_EQ(r.right(), QRect(8, 8, 35, 25).right());
}

TEST(DragResize, AltResizesAboutTheCentre)
{
    DragRules rules;
    rules.snapping = false;
    rules.symmetric = true;
    const QRect frame(20, 20, 40, 30);
    const QRect r = draggedFrame(frame, Handle::Right, QPoint(5, 0), rules);
    EXPECT_EQ(r, QRect(15, 20, 50, 30));
    const QRect b = draggedFrame(frame, Handle::Top, QPoint(0, 4), rules);
    EXPECT_EQ(b, QRect(20, 24, 40, 22));
}

TEST(DragResize, ShiftOnTheBottomRightCornerKeepsTheProportion)
{
    DragRules rules;
    rules.snapping = false;
    rules.proportion = QSize(40, 20);
    const QRect r = draggedFrame(QRect(0, 0, 45, 25), Handle::BottomRight, QPoint(40, 3), rules);
    EXPECT_EQ(r.width(), 85);
    EXPECT_EQ(r.height(), 40 + 5);
}

TEST(DragResize, NeverBelowTheMinimumSize)
{
    DragRules rules;
    rules.minWidth = 10;
    rules.minHeight = 12;
    const QRect r = draggedFrame(QRect(0, 0, 20, 20), Handle::BottomRight, QPoint(-50, -50), rules);
    EXPECT_EQ(r.size(), QSize(10, 12));
    const QRect l = draggedFrame(QRect(0, 0, 20, 20), Handle::TopLeft, QPoint(40, 40), rules);
    EXPECT_EQ(l.size(), QSize(10, 12));
    EXPECT_EQ(l.right(), 19);
}

struct HandleCase
{
    QPoint point;
    Handle expected;
};

class Handles : public ::testing::TestWithParam<HandleCase>
{
};

TEST_P(Handles, AreFoundNearCornersAndEdgeMiddles)
{
    EXPECT_EQ(handleAt(GetParam().point, QSize(100, 60)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Frame100x60, Handles,
    ::testing::Values(HandleCase { { 0, 0 }, Handle::TopLeft }, HandleCase { { 4, 4 }, Handle::TopLeft },
        HandleCase { { 99, 0 }, Handle::TopRight }, HandleCase { { 2, 58 }, Handle::BottomLeft },
        HandleCase { { 97, 57 }, Handle::BottomRight }, HandleCase { { 50, 2 }, Handle::Top },
        HandleCase { { 55, 2 }, Handle::Top }, HandleCase { { 56, 2 }, Handle::None },
        HandleCase { { 1, 30 }, Handle::Left }, HandleCase { { 98, 32 }, Handle::Right },
        HandleCase { { 45, 59 }, Handle::Bottom }, HandleCase { { 50, 30 }, Handle::None },
        HandleCase { { 5, 30 }, Handle::None }));

TEST(Zoom, HalvesDownToTwelveAndStays)
{
    int zoom = 100;
    QList<int> steps;
    for (int i = 0; i < 5; ++i)
        steps << (zoom = zoomDecreased(zoom));
    EXPECT_EQ(steps, (QList<int> { 50, 25, 12, 12, 12 }));
}

TEST(Zoom, DoublesUpToThreeHundred)
{
    int zoom = 12;
    QList<int> steps;
    for (int i = 0; i < 6; ++i)
        steps << (zoom = zoomIncreased(zoom));
    EXPECT_EQ(steps, (QList<int> { 24, 48, 96, 192, 300, 300 }));
    EXPECT_EQ(zoomDecreased(27), 14);
    EXPECT_EQ(zoomIncreased(5), 5); // 10 is refused
}

TEST(Palette, GoesToTheTopWhenTheWindowIsTooLow)
{
    EXPECT_TRUE(paletteAtTop(16, false, 500, 2000)); // 20 + 29 × 16 + 120 = 604
    EXPECT_FALSE(paletteAtTop(16, false, 604, 300));
    EXPECT_TRUE(paletteAtTop(16, true, 2000, 603));
    EXPECT_EQ(paletteButtonPosition(2, true), QPoint(66, 6));
    EXPECT_EQ(paletteButtonPosition(2, false), QPoint(6, 64));
}

TEST(EqualSpacing, FollowsTheSelectionOrder)
{
    EXPECT_EQ(equalSpacing({ 100, 10, 40 }), (QList<int> { 10, 55, 100 }));
    EXPECT_EQ(equalSpacing({ 10, 20 }), (QList<int> { 10, 20 }));
}

TEST(EqualSpacing, HandlesEdgesBeyondAnyFixedBound)
{
    // Wide paper at zoom 300 puts edges far past the old starting bounds of 5000 and −5000.
    EXPECT_EQ(equalSpacing({ 9000, 6000, 7000 }), (QList<int> { 6000, 7500, 9000 }));
    EXPECT_EQ(equalSpacing({ -6000, -9000, -8000 }), (QList<int> { -9000, -7500, -6000 }));
}

TEST(ReadingOrder, TabWrapsAroundBothWays)
{
    const QList<QPoint> points { { 50, 10 }, { 10, 10 }, { 0, 40 }, { 30, 40 } };
    EXPECT_EQ(nextInReadingOrder(points, { 10, 10 }, true), 0);
    EXPECT_EQ(nextInReadingOrder(points, { 50, 10 }, true), 2);
    EXPECT_EQ(nextInReadingOrder(points, { 30, 40 }, true), 1); // the last wraps to the first
    EXPECT_EQ(nextInReadingOrder(points, { 10, 10 }, false), 3); // the first wraps to the last
    EXPECT_EQ(nextInReadingOrder(points, { 0, 40 }, false), 0);
    EXPECT_EQ(nextInReadingOrder({}, { 0, 0 }, true), -1);
}

TEST(Snap, DropsTheRemainderTowardZero)
{
    EXPECT_EQ(snap(13, 4), 12);
    EXPECT_EQ(snap(-3, 4), 0);
    EXPECT_EQ(snap(13, 0), 13);
}

} // namespace
