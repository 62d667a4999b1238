// Recording an income or an expense on bare tables: the signed amount, the balance, the typed text reaching
// the row, and what is left when a step fails.
#include "forms/TransactionEntry.h"
#include "forms/Datamod.h"
#include "platform/Exceptions.h"
#include "widgets/DBEdit.h"
#include "widgets/DialogRecorder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>

using TransactionEntry::Kind;

namespace {

class EntryTables : public ::testing::Test
{
protected:
    void SetUp() override
    {
        module = std::make_unique<TDataModule1>();
        DataModule1 = module.get();
        for (TMemTable *table : module->tables()) {
            table->CreateEmpty();
            table->setKeepChangeLog(false);
        }
        amountEdit.setDataSource(module->datTransaction);
        amountEdit.setDataField(QStringLiteral("Transaction_Amount"));
    }

    void TearDown() override
    {
        DataModule1 = nullptr;
        module.reset();
    }

    void addAccount(const QString &name, std::optional<double> balance)
    {
        module->tblAccount->AppendRow();
        module->tblAccountAccount_Type->setAsString(name);
        if (balance)
            module->tblAccountAccount_Balance->setAsNumber(*balance);
        module->tblAccount->Post();
    }

    // The entry as the windows run it: the row is started, the amount typed into the edit (still pending,
    // as after an accelerator click), then recorded; a failure cancels the row. The error text, or "".
    QString enter(Kind kind, const QString &typed, const QString &description = QStringLiteral("Salaire"))
    {
        if (!TransactionEntry::beginTransactionEntry(nullptr))
            return QStringLiteral("(not started)");
        module->tblTransactionTransaction_Description->setAsString(description);
        amountEdit.setText(typed);
        amountEdit.link().setModified(true);
        try {
            TransactionEntry::recordTransaction(*module, kind);
            return QString();
        } catch (const Exception &error) {
            module->tblTransaction->Cancel();
            return error.message();
        }
    }

    int storedTransactions() const { return module->tblTransaction->store()->liveRowCount(); }
    double balance() const { return module->tblAccountAccount_Balance->AsNumber(); }

