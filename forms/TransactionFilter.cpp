#include "forms/TransactionFilter.h"

namespace TransactionFilter {

namespace {

enum FieldItem { Designation = 0, Date = 1, Amount = 2 };
enum OperatorItem { Equal = 0, Prefix = 5 };

} // namespace

QStringList fieldItems()
{
    return { QStringLiteral("Désignation de la transaction"), QStringLiteral("Date de la transaction"),
        QStringLiteral("Montant de la transaction") };
}

QString fieldName(int fieldIndex)
{
    switch (fieldIndex) {
    case Designation:
        return QStringLiteral("Transaction_Description");
    case Date:
        return QStringLiteral("Transaction_Date");
    case Amount:
        return QStringLiteral("Transaction_Amount");
    default:
        return QString();
    }
}

QStringList operatorItems()
{
    return { QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"), QStringLiteral(">="),
        QStringLiteral("<="), QStringLiteral("=*") };
}

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace TransactionFilter

TransactionFilter::Expression BuildFilterExpression(int fieldIndex, int operatorIndex, const QString &value)
{
    using namespace TransactionFilter;
    const QString field = fieldName(fieldIndex);
    const QStringList operators = operatorItems();
    // An index past the items is no selection at all.
    if (operatorIndex < 0 || operatorIndex >= operators.size())
        operatorIndex = -1;
    const bool noOperator = operatorIndex == -1 || operatorIndex == Prefix;

    if (noOperator && fieldIndex != Designation)
        return { field + QStringLiteral(" = ") + quoted(value), std::nullopt };
    if (noOperator)
        return { field + QStringLiteral(" = ") + quoted(value + QLatin1Char('*')), foCaseInsensitive };
    if (operatorIndex == Equal && fieldIndex == Designation)
        return { field + QStringLiteral(" = ") + quoted(value), foCaseInsensitive };
    return { field + QLatin1Char(' ') + operators.at(operatorIndex) + QLatin1Char(' ') + quoted(value),
        TFilterOptions(0) };
}
