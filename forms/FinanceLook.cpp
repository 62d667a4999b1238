#include "forms/FinanceLook.h"

namespace FinanceLook {

TGradButton *button(QWidget *parent, const QString &caption, TColorScheme scheme, int width, int height)
{
    auto *result = new TGradButton(parent);
    result->setText(caption);
    result->setColorScheme(scheme);
    result->setGradient(true);
    result->setHotTrack(true);
    result->setCtl3D(false);
    result->setFixedSize(width, height);
    return result;
}

TGradPanel *panel(QWidget *parent, GradPanelScheme::TColorScheme scheme)
{
    auto *result = new TGradPanel(parent);
    result->setColorScheme(scheme);
    result->setFillDirection(fdVertical);
    return result;
}

} // namespace FinanceLook
