#pragma once

#include "report/files/DesignClasses.h"
#include "report/files/ReportFile.h"
#include "report/notation/StreamHooks.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class TRpPreview;
struct TRpDesignerSettings;

namespace RpDesigner {
Q_NAMESPACE

enum TRpDUserSetting {
    AllowSQLEdit = 1,
    AllowDatasetEdit = 2,
    QueriesOnlyInExpert = 4,
    QueriesOnlyInDBSetup = 8,
    AllowNewCalcFields = 16,
    AllowBlockEdit = 32,
    AllowScriptEdit = 64
};
Q_DECLARE_FLAGS(TRpDUserSettings, TRpDUserSetting)
Q_FLAG_NS(TRpDUserSettings)

enum TRpDEditorSetting {
    UndoEnabled = 1,
    SaveBackupFiles = 2,
    AutoEditAfterInsert = 4,
    ShowDatafieldListbox = 8,
    DatafieldsSorted = 16,
    ShowScriptIndicator = 32
};
Q_DECLARE_FLAGS(TRpDEditorSettings, TRpDEditorSetting)
Q_FLAG_NS(TRpDEditorSettings)

enum TRpDelimiterType {
    delCustom,
    delNoQuotes,
    delSingleQuotes,
    delDoubleQuotes,
    delOracle,
    delAccess,
    delInterbase
};
Q_ENUM_NS(TRpDelimiterType)

} // namespace RpDesigner

Q_DECLARE_OPERATORS_FOR_FLAGS(RpDesigner::TRpDUserSettings)
Q_DECLARE_OPERATORS_FOR_FLAGS(RpDesigner::TRpDEditorSettings)

using RpDesigner::TRpDEditorSettings;
using RpDesigner::TRpDelimiterType;
using RpDesigner::TRpDUserSettings;

// The printer settings a host imposes on its reports, with the print offsets of the page.
class TRpDPrinterSettings : public TRpReportPrinterSettings
{
    Q_OBJECT
    Q_PROPERTY(double PrintOffsetVerticalMM READ printOffsetVerticalMM WRITE setPrintOffsetVerticalMM)
    Q_PROPERTY(double PrintOffsetHorizontalMM READ printOffsetHorizontalMM WRITE setPrintOffsetHorizontalMM)

public:
    using TRpReportPrinterSettings::TRpReportPrinterSettings;

    double printOffsetVerticalMM() const { return m_vertical; }
    void setPrintOffsetVerticalMM(double value) { m_vertical = value; }
    double printOffsetHorizontalMM() const { return m_horizontal; }
    void setPrintOffsetHorizontalMM(double value) { m_horizontal = value; }

private:
    double m_vertical = 0;
    double m_horizontal = 0;
};

// The quoting rules of generated SQL: a delimiter type and its nine texts. Choosing a type other than
// delCustom fills the texts from its row; a text that differs from the row turns the type into delCustom.
class TRpDatabaseSettings : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(RpDesigner::TRpDelimiterType DelimiterType READ delimiterType WRITE setDelimiterType)

public:
    enum Text {
        SQLFieldDelimiterLeft,
        SQLFieldDelimiterRight,
        SQLStringDelimiterLeft,
        SQLStringDelimiterRight,
        SQLTableDelimiterLeft,
        SQLTableDelimiterRight,
        SQLDateDelimiterLeft,
        SQLDateDelimiterRight,
        SQLWildcard,
        TextCount
    };

    explicit TRpDatabaseSettings(QObject *parent = nullptr);

    TRpDelimiterType delimiterType() const { return m_type; }
    void setDelimiterType(TRpDelimiterType type);
    QString text(Text which) const { return m_texts[which]; }
    void setText(Text which, const QString &value);
    // Setting delCustom while the owner is being read empties all nine texts.
    void setReading(bool reading) { m_reading = reading; }

private:
    TRpDelimiterType m_type = RpDesigner::delCustom;
    QString m_texts[TextCount];
    bool m_reading = false;
};

// The hidden window that runs a report without designing it: one report named "RpReport" and a loader-only
// engine. Made, it reads the "General" and "Printer" sections of the designer's settings file.
class TReportPrintForm : public QWidget
{
    Q_OBJECT

public:
    explicit TReportPrintForm(QWidget *parent = nullptr);
    ~TReportPrintForm() override;

    TRpDLoader *loader() const { return m_loader.get(); }
    TDesignRpReport *report() const { return m_loader->report(); }

private:
    std::unique_ptr<TRpDLoader> m_loader;
};

