// Figures for filter expressions on a transaction table of 1,000,000 rows: three full filtered scans (a
// case-insensitive prefix on the description, an amount bound, a date equality) beside the same queries on an
// unindexed SQLite table, and the cost of switching the filter on a table restricted to one account's range.
#include "platform/RegionalSettings.h"
#include "store/FilterExpr.h"
#include "store/FinanceTables.h"

#include "BenchData.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <random>

#ifdef QUILLOT_HAVE_SQLITE
#include "BenchSqlite.h"
#endif

namespace {

constexpr int kRows = 1000000;
using BenchData::kFirstDay;
using BenchData::kMsPerDay;
using BenchData::line;
using BenchData::Transaction;
using BenchData::TransactionSource;

constexpr double kProbeDay = kFirstDay + 100;

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void load(TMemTable &table)
{
    IRecordStore &store = *table.store();
    IRecordCursor &cursor = *table.cursor();
    const RecordLayout &layout = store.layout();
    QByteArray record(layout.recordSize(), '\0');
    TransactionSource source;
    for (int i = 0; i < kRows; ++i) {
        const Transaction t = source.next();
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
}

struct Query
{
    const char *name;
    QString filter;
    TFilterOptions options;
    const char *sql;
};

// Best of three runs: the machine is shared.
template <typename F> double bestOf(F &&f)
{
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, ms(timer));
    }
    return best;
}

#ifdef QUILLOT_HAVE_SQLITE
sqlite3 *sqliteTable(const QString &folder)
{
    const QByteArray path = QDir(folder).filePath(QStringLiteral("bench.sqlite")).toUtf8();
    sqlite3 *db = nullptr;
    sqlite3_open(path.constData(), &db);
    BenchData::createTransactionTable(db);
    BenchData::insertTransactions(db, kRows);
    return db;
}

int sqliteScan(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &select, nullptr);
    int rows = 0;
    while (sqlite3_step(select) == SQLITE_ROW)
        rows += sqlite3_column_int(select, 0) > 0 ? 1 : 0;
    sqlite3_finalize(select);
    return rows;
}
#endif

} // namespace

int main()
{
    RegionalSettings::setCurrent(RegionalSettings::fixed());
    QTemporaryDir dir;
    TMemTable table;
    table.FieldDefs() = FinanceTables::transactionDefs();
    table.setFileName(dir.filePath(QStringLiteral("Transaction.dat")));
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    load(table);
    table.First();

    const QString probeDate
        = QDate(1, 1, 1).addDays(qint64(kProbeDay) - 1).toString(QStringLiteral("yyyy-MM-dd"));
    const QByteArray probeStamp = QByteArray::number(kProbeDay * kMsPerDay, 'f', 0);
    const QByteArray dateSql = "SELECT n FROM t WHERE date = " + probeStamp;
    const Query queries[] = {
        { "filter description prefix", QStringLiteral("Transaction_Description = 'dup*'"), foCaseInsensitive,
            "SELECT n FROM t WHERE description LIKE 'dup%'" },
        { "filter amount bound", QStringLiteral("Transaction_Amount >= '100'"), 0,
            "SELECT n FROM t WHERE amount >= 100" },
        { "filter date equality", QStringLiteral("Transaction_Date = '%1'").arg(probeDate), 0,
            dateSql.constData() },
    };

#ifdef QUILLOT_HAVE_SQLITE
    sqlite3 *db = sqliteTable(dir.path());
#endif
    for (const Query &q : queries) {
        int rows = 0;
        const double ours = bestOf([&] {
            table.setFiltered(false);
            table.setFilterOptions(q.options);
            table.setFilter(q.filter);
            table.setFiltered(true);
            rows = table.ViewRowCount();
        });
#ifdef QUILLOT_HAVE_SQLITE
        int sqlRows = 0;
        const double theirs = bestOf([&] { sqlRows = sqliteScan(db, q.sql); });
        line(q.name, ours, "ms", "faster than SQLite", theirs / ours);
        std::printf("  rows: %d (SQLite %d)\n", rows, sqlRows);
#else
        line(q.name, ours, "ms");
        std::printf("  rows: %d\n", rows);
#endif
    }
#ifdef QUILLOT_HAVE_SQLITE
    sqlite3_close(db);
#endif

    // Switching the filter under a range: the view is rebuilt from the range's rows only.
    table.setFiltered(false);
    table.setIndexFieldNames(QStringLiteral("Account_Number"));
    QByteArray key(table.store()->layout().recordSize(), '\0');
    table.cursor()->initRecord(key.data());
    const qint32 account = qToLittleEndian<qint32>(7);
    Record::setValue(table.store()->layout(), key.data(), 4, reinterpret_cast<const char *>(&account), 4);
    table.cursor()->setRange(key, key, 1);
    table.setFilter(QStringLiteral("Transaction_Amount >= '100'"));
    table.setFiltered(true);
    int flip = 0;
    const double ranged = bestOf([&] {
        for (int i = 0; i < 100; ++i)
            table.setFilter(++flip % 2 ? QStringLiteral("Transaction_Amount < '0'")
                                       : QStringLiteral("Transaction_Amount >= '100'"));
    });
    line("switch filter under a range (per switch)", ranged / 100, "ms");
    std::printf("  rows shown in the range: %d of %d\n", table.cursor()->viewRowCount(), kRows);
    table.Close();
    return 0;
}
