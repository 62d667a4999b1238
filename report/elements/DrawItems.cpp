#include "report/elements/DrawItems.h"

#include "report/elements/FrameStrips.h"
#include "report/elements/PagePaint.h"
#include "report/elements/detail/FieldText.h"
#include "report/model/Units.h"
#include "report/pages/RpPrinter.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <algorithm>

namespace {

constexpr int kMaxKindLength = 255;

bool isBitmapKind(const QString &kind)
{
    return kind.compare(u"TBitmap", Qt::CaseInsensitive) == 0;
}

} // namespace

// ---------------------------------------------------------------- ReportPicture

bool ReportPicture::setGraphic(const QString &kind, const QByteArray &data)
{
    if (kind.size() > kMaxKindLength || !isStreamIdentifier(kind))
        return false;
    m_kind = kind;
    m_data = data;
    emit changed();
    return true;
}

void ReportPicture::clear()
{
    m_kind.clear();
    m_data.clear();
    emit changed();
}

QByteArray ReportPicture::streamData() const
{
    if (isEmpty())
        return {};
    QByteArray bytes;
    bytes.append(char(m_kind.size()));
    bytes.append(m_kind.toLatin1());
    bytes.append(m_data);
    return bytes;
}

bool ReportPicture::setStreamData(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        clear();
        return true;
    }
    const int length = quint8(bytes.at(0));
    if (length == 0 || length > bytes.size() - 1)
        return false;
    const QString kind = QString::fromLatin1(bytes.mid(1, length));
    const QByteArray data = bytes.mid(1 + length);
    // A bitmap states its own length, which must lie within the data.
    if (isBitmapKind(kind)) {
        if (data.size() < 4)
            return false;
        const quint32 size = qFromLittleEndian<quint32>(data.constData());
        if (size > quint32(data.size() - 4))
            return false;
    }
    return setGraphic(kind, data);
}

void ReportPicture::writeDefinedProperties(std::vector<StreamProperty> &properties) const
{
    if (isEmpty())
        return;
    StreamValue value;
    value.kind = StreamValue::Kind::Binary;
    value.bytes = streamData();
    properties.push_back({QStringLiteral("Data"), value});
}

bool ReportPicture::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    if (name.compare(u"Data", Qt::CaseInsensitive) != 0)
        return false;
    ok = value.kind == StreamValue::Kind::Binary && setStreamData(value.bytes);
    return true;
}

// ---------------------------------------------------------------- elements

TRpShape::TRpShape(QObject *parent)
    : TRpPrintable(parent), m_pen(new ReportPen(this)), m_brush(new ReportBrush(this))
{
    setInitialPixelSize(65, 65);
}

TRpImage::TRpImage(QObject *parent) : TRpPrintable(parent), m_picture(new ReportPicture(this))
{
    setInitialPixelSize(105, 105);
    connect(m_picture, &ReportPicture::changed, this, [this] {
        if (m_autoSize && !m_reading)
            fitToPicture();
    });
}

void TRpImage::beginRead()
{
    TRpPrintable::beginRead();
    m_reading = true;
}

void TRpImage::loaded()
{
    TRpPrintable::loaded();
    m_reading = false;
}

void TRpImage::fitToPicture()
{
    const QImage &image = m_picture->image();
    if (image.isNull())
        return;
    size()->setNativeBounds(size()->nativeLeft(), size()->nativeTop(),
        pixelsToNative(image.width(), resolution(), zoom()),
        pixelsToNative(image.height(), resolution(), zoom()));
}

TRpDBImage::TRpDBImage(QObject *parent) : TRpPrintable(parent)
{
    setInitialPixelSize(105, 105);
}

// ---------------------------------------------------------------- printing

namespace {

// Pictures are read with the image allocation limit Qt keeps, so a picture whose header claims enormous
// dimensions is refused instead of exhausting memory.
QImage decodeImage(const QByteArray &bytes, const char *format = nullptr)
{
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (format)
        reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image))
        return QImage();
    return image;
}

// The picture a stored graphic holds: a bitmap's bytes follow their own 32-bit length; other kinds are read
// as whatever image format their bytes are in.
QImage decodeGraphic(const QString &kind, const QByteArray &data)
{
    if (isBitmapKind(kind)) {
        if (data.size() < 4)
            return QImage();
        const quint32 size = qFromLittleEndian<quint32>(data.constData());
        if (size > quint32(data.size() - 4))
            return QImage();
        return decodeImage(data.mid(4, qsizetype(size)), "BMP");
    }
    return decodeImage(data);
}

