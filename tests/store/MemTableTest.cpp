#include "MemTableTestSupport.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>

using namespace MemTableTestSupport;

namespace {

class MemTableTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

TEST_F(MemTableTest, AutoIncrement_NeverReusesNumbers_AlsoAfterRestart)
{
    const QString file = path("Account.dat");
    {
        auto table = createAccounts(file);
        EXPECT_EQ(addAccount(*table, "A"), 1);
        EXPECT_EQ(addAccount(*table, "B"), 2);
        EXPECT_EQ(addAccount(*table, "C"), 3);
        table->Last();
        table->Delete();
        EXPECT_EQ(addAccount(*table, "D"), 4);
        table->Last();
        table->Delete();
        table->Close();
    }
    auto table = openAccounts(file);
    EXPECT_EQ(column(*table, "Account_Number"), QStringList({ "1", "2" }));
    EXPECT_EQ(addAccount(*table, "E"), 5);
}

TEST_F(MemTableTest, Insert_PutsTheNewRowAboveTheSelectedOne_AndTheOrderSurvivesARestart)
{
    const QString file = path("Account.dat");
    {
        auto table = createAccounts(file);
        for (const char *name : { "A", "B", "C" })
            addAccount(*table, name);
        ASSERT_TRUE(locate(*table, "Account_Type", "B"));
        addAccount(*table, "D", 0, true);
        EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "D");
        EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "D", "B", "C" }));
        addAccount(*table, "E");
        EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "D", "B", "C", "E" }));
        table->Close();
    }
    auto table = openAccounts(file);
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "D", "B", "C", "E" }));
}

TEST_F(MemTableTest, InsertThenCancel_ConsumesNoNumber_AndRestoresTheRow)
{
    auto table = createAccounts(path("Account.dat"));
    addAccount(*table, "A");
    addAccount(*table, "B");
    table->First();
    table->Insert();
    table->FieldNamed("Account_Type")->setAsString("X");
    table->Cancel();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "A");
    EXPECT_EQ(addAccount(*table, "C"), 3);
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "B", "C" }));
}

TEST_F(MemTableTest, AValueGivenToTheAutoIncrementField_IsReplacedByTheNextNumber)
{
    auto table = createAccounts(path("Account.dat"));
    table->AppendRow();
    table->FieldNamed("Account_Number")->setAsInteger(99);
    table->FieldNamed("Account_Type")->setAsString("A");
    table->Post();
    EXPECT_EQ(table->FieldNamed("Account_Number")->AsInteger(), 1);
}

TEST_F(MemTableTest, EditOnAnEmptyTable_StartsAnInsert)
{
    auto table = createAccounts(path("Account.dat"));
    table->Edit();
    EXPECT_EQ(table->State(), dsInsert);
    table->FieldNamed("Account_Type")->setAsString("A");
    table->Post();
    EXPECT_EQ(table->ViewRowCount(), 1);
}

TEST_F(MemTableTest, MoveRowsBackPastTheStart_MovesWhatItCan_AndSetsAtStart)
{
    auto table = createAccounts(path("Account.dat"));
    for (const char *name : { "A", "B", "C" })
        addAccount(*table, name);
    table->First();
    EXPECT_EQ(table->MoveRows(1), 1);
    EXPECT_EQ(table->MoveRows(-3), -1);
    EXPECT_TRUE(table->AtStart());
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "A");
    EXPECT_EQ(table->MoveRows(-1), 0);
    EXPECT_EQ(table->MoveRows(5), 2);
    EXPECT_TRUE(table->AtEnd());
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "C");
}

TEST_F(MemTableTest, FirstAndNext_VisitEveryRowOnce_WhateverTheWindowSize)
{
    auto table = createAccounts(path("Account.dat"));
    QStringList names;
    for (int i = 0; i < 25; ++i) {
        names << QString::number(i);
        addAccount(*table, names.last());
    }
    TDataSource source;
    source.setDataSet(table.get());
    struct GridLink : TDataLink
    {
    } link;
    for (int window : { 1, 3, 10, 40 }) {
        link.setBufferCount(window);
        link.setDataSource(&source);
        EXPECT_EQ(column(*table, "Account_Type"), names) << "window " << window;
        table->Last();
        QStringList backwards;
        while (!table->AtStart()) {
            backwards.prepend(table->FieldNamed("Account_Type")->AsString());
            table->Prior();
        }
        EXPECT_EQ(backwards, names) << "window " << window;
    }
}

TEST_F(MemTableTest, ARowNumber_BringsAWalkBackToTheRowItStartedOn)
{
    auto table = createAccounts(path("Account.dat"));
    for (const char *name : { "C", "A", "B" })
        addAccount(*table, name);
    ASSERT_TRUE(locate(*table, "Account_Type", "A"));
    const int bookmark = table->CurrentRowNumber();
    EXPECT_EQ(bookmark, 2);
    table->setIndexFieldNames("Account_Type");
    table->Last();
    EXPECT_TRUE(table->MoveToRow(bookmark));
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "A");
    EXPECT_FALSE(table->MoveToRow(99));
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "A");
    table->Next();
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "B") << "the cursor stayed on the row";
}

