#include "LedgerTestData.h"

#include "forms/Transfer.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const TDateTime kToday = 46000;

TEST(Transfer, WritesBothRowsAndBalances)
{
    LedgerTestData ledger;
    const int a = ledger.addAccount(QStringLiteral("A"), 100);
    const int b = ledger.addAccount(QStringLiteral("B"), 20);

    Transfer::run(ledger.data(), { a, QStringLiteral("A") }, { b, QStringLiteral("B") }, 50, kToday);

    EXPECT_EQ(ledger.rows(a), QStringList { QStringLiteral("Transfert compte à compte de B=-50") });
    EXPECT_EQ(ledger.rows(b), QStringList { QStringLiteral("Transfert compte à compte du A=50") });
    EXPECT_DOUBLE_EQ(ledger.balance(a), 50);
    EXPECT_DOUBLE_EQ(ledger.balance(b), 70);
    ledger.locate(b);
    EXPECT_DOUBLE_EQ(ledger.data().tblTransactionTransaction_Date->AsDateTime(), kToday);
    EXPECT_EQ(ledger.data().tblTransactionAccount_Number->AsInteger(), b);
}

TEST(Transfer, LeavesTheAccountCursorOnTheDestination)
{
    LedgerTestData ledger;
    const int a = ledger.addAccount(QStringLiteral("A"), 0);
    const int b = ledger.addAccount(QStringLiteral("B"), 0);
    ledger.addAccount(QStringLiteral("C"), 0);
    Transfer::run(ledger.data(), { b, QStringLiteral("B") }, { a, QStringLiteral("A") }, 1, kToday);
    EXPECT_EQ(ledger.data().tblAccountAccount_Number->AsInteger(), a);
}

// Two accounts of the same name are told apart by their numbers: each gets its own row and balance.
TEST(Transfer, KeepsAccountsOfTheSameNameApart)
{
    LedgerTestData ledger;
    const int first = ledger.addAccount(QStringLiteral("Caisse"), 10);
    const int second = ledger.addAccount(QStringLiteral("Caisse"), 10);

    Transfer::run(
        ledger.data(), { first, QStringLiteral("Caisse") }, { second, QStringLiteral("Caisse") }, 4, kToday);

    EXPECT_DOUBLE_EQ(ledger.balance(first), 6);
    EXPECT_DOUBLE_EQ(ledger.balance(second), 14);
    EXPECT_EQ(ledger.rows(first).size(), 1);
    EXPECT_EQ(ledger.rows(second).size(), 1);
}

TEST(Transfer, MovesMoneyBackForANegativeAmount)
{
    LedgerTestData ledger;
    const int a = ledger.addAccount(QStringLiteral("A"), 100);
    const int b = ledger.addAccount(QStringLiteral("B"), 20);
    Transfer::run(ledger.data(), { a, QStringLiteral("A") }, { b, QStringLiteral("B") }, -5, kToday);
    EXPECT_DOUBLE_EQ(ledger.balance(a), 105);
    EXPECT_DOUBLE_EQ(ledger.balance(b), 15);
}

TEST(Transfer, RefusesAnAccountThatIsGoneBeforeWritingAnything)
{
    LedgerTestData ledger;
    const int a = ledger.addAccount(QStringLiteral("A"), 100);
    try {
        Transfer::run(ledger.data(), { a, QStringLiteral("A") }, { a + 7, QStringLiteral("B") }, 5, kToday);
        FAIL() << "no error";
    } catch (const Exception &error) {
        EXPECT_EQ(error.message(), Transfer::kNoToAccount);
    }
    EXPECT_TRUE(ledger.rows(a).isEmpty());
    EXPECT_DOUBLE_EQ(ledger.balance(a), 100);
}

// ---- a failure at any step leaves both accounts as they were ----