// Draws a picture into a rectangle of the page (device units): scaled to it, or at its natural size (its
// pixels at the screen's resolution) from its top left corner or centred, showing only what lies inside.
void drawImage(
    TRpPrinter &store, QPainter &canvas, const QImage &image, const QRect &rect, bool stretch, bool center)
{
    if (image.isNull() || rect.width() <= 0 || rect.height() <= 0)
        return;
    if (stretch) {
        canvas.drawImage(rect, image);
        return;
    }
    const long double screen = TRpPrinter::screenPixelsPerInch() > 0 ? TRpPrinter::screenPixelsPerInch() : 96;
    const int width = std::max(1, store.DeviceWidth(image.width() / screen * kNativePerInch));
    const int height = std::max(1, store.DeviceHeight(image.height() / screen * kNativePerInch));
    const QRect placed(center ? rect.left() + (rect.width() - width) / 2 : rect.left(),
        center ? rect.top() + (rect.height() - height) / 2 : rect.top(), width, height);
    const QRect visible = placed.intersected(rect);
    if (visible.isEmpty())
        return;
    const qreal scaleX = qreal(image.width()) / width;
    const qreal scaleY = qreal(image.height()) / height;
    const QRectF source((visible.left() - placed.left()) * scaleX, (visible.top() - placed.top()) * scaleY,
        visible.width() * scaleX, visible.height() * scaleY);
    canvas.drawImage(QRectF(visible), image, source);
}

// The element's rectangle on the page in device units, for a band at (x, y).
QRect deviceRect(const TRpPrinter &store, const TRpPrintableSize &bounds, long double x, long double y)
{
    const long double left = x + bounds.nativeLeft();
    const long double top = y + bounds.nativeTop();
    const int x1 = store.DeviceX(left);
    const int y1 = store.DeviceY(top);
    return QRect(x1, y1, store.DeviceX(left + bounds.nativeWidth()) - x1,
        store.DeviceY(top + bounds.nativeHeight()) - y1);
}

} // namespace

