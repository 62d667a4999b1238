#pragma once

#include "forms/DesignationSides.h"

#include <QDialog>

class QLabel;
class TDBEdit;
class TGradButton;
class TGradPanel;
class TMemTable;

// The editor of one designation: entered with the side's table in insert or edit mode, it posts on
// "&Sauvegarder" and cancels on "&Annuler". Escape, the title bar and Alt+F4 cancel like "&Annuler", so the
// row never stays pending behind a closed window. TfrmAEIncome and TfrmAEExpence are this dialog for their
// side; the list window sets the caption before every showing.
class DesignationEditor : public QDialog
{
    Q_OBJECT

public:
    DesignationEditor(const DesignationSide &side, QWidget *parent);

    const DesignationSide &side() const { return m_side; }
    TMemTable *table() const;

    void FormShow();
    void btnSaveClick();
    void btnCancelClick();

    void reject() override;

    TGradPanel *GradPanel1;
    QLabel *Label10;
    QLabel *Label1;
    TDBEdit *DBEdit1;
    TGradPanel *GradPanel4;
    TGradButton *btnSave;
    TGradButton *btnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    const DesignationSide &m_side;
};
