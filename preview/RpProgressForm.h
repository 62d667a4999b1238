#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;
class TRpPrinter;

// The progress window of a printing or export run ("Printing progress"): a gauge from 0 to 100, a text line
// and "Cancel", on top of the other windows and centred on the screen. It is the page store's client while
// it lives and shows only progress values that are multiples of 5; "Cancel" cancels the store's document.
class TRpProgressForm : public QDialog
{
    Q_OBJECT
public:
    explicit TRpProgressForm(TRpPrinter *store, QWidget *parent = nullptr);

    QProgressBar *Gauge;
    QLabel *lblProgress;
    QPushButton *btnCancel;

    // Makes the report runs show this window while they print or export.
    static void install();

protected:
    bool event(QEvent *event) override;

private:
    void showProgress(int percent);

    QPointer<TRpPrinter> m_store;
};
