#pragma once

#include "designer/PropertyFields.h"

class QComboBox;
class QPushButton;
class TRpShape;

// The shape dialog ("Shape"): the shape (disabled with "BlockChange"), brush style and colour, pen mode,
// style, width (1 to 32000) and colour. The "Round edges factor" list is offered and sets nothing.
class TShapePropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TShapePropertyForm(QWidget *owner, TRpDesigner *designer);

    QComboBox *ComboShape;
    QComboBox *ComboBrushStyle;
    QPushButton *BBrushColor;
    QComboBox *ComboPenMode;
    QComboBox *ComboPenStyle;
    TRpNumberEdit *EPenWidth;
    QPushButton *BPenColor;
    QComboBox *ComboRoundFactor;

    void load(const TRpShape &shape);
    void apply(TRpShape &shape) const;
    TColor brushColor() const { return m_brushColor; }
    TColor penColor() const { return m_penColor; }

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpShape *shape);

private:
    TColor m_brushColor = clWhite;
    TColor m_penColor = clBlack;
};
