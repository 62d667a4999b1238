#include "MemTableTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <sys/resource.h>

using namespace MemTableTestSupport;

namespace {

class MemTableFileTest : public ::testing::Test
{
protected:
    QString file() const { return m_dir.filePath("Account.dat"); }
    QStringList filesInFolder() const { return QDir(m_dir.path()).entryList(QDir::Files); }
    QByteArray bytes() const { return TestSupport::readFile(file()); }
    QTemporaryDir m_dir;
};

TEST_F(MemTableFileTest, WorkedExample_IsWrittenByteForByte)
{
    auto table = createAccounts(file());
    addAccount(*table, "Banque", 100.5);
    table->Close();
    EXPECT_EQ(bytes(),
        TestSupport::fromHex("96 19 E0 BD 01 00 00 00 18 00 00 00 03 00 01 00 00 00 03 00 00 00 A9 00"
                             "0E 4163636F756E745F4E756D626572 04 00 01 00 02 00 01 00"
                             "07 53554254595045 02 00 49 00 08 00 4175746F696E6300"
                             "0C 4163636F756E745F54797065 01 00 49 00 00 00 01 00"
                             "05 5749445448 02 00 02 00 32 00"
                             "0F 4163636F756E745F42616C616E6365 08 00 04 00 00 00 01 00"
                             "07 53554254595045 02 00 49 00 06 00 4D6F6E657900"
                             "01 00 0C 4155544F494E4356414C5545 04 00 01 00 02 00 00 00"
                             "00 00 01 00 00 00 06 42616E717565 00 00 00 00 00 20 59 40"));
}

TEST_F(MemTableFileTest, ATableCreatedEmptyThatReceivedNoRow_WritesNoFile)
{
    auto table = createAccounts(file());
    table->Close();
    EXPECT_TRUE(filesInFolder().isEmpty());
}

TEST_F(MemTableFileTest, ARunThatChangesNothing_DoesNotWrite_AndAnEditWritesAgain)
{
    {
        auto table = createAccounts(file());
        addAccount(*table, "A", 1);
    }
    const QDateTime stamp = QDateTime::currentDateTime().addDays(-1);
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    {
        auto table = openAccounts(file());
        column(*table, "Account_Type");
        table->Edit();
        table->Cancel();
        table->Close();
    }
    EXPECT_EQ(QFileInfo(file()).lastModified(), stamp);
    {
        auto table = openAccounts(file());
        table->Edit();
        table->FieldNamed("Account_Balance")->setAsNumber(2);
        table->Post();
        table->Close();
    }
    EXPECT_NE(QFileInfo(file()).lastModified(), stamp);
    auto table = openAccounts(file());
    EXPECT_EQ(table->FieldNamed("Account_Balance")->AsNumber(), 2);
}

TEST_F(MemTableFileTest, SaveChanges_WritesNowWithoutClosing_AndOnlyWhenSomethingChanged)
{
    auto table = createAccounts(file());
    table->SaveChanges();
    EXPECT_TRUE(filesInFolder().isEmpty());
    addAccount(*table, "A", 1);
    table->SaveChanges();
    EXPECT_TRUE(table->Active());
    EXPECT_EQ(openAccounts(file())->ViewRowCount(), 1);
    const QByteArray saved = bytes();
    QFile::remove(file());
    table->SaveChanges();
    EXPECT_FALSE(QFileInfo::exists(file())) << "nothing changed since the last save";
    TestSupport::writeFile(file(), saved);
    table->Close();
    EXPECT_EQ(bytes(), saved);
}

TEST_F(MemTableFileTest, AFailedSave_KeepsTheOldFile_AndTheChangesForTheNextSave)
{
    auto table = createAccounts(file());
    addAccount(*table, "A", 1);
    table->SaveChanges();
    const QByteArray old = bytes();
    addAccount(*table, "B", 2);
    {
        TestSupport::FileSizeLimit limit(rlim_t(old.size()));
        EXPECT_FALSE(messageOf([&] { table->SaveChanges(); }).isEmpty());
    }
    EXPECT_EQ(bytes(), old);
    EXPECT_EQ(filesInFolder(), QStringList({ "Account.dat" })) << "no temporary file is left behind";
    table->SaveChanges();
    EXPECT_EQ(column(*openAccounts(file()), "Account_Type"), QStringList({ "A", "B" }));
}

TEST_F(MemTableFileTest, AFailedWriteInClose_RaisesTheError_KeepsTheOldFile_AndClosesTheTable)
{
    auto table = createAccounts(file());
    addAccount(*table, "A", 1);
    table->SaveChanges();
    const QByteArray old = bytes();
    addAccount(*table, "B", 2);
    {
        TestSupport::FileSizeLimit limit(rlim_t(old.size()));
        EXPECT_FALSE(messageOf([&] { table->Close(); }).isEmpty());
    }
    EXPECT_FALSE(table->Active());
    EXPECT_EQ(table->store(), nullptr);
    EXPECT_EQ(bytes(), old);
    EXPECT_EQ(filesInFolder(), QStringList({ "Account.dat" }));
    table.reset(); // destroying the closed table writes nothing and throws nothing
    EXPECT_EQ(bytes(), old);
}

TEST_F(MemTableFileTest, DestroyingAnOpenChangedTable_WritesIt)
{
    {
        auto table = createAccounts(file());
        addAccount(*table, "A", 1);
    }
    EXPECT_EQ(column(*openAccounts(file()), "Account_Type"), QStringList({ "A" }));
}

TEST_F(MemTableFileTest, DestroyingATableWhoseWriteFails_DoesNotThrow)
{
    auto table = createAccounts(m_dir.filePath("missing/Account.dat"));
    addAccount(*table, "A", 1);
    EXPECT_NO_THROW(table.reset());
}

TEST_F(MemTableFileTest, AnXmlName_WritesTheXmlForm_WhichReadsBackUnderAnyName)
{
    const QString xml = m_dir.filePath("Account.XML");
    {
        auto table = createAccounts(xml);
        addAccount(*table, "Crédit € ", 12.25);
    }
    EXPECT_TRUE(TestSupport::readFile(xml).startsWith("<?xml"));
    QFile::rename(xml, file());
    auto table = openAccounts(file());
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), QStringLiteral("Crédit €"));
    EXPECT_EQ(table->FieldNamed("Account_Balance")->AsNumber(), 12.25);
}

