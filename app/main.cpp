#include "platform/AppPaths.h"
#include "platform/Exceptions.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillot Portable"));
    try {
        const QString data = AppPaths::dataFolder(QApplication::arguments(), QApplication::applicationDirPath());
        AppPaths::ensureFolder(data);
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Quillot Portable"));
        window.resize(640, 480);
        window.show();
        return QApplication::exec();
    } catch (const Exception &error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), error.message());
        return 1;
    }
}
