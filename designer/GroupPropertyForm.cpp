#include "designer/GroupPropertyForm.h"

#include "designer/ColorCombo.h"
#include "designer/RpDesigner.h"
#include "report/model/Bands.h"
#include "report/model/Report.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

QComboBox *bandList(QWidget *parent, const QString &name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setMinimumWidth(180);
    return combo;
}

QPushButton *newButton(QWidget *parent, const QString &name)
{
    auto *button = new QPushButton(QStringLiteral("new"), parent);
    button->setObjectName(name);
    return button;
}

QHBoxLayout *withButton(QWidget *field, QWidget *button)
{
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

void addFrameAndColor(QVBoxLayout *content, TRpFrameGroup *frame, TrpdColorCombo *color)
{
    content->addWidget(frame);
    auto *row = new QFormLayout;
    row->addRow(QStringLiteral("Color"), color);
    content->addLayout(row);
}

} // namespace

// ---------------------------------------------------------------- group

TGroupPropertyForm::TGroupPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpBandFormBase(
        owner, designer, QStringLiteral("TGroupPropertyForm"), QStringLiteral("Groupband"), 90025)
{
    auto *form = new QFormLayout;
    EGroupExpression = new TRpExpressionEdit(designer, QStringLiteral("EGroupExpression"), this);
    ComboMaster = bandList(this, QStringLiteral("ComboMaster"));
    ComboFooter = bandList(this, QStringLiteral("ComboFooter"));
    BNewFooter = newButton(this, QStringLiteral("BNewFooter"));
    ComboLink = bandList(this, QStringLiteral("ComboLink"));
    CheckReprint = PropertyForms::checkBox(
        this, QStringLiteral("CheckReprint"), QStringLiteral("Reprint on new page"));
    form->addRow(QStringLiteral("Group expression"), EGroupExpression);
    form->addRow(QStringLiteral("Only print if expression is true:"), ECondition);
    form->addRow(QStringLiteral("Master"), ComboMaster);
    form->addRow(QStringLiteral("Footer band"), withButton(ComboFooter, BNewFooter));
    form->addRow(QStringLiteral("Link with band"), ComboLink);
    form->addRow(CheckReprint);
    content()->addLayout(form);
    CheckAtBottom->setText(QStringLiteral("Bottom of page"));
    content()->addWidget(bandBox());
    addFrameAndColor(content(), FrameGroup, ComboColor);
    connect(BNewFooter, &QPushButton::clicked, this, [this] {
        if (TRpBand *band = CreateLinkedBand(this->designer(), m_group ? m_group->report() : nullptr,
                QStringLiteral("Footer"), Rp::rbGroupFooter))
            BandLists::addAndSelect(ComboFooter, band);
    });
    translate();
}

void TGroupPropertyForm::load(TRpGroup &group)
{
    m_group = &group;
    TCustomRpReport *report = group.report();
    EGroupExpression->setText(group.expression());
    loadBand(group, "PrintExpression");
    BandLists::fillElementMasters(ComboMaster, report, &group, group.master(), messages());
    ComboMaster->setEnabled(!designer() || !designer()->ElementFlag(&group, QStringLiteral("BlockChange")));
    BandLists::fill(ComboFooter, BandLists::plainBands(report, &group), group.footerBand(), messages());
    BandLists::fill(ComboLink, BandLists::otherBands(report, &group), group.linkBand(), messages());
    CheckReprint->setChecked(group.reprintOnNewPage());
}

void TGroupPropertyForm::apply(TRpGroup &group) const
{
    group.setExpression(EGroupExpression->text());
    PropertyForms::setIfPresent(&group, "PrintExpression", ECondition->text());
    group.setReprintOnNewPage(CheckReprint->isChecked());
    group.setMaster(BandLists::chosen(ComboMaster));
    group.setFooterBand(qobject_cast<TRpBand *>(BandLists::chosen(ComboFooter)));
    group.setLinkBand(qobject_cast<TRpCustomBand *>(BandLists::chosen(ComboLink)));
    group.setAlignToBottom(CheckAtBottom->isChecked());
    applyFrameAndColor(group);
    group.setForceNewPage(CheckForceNewPage->isChecked());
    group.setForceNewColumn(CheckForceNewColumn->isChecked());
    if (TCustomRpReport *report = group.report())
        report->arrangeBands();
}

