#include "report/elements/FrameStrips.h"

#include "report/elements/PagePaint.h"
#include "report/model/RpFrame.h"
#include "report/model/Units.h"
#include "report/pages/RpPrinter.h"

#include <QPainter>
#include <algorithm>

void DrawFrameStrips(TRpPrinter &store, const TRpFrame &frame, long double left, long double top,
    long double right, long double bottom)
{
    QPainter *canvas = store.canvas();
    if (!canvas || !frame.hasLines())
        return;
    const int x1 = store.DeviceX(left);
    const int y1 = store.DeviceY(top);
    const int x2 = store.DeviceX(right);
    const int y2 = store.DeviceY(bottom);
    const int width = x2 - x1;
    const int height = y2 - y1;
    if (width <= 0 || height <= 0)
        return;
    const int horizontal = std::min(frameStripThickness(frame.width(), double(store.yFactor())), height);
    const int vertical = std::min(frameStripThickness(frame.width(), double(store.xFactor())), width);
    QRect strips[4];
    int count = 0;
    if (frame.drawTop() && horizontal > 0)
        strips[count++] = QRect(x1, y1, width, horizontal);
    if (frame.drawBottom() && horizontal > 0)
        strips[count++] = QRect(x1, y2 - horizontal, width, horizontal);
    if (frame.drawLeft() && vertical > 0)
        strips[count++] = QRect(x1, y1, vertical, height);
    if (frame.drawRight() && vertical > 0)
        strips[count++] = QRect(x2 - vertical, y1, vertical, height);
    if (count == 0)
        return;
    useNoPen(*canvas);
    useBrush(*canvas, pageColor(frame.color()));
    canvas->drawRects(strips, count);
    canvas->setBrush(Qt::NoBrush);
}
