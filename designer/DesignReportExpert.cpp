#include "designer/DesignReportExpert.h"

#include "designer/LanguageFile.h"
#include "designer/PropertyFields.h"
#include "platform/RegionalSettings.h"
#include "report/files/ReportFile.h"
#include "report/generation/RunReport.h"
#include "store/DataSet.h"
#include "store/DataSource.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <cmath>

// ---------------------------------------------------------------- number fields

void WizardNumberField::setValue(double value)
{
    m_value = value;
    m_shown = RegionalSettings::current().floatToStr(value, 6);
    m_edit->setText(m_shown);
}

double WizardNumberField::value() const
{
    const QString text = m_edit->text().trimmed();
    if (text == m_shown)
        return m_value;
    double typed = 0;
    if (!RegionalSettings::current().tryStrToFloat(text, typed) || !std::isfinite(typed))
        return 0;
    return typed;
}

int WizardNumberField::wholeValue() const
{
    const double number = value();
    if (!(std::abs(number) < 2e9))
        return 0;
    return int(std::trunc(number));
}

// ---------------------------------------------------------------- label preview

// A sheet of labels in miniature: the paper, its margins and the labels on it.
class TRpDesignReportExpert::LabelPreview : public QWidget
{
public:
    explicit LabelPreview(QWidget *parent)
        : QWidget(parent)
    {
        setMinimumSize(150, 190);
    }
    std::function<TRpWizardAnswers()> answers;
    std::function<UnitContext()> unit;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        if (!answers || !unit)
            return;
        const TRpWizardAnswers a = answers();
        const UnitContext u = unit();
        auto mm
            = [&u](double value, Axis axis) { return double(unitToNative(value, u, axis)) / kNativePerMM; };
        double width = a.paperWidth, length = a.paperLength;
        if (a.paperSize != RpPaper::Custom) {
            const PaperDimensions paper = paperSizeMM(a.paperSize);
            width = paper.width;
            length = paper.length;
        } else {
            width = mm(a.paperWidth, Axis::Horizontal);
            length = mm(a.paperLength, Axis::Vertical);
        }
        if (a.labelOrientation == RpPaper::poLandscape)
            std::swap(width, length);
        if (!(width > 0 && length > 0))
            return;
        const double scale = std::min((this->width() - 10) / width, (height() - 10) / length);
        const QRectF paper(5, 5, width * scale, length * scale);
        painter.fillRect(paper, Qt::white);
        painter.setPen(Qt::black);
        painter.drawRect(paper);
        painter.setPen(Qt::gray);
        const double left = mm(a.leftMargin, Axis::Horizontal), top = mm(a.topMargin, Axis::Vertical);
        const double w = mm(a.labelWidth, Axis::Horizontal), h = mm(a.labelHeight, Axis::Vertical);
        const double dx = w + mm(a.columnSpace, Axis::Horizontal), dy = h + mm(a.rowSpace, Axis::Vertical);
        // A preview of a few hundred labels says all there is to see.
        const int columns = std::clamp(a.labelColumns, 0, 20), rows = std::clamp(a.labelRows, 0, 40);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                painter.drawRect(QRectF(paper.left() + (left + c * dx) * scale,
                    paper.top() + (top + r * dy) * scale, w * scale, h * scale));
        }
    }
};

// ---------------------------------------------------------------- the window

namespace {

QWidget *titledPage(const QString &title, QVBoxLayout *&layout)
{
    auto *page = new QWidget;
    layout = new QVBoxLayout(page);
    auto *heading = new QLabel(title, page);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    return page;
}

QPushButton *button(QWidget *parent, const QString &caption, QLayout *layout)
{
    auto *made = new QPushButton(caption, parent);
    layout->addWidget(made);
    return made;
}

} // namespace

