#include "designer/BandPropertyForm.h"

#include "designer/ColorCombo.h"
#include "designer/RpDesigner.h"
#include "report/elements/LabelItems.h"
#include "report/model/Bands.h"
#include "report/model/NameScope.h"
#include "report/model/Report.h"
#include "report/model/RpFrame.h"
#include "report/streaming/ReportRegistry.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <memory>

namespace {

const char *const kLockFlags[]
    = { "BlockDelete", "BlockMove", "BlockResize", "BlockEdit", "BlockChange", "BlockSelection" };

bool isLoop(const QObject *band)
{
    return qobject_cast<const TRpLoopBand *>(band) != nullptr;
}

bool isStrings(const QObject *band)
{
    return qobject_cast<const TRpStringsBand *>(band) != nullptr;
}

int typePosition(const TRpCustomBand &band)
{
    if (isLoop(&band))
        return TBandPropertyForm::PosLoop;
    if (isStrings(&band))
        return TBandPropertyForm::PosStrings;
    return std::max(0, PropertyChoices::positionOf(PropertyChoices::bandTypes(), band.bandType()));
}

} // namespace

// ---------------------------------------------------------------- shared

TRpBandFormBase::TRpBandFormBase(
    QWidget *owner, TRpDesigner *designer, const QString &className, const QString &caption, int helpContext)
    : TRpPropertyForm(owner, designer, className, caption, helpContext)
{
    ECondition = new TRpExpressionEdit(designer, QStringLiteral("ECondition"), this);
    m_bandBox = new QGroupBox(this);
    m_bandBox->setObjectName(QStringLiteral("GroupBreaks"));
    auto *breaks = new QVBoxLayout(m_bandBox);
    CheckAtBottom = PropertyForms::checkBox(
        m_bandBox, QStringLiteral("CheckAtBottom"), QStringLiteral("At bottom of page"));
    CheckForceNewPage = PropertyForms::checkBox(
        m_bandBox, QStringLiteral("CheckForceNewPage"), QStringLiteral("Force new page"));
    CheckForceNewColumn = PropertyForms::checkBox(
        m_bandBox, QStringLiteral("CheckForceNewColumn"), QStringLiteral("Force new column"));
    breaks->addWidget(CheckAtBottom);
    breaks->addWidget(CheckForceNewPage);
    breaks->addWidget(CheckForceNewColumn);
    FrameGroup = new TRpFrameGroup(messages(), this);
    ComboColor = new TrpdColorCombo(this);
    ComboColor->setObjectName(QStringLiteral("ComboColor"));
}

void TRpBandFormBase::loadBand(const TRpCustomBand &band, const char *conditionProperty)
{
    ECondition->setText(band.property(conditionProperty).toString());
    CheckAtBottom->setChecked(band.alignToBottom());
    CheckForceNewPage->setChecked(band.forceNewPage());
    CheckForceNewColumn->setChecked(band.forceNewColumn());
    FrameGroup->load(*band.frame());
    ComboColor->setColor(band.color());
}

void TRpBandFormBase::applyFrameAndColor(TRpCustomBand &band) const
{
    FrameGroup->writeTo(*band.frame());
    band.setColor(ComboColor->color(band.color()));
}

void TRpBandFormBase::applyBreaks(TRpCustomBand &band) const
{
    band.setForceNewPage(CheckForceNewPage->isChecked());
    band.setForceNewColumn(CheckForceNewColumn->isChecked());
    band.setAlignToBottom(CheckAtBottom->isChecked());
}

namespace PageRules {

bool odd(const QObject *band)
{
    const int start = band->property("StartPageNum").toInt();
    return band->property("PageStep").toInt() == 2 && (start == 0 || start == 1);
}

bool even(const QObject *band)
{
    return band->property("PageStep").toInt() == 2 && band->property("StartPageNum").toInt() == 2;
}

void write(QObject *band, bool odd, bool even)
{
    ushort start = 0;
    ushort step = 0;
    if (odd) {
        start = 1;
        step = 2;
    } else if (even) {
        start = 2;
        step = 2;
    }
    PropertyForms::setIfPresent(band, "StartPageNum", QVariant::fromValue(start));
    PropertyForms::setIfPresent(band, "PageStep", QVariant::fromValue(step));
}

} // namespace PageRules

