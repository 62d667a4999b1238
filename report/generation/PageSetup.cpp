#include "report/generation/PageSetup.h"

#include "platform/RegionalSettings.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"

#include <cmath>

long double rpRound(long double value)
{
    constexpr long double kBound = 1e9L;
    if (!(value > -kBound))
        return -kBound;
    if (!(value < kBound))
        return kBound;
    // rintl: the same result as nearbyintl without saving the floating-point environment.
    return std::rintl(value);
}

TRpPaperSize defaultPaperSize()
{
    const QLocale &locale = RegionalSettings::current().locale();
    return locale.measurementSystem() == QLocale::MetricSystem ? RpPaper::A4 : RpPaper::Letter;
}

namespace {

// The page keeps a custom size as it is laid out (already turned for landscape); the store keeps portrait
// dimensions and turns them itself.
void customDimensions(const TRpPage &page, double &width, double &length)
{
    const bool landscape = page.orientation() == RpPaper::poLandscape;
    const double w = double(rpRound(page.nativeWidth()));
    const double l = double(rpRound(page.nativeLength()));
    width = landscape ? l : w;
    length = landscape ? w : l;
}

// Through the store's printer: the report's printer is selected, and each setting the printer does not
// support is skipped, so that the printer keeps its own.
void applyThroughPrinter(const TCustomRpReport &report, TRpPrinter &store)
{
    const TRpPage &page = *report.page();
    const TRpReportPrinterSettings &settings = *report.printerSettings();
    store.setPrinterIndex(settings.printerIndex());
    TPrinterSettings &target = store.printerSettings();
    target.SetPaperSize(page.paperSize());
    if (target.paperSize == RpPaper::Custom) {
        double width = 0;
        double length = 0;
        customDimensions(page, width, length);
        target.SetPaperWidth(width);
        target.SetPaperLength(length);
    }
    target.SetOrientation(page.orientation());
    target.SetCopies(settings.copies());
    target.SetOutputBin(settings.outputBin());
    target.collate = settings.collate();
    store.setPageRange(settings.firstPage(), settings.lastPage());
}

} // namespace

void ApplyPrinterSettings(const TCustomRpReport &report, TRpPrinter &store)
{
    if (store.printerAvailable()) {
        applyThroughPrinter(report, store);
        return;
    }
    const TRpPage &page = *report.page();
    const TRpReportPrinterSettings &settings = *report.printerSettings();
    TPrinterSettings &target = store.printerSettings();
    TRpPaperSize size = page.paperSize();
    if (size == RpPaper::Default)
        size = defaultPaperSize();
    target.paperSize = size;
    target.orientation = page.orientation();
    if (size == RpPaper::Custom)
        customDimensions(page, target.paperWidth, target.paperLength);
    target.copies = settings.copies();
    target.outputBin = settings.outputBin();
    target.collate = settings.collate();
    store.setPageRange(settings.firstPage(), settings.lastPage());
}
