#include "forms/DefineExpences.h"

TfrmDefineExpences *frmDefineExpences = nullptr;

TfrmDefineExpences::TfrmDefineExpences(QWidget *parent)
    : DesignationList(expenceDesignations(), parent)
{ }
