#pragma once

#include "store/DataSource.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// The link of a single-field control: binds one field of the source's table by name and tells its control
// when to reload its text, when editing starts or ends, when to write its text into the field and when the
// binding came or went.
class TFieldDataLink : public TDataLink
{
public:
    explicit TFieldDataLink(QWidget *control = nullptr);
    ~TFieldDataLink() override;

    QString FieldName() const { return m_fieldName; }
    // Binds the named field when the link is active ("Field '%s' not found" for an unknown name).
    void setFieldName(const QString &name);
    TField *Field() const { return m_field; }
    QWidget *Control() const { return m_control; }

    // The link edits and its field can be modified.
    bool CanEditField() const { return m_fieldEditing; }
    // The control's text changed since it was last loaded.
    bool Modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // An edit request: asks the table to edit only when the field can be modified; answers CanEditField().
    bool Edit();
    // Reloads the control from the field, dropping what was typed.
    void Reset();

    std::function<void()> OnDataChange;    // reload the text
    std::function<void()> OnEditingChange; // editing started or ended
    std::function<void()> OnUpdateData;    // write the text into the field
    std::function<void()> OnActiveChange;  // the binding came or went

protected:
    void activeChanged() override;
    void editingChanged() override;
    void layoutChanged() override;
    void recordChanged(TField *field) override;
    void updateData() override;
    void focusControl(TField *field, bool &served) override;

private:
    void bindField();
    void updateEditing();
    void reload();

    QPointer<QWidget> m_control;
    QString m_fieldName;
    TField *m_field = nullptr;
    bool m_fieldEditing = false;
    bool m_modified = false;
};
