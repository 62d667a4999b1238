#include "MemTableTestSupport.h"

using namespace MemTableTestSupport;

namespace {

// Records the notices a link receives, as "name:notice".
class RecordingLink : public TDataLink
{
public:
    RecordingLink(QStringList &log, const QString &name, bool visual = true)
        : TDataLink(visual)
        , m_log(log)
        , m_name(name)
    { }

protected:
    void activeChanged() override { note(Active() ? "active" : "inactive"); }
    void editingChanged() override { note(Editing() ? "editing" : "browsing"); }
    void recordChanged(TField *field) override { note(field ? "field " + field->FieldName() : "row"); }
    void dataSetChanged() override { note("view"); }
    void dataSetScrolled(int shift) override { note("scroll " + QString::number(shift)); }
    void layoutChanged() override { note("layout"); }
    void updateData() override { note("update"); }
    void checkBrowseMode() override { note("finish"); }

private:
    void note(const QString &what) { m_log << m_name + ":" + what; }
    QStringList &m_log;
    QString m_name;
};

// The finance program's pair: accounts, and transactions following the current account.
class MasterDetailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        accounts = makeTable("tblAccount", FinanceTables::accountDefs(), QString());
        accounts->CreateEmpty();
        accounts->setKeepChangeLog(false);
        datAccount.setObjectName("datAccount");
        datAccount.setDataSet(accounts.get());
        transactions = makeTable("tblTransaction", FinanceTables::transactionDefs(), QString());
        transactions->CreateEmpty();
        transactions->setKeepChangeLog(false);
        transactions->setIndexFieldNames("Account_Number");
        transactions->setMasterSource(&datAccount);
        transactions->setMasterFields("Account_Number");
    }
    void addTransaction(const QString &text)
    {
        transactions->AppendRow();
        transactions->FieldNamed("Transaction_Description")->setAsString(text);
        transactions->Post();
    }
    QStringList shown() { return column(*transactions, "Transaction_Description"); }

    std::unique_ptr<TMemTable> accounts;
    TDataSource datAccount;
    std::unique_ptr<TMemTable> transactions;
};

TEST_F(MasterDetailTest, TheDetailShowsTheRowsOfTheCurrentMasterRow_AndNewRowsTakeItsKey)
{
    addAccount(*accounts, "A");
    addTransaction("a1");
    addTransaction("a2");
    addAccount(*accounts, "B");
    EXPECT_TRUE(shown().isEmpty());
    addTransaction("b1");
    EXPECT_EQ(transactions->FieldNamed("Account_Number")->AsInteger(), 2);
    accounts->First();
    EXPECT_EQ(shown(), QStringList({ "a1", "a2" }));
    accounts->Next();
    EXPECT_EQ(shown(), QStringList({ "b1" }));
    accounts->Prior();
    EXPECT_EQ(transactions->FieldNamed("Transaction_Description")->AsString(), "a1")
        << "moving the master puts the detail on its first row";
    EXPECT_EQ(transactions->ViewRowCount(), 2);
}

TEST_F(MasterDetailTest, ARowInsertedAboveTheFirst_EndsAtTheEndOfItsAccountsRows)
{
    addAccount(*accounts, "A");
    addTransaction("a1");
    addTransaction("a2");
    addAccount(*accounts, "B");
    addTransaction("b1");
    accounts->First();
    transactions->First();
    transactions->Insert();
    transactions->FieldNamed("Transaction_Description")->setAsString("a3");
    transactions->Post();
    EXPECT_EQ(transactions->FieldNamed("Transaction_Description")->AsString(), "a3");
    EXPECT_EQ(transactions->FieldNamed("Account_Number")->AsInteger(), 1);
    EXPECT_EQ(shown(), QStringList({ "a1", "a2", "a3" }));
}

TEST_F(MasterDetailTest, EditingAndPostingTheMaster_LeavesTheDetailRowWhereItWas)
{
    addAccount(*accounts, "A");
    addTransaction("a1");
    addTransaction("a2");
    transactions->Last();
    accounts->Edit();
    accounts->FieldNamed("Account_Balance")->setAsNumber(10);
    accounts->Post();
    EXPECT_EQ(transactions->FieldNamed("Transaction_Description")->AsString(), "a2");
}

TEST_F(MasterDetailTest, MovingTheMaster_PostsTheDetailsPendingRowFirst)
{
    addAccount(*accounts, "A");
    addAccount(*accounts, "B");
    accounts->First();
    transactions->AppendRow();
    transactions->FieldNamed("Transaction_Description")->setAsString("pending");
    accounts->Next();
    EXPECT_EQ(transactions->State(), dsBrowse);
    accounts->First();
    EXPECT_EQ(shown(), QStringList({ "pending" }));
}