bool TGroupPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpGroup *group)
{
    TGroupPropertyForm form(owner, designer);
    form.load(*group);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*group);
    return true;
}

// ---------------------------------------------------------------- sub-detail

TSubdetailPropertyForm::TSubdetailPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpBandFormBase(
        owner, designer, QStringLiteral("TSubdetailPropertyForm"), QStringLiteral("Subdetailband"), 90024)
{
    auto *form = new QFormLayout;
    ComboDataSet = bandList(this, QStringLiteral("ComboDataSet"));
    ComboMaster = bandList(this, QStringLiteral("ComboMaster"));
    ComboHeader = bandList(this, QStringLiteral("ComboHeader"));
    BNewHeader = newButton(this, QStringLiteral("BNewHeader"));
    ComboFooter = bandList(this, QStringLiteral("ComboFooter"));
    BNewFooter = newButton(this, QStringLiteral("BNewFooter"));
    CheckPrintBefore = PropertyForms::checkBox(
        this, QStringLiteral("CheckPrintBefore"), QStringLiteral("Before master-detailband"));
    CheckPrintIfEmpty = PropertyForms::checkBox(this, QStringLiteral("CheckPrintIfEmpty"),
        QStringLiteral("Print header/footer even if dataset is empty"));
    form->addRow(QStringLiteral("Data set"), ComboDataSet);
    form->addRow(QStringLiteral("Master"), ComboMaster);
    form->addRow(QStringLiteral("Header band"), withButton(ComboHeader, BNewHeader));
    form->addRow(QStringLiteral("Footer band"), withButton(ComboFooter, BNewFooter));
    form->addRow(QStringLiteral("Only print if expression is true:"), ECondition);
    form->addRow(CheckPrintBefore);
    form->addRow(CheckPrintIfEmpty);
    content()->addLayout(form);
    content()->addWidget(bandBox());
    addFrameAndColor(content(), FrameGroup, ComboColor);
    connect(BNewHeader, &QPushButton::clicked, this, [this] {
        if (TRpBand *band = CreateLinkedBand(this->designer(), m_band ? m_band->report() : nullptr,
                QStringLiteral("Header"), Rp::rbGroupHeader))
            BandLists::addAndSelect(ComboHeader, band);
    });
    connect(BNewFooter, &QPushButton::clicked, this, [this] {
        if (TRpBand *band = CreateLinkedBand(this->designer(), m_band ? m_band->report() : nullptr,
                QStringLiteral("Footer"), Rp::rbGroupFooter))
            BandLists::addAndSelect(ComboFooter, band);
    });
    translate();
}

void TSubdetailPropertyForm::load(TRpSubDetail &band)
{
    m_band = &band;
    TCustomRpReport *report = band.report();
    loadBand(band, "Expression");
    ComboDataSet->clear();
    ComboDataSet->addItem(messages().text(QStringLiteral("None")), QVariant::fromValue(QPointer<QObject>()));
    const QList<QObject *> dataSets = designer() ? designer()->availableDatasets() : QList<QObject *>();
    int selected = 0;
    for (QObject *dataSet : dataSets) {
        if (dataSet == band.dataSet())
            selected = ComboDataSet->count();
        ComboDataSet->addItem(dataSet->objectName(), QVariant::fromValue(QPointer<QObject>(dataSet)));
    }
    ComboDataSet->setCurrentIndex(selected);
    ComboDataSet->setEnabled(!designer() || !designer()->ElementFlag(&band, QStringLiteral("BlockChange")));
    BandLists::fillElementMasters(ComboMaster, report, &band, band.master(), messages());
    BandLists::fill(ComboHeader, BandLists::plainBands(report, &band), band.headerBand(), messages());
    BandLists::fill(ComboFooter, BandLists::plainBands(report, &band), band.footerBand(), messages());
    CheckPrintBefore->setChecked(band.printBefore());
    CheckPrintIfEmpty->setChecked(band.printIfEmpty());
}

