#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <functional>

class QMouseEvent;
class QWidget;
#include "report/model/Report.h"
class TRuntimeComponentMover;

// Sees the mouse presses of the design surface before any control does: it decides which band or element a
// press means, keeps the selection frame's selection (with Shift adding and removing), passes presses on to
// the frame so that an element can be dragged at once, and draws rubber bands (Ctrl) that select what they
// touch. What the press should then do (a context menu, a property dialog, inserting) it leaves to OnClick.
//
// While Enabled it watches the application's events (other watchers keep working); switching it off stops
// watching.
class TMouseClickCatcher : public QObject
{
    Q_OBJECT

public:
    struct Click
    {
        QObject *item = nullptr; // the band or element hit, or the report
        Qt::MouseButton button = Qt::NoButton;
        QPoint pagePoint;
        QPoint globalPoint;
        Qt::KeyboardModifiers modifiers;
        bool doubleClick = false;
    };

    TMouseClickCatcher(TRuntimeComponentMover *mover, QObject *parent = nullptr);
    ~TMouseClickCatcher() override;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool value);
    // The page the report is drawn on, and the scroll box around it (presses outside it are ignored).
    QWidget *ParentControl() const { return m_page; }
    void setParentControl(QWidget *page) { m_page = page; }
    void setBoundsRectControl(QWidget *viewport) { m_bounds = viewport; }
    void setReport(TCustomRpReport *report) { m_report = report; }
    // Presses go to whatever is under the pointer without selecting (inserting).
    bool ForwardMouseEvents = false;

    // After the selection was handled: the press itself, for the owner to act on.
    std::function<void(const Click &click)> OnClick;
    // The items a rubber band touched, sorted top then left; the owner selects them.
    std::function<void(const QList<QObject *> &items)> OnMultiSelect;

    // The rubber band being drawn, on the page; empty while none is.
    QRect rubberBand() const;

    // What a finished rubber band from `start` to `end` (page points) selects, in selection order.
    static QList<QObject *> itemsTouched(TCustomRpReport *report, QRect band);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handlePress(QWidget *receiver, QMouseEvent *event, bool doubleClick);
    bool onPage(QObject *watched) const;
    QPoint pagePoint(QObject *watched, QMouseEvent *event) const;
    bool insideBounds(QPoint pagePoint) const;
    QPoint clampedToVisible(QPoint pagePoint) const;
    void finishRubberBand();

    QPointer<TRuntimeComponentMover> m_mover;
    QPointer<QWidget> m_page;
    QPointer<QWidget> m_bounds;
    QPointer<TCustomRpReport> m_report;
    bool m_enabled = false;
    bool m_banding = false;
    QPoint m_bandStart;
    QPoint m_bandEnd;
};
