#pragma once

#include "forms/DesignationSides.h"

#include <QDialog>

class QLabel;
class TDBGrid;
class TGradButton;
class TGradPanel;
class TMemTable;

// The list window of one designation side: the designations in a grid, with Add, Edit and OK. Whatever row
// is current when it closes is the one the entry window takes. TfrmDefineIncome and TfrmDefineExpences are
// this window for their side.
class DesignationList : public QDialog
{
    Q_OBJECT

public:
    DesignationList(const DesignationSide &side, QWidget *parent);

    const DesignationSide &side() const { return m_side; }
    TMemTable *table() const;

    void FormCreate();
    void btnAddClick();
    void btnEditClick();
    void btnOKClick();

    // However the window closes (OK, Escape, the title bar), a row still pending from an edit in the grid is
    // finished: posted when changed (the error box and a cancel when that fails), cancelled otherwise.
    void done(int result) override;

    TGradPanel *GradPanel1;
    QLabel *Label10;
    TDBGrid *DBGrid1;
    TGradPanel *GradPanel4;
    TGradButton *btnAdd;
    TGradButton *btnEdit;
    TGradButton *btnOK;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Add and Edit: the table is put into its state, the editor is captioned and shown.
    void openEditor(void (TMemTable::*start)(), const QString &caption);
    void finishPendingRow();

    const DesignationSide &m_side;
};