TRpDesignReportExpert::TRpDesignReportExpert(TDesignRpReport &report, QWidget *parent)
    : QDialog(parent)
    , m_report(report)
{
    setObjectName(QStringLiteral("RpExpertBaseForm"));
    setWindowTitle(QStringLiteral("New report definition"));
    setProperty("HelpContext", 90014);
    const TRpWizardAnswers defaults = TRpDReportCreator::defaultsFor(report);
    m_dataFont = defaults.dataFont;
    m_headerFont = defaults.headerFont;
    // Every length field is made once; reserving keeps their addresses.
    m_numbers.reserve(32);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(makeTypePage());
    m_pages->addWidget(makeDataSetPage());
    m_pages->addWidget(makeFieldsPage());
    m_pages->addWidget(makeBandsPage());
    m_pages->addWidget(makeLabelFormatPage());
    m_pages->addWidget(makePaperPage());
    m_pages->addWidget(makeLabelSizePage());
    m_pages->addWidget(makeOptionsPage());
    m_pages->addWidget(makeFontsPage());
    m_pages->addWidget(makeFinishPage());

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btnBack = button(this, QStringLiteral("<< &Back"), buttons);
    btnNext = button(this, QStringLiteral("&Next >>"), buttons);
    btnFinish = button(this, QStringLiteral("&Finish"), buttons);
    btnCancel = button(this, QStringLiteral("Cancel"), buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    connect(btnBack, &QPushButton::clicked, this, &TRpDesignReportExpert::back);
    connect(btnNext, &QPushButton::clicked, this, &TRpDesignReportExpert::next);
    connect(btnFinish, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    btnNext->setDefault(true);
    setDataSets({});
    enterPage(PageType);
}

TRpDesignReportExpert::~TRpDesignReportExpert() = default;

UnitContext TRpDesignReportExpert::unit() const
{
    return { m_report.units(), m_report.resolution(), 100, double(m_report.font()->size()) };
}

WizardNumberField &TRpDesignReportExpert::numberField(QLineEdit *edit)
{
    for (WizardNumberField &field : m_numbers) {
        if (field.edit() == edit)
            return field;
    }
    // Every length field is made through lengthField().
    Q_ASSERT(false);
    return m_numbers.front();
}

const WizardNumberField &TRpDesignReportExpert::numberField(QLineEdit *edit) const
{
    return const_cast<TRpDesignReportExpert *>(this)->numberField(edit);
}

QLineEdit *TRpDesignReportExpert::lengthField(
    QWidget *page, std::vector<WizardNumberField> &fields, double value)
{
    auto *edit = new QLineEdit(page);
    fields.emplace_back(edit);
    fields.back().setValue(value);
    return edit;
}

// ---------------------------------------------------------------- pages

QWidget *TRpDesignReportExpert::makeTypePage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Select report type"), layout);
    auto *group = new QButtonGroup(page);
    auto add = [&](const QString &caption, const QString &note) {
        auto *radio = new QRadioButton(caption, page);
        group->addButton(radio);
        auto *row = new QHBoxLayout;
        row->addWidget(radio);
        row->addWidget(new QLabel(note, page));
        row->addStretch();
        layout->addLayout(row);
        return radio;
    };
    rbList = add(QStringLiteral("List style"), QStringLiteral("(all records listed in columns)"));
    rbForm = add(QStringLiteral("Form style"), QStringLiteral("(one page for each record)"));
    rbSingle = add(QStringLiteral("Single form"), QStringLiteral("(only one record on one page)"));
    rbTabular = add(QStringLiteral("Tabular"), QStringLiteral("(each datafield on a separate line)"));
    rbBlank = add(QStringLiteral("New blank report"), QString());
    rbLabels = add(QStringLiteral("Mailing labels"), QString());
    rbBlank->setChecked(true);
    layout->addStretch();
    return page;
}

QWidget *TRpDesignReportExpert::makeDataSetPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Main dataset for report"), layout);
    auto *row = new QHBoxLayout;
    lstDatasets = new QListWidget(page);
    row->addWidget(lstDatasets);
    auto *side = new QVBoxLayout;
    btnNewDataset = button(page, QStringLiteral("&New"), side);
    btnDatasetProperties = button(page, QStringLiteral("&Properties"), side);
    btnDeleteDataset = button(page, QStringLiteral("&Delete"), side);
    side->addStretch();
    row->addLayout(side);
    layout->addLayout(row);
    // This program places no data set interface, through which data sets would be made and edited.
    btnDatasetProperties->setEnabled(false);
    btnDeleteDataset->setEnabled(false);
    btnNewDataset->setEnabled(false);
    return page;
}

