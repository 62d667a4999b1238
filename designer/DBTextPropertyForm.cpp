#include "designer/DBTextPropertyForm.h"

#include "designer/DBTextMapForm.h"
#include "designer/RpDesigner.h"
#include "report/elements/LabelItems.h"
#include "store/Fields.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The switches of the several-elements form and the properties they set.
struct SwitchProperty
{
    const char *property;
    QCheckBox *TDBTextPropertyForm::*box;
};

bool isTextField(const TField *field)
{
    if (!field)
        return false;
    const TFieldType type = field->DataType();
    return type == ftString || type == ftFixedChar || type == ftWideString;
}

} // namespace

TDBTextPropertyForm::TDBTextPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpTextPropertyForm(
        owner, designer, QStringLiteral("TDBTextPropertyForm"), QStringLiteral("Datafield"), 90028)
{
    DataField = new TRpDataFieldChooser(this);
    fields()->addRow(DataField);
    EFormat = new QLineEdit(this);
    EFormat->setObjectName(QStringLiteral("EFormat"));
    fields()->addRow(QStringLiteral("Display Format"), EFormat);
    CheckSuppress = PropertyForms::checkBox(
        this, QStringLiteral("CheckSuppress"), QStringLiteral("Suppress printing of repeated values"));
    CheckReprintPage = PropertyForms::checkBox(this, QStringLiteral("CheckReprintPage"),
        QStringLiteral("Reprint suppressed data field on new page"));
    CheckReprintGroup = PropertyForms::checkBox(this, QStringLiteral("CheckReprintGroup"),
        QStringLiteral("Reprint suppressed data field on start of new group"));
    CheckBlankIfZero = PropertyForms::checkBox(this, QStringLiteral("CheckBlankIfZero"),
        QStringLiteral("Suppress printing if value of data field is 0"));
    for (QCheckBox *box : { CheckSuppress, CheckReprintPage, CheckReprintGroup, CheckBlankIfZero })
        fields()->addRow(box);
    BMap = new QPushButton(QStringLiteral("Map field values ..."), this);
    BMap->setObjectName(QStringLiteral("BMap"));
    fields()->addRow(BMap);
    connect(DataField, &TRpDataFieldChooser::dataSetChanged, this, [this] {
        showTitle();
        followField();
    });
    connect(DataField->ComboField, qOverload<int>(&QComboBox::currentIndexChanged), this,
        [this] { followField(); });
    connect(CheckSuppress, &QCheckBox::stateChanged, this, [this] { followSuppress(); });
    connect(BMap, &QPushButton::clicked, this,
        [this] { TDBTextMapForm::Edit(this, this->designer(), m_mapList); });
    translate();
}

QList<QCheckBox *> TDBTextPropertyForm::switches() const
{
    return { CheckSuppress, CheckReprintPage, CheckReprintGroup, CheckBlankIfZero, CheckWordWrap,
        CheckAutoStretch, CheckAutoSize, CheckTransparent };
}

void TDBTextPropertyForm::showTitle()
{
    const QString title = messages().text(QStringLiteral("Datafield"));
    const QObject *dataSet = DataField->dataSet();
    setWindowTitle(dataSet ? title + u' ' + dataSet->objectName() : title);
}

void TDBTextPropertyForm::followField()
{
    EFormat->setEnabled(!isTextField(DataField->field()));
}

void TDBTextPropertyForm::followSuppress()
{
    const bool on = CheckSuppress->checkState() != Qt::Unchecked;
    CheckReprintPage->setEnabled(on);
    CheckReprintGroup->setEnabled(on);
}

void TDBTextPropertyForm::load(TRpDBText &element)
{
    m_element = &element;
    const bool several = designer() && designer()->selectedCount() > 1;
    DataField->load(designer(), element.dataSet(), element.dataField(), !several);
    DataField->setLocked(designer() && designer()->ElementFlag(&element, QStringLiteral("BlockChange")));
    EFormat->setText(element.mask());
    const bool suppress = element.property("SuppressRepeatedValues").toBool();
    CheckSuppress->setChecked(suppress);
    CheckReprintPage->setChecked(suppress && element.property("ReprintOnNewPage").toBool());
    CheckReprintGroup->setChecked(suppress && element.property("ReprintOnNewGroup").toBool());
    CheckBlankIfZero->setChecked(element.property("BlankIfZero").toBool());
    const bool designed = PropertyForms::hasProperty(&element, "SuppressRepeatedValues");
    for (QCheckBox *box : { CheckSuppress, CheckBlankIfZero })
        box->setEnabled(designed);
    BMap->setEnabled(PropertyForms::hasProperty(&element, "MapList"));
    m_mapList = element.property("MapList").toStringList();
    loadText(element);
    CheckAutoStretch->setEnabled(!PropertyForms::liesOnReport(&element));
    showTitle();
    followField();
    followSuppress();
}

