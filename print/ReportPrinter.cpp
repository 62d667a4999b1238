#include "print/ReportPrinter.h"

#include "report/model/PaperSize.h"
#include "widgets/Dialogs.h"

#include <QFile>
#include <QPageSize>
#include <QPicture>
#include <QPrinterInfo>
#include <cmath>

namespace {

std::function<QString(const QString &)> &pdfFileChooser()
{
    static std::function<QString(const QString &)> chooser;
    return chooser;
}

constexpr int kCustomCode = 256;
constexpr int kLastStandardCode = int(RpPaper::ESheet);

bool sameSize(const QSizeF &a, double width, double length)
{
    return std::abs(a.width() - width) <= 0.5 && std::abs(a.height() - length) <= 0.5;
}

} // namespace

namespace PaperCodes {

QSizeF sizeMM(int code, const TRpDeviceMode &mode)
{
    if (code == kCustomCode)
        return QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0);
    if (code < 1 || code > kLastStandardCode)
        return QSizeF();
    const PaperDimensions mm = paperSizeMM(TRpPaperSize(code));
    return QSizeF(mm.width, mm.length);
}

int codeFor(const QSizeF &millimetres)
{
    for (const bool swapped : { false, true }) {
        for (int code = 1; code <= kLastStandardCode; ++code) {
            const PaperDimensions mm = paperSizeMM(TRpPaperSize(code));
            if (swapped ? sameSize(millimetres, mm.length, mm.width)
                        : sameSize(millimetres, mm.width, mm.length))
                return code;
        }
    }
    return kCustomCode;
}

} // namespace PaperCodes

// ---------------------------------------------------------------- the device

QtPrintDevice::QtPrintDevice(Mode mode)
    : m_kind(mode)
{
    if (m_kind == Mode::SystemOrPdf)
        m_systemPrinters = QPrinterInfo::availablePrinterNames();
    SetPrinterIndex(-1);
}

QtPrintDevice::~QtPrintDevice()
{
    if (m_printing)
        AbortJob();
}

void QtPrintDevice::setPdfFileChooser(std::function<QString(const QString &title)> chooser)
{
    pdfFileChooser() = std::move(chooser);
}

bool QtPrintDevice::isPdf() const
{
    return m_systemPrinters.isEmpty();
}

QStringList QtPrintDevice::Printers() const
{
    return isPdf() ? QStringList { QString::fromLatin1(kPdfPrinterName) } : m_systemPrinters;
}

void QtPrintDevice::SetPrinterIndex(int index)
{
    if (m_printing)
        AbortJob();
    const QStringList printers = Printers();
    if (index < 0 || index >= printers.size())
        index = qMax(0, int(m_systemPrinters.indexOf(QPrinterInfo::defaultPrinterName())));
    m_index = index;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (isPdf()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setResolution(kPdfResolution);
    } else {
        m_printer->setPrinterName(printers[index]);
    }
    m_mode = defaultMode();
    applyMode();
}

QString QtPrintDevice::DeviceName() const
{
    return Printers().value(m_index);
}

QString QtPrintDevice::DriverName() const
{
    return isPdf() ? QStringLiteral("pdf") : QPrinterInfo(*m_printer).makeAndModel();
}

QString QtPrintDevice::PortName() const
{
    return isPdf() ? QStringLiteral("FILE:") : DeviceName();
}

TRpDeviceMode QtPrintDevice::defaultMode() const
{
    TRpDeviceMode mode;
    const QPageLayout layout = m_printer->pageLayout();
    mode.orientation = layout.orientation() == QPageLayout::Landscape ? TRpDeviceMode::kLandscape
                                                                      : TRpDeviceMode::kPortrait;
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    mode.paperSize = PaperCodes::codeFor(mm);
    mode.paperWidth = int(std::lround(mm.width() * 10));
    mode.paperLength = int(std::lround(mm.height() * 10));
    mode.copies = 1;
    mode.defaultSource = 7; // automatic
    mode.duplex = m_printer->duplex() == QPrinter::DuplexShortSide ? TRpDeviceMode::kDuplexHorizontal
        : m_printer->duplex() == QPrinter::DuplexLongSide          ? TRpDeviceMode::kDuplexVertical
                                                                   : TRpDeviceMode::kSimplex;
    mode.collate = true;
    return mode;
}

void QtPrintDevice::SetDeviceMode(const TRpDeviceMode *mode)
{
    m_mode = mode ? *mode : defaultMode();
    applyMode();
}

