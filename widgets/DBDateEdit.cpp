#include "widgets/DBDateEdit.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "widgets/Dialogs.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

QString dateMaskFormat(const QString &shortDateFormat)
{
    // Day, month and year in the order the format gives them, two digits for day and month, four for the year,
    // with the format's separators. Day and month names cannot be typed through a mask: such formats keep only
    // their order and their first separator.
    struct Part
    {
        QChar letter;
        qsizetype run;
    };
    std::vector<Part> parts;
    std::vector<QString> separators{QString()};
    bool names = false;
    for (qsizetype i = 0; i < shortDateFormat.size();) {
        const QChar c = shortDateFormat[i];
        qsizetype run = 1;
        while (i + run < shortDateFormat.size() && shortDateFormat[i + run] == c)
            ++run;
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            names = names || (c != QLatin1Char('y') && run > 2);
            parts.push_back({c, run});
            separators.emplace_back();
        } else if (!c.isLetter()) {
            separators.back() += QString(run, c);
        }
        i += run;
    }
    if (parts.size() != 3)
        return QStringLiteral("dd/MM/yyyy");
    QString firstSeparator = separators[1].trimmed().isEmpty() ? separators[1] : separators[1].trimmed();
    if (firstSeparator.isEmpty())
        firstSeparator = QStringLiteral("/");
    QString result;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0)
            result += names || separators[k].isEmpty() ? firstSeparator : separators[k];
        result += parts[k].letter == QLatin1Char('y') ? QStringLiteral("yyyy") : QString(2, parts[k].letter);
    }
    return result;
}

QString dateInputMask(const QString &shortDateFormat)
{
    const QString format = dateMaskFormat(shortDateFormat);
    QString mask;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            mask += QLatin1Char('0');
        } else if (QStringLiteral("AaNnXx90Dd#HhBb><![]{};\\").contains(c)) {
            mask += QLatin1Char('\\');
            mask += c;
        } else {
            mask += c;
        }
    }
    return mask + QStringLiteral(";_");
}

bool isEmptyMaskedDate(const QString &text)
{
    for (const QChar c : text) {
        if (c.isDigit())
            return false;
    }
    return true;
}

namespace {

QIcon arrowIcon(const QPalette &palette)
{
    QPixmap pixmap(9, 5);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.color(QPalette::ButtonText));
    const QPoint points[] = {QPoint(0, 0), QPoint(9, 0), QPoint(4, 5)};
    painter.drawPolygon(points, 3);
    return QIcon(pixmap);
}

} // namespace

TDBDateEdit::TDBDateEdit(QWidget *parent)
    : TDBEdit(parent)
    , m_format(dateMaskFormat(RegionalSettings::current().shortDateFormat()))
    , m_button(new QToolButton(this))
    , m_popup(new QFrame(this, Qt::Popup))
    , m_calendar(new QCalendarWidget(m_popup))
{
    setInputMask(dateInputMask(RegionalSettings::current().shortDateFormat()));
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setIcon(arrowIcon(palette()));
    m_button->setAutoRaise(false);
    connect(m_button, &QToolButton::clicked, this, &TDBDateEdit::showCalendar);

    m_popup->setFrameShape(QFrame::Box);
    auto *layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_calendar);
    m_calendar->setLocale(RegionalSettings::current().locale());
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setGridVisible(false);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // Sunday in red; Saturday as an ordinary day.
    QTextCharFormat sunday = m_calendar->weekdayTextFormat(Qt::Sunday);
    sunday.setForeground(Qt::red);
    m_calendar->setWeekdayTextFormat(Qt::Sunday, sunday);
    QTextCharFormat saturday = m_calendar->weekdayTextFormat(Qt::Saturday);
    saturday.setForeground(palette().color(QPalette::Text));
    m_calendar->setWeekdayTextFormat(Qt::Saturday, saturday);
    connect(m_calendar, &QCalendarWidget::clicked, this, &TDBDateEdit::pickDate);
    connect(m_calendar, &QCalendarWidget::activated, this, &TDBDateEdit::pickDate);
    setTextMargins(0, 0, m_button->sizeHint().width(), 0);
}

TDBDateEdit::~TDBDateEdit() = default;

QString TDBDateEdit::fieldText(bool) const
{
    const TField *field = Field();
    if (!field || field->IsNullValue())
        return QString();
    try {
        return RegionalSettings::current().formatDateTime(m_format, field->AsDateTime());
    } catch (const Exception &) {
        return QString();
    }
}

void TDBDateEdit::writeField()
{
    TField *field = Field();
    if (!field)
        return;
    const QString typed = text();
    if (isEmptyMaskedDate(typed)) {
        field->Clear();
        return;
    }
    const QDate date = QDate::fromString(typed, m_format);
    if (date.isValid()) {
        field->setAsDateTime(DateTime::fromQDate(date));
        return;
    }
    // Not a whole date: the regional conversion names the text in its message.
    field->setAsDateTime(std::floor(RegionalSettings::current().strToDate(typed)));
}

void TDBDateEdit::showCalendar()
{
    if (!isEnabled())
        return;
    QDate date = QDate::fromString(text(), m_format);
    if (!date.isValid())
        date = QDate::currentDate();
    m_calendar->setSelectedDate(date);
    m_popup->adjustSize();
    QPoint below = mapToGlobal(QPoint(0, height()));
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        if (below.y() + m_popup->height() > available.bottom())
            below.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
        below.setX(std::clamp(below.x(), available.left(), std::max(available.left(), available.right() - m_popup->width())));
    }
    m_popup->move(below);
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void TDBDateEdit::hideCalendar()
{
    m_popup->hide();
}

bool TDBDateEdit::calendarVisible() const
{
    return m_popup->isVisible();
}

void TDBDateEdit::pickDate(const QDate &date)
{
    hideCalendar();
    if (!date.isValid() || !editRequest())
        return;
    setText(date.toString(m_format));
    link().setModified(true);
    Dialogs::guarded(this, [this] { link().UpdateRecord(); });
    setFocus(Qt::PopupFocusReason);
}

void TDBDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        showCalendar();
        event->accept();
        return;
    }
    TDBEdit::keyPressEvent(event);
}

void TDBDateEdit::resizeEvent(QResizeEvent *event)
{
    TDBEdit::resizeEvent(event);
    const int w = m_button->sizeHint().width();
    m_button->setGeometry(width() - w - 1, 1, w, height() - 2);
}
