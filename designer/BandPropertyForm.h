#pragma once

#include "designer/PropertyFields.h"
#include "report/model/ReportTypes.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TCustomRpReport;
class TRpBand;
class TRpCustomBand;
class TRpLoopBand;
class TRpStringsBand;
class TrpdColorCombo;

// What the dialogs of bands share: the print condition, "At bottom of page", "Force new page", "Force new
// column", the frame and the band colour.
class TRpBandFormBase : public TRpPropertyForm
{
    Q_OBJECT

public:
    TRpBandFormBase(QWidget *owner, TRpDesigner *designer, const QString &className, const QString &caption,
        int helpContext);

    TRpExpressionEdit *ECondition;
    QCheckBox *CheckAtBottom;
    QCheckBox *CheckForceNewPage;
    QCheckBox *CheckForceNewColumn;
    TRpFrameGroup *FrameGroup;
    TrpdColorCombo *ComboColor;

protected:
    // Fills the shared fields from a band; `conditionProperty` names its print condition.
    void loadBand(const TRpCustomBand &band, const char *conditionProperty);
    // Writes the frame and the band colour.
    void applyFrameAndColor(TRpCustomBand &band) const;
    void applyBreaks(TRpCustomBand &band) const;
    QGroupBox *bandBox() const { return m_bandBox; }

private:
    QGroupBox *m_bandBox;
};

// The page rules of the band dialogs: "Odd page numbers only" reads StartPageNum 0 or 1 with PageStep 2,
// "Even page numbers only" StartPageNum 2 with PageStep 2; writing stores odd (1, 2) before even (2, 2), and
// neither as 0 and 0.
namespace PageRules {
bool odd(const QObject *band);
bool even(const QObject *band);
void write(QObject *band, bool odd, bool even);
} // namespace PageRules

// The band dialog ("Band", the band's name as title): band type (disabled with "BlockChange"), print
// condition, page rules, forced breaks, frame and colour; the loop band page (before master, breaks, master,
// number of prints) and the strings band page (before master, breaks, master, items).
class TBandPropertyForm : public TRpBandFormBase
{
    Q_OBJECT

public:
    enum Position { PosTitle = 0, PosDetail = 3, PosPageFooter = 7, PosLoop = 8, PosStrings = 9 };

    TBandPropertyForm(QWidget *owner, TRpDesigner *designer);

    QComboBox *ComboType;
    QGroupBox *GroupLink;
    QComboBox *ComboLink;
    QCheckBox *CheckNotOnLastPage;
    QCheckBox *CheckNotOnFirstPage;
    QCheckBox *CheckOddPages;
    QCheckBox *CheckEvenPages;
    QStackedWidget *KindPages;
    // Loop band page.
    QCheckBox *CheckLoopBefore;
    QCheckBox *CheckLoopAtBottom;
    QCheckBox *CheckLoopForceNewPage;
    QCheckBox *CheckLoopForceNewColumn;
    QComboBox *ComboLoopMaster;
    TRpNumberEdit *EPrintCount;
    // Strings band page.
    QCheckBox *CheckStringsBefore;
    QCheckBox *CheckStringsAtBottom;
    QCheckBox *CheckStringsForceNewPage;
    QCheckBox *CheckStringsForceNewColumn;
    QComboBox *ComboStringsMaster;
    QPushButton *BItems;

    void load(TRpCustomBand &band);
    // Applies the dialog; a changed kind replaces the band first (see ChangeBandKind). Returns the band the
    // values went to.
    TRpCustomBand *apply(TRpCustomBand &band) const;
    QStringList items() const { return m_items; }

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpCustomBand *band);

private:
    void followType();

    QPointer<TRpCustomBand> m_band;
    QStringList m_items;
};

// Replaces a band by a new one of another kind ("TRpDesignBand", "TRpDesignLoopband" or
// "TRpDesignStringsband"): same owner, height, font, lock flags and frame; the elements move over in their
// order; every link to the old band (child bands' parent, linked bands, masters, header and footer bands)
// goes to the new one; the new band takes the old one's place in the selection and, once the old band is
// gone, its name. Returns the new band.
TRpCustomBand *ChangeBandKind(TRpDesigner *designer, TRpCustomBand *band, const QString &className);

// The "new" header and footer buttons: a plain band of the type made at once on the report through the
// element factory, named the base ("Header", "Footer") and the smallest number that makes the name unique.
// It stays on the report whatever the dialog comes to.
TRpBand *CreateLinkedBand(
    TRpDesigner *designer, TCustomRpReport *report, const QString &base, TRpBandType type);

// The strings band items ("Stringband Items"): one item per line.
class TStringbandItemsForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TStringbandItemsForm(QWidget *owner, TRpDesigner *designer);

    QPlainTextEdit *MemoItems;

    void setItems(const QStringList &items);
    QStringList items() const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, QStringList &items);
};
