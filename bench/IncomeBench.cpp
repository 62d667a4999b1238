// Recording one income through the income window, including its durable write (the changed tables written
// to the Data folder), on a heavy user's data of 30 000 transactions and on 1 000 000. The figure is the
// median of nine entries (the slowest is printed too), and the part of it spent writing the files.
#include "BenchData.h"
#include "FinanceBenchData.h"

#include "forms/Datamod.h"
#include "forms/FinanceApp.h"
#include "forms/Income.h"
#include "forms/TableSaver.h"
#include "forms/TransactionEntry.h"
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

void run(int accounts, int transactions, const char *name)
{
    QTemporaryDir folder;
    const QString data = folder.path() + QStringLiteral("/Data");
    FinanceBenchData::write(data, accounts, transactions);

    QuietDialogs dialogs;
    Dialogs::ScopedHandler answer(dialogs);
    FinanceApp app(data);
    const double before = DataModule1->tblAccountAccount_Balance->AsNumber();

    constexpr int kEntries = 9;
    std::vector<double> times;
    std::vector<double> writes;
    for (int i = 0; i < kEntries; ++i) {
        QElapsedTimer timer;
        timer.start();
        double writeMs = 0;
        if (!recordIncome(i, writeMs)) {
            std::fprintf(stderr, "%s: the entry failed\n", name);
            return;
        }
        times.push_back(msSince(timer));
        writes.push_back(writeMs);
    }
    const double after = DataModule1->tblAccountAccount_Balance->AsNumber();
    if (dialogs.boxes != 0 || std::abs(after - before - kEntries * 1234.56) > 0.005) {
        std::fprintf(stderr, "%s: the entries did not all reach the balance\n", name);
        return;
    }
    std::sort(times.begin(), times.end());
    std::sort(writes.begin(), writes.end());
    BenchData::line(name, times[times.size() / 2], "ms");
    char label[160];
    std::snprintf(label, sizeof label, "%s, slowest", name);
    BenchData::line(label, times.back(), "ms");
    std::snprintf(label, sizeof label, "%s, of which the write", name);
    BenchData::line(label, writes[writes.size() / 2], "ms");
}

} // namespace

int main(int argc, char **argv)
{
    // No window is shown: the offscreen platform serves where no display is set.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    run(10, 30000, "income with durable write, 30 000 transactions (target 100 ms)");
    run(1000, 1000000, "income with durable write, 1 000 000 transactions");
    return 0;
}
