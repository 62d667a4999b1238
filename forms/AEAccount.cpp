#include "forms/AEAccount.h"

TfrmAEAccount *frmAEAccount = nullptr;

TfrmAEAccount::TfrmAEAccount(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nouveau compte"));
}
