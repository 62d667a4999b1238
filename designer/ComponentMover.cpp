#include "designer/ComponentMover.h"

#include "designer/DesignItems.h"
#include "report/model/Bands.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

using DesignGeometry::Handle;

namespace {

constexpr int kHandleSize = 5;

// Sets a Boolean property the object publishes; objects without it are left alone.
void setPublished(QObject *object, const char *name, bool value)
{
    if (object->metaObject()->indexOfProperty(name) >= 0)
        object->setProperty(name, value);
}

bool published(const QObject *object, const char *name)
{
    return object->metaObject()->indexOfProperty(name) >= 0 && object->property(name).toBool();
}

Qt::CursorShape cursorFor(Handle handle)
{
    switch (handle) {
    case Handle::TopLeft:
    case Handle::BottomRight:
        return Qt::SizeFDiagCursor;
    case Handle::TopRight:
    case Handle::BottomLeft:
        return Qt::SizeBDiagCursor;
    case Handle::Top:
    case Handle::Bottom:
        return Qt::SizeVerCursor;
    case Handle::Left:
    case Handle::Right:
        return Qt::SizeHorCursor;
    case Handle::None:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

TRuntimeComponentMover::TRuntimeComponentMover(QWidget *page)
    : QWidget(page)
{
    setObjectName(QStringLiteral("ComponentMover"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    hide();
}

TRuntimeComponentMover::~TRuntimeComponentMover() = default;

void TRuntimeComponentMover::setReport(TCustomRpReport *report)
{
    Clear();
    m_report = report;
}

QList<QObject *> TRuntimeComponentMover::selection() const
{
    QList<QObject *> result;
    for (const QPointer<QObject> &item : m_items) {
        if (item)
            result << item;
    }
    return result;
}

QObject *TRuntimeComponentMover::first() const
{
    for (const QPointer<QObject> &item : m_items) {
        if (item)
            return item;
    }
    return nullptr;
}

bool TRuntimeComponentMover::isSelected(const QObject *item) const
{
    if (!item)
        return false;
    return std::any_of(
        m_items.cbegin(), m_items.cend(), [item](const QPointer<QObject> &p) { return p == item; });
}

bool TRuntimeComponentMover::flag(const QObject *item, const char *name) const
{
    return flagOf && flagOf(item, QString::fromLatin1(name));
}

void TRuntimeComponentMover::Add(QObject *item)
{
    if (!item || !DesignItems::isDesignItem(item) || isSelected(item))
        return;
    if (!m_items.isEmpty() && item->parent() != m_parent)
        Clear();
    addOne(item);
    const int group = groupOf ? groupOf(item) : 0;
    if (group != 0 && item->parent()) {
        for (QObject *sibling : item->parent()->children()) {
            if (sibling != item && DesignItems::isDesignItem(sibling) && groupOf(sibling) == group)
                addOne(sibling);
        }
    }
    UpdateFrame();
    raise();
    if (isVisible())
        setFocus();
    selectionChanged(item);
}

void TRuntimeComponentMover::SelectList(const QList<QObject *> &items)
{
    Clear();
    for (QObject *item : items)
        Add(item);
}

void TRuntimeComponentMover::addOne(QObject *item)
{
    if (isSelected(item))
        return;
    m_parent = item->parent();
    m_items << item;
    watch(item);
}

void TRuntimeComponentMover::watch(QObject *item)
{
    connect(item, &QObject::destroyed, this, [this](QObject *gone) { forget(gone); });
}

void TRuntimeComponentMover::forget(QObject *item)
{
    // Called while the item is being destroyed: it is only compared, never used.
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                      [item](const QPointer<QObject> &p) { return p.isNull() || p.data() == item; }),
        m_items.end());
    if (m_items.isEmpty()) {
        m_parent = nullptr;
        m_frame = QRect();
        m_pressed = false;
        hide();
        return;
    }
    // The other items may be going with the same band: the frame follows once the destruction is over.
    QTimer::singleShot(0, this, [this] { UpdateFrame(); });
}

void TRuntimeComponentMover::Remove(QObject *item)
{
    if (!isSelected(item))
        return;
    disconnect(item, &QObject::destroyed, this, nullptr);
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                      [item](const QPointer<QObject> &p) { return p.isNull() || p.data() == item; }),
        m_items.end());
    if (m_items.isEmpty())
        m_parent = nullptr;
    UpdateFrame();
    selectionChanged(nullptr);
}

void TRuntimeComponentMover::Clear()
{
    const bool hadItems = !m_items.isEmpty();
    for (const QPointer<QObject> &item : std::as_const(m_items)) {
        if (item)
            disconnect(item, &QObject::destroyed, this, nullptr);
    }
    m_items.clear();
    m_parent = nullptr;
    m_pressed = false;
    m_outline = QRect();
    UpdateFrame();
    if (hadItems)
        selectionChanged(nullptr);
}

void TRuntimeComponentMover::selectionChanged(QObject *item)
{
    if (OnSelectionChanged)
        OnSelectionChanged(item);
}

QRect TRuntimeComponentMover::framePageRect() const
{
    const QObject *firstItem = first();
    return firstItem ? m_frame.translated(DesignItems::parentOrigin(firstItem)) : QRect();
}

void TRuntimeComponentMover::UpdateFrame()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty()) {
        m_frame = QRect();
        hide();
        repaintPage();
        return;
    }
    QRect bounds;
    for (const QObject *item : items)
        bounds = bounds.isNull() ? DesignItems::itemRect(item) : bounds.united(DesignItems::itemRect(item));
    m_frame = DesignGeometry::frameAround(bounds);
    setGeometry(framePageRect());
    if (!isVisible())
        show();
    raise();
    setToolTip(items.size() == 1 && items.first()->metaObject()->indexOfProperty("Hint") >= 0
            ? items.first()->property("Hint").toString()
            : QString());
    repaintPage();
}

