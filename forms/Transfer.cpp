#include "forms/Transfer.h"

#include "forms/AccountRows.h"
#include "forms/Datamod.h"
#include "platform/RegionalSettings.h"

#include <QDebug>
#include <vector>

namespace Transfer {

QString refusal(const std::optional<Account> &from, const std::optional<Account> &to)
{
    if (!from)
        return kNoFromAccount;
    if (!to)
        return kNoToAccount;
    if (from->number == to->number)
        return kSameAccount;
    return QString();
}

double amountOf(const QString &text)
{
    return RegionalSettings::current().strToFloat(text);
}

bool isTransferDescription(const QString &description)
{
    return description.contains(kMarker);
}

Row sourceRow(const Account &from, const Account &to, double amount)
{
    return { from.number, kFromPrefix + to.name, amount * -1 };
}

Row destinationRow(const Account &from, const Account &to, double amount)
{
    return { to.number, kToPrefix + from.name, amount };
}

namespace {

struct SavedBalance
{
    int accountNumber;
    double balance;
};

// What a transfer has written so far, to be taken back when a later step fails.
struct Written
{
    std::vector<SavedBalance> balances;
    std::vector<std::pair<int, int>> rows; // account number, transaction number
};

void locate(TDataModule1 &data, int accountNumber, const QString &missing)
{
    if (!AccountRows::locateAccount(data, accountNumber))
        throw Exception(missing);
}

void writeHalf(TDataModule1 &data, const Row &row, TDateTime date, const QString &missing, Written &written)
{
    locate(data, row.accountNumber, missing);
    written.rows.emplace_back(
        row.accountNumber, AccountRows::postTransaction(data, row.description, row.amount, date));
    const double balance = data.tblAccountAccount_Balance->AsNumber();
    written.balances.push_back({ row.accountNumber, balance });
    AccountRows::setBalance(data, balance + row.amount);
}

// Best effort: every step is tried even when an earlier one fails, so as much as possible is taken back.
void takeBack(TDataModule1 &data, const Written &written)
{
    data.tblTransaction->Cancel();
    data.tblAccount->Cancel();
    for (auto it = written.rows.rbegin(); it != written.rows.rend(); ++it) {
        try {
            if (!AccountRows::deleteTransaction(data, it->first, it->second))
                qWarning("Transfer row %d to take back is gone", it->second);
        } catch (const Exception &error) {
            qWarning("Cannot take back transfer row %d: %s", it->second, error.what());
        }
    }
    for (auto it = written.balances.rbegin(); it != written.balances.rend(); ++it) {
        try {
            if (AccountRows::locateAccount(data, it->accountNumber))
                AccountRows::setBalance(data, it->balance);
        } catch (const Exception &error) {
            qWarning("Cannot write back the balance of account %d: %s", it->accountNumber, error.what());
        }
    }
}

} // namespace

void run(TDataModule1 &data, const Account &from, const Account &to, double amount, TDateTime date)
{
    // Both accounts must be there before anything is written.
    locate(data, from.number, kNoFromAccount);
    locate(data, to.number, kNoToAccount);
    Written written;
    try {
        writeHalf(data, sourceRow(from, to, amount), date, kNoFromAccount, written);
        writeHalf(data, destinationRow(from, to, amount), date, kNoToAccount, written);
    } catch (const Exception &) {
        takeBack(data, written);
        throw;
    }
}

} // namespace Transfer
