#pragma once

#include <QString>

class QWidget;
class TDataModule1;
class TMemTable;

// Recording one income or one expense against the current account: the decisions the entry windows take,
// kept apart from the windows so they can be checked on bare tables.
//
// The main window's "Reve&nus" and "Dépen&ses" handlers start an entry with beginTransactionEntry() and show
// frmIncome or frmExpences only when it returns true; the entry window's "&Sauvegarder" runs
// recordTransaction().
namespace TransactionEntry {

enum class Kind { Income, Expense };

// The information box shown when an entry is asked for while no account exists.
QString noAccountMessage();

// The amount as it is stored: income as typed, an expense typed positive and stored negated. A zero stays a
// plain zero (an expense of 0 must not become -0, which would read "-0,00" in a total built from it).
double storedAmount(Kind kind, double typed);

// A balance after an amount was added to it; an empty balance counts as 0.
double movedBalance(bool balanceEmpty, double balance, double amount);

// An amount typed by the user, read through the regional settings (currency sign allowed); false for a text
// that is not a finite number.
bool tryReadAmount(const QString &text, double &value);

// Starts a new transaction row under the current account: finishes a pending row of tblAccount first (a
// changed row is posted, an unchanged one cancelled) and refuses with an information box when there is no
// account. Any failure shows the error box, cancels the transaction row if one was started, and gives false.
bool beginTransactionEntry(QWidget *parent);

// The Save steps on the pending transaction row: writes the controls' pending text into the row, sets the
// row's Account_Number from the current account, stores the signed amount, posts the row and moves the
// account's balance by that same amount. When the row cannot be posted it stays pending and the error is
// raised (the window then cancels it). When the balance cannot be moved, tblAccount is cancelled, the new
// transaction is deleted again (found by its number, even when a filter hides it) and the error is raised:
// the account never shows a transaction its balance does not include. Returns the new Transaction_Number.
int recordTransaction(TDataModule1 &data, Kind kind);

// Deletes the transaction with this number from the current account's rows, also when the table's filter
// hides it; false when there is no such row. The filter is in force again afterwards.
bool deleteTransactionByNumber(TMemTable &transactions, int transactionNumber);

} // namespace TransactionEntry
