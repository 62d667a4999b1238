#include "designer/ReportPropertyForm.h"

#include "designer/RpDesigner.h"
#include "report/files/DesignClasses.h"
#include "report/model/PaperSize.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The loop band whose print count is the number of labels of a label report.
TRpLoopBand *labelBand(TCustomRpReport &report)
{
    for (TRpCustomBand *band : report.bandList()) {
        if (band->objectName() == QStringLiteral("LabelBand"))
            return qobject_cast<TRpLoopBand *>(band);
    }
    return nullptr;
}

TRpNumberEdit *lengthField(QWidget *parent, const QString &name)
{
    auto *field = new TRpNumberEdit(TRpNumberEdit::Typing::Decimal, parent);
    field->setObjectName(name);
    field->setStepRange(0, 1e9);
    return field;
}

template <typename Setter> void setLength(const TRpNumberEdit *field, Setter set)
{
    double value = 0;
    if (field->number(value))
        set(value);
}

} // namespace

TReportPropertyForm::TReportPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(
        owner, designer, QStringLiteral("TReportPropertyForm"), QStringLiteral("Report Options"), 90044)
{
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    content()->addWidget(Pages);

    auto *page = new QWidget(Pages);
    page->setObjectName(QStringLiteral("TabPage"));
    auto *pageLayout = new QGridLayout(page);
    ComboPaperSize = new QComboBox(page);
    ComboPaperSize->setObjectName(QStringLiteral("ComboPaperSize"));
    QStringList names;
    for (int size = 0; size < kPaperSizeCount; ++size)
        names << paperSizeCaption(TRpPaperSize(size));
    std::sort(names.begin(), names.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ComboPaperSize->addItems(names);
    EPageWidth = lengthField(page, QStringLiteral("EPageWidth"));
    EPageLength = lengthField(page, QStringLiteral("EPageLength"));
    for (int i = 0; i < 7; ++i) {
        UnitLabel[i] = new QLabel(page);
        UnitLabel[i]->setObjectName(QStringLiteral("UnitLabel%1").arg(i + 1));
    }
    auto *paperLabel = new QLabel(QStringLiteral("Paper size"), page);
    paperLabel->setObjectName(QStringLiteral("LPaperSize"));
    pageLayout->addWidget(paperLabel, 0, 0);
    pageLayout->addWidget(ComboPaperSize, 0, 1, 1, 3);
    auto *widthLabel = new QLabel(QStringLiteral("Width"), page);
    widthLabel->setObjectName(QStringLiteral("LPageWidth"));
    auto *lengthLabel = new QLabel(QStringLiteral("Length"), page);
    lengthLabel->setObjectName(QStringLiteral("LPageLength"));
    pageLayout->addWidget(widthLabel, 1, 0);
    pageLayout->addWidget(EPageWidth, 1, 1);
    pageLayout->addWidget(UnitLabel[0], 1, 2);
    pageLayout->addWidget(lengthLabel, 2, 0);
    pageLayout->addWidget(EPageLength, 2, 1);
    pageLayout->addWidget(UnitLabel[1], 2, 2);

    auto *orientation = new QGroupBox(QStringLiteral("Orientation"), page);
    orientation->setObjectName(QStringLiteral("GroupOrientation"));
    auto *orientationLayout = new QHBoxLayout(orientation);
    RPortrait = new QRadioButton(QStringLiteral("Portrait"), orientation);
    RPortrait->setObjectName(QStringLiteral("RPortrait"));
    RLandscape = new QRadioButton(QStringLiteral("Landscape"), orientation);
    RLandscape->setObjectName(QStringLiteral("RLandscape"));
    orientationLayout->addWidget(RPortrait);
    orientationLayout->addWidget(RLandscape);
    pageLayout->addWidget(orientation, 3, 0, 1, 4);

    auto *margins = new QGroupBox(QStringLiteral("Margins"), page);
    margins->setObjectName(QStringLiteral("GroupMargins"));
    auto *marginLayout = new QGridLayout(margins);
    ETopMargin = lengthField(margins, QStringLiteral("ETopMargin"));
    EBottomMargin = lengthField(margins, QStringLiteral("EBottomMargin"));
    ELeftMargin = lengthField(margins, QStringLiteral("ELeftMargin"));
    ERightMargin = lengthField(margins, QStringLiteral("ERightMargin"));
    const std::pair<const char *, TRpNumberEdit *> marginFields[] = { { "Top", ETopMargin },
        { "Bottom", EBottomMargin }, { "Left", ELeftMargin }, { "Right", ERightMargin } };
    for (int i = 0; i < 4; ++i) {
        marginLayout->addWidget(new QLabel(QString::fromLatin1(marginFields[i].first), margins), i, 0);
        marginLayout->addWidget(marginFields[i].second, i, 1);
        UnitLabel[2 + i]->setParent(margins);
        marginLayout->addWidget(UnitLabel[2 + i], i, 2);
    }
    pageLayout->addWidget(margins, 4, 0, 1, 4);

    auto *columns = new QGroupBox(QStringLiteral("Columns"), page);
    columns->setObjectName(QStringLiteral("GroupColumns"));
    auto *columnLayout = new QGridLayout(columns);
    EColumns = new TRpNumberEdit(TRpNumberEdit::Typing::NonZeroDigits, columns);
    EColumns->setObjectName(QStringLiteral("EColumns"));
    EColumns->setStepRange(1, 1000);
    EColumnSpace = lengthField(columns, QStringLiteral("EColumnSpace"));
    columnLayout->addWidget(new QLabel(QStringLiteral("Number of columns"), columns), 0, 0);
    columnLayout->addWidget(EColumns, 0, 1);
    columnLayout->addWidget(new QLabel(QStringLiteral("Column space"), columns), 1, 0);
    columnLayout->addWidget(EColumnSpace, 1, 1);
    UnitLabel[6]->setParent(columns);
    columnLayout->addWidget(UnitLabel[6], 1, 2);
    pageLayout->addWidget(columns, 5, 0, 1, 4);

    GroupLabels = new QGroupBox(QStringLiteral("Label settings"), page);
    GroupLabels->setObjectName(QStringLiteral("GroupLabels"));
    auto *labelLayout = new QGridLayout(GroupLabels);
    EFirstLabel = new TRpNumberEdit(TRpNumberEdit::Typing::Digits, GroupLabels);
    EFirstLabel->setObjectName(QStringLiteral("EFirstLabel"));
    EFirstLabel->setStepRange(1, 32000);
    ELabelCount = new TRpNumberEdit(TRpNumberEdit::Typing::Digits, GroupLabels);
    ELabelCount->setObjectName(QStringLiteral("ELabelCount"));
    ELabelCount->setStepRange(1, 32000);
    CheckAskFirstLabel = PropertyForms::checkBox(
        GroupLabels, QStringLiteral("CheckAskFirstLabel"), QStringLiteral("Ask before print"));
    CheckAskLabelCount = PropertyForms::checkBox(
        GroupLabels, QStringLiteral("CheckAskLabelCount"), QStringLiteral("Ask before print"));
    // Asking before printing is kept as it is: the boxes are never shown.
    CheckAskFirstLabel->hide();
    CheckAskLabelCount->hide();
    labelLayout->addWidget(new QLabel(QStringLiteral("First label"), GroupLabels), 0, 0);
    labelLayout->addWidget(EFirstLabel, 0, 1);
    labelLayout->addWidget(CheckAskFirstLabel, 0, 2);
    labelLayout->addWidget(new QLabel(QStringLiteral("Number of labels"), GroupLabels), 1, 0);
    labelLayout->addWidget(ELabelCount, 1, 1);
    labelLayout->addWidget(CheckAskLabelCount, 1, 2);
    pageLayout->addWidget(GroupLabels, 6, 0, 1, 4);
    Pages->addTab(page, QStringLiteral("Page"));

    auto *reportPage = new QWidget(Pages);
    reportPage->setObjectName(QStringLiteral("TabReport"));
    auto *reportLayout = new QFormLayout(reportPage);
    EReportTitle = new QLineEdit(reportPage);
    EReportTitle->setObjectName(QStringLiteral("EReportTitle"));
    MemoDescription = new QPlainTextEdit(reportPage);
    MemoDescription->setObjectName(QStringLiteral("MemoDescription"));
    reportLayout->addRow(QStringLiteral("Report Title"), EReportTitle);
    reportLayout->addRow(QStringLiteral("Report description"), MemoDescription);
    Pages->addTab(reportPage, QStringLiteral("Report"));

    connect(
        ComboPaperSize, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { followPaperSize(); });
    connect(EPageWidth->findChild<QLineEdit *>(), &QLineEdit::textChanged, this, [this] {
        if (!m_filling)
            ComboPaperSize->setCurrentText(paperSizeCaption(RpPaper::Custom));
    });
    translate();
}

bool TReportPropertyForm::customChosen() const
{
    return ComboPaperSize->currentText() == paperSizeCaption(RpPaper::Custom);
}

void TReportPropertyForm::followPaperSize()
{
    const bool custom = customChosen();
    for (QWidget *field : { static_cast<QWidget *>(EPageWidth), static_cast<QWidget *>(EPageLength),
             static_cast<QWidget *>(UnitLabel[0]), static_cast<QWidget *>(UnitLabel[1]) })
        field->setVisible(custom);
    for (const char *name : { "LPageWidth", "LPageLength" }) {
        if (QWidget *label = findChild<QWidget *>(QString::fromLatin1(name)))
            label->setVisible(custom);
    }
    ComboPaperSize->setFixedWidth(custom ? kCustomListWidth : kListWidth);
}

void TReportPropertyForm::load(TDesignRpReport &report)
{
    m_filling = true;
    const QString unit = unitLabelText(report.units());
    for (QLabel *label : UnitLabel)
        label->setText(unit);
    EReportTitle->setText(report.reportTitle());
    MemoDescription->setPlainText(report.description().join(u'\n'));
    const TRpPage &page = *report.page();
    RPortrait->setChecked(page.orientation() != RpPaper::poLandscape);
    RLandscape->setChecked(page.orientation() == RpPaper::poLandscape);
    ComboPaperSize->setCurrentText(paperSizeCaption(page.paperSize()));
    EPageWidth->setNumber(page.width());
    EPageLength->setNumber(page.length());
    ETopMargin->setNumber(page.topMargin());
    EBottomMargin->setNumber(page.bottomMargin());
    ELeftMargin->setNumber(page.leftMargin());
    ERightMargin->setNumber(page.rightMargin());
    EColumnSpace->setNumber(page.columnSpace());
    EColumns->setNumber(page.columns());

    m_firstLabel = report.labelSettings()->firstLabel();
    const TRpLoopBand *band = labelBand(report);
    const bool labels = m_firstLabel != 0;
    GroupLabels->setEnabled(labels);
    CheckAskFirstLabel->setChecked(m_firstLabel == -1);
    EFirstLabel->setNumber(labels && m_firstLabel > 0 ? m_firstLabel : 1);
    EFirstLabel->setEnabled(labels && m_firstLabel != -1);
    CheckAskLabelCount->setChecked(band && band->printCount() == 0);
    ELabelCount->setNumber(labels && band && band->printCount() > 0 ? band->printCount() : 1);
    ELabelCount->setEnabled(labels && band && band->printCount() != 0);
    m_filling = false;
    followPaperSize();
}

void TReportPropertyForm::apply(TDesignRpReport &report) const
{
    if (m_firstLabel != 0) {
        int first = 0;
        if (CheckAskFirstLabel->isChecked())
            report.labelSettings()->setFirstLabel(-1);
        else if (EFirstLabel->whole(first))
            report.labelSettings()->setFirstLabel(first == 0 ? 1 : first);
        if (TRpLoopBand *band = labelBand(report)) {
            int count = 0;
            if (CheckAskLabelCount->isChecked())
                band->setPrintCount(0);
            else if (ELabelCount->whole(count))
                band->setPrintCount(count == 0 ? 1 : count);
            report.labelSettings()->setLabelCount(band->printCount());
        }
    }
    report.setReportTitle(EReportTitle->text());
    const QString description = MemoDescription->toPlainText();
    report.setDescription(description.isEmpty() ? QStringList() : description.split(u'\n'));
    TRpPage &page = *report.page();
    page.setOrientation(RLandscape->isChecked() ? RpPaper::poLandscape : RpPaper::poPortrait);
    for (int size = 0; size < kPaperSizeCount; ++size) {
        if (paperSizeCaption(TRpPaperSize(size)) == ComboPaperSize->currentText()) {
            page.setPaperSize(TRpPaperSize(size));
            break;
        }
    }
    if (page.paperSize() == RpPaper::Custom) {
        setLength(EPageWidth, [&page](double v) { page.setWidth(v); });
        setLength(EPageLength, [&page](double v) { page.setLength(v); });
    }
    setLength(ETopMargin, [&page](double v) { page.setTopMargin(v); });
    setLength(ELeftMargin, [&page](double v) { page.setLeftMargin(v); });
    setLength(ERightMargin, [&page](double v) { page.setRightMargin(v); });
    setLength(EBottomMargin, [&page](double v) { page.setBottomMargin(v); });
    setLength(EColumnSpace, [&page](double v) { page.setColumnSpace(v); });
    int columns = 0;
    if (EColumns->whole(columns))
        page.setColumns(columns);
}

bool TReportPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TDesignRpReport *report)
{
    TReportPropertyForm form(owner, designer);
    form.load(*report);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*report);
    return true;
}
