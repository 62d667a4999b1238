#include "widgets/DBEdit.h"

#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kUnlimited = 32767;

bool isPrintable(const QKeyEvent &event)
{
    const QString text = event.text();
    return text.size() == 1 && text[0].unicode() >= 32 && text[0] != QChar(0x7F)
        && !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

} // namespace

bool isTransientFocusChange(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
        || reason == Qt::MenuBarFocusReason;
}

TDBEdit::TDBEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_link(std::make_unique<TFieldDataLink>(this))
{
    QLineEdit::setReadOnly(true);
    m_link->OnDataChange = [this] { reload(); };
    m_link->OnEditingChange = [this] { updateReadOnly(); };
    m_link->OnActiveChange = [this] { updateReadOnly(); };
    m_link->OnUpdateData = [this] { writeField(); };
    connect(this, &QLineEdit::textEdited, this, [this] { m_link->setModified(true); });
}

TDBEdit::~TDBEdit() = default;

void TDBEdit::setDataSource(TDataSource *source)
{
    m_link->setDataSource(source);
    updateReadOnly();
}

void TDBEdit::setDataField(const QString &name)
{
    m_link->setFieldName(name);
    updateReadOnly();
}

void TDBEdit::setMaxLength(int length)
{
    m_maxLength = std::max(0, length);
    reload();
}

void TDBEdit::updateReadOnly()
{
    QLineEdit::setReadOnly(!m_link->CanEditField());
}

QString TDBEdit::fieldText(bool editing) const
{
    const TField *field = m_link->Field();
    if (!field)
        return QString();
    return editing ? field->EditText() : field->DisplayText();
}

void TDBEdit::showText(const QString &text)
{
    // Reloading the same text (the first keystroke starts the edit state, which reloads) must leave the caret.
    const QString shown = QLineEdit::text();
    if (text == shown)
        return;
    // A masked edit reads back its bare separators when empty.
    if (text.isEmpty() && !inputMask().isEmpty()
        && std::none_of(shown.begin(), shown.end(), [](QChar c) { return c.isLetterOrNumber(); }))
        return;
    setText(text);
}

// Setting the limit sets the text again (moving the caret): only when it changes.
void TDBEdit::applyMaxLength(int length)
{
    if (length != QLineEdit::maxLength())
        QLineEdit::setMaxLength(length);
}

void TDBEdit::reload()
{
    const TField *field = m_link->Field();
    if (!field) {
        applyMaxLength(m_maxLength ? m_maxLength : kUnlimited);
        showText(QString());
        return;
    }
    const Qt::Alignment alignment = field->Alignment() | Qt::AlignVCenter;
    if (alignment != this->alignment())
        setAlignment(alignment);
    const bool textField = field->DataType() == ftString || field->DataType() == ftFixedChar;
    applyMaxLength(m_maxLength ? m_maxLength : textField && field->Size() > 0 ? field->Size() : kUnlimited);
    showText(fieldText(m_focused && field->CanModify()));
}

bool TDBEdit::editRequest()
{
    bool editing = false;
    Dialogs::guarded(this, [&] { editing = m_link->Edit(); });
    updateReadOnly();
    return editing;
}

void TDBEdit::writeField()
{
    if (TField *field = m_link->Field())
        field->setText(text());
}

void TDBEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        const bool typed = m_link->Modified();
        m_link->Reset();
        selectAll();
        if (typed) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (key == Qt::Key_Delete || (key == Qt::Key_Insert && shift)) {
        editRequest();
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (isPrintable(*event)) {
        const TField *field = m_link->Field();
        if (field && !field->IsValidChar(event->text()[0])) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    const bool modifying = isPrintable(*event) || key == Qt::Key_Backspace
        || (ctrl && (key == Qt::Key_V || key == Qt::Key_X)) || event->matches(QKeySequence::Paste)
        || event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo);
    if (modifying && !editRequest()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu offers cut, paste and undo only on an editable text: ask for the edit state first.
    if (m_link->Field() && m_link->Field()->CanModify())
        editRequest();
    QLineEdit::contextMenuEvent(event);
}

void TDBEdit::focusInEvent(QFocusEvent *event)
{
    m_focused = true;
    // Coming back from an error box or a popup keeps what the user typed.
    if (!m_link->Modified())
        reload();
    QLineEdit::focusInEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (isTransientFocusChange(event->reason()))
        return;
    if (writesOnExit()) {
        const bool ok = Dialogs::guarded(this, [this] { m_link->UpdateRecord(); });
        if (!ok) {
            // The text stays as typed, selected, and the focus comes back once this focus change is over.
            m_link->setModified(true);
            selectAll();
            QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
            return;
        }
    }
    m_focused = false;
    if (!m_link->Modified())
        reload();
}

TDBText::TDBText(QWidget *parent)
    : QLabel(parent)
    , m_link(std::make_unique<TFieldDataLink>(this))
{
    setTextFormat(Qt::PlainText);
    m_link->OnDataChange = [this] { reload(); };
    m_link->OnActiveChange = [this] { reload(); };
}

TDBText::~TDBText() = default;

void TDBText::setDataSource(TDataSource *source)
{
    m_link->setDataSource(source);
}

void TDBText::setDataField(const QString &name)
{
    m_link->setFieldName(name);
}

void TDBText::reload()
{
    const TField *field = m_link->Field();
    setText(field ? field->DisplayText() : QString());
    if (field)
        setAlignment(field->Alignment() | Qt::AlignVCenter);
}