TEST_F(MemTableTest, OnFilterRecord_HidesTheRowsItRefuses_WhileFiltered)
{
    auto table = createAccounts(path("Account.dat"));
    for (const char *name : { "Banque", "Caisse", "Bourse" })
        addAccount(*table, name);
    table->OnFilterRecord = [](TDataSet &t, bool &accept) {
        accept = t.FieldNamed("Account_Type")->AsString().startsWith('B');
    };
    table->setFiltered(true);
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "Banque", "Bourse" }));
    EXPECT_EQ(table->ViewRowCount(), 2);
    table->setFiltered(false);
    EXPECT_EQ(table->ViewRowCount(), 3);
}

TEST_F(MemTableTest, DeleteTakesTheNextRow_OrThePreviousAfterTheLast)
{
    auto table = createAccounts(path("Account.dat"));
    for (const char *name : { "A", "B", "C" })
        addAccount(*table, name);
    ASSERT_TRUE(locate(*table, "Account_Type", "B"));
    table->Delete();
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "C");
    table->Delete();
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "A");
    table->Delete();
    EXPECT_EQ(table->ViewRowCount(), 0);
    EXPECT_TRUE(table->AtEnd() && table->AtStart());
}

TEST_F(MemTableTest, DeleteInTheInsertState_CancelsTheNewRow)
{
    auto table = createAccounts(path("Account.dat"));
    addAccount(*table, "A");
    table->Insert();
    table->FieldNamed("Account_Type")->setAsString("X");
    table->Delete();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A" }));
}

TEST_F(MemTableTest, NavigationFinishesAPendingRow_PostingOnlyWhenChanged)
{
    auto table = createAccounts(path("Account.dat"));
    addAccount(*table, "A");
    table->AppendRow();
    table->First();
    EXPECT_EQ(table->ViewRowCount(), 1) << "an untouched new row is cancelled";
    table->AppendRow();
    table->FieldNamed("Account_Type")->setAsString("B");
    table->First();
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "B" }));
}

TEST_F(MemTableTest, FailedPost_KeepsTheStateAndTheRow)
{
    auto table = createAccounts(path("Account.dat"));
    addAccount(*table, "A");
    table->FieldNamed("Account_Type")->setRequired(true);
    table->AppendRow();
    const QString message = messageOf([&] { table->Post(); });
    EXPECT_EQ(message, "Field 'Account_Type' must have a value");
    EXPECT_EQ(table->State(), dsInsert);
    table->FieldNamed("Account_Type")->setAsString("B");
    table->Post();
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "B" }));
}

TEST_F(MemTableTest, IndexFieldNames_SortsAndKeepsEqualKeysInArrivalOrder)
{
    auto table = createAccounts(path("Account.dat"));
    for (const char *name : { "b", "a", "c", "a" })
        addAccount(*table, name);
    table->setIndexFieldNames("Account_Type");
    EXPECT_EQ(column(*table, "Account_Number"), QStringList({ "2", "4", "1", "3" }));
    addAccount(*table, "a", 0, true);
    EXPECT_EQ(column(*table, "Account_Number"), QStringList({ "2", "4", "5", "1", "3" }));
    table->setIndexFieldNames(QString());
    EXPECT_EQ(column(*table, "Account_Number"), QStringList({ "1", "2", "3", "4", "5" }));
}

TEST_F(MemTableTest, ReadOnlyTable_RefusesChanges)
{
    auto table = createAccounts(path("Account.dat"));
    addAccount(*table, "A");
    table->setReadOnly(true);
    for (auto operation : { &TMemTable::Insert, &TMemTable::AppendRow, &TMemTable::Edit, &TMemTable::Delete })
        EXPECT_EQ(
            messageOf([&] { (table.get()->*operation)(); }), "tblAccount: Cannot modify a read-only dataset");
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(MemTableTest, WithTheChangeLogOn_EditsAndDeletesKeepTheViewRight_AndTheFileReadsBack)
{
    const QString file = path("Account.dat");
    {
        auto table = makeTable("tblAccount", FinanceTables::accountDefs(), file);
        table->CreateEmpty();
        EXPECT_TRUE(table->KeepChangeLog());
        for (const char *name : { "A", "B", "C" })
            addAccount(*table, name);
        ASSERT_TRUE(locate(*table, "Account_Type", "B"));
        table->Edit();
        table->FieldNamed("Account_Type")->setAsString("B2");
        table->Post();
        EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "B2");
        EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "A", "B2", "C" }));
        ASSERT_TRUE(locate(*table, "Account_Type", "A"));
        table->Delete();
        EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "B2");
        EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "B2", "C" }));
    }
    // A file with a change log lists its rows by row number, so the new version of B comes after C.
    auto table = openAccounts(file);
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "C", "B2" }));
    EXPECT_EQ(addAccount(*table, "D"), 4);
}

