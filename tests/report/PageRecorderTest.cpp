#include "report/pages/PageRecorder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <functional>

namespace {

const QRect kPage(0, 0, 794, 1123);

using Drawing = std::function<void(QPainter &)>;

QByteArray recordedByQt(const Drawing &draw)
{
    QPicture picture;
    picture.setBoundingRect(kPage);
    {
        QPainter painter(&picture);
        draw(painter);
    }
    return QByteArray(picture.data(), picture.size());
}

QByteArray recordedHere(const Drawing &draw, int *directTexts = nullptr)
{
    TRpPageRecorder recorder(kPage);
    {
        QPainter painter(&recorder);
        draw(painter);
    }
    if (directTexts)
        *directTexts = recorder.directTexts();
    return recorder.finish();
}

QFont reportFont(int points = 10)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(points);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QImage sampleImage()
{
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 40, 90));
    return image;
}

struct DrawingCase
{
    const char *name;
    Drawing draw;
};

void PrintTo(const DrawingCase &c, std::ostream *os)
{
    *os << c.name;
}

class RecordedLikeQt : public testing::TestWithParam<DrawingCase>
{
};

// Every drawing step and state change the report elements use gives the very bytes Qt's own picture
// recording gives, checksum included.
TEST_P(RecordedLikeQt, GivesTheSameBytes)
{
    const QByteArray expected = recordedByQt(GetParam().draw);
    const QByteArray actual = recordedHere(GetParam().draw);
    EXPECT_EQ(actual.toHex(' ').toStdString(), expected.toHex(' ').toStdString());
}

const DrawingCase kDrawings[] = {
    { "nothing", [](QPainter &) {} },
    { "filled rectangle",
        [](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 0, 0));
            p.drawRect(10, 20, 30, 40);
        } },
    { "rectangles",
        [](QPainter &p) {
            const QRectF rects[] = { { 1, 2, 3, 4 }, { 5.5, 6, 7, 8 }, { 0, 0, 0, 0 }, { 9, 9, -3, 2 },
                { 3, 3, 0, 5 }, { 1e200, 0, 1, 1 } };
            p.drawRects(rects, 6);
            QLinearGradient gradient(0, 0, 1, 1);
            gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
            gradient.setColorAt(0, Qt::red);
            gradient.setColorAt(1, Qt::blue);
            p.setBrush(gradient);
            p.drawRect(QRectF(10, 10, 20, 20));
        } },
    { "integer rectangles",
        [](QPainter &p) {
            const QRect rects[] = { { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 5, 6, 0, 0 }, { 5, 6, 1, 0 } };
            p.drawRects(rects, 4);
        } },
    { "lines",
        [](QPainter &p) {
            p.setPen(QPen(QColor(1, 2, 3), 0));
            p.drawLine(QPointF(1, 2), QPointF(3, 4));
            p.drawLine(5, 6, 7, 8);
        } },
    { "ellipse and polygons",
        [](QPainter &p) {
            p.setBrush(Qt::Dense4Pattern);
            p.drawEllipse(QRectF(1, 2, 3, 4));
            p.drawEllipse(QRect(5, 6, 7, 8));
            const QPointF points[] = { { 1, 2 }, { 3, 4 }, { 5, 6 } };
            p.drawPolygon(points, 3);
            p.drawPolygon(points, 3, Qt::WindingFill);
            p.drawConvexPolygon(points, 3);
            p.drawPolyline(points, 3);
        } },
    { "paths",
        [](QPainter &p) {
            QPainterPath path;
            path.addRect(1, 2, 30, 40);
            path.addEllipse(QRectF(50, 60, 20, 10));
            path.moveTo(5, 5);
            path.cubicTo(10, 10, 20, 0, 30, 5);
            path.closeSubpath();
            path.setFillRule(Qt::WindingFill);
            p.drawPath(path);
            p.drawRoundedRect(QRectF(100, 100, 50, 20), 4, 4);
        } },
    { "pen and brush kinds",
        [](QPainter &p) {
            QPen pen(QColor(10, 20, 30), 3, Qt::DashDotLine, Qt::RoundCap, Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(QBrush(QColor(40, 50, 60), Qt::DiagCrossPattern));
            p.drawRect(1, 1, 10, 10);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(2, 2, 10, 10);
        } },
    { "transformation, save and restore",
        [](QPainter &p) {
            p.save();
            p.translate(5, 6);
            p.rotate(-30);
            p.drawLine(1, 2, 3, 4);
            p.restore();
            p.drawLine(1, 2, 3, 4);
        } },
    { "clipping",
        [](QPainter &p) {
            p.setClipRect(QRect(1, 2, 30, 40));
            p.drawLine(1, 2, 3, 4);
            QPainterPath path;
            path.addEllipse(0, 0, 20, 20);
            p.setClipPath(path, Qt::IntersectClip);
            p.drawLine(1, 2, 3, 4);
            p.setClipping(false);
            p.drawLine(1, 2, 3, 4);
        } },
    { "hints, opacity, composition, background",
        [](QPainter &p) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setOpacity(0.5);
            p.setCompositionMode(QPainter::CompositionMode_Multiply);
            p.setBackground(Qt::red);
            p.setBackgroundMode(Qt::OpaqueMode);
            p.setBrushOrigin(3, 4);
            p.setBrush(Qt::Dense3Pattern);
            p.drawRect(1, 2, 3, 4);
        } },
    { "images and pixmaps",
        [](QPainter &p) {
            const QImage image = sampleImage();
            p.drawImage(QRectF(1, 2, 30, 40), image);
            p.drawImage(QRectF(1, 2, 30, 40), image, QRectF(1, 1, 3, 2));
            p.drawImage(QPoint(50, 60), image.convertToFormat(QImage::Format_Mono));
            const QPixmap pixmap = QPixmap::fromImage(image);
            p.drawPixmap(QRectF(1, 2, 3, 4), pixmap, QRectF(0, 0, 2, 2));
            p.drawTiledPixmap(QRect(0, 0, 50, 50), pixmap, QPoint(2, 3));
        } },
    { "texts through the painter",
        [](QPainter &p) {
            p.setFont(reportFont());
            p.drawText(QPointF(1, 20), QStringLiteral("Ab cd, 12.345,67 \u20AC \u00E9\tx"));
            p.drawText(QRectF(10, 40, 200, 60), Qt::AlignRight | Qt::TextWordWrap,
                QStringLiteral("A longer text that wraps over lines, right aligned"));
            QFont under = reportFont(12);
            under.setUnderline(true);
            under.setBold(true);
            p.setFont(under);
            p.drawText(QPointF(1, 80), QStringLiteral("underlined"));
            p.setLayoutDirection(Qt::RightToLeft);
            p.drawText(QPointF(1, 100), QStringLiteral("\u05E9\u05DC\u05D5\u05DD abc"));
        } },
    { "long record",
        [](QPainter &p) {
            p.setFont(reportFont());
            p.drawText(QPointF(1, 20), QString(400, QLatin1Char('x')));
        } },
};

