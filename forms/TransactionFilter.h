#pragma once

#include "store/MemTable.h"

#include <QString>
#include <QStringList>
#include <optional>

// The one-condition filter of the transaction list: which field, which comparison and which value the user
// chose, turned into a filter text of the table's filter language.
namespace TransactionFilter {

// The items of the field box, in order, and the table fields they stand for.
QStringList fieldItems();
QString fieldName(int fieldIndex);
// The items of the operator box, in order.
QStringList operatorItems();

// The value between single quotes, every quote inside it doubled.
QString quoted(const QString &value);

struct Expression
{
    QString text;
    // The filter options to set with it; none leaves the table's options as they are.
    std::optional<TFilterOptions> options;
};

} // namespace TransactionFilter

// The filter text for the selected field item (0 to 2), the selected operator item (-1 for none, 0 to 5) and
// the typed value. The operator's text is that of the selected item, never a text typed into the box. The
// field index must name an item; the caller refuses "no field" before.
TransactionFilter::Expression BuildFilterExpression(int fieldIndex, int operatorIndex, const QString &value);
