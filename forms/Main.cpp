#include "forms/Main.h"

TfrmMain *frmMain = nullptr;

TfrmMain::TfrmMain(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillot Portable"));
}
