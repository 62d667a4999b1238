#include "forms/AccountDetail.h"

TfrmAccountDetail *frmAccountDetail = nullptr;

TfrmAccountDetail::TfrmAccountDetail(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Détail du compte"));
}
