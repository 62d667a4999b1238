#include "forms/DefineIncome.h"

TfrmDefineIncome *frmDefineIncome = nullptr;

TfrmDefineIncome::TfrmDefineIncome(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Définir un revenu"));
}
