#pragma once

#include "widgets/DBEdit.h"

#include <QDate>
#include <QFrame>

class QCalendarWidget;
class QToolButton;

// The typing mask of a date format: every day, month and year letter becomes a digit place, a two-digit year
// is widened to four digits, other characters stand as they are. dateMaskFormat() gives the widened format.
QString dateMaskFormat(const QString &shortDateFormat);
QString dateInputMask(const QString &shortDateFormat);
// A masked date text with no digit at all is an empty date.
bool isEmptyMaskedDate(const QString &text);

// A data-aware date edit: the field's date as text in the regional short-date format typed through a mask,
// with a drop-down month calendar (the button at the right or Alt+Down) in which a click picks a date. Typed
// text is not checked on leaving; it reaches the field when the row is posted. An empty text is an empty
// date; a new row starts empty.
class TDBDateEdit : public TDBEdit
{
    Q_OBJECT
public:
    explicit TDBDateEdit(QWidget *parent = nullptr);
    ~TDBDateEdit() override;

    void showCalendar();
    void hideCalendar();
    bool calendarVisible() const;
    QCalendarWidget *calendar() const { return m_calendar; }
    QWidget *calendarPopup() const { return m_popup; }
    // What a click in the calendar does: the date (time of day 0) goes into the field.
    void pickDate(const QDate &date);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void writeField() override;
    bool writesOnExit() const override { return false; }
    QString fieldText(bool editing) const override;

private:
    QString m_format;
    QToolButton *m_button;
    QFrame *m_popup;
    QCalendarWidget *m_calendar;
};
