#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class TDataModule1;

// Points the four finance tables at their files in `dataFolder` ("Account.dat", "Transaction.dat",
// "Expence.dat", "Income.dat"), creates an empty table for every missing file (all four tests before any
// table is opened), then opens each table and switches its change log off. Each table is guarded on its own:
// a missing or damaged file does not stop the others from opening. A file that cannot be loaded is reported
// in the error box with its path and the store's message; its table stays closed, so the file is never
// overwritten. A table is there when its file or the change journal beside it holds it; what the journal
// could not give back (a cut-off last record, damaged bytes) is shown once in the error box. Returns the
// number of tables that are open.
int setupFinanceTables(TDataModule1 &module, const QString &dataFolder, QWidget *errorParent);

// The message shown for a table file that cannot be loaded.
QString tableLoadErrorText(const QString &path, const QString &storeMessage);
// The message shown when the change journal had damaged or cut-off records (each warning names the bytes).
QString journalWarningText(const QStringList &warnings);
