#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1252, the single-byte code page of the program's table files (it covers French, the euro sign
// included).
namespace Cp1252 {

QString decode(QByteArrayView bytes);
// False when a character has no Windows-1252 byte; `bytes` is then left unspecified.
bool encode(QStringView text, QByteArray &bytes);
// True when every character has a Windows-1252 byte.
bool canEncode(QStringView text);
// The first character without a Windows-1252 byte, or a null QChar.
QChar firstUnencodable(QStringView text);

} // namespace Cp1252