void TRuntimeComponentMover::repaintPage()
{
    update();
    if (parentWidget())
        parentWidget()->update();
}

bool TRuntimeComponentMover::ApplyFrameRect(const QRect &frame)
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return false;
    if (BeforeResize)
        BeforeResize();
    const int dl = frame.left() - m_frame.left();
    const int dt = frame.top() - m_frame.top();
    const int dw = frame.width() - m_frame.width();
    const int dh = frame.height() - m_frame.height();
    struct Change
    {
        QObject *item;
        QRect before;
        QRect after;
    };
    QList<Change> changes;
    Locked = true;
    for (QObject *item : items) {
        const QRect r = DesignItems::itemRect(item);
        const bool band = DesignItems::isBand(item);
        // A band's place and width come from the band layout: only its height follows the frame.
        const QRect after(band ? r.left() : r.left() + dl, band ? r.top() : r.top() + dt,
            band ? r.width() : std::max(MinElementWidth, r.width() + dw),
            std::max(MinElementHeight, r.height() + dh));
        const bool moves = after.topLeft() != r.topLeft();
        const bool resizes = after.size() != r.size();
        if ((moves && flag(item, "BlockMove")) || (resizes && flag(item, "BlockResize"))) {
            Locked = false;
            return false;
        }
        changes << Change { item, r, after };
    }
    Locked = false;
    for (const Change &change : std::as_const(changes)) {
        if (change.after.size() != change.before.size())
            setPublished(change.item, "AutoSize", false);
        setPublished(change.item, "CompMoverMoving", true);
        DesignItems::setItemRect(change.item, change.after);
        setPublished(change.item, "CompMoverMoving", false);
        const int grown = change.after.height() - change.before.height();
        if (!DesignItems::isBand(change.item) || grown == 0)
            continue;
        for (QObject *element : DesignItems::elementsOn(change.item)) {
            QRect r = DesignItems::itemRect(element);
            if (published(element, "FixBottomPosition"))
                r.moveTop(std::max(0, r.top() + grown));
            else if (published(element, "StretchHeightWithBand"))
                r.setHeight(std::max(MinElementHeight, r.height() + grown));
            else
                continue;
            DesignItems::setItemRect(element, r);
        }
    }
    UpdateFrame();
    if (OnResize)
        OnResize();
    return true;
}

bool TRuntimeComponentMover::MoveBy(int dx, int dy)
{
    if (m_items.isEmpty())
        return false;
    UpdateFrame();
    return ApplyFrameRect(m_frame.translated(dx, dy));
}

bool TRuntimeComponentMover::ResizeBy(int dw, int dh)
{
    if (m_items.isEmpty())
        return false;
    UpdateFrame();
    return ApplyFrameRect(m_frame.adjusted(0, 0, dw, dh));
}

