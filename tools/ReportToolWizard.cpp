// quillot-report wizard --type blank|list|form|single|tabular|labels [--dataset NAME] [--fields A,B,…]
// [--label-format NAME] [--settings DIR] [--data DIR] [--title TEXT] [--locale NAME] OUT.RP2: makes a new
// report as the wizard "New report definition" does with these answers and the defaults of its other pages,
// and saves it. The data set is a table of the data folder's data module; the fields are field names in
// report order. A label format is looked for by name in the label format files (".RLF") of the settings
// folder (the folder of RPDESIGN.INI; the program's folder by default). Exit 0 when saved; 1 when a step
// fails (nothing is written); 2 for bad usage.
#include "ReportTool.h"
#include "ReportToolData.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/files/ReportFile.h"
#include "report/wizard/LabelFormats.h"
#include "report/wizard/ReportCreator.h"
#include "store/MemTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <optional>

namespace ReportTool {

namespace {

const char kUsage[]
    = "usage: quillot-report wizard --type blank|list|form|single|tabular|labels [--dataset NAME] "
      "[--fields A,B,...] [--label-format NAME] [--settings DIR] [--data DIR] [--title TEXT] "
      "[--locale NAME] OUT.RP2";

struct WizardOptions
{
    TRpWizardReportType type = TRpWizardReportType::Blank;
    bool typeGiven = false;
    QString dataSet;
    QStringList fields;
    QString labelFormat;
    QString settings;
    QString dataDir;
    std::optional<QString> title;
    QString locale;
    QString out;
};

std::optional<TRpWizardReportType> typeNamed(const QString &name)
{
    static const std::pair<const char *, TRpWizardReportType> kTypes[] = {
        { "blank", TRpWizardReportType::Blank },
        { "list", TRpWizardReportType::List },
        { "form", TRpWizardReportType::Form },
        { "single", TRpWizardReportType::Single },
        { "tabular", TRpWizardReportType::Tabular },
        { "labels", TRpWizardReportType::Labels },
    };
    for (const auto &[text, type] : kTypes) {
        if (name == QLatin1String(text))
            return type;
    }
    return std::nullopt;
}

bool parseOptions(const QStringList &arguments, WizardOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument.startsWith(QLatin1String("--")) && !hasValue)
            return false;
        if (argument == QLatin1String("--type")) {
            const std::optional<TRpWizardReportType> type = typeNamed(arguments[++i]);
            if (!type)
                return false;
            options.type = *type;
            options.typeGiven = true;
        } else if (argument == QLatin1String("--dataset")) {
            options.dataSet = arguments[++i];
        } else if (argument == QLatin1String("--fields")) {
            options.fields = arguments[++i].split(u',', Qt::SkipEmptyParts);
            for (QString &field : options.fields)
                field = field.trimmed();
        } else if (argument == QLatin1String("--label-format")) {
            options.labelFormat = arguments[++i];
        } else if (argument == QLatin1String("--settings")) {
            options.settings = arguments[++i];
        } else if (argument == QLatin1String("--data")) {
            options.dataDir = arguments[++i];
        } else if (argument == QLatin1String("--title")) {
            options.title = arguments[++i];
        } else if (argument == QLatin1String("--locale")) {
            options.locale = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--")) || !options.out.isEmpty()) {
            return false;
        } else {
            options.out = argument;
        }
    }
    return options.typeGiven && !options.out.isEmpty();
}

bool isNone(const QString &dataSet)
{
    return dataSet.isEmpty() || dataSet.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
}

// The answers of the wizard's pages: the defaults for the new report, then what the options say.
TRpWizardAnswers answersFor(const WizardOptions &options, TDesignRpReport &report, DataFolder *data)
{
    TRpWizardAnswers answers = TRpDReportCreator::defaultsFor(report);
    answers.type = options.type;
    if (options.title)
        answers.reportTitle = *options.title;
    if (!isNone(options.dataSet)) {
        TMemTable *table = data ? data->table(options.dataSet) : nullptr;
        if (!table)
            throw Exception(
                QStringLiteral("No data set %1 (give the data folder with --data)").arg(options.dataSet));
        answers.dataSet = table;
        for (const QString &field : options.fields) {
            if (!table->LookupField(field))
                throw Exception(QStringLiteral("%1 has no field %2").arg(table->objectName(), field));
            answers.fields << table->LookupField(field)->FieldName();
        }
    } else if (!options.fields.isEmpty()) {
        throw Exception(QStringLiteral("Fields need a data set"));
    }
    if (!options.labelFormat.isEmpty()) {
        const QString folder
            = options.settings.isEmpty() ? QCoreApplication::applicationDirPath() : options.settings;
        const std::vector<TRpLabelFamily> families = RpLabelFormats::familiesIn(folder);
        const TRpLabelFormat *format = RpLabelFormats::findFormat(families, options.labelFormat);
        if (!format)
            throw Exception(QStringLiteral("No label format %1 in %2").arg(options.labelFormat, folder));
        const UnitContext unit { report.units(), report.resolution(), 100, double(report.font()->size()) };
        answers.applyLabelLayout(RpLabelFormats::layoutOf(*format, unit));
    }
    return answers;
}

} // namespace

int wizard(const QStringList &arguments)
{
    WizardOptions options;
    if (!parseOptions(arguments, options)) {
        printError(QLatin1String(kUsage));
        return 2;
    }
    if (!options.locale.isEmpty())
        RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(options.locale)));
    try {
        std::unique_ptr<DataFolder> data;
        if (!options.dataDir.isEmpty())
            data = std::make_unique<DataFolder>(options.dataDir);
        ReportFileEngine engine(QStringLiteral("ReportDesignerForm"));
        const TRpWizardAnswers answers = answersFor(options, *engine.report(), data.get());
        TRpDReportCreator creator(*engine.report());
        creator.Build(answers);
        if (!engine.SaveReportFile(options.out))
            throw EFCreateError(options.out);
        return 0;
    } catch (const Exception &e) {
        printError(e.message());
        return 1;
    }
}

} // namespace ReportTool
