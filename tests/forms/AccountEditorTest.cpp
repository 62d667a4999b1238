#include "FormsFixture.h"

#include "forms/AEAccount.h"
#include "forms/Main.h"
#include "platform/RegionalSettings.h"
#include "widgets/DBEdit.h"
#include "widgets/GradButton.h"

#include <QLabel>

namespace {

class AccountEditorTest : public FormsFixture
{
protected:
    // The caller's protocol: the table operation, the caption, then the dialog.
    bool openEditor(bool insert, const std::function<void(TfrmAEAccount &)> &script)
    {
        dialogs.scripts.push_back([script](QDialog &dialog) {
            auto &editor = static_cast<TfrmAEAccount &>(dialog);
            script(editor);
            return editor.result() == QDialog::Accepted;
        });
        if (insert)
            DataModule1->tblAccount->Insert();
        else
            DataModule1->tblAccount->Edit();
        frmAEAccount->setWindowTitle(
            insert ? QStringLiteral("Ajouter un nouveau compte") : QStringLiteral("Editer un compte"));
        return Dialogs::exec(*frmAEAccount);
    }
    static QStringList names()
    {
        QStringList result;
        TMemTable *accounts = DataModule1->tblAccount;
        for (accounts->First(); !accounts->AtEnd(); accounts->Next())
            result << DataModule1->tblAccountAccount_Type->AsString();
        return result;
    }
};

TEST_F(AccountEditorTest, NewAccountWithABalance_IsSavedByItsAccelerator_AndSurvivesARestart)
{
    const bool accepted = openEditor(true, [](TfrmAEAccount &editor) {
        EXPECT_EQ(editor.windowTitle(), "Ajouter un nouveau compte");
        typeInto(editor.DBEdit1, "Banque");
        typeInto(editor.DBEdit2, "250,5");
        // The accelerator clicks without moving the focus: the typed balance must still be saved.
        editor.btnSave->click();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
    EXPECT_EQ(DataModule1->tblAccountAccount_Balance->AsNumber(), 250.5);
    EXPECT_GT(DataModule1->tblAccountAccount_Number->AsInteger(), 0);
    flushSaves();
    restart();
    EXPECT_EQ(names(), QStringList({ "Banque" }));
    frmMain->show();
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(250.5));
}

TEST_F(AccountEditorTest, ABalanceLeftEmpty_IsPostedEmpty_AndCountsAsZero)
{
    addAccount("Autre", 10);
    openEditor(true, [](TfrmAEAccount &editor) {
        typeInto(editor.DBEdit1, "Vide");
        editor.btnSave->click();
    });
    QStringList sorted = names();
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({ "Autre", "Vide" }));
    ASSERT_TRUE(DataModule1->tblAccount->FindRow("Account_Type", { "Vide" }));
    EXPECT_TRUE(DataModule1->tblAccountAccount_Balance->IsNullValue());
    frmMain->RefreshTotal();
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(10));
}

TEST_F(AccountEditorTest, AnInvalidBalance_ShowsTheConversionMessage_AddsNothing_AndCloses)
{
    const bool accepted = openEditor(true, [](TfrmAEAccount &editor) {
        typeInto(editor.DBEdit1, "Banque");
        typeInto(editor.DBEdit2, "1-");
        editor.btnSave->click();
        EXPECT_FALSE(editor.isVisible());
    });
    EXPECT_FALSE(accepted);
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors().front().contains("'1-'")) << qPrintable(dialogs.errors().front());
    EXPECT_TRUE(names().isEmpty());
    EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
}

TEST_F(AccountEditorTest, EditingABalance_ChangesIt_WithoutAnyTransaction)
{
    addAccount("Banque", 100);
    openEditor(false, [](TfrmAEAccount &editor) {
        EXPECT_EQ(editor.windowTitle(), "Editer un compte");
        EXPECT_EQ(editor.DBEdit1->text(), "Banque");
        editor.DBEdit2->selectAll();
        typeInto(editor.DBEdit2, "250");
        editor.btnSave->click();
    });
    EXPECT_EQ(DataModule1->tblAccountAccount_Balance->AsNumber(), 250);
    EXPECT_TRUE(DataModule1->tblTransaction->IsEmpty());
}

struct LeaveCase
{
    const char *name;
    std::function<void(TfrmAEAccount &)> leave;
};

void PrintTo(const LeaveCase &c, std::ostream *os)
{
    *os << c.name;
}

class AccountEditorLeaveTest : public AccountEditorTest, public ::testing::WithParamInterface<LeaveCase>
{
};

TEST_P(AccountEditorLeaveTest, EveryWayOut_ButSave_CancelsTheRow)
{
    addAccount("Banque", 100);
    openEditor(false, [](TfrmAEAccount &editor) {
        editor.DBEdit1->selectAll();
        typeInto(editor.DBEdit1, "Changé");
        GetParam().leave(editor);
        EXPECT_FALSE(editor.isVisible());
    });
    EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
    EXPECT_EQ(names(), QStringList({ "Banque" }));
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Ways, AccountEditorLeaveTest,
    ::testing::Values(LeaveCase { "CancelButton", [](TfrmAEAccount &e) { e.btnCancel->click(); } },
        LeaveCase { "Escape", [](TfrmAEAccount &e) { FormsFixture::pressKey(&e, Qt::Key_Escape); } },
        LeaveCase { "TitleBar", [](TfrmAEAccount &e) { e.close(); } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AccountEditorTest, Controls_CarryTheirCaptions)
{
    EXPECT_EQ(frmAEAccount->Label10->text(), "Informations de compte");
    EXPECT_EQ(frmAEAccount->Label1->text(), "Type de compte");
    EXPECT_EQ(frmAEAccount->Label2->text(), "Solde");
    EXPECT_EQ(frmAEAccount->btnSave->text(), "&Sauvegarder");
    EXPECT_EQ(frmAEAccount->btnCancel->text(), "&Annuler");
    EXPECT_EQ(frmAEAccount->size(), QSize(363, 167));
    EXPECT_EQ(frmAEAccount->DBEdit1->DataField(), "Account_Type");
    EXPECT_EQ(frmAEAccount->DBEdit2->DataField(), "Account_Balance");
}

} // namespace
