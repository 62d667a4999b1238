#include "report/pages/PageRecorder.h"

#include <QDataStream>
#include <QFont>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPixmap>
#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Record codes of the stored picture format, as its player reads them.
enum Record : quint8 {
    DrawEllipse = 7,
    DrawPolyline = 12,
    DrawPolygon = 13,
    DrawPixmap = 17,
    DrawImage = 18,
    DrawTextItem = 21,
    DrawTiledPixmap = 24,
    DrawPath = 25,
    Begin = 30,
    End = 31,
    SetBkColor = 40,
    SetBkMode = 41,
    SetBrushOrigin = 43,
    SetFont = 45,
    SetPen = 46,
    SetBrush = 47,
    SetTransform = 55,
    SetClipRegion = 61,
    SetClipPath = 62,
    SetRenderHints = 63,
    SetCompositionMode = 64,
    SetClipEnabled = 65,
    SetOpacity = 66,
};

// The parts of a picture before its first record: tag, checksum, format version, and the begin record
// (code, length, bounding rectangle, number of records).
constexpr qsizetype kTagSize = 4;
constexpr qsizetype kChecksumEnd = kTagSize + 2;
constexpr qsizetype kBoundsAt = kChecksumEnd + 2 * 2 + 2;
constexpr qsizetype kRecordCountAt = kBoundsAt + 4 * 4;
constexpr qsizetype kHeaderSize = kRecordCountAt + 4;

// The format version this Qt writes, taken from a picture it recorded, so the records and the values
// streamed into them follow the same version.
struct PictureFormat
{
    quint16 major = 0;
    quint16 minor = 0;
};

const PictureFormat &pictureFormat()
{
    static const PictureFormat format = [] {
        QPicture picture;
        QPainter(&picture).end();
        PictureFormat result;
        if (picture.size() >= kHeaderSize) {
            const auto *bytes = reinterpret_cast<const uchar *>(picture.data());
            result.major = qFromBigEndian<quint16>(bytes + kChecksumEnd);
            result.minor = qFromBigEndian<quint16>(bytes + kChecksumEnd + 2);
        }
        return result;
    }();
    return format;
}

// A value as the picture format streams it.
template <typename T> QByteArray streamed(const T &value)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(pictureFormat().major);
    stream << value;
    return bytes;
}

// The streamed forms of the last few values of one kind of state: a page sets the same few pens, brushes
// and fonts over and over (a fill without a pen, then a text with one), and streaming a value costs more
// than comparing it.
template <typename T> class StreamedValues
{
public:
    const QByteArray &bytesOf(const T &value)
    {
        for (Entry &entry : m_entries) {
            if (entry.valid && entry.value == value)
                return entry.bytes;
        }
        Entry &entry = m_entries[m_next];
        m_next = (m_next + 1) % m_entries.size();
        entry = { value, streamed(value), true };
        return entry.bytes;
    }

private:
    struct Entry
    {
        T value {};
        QByteArray bytes;
        bool valid = false;
    };
    std::array<Entry, 4> m_entries {};
    size_t m_next = 0;
};

// Text the painter lays out as one left-to-right run of one script: Latin letters, digits, spaces and the
// common punctuation and currency signs. Tabs, controls, soft hyphens, joiners and direction marks are left
// to the painter.
bool isPlainRun(const QString &text)
{
    if (text.isEmpty() || text.size() > 1000)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F)
            continue;
        if (u >= 0xA0 && u < 0x250 && u != 0xAD)
            continue;
        if ((u >= 0x2010 && u < 0x2028) || (u >= 0x2030 && u < 0x205F) || (u >= 0x20A0 && u < 0x20D0))
            continue;
        return false;
    }
    return true;
}

} // namespace

// ---- the engine ----

class PageRecordEngine : public QPaintEngine
{
public:
    explicit PageRecordEngine(const QRect &page);

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &state) override;
    void drawPath(const QPainterPath &path) override;
    void drawRects(const QRectF *rects, int rectCount) override;
    void drawRects(const QRect *rects, int rectCount) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override;
    void drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset) override;
    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source,
        Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;

    bool drawPlainText(QPainter &painter, const QPointF &baseline, const QString &text);
    // A text record as the picture recording writes it for a left-to-right run of the painter's font.
    void writeTextItem(const QPointF &baseline, const QString &text, const QFont &font);
    QByteArray finish();
    int directTexts() const { return m_directTexts; }

