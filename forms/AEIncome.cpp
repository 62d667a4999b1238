#include "forms/AEIncome.h"

TfrmAEIncome *frmAEIncome = nullptr;

TfrmAEIncome::TfrmAEIncome(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ajouter un revenu"));
}
