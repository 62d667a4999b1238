#include "FormsFixture.h"

#include "designer/ReportDesignerDialog.h"
#include "forms/GuardedApplication.h"
#include "forms/Main.h"
#include "forms/Reports.h"
#include "report/files/DesignerSettings.h"
#include "support/TestSupport.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"
#include "widgets/OpenDialog.h"

#include <QDir>
#include <QLabel>

namespace {

class ReportsWindowTest : public FormsFixture
{
protected:
    void SetUp() override
    {
        FormsFixture::SetUp();
        TRpDesignerSettings::setFileName(QString());
        TReportPrinterDialog::setPreviewRunner([this](TDesignRpReport &report, bool, bool) {
            previewed << report.reportTitle();
            if (duringPreview)
                duringPreview();
        });
        previousDir = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        TReportPrinterDialog::setPreviewRunner({});
        FormsFixture::TearDown();
    }

    // A report file in the working directory's Reports folder.
    QString writeReport(const char *name, const QString &title)
    {
        QDir(folder.path()).mkpath(QStringLiteral("Reports"));
        ReportFileEngine engine;
        engine.report()->setReportTitle(title);
        const QString path
            = QDir(folder.path()).filePath(QStringLiteral("Reports/") + QString::fromLatin1(name));
        EXPECT_TRUE(engine.SaveReportFile(path));
        return path;
    }