// ---------------------------------------------------------------- band

TBandPropertyForm::TBandPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpBandFormBase(owner, designer, QStringLiteral("TBandPropertyForm"), QStringLiteral("Band"), 90023)
{
    auto *top = new QFormLayout;
    ComboType = new QComboBox(this);
    ComboType->setObjectName(QStringLiteral("ComboType"));
    PropertyChoices::fill(ComboType, PropertyChoices::bandTypes(), messages());
    top->addRow(QStringLiteral("Band type"), ComboType);
    top->addRow(QStringLiteral("Only print if expression is true:"), ECondition);
    content()->addLayout(top);

    GroupLink = new QGroupBox(QStringLiteral("Link with band"), this);
    GroupLink->setObjectName(QStringLiteral("GroupLink"));
    auto *link = new QHBoxLayout(GroupLink);
    ComboLink = new QComboBox(GroupLink);
    ComboLink->setObjectName(QStringLiteral("ComboLink"));
    link->addWidget(ComboLink);
    content()->addWidget(GroupLink);
    // The link is kept as it is: this dialog does not offer it.
    GroupLink->hide();

    auto *rules = new QGroupBox(QStringLiteral("Page rules"), this);
    rules->setObjectName(QStringLiteral("GroupPageRules"));
    auto *rulesLayout = new QVBoxLayout(rules);
    CheckNotOnLastPage = PropertyForms::checkBox(
        rules, QStringLiteral("CheckNotOnLastPage"), QStringLiteral("Not on last page"));
    CheckNotOnFirstPage = PropertyForms::checkBox(
        rules, QStringLiteral("CheckNotOnFirstPage"), QStringLiteral("Not on first page"));
    CheckOddPages = PropertyForms::checkBox(
        rules, QStringLiteral("CheckOddPages"), QStringLiteral("Odd page numbers only"));
    CheckEvenPages = PropertyForms::checkBox(
        rules, QStringLiteral("CheckEvenPages"), QStringLiteral("Even page numbers only"));
    for (QCheckBox *box : { CheckNotOnLastPage, CheckNotOnFirstPage, CheckOddPages, CheckEvenPages })
        rulesLayout->addWidget(box);

    KindPages = new QStackedWidget(this);
    KindPages->setObjectName(QStringLiteral("KindPages"));
    bandBox()->setTitle(QStringLiteral("Band"));
    KindPages->addWidget(bandBox());

    auto makePage = [this](const QString &name, const QString &before, QCheckBox *&beforeBox,
                        QCheckBox *&bottom, QCheckBox *&page, QCheckBox *&column, QComboBox *&master) {
        auto *box = new QGroupBox(name, KindPages);
        box->setObjectName(name);
        auto *layout = new QFormLayout(box);
        beforeBox
            = PropertyForms::checkBox(box, QStringLiteral("Check") + name + QStringLiteral("Before"), before);
        bottom = PropertyForms::checkBox(box, QStringLiteral("Check") + name + QStringLiteral("AtBottom"),
            QStringLiteral("At bottom of page"));
        page = PropertyForms::checkBox(box, QStringLiteral("Check") + name + QStringLiteral("ForceNewPage"),
            QStringLiteral("Force new page"));
        column
            = PropertyForms::checkBox(box, QStringLiteral("Check") + name + QStringLiteral("ForceNewColumn"),
                QStringLiteral("Force new column"));
        master = new QComboBox(box);
        master->setObjectName(QStringLiteral("Combo") + name + QStringLiteral("Master"));
        for (QCheckBox *check : { beforeBox, bottom, page, column })
            layout->addRow(check);
        layout->addRow(QStringLiteral("Master"), master);
        KindPages->addWidget(box);
        return layout;
    };
    QFormLayout *loop = makePage(QStringLiteral("Loopband"), QStringLiteral("Before master"), CheckLoopBefore,
        CheckLoopAtBottom, CheckLoopForceNewPage, CheckLoopForceNewColumn, ComboLoopMaster);
    EPrintCount = new TRpNumberEdit(TRpNumberEdit::Typing::Digits, this);
    EPrintCount->setObjectName(QStringLiteral("EPrintCount"));
    EPrintCount->setStepRange(0, 32000);
    loop->addRow(QStringLiteral("Number of prints"), EPrintCount);
    QFormLayout *strings = makePage(QStringLiteral("Stringsband"), QStringLiteral("Before master-detailband"),
        CheckStringsBefore, CheckStringsAtBottom, CheckStringsForceNewPage, CheckStringsForceNewColumn,
        ComboStringsMaster);
    BItems = new QPushButton(QStringLiteral("Edit band string items ..."), this);
    BItems->setObjectName(QStringLiteral("BItems"));
    strings->addRow(BItems);

    auto *middle = new QHBoxLayout;
    middle->addWidget(KindPages);
    middle->addWidget(rules);
    content()->addLayout(middle);
    content()->addWidget(FrameGroup);
    auto *color = new QFormLayout;
    color->addRow(QStringLiteral("Color"), ComboColor);
    content()->addLayout(color);

    connect(ComboType, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { followType(); });
    connect(BItems, &QPushButton::clicked, this,
        [this] { TStringbandItemsForm::Edit(this, this->designer(), m_items); });
    translate();
}

