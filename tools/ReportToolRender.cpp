// quillot-report render REPORT --data DIR [--pdf FILE] [--png DIR] [--rpp FILE] [--settings RPDESIGN.INI]
// [--locale NAME] [--timeout SECONDS]: runs a report over the finance tables of a data folder and writes its
// pages as a PDF, as pictures and as a page file. Prints "N pages". A report file is loaded as the reports
// window loads it (its PrintIfEmpty and printer settings are the window's, with the designer's settings file
// given, none by default); a single report block is run as it stands. Exit 0 on success, 1 when the report
// cannot be read or its run fails (nothing written), 2 for usage errors.
#include "ReportTool.h"
#include "ReportToolData.h"
#include "ReportToolInput.h"

#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "platform/RegionalSettings.h"
#include "report/files/ReportFile.h"
#include "report/generation/RunReport.h"
#include "report/pages/RpPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <chrono>
#include <cmath>
#include <memory>

namespace ReportTool {

namespace {

const char kUsage[] = "usage: quillot-report render REPORT --data DIR [--pdf FILE] [--png DIR] [--rpp FILE] "
                      "[--settings RPDESIGN.INI] [--locale NAME] [--timeout SECONDS]";

struct RenderOptions
{
    QString input;
    QString dataDir;
    QString pdf;
    QString pngDir;
    QString rpp;
    QString settings;
    QString locale;
    double timeout = 0;
};

bool parseOptions(const QStringList &arguments, RenderOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        QString *target = argument == QLatin1String("--data") ? &options.dataDir
            : argument == QLatin1String("--pdf")              ? &options.pdf
            : argument == QLatin1String("--png")              ? &options.pngDir
            : argument == QLatin1String("--rpp")              ? &options.rpp
            : argument == QLatin1String("--settings")         ? &options.settings
            : argument == QLatin1String("--locale")           ? &options.locale
                                                              : nullptr;
        if (target && hasValue && !arguments[i + 1].isEmpty()) {
            *target = arguments[++i];
        } else if (argument == QLatin1String("--timeout") && hasValue) {
            bool ok = false;
            options.timeout = arguments[++i].toDouble(&ok);
            if (!ok || !(options.timeout > 0) || options.timeout > 1e6)
                return false;
        } else if (!argument.startsWith(QLatin1String("--")) && options.input.isEmpty()
            && !argument.isEmpty()) {
            options.input = argument;
        } else {
            return false;
        }
    }
    return !options.input.isEmpty() && !options.dataDir.isEmpty();
}

void useLocale(const QString &name)
{
    QLocale locale = name.isEmpty() ? QLocale::system() : QLocale(name);
    // The C locale stands for no choice at all: US English.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    RegionalSettings::setCurrent(RegionalSettings::fromLocale(locale));
}

// Outputs are made beside their targets and put in place only once all of them are made.
class StagedOutputs
{
public:
    ~StagedOutputs() { rollBack(); }

    QSaveFile &file(const QString &target)
    {
        m_files.push_back(std::make_unique<QSaveFile>(target));
        QSaveFile &file = *m_files.back();
        if (!file.open(QIODevice::WriteOnly))
            throw EFCreateError(target);
        return file;
    }

    QString pictureFolder(const QString &target)
    {
        const QString parent = QFileInfo(QDir::cleanPath(QDir(target).absolutePath())).absolutePath();
        if (!QDir().mkpath(parent))
            throw EFCreateError(target);
        m_pictures = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/.render-XXXXXX"));
        if (!m_pictures->isValid())
            throw EFCreateError(target);
        m_pictureTarget = target;
        return m_pictures->path();
    }

