#include "designer/OptionsForm.h"

#include "designer/LanguageFile.h"
#include "designer/RpDesigner.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kMinStep = 1;
constexpr int kMaxStep = 32000;

QLineEdit *stepEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new QIntValidator(0, kMaxStep, edit));
    edit->setMaxLength(5);
    return edit;
}

int stepValue(const QLineEdit *edit, int fallback)
{
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok && value >= kMinStep && value <= kMaxStep ? value : fallback;
}

int lineIndex(Rp::TPenStyle style)
{
    return style == Rp::psSolid ? 0 : style == Rp::psDash ? 1 : 2;
}

} // namespace

TOptionsForm::TOptionsForm(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    auto *layout = new QVBoxLayout(this);

    auto *names = new QHBoxLayout;
    CheckShowBandNames = new QCheckBox(QStringLiteral("Show band-names"), this);
    CheckShowBandNames->setObjectName(QStringLiteral("CheckShowBandNames"));
    BBandFont = new QPushButton(QStringLiteral("&Font..."), this);
    BBandFont->setObjectName(QStringLiteral("BBandFont"));
    names->addWidget(CheckShowBandNames, 1);
    names->addWidget(BBandFont);
    layout->addLayout(names);

    auto *frames = new QHBoxLayout;
    CheckShowFrames = new QCheckBox(QStringLiteral("Show component frames at design time"), this);
    CheckShowFrames->setObjectName(QStringLiteral("CheckShowFrames"));
    auto *lineLabel = new QLabel(QStringLiteral("Line"), this);
    lineLabel->setObjectName(QStringLiteral("LLine"));
    ComboLine = new QComboBox(this);
    ComboLine->setObjectName(QStringLiteral("ComboLine"));
    ComboLine->addItems({ QStringLiteral("Solid"), QStringLiteral("Dashed"), QStringLiteral("Dotted") });
    BFrameColor = new QPushButton(QStringLiteral("&Color..."), this);
    BFrameColor->setObjectName(QStringLiteral("BFrameColor"));
    frames->addWidget(CheckShowFrames, 1);
    frames->addWidget(lineLabel);
    frames->addWidget(ComboLine);
    frames->addWidget(BFrameColor);
    layout->addLayout(frames);

    auto *units = new QHBoxLayout;
    auto *unitLabel = new QLabel(QStringLiteral("Unit"), this);
    unitLabel->setObjectName(QStringLiteral("LUnits"));
    ComboUnits = new QComboBox(this);
    ComboUnits->setObjectName(QStringLiteral("ComboUnits"));
    ComboUnits->addItems({ QStringLiteral("MM"), QStringLiteral("Inches"), QStringLiteral("Characters") });
    CheckRuler = new QCheckBox(QStringLiteral("Show band-ruler"), this);
    CheckRuler->setObjectName(QStringLiteral("CheckRuler"));
    units->addWidget(unitLabel);
    units->addWidget(ComboUnits);
    units->addSpacing(20);
    units->addWidget(CheckRuler, 1);
    layout->addLayout(units);

    auto *grids = new QFormLayout;
    EGridX = stepEdit(this, QStringLiteral("EGridX"));
    EGridY = stepEdit(this, QStringLiteral("EGridY"));
    EKeyX = stepEdit(this, QStringLiteral("EKeyX"));
    EKeyY = stepEdit(this, QStringLiteral("EKeyY"));
    grids->addRow(QStringLiteral("Grid size &X:"), EGridX);
    grids->addRow(QStringLiteral("Grid size &Y:"), EGridY);
    grids->addRow(QStringLiteral("Keyboard grid size X:"), EKeyX);
    grids->addRow(QStringLiteral("Keyboard grid size Y:"), EKeyY);
    layout->addLayout(grids);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(BBandFont, &QPushButton::clicked, this, [this] {
        QFont font(m_values.look.bandNameFontName);
        font.setPixelSize(m_values.look.bandNameFontHeight);
        if (Dialogs::chooseFont(this, font)) {
            m_values.look.bandNameFontName = font.family();
            if (font.pixelSize() > 0)
                m_values.look.bandNameFontHeight = font.pixelSize();
        }
    });
    connect(BFrameColor, &QPushButton::clicked, this, [this] {
        QColor color = toQColor(m_values.look.componentFrameColor);
        if (Dialogs::chooseColor(this, color))
            m_values.look.componentFrameColor = fromQColor(color);
    });
}

void TOptionsForm::setValues(const Values &values)
{
    m_values = values;
    CheckShowBandNames->setChecked(values.look.showBandNames);
    CheckShowFrames->setChecked(values.look.showComponentFrames);
    ComboLine->setCurrentIndex(lineIndex(values.look.componentFrameStyle));
    ComboUnits->setCurrentIndex(values.unit == Rp::Inches ? 1 : values.unit == Rp::Characters ? 2 : 0);
    CheckRuler->setChecked(values.ruler);
    EGridX->setText(QString::number(values.gridX));
    EGridY->setText(QString::number(values.gridY));
    EKeyX->setText(QString::number(values.keyX));
    EKeyY->setText(QString::number(values.keyY));
}

TOptionsForm::Values TOptionsForm::values() const
{
    Values result = m_values;
    result.look.showBandNames = CheckShowBandNames->isChecked();
    result.look.showComponentFrames = CheckShowFrames->isChecked();
    const Rp::TPenStyle styles[] = { Rp::psSolid, Rp::psDash, Rp::psDot };
    result.look.componentFrameStyle = styles[std::clamp(ComboLine->currentIndex(), 0, 2)];
    const TRpUnit units[] = { Rp::MM, Rp::Inches, Rp::Characters };
    result.unit = units[std::clamp(ComboUnits->currentIndex(), 0, 2)];
    result.ruler = CheckRuler->isChecked();
    result.gridX = stepValue(EGridX, m_values.gridX);
    result.gridY = stepValue(EGridY, m_values.gridY);
    result.keyX = stepValue(EKeyX, m_values.keyX);
    result.keyY = stepValue(EKeyY, m_values.keyY);
    return result;
}

bool ShowDesignerOptions(QWidget *owner, TRpDesigner *designer)
{
    TOptionsForm form(owner);
    LanguageFiles::translate(&form, QStringLiteral("OptionsForm"), designer->LanguageFile);
    TOptionsForm::Values values;
    values.look = designer->look();
    if (const TCustomRpReport *report = designer->report()) {
        values.unit = report->units();
        values.ruler = report->page()->ruler();
    }
    values.gridX = designer->gridSizeX();
    values.gridY = designer->gridSizeY();
    values.keyX = designer->keyboardMoveX();
    values.keyY = designer->keyboardMoveY();
    form.setValues(values);
    if (!Dialogs::exec(form))
        return false;
    const TOptionsForm::Values chosen = form.values();
    designer->setGridSize(chosen.gridX, chosen.gridY);
    designer->setKeyboardMove(chosen.keyX, chosen.keyY);
    designer->setLook(chosen.look);
    if (TCustomRpReport *report = designer->report()) {
        report->setUnits(chosen.unit);
        report->page()->setRuler(chosen.ruler);
    }
    designer->refreshSurface();
    if (owner)
        owner->update();
    return true;
}
