// Shapes, pictures and rich text drawn on a page.
#include "ElementPrintSupport.h"

#include "report/elements/RtfText.h"
#include "report/model/Units.h"
#include "store/DataSet.h"
#include "store/Fields.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTextDocument>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QRect deviceRect(const TRpPrinter &store, long double x, long double y, long double width, long double height)
{
    const int x1 = store.DeviceX(x);
    const int y1 = store.DeviceY(y);
    return QRect(x1, y1, store.DeviceX(x + width) - x1, store.DeviceY(y + height) - y1);
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sample(int width = 40, int height = 20)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

// A stored bitmap: its bytes after their own 32-bit length.
QByteArray storedBitmap(const QByteArray &bmp)
{
    QByteArray data(4, '\0');
    qToLittleEndian<quint32>(quint32(bmp.size()), data.data());
    return data + bmp;
}

// The header of a 32-bit bitmap that claims to be 50 000 × 50 000 pixels (ten gigabytes) and holds none.
QByteArray hugeBitmapHeader()
{
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(54, bmp.data() + 2);
    qToLittleEndian<quint32>(54, bmp.data() + 10);
    qToLittleEndian<quint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(50000, bmp.data() + 18);
    qToLittleEndian<qint32>(50000, bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(32, bmp.data() + 28);
    return bmp;
}

// A table without rows whose one blob field shows what the test puts in `content`.
class BlobTable : public TDataSet
{
public:
    BlobTable()
    {
        TField *field = AddField(std::make_unique<TField>(QStringLiteral("Content"), ftBlob));
        field->OnGetText = [this](TField &, bool) { return content; };
    }
    QString content;
    void Open() override { }
    void Close() override { }
    void First() override { }
    void Last() override { }
    int MoveRows(int) override { return 0; }
    int ViewRowCount() const override { return 0; }
    int CurrentRowNumber() const override { return 0; }
    bool MoveToRow(int) override { return false; }
    void Insert() override { }
    void AppendRow() override { }
    void Edit() override { }
    void Post() override { }
    void Cancel() override { }
    void Delete() override { }
    bool CanModify() const override { return false; }

protected:
    const RecordLayout *recordLayout() const override { return nullptr; }
    const ColumnDesc *columnDesc(int) const override { return nullptr; }
};

void printOnce(TRpPrintable &element, FakePrintRun &run, long double x = 0, long double y = 0)
{
    element.BeginPrintRun(run);
    element.PrintAt(x, y);
    EXPECT_TRUE(element.PrintDone());
    element.EndPrintRun();
}

struct ShapeCase
{
    Rp::TRpShapeType shape;
    std::vector<PageRecording::Shape::Kind> kinds;
};

class ShapeKinds : public ::testing::TestWithParam<ShapeCase>
{
};

TEST_P(ShapeKinds, DrawTheirOutlineInsideTheBoundsAndNoFrame)
{
    ElementBench bench;
    auto *shape = bench.add<TRpShape>(100, 100, 400, 200);
    shape->setShape(GetParam().shape);
    shape->pen()->setColor(clBlue);
    shape->brush()->setColor(clYellow);
    shape->frame()->setDrawTop(true);
    shape->frame()->setDrawLeft(true);
    shape->frame()->setColor(clRed);
    FakePrintRun run;
    printOnce(*shape, run, 50, 0);
    const PageRecording page = run.page();
    const QRectF bounds = deviceRect(run.store, 150, 100, 400, 200);
    std::vector<PageRecording::Shape::Kind> kinds;
    for (const PageRecording::Shape &drawn : page.shapes()) {
        kinds.push_back(drawn.kind);
        EXPECT_EQ(drawn.pen.color(), QColor(Qt::blue));
        const QRectF inside = bounds.adjusted(-0.01, -0.01, 0.01, 0.01);
        if (drawn.kind == PageRecording::Shape::Line) {
            EXPECT_TRUE(inside.contains(drawn.line.p1()) && inside.contains(drawn.line.p2()));
        } else {
            EXPECT_TRUE(inside.contains(drawn.rect));
        }
    }
    EXPECT_EQ(kinds, GetParam().kinds);
    EXPECT_TRUE(page.fillsOf(QColor(Qt::red)).empty());
}

using Kind = PageRecording::Shape::Kind;
INSTANTIATE_TEST_SUITE_P(Shapes, ShapeKinds,
    ::testing::Values(ShapeCase { Rp::rpsRectangle, { Kind::Rect } },
        ShapeCase { Rp::rpsCircle, { Kind::Ellipse } }, ShapeCase { Rp::rpsVertLine, { Kind::Line } },
        ShapeCase { Rp::rpsHorLine, { Kind::Line } },
        ShapeCase { Rp::rpsTopAndBottom, { Kind::Line, Kind::Line } },
        ShapeCase { Rp::rpsRightAndLeft, { Kind::Line, Kind::Line } }));

TEST(ShapeElement, LinesRunThroughTheMiddleOrAlongTheEdges)
{
    ElementBench bench;
    auto *vertical = bench.add<TRpShape>(0, 0, 400, 200);
    vertical->setShape(Rp::rpsVertLine);
    auto *sides = bench.add<TRpShape>(0, 300, 400, 200);
    sides->setShape(Rp::rpsTopAndBottom);
    FakePrintRun run;
    printOnce(*vertical, run);
    printOnce(*sides, run);
    const PageRecording page = run.page();
    ASSERT_EQ(page.shapes().size(), 3u);
    const QRect bounds = deviceRect(run.store, 0, 0, 400, 200);
    EXPECT_EQ(page.shapes()[0].line,
        QLineF(bounds.left() + bounds.width() / 2.0, bounds.top(), bounds.left() + bounds.width() / 2.0,
            bounds.top() + bounds.height()));
    const QRect lower = deviceRect(run.store, 0, 300, 400, 200);
    EXPECT_NEAR(page.shapes()[1].line.y1(), lower.top(), 1);
    EXPECT_NEAR(page.shapes()[2].line.y1(), lower.top() + lower.height(), 1);
}

TEST(ShapeElement, DrawsOnlyInTheFinalPass)
{
    ElementBench bench;
    auto *shape = bench.add<TRpShape>(0, 0, 400, 200);
    FakePrintRun run;
    run.finalPass = false;
    printOnce(*shape, run);
    EXPECT_TRUE(run.page().shapes().empty());
}

struct PictureCase
{
    const char *name;
    bool stretch;
    bool center;
    long double width; // of the element, native
    long double height;
};

void PrintTo(const PictureCase &c, std::ostream *os)
{
    *os << c.name;
}

class PicturePlacement : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(PicturePlacement, PutsThePictureInTheElement)
{
    const PictureCase &c = GetParam();
    ElementBench bench;
    auto *image = bench.add<TRpImage>(100, 50, c.width, c.height);
    image->setStretch(c.stretch);
    image->setCenter(c.center);
    ASSERT_TRUE(image->picture()->setGraphic(QStringLiteral("TPngImage"), encoded(sample(), "PNG")));
    FakePrintRun run;
    printOnce(*image, run, 0, 100);
    const PageRecording page = run.page();
    ASSERT_EQ(page.pictures().size(), 1u);
    const QRect element = deviceRect(run.store, 100, 150, c.width, c.height);
    const qreal screen = TRpPrinter::screenPixelsPerInch();
    const int naturalWidth = run.store.DeviceWidth(40 / screen * 254);
    const int naturalHeight = run.store.DeviceHeight(20 / screen * 254);
    QRect expected = element;
    if (!c.stretch) {
        expected = QRect(element.left(), element.top(), naturalWidth, naturalHeight);
        if (c.center)
            expected.moveTo(element.left() + (element.width() - naturalWidth) / 2,
                element.top() + (element.height() - naturalHeight) / 2);
        expected = expected.intersected(element);
    }
    EXPECT_EQ(page.pictures()[0].target, QRectF(expected));
    EXPECT_EQ(page.pictures()[0].size, QSize(40, 20));
}

INSTANTIATE_TEST_SUITE_P(Placement, PicturePlacement,
    ::testing::Values(PictureCase { "Stretched", true, false, 500, 300 },
        PictureCase { "Natural", false, false, 500, 300 }, PictureCase { "Centred", false, true, 500, 300 },
        PictureCase { "ClippedToTheElement", false, false, 50, 30 },
        PictureCase { "CentredAndClipped", false, true, 50, 30 }));

TEST(PictureElement, ReadsStoredBitmapsAndDrawsTheFrameAfterThePicture)
{
    ElementBench bench;
    auto *image = bench.add<TRpImage>(0, 0, 500, 300);
    image->setStretch(true);
    ASSERT_TRUE(
        image->picture()->setGraphic(QStringLiteral("TBitmap"), storedBitmap(encoded(sample(7, 5), "BMP"))));
    image->frame()->setDrawBottom(true);
    image->frame()->setColor(clRed);
    FakePrintRun run;
    printOnce(*image, run);
    const PageRecording page = run.page();
    ASSERT_EQ(page.pictures().size(), 1u);
    EXPECT_EQ(page.pictures()[0].size, QSize(7, 5));
    EXPECT_EQ(page.fillsOf(QColor(Qt::red)).size(), 1u);
}

TEST(PictureElement, AutoSizeTakesThePicturesPixelsWhenAPictureIsSet)
{
    ElementBench bench;
    auto *image = bench.add<TRpImage>(10, 20, 500, 300);
    ASSERT_TRUE(image->picture()->setGraphic(QStringLiteral("TPngImage"), encoded(sample(40, 20), "PNG")));
    EXPECT_EQ(image->size()->nativeWidth(), 500); // without AutoSize the size stays
    image->setAutoSize(true);
    ASSERT_TRUE(image->picture()->setGraphic(QStringLiteral("TPngImage"), encoded(sample(30, 60), "PNG")));
    EXPECT_EQ(image->size()->nativeLeft(), 10);
    EXPECT_EQ(image->size()->nativeWidth(), pixelsToNative(30, image->resolution(), 100));
    EXPECT_EQ(image->size()->nativeHeight(), pixelsToNative(60, image->resolution(), 100));
}

TEST(PictureElement, RefusesPicturesTooLargeToHold)
{
    ElementBench bench;
    auto *image = bench.add<TRpImage>(0, 0, 500, 300);
    ASSERT_TRUE(image->picture()->setGraphic(QStringLiteral("TBitmap"), storedBitmap(hugeBitmapHeader())));
    auto *other = bench.add<TRpImage>(0, 0, 500, 300);
    ASSERT_TRUE(
        other->picture()->setGraphic(QStringLiteral("TMetafile"), QByteArray("not a picture at all")));
    FakePrintRun run;
    printOnce(*image, run);
    printOnce(*other, run);
    EXPECT_TRUE(run.page().pictures().empty());
}

TEST(PictureElement, DataPictureComesFromTheFieldAtEachPrint)
{
    BlobTable table;
    ElementBench bench;
    auto *image = bench.add<TRpDBImage>(0, 0, 500, 300);
    image->setDataSet(&table);
    image->setDataField(QStringLiteral("content"));
    image->setStretch(true);
    FakePrintRun run;
    image->BeginPrintRun(run);
    table.content = QString::fromLatin1(encoded(sample(8, 6), "PNG"));
    image->PrintAt(0, 0);
    table.content.clear(); // no picture: a stretched element fills its place
    image->PrintAt(0, 400);
    image->setStretch(false);
    image->PrintAt(0, 800); // nor an unstretched one: nothing
    image->EndPrintRun();
    const PageRecording page = run.page();
    ASSERT_EQ(page.pictures().size(), 1u);
    EXPECT_EQ(page.pictures()[0].size, QSize(8, 6));
    const auto fills = page.fillsOf(QColor(Qt::white));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0], QRectF(deviceRect(run.store, 0, 400, 500, 300)));
}

