#include "designer/LabelPropertyForm.h"

#include "designer/RpDesigner.h"
#include "report/elements/LabelItems.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace {

TRpRotationEdit *rotationField(QWidget *parent, QFormLayout *form)
{
    auto *field = new TRpRotationEdit(parent);
    field->setObjectName(QStringLiteral("ERotation"));
    form->addRow(QStringLiteral("Rotation (Degrees)"), field);
    return field;
}

void loadRotation(TRpRotationEdit *field, const QObject *element)
{
    const bool has = PropertyForms::hasProperty(element, "Degree");
    field->setEnabled(has);
    field->setDegree(has ? element->property("Degree").toInt() : 0);
}

} // namespace

void applyLabelLook(const TRpTextPropertyForm &form, TRpCustomLabel &element)
{
    element.setTransparent(form.CheckTransparent->isChecked());
    element.setAlignment(form.FontGroup->alignment());
    form.FontGroup->writeFont(*element.font());
    element.setColor(form.FontGroup->color());
}

void applyRotation(const TRpRotationEdit &field, QObject *element)
{
    ushort tenths = 0;
    if (PropertyForms::hasProperty(element, "Degree") && field.degree(tenths))
        element->setProperty("Degree", QVariant::fromValue(tenths));
}

// ---------------------------------------------------------------- label

TLabelPropertyForm::TLabelPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpTextPropertyForm(
        owner, designer, QStringLiteral("TLabelPropertyForm"), QStringLiteral("Label"), 90029)
{
    LabelCaptionEdit = new QLineEdit(this);
    LabelCaptionEdit->setObjectName(QStringLiteral("LabelCaptionEdit"));
    fields()->addRow(QStringLiteral("Caption"), LabelCaptionEdit);
    ERotation = rotationField(this, fields());
    translate();
}

void TLabelPropertyForm::load(const TRpLabel &label)
{
    LabelCaptionEdit->setText(label.caption());
    loadRotation(ERotation, &label);
    loadText(label);
}

void TLabelPropertyForm::apply(TRpLabel &label) const
{
    label.setAutoSize(CheckAutoSize->isChecked());
    label.setAutoStretch(CheckAutoStretch->isChecked());
    label.setWordWrap(CheckWordWrap->isChecked());
    label.setCaption(LabelCaptionEdit->text());
    applyLabelLook(*this, label);
    applyRotation(*ERotation, &label);
}

bool TLabelPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpLabel *label)
{
    TLabelPropertyForm form(owner, designer);
    form.load(*label);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*label);
    return true;
}

// ---------------------------------------------------------------- expression

TExpressionPropertyForm::TExpressionPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpTextPropertyForm(
        owner, designer, QStringLiteral("TExpressionPropertyForm"), QStringLiteral("Expression field"), 90033)
{
    EExpression = new TRpExpressionEdit(designer, QStringLiteral("EExpression"), this);
    fields()->addRow(QStringLiteral("Expression"), EExpression);
    EFormat = new QLineEdit(this);
    EFormat->setObjectName(QStringLiteral("EFormat"));
    fields()->addRow(QStringLiteral("Format"), EFormat);
    ComboMaster = new QComboBox(this);
    ComboMaster->setObjectName(QStringLiteral("ComboMaster"));
    fields()->addRow(QStringLiteral("Master"), ComboMaster);
    CheckResetAfterPrint = PropertyForms::checkBox(
        this, QStringLiteral("CheckResetAfterPrint"), QStringLiteral("Reset after print"));
    fields()->addRow(QString(), CheckResetAfterPrint);
    ERotation = rotationField(this, fields());
    translate();
}

void TExpressionPropertyForm::load(TRpExpr &expression)
{
    EExpression->setText(expression.expression());
    EFormat->setText(expression.mask());
    BandLists::fillElementMasters(
        ComboMaster, expression.report(), &expression, expression.master(), messages());
    CheckResetAfterPrint->setChecked(expression.resetAfterPrint());
    loadRotation(ERotation, &expression);
    loadText(expression);
}

void TExpressionPropertyForm::apply(TRpExpr &expression) const
{
    expression.setMask(EFormat->text());
    expression.setMaster(BandLists::chosen(ComboMaster));
    expression.setExpression(EExpression->text());
    expression.setAutoStretch(CheckAutoStretch->isChecked());
    expression.setResetAfterPrint(CheckResetAfterPrint->isChecked());
    expression.setAutoSize(CheckAutoSize->isChecked());
    expression.setWordWrap(CheckWordWrap->isChecked());
    applyLabelLook(*this, expression);
    applyRotation(*ERotation, &expression);
}

bool TExpressionPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpExpr *expression)
{
    TExpressionPropertyForm form(owner, designer);
    form.load(*expression);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*expression);
    return true;
}