void TDBTextPropertyForm::apply(TRpDBText &element) const
{
    if (QObject *dataSet = DataField->dataSet(); dataSet || DataField->dataSetListShown())
        element.setDataSet(dataSet);
    if (DataField->ComboField->currentIndex() >= 0) {
        element.setDataField(DataField->fieldName());
        PropertyForms::setIfPresent(&element, "Caption", DataField->fieldCaption());
    }
    element.setMask(EFormat->text());
    FontGroup->writeFont(*element.font());
    element.setColor(FontGroup->color());
    PropertyForms::setIfPresent(&element, "SuppressRepeatedValues", CheckSuppress->isChecked());
    PropertyForms::setIfPresent(
        &element, "ReprintOnNewPage", CheckSuppress->isChecked() && CheckReprintPage->isChecked());
    PropertyForms::setIfPresent(
        &element, "ReprintOnNewGroup", CheckSuppress->isChecked() && CheckReprintGroup->isChecked());
    PropertyForms::setIfPresent(&element, "BlankIfZero", CheckBlankIfZero->isChecked());
    element.setWordWrap(CheckWordWrap->isChecked());
    element.setAutoStretch(CheckAutoStretch->isChecked());
    element.setAutoSize(CheckAutoSize->isChecked());
    element.setTransparent(CheckTransparent->isChecked());
    element.setAlignment(FontGroup->alignment());
    PropertyForms::setIfPresent(&element, "MapList", m_mapList);
}

void TDBTextPropertyForm::loadSeveral()
{
    m_element = nullptr;
    setWindowTitle(QString());
    DataField->hide();
    BMap->setEnabled(false);
    for (QCheckBox *box : switches()) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        box->setEnabled(true);
    }
    EFormat->clear();
    EFormat->setEnabled(true);
    FontGroup->setUndecided();
    followSuppress();
    adjustSize();
}

void TDBTextPropertyForm::applyTo(QObject *element) const
{
    static const SwitchProperty properties[]
        = { { "SuppressRepeatedValues", &TDBTextPropertyForm::CheckSuppress },
              { "ReprintOnNewPage", &TDBTextPropertyForm::CheckReprintPage },
              { "ReprintOnNewGroup", &TDBTextPropertyForm::CheckReprintGroup },
              { "BlankIfZero", &TDBTextPropertyForm::CheckBlankIfZero },
              { "WordWrap", &TDBTextPropertyForm::CheckWordWrap },
              { "AutoStretch", &TDBTextPropertyForm::CheckAutoStretch },
              { "AutoSize", &TDBTextPropertyForm::CheckAutoSize },
              { "Transparent", &TDBTextPropertyForm::CheckTransparent } };
    for (const SwitchProperty &entry : properties) {
        const Qt::CheckState state = (this->*entry.box)->checkState();
        if (state != Qt::PartiallyChecked)
            PropertyForms::setIfPresent(element, entry.property, state == Qt::Checked);
    }
    if (!EFormat->text().isEmpty())
        PropertyForms::setIfPresent(element, "Mask", EFormat->text());
    if (FontGroup->alignmentPosition() >= 0)
        PropertyForms::setIfPresent(element, "Alignment", QVariant::fromValue(FontGroup->alignment()));
    if (FontGroup->colorChosen())
        PropertyForms::setIfPresent(element, "Color", FontGroup->color());
}

bool TDBTextPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpDBText *element)
{
    TDBTextPropertyForm form(owner, designer);
    form.load(*element);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*element);
    return true;
}

bool TDBTextPropertyForm::EditSeveral(QWidget *owner, TRpDesigner *designer)
{
    TDBTextPropertyForm form(owner, designer);
    form.loadSeveral();
    if (!Dialogs::exec(form))
        return false;
    for (QObject *element : designer->selection()) {
        if (!designer->ElementFlag(element, QStringLiteral("BlockEdit")))
            form.applyTo(element);
    }
    return true;
}
