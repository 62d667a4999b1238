#pragma once

#include "platform/DateTime.h"

#include <QString>
#include <optional>

class TDataModule1;

// A move of money between two accounts: a negative row on the source account, a positive row on the
// destination account and both balances, all written or none.
namespace Transfer {

// Existing files recognise transfer rows by these beginnings of their descriptions; they never change.
inline const QString kMarker = QStringLiteral("Transfert compte à compte");
inline const QString kFromPrefix = QStringLiteral("Transfert compte à compte de ");
inline const QString kToPrefix = QStringLiteral("Transfert compte à compte du ");

inline const QString kNoFromAccount = QStringLiteral("Veuillez sélectionner du compte.");
inline const QString kNoToAccount = QStringLiteral("Veuillez sélectionner au compte.");
inline const QString kSameAccount
    = QStringLiteral("Impossible d'effectuer une transaction vers le même compte.");

struct Account
{
    int number = 0;
    QString name;
};

// The information message that refuses a transfer before anything is looked up, or an empty text.
QString refusal(const std::optional<Account> &from, const std::optional<Account> &to);

// The amount as typed, in the regional decimal format. Zero and negative amounts are allowed (a negative
// amount moves money the other way); a text that is not a finite number raises EConvertError.
double amountOf(const QString &text);

bool isTransferDescription(const QString &description);

// One row of a transfer.
struct Row
{
    int accountNumber = 0;
    QString description;
    double amount = 0;
};
// The source account's row, then the destination account's row.
Row sourceRow(const Account &from, const Account &to, double amount);
Row destinationRow(const Account &from, const Account &to, double amount);

// Writes both rows (dated `date`) and both balances. On any failure the rows already posted are deleted, the
// saved balances written back, pending rows cancelled and the error raised: the tables are as before. The
// account cursor ends on the destination account.
void run(TDataModule1 &data, const Account &from, const Account &to, double amount, TDateTime date);

} // namespace Transfer
