#pragma once

#include "report/pages/RpPrintDialog.h"

#include <QPainter>
#include <QPrinter>
#include <QSizeF>
#include <functional>
#include <memory>

class QPageSize;

// The report engine's printer object over the platform's printers (QPrinter). Where the system has no printer
// a PDF printer stands in: its jobs go to a PDF file, named by the PDF file chooser when the job starts (no
// name: the job is drawn and thrown away). The PDF printer takes every paper size and any copy count, but
// writes every page once: the engine then sends the copies itself.
class QtPrintDevice : public TRpPrintDevice
{
public:
    enum class Mode { SystemOrPdf, PdfOnly };
    static constexpr const char *kPdfPrinterName = "PDF";
    static constexpr int kPdfResolution = 1200;

    explicit QtPrintDevice(Mode mode = Mode::SystemOrPdf);
    ~QtPrintDevice() override;

    // Program-wide: names the PDF file of a job from its title; empty cancels the output.
    static void setPdfFileChooser(std::function<QString(const QString &title)> chooser);

    QStringList Printers() const override;
    int PrinterIndex() const override { return m_index; }
    void SetPrinterIndex(int index) override;
    QString DeviceName() const override;
    QString DriverName() const override;
    QString PortName() const override;
    TRpDeviceMode DeviceMode() const override { return m_mode; }
    void SetDeviceMode(const TRpDeviceMode *mode) override;
    bool SupportsCopies() const override { return true; }
    bool SupportsOrientation() const override { return true; }
    bool SupportsPaperSources() const override { return false; }
    bool SupportsPaperSizes() const override { return true; }
    bool SupportsDuplex() const override;
    QList<int> PaperCodes() const override;
    bool MakesCopies() const override;
    double DpiX() const override;
    double DpiY() const override;
    int OffsetX() const override;
    int OffsetY() const override;
    int PhysicalWidth() const override;
    int PhysicalHeight() const override;
    int PageWidth() const override;
    int PageHeight() const override;
    void BeginJob(const QString &title) override;
    QPainter *NewSheet() override;
    void EndJob() override;
    void AbortJob() override;
    bool Printing() const override { return m_printing; }

    QPrinter &printer() { return *m_printer; }
    bool isPdf() const;

private:
    void applyMode();
    TRpDeviceMode defaultMode() const;

    Mode m_kind;
    QStringList m_systemPrinters;
    int m_index = 0;
    std::unique_ptr<QPrinter> m_printer;
    TRpDeviceMode m_mode;
    QPainter m_painter;
    bool m_printing = false;
    bool m_discard = false;
    std::unique_ptr<class QPicture> m_discarded;
    QString m_outputFile;
};

// Paper codes of the engine and the platform's page sizes.
namespace PaperCodes {
// The size of a paper code in millimetres (portrait); empty for Default and unknown codes.
QSizeF sizeMM(int code, const TRpDeviceMode &mode);
// The first code whose size matches within half a millimetre (either way round); 256 (custom) otherwise.
int codeFor(const QSizeF &millimetres);
} // namespace PaperCodes

namespace ReportPrinting {

// The program's printing: every page store prints on the system's printers (or the PDF printer where there
// is none, writing to the file `pdfFile` names), and the report print dialog is the platform's.
void installSystemPrinters(std::function<QString(const QString &title)> pdfFile);
// Every page store prints on the PDF printer only, writing `fileName`.
void installPdfPrinter(const QString &fileName);
// Back to no printer at all.
void uninstall();

// The report print dialog through the dialog layer, as the engine's print dialog runs it.
bool runPrintDialog(TRpPrintDialogRequest &request);

} // namespace ReportPrinting
