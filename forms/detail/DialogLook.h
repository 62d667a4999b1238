#pragma once

#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// The pieces the designation and entry dialogs share, on the look of FinanceLook: their title band, their
// panels and buttons, and their place on the screen.
namespace DialogLook {

// Arial, 24 pixels, bold: the title band of a dialog.
QFont titleFont();

TGradPanel *panel(
    QWidget *parent, const char *name, GradPanelScheme::TColorScheme scheme, const QRect &geometry);
TGradButton *button(
    QWidget *parent, const char *name, const QString &caption, TColorScheme scheme, const QRect &geometry);
// A transparent label; `bold` for the field captions.
QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &geometry, bool bold);
// The title band: the window's title centred in Arial 24 bold.
QLabel *title(QWidget *parent, const QString &caption, const QRect &geometry);

// Centres a dialog on the main window (on the screen while there is none).
void centreOnMainWindow(QWidget &dialog);

} // namespace DialogLook
