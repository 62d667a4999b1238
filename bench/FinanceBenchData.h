#pragma once

// A Data folder for the finance benchmarks: N accounts and M transactions spread evenly over them (account
// k receives every N-th transaction), written through the store as the program writes them, plus a few
// income and expense designations. Each account's balance is the sum of its transactions.
//
//     QTemporaryDir folder;
//     FinanceBenchData::write(folder.path(), 1000, 1000000);
//     FinanceApp app(folder.path());

#include "platform/DateTime.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QString>
#include <vector>

namespace FinanceBenchData {

inline void writeTable(
    const QString &path, const TFieldDefs &defs, const std::function<void(TMemTable &)> &fill)
{
    TMemTable table;
    table.setObjectName(QStringLiteral("bench"));
    table.FieldDefs() = defs;
    table.setFileName(path);
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    {
        ObserverSuspension quiet(table);
        fill(table);
    }
    table.Close();
}

inline void write(const QString &dataFolder, int accounts, int transactions)
{
    QDir().mkpath(dataFolder);
    const QDir dir(dataFolder);
    std::vector<double> balances(size_t(accounts), 0.0);
    writeTable(
        dir.filePath(QStringLiteral("Transaction.dat")), FinanceTables::transactionDefs(), [&](TMemTable &t) {
            TField *description = t.FieldNamed(QStringLiteral("Transaction_Description"));
            TField *date = t.FieldNamed(QStringLiteral("Transaction_Date"));
            TField *amount = t.FieldNamed(QStringLiteral("Transaction_Amount"));
            TField *account = t.FieldNamed(QStringLiteral("Account_Number"));
            const TDateTime firstDay = 43831; // 1 January 2020
            for (int i = 0; i < transactions; ++i) {
                const int owner = i % accounts;
                const double value = ((i * 7919) % 200001 - 100000) / 100.0;
                t.AppendRow();
                description->setAsString(
                    i % 3 == 0 ? QStringLiteral("Salaire") : QStringLiteral("Courses du marché"));
                date->setAsDateTime(firstDay + (i / accounts) % 2000);
                amount->setAsNumber(value);
                account->setAsInteger(owner + 1);
                t.Post();
                balances[size_t(owner)] += value;
            }
        });
    writeTable(dir.filePath(QStringLiteral("Account.dat")), FinanceTables::accountDefs(), [&](TMemTable &t) {
        TField *type = t.FieldNamed(QStringLiteral("Account_Type"));
        TField *balance = t.FieldNamed(QStringLiteral("Account_Balance"));
        for (int i = 0; i < accounts; ++i) {
            t.AppendRow();
            type->setAsString(QStringLiteral("Compte %1").arg(i + 1));
            balance->setAsNumber(balances[size_t(i)]);
            t.Post();
        }
    });
    writeTable(dir.filePath(QStringLiteral("Income.dat")), FinanceTables::incomeDefs(), [](TMemTable &t) {
        for (const char *name : { "Salaire", "Prime", "Remboursement" }) {
            t.AppendRow();
            t.FieldNamed(QStringLiteral("Income_Description"))->setAsString(QString::fromUtf8(name));
            t.Post();
        }
    });
    writeTable(dir.filePath(QStringLiteral("Expence.dat")), FinanceTables::expenceDefs(), [](TMemTable &t) {
        for (const char *name : { "Courses", "Loyer", "Essence", "Électricité" }) {
            t.AppendRow();
            t.FieldNamed(QStringLiteral("Expence_Description"))->setAsString(QString::fromUtf8(name));
            t.Post();
        }
    });
}

} // namespace FinanceBenchData
