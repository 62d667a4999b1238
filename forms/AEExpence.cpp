#include "forms/AEExpence.h"

TfrmAEExpence *frmAEExpence = nullptr;

TfrmAEExpence::TfrmAEExpence(QWidget *parent)
    : DesignationEditor(expenceDesignations(), parent)
{ }
