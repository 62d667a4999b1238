#pragma once

#include "report/model/PaperSize.h"

// The page store's own copy of the printer settings a run uses: paper, orientation, copies, bin and duplex.
// Paper width and length are in native units (0.1 mm) and count for the sizes Default and Custom; every other
// size takes its portrait dimensions from the paper table.
class TPrinterSettings
{
public:
    TRpPaperSize paperSize = RpPaper::A4;
    TPrinterOrientation orientation = RpPaper::poPortrait;
    double paperWidth = 2100;
    double paperLength = 2970;
    int copies = 1;
    TRpBin outputBin = RpPaper::Auto;
    bool duplex = false;

    // Portrait width and length as the rest of the engine reads them (millimetres × 10, rounded).
    double PaperWidth() const;
    double PaperLength() const;
};
