#pragma once

#include <QDialog>

class TfrmAEAccount : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAEAccount(QWidget *parent = nullptr);
};

extern TfrmAEAccount *frmAEAccount;
