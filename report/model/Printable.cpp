#include "report/model/Printable.h"

#include "report/model/Report.h"

TRpPrintable::TRpPrintable(QObject *parent)
    : RpControl(parent), m_frame(new TRpFrame(this)), m_size(new TRpPrintableSize(this))
{
    // An element made on a report shows its size in the report's unit and zoom from the start.
    if (const TCustomRpReport *owner = report()) {
        m_size->setUnit(owner->units());
        if (owner->zoom() != 100) {
            setZoomValue(owner->zoom());
            m_size->setZoom(owner->zoom());
        }
    }
    // A new element is 10 x 10 pixels.
    setInitialPixelSize(10, 10);
    connect(m_size, &TRpUnitBase::changed, this, &TRpPrintable::updatePixelBounds);
}

TCustomRpReport *TRpPrintable::report() const
{
    for (QObject *owner = parent(); owner; owner = owner->parent()) {
        if (auto *found = qobject_cast<TCustomRpReport *>(owner))
            return found;
    }
    return nullptr;
}

void TRpPrintable::setInitialPixelSize(int width, int height)
{
    m_size->setNativeBounds(m_size->nativeLeft(), m_size->nativeTop(), pixelsToNative(width, resolution(), 100),
                            pixelsToNative(height, resolution(), 100));
    updatePixelBounds();
}

void TRpPrintable::setZoom(int zoom)
{
    if (zoom <= 0)
        return;
    setZoomValue(zoom);
    m_size->setZoom(zoom);
    updatePixelBounds();
}

void TRpPrintable::updatePixelBounds()
{
    setPixelBounds(nativeToPixels(m_size->nativeLeft(), resolution(), zoom()),
                   nativeToPixels(m_size->nativeTop(), resolution(), zoom()),
                   nativeToPixels(m_size->nativeWidth(), resolution(), zoom()),
                   nativeToPixels(m_size->nativeHeight(), resolution(), zoom()));
}

void TRpPrintable::loaded()
{
    // A coordinate whose native value is 0 takes its stored pixel value, when there is one.
    auto fromPixels = [this](long double native, int bit) {
        if (native == 0 && boundRead(bit) && storedBound(bit) != 0)
            return pixelsToNative(storedBound(bit), resolution(), zoom());
        return native;
    };
    m_size->setNativeBounds(fromPixels(m_size->nativeLeft(), 1), fromPixels(m_size->nativeTop(), 2),
                            fromPixels(m_size->nativeWidth(), 4), fromPixels(m_size->nativeHeight(), 8));
    updatePixelBounds();
}

void TRpPrintable::BeginPrintRun(RpPrintRun &run)
{
    m_run = &run;
    m_printDone = true;
}

void TRpPrintable::PrintAt(long double, long double)
{
    m_printDone = true;
}

void TRpPrintable::NotifyElement(QObject *, int) { }

void TRpPrintable::EndPrintRun()
{
    m_run = nullptr;
    m_printDone = true;
}
