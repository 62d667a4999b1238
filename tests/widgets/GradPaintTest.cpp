#include "widgets/detail/GradPaint.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace GradPaint;

namespace {

TColor pixel(const QImage &image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return rgbColor(qRed(p), qGreen(p), qBlue(p));
}

QImage blank(int w, int h, TColor color = clBlack)
{
    QImage image(w, h, QImage::Format_RGB32);
    fill(image, {{image.rect(), color}});
    return image;
}

} // namespace

struct StepCase
{
    TColor start, end;
    int i, n;
    TColor expected;
};

class GradientStep : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(GradientStep, ComputesEachComponentWithHalvesToEven)
{
    const StepCase &c = GetParam();
    EXPECT_EQ(gradientStep(c.start, c.end, c.i, c.n), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, GradientStep,
    ::testing::Values(StepCase{rgbColor(0, 0, 0), rgbColor(1, 0, 0), 1, 2, rgbColor(0, 0, 0)},       // 0.5 → 0
                      StepCase{rgbColor(0, 0, 0), rgbColor(3, 0, 0), 1, 2, rgbColor(2, 0, 0)},       // 1.5 → 2
                      StepCase{rgbColor(0, 5, 0), rgbColor(0, 0, 0), 1, 2, rgbColor(0, 2, 0)},       // 2.5 → 2
                      StepCase{255, 16711680, 1, 2, rgbColor(128, 0, 128)},                          // 127.5 → 128
                      StepCase{255, 16711680, 0, 25, 255},                                           // exact start
                      StepCase{255, 16711680, 25, 25, 16711680},                                     // exact end
                      StepCase{rgbColor(10, 200, 30), rgbColor(250, 20, 30), 1, 3, rgbColor(90, 140, 30)},
                      StepCase{0x7F00FF00, 0x00FF0000, 0, 4, 0x00FF00},                             // 24 bits
                      StepCase{rgbColor(9, 9, 9), rgbColor(200, 0, 0), 3, 0, rgbColor(9, 9, 9)}));   // n = 0

TEST(GradientSteps, NoStepsForZeroOrNegativeCount)
{
    EXPECT_TRUE(gradientSteps(0, clWhite, 0).empty());
    EXPECT_TRUE(gradientSteps(0, clWhite, -3).empty());
}

TEST(GradientSteps, ButtonOf25Rows_Computes26LinesAndShowsTheFirst25)
{
    const TColor face = 15987699, grad = 12369084; // csNeoSilver
    EXPECT_EQ(gradientSteps(face, grad, 25).size(), 26u);
    QImage image = blank(75, 25);
    fillGradient(image, face, grad, Direction::Vertical);
    EXPECT_EQ(pixel(image, 10, 0), face);
    EXPECT_EQ(pixel(image, 74, 24), gradientStep(face, grad, 24, 25));
    EXPECT_NE(pixel(image, 74, 24), grad);
}

struct FillCase
{
    Direction direction;
    QPoint point;
    int step; // expected gradient step at the point, for a 10 × 4 image
    int n;
};

class FillGradient : public ::testing::TestWithParam<FillCase>
{
};

TEST_P(FillGradient, ColoursEveryPixelWithItsStep)
{
    const FillCase &c = GetParam();
    const TColor start = rgbColor(0, 0, 0), end = rgbColor(240, 120, 60);
    QImage image = blank(10, 4, clFuchsia);
    fillGradient(image, start, end, c.direction);
    EXPECT_EQ(pixel(image, c.point.x(), c.point.y()), gradientStep(start, end, c.step, c.n));
}

INSTANTIATE_TEST_SUITE_P(Directions, FillGradient,
                         ::testing::Values(FillCase{Direction::Horizontal, {0, 3}, 0, 10},
                                           FillCase{Direction::Horizontal, {9, 0}, 9, 10},
                                           FillCase{Direction::Vertical, {9, 0}, 0, 4},
                                           FillCase{Direction::Vertical, {0, 3}, 3, 4},
                                           FillCase{Direction::Diagonal, {0, 0}, 0, 14},
                                           FillCase{Direction::Diagonal, {0, 3}, 3, 14}, // left column too
                                           FillCase{Direction::Diagonal, {9, 3}, 12, 14}));

TEST(FillGradientEmpty, DrawsNothingForAnEmptyImage)
{
    QImage image;
    fillGradient(image, 0, clWhite, Direction::Diagonal);
    EXPECT_TRUE(image.isNull());
    QImage line(5, 0, QImage::Format_RGB32);
    fillGradient(line, 0, clWhite, Direction::Vertical);
    EXPECT_TRUE(buttonBorder(QSize(0, 10), clRed).empty());
    EXPECT_TRUE(button3DLines(QSize(-2, 10), clRed, clBlue).empty());
    EXPECT_TRUE(panelBevels(QSize(10, 0), Bevel::Raised, Bevel::None, 1, clRed, clBlue).empty());
}

TEST(ButtonLines, BorderAnd3DLinesLeaveOutTheirLastPoint)
{
    QImage image = blank(75, 25, clWhite);
    fill(image, buttonBorder(image.size(), clBlack));
    fill(image, button3DLines(image.size(), clRed, clBlue));
    EXPECT_EQ(pixel(image, 0, 0), clBlack);
    EXPECT_EQ(pixel(image, 74, 24), clBlack);
    EXPECT_EQ(pixel(image, 74, 1), clBlack);
    EXPECT_EQ(pixel(image, 1, 1), clRed);
    EXPECT_EQ(pixel(image, 1, 23), clRed);  // the dark line stops before (1, H − 2)
    EXPECT_EQ(pixel(image, 72, 1), clRed);
    EXPECT_EQ(pixel(image, 73, 1), clBlue); // the dark column starts at (W − 2, 1)
    EXPECT_EQ(pixel(image, 73, 23), clBlue);
    EXPECT_EQ(pixel(image, 2, 23), clBlue);
    EXPECT_EQ(pixel(image, 2, 2), clWhite);
}

struct LayoutCase
{
    const char *name;
    GlyphPlace place;
    QSize glyph;
    bool hasCaption;
    int spacing;
    bool down;
    QRect text;
    QPoint glyphPos;
};

class ButtonLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(ButtonLayout, PlacesGlyphAndCaption)
{
    const LayoutCase &c = GetParam();
    ButtonLayoutInput in;
    in.button = QSize(75, 25);
    in.text = c.hasCaption ? QSize(40, 13) : QSize(0, 0);
    in.glyph = c.glyph;
    in.hasCaption = c.hasCaption;
    in.place = c.place;
    in.spacing = c.spacing;
    in.down = c.down;
    const ButtonLayoutResult r = layoutButton(in);
    EXPECT_EQ(r.textRect, c.text) << c.name;
    if (!c.glyph.isEmpty()) {
        EXPECT_EQ(r.glyphPos, c.glyphPos) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ButtonLayout,
    ::testing::Values(
        LayoutCase{"caption only", GlyphPlace::Left, QSize(), true, 4, false, QRect(17, 6, 40, 13), {}},
        LayoutCase{"caption only, down", GlyphPlace::Left, QSize(), true, 4, true, QRect(18, 7, 40, 13), {}},
        LayoutCase{"left", GlyphPlace::Left, QSize(16, 16), true, 4, false, QRect(27, 6, 40, 13), {7, 4}},
        LayoutCase{"left, odd spacing", GlyphPlace::Left, QSize(16, 16), true, 5, false, QRect(27, 6, 40, 13),
                   {6, 4}},
        LayoutCase{"left, down", GlyphPlace::Left, QSize(16, 16), true, 4, true, QRect(28, 7, 40, 13), {8, 5}},
        LayoutCase{"right", GlyphPlace::Right, QSize(16, 16), true, 4, false, QRect(7, 6, 40, 13), {51, 4}},
        LayoutCase{"right, odd glyph truncates towards zero", GlyphPlace::Right, QSize(15, 15), true, 4, false,
                   QRect(8, 6, 40, 13), {52, 5}},
        LayoutCase{"right, odd spacing", GlyphPlace::Right, QSize(16, 16), true, 5, false, QRect(7, 6, 40, 13),
                   {52, 4}},
        LayoutCase{"top", GlyphPlace::Top, QSize(16, 16), true, 4, false, QRect(17, 16, 40, 13), {29, -4}},
        LayoutCase{"top, odd glyph", GlyphPlace::Top, QSize(15, 15), true, 4, false, QRect(17, 15, 40, 13),
                   {30, -4}},
        LayoutCase{"bottom", GlyphPlace::Bottom, QSize(16, 16), true, 4, false, QRect(17, -4, 40, 13), {29, 13}},
        LayoutCase{"glyph without caption is centred without spacing", GlyphPlace::Left, QSize(16, 16), false, 4,
                   false, QRect(45, 12, 0, 0), {29, 4}},
        LayoutCase{"glyph on top without caption", GlyphPlace::Top, QSize(16, 16), false, 4, false,
                   QRect(37, 20, 0, 0), {29, 4}}));

struct BevelCase
{
    const char *name;
    Bevel outer, inner;
    int width;
    QPoint point;
    TColor expected; // clRed light, clBlue dark, clWhite untouched
};

class PanelBevels : public ::testing::TestWithParam<BevelCase>
{
};

TEST_P(PanelBevels, DrawsNestedFrames)
{
    const BevelCase &c = GetParam();
    QImage image = blank(10, 6, clWhite);
    fill(image, panelBevels(image.size(), c.outer, c.inner, c.width, clRed, clBlue));
    EXPECT_EQ(pixel(image, c.point.x(), c.point.y()), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Bevels, PanelBevels,
    ::testing::Values(BevelCase{"raised top-left", Bevel::Raised, Bevel::None, 1, {0, 0}, clRed},
                      BevelCase{"raised left column", Bevel::Raised, Bevel::None, 1, {0, 4}, clRed},
                      BevelCase{"raised bottom row", Bevel::Raised, Bevel::None, 1, {0, 5}, clBlue},
                      BevelCase{"raised right column", Bevel::Raised, Bevel::None, 1, {9, 0}, clBlue},
                      BevelCase{"raised top row", Bevel::Raised, Bevel::None, 1, {8, 0}, clRed},
                      BevelCase{"raised inside", Bevel::Raised, Bevel::None, 1, {1, 1}, clWhite},
                      BevelCase{"lowered top-left", Bevel::Lowered, Bevel::None, 1, {0, 0}, clBlue},
                      BevelCase{"lowered bottom-right", Bevel::Lowered, Bevel::None, 1, {9, 5}, clRed},
                      BevelCase{"space is drawn like raised", Bevel::Space, Bevel::None, 1, {0, 0}, clRed},
                      BevelCase{"two frames wide", Bevel::Raised, Bevel::None, 2, {1, 1}, clRed},
                      BevelCase{"inner at the outer bevel's width", Bevel::Raised, Bevel::Lowered, 1, {1, 1},
                                clBlue},
                      BevelCase{"inner alone takes offset 0", Bevel::None, Bevel::Lowered, 1, {0, 0}, clBlue},
                      BevelCase{"none draws nothing", Bevel::None, Bevel::None, 1, {0, 0}, clWhite}));

TEST(PanelBevelsSize, LeavesOutFramesWithoutPositiveSize)
{
    // A 3 × 3 panel has room for frame 0 only; a wide bevel must not draw inverted frames.
    EXPECT_EQ(panelBevels(QSize(3, 3), Bevel::Raised, Bevel::None, 5, clRed, clBlue).size(), 4u);
    EXPECT_TRUE(panelBevels(QSize(1, 1), Bevel::Raised, Bevel::Raised, 1, clRed, clBlue).empty());
    EXPECT_TRUE(panelBevels(QSize(20, 20), Bevel::Raised, Bevel::None, 0, clRed, clBlue).empty());
}

struct CaptionCase
{
    CaptionAlign align;
    bool bothBevels;
    int expected;
};

class PanelCaption : public ::testing::TestWithParam<CaptionCase>
{
};

TEST_P(PanelCaption, StartsWhereItsAlignmentSays)
{
    const CaptionCase &c = GetParam();
    EXPECT_EQ(panelCaptionX(200, 51, c.align, 2, c.bothBevels), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Alignments, PanelCaption,
                         ::testing::Values(CaptionCase{CaptionAlign::Left, false, 4},
                                           CaptionCase{CaptionAlign::Left, true, 6},
                                           CaptionCase{CaptionAlign::Right, false, 145},
                                           CaptionCase{CaptionAlign::Right, true, 143},
                                           CaptionCase{CaptionAlign::Center, false, 74},
                                           CaptionCase{CaptionAlign::Center, true, 74}));
