#include "designer/PropertyFields.h"

#include "designer/LanguageFile.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "preview/ReportVariables.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorTable.h"
#include "report/model/Bands.h"
#include "report/model/Report.h"
#include "report/model/ReportFont.h"
#include "report/model/RpFrame.h"
#include "store/DataSet.h"
#include "store/Fields.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- the dialog base

TRpPropertyForm::TRpPropertyForm(
    QWidget *owner, TRpDesigner *designer, const QString &className, const QString &caption, int helpContext)
    : QDialog(owner)
    , m_designer(designer)
    , m_section(className.startsWith(u'T') ? className.mid(1) : className)
    , m_helpContext(helpContext)
{
    setObjectName(m_section);
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    m_content = new QVBoxLayout;
    layout->addLayout(m_content);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(Buttons);
}

const RpMessageTable &TRpPropertyForm::messages() const
{
    static const RpMessageTable defaults = RpMessageTable::designerDefaults();
    return m_designer ? m_designer->RuntimeMessages : defaults;
}

void TRpPropertyForm::translate()
{
    if (m_designer)
        LanguageFiles::translate(this, m_section, m_designer->LanguageFile);
}

void TRpPropertyForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && m_helpContext != 0) {
        Dialogs::showInformation(this, QStringLiteral("Help topic %1").arg(m_helpContext));
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- number fields

TRpNumberEdit::TRpNumberEdit(Typing typing, QWidget *parent)
    : QAbstractSpinBox(parent)
    , m_typing(typing)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

void TRpNumberEdit::setStepRange(double minimum, double maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

QString TRpNumberEdit::text() const
{
    return lineEdit()->text();
}

void TRpNumberEdit::setText(const QString &text)
{
    lineEdit()->setText(text);
}

void TRpNumberEdit::setNumber(double value)
{
    setText(m_typing == Typing::Decimal ? lengthText(value) : QString::number(qint64(std::llround(value))));
}

bool TRpNumberEdit::number(double &value) const
{
    return readLength(text(), value);
}

bool TRpNumberEdit::whole(int &value) const
{
    bool ok = false;
    const int read = text().trimmed().toInt(&ok);
    if (ok)
        value = read;
    return ok;
}

void TRpNumberEdit::stepBy(int steps)
{
    double value = 0;
    if (!number(value))
        value = 0;
    const double next = std::clamp(value + steps, m_minimum, m_maximum);
    setNumber(next);
    emit editingFinished();
}

QAbstractSpinBox::StepEnabled TRpNumberEdit::stepEnabled() const
{
    if (isReadOnly() || !isEnabled())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State TRpNumberEdit::validate(QString &, int &) const
{
    // Typing is filtered key by key; whatever is in the field is read when the dialog closes.
    return QValidator::Acceptable;
}

void TRpNumberEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool control = typed.isEmpty() || typed.at(0).category() == QChar::Other_Control
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (control) {
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    QLineEdit *edit = lineEdit();
    const bool replacing = edit->hasSelectedText();
    if (m_maxTyped > 0 && !replacing && edit->text().size() >= m_maxTyped) {
        event->accept();
        return;
    }
    const QChar key = typed.at(0);
    if (typed.size() == 1 && key.isDigit() && key.unicode() < 128) {
        if (m_typing == Typing::NonZeroDigits && key == u'0') {
            event->accept();
            return;
        }
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    if (m_typing == Typing::Decimal && typed.size() == 1 && (key == u'.' || key == u',')) {
        edit->insert(QString(RegionalSettings::current().decimalSeparator()));
        event->accept();
        return;
    }
    event->accept();
}

QString lengthText(double value)
{
    if (!std::isfinite(value))
        return QString();
    return RegionalSettings::current().floatToStr(std::round(value * 100) / 100);
}

bool readLength(const QString &text, double &value)
{
    double read = 0;
    if (!RegionalSettings::current().tryStrToFloat(text.trimmed(), read) || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

QString unitLabelText(TRpUnit unit)
{
    switch (unit) {
    case Rp::MM:
        return QStringLiteral("mm");
    case Rp::Inches:
        return QStringLiteral("Inches");
    case Rp::Pixels:
        return QStringLiteral("Pixels");
    case Rp::Characters:
        return QStringLiteral("Chars");
    case Rp::Native:
        break;
    }
    return QString();
}

// ---------------------------------------------------------------- choice lists

namespace PropertyChoices {

namespace {

constexpr RpChoice kBandTypes[] = { { "BandTitle", Rp::rbTitle }, { "BandPageheader", Rp::rbPageHeader },
    { "BandColumnheader", Rp::rbColumnHeader }, { "BandDetail", Rp::rbDetail },
    { "BandGroupheader", Rp::rbGroupHeader }, { "BandGroupfooter", Rp::rbGroupFooter },
    { "BandSummary", Rp::rbSummary }, { "BandPagefooter", Rp::rbPageFooter }, { "BandLoopband", kLoopBand },
    { "BandStringsband", kStringsBand } };

constexpr RpChoice kLineStyles[]
    = { { "PenStyleSolid", Rp::psSolid }, { "PenStyleDashed", Rp::psDash }, { "PenStyleDot", Rp::psDot },
          { "PenStyleDashDot", Rp::psDashDot }, { "PenStyleDashDotDot", Rp::psDashDotDot },
          { "PenStyleHiddenMark", Rp::psClear }, { "PenStyleInsideFrame", Rp::psInsideFrame } };

constexpr RpChoice kShapes[] = { { "ShapeCircle", Rp::rpsCircle }, { "ShapeHorizontalLine", Rp::rpsHorLine },
    { "ShapeRectangle", Rp::rpsRectangle }, { "ShapeLeftRightLines", Rp::rpsRightAndLeft },
    { "ShapeTopBottomLines", Rp::rpsTopAndBottom }, { "ShapeVerticalLine", Rp::rpsVertLine } };

// Forward diagonals rise to the right, backward ones fall.
constexpr RpChoice kBrushes[] = { { "BrushEmpty", Rp::bsClear }, { "BrushSolid", Rp::bsSolid },
    { "BrushCross", Rp::bsCross }, { "BrushDiagCross", Rp::bsDiagCross },
    { "BrushDiagLinesBT", Rp::bsFDiagonal }, { "BrushDiagLinesTB", Rp::bsBDiagonal },
    { "BrushHorLines", Rp::bsHorizontal }, { "BrushVertLines", Rp::bsVertical } };

constexpr RpChoice kPenModes[] = { { "PenMode1", Rp::pmCopy }, { "PenMode2", Rp::pmBlack },
    { "PenMode3", Rp::pmWhite }, { "PenMode4", Rp::pmNop }, { "PenMode5", Rp::pmNot },
    { "PenMode6", Rp::pmNotCopy }, { "PenMode7", Rp::pmMergePenNot }, { "PenMode8", Rp::pmMaskPenNot },
    { "PenMode9", Rp::pmMergeNotPen }, { "PenMode10", Rp::pmMaskNotPen }, { "PenMode11", Rp::pmMerge },
    { "PenMode12", Rp::pmNotMerge }, { "PenMode13", Rp::pmMask }, { "PenMode14", Rp::pmNotMask },
    { "PenMode15", Rp::pmXor }, { "PenMode16", Rp::pmNotXor } };

constexpr RpChoice kSystemData[] = { { "SysdataDate", Rp::rpsDate }, { "SysdataTime", Rp::rpsTime },
    { "SysdataDateTime", Rp::rpsDateTime }, { "SysdataDetailcounter", Rp::rpsDetailCount },
    { "SysdataDetailnumber", Rp::rpsDetailNo }, { "SysdataPagenumber", Rp::rpsPageNumber },
    { "SysdataReporttitle", Rp::rpsReportTitle } };

constexpr Rp::TAlignment kAlignments[] = { Rp::taLeftJustify, Rp::taRightJustify, Rp::taCenter };

} // namespace

std::span<const RpChoice> bandTypes()
{
    return kBandTypes;
}

std::span<const RpChoice> lineStyles()
{
    return kLineStyles;
}

std::span<const RpChoice> shapes()
{
    return kShapes;
}

std::span<const RpChoice> brushes()
{
    return kBrushes;
}

std::span<const RpChoice> penModes()
{
    return kPenModes;
}

std::span<const RpChoice> systemData()
{
    return kSystemData;
}

void fill(QComboBox *combo, std::span<const RpChoice> choices, const RpMessageTable &messages)
{
    combo->clear();
    for (const RpChoice &choice : choices)
        combo->addItem(messages.text(QString::fromLatin1(choice.key)), choice.value);
}

int positionOf(std::span<const RpChoice> choices, int value)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].value == value)
            return int(i);
    }
    return -1;
}

int valueAt(std::span<const RpChoice> choices, int position, int fallback)
{
    return position >= 0 && size_t(position) < choices.size() ? choices[size_t(position)].value : fallback;
}

void fillAlignments(QComboBox *combo)
{
    combo->clear();
    combo->addItems({ QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Centered") });
}

int alignmentPosition(Rp::TAlignment alignment)
{
    for (int i = 0; i < 3; ++i) {
        if (kAlignments[i] == alignment)
            return i;
    }
    return 0;
}

Rp::TAlignment alignmentAt(int position)
{
    return position >= 0 && position < 3 ? kAlignments[position] : Rp::taLeftJustify;
}

} // namespace PropertyChoices

// ---------------------------------------------------------------- band and master lists

namespace BandLists {

namespace {

QVariant entryOf(QObject *object)
{
    return QVariant::fromValue(QPointer<QObject>(object));
}

int entryIndex(const QComboBox *combo, const QObject *object)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemData(i).value<QPointer<QObject>>() == object)
            return i;
    }
    return -1;
}

} // namespace

QString bandCaption(const QObject *band)
{
    return band && !band->objectName().isEmpty() ? band->objectName() : QStringLiteral("-?-");
}

QString reportCaption(const TCustomRpReport *report)
{
    const QObject *dataSet = report ? report->dataSet() : nullptr;
    return dataSet && !dataSet->objectName().isEmpty() ? dataSet->objectName() : QStringLiteral("Report");
}

void fill(QComboBox *combo, const QList<TRpCustomBand *> &bands, const QObject *current,
    const RpMessageTable &messages)
{
    combo->clear();
    combo->addItem(messages.text(QStringLiteral("None")), entryOf(nullptr));
    for (TRpCustomBand *band : bands)
        combo->addItem(bandCaption(band), entryOf(band));
    const int index = current ? entryIndex(combo, current) : -1;
    combo->setCurrentIndex(std::max(index, 0));
}

void addAndSelect(QComboBox *combo, TRpCustomBand *band)
{
    combo->addItem(bandCaption(band), entryOf(band));
    combo->setCurrentIndex(combo->count() - 1);
}

QObject *chosen(const QComboBox *combo)
{
    return combo->currentIndex() < 0 ? nullptr : combo->currentData().value<QPointer<QObject>>().data();
}

QList<TRpCustomBand *> otherBands(const TCustomRpReport *report, const QObject *except)
{
    QList<TRpCustomBand *> result;
    if (!report)
        return result;
    for (TRpCustomBand *band : report->bandList()) {
        if (band != except)
            result << band;
    }
    return result;
}

QList<TRpCustomBand *> plainBands(const TCustomRpReport *report, const QObject *except)
{
    QList<TRpCustomBand *> result;
    for (TRpCustomBand *band : otherBands(report, except)) {
        if (qobject_cast<TRpBand *>(band))
            result << band;
    }
    return result;
}

void fillElementMasters(QComboBox *combo, TCustomRpReport *report, const QObject *except,
    const QObject *current, const RpMessageTable &messages)
{
    combo->clear();
    combo->addItem(messages.text(QStringLiteral("None")), entryOf(nullptr));
    if (report)
        combo->addItem(reportCaption(report), entryOf(report));
    for (TRpCustomBand *band : otherBands(report, except)) {
        if (qobject_cast<TRpSubDetail *>(band))
            combo->addItem(bandCaption(band), entryOf(band));
    }
    const int index = current ? entryIndex(combo, current) : -1;
    combo->setCurrentIndex(std::max(index, 0));
}

void fillLoopMasters(QComboBox *combo, TCustomRpReport *report, const QObject *except, const QObject *current)
{
    combo->clear();
    if (report)
        combo->addItem(reportCaption(report), entryOf(report));
    for (TRpCustomBand *band : otherBands(report, except)) {
        if (qobject_cast<TRpControllerBand *>(band))
            combo->addItem(bandCaption(band), entryOf(band));
    }
    const int index = current ? entryIndex(combo, current) : -1;
    combo->setCurrentIndex(std::max(index, 0));
}

} // namespace BandLists

// ---------------------------------------------------------------- the frame group

TRpFrameGroup::TRpFrameGroup(const RpMessageTable &messages, QWidget *parent)
    : QGroupBox(QStringLiteral("Frame"), parent)
{
    setObjectName(QStringLiteral("GroupFrame"));
    auto *layout = new QGridLayout(this);
    CheckTop = PropertyForms::checkBox(this, QStringLiteral("CheckFrameTop"), QStringLiteral("Top"));
    CheckBottom = PropertyForms::checkBox(this, QStringLiteral("CheckFrameBottom"), QStringLiteral("Bottom"));
    CheckLeft = PropertyForms::checkBox(this, QStringLiteral("CheckFrameLeft"), QStringLiteral("Left"));
    CheckRight = PropertyForms::checkBox(this, QStringLiteral("CheckFrameRight"), QStringLiteral("Right"));
    layout->addWidget(CheckTop, 0, 0);
    layout->addWidget(CheckBottom, 1, 0);
    layout->addWidget(CheckLeft, 0, 1);
    layout->addWidget(CheckRight, 1, 1);
    EFrameWidth = new TRpNumberEdit(TRpNumberEdit::Typing::Digits, this);
    EFrameWidth->setObjectName(QStringLiteral("EFrameWidth"));
    EFrameWidth->setStepRange(1, 32000);
    ComboFrameStyle = new QComboBox(this);
    ComboFrameStyle->setObjectName(QStringLiteral("ComboFrameStyle"));
    PropertyChoices::fill(ComboFrameStyle, PropertyChoices::lineStyles(), messages);
    BFrameColor = new QPushButton(QStringLiteral("Co&lor..."), this);
    BFrameColor->setObjectName(QStringLiteral("BFrameColor"));
    auto *width = new QLabel(QStringLiteral("Width"), this);
    width->setObjectName(QStringLiteral("LFrameWidth"));
    layout->addWidget(width, 0, 2);
    layout->addWidget(EFrameWidth, 0, 3);
    layout->addWidget(ComboFrameStyle, 1, 2, 1, 2);
    layout->addWidget(BFrameColor, 2, 2, 1, 2);
    connect(BFrameColor, &QPushButton::clicked, this, [this] {
        QColor chosen = toQColor(m_color);
        if (Dialogs::chooseColor(this, chosen))
            m_color = fromQColor(chosen);
    });
}

void TRpFrameGroup::load(const TRpFrame &frame)
{
    CheckTop->setChecked(frame.drawTop());
    CheckBottom->setChecked(frame.drawBottom());
    CheckLeft->setChecked(frame.drawLeft());
    CheckRight->setChecked(frame.drawRight());
    EFrameWidth->setNumber(frame.width());
    ComboFrameStyle->setCurrentIndex(
        std::max(0, PropertyChoices::positionOf(PropertyChoices::lineStyles(), frame.style())));
    m_color = frame.color();
}

void TRpFrameGroup::writeTo(TRpFrame &frame) const
{
    frame.setDrawTop(CheckTop->isChecked());
    frame.setDrawBottom(CheckBottom->isChecked());
    frame.setDrawLeft(CheckLeft->isChecked());
    frame.setDrawRight(CheckRight->isChecked());
    frame.setColor(m_color);
    int width = 0;
    if (EFrameWidth->whole(width))
        frame.setWidth(width);
    frame.setStyle(Rp::TPenStyle(PropertyChoices::valueAt(
        PropertyChoices::lineStyles(), ComboFrameStyle->currentIndex(), frame.style())));
}

// ---------------------------------------------------------------- the font group

namespace {

QFont qtFontOf(const ReportFont &font)
{
    QFont result(font.name());
    result.setPointSize(std::max(1, font.size()));
    result.setBold(font.style().testFlag(Rp::fsBold));
    result.setItalic(font.style().testFlag(Rp::fsItalic));
    result.setUnderline(font.style().testFlag(Rp::fsUnderline));
    result.setStrikeOut(font.style().testFlag(Rp::fsStrikeOut));
    return result;
}

void takeQtFont(ReportFont &font, const QFont &chosen)
{
    font.setName(chosen.family());
    if (chosen.pointSize() > 0)
        font.setSize(chosen.pointSize());
    Rp::TFontStyles style;
    style.setFlag(Rp::fsBold, chosen.bold());
    style.setFlag(Rp::fsItalic, chosen.italic());
    style.setFlag(Rp::fsUnderline, chosen.underline());
    style.setFlag(Rp::fsStrikeOut, chosen.strikeOut());
    font.setStyle(style);
}

} // namespace

TRpFontGroup::TRpFontGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_font(std::make_unique<ReportFont>())
{
    setObjectName(QStringLiteral("GroupFont"));
    auto *layout = new QGridLayout(this);
    auto *alignmentLabel = new QLabel(QStringLiteral("&Alignment"), this);
    alignmentLabel->setObjectName(QStringLiteral("LAlignment"));
    ComboAlignment = new QComboBox(this);
    ComboAlignment->setObjectName(QStringLiteral("ComboAlignment"));
    PropertyChoices::fillAlignments(ComboAlignment);
    alignmentLabel->setBuddy(ComboAlignment);
    BFont = new QPushButton(QStringLiteral("&Font..."), this);
    BFont->setObjectName(QStringLiteral("BFont"));
    BFontColor = new QPushButton(QStringLiteral("Font co&lor..."), this);
    BFontColor->setObjectName(QStringLiteral("BFontColor"));
    BColor = new QPushButton(QStringLiteral("&Color..."), this);
    BColor->setObjectName(QStringLiteral("BColor"));
    LSample = new QLabel(QStringLiteral("AaBbYyZz"), this);
    LSample->setObjectName(QStringLiteral("LSample"));
    LSample->setAutoFillBackground(true);
    LSample->setMinimumSize(140, 36);
    LSample->setAlignment(Qt::AlignCenter);
    LSample->setFrameShape(QFrame::Box);
    layout->addWidget(alignmentLabel, 0, 0);
    layout->addWidget(ComboAlignment, 0, 1);
    layout->addWidget(BFont, 1, 0);
    layout->addWidget(BFontColor, 1, 1);
    layout->addWidget(BColor, 2, 0);
    layout->addWidget(LSample, 2, 1);
    connect(BFont, &QPushButton::clicked, this, [this] {
        QFont chosen = qtFontOf(*m_font);
        if (Dialogs::chooseFont(this, chosen)) {
            takeQtFont(*m_font, chosen);
            showSample();
        }
    });
    connect(BFontColor, &QPushButton::clicked, this, [this] {
        QColor chosen = toQColor(m_font->color());
        if (Dialogs::chooseColor(this, chosen)) {
            m_font->setColor(fromQColor(chosen));
            showSample();
        }
    });
    connect(BColor, &QPushButton::clicked, this, [this] {
        QColor chosen = toQColor(m_color);
        if (Dialogs::chooseColor(this, chosen)) {
            m_color = fromQColor(chosen);
            m_colorChosen = true;
            showSample();
        }
    });
    showSample();
}

TRpFontGroup::~TRpFontGroup() = default;

void TRpFontGroup::load(const ReportFont &font, TColor color, Rp::TAlignment alignment)
{
    m_font->assign(font);
    m_color = color;
    m_colorChosen = true;
    ComboAlignment->setCurrentIndex(PropertyChoices::alignmentPosition(alignment));
    showSample();
}

void TRpFontGroup::setUndecided()
{
    ComboAlignment->setCurrentIndex(-1);
    m_colorChosen = false;
    BFont->setEnabled(false);
    BFontColor->setEnabled(false);
    showSample();
}

void TRpFontGroup::setAlignmentShown(bool shown)
{
    ComboAlignment->setVisible(shown);
    if (QWidget *label = findChild<QLabel *>(QStringLiteral("LAlignment")))
        label->setVisible(shown);
}

void TRpFontGroup::setColorShown(bool shown)
{
    BColor->setVisible(shown);
}

void TRpFontGroup::writeFont(ReportFont &font) const
{
    if (!font.sameAs(*m_font))
        font.assign(*m_font);
}

int TRpFontGroup::alignmentPosition() const
{
    return ComboAlignment->currentIndex();
}

Rp::TAlignment TRpFontGroup::alignment() const
{
    return PropertyChoices::alignmentAt(ComboAlignment->currentIndex());
}

void TRpFontGroup::showSample()
{
    QPalette palette = LSample->palette();
    palette.setColor(QPalette::Window, m_colorChosen ? toQColor(m_color) : palette.color(QPalette::Button));
    palette.setColor(QPalette::WindowText, toQColor(m_font->color(), palette));
    LSample->setPalette(palette);
    LSample->setFont(qtFontOf(*m_font));
}

// ---------------------------------------------------------------- expressions

namespace ExpressionWizard {

namespace {

Function &installed()
{
    static Function function;
    return function;
}

} // namespace

void install(Function function)
{
    installed() = std::move(function);
}

bool ask(QWidget *owner, TRpDesigner *designer, QString &expression)
{
    const Function &function = installed();
    if (!function)
        return false;
    QString edited = expression;
    if (!function(owner, designer, edited))
        return false;
    expression = edited;
    return true;
}

bool givesText(TRpDesigner *designer, const QString &expression)
{
    std::vector<std::unique_ptr<RpEvTableDataSet>> tables;
    TRpEvDataSetList dataSets;
    if (designer) {
        for (QObject *set : designer->availableDatasets()) {
            if (auto *table = qobject_cast<TDataSet *>(set)) {
                tables.push_back(std::make_unique<RpEvTableDataSet>(table));
                dataSets.push_back(tables.back().get());
            }
        }
    }
    // The report's variables are names the expression may use: a text variable is a text.
    std::unique_ptr<RpReportVariables> variables;
    TRpEvEnvironment *environment = nullptr;
    if (designer && designer->report()) {
        variables = std::make_unique<RpReportVariables>(designer->report());
        environment = &variables->environment();
        if (environment->Prepared())
            environment = nullptr;
    }
    // Unprepared again however the computing ends; a variable that does not compile ends it too.
    struct PreparedForCheck
    {
        TRpEvEnvironment *environment;
        ~PreparedForCheck()
        {
            if (environment) {
                environment->UnprepareEnvironment();
                environment->SetDataSets(nullptr);
            }
        }
    };
    try {
        const PreparedForCheck prepared { environment };
        if (environment) {
            environment->SetDataSets(&dataSets);
            environment->PrepareEnvironment();
        }
        TRpEvaluator evaluator(environment, &dataSets);
        evaluator.SetValidating(true);
        evaluator.Compile(expression);
        return evaluator.Compute().Kind() == evString;
    } catch (const Exception &) {
        return false;
    }
}

QString fieldFor(TRpDesigner *designer, const QString &expression)
{
    const QString text
        = givesText(designer, expression) ? expression : QStringLiteral("STR(") + expression + u')';
    return QStringLiteral("%%") + text + QStringLiteral("%%");
}

} // namespace ExpressionWizard

TRpExpressionEdit::TRpExpressionEdit(TRpDesigner *designer, const QString &name, QWidget *parent)
    : QWidget(parent)
    , m_designer(designer)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Edit = new QLineEdit(this);
    Edit->setObjectName(name);
    BWizard = new QToolButton(this);
    BWizard->setObjectName(QStringLiteral("BWizard") + name);
    BWizard->setText(QStringLiteral("..."));
    layout->addWidget(Edit, 1);
    layout->addWidget(BWizard);
    setFocusProxy(Edit);
    connect(BWizard, &QToolButton::clicked, this, [this] {
        QString expression = Edit->text();
        if (ExpressionWizard::ask(window(), m_designer, expression))
            Edit->setText(expression);
    });
}

