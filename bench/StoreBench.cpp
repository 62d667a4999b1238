// Figures for the record store on a transaction table of 1,000,000 rows: inserting, writing the table file
// (end to end as the program saves a table whole: encoded, written to a temporary file, flushed to the disk
// and renamed), reading it, building the Account_Number sort index, switching the range between accounts,
// inserting into the sorted table and peak memory; with SQLite doing the same load and scan for comparison.
#include "platform/FileIO.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "store/RecordStore.h"

#include "BenchData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <sys/resource.h>

#ifdef QUILLOT_HAVE_SQLITE
#include "BenchSqlite.h"
#endif

namespace {

constexpr int kRows = 1000000;
constexpr int kAccounts = 1000;
using BenchData::line;
using BenchData::Transaction;
using BenchData::TransactionSource;

void fill(const IRecordStore &store, QByteArray &record, const Transaction &t)
{
    const RecordLayout &layout = store.layout();
    char *r = record.data();
    Record::setState(layout, r, 0, FieldState::Unassigned);
    Record::setValue(layout, r, 1, t.description.constData(), int(t.description.size()));
    Record::setValue(layout, r, 2, reinterpret_cast<const char *>(&t.stamp), 8);
    Record::setValue(layout, r, 3, reinterpret_cast<const char *>(&t.amount), 8);
    Record::setValue(layout, r, 4, reinterpret_cast<const char *>(&t.account), 4);
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Processor time of this process: the machine may be shared, so both clocks are printed.
double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

long peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

#ifdef QUILLOT_HAVE_SQLITE
// SQLite loads the same rows into a table and reads them all back into memory.
void sqliteFigures(const QString &folder, double &insertSeconds, double &readSeconds, double &readCpu)
{
    const QByteArray path = QDir(folder).filePath(QStringLiteral("bench.sqlite")).toUtf8();
    sqlite3 *db = nullptr;
    sqlite3_open(path.constData(), &db);
    BenchData::createTransactionTable(db);
    QElapsedTimer timer;
    timer.start();
    BenchData::insertTransactions(db, kRows);
    insertSeconds = seconds(timer);
    sqlite3_close(db);

    timer.restart();
    const double cpu = cpuSeconds();
    sqlite3_open(path.constData(), &db);
    std::vector<std::pair<qint32, Transaction>> loaded; // number and row, as a program would hold them
    loaded.reserve(kRows);
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, "SELECT n, description, date, amount, account FROM t", -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
        loaded.emplace_back(sqlite3_column_int(select, 0),
            Transaction { QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(select, 1)),
                              sqlite3_column_bytes(select, 1)),
                sqlite3_column_double(select, 2), sqlite3_column_double(select, 3),
                sqlite3_column_int(select, 4) });
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    readSeconds = seconds(timer);
    readCpu = cpuSeconds() - cpu;
}
#endif

} // namespace

int main()
{
    QTemporaryDir folder;
    folder.setAutoRemove(qEnvironmentVariableIsEmpty("STOREBENCH_KEEP"));
    const QString file = QDir(folder.path()).filePath(QStringLiteral("Transaction.dat"));

    double insertSeconds = 0;
    {
        TMemTable table;
        table.setObjectName(QStringLiteral("tblTransaction"));
        table.FieldDefs() = FinanceTables::transactionDefs();
        table.setFileName(file);
        table.CreateEmpty();
        table.setKeepChangeLog(false);
        IRecordStore *store = table.store();
        IRecordCursor *cursor = table.cursor();
        QByteArray record(store->layout().recordSize(), 0);
        QElapsedTimer timer;
        timer.start();
        TransactionSource source;
        for (int i = 0; i < kRows; ++i) {
            fill(*store, record, source.next());
            cursor->moveToAfterLast();
            cursor->insertRecord(record.constData());
        }
        insertSeconds = seconds(timer);
        line("insert 1,000,000 rows", insertSeconds, "s");

        timer.restart();
        double cpu = cpuSeconds();
        const QByteArray packet = store->toPacket(PacketForm::Binary);
        line("write packet (encode)", seconds(timer), "s");
        line("write packet (encode, processor time)", cpuSeconds() - cpu, "s");
        std::printf("file size: %.1f MB\n", double(packet.size()) / 1e6);
        // The table written whole as the program writes it, best of three.
        double best = 1e300;
        for (int i = 0; i < 3; ++i) {
            // A change, so that there is something to write.
            cursor->moveToAfterLast();
            fill(*store, record, source.next());
            cursor->insertRecord(record.constData());
            timer.restart();
            table.SaveChanges();
            best = std::min(best, seconds(timer));
        }
        line("write table file end to end (encode, temporary file, flush to disk, rename)", best, "s");
    }

    QElapsedTimer timer;
    timer.start();
    const double readStartCpu = cpuSeconds();
    std::unique_ptr<IRecordStore> store = IRecordStore::fromFile(file);
    const double readSeconds = seconds(timer);
    std::printf("rows read: %d\n", store->liveRowCount());
    const double readCpu = cpuSeconds() - readStartCpu;
    store->setKeepChangeLog(false);

    auto cursor = store->createCursor();
    timer.restart();
    const double sortCpu = cpuSeconds();
    cursor->setSortColumns({ 4 });
    line("build Account_Number sort index", seconds(timer), "s");
    line("build Account_Number sort index (processor time)", cpuSeconds() - sortCpu, "s");

    const int switches = 2000;
    timer.restart();
    QByteArray key(store->layout().recordSize(), 0);
    for (int i = 0; i < switches; ++i) {
        const qint32 account = 1 + (i * 7) % kAccounts;
        Record::setValue(store->layout(), key.data(), 4, reinterpret_cast<const char *>(&account), 4);
        cursor->setRange(key, key, 1);
        cursor->moveBy(1);
    }
    line("switch range between accounts", seconds(timer) * 1000 / switches, "ms");

    const int inserts = 200;
    QByteArray record(store->layout().recordSize(), 0);
    TransactionSource source;
    timer.restart();
    for (int i = 0; i < inserts; ++i) {
        fill(*store, record, source.next());
        cursor->moveToAfterLast();
        cursor->insertRecord(record.constData());
    }
    line("insert one row into the sorted table", seconds(timer) * 1000 / inserts, "ms");

    line("peak memory", double(peakMegabytes()), "MB");
    store.reset();

#ifdef QUILLOT_HAVE_SQLITE
    double sqliteInsert = 0;
    double sqliteRead = 0;
    double sqliteReadCpu = 0;
    sqliteFigures(folder.path(), sqliteInsert, sqliteRead, sqliteReadCpu);
    line("read file into store", readSeconds, "s", "faster than SQLite", sqliteRead / readSeconds);
    line(
        "read file into store (processor time)", readCpu, "s", "faster than SQLite", sqliteReadCpu / readCpu);
    line("insert 1,000,000 rows (SQLite)", sqliteInsert, "s", "store faster", sqliteInsert / insertSeconds);
    line("read 1,000,000 rows into memory (SQLite)", sqliteRead, "s");
    line("read 1,000,000 rows into memory (SQLite, processor time)", sqliteReadCpu, "s");
#else
    line("read file into store", readSeconds, "s");
    line("read file into store (processor time)", readCpu, "s");
#endif
    return 0;
}
