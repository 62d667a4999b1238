#pragma once

#include "report/wizard/LabelFormats.h"
#include "report/wizard/ReportCreator.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class ReportFileEngine;
class TDataSet;
class TDesignRpReport;
class TRpLanguageFile;

// A length field of the wizard's pages in the report's unit. It shows a value in the regional number format
// and gives back exactly the value it was given while the text is not changed; a typed text is read as a
// number, and anything unreadable ("", ".", "-") counts as 0.
class WizardNumberField
{
public:
    explicit WizardNumberField(QLineEdit *edit)
        : m_edit(edit)
    { }
    void setValue(double value);
    double value() const;
    int wholeValue() const;
    QLineEdit *edit() const { return m_edit; }

private:
    QLineEdit *m_edit;
    double m_value = 0;
    QString m_shown;
};

// The wizard "New report definition": ten pages of choices, shown or skipped by the report type and the
// data set, that build a first layout into the report of the designer window (TRpDReportCreator).
class TRpDesignReportExpert : public QDialog
{
    Q_OBJECT

public:
    enum Page {
        PageType,
        PageDataSet,
        PageFields,
        PageBands,
        PageLabelFormat,
        PagePaper,
        PageLabelSize,
        PageOptions,
        PageFonts,
        PageFinish,
        PageCount
    };

    // A data set the report may use, with the text the data set page shows for it.
    struct DataSetEntry
    {
        QString label;
        QPointer<TDataSet> dataSet;
    };

    explicit TRpDesignReportExpert(TDesignRpReport &report, QWidget *parent = nullptr);
    ~TRpDesignReportExpert() override;

    // Set-up before the wizard shows.
    void setDataSets(const QList<DataSetEntry> &entries);
    // A data set handed in by the host: chosen, and its page skipped.
    void setHandedDataSet(TDataSet *dataSet);
    void setLabelFamilies(std::vector<TRpLabelFamily> families);
    // "&New" on the data set page needs both: data sets may be edited and a data set interface exists.
    void setDataSetEditing(bool allowed, bool interfaceRegistered);
    std::function<void(QObject *component)> AfterReportComponentCreated;

    // The page shown, and the moves of "&Next >>" and "<< &Back".
    int currentPage() const;
    void next();
    void back();
    // Whether a page is shown for the answers given so far.
    bool pageShown(int page) const;
    // The answers of every page as they stand.
    TRpWizardAnswers answers() const;
    // Shows a page as it is (for pictures of the pages); no move rules apply.
    void showPage(int page);

    // Page 0
    QRadioButton *rbList;
    QRadioButton *rbForm;
    QRadioButton *rbSingle;
    QRadioButton *rbTabular;
    QRadioButton *rbBlank;
    QRadioButton *rbLabels;
    // Page 1
    QListWidget *lstDatasets;
    QPushButton *btnNewDataset;
    QPushButton *btnDatasetProperties;
    QPushButton *btnDeleteDataset;
    // Page 2
    QListWidget *lstAvailable;
    QListWidget *lstUsed;
    QPushButton *btnAdd;
    QPushButton *btnAddAll;
    QPushButton *btnRemove;
    QPushButton *btnRemoveAll;
    QPushButton *btnUp;
    QPushButton *btnDown;
    // Page 3
    QCheckBox *chkTitle;
    QCheckBox *chkPageHeader;
    QCheckBox *chkPageFooter;
    QCheckBox *chkSummary;
    QCheckBox *chkDetail;
    // Page 4
    QComboBox *cmbLabelFamily;
    QListWidget *lstLabelFormats;
    // Page 5
    QLineEdit *edtTopMargin;
    QLineEdit *edtBottomMargin;
    QLineEdit *edtLeftMargin;
    QLineEdit *edtRightMargin;
    QComboBox *cmbPaperSize;
    QLineEdit *edtPaperWidth;
    QLineEdit *edtPaperLength;
    QComboBox *cmbLabelOrientation;
    // Page 6
    QLineEdit *edtColumnSpace;
    QLineEdit *edtLabelColumns;
    QLineEdit *edtLabelRows;
    QLineEdit *edtRowSpace;
    QLineEdit *edtLabelWidth;
    QLineEdit *edtLabelHeight;
    // Page 7
    QComboBox *cmbOrientation;
    QLineEdit *edtColumns;
    QLineEdit *edtColumnSpacing;
    QLineEdit *edtReportTitle;
    // Page 8
    QPushButton *btnDataFont;
    QPushButton *btnHeaderFont;
    QLabel *lblDataExample;
    QLabel *lblHeaderExample;
    QCheckBox *chkHorizontalLines;
    QCheckBox *chkVerticalLines;
    QCheckBox *chkBoxLines;
    // Page 9 and the buttons
    QPushButton *btnPreview;
    QPushButton *btnBack;
    QPushButton *btnNext;
    QPushButton *btnFinish;
    QPushButton *btnCancel;

private:
    class LabelPreview;

