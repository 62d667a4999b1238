#include "FormsFixture.h"

#include "forms/AEAccount.h"
#include "forms/AccountDetail.h"
#include "forms/EntryWindow.h"
#include "forms/Expences.h"
#include "forms/Income.h"
#include "forms/InterAccount.h"
#include "forms/Main.h"
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/GradButton.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

class EndToEndTest : public FormsFixture
{
protected:
    // Runs `inside` while the account detail window is shown from the main window.
    void inAccountDetail(const std::function<void(TfrmAccountDetail &)> &inside)
    {
        dialogs.scripts.push_back([inside](QDialog &dialog) {
            inside(static_cast<TfrmAccountDetail &>(dialog));
            return false;
        });
        frmMain->btnAccountDetail->click();
        flushSaves();
    }
    void newAccount(TfrmAccountDetail &detail, const QString &name, const QString &balance)
    {
        dialogs.scripts.push_front([=](QDialog &dialog) {
            auto &editor = static_cast<TfrmAEAccount &>(dialog);
            typeInto(editor.DBEdit1, name);
            typeInto(editor.DBEdit2, balance);
            editor.btnSave->click();
            return true;
        });
        detail.btnNewAccount->click();
    }
    void entry(TGradButton *button, const QString &designation, const QString &amount)
    {
        dialogs.scripts.push_back([=](QDialog &dialog) {
            auto &window = static_cast<EntryWindow &>(dialog);
            typeInto(window.DBEdit1, designation);
            window.DBDateEdit1->pickDate(QDate(2026, 12, 1));
            typeInto(window.DBEdit2, amount);
            window.btnSave->click();
            return true;
        });
        button->click();
        flushSaves();
    }
    static double balanceOf(const QString &name)
    {
        EXPECT_TRUE(DataModule1->tblAccount->FindRow("Account_Type", { name }));
        return DataModule1->tblAccountAccount_Balance->AsNumber();
    }
};

TEST_F(EndToEndTest, AccountIncomeExpenseTransferFilterDelete_SurviveARestart)
{
    frmMain->show();
    inAccountDetail([&](TfrmAccountDetail &detail) {
        newAccount(detail, "Banque", "1000");
        newAccount(detail, "Livret", "0");
    });
    ASSERT_TRUE(dialogs.errors().isEmpty()) << qPrintable(dialogs.errors().join('\n'));
    ASSERT_EQ(DataModule1->tblAccount->ViewRowCount(), 2);

    inAccountDetail([&](TfrmAccountDetail &) {
        dialogs.scripts.push_front([](QDialog &dialog) {
            auto &transfer = static_cast<TfrmInterAccount &>(dialog);
            transfer.cmbFromAccount->setCurrentIndex(transfer.cmbFromAccount->findText("Banque"));
            transfer.cmbToAccount->setCurrentIndex(transfer.cmbToAccount->findText("Livret"));
            transfer.edtAmount->setText("200");
            transfer.btnSave->click();
            return true;
        });
        frmAccountDetail->btnInterAccount->click();
    });
    ASSERT_TRUE(DataModule1->tblAccount->FindRow("Account_Type", { "Banque" }));
    entry(frmMain->btnIncome, "Salaire", "500");
    ASSERT_TRUE(DataModule1->tblAccount->FindRow("Account_Type", { "Banque" }));
    entry(frmMain->btnExpences, "Loyer", "300");
    ASSERT_TRUE(dialogs.errors().isEmpty()) << qPrintable(dialogs.errors().join('\n'));
    EXPECT_DOUBLE_EQ(balanceOf("Banque"), 1000);
    EXPECT_DOUBLE_EQ(balanceOf("Livret"), 200);

    inAccountDetail([&](TfrmAccountDetail &detail) {
        ASSERT_TRUE(DataModule1->tblAccount->FindRow("Account_Type", { "Banque" }));
        detail.setTransactionFilter(0, 0, "Salaire");
        ASSERT_EQ(DataModule1->tblTransaction->ViewRowCount(), 1);
        detail.btnDeleteTransaction->click();
        detail.btnFilterClick();
    });
    ASSERT_TRUE(dialogs.errors().isEmpty()) << qPrintable(dialogs.errors().join('\n'));
    EXPECT_DOUBLE_EQ(balanceOf("Banque"), 500);

    restart();
    EXPECT_DOUBLE_EQ(balanceOf("Banque"), 500);
    EXPECT_EQ(DataModule1->tblTransaction->ViewRowCount(), 2);
    EXPECT_DOUBLE_EQ(balanceOf("Livret"), 200);
    EXPECT_EQ(DataModule1->tblTransaction->ViewRowCount(), 1);
    frmMain->show();
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(700));
}

} // namespace