TEST_F(MasterDetailTest, AnEmptyMaster_ShowsOnlyDetailRowsWithoutKey_NotAllRows)
{
    transactions->setMasterSource(nullptr);
    addTransaction("keyless");
    transactions->AppendRow();
    transactions->FieldNamed("Transaction_Description")->setAsString("of account 7");
    transactions->FieldNamed("Account_Number")->setAsInteger(7);
    transactions->Post();
    EXPECT_EQ(transactions->ViewRowCount(), 2);
    transactions->setMasterSource(&datAccount);
    EXPECT_EQ(shown(), QStringList({ "keyless" }));
}

TEST_F(MasterDetailTest, AMasterRowBeingInserted_SelectsTheDetailRowsWithoutKey)
{
    addAccount(*accounts, "A");
    addTransaction("a1");
    accounts->Insert();
    EXPECT_EQ(transactions->ViewRowCount(), 0);
    accounts->Cancel();
    EXPECT_EQ(shown(), QStringList({ "a1" }));
}

TEST_F(MasterDetailTest, DroppingTheLinkShowsAllRows_AndRelinkingRestrictsAgain)
{
    addAccount(*accounts, "A");
    addTransaction("a1");
    addAccount(*accounts, "B");
    addTransaction("b1");
    transactions->setMasterSource(nullptr);
    EXPECT_EQ(shown(), QStringList({ "a1", "b1" }));
    transactions->setMasterSource(&datAccount);
    EXPECT_EQ(shown(), QStringList({ "b1" }));
    accounts->Close();
    EXPECT_EQ(shown(), QStringList({ "a1", "b1" })) << "a closed master drops the range";
}

TEST_F(MasterDetailTest, MoreMasterFieldsThanKeyFields_AreRefused)
{
    addAccount(*accounts, "A");
    EXPECT_EQ(messageOf([&] { transactions->setMasterFields("Account_Number;Account_Type"); }),
        "tblTransaction: MasterFields names 2 fields but IndexFieldNames only 1");
    EXPECT_EQ(messageOf([&] { transactions->setIndexFieldNames(""); }),
        "tblTransaction: MasterFields names 1 fields but IndexFieldNames only 0");
    accounts->Last();
    EXPECT_EQ(transactions->IndexFieldNames(), "Account_Number");
}

TEST_F(MasterDetailTest, AnUnknownMasterField_NamesTheMasterTable)
{
    EXPECT_EQ(
        messageOf([&] { transactions->setMasterFields("Nope"); }), "tblAccount: Field 'Nope' not found");
}

TEST_F(MasterDetailTest, AMasterChainLeadingBackToTheTable_IsRefused)
{
    TDataSource datTransaction;
    datTransaction.setDataSet(transactions.get());
    EXPECT_EQ(messageOf([&] { accounts->setMasterSource(&datTransaction); }),
        "tblAccount: Circular datalinks are not allowed");
    EXPECT_EQ(accounts->MasterSource(), nullptr);
    EXPECT_EQ(messageOf([&] { transactions->setMasterSource(&datTransaction); }),
        "tblTransaction: Circular datalinks are not allowed");

    TDataSource loose;
    loose.setObjectName("datLoose");
    transactions->setMasterSource(&loose);
    EXPECT_EQ(messageOf([&] { loose.setDataSet(transactions.get()); }),
        "datLoose: Circular datalinks are not allowed");
    EXPECT_EQ(loose.DataSet(), nullptr);
}

TEST_F(MasterDetailTest, WalkingTheMasterWithObserversSuspended_LeavesTheDetail_UntilTheWalkEnds)
{
    for (const char *name : { "A", "B", "C" }) {
        addAccount(*accounts, name);
        addTransaction(QString::fromLatin1(name).toLower());
    }
    accounts->First();
    {
        ObserverSuspension outer(*accounts);
        {
            ObserverSuspension inner(*accounts);
            accounts->Last();
        }
        EXPECT_EQ(transactions->FieldNamed("Transaction_Description")->AsString(), "a")
            << "only the outermost resume delivers";
        accounts->First();
        while (!accounts->AtEnd())
            accounts->Next();
        accounts->Prior();
    }
    EXPECT_EQ(accounts->FieldNamed("Account_Type")->AsString(), "B");
    EXPECT_EQ(shown(), QStringList({ "b" }));
}

// ---- delivery ----

