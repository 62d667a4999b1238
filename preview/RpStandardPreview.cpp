#include "preview/RpStandardPreview.h"

#include "preview/RpExportFilters.h"
#include "preview/RpPreview.h"
#include "preview/RpProgressForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kPagesFileType = QStringLiteral("Report pages file");
const QString kPagesExtension = QStringLiteral("RPP");

// "desc|pattern|desc|pattern" → the name filters of a file dialog, one per type.
QStringList nameFilters(const QString &types)
{
    const QStringList parts = types.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        filters << (description.contains(QLatin1Char('('))
                ? description
                : description + QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')'));
    }
    return filters;
}

QAction *addCommand(QToolBar *bar, const char *name, const QString &hint, QStyle::StandardPixmap icon,
    const QString &text = QString())
{
    QAction *action = bar->addAction(text.isEmpty() ? hint : text);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    if (icon != QStyle::SP_CustomBase)
        action->setIcon(bar->style()->standardIcon(icon));
    return action;
}

} // namespace

TRpStandardPreview::TRpStandardPreview(TRpPrinter *store, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto *zoomGroup = new QActionGroup(this);
    ZoomFit = addCommand(ToolBar1, "ZoomFit", QStringLiteral("Zoom to fit"), QStyle::SP_CustomBase);
    Zoom100 = addCommand(ToolBar1, "Zoom100", QStringLiteral("100%"), QStyle::SP_CustomBase);
    ZoomToWidth = addCommand(ToolBar1, "ZoomToWidth", QStringLiteral("Zoom to width"), QStyle::SP_CustomBase);
    for (QAction *zoom : { ZoomFit, Zoom100, ZoomToWidth }) {
        zoom->setCheckable(true);
        zoomGroup->addAction(zoom);
    }
    ToolBar1->addSeparator();
    FirstPage = addCommand(ToolBar1, "FirstPage", QStringLiteral("First page"), QStyle::SP_MediaSkipBackward);
    PreviousPage
        = addCommand(ToolBar1, "PreviousPage", QStringLiteral("Previous page"), QStyle::SP_MediaSeekBackward);
    ToolButton2
        = addCommand(ToolBar1, "ToolButton2", QStringLiteral("Next page"), QStyle::SP_MediaSeekForward);
    LastPage = addCommand(ToolBar1, "LastPage", QStringLiteral("Last page"), QStyle::SP_MediaSkipForward);
    ToolBar1->addSeparator();
    PrintSetup = addCommand(
        ToolBar1, "PrintSetup", QStringLiteral("Printer setup"), QStyle::SP_FileDialogDetailedView);
    Print = addCommand(ToolBar1, "Print", QStringLiteral("Print"), QStyle::SP_DialogApplyButton);
    SaveReport
        = addCommand(ToolBar1, "SaveReport", QStringLiteral("Save Report"), QStyle::SP_DialogSaveButton);
    LoadReport
        = addCommand(ToolBar1, "LoadReport", QStringLiteral("Load Report"), QStyle::SP_DialogOpenButton);
    ToolBar1->addSeparator();
    ExitButton = addCommand(ToolBar1, "ExitButton", QStringLiteral("&Close"), QStyle::SP_DialogCloseButton);
    PrintSetup->setEnabled(false);
    Print->setEnabled(false);
    // The zoom commands have no glyph; they show their captions, and so does the close button.
    for (QAction *captioned : { ZoomFit, Zoom100, ZoomToWidth, ExitButton }) {
        if (auto *button = qobject_cast<QToolButton *>(ToolBar1->widgetForAction(captioned)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }

    RpPreview = new TRpPreview(this);
    RpPreview->setObjectName(QStringLiteral("RpPreview"));
    RpPreview->installEventFilter(this);
    RpPreview->viewport()->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    progressPanel = new QLabel(QStringLiteral("0%"), StatusBar1);
    progressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    progressPanel->setMinimumWidth(40);
    pagePanel = new QLabel(QStringLiteral("Page"), StatusBar1);
    pagePanel->setMinimumWidth(50);
    StatusBar1->addWidget(progressPanel);
    StatusBar1->addWidget(pagePanel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(RpPreview, 1);
    layout->addWidget(StatusBar1);

    // The zoom commands first let pending notices arrive, so the fit uses the pages that exist.
    connect(ZoomFit, &QAction::triggered, this, [this] {
        QCoreApplication::processEvents();
        RpPreview->FitToWindow();
    });
    connect(Zoom100, &QAction::triggered, this, [this] {
        QCoreApplication::processEvents();
        RpPreview->setZoom(100);
    });
    connect(ZoomToWidth, &QAction::triggered, this, [this] {
        QCoreApplication::processEvents();
        RpPreview->FitToWidth();
    });
    connect(FirstPage, &QAction::triggered, this, [this] {
        RpPreview->setPageNumber(1);
        ShowPageStatus();
    });
    connect(PreviousPage, &QAction::triggered, this, [this] {
        RpPreview->setPageNumber(RpPreview->PageNumber() - 1);
        ShowPageStatus();
    });
    connect(ToolButton2, &QAction::triggered, this, [this] {
        RpPreview->setPageNumber(RpPreview->PageNumber() + 1);
        ShowPageStatus();
    });
    connect(LastPage, &QAction::triggered, this, [this] {
        if (m_store)
            RpPreview->setPageNumber(m_store->pageCount());
        ShowPageStatus();
    });
    connect(PrintSetup, &QAction::triggered, this, [this] {
        if (m_store)
            m_store->RequestPrintSetup();
    });
    connect(Print, &QAction::triggered, this, [this] { printClick(); });
    connect(SaveReport, &QAction::triggered, this, [this] { saveReportClick(); });
    connect(LoadReport, &QAction::triggered, this, [this] { loadReportClick(); });
    connect(ExitButton, &QAction::triggered, this, &QWidget::close);

    RpPreview->OnPageAvailable = [this](QObject *, int pageCount) { pageAvailable(pageCount); };
    RpPreview->OnProgressUpdate = [this](QObject *, int progress) { progressUpdate(progress); };

    resize(800, 600);
    setWindowState(windowState() | Qt::WindowMaximized);
    RpPreview->LinkStore(store);
    if (store && !store->title().isEmpty())
        setWindowTitle(store->title());
    m_lastProgress = 0;
    ZoomToWidth->setChecked(true);
    Print->setEnabled(store && store->status() == TRpPrinter::Status::Finished);
}

TRpStandardPreview::~TRpStandardPreview()
{
    RpPreview->LinkStore(nullptr);
}

void TRpStandardPreview::ShowPageStatus()
{
    const int count = m_store ? m_store->pageCount() : 0;
    pagePanel->setText(QStringLiteral("Page %1 of %2").arg(RpPreview->PageNumber()).arg(count));
}

void TRpStandardPreview::pageAvailable(int)
{
    ShowPageStatus();
    if (m_store && m_store->status() == TRpPrinter::Status::Finished) {
        PrintSetup->setEnabled(true);
        Print->setEnabled(true);
    }
}

void TRpStandardPreview::progressUpdate(int progress)
{
    if (progress >= m_lastProgress + 5) {
        progressPanel->setText(QString::number(progress) + QLatin1Char('%'));
        m_lastProgress = progress;
    }
    if (progress == 0 || progress == 100)
        progressPanel->clear();
}

void TRpStandardPreview::printClick()
{
    if (!m_store)
        return;
    // While the report is still generating into this store it cannot print itself anew.
    if (m_store->master() && m_store->status() == TRpPrinter::Status::Busy)
        return;
    try {
        m_store->PrintPages();
    } catch (const Exception &e) {
        showError(e.message());
    }
}

QString TRpStandardPreview::saveFileTypes()
{
    QString types
        = kPagesFileType + QStringLiteral("(*.") + kPagesExtension + QStringLiteral(")|*.") + kPagesExtension;
    for (const TRpExportFilterEntry &entry : TRpExportFilterLibrary::instance().entries())
        types += QLatin1Char('|') + entry.description + QStringLiteral(" (*.") + entry.extension
            + QStringLiteral(")|*.") + entry.extension;
    return types;
}

QString TRpStandardPreview::loadFileTypes()
{
    return kPagesFileType + QStringLiteral(" (*.") + kPagesExtension + QStringLiteral(")|*.")
        + kPagesExtension;
}

void TRpStandardPreview::saveReportTo(const QString &fileName, int fileType)
{
    if (!m_store)
        return;
    if (fileType <= 1) {
        m_store->SavePages(fileName);
        return;
    }
    const auto &entries = TRpExportFilterLibrary::instance().entries();
    const int index = fileType - 2;
    if (index >= entries.size() || !entries.at(index).make)
        return;
    const std::unique_ptr<TRpExportFilter> filter = entries.at(index).make(fileName);
    if (filter)
        m_store->Export(*filter);
}

bool TRpStandardPreview::loadReportFrom(const QString &fileName)
{
    if (!QFileInfo::exists(fileName)) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("File does not exist"));
        return false;
    }
    if (!m_store)
        return false;
    m_store->LoadPages(fileName);
    RpPreview->setPageNumber(1);
    RpPreview->image()->setPageNumber(1);
    RpPreview->image()->LoadPage();
    ShowPageStatus();
    PrintSetup->setEnabled(false);
    Print->setEnabled(true);
    return true;
}

void TRpStandardPreview::saveReportClick()
{
    QFileDialog dialog(this, QStringLiteral("Save report"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(kPagesExtension);
    const QStringList filters = nameFilters(saveFileTypes());
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int fileType = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    try {
        saveReportTo(dialog.selectedFiles().constFirst(), qMax(1, fileType));
    } catch (const Exception &e) {
        showError(e.message());
    }
}

void TRpStandardPreview::loadReportClick()
{
    QFileDialog dialog(this, QStringLiteral("Load report"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(nameFilters(loadFileTypes()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    try {
        loadReportFrom(dialog.selectedFiles().constFirst());
    } catch (const Exception &e) {
        showError(e.message());
        ShowPageStatus();
    }
}

void TRpStandardPreview::showError(const QString &message)
{
    QMessageBox::critical(this, windowTitle(), message);
}

bool TRpStandardPreview::handleKey(QKeyEvent *event)
{
    const bool ctrlOnly = event->modifiers() == Qt::ControlModifier;
    QAction *command = nullptr;
    switch (event->key()) {
    case Qt::Key_Home:
        command = FirstPage;
        break;
    case Qt::Key_End:
        command = LastPage;
        break;
    case Qt::Key_PageUp:
        command = ctrlOnly ? FirstPage : PreviousPage;
        break;
    case Qt::Key_PageDown:
        command = ctrlOnly ? LastPage : ToolButton2;
        break;
    case Qt::Key_Escape:
        command = ExitButton;
        break;
    default:
        return false;
    }
    command->trigger();
    return true;
}

void TRpStandardPreview::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

bool TRpStandardPreview::eventFilter(QObject *watched, QEvent *event)
{
    // The window takes its keys before the page view, whose scroll bars would otherwise use them.
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TRpStandardPreview::closeEvent(QCloseEvent *event)
{
    if (m_store && !m_closeNoticeSent) {
        m_closeNoticeSent = true;
        m_store->NotifyPreviewClosed();
    }
    QDialog::closeEvent(event);
}

void TRpStandardPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    RpPreview->LayoutImage();
}

QObject *TRpStandardPreviewInterface::OpenPreview(TRpPrinter *store)
{
    auto *window = new TRpStandardPreview(store);
    window->show();
    window->ShowPageStatus();
    return window;
}

void TRpStandardPreviewInterface::OpenPreviewModal(TRpPrinter *store)
{
    auto *window = new TRpStandardPreview(store);
    window->ShowPageStatus();
    window->exec();
}

void TRpStandardPreviewInterface::install()
{
    TRpPrinter::setPreviewFactory([] { return std::make_unique<TRpStandardPreviewInterface>(); });
    TRpProgressForm::install();
}
