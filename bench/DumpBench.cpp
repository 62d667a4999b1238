// `quillot-data dump` of a transaction table of 1,000,000 rows to CSV, whole and with a prefix filter, beside
// the sqlite3 shell printing the same rows of the SQLite peer table as CSV (and scanning them with LIKE).
// Every program's output goes to /dev/null; the figures are the best wall time and the best processor time
// (user and system, which a machine busy with other work disturbs less) of five runs, the programs taking
// turns.
//
//     DumpBench [TOOL ...]    (default: the quillot-data beside this build's benchmarks; a TOOL may be given
//                              as LABEL=PATH, to compare two builds of the tool in one run)
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include "BenchData.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#ifdef QUILLOT_HAVE_SQLITE
#include "BenchSqlite.h"
#endif

namespace {

constexpr int kRows = 1000000;
constexpr int kRuns = 5;

struct Program
{
    QString label;
    QString path;
};

void writeTable(const QString &file)
{
    TMemTable table;
    table.FieldDefs() = FinanceTables::transactionDefs();
    table.setFileName(file);
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    IRecordStore &store = *table.store();
    IRecordCursor &cursor = *table.cursor();
    const RecordLayout &layout = store.layout();
    QByteArray record(layout.recordSize(), '\0');
    BenchData::TransactionSource source;
    for (int i = 0; i < kRows; ++i) {
        const BenchData::Transaction t = source.next();
        char *r = record.data();
        cursor.initRecord(r);
        Record::setValue(layout, r, 1, t.description.constData(), int(t.description.size()));
        const double stamp = qToLittleEndian(t.stamp);
        const double amount = qToLittleEndian(t.amount);
        const qint32 account = qToLittleEndian(t.account);
        Record::setValue(layout, r, 2, reinterpret_cast<const char *>(&stamp), 8);
        Record::setValue(layout, r, 3, reinterpret_cast<const char *>(&amount), 8);
        Record::setValue(layout, r, 4, reinterpret_cast<const char *>(&account), 4);
        cursor.moveToAfterLast();
        cursor.insertRecord(r);
    }
    table.Close();
}

double childProcessorSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and processor time of one run with its output thrown away; false when the program failed.
bool timeRun(const QString &program, const QStringList &arguments, double &wall, double &processor)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    const double before = childProcessorSeconds();
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(
            stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return false;
    }
    wall = double(timer.nsecsElapsed()) / 1e9;
    processor = childProcessorSeconds() - before;
    return true;
}

QByteArray outputOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(600000);
    return process.readAllStandardOutput();
}

// The number of lines a run prints.
qint64 linesOf(const QString &program, const QStringList &arguments)
{
    return outputOf(program, arguments).count('\n');
}

struct Task
{
    QString name;
    QString program;
    QStringList arguments;
    double best = 1e300;
    double bestProcessor = 1e300;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<Program> tools;
    for (const QString &arg : app.arguments().mid(1)) {
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        tools.push_back(equals > 0 ? Program { arg.left(equals), arg.mid(equals + 1) }
                                   : Program { QStringLiteral("quillot-data"), arg });
    }
    if (tools.empty())
        tools.push_back({ QStringLiteral("quillot-data"),
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/quillot-data")) });
    for (const Program &tool : tools) {
        if (!QFileInfo(tool.path).isExecutable()) {
            std::fprintf(stderr, "%s is not a program\n", qPrintable(tool.path));
            return 1;
        }
    }

    QTemporaryDir folder;
    const QString table = folder.filePath(QStringLiteral("Transaction.dat"));
    writeTable(table);
    const QString filter = QStringLiteral("Transaction_Description = 'ab*'");

    std::vector<Task> tasks;
    for (const Program &tool : tools) {
        tasks.push_back({ QStringLiteral("dump 1,000,000 rows (%1)").arg(tool.label), tool.path,
            { QStringLiteral("dump"), table } });
        tasks.push_back({ QStringLiteral("dump --filter 'ab*' (%1)").arg(tool.label), tool.path,
            { QStringLiteral("dump"), table, QStringLiteral("--filter"), filter,
                QStringLiteral("--case-insensitive") } });
    }
#ifdef QUILLOT_HAVE_SQLITE
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QString database = folder.filePath(QStringLiteral("bench.sqlite"));
    {
        sqlite3 *db = nullptr;
        sqlite3_open(database.toUtf8().constData(), &db);
        BenchData::createTransactionTable(db);
        BenchData::insertTransactions(db, kRows);
        sqlite3_close(db);
    }
    const int shellDump = int(tasks.size());
    if (!shell.isEmpty()) {
        tasks.push_back({ QStringLiteral("sqlite3 -csv, the same rows"), shell,
            { QStringLiteral("-csv"), database,
                QStringLiteral("SELECT n, description, date, amount, account FROM t") } });
        tasks.push_back({ QStringLiteral("sqlite3 -csv, LIKE 'ab%'"), shell,
            { QStringLiteral("-csv"), database,
                QStringLiteral(
                    "SELECT n, description, date, amount, account FROM t WHERE description LIKE 'ab%'") } });
    }
#endif

    for (int run = 0; run < kRuns; ++run) {
        for (Task &task : tasks) {
            double wall = 0;
            double processor = 0;
            if (!timeRun(task.program, task.arguments, wall, processor))
                return 1;
            task.best = std::min(task.best, wall);
            task.bestProcessor = std::min(task.bestProcessor, processor);
        }
    }
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Task &task = tasks[i];
        const QByteArray cpuName = (task.name + QStringLiteral(", processor time")).toUtf8();
#ifdef QUILLOT_HAVE_SQLITE
        if (!shell.isEmpty() && int(i) < shellDump) {
            const Task &peer = tasks[size_t(shellDump) + (i % 2)];
            BenchData::line(qPrintable(task.name), task.best, "s", "faster than the sqlite3 shell",
                peer.best / task.best);
            BenchData::line(cpuName.constData(), task.bestProcessor, "s", "faster than the sqlite3 shell",
                peer.bestProcessor / task.bestProcessor);
            continue;
        }
#endif
        BenchData::line(qPrintable(task.name), task.best, "s");
        BenchData::line(cpuName.constData(), task.bestProcessor, "s");
    }
    // The filtered runs print the same rows.
    std::printf("rows printed with the filter: %lld", linesOf(tasks[1].program, tasks[1].arguments) - 1);
#ifdef QUILLOT_HAVE_SQLITE
    if (!shell.isEmpty())
        std::printf(" (sqlite3: %lld)",
            linesOf(tasks[size_t(shellDump) + 1].program, tasks[size_t(shellDump) + 1].arguments));
#endif
    std::printf("\n");
    // Two builds of the tool print the same bytes.
    if (tools.size() > 1) {
        for (size_t t = 1; t < tools.size(); ++t) {
            for (const QStringList &arguments : { tasks[0].arguments, tasks[1].arguments }) {
                const bool same = outputOf(tools[0].path, arguments) == outputOf(tools[t].path, arguments);
                std::printf("output of %s %s byte-identical to %s: %s\n", qPrintable(tools[t].label),
                    qPrintable(arguments.join(QLatin1Char(' ')).replace(table, QStringLiteral("FILE"))),
                    qPrintable(tools[0].label), same ? "yes" : "NO");
            }
        }
    }
    return 0;
}