QWidget *TRpDesignReportExpert::makeFieldsPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Fields"), layout);
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Available fields:"), page), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Fields used in report:"), page), 0, 2);
    lstAvailable = new QListWidget(page);
    lstAvailable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstAvailable->setDragEnabled(true);
    lstUsed = new QListWidget(page);
    lstUsed->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstUsed->setAcceptDrops(true);
    grid->addWidget(lstAvailable, 1, 0);
    grid->addWidget(lstUsed, 1, 2);
    auto *middle = new QVBoxLayout;
    btnAdd = button(page, QStringLiteral(">"), middle);
    btnAddAll = button(page, QStringLiteral(">>"), middle);
    btnRemove = button(page, QStringLiteral("<"), middle);
    btnRemoveAll = button(page, QStringLiteral("<<"), middle);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    auto *order = new QVBoxLayout;
    btnUp = button(page, QStringLiteral("Up"), order);
    btnDown = button(page, QStringLiteral("Down"), order);
    order->addStretch();
    grid->addLayout(order, 1, 3);
    layout->addLayout(grid);
    connect(btnAdd, &QPushButton::clicked, this, [this] { moveSelected(lstAvailable, lstUsed, false); });
    connect(btnAddAll, &QPushButton::clicked, this, [this] { moveSelected(lstAvailable, lstUsed, true); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { moveSelected(lstUsed, lstAvailable, false); });
    connect(btnRemoveAll, &QPushButton::clicked, this, [this] { moveSelected(lstUsed, lstAvailable, true); });
    connect(btnUp, &QPushButton::clicked, this, [this] { moveUsed(-1); });
    connect(btnDown, &QPushButton::clicked, this, [this] { moveUsed(1); });
    connect(lstAvailable, &QListWidget::itemDoubleClicked, this,
        [this] { moveSelected(lstAvailable, lstUsed, false); });
    return page;
}

QWidget *TRpDesignReportExpert::makeBandsPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Reportbands"), layout);
    chkTitle = new QCheckBox(QStringLiteral("Title"), page);
    chkPageHeader = new QCheckBox(QStringLiteral("Page Header"), page);
    chkPageFooter = new QCheckBox(QStringLiteral("Page Footer"), page);
    chkSummary = new QCheckBox(QStringLiteral("Summary"), page);
    chkDetail = new QCheckBox(QStringLiteral("Detail"), page);
    chkTitle->setChecked(true);
    chkPageHeader->setChecked(true);
    chkDetail->setChecked(true);
    chkDetail->setEnabled(false);
    for (QCheckBox *box : { chkTitle, chkPageHeader, chkDetail, chkPageFooter, chkSummary })
        layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget *TRpDesignReportExpert::makeLabelFormatPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Label format"), layout);
    auto *row = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    cmbLabelFamily = new QComboBox(page);
    lstLabelFormats = new QListWidget(page);
    left->addWidget(cmbLabelFamily);
    left->addWidget(lstLabelFormats);
    row->addLayout(left);
    m_formatPreview = new LabelPreview(page);
    row->addWidget(m_formatPreview);
    layout->addLayout(row);
    connect(cmbLabelFamily, &QComboBox::currentIndexChanged, this, &TRpDesignReportExpert::chooseFamily);
    connect(lstLabelFormats, &QListWidget::currentRowChanged, this, &TRpDesignReportExpert::chooseFormat);
    return page;
}

QWidget *TRpDesignReportExpert::makePaperPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Page setup"), layout);
    const TRpWizardAnswers defaults = TRpDReportCreator::defaultsFor(m_report);
    const QString units = unitLabelText(m_report.units());
    auto *margins = new QGroupBox(QStringLiteral("Page margins"), page);
    auto *marginGrid = new QGridLayout(margins);
    auto margin = [&](const QString &caption, double value, int row) {
        marginGrid->addWidget(new QLabel(caption, margins), row, 0);
        QLineEdit *edit = lengthField(margins, m_numbers, value);
        marginGrid->addWidget(edit, row, 1);
        marginGrid->addWidget(new QLabel(units, margins), row, 2);
        return edit;
    };
    edtTopMargin = margin(QStringLiteral("Top"), 10, 0);
    edtBottomMargin = margin(QStringLiteral("Bottom"), 10, 1);
    edtLeftMargin = margin(QStringLiteral("Left"), 10, 2);
    edtRightMargin = margin(QStringLiteral("Right"), 10, 3);
    // The page's own margins, as the pages start from the report's current page.
    numberField(edtTopMargin).setValue(defaults.topMargin);
    numberField(edtBottomMargin).setValue(defaults.bottomMargin);
    numberField(edtLeftMargin).setValue(defaults.leftMargin);
    numberField(edtRightMargin).setValue(defaults.rightMargin);
    layout->addWidget(margins);

    auto *paper = new QGroupBox(QStringLiteral("Paper size"), page);
    auto *paperGrid = new QGridLayout(paper);
    cmbPaperSize = new QComboBox(paper);
    for (int size = 0; size < kPaperSizeCount; ++size) {
        const QString caption = paperSizeCaption(TRpPaperSize(size));
        cmbPaperSize->addItem(caption.isEmpty() ? QStringLiteral("Custom") : caption, size);
    }
    cmbPaperSize->setCurrentIndex(cmbPaperSize->findData(int(defaults.paperSize)));
    paperGrid->addWidget(cmbPaperSize, 0, 0, 1, 3);
    m_paperWidthLabel = new QLabel(QStringLiteral("Width"), paper);
    paperGrid->addWidget(m_paperWidthLabel, 1, 0);
    edtPaperWidth = lengthField(paper, m_numbers, defaults.paperWidth);
    paperGrid->addWidget(edtPaperWidth, 1, 1);
    m_paperLengthLabel = new QLabel(QStringLiteral("Length"), paper);
    paperGrid->addWidget(m_paperLengthLabel, 2, 0);
    edtPaperLength = lengthField(paper, m_numbers, defaults.paperLength);
    paperGrid->addWidget(edtPaperLength, 2, 1);
    layout->addWidget(paper);

    auto *orientation = new QGroupBox(QStringLiteral("Orientation"), page);
    auto *orientationLayout = new QHBoxLayout(orientation);
    cmbLabelOrientation = new QComboBox(orientation);
    cmbLabelOrientation->addItems({ QStringLiteral("Portrait"), QStringLiteral("Landscape") });
    cmbLabelOrientation->setCurrentIndex(defaults.labelOrientation == RpPaper::poLandscape ? 1 : 0);
    orientationLayout->addWidget(cmbLabelOrientation);
    layout->addWidget(orientation);
    layout->addStretch();
    connect(cmbPaperSize, &QComboBox::currentIndexChanged, this, &TRpDesignReportExpert::choosePaper);
    choosePaper();
    return page;
}

