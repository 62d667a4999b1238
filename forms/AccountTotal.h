#pragma once

#include "platform/Colors.h"

#include <QString>

class TDataSet;

// The total of all account balances as the main window shows it.
struct AccountTotal
{
    double value = 0; // rounded to the two displayed decimals, never −0
    QString text; // the currency text of `value`
    TColor color = clRed;
};

// Rounds the sum to the displayed decimals first, so that sign, colour and text agree: 0.1 + 0.2 − 0.3 gives
// "0,00" in red, never blue from rounding noise and never "-0,00".
AccountTotal accountTotal(double sum);

// The sum of Account_Balance over every row of the account table (empty balances count as 0). Leaves the
// table on its first row.
double sumBalances(TDataSet &accounts);

inline constexpr int kTotalDecimals = 2;
