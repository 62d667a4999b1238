#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <map>
#include <memory>

class ReportFileEngine;

// What a file given to quillot-report holds, recognised by its content.
namespace ReportTool {

enum class InputKind {
    ReportFile, // a whole report file: it starts with the file header block
    TextBlock, // one object block in text notation
    ResourceBlock, // one object block in the resource form
    PageFile, // a page file of a preview
    Unknown
};

InputKind recognise(const QByteArray &bytes);

// The objects a report refers to outside itself (its data module's datasets, the application's tables) are
// not at hand when a report is converted: each qualified reference "Module.Object" gets a stand-in of that
// name, so that converting keeps the reference instead of dropping it.
class StandIns
{
public:
    QObject *resolve(const QString &reference);

private:
    std::map<QString, std::unique_ptr<QObject>> m_owners;
};

// Loads a report file or a single report block (wrapped in a new file) into the engine. A page file or
// anything else unreadable raises.
void loadReport(ReportFileEngine &engine, const QByteArray &bytes, const QString &fileName);

} // namespace ReportTool
