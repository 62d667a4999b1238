#pragma once

#include "store/DataSource.h"
#include "store/Fields.h"
#include "store/MemTable.h"

#include <QObject>

#include <array>

// The finance program's one data container: the four tables, their field objects and their data sources.
// Every window reaches the data through the one instance `DataModule1`.
//
// Saving: windows call nothing after a post or delete. Every post and delete of the four tables arms the
// TableSaver (forms/TableSaver.h), which saves the changes of all changed tables together when control
// returns to the event loop. A list window that closes finishes its table's pending row with
// finishPendingRow(window, *table) from the same header.
class TDataModule1 : public QObject
{
    Q_OBJECT

public:
    explicit TDataModule1(QObject *parent = nullptr);
    ~TDataModule1() override;

    TMemTable *tblAccount;
    TMemTable *tblTransaction;
    TMemTable *tblExpence;
    TMemTable *tblIncome;

    TDataSource *datAccount;
    TDataSource *datTransaction;
    TDataSource *datExpence;
    TDataSource *datIncome;

    TAutoIncField *tblAccountAccount_Number;
    TStringField *tblAccountAccount_Type;
    TCurrencyField *tblAccountAccount_Balance;

    TAutoIncField *tblTransactionTransaction_Number;
    TStringField *tblTransactionTransaction_Description;
    TDateTimeField *tblTransactionTransaction_Date;
    TCurrencyField *tblTransactionTransaction_Amount;
    TIntegerField *tblTransactionAccount_Number;

    TAutoIncField *tblExpenceExpence_Number;
    TStringField *tblExpenceExpence_Description;

    TAutoIncField *tblIncomeIncome_Number;
    TStringField *tblIncomeIncome_Description;

    // The four tables in the order in which start-up creates and opens them.
    std::array<TMemTable *, 4> tables() const
    {
        return { tblAccount, tblTransaction, tblExpence, tblIncome };
    }
};

extern TDataModule1 *DataModule1;
