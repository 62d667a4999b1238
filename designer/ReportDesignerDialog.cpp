#include "designer/ReportDesignerDialog.h"

// The preview control keeps its store by a guarded pointer, which needs the store whole.
#include "report/pages/RpPrinter.h"

#include "designer/ReportDesignerForm.h"
#include "preview/RpPreview.h"
#include "report/files/DesignerSettings.h"
#include "report/generation/RunReport.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QFileInfo>

// ---------------------------------------------------------------- SQL settings

namespace {

// Per delimiter type: field, string, table and date delimiters (left and right) and the wildcard.
const char *const kDelimiterRows[][TRpDatabaseSettings::TextCount] = {
    { "'", "'", "'", "'", "'", "'", "'", "'", "%" }, // delCustom
    { "", "", "'", "'", "'", "'", "'", "'", "%" }, // delNoQuotes
    { "'", "'", "'", "'", "'", "'", "'", "'", "%" }, // delSingleQuotes
    { "\"", "\"", "\"", "\"", "\"", "\"", "\"", "\"", "%" }, // delDoubleQuotes
    { "\"", "\"", "'", "'", "\"", "\"", "'", "'", "%" }, // delOracle
    { "[", "]", "\"", "\"", "[", "]", "#", "#", "*" }, // delAccess
    { "", "", "'", "'", "", "", "'", "'", "%" }, // delInterbase
};

TReportPrinterDialog::PreviewRunner &previewRunner()
{
    static TReportPrinterDialog::PreviewRunner runner;
    return runner;
}

TReportPrinterDialog::ControlRunner &controlRunner()
{
    static TReportPrinterDialog::ControlRunner runner;
    return runner;
}

} // namespace

TRpDatabaseSettings::TRpDatabaseSettings(QObject *parent)
    : RpPersistent(parent)
{
    for (int i = 0; i < TextCount; ++i)
        m_texts[i] = QString::fromLatin1(kDelimiterRows[RpDesigner::delCustom][i]);
}

void TRpDatabaseSettings::setDelimiterType(TRpDelimiterType type)
{
    if (int(type) < 0 || int(type) > int(RpDesigner::delInterbase))
        return;
    m_type = type;
    for (int i = 0; i < TextCount; ++i)
        m_texts[i] = type == RpDesigner::delCustom && m_reading
            ? QString()
            : QString::fromLatin1(kDelimiterRows[type][i]);
}

void TRpDatabaseSettings::setText(Text which, const QString &value)
{
    if (which < 0 || which >= TextCount)
        return;
    m_texts[which] = value;
    if (value != QString::fromLatin1(kDelimiterRows[m_type][which]))
        m_type = RpDesigner::delCustom;
}

// ---------------------------------------------------------------- the print window

TReportPrintForm::TReportPrintForm(QWidget *parent)
    : QWidget(parent)
    , m_loader(std::make_unique<TRpDLoader>(QStringLiteral("ReportPrintForm")))
{
    setObjectName(QStringLiteral("ReportPrintForm"));
    setAttribute(Qt::WA_DontShowOnScreen);
    hide();
    const TRpDesignerSettings settings
        = TRpDesignerSettings::readFile(TRpDesignerSettings::Sections::PrintWindow);
    settings.applyGeneral(*m_loader);
    settings.applyPrinter(*m_loader->report());
}

TReportPrintForm::~TReportPrintForm() = default;

// ---------------------------------------------------------------- the printer dialog

TReportPrinterDialog::TReportPrinterDialog(QObject *owner)
    : QObject(owner)
    , m_labelSettings(new TLabelSettings(this))
    , m_printerSettings(new TRpDPrinterSettings(this))
{ }

TReportPrinterDialog::~TReportPrinterDialog()
{
    destroyWindow();
}

void TReportPrinterDialog::setPreviewRunner(PreviewRunner runner)
{
    previewRunner() = std::move(runner);
}

void TReportPrinterDialog::setControlRunner(ControlRunner runner)
{
    controlRunner() = std::move(runner);
}

TRpPreview *TReportPrinterDialog::rpPreview() const
{
    return m_rpPreview;
}

void TReportPrinterDialog::setRpPreview(TRpPreview *preview)
{
    m_rpPreview = preview;
}