    DialogRecorder dialogs;
    std::unique_ptr<TDataModule1> module;
    TDBEdit amountEdit;
};

// ---- the amount as typed, stored and added to the balance ----

struct AmountCase
{
    Kind kind;
    std::optional<double> balanceBefore;
    const char *typed;
    const char *message; // "" when recorded
    std::optional<double> stored; // none: the amount stays empty
    double balanceAfter;
};

void PrintTo(const AmountCase &c, std::ostream *os)
{
    *os << (c.kind == Kind::Income ? "income '" : "expense '") << c.typed << "'";
}

class AmountTest : public EntryTables, public ::testing::WithParamInterface<AmountCase>
{
};

TEST_P(AmountTest, StoresTheSignedAmountAndMovesTheBalanceByIt)
{
    const AmountCase &c = GetParam();
    addAccount(QStringLiteral("Banque"), c.balanceBefore);

    EXPECT_EQ(enter(c.kind, QString::fromUtf8(c.typed)), QString::fromUtf8(c.message));

    EXPECT_EQ(module->tblTransaction->State(), dsBrowse);
    EXPECT_EQ(module->tblAccount->State(), dsBrowse);
    EXPECT_DOUBLE_EQ(balance(), c.balanceAfter);
    if (*c.message) {
        EXPECT_EQ(storedTransactions(), 0);
        return;
    }
    ASSERT_EQ(storedTransactions(), 1);
    EXPECT_EQ(
        module->tblTransactionAccount_Number->AsInteger(), module->tblAccountAccount_Number->AsInteger());
    EXPECT_EQ(module->tblTransactionTransaction_Description->AsString(), QStringLiteral("Salaire"));
    TField &amount = *module->tblTransactionTransaction_Amount;
    if (!c.stored) {
        EXPECT_TRUE(amount.IsNullValue());
        return;
    }
    EXPECT_DOUBLE_EQ(amount.AsNumber(), *c.stored);
    EXPECT_FALSE(std::signbit(amount.AsNumber()) && amount.AsNumber() == 0) << "a zero stored as -0";
}

const char *const kNotValid = "is not a valid floating point value for field 'Transaction_Amount'";

INSTANTIATE_TEST_SUITE_P(Entry, AmountTest,
    ::testing::Values(AmountCase { Kind::Expense, 100.0, "25", "", -25.0, 75.0 },
        AmountCase { Kind::Expense, 100.0, "-25", "", 25.0, 125.0 },
        AmountCase { Kind::Expense, 100.0, "0", "", 0.0, 100.0 },
        AmountCase { Kind::Expense, 100.0, "", "", 0.0, 100.0 },
        AmountCase { Kind::Expense, 10.0, "2,5", "", -2.5, 7.5 },
        AmountCase { Kind::Income, 100.0, "12,34", "", 12.34, 112.34 },
        AmountCase { Kind::Income, 100.0, "12,34 €", "", 12.34, 112.34 },
        AmountCase { Kind::Income, 100.0, "0", "", 0.0, 100.0 },
        AmountCase { Kind::Income, 100.0, "", "", std::nullopt, 100.0 },
        AmountCase { Kind::Income, 100.0, "-5", "", -5.0, 95.0 },
        AmountCase { Kind::Income, std::nullopt, "40", "", 40.0, 40.0 },
        AmountCase { Kind::Expense, std::nullopt, "40", "", -40.0, -40.0 },
        AmountCase { Kind::Income, 100.0, "abc",
            "'abc' is not a valid floating point value for field "
            "'Transaction_Amount'",
            0.0, 100.0 },
        AmountCase { Kind::Income, 100.0, "12.34",
            "'12.34' is not a valid floating point value for field "
            "'Transaction_Amount'",
            0.0, 100.0 },
        AmountCase { Kind::Expense, 100.0, "1E400",
            "'1E400' is not a valid floating point value for field "
            "'Transaction_Amount'",
            0.0, 100.0 },
        AmountCase { Kind::Income, 100.0, "inf",
            "'inf' is not a valid floating point value for field "
            "'Transaction_Amount'",
            0.0, 100.0 },
        AmountCase { Kind::Income, 100.0, "nan",
            "'nan' is not a valid floating point value for field "
            "'Transaction_Amount'",
            0.0, 100.0 }));

TEST_F(EntryTables, Balance_FollowsSeveralEntries)
{
    addAccount(QStringLiteral("Banque"), 0.0);
    EXPECT_EQ(enter(Kind::Income, QStringLiteral("0,1")), QString());
    EXPECT_EQ(enter(Kind::Income, QStringLiteral("0,2")), QString());
    EXPECT_EQ(enter(Kind::Expense, QStringLiteral("0,3")), QString());
    EXPECT_EQ(storedTransactions(), 3);
    // Floating point, as the balances always were: the sum is the double sum of the stored amounts.
    EXPECT_DOUBLE_EQ(balance(), 0.1 + 0.2 - 0.3);
}

TEST_F(EntryTables, Entry_GoesToTheCurrentAccount)
{
    addAccount(QStringLiteral("Banque"), 10.0);
    addAccount(QStringLiteral("Livret"), 20.0);
    module->tblAccount->First();
    module->tblAccount->Next();
    EXPECT_EQ(enter(Kind::Expense, QStringLiteral("5")), QString());
    EXPECT_EQ(module->tblAccountAccount_Type->AsString(), QStringLiteral("Livret"));
    EXPECT_DOUBLE_EQ(balance(), 15.0);
    module->tblAccount->First();
    EXPECT_DOUBLE_EQ(balance(), 10.0);
    EXPECT_TRUE(module->tblTransaction->IsEmpty());
}

// ---- starting an entry ----

TEST_F(EntryTables, Begin_WithoutAnyAccount_RefusesWithAnInformationBox)
{
    EXPECT_FALSE(TransactionEntry::beginTransactionEntry(nullptr));
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information),
        QStringList { TransactionEntry::noAccountMessage() });
    EXPECT_EQ(module->tblTransaction->State(), dsBrowse);
}