Qt::PenStyle toQtPenStyle(Rp::TPenStyle style)
{
    switch (style) {
    case Rp::psSolid:
    case Rp::psInsideFrame:
        return Qt::SolidLine;
    case Rp::psDash:
        return Qt::DashLine;
    case Rp::psDot:
        return Qt::DotLine;
    case Rp::psDashDot:
        return Qt::DashDotLine;
    case Rp::psDashDotDot:
        return Qt::DashDotDotLine;
    case Rp::psClear:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

Qt::BrushStyle toQtBrushStyle(Rp::TBrushStyle style)
{
    switch (style) {
    case Rp::bsSolid:
        return Qt::SolidPattern;
    case Rp::bsClear:
        return Qt::NoBrush;
    case Rp::bsHorizontal:
        return Qt::HorPattern;
    case Rp::bsVertical:
        return Qt::VerPattern;
    case Rp::bsFDiagonal:
        return Qt::FDiagPattern;
    case Rp::bsBDiagonal:
        return Qt::BDiagPattern;
    case Rp::bsCross:
        return Qt::CrossPattern;
    case Rp::bsDiagCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

const QImage &ReportPicture::image() const
{
    // Decoded once for as long as the stored bytes stay the same.
    if (m_decodedFrom.constData() != m_data.constData() || m_decodedFrom.size() != m_data.size()) {
        m_image = decodeGraphic(m_kind, m_data);
        m_decodedFrom = m_data;
    }
    return m_image;
}

void TRpShape::PrintAt(long double x, long double y)
{
    setPrintDone(true);
    RpPrintRun *run = printRun();
    if (!run || !IsPrintable() || !run->FinalPass())
        return;
    TRpPrinter &store = run->PageStore();
    QPainter *canvas = store.canvas();
    if (!canvas)
        return;
    const QRect rect = deviceRect(store, *size(), x, y);
    // The pen's width is in screen pixels; on the page it keeps its length, and never vanishes.
    const long double screen = TRpPrinter::screenPixelsPerInch() > 0 ? TRpPrinter::screenPixelsPerInch() : 96;
    const qreal penWidth
        = std::max(1, store.DeviceWidth(std::max(1, m_pen->width()) / screen * kNativePerInch));
    const Qt::PenStyle style = toQtPenStyle(m_pen->style());
    canvas->setPen(style == Qt::NoPen
            ? QPen(Qt::NoPen)
            : QPen(QBrush(pageColor(m_pen->color())), penWidth, style, Qt::FlatCap, Qt::MiterJoin));
    const Qt::BrushStyle fill = toQtBrushStyle(m_brush->style());
    canvas->setBrush(fill == Qt::NoBrush ? QBrush() : QBrush(pageColor(m_brush->color()), fill));
    // Outlines lie inside the bounds.
    const qreal half = style == Qt::NoPen ? 0 : penWidth / 2;
    const QRectF inner = QRectF(rect).adjusted(half, half, -half, -half);
    switch (m_shape) {
    case Rp::rpsRectangle:
        canvas->drawRect(inner);
        break;
    case Rp::rpsCircle:
        canvas->drawEllipse(inner);
        break;
    case Rp::rpsVertLine: {
        const qreal middle = rect.left() + rect.width() / 2.0;
        canvas->drawLine(QPointF(middle, rect.top()), QPointF(middle, rect.top() + rect.height()));
        break;
    }
    case Rp::rpsHorLine: {
        const qreal middle = rect.top() + rect.height() / 2.0;
        canvas->drawLine(QPointF(rect.left(), middle), QPointF(rect.left() + rect.width(), middle));
        break;
    }
    case Rp::rpsTopAndBottom:
        canvas->drawLine(QPointF(rect.left(), inner.top()), QPointF(rect.left() + rect.width(), inner.top()));
        canvas->drawLine(
            QPointF(rect.left(), inner.bottom()), QPointF(rect.left() + rect.width(), inner.bottom()));
        break;
    case Rp::rpsRightAndLeft:
        canvas->drawLine(
            QPointF(inner.left(), rect.top()), QPointF(inner.left(), rect.top() + rect.height()));
        canvas->drawLine(
            QPointF(inner.right(), rect.top()), QPointF(inner.right(), rect.top() + rect.height()));
        break;
    }
    canvas->setBrush(Qt::NoBrush);
}

void TRpImage::PrintAt(long double x, long double y)
{
    setPrintDone(true);
    RpPrintRun *run = printRun();
    if (!run || !IsPrintable() || !run->FinalPass())
        return;
    TRpPrinter &store = run->PageStore();
    QPainter *canvas = store.canvas();
    if (!canvas)
        return;
    drawImage(store, *canvas, m_picture->image(), deviceRect(store, *size(), x, y), m_stretch, m_center);
    const long double left = x + size()->nativeLeft();
    const long double top = y + size()->nativeTop();
    DrawFrameStrips(store, *frame(), left, top, left + size()->nativeWidth(), top + size()->nativeHeight());
}

void TRpDBImage::PrintAt(long double x, long double y)
{
    setPrintDone(true);
    RpPrintRun *run = printRun();
    if (!run || !IsPrintable() || !run->FinalPass())
        return;
    TRpPrinter &store = run->PageStore();
    QPainter *canvas = store.canvas();
    if (!canvas)
        return;
    const QByteArray bytes = rawFieldBytes(m_dataSet, m_dataField);
    if (bytes != m_decodedFrom) {
        m_image = decodeImage(bytes);
        m_decodedFrom = bytes;
    }
    const QRect rect = deviceRect(store, *size(), x, y);
    if (m_image.isNull()) {
        // A stretched picture keeps its place on the page even without a picture.
        if (m_stretch)
            fillDeviceRect(
                *canvas, rect.left(), rect.top(), rect.width(), rect.height(), pageColor(clWindow));
    } else {
        drawImage(store, *canvas, m_image, rect, m_stretch, m_center);
    }
    const long double left = x + size()->nativeLeft();
    const long double top = y + size()->nativeTop();
    DrawFrameStrips(store, *frame(), left, top, left + size()->nativeWidth(), top + size()->nativeHeight());
}

void TRpDBImage::EndPrintRun()
{
    m_image = QImage();
    m_decodedFrom.clear();
    TRpPrintable::EndPrintRun();
}
