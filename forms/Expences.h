#pragma once

#include "forms/EntryWindow.h"

class TfrmExpences : public EntryWindow
{
    Q_OBJECT

public:
    explicit TfrmExpences(QWidget *parent = nullptr);
};

extern TfrmExpences *frmExpences;
