#include "SurfaceFixture.h"

#include "designer/ClickCatcher.h"
#include "report/elements/DrawItems.h"
#include "report/streaming/StreamObjects.h"
#include "widgets/DialogRecorder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

// A label with the two positioning aids of the designer's element kinds.
class AidedLabel : public TRpLabel
{
    Q_OBJECT
    Q_PROPERTY(bool FixBottomPosition MEMBER fixBottom)
    Q_PROPERTY(bool StretchHeightWithBand MEMBER stretch)

public:
    Q_INVOKABLE explicit AidedLabel(QObject *parent = nullptr)
        : TRpLabel(parent)
    { }
    bool fixBottom = false;
    bool stretch = false;
};

class Surface : public ::testing::Test, public SurfaceFixture
{
protected:
    void SetUp() override
    {
        detail = addBand(Rp::rbDetail, 120, QStringLiteral("DetailBand1"));
        summary = addBand(Rp::rbSummary, 80, QStringLiteral("SummaryBand1"));
    }

    TRpBand *detail = nullptr;
    TRpBand *summary = nullptr;
};

TEST_F(Surface, DraggingSnapsTheElementToTheGrid)
{
    TRpLabel *label = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("L1"));
    input().drag(inside(label), inside(label) + QPoint(7, 0));
    EXPECT_EQ(rectOf(label).left(), 16);
    EXPECT_EQ(rectOf(label).top(), 20);
    EXPECT_EQ(editor.selection(), QList<QObject *> { label });
}

TEST_F(Surface, ShiftSwitchesSnappingOff)
{
    TRpLabel *label = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("L1"));
    editor.Select(label);
    input().drag(inside(label), inside(label) + QPoint(7, 0), Qt::ShiftModifier);
    EXPECT_EQ(rectOf(label).left(), 17);
}

TEST_F(Surface, ADragShorterThanTheDragTimeChangesNothing)
{
    TRpLabel *label = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("L1"));
    input().drag(inside(label), inside(label) + QPoint(20, 8), {}, 100);
    EXPECT_EQ(rectOf(label), QRect(10, 20, 30, 15));
    input().drag(inside(label), inside(label) + QPoint(20, 8), {}, 150);
    EXPECT_NE(rectOf(label), QRect(10, 20, 30, 15));
}

