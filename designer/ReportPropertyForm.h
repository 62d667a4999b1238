#pragma once

#include "designer/PropertyFields.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;
class TDesignRpReport;

// The report dialog ("Report Options"), two pages. "Page": the paper size (sorted by name; width and
// length only for "Custom"), orientation, margins, columns and their space, all in the report's unit, and
// the label settings of label reports. "Report": the report title and description.
class TReportPropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    static constexpr int kCustomListWidth = 110;
    static constexpr int kListWidth = 417;

    TReportPropertyForm(QWidget *owner, TRpDesigner *designer);

    QTabWidget *Pages;
    QComboBox *ComboPaperSize;
    TRpNumberEdit *EPageWidth;
    TRpNumberEdit *EPageLength;
    QRadioButton *RPortrait;
    QRadioButton *RLandscape;
    TRpNumberEdit *ETopMargin;
    TRpNumberEdit *EBottomMargin;
    TRpNumberEdit *ELeftMargin;
    TRpNumberEdit *ERightMargin;
    TRpNumberEdit *EColumnSpace;
    TRpNumberEdit *EColumns;
    QLabel *UnitLabel[7];
    QGroupBox *GroupLabels;
    TRpNumberEdit *EFirstLabel;
    TRpNumberEdit *ELabelCount;
    QCheckBox *CheckAskFirstLabel;
    QCheckBox *CheckAskLabelCount;
    QLineEdit *EReportTitle;
    QPlainTextEdit *MemoDescription;

    void load(TDesignRpReport &report);
    void apply(TDesignRpReport &report) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TDesignRpReport *report);

private:
    void followPaperSize();
    bool customChosen() const;

    bool m_filling = false;
    int m_firstLabel = 0;
};