QString TRpExpressionEdit::text() const
{
    return Edit->text();
}

void TRpExpressionEdit::setText(const QString &text)
{
    Edit->setText(text);
}

// ---------------------------------------------------------------- data set and field lists

TRpDataFieldChooser::TRpDataFieldChooser(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PDataField"));
    auto *layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    LDataSet = new QLabel(QStringLiteral("Data set"), this);
    LDataSet->setObjectName(QStringLiteral("LDataSet"));
    ComboDataSet = new QComboBox(this);
    ComboDataSet->setObjectName(QStringLiteral("ComboDataSet"));
    LField = new QLabel(QStringLiteral("Data field"), this);
    LField->setObjectName(QStringLiteral("LField"));
    ComboField = new QComboBox(this);
    ComboField->setObjectName(QStringLiteral("ComboField"));
    layout->addRow(LDataSet, ComboDataSet);
    layout->addRow(LField, ComboField);
    connect(ComboDataSet, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        fillFields(QString());
        emit dataSetChanged();
    });
}

namespace {

QString displayLabelOf(const QStringList &labels, const QString &name)
{
    for (const QString &line : labels) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && QStringView(line).left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1);
    }
    return name;
}

} // namespace

void TRpDataFieldChooser::load(
    TRpDesigner *designer, QObject *dataSet, const QString &field, bool takeOnlyDataSet)
{
    const QList<QObject *> offered = designer ? designer->availableDatasets() : QList<QObject *>();
    m_dataSets.clear();
    for (QObject *set : offered)
        m_dataSets << set;
    m_listShown = offered.size() >= 2;
    m_only = nullptr;
    QSignalBlocker block(ComboDataSet);
    ComboDataSet->clear();
    if (!m_listShown) {
        m_only = dataSet ? dataSet : takeOnlyDataSet ? offered.value(0) : nullptr;
        LDataSet->hide();
        ComboDataSet->hide();
        ComboField->setMinimumWidth(433);
    } else {
        const QStringList labels = designer ? designer->DatasetDisplayLabels : QStringList();
        for (QObject *set : offered)
            ComboDataSet->addItem(displayLabelOf(labels, set->objectName()));
        ComboDataSet->setCurrentIndex(int(offered.indexOf(dataSet)));
    }
    fillFields(field);
}

