#pragma once

#include "designer/TextPropertyForm.h"

class QComboBox;
class QLineEdit;
class TRpSysData;

// The system field dialog ("Systemfield"): the datum (disabled with "BlockChange"), the text shown before it,
// alignment, "Autosize width", "Transparent", font and colour.
class TSysDataPropertyForm : public TRpTextPropertyForm
{
    Q_OBJECT

public:
    TSysDataPropertyForm(QWidget *owner, TRpDesigner *designer);

    QComboBox *ComboData;
    QLineEdit *EText;

    void load(const TRpSysData &element);
    void apply(TRpSysData &element) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpSysData *element);
};
