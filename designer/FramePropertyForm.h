#pragma once

#include "platform/Colors.h"
#include "report/model/RpFrame.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class RpMessageTable;
class TRpDesigner;

// The frame dialog ("Frame"): which sides of the frame are drawn, their width, line style and colour.
class TFramePropertyForm : public QDialog
{
    Q_OBJECT

public:
    TFramePropertyForm(QWidget *owner, const RpMessageTable &messages);

    QCheckBox *CheckTop;
    QCheckBox *CheckBottom;
    QCheckBox *CheckLeft;
    QCheckBox *CheckRight;
    QSpinBox *EWidth;
    QComboBox *ComboStyle;
    QPushButton *BColor;

    void setFrame(const TRpFrame &frame);
    // Writes the dialog's sides, width, colour and style to a frame.
    void writeTo(TRpFrame &frame) const;
    TColor color() const { return m_color; }
    void setColor(TColor color) { m_color = color; }

private:
    TColor m_color = clBlack;
};

// Opens the frame dialog for the selected bands and elements (the first one's frame is shown), or for the
// report when nothing is selected; OK writes the frame to all of them. True when OK was pressed.
bool ShowFrameDialog(QWidget *owner, TRpDesigner *designer);