    QStringList previewed;
    std::function<void()> duringPreview;
    QString previousDir;
};

TEST_F(ReportsWindowTest, LooksAsDesigned)
{
    ASSERT_TRUE(frmReports);
    EXPECT_EQ(frmReports->windowTitle(), QStringLiteral("États"));
    EXPECT_EQ(frmReports->size(), QSize(589, 212));
    EXPECT_EQ(frmReports->minimumSize(), frmReports->maximumSize()) << "a fixed dialog border";
    EXPECT_EQ(frmReports->Label1->text(), QStringLiteral("États Financiers"));
    EXPECT_EQ(frmReports->Label1->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(frmReports->Label1->font().pixelSize(), 24);
    EXPECT_TRUE(frmReports->Label1->font().bold());
    EXPECT_EQ(frmReports->Label1->height(), 56);
    EXPECT_EQ(frmReports->Label1->alignment(), Qt::AlignCenter);
    EXPECT_EQ(frmReports->btnNewReport->text(), QStringLiteral("Cré&er un nouveau état"));
    EXPECT_EQ(frmReports->btnEditReport->text(), QStringLiteral("E&dition d'un état"));
    EXPECT_EQ(frmReports->btnPreviewReport->text(), QStringLiteral("Aperçu avant im&pression"));
    EXPECT_EQ(frmReports->btnClose->text(), QStringLiteral("&Fermer"));
    for (TGradButton *button :
        { frmReports->btnNewReport, frmReports->btnEditReport, frmReports->btnPreviewReport }) {
        EXPECT_EQ(button->size(), QSize(150, 75));
        EXPECT_EQ(button->ColorScheme(), csNeoSilver);
    }
    EXPECT_EQ(frmReports->btnClose->ColorScheme(), csNeoSilver);
    EXPECT_EQ(frmReports->GradPanel1->height(), 41);
    EXPECT_EQ(frmReports->GradPanel1->geometry().bottom(), 211);
    EXPECT_EQ(frmReports->GradPanel2->geometry().top(), 0);
    EXPECT_EQ(frmReports->GradPanel1->ColorScheme(), GradPanelScheme::csSilver);
    EXPECT_EQ(frmReports->GradPanel2->ColorScheme(), GradPanelScheme::csSilver);
    EXPECT_GT(frmReports->btnClose->x(), 589 / 2) << "the close button sits on the right";
}

TEST_F(ReportsWindowTest, TheDesignerComponentHasEverySettingOfTheWindow)
{
    const TReportDesignerDialog &d = *frmReports->ReportDesignerDialog1;
    EXPECT_EQ(d.objectName(), QStringLiteral("ReportDesignerDialog1"));
    EXPECT_TRUE(d.useDataModules());
    EXPECT_FALSE(d.useCurrentDatasets());
    EXPECT_FALSE(d.saveLoadPrinterSetup());
    EXPECT_TRUE(d.scriptsEnabled());
    EXPECT_FALSE(d.prepareAutomatically());
    EXPECT_TRUE(d.printIfEmpty());
    EXPECT_FALSE(d.showFilterBeforePrint());
    EXPECT_FALSE(d.usePrinterSettings());
    EXPECT_FALSE(d.useModalPreview());
    EXPECT_EQ(d.labelSettings()->firstLabel(), 0);
    EXPECT_EQ(d.labelSettings()->labelCount(), 0);
    EXPECT_EQ(d.printerSettings()->copies(), 0);
    EXPECT_FALSE(d.printerSettings()->duplex());
    EXPECT_EQ(d.printerSettings()->firstPage(), 0);
    EXPECT_EQ(d.printerSettings()->lastPage(), 0);
    EXPECT_EQ(d.printerSettings()->outputBin(), RpPaper::First);
    EXPECT_EQ(d.sqlSettings()->delimiterType(), RpDesigner::delCustom);
    EXPECT_EQ(d.userSettings(),
        RpDesigner::AllowSQLEdit | RpDesigner::AllowDatasetEdit | RpDesigner::AllowBlockEdit
            | RpDesigner::AllowScriptEdit);
    EXPECT_EQ(d.editorSettings(),
        RpDesigner::AutoEditAfterInsert | RpDesigner::ShowDatafieldListbox | RpDesigner::DatafieldsSorted);
    EXPECT_EQ(d.defaultFileExtension(), QStringLiteral(".RP2"));
    EXPECT_EQ(d.defaultFileFilter(), QStringLiteral("Reports|*.RP2"));
    EXPECT_EQ(d.version(), QStringLiteral("1.59.0"));

    const TOpenDialog &open = *frmReports->OpenDialog1;
    EXPECT_EQ(open.defaultExt(), QStringLiteral("rp2"));
    EXPECT_EQ(open.filter(), QStringLiteral("Report definition (*.rp2)|*.rp2"));
    EXPECT_EQ(open.initialDir(), QStringLiteral(".\\Reports"));
    EXPECT_FALSE(open.fileMustExist());
}

TEST_F(ReportsWindowTest, TheFileDialogStartsInTheWorkingDirectorysReportsFolder)
{
    dialogs.fileAnswer.clear();
    frmReports->btnPreviewReport->click();
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_TRUE(dialogs.files[0].directory.isEmpty()) << "without a Reports folder the dialog picks its own";
    EXPECT_EQ(dialogs.files[0].filter, QStringLiteral("Report definition (*.rp2)"));
    EXPECT_EQ(dialogs.files[0].defaultSuffix, QStringLiteral("rp2"));
    EXPECT_FALSE(dialogs.files[0].mustExist) << "a new name may be typed";

    writeReport("a.rp2", QStringLiteral("A"));
    frmReports->btnPreviewReport->click();
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_EQ(
        QDir(dialogs.files[1].directory), QDir(QDir(folder.path()).filePath(QStringLiteral("Reports"))));
}

TEST_F(ReportsWindowTest, ACancelledFileDialogDoesNothing)
{
    writeReport("a.rp2", QStringLiteral("A"));
    dialogs.fileAnswer.clear();
    for (TGradButton *button :
        { frmReports->btnNewReport, frmReports->btnEditReport, frmReports->btnPreviewReport })
        button->click();
    EXPECT_EQ(dialogs.files.size(), 3u);
    EXPECT_TRUE(previewed.isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ReportsWindowTest, PreviewAddsTheExtensionAndShowsTheReport)
{
    const QString path = writeReport("Relevé.rp2", QStringLiteral("Relevé des comptes"));
    dialogs.fileAnswer = path.left(path.size() - 4);
    frmReports->btnPreviewReport->click();
    EXPECT_EQ(previewed, QStringList { QStringLiteral("Relevé des comptes") });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ReportsWindowTest, APreviewOfAFileThatCannotLoadShowsNothingHere)
{
    dialogs.fileAnswer = QDir(folder.path()).filePath(QStringLiteral("missing.rp2"));
    frmReports->btnPreviewReport->click();
    EXPECT_TRUE(previewed.isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ReportsWindowTest, ASecondPreviewRequestDuringAPreviewReturnsFalse)
{
    const QString path = writeReport("a.rp2", QStringLiteral("A"));
    dialogs.fileAnswer = path;
    bool second = true;
    duringPreview = [&] {
        frmReports->btnPreviewReport->click();
        second = frmReports->ReportDesignerDialog1->PreviewReport(path);
    };
    frmReports->btnPreviewReport->click();
    EXPECT_FALSE(second);
    EXPECT_EQ(previewed.size(), 1) << "the click during the preview started nothing";
}

TEST_F(ReportsWindowTest, NewAndEditTellTheDesignerIsNotAvailable)
{
    const QString path = writeReport("a.rp2", QStringLiteral("A"));
    const QByteArray before = TestSupport::readFile(path);
    dialogs.fileAnswer = path;
    frmReports->btnNewReport->click();
    frmReports->btnEditReport->click();
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information).size(), 2);
    EXPECT_EQ(TestSupport::readFile(path), before);
}

TEST_F(ReportsWindowTest, ErrorsEscapingAnOperationAreShownInTheErrorBox)
{
    const QString path = writeReport("a.rp2", QStringLiteral("A"));
    dialogs.fileAnswer = path;
    // The program's own errors are shown by the window's handler.
    frmReports->ReportDesignerDialog1->AfterReportLoaded = [](QWidget *, ReportFileEngine *) {
        throw Exception(QStringLiteral("hook failed"));
    };
    frmReports->btnPreviewReport->click();
    EXPECT_EQ(dialogs.errors(), QStringList{QStringLiteral("hook failed")});
    EXPECT_FALSE(frmReports->ReportDesignerDialog1->busy());

    // Any other error reaches the program's last-resort guard around every event, which shows it too.
    dialogs.messages.clear();
    frmReports->ReportDesignerDialog1->AfterReportLoaded = [](QWidget *, ReportFileEngine *) {
        throw std::runtime_error("broken hook");
    };
    GuardedApplication::deliverGuarded([] {
        frmReports->btnPreviewReport->click();
        return true;
    });
    EXPECT_EQ(dialogs.errors(), QStringList{QStringLiteral("broken hook")});
    EXPECT_FALSE(frmReports->ReportDesignerDialog1->busy());
    frmReports->ReportDesignerDialog1->AfterReportLoaded = nullptr;
}

TEST_F(ReportsWindowTest, TheMainWindowOpensItInItsPlace)
{
    frmMain->show();
    bool mainHidden = false;
    dialogs.scripts.push_back([&](QDialog &dialog) {
        EXPECT_EQ(&dialog, static_cast<QDialog *>(frmReports));
        mainHidden = !frmMain->isVisible();
        static_cast<TfrmReports &>(dialog).btnClose->click();
        return false;
    });
    frmMain->btnReports->click();
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(frmMain->isVisible());
    EXPECT_EQ(dialogs.dialogs, QStringList { QStringLiteral("États") });
}

} // namespace
