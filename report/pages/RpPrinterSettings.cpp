#include "report/pages/RpPrinterSettings.h"

#include "report/pages/RpPrinter.h"

#include <QFileInfo>
#include <cmath>

namespace RpDeviceCodes {

namespace {

constexpr int kCustomPaperCode = 256;

// Indexed by TRpBin.
constexpr int kBinCodes[] = { 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14 };
static_assert(sizeof(kBinCodes) / sizeof(kBinCodes[0]) == int(RpPaper::Last) + 1);

} // namespace

int paperCode(TRpPaperSize size)
{
    return size == RpPaper::Custom ? kCustomPaperCode : int(size);
}

bool paperFromCode(int code, TRpPaperSize &size)
{
    if (code == kCustomPaperCode) {
        size = RpPaper::Custom;
        return true;
    }
    if (code < 0 || code >= int(RpPaper::Custom))
        return false;
    size = TRpPaperSize(code);
    return true;
}

int binCode(TRpBin bin)
{
    return int(bin) >= 0 && int(bin) <= int(RpPaper::Last) ? kBinCodes[bin] : 0;
}

bool binFromCode(int code, TRpBin &bin)
{
    for (int i = 0; i <= int(RpPaper::Last); ++i) {
        if (kBinCodes[i] == code) {
            bin = TRpBin(i);
            return true;
        }
    }
    return false;
}

} // namespace RpDeviceCodes

namespace {

long double toNative(int pixels, double pixelsPerInch)
{
    return pixelsPerInch > 0 ? std::round(pixels / pixelsPerInch * 254) : 0;
}

} // namespace

double TPrinterSettings::PaperWidth() const
{
    if (!paperSizeHasDimensions(paperSize))
        return paperWidth;
    return std::round(paperSizeMM(paperSize).width * 10);
}

double TPrinterSettings::PaperLength() const
{
    if (!paperSizeHasDimensions(paperSize))
        return paperLength;
    return std::round(paperSizeMM(paperSize).length * 10);
}

bool TPrinterSettings::PaperSupported(TRpPaperSize size) const
{
    return int(size) >= 0 && int(size) < kPaperSizeCount && m_supported[size];
}

void TPrinterSettings::SetCopies(int value)
{
    if (printer && printer->SupportsCopies())
        copies = value;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation value)
{
    if (printer && printer->SupportsOrientation()
        && (value == RpPaper::poPortrait || value == RpPaper::poLandscape))
        orientation = value;
}

void TPrinterSettings::SetOutputBin(TRpBin value)
{
    if (printer && printer->SupportsPaperSources() && int(value) >= 0 && int(value) <= int(RpPaper::Last))
        outputBin = value;
}

void TPrinterSettings::SetPaperSize(TRpPaperSize value)
{
    if (value == RpPaper::Default || PaperSupported(value))
        paperSize = value;
}

void TPrinterSettings::SetPaperWidth(double value)
{
    if (paperSize == RpPaper::Custom)
        paperWidth = value;
}

void TPrinterSettings::SetPaperLength(double value)
{
    if (paperSize == RpPaper::Custom)
        paperLength = value;
}

void TPrinterSettings::ReadPrinterSettings()
{
    if (!printer)
        return;
    const TRpDeviceMode mode = printer->DeviceMode();
    device = printer->DeviceName().left(kDeviceNameLength);
    driver = QFileInfo(printer->DriverName()).fileName().left(kDriverNameLength);
    port = printer->PortName().left(kDeviceNameLength);
    pixelsPerInchX = printer->DpiX();
    pixelsPerInchY = printer->DpiY();
    copies = printer->SupportsCopies() ? mode.copies : 1;
    outputBin = RpPaper::First;
    if (printer->SupportsPaperSources()) {
        TRpBin bin = RpPaper::First;
        if (RpDeviceCodes::binFromCode(mode.defaultSource, bin))
            outputBin = bin;
    }
    duplex = printer->SupportsDuplex() && mode.duplex != TRpDeviceMode::kSimplex;
    leftOffset = toNative(printer->OffsetX(), pixelsPerInchX);
    topOffset = toNative(printer->OffsetY(), pixelsPerInchY);
    paperSize = RpPaper::Default;
    if (printer->SupportsPaperSizes()) {
        TRpPaperSize size = RpPaper::Default;
        if (RpDeviceCodes::paperFromCode(mode.paperSize, size))
            paperSize = size;
    }
    paperWidth = toNative(printer->PhysicalWidth(), pixelsPerInchX);
    paperLength = toNative(printer->PhysicalHeight(), pixelsPerInchY);
    m_supported.fill(false);
    for (int code : printer->PaperCodes()) {
        TRpPaperSize size = RpPaper::Default;
        if (RpDeviceCodes::paperFromCode(code, size))
            m_supported[size] = true;
    }
    m_supported[RpPaper::Custom] = true;
}

void TPrinterSettings::WriteDeviceSettings() const
{
    if (!printer)
        return;
    TRpDeviceMode mode = printer->DeviceMode();
    if (paperSize == RpPaper::Custom) {
        mode.paperLength = int(std::lround(paperLength));
        mode.paperWidth = int(std::lround(paperWidth));
        mode.fields |= TRpDeviceMode::dmPaperLength | TRpDeviceMode::dmPaperWidth;
    }
    if (duplex) {
        mode.duplex = TRpDeviceMode::kDuplexHorizontal;
        mode.fields |= TRpDeviceMode::dmDuplex;
    }
    if (printer->SupportsPaperSizes() && paperSize != RpPaper::Default) {
        mode.paperSize = RpDeviceCodes::paperCode(paperSize);
        mode.fields |= TRpDeviceMode::dmPaperSize;
    }
    mode.copies = copies;
    mode.fields |= TRpDeviceMode::dmCopies;
    mode.defaultSource = RpDeviceCodes::binCode(outputBin) | (mode.defaultSource & 256);
    mode.fields |= TRpDeviceMode::dmDefaultSource;
    mode.orientation
        = orientation == RpPaper::poLandscape ? TRpDeviceMode::kLandscape : TRpDeviceMode::kPortrait;
    mode.fields |= TRpDeviceMode::dmOrientation;
    mode.collate = collate;
    mode.fields |= TRpDeviceMode::dmCollate;
    printer->SetDeviceMode(&mode);
}