INSTANTIATE_TEST_SUITE_P(PageRecorder, RecordedLikeQt, testing::ValuesIn(kDrawings));

// The direct text path writes what the painter would: for plain runs in every character range it takes,
// and for everything it leaves to the painter.
TEST(PageRecorderText, PlainTextGivesThePaintersRecords)
{
    const struct
    {
        QString text;
        bool direct;
    } texts[] = {
        { QStringLiteral("Page 1"), true },
        { QStringLiteral("  leading and trailing  "), true },
        { QStringLiteral("Relev\u00E9 des comptes \u2013 \u00AB total \u00BB 1 234,56 \u20AC"), true },
        { QStringLiteral("\u0141\u00F3d\u017A \u0150 \u01FF"), true },
        { QStringLiteral("tab\there"), false },
        { QStringLiteral("soft\u00ADhyphen"), false },
        { QStringLiteral("narrow\u202Fspace"), false },
        { QStringLiteral("ab \u03B1\u03B2 cd"), false },
        { QStringLiteral("\u05E9\u05DC\u05D5\u05DD"), false },
        { QString(1200, QLatin1Char('y')), false },
        { QString(), false },
    };
    for (const auto &[text, takesDirectPath] : texts) {
        const auto withPainter = [&](QPainter &p) {
            p.setFont(reportFont());
            p.setPen(QPen(QColor(0, 0, 128), 0));
            p.drawText(QPointF(12.5, 30), text);
            p.drawText(QPointF(12.5, 50), text);
        };
        const auto direct = [&](QPainter &p) {
            p.setFont(reportFont());
            p.setPen(QPen(QColor(0, 0, 128), 0));
            TRpPageRecorder::drawPlainText(p, QPointF(12.5, 30), text);
            TRpPageRecorder::drawPlainText(p, QPointF(12.5, 50), text);
        };
        int directTexts = 0;
        EXPECT_EQ(recordedHere(direct, &directTexts).toHex(' ').toStdString(),
            recordedByQt(withPainter).toHex(' ').toStdString())
            << text.left(40).toStdString();
        EXPECT_EQ(directTexts, takesDirectPath ? 2 : 0) << text.left(40).toStdString();
    }
}

