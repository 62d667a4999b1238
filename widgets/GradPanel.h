#pragma once

#include "platform/Colors.h"

#include <QImage>
#include <QWidget>

// Colour schemes of the gradient panel: an enumeration of its own, in its stored order.
namespace GradPanelScheme {
enum TColorScheme { csCustom, csDesert, csGrass, csSilver, csSky, csRose, csSun };
}

enum TFillDirection { fdHorizontal, fdVertical, fdDiagonal };
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// The panel's four colour slots: gradient start, gradient end, light bevel colour, dark bevel colour.
namespace GradPanelColor {
enum Slot { ColorFace, ColorGrad, ColorLight, ColorDark, Count };
}

// A panel filled with a two-colour gradient running horizontally, vertically or diagonally, framed by its
// bevels, with an optional caption. Painted into an off-screen image and copied in one piece.
class TGradPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TGradPanel(QWidget *parent = nullptr);

    TColor Color(GradPanelColor::Slot slot) const { return m_colors[slot]; }
    // Stores the colour and repaints; ColorScheme keeps its value.
    void setColor(GradPanelColor::Slot slot, TColor color);
    TColor ColorFace() const { return m_colors[GradPanelColor::ColorFace]; }
    TColor ColorGrad() const { return m_colors[GradPanelColor::ColorGrad]; }
    TColor ColorLight() const { return m_colors[GradPanelColor::ColorLight]; }
    TColor ColorDark() const { return m_colors[GradPanelColor::ColorDark]; }

    GradPanelScheme::TColorScheme ColorScheme() const { return m_scheme; }
    void setColorScheme(GradPanelScheme::TColorScheme scheme);
    TFillDirection FillDirection() const { return m_direction; }
    void setFillDirection(TFillDirection direction);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // Left, right or centred (the default); the vertical position is always centred.
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void setBevelInner(TPanelBevel bevel);
    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(TPanelBevel bevel);
    int BevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);

    QImage render() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    TColor m_colors[GradPanelColor::Count] = {clWhite, clWhite, 12632256, 0};
    GradPanelScheme::TColorScheme m_scheme = GradPanelScheme::csCustom;
    TFillDirection m_direction = fdVertical;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
};

// Fills the four colours of a named panel scheme; csCustom leaves them.
void applyPanelScheme(TColor (&colors)[GradPanelColor::Count], GradPanelScheme::TColorScheme scheme);
