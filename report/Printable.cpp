#include "report/Printable.h"

TRpPrintable::TRpPrintable(QObject *parent)
    : RpControl(parent), m_frame(new TRpFrame(this)), m_size(new TRpPrintableSize(this))
{
    // A new element is 10 x 10 pixels.
    const long double side = pixelsToNative(10, resolution(), 100);
    m_size->setNativeBounds(0, 0, side, side);
    updatePixelBounds();
    connect(m_size, &TRpUnitBase::changed, this, &TRpPrintable::updatePixelBounds);
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
