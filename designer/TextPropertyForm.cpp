#include "designer/TextPropertyForm.h"

#include "report/elements/LabelItems.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>
#include <cmath>

TRpTextPropertyForm::TRpTextPropertyForm(
    QWidget *owner, TRpDesigner *designer, const QString &className, const QString &caption, int helpContext)
    : TRpPropertyForm(owner, designer, className, caption, helpContext)
{
    m_fields = new QFormLayout;
    content()->addLayout(m_fields);
    auto *switches = new QGridLayout;
    CheckAutoSize
        = PropertyForms::checkBox(this, QStringLiteral("CheckAutoSize"), QStringLiteral("Autosize width"));
    CheckWordWrap = PropertyForms::checkBox(
        this, QStringLiteral("CheckWordWrap"), QStringLiteral("Automatic word-wrap"));
    CheckTransparent
        = PropertyForms::checkBox(this, QStringLiteral("CheckTransparent"), QStringLiteral("Transparent"));
    CheckAutoStretch = PropertyForms::checkBox(
        this, QStringLiteral("CheckAutoStretch"), QStringLiteral("Autostretch height"));
    switches->addWidget(CheckAutoSize, 0, 0);
    switches->addWidget(CheckWordWrap, 0, 1);
    switches->addWidget(CheckTransparent, 1, 0);
    switches->addWidget(CheckAutoStretch, 1, 1);
    content()->addLayout(switches);
    FontGroup = new TRpFontGroup(this);
    content()->addWidget(FontGroup);
}

void TRpTextPropertyForm::loadText(const TRpCustomLabel &element)
{
    CheckAutoSize->setChecked(element.autoSize());
    CheckWordWrap->setChecked(element.wordWrap());
    CheckTransparent->setChecked(element.transparent());
    CheckAutoStretch->setChecked(element.autoStretch());
    FontGroup->load(*element.font(), element.color(), element.alignment());
}

// ---------------------------------------------------------------- rotation

TRpRotationEdit::TRpRotationEdit(QWidget *parent)
    : TRpNumberEdit(Typing::Decimal, parent)
{
    setStepRange(0, 360);
}

void TRpRotationEdit::setDegree(int tenths)
{
    setNumber(tenths / 10.0);
}

bool TRpRotationEdit::degree(ushort &tenths) const
{
    return degreeFromText(text(), tenths);
}

bool TRpRotationEdit::degreeFromText(const QString &text, ushort &tenths)
{
    double degrees = 0;
    if (!readLength(text, degrees))
        return false;
    // The default rounding mode rounds a half to the even neighbour.
    const double rounded = std::nearbyint(degrees * 10);
    if (!(rounded >= 0 && rounded <= 65535))
        return false;
    tenths = ushort(rounded);
    return true;
}
