#include "store/FinanceTables.h"

namespace FinanceTables {

TFieldDefs accountDefs()
{
    TFieldDefs defs;
    defs.Add(QStringLiteral("Account_Number"), ftAutoInc, 0, faReadonly);
    defs.Add(QStringLiteral("Account_Type"), ftString, 50);
    defs.Add(QStringLiteral("Account_Balance"), ftCurrency);
    return defs;
}

TFieldDefs transactionDefs()
{
    TFieldDefs defs;
    defs.Add(QStringLiteral("Transaction_Number"), ftAutoInc, 0, faReadonly);
    defs.Add(QStringLiteral("Transaction_Description"), ftString, 100);
    defs.Add(QStringLiteral("Transaction_Date"), ftDateTime);
    defs.Add(QStringLiteral("Transaction_Amount"), ftCurrency);
    defs.Add(QStringLiteral("Account_Number"), ftInteger);
    return defs;
}

TFieldDefs expenceDefs()
{
    TFieldDefs defs;
    defs.Add(QStringLiteral("Expence_Number"), ftAutoInc, 0, faReadonly);
    defs.Add(QStringLiteral("Expence_Description"), ftString, 100);
    return defs;
}

TFieldDefs incomeDefs()
{
    TFieldDefs defs;
    defs.Add(QStringLiteral("Income_Number"), ftAutoInc, 0, faReadonly);
    defs.Add(QStringLiteral("Income_Description"), ftString, 100);
    return defs;
}

QStringList baseNames()
{
    return { QStringLiteral("Account"), QStringLiteral("Transaction"), QStringLiteral("Expence"),
        QStringLiteral("Income") };
}

bool defsForBaseName(const QString &baseName, TFieldDefs &defs)
{
    const auto is
        = [&](const char *name) { return baseName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("Account"))
        defs = accountDefs();
    else if (is("Transaction"))
        defs = transactionDefs();
    else if (is("Expence"))
        defs = expenceDefs();
    else if (is("Income"))
        defs = incomeDefs();
    else
        return false;
    return true;
}

} // namespace FinanceTables
