#include "widgets/FieldDataLink.h"

#include "store/DatabaseError.h"

TFieldDataLink::TFieldDataLink(QWidget *control)
    : m_control(control)
{
}

TFieldDataLink::~TFieldDataLink()
{
    // The control is going away: no notice may reach it while the base class detaches from the source.
    OnDataChange = nullptr;
    OnEditingChange = nullptr;
    OnUpdateData = nullptr;
    OnActiveChange = nullptr;
    setDataSource(nullptr);
}

void TFieldDataLink::setFieldName(const QString &name)
{
    if (name == m_fieldName)
        return;
    m_fieldName = name;
    bindField();
}

bool TFieldDataLink::Edit()
{
    if (m_field && m_field->CanModify())
        TDataLink::Edit();
    return m_fieldEditing;
}

void TFieldDataLink::Reset()
{
    reload();
}

void TFieldDataLink::bindField()
{
    TField *field = nullptr;
    if (Active() && !m_fieldName.isEmpty()) {
        field = DataSet()->LookupField(m_fieldName);
        if (!field) {
            const QString text = QStringLiteral("Field '%1' not found").arg(m_fieldName);
            const QString name = m_control ? m_control->objectName() : QString();
            m_field = nullptr;
            updateEditing();
            throw EDatabaseError(name.isEmpty() ? text : name + QStringLiteral(": ") + text);
        }
    }
    if (field == m_field)
        return;
    m_field = field;
    updateEditing();
    reload();
}

void TFieldDataLink::updateEditing()
{
    const bool editing = TDataLink::Editing() && m_field && m_field->CanModify();
    if (editing == m_fieldEditing)
        return;
    m_fieldEditing = editing;
    m_modified = false;
    if (OnEditingChange)
        OnEditingChange();
}

void TFieldDataLink::reload()
{
    m_modified = false;
    if (OnDataChange)
        OnDataChange();
}

void TFieldDataLink::activeChanged()
{
    bindField();
    if (OnActiveChange)
        OnActiveChange();
}

void TFieldDataLink::editingChanged()
{
    updateEditing();
}

void TFieldDataLink::layoutChanged()
{
    bindField();
    updateEditing();
    TDataLink::layoutChanged();
}

void TFieldDataLink::recordChanged(TField *field)
{
    if (field && field != m_field)
        return;
    // The row itself may have become editable or not (a read-only flag, a new row).
    updateEditing();
    reload();
}

void TFieldDataLink::updateData()
{
    if (!m_modified || !m_field)
        return;
    if (OnUpdateData)
        OnUpdateData();
    m_modified = false;
}

void TFieldDataLink::focusControl(TField *field, bool &served)
{
    if (!field || field != m_field || !m_control)
        return;
    if (m_control->isEnabled() && m_control->isVisible() && m_control->focusPolicy() != Qt::NoFocus) {
        m_control->setFocus(Qt::OtherFocusReason);
        served = true;
    }
}
