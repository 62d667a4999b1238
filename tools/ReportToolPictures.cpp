#include "ReportTool.h"

#include "platform/Exceptions.h"
#include "report/pages/RpPrinter.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <cmath>

namespace ReportTool {

namespace {

constexpr double kPngDpi = 96;

} // namespace

void renderPicture(QPainter &painter, const QPicture &page)
{
    // A picture plays at the painter's device resolution over its own, so it comes out at true size; its
    // bounding rectangle is the paper, whose top-left corner goes to the device's.
    const QRect paper = page.boundingRect();
    const QPaintDevice *device = painter.device();
    const double sx
        = device && page.logicalDpiX() > 0 ? double(device->logicalDpiX()) / page.logicalDpiX() : 1;
    const double sy
        = device && page.logicalDpiY() > 0 ? double(device->logicalDpiY()) / page.logicalDpiY() : 1;
    painter.drawPicture(QPointF(-paper.left() * sx, -paper.top() * sy), page);
}

void renderPng(const QPicture &page, const QString &fileName)
{
    const QRect paper = page.boundingRect();
    const double scale = page.logicalDpiX() > 0 ? kPngDpi / page.logicalDpiX() : 1;
    const QSize size(
        qMax(1, int(std::lround(paper.width() * scale))), qMax(1, int(std::lround(paper.height() * scale))));
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(kPngDpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(kPngDpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderPicture(painter, page);
    painter.end();
    if (!image.save(fileName, "PNG"))
        throw EFCreateError(fileName);
}

QString pngName(int page)
{
    return QStringLiteral("page-%1.png").arg(page, 4, 10, QLatin1Char('0'));
}

void renderPictures(TRpPrinter &store, const QString &folder)
{
    const QDir target(folder);
    for (int n = 1; n <= store.pageCount(); ++n) {
        const std::unique_ptr<QPicture> page = store.CopyPage(n);
        if (!page)
            throw ERpError(QStringLiteral("page %1 cannot be read").arg(n));
        renderPng(*page, target.filePath(pngName(n)));
    }
}

} // namespace ReportTool