struct FailureCase
{
    const char *name;
    bool inTransactions; // fail a post of tblTransaction, else of tblAccount
    int failingPost; // 1-based count of posts on that table
    bool filtered; // a filter of the list hides the new rows
};

class TransferFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(TransferFailure, ChangesNothing)
{
    const FailureCase &c = GetParam();
    LedgerTestData ledger;
    const int a = ledger.addAccount(QStringLiteral("A"), 100);
    const int b = ledger.addAccount(QStringLiteral("B"), 20);
    ledger.addTransaction(a, QStringLiteral("Salaire"), 100);
    ledger.addTransaction(b, QStringLiteral("Loyer"), 20);
    TMemTable &transactions = *ledger.data().tblTransaction;
    if (c.filtered) {
        transactions.setFilter(QStringLiteral("Transaction_Amount > '60'"));
        transactions.setFiltered(true);
    }
    int posts = 0;
    TMemTable &failing = c.inTransactions ? transactions : *ledger.data().tblAccount;
    failing.BeforePost = [&](TDataSet &table) {
        if (++posts == c.failingPost)
            table.databaseError(QStringLiteral("injected"));
    };

    EXPECT_THROW(
        Transfer::run(ledger.data(), { a, QStringLiteral("A") }, { b, QStringLiteral("B") }, 50, kToday),
        Exception);

    failing.BeforePost = nullptr;
    transactions.setFiltered(false);
    EXPECT_EQ(ledger.data().tblAccount->State(), dsBrowse);
    EXPECT_EQ(transactions.State(), dsBrowse);
    EXPECT_EQ(ledger.rows(a), QStringList { QStringLiteral("Salaire=100") });
    EXPECT_EQ(ledger.rows(b), QStringList { QStringLiteral("Loyer=20") });
    EXPECT_DOUBLE_EQ(ledger.balance(a), 100);
    EXPECT_DOUBLE_EQ(ledger.balance(b), 20);
}

