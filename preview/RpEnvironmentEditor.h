#pragma once

#include "preview/WizardCore.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TRpEvEnvironment;

// The variable editor: lists the named expressions of the given variables ("&Local defines") or of the
// program-wide ones ("&Global defines") in a grid whose cells are edited in place, adds ("&Add" with the
// "New entry" group), deletes and edits them with the expression wizard. Every change acts at once; there
// is no cancel. Names are upper-cased; an empty or duplicate name, and a new name or a delete for a variable
// that a band owns, are refused and the cell shows what it held; while the variables are prepared (their
// report runs) nothing changes.
class TRpEnvironmentEditor : public QDialog
{
    Q_OBJECT

public:
    TRpEnvironmentEditor(RpVariableList *environment, bool globalAllowed, QWidget *parent = nullptr);
    ~TRpEnvironmentEditor() override;

    // The variables the grid shows.
    RpVariableList *shownVariables() const;
    bool closeFlag() const { return m_closeFlag; }
    int newEntryResult() const { return m_newEntryResult; }

    QRadioButton *RLocal;
    QRadioButton *RGlobal;
    QTableWidget *GridVars;
    QGroupBox *GAvailable;
    QGroupBox *GNewEntry;
    QLineEdit *ENewName;
    QLineEdit *ENewExpression;
    QPushButton *BNewExpression;
    QPushButton *BNewOK;
    QPushButton *BNewCancel;
    QPushButton *BAdd;
    QPushButton *BEdit;
    QPushButton *BDelete;
    QPushButton *BClose;

    // The grid's rows again from the shown variables.
    void fillGrid();
    // "&Edit": the expression wizard on the current row's expression, inside this window.
    void editCurrent();
    // "&Add": the "New entry" group until "&OK" or "&Cancel".
    void addEntry();
    void deleteCurrent();

signals:
    void newEntryEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cellChanged(int row, int column);
    void setCell(int row, int column, const QString &text);
    void newEntryOk();
    void newExpressionWizard();
    void showNewEntry(bool on);

    RpVariableList *m_local;
    bool m_closeFlag = false;
    int m_newEntryResult = 0;
    bool m_filling = false;
};

// Shows the variable editor modally for the given variables (or none: then only the program-wide ones) and
// returns when it is closed.
void OpenVariableEditor(RpVariableList *environment, bool globalAllowed);
void OpenVariableEditor(TRpEvEnvironment *environment, bool globalAllowed);
