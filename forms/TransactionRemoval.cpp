#include "forms/TransactionRemoval.h"

#include "forms/AccountRows.h"
#include "forms/Datamod.h"
#include "forms/Transfer.h"

#include <QDebug>

namespace TransactionRemoval {

double ReverseTransactionOnBalance(TDataModule1 &data)
{
    const double saved = data.tblAccountAccount_Balance->AsNumber();
    AccountRows::setBalance(data, saved - data.tblTransactionTransaction_Amount->AsNumber());
    return saved;
}

void run(TDataModule1 &data, const std::function<void()> &remindTransfer)
{
    TMemTable &transactions = *data.tblTransaction;
    transactions.FinishPendingRow();
    if (transactions.IsEmpty()) {
        transactions.Delete(); // raises the table's own message
        return;
    }
    // Posting the balance refreshes the list, so the row is found again by its number before the delete.
    const int row = transactions.CurrentRowNumber();
    const QString description = data.tblTransactionTransaction_Description->AsString();
    const double saved = ReverseTransactionOnBalance(data);
    try {
        if (Transfer::isTransferDescription(description) && remindTransfer)
            remindTransfer();
        if (!transactions.MoveToRow(row))
            transactions.databaseError(QStringLiteral("Record not found"));
        transactions.Delete();
    } catch (const Exception &) {
        try {
            AccountRows::setBalance(data, saved);
        } catch (const Exception &error) {
            qWarning("Cannot write back the balance after a failed delete: %s", error.what());
        }
        throw;
    }
}

} // namespace TransactionRemoval
