#include "forms/InterAccount.h"

TfrmInterAccount *frmInterAccount = nullptr;

TfrmInterAccount::TfrmInterAccount(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Transferts entre comptes"));
}
