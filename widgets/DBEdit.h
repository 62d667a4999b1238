#pragma once

#include "widgets/FieldDataLink.h"

#include <QLabel>
#include <QLineEdit>
#include <memory>

class TDataSource;

// Focus changes that do not mean the user left a control: another window (an error box) took over, a popup
// (a drop-down calendar) or a menu opened.
bool isTransientFocusChange(Qt::FocusReason reason);

// An edit bound to one field of a data source: shows the current row's value, starts the table's edit state
// when typed into, accepts only the characters its field accepts and writes its text into the field when the
// user leaves it or the row is posted. Errors of that write are shown in the error box; the edit then keeps
// its text, selected, and the focus.
class TDBEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);
    ~TDBEdit() override;

    TDataSource *DataSource() const { return m_link->DataSource(); }
    void setDataSource(TDataSource *source);
    QString DataField() const { return m_link->FieldName(); }
    void setDataField(const QString &name);
    TField *Field() const { return m_link->Field(); }
    TFieldDataLink &link() { return *m_link; }

    // 0: a text field's size limits the text.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length);

    // Reloads the text from the field (edit text while focused and editable, display text otherwise).
    void reload();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

    // Writes the text into the field; the date edit converts its own way.
    virtual void writeField();
    // Whether leaving the control writes its text (the date edit waits for the post).
    virtual bool writesOnExit() const { return true; }
    // The text to show for the field's value.
    virtual QString fieldText(bool editing) const;
    bool editRequest();
    bool focused() const { return m_focused; }

private:
    void updateReadOnly();
    void showText(const QString &text);
    void applyMaxLength(int length);

    std::unique_ptr<TFieldDataLink> m_link;
    int m_maxLength = 0;
    bool m_focused = false;
};

// A label showing the display text of one field of the current row.
class TDBText : public QLabel
{
    Q_OBJECT
public:
    explicit TDBText(QWidget *parent = nullptr);
    ~TDBText() override;

    TDataSource *DataSource() const { return m_link->DataSource(); }
    void setDataSource(TDataSource *source);
    QString DataField() const { return m_link->FieldName(); }
    void setDataField(const QString &name);
    TField *Field() const { return m_link->Field(); }

private:
    void reload();

    std::unique_ptr<TFieldDataLink> m_link;
};
