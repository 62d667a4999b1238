// The time until control returns to the user after an action, including its durable save (the changes on
// the disk), on a heavy user's data of 30 000 transactions and on 1 000 000: an income recorded through the
// income window, an account edited, a transaction deleted (with its account's balance) and a transfer between
// two accounts. Each figure is the median of nine actions (the slowest is printed too), with the part of it
// spent saving.
#include "BenchData.h"
#include "FinanceBenchData.h"

#include "forms/Datamod.h"
#include "forms/FinanceApp.h"
#include "forms/Income.h"
#include "forms/TableSaver.h"
#include "forms/TransactionEntry.h"
#include "forms/TransactionRemoval.h"
#include "forms/Transfer.h"
#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "widgets/DBEdit.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The benchmark runs without a screen: every box is answered at once and counted.
class QuietDialogs : public Dialogs::Handler
{
public:
    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(request.text));
        ++boxes;
        return Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return QString(); }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    bool exec(QDialog &) override { return true; }

    int boxes = 0;
};

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// One income as the user records it: the main window's button starts the row, the window is filled and
// saved, and the changed tables reach the disk.
bool recordIncome(int index, double &writeMs)
{
    if (!TransactionEntry::beginTransactionEntry(nullptr))
        return false;
    frmIncome->DBEdit1->setText(QStringLiteral("Salaire"));
    frmIncome->DBEdit1->link().setModified(true);
    DataModule1->tblTransactionTransaction_Date->setAsDateTime(45000 + index);
    frmIncome->DBEdit2->setText(RegionalSettings::current().formatFixed(1234.56, 2));
    frmIncome->DBEdit2->link().setModified(true);
    frmIncome->btnSaveClick();
    QElapsedTimer write;
    write.start();
    const bool written = FinanceApp::saver()->saveNow();
    writeMs = msSince(write);
    return written;
}

// An account renamed, as the account editor saves it.
bool editAccount(int index, double &)
{
    DataModule1->tblAccount->Edit();
    DataModule1->tblAccountAccount_Type->setAsString(QStringLiteral("Compte renommé %1").arg(index));
    DataModule1->tblAccount->Post();
    return true;
}

// The current account's first transaction deleted, its amount taken back from the balance.
bool deleteTransaction(int, double &)
{
    DataModule1->tblTransaction->First();
    TransactionRemoval::run(*DataModule1, [] {});
    return true;
}

// A transfer between the first two accounts.
bool transfer(int index, double &)
{
    TMemTable &accounts = *DataModule1->tblAccount;
    accounts.First();
    const Transfer::Account from { DataModule1->tblAccountAccount_Number->AsInteger(),
        DataModule1->tblAccountAccount_Type->AsString() };
    accounts.Next();
    const Transfer::Account to { DataModule1->tblAccountAccount_Number->AsInteger(),
        DataModule1->tblAccountAccount_Type->AsString() };
    Transfer::run(*DataModule1, from, to, 10 + index, 45000 + index);
    return true;
}

using Action = bool (*)(int index, double &writeMs);

// Nine actions of one kind: the median, the slowest and the median of the save.
bool measure(const char *name, Action action, bool savesItself)
{
    constexpr int kActions = 9;
    std::vector<double> times;
    std::vector<double> writes;
    for (int i = 0; i < kActions; ++i) {
        QElapsedTimer timer;
        timer.start();
        double writeMs = 0;
        bool done = false;
        try {
            done = action(i, writeMs);
            if (done && !savesItself) {
                QElapsedTimer write;
                write.start();
                done = FinanceApp::saver()->saveNow();
                writeMs = msSince(write);
            }
        } catch (const Exception &error) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(error.message()));
        }
        if (!done) {
            std::fprintf(stderr, "%s: the action failed\n", name);
            return false;
        }
        times.push_back(msSince(timer));
        writes.push_back(writeMs);
    }
    std::sort(times.begin(), times.end());
    std::sort(writes.begin(), writes.end());
    BenchData::line(name, times[times.size() / 2], "ms");
    char label[200];
    std::snprintf(label, sizeof label, "%s, slowest", name);
    BenchData::line(label, times.back(), "ms");
    std::snprintf(label, sizeof label, "%s, of which the write", name);
    BenchData::line(label, writes[writes.size() / 2], "ms");
    return true;
}

void run(int accounts, int transactions, const char *name, const char *size)
{
    QTemporaryDir folder;
    const QString data = folder.path() + QStringLiteral("/Data");
    FinanceBenchData::write(data, accounts, transactions);

    QuietDialogs dialogs;
    Dialogs::ScopedHandler answer(dialogs);
    FinanceApp app(data);
    const double before = DataModule1->tblAccountAccount_Balance->AsNumber();
    if (!measure(name, recordIncome, true))
        return;
    const double after = DataModule1->tblAccountAccount_Balance->AsNumber();
    if (dialogs.boxes != 0 || std::abs(after - before - 9 * 1234.56) > 0.005) {
        std::fprintf(stderr, "%s: the entries did not all reach the balance\n", name);
        return;
    }
    char label[200];
    std::snprintf(label, sizeof label, "account edit with durable write, %s transactions", size);
    measure(label, editAccount, false);
    std::snprintf(label, sizeof label, "transaction delete with durable write, %s transactions", size);
    measure(label, deleteTransaction, false);
    std::snprintf(label, sizeof label, "transfer with durable write, %s transactions", size);
    measure(label, transfer, false);
}

} // namespace

int main(int argc, char **argv)
{
    // No window is shown: the offscreen platform serves where no display is set.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    run(10, 30000, "income with durable write, 30 000 transactions (target 100 ms)", "30 000");
    run(1000, 1000000, "income with durable write, 1 000 000 transactions", "1 000 000");
    return 0;
}
