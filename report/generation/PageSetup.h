#pragma once

#include "report/model/PaperSize.h"

class TCustomRpReport;
class TRpPrinter;

// Rounds to the nearest whole native unit, halves to the even neighbour, as every measure of a run is
// rounded; values beyond ±10⁹ stay at that bound.
long double rpRound(long double value);

// The paper a store without a printer uses for a report whose paper size is Default: A4, or Letter where the
// regional settings measure in inches.
TRpPaperSize defaultPaperSize();

// Copies the report's paper size, custom dimensions, orientation, copies, bin, collate choice and page range
// into the store at the start of a run. A store with a printer first selects the report's printer and takes
// only what that printer supports (the printer keeps its own value for the rest); a store without one takes
// every paper size, any custom dimensions and either orientation as they are.
void ApplyPrinterSettings(const TCustomRpReport &report, TRpPrinter &store);
