#pragma once

#include <QDialog>

class QLabel;
class TGradButton;
class TGradPanel;
class TOpenDialog;
class TReportDesignerDialog;

// The reports window: asks for a report file and hands it to the report designer's entry component to create
// a new report, edit one or preview one. It holds no state of its own; the main window shows it modally.
class TfrmReports : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmReports(QWidget *parent = nullptr);
    ~TfrmReports() override;

    TGradPanel *GradPanel2;
    QLabel *Label1;
    TGradButton *btnNewReport;
    TGradButton *btnEditReport;
    TGradButton *btnPreviewReport;
    TGradPanel *GradPanel1;
    TGradButton *btnClose;
    TOpenDialog *OpenDialog1;
    TReportDesignerDialog *ReportDesignerDialog1;

    void btnNewReportClick();
    void btnEditReportClick();
    void btnPreviewReportClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TfrmReports *frmReports;
