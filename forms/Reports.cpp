#include "forms/Reports.h"

#include "designer/ReportDesignerDialog.h"
#include "forms/FinanceLook.h"
#include "widgets/Dialogs.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"
#include "widgets/OpenDialog.h"

#include <QLabel>
#include <QScreen>

TfrmReports *frmReports = nullptr;

namespace {

constexpr int kWidth = 589;
constexpr int kHeight = 212;
constexpr int kTitleHeight = 56;
constexpr int kBarHeight = 41;

TGradButton *commandButton(QWidget *parent, const char *name, const QString &caption, int left)
{
    TGradButton *button = FinanceLook::button(parent, caption, csNeoSilver, 150, 75);
    button->setObjectName(QString::fromLatin1(name));
    button->move(left, kTitleHeight + 20);
    return button;
}

// The designer's entry component as this window sets it.
void setUpDesignerDialog(TReportDesignerDialog &dialog)
{
    dialog.setObjectName(QStringLiteral("ReportDesignerDialog1"));
    dialog.setUseDataModules(true);
    dialog.setUseCurrentDatasets(false);
    dialog.setSaveLoadPrinterSetup(false);
    dialog.setScriptsEnabled(true);
    dialog.setPrepareAutomatically(false);
    dialog.setPrintIfEmpty(true);
    dialog.setShowFilterBeforePrint(false);
    dialog.setUsePrinterSettings(false);
    dialog.setUseModalPreview(false);
    dialog.labelSettings()->setFirstLabel(0);
    dialog.labelSettings()->setLabelCount(0);
    dialog.printerSettings()->setCopies(0);
    dialog.printerSettings()->setDuplex(false);
    dialog.printerSettings()->setFirstPage(0);
    dialog.printerSettings()->setLastPage(0);
    dialog.printerSettings()->setOutputBin(RpPaper::First);
    dialog.sqlSettings()->setDelimiterType(RpDesigner::delCustom);
    dialog.setUserSettings(RpDesigner::AllowSQLEdit | RpDesigner::AllowDatasetEdit
        | RpDesigner::AllowBlockEdit | RpDesigner::AllowScriptEdit);
    dialog.setEditorSettings(
        RpDesigner::AutoEditAfterInsert | RpDesigner::ShowDatafieldListbox | RpDesigner::DatafieldsSorted);
    dialog.setDefaultFileExtension(QStringLiteral(".RP2"));
    dialog.setDefaultFileFilter(QStringLiteral("Reports|*.RP2"));
    dialog.setVersion(QStringLiteral("1.58.0"));
}

} // namespace

TfrmReports::TfrmReports(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReports"));
    setWindowTitle(QStringLiteral("États"));
    setFixedSize(kWidth, kHeight);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    GradPanel2 = FinanceLook::panel(this, GradPanelScheme::csSilver);
    GradPanel2->setObjectName(QStringLiteral("GradPanel2"));
    GradPanel2->setGeometry(0, 0, kWidth, kHeight - kBarHeight);
    Label1 = new QLabel(QStringLiteral("États Financiers"), GradPanel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setGeometry(0, 0, kWidth, kTitleHeight);
    // Three commands of 150 pixels spaced evenly across the window.
    const int gap = (kWidth - 3 * 150) / 4;
    btnNewReport = commandButton(GradPanel2, "btnNewReport", QStringLiteral("Cré&er un nouveau état"), gap);
    btnEditReport
        = commandButton(GradPanel2, "btnEditReport", QStringLiteral("E&dition d'un état"), 2 * gap + 150);
    btnPreviewReport = commandButton(
        GradPanel2, "btnPreviewReport", QStringLiteral("Aperçu avant im&pression"), 3 * gap + 300);

    GradPanel1 = FinanceLook::panel(this, GradPanelScheme::csSilver);
    GradPanel1->setObjectName(QStringLiteral("GradPanel1"));
    GradPanel1->setGeometry(0, kHeight - kBarHeight, kWidth, kBarHeight);
    btnClose = FinanceLook::button(GradPanel1, QStringLiteral("&Fermer"), csNeoSilver);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->move(kWidth - 8 - btnClose->width(), 8);

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setDefaultExt(QStringLiteral("rp2"));
    OpenDialog1->setFilter(QStringLiteral("Report definition (*.rp2)|*.rp2"));
    OpenDialog1->setInitialDir(QStringLiteral(".\\Reports"));

    ReportDesignerDialog1 = new TReportDesignerDialog(this);
    setUpDesignerDialog(*ReportDesignerDialog1);

    setTabOrder(btnNewReport, btnEditReport);
    setTabOrder(btnEditReport, btnPreviewReport);
    setTabOrder(btnPreviewReport, btnClose);

    connect(btnNewReport, &QPushButton::clicked, this, &TfrmReports::btnNewReportClick);
    connect(btnEditReport, &QPushButton::clicked, this, &TfrmReports::btnEditReportClick);
    connect(btnPreviewReport, &QPushButton::clicked, this, &TfrmReports::btnPreviewReportClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmReports::btnCloseClick);
}

TfrmReports::~TfrmReports() = default;

void TfrmReports::showEvent(QShowEvent *event)
{
    // Centred on the main window, or on the screen when shown alone.
    if (QWidget *main = parentWidget() ? parentWidget()->window() : nullptr)
        move(main->geometry().center() - rect().center());
    else if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

// The operations report what they must themselves; what escapes them is shown in the error box rather than
// ending the program.
void TfrmReports::btnNewReportClick()
{
    Dialogs::guarded(this, [this] {
        if (OpenDialog1->Execute())
            ReportDesignerDialog1->NewReport(OpenDialog1->fileName(), true);
    });
}

void TfrmReports::btnEditReportClick()
{
    Dialogs::guarded(this, [this] {
        if (OpenDialog1->Execute())
            ReportDesignerDialog1->EditReport(OpenDialog1->fileName());
    });
}

void TfrmReports::btnPreviewReportClick()
{
    Dialogs::guarded(this, [this] {
        if (OpenDialog1->Execute())
            ReportDesignerDialog1->PreviewReport(OpenDialog1->fileName());
    });
}

void TfrmReports::btnCloseClick()
{
    close();
}
