#pragma once

#include "platform/Colors.h"

#include <QString>

// The colour identifiers report files use ("clWhite", "clBtnFace"): a colour with a name is written as it.
QString colorToIdent(TColor color); // empty when the colour has no name
bool identToColor(QStringView ident, TColor &color); // case-insensitive
