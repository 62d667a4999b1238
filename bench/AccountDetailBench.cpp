// Opening the account detail window on an account with 100 000 transactions: the account is made current
// (the transaction list follows it through the master link) and the window is shown and painted. Measured on
// a Data folder of 10 accounts with 100 000 transactions each; the figure is the median of nine openings,
// the slowest is printed too. The same with a designation filter in force, as the window keeps it.
#include "FinanceBenchData.h"

#include "forms/AccountDetail.h"
#include "forms/Datamod.h"
#include "forms/FinanceApp.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The benchmark runs without a screen: every box is answered at once and reported.
class QuietDialogs : public Dialogs::Handler
{
public:
    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(request.text));
        return Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return QString(); }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    bool exec(QDialog &) override { return true; }
};

constexpr int kAccounts = 10;
constexpr int kTransactions = 1000000;
constexpr int kOpenings = 9;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Makes the account current, then shows and paints the window; returns the milliseconds it took.
double openOn(int account)
{
    QElapsedTimer timer;
    timer.start();
    DataModule1->tblAccount->FindRow(QStringLiteral("Account_Number"), { account });
    frmAccountDetail->show();
    frmAccountDetail->repaint();
    QApplication::processEvents();
    const double ms = msSince(timer);
    frmAccountDetail->hide();
    QApplication::processEvents();
    return ms;
}

void measure(const char *name)
{
    std::vector<double> times;
    for (int i = 0; i < kOpenings; ++i) {
        // Alternate between two accounts, so every opening switches the transaction list.
        times.push_back(openOn(1 + i % 2 * 5));
    }
    std::sort(times.begin(), times.end());
    std::printf("%s: %.1f ms (slowest %.1f ms; %d rows shown of %d)\n", name, times[times.size() / 2],
        times.back(), DataModule1->tblTransaction->ViewRowCount(), kTransactions);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString data = folder.path() + QStringLiteral("/Data");
    FinanceBenchData::write(data, kAccounts, kTransactions);

    QuietDialogs dialogs;
    Dialogs::ScopedHandler answer(dialogs);
    FinanceApp app(data);

    measure("open account detail on 100 000 transactions");
    frmAccountDetail->setTransactionFilter(0, -1, QStringLiteral("sal"));
    measure("open account detail on 100 000 transactions, designation filter in force");
    frmAccountDetail->btnCloseClick();
    return 0;
}
