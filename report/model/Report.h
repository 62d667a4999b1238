#pragma once

#include "report/model/Bands.h"
#include "report/model/Controllers.h"
#include "report/model/PrinterSettings.h"
#include "report/model/ReportFont.h"
#include "report/model/ReportFunctions.h"
#include "report/model/RpControl.h"
#include "report/model/UnitBase.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <functional>

class TCustomRpReport;

// The band switches of a report: reading one tells whether the report has a band of that type, setting it
// true creates one, false destroys the existing one. Not stored.
class TRpReportBands : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(bool HasTitle READ hasTitle WRITE setHasTitle)
    Q_PROPERTY(bool HasPageHeader READ hasPageHeader WRITE setHasPageHeader)
    Q_PROPERTY(bool HasColumnHeader READ hasColumnHeader WRITE setHasColumnHeader)
    Q_PROPERTY(bool HasDetail READ hasDetail WRITE setHasDetail)
    Q_PROPERTY(bool HasPageFooter READ hasPageFooter WRITE setHasPageFooter)
    Q_PROPERTY(bool HasSummary READ hasSummary WRITE setHasSummary)

public:
    explicit TRpReportBands(TCustomRpReport *report);

    bool hasTitle() const { return has(Rp::rbTitle); }
    void setHasTitle(bool value) { set(Rp::rbTitle, value); }
    bool hasPageHeader() const { return has(Rp::rbPageHeader); }
    void setHasPageHeader(bool value) { set(Rp::rbPageHeader, value); }
    bool hasColumnHeader() const { return has(Rp::rbColumnHeader); }
    void setHasColumnHeader(bool value) { set(Rp::rbColumnHeader, value); }
    bool hasDetail() const { return has(Rp::rbDetail); }
    void setHasDetail(bool value) { set(Rp::rbDetail, value); }
    bool hasPageFooter() const { return has(Rp::rbPageFooter); }
    void setHasPageFooter(bool value) { set(Rp::rbPageFooter, value); }
    bool hasSummary() const { return has(Rp::rbSummary); }
    void setHasSummary(bool value) { set(Rp::rbSummary, value); }

private:
    bool has(TRpBandType type) const;
    void set(TRpBandType type, bool value);

    TCustomRpReport *m_report;
};

// The report: page setup, printer settings, named expressions and the bands in print order.
class TCustomRpReport : public TRpBasePanel
{
    Q_OBJECT
    Q_PROPERTY(TRpReportBands *Bands READ bands STORED false)
    Q_PROPERTY(QObject *DataSet READ dataSet WRITE setDataSet)
    Q_PROPERTY(QStringList Description READ description WRITE setDescription)
    Q_PROPERTY(ReportFont *Font READ font)
    Q_PROPERTY(ReportFunctions *Functions READ functions)
    Q_PROPERTY(Rp::TRpReportOptions Options READ options WRITE setOptions)
    Q_PROPERTY(TRpPage *Page READ page)
    Q_PROPERTY(TRpReportPrinterSettings *PrinterSettings READ printerSettings)
    Q_PROPERTY(bool PrintIfEmpty READ printIfEmpty WRITE setPrintIfEmpty)
    Q_PROPERTY(QString ReportTitle READ reportTitle WRITE setReportTitle)
    Q_PROPERTY(bool ShowProgress READ showProgress WRITE setShowProgress)
    Q_PROPERTY(bool SnapToGrid READ snapToGrid WRITE setSnapToGrid)
    Q_PROPERTY(Rp::TRpUnit Units READ units WRITE setUnits)
    Q_PROPERTY(int Zoom READ zoom WRITE setZoom)

public:
    explicit TCustomRpReport(QObject *parent = nullptr);
    ~TCustomRpReport() override;

    TRpReportBands *bands() const { return m_bands; }
    QObject *dataSet() const { return m_dataSet; }
    void setDataSet(QObject *dataSet) { m_dataSet = dataSet; }
    QStringList description() const { return m_description; }
    void setDescription(const QStringList &value) { m_description = value; }
    ReportFont *font() const { return m_font; }
    ReportFunctions *functions() const { return m_functions; }
    Rp::TRpReportOptions options() const { return m_options; }
    void setOptions(Rp::TRpReportOptions value) { m_options = value; }
    TRpPage *page() const { return m_page; }
    TRpReportPrinterSettings *printerSettings() const { return m_printerSettings; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    QString reportTitle() const { return m_reportTitle; }
    void setReportTitle(const QString &value) { m_reportTitle = value; }
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool value) { m_showProgress = value; }
    bool snapToGrid() const { return m_snapToGrid; }
    void setSnapToGrid(bool value) { m_snapToGrid = value; }
    TRpUnit units() const { return m_units; }
    // Sets the unit of the page and of every band and element size.
    void setUnits(TRpUnit unit);
    int zoom() const { return m_zoom; }
    // 1..300: the zoom of the page, every band and every element; other values are ignored.
    void setZoom(int value);

    // The bands in print order (arranged on demand after every change of order or linkage).
    QList<TRpCustomBand *> bandList() const;
    // The first band of a type in the band list, or null.
    TRpCustomBand *firstBandOfType(TRpBandType type) const;
    // Marks the band order and layout for rebuilding.
    void arrangementChanged();
    // Rebuilds the band order and layout now when marked.
    void arrangeBands() const;
    // Design switches: rotate the list (the first band moves to the end `count` times) and put every
    // band's top at the page length.
    void setBandRotation(int count);
    void setBandsHidden(bool hidden);

    bool isPropertyStored(const char *name) const override;
    void prepareWrite() override { arrangeBands(); }
    void beginRead() override;
    void loaded() override;

    std::function<void(TCustomRpReport *report, bool &printReport)> BeforePrint;
    std::function<void(TCustomRpReport *report)> OnStartPage;
    std::function<void(TCustomRpReport *report)> OnEndPage;
    std::function<void(QObject *sender, bool &moreData)> OnNeedData;
    std::function<void(QObject *sender)> AfterPrint;
    std::function<void(QObject *sender)> AfterPreview;
    std::function<void(QObject *sender)> OnPreview;

signals:
    // Emitted first thing while the report is destroyed, with its bands and elements still whole: a run
    // that still uses the report (a background preview) is stopped here.
    void destroying(TCustomRpReport *report);

private:
    void rebuildBandList() const;
    void layoutBands() const;

    TRpReportBands *m_bands;
    QPointer<QObject> m_dataSet;
    QStringList m_description;
    ReportFont *m_font;
    ReportFunctions *m_functions;
    Rp::TRpReportOptions m_options = Rp::FirstPageHeader | Rp::LastPageFooter;
    TRpPage *m_page;
    TRpReportPrinterSettings *m_printerSettings;
    bool m_printIfEmpty = true;
    QString m_reportTitle;
    bool m_showProgress = true;
    bool m_snapToGrid = true;
    TRpUnit m_units;
    int m_zoom = 100;

    mutable QList<QPointer<TRpCustomBand>> m_bandList;
    mutable bool m_arrangementDirty = true;
    mutable bool m_arranging = false;
    int m_rotation = 0;
    bool m_bandsHidden = false;
    int m_reading = 0;
    bool m_destroying = false;
};

// The published report class.
class TRpReport : public TCustomRpReport
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit TRpReport(QObject *parent = nullptr) : TCustomRpReport(parent) {}
};

// Creates a plain band of a type on the report, parented to it and named after its kind with the first
// free number ("DetailBand1").
TRpBand *AddBandOfType(TCustomRpReport *report, TRpBandType type);