private:
    char *append(qsizetype count)
    {
        if (m_size + count > m_data.size())
            m_data.resize(std::max(m_data.size() * 2, m_size + count));
        char *at = m_data.data() + m_size;
        m_size += count;
        return at;
    }
    void put8(quint8 value) { *append(1) = char(value); }
    void put32(quint32 value) { qToBigEndian(value, append(4)); }
    void putDouble(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        qToBigEndian(bits, append(8));
    }
    void putBytes(const QByteArray &bytes)
    {
        std::memcpy(append(bytes.size()), bytes.constData(), bytes.size());
    }
    void putPoints(const QPointF *points, int count);

    // A record: its code and a length byte, filled in once the record's contents are written. A record of
    // 255 bytes or more has the byte 255 followed by a four-byte length.
    qsizetype beginRecord(Record code)
    {
        put8(code);
        put8(0);
        ++m_records;
        return m_size;
    }
    void endRecord(qsizetype start);
    void writeRecord(Record code, const QByteArray &contents);

    void writePen(const QPen &pen);
    void writeBrush(const QBrush &brush);
    void writeFont(const QFont &font);
    void writeHints(QPainter::RenderHints hints);

    // Has Qt's picture recording record one drawing step on a picture kept for the page, and copies the
    // step's records of the given kind: for the steps whose records carry images, and for text the painter
    // laid out. Made on first use, so pages of plain texts and shapes never pay for it.
    template <typename Draw> void recordThroughPicture(Record code, Draw draw);
    struct ScratchPicture
    {
        ScratchPicture() { painter.begin(&picture); }
        QPicture picture;
        QPainter painter;
        qsizetype seen = kHeaderSize;
    };
    std::unique_ptr<ScratchPicture> m_scratch;

    QByteArray m_data;
    qsizetype m_size = 0;
    quint32 m_records = 0;
    int m_directTexts = 0;
    bool m_finished = false;
    StreamedValues<QPen> m_pen;
    StreamedValues<QBrush> m_brush;
    StreamedValues<QFont> m_font;
};

PageRecordEngine::PageRecordEngine(const QRect &page)
    : QPaintEngine(AllFeatures)
{
    m_data.resize(64 * 1024);
    const PictureFormat &format = pictureFormat();
    char *header = append(kHeaderSize);
    std::memcpy(header, "QPIC", kTagSize);
    qToBigEndian<quint16>(0, header + kTagSize);
    qToBigEndian<quint16>(format.major, header + kChecksumEnd);
    qToBigEndian<quint16>(format.minor, header + kChecksumEnd + 2);
    header[kBoundsAt - 2] = char(Begin);
    header[kBoundsAt - 1] = char(sizeof(qint32));
    qToBigEndian<qint32>(page.left(), header + kBoundsAt);
    qToBigEndian<qint32>(page.top(), header + kBoundsAt + 4);
    qToBigEndian<qint32>(page.width(), header + kBoundsAt + 8);
    qToBigEndian<qint32>(page.height(), header + kBoundsAt + 12);
}

void PageRecordEngine::endRecord(qsizetype start)
{
    const qsizetype length = m_size - start;
    if (length < 255) {
        m_data[start - 1] = char(length);
        return;
    }
    append(4);
    char *contents = m_data.data() + start;
    std::memmove(contents + 4, contents, length);
    contents[-1] = char(255);
    qToBigEndian(quint32(length), contents);
}

void PageRecordEngine::writeRecord(Record code, const QByteArray &contents)
{
    const qsizetype start = beginRecord(code);
    putBytes(contents);
    endRecord(start);
}

void PageRecordEngine::putPoints(const QPointF *points, int count)
{
    put32(quint32(count));
    char *out = append(qsizetype(count) * 16);
    for (int i = 0; i < count; ++i) {
        const double x = points[i].x();
        const double y = points[i].y();
        quint64 bits[2];
        std::memcpy(&bits[0], &x, 8);
        std::memcpy(&bits[1], &y, 8);
        qToBigEndian(bits[0], out);
        qToBigEndian(bits[1], out + 8);
        out += 16;
    }
}

void PageRecordEngine::writePen(const QPen &pen)
{
    writeRecord(SetPen, m_pen.bytesOf(pen));
}

void PageRecordEngine::writeBrush(const QBrush &brush)
{
    writeRecord(SetBrush, m_brush.bytesOf(brush));
}

void PageRecordEngine::writeFont(const QFont &font)
{
    writeRecord(SetFont, m_font.bytesOf(font));
}

void PageRecordEngine::writeHints(QPainter::RenderHints hints)
{
    const qsizetype start = beginRecord(SetRenderHints);
    put32(quint32(hints.toInt()));
    endRecord(start);
}

void PageRecordEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        writePen(state.pen());
    if (flags & DirtyBrush)
        writeBrush(state.brush());
    if (flags & DirtyBrushOrigin) {
        const qsizetype start = beginRecord(SetBrushOrigin);
        const QPointF origin = state.brushOrigin();
        putDouble(origin.x());
        putDouble(origin.y());
        endRecord(start);
    }
    if (flags & DirtyBackground) {
        writeRecord(SetBkColor, streamed(state.backgroundBrush().color()));
        const qsizetype start = beginRecord(SetBkMode);
        put8(quint8(state.backgroundMode()));
        endRecord(start);
    }
    if (flags & DirtyFont)
        writeFont(state.font());
    if (flags & DirtyTransform) {
        const QTransform m = state.transform();
        const qsizetype start = beginRecord(SetTransform);
        for (const double v :
            { m.m11(), m.m12(), m.m13(), m.m21(), m.m22(), m.m23(), m.m31(), m.m32(), m.m33() })
            putDouble(v);
        put8(0);
        endRecord(start);
    }
    if (flags & DirtyClipEnabled) {
        const qsizetype start = beginRecord(SetClipEnabled);
        put8(state.isClipEnabled() ? 1 : 0);
        endRecord(start);
    }
    if (flags & DirtyClipRegion) {
        const qsizetype start = beginRecord(SetClipRegion);
        putBytes(streamed(state.clipRegion()));
        put8(quint8(state.clipOperation()));
        endRecord(start);
    }
    if (flags & DirtyClipPath) {
        const qsizetype start = beginRecord(SetClipPath);
        putBytes(streamed(state.clipPath()));
        put8(quint8(state.clipOperation()));
        endRecord(start);
    }
    if (flags & DirtyHints)
        writeHints(state.renderHints());
    if (flags & DirtyCompositionMode) {
        const qsizetype start = beginRecord(SetCompositionMode);
        put32(quint32(state.compositionMode()));
        endRecord(start);
    }
    if (flags & DirtyOpacity) {
        const qsizetype start = beginRecord(SetOpacity);
        putDouble(state.opacity());
        endRecord(start);
    }
}

void PageRecordEngine::drawPath(const QPainterPath &path)
{
    const qsizetype start = beginRecord(DrawPath);
    const int count = path.elementCount();
    put32(quint32(count));
    // The path's current subpath starts at its last move.
    int subpathStart = 0;
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement)
            subpathStart = i;
        put32(quint32(e.type));
        putDouble(e.x);
        putDouble(e.y);
    }
    put32(quint32(subpathStart));
    put32(quint32(path.fillRule()));
    endRecord(start);
}

// A rectangle is recorded as the closed path of its four corners, as a painter path holds it; rectangles
// without extent or with coordinates a path does not take draw nothing. Written directly, since fills and
// frame strips draw many of them.
void PageRecordEngine::drawRects(const QRectF *rects, int rectCount)
{
    if (state && (state->penNeedsResolving() || state->brushNeedsResolving())) {
        QPaintEngine::drawRects(rects, rectCount);
        return;
    }
    const auto valid = [](qreal c) { return qIsFinite(c) && std::fabs(c) < 1e128; };
    for (int i = 0; i < rectCount; ++i) {
        const QRectF &r = rects[i];
        if (!valid(r.x()) || !valid(r.y()) || !valid(r.width()) || !valid(r.height()) || r.isNull())
            continue;
        const qreal right = r.x() + r.width();
        const qreal bottom = r.y() + r.height();
        const qsizetype start = beginRecord(DrawPath);
        put32(5);
        const qreal corners[5][2]
            = { { r.x(), r.y() }, { right, r.y() }, { right, bottom }, { r.x(), bottom }, { r.x(), r.y() } };
        for (int k = 0; k < 5; ++k) {
            put32(k == 0 ? QPainterPath::MoveToElement : QPainterPath::LineToElement);
            putDouble(corners[k][0]);
            putDouble(corners[k][1]);
        }
        put32(0); // the subpath starts at the first element
        put32(Qt::OddEvenFill);
        endRecord(start);
    }
}

void PageRecordEngine::drawRects(const QRect *rects, int rectCount)
{
    for (int i = 0; i < rectCount; ++i) {
        const QRectF r(rects[i]);
        drawRects(&r, 1);
    }
}

void PageRecordEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode)
{
    const qsizetype start = beginRecord(mode == PolylineMode ? DrawPolyline : DrawPolygon);
    putPoints(points, pointCount);
    if (mode != PolylineMode)
        put8(mode == OddEvenMode ? 0 : 1);
    endRecord(start);
}

