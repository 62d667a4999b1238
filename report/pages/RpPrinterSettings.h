#pragma once

#include "report/model/PaperSize.h"

#include <QString>
#include <array>

class TRpPrintDevice;

// The page store's own printer settings: what a run uses of paper, orientation, copies, bin and duplex, and
// what the store's printer supports. Paper width and length are in native units (0.1 mm) and count for the
// sizes Default and Custom; every other size takes its portrait dimensions from the paper table.
//
// The setters ignore a value the printer does not support, so the printer then keeps its own; without a
// printer nothing is supported and only the paper size Default is taken. The fields may still be assigned
// directly where no printer decides (a loaded page file, a run without a printer).
class TPrinterSettings
{
public:
    static constexpr int kDeviceNameLength = 127;
    static constexpr int kDriverNameLength = 63;

    TRpPrintDevice *printer = nullptr;
    QString device;
    QString driver;
    QString port;
    TRpPaperSize paperSize = RpPaper::A4;
    TPrinterOrientation orientation = RpPaper::poPortrait;
    double paperWidth = 2100;
    double paperLength = 2970;
    int copies = 1;
    TRpBin outputBin = RpPaper::Auto;
    bool duplex = false;
    // Run-time only, never stored: copies as whole sets (1..n, 1..n) or page by page.
    bool collate = true;
    double pixelsPerInchX = 0;
    double pixelsPerInchY = 0;
    double leftOffset = 0;
    double topOffset = 0;

    // Portrait width and length as the rest of the engine reads them (millimetres × 10, rounded).
    double PaperWidth() const;
    double PaperLength() const;

    bool PaperSupported(TRpPaperSize size) const;
    void SetCopies(int value);
    void SetOrientation(TPrinterOrientation value);
    void SetOutputBin(TRpBin value);
    void SetPaperSize(TRpPaperSize value);
    void SetPaperWidth(double value);
    void SetPaperLength(double value);

    // Fills the settings from the printer (nothing without one).
    void ReadPrinterSettings();
    // Writes the settings into the printer's device settings record (nothing without a printer).
    void WriteDeviceSettings() const;

private:
    std::array<bool, kPaperSizeCount> m_supported {};
};

// The platform's device codes: paper sizes by position (Default 0, Letter 1 … ESheet 26, Custom 256) and
// paper bins by the table of bin codes. Reading a code back takes the first entry with that code.
namespace RpDeviceCodes {
int paperCode(TRpPaperSize size);
// False for a code no size has.
bool paperFromCode(int code, TRpPaperSize &size);
int binCode(TRpBin bin);
bool binFromCode(int code, TRpBin &bin);
} // namespace RpDeviceCodes
