#pragma once

#include "report/pages/PageStore.h"
#include "report/pages/RpPrinterSettings.h"

#include <QEvent>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class QPainter;
class QPicture;
class TRpPageRecorder;
class TRpPrinter;

// Notices the store posts to its client and sends to its master.
namespace RpNotice {
constexpr int Progress = 1024; // client, posted: percent
constexpr int PagesAvailable = 1025; // client, posted: number of available pages
constexpr int PrintRequest = 1026; // master, posted
constexpr int PreviewClosed = 1028; // master, sent: the store
} // namespace RpNotice

// A notice of the page store, delivered as an event whose type is the notice's code.
class TRpStoreEvent : public QEvent
{
public:
    TRpStoreEvent(int code, int parameter, TRpPrinter *store)
        : QEvent(QEvent::Type(code))
        , m_parameter(parameter)
        , m_store(store)
    { }
    int parameter() const { return m_parameter; }
    TRpPrinter *store() const { return m_store; }

private:
    int m_parameter;
    TRpPrinter *m_store;
};

// What an export filter is told during an export run, in this order of use.
class TRpExportFilter
{
public:
    virtual ~TRpExportFilter() = default;
    virtual void Start(int pageWidth, int pageLength, const QFont &reportFont) = 0;
    virtual void NewPage() = 0;
    virtual void TextLine(const QFont &font, int color, int x, int y, int alignment, const QString &text) = 0;
    virtual void EndPage() = 0;
    virtual void EndDocument() = 0;
    virtual bool ContinuousPage() const { return false; }
};

// The factory through which a store opens a preview window. The base class opens nothing.
class TRpPreviewInterface
{
public:
    virtual ~TRpPreviewInterface() = default;
    // Shows a window for the store without waiting and returns it.
    virtual QObject *OpenPreview(TRpPrinter *store);
    // Shows a window for the store and waits until it closes.
    virtual void OpenPreviewModal(TRpPrinter *store);
};

// The device settings record of a printer: the fields the engine reads and writes, each marked present in
// `fields` when written. Paper length and width are in tenths of a millimetre.
struct TRpDeviceMode
{
    enum Field : unsigned {
        dmOrientation = 0x1,
        dmPaperSize = 0x2,
        dmPaperLength = 0x4,
        dmPaperWidth = 0x8,
        dmCopies = 0x100,
        dmDefaultSource = 0x200,
        dmDuplex = 0x1000,
        dmCollate = 0x8000
    };
    static constexpr int kPortrait = 1;
    static constexpr int kLandscape = 2;
    static constexpr int kSimplex = 1;
    static constexpr int kDuplexVertical = 2;
    static constexpr int kDuplexHorizontal = 3;

    unsigned fields = 0;
    int orientation = kPortrait;
    int paperSize = 0; // device paper code
    int paperLength = 0;
    int paperWidth = 0;
    int copies = 1;
    int defaultSource = 0; // paper source code
    int duplex = kSimplex;
    bool collate = true;

    bool operator==(const TRpDeviceMode &other) const = default;
};

// The printer object of a page store: the system's printers, the selected one with its device settings and
// capabilities, and its print jobs. The printing layer provides it (over the platform's printers); without a
// device maker the system counts as having no printer. Sizes and offsets are in device pixels.
class TRpPrintDevice
{
public:
    virtual ~TRpPrintDevice() = default;

    // The system's printers, and the index of the selected one; selecting −1 selects the default printer.
    virtual QStringList Printers() const = 0;
    virtual int PrinterIndex() const = 0;
    virtual void SetPrinterIndex(int index) = 0;
    // Names of the selected printer: device, driver file (with its folder), port.
    virtual QString DeviceName() const = 0;
    virtual QString DriverName() const = 0;
    virtual QString PortName() const = 0;

    // The selected printer's device settings record; SetDeviceMode(nullptr) resets it to the driver's
    // defaults.
    virtual TRpDeviceMode DeviceMode() const = 0;
    virtual void SetDeviceMode(const TRpDeviceMode *mode) = 0;

    virtual bool SupportsCopies() const = 0;
    virtual bool SupportsOrientation() const = 0;
    virtual bool SupportsPaperSources() const = 0;
    virtual bool SupportsPaperSizes() const = 0;
    virtual bool SupportsDuplex() const = 0;
    // The device paper codes the printer lists.
    virtual QList<int> PaperCodes() const = 0;
    // True when the device prints the copies of its settings record by itself; otherwise the engine sends
    // every copy.
    virtual bool MakesCopies() const = 0;

    virtual double DpiX() const = 0;
    virtual double DpiY() const = 0;
    // Unprintable left and top border, physical page size, printable page size.
    virtual int OffsetX() const = 0;
    virtual int OffsetY() const = 0;
    virtual int PhysicalWidth() const = 0;
    virtual int PhysicalHeight() const = 0;
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;

    // A print job: begun with a title, then one sheet after another, each drawn through the canvas that
    // NewSheet returns (valid until the next sheet or the end of the job), then ended or aborted. A job that
    // ends without a sheet prints nothing.
    virtual void BeginJob(const QString &title) = 0;
    virtual QPainter *NewSheet() = 0;
    virtual void EndJob() = 0;
    virtual void AbortJob() = 0;
    virtual bool Printing() const = 0;
};

// The page store: the drawing target of a report run. Recording stores turn every page into a picture kept in
// the page list; printer stores send their pages to a print device. Counters and flags are atomic because a
// background run writes them while the user-interface thread reads them; the store itself is destroyed on the
// user-interface thread.
class TRpPrinter : public QObject
{
    Q_OBJECT
public:
    enum class Destination { Recording = 0, Printer = 1 };
    enum class Status { Ready = 0, Busy = 1, Finished = 2 };

