#pragma once

#include <QObject>
#include <QString>

// Paper sizes, page orientation and paper bins of a report, with the portrait dimensions of every standard
// size. Dimensions are also given in the report's native unit, one tenth of a millimetre.
namespace RpPaper {
Q_NAMESPACE

enum TRpPaperSize {
    Default,
    Letter,
    LetterSmall,
    Tabloid,
    Ledger,
    Legal,
    Statement,
    Executive,
    A3,
    A4,
    A4Small,
    A5,
    B4,
    B5,
    Folio,
    Quarto,
    rp10X14,
    rp11X17,
    Note,
    Env9,
    Env10,
    Env11,
    Env12,
    Env14,
    CSheet,
    DSheet,
    ESheet,
    Custom
};
Q_ENUM_NS(TRpPaperSize)

enum TPrinterOrientation { poPortrait, poLandscape };
Q_ENUM_NS(TPrinterOrientation)

enum TRpBin {
    First,
    Upper,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    Last
};
Q_ENUM_NS(TRpBin)

} // namespace RpPaper

using RpPaper::TPrinterOrientation;
using RpPaper::TRpBin;
using RpPaper::TRpPaperSize;

struct PaperDimensions
{
    double width = 0; // across the page
    double length = 0; // down the page
};

constexpr int kPaperSizeCount = int(RpPaper::Custom) + 1;

// True for the sizes that carry dimensions of their own (every size except Default and Custom).
bool paperSizeHasDimensions(TRpPaperSize size);
// Portrait width and length in millimetres; zero for Default, Custom and values out of range.
PaperDimensions paperSizeMM(TRpPaperSize size);
// Width and length in native units (0.1 mm) in the given orientation (swapped in landscape).
PaperDimensions paperSizeNative(TRpPaperSize size, TPrinterOrientation orientation);
// The user-facing name of a size ("A4 210 x 297 mm"); empty for values out of range.
QString paperSizeCaption(TRpPaperSize size);
