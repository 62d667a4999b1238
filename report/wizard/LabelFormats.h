#pragma once

#include "report/model/PaperSize.h"
#include "report/model/Units.h"

#include <QString>
#include <QStringList>
#include <vector>

// Label format files (".RLF"): each is one family of label sheets. The first line names the family; every
// further line is one format, its fields separated by ";" and trimmed (an empty or missing field counts as
// "0"): name ("_" read as a blank), top margin, left margin, label width, label height, columns, rows,
// vertical pitch, horizontal pitch, paper code. Lengths are centimetres with "," as the decimal separator.
// A line that does not convert is left out; so is a line whose paper code is unknown, whose columns or rows
// are 0 or less, or whose count of labels does not fit a 32-bit number.

// One format, its lengths in millimetres.
struct TRpLabelFormat
{
    QString name;
    double topMargin = 0;
    double leftMargin = 0;
    double width = 0;
    double height = 0;
    int columns = 0;
    int rows = 0;
    double verticalPitch = 0; // from one row's top to the next; the height when given as 0
    double horizontalPitch = 0; // from one column's left to the next; the width when given as 0
    QString paperCode;
    TRpPaperSize paperSize = RpPaper::A4;
    bool landscape = false;
    double customWidth = 0; // for the Custom paper of some codes
    double customLength = 0;
};

struct TRpLabelFamily
{
    QString name;
    QString fileName;
    std::vector<TRpLabelFormat> formats;
};

namespace RpLabelFormats {

// Files larger than this are not label format files.
constexpr qint64 kMaxFileSize = 1024 * 1024;

// One format line; false when it does not convert.
bool parseFormatLine(const QString &line, TRpLabelFormat &format);
// A whole file's text: its family name and formats.
TRpLabelFamily parseFamily(const QString &text);
// Reads a file; EFOpenError or EReadError when it cannot, EStreamError when it is too large.
TRpLabelFamily readFamily(const QString &fileName);
// Every "*.RLF" file of the folder (the settings file's folder), in file name order; files that cannot be
// read are left out.
std::vector<TRpLabelFamily> familiesIn(const QString &folder);
// The first format of that name (compared ignoring case, blanks for "_") in the families, or null.
const TRpLabelFormat *findFormat(const std::vector<TRpLabelFamily> &families, const QString &name);

} // namespace RpLabelFormats

// What a format gives the wizard's label pages, in the report's units: paper, orientation, margins, the
// label's size, columns, rows and the spaces between them.
struct RpLabelLayout
{
    TRpPaperSize paperSize = RpPaper::A4;
    TPrinterOrientation orientation = RpPaper::poPortrait;
    double paperWidth = 0; // for Custom paper
    double paperLength = 0;
    double topMargin = 0;
    double bottomMargin = 0;
    double leftMargin = 0;
    double rightMargin = 0;
    double width = 0;
    double height = 0;
    int columns = 0;
    int rows = 0;
    double columnSpace = 0;
    double rowSpace = 0;
};

namespace RpLabelFormats {

// The layout of a format in a unit. Margins and spaces never fall below 0.
RpLabelLayout layoutOf(const TRpLabelFormat &format, const UnitContext &unit);
// How the format is listed: its name, " (", width, " x ", height, ")", the sizes in the unit cut (not
// rounded) to two decimals.
QString listCaption(const TRpLabelFormat &format, const UnitContext &unit);

} // namespace RpLabelFormats
