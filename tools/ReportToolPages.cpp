#include "ReportTool.h"

#include "platform/Exceptions.h"
#include "report/pages/RpPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTextStream>
#include <cmath>

namespace ReportTool {

namespace {

constexpr double kPngDpi = 96;

void renderPage(const QPicture &picture, double scale, const QString &fileName)
{
    const QRect page = picture.boundingRect();
    const QSize size(
        qMax(1, int(std::lround(page.width() * scale))), qMax(1, int(std::lround(page.height() * scale))));
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(kPngDpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(kPngDpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(-page.topLeft());
    painter.drawPicture(0, 0, picture);
    painter.end();
    if (!image.save(fileName, "PNG"))
        throw EFCreateError(fileName);
}

} // namespace

int pages(const QStringList &arguments)
{
    const bool png = arguments.size() == 3 && arguments[1] == QLatin1String("--png");
    if (arguments.size() != 1 && !png) {
        printError(QStringLiteral("usage: quillot-report pages FILE.RPP [--png DIR]"));
        return 2;
    }
    const QString &fileName = arguments[0];
    try {
        if (!QFileInfo::exists(fileName))
            throw EFOpenError(fileName);
        TRpPrinter store;
        store.LoadPages(fileName);
        const QDir target(png ? arguments[2] : QString());
        if (png && !QDir().mkpath(target.path()))
            throw EFCreateError(target.path());
        // Pages are recorded at the screen's resolution; the images are made at 96 dpi.
        const double scale = kPngDpi / TRpPrinter::screenPixelsPerInch();
        QTextStream out(stdout);
        out << "pages: " << store.pageCount() << '\n'
            << "compressed: " << (store.compression() ? "yes" : "no") << '\n';
        for (int n = 1; n <= store.pageCount(); ++n) {
            const std::unique_ptr<QPicture> picture = store.CopyPage(n);
            if (!picture)
                throw ERpError(QStringLiteral("page %1 cannot be read").arg(n));
            const QRect page = picture->boundingRect();
            out << "page " << n << ": " << page.width() << " x " << page.height() << " pixels, "
                << picture->size() << " bytes\n";
            if (png)
                renderPage(*picture, scale,
                    target.filePath(QStringLiteral("page-%1.png").arg(n, 4, 10, QLatin1Char('0'))));
        }
    } catch (const Exception &error) {
        printError(QStringLiteral("%1: %2").arg(fileName, error.message()));
        return 1;
    }
    return 0;
}

} // namespace ReportTool
