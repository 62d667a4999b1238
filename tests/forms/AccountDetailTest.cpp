#include "DetailWindowFixture.h"

#include "forms/TransactionRemoval.h"
#include "forms/Transfer.h"
#include "print/PrintGrid.h"
#include "widgets/DBGrid.h"
#include "widgets/GradButton.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AccountDetailTest : public DetailWindowFixture
{
protected:
    void SetUp() override
    {
        DetailWindowFixture::SetUp();
        courant = ledger.addAccount(QStringLiteral("Courant"), 75);
        livret = ledger.addAccount(QStringLiteral("Livret"), 500);
        ledger.addTransaction(courant, QStringLiteral("Salaire"), 100);
        ledger.addTransaction(courant, QStringLiteral("Loyer"), -25);
        ledger.addTransaction(livret, QStringLiteral("Intérêts"), 12);
    }

    // Makes the transaction with this designation current in the account's list.
    void select(int account, const QString &description)
    {
        ledger.locate(account);
        ASSERT_TRUE(ledger.data().tblTransaction->FindRow(
            QStringLiteral("Transaction_Description"), { description }));
    }

    int courant = 0;
    int livret = 0;
};

TEST_F(AccountDetailTest, DeletingAnExpenseGivesItsAmountBack)
{
    select(courant, QStringLiteral("Loyer"));
    detail->btnDeleteTransactionClick();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Dialogs::MessageKind::Confirmation);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Supprimer la transaction sélectionnée ?"));
    EXPECT_DOUBLE_EQ(ledger.balance(courant), 100);
    EXPECT_EQ(ledger.rows(courant), QStringList { QStringLiteral("Salaire=100") });
    EXPECT_DOUBLE_EQ(ledger.balance(livret), 500);
}

TEST_F(AccountDetailTest, DeletingAnIncomeTakesItsAmountBack)
{
    select(courant, QStringLiteral("Salaire"));
    detail->btnDeleteTransactionClick();
    EXPECT_DOUBLE_EQ(ledger.balance(courant), -25);
    EXPECT_EQ(ledger.rows(courant), QStringList { QStringLiteral("Loyer=-25") });
}

TEST_F(AccountDetailTest, AnsweringNoDeletesNothing)
{
    select(courant, QStringLiteral("Loyer"));
    dialogs.answers.push_back(Dialogs::Answer::No);
    detail->btnDeleteTransactionClick();
    EXPECT_DOUBLE_EQ(ledger.balance(courant), 75);
    EXPECT_EQ(ledger.rows(courant).size(), 2);
}

TEST_F(AccountDetailTest, DeletingOneHalfOfATransferRemindsOfTheOther)
{
    Transfer::run(ledger.data(), { courant, QStringLiteral("Courant") }, { livret, QStringLiteral("Livret") },
        50, 46000);
    select(courant, QStringLiteral("Transfert compte à compte de Livret"));
    detail->btnDeleteTransactionClick();

    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information),
        QStringList { QStringLiteral("N'oubliez pas de supprimer les transactions de compte à compte.") });
    EXPECT_DOUBLE_EQ(ledger.balance(courant), 75);
    EXPECT_EQ(ledger.rows(courant).size(), 2);
    EXPECT_DOUBLE_EQ(ledger.balance(livret), 550);
    EXPECT_EQ(ledger.rows(livret).size(), 2);
}

TEST_F(AccountDetailTest, DeletingOnAnEmptyListShowsTheTablesMessageAndKeepsTheBalance)
{
    const int empty = ledger.addAccount(QStringLiteral("Vide"), 10);
    ledger.locate(empty);
    detail->btnDeleteTransactionClick();
    EXPECT_EQ(dialogs.errors(),
        QStringList { QStringLiteral("tblTransaction: Cannot perform this operation on an empty dataset") });
    EXPECT_DOUBLE_EQ(ledger.balance(empty), 10);
}

TEST_F(AccountDetailTest, AFailedReversalKeepsTheTransaction)
{
    select(courant, QStringLiteral("Loyer"));
    ledger.data().tblAccount->BeforePost
        = [](TDataSet &table) { table.databaseError(QStringLiteral("refusé")); };
    detail->btnDeleteTransactionClick();
    ledger.data().tblAccount->BeforePost = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("tblAccount: refusé") });
    EXPECT_EQ(ledger.data().tblAccount->State(), dsBrowse);
    EXPECT_DOUBLE_EQ(ledger.balance(courant), 75);
    EXPECT_EQ(ledger.rows(courant).size(), 2);
}

