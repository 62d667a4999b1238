#pragma once

#include "report/model/PrinterSettings.h"
#include "report/model/ReportTypes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class TCustomRpReport;

// Chains several reports into one print job: its `OnAddReports` handler fills the report list, its printer
// settings and title go to the one page store all the reports print into. The report list is not stored.
// Running it is the report generator's work; the data loops of single reports are made by the generator
// for each run.
class TRpCompositeReport : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ tag WRITE setTag)
    Q_PROPERTY(Rp::TRpReportOptions Options READ options WRITE setOptions)
    Q_PROPERTY(TRpCompositePrinterSettings *PrinterSettings READ printerSettings)
    Q_PROPERTY(QString ReportTitle READ reportTitle WRITE setReportTitle)

public:
    Q_INVOKABLE explicit TRpCompositeReport(QObject *parent = nullptr)
        : QObject(parent), m_printerSettings(new TRpCompositePrinterSettings(this))
    {
    }

    int tag() const { return m_tag; }
    void setTag(int value) { m_tag = value; }
    Rp::TRpReportOptions options() const { return m_options; }
    void setOptions(Rp::TRpReportOptions value) { m_options = value; }
    TRpCompositePrinterSettings *printerSettings() const { return m_printerSettings; }
    QString reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString &value) { m_reportTitle = value; }

    // The reports in print order; a report destroyed meanwhile drops out.
    QList<TCustomRpReport *> reports() const;
    void addReport(TCustomRpReport *report);
    void clearReports() { m_reports.clear(); }

    // Fills the report list before a run.
    std::function<void(TRpCompositeReport *sender)> OnAddReports;
    // Called with each report after it ran, and once more with the composite at the end.
    std::function<void(QObject *sender)> OnFinished;

private:
    int m_tag = 0;
    Rp::TRpReportOptions m_options = Rp::FirstPageHeader | Rp::LastPageFooter;
    TRpCompositePrinterSettings *m_printerSettings;
    QString m_reportTitle;
    QList<QPointer<TCustomRpReport>> m_reports;
};