TEST_F(MemTableFileTest, ADamagedFile_FailsWithAStoreError_AndLeavesTheTableClosed)
{
    TestSupport::writeFile(file(), "not a table");
    auto table = makeTable("tblAccount", FinanceTables::accountDefs(), file());
    try {
        table->Open();
        FAIL() << "opened a damaged file";
    } catch (const EStoreError &error) {
        EXPECT_EQ(error.StatusCode(), StoreStatus::InvalidPacket);
    }
    EXPECT_FALSE(table->Active());
    EXPECT_EQ(table->store(), nullptr);
}

// The worked example with another stored next auto-increment value (the row carries number 1).
QByteArray exampleWithNextValue(qint32 next)
{
    QByteArray packet = TestSupport::fromHex(
        "96 19 E0 BD 01 00 00 00 18 00 00 00 03 00 01 00 00 00 03 00 00 00 A9 00"
        "0E 4163636F756E745F4E756D626572 04 00 01 00 02 00 01 00 07 53554254595045 02 00 49 00 08 00 "
        "4175746F696E6300"
        "0C 4163636F756E745F54797065 01 00 49 00 00 00 01 00 05 5749445448 02 00 02 00 32 00"
        "0F 4163636F756E745F42616C616E6365 08 00 04 00 00 00 01 00 07 53554254595045 02 00 49 00 06 00 "
        "4D6F6E657900"
        "01 00 0C 4155544F494E4356414C5545 04 00 01 00 02 00 00 00 00 00 01 00 00 00 06 42616E717565"
        "00 00 00 00 00 20 59 40");
    qToLittleEndian<qint32>(next, packet.data() + 165);
    return packet;
}

TEST_F(MemTableFileTest, AStoredNextNumberBelowTheHighestKey_DoesNotHandOutAKeyInUse)
{
    TestSupport::writeFile(file(), exampleWithNextValue(1));
    auto table = openAccounts(file());
    EXPECT_EQ(addAccount(*table, "B"), 2);
}

TEST_F(MemTableFileTest, WhenTheNumbersRunOut_PostFails_AndTheRowStaysPending)
{
    TestSupport::writeFile(file(), exampleWithNextValue(2147483647));
    auto table = openAccounts(file());
    table->AppendRow();
    table->FieldNamed("Account_Type")->setAsString("B");
    try {
        table->Post();
        FAIL() << "posted a row without a number";
    } catch (const EStoreError &error) {
        EXPECT_EQ(error.StatusCode(), StoreStatus::NotAllowed);
    }
    EXPECT_EQ(table->State(), dsInsert);
    EXPECT_EQ(table->FieldNamed("Account_Type")->AsString(), "B");
    table->Cancel();
    EXPECT_EQ(column(*table, "Account_Type"), QStringList({ "Banque" }));
    table->Close();
    EXPECT_EQ(bytes(), exampleWithNextValue(2147483647)) << "nothing changed, nothing written";
}

TEST_F(MemTableFileTest, DuplicateColumnNames_GetNumberedFieldNames)
{
    TMemTable table;
    table.FieldDefs().Add("A", ftInteger);
    table.FieldDefs().Add("B", ftInteger);
    table.setFileName(file());
    table.CreateEmpty();
    table.AppendRow();
    table.Fields()[0]->setAsInteger(1);
    table.Post();
    table.Close();
    // Rename column B to A in the file: both names are one byte long, so the layout stays.
    QByteArray packet = bytes();
    const qsizetype at = packet.indexOf(QByteArray("\x01"
                                                   "B",
        2));
    ASSERT_GT(at, 0);
    packet[at + 1] = 'A';
    TestSupport::writeFile(file(), packet);
    table.FieldDefs().Clear();
    table.Open();
    ASSERT_EQ(table.FieldCount(), 2);
    EXPECT_EQ(table.Fields()[0]->FieldName(), "A");
    EXPECT_EQ(table.Fields()[1]->FieldName(), "A_1");
}

} // namespace
