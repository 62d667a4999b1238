#include "widgets/Dialogs.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

namespace Dialogs {

namespace {

QString applicationTitle()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QApplication::applicationName() : name;
}

class PlatformHandler : public Handler
{
public:
    Answer message(QWidget *parent, const MessageRequest &request) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(request.title.isEmpty() ? applicationTitle() : request.title);
        box.setText(request.text);
        switch (request.kind) {
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageKind::Information:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageKind::Confirmation:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageKind::OkCancel:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return request.kind == MessageKind::Confirmation ? Answer::No : Answer::Ok;
        }
    }

    QString fileName(QWidget *parent, const FileRequest &request) override
    {
        QFileDialog dialog(parent, request.caption, request.directory, request.filter);
        dialog.setAcceptMode(
            request.mode == FileMode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        if (request.mode == FileMode::Open)
            dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }

    bool font(QWidget *parent, QFont &font) override
    {
        bool accepted = false;
        const QFont chosen = QFontDialog::getFont(&accepted, font, parent);
        if (accepted)
            font = chosen;
        return accepted;
    }

    bool color(QWidget *parent, QColor &color) override
    {
        const QColor chosen = QColorDialog::getColor(color, parent);
        if (!chosen.isValid())
            return false;
        color = chosen;
        return true;
    }

    bool exec(QDialog &dialog) override { return dialog.exec() == QDialog::Accepted; }
};

PlatformHandler &platformHandler()
{
    static PlatformHandler instance;
    return instance;
}

Handler *g_handler = nullptr;

FileRequest fileRequest(
    FileMode mode, const QString &caption, const QString &directory, const QString &filter)
{
    FileRequest request;
    request.mode = mode;
    request.caption = caption;
    request.directory = directory;
    request.filter = filter;
    return request;
}

Answer ask(QWidget *parent, MessageKind kind, const QString &text)
{
    return handler().message(parent, MessageRequest { kind, QString(), text });
}

} // namespace

bool Handler::printer(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return exec(dialog);
}

bool Handler::printSetup(QWidget *parent, PrintSetupRequest &request)
{
    QPrinter printer(QPrinter::HighResolution);
    const QString name = request.printers.value(request.printerIndex);
    if (!name.isEmpty() && !QPrinterInfo::printerInfo(name).isNull())
        printer.setPrinterName(name);
    else
        printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(request.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!request.paperSizeMM.isEmpty())
        printer.setPageSize(
            QPageSize(request.paperSizeMM, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    printer.setCopyCount(qMax(1, request.copies));
    printer.setCollateCopies(request.collate);
    printer.setDuplex(request.duplex ? QPrinter::DuplexLongSide : QPrinter::DuplexNone);
    printer.setFromTo(request.fromPage, request.toPage);

    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options
        = QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    if (request.pageRangeEnabled)
        options |= QAbstractPrintDialog::PrintPageRange;
    if (request.selectionEnabled)
        options |= QAbstractPrintDialog::PrintSelection;
    if (request.printToFileShown && request.printToFileEnabled)
        options |= QAbstractPrintDialog::PrintToFile;
    dialog.setOptions(options);
    if (request.maxPage >= request.minPage)
        dialog.setMinMax(request.minPage, request.maxPage);
    dialog.setFromTo(request.fromPage, request.toPage);
    dialog.setPrintRange(request.range == PrintSetupRequest::Range::Selection
            ? QAbstractPrintDialog::Selection
            : request.range == PrintSetupRequest::Range::PageNums ? QAbstractPrintDialog::PageRange
                                                                  : QAbstractPrintDialog::AllPages);
    dialog.adjustSize();
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        dialog.move(free.left() + (free.width() - dialog.width()) / 2,
            free.top() + (free.height() - dialog.height()) / 3);
    }
    if (!exec(dialog))
        return false;

    request.printerIndex = printer.outputFormat() == QPrinter::PdfFormat
        ? request.printerIndex
        : request.printers.indexOf(printer.printerName());
    request.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    request.paperSizeMM = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
    request.copies = printer.copyCount();
    request.collate = printer.collateCopies();
    request.duplex = printer.duplex() != QPrinter::DuplexNone;
    request.printToFile = !printer.outputFileName().isEmpty();
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection:
        request.range = PrintSetupRequest::Range::Selection;
        break;
    case QAbstractPrintDialog::PageRange:
        request.range = PrintSetupRequest::Range::PageNums;
        break;
    default:
        request.range = PrintSetupRequest::Range::AllPages;
        break;
    }
    request.fromPage = dialog.fromPage();
    request.toPage = dialog.toPage();
    return true;
}

