#include "designer/ClickCatcher.h"

#include "designer/ComponentMover.h"
#include "designer/DesignItems.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>

namespace {

// Rectangles that touch, their edges included.
bool touches(const QRect &a, const QRect &b)
{
    return a.left() <= b.left() + b.width() && b.left() <= a.left() + a.width()
        && a.top() <= b.top() + b.height() && b.top() <= a.top() + a.height();
}

} // namespace

TMouseClickCatcher::TMouseClickCatcher(TRuntimeComponentMover *mover, QObject *parent)
    : QObject(parent)
    , m_mover(mover)
{ }

TMouseClickCatcher::~TMouseClickCatcher()
{
    setEnabled(false);
}

void TMouseClickCatcher::setEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    if (value)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

QRect TMouseClickCatcher::rubberBand() const
{
    return m_banding ? QRect(m_bandStart, m_bandEnd).normalized() : QRect();
}

bool TMouseClickCatcher::onPage(QObject *watched) const
{
    if (!m_page || !watched || !watched->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(watched);
    return widget == m_page || m_page->isAncestorOf(widget);
}

QPoint TMouseClickCatcher::pagePoint(QObject *watched, QMouseEvent *event) const
{
    auto *widget = static_cast<QWidget *>(watched);
    return widget->mapTo(m_page, event->position().toPoint());
}

bool TMouseClickCatcher::insideBounds(QPoint pagePoint) const
{
    if (!m_bounds)
        return true;
    return m_bounds->rect().contains(m_page->mapTo(m_bounds, pagePoint));
}

QPoint TMouseClickCatcher::clampedToVisible(QPoint pagePoint) const
{
    QRect visible = m_report ? QRect(QPoint(0, 0), DesignItems::pageSize(m_report)) : m_page->rect();
    if (m_bounds) {
        const QRect viewport(m_page->mapFrom(m_bounds, QPoint(0, 0)), m_bounds->size());
        visible = visible.intersected(viewport);
    }
    if (visible.isEmpty())
        return pagePoint;
    return QPoint(std::clamp(pagePoint.x(), visible.left(), visible.right()),
        std::clamp(pagePoint.y(), visible.top(), visible.bottom()));
}

bool TMouseClickCatcher::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    if (!m_enabled || !onPage(watched) || !m_report || !m_mover)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (m_banding) {
        if (type == QEvent::MouseMove) {
            m_bandEnd = clampedToVisible(pagePoint(watched, mouse));
            m_page->update();
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            m_bandEnd = clampedToVisible(pagePoint(watched, mouse));
            finishRubberBand();
            return true;
        }
        return true;
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        return handlePress(static_cast<QWidget *>(watched), mouse, type == QEvent::MouseButtonDblClick);
    return false;
}

bool TMouseClickCatcher::handlePress(QWidget *receiver, QMouseEvent *event, bool doubleClick)
{
    const QPoint point = pagePoint(receiver, event);
    if (!insideBounds(point))
        return false;
    const Qt::MouseButton button = event->button();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool left = button == Qt::LeftButton;
    if (left && (modifiers & Qt::ControlModifier) && OnMultiSelect) {
        m_banding = true;
        m_bandStart = m_bandEnd = clampedToVisible(point);
        m_page->grabMouse();
        m_page->update();
        return true;
    }
    QObject *item = DesignItems::hitTest(m_report, point);
    if (!item)
        return false; // outside the report
    Click click { item, button, point, receiver->mapToGlobal(event->position().toPoint()), modifiers,
        left && doubleClick };
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    if (!ForwardMouseEvents || button == Qt::RightButton) {
        if (m_mover->count() > 0 && m_mover->framePageRect().contains(point)) {
            m_mover->BeginPress(point, button, modifiers, event->timestamp(), click.doubleClick);
            return true;
        }
        if (item == m_report) {
            m_mover->Clear();
        } else {
            if (!shift)
                m_mover->Clear();
            m_mover->Add(item);
            if (!shift && left)
                m_mover->BeginPress(point, button, modifiers, event->timestamp(), false);
        }
        if (OnClick)
            OnClick(click);
        return true;
    }
    if (left && OnClick)
        OnClick(click);
    return true;
}

void TMouseClickCatcher::finishRubberBand()
{
    const QRect band = rubberBand();
    m_banding = false;
    if (QWidget::mouseGrabber() == m_page)
        m_page->releaseMouse();
    m_page->update();
    if (OnMultiSelect)
        OnMultiSelect(itemsTouched(m_report, band));
}

QList<QObject *> TMouseClickCatcher::itemsTouched(TCustomRpReport *report, QRect band)
{
    QList<QObject *> collected;
    if (!report)
        return collected;
    report->arrangeBands();
    for (QObject *child : report->children()) {
        if (!DesignItems::isDesignItem(child))
            continue;
        const QRect r = DesignItems::pageRect(child);
        if (!DesignItems::isBand(child)) {
            if (touches(r, band))
                collected << child;
            continue;
        }
        // A band counts only when the rubber band does not lie wholly inside it.
        if (touches(r, band) && !r.contains(band))
            collected << child;
        if (!collected.isEmpty())
            continue;
        for (QObject *element : DesignItems::elementsOn(child)) {
            if (touches(DesignItems::pageRect(element), band))
                collected << element;
        }
    }
    std::stable_sort(collected.begin(), collected.end(), [](const QObject *a, const QObject *b) {
        const QRect ra = DesignItems::itemRect(a);
        const QRect rb = DesignItems::itemRect(b);
        return ra.top() != rb.top() ? ra.top() < rb.top() : ra.left() < rb.left();
    });
    return collected;
}
