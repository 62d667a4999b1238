#pragma once

#include <QString>

// Number masks, as printed values and FORMATNUMERIC use them: up to three sections separated by ";"
// (positive, negative, zero), "0" and "#" digit placeholders, the first "." for the decimal point, ","
// anywhere for thousands separators, "E+"/"E-"/"e+"/"e-" followed by "0"s for scientific notation, quoted
// text copied without its quotes and any other character copied. Separators are the regional ones. An empty
// mask gives the general format (shortest text, up to 15 significant digits).
//
// False for a value that cannot be formatted (not finite).
bool tryFormatNumberMask(const QString &mask, double value, QString &text);