void TRpDataFieldChooser::setLocked(bool locked)
{
    ComboDataSet->setEnabled(!locked);
    ComboField->setEnabled(!locked);
}

QObject *TRpDataFieldChooser::dataSet() const
{
    if (!m_listShown)
        return m_only;
    const int index = ComboDataSet->currentIndex();
    return index >= 0 && index < m_dataSets.size() ? m_dataSets.at(index).data() : nullptr;
}

QString TRpDataFieldChooser::fieldName() const
{
    return ComboField->currentIndex() < 0 ? QString() : ComboField->currentData().toString();
}

QString TRpDataFieldChooser::fieldCaption() const
{
    return ComboField->currentText();
}

TField *TRpDataFieldChooser::field() const
{
    auto *table = qobject_cast<TDataSet *>(dataSet());
    const QString name = fieldName();
    return table && !name.isEmpty() ? table->LookupField(name) : nullptr;
}

void TRpDataFieldChooser::fillFields(const QString &current)
{
    ComboField->clear();
    auto *table = qobject_cast<TDataSet *>(dataSet());
    if (!table)
        return;
    int selected = -1;
    for (const auto &field : table->Fields()) {
        if (field->FieldName().compare(current, Qt::CaseInsensitive) == 0)
            selected = ComboField->count();
        ComboField->addItem(field->DisplayName(), field->FieldName());
    }
    ComboField->setCurrentIndex(selected);
}

// ---------------------------------------------------------------- helpers

namespace PropertyForms {

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

bool hasProperty(const QObject *object, const char *name)
{
    return object && object->metaObject()->indexOfProperty(name) >= 0;
}

void setIfPresent(QObject *object, const char *name, const QVariant &value)
{
    if (hasProperty(object, name))
        object->setProperty(name, value);
}

bool liesOnReport(const QObject *element)
{
    return element && qobject_cast<const TCustomRpReport *>(element->parent()) != nullptr;
}

} // namespace PropertyForms
