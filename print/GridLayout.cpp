#include "print/GridLayout.h"

#include <algorithm>
#include <climits>

namespace GridLayout {

int totalWidth(const std::vector<int> &screenWidths, bool rowNumbers)
{
    long long total = rowNumbers ? kRowNumberWidth : 0;
    for (const int width : screenWidths)
        total += width;
    return int(std::clamp<long long>(total, INT_MIN, INT_MAX));
}

std::vector<ColumnSpan> stretchColumns(
    const std::vector<int> &screenWidths, bool rowNumbers, int pageWidth, int leftMargin, int rightMargin)
{
    std::vector<ColumnSpan> spans;
    const int total = totalWidth(screenWidths, rowNumbers);
    if (total <= 0)
        return spans;
    const double k = double(pageWidth - leftMargin - rightMargin) / double(total);
    int x = leftMargin;
    const auto add = [&](int width) {
        const int right = x + int(double(width) * k);
        spans.push_back({ x, right });
        x = right;
    };
    if (rowNumbers)
        add(kRowNumberWidth);
    for (const int width : screenWidths)
        add(width);
    return spans;
}

namespace {

// Removes the last character, and both halves of a pair that codes one character.
void chopCharacter(QString &text)
{
    const qsizetype n = text.size();
    if (n >= 2 && text.at(n - 1).isLowSurrogate() && text.at(n - 2).isHighSurrogate())
        text.chop(2);
    else
        text.chop(1);
}

} // namespace

QString fitCellText(const QString &text, int room, bool numeric, const TextWidth &width)
{
    if (text.isEmpty() || width(text) <= room)
        return text;
    if (numeric) {
        const int hash = std::max(1, width(QStringLiteral("#")));
        QString fill(std::max(0, room / hash) + 1, QLatin1Char('#'));
        while (!fill.isEmpty() && width(fill) > room)
            fill.chop(1);
        return fill;
    }
    QString cut = text;
    while (!cut.isEmpty() && width(cut) > room)
        chopCharacter(cut);
    return cut;
}

int cellTextX(int left, int right, int textWidth, Qt::Alignment alignment)
{
    if (alignment & Qt::AlignRight)
        return right - textWidth - 1;
    if (alignment & Qt::AlignHCenter)
        return left + (right - left) / 2 - textWidth / 2;
    return left + 2;
}

int cellTextY(int top, int bottom, int textHeight)
{
    return top + (bottom - top) / 2 - textHeight / 2;
}

int pageCount(int rows, int firstRowY, int titleHeight, int rowHeight, int pageHeight, int bottomMargin)
{
    int pages = 1;
    int y = firstRowY;
    for (int row = 0; row < rows; ++row) {
        y += rowHeight;
        if (breaksAfterRow(y, rowHeight, pageHeight, bottomMargin)) {
            ++pages;
            y = kPageTop + titleHeight;
        }
    }
    return pages;
}

BoundPlacement placeBounds(const std::vector<TBoundRec> &records, int y, int pageWidth, int leftMargin,
    int rightMargin, const std::function<QSize(const TBoundRec &)> &measure)
{
    BoundPlacement placement;
    int lineHeight = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const TBoundRec &record = records[i];
        const QSize size = measure(record);
        int x = leftMargin;
        if (record.Alignment & Qt::AlignRight)
            x = pageWidth - rightMargin - size.width();
        else if (record.Alignment & Qt::AlignHCenter)
            x = (pageWidth - leftMargin - rightMargin) / 2 + leftMargin - size.width() / 2;
        placement.positions.push_back({ x, y });
        lineHeight = std::max(lineHeight, size.height());
        if (i + 1 < records.size() && records[i + 1].Line > record.Line) {
            y += lineHeight;
            lineHeight = 0;
        }
    }
    placement.bottom = y + lineHeight;
    return placement;
}

} // namespace GridLayout
