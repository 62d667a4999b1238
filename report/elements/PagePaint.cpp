#include "report/elements/PagePaint.h"

#include "report/model/ReportFont.h"

#include <QPainter>
#include <QPicture>

QColor pageColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (color == clDefault)
        return QColor(Qt::white);
    if (isSystemColor(color)) {
        switch (color & 0xFF) {
        case 5: // window
        case 14: // highlighted text
        case 20: // button highlight
            return QColor(Qt::white);
        case 15: // button face
            return QColor(240, 240, 240);
        case 16: // button shadow
        case 17: // grey text
            return QColor(160, 160, 160);
        case 13: // highlight
            return QColor(0, 120, 215);
        default: // window text, button text and every other text role
            return QColor(Qt::black);
        }
    }
    return QColor(redOf(color), greenOf(color), blueOf(color));
}

QFont pageFont(const ReportFont &font)
{
    QFont result(font.name());
    result.setPointSize(font.size());
    result.setBold(font.style().testFlag(Rp::fsBold));
    result.setItalic(font.style().testFlag(Rp::fsItalic));
    result.setUnderline(font.style().testFlag(Rp::fsUnderline));
    result.setStrikeOut(font.style().testFlag(Rp::fsStrikeOut));
    // Report text is set without kerning, as it is measured on the design surface; fonts that need no
    // shaping for the text at hand then skip the shaping step, which is most of the cost of a text.
    result.setKerning(false);
    result.setStyleStrategy(QFont::PreferNoShaping);
    return result;
}

const QPaintDevice &referenceScreenDevice()
{
    // A picture has the screen's logical resolution, needs no window system and can be used on any thread.
    static const QPicture device;
    return device;
}

void usePen(QPainter &painter, const QColor &color)
{
    const QPen &pen = painter.pen();
    if (pen.style() != Qt::SolidLine || pen.color() != color || pen.widthF() != 0 || !pen.isSolid())
        painter.setPen(QPen(color, 0));
}

void useNoPen(QPainter &painter)
{
    if (painter.pen().style() != Qt::NoPen)
        painter.setPen(Qt::NoPen);
}

void useBrush(QPainter &painter, const QColor &color)
{
    const QBrush &brush = painter.brush();
    if (brush.style() != Qt::SolidPattern || brush.color() != color)
        painter.setBrush(color);
}

void useFont(QPainter &painter, const QFont &font)
{
    if (painter.font() != font)
        painter.setFont(font);
}

void fillDeviceRect(QPainter &painter, int x, int y, int width, int height, const QColor &color)
{
    if (width <= 0 || height <= 0 || color.alpha() == 0)
        return;
    useNoPen(painter);
    useBrush(painter, color);
    painter.drawRect(x, y, width, height);
}