TDesignRpReport *TReportPrinterDialog::report() const
{
    return m_engine && m_window ? m_engine->report() : nullptr;
}

QWidget *TReportPrinterDialog::ownerWidget() const
{
    return qobject_cast<QWidget *>(parent());
}

void TReportPrinterDialog::destroyWindow()
{
    m_engine = nullptr;
    // A window its owner already destroyed is gone from the guard.
    delete m_window.data();
    m_window = nullptr;
}

void TReportPrinterDialog::holdWindow(QWidget *window, ReportFileEngine *engine)
{
    m_window = window;
    m_engine = engine;
}

void TReportPrinterDialog::applyEngineSettings(ReportFileEngine &engine) const
{
    engine.setUseDatamodules(m_useDataModules);
    // The window owning the dialog offers its datasets only with UseCurrentDatasets; this program has none
    // of its own, so there is never a database owner.
    engine.setDatabaseOwner(QString());
    engine.setSaveLoadPrinterSetup(m_saveLoadPrinterSetup);
}

void TReportPrinterDialog::DialogApply()
{
    if (!m_engine)
        return;
    ReportFileEngine &engine = *m_engine;
    TDesignRpReport &report = *engine.report();
    // 1.–2. Hooks of the engine.
    if (BeforeOpenDataset)
        engine.BeforeOpenDataset = BeforeOpenDataset;
    engine.OnLoadReport = OnLoadReport;
    // 3. Hooks of the report.
    if (OnNeedData)
        report.OnNeedData = OnNeedData;
    if (BeforePrint)
        report.BeforePrint = BeforePrint;
    if (OnStartPage)
        report.OnStartPage = OnStartPage;
    if (OnEndPage)
        report.OnEndPage = OnEndPage;
    if (AfterPrint)
        report.AfterPrint = AfterPrint;
    if (AfterPreview)
        report.AfterPreview = AfterPreview;
    // 4. Run settings; label settings only where set.
    report.setPrepareAutomatically(m_prepareAutomatically);
    report.setPrintIfEmpty(m_printIfEmpty);
    if (m_labelSettings->firstLabel() != 0)
        report.labelSettings()->setFirstLabel(m_labelSettings->firstLabel());
    if (m_labelSettings->labelCount() != 0)
        report.labelSettings()->setLabelCount(m_labelSettings->labelCount());
    // 6. Engine settings.
    applyEngineSettings(engine);
}

bool TReportPrinterDialog::loadReport(const QString &fileName)
{
    if (!m_engine)
        return false;
    try {
        m_engine->LoadReportFile(fileName);
    } catch (...) {
        // Whatever keeps the file from loading makes the operation fail; the engine says what it must.
        return false;
    }
    if (m_usePrinterSettings)
        m_engine->report()->printerSettings()->assign(*m_printerSettings);
    if (AfterReportLoaded)
        AfterReportLoaded(m_window, m_engine);
    DialogApply();
    return true;
}

bool TReportPrinterDialog::PreviewReport(const QString &fileName)
{
    if (m_busy)
        return false;
    const BusyGuard busy(*this);
    destroyWindow();
    auto *form = new TReportPrintForm(ownerWidget());
    holdWindow(form, form->loader());
    DialogApply();
    if (AfterReportFormCreated)
        AfterReportFormCreated(form, form->loader());
    const bool loaded = loadReport(fileName);
    if (loaded) {
        try {
            TDesignRpReport &report = *form->report();
            if (m_rpPreview) {
                if (controlRunner()) {
                    controlRunner()(report, *m_rpPreview);
                } else if (TRpPrinter *store = GenerateToStore(report)) {
                    store->setTitle(report.reportTitle());
                    m_rpPreview->LinkStore(store);
                }
            } else if (previewRunner()) {
                previewRunner()(report, m_useModalPreview, true);
            } else {
                // The ordinary preview returns only once its window is closed, like the modal one.
                ShowPreviewModal(report);
            }
        } catch (...) {
            // An error while running ends the page output and discards it without a message.
        }
    }
    if (!m_rpPreview)
        destroyWindow();
    return loaded;
}

// ---------------------------------------------------------------- the designer dialog

TReportDesignerDialog::TReportDesignerDialog(QObject *owner)
    : TReportPrinterDialog(owner)
    , m_sqlSettings(new TRpDatabaseSettings(this))
{ }

