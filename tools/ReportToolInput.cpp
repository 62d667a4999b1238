#include "ReportToolInput.h"

#include "report/files/ReportFile.h"
#include "report/notation/StreamTree.h"
#include "report/pages/PageStore.h"
#include "report/streaming/ReportRegistry.h"

namespace ReportTool {

namespace {

const QString kHeaderClass = QStringLiteral("TComponentFileHeader");

bool looksLikePageFile(const QByteArray &bytes)
{
    // The page file header starts with the 16-bit values 3 and 350.
    return bytes.size() >= PageFileHeader::kSize && bytes.startsWith(QByteArray("\x03\x00\x5E\x01", 4));
}

} // namespace

InputKind recognise(const QByteArray &bytes)
{
    if (looksLikePageFile(bytes))
        return InputKind::PageFile;
    try {
        const StreamObject first = readObjectBlock(bytes);
        if (first.className.compare(kHeaderClass, Qt::CaseInsensitive) == 0)
            return InputKind::ReportFile;
        return !bytes.isEmpty() && quint8(bytes[0]) == 0xFF ? InputKind::ResourceBlock : InputKind::TextBlock;
    } catch (const EStreamError &) {
        return InputKind::Unknown;
    }
}

QObject *StandIns::resolve(const QString &reference)
{
    const QStringList parts = reference.split(u'.');
    if (parts.size() != 2 || !isStreamIdentifier(parts[0]) || !isStreamIdentifier(parts[1]))
        return nullptr;
    std::unique_ptr<QObject> &owner = m_owners[parts[0].toLower()];
    if (!owner) {
        owner = std::make_unique<QObject>();
        owner->setObjectName(parts[0]);
    }
    for (QObject *child : owner->children()) {
        if (child->objectName().compare(parts[1], Qt::CaseInsensitive) == 0)
            return child;
    }
    auto *made = new QObject(owner.get());
    made->setObjectName(parts[1]);
    return made;
}

void loadReport(ReportFileEngine &engine, const QByteArray &bytes, const QString &fileName)
{
    switch (recognise(bytes)) {
    case InputKind::ReportFile:
        engine.LoadReportStream(bytes);
        return;
    case InputKind::PageFile:
        throw EStreamError(QStringLiteral("a page file is not a report"));
    case InputKind::TextBlock:
    case InputKind::ResourceBlock: {
        // A single report block is wrapped in a new file; a block of another kind is no report.
        const StreamObject block = readObjectBlock(bytes);
        const std::unique_ptr<QObject> probe(reportClasses().create(block.className));
        if (!qobject_cast<TCustomRpReport *>(probe.get()))
            throw EStreamError(QStringLiteral("the block of class %1 is not a report").arg(block.className));
        engine.ReadComponentBlock(bytes, 0, engine.report());
        return;
    }
    case InputKind::Unknown:
        break;
    }
    // Read as a block again, so that the reader names what is wrong.
    readObjectBlock(bytes);
    throw EStreamError(QStringLiteral("%1 is not a report").arg(fileName));
}

} // namespace ReportTool