void QtPrintDevice::applyMode()
{
    const QSizeF mm = PaperCodes::sizeMM(m_mode.paperSize, m_mode);
    // A custom size is taken as it is; a standard one is matched to the platform's size of that name.
    const QPageSize::SizeMatchPolicy match
        = m_mode.paperSize == kCustomCode ? QPageSize::ExactMatch : QPageSize::FuzzyMatch;
    if (mm.width() > 0 && mm.height() > 0)
        m_printer->setPageSize(QPageSize(mm, QPageSize::Millimeter, QString(), match));
    m_printer->setPageOrientation(
        m_mode.orientation == TRpDeviceMode::kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_printer->setCopyCount(qMax(1, m_mode.copies));
    m_printer->setCollateCopies(m_mode.collate);
    if (!isPdf()) {
        m_printer->setDuplex(m_mode.duplex == TRpDeviceMode::kDuplexHorizontal ? QPrinter::DuplexShortSide
                : m_mode.duplex == TRpDeviceMode::kDuplexVertical              ? QPrinter::DuplexLongSide
                                                                               : QPrinter::DuplexNone);
    }
    // A PDF page has no unprintable border: positions are measured from the paper's edge.
    if (isPdf())
        m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool QtPrintDevice::SupportsDuplex() const
{
    if (isPdf())
        return false;
    const QList<QPrinter::DuplexMode> modes = QPrinterInfo(*m_printer).supportedDuplexModes();
    return std::any_of(
        modes.begin(), modes.end(), [](QPrinter::DuplexMode m) { return m != QPrinter::DuplexNone; });
}

QList<int> QtPrintDevice::PaperCodes() const
{
    QList<int> codes;
    if (isPdf()) {
        for (int code = 1; code <= kLastStandardCode; ++code)
            codes.append(code);
        return codes;
    }
    for (const QPageSize &size : QPrinterInfo(*m_printer).supportedPageSizes()) {
        const int code = PaperCodes::codeFor(size.size(QPageSize::Millimeter));
        if (code != kCustomCode && !codes.contains(code))
            codes.append(code);
    }
    return codes;
}

bool QtPrintDevice::MakesCopies() const
{
    return !isPdf() && m_printer->supportsMultipleCopies();
}

double QtPrintDevice::DpiX() const
{
    return m_printer->resolution();
}

double QtPrintDevice::DpiY() const
{
    return m_printer->resolution();
}

int QtPrintDevice::OffsetX() const
{
    return m_printer->pageRect(QPrinter::DevicePixel).toRect().left();
}

int QtPrintDevice::OffsetY() const
{
    return m_printer->pageRect(QPrinter::DevicePixel).toRect().top();
}

int QtPrintDevice::PhysicalWidth() const
{
    return m_printer->paperRect(QPrinter::DevicePixel).toRect().width();
}

int QtPrintDevice::PhysicalHeight() const
{
    return m_printer->paperRect(QPrinter::DevicePixel).toRect().height();
}

int QtPrintDevice::PageWidth() const
{
    return m_printer->pageRect(QPrinter::DevicePixel).toRect().width();
}

int QtPrintDevice::PageHeight() const
{
    return m_printer->pageRect(QPrinter::DevicePixel).toRect().height();
}

void QtPrintDevice::BeginJob(const QString &title)
{
    if (m_printing)
        AbortJob();
    m_printer->setDocName(title);
    m_discard = false;
    m_outputFile.clear();
    if (isPdf()) {
        m_outputFile = pdfFileChooser() ? pdfFileChooser()(title) : QString();
        m_discard = m_outputFile.isEmpty();
        m_printer->setOutputFileName(m_outputFile);
        m_printer->setCreator(QStringLiteral("Quillot"));
    }
    m_printing = true;
}

QPainter *QtPrintDevice::NewSheet()
{
    if (!m_printing)
        return nullptr;
    if (m_discard) {
        // The output was cancelled: the pages are drawn into a picture that is thrown away.
        if (m_painter.isActive())
            m_painter.end();
        m_discarded = std::make_unique<QPicture>();
        m_painter.begin(m_discarded.get());
        return &m_painter;
    }
    if (!m_painter.isActive()) {
        // The sheet's canvas starts at the printable area; its origin is the printer's own.
        if (!m_painter.begin(m_printer.get()))
            throw ERpError(QStringLiteral("The printer %1 cannot start printing").arg(DeviceName()));
        return &m_painter;
    }
    if (!m_printer->newPage())
        throw ERpError(QStringLiteral("The printer %1 cannot start a new page").arg(DeviceName()));
    m_painter.resetTransform();
    return &m_painter;
}

void QtPrintDevice::EndJob()
{
    if (m_painter.isActive())
        m_painter.end();
    m_discarded.reset();
    m_printing = false;
}

void QtPrintDevice::AbortJob()
{
    if (m_painter.isActive()) {
        if (!m_discard)
            m_printer->abort();
        m_painter.end();
    }
    // Aborting does not stop a PDF file from being written when the painter ends.
    if (isPdf() && !m_outputFile.isEmpty())
        QFile::remove(m_outputFile);
    m_discarded.reset();
    m_printing = false;
}

// ---------------------------------------------------------------- installing

namespace ReportPrinting {

void installSystemPrinters(std::function<QString(const QString &title)> pdfFile)
{
    QtPrintDevice::setPdfFileChooser(std::move(pdfFile));
    TRpPrinter::setPrintDeviceFactory(
        [] { return std::make_unique<QtPrintDevice>(QtPrintDevice::Mode::SystemOrPdf); });
    TRpPrintDialog::setRunner(runPrintDialog);
}

void installPdfPrinter(const QString &fileName)
{
    QtPrintDevice::setPdfFileChooser([fileName](const QString &) { return fileName; });
    TRpPrinter::setPrintDeviceFactory(
        [] { return std::make_unique<QtPrintDevice>(QtPrintDevice::Mode::PdfOnly); });
    TRpPrintDialog::setRunner(runPrintDialog);
}

void uninstall()
{
    TRpPrinter::setPrintDeviceFactory({});
    TRpPrintDialog::setRunner({});
    QtPrintDevice::setPdfFileChooser({});
}

bool runPrintDialog(TRpPrintDialogRequest &request)
{
    using Options = RpPrintDialogTypes::TPrintDialogOption;
    Dialogs::PrintSetupRequest dialog;
    dialog.printers = request.printers;
    dialog.printerIndex = request.printerIndex;
    dialog.landscape = request.mode.orientation == TRpDeviceMode::kLandscape;
    dialog.paperSizeMM = PaperCodes::sizeMM(request.mode.paperSize, request.mode);
    dialog.copies = request.copies > 0 ? request.copies : request.mode.copies;
    dialog.collate = request.collate;
    dialog.duplex = request.mode.duplex != TRpDeviceMode::kSimplex;
    dialog.printToFile = request.printToFile;
    dialog.range = request.printRange == RpPrintDialogTypes::prSelection
        ? Dialogs::PrintSetupRequest::Range::Selection
        : request.printRange == RpPrintDialogTypes::prPageNums ? Dialogs::PrintSetupRequest::Range::PageNums
                                                               : Dialogs::PrintSetupRequest::Range::AllPages;
    dialog.fromPage = request.fromPage;
    dialog.toPage = request.toPage;
    dialog.minPage = request.minPage;
    dialog.maxPage = request.maxPage;
    dialog.pageRangeEnabled = request.options.testFlag(Options::poPageNums);
    dialog.selectionEnabled = request.options.testFlag(Options::poSelection);
    dialog.printToFileShown = request.options.testFlag(Options::poPrintToFile);
    dialog.printToFileEnabled = !request.options.testFlag(Options::poDisablePrintToFile);
    dialog.helpShown = request.options.testFlag(Options::poHelp);
    if (!Dialogs::printSetup(nullptr, dialog))
        return false;

    if (dialog.printerIndex >= 0)
        request.printerIndex = dialog.printerIndex;
    request.mode.orientation = dialog.landscape ? TRpDeviceMode::kLandscape : TRpDeviceMode::kPortrait;
    request.mode.fields |= TRpDeviceMode::dmOrientation;
    if (!dialog.paperSizeMM.isEmpty()) {
        request.mode.paperSize = PaperCodes::codeFor(dialog.paperSizeMM);
        request.mode.paperWidth = int(std::lround(dialog.paperSizeMM.width() * 10));
        request.mode.paperLength = int(std::lround(dialog.paperSizeMM.height() * 10));
        request.mode.fields |= TRpDeviceMode::dmPaperSize;
    }
    request.mode.copies = dialog.copies;
    request.mode.collate = dialog.collate;
    request.mode.duplex = dialog.duplex ? TRpDeviceMode::kDuplexHorizontal : TRpDeviceMode::kSimplex;
    request.mode.fields |= TRpDeviceMode::dmCopies | TRpDeviceMode::dmCollate | TRpDeviceMode::dmDuplex;
    request.copies = dialog.copies;
    request.collate = dialog.collate;
    request.printToFile = dialog.printToFile;
    request.printRange = dialog.range == Dialogs::PrintSetupRequest::Range::Selection
        ? RpPrintDialogTypes::prSelection
        : dialog.range == Dialogs::PrintSetupRequest::Range::PageNums ? RpPrintDialogTypes::prPageNums
                                                                      : RpPrintDialogTypes::prAllPages;
    request.fromPage = dialog.fromPage;
    request.toPage = dialog.toPage;
    return true;
}

} // namespace ReportPrinting
