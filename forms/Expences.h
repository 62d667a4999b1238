#pragma once

#include <QDialog>

class TfrmExpences : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmExpences(QWidget *parent = nullptr);
};

extern TfrmExpences *frmExpences;