QWidget *TRpDesignReportExpert::makeLabelSizePage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Label size"), layout);
    const QString units = unitLabelText(m_report.units());
    auto *row = new QHBoxLayout;
    auto *grid = new QGridLayout;
    int line = 0;
    auto field = [&](const QString &caption, double value, bool length) {
        grid->addWidget(new QLabel(caption, page), line, 0);
        QLineEdit *edit = lengthField(page, m_numbers, value);
        grid->addWidget(edit, line, 1);
        if (length)
            grid->addWidget(new QLabel(units, page), line, 2);
        ++line;
        return edit;
    };
    edtColumnSpace = field(QStringLiteral("Column space"), 5, true);
    edtLabelColumns = field(QStringLiteral("Number of columns"), 3, false);
    edtLabelRows = field(QStringLiteral("Number of rows"), 10, false);
    edtRowSpace = field(QStringLiteral("Row space"), 5, true);
    edtLabelWidth = field(QStringLiteral("Width"), 50, true);
    edtLabelHeight = field(QStringLiteral("Height"), 20, true);
    row->addLayout(grid);
    m_sizePreview = new LabelPreview(page);
    row->addWidget(m_sizePreview);
    layout->addLayout(row);
    layout->addStretch();
    for (LabelPreview *preview : { m_formatPreview, m_sizePreview }) {
        preview->answers = [this] { return answers(); };
        preview->unit = [this] { return unit(); };
    }
    return page;
}

