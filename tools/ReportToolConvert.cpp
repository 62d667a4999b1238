// quillot-report convert IN OUT: OUT's extension picks the form. ".RP2": a whole report file in text
// notation, read and written as the designer does (a single report block read from IN is wrapped in a new
// file);
// ".txt": the report block in text notation; anything else: the report block in the resource form. IN is
// recognised by its content. Converting the output again gives the same bytes.
#include "ReportTool.h"
#include "ReportToolInput.h"

#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/files/ReportFile.h"
#include "report/streaming/ReportRegistry.h"
#include "report/streaming/StreamObjects.h"

#include <QFileInfo>
#include <memory>

namespace ReportTool {

namespace {

enum class OutputForm { ReportFile, Text, Resource };

OutputForm formFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.compare(u"rp2", Qt::CaseInsensitive) == 0)
        return OutputForm::ReportFile;
    if (suffix.compare(u"txt", Qt::CaseInsensitive) == 0)
        return OutputForm::Text;
    return OutputForm::Resource;
}

QByteArray convertBytes(const QByteArray &bytes, const QString &in, OutputForm form)
{
    StandIns standIns;
    const InputKind kind = recognise(bytes);
    if (kind == InputKind::PageFile)
        throw EStreamError(QStringLiteral("a page file is not a report"));
    if (form == OutputForm::ReportFile || kind == InputKind::ReportFile) {
        // The file's own printer settings are kept: a conversion changes nothing of the report.
        ReportFileEngine engine;
        engine.setSaveLoadPrinterSetup(true);
        engine.resolveUnknown = [&standIns](const QString &reference) { return standIns.resolve(reference); };
        loadReport(engine, bytes, in);
        if (form == OutputForm::ReportFile) {
            QByteArray out;
            if (!engine.SaveReportStream(out))
                throw EStreamError(QStringLiteral("the report cannot be written"));
            return out;
        }
        const StreamObject block = engine.reportBlock();
        return form == OutputForm::Text ? engine.WriteComponentBlock(block) : writeObjectResource(block);
    }
    StreamReadOptions options;
    options.resolveExternal = [&standIns](const QString &reference) { return standIns.resolve(reference); };
    const std::unique_ptr<QObject> root = readComponent(bytes, options);
    return form == OutputForm::Text ? writeComponentText(root.get()) : writeComponentResource(root.get());
}

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
        registerDesignClasses();
        const QByteArray written = convertBytes(FileIO::readAll(in), in, formFor(out));
        FileIO::writeAtomically(out, written);
    } catch (const Exception &error) {
        printError(QStringLiteral("%1: %2").arg(in, error.message()));
        return 1;
    }
    return 0;
}

} // namespace ReportTool
