#include "forms/FinanceApp.h"
#include "forms/GuardedApplication.h"
#include "platform/Exceptions.h"
#include "preview/RpStandardPreview.h"
#include "print/ReportPrinter.h"
#include "widgets/Dialogs.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ambrel Quillot"));
    // Reports show in the engine's preview and print on the system's printers; where there is none, they
    // print to a PDF file the user names.
    TRpStandardPreviewInterface::install();
    ReportPrinting::installSystemPrinters([](const QString &title) {
        return Dialogs::getSaveFileName(nullptr, QStringLiteral("Print to PDF"),
            title.isEmpty() ? QString() : title + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"));
    });
    try {
        FinanceApp finance(
            FinanceApp::dataFolderFor(QApplication::arguments(), QApplication::applicationDirPath()));
        return finance.run();
    } catch (const Exception &error) {
        Dialogs::showException(nullptr, error);
        return 1;
    }
}
