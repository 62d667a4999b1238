#pragma once

#include "print/PrintGrid.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

// The geometry of a printed grid, apart from any drawing: where columns, cells, texts, bound lines and page
// breaks go. All values are device pixels of the page.
namespace GridLayout {

// The row-number column's screen width, and where the content of every page starts.
constexpr int kRowNumberWidth = 30;
constexpr int kPageTop = 200;
constexpr int kPageNumberY = 50;
constexpr int kBoundGap = 10;

struct ColumnSpan
{
    int left = 0;
    int right = 0;
    bool operator==(const ColumnSpan &) const = default;
};

// The sum of the screen widths, with the row-number column when asked for.
int totalWidth(const std::vector<int> &screenWidths, bool rowNumbers);

// Stretches or compresses the screen widths to the printable width (page width less both margins): the
// row-number column first when asked for, then one span per width, each truncated towards zero and starting
// where the one before ends. The total width must be positive.
std::vector<ColumnSpan> stretchColumns(
    const std::vector<int> &screenWidths, bool rowNumbers, int pageWidth, int leftMargin, int rightMargin);

using TextWidth = std::function<int(const QString &)>;

// What a cell prints: a text wider than the room (cell width less the width of an "A") loses characters from
// its end until it fits; a number that does not fit becomes a row of "#" as wide as fits, so that a reader
// never sees a number with digits missing.
QString fitCellText(const QString &text, int room, bool numeric, const TextWidth &width);

// Horizontal position of a cell text: left + 2, right − width − 1, or centred on the cell.
int cellTextX(int left, int right, int textWidth, Qt::Alignment alignment);
// Vertical position of the top of a cell text, centred on the cell.
int cellTextY(int top, int bottom, int textHeight);

// A page break follows the row that leaves y (the top of the next row) where one more row would cross the
// bottom margin.
inline bool breaksAfterRow(int y, int rowHeight, int pageHeight, int bottomMargin)
{
    return y + rowHeight > pageHeight - bottomMargin;
}

// The number of pages a print of `rows` rows takes, when the first row of the first page starts at
// `firstRowY` and the rows of every further page at the page top plus the title row.
int pageCount(int rows, int firstRowY, int titleHeight, int rowHeight, int pageHeight, int bottomMargin);

// Where the texts of a bound list go, starting at y: the top-left corner of every text, and the y below the
// last line. `measure` gives the size of a record's text in its font.
struct BoundPlacement
{
    std::vector<QPoint> positions;
    int bottom = 0;
};
BoundPlacement placeBounds(const std::vector<TBoundRec> &records, int y, int pageWidth, int leftMargin,
    int rightMargin, const std::function<QSize(const TBoundRec &)> &measure);

} // namespace GridLayout