TEST_F(EntryTables, Begin_PostsAChangedPendingAccountRowFirst)
{
    addAccount(QStringLiteral("Banque"), 10.0);
    module->tblAccount->Edit();
    module->tblAccountAccount_Type->setAsString(QStringLiteral("Compte courant"));

    ASSERT_TRUE(TransactionEntry::beginTransactionEntry(nullptr));
    EXPECT_EQ(module->tblAccount->State(), dsBrowse);
    EXPECT_EQ(module->tblTransaction->State(), dsInsert);
    EXPECT_EQ(module->tblAccountAccount_Type->AsString(), QStringLiteral("Compte courant"));
    EXPECT_EQ(
        module->tblTransactionAccount_Number->AsInteger(), module->tblAccountAccount_Number->AsInteger());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EntryTables, Begin_WhenThePendingAccountRowFails_ShowsTheErrorAndStartsNothing)
{
    addAccount(QStringLiteral("Banque"), 10.0);
    module->tblAccount->BeforePost = [](TDataSet &) { throw EDatabaseError(QStringLiteral("refusé")); };
    module->tblAccount->Edit();
    module->tblAccountAccount_Balance->setAsNumber(11.0);

    EXPECT_FALSE(TransactionEntry::beginTransactionEntry(nullptr));
    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("refusé") });
    EXPECT_EQ(module->tblTransaction->State(), dsBrowse);
}

TEST_F(EntryTables, Begin_OnAClosedAccountTable_ShowsTheErrorBox)
{
    module->tblAccount->Close();
    EXPECT_FALSE(TransactionEntry::beginTransactionEntry(nullptr));
    EXPECT_EQ(dialogs.errors().size(), 1);
}

// ---- a balance that cannot be moved ----

TEST_F(EntryTables, BalanceFailure_DeletesTheNewTransactionAndKeepsTheBalance)
{
    addAccount(QStringLiteral("Banque"), 100.0);
    ASSERT_EQ(enter(Kind::Income, QStringLiteral("7")), QString());
    module->tblAccount->BeforePost = [](TDataSet &) { throw EDatabaseError(QStringLiteral("disque plein")); };

    EXPECT_EQ(enter(Kind::Expense, QStringLiteral("25")), QStringLiteral("disque plein"));

    EXPECT_EQ(storedTransactions(), 1);
    EXPECT_EQ(module->tblAccount->State(), dsBrowse);
    EXPECT_EQ(module->tblTransaction->State(), dsBrowse);
    EXPECT_DOUBLE_EQ(balance(), 107.0);
    EXPECT_DOUBLE_EQ(module->tblTransactionTransaction_Amount->AsNumber(), 7.0);
}

TEST_F(EntryTables, BalanceFailure_DeletesTheNewTransactionEvenWhenTheFilterHidesIt)
{
    addAccount(QStringLiteral("Banque"), 100.0);
    ASSERT_EQ(enter(Kind::Expense, QStringLiteral("7")), QString());
    module->tblTransaction->setFilter(QStringLiteral("Transaction_Amount < 0"));
    module->tblTransaction->setFiltered(true);
    module->tblAccount->BeforePost = [](TDataSet &) { throw EDatabaseError(QStringLiteral("disque plein")); };

    EXPECT_EQ(enter(Kind::Income, QStringLiteral("50")), QStringLiteral("disque plein"));

    EXPECT_EQ(storedTransactions(), 1);
    EXPECT_TRUE(module->tblTransaction->Filtered());
    EXPECT_EQ(module->tblTransaction->ViewRowCount(), 1);
    EXPECT_DOUBLE_EQ(balance(), 93.0);
}

TEST_F(EntryTables, Balance_MovesByTheNewAmountWhenTheFilterHidesTheNewRow)
{
    addAccount(QStringLiteral("Banque"), 100.0);
    ASSERT_EQ(enter(Kind::Expense, QStringLiteral("7")), QString());
    module->tblTransaction->setFilter(QStringLiteral("Transaction_Amount < 0"));
    module->tblTransaction->setFiltered(true);

    EXPECT_EQ(enter(Kind::Income, QStringLiteral("50")), QString());

    EXPECT_EQ(storedTransactions(), 2);
    EXPECT_DOUBLE_EQ(balance(), 143.0);
}

TEST_F(EntryTables, DeleteByNumber_FindsNothingForAnUnknownNumber)
{
    addAccount(QStringLiteral("Banque"), 0.0);
    ASSERT_EQ(enter(Kind::Income, QStringLiteral("1")), QString());
    EXPECT_FALSE(TransactionEntry::deleteTransactionByNumber(*module->tblTransaction, 99));
    EXPECT_EQ(storedTransactions(), 1);
}

} // namespace
