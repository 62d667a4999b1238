#pragma once

#include "platform/Colors.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QImage;

// The drawing arithmetic of the gradient button and panel, free of widgets so that it can be checked pixel by
// pixel: gradient steps, the button's glyph and caption layout, its border and 3D lines, the panel's bevel
// frames and caption position. Rectangles follow the drawing convention of the controls: a line or a fill
// leaves out its right and bottom edge.
namespace GradPaint {

// Colour of gradient step i of n: each of red, green and blue is start + i × (end − start) ÷ n, computed in
// floating point and rounded to the nearest integer with halves to even. Only the low 24 bits of the colours
// count. n ≤ 0 gives the start colour.
TColor gradientStep(TColor start, TColor end, int i, int n);
// The n + 1 colours of steps 0 … n; empty for n ≤ 0 (no gradient is drawn then).
std::vector<TColor> gradientSteps(TColor start, TColor end, int n);

enum class Direction { Horizontal, Vertical, Diagonal };
// Fills the whole image with the gradient from start to end: left to right, top to bottom, or from the
// top-left to the bottom-right corner (n = W, H or W + H steps). Nothing is drawn for an empty image.
void fillGradient(QImage &image, TColor start, TColor end, Direction direction);

// A one-pixel-wide run of a colour.
struct ColoredRect
{
    QRect rect;
    TColor color;
    bool operator==(const ColoredRect &) const = default;
};
void fill(QImage &image, const std::vector<ColoredRect> &rects);

// The button's hollow border over (0, 0)–(W, H) and, with 3D lines, the light line from (1, H − 2) up to (1, 1)
// and on to (W − 1, 1) and the dark one from (W − 2, 1) down to (W − 2, H − 2) and on to (1, H − 2); every
// line leaves out its last point. Nothing for a width or height ≤ 0.
std::vector<ColoredRect> buttonBorder(QSize size, TColor border);
std::vector<ColoredRect> button3DLines(QSize size, TColor light, TColor dark);

enum class GlyphPlace { Left, Right, Top, Bottom };

struct ButtonLayoutInput
{
    QSize button;
    QSize text;     // the caption's measured width and height (0 × h for an empty caption)
    QSize glyph;    // empty when there is no glyph
    bool hasCaption = false;
    GlyphPlace place = GlyphPlace::Left;
    int spacing = 4;
    bool down = false;
};

struct ButtonLayoutResult
{
    QRect textRect;   // where the caption is centred
    QPoint glyphPos;  // top-left corner of the glyph (meaningless without a glyph)
};

ButtonLayoutResult layoutButton(const ButtonLayoutInput &input);

enum class Bevel { None, Lowered, Raised, Space };

// The nested frames of the panel's outer and inner bevels: frame k has its corner at (k, k) and the size
// W − 2k − 1 × H − 2k − 1, the left and top edges in one colour, the right and bottom edges in the other.
// Frames without a positive size are left out.
std::vector<ColoredRect> panelBevels(QSize size, Bevel outer, Bevel inner, int bevelWidth, TColor light,
                                     TColor dark);

enum class CaptionAlign { Left, Right, Center };
// Left edge of the panel's caption.
int panelCaptionX(int clientWidth, int textWidth, CaptionAlign align, int bevelWidth, bool bothBevels);

} // namespace GradPaint
