#pragma once

#include <QDialog>

class TfrmAccountDetail : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAccountDetail(QWidget *parent = nullptr);
};

extern TfrmAccountDetail *frmAccountDetail;
