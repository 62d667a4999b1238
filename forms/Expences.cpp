#include "forms/Expences.h"

TfrmExpences *frmExpences = nullptr;

TfrmExpences::TfrmExpences(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dépenses"));
}