// A rich-text element of about three lines' height holding twelve numbered lines.
struct RichTextFixture : ::testing::Test
{
    void SetUp() override
    {
        QStringList lines;
        for (int i = 1; i <= 12; ++i)
            lines << QStringLiteral("Line %1").arg(i);
        rich = bench.add<TRpRichText>(0, 100, 1500, 150);
        rich->setLines(lines);
    }
    // The numbered lines drawn on a page.
    static QStringList numbered(const PageRecording &page)
    {
        QStringList result;
        for (const QString &text : page.texts())
            if (text.startsWith(QStringLiteral("Line")))
                result << text;
        return result;
    }
    ElementBench bench;
    FakePrintRun run;
    TRpRichText *rich = nullptr;
};

TEST_F(RichTextFixture, WithoutAutoStretchDrawsWhatFitsAndIsDone)
{
    printOnce(*rich, run);
    const QStringList drawn = numbered(run.page());
    ASSERT_GE(drawn.size(), 2);
    ASSERT_LT(drawn.size(), 12);
    EXPECT_EQ(drawn.first(), QStringLiteral("Line 1"));
    EXPECT_EQ(run.growRequests, 0);
}

TEST_F(RichTextFixture, StretchingGrowsInStepsAndContinuesOnTheNextPage)
{
    rich->setAutoStretch(true);
    run.room = 120; // two steps of 50 fit, a third does not
    rich->BeginPrintRun(run);
    rich->PrintAt(0, 0);
    EXPECT_FALSE(rich->PrintDone());
    EXPECT_EQ(run.growRequests, 3);
    EXPECT_EQ(double(run.growth), 100.0);
    const int firstPageEnd = rich->printPosition();
    EXPECT_GT(firstPageEnd, 0);
    run.nextPage();
    run.room = 10000;
    rich->PrintAt(0, 0);
    EXPECT_TRUE(rich->PrintDone());
    rich->EndPrintRun();
    QStringList all = numbered(run.page(1));
    const QStringList second = numbered(run.page(2));
    ASSERT_FALSE(second.isEmpty());
    all << second;
    QStringList expected;
    for (int i = 1; i <= 12; ++i)
        expected << QStringLiteral("Line %1").arg(i);
    EXPECT_EQ(all, expected);
}

