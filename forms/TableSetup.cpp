#include "forms/TableSetup.h"

#include "forms/Datamod.h"
#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char *const kFileNames[] = { "Account.dat", "Transaction.dat", "Expence.dat", "Income.dat" };

} // namespace

QString tableLoadErrorText(const QString &path, const QString &storeMessage)
{
    return QStringLiteral("Le fichier \"%1\" n'a pas pu être ouvert ; il est laissé tel quel.\n%2")
        .arg(QDir::toNativeSeparators(path), storeMessage);
}

QString journalWarningText(const QStringList &warnings)
{
    return QStringLiteral("Les dernières modifications enregistrées n'ont pas toutes pu être relues ; "
                          "les données ouvertes contiennent tout le reste.\n%1")
        .arg(warnings.join(QLatin1Char('\n')));
}

int setupFinanceTables(TDataModule1 &module, const QString &dataFolder, QWidget *errorParent)
{
    const auto tables = module.tables();
    const QDir folder(dataFolder);
    for (size_t i = 0; i < tables.size(); ++i)
        tables[i]->setFileName(folder.filePath(QString::fromLatin1(kFileNames[i])));

    // Every existence test runs before any table loads, as the tables are created empty from their
    // definitions when their file is missing.
    for (TMemTable *table : tables) {
        bool exists = true;
        Dialogs::guarded(errorParent, [&] { exists = TCustomMemTable::TableExists(table->FileName()); });
        if (!exists)
            Dialogs::guarded(errorParent, [&] { table->CreateEmpty(); });
    }
    int open = 0;
    QStringList warnings;
    for (TMemTable *table : tables) {
        try {
            table->Open();
            table->setKeepChangeLog(false);
            for (const QString &warning : table->LoadWarnings()) {
                if (!warnings.contains(warning))
                    warnings << warning;
            }
            ++open;
        } catch (const Exception &error) {
            try {
                table->Close();
            } catch (const Exception &) {
                // Nothing was loaded, so there is nothing to lose; the load failure is what the user sees.
            }
            Dialogs::showError(errorParent, tableLoadErrorText(table->FileName(), error.message()));
        }
    }
    // The journal is shared by the four tables: what it lost is told once.
    if (!warnings.isEmpty())
        Dialogs::showError(errorParent, journalWarningText(warnings));
    return open;
}
