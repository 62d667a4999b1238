#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class TDBGrid;
class TGradButton;
class TGradPanel;
class TPrintGrid;

// The program's home screen: the account list with its balances, the coloured total, the navigation buttons
// to the other windows, printing of the list and the maker's web link. Its creation sets up the four tables;
// closing it ends the program.
class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    TGradPanel *GradPanel3;
    TGradButton *btnAccountDetail;
    TGradButton *btnIncome;
    TGradButton *btnExpences;
    TGradButton *btnReports;
    TGradPanel *GradPanel1;
    QLabel *Label1;
    TDBGrid *DBGrid1;
    QLabel *lblTotalCaption;
    QLabel *lblTotal;
    TGradButton *btnPrint;
    TGradPanel *GradPanel4;
    QLabel *Label2;
    TGradButton *btnExit;
    TPrintGrid *PrintGrid1;

    // The maker's web address behind Label2.
    static const char *const kWebAddress;
    // What a print that failed shows.
    static const QString kPrintError;
    // Opens a web address in the user's browser; tests replace it.
    std::function<void(const QUrl &)> openUrl;

    void RefreshTotal();

    void btnAccountDetailClick();
    void btnIncomeClick();
    void btnExpencesClick();
    void btnReportsClick();
    void btnPrintClick();
    void btnExitClick();
    void Label2MouseEnter();
    void Label2MouseLeave();
    void Label2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    // RefreshTotal without its error guard.
    void updateTotal();
    void buildControls();
    // Hides the main window while another window runs modally, and shows it again afterwards.
    void showInstead(QDialog *window);
    void startEntry(QDialog *window);
};

extern TfrmMain *frmMain;
