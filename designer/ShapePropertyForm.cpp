#include "designer/ShapePropertyForm.h"

#include "designer/RpDesigner.h"
#include "report/elements/DrawItems.h"
#include "widgets/Dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *choiceList(
    QWidget *parent, const QString &name, std::span<const RpChoice> choices, const RpMessageTable &messages)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    PropertyChoices::fill(combo, choices, messages);
    return combo;
}

void chooseColor(QWidget *parent, TColor &color)
{
    QColor chosen = toQColor(color);
    if (Dialogs::chooseColor(parent, chosen))
        color = fromQColor(chosen);
}

} // namespace

TShapePropertyForm::TShapePropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(owner, designer, QStringLiteral("TShapePropertyForm"), QStringLiteral("Shape"), 90035)
{
    auto *form = new QFormLayout;
    ComboShape = choiceList(this, QStringLiteral("ComboShape"), PropertyChoices::shapes(), messages());
    ComboBrushStyle
        = choiceList(this, QStringLiteral("ComboBrushStyle"), PropertyChoices::brushes(), messages());
    BBrushColor = new QPushButton(QStringLiteral("Brush co&lor..."), this);
    BBrushColor->setObjectName(QStringLiteral("BBrushColor"));
    ComboPenMode = choiceList(this, QStringLiteral("ComboPenMode"), PropertyChoices::penModes(), messages());
    ComboPenStyle
        = choiceList(this, QStringLiteral("ComboPenStyle"), PropertyChoices::lineStyles(), messages());
    EPenWidth = new TRpNumberEdit(TRpNumberEdit::Typing::Digits, this);
    EPenWidth->setObjectName(QStringLiteral("EPenWidth"));
    EPenWidth->setStepRange(1, 32000);
    BPenColor = new QPushButton(QStringLiteral("&Pen color..."), this);
    BPenColor->setObjectName(QStringLiteral("BPenColor"));
    ComboRoundFactor = new QComboBox(this);
    ComboRoundFactor->setObjectName(QStringLiteral("ComboRoundFactor"));
    for (int factor = 0; factor <= 10; ++factor)
        ComboRoundFactor->addItem(QString::number(factor));
    form->addRow(QStringLiteral("Shape"), ComboShape);
    form->addRow(QStringLiteral("Brush"), ComboBrushStyle);
    form->addRow(QString(), BBrushColor);
    form->addRow(QStringLiteral("Pen mode"), ComboPenMode);
    form->addRow(QStringLiteral("Pen style"), ComboPenStyle);
    form->addRow(QStringLiteral("Pen width"), EPenWidth);
    form->addRow(QString(), BPenColor);
    form->addRow(QStringLiteral("Round edges factor"), ComboRoundFactor);
    content()->addLayout(form);
    connect(BBrushColor, &QPushButton::clicked, this, [this] { chooseColor(this, m_brushColor); });
    connect(BPenColor, &QPushButton::clicked, this, [this] { chooseColor(this, m_penColor); });
    translate();
}

void TShapePropertyForm::load(const TRpShape &shape)
{
    using namespace PropertyChoices;
    ComboShape->setCurrentIndex(std::max(0, positionOf(shapes(), shape.shape())));
    ComboShape->setEnabled(!designer() || !designer()->ElementFlag(&shape, QStringLiteral("BlockChange")));
    ComboBrushStyle->setCurrentIndex(std::max(0, positionOf(brushes(), shape.brush()->style())));
    ComboPenMode->setCurrentIndex(std::max(0, positionOf(penModes(), shape.pen()->mode())));
    ComboPenStyle->setCurrentIndex(std::max(0, positionOf(lineStyles(), shape.pen()->style())));
    EPenWidth->setNumber(shape.pen()->width());
    m_brushColor = shape.brush()->color();
    m_penColor = shape.pen()->color();
    ComboRoundFactor->setCurrentIndex(0);
}

void TShapePropertyForm::apply(TRpShape &shape) const
{
    using namespace PropertyChoices;
    shape.setShape(Rp::TRpShapeType(valueAt(shapes(), ComboShape->currentIndex(), shape.shape())));
    shape.brush()->setStyle(
        Rp::TBrushStyle(valueAt(brushes(), ComboBrushStyle->currentIndex(), shape.brush()->style())));
    shape.brush()->setColor(m_brushColor);
    shape.pen()->setMode(
        Rp::TPenMode(valueAt(penModes(), ComboPenMode->currentIndex(), shape.pen()->mode())));
    shape.pen()->setStyle(
        Rp::TPenStyle(valueAt(lineStyles(), ComboPenStyle->currentIndex(), shape.pen()->style())));
    int width = 0;
    if (EPenWidth->whole(width) && width >= 1 && width <= 32000)
        shape.pen()->setWidth(width);
    shape.pen()->setColor(m_penColor);
}

bool TShapePropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpShape *shape)
{
    TShapePropertyForm form(owner, designer);
    form.load(*shape);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*shape);
    return true;
}
