// quillot-report eval EXPR [--data DIR] [--locale NAME]: compiles and computes one report expression and
// prints "kind: value" on one line. With --data the four tables of a data folder are open under their
// component names (tblAccount, tblTransaction, tblExpence, tblIncome), each on its first row; a missing
// table file gives an empty table. Exit status 0 for a value, 1 for an error value, 2 for a usage or file
// error.
#include "ReportTool.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorTable.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <memory>
#include <vector>

namespace ReportTool {

namespace {

struct EvalOptions
{
    QString expression;
    QString dataDir;
    QString locale;
    bool expressionGiven = false;
};

bool parseOptions(const QStringList &arguments, EvalOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if ((argument == QLatin1String("--data") || argument == QLatin1String("--locale"))
            && i + 1 < arguments.size()) {
            (argument == QLatin1String("--data") ? options.dataDir : options.locale) = arguments[++i];
        } else if (!options.expressionGiven) {
            options.expression = argument;
            options.expressionGiven = true;
        } else {
            return false;
        }
    }
    return options.expressionGiven;
}

// The finance tables of a data folder, read-only, each on its first row.
class DataFolder
{
public:
    explicit DataFolder(const QString &dir)
    {
        for (const QString &base : FinanceTables::baseNames()) {
            auto table = std::make_unique<TMemTable>();
            table->setObjectName(QStringLiteral("tbl") + base);
            FinanceTables::defsForBaseName(base, table->FieldDefs());
            const QString fileName = QDir(dir).filePath(base + QStringLiteral(".dat"));
            if (QFileInfo::exists(fileName)) {
                table->setFileName(fileName);
                table->Open();
            } else {
                table->CreateEmpty();
            }
            table->setReadOnly(true);
            table->First();
            m_sources.push_back(std::make_unique<RpEvTableDataSet>(table.get()));
            m_dataSets.push_back(m_sources.back().get());
            m_tables.push_back(std::move(table));
        }
    }

    const TRpEvDataSetList *dataSets() const { return &m_dataSets; }

private:
    std::vector<std::unique_ptr<TMemTable>> m_tables;
    std::vector<std::unique_ptr<RpEvTableDataSet>> m_sources;
    TRpEvDataSetList m_dataSets;
};

} // namespace

int eval(const QStringList &arguments)
{
    EvalOptions options;
    if (!parseOptions(arguments, options)) {
        printError(QStringLiteral("usage: quillot-report eval EXPR [--data DIR] [--locale NAME]"));
        return 2;
    }
    if (!options.locale.isEmpty())
        RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(options.locale)));
    try {
        std::unique_ptr<DataFolder> data;
        if (!options.dataDir.isEmpty()) {
            if (!QFileInfo(options.dataDir).isDir())
                throw EFOpenError(options.dataDir);
            data = std::make_unique<DataFolder>(options.dataDir);
        }
        TRpEvaluator evaluator(nullptr, data ? data->dataSets() : nullptr);
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
