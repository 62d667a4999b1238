#pragma once

#include <QDialog>

class TfrmDefineExpences : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmDefineExpences(QWidget *parent = nullptr);
};

extern TfrmDefineExpences *frmDefineExpences;
