#pragma once

#include <QEvent>
#include <QPoint>
#include <QPointer>
#include <QWidget>

// Plays mouse and keyboard input on the design surface as a user would make it, with a clock of its own so
// that drag times and double clicks do not depend on the machine's speed. Presses go to the control under
// the point (or to the control holding the mouse), through the application, so that the surface's watchers
// see them first. Points are on the report's page.
class SurfaceDriver
{
public:
    explicit SurfaceDriver(QWidget *page);

    // The clock, in milliseconds; each action advances it.
    quint64 now() const { return m_now; }
    void wait(int milliseconds) { m_now += quint64(milliseconds); }

    void press(QPoint point, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    void move(QPoint point, Qt::KeyboardModifiers modifiers = {});
    void release(QPoint point, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    // A press and a release at the same point; a second click 1 s later is no double click.
    void click(QPoint point, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    void doubleClick(QPoint point, Qt::KeyboardModifiers modifiers = {});
    // Press at `from`, move in a few steps to `to`, release there `milliseconds` after the press. The
    // modifiers are held from the press on, except Shift, which is pressed once the pointer moves.
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}, int milliseconds = 300);
    // A key press and release, sent to `target`.
    static void key(QWidget *target, int key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {});

private:
    void send(QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons buttons,
        Qt::KeyboardModifiers modifiers);
    QWidget *targetAt(QPoint point) const;

    QPointer<QWidget> m_page;
    quint64 m_now = 100000;
    Qt::MouseButtons m_buttons;
};