Handler &handler()
{
    return g_handler ? *g_handler : platformHandler();
}

ScopedHandler::ScopedHandler(Handler &replacement)
    : m_previous(g_handler)
{
    g_handler = &replacement;
}

ScopedHandler::~ScopedHandler()
{
    g_handler = m_previous;
}

void showError(QWidget *parent, const QString &message)
{
    ask(parent, MessageKind::Error, message);
}

void showException(QWidget *parent, const Exception &error)
{
    showError(parent, error.message());
}

void showInformation(QWidget *parent, const QString &message)
{
    ask(parent, MessageKind::Information, message);
}

bool confirm(QWidget *parent, const QString &message)
{
    return ask(parent, MessageKind::Confirmation, message) == Answer::Yes;
}

bool confirmOkCancel(QWidget *parent, const QString &message)
{
    return ask(parent, MessageKind::OkCancel, message) == Answer::Ok;
}

QString getOpenFileName(
    QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return handler().fileName(parent, fileRequest(FileMode::Open, caption, directory, filter));
}

QString getSaveFileName(
    QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return handler().fileName(parent, fileRequest(FileMode::Save, caption, directory, filter));
}

bool chooseFont(QWidget *parent, QFont &font)
{
    return handler().font(parent, font);
}

bool chooseColor(QWidget *parent, QColor &color)
{
    return handler().color(parent, color);
}

bool exec(QDialog &dialog)
{
    return handler().exec(dialog);
}

bool choosePrinter(QWidget *parent, QPrinter &printer)
{
    return handler().printer(parent, printer);
}

bool printSetup(QWidget *parent, PrintSetupRequest &request)
{
    return handler().printSetup(parent, request);
}

QString getOpenOrNewFileName(QWidget *parent, const QString &caption, const QString &directory,
    const QString &filter, const QString &defaultSuffix)
{
    FileRequest request = fileRequest(FileMode::Open, caption, directory, filter);
    request.defaultSuffix = defaultSuffix;
    request.mustExist = false;
    return handler().fileName(parent, request);
}

bool guarded(QWidget *parent, const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const Exception &error) {
        showException(parent, error);
        return false;
    }
}

} // namespace Dialogs

namespace {

// System colour indices as the platform numbers them (the low byte of a negative colour value).
QColor systemColor(int index, const QPalette &palette)
{
    switch (index) {
    case 0: // scroll bar
    case 15: // button face
    case 4: // menu
    case 10: // active border
    case 11: // inactive border
        return palette.color(QPalette::Button);
    case 1: // desktop
    case 12: // application workspace
        return palette.color(QPalette::Dark);
    case 2: // active caption
    case 13: // highlight
    case 26: // hot light
        return palette.color(QPalette::Highlight);
    case 3: // inactive caption
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 5: // window
        return palette.color(QPalette::Base);
    case 6: // window frame
    case 21: // 3D dark shadow
        return palette.color(QPalette::Shadow);
    case 7: // menu text
    case 8: // window text
        return palette.color(QPalette::WindowText);
    case 9: // caption text
    case 14: // highlight text
        return palette.color(QPalette::HighlightedText);
    case 16: // button shadow
        return palette.color(QPalette::Mid);
    case 17: // grey text
    case 19: // inactive caption text
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 22: // 3D light
        return palette.color(QPalette::Midlight);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor toQColor(TColor color, const QPalette &palette)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (color == clDefault)
        return palette.color(QPalette::Window);
    if (isSystemColor(color))
        return systemColor(color & 0xFF, palette);
    return QColor(redOf(color), greenOf(color), blueOf(color));
}

QColor toQColor(TColor color)
{
    return toQColor(color, QApplication::palette());
}

TColor fromQColor(const QColor &color)
{
    if (!color.isValid() || color.alpha() == 0)
        return clNone;
    return rgbColor(color.red(), color.green(), color.blue());
}
