// quillot-report COMMAND ARGS…: looks into and converts report files. Run without arguments for the usage.
#include "ReportTool.h"

#include "report/scripts/ScriptFunctions.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// One line per command; a new command adds its function to ReportTool.h and its line here.
const ReportTool::Command kCommands[] = {
    { "convert", "IN OUT", &ReportTool::convert },
    { "print",
        "REPORT|PAGES.RPP [--data DIR] --pdf FILE [--range FROM-TO] [--copies N] [--no-collate] "
        "[--settings RPDESIGN.INI] [--locale NAME]",
        &ReportTool::print },
    { "render",
        "REPORT --data DIR [--pdf FILE] [--png DIR] [--rpp FILE] [--settings RPDESIGN.INI] [--locale NAME] "
        "[--timeout SECONDS]",
        &ReportTool::render },
    { "pages", "FILE.RPP [--png DIR]", &ReportTool::pages },
    { "eval", "EXPR [--data DIR] [--locale NAME] [--report FILE.RP2] [--validate]", &ReportTool::eval },
    { "design", "[IN.RP2] OUT.RP2 --steps FILE [--settings RPDESIGN.INI]", &ReportTool::design,
        ReportTool::kDesignSteps },
    { "wizard",
        "--type blank|list|form|single|tabular|labels [--dataset NAME] [--fields A,B,...] [--label-format "
        "NAME] "
        "[--settings DIR] [--data DIR] [--title TEXT] [--locale NAME] OUT.RP2",
        &ReportTool::wizard },
    { "finance-reports", "DIR", &ReportTool::financeReports },
};

void printUsage()
{
    QTextStream err(stderr);
    err << "usage:\n";
    for (const ReportTool::Command &command : kCommands) {
        err << "  quillot-report " << command.name << ' ' << command.usage << '\n';
        if (command.details)
            err << command.details;
    }
}

} // namespace

void ReportTool::printError(const QString &message)
{
    QString line = message;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    QTextStream(stderr) << "quillot-report: " << line << '\n';
}

int main(int argc, char **argv)
{
    // Pages are drawn with fonts, which need the graphical application; the designer's window of "design"
    // is real but never shown on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || (argc > 1 && qstrcmp(argv[1], "design") == 0))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Expressions have the report designer's functions here as in the program.
    installReportScripts();
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        printUsage();
        return 2;
    }
    for (const ReportTool::Command &command : kCommands) {
        if (arguments.first() == QLatin1String(command.name))
            return command.run(arguments.mid(1));
    }
    ReportTool::printError(QStringLiteral("unknown command \"%1\"").arg(arguments.first()));
    printUsage();
    return 2;
}
