#pragma once

#include "widgets/DBGrid.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

// The look every finance window shares: gradient buttons with Gradient and HotTrack on, Ctl3D off and the
// colours of one button scheme (csNeoSilver in the main, list and entry windows, csNeoRose in the rose
// dialogs); vertical gradient panels with the default raised one-pixel bevel.
namespace FinanceLook {

TGradButton *button(
    QWidget *parent, const QString &caption, TColorScheme scheme, int width = 75, int height = 25);
TGradPanel *panel(QWidget *parent, GradPanelScheme::TColorScheme scheme);

// Gives `grid` the columns, each at least as wide as its whole title and the widest of its sample texts
// (`samples[i]` for column i; missing lists mean none). The room a column gains is taken from column
// `flexible`, down to what that column itself needs, so the columns keep the width the window planned. A
// column without a width (−1) keeps the grid's own choice.
void setFittingColumns(
    TDBGrid &grid, std::vector<TColumn> columns, size_t flexible, const std::vector<QStringList> &samples);

// Texts as wide as the widest amounts and dates a household shows, in the regional formats.
QStringList amountSamples();
QStringList dateSamples();

} // namespace FinanceLook
