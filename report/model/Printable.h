#pragma once

#include "report/model/RpControl.h"
#include "report/model/UnitBase.h"

class TCustomRpReport;

// Base of every printable element: placed on a band (or on the report itself, then printed on every page)
// at a position relative to its band's top left corner, kept in native units by its size object.
class TRpPrintable : public RpControl
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(TRpFrame *Frame READ frame)
    Q_PROPERTY(TRpPrintableSize *Size READ size)

public:
    Q_INVOKABLE explicit TRpPrintable(QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }
    TRpFrame *frame() const { return m_frame; }
    TRpPrintableSize *size() const { return m_size; }

    // A report or band never prints an element that is not printable (a disabled one).
    virtual bool IsPrintable() const { return m_enabled; }
    // The report the element lies on, through its band or directly; null when it lies on none.
    TCustomRpReport *report() const;

    void setUnit(TRpUnit unit) { m_size->setUnit(unit); }
    void setZoom(int zoom);
    // Pixel bounds from the native values at the current zoom.
    void updatePixelBounds();

    void loaded() override;

protected:
    // The size of a new element of the kind, in screen pixels at zoom 100.
    void setInitialPixelSize(int width, int height);

private:
    bool m_enabled = true;
    TRpFrame *m_frame;
    TRpPrintableSize *m_size;
};
