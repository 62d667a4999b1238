#include "FormsFixture.h"

#include "forms/Main.h"
#include "platform/Exceptions.h"
#include "store/ChangeJournal.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <cstring>
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

// ---- The change journal through the running program

// The accounts of the open program: names, the sum of the balances, the number of transactions.
struct Ledger
{
    QStringList names;
    double balances = 0;
    int transactions = 0;
};

Ledger ledger()
{
    Ledger l;
    TMemTable *accounts = DataModule1->tblAccount;
    for (accounts->First(); !accounts->AtEnd(); accounts->Next()) {
        l.names << DataModule1->tblAccountAccount_Type->AsString();
        l.balances += DataModule1->tblAccountAccount_Balance->AsNumber();
        l.transactions += DataModule1->tblTransaction->ViewRowCount();
    }
    return l;
}

// Account i (1, 2, 3, …) with its balance 100 i and one transaction of i, one action each.
void addAccountWithTransaction(int i)
{
    DataModule1->tblAccount->AppendRow();
    DataModule1->tblAccountAccount_Type->setAsString(QStringLiteral("Compte %1").arg(i));
    DataModule1->tblAccountAccount_Balance->setAsNumber(i * 100);
    DataModule1->tblAccount->Post();
    addTransaction(i);
}

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
}

TEST_F(DurabilityTest, AnActionOnLargeTables_IsSavedToTheJournal_NotByRewritingTheTables)
{
    for (int i = 1; i <= 2; ++i) {
        addAccountWithTransaction(i);
        flushSaves();
    }
    const QByteArray accounts = TestSupport::readFile(dataFile("Account.dat"));
    const QByteArray transactions = TestSupport::readFile(dataFile("Transaction.dat"));
    addAccountWithTransaction(3);
    flushSaves();
    EXPECT_FALSE(DataModule1->tblAccount->HasUnsavedChanges());
    EXPECT_EQ(TestSupport::readFile(dataFile("Account.dat")), accounts);
    EXPECT_EQ(TestSupport::readFile(dataFile("Transaction.dat")), transactions);
    EXPECT_TRUE(QFileInfo::exists(dataFile(ChangeJournal::kFileName)));
    // The end of the run folds the journal into the files.
    stop();
    EXPECT_EQ(QDir(dataFolder()).entryList(QDir::Files), QStringList({ "Account.dat", "Transaction.dat" }));
    start();
    EXPECT_EQ(ledger().names, QStringList({ "Compte 1", "Compte 2", "Compte 3" }));
}

TEST_F(DurabilityTest, AFolderCopiedWhileTheProgramRuns_OpensWithEveryReportedAction)
{
    for (int i = 1; i <= 3; ++i) {
        addAccountWithTransaction(i);
        flushSaves();
    }
    const QString copy = folder.path() + QStringLiteral("/Copy");
    copyFolder(dataFolder(), copy);
    stop();
    app = std::make_unique<FinanceApp>(copy);
    const Ledger l = ledger();
    EXPECT_EQ(l.names, QStringList({ "Compte 1", "Compte 2", "Compte 3" }));
    EXPECT_EQ(l.balances, 100 + 1 + 200 + 2 + 300 + 3);
    EXPECT_EQ(l.transactions, 3);
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

TEST_F(DurabilityTest, AJournalCutOffInTheLastAction_LosesThatActionOnly_AndTellsItOnce)
{
    for (int i = 1; i <= 3; ++i) {
        addAccountWithTransaction(i);
        flushSaves();
    }
    const QString copy = folder.path() + QStringLiteral("/Copy");
    copyFolder(dataFolder(), copy);
    stop();
    const QString journal = QDir(copy).filePath(ChangeJournal::kFileName);
    const QByteArray bytes = TestSupport::readFile(journal);
    TestSupport::writeFile(journal, bytes.left(bytes.size() - 5));

    app = std::make_unique<FinanceApp>(copy);
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors().front().contains(QDir::toNativeSeparators(journal)))
        << qPrintable(dialogs.errors().front());
    const Ledger l = ledger();
    EXPECT_EQ(l.names, QStringList({ "Compte 1", "Compte 2" }));
    EXPECT_EQ(l.balances, 100 + 1 + 200 + 2);
    EXPECT_EQ(l.transactions, 2);
}

