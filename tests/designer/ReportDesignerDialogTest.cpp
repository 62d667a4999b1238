#include "designer/ReportDesignerDialog.h"
#include "designer/DesignItems.h"
#include "designer/ReportDesignerForm.h"
#include "report/pages/RpPrinter.h"

#include "preview/RpPreview.h"
#include "report/files/DesignerSettings.h"
#include "report/streaming/StreamObjects.h"
#include "support/TestSupport.h"
#include "widgets/DialogRecorder.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A report file with a title, PrintIfEmpty off and five copies.
QByteArray reportFile(const QString &title = QStringLiteral("Comptes"))
{
    ReportFileEngine engine;
    engine.report()->setReportTitle(title);
    engine.report()->setPrintIfEmpty(false);
    engine.report()->printerSettings()->setCopies(5);
    auto *band = new TRpDesignBand(engine.report());
    band->setObjectName(QStringLiteral("Detail"));
    band->setBandType(Rp::rbDetail);
    QByteArray bytes;
    EXPECT_TRUE(engine.SaveReportStream(bytes));
    return bytes;
}

class DesignerDialog : public testing::Test
{
protected:
    void SetUp() override
    {
        TRpDesignerSettings::setFileName(QString());
        TReportPrinterDialog::setPreviewRunner([this](TDesignRpReport &report, bool modal, bool maximized) {
            ++previews;
            previewTitle = report.reportTitle();
            previewModal = modal;
            previewMaximized = maximized;
            printIfEmptyInPreview = report.printIfEmpty();
            copiesInPreview = report.printerSettings()->copies();
            if (duringPreview)
                duringPreview(report);
        });
        file = dir.filePath(QStringLiteral("comptes.rp2"));
        TestSupport::writeFile(file, reportFile());
    }
    void TearDown() override
    {
        TReportPrinterDialog::setPreviewRunner({});
        TRpDesignerSettings::setFileName(QString());
    }

    QTemporaryDir dir;
    QString file;
    DialogRecorder dialogs;
    int previews = 0;
    QString previewTitle;
    bool previewModal = true;
    bool previewMaximized = false;
    bool printIfEmptyInPreview = false;
    int copiesInPreview = 0;
    std::function<void(TDesignRpReport &)> duringPreview;
};

// ---------------------------------------------------------------- published settings

TEST(DesignerDialogDefaults, StartAsPublished)
{
    TReportDesignerDialog dialog;
    const std::vector<std::pair<const char *, QVariant>> expected = {
        { "ShowFilterBeforePrint", false },
        { "UseDataModules", false },
        { "UseCurrentDatasets", false },
        { "SaveLoadPrinterSetup", false },
        { "ScriptsEnabled", true },
        { "SessionName", QString() },
        { "PrepareAutomatically", false },
        { "PrintIfEmpty", true },
        { "UsePrinterSettings", false },
        { "UseModalPreview", false },
        { "Version", "1.59.0" },
        { "DefaultSaveDir", QString() },
        { "DefaultOpenDir", QString() },
        { "HelpFile", QString() },
        { "DefaultFileExtension", ".RP2" },
        { "DefaultFileFilter", "Reports|*.RP2" },
    };
    for (const auto &[name, value] : expected)
        EXPECT_EQ(dialog.property(name), value) << name;
    EXPECT_EQ(dialog.userSettings(),
        RpDesigner::AllowSQLEdit | RpDesigner::AllowDatasetEdit | RpDesigner::AllowBlockEdit
            | RpDesigner::AllowScriptEdit);
    EXPECT_EQ(dialog.editorSettings(),
        RpDesigner::AutoEditAfterInsert | RpDesigner::ShowDatafieldListbox | RpDesigner::DatafieldsSorted
            | RpDesigner::ShowScriptIndicator);
    EXPECT_EQ(dialog.sqlSettings()->delimiterType(), RpDesigner::delCustom);
    EXPECT_EQ(dialog.labelSettings()->firstLabel(), 0);
    EXPECT_EQ(dialog.printerSettings()->copies(), 1);
    EXPECT_FALSE(dialog.rpPreview());
    dialog.setVersion(QStringLiteral("1.58.0"));
    EXPECT_EQ(dialog.version(), QStringLiteral("1.59.0")) << "writing the version has no effect";
}

class FileExtension : public testing::TestWithParam<std::pair<const char *, const char *>>
{
};

