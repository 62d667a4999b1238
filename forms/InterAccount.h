#pragma once

#include "forms/Transfer.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class TGradButton;
class TGradPanel;

// The transfer dialog: moves an amount from one account to another as two opposite transactions and two
// balance changes, all or nothing. Opened from the account detail window.
class TfrmInterAccount : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmInterAccount(QWidget *parent = nullptr);

    TGradPanel *GradPanel1;
    QLabel *Label10;
    QLabel *Label1;
    QComboBox *cmbFromAccount;
    QLabel *Label2;
    QComboBox *cmbToAccount;
    QLabel *Label3;
    QLineEdit *edtAmount;
    TGradPanel *GradPanel2;
    TGradButton *btnSave;
    TGradButton *btnCancel;

    // Refills both account lists from the account table; runs whenever the dialog is shown.
    void FormShow();
    void btnSaveClick();
    void btnCancelClick();

    // The account an account box has selected: none when no item is selected or its text was edited away
    // from the selected item.
    static std::optional<Transfer::Account> selectedAccount(const QComboBox &box);
    // The amount text the dialog starts and resets with: zero in the regional decimal format.
    static QString zeroAmount();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reset();
};

extern TfrmInterAccount *frmInterAccount;
