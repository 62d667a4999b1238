#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <vector>

// How text elements turn their text into printed lines and measure them the way the design surface does:
// on a device with the screen's resolution, a text is as wide as its extent plus one pixel, times the
// design zoom.
class TextMeasure
{
public:
    TextMeasure(const QFont &font, int zoom);

    // Design pixels at the zoom.
    qreal width(const QString &text) const;
    // The extent alone, in screen pixels; and the width of a text of that extent. Words that end in a space
    // or hyphen measure the same alone as within a line, so a line's extent is the sum of its words'.
    qreal advance(const QString &text) const;
    qreal widthOfAdvance(qreal advance) const;
    // The height of "W" in design pixels at the zoom.
    qreal letterHeight() const { return m_letterHeight; }

private:
    QFontMetricsF m_metrics;
    qreal m_scale;
    qreal m_letterHeight;
    // For a font set without kerning, shaping or extra spacing, the advances of the characters below
    // U+0250, each measured once (negative: not yet): a text of those characters then measures as the sum
    // of its characters, as the text layout adds them up. Empty for other fonts.
    mutable std::vector<qreal> m_charAdvances;
};

struct TextLineRules
{
    bool autoSize = true; // one printed line per source line, no wrapping
    bool wordWrap = true; // continue a source line on the next printed line
    qreal width = 0; // the element's width in design pixels
};

// Appends the printed lines of a text: line feeds are removed, the text is split at carriage returns into
// source lines, and each source line becomes one printed line (autoSize) or is broken into lines no wider
// than the element at word ends (a word ends just after a space or hyphen). A word too wide for an empty line
// is cut to what fits; with word wrapping off the rest of a source line after the first word that does not
// fit is dropped. The work grows with the length of the text, however long its lines.
void appendTextLines(
    const QString &text, const TextLineRules &rules, const TextMeasure &measure, std::vector<QString> &lines);

// Appends the printed lines of a line list: with autoSize each item is one printed line as it stands,
// otherwise each item is broken like a text.
void appendListLines(const QStringList &items, const TextLineRules &rules, const TextMeasure &measure,
    std::vector<QString> &lines);

// A text split at its line breaks (CR LF, LF or CR), as a line list takes a whole text.
QStringList splitAtLineBreaks(const QString &text);