QWidget *TRpDesignReportExpert::makeOptionsPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("General report options"), layout);
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Orientation"), page), 0, 0);
    cmbOrientation = new QComboBox(page);
    cmbOrientation->addItems({ QStringLiteral("Portrait"), QStringLiteral("Landscape") });
    cmbOrientation->setCurrentIndex(m_report.page()->orientation() == RpPaper::poLandscape ? 1 : 0);
    grid->addWidget(cmbOrientation, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Columns on each page:"), page), 1, 0);
    edtColumns = lengthField(page, m_numbers, 1);
    grid->addWidget(edtColumns, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Column spacing:"), page), 2, 0);
    edtColumnSpacing = lengthField(page, m_numbers, 1);
    grid->addWidget(edtColumnSpacing, 2, 1);
    grid->addWidget(new QLabel(unitLabelText(m_report.units()), page), 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Report title:"), page), 3, 0);
    edtReportTitle = new QLineEdit(QStringLiteral("Report"), page);
    grid->addWidget(edtReportTitle, 3, 1);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

QWidget *TRpDesignReportExpert::makeFontsPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Fonts and lines"), layout);
    auto *grid = new QGridLayout;
    btnDataFont = new QPushButton(QStringLiteral("Font for datafields ..."), page);
    btnHeaderFont = new QPushButton(QStringLiteral("Font for column headers and labels ..."), page);
    lblDataExample = new QLabel(page);
    lblHeaderExample = new QLabel(page);
    grid->addWidget(btnDataFont, 0, 0);
    grid->addWidget(lblDataExample, 0, 1);
    grid->addWidget(btnHeaderFont, 1, 0);
    grid->addWidget(lblHeaderExample, 1, 1);
    layout->addLayout(grid);
    chkHorizontalLines = new QCheckBox(QStringLiteral("horizontal lines"), page);
    chkVerticalLines = new QCheckBox(QStringLiteral("vertical lines"), page);
    chkBoxLines = new QCheckBox(QStringLiteral("box lines"), page);
    for (QCheckBox *box : { chkHorizontalLines, chkVerticalLines, chkBoxLines })
        layout->addWidget(box);
    layout->addStretch();
    showFont(m_dataFont, lblDataExample);
    showFont(m_headerFont, lblHeaderExample);
    connect(btnDataFont, &QPushButton::clicked, this, [this] { chooseFont(m_dataFont, lblDataExample); });
    connect(
        btnHeaderFont, &QPushButton::clicked, this, [this] { chooseFont(m_headerFont, lblHeaderExample); });
    return page;
}

QWidget *TRpDesignReportExpert::makeFinishPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = titledPage(QStringLiteral("Finish"), layout);
    auto *text
        = new QLabel(QStringLiteral("The report definition is complete. Press \"&Finish\" to edit it in the "
                                    "designer, or \"&Preview...\" to see it first."),
            page);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto *row = new QHBoxLayout;
    btnPreview = button(page, QStringLiteral("&Preview..."), row);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    connect(btnPreview, &QPushButton::clicked, this, &TRpDesignReportExpert::preview);
    return page;
}

// ---------------------------------------------------------------- set-up

void TRpDesignReportExpert::setDataSets(const QList<DataSetEntry> &entries)
{
    m_dataSets = entries;
    lstDatasets->clear();
    lstDatasets->addItem(QStringLiteral("None"));
    for (const DataSetEntry &entry : entries)
        lstDatasets->addItem(entry.label);
    lstDatasets->setCurrentRow(0);
}

void TRpDesignReportExpert::setHandedDataSet(TDataSet *dataSet)
{
    m_handedDataSet = dataSet;
    if (!dataSet)
        return;
    qsizetype row = -1;
    for (qsizetype i = 0; i < m_dataSets.size(); ++i) {
        if (m_dataSets[i].dataSet == dataSet)
            row = i;
    }
    if (row < 0) {
        m_dataSets.append({ dataSet->objectName(), dataSet });
        lstDatasets->addItem(dataSet->objectName());
        row = m_dataSets.size() - 1;
    }
    lstDatasets->setCurrentRow(int(row) + 1);
}

void TRpDesignReportExpert::setLabelFamilies(std::vector<TRpLabelFamily> families)
{
    m_families = std::move(families);
    const QSignalBlocker blocker(cmbLabelFamily);
    cmbLabelFamily->clear();
    cmbLabelFamily->addItem(QStringLiteral("Custom"));
    for (const TRpLabelFamily &family : m_families)
        cmbLabelFamily->addItem(family.name);
    cmbLabelFamily->setCurrentIndex(0);
    lstLabelFormats->clear();
}

void TRpDesignReportExpert::setDataSetEditing(bool allowed, bool interfaceRegistered)
{
    m_dataSetsEditable = allowed;
    m_interfaceRegistered = interfaceRegistered;
    btnNewDataset->setEnabled(allowed && interfaceRegistered);
}

// ---------------------------------------------------------------- moving between pages

int TRpDesignReportExpert::currentPage() const
{
    return m_pages->currentIndex();
}

bool TRpDesignReportExpert::pageShown(int page) const
{
    const bool labels = rbLabels->isChecked();
    const bool single = rbSingle->isChecked();
    const bool withData = chosenDataSet() != nullptr;
    switch (page) {
    case PageDataSet:
        return !m_handedDataSet;
    case PageFields:
    case PageFonts:
        return withData;
    case PageBands:
        return !labels && !single;
    case PageLabelFormat:
    case PagePaper:
    case PageLabelSize:
        return labels;
    case PageOptions:
        return !labels;
    default:
        return true;
    }
}

void TRpDesignReportExpert::next()
{
    const int page = currentPage();
    if (page == PageFinish)
        return;
    if (page == PageType) {
        if (rbBlank->isChecked()) {
            accept();
            return;
        }
        leaveTypePage();
    }
    // Leaving the data set page, also when it is skipped, settles the field lists.
    if (page == PageDataSet || (page == PageType && !pageShown(PageDataSet)))
        leaveDataSetPage();
    int target = page + 1;
    while (target < PageFinish && !pageShown(target))
        ++target;
    enterPage(target);
}

void TRpDesignReportExpert::back()
{
    int target = currentPage() - 1;
    while (target > PageType && !pageShown(target))
        --target;
    enterPage(std::max(0, target));
}

void TRpDesignReportExpert::showPage(int page)
{
    m_pages->setCurrentIndex(std::clamp(page, 0, PageCount - 1));
    updateButtons();
}

void TRpDesignReportExpert::enterPage(int page)
{
    m_pages->setCurrentIndex(page);
    updateButtons();
    if (page == PageFinish)
        build();
    if (page == PageLabelFormat || page == PageLabelSize) {
        m_formatPreview->update();
        m_sizePreview->update();
    }
}

void TRpDesignReportExpert::updateButtons()
{
    const bool last = currentPage() == PageFinish;
    btnBack->setVisible(currentPage() >= PageDataSet);
    btnNext->setVisible(!last);
    btnFinish->setEnabled(last);
}

void TRpDesignReportExpert::leaveTypePage()
{
    const bool labels = rbLabels->isChecked();
    edtColumns->setEnabled(!labels);
    edtColumnSpacing->setEnabled(!labels);
    lstDatasets->item(0)->setText(labels ? QStringLiteral("None") : QStringLiteral("(None)"));
}

TDataSet *TRpDesignReportExpert::chosenDataSet() const
{
    if (m_handedDataSet)
        return m_handedDataSet;
    const int row = lstDatasets->currentRow();
    if (row <= 0 || row > m_dataSets.size())
        return nullptr;
    return m_dataSets[row - 1].dataSet;
}

QString TRpDesignReportExpert::fieldLabel(const TDataSet &, const QString &fieldName) const
{
    const TField *field = m_fieldsOf ? m_fieldsOf->LookupField(fieldName) : nullptr;
    const QString label = field ? field->DisplayLabel() : QString();
    return label.isEmpty() ? fieldName : label;
}

QString TRpDesignReportExpert::fieldNameOf(const QString &label) const
{
    if (m_fieldsOf) {
        for (const auto &field : m_fieldsOf->Fields()) {
            if (field->DisplayLabel() == label)
                return field->FieldName();
        }
    }
    return label;
}

void TRpDesignReportExpert::leaveDataSetPage()
{
    TDataSet *dataSet = chosenDataSet();
    if (dataSet == m_fieldsOf)
        return;
    // The fields used before stay used when the new data set has them.
    QStringList stillUsed;
    for (int i = 0; i < lstUsed->count(); ++i) {
        const QString name = fieldNameOf(lstUsed->item(i)->text());
        if (dataSet && dataSet->LookupField(name))
            stillUsed << dataSet->LookupField(name)->FieldName();
    }
    m_fieldsOf = dataSet;
    lstAvailable->clear();
    lstUsed->clear();
    if (!dataSet)
        return;
    for (const QString &name : stillUsed)
        lstUsed->addItem(fieldLabel(*dataSet, name));
    for (const auto &field : dataSet->Fields()) {
        if (!field->Visible() || field->FieldName().startsWith(QLatin1String("__"))
            || stillUsed.contains(field->FieldName()))
            continue;
        lstAvailable->addItem(fieldLabel(*dataSet, field->FieldName()));
    }
}

// ---------------------------------------------------------------- field lists

void TRpDesignReportExpert::moveSelected(QListWidget *from, QListWidget *to, bool all)
{
    QList<QListWidgetItem *> items;
    for (int i = 0; i < from->count(); ++i) {
        if (all || from->item(i)->isSelected())
            items.append(from->item(i));
    }
    for (QListWidgetItem *item : items)
        to->addItem(from->takeItem(from->row(item)));
}

void TRpDesignReportExpert::moveUsed(int step)
{
    const int row = lstUsed->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= lstUsed->count())
        return;
    QListWidgetItem *item = lstUsed->takeItem(row);
    lstUsed->insertItem(target, item);
    lstUsed->setCurrentRow(target);
}