void TBandPropertyForm::followType()
{
    const int position = ComboType->currentIndex();
    TCustomRpReport *report = m_band ? m_band->report() : nullptr;
    const QObject *master = m_band ? m_band->property("Master").value<QObject *>() : nullptr;
    if (position == PosLoop) {
        KindPages->setCurrentIndex(1);
        BandLists::fillLoopMasters(ComboLoopMaster, report, m_band, master);
    } else if (position == PosStrings) {
        KindPages->setCurrentIndex(2);
        BandLists::fillLoopMasters(ComboStringsMaster, report, m_band, master);
    } else {
        KindPages->setCurrentIndex(0);
    }
    auto clearAndEnable = [](QCheckBox *box, bool enabled) {
        if (!enabled)
            box->setChecked(false);
        box->setEnabled(enabled);
    };
    const bool pageBand = position == PosTitle || position == 1 || position == 2 || position == PosPageFooter;
    clearAndEnable(CheckForceNewPage, !pageBand);
    clearAndEnable(CheckForceNewColumn, !pageBand);
    const bool everyPage = position != PosTitle && position != PosDetail;
    for (QCheckBox *box : { CheckNotOnFirstPage, CheckEvenPages, CheckOddPages })
        clearAndEnable(box, everyPage);
    clearAndEnable(CheckNotOnLastPage, position == PosPageFooter);
    clearAndEnable(CheckAtBottom, position != PosPageFooter);
}

void TBandPropertyForm::load(TRpCustomBand &band)
{
    m_band = &band;
    setWindowTitle(band.objectName());
    loadBand(band, "Expression");
    BandLists::fill(ComboLink, BandLists::otherBands(band.report(), &band), band.linkBand(), messages());
    CheckNotOnLastPage->setChecked(band.property("NotOnLastPage").toBool());
    CheckNotOnFirstPage->setChecked(band.property("NotOnFirstPage").toBool());
    CheckOddPages->setChecked(PageRules::odd(&band));
    CheckEvenPages->setChecked(PageRules::even(&band));
    if (auto *loop = qobject_cast<TRpLoopBand *>(&band)) {
        CheckLoopBefore->setChecked(loop->printBefore());
        CheckLoopAtBottom->setChecked(loop->alignToBottom());
        CheckLoopForceNewPage->setChecked(loop->forceNewPage());
        CheckLoopForceNewColumn->setChecked(loop->forceNewColumn());
        EPrintCount->setNumber(loop->printCount());
    } else {
        EPrintCount->setNumber(0);
    }
    if (auto *strings = qobject_cast<TRpStringsBand *>(&band)) {
        CheckStringsBefore->setChecked(strings->printBefore());
        CheckStringsAtBottom->setChecked(strings->alignToBottom());
        CheckStringsForceNewPage->setChecked(strings->forceNewPage());
        CheckStringsForceNewColumn->setChecked(strings->forceNewColumn());
        m_items = strings->items();
    }
    // The type list is set last, so that the rules of the type see the band's values.
    const QSignalBlocker block(ComboType);
    ComboType->setCurrentIndex(typePosition(band));
    ComboType->setEnabled(!designer() || !designer()->ElementFlag(&band, QStringLiteral("BlockChange")));
    followType();
}

