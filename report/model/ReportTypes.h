#pragma once

#include <QObject>

// The enumerations and sets of the report model. Their identifiers are, letter for letter, the names that
// report files store; the streaming layer takes them from the meta-object system.
namespace Rp {
Q_NAMESPACE

// Unit in which positions and sizes are shown and typed; internally everything is in tenths of a millimetre.
enum TRpUnit { MM, Inches, Pixels, Characters, Native };
Q_ENUM_NS(TRpUnit)

enum TRpBandType {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
    rbChild
};
Q_ENUM_NS(TRpBandType)

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
Q_ENUM_NS(TPenStyle)

enum TRpReportOption { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };
Q_DECLARE_FLAGS(TRpReportOptions, TRpReportOption)
Q_FLAG_NS(TRpReportOptions)

enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

enum TFontCharset {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255
};
Q_ENUM_NS(TFontCharset)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

enum TCursor {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22
};
Q_ENUM_NS(TCursor)

enum THelpType { htKeyword, htContext };
Q_ENUM_NS(THelpType)

// Horizontal alignment of text inside an element.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
Q_ENUM_NS(TBiDiMode)

// What a system-data element prints after its text.
enum TRpSysDataType { rpsTime, rpsDate, rpsDateTime, rpsPageNumber, rpsReportTitle, rpsDetailCount, rpsDetailNo };
Q_ENUM_NS(TRpSysDataType)

// The aggregate of the old calculated-field element.
enum TRpCalcOperation { rpcSum, rpcCount, rpcMax, rpcMin, rpcAverage };
Q_ENUM_NS(TRpCalcOperation)

enum TRpShapeType { rpsRectangle, rpsCircle, rpsVertLine, rpsHorLine, rpsTopAndBottom, rpsRightAndLeft };
Q_ENUM_NS(TRpShapeType)

enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
Q_ENUM_NS(TPenMode)

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
Q_ENUM_NS(TBrushStyle)

} // namespace Rp

Q_DECLARE_OPERATORS_FOR_FLAGS(Rp::TRpReportOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(Rp::TFontStyles)

using Rp::TRpBandType;
using Rp::TRpUnit;
