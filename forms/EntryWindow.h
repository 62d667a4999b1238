#pragma once

#include "forms/DesignationSides.h"
#include "forms/TransactionEntry.h"

#include <QDialog>

class QLabel;
class TDBDateEdit;
class TDBEdit;
class TDBText;
class TGradButton;
class TGradPanel;

// What differs between the income and the expense entry.
struct EntrySide
{
    TransactionEntry::Kind kind;
    QString caption; // window caption and title band
    int clientHeight;
    QString designationCaption;
    QString dateCaption;
    QString amountCaption;
    // The designation list behind "...".
    const DesignationSide &designations;
    // The expense entry puts the focus into the designation edit whenever it is shown; the income entry
    // leaves it wherever it last was.
    bool focusOnShow;
};

const EntrySide &incomeEntry();
const EntrySide &expenceEntry();

// The entry of one income or one expense against the current account. The main window starts the new row of
// tblTransaction (TransactionEntry::beginTransactionEntry) and shows this dialog; "&Sauvegarder" records it
// with the balance, "&Annuler" — and equally Escape, the title bar and Alt+F4 — cancels it. TfrmIncome and
// TfrmExpences are this dialog for their side.
class EntryWindow : public QDialog
{
    Q_OBJECT

public:
    EntryWindow(const EntrySide &side, QWidget *parent);

    const EntrySide &side() const { return m_side; }

    void FormShow();
    void btnSaveClick();
    void btnCancelClick();
    // "...": picks the designation from the side's list.
    void btnExpencesClick();

    void reject() override;

    TGradPanel *GradPanel1;
    QLabel *Label10;
    TDBText *DBText1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    TDBEdit *DBEdit1;
    TGradButton *btnExpences;
    TDBDateEdit *DBDateEdit1;
    TDBEdit *DBEdit2;
    TGradPanel *GradPanel4;
    TGradButton *btnSave;
    TGradButton *btnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void cancelTransaction();

    const EntrySide &m_side;
};
