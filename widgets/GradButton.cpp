#include "widgets/GradButton.h"

#include "widgets/detail/GradPaint.h"

#include <QDialog>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

using namespace GradButtonColor;

namespace {

constexpr TColor kNeoDisabled[6] = {15658734, 16777215, 13816530, 16777215, 8421504, 8421504};
constexpr TColor kPlainDisabled[6] = {14869218, 0, 14211288, 15395562, 12895428, 8421504};

struct SchemeColors
{
    TColor normal[6], over[6], down[6];
    TColor focusRect;
};

// Index = scheme value; the gradient-end entries of the plain schemes (csDesert … csSilver) are not applied.
constexpr SchemeColors kSchemes[12] = {
    {{13036799, 3653375, 40168, 12183551, 22144, 0},
     {11790335, 41968, 36562, 9820927, 22144, 0},
     {2865919, 7852799, 9099775, 30647, 28838, 0},
     4227327},
    {{16772829, 16758380, 16754769, 16772313, 11753728, 0},
     {16772055, 16753478, 16752190, 16770250, 11753728, 0},
     {16757606, 16764573, 16765864, 16752190, 11753728, 0},
     16755027},
    {{14547432, 6217614, 2406748, 13366747, 1404727, 0},
     {12579538, 4053111, 2339929, 11923659, 1538365, 0},
     {5168259, 8447654, 9037740, 1539390, 1471545, 0},
     2406748},
    {{15987699, 12369084, 10987431, 16250871, 6447714, 0},
     {15790320, 10921638, 10658466, 15658734, 7697781, 0},
     {13290186, 14342874, 15329769, 8158332, 5131854, 0},
     11382189},
    {{15263999, 9803263, 8553215, 14540287, 157, 0},
     {14671871, 7829503, 6974207, 14145535, 157, 0},
     {10921727, 12171775, 13553407, 6184703, 157, 0},
     6184703},
    {{15794175, 2152697, 48059, 15925247, 25700, 0},
     {14023935, 376028, 42662, 13434879, 25700, 0},
     {381429, 6746363, 6747135, 33924, 25700, 0},
     48059},
    {{9821695, 0, 40168, 12183551, 22144, 0},
     {7327999, 0, 36562, 9820927, 22144, 0},
     {7327999, 0, 9099775, 30647, 28838, 0},
     4227327},
    {{10021815, 0, 2406748, 13366747, 1404727, 0},
     {6873494, 0, 2339929, 11923659, 1538365, 0},
     {5168259, 0, 9037740, 1539390, 1471545, 0},
     42017},
    {{16769217, 0, 16755027, 16772313, 11753728, 0},
     {16764315, 0, 16757092, 16770250, 11753728, 0},
     {16760962, 0, 16765864, 16748834, 11753728, 0},
     14457620},
    {{11075583, 0, 48059, 15925247, 25700, 0},
     {6747135, 0, 42662, 13434879, 25700, 0},
     {2289407, 0, 6747135, 33924, 25700, 0},
     36084},
    {{13027071, 0, 8553215, 14540287, 157, 0},
     {11579647, 0, 6974207, 14145535, 157, 0},
     {10461183, 0, 8947967, 6184703, 157, 0},
     6184703},
    {{14737632, 0, 11447982, 16250871, 6447714, 0},
     {13619151, 0, 7960953, 15658734, 7697781, 0},
     {13882323, 0, 15329769, 8158332, 5131854, 0},
     9079434},
};

bool isPlainScheme(TColorScheme scheme)
{
    return scheme >= csDesert && scheme <= csSilver;
}

void setGroup(GradButtonColors &colors, int first, const TColor (&values)[6], bool keepGradient)
{
    for (int i = 0; i < 6; ++i) {
        if (keepGradient && i == 1)
            continue;
        colors[size_t(first + i)] = values[i];
    }
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool hasCommandModifier(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

} // namespace

void applyButtonScheme(GradButtonColors &colors, TColorScheme scheme)
{
    if (scheme < csNeoDesert || scheme >= csCustom)
        return;
    const SchemeColors &s = kSchemes[scheme];
    const bool plain = isPlainScheme(scheme);
    setGroup(colors, ColorFace, s.normal, plain);
    setGroup(colors, OverColorFace, s.over, plain);
    setGroup(colors, DownColorFace, s.down, plain);
    setGroup(colors, DisabledColorFace, plain ? kPlainDisabled : kNeoDisabled, plain);
    colors[ColorFocusRect] = s.focusRect;
}

TGradButton::TGradButton(QWidget *parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_Hover);
    resize(75, 25);
    applyButtonScheme(m_colors, csNeoDesert);
    m_colors[OverColorGrad] = clWhite;
    m_colors[DownColorGrad] = clWhite;
    m_colors[DisabledColorGrad] = clWhite;
    connect(this, &QAbstractButton::clicked, this, &TGradButton::onClicked);
}

TGradButton::~TGradButton()
{
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

void TGradButton::setColor(Slot slot, TColor color)
{
    if (slot < 0 || slot >= Count)
        return;
    m_colors[size_t(slot)] = color;
    m_scheme = csCustom;
    update();
}

void TGradButton::setColorScheme(TColorScheme scheme)
{
    applyButtonScheme(m_colors, scheme);
    m_scheme = scheme;
    update();
}

void TGradButton::setCtl3D(bool value)
{
    m_ctl3D = value;
    update();
}

void TGradButton::setLayout(TButtonLayout value)
{
    m_layout = value;
    update();
}

void TGradButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph.copy();
    update();
}

void TGradButton::setSpacing(int value)
{
    m_spacing = value;
    update();
}

void TGradButton::setTransparentGlyph(bool value)
{
    m_transparentGlyph = value;
    update();
}

void TGradButton::setGradient(bool value)
{
    m_gradient = value;
    update();
}

void TGradButton::setHotTrack(bool value)
{
    m_hotTrack = value;
}

void TGradButton::setCancel(bool value)
{
    m_cancel = value;
    watchWindow();
}

void TGradButton::setTabStop(bool value)
{
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

QSize TGradButton::sizeHint() const
{
    return QSize(75, 25);
}

void TGradButton::setState(State state)
{
    m_state = state;
    update();
}

const TColor *TGradButton::stateColors() const
{
    if (!isEnabled())
        return &m_colors[DisabledColorFace];
    switch (m_state) {
    case State::Hot:
        return &m_colors[OverColorFace];
    case State::Down:
        return &m_colors[DownColorFace];
    case State::Normal:
        break;
    }
    return &m_colors[ColorFace];
}

QImage TGradButton::glyphImage() const
{
    if (!m_transparentGlyph)
        return m_glyph;
    QImage image = m_glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent)
                line[x] = 0;
        }
    }
    return image;
}

