#include "designer/SysDataPropertyForm.h"

#include "designer/RpDesigner.h"
#include "report/elements/LabelItems.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

TSysDataPropertyForm::TSysDataPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpTextPropertyForm(
        owner, designer, QStringLiteral("TSysDataPropertyForm"), QStringLiteral("Systemfield"), 90036)
{
    ComboData = new QComboBox(this);
    ComboData->setObjectName(QStringLiteral("ComboData"));
    PropertyChoices::fill(ComboData, PropertyChoices::systemData(), messages());
    fields()->addRow(QStringLiteral("System field"), ComboData);
    EText = new QLineEdit(this);
    EText->setObjectName(QStringLiteral("EText"));
    fields()->addRow(QStringLiteral("Text"), EText);
    // System data has neither word-wrap nor stretching.
    CheckWordWrap->hide();
    CheckAutoStretch->hide();
    translate();
}

void TSysDataPropertyForm::load(const TRpSysData &element)
{
    ComboData->setCurrentIndex(
        std::max(0, PropertyChoices::positionOf(PropertyChoices::systemData(), element.data())));
    ComboData->setEnabled(!designer() || !designer()->ElementFlag(&element, QStringLiteral("BlockChange")));
    EText->setText(element.text());
    loadText(element);
}

void TSysDataPropertyForm::apply(TRpSysData &element) const
{
    element.setData(Rp::TRpSysDataType(
        PropertyChoices::valueAt(PropertyChoices::systemData(), ComboData->currentIndex(), element.data())));
    element.setText(EText->text());
    element.setAutoSize(CheckAutoSize->isChecked());
    element.setTransparent(CheckTransparent->isChecked());
    element.setAlignment(FontGroup->alignment());
    FontGroup->writeFont(*element.font());
    element.setColor(FontGroup->color());
}

bool TSysDataPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpSysData *element)
{
    TSysDataPropertyForm form(owner, designer);
    form.load(*element);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*element);
    return true;
}
