#include "ReportTool.h"

#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/streaming/ReportRegistry.h"
#include "report/streaming/StreamObjects.h"

#include <QFileInfo>
#include <map>
#include <memory>

namespace ReportTool {

namespace {

// The objects a block refers to outside itself (the report's data module and its datasets) are not at hand
// when a block is converted alone: each qualified reference "Module.Object" gets a stand-in of that name,
// so that converting keeps the reference instead of dropping it.
class StandIns
{
public:
    QObject *resolve(const QString &reference)
    {
        const QStringList parts = reference.split(u'.');
        if (parts.size() != 2 || !isStreamIdentifier(parts[0]) || !isStreamIdentifier(parts[1]))
            return nullptr;
        std::unique_ptr<QObject> &owner = m_owners[parts[0]];
        if (!owner) {
            owner = std::make_unique<QObject>();
            owner->setObjectName(parts[0]);
        }
        if (QObject *found = owner->findChild<QObject *>(parts[1], Qt::FindDirectChildrenOnly))
            return found;
        auto *made = new QObject(owner.get());
        made->setObjectName(parts[1]);
        return made;
    }

private:
    std::map<QString, std::unique_ptr<QObject>> m_owners;
};

} // namespace

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
        StandIns standIns;
        StreamReadOptions options;
        options.resolveExternal = [&standIns](const QString &reference) { return standIns.resolve(reference); };
        const std::unique_ptr<QObject> root = readComponent(bytes, options);
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
