#include "forms/TransactionEntry.h"

#include "forms/Datamod.h"
#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

#include <QVariantList>
#include <exception>

namespace TransactionEntry {

namespace {

// Shows every row of a table for a scope, whatever its filter hides, and puts the filter back at the end.
class FilterSuspension
{
public:
    explicit FilterSuspension(TMemTable &table)
        : m_table(table)
        , m_wasFiltered(table.Filtered())
        , m_uncaught(std::uncaught_exceptions())
    {
        if (m_wasFiltered)
            m_table.setFiltered(false);
    }
    // Putting the filter back may fail; that is raised unless another error is already leaving the scope.
    ~FilterSuspension() noexcept(false)
    {
        if (!m_wasFiltered)
            return;
        if (std::uncaught_exceptions() == m_uncaught) {
            m_table.setFiltered(true);
            return;
        }
        try {
            m_table.setFiltered(true);
        } catch (const Exception &) {
            // The error already on its way is the one the user must see.
        }
    }
    FilterSuspension(const FilterSuspension &) = delete;
    FilterSuspension &operator=(const FilterSuspension &) = delete;

private:
    TMemTable &m_table;
    bool m_wasFiltered;
    int m_uncaught;
};

void cancelStartedRow(TMemTable &table)
{
    try {
        table.Cancel();
    } catch (const Exception &) {
        // The error that made us cancel is the one shown.
    }
}

} // namespace

QString noAccountMessage()
{
    return QStringLiteral("Aucun compte n'existe encore : créez d'abord un compte dans « Détail du compte ».");
}

double storedAmount(Kind kind, double typed)
{
    // 0.0 - x negates like x * -1 except for zero, which stays +0.
    return kind == Kind::Expense ? 0.0 - typed : typed;
}

double movedBalance(bool balanceEmpty, double balance, double amount)
{
    return (balanceEmpty ? 0.0 : balance) + amount;
}

bool beginTransactionEntry(QWidget *parent)
{
    TMemTable &accounts = *DataModule1->tblAccount;
    TMemTable &transactions = *DataModule1->tblTransaction;
    bool hasAccount = false;
    // A name or balance typed into the account grid belongs to the account it was typed for: post it
    // before the new transaction takes the account's number.
    if (!Dialogs::guarded(parent, [&] {
            accounts.FinishPendingRow();
            hasAccount = !accounts.IsEmpty();
        }))
        return false;
    if (!hasAccount) {
        Dialogs::showInformation(parent, noAccountMessage());
        return false;
    }
    try {
        transactions.Insert();
        return true;
    } catch (const Exception &error) {
        cancelStartedRow(transactions);
        Dialogs::showException(parent, error);
        return false;
    }
}

int recordTransaction(TDataModule1 &data, Kind kind)
{
    TMemTable &transactions = *data.tblTransaction;
    TMemTable &accounts = *data.tblAccount;
    // An accelerator click leaves the focus in the edit: its text must reach the row before it is read.
    transactions.UpdateRecord();
    if (accounts.IsEmpty())
        throw Exception(noAccountMessage());
    data.tblTransactionAccount_Number->setAsInteger(data.tblAccountAccount_Number->AsInteger());
    TCurrencyField &amountField = *data.tblTransactionTransaction_Amount;
    const double amount = storedAmount(kind, amountField.AsNumber());
    if (kind == Kind::Expense)
        amountField.setAsNumber(amount);
    // The number the table gives the row when it is posted; kept to find the row again, since after the
    // post a filter may hide it and another row be current.
    const int number = transactions.store()->nextAutoIncValue();
    transactions.Post();
    try {
        accounts.Edit();
        TCurrencyField &balance = *data.tblAccountAccount_Balance;
        balance.setAsNumber(movedBalance(balance.IsNullValue(), balance.AsNumber(), amount));
        accounts.Post();
    } catch (const Exception &error) {
        cancelStartedRow(accounts);
        try {
            deleteTransactionByNumber(transactions, number);
        } catch (const Exception &cleanup) {
            throw Exception(error.message() + QLatin1Char('\n') + cleanup.message());
        }
        throw;
    }
    return number;
}

bool deleteTransactionByNumber(TMemTable &transactions, int transactionNumber)
{
    FilterSuspension allRows(transactions);
    if (!transactions.FindRow(QStringLiteral("Transaction_Number"), QVariantList { transactionNumber }))
        return false;
    transactions.Delete();
    return true;
}

} // namespace TransactionEntry
