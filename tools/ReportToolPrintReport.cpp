#include "ReportTool.h"
#include "ReportToolData.h"
#include "ReportToolInput.h"

#include "designer/ReportDesignerDialog.h"
#include "platform/FileIO.h"
#include "report/files/DesignerSettings.h"
#include "report/generation/RunReport.h"

#include <QTemporaryDir>

namespace ReportTool {

void setUpAsTheReportsWindow(TReportDesignerDialog &dialog)
{
    // What the reports window sets that a run depends on: the application's data, the dialog's PrintIfEmpty,
    // nothing run in advance, and the printer settings of the settings file rather than of the report file.
    dialog.setUseDataModules(true);
    dialog.setUseCurrentDatasets(false);
    dialog.setSaveLoadPrinterSetup(false);
    dialog.setScriptsEnabled(true);
    dialog.setPrepareAutomatically(false);
    dialog.setPrintIfEmpty(true);
    dialog.setUsePrinterSettings(false);
    dialog.setUseModalPreview(false);
}

bool runAsTheReportsWindow(
    const QByteArray &bytes, const QString &settings, const std::function<void(TDesignRpReport &report)> &run)
{
    // The reports window loads report files from a file; a single block read from the input is wrapped in a
    // file first.
    QByteArray whole = bytes;
    if (recognise(bytes) != InputKind::ReportFile) {
        ReportFileEngine engine;
        engine.setSaveLoadPrinterSetup(true);
        loadReport(engine, bytes, QStringLiteral("the input"));
        if (!engine.SaveReportStream(whole))
            return false;
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.rp2"));
    FileIO::writeAtomically(file, whole);
    TRpDesignerSettings::setFileName(settings);
    TReportDesignerDialog dialog;
    setUpAsTheReportsWindow(dialog);
    TReportPrinterDialog::setPreviewRunner([&run](TDesignRpReport &report, bool, bool) { run(report); });
    const bool loaded = dialog.PreviewReport(file);
    TReportPrinterDialog::setPreviewRunner({});
    return loaded;
}

int printReport(const QByteArray &bytes, const PrintOptions &options)
{
    if (options.dataDir.isEmpty()) {
        printError(QStringLiteral("a report is printed over the tables of --data DIR"));
        return 2;
    }
    DataFolder data(options.dataDir);
    QString error;
    const bool loaded = runAsTheReportsWindow(bytes, options.settings, [&](TDesignRpReport &report) {
        // The answers of the print setup dialog.
        TRpReportPrinterSettings &settings = *report.printerSettings();
        settings.setFirstPage(options.firstPage);
        settings.setLastPage(options.lastPage);
        if (options.copies > 0)
            settings.setCopies(options.copies);
        settings.setCollate(options.collate);
        report.setShowProgress(false);
        try {
            PrintReport(report);
        } catch (const Exception &e) {
            error = e.message();
        }
    });
    if (!loaded) {
        printError(QStringLiteral("%1: the report cannot be read").arg(options.input));
        return 1;
    }
    if (!error.isEmpty()) {
        printError(QStringLiteral("%1: %2").arg(options.input, error));
        return 1;
    }
    return 0;
}

} // namespace ReportTool
