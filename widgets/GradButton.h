#pragma once

#include "platform/Colors.h"

#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <array>

// Colour schemes of the gradient button, in their stored order.
enum TColorScheme {
    csNeoDesert,
    csNeoSky,
    csNeoGrass,
    csNeoSilver,
    csNeoRose,
    csNeoSun,
    csDesert,
    csGrass,
    csSky,
    csSun,
    csRose,
    csSilver,
    csCustom,
};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The button's 25 colour slots: six per state (face, gradient end, inner dark line, inner light line, border,
// caption) for normal, hot, down and disabled, then the focus-rectangle colour.
namespace GradButtonColor {
enum Slot {
    ColorFace, ColorGrad, ColorDark, ColorLight, ColorBorder, ColorText,
    OverColorFace, OverColorGrad, OverColorDark, OverColorLight, OverColorBorder, OverColorText,
    DownColorFace, DownColorGrad, DownColorDark, DownColorLight, DownColorBorder, DownColorText,
    DisabledColorFace, DisabledColorGrad, DisabledColorDark, DisabledColorLight, DisabledColorBorder,
    DisabledColorText,
    ColorFocusRect,
    Count
};
}

using GradButtonColors = std::array<TColor, GradButtonColor::Count>;

// Fills the slots a scheme sets; the plain schemes leave the four gradient-end slots, csCustom everything.
void applyButtonScheme(GradButtonColors &colors, TColorScheme scheme);

// A push button painted with a vertical two-colour gradient, a one-pixel border, optional inner 3D lines, a
// glyph and a caption, with its own colours for the normal, hot, down and disabled states. It paints into an
// off-screen image that is copied to the screen in one piece. It is never an automatic default button: Enter
// clicks it only when it has the focus or is the window's Default button.
class TGradButton : public QPushButton
{
    Q_OBJECT
public:
    enum class State { Normal, Hot, Down };
    enum ModalResultValue { mrNone = 0, mrOk = 1, mrCancel = 2 };

    explicit TGradButton(QWidget *parent = nullptr);
    ~TGradButton() override;

    TColor Color(GradButtonColor::Slot slot) const { return m_colors[size_t(slot)]; }
    // Stores the colour, switches ColorScheme to csCustom and repaints.
    void setColor(GradButtonColor::Slot slot, TColor color);
    const GradButtonColors &colors() const { return m_colors; }

    TColorScheme ColorScheme() const { return m_scheme; }
    void setColorScheme(TColorScheme scheme);

    bool Ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool value);
    TButtonLayout Layout() const { return m_layout; }
    void setLayout(TButtonLayout value);
    const QImage &Glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph);
    int Spacing() const { return m_spacing; }
    void setSpacing(int value);
    bool TransparentGlyph() const { return m_transparentGlyph; }
    void setTransparentGlyph(bool value);
    bool Gradient() const { return m_gradient; }
    void setGradient(bool value);
    bool HotTrack() const { return m_hotTrack; }
    void setHotTrack(bool value);
    bool Cancel() const { return m_cancel; }
    void setCancel(bool value);
    bool Default() const { return isDefault(); }
    void setDefaultButton(bool value);
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int value) { m_modalResult = value; }
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void setTabStop(bool value);

    State state() const { return m_state; }
    bool pressed() const { return m_pressed; }
    bool focused() const { return m_focused; }

    // The whole button as it is painted now.
    QImage render() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setState(State state);
    void onClicked();
    void watchWindow();
    const TColor *stateColors() const;
    QImage glyphImage() const;

    GradButtonColors m_colors{};
    TColorScheme m_scheme = csNeoDesert;
    bool m_ctl3D = true;
    TButtonLayout m_layout = blGlyphLeft;
    QImage m_glyph;
    int m_spacing = 4;
    bool m_transparentGlyph = true;
    bool m_gradient = false;
    bool m_hotTrack = true;
    bool m_cancel = false;
    int m_modalResult = mrNone;
    State m_state = State::Normal;
    bool m_pressed = false;
    bool m_focused = false;
    QPointer<QWidget> m_watchedWindow;
};
