#pragma once

// The SQLite peer of the benchmarks: the same generated transactions in an unindexed table
// t(n, description, date, amount, account).
#include "BenchData.h"

#include <sqlite3.h>

namespace BenchData {

inline void createTransactionTable(sqlite3 *db)
{
    sqlite3_exec(db,
        "CREATE TABLE t(n INTEGER PRIMARY KEY, description TEXT, date REAL, amount REAL, account INTEGER);",
        nullptr, nullptr, nullptr);
}

// Inserts `rows` generated transactions in one SQLite transaction.
inline void insertTransactions(sqlite3 *db, int rows)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO t(description, date, amount, account) VALUES(?,?,?,?)", -1, &insert, nullptr);
    TransactionSource source;
    for (int i = 0; i < rows; ++i) {
        const Transaction t = source.next();
        sqlite3_bind_text(insert, 1, t.description.constData(), int(t.description.size()), SQLITE_STATIC);
        sqlite3_bind_double(insert, 2, t.stamp);
        sqlite3_bind_double(insert, 3, t.amount);
        sqlite3_bind_int(insert, 4, t.account);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

} // namespace BenchData