// The child half of the killed-run tests of the journal: runs only inside the process the parent starts, and
// ends itself at the step of saving or applying the parent names.
const char *g_killStep = nullptr;

void dieAtStep(const char *step)
{
    if (g_killStep && std::strcmp(step, g_killStep) == 0)
        ::_exit(0);
}

TEST(KilledRunChild, DiesAtAStepOfTheJournal)
{
    const QString folder = qEnvironmentVariable("QUILLOT_KILLED_RUN_FOLDER");
    const QByteArray step = qgetenv("QUILLOT_KILLED_RUN_STEP");
    if (folder.isEmpty() || step.isEmpty())
        GTEST_SKIP() << "started by DurabilityTest.KilledAtAStep";
    g_killStep = step.constData();
    ScriptedDialogs dialogs;
    if (step == "applying") {
        // A start on a journal left by a run that died: dies while applying it.
        ChangeJournal::setStepObserver(dieAtStep);
        FinanceApp app(folder);
        ::_exit(3);
    }
    auto app = std::make_unique<FinanceApp>(folder);
    for (int i = 1; i <= 3; ++i) {
        if (i == 3 && step == "written")
            ChangeJournal::setStepObserver(dieAtStep); // the last action dies before its record is flushed
        addAccountWithTransaction(i);
        QCoreApplication::processEvents(); // the end of each user action
    }
    if (step != "none") {
        // The end of the run dies while folding.
        ChangeJournal::setStepObserver(dieAtStep);
        app.reset();
        ::_exit(3);
    }
    ::_exit(0);
}

class KilledAtAStep : public FormsFixture, public ::testing::WithParamInterface<const char *>
{
protected:
    void runChild(const char *step)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUILLOT_KILLED_RUN_FOLDER", dataFolder());
        environment.insert("QUILLOT_KILLED_RUN_STEP", QString::fromLatin1(step));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
            { "--gtest_filter=KilledRunChild.DiesAtAStepOfTheJournal" });
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(child.exitCode(), 0) << "the child did not reach the step " << step;
    }
};

TEST_P(KilledAtAStep, LosesNoSavedAction_AndDoublesNone)
{
    stop();
    const QString step = QString::fromLatin1(GetParam());
    if (step == "applying") {
        runChild("none");
        runChild("applying");
    } else {
        runChild(GetParam());
    }
    start();
    EXPECT_TRUE(dialogs.errors().isEmpty()) << qPrintable(dialogs.errors().join('\n'));
    const Ledger l = ledger();
    // A record written but not yet flushed was written whole; the system keeps it for the next run.
    EXPECT_EQ(l.names, QStringList({ "Compte 1", "Compte 2", "Compte 3" }));
    EXPECT_EQ(l.balances, 100 + 1 + 200 + 2 + 300 + 3);
    EXPECT_EQ(l.transactions, 3);
    // The next run folds what is left and goes on numbering where the saved run stopped.
    addAccountWithTransaction(4);
    flushSaves();
    restart();
    EXPECT_EQ(ledger().names, QStringList({ "Compte 1", "Compte 2", "Compte 3", "Compte 4" }));
    DataModule1->tblAccount->Last();
    EXPECT_EQ(DataModule1->tblAccountAccount_Number->AsInteger(), 4);
}

INSTANTIATE_TEST_SUITE_P(Journal, KilledAtAStep,
    ::testing::Values("written", "staged", "renamed", "folded", "applying"),
    [](const auto &info) { return std::string(info.param); });

} // namespace