// What changes a text's layout or adds to it (a turn, a clip, a decorated font, an opaque background, the
// right-to-left direction) goes the painter's way; no pen draws nothing; other pending state (opacity) is
// recorded before the text as the painter records it. Either way the records are the painter's.
TEST(PageRecorderText, LeavesLayoutChangesToThePainter)
{
    const struct
    {
        std::function<void(QPainter &)> setup;
        bool direct;
    } cases[] = {
        { [](QPainter &p) { p.rotate(-90); }, false },
        { [](QPainter &p) { p.setClipRect(0, 0, 50, 50); }, false },
        { [](QPainter &p) {
             QFont font = reportFont();
             font.setStrikeOut(true);
             p.setFont(font);
         },
            false },
        { [](QPainter &p) { p.setPen(Qt::NoPen); }, false },
        { [](QPainter &p) { p.setLayoutDirection(Qt::RightToLeft); }, false },
        { [](QPainter &p) {
             p.setBackgroundMode(Qt::OpaqueMode);
             p.setBackground(Qt::yellow);
         },
            false },
        { [](QPainter &p) { p.setOpacity(0.3); }, true },
        { [](QPainter &p) {
             p.setRenderHint(QPainter::Antialiasing);
             p.setBrush(Qt::red);
         },
            true },
    };
    for (const auto &[setup, direct] : cases) {
        const auto draw = [&](bool directly) {
            return [&, directly](QPainter &p) {
                p.setFont(reportFont());
                setup(p);
                if (directly)
                    TRpPageRecorder::drawPlainText(p, QPointF(10, 20), QStringLiteral("Text"));
                else
                    p.drawText(QPointF(10, 20), QStringLiteral("Text"));
                p.drawLine(0, 0, 5, 5);
            };
        };
        int directTexts = 0;
        EXPECT_EQ(recordedHere(draw(true), &directTexts).toHex(' ').toStdString(),
            recordedByQt(draw(false)).toHex(' ').toStdString());
        EXPECT_EQ(directTexts, direct ? 1 : 0);
    }
}

// Texts drawn directly and shapes drawn through the painter interleave with the right pen for each: a fill
// between two texts leaves no pen behind it, and the next text records its pen again.
TEST(PageRecorderText, InterleavesWithPainterDrawing)
{
    const auto draw = [](bool direct) {
        return [direct](QPainter &p) {
            p.setFont(reportFont());
            for (int row = 0; row < 3; ++row) {
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::white);
                p.drawRect(0, row * 20, 100, 20);
                p.setPen(QPen(Qt::black, 0));
                const QString text = QStringLiteral("Row %1").arg(row);
                if (direct)
                    TRpPageRecorder::drawPlainText(p, QPointF(2, row * 20 + 15), text);
                else
                    p.drawText(QPointF(2, row * 20 + 15), text);
            }
            p.setFont(reportFont(14));
            if (direct)
                TRpPageRecorder::drawPlainText(p, QPointF(2, 90), QStringLiteral("Total"));
            else
                p.drawText(QPointF(2, 90), QStringLiteral("Total"));
        };
    };
    int directTexts = 0;
    EXPECT_EQ(recordedHere(draw(true), &directTexts).toHex(' ').toStdString(),
        recordedByQt(draw(false)).toHex(' ').toStdString());
    EXPECT_EQ(directTexts, 4);
}

