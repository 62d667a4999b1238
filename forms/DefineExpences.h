#pragma once

#include "forms/DesignationList.h"

class TfrmDefineExpences : public DesignationList
{
    Q_OBJECT

public:
    explicit TfrmDefineExpences(QWidget *parent = nullptr);
};

extern TfrmDefineExpences *frmDefineExpences;
