#pragma once

#include "designer/TextPropertyForm.h"

class QPlainTextEdit;
class QPushButton;
class TRpMemo;

// The memo dialog ("Memo"): the lines with "&Expression..." and "&Remove line if empty", alignment,
// "Automatic word-wrap", "Autosize width", "Autostretch height" (off and disabled for a memo lying on the
// report page), font and colour.
class TMemoPropertyForm : public TRpTextPropertyForm
{
    Q_OBJECT

public:
    TMemoPropertyForm(QWidget *owner, TRpDesigner *designer);

    QPlainTextEdit *MemoLines;
    QPushButton *BExpression;
    QPushButton *BRemoveLine;

    void load(const TRpMemo &memo);
    // The lines, switches, alignment, font and colour; the caption is emptied.
    void apply(TRpMemo &memo) const;
    QStringList lines() const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpMemo *memo);
};