    QWidget *makeTypePage();
    QWidget *makeDataSetPage();
    QWidget *makeFieldsPage();
    QWidget *makeBandsPage();
    QWidget *makeLabelFormatPage();
    QWidget *makePaperPage();
    QWidget *makeLabelSizePage();
    QWidget *makeOptionsPage();
    QWidget *makeFontsPage();
    QWidget *makeFinishPage();
    QLineEdit *lengthField(QWidget *page, std::vector<WizardNumberField> &fields, double value);

    void enterPage(int page);
    void updateButtons();
    void leaveTypePage();
    void leaveDataSetPage();
    TDataSet *chosenDataSet() const;
    QString fieldLabel(const TDataSet &dataSet, const QString &fieldName) const;
    QString fieldNameOf(const QString &label) const;
    void moveSelected(QListWidget *from, QListWidget *to, bool all);
    void moveUsed(int step);
    void chooseFamily(int index);
    void chooseFormat(int row);
    void choosePaper();
    void chooseFont(TRpWizardFont &font, QLabel *example);
    void showFont(const TRpWizardFont &font, QLabel *example);
    void build();
    void preview();
    WizardNumberField &numberField(QLineEdit *edit);
    const WizardNumberField &numberField(QLineEdit *edit) const;
    UnitContext unit() const;

    TDesignRpReport &m_report;
    QStackedWidget *m_pages;
    QList<DataSetEntry> m_dataSets;
    QPointer<TDataSet> m_handedDataSet;
    QPointer<TDataSet> m_fieldsOf;
    std::vector<TRpLabelFamily> m_families;
    std::vector<WizardNumberField> m_numbers;
    TRpWizardFont m_dataFont;
    TRpWizardFont m_headerFont;
    QLabel *m_paperWidthLabel;
    QLabel *m_paperLengthLabel;
    LabelPreview *m_formatPreview;
    LabelPreview *m_sizePreview;
    bool m_dataSetsEditable = false;
    bool m_interfaceRegistered = false;
};

// What the host of the designer hands to the wizard.
struct RpReportWizardHost
{
    // The data sets offered on the data set page; empty: none but "None".
    QList<TRpDesignReportExpert::DataSetEntry> dataSets;
    // The host's data set for the new report (OnNewReport), or none.
    QPointer<TDataSet> handedDataSet;
    // The folder of the designer's settings file, where the label format files are; the program's folder
    // when empty.
    QString settingsFolder;
    const TRpLanguageFile *languageFile = nullptr;
    bool dataSetsEditable = true;
    bool interfaceRegistered = false;
    std::function<void(QObject *component)> AfterReportComponentCreated;
};

// The data sets of the available data sources of an engine: every data source, not named with a leading
// "__", whose data set is set, in the report data module and then (with UseDatamodules) in the
// application's data modules in the order they were made, each labelled by `DatasetDisplayLabels` lines
// ("name=label") or its name.
QList<TRpDesignReportExpert::DataSetEntry> wizardDataSets(
    const ReportFileEngine &engine, const QStringList &datasetDisplayLabels = {});

// Runs the wizard modally on the engine's report; true when the user finished it (the report is then
// rebuilt and marked modified). A cancelled wizard leaves the report as it was given.
bool RunReportWizard(ReportFileEngine &engine, QWidget *parent, const RpReportWizardHost &host);