// What the reports window reaches the report designer through: loads, runs and previews report files without
// a designer window. Its settings are handed to the engine and the report of every window it makes
// (DialogApply), before and again after each load, so that they win over those of the file and of the
// settings file. It holds at most one window; every entry operation first destroys the one it still holds,
// and while one operation runs (a preview waits in its own event loop) another returns false at once.
class TReportPrinterDialog : public QObject, public StreamHooks
{
    Q_OBJECT
    Q_PROPERTY(TLabelSettings *LabelSettings READ labelSettings)
    Q_PROPERTY(bool ShowFilterBeforePrint READ showFilterBeforePrint WRITE setShowFilterBeforePrint)
    Q_PROPERTY(bool UseDataModules READ useDataModules WRITE setUseDataModules)
    Q_PROPERTY(bool UseCurrentDatasets READ useCurrentDatasets WRITE setUseCurrentDatasets)
    Q_PROPERTY(bool SaveLoadPrinterSetup READ saveLoadPrinterSetup WRITE setSaveLoadPrinterSetup)
    Q_PROPERTY(bool ScriptsEnabled READ scriptsEnabled WRITE setScriptsEnabled)
    Q_PROPERTY(QString SessionName READ sessionName WRITE setSessionName)
    Q_PROPERTY(bool PrepareAutomatically READ prepareAutomatically WRITE setPrepareAutomatically)
    Q_PROPERTY(bool PrintIfEmpty READ printIfEmpty WRITE setPrintIfEmpty)
    Q_PROPERTY(TRpDPrinterSettings *PrinterSettings READ printerSettings)
    Q_PROPERTY(bool UsePrinterSettings READ usePrinterSettings WRITE setUsePrinterSettings)
    Q_PROPERTY(bool UseModalPreview READ useModalPreview WRITE setUseModalPreview)
    Q_PROPERTY(QString Version READ version WRITE setVersion)

public:
    explicit TReportPrinterDialog(QObject *owner = nullptr);
    ~TReportPrinterDialog() override;

