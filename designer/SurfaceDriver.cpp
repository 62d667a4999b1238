#include "designer/SurfaceDriver.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>

SurfaceDriver::SurfaceDriver(QWidget *page)
    : m_page(page)
{ }

QWidget *SurfaceDriver::targetAt(QPoint point) const
{
    if (QWidget *grabber = QWidget::mouseGrabber())
        return grabber;
    QWidget *child = m_page->childAt(point);
    return child ? child : m_page.data();
}

void SurfaceDriver::send(QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons buttons,
    Qt::KeyboardModifiers modifiers)
{
    if (!m_page)
        return;
    QWidget *target = targetAt(point);
    const QPointF local = target->mapFrom(m_page, QPointF(point));
    const QPointF global = m_page->mapToGlobal(QPointF(point));
    QMouseEvent event(type, local, local, global, button, buttons, modifiers);
    event.setTimestamp(m_now);
    QApplication::sendEvent(target, &event);
}

void SurfaceDriver::press(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_buttons |= button;
    send(QEvent::MouseButtonPress, point, button, m_buttons, modifiers);
}

void SurfaceDriver::move(QPoint point, Qt::KeyboardModifiers modifiers)
{
    send(QEvent::MouseMove, point, Qt::NoButton, m_buttons, modifiers);
}

void SurfaceDriver::release(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_buttons &= ~button;
    send(QEvent::MouseButtonRelease, point, button, m_buttons, modifiers);
}

void SurfaceDriver::click(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    wait(1000);
    press(point, button, modifiers);
    wait(10);
    release(point, button, modifiers);
}

void SurfaceDriver::doubleClick(QPoint point, Qt::KeyboardModifiers modifiers)
{
    click(point, Qt::LeftButton, modifiers);
    wait(10);
    send(QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton, modifiers);
    wait(10);
    send(QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton, modifiers);
}

void SurfaceDriver::drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers, int milliseconds)
{
    wait(1000);
    // Shift at the press would toggle the selection: like a user, the driver holds it once the drag runs.
    press(from, Qt::LeftButton, modifiers & ~Qt::ShiftModifier);
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps; ++step) {
        m_now += quint64(std::max(0, milliseconds)) / (kSteps + 1);
        move(from + (to - from) * step / kSteps, modifiers);
    }
    m_now += quint64(std::max(0, milliseconds)) - quint64(std::max(0, milliseconds)) / (kSteps + 1) * kSteps;
    release(to, Qt::LeftButton, modifiers);
}

void SurfaceDriver::key(QWidget *target, int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}
