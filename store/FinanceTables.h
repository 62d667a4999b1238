#pragma once

#include "store/Fields.h"

#include <QString>
#include <QStringList>

// The field definitions of the finance program's four tables. The data module creates its tables from them,
// and the command-line tool creates a missing table file from them, so both write the same files.
namespace FinanceTables {

TFieldDefs accountDefs(); // Account_Number, Account_Type (50), Account_Balance
TFieldDefs transactionDefs(); // Transaction_Number, _Description (100), _Date, _Amount, Account_Number
TFieldDefs expenceDefs(); // Expence_Number, Expence_Description (100)
TFieldDefs incomeDefs(); // Income_Number, Income_Description (100)

// The base names the definitions go by: "Account", "Transaction", "Expence", "Income".
QStringList baseNames();
// The definitions for a base name (compared ignoring case); false when the name is none of the four.
bool defsForBaseName(const QString &baseName, TFieldDefs &defs);

} // namespace FinanceTables
