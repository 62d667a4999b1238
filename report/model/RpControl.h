#pragma once

#include "report/model/ReportTypes.h"
#include "report/model/RpFrame.h"
#include "report/notation/StreamHooks.h"

// What every report object that is a control at design time streams: the component and control
// properties. Only the name (the object name) and the four pixel bounds carry meaning for reports; the
// pixel bounds are secondary to the native values of the object's size.
class RpControl : public QObject, public StreamHooks
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ tag WRITE setTag)
    Q_PROPERTY(int Left READ left WRITE setLeft)
    Q_PROPERTY(int Top READ top WRITE setTop)
    Q_PROPERTY(int Width READ width WRITE setWidth)
    Q_PROPERTY(int Height READ height WRITE setHeight)
    Q_PROPERTY(Rp::TCursor Cursor READ cursor WRITE setCursor)
    Q_PROPERTY(QString Hint READ hint WRITE setHint)
    Q_PROPERTY(Rp::THelpType HelpType READ helpType WRITE setHelpType)
    Q_PROPERTY(QString HelpKeyword READ helpKeyword WRITE setHelpKeyword)
    Q_PROPERTY(int HelpContext READ helpContext WRITE setHelpContext)

public:
    explicit RpControl(QObject *parent = nullptr);

    int tag() const { return m_tag; }
    void setTag(int value) { m_tag = value; }
    int left() const { return m_left; }
    void setLeft(int value) { m_left = m_stored[0] = value; m_boundsRead |= 1; }
    int top() const { return m_top; }
    void setTop(int value) { m_top = m_stored[1] = value; m_boundsRead |= 2; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = m_stored[2] = value; m_boundsRead |= 4; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = m_stored[3] = value; m_boundsRead |= 8; }
    Rp::TCursor cursor() const { return m_cursor; }
    void setCursor(Rp::TCursor value) { m_cursor = value; }
    QString hint() const { return m_hint; }
    void setHint(const QString &value) { m_hint = value; }
    Rp::THelpType helpType() const { return m_helpType; }
    void setHelpType(Rp::THelpType value) { m_helpType = value; }
    QString helpKeyword() const { return m_helpKeyword; }
    void setHelpKeyword(const QString &value) { m_helpKeyword = value; }
    int helpContext() const { return m_helpContext; }
    void setHelpContext(int value) { m_helpContext = value; }

    // Screen pixels per inch when the object was made, and the design zoom in percent.
    int resolution() const { return m_resolution; }
    int zoom() const { return m_zoom; }

    void beginRead() override { m_boundsRead = 0; }

protected:
    // Pixel bounds computed from native values; they do not count as read from a file.
    void setPixelBounds(int left, int top, int width, int height);
    bool boundRead(int bit) const { return (m_boundsRead & bit) != 0; }
    // The pixel bound last given through its property (1 Left, 2 Top, 4 Width, 8 Height), whatever the
    // native values computed since.
    int storedBound(int bit) const { return m_stored[bit == 1 ? 0 : bit == 2 ? 1 : bit == 4 ? 2 : 3]; }
    void setZoomValue(int zoom) { m_zoom = zoom; }

private:
    int m_tag = 0;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    Rp::TCursor m_cursor = Rp::crDefault;
    QString m_hint;
    Rp::THelpType m_helpType = Rp::htContext;
    QString m_helpKeyword;
    int m_helpContext = 0;
    int m_resolution;
    int m_zoom = 100;
    int m_boundsRead = 0;
    int m_stored[4] = {0, 0, 0, 0};
};

// Common base of the report and its bands: owns a frame and a zoom.
class TRpBasePanel : public RpControl
{
    Q_OBJECT
    Q_PROPERTY(TRpFrame *Frame READ frame)

public:
    explicit TRpBasePanel(QObject *parent = nullptr);

    TRpFrame *frame() const { return m_frame; }
    // A zoom of 0 or less is ignored.
    virtual void ApplyZoom(int percent);

private:
    TRpFrame *m_frame;
};
