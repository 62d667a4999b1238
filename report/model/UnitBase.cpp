#include "report/model/UnitBase.h"

#include "report/model/ReportFont.h"

#include <QVariant>
#include <algorithm>
#include <cmath>
#include <limits>

TRpUnitBase::TRpUnitBase(QObject *parent)
    : RpPersistent(parent), m_unit(defaultReportUnit()), m_savedUnit(m_unit), m_resolution(screenResolution())
{
}

void TRpUnitBase::setUnit(TRpUnit unit)
{
    m_unit = unit;
    touch();
}

void TRpUnitBase::beginPixels()
{
    if (m_pixelSwitch)
        return;
    m_savedUnit = m_unit;
    m_unit = Rp::Pixels;
    m_pixelSwitch = true;
}

void TRpUnitBase::endPixels()
{
    if (!m_pixelSwitch)
        return;
    m_unit = m_savedUnit;
    m_pixelSwitch = false;
}

void TRpUnitBase::setZoom(int value)
{
    if (value <= 0)
        return;
    m_zoom = value;
    touch();
}

UnitContext TRpUnitBase::context() const
{
    UnitContext result{m_unit, m_resolution, m_zoom, 10};
    if (m_unit == Rp::Characters) {
        // The point size of the report font: the first owner that is a report.
        for (const QObject *owner = parent(); owner; owner = owner->parent()) {
            if (owner->inherits("TCustomRpReport")) {
                if (const auto *font = qvariant_cast<ReportFont *>(owner->property("Font")))
                    result.fontPoints = font->size();
                break;
            }
        }
    }
    return result;
}

double TRpUnitBase::toUnit(long double native, Axis axis) const
{
    return double(nativeToUnit(native, context(), axis));
}

long double TRpUnitBase::fromUnit(double value, Axis axis) const
{
    return unitToNative(value, context(), axis);
}

std::vector<long double> TRpUnitBase::valueList() const
{
    std::vector<long double> list;
    for (const long double *v : const_cast<TRpUnitBase *>(this)->values())
        list.push_back(*v);
    return list;
}

void TRpUnitBase::writeDefinedProperties(std::vector<StreamProperty> &properties) const
{
    StreamValue list;
    list.kind = StreamValue::Kind::List;
    for (long double v : valueList())
        list.items.push_back(StreamValue::fromExtended(v));
    properties.push_back({QStringLiteral("Values"), list});
}

bool TRpUnitBase::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    if (name.compare(u"Values", Qt::CaseInsensitive) != 0)
        return false;
    ok = false;
    const std::vector<long double *> targets = values();
    // A list of the wrong length or with anything but finite numbers is a bad value: nothing is taken.
    if (value.kind != StreamValue::Kind::List || value.items.size() != targets.size())
        return true;
    std::vector<long double> read;
    for (const StreamValue &item : value.items) {
        long double v = 0;
        if (item.kind == StreamValue::Kind::Extended || item.kind == StreamValue::Kind::Single)
            v = item.real;
        else if (item.kind == StreamValue::Kind::Integer)
            v = item.integer;
        else
            return true;
        // Native values are shown as doubles: anything beyond their range is as bad as a non-finite one.
        if (!(std::fabs(v) <= std::numeric_limits<double>::max()))
            return true;
        // No page or band is a kilometre long: larger sizes are cut there, so that every sum and device
        // position of a run stays in range.
        read.push_back(std::clamp(v, -kMaxNativeSize, kMaxNativeSize));
    }
    if (!acceptValues(read))
        return true;
    for (size_t i = 0; i < targets.size(); ++i)
        *targets[i] = read[i];
    ok = true;
    touch();
    return true;
}

void TRpPrintableSize::setNativeBounds(long double left, long double top, long double width, long double height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    touch();
}

TRpPage::TRpPage(QObject *parent) : TRpUnitBase(parent)
{
    const bool inches = unit() == Rp::Inches;
    const long double margin = inches ? kNativePerInch / 2 : 10 * kNativePerMM;
    m_topMargin = m_bottomMargin = m_leftMargin = m_rightMargin = margin;
    setPaperSize(inches ? RpPaper::Letter : RpPaper::A4);
}

void TRpPage::setPaperSize(TRpPaperSize size)
{
    if (int(size) < 0 || int(size) >= kPaperSizeCount)
        return;
    if (paperSizeHasDimensions(size)) {
        const PaperDimensions native = paperSizeNative(size, m_orientation);
        m_width = native.width;
        m_length = native.length;
    }
    m_paperSize = size;
    touch();
}

void TRpPage::setOrientation(TPrinterOrientation value)
{
    if (value != RpPaper::poPortrait && value != RpPaper::poLandscape)
        return;
    m_orientation = value;
    setPaperSize(m_paperSize);
}

void TRpPage::setWidth(double v)
{
    const long double native = fromUnit(v, Axis::Horizontal);
    if (m_paperSize != RpPaper::Custom || !(native > 0))
        return;
    m_width = native;
    touch();
}

void TRpPage::setLength(double v)
{
    const long double native = fromUnit(v, Axis::Vertical);
    if (m_paperSize != RpPaper::Custom || !(native > 0))
        return;
    m_length = native;
    touch();
}

long double TRpPage::printableWidth() const
{
    return m_width - m_leftMargin - m_rightMargin;
}

long double TRpPage::columnWidthFor(long double printable, long double space, int columns)
{
    return std::floor((printable - space * (columns - 1)) / columns);
}

void TRpPage::setColumns(int value)
{
    if (value < 1 || columnWidthFor(printableWidth(), m_columnSpace, value) < 1)
        return;
    m_columns = value;
    touch();
}

long double TRpPage::columnWidth() const
{
    const int columns = m_columns > 0 ? m_columns : 1;
    return columnWidthFor(printableWidth(), m_columnSpace, columns);
}

bool TRpPage::acceptValues(const std::vector<long double> &values) const
{
    // BottomMargin, Length, TopMargin, Width, …: a page without length or width is refused like a custom
    // size of 0.
    return values.size() == 7 && values[1] > 0 && values[3] > 0;
}