QImage TGradButton::render() const
{
    const QSize size = this->size();
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const TColor *c = stateColors();
    const TColor face = c[0], grad = c[1], dark = c[2], light = c[3], border = c[4], textColor = c[5];
    GradPaint::fill(image, {{image.rect(), face}});
    if (m_gradient)
        GradPaint::fillGradient(image, face, grad, GradPaint::Direction::Vertical);

    const QString caption = text();
    const QFontMetrics metrics(font());
    const QSize textSize = caption.isEmpty() ? QSize(0, 0)
                                             : QSize(metrics.size(Qt::TextShowMnemonic, caption).width(),
                                                     metrics.height());
    GradPaint::ButtonLayoutInput input;
    input.button = size;
    input.text = textSize;
    input.glyph = m_glyph.isNull() ? QSize() : m_glyph.size();
    input.hasCaption = !caption.isEmpty();
    input.place = GradPaint::GlyphPlace(m_layout);
    input.spacing = m_spacing;
    input.down = m_state == State::Down;
    const GradPaint::ButtonLayoutResult layout = GradPaint::layoutButton(input);

    {
        QPainter painter(&image);
        if (!m_glyph.isNull())
            painter.drawImage(layout.glyphPos, glyphImage());
        if (!caption.isEmpty()) {
            painter.setFont(font());
            painter.setPen(QColor(redOf(textColor), greenOf(textColor), blueOf(textColor)));
            painter.drawText(layout.textRect,
                             Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextShowMnemonic,
                             caption);
        }
    }
    GradPaint::fill(image, GradPaint::buttonBorder(size, border));
    if (m_ctl3D)
        GradPaint::fill(image, GradPaint::button3DLines(size, light, dark));
    return image;
}

void TGradButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, render());
}

void TGradButton::enterEvent(QEnterEvent *event)
{
    if (m_hotTrack)
        setState(m_pressed ? State::Down : State::Hot);
    QPushButton::enterEvent(event);
}

void TGradButton::leaveEvent(QEvent *event)
{
    setState(State::Normal);
    QPushButton::leaveEvent(event);
}

void TGradButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        if (TabStop() && isEnabled())
            setFocus(Qt::MouseFocusReason);
        setState(State::Down);
    }
    QPushButton::mousePressEvent(event);
}

void TGradButton::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    const QPoint p = event->position().toPoint();
    if (p.x() > 0 && p.x() < width() && p.y() > 0 && p.y() < height())
        setState(m_hotTrack ? State::Hot : State::Normal);
    QPushButton::mouseReleaseEvent(event);
}

void TGradButton::focusInEvent(QFocusEvent *event)
{
    m_focused = true;
    update();
    QPushButton::focusInEvent(event);
}

void TGradButton::focusOutEvent(QFocusEvent *event)
{
    m_focused = false;
    setState(State::Normal);
    QPushButton::focusOutEvent(event);
}

void TGradButton::keyPressEvent(QKeyEvent *event)
{
    if (isEnterKey(event->key()) && !hasCommandModifier(event->modifiers())) {
        click();
        update();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        setState(State::Down);
    QPushButton::keyPressEvent(event);
}

void TGradButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        setState(State::Normal);
    QPushButton::keyReleaseEvent(event);
}

bool TGradButton::event(QEvent *event)
{
    // The accelerator ("&Sauvegarder": Alt+S) clicks at once rather than after the toolkit's animation.
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled())
            click();
        return true;
    }
    if (event->type() == QEvent::ParentChange)
        watchWindow();
    return QPushButton::event(event);
}

// Keys nobody in the window took: Enter for the Default button, Escape for the Cancel button, and the
// accelerator letter typed on its own.
bool TGradButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress && isEnabled() && isVisible()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!hasCommandModifier(key->modifiers())) {
            const bool enter = isEnterKey(key->key()) && isDefault();
            const bool escape = key->key() == Qt::Key_Escape && m_cancel;
            const QKeySequence mnemonic = QKeySequence::mnemonic(text());
            const bool letter = !mnemonic.isEmpty() && !key->text().isEmpty()
                && int(mnemonic[0].key()) == key->key();
            if (enter || escape || letter) {
                click();
                return true;
            }
        }
    }
    return QPushButton::eventFilter(watched, event);
}

void TGradButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
    QPushButton::changeEvent(event);
}

void TGradButton::showEvent(QShowEvent *event)
{
    watchWindow();
    QPushButton::showEvent(event);
}

void TGradButton::watchWindow()
{
    QWidget *top = window();
    if (top == this)
        top = nullptr;
    if (m_watchedWindow == top)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    if (top)
        top->installEventFilter(this);
}

void TGradButton::onClicked()
{
    setState(State::Normal);
    if (m_modalResult == mrNone)
        return;
    // Like a form's modal result, the dialog closes once the click has been handled.
    if (auto *dialog = qobject_cast<QDialog *>(window())) {
        const int result = m_modalResult;
        QTimer::singleShot(0, dialog, [dialog, result] { dialog->done(result); });
    }
}
