#pragma once

#include "platform/Colors.h"
#include "report/model/ReportTypes.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

class ReportFont;
#include "report/elements/DrawItems.h"
#include "report/model/Report.h"
class TRpCustomBand;
class TRpPrintable;
class TRuntimeComponentEditor;

// How the design view draws what it shows, set by the designer's options.
struct DesignLook
{
    bool showBandNames = true;
    QString bandNameFontName = QStringLiteral("MS Sans Serif");
    TColor bandNameFontColor = 12632256; // silver
    int bandNameFontHeight = 20; // pixels
    bool showComponentFrames = false;
    TColor componentFrameColor = 8421504; // grey
    Rp::TPenStyle componentFrameStyle = Rp::psDot;
    int gridX = 4;
    int gridY = 4;
    bool showScriptIndicator = false;
};

// The report's page at its real size and the report's zoom: the margins, the bands in their layout with
// their names and captions, the elements, the grid, and over them the rubber band and the drag outline of the
// selection frame. The selection frame itself is a child control of the page.
class TRpDesignView : public QWidget
{
    Q_OBJECT

public:
    explicit TRpDesignView(QWidget *parent = nullptr);

    void setReport(TCustomRpReport *report);
    TCustomRpReport *report() const { return m_report; }
    void setEditor(TRuntimeComponentEditor *editor) { m_editor = editor; }
    DesignLook &look() { return m_look; }
    // Recomputes the page size after a change of paper, orientation or zoom.
    void updateSize();

    QSize sizeHint() const override;

    // A report font as the design view shows it at a zoom.
    static QFont screenFont(const ReportFont &font, int zoom, int resolution);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintBand(QPainter &painter, const TRpCustomBand *band) const;
    void paintElement(QPainter &painter, const TRpPrintable *element, const QPoint &origin) const;
    void paintGrid(QPainter &painter, const QRect &area) const;
    bool hasScriptSection(const QString &name) const;
    void paintScriptIndicator(QPainter &painter, const QRect &area) const;

    QPointer<TCustomRpReport> m_report;
    QPointer<TRuntimeComponentEditor> m_editor;
    DesignLook m_look;
};

