#include "forms/Income.h"

TfrmIncome *frmIncome = nullptr;

TfrmIncome::TfrmIncome(QWidget *parent)
    : EntryWindow(incomeEntry(), parent)
{ }
