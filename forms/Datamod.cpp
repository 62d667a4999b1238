#include "forms/Datamod.h"

#include "report/files/ReportFile.h"
#include "store/FinanceTables.h"

TDataModule1 *DataModule1 = nullptr;

namespace {

TMemTable *makeTable(QObject *owner, const char *name, const TFieldDefs &defs)
{
    auto *table = new TMemTable(owner);
    table->setObjectName(QString::fromLatin1(name));
    table->FieldDefs() = defs;
    return table;
}

template <class Field, class... Args>
Field *addField(TMemTable *table, const QString &fieldName, Args... args)
{
    return static_cast<Field *>(table->AddField(std::make_unique<Field>(fieldName, args...)));
}

TDataSource *makeSource(QObject *owner, const char *name, TMemTable *table)
{
    auto *source = new TDataSource(owner);
    source->setObjectName(QString::fromLatin1(name));
    source->setDataSet(table);
    return source;
}

} // namespace

TDataModule1::TDataModule1(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("DataModule1"));
    // Reports find the application's tables here when they use the application's data.
    RpComponents::addDataModule(this);
    tblAccount = makeTable(this, "tblAccount", FinanceTables::accountDefs());
    tblTransaction = makeTable(this, "tblTransaction", FinanceTables::transactionDefs());
    tblExpence = makeTable(this, "tblExpence", FinanceTables::expenceDefs());
    tblIncome = makeTable(this, "tblIncome", FinanceTables::incomeDefs());

    tblAccountAccount_Number = addField<TAutoIncField>(tblAccount, "Account_Number");
    tblAccountAccount_Type = addField<TStringField>(tblAccount, "Account_Type", 50);
    tblAccountAccount_Balance = addField<TCurrencyField>(tblAccount, "Account_Balance");

    tblTransactionTransaction_Number = addField<TAutoIncField>(tblTransaction, "Transaction_Number");
    tblTransactionTransaction_Description = addField<TStringField>(tblTransaction, "Transaction_Description", 100);
    tblTransactionTransaction_Date = addField<TDateTimeField>(tblTransaction, "Transaction_Date");
    tblTransactionTransaction_Amount = addField<TCurrencyField>(tblTransaction, "Transaction_Amount");
    tblTransactionAccount_Number = addField<TIntegerField>(tblTransaction, "Account_Number");

    tblExpenceExpence_Number = addField<TAutoIncField>(tblExpence, "Expence_Number");
    tblExpenceExpence_Description = addField<TStringField>(tblExpence, "Expence_Description", 100);

    tblIncomeIncome_Number = addField<TAutoIncField>(tblIncome, "Income_Number");
    tblIncomeIncome_Description = addField<TStringField>(tblIncome, "Income_Description", 100);

    datAccount = makeSource(this, "datAccount", tblAccount);
    datTransaction = makeSource(this, "datTransaction", tblTransaction);
    datExpence = makeSource(this, "datExpence", tblExpence);
    datIncome = makeSource(this, "datIncome", tblIncome);

    // Each account shows only its own transactions, in the order they were added.
    tblTransaction->setIndexFieldNames(QStringLiteral("Account_Number"));
    tblTransaction->setMasterFields(QStringLiteral("Account_Number"));
    tblTransaction->setMasterSource(datAccount);
}

TDataModule1::~TDataModule1()
{
    RpComponents::remove(this);
    // Details first, so the master link never outlives its source. Closing writes a changed table; the
    // table's destructor never throws.
    for (TMemTable *table : {tblTransaction, tblIncome, tblExpence, tblAccount})
        delete table;
}
