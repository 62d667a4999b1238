#include "FormsFixture.h"

#include "forms/Main.h"
#include "platform/Exceptions.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <unistd.h>

namespace {

using DurabilityTest = FormsFixture;

void addTransaction(double amount)
{
    DataModule1->tblTransaction->Insert();
    DataModule1->tblTransactionTransaction_Description->setAsString("Salaire");
    DataModule1->tblTransactionTransaction_Amount->setAsNumber(amount);
    DataModule1->tblTransaction->Post();
    DataModule1->tblAccount->Edit();
    DataModule1->tblAccountAccount_Balance->setAsNumber(
        DataModule1->tblAccountAccount_Balance->AsNumber() + amount);
    DataModule1->tblAccount->Post();
}

TEST_F(DurabilityTest, AnAction_IsWrittenWhenTheEventLoopRuns_BothTablesTogether)
{
    addAccount("Banque", 100);
    addTransaction(50);
    EXPECT_TRUE(FinanceApp::saver()->savePending());
    EXPECT_FALSE(QFileInfo::exists(dataFile("Account.dat"))) << "nothing is written inside the action";
    flushSaves();
    EXPECT_FALSE(FinanceApp::saver()->savePending());
    EXPECT_FALSE(DataModule1->tblAccount->HasUnsavedChanges());
    EXPECT_FALSE(DataModule1->tblTransaction->HasUnsavedChanges());
    EXPECT_TRUE(QFileInfo::exists(dataFile("Account.dat")));
    EXPECT_TRUE(QFileInfo::exists(dataFile("Transaction.dat")));
}

TEST_F(DurabilityTest, ADeleteIsWrittenToo)
{
    addAccount("Banque", 100);
    addAccount("Livret", 5);
    flushSaves();
    DataModule1->tblAccount->Delete();
    EXPECT_TRUE(FinanceApp::saver()->savePending());
    flushSaves();
    TMemTable check;
    check.setFileName(dataFile("Account.dat"));
    check.Open();
    EXPECT_EQ(check.ViewRowCount(), 1);
}

TEST_F(DurabilityTest, AFailedWrite_IsShown_KeepsTheTableChanged_AndIsRetriedAfterTheNextAction)
{
    addAccount("Banque", 100);
    {
        TestSupport::FileSizeLimit full(16);
        flushSaves();
    }
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(DataModule1->tblAccount->HasUnsavedChanges());
    EXPECT_FALSE(QFileInfo::exists(dataFile("Account.dat")));
    EXPECT_EQ(QDir(dataFolder()).entryList(QDir::Files).size(), 0) << "no temporary file is left";

    DataModule1->tblExpence->AppendRow();
    DataModule1->tblExpenceExpence_Description->setAsString("Loyer");
    DataModule1->tblExpence->Post();
    flushSaves();
    EXPECT_FALSE(DataModule1->tblAccount->HasUnsavedChanges());
    EXPECT_TRUE(QFileInfo::exists(dataFile("Account.dat")));
    EXPECT_TRUE(QFileInfo::exists(dataFile("Expence.dat")));
}

TEST_F(DurabilityTest, AWriteThatFailsAtTheEnd_IsShownInTheErrorBox)
{
    addAccount("Banque", 100);
    {
        TestSupport::FileSizeLimit full(16);
        stop();
    }
    EXPECT_FALSE(dialogs.errors().isEmpty());
}

// The child half of the killed-run test: runs only inside the process the parent starts.
TEST(KilledRunChild, DoesActionsAndDiesWithoutClosing)
{
    const QString folder = qEnvironmentVariable("QUILLOT_KILLED_RUN_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP() << "started by DurabilityTest.ARunKilledInTheMiddle_LosesAtMostTheActionInProgress";
    ScriptedDialogs dialogs;
    auto app = std::make_unique<FinanceApp>(folder);
    for (int i = 1; i <= 3; ++i) {
        DataModule1->tblAccount->AppendRow();
        DataModule1->tblAccountAccount_Type->setAsString(QStringLiteral("Compte %1").arg(i));
        DataModule1->tblAccountAccount_Balance->setAsNumber(i * 100);
        DataModule1->tblAccount->Post();
        addTransaction(i);
        QCoreApplication::processEvents(); // the end of each user action
    }
    // The action in progress when the process dies: posted, but control never returned to the event loop.
    DataModule1->tblAccount->AppendRow();
    DataModule1->tblAccountAccount_Type->setAsString(QStringLiteral("Perdu"));
    DataModule1->tblAccount->Post();
    ::_exit(0);
}

TEST_F(DurabilityTest, ARunKilledInTheMiddle_LosesAtMostTheActionInProgress)
{
    stop();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLOT_KILLED_RUN_FOLDER", dataFolder());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
        { "--gtest_filter=KilledRunChild.DoesActionsAndDiesWithoutClosing" });
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitStatus(), QProcess::NormalExit);

    start();
    EXPECT_TRUE(dialogs.errors().isEmpty());
    TMemTable *accounts = DataModule1->tblAccount;
    QStringList names;
    double balances = 0;
    int transactions = 0;
    for (accounts->First(); !accounts->AtEnd(); accounts->Next()) {
        names << DataModule1->tblAccountAccount_Type->AsString();
        balances += DataModule1->tblAccountAccount_Balance->AsNumber();
        transactions += DataModule1->tblTransaction->ViewRowCount();
    }
    EXPECT_EQ(names, QStringList({ "Compte 1", "Compte 2", "Compte 3" }));
    EXPECT_EQ(balances, 100 + 1 + 200 + 2 + 300 + 3);
    EXPECT_EQ(transactions, 3);
}

} // namespace
