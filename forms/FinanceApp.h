#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class TableSaver;

// The finance program as a unit: creates the data module `DataModule1` and then every window once, hidden,
// in the start-up order (the main window first; its creation sets up the four tables from the Data folder),
// and tears them down in reverse order, the data module last. Used by the program, the tests, the gallery and
// the benchmarks; one instance at a time.
class FinanceApp
{
public:
    // `dataFolder` holds the four table files; it is created when missing (EFCreateError when it cannot be).
    explicit FinanceApp(const QString &dataFolder);
    // Finishes pending rows and writes changed tables (errors in the error box), then destroys the windows
    // in reverse order and the data module last.
    ~FinanceApp();
    FinanceApp(const FinanceApp &) = delete;
    FinanceApp &operator=(const FinanceApp &) = delete;

    // Shows the main window and runs the event loop until the main window closes.
    int run();

    // The Data folder of the running instance (empty when none runs).
    static QString dataFolder();
    // The Data folder the program uses: "--data DIR", or "Data" beside the executable.
    static QString dataFolderFor(const QStringList &arguments, const QString &executableDir);
    // The writer of changed tables of the running instance (nullptr when none runs).
    static TableSaver *saver();

private:
    struct Windows;
    std::unique_ptr<TableSaver> m_saver;
    std::unique_ptr<Windows> m_windows;
};