// ---------------------------------------------------------------- label pages

void TRpDesignReportExpert::chooseFamily(int index)
{
    lstLabelFormats->clear();
    if (index <= 0 || size_t(index - 1) >= m_families.size())
        return;
    for (const TRpLabelFormat &format : m_families[size_t(index - 1)].formats)
        lstLabelFormats->addItem(RpLabelFormats::listCaption(format, unit()));
}

void TRpDesignReportExpert::chooseFormat(int row)
{
    const int family = cmbLabelFamily->currentIndex() - 1;
    if (family < 0 || size_t(family) >= m_families.size() || row < 0
        || size_t(row) >= m_families[size_t(family)].formats.size())
        return;
    const RpLabelLayout layout
        = RpLabelFormats::layoutOf(m_families[size_t(family)].formats[size_t(row)], unit());
    cmbPaperSize->setCurrentIndex(cmbPaperSize->findData(int(layout.paperSize)));
    if (layout.paperSize == RpPaper::Custom) {
        numberField(edtPaperWidth).setValue(layout.paperWidth);
        numberField(edtPaperLength).setValue(layout.paperLength);
    }
    cmbLabelOrientation->setCurrentIndex(layout.orientation == RpPaper::poLandscape ? 1 : 0);
    numberField(edtTopMargin).setValue(layout.topMargin);
    numberField(edtBottomMargin).setValue(layout.bottomMargin);
    numberField(edtLeftMargin).setValue(layout.leftMargin);
    numberField(edtRightMargin).setValue(layout.rightMargin);
    numberField(edtLabelWidth).setValue(layout.width);
    numberField(edtLabelHeight).setValue(layout.height);
    numberField(edtLabelColumns).setValue(layout.columns);
    numberField(edtLabelRows).setValue(layout.rows);
    numberField(edtColumnSpace).setValue(layout.columnSpace);
    numberField(edtRowSpace).setValue(layout.rowSpace);
    m_formatPreview->update();
    m_sizePreview->update();
}