// Saving and restoring the painter's state around texts keeps each text with the pen and font of its
// moment.
TEST(PageRecorderText, FollowsSavedAndRestoredStates)
{
    const auto draw = [](bool direct) {
        return [direct](QPainter &p) {
            const auto text = [&](qreal y, const QString &t) {
                if (direct)
                    TRpPageRecorder::drawPlainText(p, QPointF(2, y), t);
                else
                    p.drawText(QPointF(2, y), t);
            };
            p.setFont(reportFont());
            text(10, QStringLiteral("first"));
            p.save();
            p.setPen(QPen(Qt::red, 0));
            p.setFont(reportFont(14));
            text(30, QStringLiteral("saved"));
            p.save();
            p.setPen(QPen(Qt::blue, 0));
            p.restore();
            text(50, QStringLiteral("inner restored"));
            p.restore();
            text(70, QStringLiteral("restored"));
            p.save();
            p.setPen(QPen(Qt::green, 0));
            p.restore();
            text(90, QStringLiteral("after an empty save"));
        };
    };
    int directTexts = 0;
    EXPECT_EQ(recordedHere(draw(true), &directTexts).toHex(' ').toStdString(),
        recordedByQt(draw(false)).toHex(' ').toStdString());
    EXPECT_EQ(directTexts, 5);
}

// The widths of the text runs of a picture, zero for runs set as they measure (the last eight bytes of each
// text record).
std::vector<double> runWidths(const QByteArray &picture)
{
    std::vector<double> widths;
    const auto *bytes = reinterpret_cast<const uchar *>(picture.constData());
    qsizetype at = 32;
    while (at + 2 <= picture.size()) {
        qsizetype header = 2;
        qsizetype length = bytes[at + 1];
        if (length == 255) {
            length = qFromBigEndian<quint32>(bytes + at + 2);
            header = 6;
        }
        if (bytes[at] == 21) {
            const quint64 bits = qFromBigEndian<quint64>(bytes + at + header + length - 8);
            double width;
            std::memcpy(&width, &bits, sizeof width);
            widths.push_back(width);
        }
        at += header + length;
    }
    return widths;
}

// Runs of a justified paragraph keep the width they were stretched to, and only those.
TEST(PageRecorderText, JustifiedRunsKeepTheirWidth)
{
    const auto draw = [](QPainter &p) {
        p.setFont(reportFont());
        p.drawText(QRectF(10, 10, 180, 200), Qt::AlignJustify | Qt::TextWordWrap,
            QStringLiteral(
                "Every line of this paragraph but its last is stretched to the width of its box."));
    };
    const QByteArray bytes = recordedHere(draw);
    EXPECT_EQ(bytes.toHex(' ').toStdString(), recordedByQt(draw).toHex(' ').toStdString());
    const std::vector<double> widths = runWidths(bytes);
    ASSERT_GE(widths.size(), 3u);
    EXPECT_GT(std::count_if(widths.begin(), widths.end(), [](double w) { return w > 0; }), 0);
    EXPECT_EQ(widths.back(), 0.0) << "the last line is set as it measures";
}

// A recorded page loads as a picture, plays, and measures as the page it was recorded for.
TEST(PageRecorder, PagesLoadAndPlayAsPictures)
{
    const QByteArray bytes = recordedHere([](QPainter &p) {
        p.setFont(reportFont());
        TRpPageRecorder::drawPlainText(p, QPointF(10, 20), QStringLiteral("Hello"));
        p.fillRect(QRect(5, 5, 20, 20), Qt::blue);
    });
    QPicture picture;
    QBuffer buffer(const_cast<QByteArray *>(&bytes));
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(picture.load(&buffer));
    EXPECT_EQ(picture.boundingRect(), kPage);
    QImage target(100, 50, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    EXPECT_TRUE(picture.play(&painter));
    painter.end();
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::blue));

    TRpPageRecorder recorder(kPage);
    QPicture reference;
    reference.setBoundingRect(kPage);
    EXPECT_EQ(recorder.width(), reference.width());
    EXPECT_EQ(recorder.heightMM(), reference.heightMM());
    EXPECT_EQ(recorder.logicalDpiY(), reference.logicalDpiY());
}

TEST(PageRecorder, ChecksumIsQtsChecksum)
{
    QRandomGenerator random(7);
    QByteArray data(300, Qt::Uninitialized);
    for (char &c : data)
        c = char(random.bounded(256));
    for (const qsizetype size : { 0, 1, 7, 8, 9, 15, 16, 17, 63, 300 }) {
        EXPECT_EQ(pictureChecksum(data.constData(), size), qChecksum(QByteArrayView(data.constData(), size)))
            << size;
    }
}

} // namespace
