#pragma once

#include "forms/DesignationList.h"

class TfrmDefineIncome : public DesignationList
{
    Q_OBJECT

public:
    explicit TfrmDefineIncome(QWidget *parent = nullptr);
};

extern TfrmDefineIncome *frmDefineIncome;
