#pragma once

#include "designer/DesignView.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TRpDesigner;

// The designer options dialog ("Options" from the View menu): band names and their font, component frames
// with their line and colour, the report unit, band rulers, and the mouse and keyboard grids.
class TOptionsForm : public QDialog
{
    Q_OBJECT

public:
    struct Values
    {
        DesignLook look;
        TRpUnit unit = Rp::MM;
        bool ruler = true;
        int gridX = 4;
        int gridY = 4;
        int keyX = 1;
        int keyY = 1;
    };

    explicit TOptionsForm(QWidget *owner);

    QCheckBox *CheckShowBandNames;
    QPushButton *BBandFont;
    QCheckBox *CheckShowFrames;
    QComboBox *ComboLine;
    QPushButton *BFrameColor;
    QComboBox *ComboUnits;
    QCheckBox *CheckRuler;
    QLineEdit *EGridX;
    QLineEdit *EGridY;
    QLineEdit *EKeyX;
    QLineEdit *EKeyY;

    void setValues(const Values &values);
    // What the dialog shows now; a grid field that is empty or outside 1 to 32000 keeps the value it was
    // given.
    Values values() const;

private:
    Values m_values;
};

// Opens the dialog for the designer's settings and applies them on OK, repainting the window: true then.
bool ShowDesignerOptions(QWidget *owner, TRpDesigner *designer);
