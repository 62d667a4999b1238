#include "store/ChangeJournal.h"
#include "MemTableTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace MemTableTestSupport;

namespace {

// Two tables of one folder, as the program keeps them: accounts and transactions, saved together.
class ChangeJournalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        accounts = createAccounts(path("Account.dat"));
        transactions = makeTable(
            QStringLiteral("tblTransaction"), FinanceTables::transactionDefs(), path("Transaction.dat"));
        transactions->CreateEmpty();
        transactions->setKeepChangeLog(false);
        for (int i = 1; i <= 3; ++i) {
            addAccount(*accounts, QStringLiteral("Compte %1").arg(i), 100 * i);
            for (int k = 0; k < 5; ++k)
                addTransaction(i, QStringLiteral("Achat %1.%2").arg(i).arg(k), -k);
        }
        // Tables without files are folded at once: from here on the files hold them.
        save();
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QString journal() const { return ChangeJournal::pathFor(path("Account.dat")); }
    QStringList filesInFolder() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

    void save() { TCustomMemTable::SaveChangesTogether({ accounts.get(), transactions.get() }); }
    void fold() { TCustomMemTable::FoldChangesTogether({ accounts.get(), transactions.get() }); }

    void addTransaction(int account, const QString &description, double amount)
    {
        transactions->AppendRow();
        transactions->FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(description);
        transactions->FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
        transactions->FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(account);
        transactions->Post();
    }

    void setBalance(const QString &account, double balance)
    {
        ASSERT_TRUE(locate(*accounts, QStringLiteral("Account_Type"), account));
        accounts->Edit();
        accounts->FieldNamed(QStringLiteral("Account_Balance"))->setAsNumber(balance);
        accounts->Post();
    }

    // A transfer: one row on each side and both balances, saved as one action.
    void transfer(int number)
    {
        addTransaction(1, QStringLiteral("Transfert %1").arg(number), -number);
        addTransaction(2, QStringLiteral("Transfert %1").arg(number), number);
        setBalance(QStringLiteral("Compte 1"), 100 - number);
        setBalance(QStringLiteral("Compte 2"), 200 + number);
        save();
    }

