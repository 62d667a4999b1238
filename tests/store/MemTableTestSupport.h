#pragma once

#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Tables as the finance program sets them up: created from the program's definitions, change log off.
namespace MemTableTestSupport {

inline std::unique_ptr<TMemTable> makeTable(
    const QString &name, const TFieldDefs &defs, const QString &fileName)
{
    auto table = std::make_unique<TMemTable>();
    table->setObjectName(name);
    table->FieldDefs() = defs;
    table->setFileName(fileName);
    return table;
}

inline std::unique_ptr<TMemTable> createAccounts(const QString &fileName)
{
    auto table = makeTable(QStringLiteral("tblAccount"), FinanceTables::accountDefs(), fileName);
    table->CreateEmpty();
    table->setKeepChangeLog(false);
    return table;
}

inline std::unique_ptr<TMemTable> openAccounts(const QString &fileName)
{
    auto table = makeTable(QStringLiteral("tblAccount"), FinanceTables::accountDefs(), fileName);
    table->Open();
    table->setKeepChangeLog(false);
    return table;
}

inline int addAccount(TMemTable &table, const QString &name, double balance = 0, bool insert = false)
{
    if (insert)
        table.Insert();
    else
        table.AppendRow();
    table.FieldNamed(QStringLiteral("Account_Type"))->setAsString(name);
    table.FieldNamed(QStringLiteral("Account_Balance"))->setAsNumber(balance);
    table.Post();
    return table.FieldNamed(QStringLiteral("Account_Number"))->AsInteger();
}

// The values of one field over the whole view, walked the way reports walk it.
inline QStringList column(TDataSet &table, const QString &fieldName)
{
    QStringList values;
    table.First();
    while (!table.AtEnd()) {
        values << table.FieldNamed(fieldName)->AsString();
        table.Next();
    }
    return values;
}

// Moves to the row whose field has this text.
inline bool locate(TDataSet &table, const QString &fieldName, const QString &value)
{
    table.First();
    while (!table.AtEnd()) {
        if (table.FieldNamed(fieldName)->AsString() == value)
            return true;
        table.Next();
    }
    return false;
}

// Runs a statement and gives the message of the program's exception it raised ("" when none).
template <typename F> QString messageOf(F &&f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.message();
    }
    return QString();
}

} // namespace MemTableTestSupport

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