TEST_P(FileExtension, IsNormalisedWhenSet)
{
    TReportDesignerDialog dialog;
    dialog.setDefaultFileExtension(QString::fromLatin1(GetParam().first));
    EXPECT_EQ(dialog.defaultFileExtension(), QString::fromLatin1(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Values, FileExtension,
    testing::Values(std::pair { "*.rp2", ".rp2" }, std::pair { "rp2", ".rp2" }, std::pair { ".rep", ".rep" },
        std::pair { "", ".RP2" }, std::pair { "*.abcdefghijklm", ".abcdefghi" },
        std::pair { "*rp2", ".rp2" }));

TEST(DesignerDialogSettings, OlderNamesFoldIntoTheSets)
{
    TReportDesignerDialog dialog;
    dialog.setUserSettings({});
    dialog.setEditorSettings({});
    const StreamObject block
        = readObjectText("object ReportDesignerDialog1: TReportDesignerDialog\r\n"
                         "  AllowSQLEdit = True\r\n  QueriesOnlyInExpert = True\r\n"
                         "  AllowNewCalcFields = False\r\n  UndoEnabled = True\r\n"
                         "  ShowDatafieldListbox = True\r\n  SaveBackupFiles = False\r\n"
                         "  SaveImagesInReportFile = True\r\n  DefaultDatabaseName = 'x'\r\n"
                         "end\r\n");
    streamToObject(block, &dialog);
    EXPECT_EQ(dialog.userSettings(), RpDesigner::AllowSQLEdit | RpDesigner::QueriesOnlyInExpert);
    EXPECT_EQ(dialog.editorSettings(), RpDesigner::UndoEnabled | RpDesigner::ShowDatafieldListbox);
}

TEST(DesignerDialogSettings, SqlDelimitersFollowTheirType)
{
    TRpDatabaseSettings sql;
    sql.setDelimiterType(RpDesigner::delAccess);
    EXPECT_EQ(sql.text(TRpDatabaseSettings::SQLFieldDelimiterLeft), QStringLiteral("["));
    EXPECT_EQ(sql.text(TRpDatabaseSettings::SQLDateDelimiterRight), QStringLiteral("#"));
    EXPECT_EQ(sql.text(TRpDatabaseSettings::SQLWildcard), QStringLiteral("*"));
    sql.setText(TRpDatabaseSettings::SQLWildcard, QStringLiteral("*"));
    EXPECT_EQ(sql.delimiterType(), RpDesigner::delAccess) << "the row's own text keeps the type";
    sql.setText(TRpDatabaseSettings::SQLWildcard, QStringLiteral("?"));
    EXPECT_EQ(sql.delimiterType(), RpDesigner::delCustom);
    sql.setReading(true);
    sql.setDelimiterType(RpDesigner::delCustom);
    EXPECT_TRUE(sql.text(TRpDatabaseSettings::SQLFieldDelimiterLeft).isEmpty());
}

// ---------------------------------------------------------------- previewing

TEST_F(DesignerDialog, PreviewLoadsRunsAndLetsTheDialogsSettingsWin)
{
    TReportDesignerDialog dialog;
    dialog.setPrintIfEmpty(true);
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(previewTitle, QStringLiteral("Comptes"));
    EXPECT_TRUE(printIfEmptyInPreview) << "the dialog's setting is applied again after the load";
    EXPECT_EQ(copiesInPreview, 1) << "without SaveLoadPrinterSetup the file's printer settings are not used";
    EXPECT_FALSE(previewModal);
    EXPECT_TRUE(previewMaximized);
    EXPECT_FALSE(dialog.window()) << "the print window lives only for the operation";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DesignerDialog, PrinterSettingsOfTheDialogAreImposedWhenAsked)
{
    TReportDesignerDialog dialog;
    dialog.setUsePrinterSettings(true);
    dialog.printerSettings()->setCopies(3);
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_EQ(copiesInPreview, 3);
}

TEST_F(DesignerDialog, ThePrintWindowTakesThePrinterSectionOfTheSettingsFile)
{
    const QString ini = dir.filePath(QStringLiteral("RPDESIGN.INI"));
    TestSupport::writeFile(ini, "[Printer]\nPrinterCopies=4\n[General]\nSaveLoadPrinterSetup=1\n");
    TRpDesignerSettings::setFileName(ini);
    TReportDesignerDialog dialog;
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_EQ(copiesInPreview, 4) << "the dialog's SaveLoadPrinterSetup (false) wins over the file's";
}

class UnloadableReports : public DesignerDialog, public testing::WithParamInterface<QByteArray>
{
};

TEST_P(UnloadableReports, ShowNothingAndFail)
{
    const QString bad = dir.filePath(QStringLiteral("bad.rp2"));
    TestSupport::writeFile(bad, GetParam());
    TReportDesignerDialog dialog;
    EXPECT_FALSE(dialog.PreviewReport(bad));
    EXPECT_EQ(previews, 0);
    EXPECT_TRUE(dialogs.messages.empty()) << "the print window fails silently";
}

INSTANTIATE_TEST_SUITE_P(Files, UnloadableReports,
    testing::Values(QByteArray("\x06\x04 old", 6), QByteArray("\x01\x00 old", 6),
        QByteArray("object Header: TComponentFileHeader\r\n"), QByteArray()));

TEST_F(DesignerDialog, AMissingFileShowsNothing)
{
    TReportDesignerDialog dialog;
    EXPECT_FALSE(dialog.PreviewReport(dir.filePath(QStringLiteral("missing.rp2"))));
    EXPECT_EQ(previews, 0);
}

TEST_F(DesignerDialog, ASecondRequestDuringAPreviewReturnsFalse)
{
    TReportDesignerDialog dialog;
    std::vector<bool> inner;
    duringPreview = [&](TDesignRpReport &) {
        inner.push_back(dialog.PreviewReport(file));
        inner.push_back(dialog.NewReport(file, true));
        inner.push_back(dialog.EditReport(file));
    };
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_EQ(inner, std::vector<bool>({ false, false, false }));
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(dialogs.messages.empty());
    duringPreview = nullptr;
    EXPECT_TRUE(dialog.PreviewReport(file)) << "once the preview is over, the next one runs";
}

TEST_F(DesignerDialog, AnErrorWhileRunningEndsThePreviewQuietly)
{
    TReportDesignerDialog dialog;
    duringPreview = [](TDesignRpReport &) { throw Exception(QStringLiteral("run failed")); };
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_FALSE(dialog.busy());
    duringPreview = [](TDesignRpReport &) { throw std::runtime_error("not ours"); };
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DesignerDialog, HooksRunAroundTheLoad)
{
    TReportDesignerDialog dialog;
    QStringList calls;
    dialog.AfterReportFormCreated = [&](QWidget *window, ReportFileEngine *engine) {
        calls << QStringLiteral("created ") + window->objectName();
        EXPECT_TRUE(engine);
    };
    dialog.AfterReportLoaded = [&](QWidget *, ReportFileEngine *engine) {
        calls << QStringLiteral("loaded ") + engine->report()->reportTitle();
    };
    bool printed = false;
    dialog.BeforePrint = [&](TCustomRpReport *, bool &) { printed = true; };
    duringPreview = [&](TDesignRpReport &report) {
        bool go = true;
        ASSERT_TRUE(report.BeforePrint);
        report.BeforePrint(&report, go);
    };
    EXPECT_TRUE(dialog.PreviewReport(file));
    EXPECT_EQ(
        calls, QStringList({ QStringLiteral("created ReportPrintForm"), QStringLiteral("loaded Comptes") }));
    EXPECT_TRUE(printed) << "the report's events come from the dialog";
}

TEST_F(DesignerDialog, AnErrorInALoadHookReachesTheCaller)
{
    TReportDesignerDialog dialog;
    dialog.AfterReportLoaded = [](QWidget *, ReportFileEngine *) { throw Exception(QStringLiteral("hook")); };
    // The hook runs after the load succeeded; its error escapes to the caller's guard.
    EXPECT_THROW(dialog.PreviewReport(file), Exception);
    EXPECT_FALSE(dialog.busy()) << "the operation is over even when an error left it";
}

TEST_F(DesignerDialog, APreviewControlKeepsTheWindowUntilTheNextOperation)
{
    TReportPrinterDialog::setPreviewRunner({});
    TReportDesignerDialog dialog;
    TRpPreview control;
    dialog.setRpPreview(&control);
    EXPECT_TRUE(dialog.PreviewReport(file));
    QPointer<QWidget> window = dialog.window();
    ASSERT_TRUE(window) << "the print window lives on with the control";
    ASSERT_TRUE(control.store());
    EXPECT_EQ(control.store()->title(), QStringLiteral("Comptes"));
    EXPECT_GE(control.store()->pageCount(), 1);

    dialog.setRpPreview(nullptr);
    EXPECT_FALSE(dialog.PreviewReport(dir.filePath(QStringLiteral("missing.rp2"))));
    EXPECT_FALSE(window) << "the next operation destroys the window it still holds";
}

// ---------------------------------------------------------------- new and edit

TEST_F(DesignerDialog, NewAndEditShowTheDesignerWindowAndTouchNoFileUnasked)
{
    TReportDesignerDialog dialog;
    const QByteArray before = TestSupport::readFile(file);
    const QDateTime modified = QFileInfo(file).lastModified();
    const QString missing = dir.filePath(QStringLiteral("nouveau.rp2"));

    EXPECT_TRUE(dialog.NewReport(missing, true));
    EXPECT_TRUE(dialog.EditReport(file));
    EXPECT_TRUE(dialog.EditReport(missing)) << "a missing file opens a new report";
    EXPECT_TRUE(dialog.NewReport(QString(), false));

    // Each shows the designer window, captioned with its file, and destroys it when it closes.
    EXPECT_EQ(dialogs.dialogs, QStringList({ missing, file, missing, QString() }));
    EXPECT_EQ(dialog.window(), nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(TestSupport::readFile(file), before);
    EXPECT_EQ(QFileInfo(file).lastModified(), modified);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("comptes.rp2") });
}

// Runs a script against the designer window while it is shown.
class DesignerScript : public DialogRecorder
{
public:
    std::function<void(TReportDesignerForm &)> script;
    bool exec(QDialog &dialog) override
    {
        dialogs.push_back(dialog.windowTitle());
        if (auto *form = qobject_cast<TReportDesignerForm *>(&dialog); form && script)
            script(*form);
        return true;
    }
};

TEST_F(DesignerDialog, EditedReportsAreSavedUnderTheirName)
{
    DesignerScript designer;
    TReportDesignerDialog dialog;
    bool undoOff = false;
    designer.script = [&undoOff](TReportDesignerForm &form) {
        TRpDesigner *engine = form.RpDesigner1;
        undoOff = !engine->UndoEnabled && !form.action(QStringLiteral("AUndo"))->isVisible();
        engine->setDesignState(DesignStates::NewLabel);
        QObject *band = engine->designReport()->findChild<QObject *>(QStringLiteral("Detail"));
        ASSERT_NE(band, nullptr);
        engine->InsertAt(band, DesignItems::pageRect(band).topLeft() + QPoint(10, 5));
        EXPECT_TRUE(form.ASaveExecute());
    };
    EXPECT_TRUE(dialog.EditReport(file));
    EXPECT_TRUE(undoOff) << "the dialog's editor settings leave undo off";
    ReportFileEngine reread;
    reread.LoadReportFile(file);
    EXPECT_NE(reread.report()->findChild<QObject *>(QStringLiteral("Reportlabel1")), nullptr);
    EXPECT_EQ(reread.report()->reportTitle(), QStringLiteral("Comptes"));
}

TEST_F(DesignerDialog, ANewReportAskedWithTheWizardRunsItOnceTheWindowShows)
{
    // The window is shown and its events run; the wizard then opens on its own and is cancelled.
    class ShowingScript : public DialogRecorder
    {
    public:
        bool exec(QDialog &dialog) override
        {
            dialogs.push_back(dialog.metaObject()->className());
            if (auto *form = qobject_cast<TReportDesignerForm *>(&dialog)) {
                form->show();
                for (int i = 0; i < 10; ++i)
                    QCoreApplication::processEvents();
                fileNameAfterWizard = form->RpDesigner1->fileName();
                form->hide();
            }
            return false;
        }
        QString fileNameAfterWizard;
    } windows;
    TReportDesignerDialog dialog;
    const QString name = dir.filePath(QStringLiteral("nouveau.rp2"));
    EXPECT_TRUE(dialog.NewReport(name, true));
    EXPECT_EQ(windows.dialogs, QStringList({ "TReportDesignerForm", "TRpDesignReportExpert" }));
    EXPECT_EQ(windows.fileNameAfterWizard, name) << "the new report keeps the name it was asked for";

    windows.dialogs.clear();
    EXPECT_TRUE(dialog.NewReport(name, false));
    EXPECT_EQ(windows.dialogs, QStringList({ "TReportDesignerForm" })) << "without the flag no wizard";
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST_F(DesignerDialog, AnUnreadableFileShowsNoDesignerWindow)
{
    TReportDesignerDialog dialog;
    TestSupport::writeFile(file, "object Header: TComponentFileHeader\r\n  ReportTitle = 'x");
    EXPECT_FALSE(dialog.EditReport(file));
    EXPECT_TRUE(dialogs.dialogs.isEmpty());
}

} // namespace
