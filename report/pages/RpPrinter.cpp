#include "report/pages/RpPrinter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QThread>
#include <cfenv>
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

std::function<void(TRpPrinter &)> &storedPagesPrinter()
{
    static std::function<void(TRpPrinter &)> printer;
    return printer;
}

// Nearest integer, halves to the even neighbour; positions beyond the device's integer range stay at its
// bounds.
int roundEven(long double value)
{
    constexpr long double kBound = 2147483647.0L;
    if (!(value > -kBound))
        return -2147483647;
    if (!(value < kBound))
        return 2147483647;
    return int(std::nearbyintl(value));
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
}

void TRpPrinter::setStoredPagesPrinter(std::function<void(TRpPrinter &)> printer)
{
    storedPagesPrinter() = std::move(printer);
}

TRpPrinter::TRpPrinter(QObject *parent)
    : QObject(parent)
{
    if (printDeviceFactory())
        m_printer = printDeviceFactory()();
    m_printerAvailable = m_printer != nullptr;
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
        if (!m_printer)
            throw ERpError(tr("No printer is installed"));
        m_printer->ApplySettings(m_settings);
    }
    m_leftWaste = toPrinter ? m_printer->LeftOffsetNative() : 0;
    m_topWaste = toPrinter ? m_printer->TopOffsetNative() : 0;
    m_pageNumber = 0;
    m_pageCount = 0;
    if (toPrinter) {
        m_xFactor = (long double)m_printer->DpiX() / 254.0L;
        m_yFactor = (long double)m_printer->DpiY() / 254.0L;
    } else {
        m_pageList.Clear();
        m_pageList.setStream(TRpStream::forRecording());
        setScreenFactors();
    }
    m_loadedFromFile = false;
    m_status = Status::Busy;
}

void TRpPrinter::openRecordedPage()
{
    const bool toPrinter = m_destination == Destination::Printer;
    if (!toPrinter)
        setScreenFactors();
    const long double xf = m_xFactor;
    const long double yf = m_yFactor;
    // A throwaway page of a printer run is recorded at screen resolution like a stored one.
    if (toPrinter)
        setScreenFactors();
    const QRect page(0, 0, DeviceWidth(PaperWidthNative()), DeviceHeight(PaperLengthNative()));
    m_xFactor = xf;
    m_yFactor = yf;
    m_pagePicture = std::make_unique<QPicture>();
    // The page rectangle travels with the picture, so stretching and paper detection use the page rather
    // than the drawn content.
    m_pagePicture->setBoundingRect(page);
    m_pagePainter = std::make_unique<QPainter>(m_pagePicture.get());
    m_canvas = m_pagePainter.get();
}

void TRpPrinter::closeRecordedPage(bool store)
{
    if (!m_pagePicture)
        return;
    m_canvas = nullptr;
    m_pagePainter.reset();
    std::unique_ptr<QPicture> picture = std::move(m_pagePicture);
    if (store)
        m_pageList.AddPage(*picture);
}

void TRpPrinter::NewPage()
{
    if (status() != Status::Busy)
        throw ERpError(tr("Illegal call to NewPage"));
    const bool toPrinter = m_destination == Destination::Printer;
    if (m_pageNumber > 0) {
        closeRecordedPage(!toPrinter);
        announcePage();
    }
    ++m_pageCount;
    ++m_pageNumber;
    if (toPrinter && pageInRange(m_pageCount)) {
        if (m_printJobRunning) {
            m_printer->NextPage();
        } else {
            m_canvas = m_printer->BeginJob(m_title);
            m_printJobRunning = true;
        }
    } else {
        openRecordedPage();
    }
}

void TRpPrinter::FinishDocument()
{
    if (status() != Status::Busy)
        return;
    const bool toPrinter = m_destination == Destination::Printer;
    const bool begun = m_pageCount > 0;
    if (toPrinter) {
        closeRecordedPage(false);
        m_canvas = nullptr;
        if (m_printJobRunning) {
            m_printJobRunning = false;
            m_printer->EndJob();
        }
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
    m_canvas = nullptr;
    if (m_printJobRunning) {
        m_printJobRunning = false;
        m_printer->AbortJob();
    }
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
    if (storedPagesPrinter())
        storedPagesPrinter()(*this);
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
