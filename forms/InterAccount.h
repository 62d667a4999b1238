#pragma once

#include <QDialog>

class TfrmInterAccount : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmInterAccount(QWidget *parent = nullptr);
};

extern TfrmInterAccount *frmInterAccount;
