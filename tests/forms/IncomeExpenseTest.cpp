// Recording an income and an expense through the windows, as a user does: the main window's button, the
// entry window filled and saved (or cancelled), the designation picked through "...", the balance and the
// total following, and the files after a restart.
#include "FormsFixture.h"

#include "forms/DefineExpences.h"
#include "forms/DefineIncome.h"
#include "forms/Expences.h"
#include "forms/Income.h"
#include "forms/Main.h"
#include "forms/TransactionEntry.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/GradButton.h"

#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>

namespace {

// Types into a control key by key, leaving the focus there (as an accelerator click on a button does).
void typeInControl(QWidget *control, const QString &text)
{
    control->setFocus(Qt::OtherFocusReason);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &release);
    }
}

void sendKey(QWidget *target, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

struct Entry
{
    QString designation;
    QDate date;
    QString amount;
};

class IncomeExpenseTest : public FormsFixture
{
protected:
    // Queues the entry window's script: fill in, then "&Sauvegarder".
    void queueSave(const Entry &entry)
    {
        dialogs.scripts.push_back([entry](QDialog &dialog) {
            auto &window = static_cast<EntryWindow &>(dialog);
            typeInControl(window.DBEdit1, entry.designation);
            if (entry.date.isValid())
                window.DBDateEdit1->pickDate(entry.date);
            typeInControl(window.DBEdit2, entry.amount);
            window.btnSave->click();
            return dialog.result() == QDialog::Accepted;
        });
    }

    double balance() const { return DataModule1->tblAccountAccount_Balance->AsNumber(); }
    int transactionCount() const { return DataModule1->tblTransaction->store()->liveRowCount(); }
    QString total() const { return frmMain->lblTotal->text(); }
};

TEST_F(IncomeExpenseTest, IncomeAndExpense_MoveTheBalanceAndTheTotal_AndSurviveARestart)
{
    addAccount(QStringLiteral("Banque"), 100);
    queueSave({ QStringLiteral("Salaire"), QDate(2024, 3, 1), QStringLiteral("1250,5") });
    frmMain->btnIncomeClick();
    queueSave({ QStringLiteral("Loyer"), QDate(2024, 3, 2), QStringLiteral("400") });
    frmMain->btnExpencesClick();
    flushSaves();

    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.errors().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dialogs.dialogs, (QStringList { QStringLiteral("Revenu"), QStringLiteral("Dépenses") }));
    DataModule1->tblAccount->First();
    EXPECT_DOUBLE_EQ(balance(), 950.5);
    frmMain->RefreshTotal();
    EXPECT_TRUE(total().contains(QStringLiteral("950,50"))) << total().toStdString();

    restart();
    DataModule1->tblAccount->First();
    EXPECT_DOUBLE_EQ(balance(), 950.5);
    TMemTable &transactions = *DataModule1->tblTransaction;
    ASSERT_EQ(transactions.ViewRowCount(), 2);
    transactions.First();
    EXPECT_EQ(DataModule1->tblTransactionTransaction_Description->AsString(), QStringLiteral("Salaire"));
    EXPECT_DOUBLE_EQ(DataModule1->tblTransactionTransaction_Amount->AsNumber(), 1250.5);
    EXPECT_EQ(
        DataModule1->tblTransactionTransaction_Date->AsDateTime(), DateTime::fromQDate(QDate(2024, 3, 1)));
    transactions.Next();
    EXPECT_EQ(DataModule1->tblTransactionTransaction_Description->AsString(), QStringLiteral("Loyer"));
    EXPECT_DOUBLE_EQ(DataModule1->tblTransactionTransaction_Amount->AsNumber(), -400);
}

TEST_F(IncomeExpenseTest, Entry_ShowsTheAccountItGoesTo)
{
    addAccount(QStringLiteral("Livret A"), 0);
    QString shown;
    dialogs.scripts.push_back([&](QDialog &dialog) {
        shown = static_cast<EntryWindow &>(dialog).DBText1->text();
        return false;
    });
    frmMain->btnExpencesClick();
    EXPECT_EQ(shown, QStringLiteral("Livret A"));
}

TEST_F(IncomeExpenseTest, Entry_WithoutAnyAccount_IsRefusedBeforeTheWindowShows)
{
    frmMain->btnIncomeClick();
    EXPECT_TRUE(dialogs.dialogs.isEmpty());
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information).size(), 1);
    EXPECT_EQ(DataModule1->tblTransaction->State(), dsBrowse);
}

