#pragma once

#include "forms/Datamod.h"
#include "platform/DateTime.h"

#include <QString>
#include <memory>

// A data module of its own with the four tables created empty in memory (no files), for the plain logic of
// the account detail window and the transfer.
class LedgerTestData
{
public:
    LedgerTestData()
        : module(std::make_unique<TDataModule1>())
    {
        for (TMemTable *table : module->tables()) {
            table->CreateEmpty();
            table->setKeepChangeLog(false);
        }
    }

    TDataModule1 &data() { return *module; }

    int addAccount(const QString &name, double balance)
    {
        TMemTable &accounts = *module->tblAccount;
        accounts.AppendRow();
        module->tblAccountAccount_Type->setAsString(name);
        module->tblAccountAccount_Balance->setAsNumber(balance);
        accounts.Post();
        return module->tblAccountAccount_Number->AsInteger();
    }

    // A transaction of the account with this number; the account becomes current.
    void addTransaction(int account, const QString &description, double amount, TDateTime date = 45000)
    {
        locate(account);
        module->tblTransaction->AppendRow();
        module->tblTransactionAccount_Number->setAsInteger(account);
        module->tblTransactionTransaction_Description->setAsString(description);
        module->tblTransactionTransaction_Amount->setAsNumber(amount);
        module->tblTransactionTransaction_Date->setAsDateTime(date);
        module->tblTransaction->Post();
    }

    void locate(int account) { module->tblAccount->FindRow(QStringLiteral("Account_Number"), { account }); }

    double balance(int account)
    {
        locate(account);
        return module->tblAccountAccount_Balance->AsNumber();
    }

    // The transactions of the account with this number as "description=amount" texts, in list order.
    QStringList rows(int account)
    {
        locate(account);
        QStringList result;
        TMemTable &transactions = *module->tblTransaction;
        for (transactions.First(); !transactions.AtEnd(); transactions.Next())
            result << module->tblTransactionTransaction_Description->AsString() + QLatin1Char('=')
                    + QString::number(module->tblTransactionTransaction_Amount->AsNumber());
        return result;
    }

    std::unique_ptr<TDataModule1> module;
};