TEST_F(AccountDetailTest, AFailedDeleteWritesTheBalanceBack)
{
    select(courant, QStringLiteral("Loyer"));
    ledger.data().tblTransaction->BeforeDelete
        = [](TDataSet &table) { table.databaseError(QStringLiteral("refusé")); };
    detail->btnDeleteTransactionClick();
    ledger.data().tblTransaction->BeforeDelete = nullptr;

    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("tblTransaction: refusé") });
    EXPECT_DOUBLE_EQ(ledger.balance(courant), 75);
    EXPECT_EQ(ledger.rows(courant).size(), 2);
}

TEST_F(AccountDetailTest, DeletesTheSelectedRowUnderAFilter)
{
    ledger.locate(courant);
    detail->setTransactionFilter(2, 2, QStringLiteral("0")); // amounts below zero
    ASSERT_TRUE(detail->filterInForce());
    ASSERT_EQ(ledger.data().tblTransaction->ViewRowCount(), 1);
    detail->btnDeleteTransactionClick();
    EXPECT_EQ(ledger.data().tblTransaction->ViewRowCount(), 0);
    detail->btnCloseClick();
    EXPECT_EQ(ledger.rows(courant), QStringList { QStringLiteral("Salaire=100") });
    EXPECT_DOUBLE_EQ(ledger.balance(courant), 100);
}

TEST_F(AccountDetailTest, DeletingAnAccountAsksFirst)
{
    ledger.locate(livret);
    dialogs.answers.push_back(Dialogs::Answer::No);
    detail->btnDeleteAccountClick();
    EXPECT_EQ(ledger.data().tblAccount->ViewRowCount(), 2);
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("Supprimer le compte sélectionné?"));

    ledger.locate(livret);
    detail->btnDeleteAccountClick();
    EXPECT_EQ(ledger.data().tblAccount->ViewRowCount(), 1);
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

TEST_F(AccountDetailTest, OpensTheTransferDialog)
{
    detail->btnInterAccountClick();
    EXPECT_EQ(dialogs.dialogs, QStringList { QStringLiteral("Transferts entre comptes") });
}

TEST_F(AccountDetailTest, ClosingFinishesAChangedPendingRow)
{
    ledger.locate(livret);
    ledger.data().tblAccount->Edit();
    ledger.data().tblAccountAccount_Balance->setAsNumber(501);
    detail->show();
    detail->close();
    EXPECT_EQ(ledger.data().tblAccount->State(), dsBrowse);
    EXPECT_DOUBLE_EQ(ledger.balance(livret), 501);
}

TEST_F(AccountDetailTest, ClosingCancelsARowThatCannotBePosted)
{
    ledger.locate(livret);
    ledger.data().tblAccount->Edit();
    ledger.data().tblAccountAccount_Balance->setAsNumber(501);
    ledger.data().tblAccount->BeforePost
        = [](TDataSet &table) { table.databaseError(QStringLiteral("refusé")); };
    detail->show();
    detail->close();
    ledger.data().tblAccount->BeforePost = nullptr;
    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("tblAccount: refusé") });
    EXPECT_EQ(ledger.data().tblAccount->State(), dsBrowse);
    EXPECT_DOUBLE_EQ(ledger.balance(livret), 500);
}

TEST_F(AccountDetailTest, GridsShowTheirColumns)
{
    ASSERT_EQ(detail->DBGrid2->boundColumns().size(), 3u);
    EXPECT_EQ(
        detail->DBGrid2->boundColumns()[0].column.Title, QStringLiteral("Désignation de la transaction"));
    // The planned widths, widened where a title or an amount would be cut; the list keeps its total width.
    const auto &columns = detail->DBGrid2->boundColumns();
    EXPECT_GE(columns[1].column.Width, 137);
    EXPECT_GE(columns[2].column.Width, 154);
    EXPECT_EQ(columns[0].column.Width + columns[1].column.Width + columns[2].column.Width, 427 + 137 + 154);
    EXPECT_EQ(detail->DBGrid1->boundColumns()[1].column.Title, QStringLiteral("Solde du compte"));
    EXPECT_TRUE(detail->DBGrid1->ReadOnly());
    EXPECT_EQ(detail->size(), QSize(750, 550));
}

// ---- printing the transaction list ----

TEST_F(AccountDetailTest, ACancelledPrintDialogShowsNothing)
{
    dialogs.printAnswer = false;
    detail->btnPrintClick();
    EXPECT_EQ(dialogs.printDialogs, 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AccountDetailTest, PrintsTheListInLandscape)
{
    QTemporaryDir dir;
    dialogs.printFileAnswer = dir.filePath(QStringLiteral("liste.pdf"));
    ledger.locate(courant);
    detail->btnPrintClick();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(QFileInfo(dialogs.printFileAnswer).size() > 0);
    EXPECT_EQ(detail->PrintGrid1->PrintOrientation(), QPageLayout::Landscape);
}

TEST_F(AccountDetailTest, AFailedPrintShowsTheErrorBox)
{
    dialogs.printFileAnswer = QStringLiteral("/nonexistent-folder/liste.pdf");
    ledger.locate(courant);
    detail->btnPrintClick();
    EXPECT_EQ(dialogs.errors(), QStringList { QStringLiteral("Erreur pendant l'impression.") });
}

} // namespace