QPoint TRuntimeComponentMover::toParent(QPoint pagePoint) const
{
    if (DesignItems::isBand(m_parent))
        return pagePoint - DesignItems::itemRect(m_parent).topLeft();
    return pagePoint;
}

QPoint TRuntimeComponentMover::clampedToParent(QPoint parentPoint) const
{
    const QObject *firstItem = first();
    if (!firstItem)
        return parentPoint;
    const QSize area = DesignItems::parentArea(firstItem);
    return QPoint(std::clamp(parentPoint.x(), 0, std::max(0, area.width())),
        std::clamp(parentPoint.y(), 0, std::max(0, area.height())));
}

QRect TRuntimeComponentMover::draggedRect(QPoint parentPoint, Qt::KeyboardModifiers modifiers) const
{
    DesignGeometry::DragRules rules;
    rules.gridX = GridSizeX;
    rules.gridY = GridSizeY;
    rules.snapping = !(modifiers & Qt::ShiftModifier);
    rules.symmetric = (modifiers & Qt::AltModifier) != 0;
    rules.minWidth = MinElementWidth;
    rules.minHeight = MinElementHeight;
    if ((modifiers & Qt::ShiftModifier) && m_handle == Handle::BottomRight) {
        const QRect r = DesignItems::itemRect(first());
        if (r.width() > 0 && r.height() > 0)
            rules.proportion = r.size();
    }
    return DesignGeometry::draggedFrame(m_frame, m_handle, parentPoint - m_start, rules);
}

QRect TRuntimeComponentMover::dragOutline() const
{
    const QObject *firstItem = first();
    if (!m_pressed || m_outline.isNull() || !firstItem)
        return QRect();
    return m_outline.translated(DesignItems::parentOrigin(firstItem));
}

QObject *TRuntimeComponentMover::selectedItemAt(QPoint pagePoint) const
{
    const QList<QObject *> items = selection();
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        if (DesignItems::pageRect(*it).adjusted(-2, -2, 2, 2).contains(pagePoint))
            return *it;
    }
    return nullptr;
}

void TRuntimeComponentMover::BeginPress(QPoint pagePoint, Qt::MouseButton button,
    Qt::KeyboardModifiers modifiers, ulong timestamp, bool doubleClick)
{
    if (m_items.isEmpty())
        return;
    UpdateFrame();
    QObject *item = selectedItemAt(pagePoint);
    if (button == Qt::RightButton) {
        if (OnControlRightClicked)
            OnControlRightClicked(item ? item : first(), mapToGlobal(pagePoint - pos()));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    const Handle handle = count() == 1
        ? DesignGeometry::handleAt(toParent(pagePoint) - m_frame.topLeft(), m_frame.size())
        : Handle::None;
    if (shift && !doubleClick && handle == Handle::None) {
        // Shift toggles: a selected item leaves the selection, another one of the same parent joins it.
        if (item) {
            Remove(item);
            return;
        }
        QObject *hit = DesignItems::hitTest(m_report, pagePoint);
        if (hit && hit->parent() == m_parent && DesignItems::isDesignItem(hit)) {
            Add(hit);
            return;
        }
    }
    const bool quickSecond = m_lastClicked && m_lastClicked == first()
        && timestamp - m_lastClickTime <= ulong(QApplication::doubleClickInterval());
    if (!shift && item && (doubleClick || quickSecond)) {
        m_lastClicked = nullptr;
        if (OnControlDoubleClicked)
            OnControlDoubleClicked(item);
        return;
    }
    m_lastClicked = first();
    m_lastClickTime = timestamp;
    m_pressed = true;
    m_moved = false;
    m_button = button;
    m_start = toParent(pagePoint);
    m_pressTime = timestamp;
    m_handle = handle;
    m_outline = m_frame;
    if (isVisible())
        grabMouse();
}

void TRuntimeComponentMover::mousePressEvent(QMouseEvent *event)
{
    BeginPress(
        event->position().toPoint() + pos(), event->button(), event->modifiers(), event->timestamp(), false);
    event->accept();
}

void TRuntimeComponentMover::mouseDoubleClickEvent(QMouseEvent *event)
{
    BeginPress(
        event->position().toPoint() + pos(), event->button(), event->modifiers(), event->timestamp(), true);
    event->accept();
}

void TRuntimeComponentMover::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pagePoint = event->position().toPoint() + pos();
    if (!m_pressed) {
        updateCursor(event->position().toPoint());
        return;
    }
    const QPoint point = clampedToParent(toParent(pagePoint));
    if (point != m_start)
        m_moved = true;
    if (m_moved) {
        m_outline = draggedRect(point, event->modifiers());
        setCursor(m_handle == Handle::None ? Qt::DragMoveCursor : cursorFor(m_handle));
        repaintPage();
    }
}

