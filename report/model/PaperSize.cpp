#include "report/model/PaperSize.h"

#include <utility>

namespace {

struct PaperEntry
{
    double width;
    double length;
    const char *caption;
};

// Indexed by TRpPaperSize. In the two envelope captions "\276" is four ordinary characters of the text.
constexpr PaperEntry kPapers[kPaperSizeCount] = {
    {0, 0, "Default size"},
    {215.9, 279.4, "Letter 8 1/2 x 11 in"},
    {215.9, 279.4, "Letter Small 8 1/2 x 11 in"},
    {279.4, 431.8, "Tabloid 11 x 17 in"},
    {431.8, 279.4, "Ledger 17 x 11 in"},
    {215.9, 355.6, "Legal 8 1/2 x 14 in"},
    {139.7, 215.9, "Statement 5 1/2 x 8 1/2 in"},
    {190.5, 254, "Executive7 1/2 x 10 in"},
    {297, 420, "A3 297 x 420 mm"},
    {210, 297, "A4 210 x 297 mm"},
    {210, 297, "A4 Small 210 x 297 mm"},
    {148, 210, "A5 148 x 210 mm"},
    {250, 354, "B4 250 x 354 mm"},
    {182, 257, "B5 182 x 257 mm"},
    {215.9, 330.2, "Folio 8 1/2 x 13 in"},
    {215, 275, "Quarto 215 x 275 mm"},
    {254, 355.6, "10x14 in"},
    {279.4, 431.8, "11x17 in"},
    {215.9, 279, "Note 8 1/2 x 11 in"},
    {98.43, 225.4, "Envelope #9 3 7/8 x 8 7/8"},
    {104.8, 241.3, "Envelope #10 4 1/8 x 9 1/2"},
    {114.3, 263.5, "Envelope #11 4 1/2 x 10 3/8"},
    {101.6, 279.4, "Envelope #12 4 \\276 x 11"},
    {127, 292.1, "Envelope #14 4 \\276 x 11"},
    {100, 100, "C size sheet"},
    {100, 100, "D size sheet"},
    {100, 100, "E size sheet"},
    {0, 0, "Custom Size"},
};

bool inRange(TRpPaperSize size)
{
    return int(size) >= 0 && int(size) < kPaperSizeCount;
}

} // namespace

bool paperSizeHasDimensions(TRpPaperSize size)
{
    return inRange(size) && size != RpPaper::Default && size != RpPaper::Custom;
}

PaperDimensions paperSizeMM(TRpPaperSize size)
{
    if (!paperSizeHasDimensions(size))
        return {};
    return {kPapers[size].width, kPapers[size].length};
}

PaperDimensions paperSizeNative(TRpPaperSize size, TPrinterOrientation orientation)
{
    const PaperDimensions mm = paperSizeMM(size);
    PaperDimensions native{mm.width * 10, mm.length * 10};
    if (orientation == RpPaper::poLandscape)
        std::swap(native.width, native.length);
    return native;
}

QString paperSizeCaption(TRpPaperSize size)
{
    return inRange(size) ? QString::fromLatin1(kPapers[size].caption) : QString();
}