    explicit TRpPrinter(QObject *parent = nullptr);
    ~TRpPrinter() override;

    // Program-wide: the class of preview factory stores make per request, and the printing layer's device
    // maker (none: no printer). Every store makes its own printer object with it.
    static void setPreviewFactory(std::function<std::unique_ptr<TRpPreviewInterface>()> factory);
    static void setPrintDeviceFactory(std::function<std::unique_ptr<TRpPrintDevice>()> factory);
    // The printer object of the whole application (the one print dialogs work on, whose selection new stores
    // start with); null without a device maker. Made on first use, remade when the maker changes.
    static TRpPrintDevice *applicationPrinter();

    void StartDocument();
    void NewPage();
    void FinishDocument();
    void AbortDocument();
    void CancelDocument() { m_cancelled = true; }
    void ReportProgress(int percent);
    void ResetStore();

    QPainter *canvas() const { return m_canvas; }

    int DeviceX(long double x) const;
    int DeviceY(long double y) const;
    int DeviceWidth(long double w) const;
    int DeviceHeight(long double h) const;
    double PaperWidthNative() const;
    double PaperLengthNative() const;

    std::unique_ptr<QPicture> CopyPage(int n);
    void SavePages(const QString &fileName);
    void LoadPages(const QString &fileName);
    QObject *ShowPages();
    void ShowPagesModal();
    void PrintPages();
    void RequestPrintSetup();
    void Export(TRpExportFilter &filter);
    // Tells the master that the preview window of this store closes; waits for the master to handle it.
    void NotifyPreviewClosed();

    Destination destination() const { return m_destination; }
    void setDestination(Destination destination) { m_destination = destination; }
    Status status() const { return m_status.load(); }
    int pageCount() const { return m_pageCount.load(); }
    int pageNumber() const { return m_pageNumber.load(); }
    int availablePages() const { return m_availablePages.load(); }
    bool cancelled() const { return m_cancelled.load(); }
    int progress() const { return m_progress.load(); }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    int firstPage() const { return m_firstPage; }
    int lastPage() const { return m_lastPage; }
    void setPageRange(int first, int last);
    bool printerAvailable() const { return m_printerAvailable; }
    // Selects the store's printer (−1 the default) with its driver's default settings and reads them; only
    // when the system has printers.
    void setPrinterIndex(int index);
    int printerIndex() const;
    TRpPrintDevice *printer() const { return m_printer.get(); }
    bool compression() const { return m_pageList.compressed(); }
    void setCompression(bool compressed) { m_pageList.setCompressed(compressed); }
    bool loadedFromFile() const { return m_loadedFromFile; }
    bool showingPreview() const { return m_showingPreview; }
    void setShowingPreview(bool showing);
    long double xFactor() const { return m_xFactor; }
    long double yFactor() const { return m_yFactor; }
    TPrinterSettings &printerSettings() { return m_settings; }
    const TPrinterSettings &printerSettings() const { return m_settings; }
    TRpPageList &pageList() { return m_pageList; }

    QObject *client() const;
    void setClient(QObject *client);
    QObject *master() const { return m_master; }
    void setMaster(QObject *master) { m_master = master; }

    std::function<void(TRpPrinter &)> previewHandler;
    std::function<void()> previewEnded;
    std::function<void()> printFinished;
    std::function<void()> printSetup;
    std::function<void(TRpExportFilter &)> exportPages;

    // Screen pixels per inch, the resolution pages are recorded at.
    static double screenPixelsPerInch();

private:
    bool pageInRange(int page) const;
    void openRecordedPage();
    void closeRecordedPage(bool store);
    void usePrinterFactors();
    void openPrinterPage();
    void closePrinterPage();
    void replayCopies();
    int copiesToSend() const;
    void printStoredPages();
    void announcePage();
    void postToClient(int code, int parameter);
    void setScreenFactors();

    Destination m_destination = Destination::Recording;
    std::atomic<Status> m_status { Status::Ready };
    std::atomic<int> m_pageCount { 0 };
    std::atomic<int> m_pageNumber { 0 };
    std::atomic<int> m_availablePages { 0 };
    std::atomic<bool> m_cancelled { false };
    std::atomic<int> m_progress { 0 };
    QString m_title;
    int m_firstPage = 0;
    int m_lastPage = 0;
    bool m_printerAvailable = false;
    std::unique_ptr<TRpPrintDevice> m_printer;
    TPrinterSettings m_settings;
    long double m_xFactor = 1;
    long double m_yFactor = 1;
    long double m_leftWaste = 0;
    long double m_topWaste = 0;
    QPainter *m_canvas = nullptr;
    std::unique_ptr<TRpPageRecorder> m_pageRecorder;
    std::unique_ptr<QPainter> m_pagePainter;
    bool m_printJobRunning = false;
    // Direct printing on a printer that cannot make copies: every in-range page is recorded and sent once per
    // copy; collated sets are kept here until the document ends.
    int m_copiesToSend = 1;
    bool m_collate = true;
    bool m_recordingForCopies = false;
    std::unique_ptr<TRpPageList> m_copyPages;
    TRpPageList m_pageList;
    mutable QMutex m_clientLock;
    QPointer<QObject> m_client;
    QPointer<QObject> m_master;
    bool m_showingPreview = false;
    std::atomic<bool> m_loadedFromFile { false };
};
