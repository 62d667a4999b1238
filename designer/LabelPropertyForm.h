#pragma once

#include "designer/TextPropertyForm.h"

class QComboBox;
class QLineEdit;
class TRpExpr;
class TRpLabel;

// The label dialog ("Label"): caption, rotation, the switches, alignment, font and colour.
class TLabelPropertyForm : public TRpTextPropertyForm
{
    Q_OBJECT

public:
    TLabelPropertyForm(QWidget *owner, TRpDesigner *designer);

    QLineEdit *LabelCaptionEdit;
    TRpRotationEdit *ERotation;

    void load(const TRpLabel &label);
    // In the order autosize, autostretch, word-wrap, caption, transparency, alignment, font, colour,
    // rotation (left alone when the field does not convert).
    void apply(TRpLabel &label) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpLabel *label);
};

// The expression dialog ("Expression field"): expression (with the wizard), display format, master, "Reset
// after print", rotation and what the label dialog has.
class TExpressionPropertyForm : public TRpTextPropertyForm
{
    Q_OBJECT

public:
    TExpressionPropertyForm(QWidget *owner, TRpDesigner *designer);

    TRpExpressionEdit *EExpression;
    QLineEdit *EFormat;
    QComboBox *ComboMaster;
    QCheckBox *CheckResetAfterPrint;
    TRpRotationEdit *ERotation;

    void load(TRpExpr &expression);
    // In the order format, master, expression, autostretch, then as the label dialog.
    void apply(TRpExpr &expression) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpExpr *expression);
};

// Writes the switches, alignment, font and colour the label and expression dialogs share, in their order.
void applyLabelLook(const TRpTextPropertyForm &form, TRpCustomLabel &element);
// `Degree` of an element that has one, from a rotation field.
void applyRotation(const TRpRotationEdit &field, QObject *element);