    void commit()
    {
        for (const auto &file : m_files) {
            if (!file->commit())
                throw EFCreateError(file->fileName());
            m_committed << file->fileName();
        }
        m_files.clear();
        if (m_pictures) {
            if (!QDir().mkpath(m_pictureTarget))
                throw EFCreateError(m_pictureTarget);
            const QDir from(m_pictures->path());
            for (const QString &name : from.entryList(QDir::Files, QDir::Name)) {
                const QString target = QDir(m_pictureTarget).filePath(name);
                QFile::remove(target);
                if (!QFile::rename(from.filePath(name), target))
                    throw EFCreateError(target);
                m_committed << target;
            }
            m_pictures.reset();
        }
        m_committed.clear();
    }

private:
    void rollBack()
    {
        m_files.clear(); // uncommitted files go with their objects
        for (const QString &written : std::as_const(m_committed))
            QFile::remove(written);
    }

    std::vector<std::unique_ptr<QSaveFile>> m_files;
    std::unique_ptr<QTemporaryDir> m_pictures;
    QString m_pictureTarget;
    QStringList m_committed;
};

// Every page at its true paper size, drawn from the paper's top-left corner; the text stays text.
void writePdf(TRpPrinter &store, QIODevice &device, const QString &title)
{
    const TPrinterSettings &settings = store.printerSettings();
    const bool landscape = settings.orientation == RpPaper::poLandscape;
    const QPageSize size(QSizeF(settings.PaperWidth() / 10.0, settings.PaperLength() / 10.0),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QPdfWriter writer(&device);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Quillot"));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter(&writer);
    for (int n = 1; n <= store.pageCount(); ++n) {
        const std::unique_ptr<QPicture> page = store.CopyPage(n);
        if (!page)
            throw ERpError(QStringLiteral("page %1 cannot be read").arg(n));
        if (n > 1 && !writer.newPage())
            throw EFileError(QStringLiteral("the PDF cannot take page %1").arg(n));
        renderPicture(painter, *page);
    }
    if (!painter.end())
        throw EFileError(QStringLiteral("the PDF cannot be written"));
}

} // namespace

int render(const QStringList &arguments)
{
    RenderOptions options;
    if (!parseOptions(arguments, options)) {
        printError(QString::fromLatin1(kUsage));
        return 2;
    }
    useLocale(options.locale);
    try {
        const QByteArray bytes = FileIO::readAll(options.input);
        DataFolder data(options.dataDir);
        TRpPrinter store;
        RpRunOptions run;
        if (options.timeout > 0)
            run.deadline = std::chrono::steady_clock::now()
                + std::chrono::milliseconds(qint64(std::llround(options.timeout * 1000)));
        QString title;
        QString failure;
        auto runReport = [&](TCustomRpReport &report) {
            title = report.reportTitle();
            try {
                RunReport(report, store, run);
            } catch (const Exception &error) {
                failure = error.message();
            }
        };
        if (recognise(bytes) == InputKind::ReportFile) {
            if (!runAsTheReportsWindow(bytes, options.settings, runReport))
                throw Exception(QStringLiteral("the report file cannot be read"));
        } else {
            ReportFileEngine engine;
            engine.setUseDatamodules(true);
            loadReport(engine, bytes, options.input);
            runReport(*engine.report());
        }
        if (!failure.isEmpty())
            throw Exception(failure);
        if (store.cancelled())
            throw Exception(QStringLiteral("the run took longer than %1 seconds").arg(options.timeout));

        const int pages = store.status() == TRpPrinter::Status::Finished ? store.pageCount() : 0;
        if (pages > 0) {
            StagedOutputs outputs;
            if (!options.pdf.isEmpty())
                writePdf(store, outputs.file(options.pdf), title);
            if (!options.pngDir.isEmpty())
                renderPictures(store, outputs.pictureFolder(options.pngDir));
            if (!options.rpp.isEmpty())
                store.pageList().stream()->copyTo(outputs.file(options.rpp));
            outputs.commit();
        }
        QTextStream(stdout) << pages << " pages\n";
        return 0;
    } catch (const Exception &error) {
        printError(QStringLiteral("%1: %2").arg(options.input, error.message()));
        return 1;
    }
}

} // namespace ReportTool
