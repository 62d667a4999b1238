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
    return std::nearbyintl(value);
}

TRpPaperSize defaultPaperSize()
{
    const QLocale &locale = RegionalSettings::current().locale();
    return locale.measurementSystem() == QLocale::MetricSystem ? RpPaper::A4 : RpPaper::Letter;
}

void ApplyPrinterSettings(const TCustomRpReport &report, TRpPrinter &store)
{
    const TRpPage &page = *report.page();
    const TRpReportPrinterSettings &settings = *report.printerSettings();
    TPrinterSettings &target = store.printerSettings();
    TRpPaperSize size = page.paperSize();
    if (size == RpPaper::Default && !store.printerAvailable())
        size = defaultPaperSize();
    target.paperSize = size;
    target.orientation = page.orientation();
    if (size == RpPaper::Custom) {
        // The page keeps its custom size as it is laid out (already turned for landscape); the store keeps
        // portrait dimensions and turns them itself.
        const bool landscape = page.orientation() == RpPaper::poLandscape;
        const double width = double(rpRound(page.nativeWidth()));
        const double length = double(rpRound(page.nativeLength()));
        target.paperWidth = landscape ? length : width;
        target.paperLength = landscape ? width : length;
    }
    target.copies = settings.copies();
    target.outputBin = settings.outputBin();
    store.setPageRange(settings.firstPage(), settings.lastPage());
}
