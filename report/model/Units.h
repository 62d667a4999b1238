#pragma once

#include "report/model/ReportTypes.h"

// Conversions between the native unit (one tenth of a millimetre) and the units a user sees.
enum class Axis { Horizontal, Vertical };

struct UnitContext
{
    TRpUnit unit = Rp::MM;
    int resolution = 96; // screen pixels per inch when the object was made
    int zoom = 100; // percent
    double fontPoints = 10; // absolute point size of the report font, for Characters
};

constexpr long double kNativePerInch = 254;
// Sizes read from a report file are cut to ± this many native units (one kilometre).
constexpr long double kMaxNativeSize = 1e7L;
constexpr long double kNativePerMM = 10;

long double nativeToUnit(long double native, const UnitContext &context, Axis axis);
long double unitToNative(long double value, const UnitContext &context, Axis axis);

// Screen pixels per inch, 96 without a screen (or when the screen reports 0).
int screenResolution();
// A resolution usable as a divisor: anything not positive becomes 96.
int usableResolution(int resolution);
// MM, or Inches when the system locale measures in imperial units.
TRpUnit defaultReportUnit();

// Native units of a length given in pixels at a resolution and zoom, and back (rounded).
long double pixelsToNative(long double pixels, int resolution, int zoom);
int nativeToPixels(long double native, int resolution, int zoom);

// Thickness in device units of one side of a frame drawn `width` points wide, where one native unit is
// `devicePerNative` device units: −1 is the thinnest line, anything above 0 at least one unit.
int frameStripThickness(int width, double devicePerNative);