TEST(DataSourceTest, DeliversToMasterLinksFirst_ThenToControlsFromTheLastAttached)
{
    QTemporaryDir dir;
    auto table = createAccounts(dir.filePath("Account.dat"));
    addAccount(*table, "A");
    addAccount(*table, "B");
    table->First();
    QStringList log;
    TDataSource source;
    source.setDataSet(table.get());
    RecordingLink first(log, "first"), second(log, "second"), master(log, "master", false);
    first.setDataSource(&source);
    second.setDataSource(&source);
    master.setDataSource(&source);
    log.clear();
    table->Next();
    // The one-row window shifted by one row; each link follows it.
    EXPECT_EQ(log,
        QStringList({ "master:finish", "second:finish", "first:finish", "master:scroll 1", "second:scroll 1",
            "first:scroll 1" }));
}

TEST(DataSourceTest, EditAndPost_SendStateRowAndViewNotices_InOrder)
{
    QTemporaryDir dir;
    auto table = createAccounts(dir.filePath("Account.dat"));
    addAccount(*table, "A");
    QStringList log;
    TDataSource source;
    QStringList sourceLog;
    source.OnStateChange = [&](TDataSource &s) { sourceLog << QString::number(s.State()); };
    source.setDataSet(table.get());
    RecordingLink link(log, "l");
    link.setDataSource(&source);
    log.clear();
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(log, QStringList({ "l:finish", "l:editing", "l:row" }));
    log.clear();
    table->FieldNamed("Account_Balance")->setAsNumber(3);
    EXPECT_EQ(log, QStringList({ "l:field Account_Balance" }));
    log.clear();
    table->Post();
    EXPECT_EQ(log, QStringList({ "l:update", "l:finish", "l:browsing", "l:view" }));
    table->Close();
    EXPECT_EQ(log.last(), "l:inactive");
    EXPECT_EQ(sourceLog,
        QStringList({ QString::number(dsBrowse), QString::number(dsEdit), QString::number(dsBrowse),
            QString::number(dsInactive) }));
}

TEST(DataSourceTest, PointingASourceAtAnotherTable_DeactivatesItsLinksFirst)
{
    QTemporaryDir dir;
    auto one = createAccounts(dir.filePath("One.dat"));
    auto two = createAccounts(dir.filePath("Two.dat"));
    QStringList log;
    TDataSource source;
    source.setDataSet(one.get());
    RecordingLink link(log, "l");
    link.setDataSource(&source);
    log.clear();
    source.setDataSet(two.get());
    EXPECT_EQ(log, QStringList({ "l:inactive", "l:active" }));
    EXPECT_EQ(link.DataSet(), two.get());
}

TEST(DataSourceTest, ADisabledSource_ReportsInactiveAndPassesNothing)
{
    QTemporaryDir dir;
    auto table = createAccounts(dir.filePath("Account.dat"));
    QStringList log;
    TDataSource source;
    source.setDataSet(table.get());
    RecordingLink link(log, "l");
    link.setDataSource(&source);
    source.setEnabled(false);
    EXPECT_EQ(source.State(), dsInactive);
    EXPECT_FALSE(link.Active());
    log.clear();
    addAccount(*table, "A");
    EXPECT_TRUE(log.isEmpty());
    source.setEnabled(true);
    EXPECT_TRUE(link.Active());
}

TEST(DataSourceTest, TheRowWindow_GrowsToTheLargestRequest_AndScrollsWithTheCursor)
{
    QTemporaryDir dir;
    auto table = createAccounts(dir.filePath("Account.dat"));
    for (int i = 0; i < 10; ++i)
        addAccount(*table, QString::number(i));
    QStringList log;
    TDataSource source;
    source.setDataSet(table.get());
    RecordingLink grid(log, "g");
    grid.setBufferCount(4);
    grid.setDataSource(&source);
    table->First();
    EXPECT_EQ(table->BufferCount(), 4);
    EXPECT_EQ(grid.RecordCount(), 4);
    EXPECT_EQ(grid.ActiveRecord(), 0);
    log.clear();
    for (int i = 0; i < 5; ++i)
        table->Next();
    EXPECT_EQ(grid.ActiveRecord(), 3);
    // Three moves inside the window, then two that shift it.
    EXPECT_EQ(log.filter("scroll"),
        QStringList({ "g:scroll 0", "g:scroll 0", "g:scroll 0", "g:scroll 1", "g:scroll 1" }));
    QStringList rows;
    for (int i = 0; i < grid.RecordCount(); ++i) {
        ActiveRecordScope scope(*table, grid.FirstRecord() + i);
        rows << table->FieldNamed("Account_Type")->AsString();
    }
    EXPECT_EQ(rows, QStringList({ "2", "3", "4", "5" }));
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "5");
    // After a post the current row keeps its place in the window.
    table->Edit();
    table->FieldNamed("Account_Balance")->setAsNumber(1);
    table->Post();
    EXPECT_EQ(grid.ActiveRecord(), 3);
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "5");
    grid.setDataSource(nullptr);
    EXPECT_EQ(table->BufferCount(), 1);
}

} // namespace
