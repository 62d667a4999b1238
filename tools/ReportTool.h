#pragma once

#include <QStringList>

// The commands of quillot-report. Each command is one function in its own file (ReportTool<Command>.cpp)
// taking the arguments after the command name and returning the exit status; it writes its messages to
// stderr itself. quillot-report.cpp lists them in its command table.
namespace ReportTool {

struct Command
{
    const char *name;
    const char *usage; // the arguments, for the usage text
    int (*run)(const QStringList &arguments);
};

// convert IN OUT: one object block from IN (text notation or resource form) to OUT in the form OUT's
// extension selects (".txt" text notation, anything else resource form).
int convert(const QStringList &arguments);

// pages FILE.RPP [--png DIR]: the page count, the compression flag and every page's size of a page file;
// with --png each page is also rendered to DIR/page-NNNN.png at 96 dpi.
int pages(const QStringList &arguments);

// Writes "quillot-report: <message>" as one line on stderr.
void printError(const QString &message);

} // namespace ReportTool