TEST_F(IncomeExpenseTest, BadAmount_ShowsTheConversionMessage_AndLeavesNothing)
{
    addAccount(QStringLiteral("Banque"), 100);
    queueSave({ QStringLiteral("Salaire"), QDate(), QStringLiteral("12,3,4") });
    frmMain->btnIncomeClick();
    flushSaves();

    EXPECT_EQ(dialogs.errors(),
        QStringList {
            QStringLiteral("'12,3,4' is not a valid floating point value for field 'Transaction_Amount'") });
    EXPECT_EQ(transactionCount(), 0);
    EXPECT_EQ(DataModule1->tblTransaction->State(), dsBrowse);
    DataModule1->tblAccount->First();
    EXPECT_DOUBLE_EQ(balance(), 100);
}

TEST_F(IncomeExpenseTest, BalanceThatCannotBeWritten_TakesTheTransactionBack)
{
    addAccount(QStringLiteral("Banque"), 100);
    DataModule1->tblAccount->BeforeEdit
        = [](TDataSet &) { throw EDatabaseError(QStringLiteral("verrouillé")); };
    queueSave({ QStringLiteral("Salaire"), QDate(2024, 1, 5), QStringLiteral("10") });
    frmMain->btnIncomeClick();
    DataModule1->tblAccount->BeforeEdit = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("verrouillé") });
    EXPECT_EQ(transactionCount(), 0);
    EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
    EXPECT_DOUBLE_EQ(balance(), 100);
}

// The expense entry always starts in the designation; the income entry keeps the focus where it was left.
TEST_F(IncomeExpenseTest, Showing_PutsTheFocusIntoTheDesignationOnTheExpenseSideOnly)
{
    addAccount(QStringLiteral("Banque"), 0);
    std::vector<QWidget *> focused;
    for (auto start : { &TfrmMain::btnIncomeClick, &TfrmMain::btnExpencesClick }) {
        for (int showing = 0; showing < 2; ++showing) {
            dialogs.scripts.push_back([&focused](QDialog &dialog) {
                auto &window = static_cast<EntryWindow &>(dialog);
                focused.push_back(window.focusWidget());
                window.DBEdit2->setFocus(Qt::OtherFocusReason);
                window.btnCancel->click();
                return false;
            });
            (frmMain->*start)();
        }
    }
    ASSERT_EQ(focused.size(), 4u);
    EXPECT_EQ(focused[1], frmIncome->DBEdit2);
    EXPECT_EQ(focused[2], frmExpences->DBEdit1);
    EXPECT_EQ(focused[3], frmExpences->DBEdit1);
}

// ---- leaving without saving ----

struct CancelCase
{
    const char *name;
    std::function<void(EntryWindow &)> leave;
};

void PrintTo(const CancelCase &c, std::ostream *os)
{
    *os << c.name;
}

class EntryCancelTest : public IncomeExpenseTest, public ::testing::WithParamInterface<CancelCase>
{
};

TEST_P(EntryCancelTest, LeavesNoTransactionAndTheBalanceAsItWas)
{
    addAccount(QStringLiteral("Banque"), 100);
    for (auto start : { &TfrmMain::btnIncomeClick, &TfrmMain::btnExpencesClick }) {
        dialogs.scripts.push_back([](QDialog &dialog) {
            auto &window = static_cast<EntryWindow &>(dialog);
            typeInControl(window.DBEdit1, QStringLiteral("Courses"));
            typeInControl(window.DBEdit2, QStringLiteral("30"));
            GetParam().leave(window);
            return false;
        });
        (frmMain->*start)();
        flushSaves();
    }

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(transactionCount(), 0);
    EXPECT_EQ(DataModule1->tblTransaction->State(), dsBrowse);
    DataModule1->tblAccount->First();
    EXPECT_DOUBLE_EQ(balance(), 100);
}

INSTANTIATE_TEST_SUITE_P(Entry, EntryCancelTest,
    ::testing::Values(CancelCase { "Annuler", [](EntryWindow &w) { w.btnCancel->click(); } },
        CancelCase { "Escape",
            [](EntryWindow &w) {
                sendKey(w.DBEdit2, Qt::Key_Escape);
                sendKey(w.DBEdit2, Qt::Key_Escape);
            } },
        CancelCase { "TitleBar", [](EntryWindow &w) { w.close(); } }));

// ---- the designation picked from the list ----

