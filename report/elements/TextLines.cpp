#include "report/elements/TextLines.h"

#include "report/elements/PagePaint.h"

#include <algorithm>

TextMeasure::TextMeasure(const QFont &font, int zoom)
    : m_metrics(font, &referenceScreenDevice())
    , m_scale(zoom > 0 ? zoom / 100.0 : 1.0)
{
    // The extent of a text is the font's full line height, whatever the letter.
    m_letterHeight = m_metrics.height() * m_scale;
    if (!font.kerning() && (font.styleStrategy() & QFont::PreferNoShaping)
        && font.capitalization() == QFont::MixedCase && font.letterSpacing() == 0 && font.wordSpacing() == 0)
        m_charAdvances.assign(0x250, -1);
}

qreal TextMeasure::advance(const QString &text) const
{
    if (m_charAdvances.empty())
        return m_metrics.horizontalAdvance(text);
    // Advances are multiples of 1/64 pixel, so the sum is exact in any order.
    qreal sum = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u >= 0x250 || (u >= 0x7F && u < 0xA0) || u == 0xAD)
            return m_metrics.horizontalAdvance(text);
        qreal &advance = m_charAdvances[u];
        if (advance < 0)
            advance = m_metrics.horizontalAdvance(c);
        sum += advance;
    }
    return sum;
}

qreal TextMeasure::widthOfAdvance(qreal advance) const
{
    return (advance + 1) * m_scale;
}

qreal TextMeasure::width(const QString &text) const
{
    return widthOfAdvance(advance(text));
}

namespace {

// Measures parts of one source line without copying them.
class LinePart
{
public:
    LinePart(const QString &text, const TextMeasure &measure)
        : m_text(text)
        , m_measure(measure)
    { }

    qreal width(qsizetype from, qsizetype to) const
    {
        return m_measure.width(QString::fromRawData(m_text.constData() + from, to - from));
    }
    qreal advance(qsizetype from, qsizetype to) const
    {
        return m_measure.advance(QString::fromRawData(m_text.constData() + from, to - from));
    }
    QString copy(qsizetype from, qsizetype to) const { return m_text.mid(from, to - from); }

    // The longest prefix of [from, to) for which `fits` holds, never ending inside a surrogate pair.
    template <typename Fits> qsizetype longestPrefix(qsizetype from, qsizetype to, Fits fits) const
    {
        qsizetype low = 0; // fits (the empty prefix is taken as fitting)
        qsizetype high = to - from; // first length known not to fit, or the whole
        if (fits(width(from, to)))
            return to;
        while (high - low > 1) {
            const qsizetype middle = low + (high - low) / 2;
            if (fits(width(from, from + middle)))
                low = middle;
            else
                high = middle;
        }
        qsizetype end = from + low;
        if (end > from && m_text.at(end - 1).isHighSurrogate())
            --end;
        return end;
    }

private:
    const QString &m_text;
    const TextMeasure &m_measure;
};

void appendSourceLine(const QString &text, qsizetype begin, qsizetype end, const TextLineRules &rules,
    const TextMeasure &measure, std::vector<QString> &lines)
{
    if (rules.autoSize) {
        lines.push_back(begin == 0 && end == text.size() ? text : text.mid(begin, end - begin));
        return;
    }
    const LinePart part(text, measure);
    const qreal limit = rules.width;
    qsizetype lineStart = begin;
    qsizetype lineEnd = begin;
    qreal lineAdvance = 0; // of the words on the current line, so a line is measured word by word only once
    bool open = false; // the current line holds at least one word
    bool produced = false;
    qsizetype i = begin;
    while (i < end) {
        qsizetype j = i;
        while (j < end && text.at(j) != u' ' && text.at(j) != u'-')
            ++j;
        if (j < end)
            ++j; // the space or hyphen stays with its word
        const qreal wordAdvance = part.advance(i, j);
        if (!open) {
            lineStart = i;
            lineAdvance = 0;
        }
        if (measure.widthOfAdvance(lineAdvance + wordAdvance) <= limit) {
            lineEnd = j;
            lineAdvance += wordAdvance;
            open = true;
            i = j;
            continue;
        }
        if (!open) {
            // Alone on its line and still too wide: as much of the word as leaves the line narrower than the
            // element; the rest of the word is not printed.
            const qsizetype cut = part.longestPrefix(i, j, [limit](qreal w) { return w < limit; });
            lines.push_back(part.copy(i, cut));
            produced = true;
            if (!rules.wordWrap)
                return;
            i = j;
            continue;
        }
        lines.push_back(part.copy(lineStart, lineEnd));
        produced = true;
        open = false;
        if (!rules.wordWrap)
            return;
        if (measure.widthOfAdvance(wordAdvance) <= limit) {
            lineStart = i;
            lineEnd = j;
            lineAdvance = wordAdvance;
            open = true;
        } else {
            // Too wide on its own: shortened from its end until it fits, on a line by itself.
            const qsizetype cut = part.longestPrefix(i, j, [limit](qreal w) { return w <= limit; });
            if (cut > i)
                lines.push_back(part.copy(i, cut));
        }
        i = j;
    }
    if (open || !produced)
        lines.push_back(part.copy(lineStart, open ? lineEnd : lineStart));
}

} // namespace

void appendTextLines(
    const QString &text, const TextLineRules &rules, const TextMeasure &measure, std::vector<QString> &lines)
{
    QString cleaned = text;
    if (cleaned.contains(u'\n'))
        cleaned.remove(u'\n');
    qsizetype begin = 0;
    for (;;) {
        const qsizetype cr = cleaned.indexOf(u'\r', begin);
        const qsizetype end = cr < 0 ? cleaned.size() : cr;
        appendSourceLine(cleaned, begin, end, rules, measure, lines);
        if (cr < 0)
            break;
        begin = cr + 1;
    }
}

void appendListLines(const QStringList &items, const TextLineRules &rules, const TextMeasure &measure,
    std::vector<QString> &lines)
{
    for (const QString &item : items) {
        if (rules.autoSize)
            lines.push_back(item);
        else
            appendTextLines(item, rules, measure, lines);
    }
}

QStringList splitAtLineBreaks(const QString &text)
{
    QStringList lines;
    qsizetype begin = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(begin, i - begin));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        begin = i + 1;
    }
    // A text ends its last line without a break of its own.
    if (begin < n)
        lines.append(text.mid(begin));
    return lines;
}
