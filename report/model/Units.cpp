#include "report/model/Units.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

double usablePoints(double points)
{
    return points > 0 ? points : 10;
}

// Native units per unit along an axis.
long double nativePerUnit(const UnitContext &context, Axis axis)
{
    switch (context.unit) {
    case Rp::MM:
        return kNativePerMM;
    case Rp::Inches:
        return kNativePerInch;
    case Rp::Pixels: {
        const int zoom = context.zoom > 0 ? context.zoom : 100;
        return (kNativePerInch / usableResolution(context.resolution)) * 100.0L / zoom;
    }
    case Rp::Characters: {
        const long double s = usablePoints(context.fontPoints);
        const long double cw = 80.0L / s / 2.54L;
        const long double ch = 145.3L / s / 2.54L;
        return (axis == Axis::Horizontal ? cw : ch) * 10;
    }
    case Rp::Native:
        break;
    }
    return 1;
}

} // namespace

long double nativeToUnit(long double native, const UnitContext &context, Axis axis)
{
    return native / nativePerUnit(context, axis);
}

long double unitToNative(long double value, const UnitContext &context, Axis axis)
{
    return value * nativePerUnit(context, axis);
}

int usableResolution(int resolution)
{
    return resolution > 0 ? resolution : 96;
}

int screenResolution()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return 96;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return usableResolution(screen ? int(std::lround(screen->logicalDotsPerInch())) : 0);
}

TRpUnit defaultReportUnit()
{
    const QLocale::MeasurementSystem system = QLocale::system().measurementSystem();
    return system == QLocale::MetricSystem ? Rp::MM : Rp::Inches;
}

long double pixelsToNative(long double pixels, int resolution, int zoom)
{
    return unitToNative(pixels, UnitContext{Rp::Pixels, resolution, zoom, 10}, Axis::Horizontal);
}

int nativeToPixels(long double native, int resolution, int zoom)
{
    const long double pixels = nativeToUnit(native, UnitContext{Rp::Pixels, resolution, zoom, 10}, Axis::Horizontal);
    // Pixel bounds are ints: values read from a file may lie far outside any screen.
    constexpr long double kLimit = 1e9L;
    return int(std::lround(std::clamp(pixels, -kLimit, kLimit)));
}

int frameStripThickness(int width, double devicePerNative)
{
    if (width == -1)
        return 1;
    if (width <= 0)
        return 0;
    const double thickness = std::round(width / 72.0 * 254.0 * devicePerNative);
    return thickness < 1 ? 1 : int(std::min(thickness, 1e9));
}