    // What a table file shows when it is opened afresh: every row, in order, field by field.
    QStringList contents(const char *name, const TFieldDefs &defs, QStringList *warnings = nullptr) const
    {
        auto table = makeTable(QStringLiteral("check"), defs, path(name));
        table->Open();
        if (warnings)
            *warnings = table->LoadWarnings();
        QStringList rows;
        for (table->First(); !table->AtEnd(); table->Next()) {
            QStringList values;
            for (const auto &field : table->Fields())
                values << field->AsString();
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }
    QStringList accountRows(QStringList *warnings = nullptr) const
    {
        return contents("Account.dat", FinanceTables::accountDefs(), warnings);
    }
    QStringList transactionRows(QStringList *warnings = nullptr) const
    {
        return contents("Transaction.dat", FinanceTables::transactionDefs(), warnings);
    }
    // The rows as the tables in memory hold them.
    QStringList memoryRows(TMemTable &table) const
    {
        QStringList rows;
        for (table.First(); !table.AtEnd(); table.Next()) {
            QStringList values;
            for (const auto &field : table.Fields())
                values << field->AsString();
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TMemTable> accounts;
    std::unique_ptr<TMemTable> transactions;
};

TEST_F(ChangeJournalTest, ASavedAction_GoesToTheJournal_TheFilesStay_AndAnyReaderSeesIt)
{
    ASSERT_EQ(filesInFolder(), QStringList({ "Account.dat", "Transaction.dat" }));
    const QByteArray accountFile = TestSupport::readFile(path("Account.dat"));
    const QByteArray transactionFile = TestSupport::readFile(path("Transaction.dat"));

    // An insert before the selected account, an edit, a delete and a new transaction, all in one action.
    ASSERT_TRUE(locate(*accounts, QStringLiteral("Account_Type"), QStringLiteral("Compte 2")));
    addAccount(*accounts, QStringLiteral("Livret"), 5, true);
    setBalance(QStringLiteral("Compte 3"), 333);
    ASSERT_TRUE(
        locate(*transactions, QStringLiteral("Transaction_Description"), QStringLiteral("Achat 1.2")));
    transactions->Delete();
    addTransaction(3, QStringLiteral("Loyer"), -700);
    save();

    EXPECT_FALSE(accounts->HasUnsavedChanges());
    EXPECT_FALSE(transactions->HasUnsavedChanges());
    EXPECT_EQ(TestSupport::readFile(path("Account.dat")), accountFile);
    EXPECT_EQ(TestSupport::readFile(path("Transaction.dat")), transactionFile);
    EXPECT_TRUE(QFileInfo::exists(journal()));
    QStringList warnings;
    EXPECT_EQ(accountRows(&warnings), memoryRows(*accounts));
    EXPECT_TRUE(warnings.isEmpty()) << qPrintable(warnings.join('\n'));
    EXPECT_EQ(transactionRows(), memoryRows(*transactions));
    EXPECT_EQ(column(*openAccounts(path("Account.dat")), "Account_Type"),
        QStringList({ "Compte 1", "Livret", "Compte 2", "Compte 3" }));
}

TEST_F(ChangeJournalTest, Folding_WritesTheTablesAsAWholeWriteWould_AndRemovesTheJournal)
{
    transfer(1);
    setBalance(QStringLiteral("Compte 3"), 1);
    save();
    ASSERT_TRUE(QFileInfo::exists(journal()));
    fold();
    EXPECT_EQ(filesInFolder(), QStringList({ "Account.dat", "Transaction.dat" }));
    EXPECT_EQ(TestSupport::readFile(path("Account.dat")), accounts->store()->toPacket(PacketForm::Binary));
    EXPECT_EQ(
        TestSupport::readFile(path("Transaction.dat")), transactions->store()->toPacket(PacketForm::Binary));
}

TEST_F(ChangeJournalTest, AJournalAppliedAgainOverFoldedFiles_ChangesNothing)
{
    // A process that dies after renaming the folded files but before dropping the journal.
    transfer(1);
    ASSERT_TRUE(
        locate(*transactions, QStringLiteral("Transaction_Description"), QStringLiteral("Achat 2.1")));
    transactions->Delete();
    addAccount(*accounts, QStringLiteral("Livret"), 5);
    save();
    const QByteArray leftOver = TestSupport::readFile(journal());
    fold();
    TestSupport::writeFile(journal(), leftOver);

    EXPECT_EQ(accountRows(), memoryRows(*accounts));
    EXPECT_EQ(transactionRows(), memoryRows(*transactions));
    // Numbers are never given twice, also after applying the journal again.
    auto reopened = openAccounts(path("Account.dat"));
    EXPECT_EQ(addAccount(*reopened, QStringLiteral("Suivant"), 0), 5);
}

struct Cut
{
    const char *name;
    int keep; // bytes of the last record that reach the disk; negative: counted from its end
    bool zeroes; // the rest of the record reads as zeroes (a system that died with the file grown)
};

class CutOffTest : public ChangeJournalTest, public ::testing::WithParamInterface<Cut>
{
};

TEST_P(CutOffTest, ATransferCutOff_IsLostWhole_TheActionsBeforeStay_AndItIsTold)
{
    transfer(1);
    const QStringList accountsBefore = memoryRows(*accounts);
    const QStringList transactionsBefore = memoryRows(*transactions);
    const qint64 before = QFileInfo(journal()).size();
    transfer(2);
    const QByteArray whole = TestSupport::readFile(journal());
    const qint64 record = whole.size() - before;
    const qint64 keep = GetParam().keep >= 0 ? GetParam().keep : record + GetParam().keep;
    QByteArray cut = whole.left(before + keep);
    if (GetParam().zeroes)
        cut += QByteArray(record - keep, '\0');
    TestSupport::writeFile(journal(), cut);

    QStringList warnings;
    EXPECT_EQ(accountRows(&warnings), accountsBefore);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(QDir::toNativeSeparators(journal())))
        << qPrintable(warnings.front());
    EXPECT_TRUE(warnings.front().contains(QStringLiteral("not completely written")));
    EXPECT_EQ(transactionRows(), transactionsBefore);
}

INSTANTIATE_TEST_SUITE_P(ChangeJournal, CutOffTest,
    ::testing::Values(Cut { "OneByte", 1, false }, Cut { "InsideTheHead", 11, false },
        Cut { "HalfTheParts", 60, false }, Cut { "AllButTheLastByte", -1, false },
        Cut { "ZeroesAfterTheHead", 12, true }, Cut { "ZeroesForTheLastBytes", -8, true }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ChangeJournalTest, ADamagedRecordInTheMiddle_LosesOnlyItsAction)
{
    transfer(1);
    const qint64 first = QFileInfo(journal()).size();
    setBalance(QStringLiteral("Compte 3"), 3);
    save();
    const qint64 second = QFileInfo(journal()).size();
    setBalance(QStringLiteral("Compte 1"), 11);
    save();
    QByteArray bytes = TestSupport::readFile(journal());
    bytes[(first + second) / 2] = char(bytes[(first + second) / 2] ^ 0x5A);
    TestSupport::writeFile(journal(), bytes);

    QStringList warnings;
    const QStringList rows = accountRows(&warnings);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(QStringLiteral("damaged"))) << qPrintable(warnings.front());
    EXPECT_TRUE(rows.contains(QStringLiteral("1|Compte 1|11"))) << qPrintable(rows.join(' '));
    EXPECT_TRUE(rows.contains(QStringLiteral("3|Compte 3|300"))) << qPrintable(rows.join(' '));
}

TEST_F(ChangeJournalTest, TheNextSave_CutsOffWhatACrashLeftHalfWritten)
{
    transfer(1);
    const QByteArray good = TestSupport::readFile(journal());
    TestSupport::writeFile(journal(), good + QByteArray("QCJ1\x40\x00\x00\x00 half a record", 22));

    // A new run: the tables as the journal gives them, then one more action.
    accounts = openAccounts(path("Account.dat"));
    EXPECT_EQ(accounts->LoadWarnings().size(), 1);
    setBalance(QStringLiteral("Compte 3"), 42);
    TCustomMemTable::SaveChangesTogether({ accounts.get() });

    QStringList warnings;
    EXPECT_EQ(accountRows(&warnings), memoryRows(*accounts));
    EXPECT_TRUE(warnings.isEmpty()) << qPrintable(warnings.join('\n'));
}

TEST_F(ChangeJournalTest, AnAppendThatFails_LeavesTheJournalAsItWas_AndTheChangesToSave)
{
    transfer(1);
    const QByteArray before = TestSupport::readFile(journal());
    for (int i = 0; i < 50; ++i)
        addAccount(*accounts, QStringLiteral("Un compte au nom assez long numéro %1").arg(i), i);
    {
        TestSupport::FileSizeLimit full(rlim_t(before.size() + 100));
        EXPECT_FALSE(messageOf([&] { save(); }).isEmpty());
    }
    EXPECT_EQ(TestSupport::readFile(journal()), before);
    EXPECT_TRUE(accounts->HasUnsavedChanges());
    save();
    EXPECT_EQ(accountRows().size(), 53);
}

TEST_F(ChangeJournalTest, AJournalThatOutgrowsItsShare_IsFoldedIntoTheFiles)
{
    // Every save changes the same thousand rows; a megabyte of changes is far past the tables' share.
    for (int i = 0; i < 1000; ++i)
        addTransaction(1 + i % 3, QStringLiteral("Courses du marché numéro %1").arg(i), i);
    fold();
    bool folded = false;
    for (int round = 1; round <= 40 && !folded; ++round) {
        for (transactions->First(); !transactions->AtEnd(); transactions->Next()) {
            transactions->Edit();
            transactions->FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(round);
            transactions->Post();
        }
        save();
        folded = !QFileInfo::exists(journal());
    }
    EXPECT_TRUE(folded);
    EXPECT_EQ(
        TestSupport::readFile(path("Transaction.dat")), transactions->store()->toPacket(PacketForm::Binary));
}

TEST_F(ChangeJournalTest, FoldingOneTable_KeepsTheOtherTablesParts)
{
    transfer(1);
    TCustomMemTable::FoldChangesTogether({ accounts.get() });
    ASSERT_TRUE(QFileInfo::exists(journal()));
    EXPECT_EQ(TestSupport::readFile(path("Account.dat")), accounts->store()->toPacket(PacketForm::Binary));
    EXPECT_EQ(transactionRows(), memoryRows(*transactions));
    fold();
    EXPECT_FALSE(QFileInfo::exists(journal()));
    EXPECT_EQ(transactionRows(), memoryRows(*transactions));
}

TEST_F(ChangeJournalTest, ATableThatLivesInTheJournalAlone_Exists_AndOpens)
{
    // A process that died after saving a new table's first rows but before its file was written.
    auto income = makeTable(QStringLiteral("tblIncome"), FinanceTables::incomeDefs(), path("Income.dat"));
    income->CreateEmpty();
    income->setKeepChangeLog(false);
    income->AppendRow();
    income->FieldNamed(QStringLiteral("Income_Description"))->setAsString(QStringLiteral("Salaire"));
    income->Post();
    ChangeJournal::append(journal(),
        { { ChangeJournal::tableKey(path("Income.dat")), ChangeJournal::PartKind::WholeTable,
            income->store()->toPacket(PacketForm::Binary) } });
    income->setFileName(QString());

    EXPECT_FALSE(QFileInfo::exists(path("Income.dat")));
    EXPECT_TRUE(TCustomMemTable::TableExists(path("Income.dat")));
    EXPECT_FALSE(TCustomMemTable::TableExists(path("Expence.dat")));
    EXPECT_EQ(contents("Income.dat", FinanceTables::incomeDefs()), QStringList({ "1|Salaire" }));
}

TEST_F(ChangeJournalTest, PartsThatDoNotFitTheColumns_AreLeftOut_AndTold)
{
    transfer(1);
    // The account file replaced by a table of other columns: its parts in the journal no longer fit.
    auto other = makeTable(QStringLiteral("other"), FinanceTables::incomeDefs(), path("Other.dat"));
    other->CreateEmpty();
    other->AppendRow();
    other->FieldNamed(QStringLiteral("Income_Description"))->setAsString(QStringLiteral("Salaire"));
    other->Post();
    other->Close();
    ASSERT_TRUE(QFile::remove(path("Account.dat")));
    ASSERT_TRUE(QFile::rename(path("Other.dat"), path("Account.dat")));

    QStringList warnings;
    EXPECT_EQ(contents("Account.dat", FinanceTables::incomeDefs(), &warnings), QStringList({ "1|Salaire" }));
    ASSERT_FALSE(warnings.isEmpty());
    EXPECT_TRUE(warnings.front().contains(QStringLiteral("other columns"))) << qPrintable(warnings.front());
}

TEST(ChangeJournalKeys, ATableWithoutNumbers_IsWrittenWholeAtEachSave)
{
    QTemporaryDir dir;
    TFieldDefs defs;
    defs.Add(QStringLiteral("Name"), ftString, 20);
    auto first = makeTable(QStringLiteral("first"), defs, dir.filePath(QStringLiteral("First.dat")));
    auto second = createAccounts(dir.filePath(QStringLiteral("Account.dat")));
    first->CreateEmpty();
    first->setKeepChangeLog(false);
    first->AppendRow();
    first->FieldNamed(QStringLiteral("Name"))->setAsString(QStringLiteral("a"));
    first->Post();
    addAccount(*second, QStringLiteral("Banque"));
    TCustomMemTable::SaveChangesTogether({ first.get(), second.get() });

    first->AppendRow();
    first->FieldNamed(QStringLiteral("Name"))->setAsString(QStringLiteral("b"));
    first->Post();
    addAccount(*second, QStringLiteral("Livret"));
    TCustomMemTable::SaveChangesTogether({ first.get(), second.get() });
    // Rows without a number of their own cannot be found again by it: the table went out whole, folded.
    EXPECT_EQ(TestSupport::readFile(dir.filePath(QStringLiteral("First.dat"))),
        first->store()->toPacket(PacketForm::Binary));
    EXPECT_FALSE(QFileInfo::exists(ChangeJournal::pathFor(dir.filePath(QStringLiteral("First.dat")))));
}

} // namespace
