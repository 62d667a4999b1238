#include "widgets/detail/GradPaint.h"

#include <QImage>
#include <cmath>

namespace GradPaint {

namespace {

int stepComponent(int start, int end, int i, int n)
{
    const double value = start + double(i) * double(end - start) / double(n);
    return int(std::nearbyint(value)) & 0xFF;
}

QRgb toRgb(TColor color)
{
    return qRgb(redOf(color), greenOf(color), blueOf(color));
}

void frame(std::vector<ColoredRect> &out, int k, QSize size, TColor topLeft, TColor bottomRight)
{
    const int left = k, top = k;
    const int right = size.width() - k - 1, bottom = size.height() - k - 1;
    if (right <= left || bottom <= top)
        return;
    out.push_back({QRect(left, top, 1, bottom - top), topLeft});
    out.push_back({QRect(left, top, right - left, 1), topLeft});
    out.push_back({QRect(right, top, 1, bottom - top + 1), bottomRight});
    out.push_back({QRect(left, bottom, right - left, 1), bottomRight});
}

void bevelFrames(std::vector<ColoredRect> &out, QSize size, Bevel bevel, int offset, int width, TColor light,
                 TColor dark)
{
    if (bevel == Bevel::None)
        return;
    const TColor topLeft = bevel == Bevel::Lowered ? dark : light;
    const TColor bottomRight = bevel == Bevel::Lowered ? light : dark;
    for (int k = offset; k < offset + width; ++k)
        frame(out, k, size, topLeft, bottomRight);
}

} // namespace

TColor gradientStep(TColor start, TColor end, int i, int n)
{
    if (n <= 0)
        return start & 0xFFFFFF;
    return rgbColor(stepComponent(redOf(start), redOf(end), i, n),
                    stepComponent(greenOf(start), greenOf(end), i, n),
                    stepComponent(blueOf(start), blueOf(end), i, n));
}

std::vector<TColor> gradientSteps(TColor start, TColor end, int n)
{
    std::vector<TColor> steps;
    if (n <= 0)
        return steps;
    steps.reserve(size_t(n) + 1);
    for (int i = 0; i <= n; ++i)
        steps.push_back(gradientStep(start, end, i, n));
    return steps;
}

void fillGradient(QImage &image, TColor start, TColor end, Direction direction)
{
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    const int n = direction == Direction::Horizontal ? w : direction == Direction::Vertical ? h : w + h;
    std::vector<QRgb> colors;
    for (TColor step : gradientSteps(start, end, n))
        colors.push_back(toRgb(step));
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int i = direction == Direction::Horizontal ? x : direction == Direction::Vertical ? y : x + y;
            line[x] = colors[size_t(i)];
        }
    }
}

void fill(QImage &image, const std::vector<ColoredRect> &rects)
{
    const QRect bounds = image.rect();
    for (const ColoredRect &r : rects) {
        const QRect area = r.rect.intersected(bounds);
        if (area.isEmpty())
            continue;
        const QRgb rgb = toRgb(r.color);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x)
                line[x] = rgb;
        }
    }
}

std::vector<ColoredRect> buttonBorder(QSize size, TColor border)
{
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0)
        return {};
    return {{QRect(0, 0, w, 1), border},
            {QRect(0, h - 1, w, 1), border},
            {QRect(0, 0, 1, h), border},
            {QRect(w - 1, 0, 1, h), border}};
}

std::vector<ColoredRect> button3DLines(QSize size, TColor light, TColor dark)
{
    const int w = size.width(), h = size.height();
    std::vector<ColoredRect> lines;
    if (w <= 0 || h <= 0)
        return lines;
    // Light: column 1 from row H − 2 up to row 1, then row 1 up to (not including) column W − 1.
    if (h - 2 >= 1) {
        lines.push_back({QRect(1, 1, 1, h - 2), light});
        if (w - 2 >= 1)
            lines.push_back({QRect(1, 1, w - 2, 1), light});
    }
    // Dark: column W − 2 from row 1 down to row H − 2, then row H − 2 back to (not including) column 1.
    if (w - 2 >= 1 && h - 2 >= 1) {
        lines.push_back({QRect(w - 2, 1, 1, h - 2), dark});
        if (w - 2 >= 2)
            lines.push_back({QRect(2, h - 2, w - 3, 1), dark});
    }
    return lines;
}

ButtonLayoutResult layoutButton(const ButtonLayoutInput &in)
{
    const int w = in.button.width(), h = in.button.height();
    const int tw = in.text.width(), th = in.text.height();
    const int gw = in.glyph.width(), gh = in.glyph.height();
    const int s = in.spacing;
    const bool hasGlyph = gw > 0 && gh > 0;
    int tx = (w - tw) / 2, ty = (h - th) / 2;
    int gx = 0, gy = 0;
    if (hasGlyph) {
        switch (in.place) {
        case GlyphPlace::Left:
            gy = (h - gh) / 2;
            gx = tx - gw / 2;
            tx += gw / 2;
            if (in.hasCaption) {
                gx -= s / 2 + s % 2;
                tx += s / 2;
            }
            break;
        case GlyphPlace::Right:
            gy = (h - gh) / 2;
            gx = tx + tw - gw / 2;
            tx += (-gw) / 2;
            if (in.hasCaption) {
                gx += s / 2 + s % 2;
                tx += (-s) / 2;
            }
            break;
        case GlyphPlace::Top:
            gx = (w - gw) / 2;
            gy = ty - gh / 2 - gh % 2;
            ty += gh / 2;
            if (in.hasCaption) {
                gy -= s / 2 + s % 2;
                ty += s / 2;
            }
            break;
        case GlyphPlace::Bottom:
            gx = (w - gw) / 2;
            gy = ty + th - gh / 2;
            ty += (-gh) / 2;
            if (in.hasCaption) {
                gy += s / 2 + s % 2;
                ty += (-s) / 2;
            }
            break;
        }
        if (in.down) {
            ++gx;
            ++gy;
        }
    }
    if (in.down) {
        ++tx;
        ++ty;
    }
    return {QRect(tx, ty, tw, th), QPoint(gx, gy)};
}

std::vector<ColoredRect> panelBevels(QSize size, Bevel outer, Bevel inner, int bevelWidth, TColor light,
                                     TColor dark)
{
    std::vector<ColoredRect> out;
    if (bevelWidth <= 0 || size.width() <= 0 || size.height() <= 0)
        return out;
    bevelFrames(out, size, outer, 0, bevelWidth, light, dark);
    bevelFrames(out, size, inner, outer == Bevel::None ? 0 : bevelWidth, bevelWidth, light, dark);
    return out;
}

int panelCaptionX(int clientWidth, int textWidth, CaptionAlign align, int bevelWidth, bool bothBevels)
{
    switch (align) {
    case CaptionAlign::Left:
        return bevelWidth + 2 + (bothBevels ? bevelWidth : 0);
    case CaptionAlign::Right:
        return clientWidth - bevelWidth - textWidth - 2 - (bothBevels ? bevelWidth : 0);
    case CaptionAlign::Center:
        break;
    }
    return (clientWidth - textWidth) / 2;
}

} // namespace GradPaint
