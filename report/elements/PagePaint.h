#pragma once

#include "platform/Colors.h"

#include <QColor>
#include <QFont>

class QPainter;
class QPaintDevice;
class ReportFont;

// What elements need to draw on a page: colours and fonts as the page shows them, and painter state that is
// changed only when it differs, so a page picture records each change once.

// A colour of the report model on paper. System colours take the classic values of their role (window
// white, window text black, button face light grey…), never the current screen palette: a page looks the
// same wherever it is made. clNone is transparent.
QColor pageColor(TColor color);

// The font a report font stands for: family, point size and styles, without kerning.
QFont pageFont(const ReportFont &font);

// A device with the screen's resolution, on which the design surface measures text.
const QPaintDevice &referenceScreenDevice();

void usePen(QPainter &painter, const QColor &color);
void useNoPen(QPainter &painter);
void useBrush(QPainter &painter, const QColor &color);
void useFont(QPainter &painter, const QFont &font);
// Fills a device rectangle with a colour, without an outline.
void fillDeviceRect(QPainter &painter, int x, int y, int width, int height, const QColor &color);
