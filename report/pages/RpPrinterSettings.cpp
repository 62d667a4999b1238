#include "report/pages/RpPrinterSettings.h"

#include <cmath>

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
