#include "forms/Income.h"

TfrmIncome *frmIncome = nullptr;

TfrmIncome::TfrmIncome(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Revenu"));
}