TRpCustomBand *TBandPropertyForm::apply(TRpCustomBand &original) const
{
    const int position = ComboType->currentIndex();
    TRpCustomBand *band = &original;
    if (position == PosLoop && !isLoop(band))
        band = ChangeBandKind(designer(), band, QStringLiteral("TRpDesignLoopband"));
    else if (position == PosStrings && !isStrings(band))
        band = ChangeBandKind(designer(), band, QStringLiteral("TRpDesignStringsband"));
    else if (position >= 0 && position < PosLoop && (isLoop(band) || isStrings(band)))
        band = ChangeBandKind(designer(), band, QStringLiteral("TRpDesignBand"));
    if (!band)
        return nullptr;

    if (auto *loop = qobject_cast<TRpLoopBand *>(band)) {
        loop->setPrintBefore(CheckLoopBefore->isChecked());
        loop->setAlignToBottom(CheckLoopAtBottom->isChecked());
        loop->setForceNewPage(CheckLoopForceNewPage->isChecked());
        loop->setForceNewColumn(CheckLoopForceNewColumn->isChecked());
        int count = 0;
        if (EPrintCount->whole(count))
            loop->setPrintCount(count);
        loop->setMaster(BandLists::chosen(ComboLoopMaster));
    } else if (auto *strings = qobject_cast<TRpStringsBand *>(band)) {
        strings->setPrintBefore(CheckStringsBefore->isChecked());
        strings->setAlignToBottom(CheckStringsAtBottom->isChecked());
        strings->setForceNewPage(CheckStringsForceNewPage->isChecked());
        strings->setForceNewColumn(CheckStringsForceNewColumn->isChecked());
        strings->setMaster(BandLists::chosen(ComboStringsMaster));
        strings->setItems(m_items);
    }
    if (auto *plain = qobject_cast<TRpBand *>(band); plain && position >= 0 && position < PosLoop)
        plain->setBandType(
            TRpBandType(PropertyChoices::valueAt(PropertyChoices::bandTypes(), position, Rp::rbTitle)));
    PropertyForms::setIfPresent(band, "Expression", ECondition->text());
    band->setLinkBand(qobject_cast<TRpCustomBand *>(BandLists::chosen(ComboLink)));
    PropertyForms::setIfPresent(band, "NotOnFirstPage", CheckNotOnFirstPage->isChecked());
    PropertyForms::setIfPresent(band, "NotOnLastPage", CheckNotOnLastPage->isChecked());
    PageRules::write(band, CheckOddPages->isChecked(), CheckEvenPages->isChecked());
    applyFrameAndColor(*band);
    if (!isLoop(band) && !isStrings(band))
        applyBreaks(*band);
    if (TCustomRpReport *report = band->report())
        report->arrangeBands();
    return band;
}

bool TBandPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpCustomBand *band)
{
    TBandPropertyForm form(owner, designer);
    form.load(*band);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*band);
    return true;
}

// ---------------------------------------------------------------- kind change

namespace {

// Points every link of the report that leads to `from` at `to` (where the link's kind allows it).
void relink(TCustomRpReport *report, TRpCustomBand *from, TRpCustomBand *to)
{
    if (!report)
        return;
    auto *plainTo = qobject_cast<TRpBand *>(to);
    for (TRpCustomBand *band : report->findChildren<TRpCustomBand *>(Qt::FindDirectChildrenOnly)) {
        if (band == from || band == to)
            continue;
        if (band->linkBand() == from)
            band->setLinkBand(to);
        if (auto *child = qobject_cast<TRpChildBand *>(band); child && child->parentBand() == from)
            child->setParentBand(to);
        if (auto *group = qobject_cast<TRpGroup *>(band)) {
            if (group->master() == from)
                group->setMaster(to);
            if (group->footerBand() == from && plainTo)
                group->setFooterBand(plainTo);
        }
        if (auto *controller = qobject_cast<TRpControllerBand *>(band);
            controller && controller->master() == from)
            controller->setMaster(to);
        if (auto *sub = qobject_cast<TRpSubDetail *>(band)) {
            if (sub->headerBand() == from && plainTo)
                sub->setHeaderBand(plainTo);
            if (sub->footerBand() == from && plainTo)
                sub->setFooterBand(plainTo);
        }
    }
    for (TRpExpr *expression : report->findChildren<TRpExpr *>()) {
        if (expression->master() == from)
            expression->setMaster(to);
    }
}

} // namespace

