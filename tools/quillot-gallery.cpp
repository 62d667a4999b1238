// quillot-gallery OUTDIR: renders the program's controls to PNG files on the offscreen platform, so their
// look can be checked without a screen.
#include "GalleryTool.h"

#include "designer/DesignerScripts.h"
#include "platform/RegionalSettings.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The finance windows are French: show them with French regional settings whatever the machine's.
    RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(QLocale::French, QLocale::France)));
    // The designer's functions and the runs of designed reports, as the program has them from its start.
    installDesignerScripts();
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: quillot-gallery OUTDIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        err << "cannot create " << out.path() << "\n";
        return 1;
    }
    int written = 0;
    bool ok = Gallery::renderButtons(out, written) && Gallery::renderPanels(out, written)
        && Gallery::renderDataControls(out, written) && Gallery::renderFinanceWindows(out, written)
        && Gallery::renderReportDataWindows(out, written) && Gallery::renderReadyReports(out, written)
        && Gallery::renderPrintedLists(out, written) && Gallery::renderDesigner(out, written)
        && Gallery::renderPropertyDialogs(out, written) && Gallery::renderWizardPages(out, written);
    QTextStream(stdout) << written << " pictures written to " << out.path() << "\n";
    return ok ? 0 : 1;
}