void TRuntimeComponentMover::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const QPoint point = clampedToParent(toParent(event->position().toPoint() + pos()));
    if (point != m_start)
        m_moved = true;
    const QRect target = m_moved ? draggedRect(point, event->modifiers()) : QRect();
    const bool longEnough = event->timestamp() - m_pressTime >= DragMinTime;
    finishPress();
    if (m_moved && longEnough)
        ApplyFrameRect(target);
    m_moved = false;
}

void TRuntimeComponentMover::finishPress()
{
    m_pressed = false;
    m_outline = QRect();
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    unsetCursor();
    if (isVisible())
        setFocus();
    repaintPage();
}

void TRuntimeComponentMover::updateCursor(QPoint localPoint)
{
    if (count() != 1) {
        unsetCursor();
        return;
    }
    setCursor(cursorFor(DesignGeometry::handleAt(localPoint, size())));
}

bool TRuntimeComponentMover::event(QEvent *event)
{
    // Tab walks the report's bands and elements instead of the window's controls.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void TRuntimeComponentMover::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown && OnKeyDown(event))
        return;
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    case Qt::Key_Tab:
        selectNextInReadingOrder(!(event->modifiers() & Qt::ShiftModifier));
        return;
    case Qt::Key_Backtab:
        selectNextInReadingOrder(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (count() == 1 && !m_pressed && OnEditRequest)
            OnEditRequest(first());
        return;
    case Qt::Key_Escape:
        selectSurroundingBand();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (mods == (Qt::ShiftModifier | Qt::ControlModifier))
        MoveBy(dx * GridSizeX, dy * GridSizeY);
    else if (mods == Qt::ShiftModifier)
        ResizeBy(dx * KeyboardMoveX, dy * KeyboardMoveY);
    else
        MoveBy(dx * KeyboardMoveX, dy * KeyboardMoveY);
}

void TRuntimeComponentMover::selectNextInReadingOrder(bool forward)
{
    const QList<QObject *> candidates = DesignItems::allItems(m_report);
    if (candidates.isEmpty())
        return;
    QList<QPoint> positions;
    for (const QObject *item : candidates)
        positions << DesignItems::pageRect(item).topLeft();
    const QObject *current = first();
    const QPoint from = current ? DesignItems::pageRect(current).topLeft() : QPoint(-1, -1);
    const int next = DesignGeometry::nextInReadingOrder(positions, from, forward);
    if (next < 0)
        return;
    Clear();
    Add(candidates.at(next));
}

void TRuntimeComponentMover::selectSurroundingBand()
{
    QObject *band = DesignItems::isBand(m_parent) ? m_parent.data() : nullptr;
    Clear();
    if (band)
        Add(band);
}

void TRuntimeComponentMover::paintEvent(QPaintEvent *)
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return;
    QPainter painter(this);
    const QColor color = toQColor(items.size() == 1 ? Color : SecondaryColor);
    for (const QObject *item : items) {
        const QRect r = DesignItems::itemRect(item).translated(-m_frame.topLeft()).adjusted(-2, -2, 2, 2);
        QList<QPoint> corners { r.topLeft(), QPoint(r.right() - kHandleSize + 1, r.top()),
            QPoint(r.left(), r.bottom() - kHandleSize + 1),
            QPoint(r.right() - kHandleSize + 1, r.bottom() - kHandleSize + 1) };
        if (items.size() == 1) {
            const int midX = r.left() + r.width() / 2 - kHandleSize / 2;
            const int midY = r.top() + r.height() / 2 - kHandleSize / 2;
            corners << QPoint(midX, r.top()) << QPoint(midX, r.bottom() - kHandleSize + 1)
                    << QPoint(r.left(), midY) << QPoint(r.right() - kHandleSize + 1, midY);
        }
        for (const QPoint &corner : std::as_const(corners))
            painter.fillRect(QRect(corner, QSize(kHandleSize, kHandleSize)), color);
    }
}
