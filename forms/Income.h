#pragma once

#include "forms/EntryWindow.h"

class TfrmIncome : public EntryWindow
{
    Q_OBJECT

public:
    explicit TfrmIncome(QWidget *parent = nullptr);
};

extern TfrmIncome *frmIncome;
