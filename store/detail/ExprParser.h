#pragma once

#include "store/FilterExpr.h"

// Reads a filter text into an untyped tree. Field names are resolved against the table's fields; the
// typing and compilation happen in FilterExpr.cpp.
std::unique_ptr<FilterNode> parseFilterText(TCustomMemTable &table, const QString &text, bool extendedSyntax);

[[noreturn]] void filterError(const QString &message);
