#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class TDBGrid;
class TGradButton;
class TGradPanel;
class TPrintGrid;

// Where accounts are managed and their transactions inspected: the account list above, the current account's
// transactions below, with their buttons, the one-condition transaction filter and the print of the list.
class TfrmAccountDetail : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAccountDetail(QWidget *parent = nullptr);

    TGradPanel *GradPanel2;
    QLabel *Label1;
    TDBGrid *DBGrid1;
    TGradPanel *GradPanel4;
    TGradButton *btnNewAccount;
    TGradButton *btnEdit;
    TGradButton *btnDeleteAccount;
    TGradButton *btnInterAccount;
    TDBGrid *DBGrid2;
    TGradPanel *GradPanel1;
    TGradButton *btnDeleteTransaction;
    QLabel *Label2;
    QComboBox *cmbField;
    QComboBox *cmbOperator;
    QLineEdit *edtFilter;
    TGradButton *btnFilter;
    TGradButton *btnPrint;
    TGradButton *btnClose;
    TPrintGrid *PrintGrid1;

    static const QString kFilterOn; // caption while no filter is in force: what the next click does
    static const QString kFilterOff; // caption while a filter is in force
    static const QString kNoField;
    static const QString kPrintError;

    // Puts a filter in force as a user would: selects the field and operator items (-1: none), types the
    // value and clicks the filter button (which first switches off a filter in force).
    void setTransactionFilter(int fieldIndex, int operatorIndex, const QString &value);
    bool filterInForce() const;

    void FormCreate();
    void btnNewAccountClick();
    void btnEditClick();
    void DBGrid1DblClick();
    void btnDeleteAccountClick();
    void btnDeleteTransactionClick();
    void btnInterAccountClick();
    void btnPrintClick();
    void btnCloseClick();
    // The filter bar.
    void btnFilterClick();
    void edtFilterKeyPress(QKeyEvent *event);
    void cmbOperatorClick();
    // The filter text for the selections and the value; sets the filter options of the transaction table.
    QString BuildFilterExpression();
    // Sets the filter text, then switches filtering on or off; false (after the error box) when refused.
    bool ApplyTransactionFilter(const QString &expression, bool on);

    // Finishes a row left pending in the account or transaction table: posted when changed (a failure shows
    // the error box and cancels it), cancelled otherwise. Runs whenever the window closes.
    void finishPendingRows();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editAccount(const QString &caption, bool inserting);
    // The selected item of a combo box whose text the user can edit: -1 when the text differs from it.
    static int selectedItem(const QComboBox &box);
};

extern TfrmAccountDetail *frmAccountDetail;