// ---- whole user actions on the running program ----

#include "forms/AEAccount.h"
#include "forms/Main.h"

#include <QComboBox>

namespace {

class AccountDetailProgramTest : public FormsFixture
{
protected:
    double balanceOf(const QString &name)
    {
        EXPECT_TRUE(DataModule1->tblAccount->FindRow(QStringLiteral("Account_Type"), { name }));
        return DataModule1->tblAccountAccount_Balance->AsNumber();
    }
    QStringList transactionsOf(const QString &name)
    {
        EXPECT_TRUE(DataModule1->tblAccount->FindRow(QStringLiteral("Account_Type"), { name }));
        QStringList result;
        TMemTable &transactions = *DataModule1->tblTransaction;
        for (transactions.First(); !transactions.AtEnd(); transactions.Next())
            result << DataModule1->tblTransactionTransaction_Description->AsString() + QLatin1Char('=')
                    + QString::number(DataModule1->tblTransactionTransaction_Amount->AsNumber());
        return result;
    }
};

// The user opens the account detail window, transfers 50 from A to B, deletes the source half and closes;
// after a restart everything is there.
TEST_F(AccountDetailProgramTest, TransferAndDeleteSurviveARestart)
{
    addAccount(QStringLiteral("A"), 100);
    addAccount(QStringLiteral("B"), 20);
    flushSaves();

    dialogs.scripts.push_back([](QDialog &) {
        frmAccountDetail->btnInterAccount->click();
        // Back in the detail window: select A's transfer row and delete it.
        DataModule1->tblAccount->FindRow(QStringLiteral("Account_Type"), { QStringLiteral("A") });
        frmAccountDetail->btnDeleteTransaction->click();
        frmAccountDetail->btnClose->click();
        return true;
    });
    dialogs.scripts.push_back([](QDialog &) {
        frmInterAccount->cmbFromAccount->setCurrentIndex(0);
        frmInterAccount->cmbToAccount->setCurrentIndex(1);
        frmInterAccount->edtAmount->setText(QStringLiteral("50"));
        frmInterAccount->btnSave->click();
        return true;
    });
    frmMain->btnAccountDetailClick();
    flushSaves();

    EXPECT_EQ(dialogs.dialogs,
        (QStringList { QStringLiteral("Détail du compte"), QStringLiteral("Transferts entre comptes") }));
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information),
        QStringList { QStringLiteral("N'oubliez pas de supprimer les transactions de compte à compte.") });
    EXPECT_TRUE(dialogs.errors().isEmpty());

    restart();
    EXPECT_DOUBLE_EQ(balanceOf(QStringLiteral("A")), 100);
    EXPECT_TRUE(transactionsOf(QStringLiteral("A")).isEmpty());
    EXPECT_DOUBLE_EQ(balanceOf(QStringLiteral("B")), 70);
    EXPECT_EQ(transactionsOf(QStringLiteral("B")),
        QStringList { QStringLiteral("Transfert compte à compte du A=50") });
}

// A filter left in force by closing through the title bar still filters when the window is shown again.
TEST_F(AccountDetailProgramTest, FilterStaysInForceUntilClosedWithTheButton)
{
    addAccount(QStringLiteral("A"), 0);
    frmAccountDetail->setTransactionFilter(2, 1, QStringLiteral("0"));
    EXPECT_TRUE(frmAccountDetail->filterInForce());
    EXPECT_TRUE(DataModule1->tblTransaction->Filtered());
    frmAccountDetail->btnCloseClick();
    EXPECT_FALSE(DataModule1->tblTransaction->Filtered());
}

// The account editor runs captioned for what the detail window asked; a new account is saved through it.
TEST_F(AccountDetailProgramTest, NewAndEditAccountCaptionTheEditor)
{
    addAccount(QStringLiteral("A"), 5);
    dialogs.scripts.push_back([](QDialog &) {
        frmAEAccount->btnCancel->click();
        return false;
    });
    dialogs.scripts.push_back([](QDialog &) {
        frmAEAccount->btnCancel->click();
        return false;
    });
    frmAccountDetail->btnNewAccountClick();
    frmAccountDetail->btnEditClick();
    EXPECT_EQ(dialogs.dialogs,
        (QStringList { QStringLiteral("Ajouter un nouveau compte"), QStringLiteral("Editer un compte") }));
    EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
    EXPECT_EQ(DataModule1->tblAccount->ViewRowCount(), 1);
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

} // namespace