void PageRecordEngine::drawEllipse(const QRectF &rect)
{
    const qsizetype start = beginRecord(DrawEllipse);
    putDouble(rect.x());
    putDouble(rect.y());
    putDouble(rect.width());
    putDouble(rect.height());
    endRecord(start);
}

template <typename Draw> void PageRecordEngine::recordThroughPicture(Record code, Draw draw)
{
    if (!m_scratch)
        m_scratch = std::make_unique<ScratchPicture>();
    draw(m_scratch->painter);
    // The records the step added, read while the picture is still being painted: each is whole once the
    // step returns.
    const auto *bytes = reinterpret_cast<const uchar *>(m_scratch->picture.data());
    const qsizetype size = m_scratch->picture.size();
    qsizetype at = m_scratch->seen;
    while (at + 2 <= size) {
        qsizetype headerLength = 2;
        qsizetype length = bytes[at + 1];
        if (length == 255) {
            if (at + 6 > size)
                break;
            length = qFromBigEndian<quint32>(bytes + at + 2);
            headerLength = 6;
        }
        if (at + headerLength + length > size)
            break;
        if (bytes[at] == code) {
            std::memcpy(append(headerLength + length), bytes + at, headerLength + length);
            ++m_records;
        }
        at += headerLength + length;
    }
    m_scratch->seen = at;
}

void PageRecordEngine::drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source)
{
    recordThroughPicture(DrawPixmap, [&](QPainter &p) { p.drawPixmap(rect, pixmap, source); });
}

void PageRecordEngine::drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset)
{
    recordThroughPicture(DrawTiledPixmap, [&](QPainter &p) { p.drawTiledPixmap(rect, pixmap, offset); });
}

void PageRecordEngine::drawImage(
    const QRectF &rect, const QImage &image, const QRectF &source, Qt::ImageConversionFlags flags)
{
    recordThroughPicture(DrawImage, [&](QPainter &p) { p.drawImage(rect, image, source, flags); });
}

void PageRecordEngine::writeTextItem(const QPointF &baseline, const QString &text, const QFont &font)
{
    const QByteArray &fontBytes = m_font.bytesOf(font);
    const qsizetype textBytes = text.size() * 2;
    // Baseline point, text, font, layout flags (none), the font's resolution over the picture's (the same
    // here: the recorder measures as a picture does) and the width a justified run is stretched to (none).
    const qsizetype length = 16 + 4 + textBytes + fontBytes.size() + 4 + 8 + 8;
    put8(DrawTextItem);
    ++m_records;
    if (length < 255) {
        put8(quint8(length));
    } else {
        put8(255);
        put32(quint32(length));
    }
    putDouble(baseline.x());
    putDouble(baseline.y());
    put32(quint32(textBytes));
    qToBigEndian<quint16>(
        reinterpret_cast<const quint16 *>(text.constData()), text.size(), append(textBytes));
    putBytes(fontBytes);
    put32(0);
    putDouble(1.0);
    putDouble(0.0);
}

void PageRecordEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    // Only Qt's own recording knows whether a run was stretched to justify its line, so runs the painter
    // laid out are recorded there. The painter that asked draws the decorations itself, so only the text
    // record is kept.
    recordThroughPicture(DrawTextItem, [&](QPainter &painter) { painter.drawTextItem(p, textItem); });
}

bool PageRecordEngine::drawPlainText(QPainter &painter, const QPointF &baseline, const QString &text)
{
    if (!isPlainRun(text))
        return false;
    // Whatever changes the text's layout or adds to it (decorations, capitals, direction, a turn, a clip, an
    // opaque background) is left to the painter, as are pens and brushes it would resolve against shapes.
    const QFont &font = painter.font();
    if (font.underline() || font.strikeOut() || font.overline() || font.capitalization() != QFont::MixedCase
        || painter.layoutDirection() == Qt::RightToLeft || !painter.worldTransform().isIdentity()
        || painter.hasClipping() || painter.backgroundMode() == Qt::OpaqueMode || !painter.pen().isSolid()
        || (painter.brush().style() != Qt::NoBrush && painter.brush().style() != Qt::SolidPattern))
        return false;
    // Without a pen the painter draws no text, and records nothing.
    if (painter.pen().style() == Qt::NoPen)
        return true;
    // The painter records its pending state changes before drawing; a rectangle without extent makes it do
    // so (with its own bookkeeping of saved and restored states) and draws nothing.
    const QRectF nothing;
    painter.drawRects(&nothing, 1);
    writeTextItem(baseline, text, font);
    ++m_directTexts;
    return true;
}

