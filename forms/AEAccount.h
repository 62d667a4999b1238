#pragma once

#include <QDialog>

class QLabel;
class TDBEdit;
class TGradButton;
class TGradPanel;

// The account editor: the name and balance of the current row of tblAccount, which the caller has put into
// insert or edit mode (and captioned "Ajouter un nouveau compte" or "Editer un compte"). "&Sauvegarder"
// posts,
// "&Annuler" cancels; closing by the title bar, Escape or Alt+F4 cancels as "&Annuler" does.
class TfrmAEAccount : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAEAccount(QWidget *parent = nullptr);

    TGradPanel *GradPanel1;
    QLabel *Label10;
    QLabel *Label1;
    TDBEdit *DBEdit1;
    QLabel *Label2;
    TDBEdit *DBEdit2;
    TGradPanel *GradPanel2;
    TGradButton *btnSave;
    TGradButton *btnCancel;

    void btnSaveClick();
    void btnCancelClick();

    // Escape and the title bar's close end the dialog through here.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    // The title bar's close and Alt+F4.
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
};

extern TfrmAEAccount *frmAEAccount;