void TRpDesignReportExpert::choosePaper()
{
    const bool custom = cmbPaperSize->currentData().toInt() == int(RpPaper::Custom);
    for (QLineEdit *edit : { edtPaperWidth, edtPaperLength }) {
        edit->setVisible(custom);
        edit->setEnabled(custom);
    }
    m_paperWidthLabel->setVisible(custom);
    m_paperLengthLabel->setVisible(custom);
}

// ---------------------------------------------------------------- fonts

void TRpDesignReportExpert::showFont(const TRpWizardFont &font, QLabel *example)
{
    QFont shown(font.name);
    shown.setPointSize(std::max(1, std::abs(font.size)));
    shown.setBold(font.style.testFlag(Rp::fsBold));
    shown.setItalic(font.style.testFlag(Rp::fsItalic));
    shown.setUnderline(font.style.testFlag(Rp::fsUnderline));
    shown.setStrikeOut(font.style.testFlag(Rp::fsStrikeOut));
    example->setFont(shown);
    example->setText(font.name);
}

void TRpDesignReportExpert::chooseFont(TRpWizardFont &font, QLabel *example)
{
    QFont chosen = example->font();
    if (!Dialogs::chooseFont(this, chosen))
        return;
    font.name = chosen.family();
    font.size = chosen.pointSize() > 0 ? chosen.pointSize() : font.size;
    Rp::TFontStyles style;
    style.setFlag(Rp::fsBold, chosen.bold());
    style.setFlag(Rp::fsItalic, chosen.italic());
    style.setFlag(Rp::fsUnderline, chosen.underline());
    style.setFlag(Rp::fsStrikeOut, chosen.strikeOut());
    font.style = style;
    showFont(font, example);
}

// ---------------------------------------------------------------- the answers and the report

TRpWizardAnswers TRpDesignReportExpert::answers() const
{
    TRpWizardAnswers answers = TRpDReportCreator::defaultsFor(m_report);
    answers.type = rbList->isChecked() ? TRpWizardReportType::List
        : rbForm->isChecked()          ? TRpWizardReportType::Form
        : rbSingle->isChecked()        ? TRpWizardReportType::Single
        : rbTabular->isChecked()       ? TRpWizardReportType::Tabular
        : rbLabels->isChecked()        ? TRpWizardReportType::Labels
                                       : TRpWizardReportType::Blank;
    answers.dataSet = chosenDataSet();
    if (answers.dataSet) {
        for (int i = 0; i < lstUsed->count(); ++i)
            answers.fields << fieldNameOf(lstUsed->item(i)->text());
    }
    answers.title = chkTitle->isChecked();
    answers.pageHeader = chkPageHeader->isChecked();
    answers.pageFooter = chkPageFooter->isChecked();
    answers.summary = chkSummary->isChecked();
    answers.paperSize = TRpPaperSize(cmbPaperSize->currentData().toInt());
    answers.paperWidth = numberField(edtPaperWidth).value();
    answers.paperLength = numberField(edtPaperLength).value();
    answers.labelOrientation
        = cmbLabelOrientation->currentIndex() == 1 ? RpPaper::poLandscape : RpPaper::poPortrait;
    answers.topMargin = numberField(edtTopMargin).value();
    answers.bottomMargin = numberField(edtBottomMargin).value();
    answers.leftMargin = numberField(edtLeftMargin).value();
    answers.rightMargin = numberField(edtRightMargin).value();
    answers.columnSpace = numberField(edtColumnSpace).value();
    answers.labelColumns = numberField(edtLabelColumns).wholeValue();
    answers.labelRows = numberField(edtLabelRows).wholeValue();
    answers.rowSpace = numberField(edtRowSpace).value();
    answers.labelWidth = numberField(edtLabelWidth).value();
    answers.labelHeight = numberField(edtLabelHeight).value();
    answers.orientation = cmbOrientation->currentIndex() == 1 ? RpPaper::poLandscape : RpPaper::poPortrait;
    answers.columns = numberField(edtColumns).wholeValue();
    answers.columnSpacing = numberField(edtColumnSpacing).value();
    answers.reportTitle = edtReportTitle->text();
    answers.dataFont = m_dataFont;
    answers.headerFont = m_headerFont;
    answers.horizontalLines = chkHorizontalLines->isChecked();
    answers.verticalLines = chkVerticalLines->isChecked();
    answers.boxLines = chkBoxLines->isChecked();
    return answers;
}

