#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"
#include "widgets/detail/GradPaint.h"

#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace GradButtonColor;

namespace {

TColor pixel(const QImage &image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return rgbColor(qRed(p), qGreen(p), qBlue(p));
}

} // namespace

struct SchemeCase
{
    TColorScheme scheme;
    TColor face, over, down, disabledFace, focusRect;
    TColor grad; // −1: a plain scheme, the gradient ends stay
};

class ButtonScheme : public ::testing::TestWithParam<SchemeCase>
{
};

TEST_P(ButtonScheme, SetsItsColours)
{
    const SchemeCase &c = GetParam();
    GradButtonColors colors;
    colors.fill(-7);
    applyButtonScheme(colors, c.scheme);
    EXPECT_EQ(colors[ColorFace], c.face);
    EXPECT_EQ(colors[OverColorFace], c.over);
    EXPECT_EQ(colors[DownColorFace], c.down);
    EXPECT_EQ(colors[DisabledColorFace], c.disabledFace);
    EXPECT_EQ(colors[ColorFocusRect], c.focusRect);
    EXPECT_EQ(colors[ColorText], 0);
    EXPECT_EQ(colors[DisabledColorText], 8421504);
    if (c.grad == -1) {
        for (Slot slot : {ColorGrad, OverColorGrad, DownColorGrad, DisabledColorGrad})
            EXPECT_EQ(colors[slot], -7);
    } else {
        EXPECT_EQ(colors[ColorGrad], c.grad);
        EXPECT_EQ(colors[DisabledColorGrad], 16777215);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, ButtonScheme,
    ::testing::Values(SchemeCase{csNeoDesert, 13036799, 11790335, 2865919, 15658734, 4227327, 3653375},
                      SchemeCase{csNeoSky, 16772829, 16772055, 16757606, 15658734, 16755027, 16758380},
                      SchemeCase{csNeoGrass, 14547432, 12579538, 5168259, 15658734, 2406748, 6217614},
                      SchemeCase{csNeoSilver, 15987699, 15790320, 13290186, 15658734, 11382189, 12369084},
                      SchemeCase{csNeoRose, 15263999, 14671871, 10921727, 15658734, 6184703, 9803263},
                      SchemeCase{csNeoSun, 15794175, 14023935, 381429, 15658734, 48059, 2152697},
                      SchemeCase{csDesert, 9821695, 7327999, 7327999, 14869218, 4227327, -1},
                      SchemeCase{csGrass, 10021815, 6873494, 5168259, 14869218, 42017, -1},
                      SchemeCase{csSky, 16769217, 16764315, 16760962, 14869218, 14457620, -1},
                      SchemeCase{csSun, 11075583, 6747135, 2289407, 14869218, 36084, -1},
                      SchemeCase{csRose, 13027071, 11579647, 10461183, 14869218, 6184703, -1},
                      SchemeCase{csSilver, 14737632, 13619151, 13882323, 14869218, 9079434, -1}));

TEST(GradButton, Defaults)
{
    TGradButton button;
    EXPECT_EQ(button.size(), QSize(75, 25));
    EXPECT_TRUE(button.Ctl3D());
    EXPECT_TRUE(button.TransparentGlyph());
    EXPECT_FALSE(button.Gradient());
    EXPECT_TRUE(button.TabStop());
    EXPECT_EQ(button.Spacing(), 4);
    EXPECT_TRUE(button.HotTrack());
    EXPECT_FALSE(button.Cancel());
    EXPECT_FALSE(button.Default());
    EXPECT_FALSE(button.autoDefault());
    EXPECT_EQ(button.ColorScheme(), csNeoDesert);
    EXPECT_EQ(button.Color(ColorGrad), 3653375);
    EXPECT_EQ(button.Color(OverColorGrad), clWhite);
    EXPECT_EQ(button.Color(DownColorGrad), clWhite);
    EXPECT_EQ(button.Color(DisabledColorGrad), clWhite);
    EXPECT_EQ(button.state(), TGradButton::State::Normal);
}

TEST(GradButton, SettingAColour_SwitchesToCustomAndKeepsTheOthers)
{
    TGradButton button;
    button.setColorScheme(csNeoSilver);
    const GradButtonColors before = button.colors();
    button.setColor(ColorText, clRed);
    EXPECT_EQ(button.ColorScheme(), csCustom);
    for (int i = 0; i < Count; ++i) {
        if (i != ColorText) {
            EXPECT_EQ(button.colors()[size_t(i)], before[size_t(i)]) << i;
        }
    }
    EXPECT_EQ(button.Color(ColorText), clRed);
}

TEST(GradButton, PlainSchemeAfterNeoRose_KeepsTheRoseGradientEnds)
{
    TGradButton button;
    button.setColorScheme(csNeoRose);
    button.setColorScheme(csSilver);
    EXPECT_EQ(button.ColorScheme(), csSilver);
    EXPECT_EQ(button.Color(ColorGrad), 9803263);
    EXPECT_EQ(button.Color(OverColorGrad), 7829503);
    EXPECT_EQ(button.Color(DownColorGrad), 12171775);
    EXPECT_EQ(button.Color(DisabledColorGrad), 16777215);
    EXPECT_EQ(button.Color(ColorFace), 14737632);
    button.setColorScheme(csCustom);
    EXPECT_EQ(button.Color(ColorFace), 14737632);
}

TEST(GradButton, PaintsFaceBorderAnd3DLinesOfItsState)
{
    TGradButton button;
    button.setColorScheme(csNeoSilver);
    QImage image = button.render();
    ASSERT_EQ(image.size(), QSize(75, 25));
    EXPECT_EQ(pixel(image, 0, 0), button.Color(ColorBorder));
    EXPECT_EQ(pixel(image, 1, 1), button.Color(ColorLight));
    EXPECT_EQ(pixel(image, 73, 12), button.Color(ColorDark));
    EXPECT_EQ(pixel(image, 5, 12), button.Color(ColorFace));
    button.setCtl3D(false);
    button.setGradient(true);
    image = button.render();
    EXPECT_EQ(pixel(image, 1, 1), GradPaint::gradientStep(15987699, 12369084, 1, 25));
    EXPECT_EQ(pixel(image, 1, 23), GradPaint::gradientStep(15987699, 12369084, 23, 25));
}

TEST(GradButton, DisabledButtonUnderThePointer_UsesTheDisabledColours)
{
    QWidget window;
    auto *button = new TGradButton(&window);
    window.show();
    QTest::mouseMove(button, QPoint(10, 10));
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->state(), TGradButton::State::Hot);
    EXPECT_EQ(pixel(button->render(), 5, 12), button->Color(OverColorFace));
    button->setEnabled(false);
    EXPECT_EQ(pixel(button->render(), 5, 12), button->Color(DisabledColorFace));
    EXPECT_EQ(pixel(button->render(), 0, 0), button->Color(DisabledColorBorder));
}

