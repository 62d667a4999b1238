#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Helpers shared by the test binaries. Every binary runs with a QApplication on the offscreen platform and
// with the regional settings pinned to French (France): "," decimals, dd/MM/yyyy dates, "€" amounts.
namespace TestSupport {

// Pins the regional settings to a locale for the rest of the test binary (the default pin is fr_FR).
void pinLocale(const char *name);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);
// "96 19 E0 BD" → bytes; blanks and line breaks are ignored.
QByteArray fromHex(const char *hex);

} // namespace TestSupport
