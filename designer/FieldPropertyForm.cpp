#include "designer/FieldPropertyForm.h"

#include "designer/DataSources.h"
#include "designer/RpDesigner.h"
#include "store/DataSet.h"
#include "store/Fields.h"
#include "widgets/Dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QPushButton *plainButton(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

bool hasFormat(const TField &field)
{
    return field.DataType() != ftString && field.DataType() != ftFixedChar
        && field.DataType() != ftWideString;
}

} // namespace

TFieldPropertyForm::TFieldPropertyForm(
    TRpDesigner &engine, TDataSet &dataSet, bool changeable, QWidget *parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_dataSet(dataSet)
    , m_changeable(changeable)
{
    setObjectName(QStringLiteral("FieldPropertyForm"));
    setWindowTitle(dataSet.objectName());
    ListFields = new QListWidget(this);
    BAdd = plainButton(QStringLiteral("&Add"), this);
    BDelete = plainButton(QStringLiteral("&Delete"), this);
    BEdit = plainButton(QStringLiteral("&Edit"), this);
    BUp = plainButton(QStringLiteral("Up"), this);
    BDown = plainButton(QStringLiteral("Down"), this);
    BAddCalculated = plainButton(QStringLiteral("Add &Calculated"), this);
    BAddLookup = plainButton(QStringLiteral("Add &Lookup"), this);
    BOK = new QPushButton(QStringLiteral("OK"), this);
    BOK->setDefault(true);
    // The table store has neither calculated nor lookup fields.
    BAddCalculated->hide();
    BAddLookup->hide();

    auto *side = new QVBoxLayout;
    for (QPushButton *b : { BAdd, BDelete, BEdit, BUp, BDown, BAddCalculated, BAddLookup })
        side->addWidget(b);
    side->addStretch(1);
    side->addWidget(BOK);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(ListFields, 1);
    layout->addLayout(side);
    resize(340, 300);

    connect(ListFields, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connect(BAdd, &QPushButton::clicked, this, [this] { addClick(); });
    connect(BDelete, &QPushButton::clicked, this, [this] { deleteClick(); });
    connect(BEdit, &QPushButton::clicked, this, [this] { editClick(); });
    connect(BUp, &QPushButton::clicked, this, [this] { moveClick(-1); });
    connect(BDown, &QPushButton::clicked, this, [this] { moveClick(1); });
    connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
    fill();
}

void TFieldPropertyForm::fill()
{
    const QString previous = ListFields->currentItem() ? ListFields->currentItem()->text() : QString();
    ListFields->clear();
    for (const auto &field : m_dataSet.Fields()) {
        if (m_dataSet.FieldDefs().IndexOf(field->FieldName()) >= 0 && rpListableField(m_engine, *field))
            ListFields->addItem(field->FieldName());
    }
    const auto same = ListFields->findItems(previous, Qt::MatchExactly);
    ListFields->setCurrentRow(
        same.isEmpty() ? (ListFields->count() > 0 ? 0 : -1) : ListFields->row(same.first()));
    updateButtons();
}

void TFieldPropertyForm::updateButtons()
{
    const bool chosen = selectedField() != nullptr;
    BAdd->setEnabled(m_changeable && ListFields->count() < m_dataSet.FieldCount());
    BDelete->setEnabled(m_changeable && chosen);
    BEdit->setEnabled(m_changeable && chosen);
    BUp->setEnabled(m_changeable && chosen && ListFields->currentRow() > 0);
    BDown->setEnabled(m_changeable && chosen && ListFields->currentRow() < ListFields->count() - 1);
}

TField *TFieldPropertyForm::selectedField() const
{
    const QListWidgetItem *item = ListFields->currentItem();
    return item ? m_dataSet.LookupField(item->text()) : nullptr;
}

QStringList TFieldPropertyForm::hiddenFields() const
{
    QStringList names;
    for (const auto &field : m_dataSet.Fields()) {
        if (ListFields->findItems(field->FieldName(), Qt::MatchExactly).isEmpty())
            names << field->FieldName();
    }
    return names;
}

void TFieldPropertyForm::showField(const QString &fieldName)
{
    TField *field = m_dataSet.LookupField(fieldName);
    if (!field || !m_changeable)
        return;
    field->setVisible(true);
    fill();
    const auto found = ListFields->findItems(field->FieldName(), Qt::MatchExactly);
    if (!found.isEmpty())
        ListFields->setCurrentItem(found.first());
}

void TFieldPropertyForm::addClick()
{
    const QStringList hidden = hiddenFields();
    if (hidden.isEmpty())
        return;
    QInputDialog select(this);
    select.setWindowTitle(QStringLiteral("Select a field"));
    select.setLabelText(QStringLiteral("Select a field"));
    select.setComboBoxItems(hidden);
    if (Dialogs::exec(select))
        showField(select.textValue());
}

void TFieldPropertyForm::deleteClick()
{
    if (TField *field = selectedField(); field && m_changeable) {
        field->setVisible(false);
        fill();
    }
}

void TFieldPropertyForm::editClick()
{
    TField *field = selectedField();
    if (!field || !m_changeable)
        return;
    TFieldLabelForm form(*field, this);
    if (Dialogs::exec(form))
        form.apply();
}

void TFieldPropertyForm::moveClick(int delta)
{
    TField *field = selectedField();
    if (!field || !m_changeable)
        return;
    // Moves past the neighbour in the list, which may lie several fields away in the table's order.
    const int row = ListFields->currentRow() + delta;
    if (row < 0 || row >= ListFields->count())
        return;
    const TField *neighbour = m_dataSet.LookupField(ListFields->item(row)->text());
    int from = -1;
    int to = -1;
    for (int i = 0; i < m_dataSet.FieldCount(); ++i) {
        if (m_dataSet.Fields()[size_t(i)].get() == field)
            from = i;
        if (m_dataSet.Fields()[size_t(i)].get() == neighbour)
            to = i;
    }
    m_dataSet.MoveField(from, to);
    fill();
}

TFieldLabelForm::TFieldLabelForm(TField &field, QWidget *parent)
    : QDialog(parent)
    , m_field(field)
{
    setWindowTitle(field.FieldName());
    ELabel = new QLineEdit(field.DisplayLabel(), this);
    EFormat = new QLineEdit(field.DisplayFormat(), this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Label:"), ELabel);
    if (hasFormat(field))
        form->addRow(QStringLiteral("Format:"), EFormat);
    else
        EFormat->hide();
    auto *floatField = dynamic_cast<TFloatField *>(&field);
    EPrecision = new QLineEdit(floatField ? QString::number(floatField->Precision()) : QString(), this);
    EPrecision->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), EPrecision));
    if (floatField)
        form->addRow(QStringLiteral("Precision:"), EPrecision);
    else
        EPrecision->hide();
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TFieldLabelForm::apply()
{
    m_field.setDisplayLabel(ELabel->text());
    if (hasFormat(m_field))
        m_field.setDisplayFormat(EFormat->text());
    bool converts = false;
    const int precision = EPrecision->text().toInt(&converts);
    if (auto *floatField = dynamic_cast<TFloatField *>(&m_field); floatField && converts)
        floatField->setPrecision(precision);
}
