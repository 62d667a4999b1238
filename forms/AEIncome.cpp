#include "forms/AEIncome.h"

TfrmAEIncome *frmAEIncome = nullptr;

TfrmAEIncome::TfrmAEIncome(QWidget *parent)
    : DesignationEditor(incomeDesignations(), parent)
{ }
