#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// quillot-data: looks into and scripts the finance program's table files.
//   dump FILE [--index FIELDS] [--filter EXPR] [--case-insensitive] [--no-partial-compare]
//   add FILE NAME=VALUE…
//   convert IN OUT
// The tool works with fixed formats ("." decimals, yyyy-MM-dd dates), keeps no change log, and on any
// failure writes one line to `err`, changes no file and returns 1.
namespace DataTool {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// One CSV field (RFC 4180): quoted when it holds a comma, a quote or a line break.
QString csvField(const QString &text);
// The shortest decimal text that reads back to the same double, with ".".
QString shortestNumber(double value);
// yyyy-MM-dd, then Thh:mm:ss when there is a time of day, then .zzz when there are milliseconds.
QString isoDateTime(double dateTime);

} // namespace DataTool