INSTANTIATE_TEST_SUITE_P(AnyStep, TransferFailure,
    ::testing::Values(FailureCase { "SourceRow", true, 1, false },
        FailureCase { "SourceBalance", false, 1, false }, FailureCase { "DestinationRow", true, 2, false },
        FailureCase { "DestinationBalance", false, 2, false },
        FailureCase { "DestinationBalanceFiltered", false, 2, true },
        FailureCase { "DestinationRowFiltered", true, 2, true }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- checks before anything is written ----

TEST(Transfer, RefusesMissingOrIdenticalAccounts)
{
    const Transfer::Account a { 1, QStringLiteral("A") };
    const Transfer::Account b { 2, QStringLiteral("B") };
    const Transfer::Account sameName { 3, QStringLiteral("A") };
    EXPECT_EQ(Transfer::refusal(std::nullopt, b), QStringLiteral("Veuillez sélectionner du compte."));
    EXPECT_EQ(
        Transfer::refusal(std::nullopt, std::nullopt), QStringLiteral("Veuillez sélectionner du compte."));
    EXPECT_EQ(Transfer::refusal(a, std::nullopt), QStringLiteral("Veuillez sélectionner au compte."));
    EXPECT_EQ(Transfer::refusal(a, a),
        QStringLiteral("Impossible d'effectuer une transaction vers le même compte."));
    EXPECT_EQ(Transfer::refusal(a, b), QString());
    EXPECT_EQ(Transfer::refusal(a, sameName), QString());
}

struct AmountCase
{
    const char *text;
    bool valid;
    double value;
};

class TransferAmount : public ::testing::TestWithParam<AmountCase>
{
};

TEST_P(TransferAmount, ConvertsInTheRegionalFormat)
{
    const AmountCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    if (c.valid) {
        EXPECT_DOUBLE_EQ(Transfer::amountOf(text), c.value);
        return;
    }
    try {
        Transfer::amountOf(text);
        FAIL() << "accepted " << c.text;
    } catch (const EConvertError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, TransferAmount,
    ::testing::Values(AmountCase { "50", true, 50 }, AmountCase { "0,00", true, 0 },
        AmountCase { "12,5", true, 12.5 }, AmountCase { "-3,25", true, -3.25 }, AmountCase { " 7 ", true, 7 },
        AmountCase { "0.00", false, 0 }, AmountCase { "", false, 0 }, AmountCase { "abc", false, 0 },
        AmountCase { "12 €", false, 0 }, AmountCase { "1E400", false, 0 }, AmountCase { "inf", false, 0 },
        AmountCase { "nan", false, 0 }));

TEST(Transfer, RecognisesItsRowsByTheirDescription)
{
    EXPECT_TRUE(Transfer::isTransferDescription(QStringLiteral("Transfert compte à compte de Livret")));
    EXPECT_TRUE(Transfer::isTransferDescription(QStringLiteral("Ancien Transfert compte à compte du X")));
    EXPECT_FALSE(Transfer::isTransferDescription(QStringLiteral("transfert compte à compte de X")));
    EXPECT_FALSE(Transfer::isTransferDescription(QStringLiteral("Loyer")));
}

} // namespace

// ---- the transfer dialog ----

#include "DetailWindowFixture.h"
#include "widgets/GradButton.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

class TransferDialogTest : public DetailWindowFixture
{
protected:
    void SetUp() override
    {
        DetailWindowFixture::SetUp();
        a = ledger.addAccount(QStringLiteral("A"), 100);
        b = ledger.addAccount(QStringLiteral("B"), 20);
    }

    // Opens the dialog from the account detail window and fills it as a user would, then saves.
    void transferThroughTheDialog(int fromItem, int toItem, const QString &amount,
        const std::function<void(TfrmInterAccount &)> &edit = nullptr)
    {
        dialogs.scripts.push_back([&](QDialog &) {
            transfer->FormShow();
            transfer->cmbFromAccount->setCurrentIndex(fromItem);
            transfer->cmbToAccount->setCurrentIndex(toItem);
            transfer->edtAmount->setText(amount);
            if (edit)
                edit(*transfer);
            transfer->btnSave->click();
            return true;
        });
        detail->btnInterAccountClick();
    }

    int a = 0;
    int b = 0;
};

TEST_F(TransferDialogTest, StartsWithAPlainRegionalZero)
{
    EXPECT_EQ(transfer->edtAmount->text(), QStringLiteral("0,00"));
    EXPECT_EQ(transfer->windowTitle(), QStringLiteral("Transferts entre comptes"));
    EXPECT_EQ(transfer->size(), QSize(363, 195));
}

TEST_F(TransferDialogTest, ListsTheAccountsWithTheirNumbers)
{
    transfer->FormShow();
    ASSERT_EQ(transfer->cmbFromAccount->count(), 2);
    EXPECT_EQ(transfer->cmbToAccount->itemText(1), QStringLiteral("B"));
    EXPECT_EQ(transfer->cmbToAccount->itemData(1).toInt(), b);
    EXPECT_EQ(transfer->cmbFromAccount->currentIndex(), -1);
    EXPECT_TRUE(transfer->cmbFromAccount->currentText().isEmpty());
}

TEST_F(TransferDialogTest, SavesBothHalvesAndResets)
{
    transferThroughTheDialog(0, 1, QStringLiteral("50"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_DOUBLE_EQ(ledger.balance(a), 50);
    EXPECT_DOUBLE_EQ(ledger.balance(b), 70);
    EXPECT_EQ(ledger.rows(a), QStringList { QStringLiteral("Transfert compte à compte de B=-50") });
    EXPECT_EQ(ledger.rows(b), QStringList { QStringLiteral("Transfert compte à compte du A=50") });
    EXPECT_EQ(transfer->cmbFromAccount->currentIndex(), -1);
    EXPECT_EQ(transfer->cmbToAccount->currentIndex(), -1);
    EXPECT_EQ(transfer->edtAmount->text(), QStringLiteral("0,00"));
}

struct RefusalCase
{
    const char *name;
    int from;
    int to;
    const char *typedFrom; // nullptr: keep the item's text
    const char *message;
};

class TransferDialogRefusal : public TransferDialogTest, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(TransferDialogRefusal, ShowsAnInformationBoxAndWritesNothing)
{
    const RefusalCase &c = GetParam();
    transferThroughTheDialog(c.from, c.to, QStringLiteral("5"), [&](TfrmInterAccount &dialog) {
        if (c.typedFrom)
            dialog.cmbFromAccount->setEditText(QString::fromUtf8(c.typedFrom));
    });
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information), QStringList { QString::fromUtf8(c.message) });
    EXPECT_DOUBLE_EQ(ledger.balance(a), 100);
    EXPECT_DOUBLE_EQ(ledger.balance(b), 20);
    EXPECT_TRUE(ledger.rows(a).isEmpty());
    EXPECT_TRUE(ledger.rows(b).isEmpty());
    EXPECT_EQ(transfer->edtAmount->text(), QStringLiteral("5"));
}

INSTANTIATE_TEST_SUITE_P(Selections, TransferDialogRefusal,
    ::testing::Values(RefusalCase { "NoSource", -1, 1, nullptr, "Veuillez sélectionner du compte." },
        RefusalCase { "NoDestination", 0, -1, nullptr, "Veuillez sélectionner au compte." },
        RefusalCase {
            "SameAccount", 1, 1, nullptr, "Impossible d'effectuer une transaction vers le même compte." },
        RefusalCase { "EditedSourceText", 0, 1, "B", "Veuillez sélectionner du compte." },
        RefusalCase { "TypedUnknownName", 0, 1, "Z", "Veuillez sélectionner du compte." }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TransferDialogTest, ABadAmountShowsTheConversionErrorAndKeepsTheDialog)
{
    transferThroughTheDialog(0, 1, QStringLiteral("0.00"));
    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("'0.00' is not a valid floating point value") });
    EXPECT_DOUBLE_EQ(ledger.balance(a), 100);
    EXPECT_TRUE(ledger.rows(a).isEmpty());
    EXPECT_EQ(ledger.data().tblTransaction->State(), dsBrowse);
    EXPECT_EQ(transfer->cmbFromAccount->currentIndex(), 0);
    EXPECT_EQ(transfer->cmbToAccount->currentIndex(), 1);
}

TEST_F(TransferDialogTest, AFailureHalfwayWritesNothingAndKeepsTheDialog)
{
    int posts = 0;
    ledger.data().tblAccount->BeforePost = [&](TDataSet &table) {
        if (++posts == 2)
            table.databaseError(QStringLiteral("disque plein"));
    };
    transferThroughTheDialog(0, 1, QStringLiteral("50"));
    ledger.data().tblAccount->BeforePost = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("tblAccount: disque plein") });
    EXPECT_DOUBLE_EQ(ledger.balance(a), 100);
    EXPECT_DOUBLE_EQ(ledger.balance(b), 20);
    EXPECT_TRUE(ledger.rows(a).isEmpty());
    EXPECT_TRUE(ledger.rows(b).isEmpty());
    EXPECT_EQ(transfer->edtAmount->text(), QStringLiteral("50"));
}

TEST_F(TransferDialogTest, CancelResetsWithoutTouchingTheTables)
{
    transfer->FormShow();
    transfer->cmbFromAccount->setCurrentIndex(0);
    transfer->edtAmount->setText(QStringLiteral("9"));
    transfer->btnCancelClick();
    EXPECT_EQ(transfer->cmbFromAccount->currentIndex(), -1);
    EXPECT_EQ(transfer->edtAmount->text(), QStringLiteral("0,00"));
    EXPECT_TRUE(ledger.rows(a).isEmpty());
}

} // namespace