TEST(GradButton, TransparentGlyph_TakesItsTopLeftPixelAsTransparent)
{
    TGradButton button;
    button.setText(QString());
    QImage glyph(4, 4, QImage::Format_RGB32);
    glyph.fill(qRgb(0, 255, 0));
    glyph.setPixel(1, 1, qRgb(255, 0, 0));
    button.setGlyph(glyph);
    // Glyph centred: x = 37 − 2 = 35, y = (25 − 4) / 2 = 10.
    QImage image = button.render();
    EXPECT_EQ(pixel(image, 35, 10), button.Color(ColorFace));
    EXPECT_EQ(pixel(image, 36, 11), clRed);
    button.setTransparentGlyph(false);
    image = button.render();
    EXPECT_EQ(pixel(image, 35, 10), clLime);
}

TEST(GradButton, MousePressGoesDown_ReleaseClicksAndReturnsToNormal)
{
    QWidget window;
    auto *button = new TGradButton(&window);
    button->setText("&Ok");
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), TGradButton::State::Down);
    EXPECT_TRUE(button->pressed());
    EXPECT_TRUE(button->hasFocus());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button->pressed());
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(button->state(), TGradButton::State::Normal);
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->state(), TGradButton::State::Normal);
}

class ButtonKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&dialog);
        edit = new QLineEdit(&dialog);
        save = new TGradButton(&dialog);
        save->setText("&Sauvegarder");
        cancel = new TGradButton(&dialog);
        cancel->setText("&Annuler");
        layout->addWidget(edit);
        layout->addWidget(save);
        layout->addWidget(cancel);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
    }

    QDialog dialog;
    QLineEdit *edit = nullptr;
    TGradButton *save = nullptr;
    TGradButton *cancel = nullptr;
};