void TReportDesignerDialog::setDefaultFileExtension(const QString &value)
{
    if (value.isEmpty())
        return;
    QString extension = value;
    if (extension.startsWith(u'*'))
        extension = extension.mid(1, 10);
    if (!extension.startsWith(u'.'))
        extension.prepend(u'.');
    m_defaultFileExtension = extension;
}

namespace {

// The hourglass for as long as it lives.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TReportDesignerForm *TReportDesignerDialog::designerForm() const
{
    return qobject_cast<TReportDesignerForm *>(window());
}

TReportDesignerForm *TReportDesignerDialog::createDesignerWindow()
{
    destroyWindow();
    auto *form = new TReportDesignerForm(ownerWidget());
    holdWindow(form, form->RpDesigner1->files());
    TRpDesigner *designer = form->RpDesigner1;
    designer->files()->setReportFileExtension(m_defaultFileExtension);
    designer->FileFilter = m_defaultFileFilter;
    if (!m_helpFile.isEmpty())
        form->helpFile = m_helpFile;
    DialogApply();
    return form;
}

void TReportDesignerDialog::DialogApply()
{
    TReportPrinterDialog::DialogApply();
    TReportDesignerForm *form = designerForm();
    if (!form)
        return;
    TRpDesigner *designer = form->RpDesigner1;
    const bool undo = m_editorSettings.testFlag(RpDesigner::UndoEnabled);
    const bool listbox = m_editorSettings.testFlag(RpDesigner::ShowDatafieldListbox);
    designer->setShowScriptIndicator(m_editorSettings.testFlag(RpDesigner::ShowScriptIndicator));
    designer->DefaultSaveDir = m_defaultSaveDir;
    designer->DefaultOpenDir = m_defaultOpenDir;
    if (AfterReportComponentCreated)
        designer->AfterReportComponentCreated = AfterReportComponentCreated;
    designer->ShowDatafieldListbox = listbox;
    designer->AllowSQLEdit = m_userSettings.testFlag(RpDesigner::AllowSQLEdit);
    designer->ScriptEditByUser = m_userSettings.testFlag(RpDesigner::AllowScriptEdit);
    designer->files()->setSaveBackupFiles(m_editorSettings.testFlag(RpDesigner::SaveBackupFiles));
    designer->AllowNewCalcFields = m_userSettings.testFlag(RpDesigner::AllowNewCalcFields);
    designer->AutoEditAfterInsert = m_editorSettings.testFlag(RpDesigner::AutoEditAfterInsert);
    designer->AllowBlockEdit = m_userSettings.testFlag(RpDesigner::AllowBlockEdit);
    designer->UndoEnabled = undo;
    designer->DatafieldsSorted = m_editorSettings.testFlag(RpDesigner::DatafieldsSorted);
    designer->DatasetDisplayLabels = m_datasetDisplayLabels;
    designer->FieldDisplayLabels = m_fieldDisplayLabels;
    designer->IndexDisplayLabels = m_indexDisplayLabels;
    designer->AvailableDatasetNames = m_availableDatasetNames;
    designer->AvailableDatabaseNames = m_availableDatabaseNames;
    designer->AvailableTableNames = m_availableTableNames;
    if (OnShowDatafield)
        designer->OnShowDatafield = OnShowDatafield;
    designer->AllowDatasetEdit = m_userSettings.testFlag(RpDesigner::AllowDatasetEdit);
    designer->files()->OnSaveReport = OnSaveReport;
    form->setDatasetsVisible(m_userSettings.testFlag(RpDesigner::AllowDatasetEdit));
    form->setDatafieldsChecked(listbox);
    form->updateEnabling();
}

void TReportDesignerDialog::takeFileName(TReportDesignerForm &form, const QString &fileName)
{
    TRpDesigner *designer = form.RpDesigner1;
    designer->setFileName(fileName);
    form.updateCaption();
    const QString folder = QFileInfo(fileName).absolutePath();
    if (m_defaultSaveDir.isEmpty())
        m_defaultSaveDir = folder;
    if (m_defaultOpenDir.isEmpty())
        m_defaultOpenDir = folder;
    designer->DefaultSaveDir = m_defaultSaveDir;
    designer->DefaultOpenDir = m_defaultOpenDir;
}

bool TReportDesignerDialog::NewReport(const QString &fileName, bool askWizard)
{
    if (busy())
        return false;
    const BusyGuard guard(*this);
    TReportDesignerForm *form = nullptr;
    {
        const WaitCursor wait;
        form = createDesignerWindow();
    }
    if (AfterReportFormCreated)
        AfterReportFormCreated(form, form->RpDesigner1->files());
    if (!fileName.isEmpty())
        takeFileName(*form, fileName);
    if (usePrinterSettings())
        form->RpDesigner1->designReport()->printerSettings()->assign(*printerSettings());
    if (OnNewReport) {
        QObject *dataset = nullptr;
        OnNewReport(form, form->RpDesigner1->files(), dataset, askWizard);
        form->newReportDataSet = qobject_cast<TDataSet *>(dataset);
    }
    // Asked for the wizard, the window starts "New" when it first shows; the file name stays.
    form->newWithWizard = askWizard;
    form->runNewOnActivation = askWizard;
    Dialogs::exec(*form);
    destroyWindow();
    return true;
}

bool TReportDesignerDialog::EditReport(const QString &fileName)
{
    if (busy())
        return false;
    if (fileName.isEmpty() || !QFileInfo::exists(fileName))
        return NewReport(fileName, false);
    const BusyGuard guard(*this);
    TReportDesignerForm *form = nullptr;
    {
        const WaitCursor wait;
        form = createDesignerWindow();
    }
    if (AfterReportFormCreated)
        AfterReportFormCreated(form, form->RpDesigner1->files());
    // The window stays until the next operation or the dialog goes, as after any failed load.
    if (!form->RpDesigner1->LoadReportFile(fileName))
        return false;
    if (usePrinterSettings())
        form->RpDesigner1->designReport()->printerSettings()->assign(*printerSettings());
    if (AfterReportLoaded)
        AfterReportLoaded(form, form->RpDesigner1->files());
    DialogApply();
    takeFileName(*form, fileName);
    Dialogs::exec(*form);
    destroyWindow();
    return true;
}

bool TReportDesignerDialog::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    struct Legacy
    {
        const char *name;
        int user;
        int editor;
    };
    static const Legacy kLegacy[] = {
        { "AllowSQLEdit", RpDesigner::AllowSQLEdit, 0 },
        { "QueriesOnlyInExpert", RpDesigner::QueriesOnlyInExpert, 0 },
        { "QueriesOnlyInDBSetup", RpDesigner::QueriesOnlyInDBSetup, 0 },
        { "AllowNewCalcFields", RpDesigner::AllowNewCalcFields, 0 },
        { "AllowBlockEdit", RpDesigner::AllowBlockEdit, 0 },
        { "UndoEnabled", 0, RpDesigner::UndoEnabled },
        { "SaveBackupFiles", 0, RpDesigner::SaveBackupFiles },
        { "AutoEditAfterInsert", 0, RpDesigner::AutoEditAfterInsert },
        { "ShowDatafieldListbox", 0, RpDesigner::ShowDatafieldListbox },
    };
    for (const Legacy &legacy : kLegacy) {
        if (name.compare(QLatin1String(legacy.name), Qt::CaseInsensitive) != 0)
            continue;
        ok = value.kind == StreamValue::Kind::True || value.kind == StreamValue::Kind::False;
        if (value.kind == StreamValue::Kind::True) {
            m_userSettings |= TRpDUserSettings::fromInt(legacy.user);
            m_editorSettings |= TRpDEditorSettings::fromInt(legacy.editor);
        }
        return true;
    }
    for (const char *discarded : { "SaveImagesInReportFile", "DefaultDatabaseOnly",
             "DefaultAdoConnectionOnly", "DefaultDatabaseName", "DefaultAdoConnection" }) {
        if (name.compare(QLatin1String(discarded), Qt::CaseInsensitive) == 0) {
            ok = true;
            return true;
        }
    }
    ok = false;
    return false;
}

void TReportDesignerDialog::beginRead()
{
    m_sqlSettings->setReading(true);
}

void TReportDesignerDialog::loaded()
{
    m_sqlSettings->setReading(false);
}