TRpCustomBand *ChangeBandKind(TRpDesigner *designer, TRpCustomBand *band, const QString &className)
{
    QObject *owner = band->parent();
    std::unique_ptr<QObject> made(reportClasses().create(className, nullptr));
    auto *replacement = qobject_cast<TRpCustomBand *>(made.get());
    if (!replacement)
        return band;
    made.release();
    replacement->setParent(owner);
    const bool selected = designer && designer->selection().contains(band);

    replacement->size()->setNativeLength(band->size()->nativeLength());
    replacement->font()->assign(*band->font());
    replacement->setParentFont(band->parentFont());
    replacement->setEnabled(band->enabled());
    replacement->setColor(band->color());
    replacement->setLinkBand(band->linkBand());
    for (const char *name : { "EditorEnabled", "BandNum", "StartPageNum", "EndPageNum", "PageStep" })
        PropertyForms::setIfPresent(replacement, name, band->property(name));
    TRpFrame &frame = *replacement->frame();
    const TRpFrame &old = *band->frame();
    frame.setColor(old.color());
    frame.setDrawTop(old.drawTop());
    frame.setDrawBottom(old.drawBottom());
    frame.setDrawLeft(old.drawLeft());
    frame.setDrawRight(old.drawRight());
    frame.setStyle(old.style());
    frame.setWidth(old.width());
    if (designer) {
        for (const char *flag : kLockFlags)
            designer->SetElementFlag(replacement, QString::fromLatin1(flag),
                designer->ElementFlag(band, QString::fromLatin1(flag)));
        designer->SetGroupID(replacement, designer->GroupID(band));
    }
    const QList<QObject *> elements = band->children();
    for (QObject *element : elements) {
        if (qobject_cast<TRpPrintable *>(element))
            element->setParent(replacement);
    }
    relink(replacement->report(), band, replacement);

    QList<QObject *> selection;
    if (selected) {
        selection = designer->selection();
        selection.replace(selection.indexOf(band), replacement);
        designer->ClearSelection();
    }
    const QString name = band->objectName();
    delete band;
    replacement->setObjectName(name);
    if (TCustomRpReport *report = replacement->report())
        report->arrangeBands();
    if (selected)
        designer->SelectList(selection);
    return replacement;
}

TRpBand *CreateLinkedBand(
    TRpDesigner *designer, TCustomRpReport *report, const QString &base, TRpBandType type)
{
    if (!report)
        return nullptr;
    std::unique_ptr<QObject> made(reportClasses().create(QStringLiteral("TRpDesignBand"), nullptr));
    auto *band = qobject_cast<TRpBand *>(made.get());
    if (!band)
        return nullptr;
    if (designer)
        designer->Modify();
    made.release();
    band->setParent(report);
    band->setObjectName(NameScope(nameScopeRoot(report)).numbered(base));
    band->setBandType(type);
    report->arrangeBands();
    if (designer)
        designer->refreshSurface();
    return band;
}

// ---------------------------------------------------------------- strings band items

TStringbandItemsForm::TStringbandItemsForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(
        owner, designer, QStringLiteral("TStringbandItemsForm"), QStringLiteral("Stringband Items"), 0)
{
    MemoItems = new QPlainTextEdit(this);
    MemoItems->setObjectName(QStringLiteral("MemoItems"));
    MemoItems->setMinimumSize(320, 200);
    content()->addWidget(MemoItems);
    translate();
}

void TStringbandItemsForm::setItems(const QStringList &items)
{
    MemoItems->setPlainText(items.join(u'\n'));
}

QStringList TStringbandItemsForm::items() const
{
    const QString text = MemoItems->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

bool TStringbandItemsForm::Edit(QWidget *owner, TRpDesigner *designer, QStringList &items)
{
    TStringbandItemsForm form(owner, designer);
    form.setItems(items);
    if (!Dialogs::exec(form))
        return false;
    items = form.items();
    return true;
}
