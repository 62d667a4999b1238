#pragma once

class TRpFrame;
class TRpPrinter;

// Draws the sides of a frame around a rectangle of the page (native units, left/top to right/bottom) as
// solid strips inside it: the top strip from the top edge down, the bottom strip from the bottom edge up, the
// left and right strips inward. A strip is the frame's width in points converted to device units, at least
// one unit for a width above 0 and exactly one for −1; horizontal strips use the vertical scale of the page,
// vertical strips the horizontal one. Nothing is drawn without a page or for a rectangle of no area. The
// painter's brush is left clear afterwards.
//
// Elements draw their frames with it, and so do bands and the report around their printed areas.
void DrawFrameStrips(TRpPrinter &store, const TRpFrame &frame, long double left, long double top,
    long double right, long double bottom);
