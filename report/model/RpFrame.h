#pragma once

#include "platform/Colors.h"
#include "report/model/ReportTypes.h"
#include "report/notation/StreamHooks.h"

// The lines drawn around a report's printable area, a band or an element.
class TRpFrame : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(bool DrawTop READ drawTop WRITE setDrawTop)
    Q_PROPERTY(bool DrawBottom READ drawBottom WRITE setDrawBottom)
    Q_PROPERTY(bool DrawLeft READ drawLeft WRITE setDrawLeft)
    Q_PROPERTY(bool DrawRight READ drawRight WRITE setDrawRight)
    Q_PROPERTY(int Width READ width WRITE setWidth)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(Rp::TPenStyle Style READ style WRITE setStyle)

public:
    explicit TRpFrame(QObject *parent = nullptr) : RpPersistent(parent) {}

    bool drawTop() const { return m_drawTop; }
    void setDrawTop(bool value) { m_drawTop = value; emit changed(); }
    bool drawBottom() const { return m_drawBottom; }
    void setDrawBottom(bool value) { m_drawBottom = value; emit changed(); }
    bool drawLeft() const { return m_drawLeft; }
    void setDrawLeft(bool value) { m_drawLeft = value; emit changed(); }
    bool drawRight() const { return m_drawRight; }
    void setDrawRight(bool value) { m_drawRight = value; emit changed(); }
    // Points (1/72 inch); −1 is the thinnest line the device has.
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; emit changed(); }
    TColor color() const { return m_color; }
    void setColor(TColor value) { m_color = value; emit changed(); }
    Rp::TPenStyle style() const { return m_style; }
    void setStyle(Rp::TPenStyle value) { m_style = value; emit changed(); }

    bool hasLines() const { return m_drawTop || m_drawBottom || m_drawLeft || m_drawRight; }

private:
    bool m_drawTop = false;
    bool m_drawBottom = false;
    bool m_drawLeft = false;
    bool m_drawRight = false;
    int m_width = 1;
    TColor m_color = clBlack;
    Rp::TPenStyle m_style = Rp::psSolid;
};
