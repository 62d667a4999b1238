#pragma once

#include "forms/DesignationEditor.h"

class TfrmAEExpence : public DesignationEditor
{
    Q_OBJECT

public:
    explicit TfrmAEExpence(QWidget *parent = nullptr);
};

extern TfrmAEExpence *frmAEExpence;