QByteArray PageRecordEngine::finish()
{
    if (m_finished)
        return QByteArray();
    m_finished = true;
    put8(End);
    put8(0);
    ++m_records;
    qToBigEndian(m_records, m_data.data() + kRecordCountAt);
    const quint16 checksum = pictureChecksum(m_data.constData() + kChecksumEnd, m_size - kChecksumEnd);
    qToBigEndian(checksum, m_data.data() + kTagSize);
    m_data.truncate(m_size);
    m_size = 0;
    return std::exchange(m_data, QByteArray());
}

// ---- the device ----

TRpPageRecorder::TRpPageRecorder(const QRect &page)
    : m_engine(std::make_unique<PageRecordEngine>(page))
{
    // The device measures as a picture with the same bounding rectangle does.
    QPicture reference;
    reference.setBoundingRect(page);
    m_metrics = { reference.width(), reference.height(), reference.widthMM(), reference.heightMM(),
        reference.colorCount(), reference.depth(), reference.logicalDpiX(), reference.logicalDpiY(),
        reference.physicalDpiX(), reference.physicalDpiY(), int(reference.devicePixelRatio()),
        int(reference.devicePixelRatio() * devicePixelRatioFScale()) };
}

TRpPageRecorder::~TRpPageRecorder() = default;

QPaintEngine *TRpPageRecorder::paintEngine() const
{
    return m_engine.get();
}

int TRpPageRecorder::metric(PaintDeviceMetric metric) const
{
    return metric >= 1 && metric <= int(m_metrics.size()) ? m_metrics[metric - 1]
                                                          : QPaintDevice::metric(metric);
}

QByteArray TRpPageRecorder::finish()
{
    return m_engine->finish();
}

int TRpPageRecorder::directTexts() const
{
    return m_engine->directTexts();
}

void TRpPageRecorder::drawPlainText(QPainter &painter, const QPointF &baseline, const QString &text)
{
    QPaintEngine *engine = painter.paintEngine();
    if (engine && engine->type() == QPaintEngine::User && painter.device()
        && dynamic_cast<TRpPageRecorder *>(painter.device())) {
        if (static_cast<PageRecordEngine *>(engine)->drawPlainText(painter, baseline, text))
            return;
    }
    painter.drawText(baseline, text);
}

// ---- checksum ----

namespace {

// Slicing tables of the reflected CRC-16 (polynomial 0x1021, taken bit-reversed as 0x8408): table k gives
// the remainder of a byte followed by k zero bytes, so sixteen bytes are folded in with sixteen independent
// lookups instead of a chain of sixteen dependent ones.
struct ChecksumTables
{
    std::array<std::array<quint16, 256>, 16> t {};
    ChecksumTables()
    {
        for (unsigned b = 0; b < 256; ++b) {
            unsigned crc = b;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0x8408 : crc >> 1;
            t[0][b] = quint16(crc);
        }
        for (size_t k = 1; k < t.size(); ++k)
            for (unsigned b = 0; b < 256; ++b)
                t[k][b] = quint16((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    }
};

} // namespace

quint16 pictureChecksum(const char *data, qsizetype size)
{
    static const ChecksumTables tables;
    const auto &t = tables.t;
    const auto *p = reinterpret_cast<const uchar *>(data);
    unsigned crc = 0xFFFF;
    while (size >= 16) {
        const quint64 v = qFromLittleEndian<quint64>(p) ^ crc;
        const quint64 w = qFromLittleEndian<quint64>(p + 8);
        crc = t[15][v & 0xFF] ^ t[14][(v >> 8) & 0xFF] ^ t[13][(v >> 16) & 0xFF] ^ t[12][(v >> 24) & 0xFF]
            ^ t[11][(v >> 32) & 0xFF] ^ t[10][(v >> 40) & 0xFF] ^ t[9][(v >> 48) & 0xFF] ^ t[8][v >> 56]
            ^ t[7][w & 0xFF] ^ t[6][(w >> 8) & 0xFF] ^ t[5][(w >> 16) & 0xFF] ^ t[4][(w >> 24) & 0xFF]
            ^ t[3][(w >> 32) & 0xFF] ^ t[2][(w >> 40) & 0xFF] ^ t[1][(w >> 48) & 0xFF] ^ t[0][w >> 56];
        p += 16;
        size -= 16;
    }
    while (size-- > 0)
        crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFF];
    return quint16(~crc & 0xFFFF);
}
