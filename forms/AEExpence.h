#pragma once

#include <QDialog>

class TfrmAEExpence : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAEExpence(QWidget *parent = nullptr);
};

extern TfrmAEExpence *frmAEExpence;
