#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Drives windows that run their own event loops (a page waiting for its OK, a nested wizard, a modal
// dialog): each step runs from whatever event loop is running when the step before it handed control back,
// so a step may click a button that blocks in a loop of its own and the next step acts inside that loop.
// A step with a condition waits until it holds.
class UiScript
{
public:
    using Step = std::function<void()>;
    using Condition = std::function<bool()>;

    UiScript &then(Step step) { return when({}, std::move(step)); }
    UiScript &when(Condition ready, Step step)
    {
        m_steps.push_back({ std::move(ready), std::move(step) });
        return *this;
    }

    // Runs every step; fails the test (and closes every window, which ends their loops) when they do not
    // finish within the time.
    void run(int timeoutMs = 10000)
    {
        m_next = 0;
        m_done = false;
        m_clock.start();
        m_timeoutMs = timeoutMs;
        QEventLoop loop;
        m_loop = &loop;
        // A window left waiting after the last step (a failed step, a page nobody closed) is closed, which
        // ends its loop.
        QTimer watchdog;
        watchdog.setInterval(m_timeoutMs);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            ADD_FAILURE() << "UI script left a window waiting";
            closeAll();
        });
        watchdog.start();
        post();
        if (!m_done)
            loop.exec();
        m_loop = nullptr;
    }

    static void closeAll()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible())
                w->close();
        }
    }

private:
    struct Entry
    {
        Condition ready;
        Step step;
    };

    void post(int delayMs = 0)
    {
        QTimer::singleShot(delayMs, [this] { advance(); });
    }

    void advance()
    {
        if (m_clock.elapsed() > m_timeoutMs) {
            ADD_FAILURE() << "UI script stopped at step " << m_next + 1;
            finish();
            closeAll();
            return;
        }
        if (m_next >= m_steps.size()) {
            finish();
            return;
        }
        Entry &entry = m_steps[m_next];
        if (entry.ready && !entry.ready()) {
            post(5);
            return;
        }
        ++m_next;
        // The next step is queued before this one runs: if this one blocks in a loop, the next one runs in
        // it.
        post();
        entry.step();
    }

    void finish()
    {
        m_done = true;
        if (m_loop)
            m_loop->quit();
    }

    std::vector<Entry> m_steps;
    size_t m_next = 0;
    bool m_done = false;
    QElapsedTimer m_clock;
    int m_timeoutMs = 10000;
    QEventLoop *m_loop = nullptr;
};

namespace UiFind {

// The visible, enabled button of `window` (or its descendants) with this caption; null when none.
inline QAbstractButton *button(QWidget *window, const QString &caption)
{
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (b->text() == caption && b->isVisibleTo(window) && b->isEnabled())
            return b;
    }
    return nullptr;
}

// Clicks the visible, enabled button; fails the test when there is none.
inline void click(QWidget *window, const QString &caption)
{
    QAbstractButton *b = button(window, caption);
    if (!b) {
        ADD_FAILURE() << "no button " << caption.toStdString();
        return;
    }
    b->click();
}

} // namespace UiFind
