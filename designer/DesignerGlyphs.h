#pragma once

#include <QIcon>
#include <QString>

// The small pictures of the designer's toolbar and palette buttons, drawn rather than loaded so that the
// designer needs no picture files. Each name stands for one command or element kind ("new", "align-left",
// "label", …); an unknown name gives its first letters.
QIcon designerGlyph(const QString &name);