void TSubdetailPropertyForm::apply(TRpSubDetail &band) const
{
    band.setPrintIfEmpty(CheckPrintIfEmpty->isChecked());
    PropertyForms::setIfPresent(&band, "Expression", ECondition->text());
    band.setMaster(BandLists::chosen(ComboMaster));
    band.setPrintBefore(CheckPrintBefore->isChecked());
    band.setDataSet(BandLists::chosen(ComboDataSet));
    band.setColor(ComboColor->color(band.color()));
    band.setFooterBand(qobject_cast<TRpBand *>(BandLists::chosen(ComboFooter)));
    band.setHeaderBand(qobject_cast<TRpBand *>(BandLists::chosen(ComboHeader)));
    band.setAlignToBottom(CheckAtBottom->isChecked());
    FrameGroup->writeTo(*band.frame());
    band.setForceNewPage(CheckForceNewPage->isChecked());
    band.setForceNewColumn(CheckForceNewColumn->isChecked());
    if (TCustomRpReport *report = band.report())
        report->arrangeBands();
}

bool TSubdetailPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpSubDetail *band)
{
    TSubdetailPropertyForm form(owner, designer);
    form.load(*band);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*band);
    return true;
}

// ---------------------------------------------------------------- child

TChildPropertyForm::TChildPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpBandFormBase(
        owner, designer, QStringLiteral("TChildPropertyForm"), QStringLiteral("Childband"), 90027)
{
    auto *form = new QFormLayout;
    ComboParent = bandList(this, QStringLiteral("ComboParent"));
    ComboLink = bandList(this, QStringLiteral("ComboLink"));
    CheckEvenPages = PropertyForms::checkBox(
        this, QStringLiteral("CheckEvenPages"), QStringLiteral("Even page numbers only"));
    CheckOddPages = PropertyForms::checkBox(
        this, QStringLiteral("CheckOddPages"), QStringLiteral("Odd page numbers only"));
    CheckNotOnFirstPage = PropertyForms::checkBox(
        this, QStringLiteral("CheckNotOnFirstPage"), QStringLiteral("Not on first page"));
    form->addRow(QStringLiteral("Parent band"), ComboParent);
    form->addRow(QStringLiteral("Link with band"), ComboLink);
    form->addRow(QStringLiteral("Only print if expression is true:"), ECondition);
    for (QCheckBox *box : { CheckEvenPages, CheckOddPages, CheckNotOnFirstPage })
        form->addRow(box);
    content()->addLayout(form);
    content()->addWidget(bandBox());
    addFrameAndColor(content(), FrameGroup, ComboColor);
    translate();
}

void TChildPropertyForm::load(TRpChildBand &band)
{
    TCustomRpReport *report = band.report();
    loadBand(band, "Expression");
    BandLists::fill(ComboParent, BandLists::otherBands(report, &band), band.parentBand(), messages());
    BandLists::fill(ComboLink, BandLists::otherBands(report, &band), band.linkBand(), messages());
    CheckEvenPages->setChecked(PageRules::even(&band));
    CheckOddPages->setChecked(PageRules::odd(&band));
    CheckNotOnFirstPage->setChecked(band.property("NotOnFirstPage").toBool());
}

void TChildPropertyForm::apply(TRpChildBand &band) const
{
    PropertyForms::setIfPresent(&band, "Expression", ECondition->text());
    band.setLinkBand(qobject_cast<TRpCustomBand *>(BandLists::chosen(ComboLink)));
    band.setParentBand(qobject_cast<TRpCustomBand *>(BandLists::chosen(ComboParent)));
    band.setAlignToBottom(CheckAtBottom->isChecked());
    PropertyForms::setIfPresent(&band, "NotOnFirstPage", CheckNotOnFirstPage->isChecked());
    PageRules::write(&band, CheckOddPages->isChecked(), CheckEvenPages->isChecked());
    applyFrameAndColor(band);
    band.setForceNewPage(CheckForceNewPage->isChecked());
    band.setForceNewColumn(CheckForceNewColumn->isChecked());
    if (TCustomRpReport *report = band.report())
        report->arrangeBands();
}

bool TChildPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpChildBand *band)
{
    TChildPropertyForm form(owner, designer);
    form.load(*band);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*band);
    return true;
}
