#pragma once

#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QString>

class QWidget;

// The look every finance window shares: gradient buttons with Gradient and HotTrack on, Ctl3D off and the
// colours of one button scheme (csNeoSilver in the main, list and entry windows, csNeoRose in the rose
// dialogs); vertical gradient panels with the default raised one-pixel bevel.
namespace FinanceLook {

TGradButton *button(
    QWidget *parent, const QString &caption, TColorScheme scheme, int width = 75, int height = 25);
TGradPanel *panel(QWidget *parent, GradPanelScheme::TColorScheme scheme);

} // namespace FinanceLook
