#pragma once

#include "designer/BandPropertyForm.h"

class TRpChildBand;
class TRpGroup;
class TRpSubDetail;

// The group band dialog ("Groupband"): group expression, print condition, master (disabled with
// "BlockChange"), footer band (with "new"), link band, "Reprint on new page", the breaks, frame and colour.
class TGroupPropertyForm : public TRpBandFormBase
{
    Q_OBJECT

public:
    TGroupPropertyForm(QWidget *owner, TRpDesigner *designer);

    TRpExpressionEdit *EGroupExpression;
    QComboBox *ComboMaster;
    QComboBox *ComboFooter;
    QPushButton *BNewFooter;
    QComboBox *ComboLink;
    QCheckBox *CheckReprint;

    void load(TRpGroup &group);
    // Links the model refuses (a circle) are skipped; the rest is still applied.
    void apply(TRpGroup &group) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpGroup *group);

private:
    QPointer<TRpGroup> m_group;
};

// The sub-detail band dialog ("Subdetailband"): data set, master, header and footer bands (each with
// "new"), print condition, the breaks, "Before master-detailband", "Print header/footer even if dataset is
// empty", frame and colour.
class TSubdetailPropertyForm : public TRpBandFormBase
{
    Q_OBJECT

public:
    TSubdetailPropertyForm(QWidget *owner, TRpDesigner *designer);

    QComboBox *ComboDataSet;
    QComboBox *ComboMaster;
    QComboBox *ComboHeader;
    QPushButton *BNewHeader;
    QComboBox *ComboFooter;
    QPushButton *BNewFooter;
    QCheckBox *CheckPrintBefore;
    QCheckBox *CheckPrintIfEmpty;

    void load(TRpSubDetail &band);
    void apply(TRpSubDetail &band) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpSubDetail *band);

private:
    QPointer<TRpSubDetail> m_band;
};

// The child band dialog ("Childband"): parent band, link band, print condition, "Even page numbers only",
// "Odd page numbers only", "Not on first page", the breaks, frame and colour.
class TChildPropertyForm : public TRpBandFormBase
{
    Q_OBJECT

public:
    TChildPropertyForm(QWidget *owner, TRpDesigner *designer);

    QComboBox *ComboParent;
    QComboBox *ComboLink;
    QCheckBox *CheckEvenPages;
    QCheckBox *CheckOddPages;
    QCheckBox *CheckNotOnFirstPage;

    void load(TRpChildBand &band);
    void apply(TRpChildBand &band) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpChildBand *band);
};
