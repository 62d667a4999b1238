#pragma once

#include "report/model/PrintRun.h"
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

    // The run protocol, called by the generator. BeginPrintRun once before the first page binds the run;
    // PrintAt for every occurrence of the element's band, (x, y) being the band's top left corner on the page
    // in native units, leaves PrintDone() false while a stretching element still has output left;
    // NotifyElement comes from a data loop (operation 0: a record was taken; operation 2: the band changed
    // size); EndPrintRun after the last page returns the element to its idle state. The base prints nothing.
    virtual void BeginPrintRun(RpPrintRun &run);
    virtual void PrintAt(long double x, long double y);
    virtual void NotifyElement(QObject *sender, int operation);
    virtual void EndPrintRun();
    bool PrintDone() const { return m_printDone; }
    // The run the element prints in, or null while idle.
    RpPrintRun *printRun() const { return m_run; }
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
    void setPrintDone(bool done) { m_printDone = done; }

private:
    bool m_enabled = true;
    TRpFrame *m_frame;
    TRpPrintableSize *m_size;
    RpPrintRun *m_run = nullptr;
    bool m_printDone = true;
};