    TLabelSettings *labelSettings() const { return m_labelSettings; }
    bool showFilterBeforePrint() const { return m_showFilterBeforePrint; }
    void setShowFilterBeforePrint(bool value) { m_showFilterBeforePrint = value; }
    bool useDataModules() const { return m_useDataModules; }
    void setUseDataModules(bool value) { m_useDataModules = value; }
    bool useCurrentDatasets() const { return m_useCurrentDatasets; }
    void setUseCurrentDatasets(bool value) { m_useCurrentDatasets = value; }
    bool saveLoadPrinterSetup() const { return m_saveLoadPrinterSetup; }
    void setSaveLoadPrinterSetup(bool value) { m_saveLoadPrinterSetup = value; }
    bool scriptsEnabled() const { return m_scriptsEnabled; }
    void setScriptsEnabled(bool value) { m_scriptsEnabled = value; }
    QString sessionName() const { return m_sessionName; }
    void setSessionName(const QString &value) { m_sessionName = value; }
    bool prepareAutomatically() const { return m_prepareAutomatically; }
    void setPrepareAutomatically(bool value) { m_prepareAutomatically = value; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    TRpDPrinterSettings *printerSettings() const { return m_printerSettings; }
    bool usePrinterSettings() const { return m_usePrinterSettings; }
    void setUsePrinterSettings(bool value) { m_usePrinterSettings = value; }
    bool useModalPreview() const { return m_useModalPreview; }
    void setUseModalPreview(bool value) { m_useModalPreview = value; }
    QString version() const { return QStringLiteral("1.59.0"); }
    void setVersion(const QString &) { }
    TRpPreview *rpPreview() const;
    void setRpPreview(TRpPreview *preview);

    // Loads the report file without a designer window, runs it and shows the preview; true when the file was
    // loaded. A file that cannot be loaded shows nothing.
    bool PreviewReport(const QString &fileName);

    // The window held now (null when none) and its engine and report.
    QWidget *window() const { return m_window; }
    ReportFileEngine *engine() const { return m_engine; }
    TDesignRpReport *report() const;
    // True while an entry operation runs.
    bool busy() const { return m_busy; }

    // Program-wide: how a loaded report is run and previewed; without one, the report engine's preview, which
    // returns once its window is closed.
    using PreviewRunner = std::function<void(TDesignRpReport &report, bool modal, bool maximized)>;
    static void setPreviewRunner(PreviewRunner runner);
    // Program-wide: runs a report into a preview control that stays with the dialog; without one the report
    // is generated into a store that the control shows.
    using ControlRunner = std::function<void(TDesignRpReport &report, TRpPreview &control)>;
    static void setControlRunner(ControlRunner runner);

    std::function<void(const QByteArray &userData)> OnLoadReport;
    std::function<void(QObject *sender, bool &moreData)> OnNeedData;
    std::function<void(TCustomRpReport *report, bool &printReport)> BeforePrint;
    std::function<void(TCustomRpReport *report)> OnStartPage;
    std::function<void(TCustomRpReport *report)> OnEndPage;
    std::function<void(QObject *sender)> AfterPrint;
    std::function<void(QObject *sender)> AfterPreview;
    std::function<void(QObject *band)> BandBeforePrint;
    std::function<void(QObject *image)> DBImageBeforePrint;
    std::function<void(QObject *sender)> BeforeExecuteScript;
    std::function<void(QWidget *window, ReportFileEngine *engine)> AfterReportLoaded;
    std::function<void(QWidget *window, ReportFileEngine *engine)> AfterReportFormCreated;
    std::function<void(QObject *dataset)> BeforeOpenDataset;
    std::function<void(QObject *dataset)> OnCalcFields;
    std::function<void(QObject *sender)> BeforeGetQueryParams;

    // Hands the dialog's settings to the engine and the report of the window held now.
    virtual void DialogApply();

protected:
    // Marks an entry operation running for as long as it lives.
    class BusyGuard
    {
    public:
        explicit BusyGuard(TReportPrinterDialog &dialog)
            : m_dialog(dialog)
        {
            m_dialog.m_busy = true;
        }
        ~BusyGuard() { m_dialog.m_busy = false; }
        BusyGuard(const BusyGuard &) = delete;
        BusyGuard &operator=(const BusyGuard &) = delete;

    private:
        TReportPrinterDialog &m_dialog;
    };

    void destroyWindow();
    void holdWindow(QWidget *window, ReportFileEngine *engine);
    // Loads the file into the engine of the window held now; every error gives false.
    bool loadReport(const QString &fileName);
    QWidget *ownerWidget() const;
    // Step 6 of DialogApply: the engine settings both dialog kinds hand over.
    void applyEngineSettings(ReportFileEngine &engine) const;

private:
    TLabelSettings *m_labelSettings;
    bool m_showFilterBeforePrint = false;
    bool m_useDataModules = false;
    bool m_useCurrentDatasets = false;
    bool m_saveLoadPrinterSetup = false;
    bool m_scriptsEnabled = true;
    QString m_sessionName;
    bool m_prepareAutomatically = false;
    bool m_printIfEmpty = true;
    TRpDPrinterSettings *m_printerSettings;
    bool m_usePrinterSettings = false;
    bool m_useModalPreview = false;
    QPointer<TRpPreview> m_rpPreview;
    QPointer<QWidget> m_window;
    ReportFileEngine *m_engine = nullptr;
    bool m_busy = false;
};

// The report designer's entry component: adds the designer window with its user and editor settings and the
// new and edit operations. Until the designer window exists, NewReport and EditReport tell the user so and
// touch no file.
class TReportDesignerDialog : public TReportPrinterDialog
{
    Q_OBJECT
    Q_PROPERTY(RpDesigner::TRpDUserSettings UserSettings READ userSettings WRITE setUserSettings)
    Q_PROPERTY(RpDesigner::TRpDEditorSettings EditorSettings READ editorSettings WRITE setEditorSettings)
    Q_PROPERTY(TRpDatabaseSettings *SQLSettings READ sqlSettings)
    Q_PROPERTY(QString DefaultSaveDir READ defaultSaveDir WRITE setDefaultSaveDir)
    Q_PROPERTY(QString DefaultOpenDir READ defaultOpenDir WRITE setDefaultOpenDir)
    Q_PROPERTY(QStringList FieldDisplayLabels READ fieldDisplayLabels WRITE setFieldDisplayLabels)
    Q_PROPERTY(QStringList IndexDisplayLabels READ indexDisplayLabels WRITE setIndexDisplayLabels)
    Q_PROPERTY(QStringList DatasetDisplayLabels READ datasetDisplayLabels WRITE setDatasetDisplayLabels)
    Q_PROPERTY(QStringList AvailableDatasetNames READ availableDatasetNames WRITE setAvailableDatasetNames)
    Q_PROPERTY(QStringList AvailableDatabaseNames READ availableDatabaseNames WRITE setAvailableDatabaseNames)
    Q_PROPERTY(QStringList AvailableTableNames READ availableTableNames WRITE setAvailableTableNames)
    Q_PROPERTY(QString HelpFile READ helpFile WRITE setHelpFile)
    Q_PROPERTY(QString DefaultFileExtension READ defaultFileExtension WRITE setDefaultFileExtension)
    Q_PROPERTY(QString DefaultFileFilter READ defaultFileFilter WRITE setDefaultFileFilter)

public:
    explicit TReportDesignerDialog(QObject *owner = nullptr);

