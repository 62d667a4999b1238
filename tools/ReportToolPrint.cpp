// quillot-report print REPORT|PAGES.RPP [--data DIR] --pdf FILE [--range FROM-TO] [--copies N] [--no-collate]
// [--settings RPDESIGN.INI] [--locale NAME]: prints to a PDF file through the printer layer, as the print
// setup dialog would with those answers. A page file prints its stored pages at true size from the paper's
// top-left corner; a report is run first (over the tables of --data). The PDF's title is the report's title,
// or the page file's name without its extension. Exit 0 when printed; 1 when nothing was printed (no page in
// the range) or the input cannot be read; 2 for bad options, before anything runs.
#include "ReportTool.h"
#include "ReportToolInput.h"

#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "platform/RegionalSettings.h"
#include "print/ReportPrinter.h"
#include "report/pages/RpPrinter.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace ReportTool {

namespace {

const char kUsage[]
    = "usage: quillot-report print REPORT|PAGES.RPP [--data DIR] --pdf FILE [--range FROM-TO] "
      "[--copies N] [--no-collate] [--settings RPDESIGN.INI] [--locale NAME]";

bool parsePositive(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 1;
}

bool parseRange(const QString &text, int &first, int &last)
{
    static const QRegularExpression range(QStringLiteral("^([0-9]+)-([0-9]+)$"));
    const QRegularExpressionMatch match = range.match(text);
    if (!match.hasMatch())
        return false;
    bool okFirst = false;
    bool okLast = false;
    first = match.captured(1).toInt(&okFirst);
    last = match.captured(2).toInt(&okLast);
    return okFirst && okLast && first >= 1 && first <= last;
}

bool parseOptions(const QStringList &arguments, PrintOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--no-collate")) {
            options.collate = false;
        } else if (argument == QLatin1String("--pdf") && hasValue) {
            options.pdf = arguments[++i];
        } else if (argument == QLatin1String("--data") && hasValue) {
            options.dataDir = arguments[++i];
        } else if (argument == QLatin1String("--settings") && hasValue) {
            options.settings = arguments[++i];
        } else if (argument == QLatin1String("--locale") && hasValue) {
            options.locale = arguments[++i];
        } else if (argument == QLatin1String("--range") && hasValue) {
            if (!parseRange(arguments[++i], options.firstPage, options.lastPage))
                return false;
        } else if (argument == QLatin1String("--copies") && hasValue) {
            if (!parsePositive(arguments[++i], options.copies))
                return false;
        } else if (!argument.startsWith(QLatin1String("--")) && options.input.isEmpty()) {
            options.input = argument;
        } else {
            return false;
        }
    }
    return !options.input.isEmpty() && !options.pdf.isEmpty();
}

// The store's range, copies and collate choice as the print dialog would answer them.
void applyAnswers(TRpPrinter &store, const PrintOptions &options)
{
    store.setPageRange(options.firstPage, options.lastPage);
    if (options.copies > 0)
        store.printerSettings().SetCopies(options.copies);
    store.printerSettings().collate = options.collate;
}

int printPageFile(const PrintOptions &options)
{
    TRpPrinter store;
    store.LoadPages(options.input);
    store.setTitle(QFileInfo(options.input).completeBaseName());
    applyAnswers(store, options);
    const int last = options.lastPage <= 0 ? store.pageCount() : qMin(options.lastPage, store.pageCount());
    const int first = options.firstPage <= 0 ? 1 : options.firstPage;
    if (first > last) {
        printError(QStringLiteral("nothing printed"));
        return 1;
    }
    store.PrintPages();
    return 0;
}

} // namespace

int print(const QStringList &arguments)
{
    PrintOptions options;
    if (!parseOptions(arguments, options)) {
        printError(QString::fromLatin1(kUsage));
        return 2;
    }
    if (!options.locale.isEmpty())
        RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(options.locale)));
    try {
        const QByteArray bytes = FileIO::readAll(options.input);
        ReportPrinting::installPdfPrinter(options.pdf);
        const int status
            = recognise(bytes) == InputKind::PageFile ? printPageFile(options) : printReport(bytes, options);
        ReportPrinting::uninstall();
        if (status == 0 && !QFileInfo::exists(options.pdf)) {
            printError(QStringLiteral("nothing printed"));
            return 1;
        }
        return status;
    } catch (const Exception &error) {
        ReportPrinting::uninstall();
        printError(QStringLiteral("%1: %2").arg(options.input, error.message()));
        return 1;
    }
}

} // namespace ReportTool
