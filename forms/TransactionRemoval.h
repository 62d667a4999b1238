#pragma once

#include <QString>
#include <functional>

class TDataModule1;

// Deleting a transaction from the account detail window: its amount is taken back from the account's balance,
// and the row and the balance change together or not at all.
namespace TransactionRemoval {

inline const QString kConfirmation = QStringLiteral("Supprimer la transaction sélectionnée ?");
inline const QString kTransferReminder
    = QStringLiteral("N'oubliez pas de supprimer les transactions de compte à compte.");

// Undoes the current transaction's effect on the current account's balance (an empty amount counts as 0) and
// returns the balance before. On failure the account edit is cancelled and the error raised.
double ReverseTransactionOnBalance(TDataModule1 &data);

// Deletes the current transaction of the current account after reversing it on the balance. `remindTransfer`
// runs, before the delete, when the row is one half of a transfer (the other half stays; the user deletes
// it). On an empty list nothing is reversed and the table's empty-table error is raised. When the reversal
// fails the transaction stays; when the delete fails the saved balance is written back; the error is raised.
void run(TDataModule1 &data, const std::function<void()> &remindTransfer);

} // namespace TransactionRemoval