    TRpDUserSettings userSettings() const { return m_userSettings; }
    void setUserSettings(TRpDUserSettings value) { m_userSettings = value; }
    TRpDEditorSettings editorSettings() const { return m_editorSettings; }
    void setEditorSettings(TRpDEditorSettings value) { m_editorSettings = value; }
    TRpDatabaseSettings *sqlSettings() const { return m_sqlSettings; }
    QString defaultSaveDir() const { return m_defaultSaveDir; }
    void setDefaultSaveDir(const QString &value) { m_defaultSaveDir = value; }
    QString defaultOpenDir() const { return m_defaultOpenDir; }
    void setDefaultOpenDir(const QString &value) { m_defaultOpenDir = value; }
    QStringList fieldDisplayLabels() const { return m_fieldDisplayLabels; }
    void setFieldDisplayLabels(const QStringList &value) { m_fieldDisplayLabels = value; }
    QStringList indexDisplayLabels() const { return m_indexDisplayLabels; }
    void setIndexDisplayLabels(const QStringList &value) { m_indexDisplayLabels = value; }
    QStringList datasetDisplayLabels() const { return m_datasetDisplayLabels; }
    void setDatasetDisplayLabels(const QStringList &value) { m_datasetDisplayLabels = value; }
    QStringList availableDatasetNames() const { return m_availableDatasetNames; }
    void setAvailableDatasetNames(const QStringList &value) { m_availableDatasetNames = value; }
    QStringList availableDatabaseNames() const { return m_availableDatabaseNames; }
    void setAvailableDatabaseNames(const QStringList &value) { m_availableDatabaseNames = value; }
    QStringList availableTableNames() const { return m_availableTableNames; }
    void setAvailableTableNames(const QStringList &value) { m_availableTableNames = value; }
    QString helpFile() const { return m_helpFile; }
    void setHelpFile(const QString &value) { m_helpFile = value; }
    QString defaultFileExtension() const { return m_defaultFileExtension; }
    // An empty value is ignored; "*.rp2" and "rp2" both become ".rp2".
    void setDefaultFileExtension(const QString &value);
    QString defaultFileFilter() const { return m_defaultFileFilter; }
    void setDefaultFileFilter(const QString &value) { m_defaultFileFilter = value; }

    // Open the designer window on a new report, or on the report file (a new report under that name when the
    // name is empty or no such file exists). NewReport returns true; EditReport true when the file was
    // loaded. False at once while another entry operation runs.
    bool NewReport(const QString &fileName, bool askWizard);
    bool EditReport(const QString &fileName);

    std::function<void(QObject *element)> AfterReportComponentCreated;
    std::function<void(QObject *field, bool &show)> OnShowDatafield;
    std::function<void(QWidget *window, ReportFileEngine *engine, QObject *&dataset, bool &askWizard)>
        OnNewReport;
    std::function<QByteArray()> OnSaveReport;

    // The names older settings of this component used, folded into the two settings sets.
    bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok) override;
    void beginRead() override;
    void loaded() override;

    static QString designerNotAvailableMessage();

private:
    bool showDesignerNotAvailable();

    TRpDUserSettings m_userSettings = RpDesigner::AllowSQLEdit | RpDesigner::AllowDatasetEdit
        | RpDesigner::AllowBlockEdit | RpDesigner::AllowScriptEdit;
    TRpDEditorSettings m_editorSettings = RpDesigner::AutoEditAfterInsert | RpDesigner::ShowDatafieldListbox
        | RpDesigner::DatafieldsSorted | RpDesigner::ShowScriptIndicator;
    TRpDatabaseSettings *m_sqlSettings;
    QString m_defaultSaveDir;
    QString m_defaultOpenDir;
    QStringList m_fieldDisplayLabels;
    QStringList m_indexDisplayLabels;
    QStringList m_datasetDisplayLabels;
    QStringList m_availableDatasetNames;
    QStringList m_availableDatabaseNames;
    QStringList m_availableTableNames;
    QString m_helpFile;
    QString m_defaultFileExtension = QStringLiteral(".RP2");
    QString m_defaultFileFilter = QStringLiteral("Reports|*.RP2");
};
