#include "designer/DesignerScripts.h"
#include "forms/FinanceApp.h"
#include "forms/GuardedApplication.h"
#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ambrel Quillot"));
    installDesignerScripts();
    try {
        FinanceApp finance(
            FinanceApp::dataFolderFor(QApplication::arguments(), QApplication::applicationDirPath()));
        return finance.run();
    } catch (const Exception &error) {
        Dialogs::showException(nullptr, error);
        return 1;
    }
}