// ---- messages raised for the table carry its name ----

struct MessageCase
{
    const char *name;
    std::function<void(TMemTable &)> action;
    const char *message;
};

class MemTableMessageTest : public ::testing::TestWithParam<MessageCase>
{
};

TEST_P(MemTableMessageTest, CarriesTheTableNamePrefix)
{
    QTemporaryDir dir;
    auto table = createAccounts(dir.filePath("Account.dat"));
    EXPECT_EQ(messageOf([&] { GetParam().action(*table); }), QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Cases, MemTableMessageTest,
    ::testing::Values(MessageCase { "DeleteOnEmpty", [](TMemTable &t) { t.Delete(); },
                          "tblAccount: Cannot perform this operation on an empty dataset" },
        MessageCase { "ClosedFirst",
            [](TMemTable &t) {
                t.Close();
                t.First();
            },
            "tblAccount: Cannot perform this operation on a closed dataset" },
        MessageCase { "ClosedInsert",
            [](TMemTable &t) {
                t.Close();
                t.Insert();
            },
            "tblAccount: Cannot perform this operation on a closed dataset" },
        MessageCase { "CreateEmptyWhenOpen", [](TMemTable &t) { t.CreateEmpty(); },
            "tblAccount: Cannot perform this operation on an open dataset" },
        MessageCase { "SetFieldInBrowse",
            [](TMemTable &t) { t.FieldNamed("Account_Type")->setAsString("x"); },
            "tblAccount: Dataset not in edit or insert mode" },
        MessageCase { "PostInBrowse", [](TMemTable &t) { t.Post(); },
            "tblAccount: Dataset not in edit or insert mode" },
        MessageCase { "UnknownField", [](TMemTable &t) { t.FieldNamed("Nope"); },
            "tblAccount: Field 'Nope' not found" },
        MessageCase { "UnknownIndexField", [](TMemTable &t) { t.setIndexFieldNames("Account_Type;Nope"); },
            "tblAccount: Field 'Nope' not found" },
        MessageCase { "NoFileOpen",
            [](TMemTable &t) {
                t.Close();
                t.Open();
            },
            "tblAccount: Missing data provider or data packet" },
        MessageCase { "KeepChangeLogClosed",
            [](TMemTable &t) {
                t.Close();
                t.setKeepChangeLog(false);
            },
            "tblAccount: Cannot perform this operation on a closed dataset" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MemTableTest, CreateEmpty_RefusesMissingOrOverlongDefinitions)
{
    TMemTable table;
    EXPECT_EQ(messageOf([&] { table.CreateEmpty(); }), "No fields defined.  Cannot create dataset");
    table.FieldDefs().Add(QString(32, QLatin1Char('x')), ftInteger);
    EXPECT_EQ(messageOf([&] { table.CreateEmpty(); }),
        QStringLiteral("Fieldname %1 exceeds 31 chars").arg(QString(32, QLatin1Char('x'))));
    EXPECT_FALSE(table.Active());
}

TEST_F(MemTableTest, AnEmptyFile_FailsWithMissingPacket_AndLeavesTheTableClosed)
{
    const QString file = path("Account.dat");
    TestSupport::writeFile(file, QByteArray());
    auto table = makeTable("tblAccount", FinanceTables::accountDefs(), file);
    EXPECT_EQ(messageOf([&] { table->Open(); }), "tblAccount: Missing data provider or data packet");
    EXPECT_FALSE(table->Active());
    EXPECT_EQ(table->store(), nullptr);
}

TEST_F(MemTableTest, PersistentFields_AreBoundByName_AndTypeMismatchFailsCleanly)
{
    const QString file = path("Account.dat");
    {
        auto writer = createAccounts(file);
        addAccount(*writer, "A", 5);
    }
    TMemTable table;
    table.setObjectName("tblAccount");
    table.setFileName(file);
    table.AddField(std::make_unique<TStringField>("Account_Balance", 10));
    EXPECT_EQ(messageOf([&] { table.Open(); }),
        "tblAccount: Type mismatch for field 'Account_Balance', expecting: String actual: Currency");
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(table.store(), nullptr);

    TMemTable other;
    other.setObjectName("tblAccount");
    other.setFileName(file);
    other.AddField(std::make_unique<TStringField>("Account_Name", 10));
    EXPECT_EQ(messageOf([&] { other.Open(); }), "tblAccount: Field 'Account_Name' not found");

    TMemTable good;
    good.setFileName(file);
    TField *balance = good.AddField(std::make_unique<TCurrencyField>("Account_Balance"));
    good.Open();
    EXPECT_EQ(good.FieldCount(), 1);
    EXPECT_DOUBLE_EQ(balance->AsNumber(), 5);
}

} // namespace
