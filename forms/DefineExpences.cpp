#include "forms/DefineExpences.h"

TfrmDefineExpences *frmDefineExpences = nullptr;

TfrmDefineExpences::TfrmDefineExpences(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Définir les dépenses"));
}
