#pragma once

#include "report/model/ReportTypes.h"

#include <QList>
#include <QWidget>

// The horizontal ruler over the design area, 15 pixels high, scrolled with the page: millimetres (a tick per
// millimetre from zoom 50, a half-height tick every 5 mm, short at zoom 30 or less, a full tick with the
// centimetre number every 10 mm), inches (quarter ticks from zoom 50, a full tick with the number every inch)
// or characters (a dotted full tick every 10 characters, numbered 10, 20, 30, …).
class TRpRuler : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 15;

    struct Tick
    {
        int x = 0; // pixels from the page's left edge
        int length = 0; // pixels
        bool dotted = false;
        QString label;
    };

    explicit TRpRuler(QWidget *parent = nullptr);

    void setUnit(TRpUnit unit);
    void setZoom(int zoom);
    void setResolution(int resolution) { m_resolution = resolution; }
    // The report font's size in points, which sets the width of a character.
    void setFontPoints(int points) { m_fontPoints = points > 0 ? points : 10; }
    // Where the page's left edge lies in the ruler (negative when scrolled).
    void setOffset(int offset);
    void setPageWidth(int pixels) { m_pageWidth = pixels; }

    TRpUnit unit() const { return m_unit; }
    int zoom() const { return m_zoom; }

    // The ticks over the page width, for drawing and for tests.
    QList<Tick> ticks() const;

    QSize sizeHint() const override { return QSize(200, kHeight); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TRpUnit m_unit = Rp::MM;
    int m_zoom = 100;
    int m_resolution = 96;
    int m_fontPoints = 10;
    int m_offset = 0;
    int m_pageWidth = 800;
};