TEST_F(Surface, AltDragOnAnEdgeResizesAboutTheCentre)
{
    TRpLabel *label = addElement(detail, QRect(40, 20, 30, 15), QStringLiteral("L1"));
    editor.Select(label);
    // The right edge middle of the frame (frame 38..72 wide 35, 18..37 high 20).
    const QPoint edge = DesignItems::pageRect(label).topLeft() + QPoint(32, 7);
    input().drag(edge, edge + QPoint(5, 0), Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(rectOf(label), QRect(35, 20, 40, 15));
}

TEST_F(Surface, KeyboardMovesAndSizesWithinTheMinimum)
{
    TRpLabel *label = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("L1"));
    TRpLabel *narrow = addElement(detail, QRect(60, 20, 5, 15), QStringLiteral("L2"));
    editor.Select(label);
    SurfaceDriver::key(mover(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(rectOf(label).width(), 31);
    SurfaceDriver::key(mover(), Qt::Key_Down);
    SurfaceDriver::key(mover(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(rectOf(label).topLeft(), QPoint(9, 21));
    SurfaceDriver::key(mover(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(rectOf(label).left(), 13);
    editor.ClearSelection();
    editor.Select(narrow);
    SurfaceDriver::key(mover(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(rectOf(narrow).width(), 5);
}

TEST_F(Surface, ALockedElementStopsTheWholeMove)
{
    TRpLabel *free = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("L1"));
    TRpLabel *locked = addElement(detail, QRect(60, 20, 30, 15), QStringLiteral("L2"));
    editor.flags[locked] << QStringLiteral("BlockMove");
    editor.SelectList({ free, locked });
    SurfaceDriver::key(mover(), Qt::Key_Right);
    EXPECT_EQ(rectOf(free).left(), 10);
    EXPECT_EQ(rectOf(locked).left(), 60);
    // Sizing is not moving: it passes.
    SurfaceDriver::key(mover(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(rectOf(free).width(), 31);
    editor.flags[free] << QStringLiteral("BlockResize");
    SurfaceDriver::key(mover(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(rectOf(free).width(), 31);
    EXPECT_EQ(rectOf(locked).width(), 31);
}

TEST_F(Surface, GrowingABandKeepsBottomElementsAndStretchesOthers)
{
    auto *fixed = addElement<AidedLabel>(detail, QRect(10, 5, 30, 15), QStringLiteral("L1"));
    fixed->fixBottom = true;
    auto *stretched = addElement<AidedLabel>(detail, QRect(50, 5, 30, 15), QStringLiteral("L2"));
    stretched->stretch = true;
    auto *plain = addElement<AidedLabel>(detail, QRect(90, 5, 30, 15), QStringLiteral("L3"));
    editor.Select(detail);
    editor.mover()->ResizeBy(0, 10);
    EXPECT_EQ(rectOf(detail).height(), 130);
    EXPECT_EQ(rectOf(fixed).top(), 15);
    EXPECT_EQ(rectOf(stretched).height(), 25);
    EXPECT_EQ(rectOf(plain), QRect(90, 5, 30, 15));
    // The band below follows the new height.
    EXPECT_EQ(rectOf(summary).top(), rectOf(detail).top() + 130);
}

TEST_F(Surface, ClickShiftClickAndGroups)
{
    TRpLabel *a = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(100, 20, 30, 15), QStringLiteral("B"));
    TRpLabel *c = addElement(detail, QRect(200, 60, 30, 15), QStringLiteral("C"));
    TRpLabel *other = addElement(summary, QRect(10, 10, 30, 15), QStringLiteral("D"));
    input().click(inside(a));
    EXPECT_EQ(editor.selection(), QList<QObject *> { a });
    input().click(inside(b), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(editor.selection(), (QList<QObject *> { a, b }));
    input().click(inside(a), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(editor.selection(), QList<QObject *> { b });
    // An element of another band starts a new selection.
    input().click(inside(other), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(editor.selection(), QList<QObject *> { other });
    editor.groups[a] = 3;
    editor.groups[c] = 3;
    input().click(inside(c));
    EXPECT_EQ(editor.selection(), (QList<QObject *> { c, a }));
    // A press on the empty page clears the selection.
    input().click(QPoint(5, 5));
    EXPECT_TRUE(editor.selection().isEmpty());
}

TEST_F(Surface, PressingAnUnselectedElementDragsItAtOnce)
{
    TRpLabel *a = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(100, 20, 30, 15), QStringLiteral("B"));
    editor.Select(a);
    input().drag(inside(b), inside(b) + QPoint(0, 16));
    EXPECT_EQ(editor.selection(), QList<QObject *> { b });
    EXPECT_EQ(rectOf(b).top(), 36);
    EXPECT_EQ(rectOf(a).top(), 20);
}

TEST_F(Surface, DoubleClickAsksForTheElementsDialog)
{
    TRpLabel *a = addElement(detail, QRect(10, 20, 30, 15), QStringLiteral("A"));
    QObject *opened = nullptr;
    editor.mover()->OnControlDoubleClicked = [&opened](QObject *item) { opened = item; };
    input().doubleClick(inside(a));
    EXPECT_EQ(opened, a);
    opened = nullptr;
    input().click(inside(a));
    input().click(inside(a));
    EXPECT_EQ(opened, nullptr); // a second press a second later is no double click
}

TEST_F(Surface, RubberBandInsideOneBandSelectsItsElements)
{
    TRpLabel *a = addElement(detail, QRect(100, 50, 30, 15), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(10, 50, 30, 15), QStringLiteral("B"));
    TRpLabel *c = addElement(detail, QRect(10, 10, 30, 15), QStringLiteral("C"));
    addElement(detail, QRect(300, 90, 30, 15), QStringLiteral("Far"));
    const QPoint origin = DesignItems::pageRect(detail).topLeft();
    input().drag(origin + QPoint(5, 5), origin + QPoint(110, 55), Qt::ControlModifier);
    EXPECT_EQ(editor.selection(), (QList<QObject *> { c, b, a }));
}

TEST_F(Surface, RubberBandAcrossTwoBandsSelectsTheBands)
{
    addElement(detail, QRect(10, 110, 30, 5), QStringLiteral("A"));
    const QPoint origin = DesignItems::pageRect(detail).topLeft();
    input().drag(origin + QPoint(5, 100), origin + QPoint(40, 140), Qt::ControlModifier);
    EXPECT_EQ(editor.selection(), (QList<QObject *> { detail, summary }));
}

TEST_F(Surface, TabWalksInReadingOrderAndWraps)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 30, 15), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(100, 10, 30, 15), QStringLiteral("B"));
    TRpLabel *last = addElement(summary, QRect(100, 30, 30, 15), QStringLiteral("Last"));
    editor.Select(a);
    SurfaceDriver::key(mover(), Qt::Key_Tab);
    EXPECT_EQ(editor.selection(), QList<QObject *> { b });
    SurfaceDriver::key(mover(), Qt::Key_Tab);
    EXPECT_EQ(editor.selection(), QList<QObject *> { summary });
    editor.ClearSelection();
    editor.Select(last);
    SurfaceDriver::key(mover(), Qt::Key_Tab);
    EXPECT_EQ(editor.selection(), QList<QObject *> { detail }); // the first in reading order
    SurfaceDriver::key(mover(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor.selection(), QList<QObject *> { last });
    SurfaceDriver::key(mover(), Qt::Key_Escape);
    EXPECT_EQ(editor.selection(), QList<QObject *> { summary });
    SurfaceDriver::key(mover(), Qt::Key_Escape);
    EXPECT_TRUE(editor.selection().isEmpty());
}

TEST_F(Surface, AlignmentFollowsTheFirstElementAndSkipsLockedOnes)
{
    TRpLabel *first = addElement(detail, QRect(40, 10, 40, 15), QStringLiteral("A"));
    TRpLabel *second = addElement(detail, QRect(100, 40, 20, 10), QStringLiteral("B"));
    TRpLabel *locked = addElement(detail, QRect(200, 70, 20, 10), QStringLiteral("C"));
    editor.flags[locked] << QStringLiteral("BlockMove");
    editor.SelectList({ first, second, locked });
    editor.AlignLeft();
    EXPECT_EQ(rectOf(second).left(), 40);
    EXPECT_EQ(rectOf(locked).left(), 200);
    editor.AlignRight();
    EXPECT_EQ(rectOf(second).left(), 60);
    editor.AlignBottom();
    EXPECT_EQ(rectOf(second).top(), 15);
    editor.CenterHorizontally();
    EXPECT_EQ(rectOf(second).left(), 40 + 20 - 10);
    editor.CenterVertically();
    EXPECT_EQ(rectOf(second).top(), 10 + 7 - 5);
    EXPECT_EQ(rectOf(first), QRect(40, 10, 40, 15));
}

TEST_F(Surface, EqualSpacingFollowsTheSelectionOrder)
{
    TRpLabel *a = addElement(detail, QRect(100, 10, 20, 10), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(10, 30, 20, 10), QStringLiteral("B"));
    TRpLabel *c = addElement(detail, QRect(40, 50, 20, 10), QStringLiteral("C"));
    editor.SelectList({ a, b, c });
    editor.EqualSpaceHorizontally();
    EXPECT_EQ(rectOf(a).left(), 10);
    EXPECT_EQ(rectOf(b).left(), 55);
    EXPECT_EQ(rectOf(c).left(), 100);
    editor.EqualSpaceVertically();
    EXPECT_EQ(rectOf(a).top(), 10);
    EXPECT_EQ(rectOf(b).top(), 30);
    EXPECT_EQ(rectOf(c).top(), 50);
}

TEST_F(Surface, EqualSpacingWorksBeyondFiveThousandPixels)
{
    report->setZoom(300);
    TRpLabel *a = addElement(detail, QRect(6000, 10, 20, 10), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(5200, 30, 20, 10), QStringLiteral("B"));
    TRpLabel *c = addElement(detail, QRect(5600, 50, 20, 10), QStringLiteral("C"));
    editor.SelectList({ a, b, c });
    editor.EqualSpaceHorizontally();
    EXPECT_EQ(rectOf(a).left(), 5200);
    EXPECT_EQ(rectOf(b).left(), 5600);
    EXPECT_EQ(rectOf(c).left(), 6000);
}

TEST_F(Surface, CentreOnBandMovesTheSelectionAsABlock)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 20), QStringLiteral("A"));
    editor.Select(a);
    editor.CenterOnBandHorizontally();
    const int bandWidth = rectOf(detail).width();
    EXPECT_EQ(rectOf(a).left(), qRound((bandWidth - 45) / 2.0) + 2);
    editor.CenterOnBandVertically();
    EXPECT_EQ(rectOf(a).top(), 120 / 2 - 25 / 2 + 2);
}

TEST_F(Surface, BringToFrontAndSendToBackChangeThePaintOrder)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 20), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(20, 10, 40, 20), QStringLiteral("B"));
    TRpLabel *c = addElement(detail, QRect(30, 10, 40, 20), QStringLiteral("C"));
    editor.Select(a);
    editor.BringToFront();
    EXPECT_EQ(DesignItems::elementsOn(detail), (QList<TRpPrintable *> { b, c, a }));
    editor.ClearSelection();
    editor.Select(c);
    editor.SendToBack();
    EXPECT_EQ(DesignItems::elementsOn(detail), (QList<TRpPrintable *> { c, b, a }));
    EXPECT_EQ(DesignItems::hitTest(report, inside(c, QPoint(15, 5))), a);
}

TEST_F(Surface, DeletingABandAsksAndHonoursTheLock)
{
    DialogRecorder dialogs;
    addElement(detail, QRect(10, 10, 40, 20), QStringLiteral("A"));
    editor.Select(detail);
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    editor.Delete();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Delete selected band and all elements on it?"));
    EXPECT_EQ(DesignItems::bands(report).size(), 2);
    editor.flags[detail] << QStringLiteral("BlockDelete");
    editor.Delete();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    editor.flags.remove(detail);
    editor.Delete();
    EXPECT_EQ(DesignItems::bands(report), QList<TRpCustomBand *> { summary });
    EXPECT_TRUE(editor.selection().isEmpty());
    EXPECT_TRUE(editor.Modified());
}

TEST_F(Surface, DeletingABandClearsEveryLinkToIt)
{
    DialogRecorder dialogs;
    auto *group = new TRpGroup(report);
    group->setObjectName(QStringLiteral("Group1"));
    auto *sub = new TRpSubDetail(report);
    sub->setObjectName(QStringLiteral("SubDetail1"));
    auto *child = new TRpChildBand(report);
    child->setObjectName(QStringLiteral("Child1"));
    auto *expr = addElement<TRpExpr>(summary, QRect(10, 10, 40, 20), QStringLiteral("Expr1"));
    auto *footer = addBand(Rp::rbGroupFooter, 30, QStringLiteral("Footer1"));
    ASSERT_TRUE(sub->setMaster(report));
    sub->setHeaderBand(detail);
    group->setFooterBand(footer);
    ASSERT_TRUE(group->setMaster(sub));
    ASSERT_TRUE(child->setParentBand(sub));
    ASSERT_TRUE(summary->setLinkBand(sub));
    ASSERT_TRUE(expr->setMaster(sub));
    editor.SelectList({ sub });
    editor.Delete();
    EXPECT_EQ(group->master(), nullptr);
    EXPECT_EQ(child->parentBand(), nullptr);
    EXPECT_EQ(summary->linkBand(), nullptr);
    EXPECT_EQ(expr->master(), nullptr);
    editor.Select(detail);
    editor.Delete();
    editor.Select(footer);
    editor.Delete();
    EXPECT_EQ(group->footerBand(), nullptr);
    const QByteArray text = writeComponentText(report);
    EXPECT_FALSE(text.contains("SubDetail1"));
    EXPECT_FALSE(text.contains("Footer1"));
    EXPECT_FALSE(text.contains("DetailBand1"));
}

TEST_F(Surface, CopyAndPasteOfElementsIntoTheSelectedBand)
{
    TRpLabel *a = addElement(detail, QRect(10, 100, 40, 15), QStringLiteral("A"));
    a->setCaption(QStringLiteral("Total"));
    editor.Select(a);
    editor.Copy();
    EXPECT_TRUE(editor.pasteEnabled());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QLatin1String("object A: TRpLabel")));
    editor.ClearSelection();
    editor.Select(summary);
    editor.Paste();
    ASSERT_EQ(DesignItems::elementsOn(summary).size(), 1);
    auto *pasted = qobject_cast<TRpLabel *>(DesignItems::elementsOn(summary).first());
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->caption(), QStringLiteral("Total"));
    // Its name was taken: it has none. It lay below the band's height: it moved up.
    EXPECT_TRUE(pasted->objectName().isEmpty());
    EXPECT_EQ(rectOf(pasted).top(), 80 - 15);
    EXPECT_EQ(editor.selection(), QList<QObject *> { pasted });
}

TEST_F(Surface, PasteRefusesKindsThatHaveNoPlaceThere)
{
    DialogRecorder dialogs;
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 15), QStringLiteral("A"));
    TRpReport other;
    other.setObjectName(QStringLiteral("Other"));
    QGuiApplication::clipboard()->setText(QString::fromLatin1(writeComponentText(&other)));
    editor.Select(a);
    editor.Paste();
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors().first().contains(QLatin1String("TRpReport")));
    EXPECT_EQ(DesignItems::elementsOn(detail).size(), 1);
    // An element with nowhere to go but the page is refused as well.
    editor.Select(a);
    editor.Copy();
    editor.ClearSelection();
    editor.Paste();
    EXPECT_EQ(dialogs.errors().size(), 2);
    EXPECT_TRUE(DesignItems::elementsOn(report).isEmpty());
    // A broken block is reported with the reading error.
    QGuiApplication::clipboard()->setText(QStringLiteral("object X: TRpLabel\r\n  Caption = 'open"));
    editor.Select(a);
    editor.Paste();
    EXPECT_EQ(dialogs.errors().size(), 3);
}

