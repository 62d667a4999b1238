#include "report/model/RpControl.h"

#include "report/model/Units.h"

RpControl::RpControl(QObject *parent) : QObject(parent), m_resolution(screenResolution()) {}

void RpControl::setPixelBounds(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

TRpBasePanel::TRpBasePanel(QObject *parent) : RpControl(parent), m_frame(new TRpFrame(this)) {}

void TRpBasePanel::ApplyZoom(int percent)
{
    if (percent > 0)
        setZoomValue(percent);
}