TEST_F(RichTextFixture, ARoundAtAFreshColumnTopDrawsAtLeastOneLine)
{
    rich->setAutoStretch(true);
    rich->size()->setNativeBounds(0, 100, 1500, 5); // not even one line fits
    rich->BeginPrintRun(run);
    rich->PrintAt(0, 0);
    EXPECT_FALSE(rich->PrintDone());
    int pages = 1;
    while (!rich->PrintDone() && pages < 30) {
        run.nextPage();
        ++pages;
        run.mustAdvance = true;
        rich->PrintAt(0, 0);
    }
    rich->EndPrintRun();
    EXPECT_EQ(pages, 13);
    EXPECT_EQ(numbered(run.page(13)), QStringList { QStringLiteral("Line 12") });
}

TEST_F(RichTextFixture, ABandThatMayNotContinueTakesWhatFits)
{
    rich->setAutoStretch(true);
    run.mayContinue = false;
    printOnce(*rich, run);
    EXPECT_LT(numbered(run.page()).size(), 12);
}

TEST(RichTextElement, ReadsRtfAndHtmlAndTakesDataFromAField)
{
    ElementBench bench;
    auto *rtf = bench.add<TRpRichText>(0, 0, 1500, 300);
    rtf->setLines(
        { QStringLiteral("{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}{\\colortbl;\\red255\\green0\\blue0;}"),
            QStringLiteral("\\f0\\fs20 Plain \\b bold\\b0 \\'e9t\\'e9\\par second}") });
    BlobTable table;
    table.content = QStringLiteral("<p>From <i>the</i> field</p>");
    auto *field = bench.add<TRpDBRichText>(0, 400, 1500, 300);
    field->setDataSet(&table);
    field->setDataField(QStringLiteral("Content"));
    FakePrintRun run;
    printOnce(*rtf, run);
    printOnce(*field, run);
    const PageRecording page = run.page();
    const QString all = page.texts().join(QString());
    EXPECT_TRUE(all.contains(QStringLiteral("Plain"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("été")));
    EXPECT_TRUE(all.contains(QStringLiteral("second")));
    EXPECT_FALSE(all.contains(QStringLiteral("Arial")));
    EXPECT_FALSE(all.contains(QStringLiteral("rtf")));
    EXPECT_TRUE(all.contains(QStringLiteral("field")));
    bool boldSeen = false;
    for (const PageRecording::Text &text : page.textItems())
        boldSeen = boldSeen || (text.text.contains(QStringLiteral("bold")) && text.font.bold());
    EXPECT_TRUE(boldSeen);
}

struct RtfCase
{
    const char *rtf;
    const char *plain;
};

class RtfReading : public ::testing::TestWithParam<RtfCase>
{
};

TEST_P(RtfReading, KeepsTheTextOnly)
{
    QTextDocument document;
    document.setHtml(rtfToHtml(QString::fromUtf8(GetParam().rtf)));
    EXPECT_EQ(document.toPlainText(), QString::fromUtf8(GetParam().plain));
}

INSTANTIATE_TEST_SUITE_P(Texts, RtfReading,
    ::testing::Values(RtfCase { "{\\rtf1 Hello}", "Hello" }, RtfCase { "{\\rtf1 a\\par b}", "a\nb" },
        RtfCase { "{\\rtf1 \\{x\\}\\\\}", "{x}\\" }, RtfCase { "{\\rtf1\\uc1 \\u8364?}", "\u20ac" },
        RtfCase { "{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}}Body}", "Body" },
        RtfCase { "{\\rtf1 tab\\tab end}", "tab\tend" },
        RtfCase { "{\\rtf1 unclosed {\\b group", "unclosed group" },
        RtfCase { "{\\rtf1 <b>&amp;</b>}", "<b>&amp;</b>" }));

TEST(RtfReading, RecognisesRtfByItsOpening)
{
    EXPECT_TRUE(isRtfText(QStringLiteral("  {\\rtf1 x}")));
    EXPECT_FALSE(isRtfText(QStringLiteral("{rtf}")));
    EXPECT_FALSE(isRtfText(QStringLiteral("<html>")));
}

} // namespace
