#include "report/model/ReportFont.h"

#include "report/model/Units.h"

#include <algorithm>
#include <cmath>
#include <limits>

ReportFont::ReportFont(QObject *parent) : RpPersistent(parent), m_resolution(screenResolution()) {}

void ReportFont::touch()
{
    emit changed();
}

void ReportFont::setCharset(Rp::TFontCharset value)
{
    m_charset = value;
    touch();
}

void ReportFont::setColor(TColor value)
{
    m_color = value;
    touch();
}

int ReportFont::height() const
{
    const double pixels = m_size * double(usableResolution(m_resolution)) / 72.0;
    return -int(std::lround(std::min(pixels, double(std::numeric_limits<int>::max()))));
}

void ReportFont::setHeight(int value)
{
    // A positive height counts the internal leading too; either way the size follows from its magnitude.
    const qint64 magnitude = value < 0 ? -qint64(value) : qint64(value);
    setSize(int(std::lround(double(magnitude) * 72.0 / usableResolution(m_resolution))));
}

void ReportFont::setName(const QString &value)
{
    m_name = value;
    touch();
}

void ReportFont::setPitch(Rp::TFontPitch value)
{
    m_pitch = value;
    touch();
}

void ReportFont::setSize(int value)
{
    m_size = value > 0 ? value : 10;
    touch();
}

void ReportFont::setStyle(Rp::TFontStyles value)
{
    m_style = value;
    touch();
}

void ReportFont::assign(const ReportFont &other)
{
    m_charset = other.m_charset;
    m_color = other.m_color;
    m_name = other.m_name;
    m_pitch = other.m_pitch;
    m_size = other.m_size;
    m_style = other.m_style;
    touch();
}

bool ReportFont::sameAs(const ReportFont &other) const
{
    return m_charset == other.m_charset && m_color == other.m_color && m_name == other.m_name
           && m_pitch == other.m_pitch && m_size == other.m_size && m_style == other.m_style;
}
