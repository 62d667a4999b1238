#include "designer/DesignerGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 20;

void blocks(QPainter &p, const QList<QRect> &rects)
{
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(90, 140, 210));
    for (const QRect &r : rects)
        p.drawRect(r);
}

void line(QPainter &p, int x1, int y1, int x2, int y2)
{
    p.setPen(QPen(QColor(200, 40, 40), 1, Qt::DashLine));
    p.drawLine(x1, y1, x2, y2);
}

void text(QPainter &p, const QString &t, int pixelSize = 9, bool bold = true)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, t);
}

void page(QPainter &p)
{
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(4, 2, 12, 16);
}

void draw(QPainter &p, const QString &name)
{
    if (name == QLatin1String("new")) {
        page(p);
    } else if (name == QLatin1String("open")) {
        p.setPen(QColor(120, 90, 20));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(2, 6, 16, 11);
        p.drawRect(2, 4, 7, 3);
    } else if (name == QLatin1String("save")) {
        p.setPen(QColor(30, 30, 80));
        p.setBrush(QColor(70, 90, 170));
        p.drawRect(3, 3, 14, 14);
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 8, 5);
    } else if (name == QLatin1String("print")) {
        p.setPen(QColor(50, 50, 50));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(2, 8, 16, 7);
        p.setBrush(Qt::white);
        p.drawRect(5, 3, 10, 6);
    } else if (name == QLatin1String("preview")) {
        page(p);
        p.setPen(QPen(QColor(30, 30, 30), 2));
        p.drawEllipse(8, 8, 6, 6);
        p.drawLine(13, 13, 17, 17);
    } else if (name == QLatin1String("cut")) {
        text(p, QStringLiteral("✂"), 14, false);
    } else if (name == QLatin1String("copy")) {
        blocks(p, { QRect(3, 3, 9, 11), QRect(8, 7, 9, 11) });
    } else if (name == QLatin1String("paste")) {
        p.setPen(QColor(120, 90, 20));
        p.setBrush(QColor(220, 180, 110));
        p.drawRect(3, 4, 12, 14);
        p.setBrush(Qt::white);
        p.drawRect(8, 8, 9, 10);
    } else if (name == QLatin1String("back")) {
        blocks(p, { QRect(8, 8, 9, 9) });
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(3, 3, 9, 9);
    } else if (name == QLatin1String("front")) {
        p.setPen(QColor(40, 40, 40));
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(8, 8, 9, 9);
        blocks(p, { QRect(3, 3, 9, 9) });
    } else if (name == QLatin1String("align-left")) {
        blocks(p, { QRect(3, 3, 12, 5), QRect(3, 11, 8, 5) });
        line(p, 2, 1, 2, 18);
    } else if (name == QLatin1String("align-right")) {
        blocks(p, { QRect(4, 3, 12, 5), QRect(8, 11, 8, 5) });
        line(p, 17, 1, 17, 18);
    } else if (name == QLatin1String("align-top")) {
        blocks(p, { QRect(3, 3, 5, 12), QRect(11, 3, 5, 8) });
        line(p, 1, 2, 18, 2);
    } else if (name == QLatin1String("align-bottom")) {
        blocks(p, { QRect(3, 4, 5, 12), QRect(11, 8, 5, 8) });
        line(p, 1, 17, 18, 17);
    } else if (name == QLatin1String("center-h")) {
        blocks(p, { QRect(3, 3, 13, 5), QRect(6, 11, 7, 5) });
        line(p, 9, 1, 9, 18);
    } else if (name == QLatin1String("center-v")) {
        blocks(p, { QRect(3, 3, 5, 13), QRect(11, 6, 5, 7) });
        line(p, 1, 9, 18, 9);
    } else if (name == QLatin1String("band-h")) {
        p.setPen(QColor(120, 120, 120));
        p.drawRect(1, 4, 17, 11);
        blocks(p, { QRect(6, 7, 7, 5) });
    } else if (name == QLatin1String("band-v")) {
        p.setPen(QColor(120, 120, 120));
        p.drawRect(4, 1, 11, 17);
        blocks(p, { QRect(7, 6, 5, 7) });
    } else if (name == QLatin1String("space-h")) {
        blocks(p, { QRect(1, 6, 4, 8), QRect(8, 6, 4, 8), QRect(15, 6, 4, 8) });
    } else if (name == QLatin1String("space-v")) {
        blocks(p, { QRect(6, 1, 8, 4), QRect(6, 8, 8, 4), QRect(6, 15, 8, 4) });
    } else if (name == QLatin1String("exit")) {
        p.setPen(QPen(QColor(180, 30, 30), 2));
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
    } else if (name == QLatin1String("select")) {
        QPainterPath arrow;
        arrow.moveTo(5, 2);
        arrow.lineTo(5, 17);
        arrow.lineTo(9, 13);
        arrow.lineTo(12, 18);
        arrow.lineTo(14, 17);
        arrow.lineTo(11, 12);
        arrow.lineTo(16, 12);
        arrow.closeSubpath();
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    } else if (name == QLatin1String("shape")) {
        p.setPen(QColor(30, 30, 30));
        p.setBrush(QColor(250, 210, 90));
        p.drawEllipse(3, 4, 14, 12);
    } else if (name == QLatin1String("image") || name == QLatin1String("dbimage")) {
        p.setPen(QColor(30, 30, 30));
        p.setBrush(QColor(140, 200, 240));
        p.drawRect(2, 4, 16, 12);
        p.setBrush(QColor(60, 150, 60));
        p.drawPolygon(
            QPolygon({ QPoint(3, 15), QPoint(8, 9), QPoint(12, 13), QPoint(17, 7), QPoint(17, 15) }));
        if (name == QLatin1String("dbimage"))
            text(p, QStringLiteral("DB"), 7);
    } else if (name.startsWith(QLatin1String("text:"))) {
        text(p, name.mid(5), name.size() > 7 ? 7 : 9);
    } else {
        text(p, name.left(2), 8);
    }
}

} // namespace

QIcon designerGlyph(const QString &name)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter, name);
    painter.end();
    return QIcon(pixmap);
}
