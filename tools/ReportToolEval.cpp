// quillot-report eval EXPR [--data DIR] [--locale NAME] [--report FILE.RP2] [--validate]: compiles and
// computes one report expression and prints "kind: value" on one line. With --data the four tables of a data
// folder are open under their component names (tblAccount, tblTransaction, tblExpence, tblIncome) in the
// program's data module "DataModule1", as the program opens them (tblTransaction following the first account);
// a missing table file gives an empty table.
// With --report a report file is loaded as the designer holds it, so that the element functions find its
// elements. --validate computes as an expression wizard checks: setters change nothing, no box is shown.
// Exit status 0 for a value, 1 for an error value, 2 for a usage or file error.
#include "ReportTool.h"
#include "ReportToolData.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/Evaluator.h"
#include "report/files/ReportFile.h"

#include <QFileInfo>
#include <QTextStream>
#include <memory>

namespace ReportTool {

namespace {

struct EvalOptions
{
    QString expression;
    QString dataDir;
    QString locale;
    QString report;
    bool validate = false;
    bool expressionGiven = false;
};

bool parseOptions(const QStringList &arguments, EvalOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--validate")) {
            options.validate = true;
        } else if ((argument == QLatin1String("--data") || argument == QLatin1String("--locale")
                       || argument == QLatin1String("--report"))
            && i + 1 < arguments.size()) {
            QString &target = argument == QLatin1String("--data") ? options.dataDir
                : argument == QLatin1String("--locale")           ? options.locale
                                                                  : options.report;
            target = arguments[++i];
        } else if (!options.expressionGiven) {
            options.expression = argument;
            options.expressionGiven = true;
        } else {
            return false;
        }
    }
    return options.expressionGiven;
}

} // namespace

int eval(const QStringList &arguments)
{
    EvalOptions options;
    if (!parseOptions(arguments, options)) {
        printError(QStringLiteral(
            "usage: quillot-report eval EXPR [--data DIR] [--locale NAME] [--report FILE.RP2] [--validate]"));
        return 2;
    }
    if (!options.locale.isEmpty())
        RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(options.locale)));
    try {
        std::unique_ptr<DataFolder> data;
        if (!options.dataDir.isEmpty()) {
            data = std::make_unique<DataFolder>(options.dataDir);
        }
        std::unique_ptr<TRpDLoader> report;
        if (!options.report.isEmpty()) {
            report = std::make_unique<TRpDLoader>(QStringLiteral("ReportDesignerForm"));
            report->LoadReportFile(options.report);
        }
        TRpEvaluator evaluator(nullptr, data ? data->dataSets() : nullptr);
        evaluator.SetValidating(options.validate);
        TRpEvValue value;
        evaluator.ComputeOnce(options.expression, value);
        QString line = rpEvDescribe(value);
        line.replace(u'\n', u' ').replace(u'\r', u' ');
        QTextStream(stdout) << line << '\n';
        return value.IsError() ? 1 : 0;
    } catch (const Exception &e) {
        printError(e.message());
        return 2;
    }
}

} // namespace ReportTool
