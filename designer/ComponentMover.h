#pragma once

#include "designer/DesignGeometry.h"
#include "platform/Colors.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "report/model/Report.h"

// The selection frame of the design surface: a transparent control laid over the selected bands or elements
// of one parent (a band, or the report). It holds the selection in the order it was made (the first entry
// is the reference of the alignment commands), draws the handles, and moves and sizes the selection by
// mouse and keyboard with grid snapping, minimum sizes and the elements' locks.
//
// It lives on the page widget of the design view; its own rectangle is the frame around the selection,
// 2 pixels outside the elements at the left and top and 3 at the right and bottom.
class TRuntimeComponentMover : public QWidget
{
    Q_OBJECT

public:
    explicit TRuntimeComponentMover(QWidget *page);
    ~TRuntimeComponentMover() override;

    void setReport(TCustomRpReport *report);
    TCustomRpReport *report() const { return m_report; }

    int DragCursor = -12;
    // Milliseconds a mouse drag must last for its result to be applied.
    quint16 DragMinTime = 150;
    TColor Color = 0;
    TColor SecondaryColor = 8421504;
    // Set while a change is refused because of a lock.
    bool Locked = false;
    // Pass presses on to the element under the pointer (while inserting).
    bool ForwardMouseEvents = false;
    int GridSizeX = 5;
    int GridSizeY = 5;
    int KeyboardMoveX = 5;
    int KeyboardMoveY = 5;
    int MinElementWidth = 10;
    int MinElementHeight = 10;

    // The selection.
    QList<QObject *> selection() const;
    int count() const { return int(selection().size()); }
    QObject *first() const;
    bool isSelected(const QObject *item) const;
    // The parent of the selected items: a band or the report; null while nothing is selected.
    QObject *parentItem() const { return m_parent; }
    // Adds one band or element (and the other members of its group); a selection with another parent is
    // cleared first. Raises OnSelectionChanged once.
    void Add(QObject *item);
    // Selects the items in this order, after clearing.
    void SelectList(const QList<QObject *> &items);
    void Remove(QObject *item);
    void Clear();

    // The frame in its parent's coordinates, and on the page.
    QRect frameRect() const { return m_frame; }
    QRect framePageRect() const;
    // Recomputes the frame from the selected items and places the control over them.
    void UpdateFrame();

    // Applies a new frame rectangle: refused as a whole (false) when a selected item would move and has
    // "BlockMove" or change size and has "BlockResize".
    bool ApplyFrameRect(const QRect &frame);
    // The keyboard steps: move by (dx, dy), or change the size by (dw, dh); no snapping.
    bool MoveBy(int dx, int dy);
    bool ResizeBy(int dw, int dh);

    // A press passed on by the click catcher: the frame handles it as if it had been pressed on itself.
    // `pagePoint` is on the page; `timestamp` in milliseconds.
    void BeginPress(QPoint pagePoint, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
        ulong timestamp, bool doubleClick);
    bool dragging() const { return m_pressed; }
    // The outline of the rectangle being dragged, on the page; empty while not dragging.
    QRect dragOutline() const;

    // The lock flags and group numbers of items ("BlockMove", "BlockResize", …).
    std::function<bool(const QObject *item, const QString &flag)> flagOf;
    std::function<int(const QObject *item)> groupOf;

    std::function<void(QObject *item)> OnControlDoubleClicked;
    std::function<void(QObject *item, QPoint globalPos)> OnControlRightClicked;
    std::function<void(QObject *item)> OnSelectionChanged;
    std::function<void()> BeforeResize;
    std::function<void()> OnResize;
    // Keys the owner handles first (delete, clipboard); true when handled.
    std::function<bool(QKeyEvent *event)> OnKeyDown;
    // Enter with one item selected.
    std::function<void(QObject *item)> OnEditRequest;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    bool flag(const QObject *item, const char *name) const;
    void addOne(QObject *item);
    void forget(QObject *item);
    void watch(QObject *item);
    void selectionChanged(QObject *item);
    QPoint toParent(QPoint pagePoint) const;
    QPoint clampedToParent(QPoint parentPoint) const;
    QRect draggedRect(QPoint parentPoint, Qt::KeyboardModifiers modifiers) const;
    void updateCursor(QPoint localPoint);
    void selectNextInReadingOrder(bool forward);
    void selectSurroundingBand();
    QObject *selectedItemAt(QPoint pagePoint) const;
    void finishPress();
    void repaintPage();

    QPointer<TCustomRpReport> m_report;
    QList<QPointer<QObject>> m_items;
    QPointer<QObject> m_parent;
    QRect m_frame;

    bool m_pressed = false;
    bool m_moved = false;
    Qt::MouseButton m_button = Qt::NoButton;
    DesignGeometry::Handle m_handle = DesignGeometry::Handle::None;
    QPoint m_start; // in the parent's coordinates
    ulong m_pressTime = 0;
    QRect m_outline; // in the parent's coordinates
    QPointer<QObject> m_lastClicked;
    ulong m_lastClickTime = 0;
};
