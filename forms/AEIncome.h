#pragma once

#include <QDialog>

class TfrmAEIncome : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAEIncome(QWidget *parent = nullptr);
};

extern TfrmAEIncome *frmAEIncome;
