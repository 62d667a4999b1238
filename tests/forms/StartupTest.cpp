#include "FormsFixture.h"

#include "forms/AEAccount.h"
#include "forms/AEExpence.h"
#include "forms/AEIncome.h"
#include "forms/AccountDetail.h"
#include "forms/DefineExpences.h"
#include "forms/DefineIncome.h"
#include "forms/Expences.h"
#include "forms/Income.h"
#include "forms/InterAccount.h"
#include "forms/Main.h"
#include "forms/TableSetup.h"
#include "platform/RegionalSettings.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QLabel>

namespace {

using StartupTest = FormsFixture;

TEST_F(StartupTest, FirstRun_CreatesTheDataFolder_OpensFourEmptyTables_AndWritesNothing)
{
    EXPECT_TRUE(QFileInfo(dataFolder()).isDir());
    for (TMemTable *table : DataModule1->tables()) {
        EXPECT_TRUE(table->Active()) << qPrintable(table->objectName());
        EXPECT_TRUE(table->IsEmpty());
        EXPECT_FALSE(table->KeepChangeLog());
    }
    EXPECT_EQ(DataModule1->tblAccount->FileName(), dataFile("Account.dat"));
    EXPECT_EQ(DataModule1->tblIncome->FileName(), dataFile("Income.dat"));
    stop();
    EXPECT_TRUE(QDir(dataFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(StartupTest, EveryWindowExistsHidden_InItsGlobal_UntilTheEnd)
{
    const std::vector<QWidget *> windows = { frmMain, frmAccountDetail, frmAEAccount, frmInterAccount,
        frmExpences, frmDefineExpences, frmAEExpence, frmIncome, frmDefineIncome, frmAEIncome };
    for (QWidget *window : windows) {
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(frmMain->windowTitle(), "Quillot Portable");
    stop();
    EXPECT_EQ(frmMain, nullptr);
    EXPECT_EQ(frmAEIncome, nullptr);
    EXPECT_EQ(DataModule1, nullptr);
}

TEST_F(StartupTest, ARestart_ShowsEverythingAgain)
{
    addAccount("Banque", 100);
    addAccount("Livret", 250.5);
    DataModule1->tblIncome->AppendRow();
    DataModule1->tblIncomeIncome_Description->setAsString("Salaire");
    DataModule1->tblIncome->Post();
    restart();
    EXPECT_EQ(DataModule1->tblAccount->ViewRowCount(), 2);
    EXPECT_EQ(DataModule1->tblIncome->ViewRowCount(), 1);
    EXPECT_EQ(DataModule1->tblIncomeIncome_Description->AsString(), "Salaire");
    frmMain->show();
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(350.5));
}

TEST_F(StartupTest, OneFilePresent_IsLoaded_TheOthersStartEmpty)
{
    addAccount("Banque", 100);
    stop();
    ASSERT_EQ(QDir(dataFolder()).entryList(QDir::Files), QStringList({ "Account.dat" }));
    start();
    EXPECT_EQ(DataModule1->tblAccount->ViewRowCount(), 1);
    for (TMemTable *table : DataModule1->tables())
        EXPECT_TRUE(table->Active());
    EXPECT_TRUE(dialogs.messages.empty());
}

class DamagedFileTest : public FormsFixture, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(DamagedFileTest, IsReportedWithItsPath_OpensTheOthers_AndIsNeverOverwritten)
{
    addAccount("Banque", 100);
    DataModule1->tblExpence->AppendRow();
    DataModule1->tblExpenceExpence_Description->setAsString("Loyer");
    DataModule1->tblExpence->Post();
    stop();
    const QString damaged = dataFile(GetParam());
    const QByteArray garbage("this is not a table file at all");
    TestSupport::writeFile(damaged, garbage);

    start();
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors().front().contains(QDir::toNativeSeparators(damaged)))
        << qPrintable(dialogs.errors().front());
    int open = 0;
    for (TMemTable *table : DataModule1->tables()) {
        if (table->FileName() == damaged)
            EXPECT_FALSE(table->Active());
        else
            open += table->Active() ? 1 : 0;
    }
    EXPECT_EQ(open, 3);
    // Work on the sound tables goes on and reaches the disk; the damaged file stays as it was.
    if (DataModule1->tblIncome->Active()) {
        DataModule1->tblIncome->AppendRow();
        DataModule1->tblIncomeIncome_Description->setAsString("Prime");
        DataModule1->tblIncome->Post();
    }
    flushSaves();
    stop();
    EXPECT_EQ(TestSupport::readFile(damaged), garbage);
}

INSTANTIATE_TEST_SUITE_P(EachTable, DamagedFileTest,
    ::testing::Values("Account.dat", "Transaction.dat", "Expence.dat", "Income.dat"));

TEST_F(StartupTest, AnEmptyFile_IsReported_AndLeftAlone)
{
    stop();
    TestSupport::writeFile(dataFile("Transaction.dat"), QByteArray());
    start();
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_FALSE(DataModule1->tblTransaction->Active());
    EXPECT_TRUE(DataModule1->tblAccount->Active());
    stop();
    EXPECT_EQ(QFileInfo(dataFile("Transaction.dat")).size(), 0);
}

} // namespace
