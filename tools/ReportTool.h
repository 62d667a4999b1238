#pragma once

#include <QStringList>
#include <functional>

class TDesignRpReport;
class TReportDesignerDialog;

class QPainter;
class QPicture;
class TRpPrinter;

// The commands of quillot-report. Each command is one function in its own file (ReportTool<Command>.cpp)
// taking the arguments after the command name and returning the exit status; it writes its messages to
// stderr itself. quillot-report.cpp lists them in its command table.
namespace ReportTool {

struct Command
{
    const char *name;
    const char *usage; // the arguments, for the usage text
    int (*run)(const QStringList &arguments);
    const char *details = nullptr; // more lines of the usage text, indented, or none
};

// convert IN OUT: a report file or one object block from IN (recognised by content) to OUT in the form OUT's
// extension selects (".RP2" a whole report file, ".txt" the report block in text notation, anything else
// the report block in resource form).
int convert(const QStringList &arguments);

// design [IN.RP2] OUT.RP2 --steps FILE [--settings RPDESIGN.INI]: opens the designer window offscreen on IN
// (or on a new report), plays the steps of FILE on it and saves the report to OUT (IN is never written) and
// the designer's settings to the settings file (a fresh one in a temporary folder when none is named).
// 0 when every step ran, 1 when one failed (nothing written), 2 for usage errors.
int design(const QStringList &arguments);
extern const char *const kDesignSteps;

// print REPORT|PAGES.RPP [--data DIR] --pdf FILE [--range FROM-TO] [--copies N] [--no-collate]
// [--settings RPDESIGN.INI] [--locale NAME]: prints to a PDF file through the printer layer.
int print(const QStringList &arguments);

struct PrintOptions
{
    QString input;
    QString pdf;
    QString dataDir;
    QString settings;
    QString locale;
    int firstPage = 0;
    int lastPage = 0;
    int copies = 0; // 0: the report's own
    bool collate = true;
};

// Runs a report (a report file or a single report block) to the installed printer with the options'
// answers; 0 when printed, 1 when nothing was.
int printReport(const QByteArray &bytes, const PrintOptions &options);

// pages FILE.RPP [--png DIR]: the page count, the compression flag and every page's size of a page file;
// with --png each page is also rendered to DIR/page-NNNN.png at 96 dpi.
int pages(const QStringList &arguments);

// eval EXPR [--data DIR] [--locale NAME] [--report FILE.RP2] [--validate]: compiles and computes one report
// expression and prints "kind: value" (integer, float, string, boolean, error); with --data the four tables
// of a data folder are open under their component names, with --report a report file's elements are there
// for the element functions, --validate only checks (setters change nothing). Exit status 0 for a value, 1
// for an error value.
int eval(const QStringList &arguments);

// wizard --type blank|list|form|single|tabular|labels [--dataset NAME] [--fields A,B,...]
// [--label-format NAME] [--settings DIR] [--data DIR] [--title TEXT] [--locale NAME] OUT.RP2: a new report
// made as the wizard makes it with these answers. Exit 0 when saved, 1 when a step fails (nothing written), 2
// for bad usage.
int wizard(const QStringList &arguments);

// Sets the designer's entry component as the reports window does, for what a run depends on.
void setUpAsTheReportsWindow(TReportDesignerDialog &dialog);
// Loads a report (a whole file or a single report block) the way the reports window's preview does, with the
// designer's settings file `settings` (none when empty), and hands the loaded report to `run`; false when it
// cannot be loaded.
bool runAsTheReportsWindow(const QByteArray &bytes, const QString &settings,
    const std::function<void(TDesignRpReport &report)> &run);

// render REPORT --data DIR [--pdf FILE] [--png DIR] [--rpp FILE] [--settings RPDESIGN.INI] [--locale NAME]
// [--timeout SECONDS]: runs a report over a data folder's tables and writes its pages; prints "N pages".
int render(const QStringList &arguments);

// finance-reports DIR: writes the finance program's ready reports (Comptes.RP2, Releve.RP2, Mouvements.RP2)
// into DIR.
int financeReports(const QStringList &arguments);

// Pages as pictures: a stored page drawn at true size from the paper's top-left corner on any painter, one
// page as a 96-dpi PNG, and every page of a store as DIR/page-0001.png, page-0002.png…
void renderPicture(QPainter &painter, const QPicture &page);
void renderPng(const QPicture &page, const QString &fileName);
QString pngName(int page);
void renderPictures(TRpPrinter &store, const QString &folder);

// Writes "quillot-report: <message>" as one line on stderr.
void printError(const QString &message);

} // namespace ReportTool