TEST_F(IncomeExpenseTest, Picker_TakesTheListsCurrentDesignation)
{
    addAccount(QStringLiteral("Banque"), 0);
    for (const char *name : { "Courses", "Loyer", "Essence" }) {
        DataModule1->tblExpence->AppendRow();
        DataModule1->tblExpenceExpence_Description->setAsString(QString::fromLatin1(name));
        DataModule1->tblExpence->Post();
    }
    QString shownAfterPick;
    dialogs.scripts.push_back([&](QDialog &dialog) {
        auto &window = static_cast<EntryWindow &>(dialog);
        typeInControl(window.DBEdit1, QStringLiteral("tapé"));
        window.btnExpences->click();
        shownAfterPick = window.DBEdit1->text();
        typeInControl(window.DBEdit2, QStringLiteral("60"));
        window.btnSave->click();
        return true;
    });
    dialogs.scripts.push_back([](QDialog &dialog) {
        auto &list = static_cast<TfrmDefineExpences &>(dialog);
        list.table()->First();
        list.table()->Next();
        list.btnOK->click();
        return true;
    });
    frmMain->btnExpencesClick();

    EXPECT_EQ(dialogs.dialogs,
        (QStringList { QStringLiteral("Dépenses"), QStringLiteral("Définir les dépenses") }));
    EXPECT_EQ(shownAfterPick, QStringLiteral("Loyer"));
    DataModule1->tblTransaction->First();
    EXPECT_EQ(DataModule1->tblTransactionTransaction_Description->AsString(), QStringLiteral("Loyer"));
    EXPECT_DOUBLE_EQ(DataModule1->tblTransactionTransaction_Amount->AsNumber(), -60);
}

TEST_F(IncomeExpenseTest, Picker_OnAnEmptyList_EmptiesTheDesignation)
{
    addAccount(QStringLiteral("Banque"), 0);
    dialogs.scripts.push_back([](QDialog &dialog) {
        auto &window = static_cast<EntryWindow &>(dialog);
        typeInControl(window.DBEdit1, QStringLiteral("tapé"));
        window.btnExpences->click();
        typeInControl(window.DBEdit2, QStringLiteral("5"));
        window.btnSave->click();
        return true;
    });
    dialogs.scripts.push_back([](QDialog &dialog) {
        static_cast<TfrmDefineIncome &>(dialog).btnOK->click();
        return true;
    });
    frmMain->btnIncomeClick();

    EXPECT_TRUE(dialogs.messages.empty());
    DataModule1->tblTransaction->First();
    EXPECT_EQ(DataModule1->tblTransactionTransaction_Description->AsString(), QString());
    EXPECT_DOUBLE_EQ(DataModule1->tblTransactionTransaction_Amount->AsNumber(), 5);
}

// ---- the windows as the user sees them ----

struct LookCase
{
    EntryWindow *(*window)();
    const char *caption;
    int height;
    const char *designation;
    const char *date;
    const char *amount;
};

void PrintTo(const LookCase &c, std::ostream *os)
{
    *os << c.caption;
}

// The next control Tab reaches: the focus chain without the controls that take no focus.
QWidget *nextTabStop(QWidget *control)
{
    QWidget *next = control->nextInFocusChain();
    while (next && next != control && next->focusPolicy() == Qt::NoFocus)
        next = next->nextInFocusChain();
    return next;
}

class EntryLookTest : public FormsFixture, public ::testing::WithParamInterface<LookCase>
{
};

TEST_P(EntryLookTest, HasItsCaptionsSizeAndTabOrder)
{
    const LookCase &c = GetParam();
    EntryWindow &window = *c.window();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8(c.caption));
    EXPECT_EQ(window.Label10->text(), QString::fromUtf8(c.caption));
    EXPECT_EQ(window.size(), QSize(529, c.height));
    EXPECT_EQ(window.Label2->text(), QString::fromUtf8(c.designation));
    EXPECT_EQ(window.Label3->text(), QString::fromUtf8(c.date));
    EXPECT_EQ(window.Label4->text(), QString::fromUtf8(c.amount));
    EXPECT_EQ(window.btnSave->text(), QStringLiteral("&Sauvegarder"));
    EXPECT_EQ(window.btnCancel->text(), QStringLiteral("&Annuler"));
    EXPECT_EQ(window.btnExpences->size(), QSize(21, 19));
    EXPECT_EQ(window.btnSave->ColorScheme(), csNeoSilver);
    EXPECT_EQ(nextTabStop(window.DBEdit1), window.btnExpences);
    EXPECT_EQ(nextTabStop(window.btnExpences), window.DBDateEdit1);
    EXPECT_EQ(nextTabStop(window.DBDateEdit1), window.DBEdit2);
    EXPECT_EQ(nextTabStop(window.DBEdit2), window.btnSave);
}

INSTANTIATE_TEST_SUITE_P(Entry, EntryLookTest,
    ::testing::Values(LookCase { []() -> EntryWindow * { return frmIncome; }, "Revenu", 209,
                          "Désignation du revenu", "Date du revenu", "Montant du revenu" },
        LookCase { []() -> EntryWindow * { return frmExpences; }, "Dépenses", 208,
            "Description de la dépense", "Date de la dépense", "Montant de la dépense" }));

} // namespace
