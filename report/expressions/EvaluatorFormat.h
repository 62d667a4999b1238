#pragma once

#include "platform/DateTime.h"

#include <QString>
#include <QStringView>
#include <vector>

// Number masks, as printed values and FORMATNUMERIC use them: up to three sections separated by ";"
// (positive, negative, zero), "0" and "#" digit placeholders, the first "." for the decimal point, ","
// anywhere for thousands separators, "E+"/"E-"/"e+"/"e-" followed by "0"s for scientific notation, quoted
// text copied without its quotes and any other character copied. Separators are the regional ones. An empty
// mask gives the general format (shortest text, up to 15 significant digits).
//
// Masks are user text: they are read by this formatter alone, character by character, so nothing in a mask
// is ever taken as a directive of another formatter, and the output grows with the mask and the value only.
// A mask is read once and can then format any number of values.
class RpNumberMask
{
public:
    explicit RpNumberMask(const QString &mask = QString());

    const QString &text() const { return m_text; }
    // False (and `out` unchanged) for a value that cannot be formatted (not finite).
    bool format(double value, QString &out) const;

private:
    struct Token
    {
        enum Kind { Digit, Point, Exponent, Literal } kind;
        QChar placeholder; // Digit: '0' or '#'
        QString text; // Literal: the text; Exponent: "E" or "e"
        bool alwaysSign = false; // Exponent: "+" given
        int exponentDigits = 0;
    };
    struct Section
    {
        std::vector<Token> tokens;
        bool thousands = false;
        bool empty = true;
        int intPlaces = 0; // placeholders before the point (before any exponent)
        int minInt = 0; // of which always printed: from the first "0" on
        int fracPlaces = 0; // placeholders after the point
        int minFrac = 0; // up to the last "0" after the point
        bool scientific = false;
    };

    void formatSection(const Section &section, double magnitude, bool minus, QString &out) const;

    QString m_text;
    std::vector<Section> m_sections; // empty: general format
};

// Formats one value with a mask read for this call; false for a value that is not finite.
bool tryFormatNumberMask(const QString &mask, double value, QString &text);

// Date masks: "c" short date and long time (the time left out at midnight), "d"/"dd" day, "ddd"/"dddd"
// short and long day name, "ddddd"/"dddddd" short and long date, "m"/"mm" month (minutes right after an
// hour), "mmm"/"mmmm" short and long month name, "yy"/"yyyy" year, "h"/"hh" hour, "n"/"nn" minute,
// "s"/"ss" second, "z"/"zzz" milliseconds, "t"/"tt" short and long time, "am/pm", "a/p" and "ampm"
// twelve-hour markers, "/" and ":" the regional date and time separators, quoted text copied, any other
// character copied. Specifiers are not case sensitive; names and formats are the regional ones. Like number
// masks, date masks are read by this formatter alone. A value outside the calendar gives an empty text.
QString formatDateMask(QStringView mask, TDateTime value);
