#include "forms/DefineIncome.h"

TfrmDefineIncome *frmDefineIncome = nullptr;

TfrmDefineIncome::TfrmDefineIncome(QWidget *parent)
    : DesignationList(incomeDesignations(), parent)
{ }
