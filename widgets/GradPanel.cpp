#include "widgets/GradPanel.h"

#include "widgets/detail/GradPaint.h"

#include <QEvent>
#include <QPainter>

namespace {

// ColorFace, ColorGrad, ColorLight, ColorDark per panel scheme; index = scheme value − 1.
constexpr TColor kPanelSchemes[6][4] = {
    {16777215, 10805759, 36821, 27035},
    {16777215, 11596491, 4109674, 1404727},
    {16777215, 14344414, 8224125, 6447714},
    {16777215, 16769217, 15767117, 11753728},
    {16777215, 13421823, 414156, 157},
    {16777215, 12582911, 38293, 25700},
};

GradPaint::Bevel toBevel(TPanelBevel bevel)
{
    switch (bevel) {
    case bvLowered:
        return GradPaint::Bevel::Lowered;
    case bvRaised:
        return GradPaint::Bevel::Raised;
    case bvSpace:
        return GradPaint::Bevel::Space;
    case bvNone:
        break;
    }
    return GradPaint::Bevel::None;
}

GradPaint::Direction toDirection(TFillDirection direction)
{
    switch (direction) {
    case fdHorizontal:
        return GradPaint::Direction::Horizontal;
    case fdDiagonal:
        return GradPaint::Direction::Diagonal;
    case fdVertical:
        break;
    }
    return GradPaint::Direction::Vertical;
}

} // namespace

void applyPanelScheme(TColor (&colors)[GradPanelColor::Count], GradPanelScheme::TColorScheme scheme)
{
    if (scheme <= GradPanelScheme::csCustom || scheme > GradPanelScheme::csSun)
        return;
    for (int i = 0; i < GradPanelColor::Count; ++i)
        colors[i] = kPanelSchemes[scheme - 1][i];
}

TGradPanel::TGradPanel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setColorScheme(GradPanelScheme::csDesert);
}

void TGradPanel::setColor(GradPanelColor::Slot slot, TColor color)
{
    if (slot < 0 || slot >= GradPanelColor::Count)
        return;
    m_colors[slot] = color;
    update();
}

void TGradPanel::setColorScheme(GradPanelScheme::TColorScheme scheme)
{
    applyPanelScheme(m_colors, scheme);
    m_scheme = scheme;
    update();
}

void TGradPanel::setFillDirection(TFillDirection direction)
{
    m_direction = direction;
    update();
}

void TGradPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void TGradPanel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void TGradPanel::setBevelInner(TPanelBevel bevel)
{
    m_bevelInner = bevel;
    update();
}

void TGradPanel::setBevelOuter(TPanelBevel bevel)
{
    m_bevelOuter = bevel;
    update();
}

void TGradPanel::setBevelWidth(int width)
{
    m_bevelWidth = width;
    update();
}

QImage TGradPanel::render() const
{
    QImage image(size().expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    GradPaint::fillGradient(image, m_colors[GradPanelColor::ColorFace], m_colors[GradPanelColor::ColorGrad],
                            toDirection(m_direction));
    if (!m_caption.isEmpty()) {
        const QFontMetrics metrics(font());
        const int textWidth = metrics.size(Qt::TextShowMnemonic, m_caption).width();
        const GradPaint::CaptionAlign align = (m_alignment & Qt::AlignLeft) ? GradPaint::CaptionAlign::Left
            : (m_alignment & Qt::AlignRight)                                 ? GradPaint::CaptionAlign::Right
                                                                             : GradPaint::CaptionAlign::Center;
        const bool bothBevels = m_bevelInner != bvNone && m_bevelOuter != bvNone;
        const int x = GradPaint::panelCaptionX(width(), textWidth, align, m_bevelWidth, bothBevels);
        const int y = (height() - metrics.size(0, QStringLiteral("AaBbCcDd")).height()) / 2;
        QPainter painter(&image);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(x, y, textWidth, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip
                             | Qt::TextShowMnemonic,
                         m_caption);
    }
    GradPaint::fill(image,
                    GradPaint::panelBevels(image.size(), toBevel(m_bevelOuter), toBevel(m_bevelInner),
                                           m_bevelWidth, m_colors[GradPanelColor::ColorLight],
                                           m_colors[GradPanelColor::ColorDark]));
    return image;
}

void TGradPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, render());
}

void TGradPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}
