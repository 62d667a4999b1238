#pragma once

#include <QDialog>

class TfrmDefineIncome : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmDefineIncome(QWidget *parent = nullptr);
};

extern TfrmDefineIncome *frmDefineIncome;
