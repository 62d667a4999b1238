#include "ReportTool.h"

#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/ReportRegistry.h"
#include "report/StreamObjects.h"

#include <QFileInfo>

namespace ReportTool {

int convert(const QStringList &arguments)
{
    if (arguments.size() != 2) {
        printError(QStringLiteral("usage: quillot-report convert IN OUT"));
        return 2;
    }
    const QString &in = arguments[0];
    const QString &out = arguments[1];
    try {
        registerAll();
        const QByteArray bytes = FileIO::readAll(in);
        const std::unique_ptr<QObject> root = readComponent(bytes);
        const bool text = QFileInfo(out).suffix().compare(u"txt", Qt::CaseInsensitive) == 0;
        const QByteArray written = text ? writeComponentText(root.get()) : writeComponentResource(root.get());
        FileIO::writeAtomically(out, written);
    } catch (const Exception &error) {
        printError(QStringLiteral("%1: %2").arg(in, error.message()));
        return 1;
    }
    return 0;
}

} // namespace ReportTool
