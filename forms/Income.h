#pragma once

#include <QDialog>

class TfrmIncome : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmIncome(QWidget *parent = nullptr);
};

extern TfrmIncome *frmIncome;