TEST_F(Surface, PastedBandsGoOnTheReport)
{
    addElement(detail, QRect(10, 10, 40, 15), QStringLiteral("A"));
    editor.Select(detail);
    editor.Copy();
    editor.Paste();
    const QList<TRpCustomBand *> list = DesignItems::bands(report);
    ASSERT_EQ(list.size(), 3);
    const QList<QObject *> selected = editor.selection();
    ASSERT_EQ(selected.size(), 1);
    auto *copy = qobject_cast<TRpBand *>(selected.first());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->parent(), report);
    ASSERT_EQ(DesignItems::elementsOn(copy).size(), 1);
    EXPECT_NE(DesignItems::elementsOn(copy).first()->objectName(), QStringLiteral("A"));
}

TEST_F(Surface, CutIsCopyAndDelete)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 15), QStringLiteral("A"));
    editor.Select(a);
    editor.Cut();
    EXPECT_TRUE(DesignItems::elementsOn(detail).isEmpty());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QLatin1String("TRpLabel")));
}

TEST_F(Surface, UngroupLeavesTheOtherMembers)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 15), QStringLiteral("A"));
    TRpLabel *b = addElement(detail, QRect(60, 10, 40, 15), QStringLiteral("B"));
    editor.SelectList({ a, b });
    editor.Group();
    EXPECT_EQ(editor.groups.value(a), 1);
    EXPECT_EQ(editor.groups.value(b), 1);
    editor.Ungroup(a);
    EXPECT_EQ(editor.groups.value(a), 0);
    EXPECT_EQ(editor.selection(), QList<QObject *> { b });
    editor.Group();
    EXPECT_EQ(editor.groups.value(b), 2);
    editor.UngroupAll();
    EXPECT_TRUE(editor.groups.isEmpty());
    EXPECT_TRUE(editor.selection().isEmpty());
}

TEST_F(Surface, HitTestReachesTwoPixelsAroundAnElement)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 15), QStringLiteral("A"));
    const QRect page = DesignItems::pageRect(a);
    EXPECT_EQ(DesignItems::hitTest(report, page.topLeft() - QPoint(2, 2)), a);
    EXPECT_EQ(DesignItems::hitTest(report, page.topLeft() - QPoint(3, 0)), detail);
    EXPECT_EQ(DesignItems::hitTest(report, QPoint(1, 1)), report);
    EXPECT_EQ(DesignItems::hitTest(report, QPoint(-5, 1)), nullptr);
}

TEST_F(Surface, DestroyingASelectedElementLeavesTheSelection)
{
    TRpLabel *a = addElement(detail, QRect(10, 10, 40, 15), QStringLiteral("A"));
    editor.Select(a);
    std::unique_ptr<TRpLabel> gone(a);
    gone.reset();
    EXPECT_TRUE(editor.selection().isEmpty());
    EXPECT_FALSE(editor.mover()->isVisible());
}

} // namespace

#include "SurfaceTest.moc"
