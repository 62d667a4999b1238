#pragma once

#include "platform/DateTime.h"

#include <QString>

class TDataModule1;
class TMemTable;

// Steps on the account and transaction tables that the transfer, the deletion of a transaction and their
// undoing share. Each either does its whole step or raises the program's exception with the table as it was.
namespace AccountRows {

// Makes the account with this number current (and with it its transactions); false when there is none.
bool locateAccount(TDataModule1 &data, int accountNumber);
// Sets the balance of the current account and posts it; on failure the edit is cancelled and the error
// raised.
void setBalance(TDataModule1 &data, double balance);
// Adds a transaction to the current account and posts it; returns the number the table gave it. On failure
// the new row is cancelled and the error raised.
int postTransaction(TDataModule1 &data, const QString &description, double amount, TDateTime date);
// Deletes the transaction with this number from the account with this number, also when a filter of the list
// hides it. False when there is no such transaction.
bool deleteTransaction(TDataModule1 &data, int accountNumber, int transactionNumber);

// Lifts a table's filter for a scope, so rows it hides can be reached; the end of the scope puts it back.
class FilterSuspension
{
public:
    explicit FilterSuspension(TMemTable &table);
    ~FilterSuspension();
    FilterSuspension(const FilterSuspension &) = delete;
    FilterSuspension &operator=(const FilterSuspension &) = delete;

private:
    TMemTable &m_table;
    bool m_filtered;
};

} // namespace AccountRows
