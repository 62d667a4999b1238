#pragma once

#include <QByteArray>
#include <functional>

class TCustomMemTable;

// The CSV text of a table's view as `quillot-data dump` prints it, made straight from the stored rows: one
// pass over each row, numbers and dates formatted into the output buffer, text turned into UTF-8 byte by
// byte. The bytes are the ones the field objects' texts give (DataTool::csvField, shortestNumber,
// isoDateTime), without a string per field and without the time zone: stored dates are calendar values.
namespace CsvRows {

// Hands the header and every row of the view (UTF-8, lines ended by CR LF) to `sink` in parts of about a
// megabyte. False, before anything is handed out, when a field is of a type the rows are not made for here.
// Every stored date is checked before the first part goes out: one that cannot be read raises EConvertError
// and nothing is printed.
bool dump(const TCustomMemTable &table, const std::function<void(const char *bytes, qsizetype length)> &sink);

} // namespace CsvRows
