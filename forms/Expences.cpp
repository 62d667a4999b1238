#include "forms/Expences.h"

TfrmExpences *frmExpences = nullptr;

TfrmExpences::TfrmExpences(QWidget *parent)
    : EntryWindow(expenceEntry(), parent)
{ }
