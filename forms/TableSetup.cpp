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

int setupFinanceTables(TDataModule1 &module, const QString &dataFolder, QWidget *errorParent)
{
    const auto tables = module.tables();
    const QDir folder(dataFolder);
    for (size_t i = 0; i < tables.size(); ++i)
        tables[i]->setFileName(folder.filePath(QString::fromLatin1(kFileNames[i])));

    // Every existence test runs before any table loads, as the tables are created empty from their
    // definitions when their file is missing.
    for (TMemTable *table : tables) {
        if (!QFileInfo::exists(table->FileName()))
            Dialogs::guarded(errorParent, [&] { table->CreateEmpty(); });
    }
    int open = 0;
    for (TMemTable *table : tables) {
        try {
            table->Open();
            table->setKeepChangeLog(false);
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
    return open;
}
