#include "forms/AccountRows.h"

#include "forms/Datamod.h"

#include <QDebug>

namespace AccountRows {

bool locateAccount(TDataModule1 &data, int accountNumber)
{
    TMemTable &accounts = *data.tblAccount;
    if (accounts.State() != dsBrowse || accounts.IsEmpty()
        || data.tblAccountAccount_Number->AsInteger() != accountNumber)
        return accounts.FindRow(QStringLiteral("Account_Number"), { accountNumber });
    return true;
}

void setBalance(TDataModule1 &data, double balance)
{
    TMemTable &accounts = *data.tblAccount;
    try {
        accounts.Edit();
        data.tblAccountAccount_Balance->setAsNumber(balance);
        accounts.Post();
    } catch (...) {
        accounts.Cancel();
        throw;
    }
}

int postTransaction(TDataModule1 &data, const QString &description, double amount, TDateTime date)
{
    TMemTable &transactions = *data.tblTransaction;
    try {
        transactions.Insert();
        data.tblTransactionAccount_Number->setAsInteger(data.tblAccountAccount_Number->AsInteger());
        data.tblTransactionTransaction_Description->setAsString(description);
        data.tblTransactionTransaction_Amount->setAsNumber(amount);
        data.tblTransactionTransaction_Date->setAsDateTime(date);
        // The store gives the new row the next number; a filter may hide the row once posted, so the number
        // is taken here rather than read back from the current row.
        const int number = transactions.store()->nextAutoIncValue();
        transactions.Post();
        return number;
    } catch (...) {
        transactions.Cancel();
        throw;
    }
}

bool deleteTransaction(TDataModule1 &data, int accountNumber, int transactionNumber)
{
    if (!locateAccount(data, accountNumber))
        return false;
    TMemTable &transactions = *data.tblTransaction;
    FilterSuspension unfiltered(transactions);
    if (!transactions.FindRow(QStringLiteral("Transaction_Number"), { transactionNumber }))
        return false;
    transactions.Delete();
    return true;
}

FilterSuspension::FilterSuspension(TMemTable &table)
    : m_table(table)
    , m_filtered(table.Filtered())
{
    if (m_filtered)
        m_table.setFiltered(false);
}

FilterSuspension::~FilterSuspension()
{
    if (!m_filtered)
        return;
    try {
        m_table.setFiltered(true);
    } catch (const Exception &error) {
        // The same text was in force before the scope, so this cannot fail for its own reasons; a failure
        // here leaves the list unfiltered, which hides nothing from the user.
        qWarning("Cannot put the transaction filter back: %s", error.what());
    }
}

} // namespace AccountRows