TEST_F(ButtonKeys, AcceleratorClicks)
{
    QSignalSpy clicked(save, &QAbstractButton::clicked);
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ButtonKeys, EnterClicksOnlyTheFocusedOrDefaultButton)
{
    QSignalSpy saved(save, &QAbstractButton::clicked);
    QSignalSpy cancelled(cancel, &QAbstractButton::clicked);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(saved.count(), 0);
    EXPECT_EQ(cancelled.count(), 0);
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_EQ(cancelled.count(), 1);
    save->setDefault(true);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(saved.count(), 1);
}

TEST_F(ButtonKeys, EscapeClicksTheCancelButton)
{
    QSignalSpy cancelled(cancel, &QAbstractButton::clicked);
    cancel->setCancel(true);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ButtonKeys, SpaceGoesDownAndClicksOnRelease)
{
    QSignalSpy saved(save, &QAbstractButton::clicked);
    save->setFocus();
    QTest::keyPress(save, Qt::Key_Space);
    EXPECT_EQ(save->state(), TGradButton::State::Down);
    QTest::keyRelease(save, Qt::Key_Space);
    EXPECT_EQ(save->state(), TGradButton::State::Normal);
    EXPECT_EQ(saved.count(), 1);
}

TEST_F(ButtonKeys, ModalResultClosesTheDialogAfterTheClick)
{
    save->setModalResult(TGradButton::mrOk);
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), TGradButton::mrOk);
}

TEST(GradPanel, DefaultsToDesertAndKeepsItsSchemeWhenAColourIsSet)
{
    TGradPanel panel;
    EXPECT_EQ(panel.ColorScheme(), GradPanelScheme::csDesert);
    EXPECT_EQ(panel.FillDirection(), fdVertical);
    EXPECT_EQ(panel.ColorGrad(), 10805759);
    EXPECT_EQ(panel.ColorLight(), 36821);
    EXPECT_EQ(panel.ColorDark(), 27035);
    panel.setColor(GradPanelColor::ColorGrad, clRed);
    EXPECT_EQ(panel.ColorScheme(), GradPanelScheme::csDesert);
    panel.setColorScheme(GradPanelScheme::csRose);
    EXPECT_EQ(panel.ColorGrad(), 13421823);
    EXPECT_EQ(panel.ColorDark(), 157);
    panel.setColorScheme(GradPanelScheme::csCustom);
    EXPECT_EQ(panel.ColorGrad(), 13421823);
}

TEST(GradPanel, PaintsGradientUnderARaisedFrame)
{
    TGradPanel panel;
    panel.setColorScheme(GradPanelScheme::csSilver);
    panel.resize(100, 40);
    const QImage image = panel.render();
    EXPECT_EQ(pixel(image, 0, 0), panel.ColorLight());
    EXPECT_EQ(pixel(image, 99, 39), panel.ColorDark());
    EXPECT_EQ(pixel(image, 50, 1), GradPaint::gradientStep(clWhite, 14344414, 1, 40));
    EXPECT_EQ(pixel(image, 50, 38), GradPaint::gradientStep(clWhite, 14344414, 38, 40));
}

TEST(GradPanel, RendersNothingForAnEmptySize)
{
    TGradPanel panel;
    panel.resize(0, 0);
    EXPECT_TRUE(panel.render().isNull());
    panel.setBevelWidth(30);
    panel.resize(10, 10);
    EXPECT_EQ(panel.render().size(), QSize(10, 10));
}
