#include "report/pages/RpPrinter.h"

#include "report/pages/PageRecorder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QScopeGuard>
#include <QThread>
#include <cmath>

namespace {

std::function<std::unique_ptr<TRpPreviewInterface>()> &previewFactory()
{
    static std::function<std::unique_ptr<TRpPreviewInterface>()> factory;
    return factory;
}

std::function<std::unique_ptr<TRpPrintDevice>()> &printDeviceFactory()
{
    static std::function<std::unique_ptr<TRpPrintDevice>()> factory;
    return factory;
}

std::unique_ptr<TRpPrintDevice> &applicationDevice()
{
    static std::unique_ptr<TRpPrintDevice> device;
    return device;
}

// Draws a stored page (recorded at screen resolution from the paper's top-left corner) at its true size on a
// printer sheet whose canvas starts at the printable area.
void drawStoredPage(QPainter &canvas, const QPicture &page, const TRpPrintDevice &printer)
{
    const double screen = TRpPrinter::screenPixelsPerInch();
    // Playing a picture already scales it by the device's resolution over the picture's; only the rest of
    // the printer's scale is applied here.
    const QPaintDevice *device = canvas.device();
    const double playedX
        = device && page.logicalDpiX() > 0 ? double(device->logicalDpiX()) / page.logicalDpiX() : 1;
    const double playedY
        = device && page.logicalDpiY() > 0 ? double(device->logicalDpiY()) / page.logicalDpiY() : 1;
    canvas.save();
    canvas.translate(-printer.OffsetX(), -printer.OffsetY());
    canvas.scale(printer.DpiX() / screen / playedX, printer.DpiY() / screen / playedY);
    canvas.drawPicture(0, 0, page);
    canvas.restore();
}

// Nearest integer, halves to the even neighbour; positions beyond the device's integer range stay at its
// bounds. rintl rounds exactly as nearbyintl does (in the default rounding mode) but skips saving and
// restoring the floating-point environment, which made it the dearest step of placing a text on a page.
int roundEven(long double value)
{
    constexpr long double kBound = 2147483647.0L;
    if (!(value > -kBound))
        return -2147483647;
    if (!(value < kBound))
        return 2147483647;
    return int(std::rintl(value));
}

bool onGuiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

QObject *TRpPreviewInterface::OpenPreview(TRpPrinter *)
{
    return nullptr;
}

void TRpPreviewInterface::OpenPreviewModal(TRpPrinter *) { }

void TRpPrinter::setPreviewFactory(std::function<std::unique_ptr<TRpPreviewInterface>()> factory)
{
    previewFactory() = std::move(factory);
}

void TRpPrinter::setPrintDeviceFactory(std::function<std::unique_ptr<TRpPrintDevice>()> factory)
{
    printDeviceFactory() = std::move(factory);
    applicationDevice().reset();
}

TRpPrintDevice *TRpPrinter::applicationPrinter()
{
    if (!applicationDevice() && printDeviceFactory())
        applicationDevice() = printDeviceFactory()();
    return applicationDevice().get();
}

TRpPrinter::TRpPrinter(QObject *parent)
    : QObject(parent)
{
    // A new store starts with the printer selected for the whole application.
    const TRpPrintDevice *shared = applicationPrinter();
    if (printDeviceFactory())
        m_printer = printDeviceFactory()();
    m_printerAvailable = m_printer && !m_printer->Printers().isEmpty();
    if (m_printerAvailable) {
        if (shared)
            m_printer->SetPrinterIndex(shared->PrinterIndex());
        m_settings.printer = m_printer.get();
        m_settings.ReadPrinterSettings();
    }
    setScreenFactors();
}

TRpPrinter::~TRpPrinter()
{
    Q_ASSERT_X(!QCoreApplication::instance() || onGuiThread(), "TRpPrinter",
        "a page store is destroyed on the user-interface thread");
    if (status() != Status::Ready)
        ResetStore();
}

double TRpPrinter::screenPixelsPerInch()
{
    return QPicture().logicalDpiX();
}

void TRpPrinter::setScreenFactors()
{
    m_xFactor = m_yFactor = (long double)screenPixelsPerInch() / 254.0L;
}

int TRpPrinter::DeviceX(long double x) const
{
    return roundEven((x - m_leftWaste) * m_xFactor);
}

int TRpPrinter::DeviceY(long double y) const
{
    return roundEven((y - m_topWaste) * m_yFactor);
}

int TRpPrinter::DeviceWidth(long double w) const
{
    return roundEven(w * m_xFactor);
}

int TRpPrinter::DeviceHeight(long double h) const
{
    return roundEven(h * m_yFactor);
}

double TRpPrinter::PaperWidthNative() const
{
    return m_settings.orientation == RpPaper::poLandscape ? m_settings.PaperLength()
                                                          : m_settings.PaperWidth();
}

double TRpPrinter::PaperLengthNative() const
{
    return m_settings.orientation == RpPaper::poLandscape ? m_settings.PaperWidth()
                                                          : m_settings.PaperLength();
}

void TRpPrinter::setPageRange(int first, int last)
{
    m_firstPage = first;
    m_lastPage = last;
}

void TRpPrinter::setPrinterIndex(int index)
{
    if (!m_printerAvailable)
        return;
    m_printer->SetPrinterIndex(index);
    m_printer->SetDeviceMode(nullptr);
    m_settings.ReadPrinterSettings();
}

int TRpPrinter::printerIndex() const
{
    return m_printerAvailable ? m_printer->PrinterIndex() : -1;
}

bool TRpPrinter::pageInRange(int page) const
{
    return (m_firstPage <= 0 || page >= m_firstPage) && (m_lastPage <= 0 || page <= m_lastPage);
}

QObject *TRpPrinter::client() const
{
    QMutexLocker locker(&m_clientLock);
    return m_client.data();
}

void TRpPrinter::setClient(QObject *client)
{
    QMutexLocker locker(&m_clientLock);
    m_client = client;
}

void TRpPrinter::postToClient(int code, int parameter)
{
    QMutexLocker locker(&m_clientLock);
    if (m_client)
        QCoreApplication::postEvent(m_client.data(), new TRpStoreEvent(code, parameter, this));
}

void TRpPrinter::announcePage()
{
    postToClient(RpNotice::PagesAvailable, ++m_availablePages);
}

void TRpPrinter::ReportProgress(int percent)
{
    m_progress = percent;
    postToClient(RpNotice::Progress, percent);
}

void TRpPrinter::StartDocument()
{
    if (status() != Status::Ready)
        throw ERpError(tr("RpPrinter not ready"));
    closeRecordedPage(false);
    m_availablePages = 0;
    m_cancelled = false;
    const bool toPrinter = m_destination == Destination::Printer;
    if (toPrinter) {
        if (!m_printerAvailable)
            throw ERpError(tr("No printer is installed"));
        m_settings.WriteDeviceSettings();
        m_copiesToSend = copiesToSend();
        m_collate = m_settings.collate;
        m_copyPages.reset();
        if (m_copiesToSend > 1 && m_collate) {
            m_copyPages = std::make_unique<TRpPageList>();
            m_copyPages->setStream(TRpStream::forRecording());
        }
    }
    m_pageNumber = 0;
    m_pageCount = 0;
    if (toPrinter) {
        usePrinterFactors();
    } else {
        m_leftWaste = m_topWaste = 0;
        m_pageList.Clear();
        m_pageList.setStream(TRpStream::forRecording());
        setScreenFactors();
    }
    m_loadedFromFile = false;
    m_status = Status::Busy;
}

void TRpPrinter::openRecordedPage()
{
    if (m_destination != Destination::Printer)
        setScreenFactors();
    const QRect page(0, 0, DeviceWidth(PaperWidthNative()), DeviceHeight(PaperLengthNative()));
    // The page rectangle travels with the picture, so stretching and paper detection use the page rather
    // than the drawn content.
    m_pageRecorder = std::make_unique<TRpPageRecorder>(page);
    m_pagePainter = std::make_unique<QPainter>(m_pageRecorder.get());
    m_canvas = m_pagePainter.get();
}

void TRpPrinter::closeRecordedPage(bool store)
{
    if (!m_pageRecorder)
        return;
    m_canvas = nullptr;
    m_pagePainter.reset();
    const std::unique_ptr<TRpPageRecorder> recorder = std::move(m_pageRecorder);
    if (store)
        m_pageList.AddPageData(recorder->finish());
}

void TRpPrinter::NewPage()
{
    if (status() != Status::Busy)
        throw ERpError(tr("Illegal call to NewPage"));
    const bool toPrinter = m_destination == Destination::Printer;
    if (m_pageNumber > 0) {
        if (toPrinter)
            closePrinterPage();
        else
            closeRecordedPage(true);
        announcePage();
    }
    ++m_pageCount;
    ++m_pageNumber;
    if (toPrinter)
        openPrinterPage();
    else
        openRecordedPage();
}

int TRpPrinter::copiesToSend() const
{
    if (!m_printer || m_printer->MakesCopies())
        return 1;
    return qMax(1, m_settings.copies);
}

void TRpPrinter::usePrinterFactors()
{
    m_xFactor = (long double)m_printer->DpiX() / 254.0L;
    m_yFactor = (long double)m_printer->DpiY() / 254.0L;
    m_leftWaste = m_printer->DpiX() > 0 ? std::round(m_printer->OffsetX() / m_printer->DpiX() * 254) : 0;
    m_topWaste = m_printer->DpiY() > 0 ? std::round(m_printer->OffsetY() / m_printer->DpiY() * 254) : 0;
}

void TRpPrinter::openPrinterPage()
{
    if (!pageInRange(m_pageCount)) {
        // Drawn into a throwaway page at screen resolution, measured from the paper's edge.
        setScreenFactors();
        m_leftWaste = m_topWaste = 0;
        m_recordingForCopies = false;
        openRecordedPage();
        return;
    }
    if (!m_printJobRunning) {
        m_printer->BeginJob(m_title);
        m_printJobRunning = true;
    }
    if (m_copiesToSend > 1) {
        // Recorded like a stored page and sent once per copy when it closes (and again at the end when the
        // copies are collated).
        setScreenFactors();
        m_leftWaste = m_topWaste = 0;
        openRecordedPage();
        m_recordingForCopies = true;
        return;
    }
    // Every page in range draws at the printer's resolution from the paper's edge, also after pages out of
    // range were drawn at screen resolution.
    usePrinterFactors();
    m_recordingForCopies = false;
    m_canvas = m_printer->NewSheet();
}

void TRpPrinter::closePrinterPage()
{
    if (!m_pageRecorder) {
        m_canvas = nullptr;
        return;
    }
    m_canvas = nullptr;
    m_pagePainter.reset();
    const std::unique_ptr<TRpPageRecorder> recorder = std::move(m_pageRecorder);
    if (!m_recordingForCopies)
        return;
    const QByteArray bytes = recorder->finish();
    QPicture picture;
    picture.setData(bytes.constData(), uint(bytes.size()));
    m_recordingForCopies = false;
    const int sends = m_collate ? 1 : m_copiesToSend;
    for (int i = 0; i < sends; ++i) {
        if (QPainter *sheet = m_printer->NewSheet())
            drawStoredPage(*sheet, picture, *m_printer);
    }
    if (m_copyPages)
        m_copyPages->AddPageData(bytes);
}

void TRpPrinter::replayCopies()
{
    if (!m_copyPages)
        return;
    for (int copy = 2; copy <= m_copiesToSend && !m_cancelled; ++copy) {
        for (int n = 1; n <= m_copyPages->count(); ++n) {
            const std::unique_ptr<QPicture> picture = m_copyPages->ReadPage(n);
            if (!picture)
                continue;
            if (QPainter *sheet = m_printer->NewSheet())
                drawStoredPage(*sheet, *picture, *m_printer);
        }
    }
    m_copyPages.reset();
}

void TRpPrinter::FinishDocument()
{
    if (status() != Status::Busy)
        return;
    const bool toPrinter = m_destination == Destination::Printer;
    const bool begun = m_pageCount > 0;
    if (toPrinter) {
        if (begun)
            closePrinterPage();
        m_canvas = nullptr;
        if (m_printJobRunning) {
            replayCopies();
            m_printJobRunning = false;
            m_printer->EndJob();
        }
        m_copyPages.reset();
    } else if (begun) {
        closeRecordedPage(true);
    }
    m_status = Status::Finished;
    if (onGuiThread())
        QCoreApplication::processEvents();
    if (begun)
        announcePage();
    if (!toPrinter)
        m_pageList.WriteHeader();
    else if (printFinished)
        printFinished();
}

void TRpPrinter::AbortDocument()
{
    if (status() != Status::Busy)
        return;
    m_status = Status::Finished;
    if (m_destination == Destination::Printer) {
        closeRecordedPage(false);
        m_recordingForCopies = false;
        m_copyPages.reset();
        m_canvas = nullptr;
        if (m_printJobRunning) {
            m_printJobRunning = false;
            m_printer->AbortJob();
        }
        return;
    }
    // The pages made so far, the partial last one included, stay readable; the header then counts them all
    // so that a saved copy loads again.
    closeRecordedPage(true);
    if (m_pageList.stream())
        m_pageList.WriteHeader();
}

void TRpPrinter::ResetStore()
{
    if (status() == Status::Busy)
        CancelDocument();
    closeRecordedPage(false);
    m_recordingForCopies = false;
    m_copyPages.reset();
    m_canvas = nullptr;
    if (m_printJobRunning) {
        m_printJobRunning = false;
        m_printer->AbortJob();
    }
    m_firstPage = m_lastPage = 0;
    m_pageList.takeStream();
    m_pageList.Clear();
    m_pageCount = 0;
    m_pageNumber = 0;
    m_availablePages = 0;
    m_loadedFromFile = false;
    m_status = Status::Ready;
}

std::unique_ptr<QPicture> TRpPrinter::CopyPage(int n)
{
    const Status s = status();
    if (s == Status::Ready || n < 1 || n > m_pageCount || n > m_pageList.count())
        return nullptr;
    return m_pageList.ReadPage(n);
}

void TRpPrinter::SavePages(const QString &fileName)
{
    if (status() != Status::Finished)
        return;
    m_pageList.SaveToFile(fileName);
}

void TRpPrinter::LoadPages(const QString &fileName)
{
    if (status() == Status::Busy)
        throw ERpError(tr("The pages cannot be loaded while the report is still running"));
    // Everything of the file is checked, and its first page decoded, before the store changes.
    auto stream = TRpStream::onFile(fileName);
    const PageFileHeader header = TRpPageList::validate(*stream);
    std::unique_ptr<QPicture> first;
    {
        TRpPageList probe;
        probe.adopt(std::move(stream), header);
        if (header.pageCount > 0)
            first = probe.ReadPage(1);
        stream = probe.takeStream();
    }

    if (status() != Status::Ready)
        ResetStore();
    m_pageList.adopt(std::move(stream), header);
    m_pageCount = header.pageCount;
    m_availablePages = header.pageCount;
    setScreenFactors();
    m_leftWaste = m_topWaste = 0;
    if (first) {
        const QRect page = first->boundingRect();
        const int w = int(std::trunc(page.width() / m_xFactor / 40));
        const int h = int(std::trunc(page.height() / m_xFactor / 40));
        for (int i = RpPaper::Letter; i <= RpPaper::ESheet; ++i) {
            const auto size = TRpPaperSize(i);
            const PaperDimensions mm = paperSizeMM(size);
            const int tw = int(std::trunc(mm.width / 4));
            const int tl = int(std::trunc(mm.length / 4));
            if (w == tw && h == tl) {
                m_settings.paperSize = size;
                m_settings.orientation = RpPaper::poPortrait;
            } else if (h == tw && w == tl) {
                m_settings.paperSize = size;
                m_settings.orientation = RpPaper::poLandscape;
            }
        }
    }
    m_firstPage = m_lastPage = 0;
    m_status = Status::Finished;
    printSetup = nullptr;
    exportPages = nullptr;
    m_loadedFromFile = true;
}

QObject *TRpPrinter::ShowPages()
{
    if (previewHandler) {
        previewHandler(*this);
        return nullptr;
    }
    if (!previewFactory())
        return nullptr;
    const std::unique_ptr<TRpPreviewInterface> factory = previewFactory()();
    return factory ? factory->OpenPreview(this) : nullptr;
}

void TRpPrinter::ShowPagesModal()
{
    if (previewHandler) {
        previewHandler(*this);
        return;
    }
    if (!previewFactory())
        return;
    const std::unique_ptr<TRpPreviewInterface> factory = previewFactory()();
    if (factory)
        factory->OpenPreviewModal(this);
}

void TRpPrinter::PrintPages()
{
    if (m_master && !m_loadedFromFile) {
        QCoreApplication::postEvent(m_master.data(), new TRpStoreEvent(RpNotice::PrintRequest, 0, this));
        return;
    }
    printStoredPages();
}

void TRpPrinter::printStoredPages()
{
    if (status() != Status::Finished || !m_printerAvailable)
        return;
    if (m_printer->Printing())
        m_printer->AbortJob();
    m_settings.WriteDeviceSettings();
    const int first = m_firstPage <= 0 ? 1 : m_firstPage;
    const int last = m_lastPage <= 0 ? pageCount() : qMin(m_lastPage, pageCount());
    const int copies = copiesToSend();
    const int sets = m_settings.collate ? copies : 1;
    const int each = m_settings.collate ? 1 : copies;
    m_cancelled = false;
    m_printer->BeginJob(m_title);
    // A page that cannot be read abandons the job: a document missing pages must not go out as complete.
    auto abandonJob = qScopeGuard([this] {
        if (m_printer->Printing())
            m_printer->AbortJob();
    });
    for (int set = 0; set < sets; ++set) {
        for (int n = first; n <= last; ++n) {
            if (onGuiThread())
                QCoreApplication::processEvents();
            // A page whose picture cannot be had is skipped rather than printed blank.
            const std::unique_ptr<QPicture> picture = CopyPage(n);
            if (!picture)
                continue;
            for (int copy = 0; copy < each; ++copy) {
                if (QPainter *sheet = m_printer->NewSheet())
                    drawStoredPage(*sheet, *picture, *m_printer);
            }
            if (m_cancelled) {
                m_printer->AbortJob();
                return;
            }
        }
    }
    abandonJob.dismiss();
    if (m_printer->Printing())
        m_printer->EndJob();
}

void TRpPrinter::RequestPrintSetup()
{
    if (printSetup)
        printSetup();
}

void TRpPrinter::Export(TRpExportFilter &filter)
{
    if (exportPages)
        exportPages(filter);
}

void TRpPrinter::NotifyPreviewClosed()
{
    if (m_master) {
        TRpStoreEvent event(RpNotice::PreviewClosed, 0, this);
        QCoreApplication::sendEvent(m_master.data(), &event);
    }
}

void TRpPrinter::setShowingPreview(bool showing)
{
    const bool was = m_showingPreview;
    m_showingPreview = showing;
    if (!was || showing)
        return;
    if (status() == Status::Busy)
        CancelDocument();
    if (previewEnded)
        previewEnded();
}
