#include "forms/AccountTotal.h"

#include "platform/RegionalSettings.h"
#include "store/DataSet.h"

#include <cmath>

AccountTotal accountTotal(double sum)
{
    AccountTotal total;
    if (std::isfinite(sum)) {
        const double scale = std::pow(10.0, kTotalDecimals);
        total.value = std::round(sum * scale) / scale;
    } else {
        total.value = sum;
    }
    if (total.value == 0)
        total.value = 0; // drops the sign of −0
    total.color = total.value > 0 ? clBlue : clRed;
    total.text = RegionalSettings::current().formatCurrency(total.value, kTotalDecimals);
    return total;
}

double sumBalances(TDataSet &accounts)
{
    TField *balance = accounts.FieldNamed(QStringLiteral("Account_Balance"));
    if (!balance)
        accounts.databaseError(QStringLiteral("Field 'Account_Balance' not found"));
    double sum = 0;
    ObserverSuspension quiet(accounts);
    accounts.First();
    while (!accounts.AtEnd()) {
        if (!balance->IsNullValue())
            sum += balance->AsNumber();
        accounts.Next();
    }
    accounts.First();
    return sum;
}
