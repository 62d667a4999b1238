#pragma once

#include "forms/DesignationEditor.h"

class TfrmAEIncome : public DesignationEditor
{
    Q_OBJECT

public:
    explicit TfrmAEIncome(QWidget *parent = nullptr);
};

extern TfrmAEIncome *frmAEIncome;
