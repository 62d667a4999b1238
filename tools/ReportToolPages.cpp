#include "ReportTool.h"

#include "platform/Exceptions.h"
#include "report/pages/RpPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPicture>
#include <QTextStream>

namespace ReportTool {

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
            // The pictures are made at 96 dpi, whatever the screen's resolution the pages were recorded at.
            if (png)
                renderPng(*picture, target.filePath(pngName(n)));
        }
    } catch (const Exception &error) {
        printError(QStringLiteral("%1: %2").arg(fileName, error.message()));
        return 1;
    }
    return 0;
}

} // namespace ReportTool
