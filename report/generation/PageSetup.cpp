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
    // The page keeps a custom size as it is laid out (already turned for landscape); the store keeps portrait
    // dimensions and turns them itself.
    const bool landscape = page.orientation() == RpPaper::poLandscape;
    const double width = double(rpRound(page.nativeWidth()));
    const double length = double(rpRound(page.nativeLength()));
    const double portraitWidth = landscape ? length : width;
    const double portraitLength = landscape ? width : length;
    if (store.printerAvailable()) {
        // A real printer takes what it supports and keeps its own value for the rest.
        store.setPrinterIndex(settings.printerIndex());
        target.SetPaperSize(page.paperSize());
        if (target.paperSize == RpPaper::Custom) {
            target.SetPaperWidth(portraitWidth);
            target.SetPaperLength(portraitLength);
        }
        target.SetOrientation(page.orientation());
        target.SetCopies(settings.copies());
        target.SetOutputBin(settings.outputBin());
    } else {
        // Without a printer (recording, PDF) every size, custom dimensions and orientation are taken.
        const TRpPaperSize size
            = page.paperSize() == RpPaper::Default ? defaultPaperSize() : page.paperSize();
        target.paperSize = size;
        if (size == RpPaper::Custom) {
            target.paperWidth = portraitWidth;
            target.paperLength = portraitLength;
        }
        target.orientation = page.orientation();
        target.copies = settings.copies();
        target.outputBin = settings.outputBin();
    }
    store.setPageRange(settings.firstPage(), settings.lastPage());
}