void TRpDesignReportExpert::build()
{
    TRpDReportCreator creator(m_report);
    creator.AfterReportComponentCreated = AfterReportComponentCreated;
    creator.Build(answers());
}

void TRpDesignReportExpert::preview()
{
    Dialogs::guarded(this, [this] { ShowPreviewModal(m_report); });
}

// ---------------------------------------------------------------- running the wizard

QList<TRpDesignReportExpert::DataSetEntry> wizardDataSets(
    const ReportFileEngine &engine, const QStringList &datasetDisplayLabels)
{
    QList<QObject *> places { engine.dataModule() };
    if (engine.useDatamodules())
        places << RpComponents::dataModules();
    QList<TRpDesignReportExpert::DataSetEntry> entries;
    QList<TDataSet *> taken;
    for (QObject *place : places) {
        for (TDataSource *source : place->findChildren<TDataSource *>()) {
            TDataSet *dataSet = source->DataSet();
            if (!dataSet || source->objectName().startsWith(QLatin1String("__")) || taken.contains(dataSet))
                continue;
            taken.append(dataSet);
            QString label = dataSet->objectName();
            for (const QString &line : datasetDisplayLabels) {
                const qsizetype equals = line.indexOf(u'=');
                if (equals > 0 && line.left(equals).compare(label, Qt::CaseInsensitive) == 0)
                    label = line.mid(equals + 1);
            }
            entries.append({ label, dataSet });
        }
    }
    return entries;
}

namespace {

// What the wizard changes in a report besides its bands and elements: the page, the data set and the label
// settings.
class RpReportLayoutSnapshot
{
public:
    explicit RpReportLayoutSnapshot(const TDesignRpReport &report)
        : m_dataSet(report.dataSet())
        , m_paperSize(report.page()->paperSize())
        , m_orientation(report.page()->orientation())
        , m_columns(report.page()->columns())
        , m_firstLabel(report.labelSettings()->firstLabel())
        , m_labelCount(report.labelSettings()->labelCount())
    {
        report.page()->writeDefinedProperties(m_values);
    }

    void restore(TDesignRpReport &report) const
    {
        TRpDReportCreator::RemoveLayout(report);
        report.setDataSet(m_dataSet);
        TRpPage &page = *report.page();
        page.setPaperSize(m_paperSize);
        page.setOrientation(m_orientation);
        for (const StreamProperty &property : m_values) {
            bool ok = true;
            page.readDefinedProperty(property.name, property.value, ok);
        }
        page.setColumns(m_columns);
        report.labelSettings()->setFirstLabel(m_firstLabel);
        report.labelSettings()->setLabelCount(m_labelCount);
    }

private:
    QPointer<QObject> m_dataSet;
    TRpPaperSize m_paperSize;
    TPrinterOrientation m_orientation;
    int m_columns;
    int m_firstLabel;
    int m_labelCount;
    std::vector<StreamProperty> m_values;
};

} // namespace

bool RunReportWizard(ReportFileEngine &engine, QWidget *parent, const RpReportWizardHost &host)
{
    TDesignRpReport &report = *engine.report();
    TRpDesignReportExpert wizard(report, parent);
    if (host.languageFile)
        host.languageFile->apply(&wizard, QStringLiteral("RpExpertBaseForm"));
    wizard.setDataSets(host.dataSets);
    wizard.setHandedDataSet(host.handedDataSet);
    wizard.setDataSetEditing(host.dataSetsEditable, host.interfaceRegistered);
    wizard.setLabelFamilies(RpLabelFormats::familiesIn(
        host.settingsFolder.isEmpty() ? QCoreApplication::applicationDirPath() : host.settingsFolder));
    wizard.AfterReportComponentCreated = host.AfterReportComponentCreated;
    const RpReportLayoutSnapshot before(report);
    if (!Dialogs::exec(wizard)) {
        // A cancelled wizard leaves the report as it was given, whatever it built meanwhile.
        before.restore(report);
        return false;
    }
    engine.setModified(true);
    return true;
}
