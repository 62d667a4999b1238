#include "forms/AEExpence.h"

TfrmAEExpence *frmAEExpence = nullptr;

TfrmAEExpence::TfrmAEExpence(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ajouter une dépense"));
}
