#include "ElementPrintSupport.h"

#include "report/elements/PagePaint.h"
#include "report/elements/TextLines.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

// The page's measures of a text element's font.
QFontMetricsF pageMetrics(const TRpCustomLabel &label)
{
    return QFontMetricsF(pageFont(*label.font()), &referenceScreenDevice());
}

// One line's height in native units on the recorded page.
long double lineHeight(const TRpCustomLabel &label, const TRpPrinter &store)
{
    return pageMetrics(label).height() / store.yFactor();
}

// The native width an element needs to hold exactly this text on one line, as the design surface measures.
long double widthFor(const TRpCustomLabel &label, const QString &text)
{
    const TextMeasure measure(pageFont(*label.font()), 100);
    return pixelsToNative(std::ceil(measure.width(text)), label.resolution(), 100);
}

std::vector<QString> printedLines(TRpCustomLabel &label, FakePrintRun &run)
{
    label.BeginPrintRun(run);
    label.PrintAt(0, 0);
    const std::vector<QString> lines = label.printLines();
    label.EndPrintRun();
    return lines;
}

class ExportRecorder : public TRpExportFilter
{
public:
    struct Line
    {
        int x;
        int y;
        int alignment;
        QString text;
    };
    void Start(int, int, const QFont &) override { }
    void NewPage() override { }
    void TextLine(const QFont &, int, int x, int y, int alignment, const QString &text) override
    {
        lines.push_back({ x, y, alignment, text });
    }
    void EndPage() override { }
    void EndDocument() override { }
    std::vector<Line> lines;
};

// A text of plain characters measures as the text layout measures it, for every character the measure
// adds up itself and in fonts of several families, sizes and styles; other texts go to the layout.
TEST(TextMeasureTest, SummedExtentsAreTheLayoutsExtents)
{
    std::vector<QString> texts;
    for (char16_t u = 0x20; u < 0x250; ++u)
        texts.push_back(QString(QChar(u)) + QStringLiteral("x") + QChar(u));
    texts.push_back(QStringLiteral("Relev\u00E9 des comptes: 1 234,56 - 01/02/2006 (WAVE fifi Tj)"));
    texts.push_back(QStringLiteral("Relev\u00E9 des comptes"));
    texts.push_back(QStringLiteral("tab\tand \u03B1\u03B2 greek, soft\u00ADhyphen"));
    texts.push_back(QString());
    const struct
    {
        const char *family;
        int points;
        bool bold;
        bool italic;
    } fonts[] = { { "DejaVu Sans", 10, false, false }, { "DejaVu Serif", 9, true, false },
        { "DejaVu Sans Mono", 8, false, true }, { "Arial", 13, true, true },
        { "Times New Roman", 7, false, false }, { "Arial", 8, false, false }, { "Arial", 11, false, true } };
    for (const auto &f : fonts) {
        ReportFont reportFont;
        reportFont.setName(QLatin1String(f.family));
        reportFont.setSize(f.points);
        Rp::TFontStyles style;
        style.setFlag(Rp::fsBold, f.bold);
        style.setFlag(Rp::fsItalic, f.italic);
        reportFont.setStyle(style);
        const QFont font = pageFont(reportFont);
        const TextMeasure measure(font, 100);
        const QFontMetricsF layout(font, &referenceScreenDevice());
        for (const QString &text : texts)
            ASSERT_EQ(measure.advance(text), layout.horizontalAdvance(text))
                << f.family << " " << text.toStdString();
    }
}

TEST(TextElement, LabelPrintsItsCaptionAtItsPlaceOnTheBand)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(50, 20, 400, 100);
    label->setCaption(QStringLiteral("Hello"));
    label->setAutoSize(false);
    label->setColor(clAqua);
    FakePrintRun run;
    label->BeginPrintRun(run);
    label->PrintAt(100, 200);
    EXPECT_TRUE(label->PrintDone());
    label->EndPrintRun();

    const PageRecording page = run.page();
    ASSERT_EQ(page.texts(), QStringList { QStringLiteral("Hello") });
    const PageRecording::Text &text = page.textItems()[0];
    EXPECT_EQ(text.at.x(), run.store.DeviceX(150));
    EXPECT_NEAR(text.at.y(), run.store.DeviceY(220) + pageMetrics(*label).ascent(), 0.1);
    EXPECT_EQ(text.color, QColor(Qt::black));
    // Opaque: its rectangle is filled with its colour before the text.
    const auto fills = page.fillsOf(QColor(0, 255, 255));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0],
        QRectF(run.store.DeviceX(150), run.store.DeviceY(220),
            run.store.DeviceX(550) - run.store.DeviceX(150),
            run.store.DeviceY(320) - run.store.DeviceY(220)));
}

TEST(TextElement, TransparentDisabledAndExportRunsDrawNoFill)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(0, 0, 400, 100);
    label->setCaption(QStringLiteral("Seen"));
    label->setTransparent(true);
    auto *hidden = bench.add<TRpLabel>(0, 200, 400, 100);
    hidden->setCaption(QStringLiteral("Hidden"));
    hidden->setEnabled(false);
    FakePrintRun run;
    for (TRpLabel *l : { label, hidden }) {
        l->BeginPrintRun(run);
        l->PrintAt(0, 0);
        EXPECT_TRUE(l->PrintDone());
        l->EndPrintRun();
    }
    const PageRecording page = run.page();
    EXPECT_EQ(page.texts(), QStringList { QStringLiteral("Seen") });
    EXPECT_TRUE(page.fills().empty());
}

TEST(TextElement, ExportRunSendsLinesToTheFilterAndDrawsNothing)
{
    ElementBench bench;
    auto *memo = bench.add<TRpMemo>(100, 50, 400, 300);
    memo->setLines({ QStringLiteral("A"), QStringLiteral("B") });
    memo->setAlignment(Rp::taRightJustify);
    memo->setAutoSize(false);
    ExportRecorder filter;
    FakePrintRun run;
    run.finalPass = false;
    run.filter = &filter;
    memo->BeginPrintRun(run);
    memo->PrintAt(0, 10);
    memo->EndPrintRun();
    ASSERT_EQ(filter.lines.size(), 2u);
    EXPECT_EQ(filter.lines[0].text, QStringLiteral("A"));
    EXPECT_EQ(filter.lines[0].x, 500); // the right edge, with right alignment
    EXPECT_EQ(filter.lines[0].y, 60);
    EXPECT_EQ(filter.lines[0].alignment, int(Rp::taRightJustify));
    EXPECT_EQ(filter.lines[1].y, int(std::lround(double(60 + lineHeight(*memo, run.store)))));
    const PageRecording page = run.page();
    EXPECT_TRUE(page.texts().isEmpty());
    EXPECT_TRUE(page.fills().empty());
}

TEST(TextElement, MemoPrintsEachItemOneLineHeightApart)
{
    ElementBench bench;
    auto *memo = bench.add<TRpMemo>(0, 0, 400, 300);
    memo->setLines({ QStringLiteral("A"), QStringLiteral("B") });
    FakePrintRun run;
    memo->BeginPrintRun(run);
    memo->PrintAt(0, 100);
    memo->EndPrintRun();
    const PageRecording page = run.page();
    ASSERT_EQ(page.texts(), (QStringList { QStringLiteral("A"), QStringLiteral("B") }));
    const long double height = lineHeight(*memo, run.store);
    EXPECT_NEAR(page.textItems()[1].at.y() - page.textItems()[0].at.y(),
        run.store.DeviceY(100 + height) - run.store.DeviceY(100), 0.1);
}

struct LineCase
{
    const char *name;
    const char *text;
    bool autoSize;
    bool wordWrap;
    const char *fitsExactly; // the element is as wide as this text (empty: 2000 native units)
    std::vector<const char *> lines;
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.name;
}

class TextLineBreaking : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(TextLineBreaking, BuildsThePrintedLines)
{
    const LineCase &c = GetParam();
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(0, 0, 2000, 100);
    label->setCaption(QString::fromUtf8(c.text));
    label->setAutoSize(c.autoSize);
    label->setWordWrap(c.wordWrap);
    if (*c.fitsExactly)
        label->size()->setNativeBounds(0, 0, widthFor(*label, QString::fromUtf8(c.fitsExactly)), 100);
    FakePrintRun run;
    std::vector<QString> expected;
    for (const char *line : c.lines)
        expected.push_back(QString::fromUtf8(line));
    EXPECT_EQ(printedLines(*label, run), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextLineBreaking,
    ::testing::Values(LineCase { "CrLfSplits", "A\r\nB", true, true, "", { "A", "B" } },
        LineCase { "LoneLineFeedIsRemoved", "A\nB", true, true, "", { "AB" } },
        LineCase { "LoneCarriageReturnSplits", "A\rB", true, true, "", { "A", "B" } },
        LineCase { "AutoSizeNeverWraps", "one two three", true, true, "one", { "one two three" } },
        LineCase { "NoWrapKeepsTheWordsThatFit", "one two three", false, false, "one two ", { "one two " } },
        LineCase {
            "WrapCarriesTheNextWord", "one two three", false, true, "one two ", { "one two ", "three" } },
        LineCase {
            "HyphenEndsAWord", "well-known fact", false, true, "known ", { "well-", "known ", "fact" } },
        LineCase { "EmptySourceLinesStay", "a\r\r\nb", false, true, "", { "a", "", "b" } },
        LineCase { "EmptyText", "", false, true, "", { "" } }));

TEST(TextLineBreaking, ALongWordIsCutAndItsRestDropped)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(0, 0, 100, 100);
    label->setAutoSize(false);
    label->setCaption(QStringLiteral("abcdefghijklmnopqrstuvwxyz end"));
    label->size()->setNativeBounds(0, 0, widthFor(*label, QStringLiteral("abcdefgh")), 100);
    FakePrintRun run;
    const std::vector<QString> lines = printedLines(*label, run);
    ASSERT_EQ(lines.size(), 2u);
    // The cut keeps the line narrower than the element: one letter more would not be.
    EXPECT_TRUE(QStringLiteral("abcdefgh").startsWith(lines[0]));
    EXPECT_GE(lines[0].size(), 6);
    const TextMeasure measure(pageFont(*label->font()), 100);
    const qreal width = nativeToPixels(label->size()->nativeWidth(), label->resolution(), 100);
    EXPECT_LT(measure.width(lines[0]), width);
    EXPECT_GE(measure.width(QStringLiteral("abcdefghijklmnopqrstuvwxyz").left(lines[0].size() + 1)), width);
    EXPECT_EQ(lines[1], QStringLiteral("end"));
}

TEST(TextLineBreaking, AVeryLongLineIsMeasuredWordByWord)
{
    // Measuring the whole line again for every word would take hours here; a word at a time it is a moment.
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(0, 0, 1e7, 100);
    label->setAutoSize(false);
    const QString text = QStringLiteral("word ").repeated(100000);
    label->setCaption(text);
    FakePrintRun run;
    const std::vector<QString> lines = printedLines(*label, run);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], text);
}

TEST(TextLineBreaking, AnElementOfNoWidthPrintsNoText)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(0, 0, 0, 300);
    label->setAutoSize(false);
    label->setCaption(QStringLiteral("some words here"));
    FakePrintRun run;
    for (const QString &line : printedLines(*label, run))
        EXPECT_TRUE(line.isEmpty());
    EXPECT_TRUE(run.page().texts().isEmpty());
}

struct AnchorCase
{
    Rp::TAlignment alignment;
    Rp::TBiDiMode biDi;
    int leftMoves; // -1 left edge moves left, 0 stays, 1 moves right
    int rightMoves;
};

class AutoSizeAnchors : public ::testing::TestWithParam<AnchorCase>
{
};

// The printed rectangle (its fill) of a label first with a short and then with a long text.
TEST_P(AutoSizeAnchors, GrowTheLabelAwayFromItsAnchor)
{
    const AnchorCase &c = GetParam();
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(300, 0, 200, 100);
    label->setAlignment(c.alignment);
    label->setBiDiMode(c.biDi);
    label->setColor(clAqua);
    FakePrintRun run;
    label->BeginPrintRun(run);
    label->setCaption(QStringLiteral("ab"));
    label->PrintAt(0, 0);
    label->setCaption(QStringLiteral("abcdefghijklmnop"));
    label->PrintAt(0, 200);
    label->EndPrintRun();
    const auto fills = run.page().fillsOf(QColor(0, 255, 255));
    ASSERT_EQ(fills.size(), 2u);
    const qreal leftChange = fills[1].left() - fills[0].left();
    const qreal rightChange = fills[1].right() - fills[0].right();
    const qreal growth = fills[1].width() - fills[0].width();
    ASSERT_GT(growth, 20);
    auto moved = [](qreal change) { return change < -1 ? -1 : change > 1 ? 1 : 0; };
    EXPECT_EQ(moved(leftChange), c.leftMoves);
    EXPECT_EQ(moved(rightChange), c.rightMoves);
    if (c.alignment == Rp::taCenter) {
        EXPECT_NEAR(-leftChange, rightChange, 2);
    }
    // The stored element keeps its design size.
    EXPECT_EQ(label->size()->nativeWidth(), 200);
    EXPECT_EQ(label->size()->nativeLeft(), 300);
}

INSTANTIATE_TEST_SUITE_P(Alignments, AutoSizeAnchors,
    ::testing::Values(AnchorCase { Rp::taLeftJustify, Rp::bdLeftToRight, 0, 1 },
        AnchorCase { Rp::taRightJustify, Rp::bdLeftToRight, -1, 0 },
        AnchorCase { Rp::taCenter, Rp::bdLeftToRight, -1, 1 },
        AnchorCase { Rp::taLeftJustify, Rp::bdRightToLeft, -1, 0 },
        AnchorCase { Rp::taRightJustify, Rp::bdRightToLeft, 0, 1 }));

TEST(TextElement, AdjustBoundsTakesTheAutoSizeWidthIntoTheDesign)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(300, 0, 200, 10);
    label->setAlignment(Rp::taRightJustify);
    label->setCaption(QStringLiteral("a rather long caption"));
    label->AdjustBounds();
    EXPECT_GT(label->size()->nativeWidth(), 200);
    EXPECT_NEAR(double(label->size()->nativeLeft() + label->size()->nativeWidth()), 500, 3);
    EXPECT_GT(label->size()->nativeHeight(), 10);
}

TEST(TextElement, AlignToBandPlacesTheElementAgainstTheBandEdges)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(123, 0, 200, 100);
    label->setAutoSize(false);
    label->setAlignToBand(true);
    label->setColor(clAqua);
    FakePrintRun run;
    label->BeginPrintRun(run);
    for (Rp::TAlignment alignment : { Rp::taLeftJustify, Rp::taRightJustify, Rp::taCenter }) {
        label->setAlignment(alignment);
        label->PrintAt(0, 0);
    }
    bench.band->size()->setNativeWidth(601); // a resized band: the element follows
    label->setAlignment(Rp::taCenter);
    label->PrintAt(0, 0);
    label->EndPrintRun();
    const auto fills = run.page().fillsOf(QColor(0, 255, 255));
    ASSERT_EQ(fills.size(), 4u);
    EXPECT_EQ(fills[0].left(), run.store.DeviceX(0));
    EXPECT_EQ(fills[1].left(), run.store.DeviceX(800));
    EXPECT_EQ(fills[2].left(), run.store.DeviceX(400));
    EXPECT_EQ(fills[3].left(), run.store.DeviceX(200)); // (601 - 200) / 2 toward zero
}

TEST(TextElement, FrameStripsSurroundTheElementAndPushTheTextIn)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(100, 100, 600, 200);
    label->setAutoSize(false);
    label->setTransparent(true);
    label->setCaption(QStringLiteral("Framed"));
    TRpFrame *frame = label->frame();
    frame->setDrawLeft(true);
    frame->setDrawTop(true);
    frame->setDrawRight(true);
    frame->setDrawBottom(true);
    frame->setWidth(10);
    frame->setColor(clRed);
    FakePrintRun run;
    label->BeginPrintRun(run);
    label->PrintAt(0, 0);
    label->EndPrintRun();
    const PageRecording page = run.page();
    const int strip = frameStripThickness(10, double(run.store.xFactor()));
    ASSERT_GT(strip, 1);
    const auto strips = page.fillsOf(QColor(Qt::red));
    ASSERT_EQ(strips.size(), 4u);
    const int x1 = run.store.DeviceX(100), y1 = run.store.DeviceY(100);
    const int x2 = run.store.DeviceX(700), y2 = run.store.DeviceY(300);
    EXPECT_EQ(strips[0], QRectF(x1, y1, x2 - x1, strip)); // top
    EXPECT_EQ(strips[1], QRectF(x1, y2 - strip, x2 - x1, strip)); // bottom
    EXPECT_EQ(strips[2], QRectF(x1, y1, strip, y2 - y1)); // left
    EXPECT_EQ(strips[3], QRectF(x2 - strip, y1, strip, y2 - y1)); // right
    const PageRecording::Text *text = page.find(QStringLiteral("Framed"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->at.x(), run.store.DeviceX(100 + strip / run.store.xFactor()));
}

TEST(TextElement, OnPrintReplacesTheTextOfOneOccurrence)
{
    ElementBench bench;
    auto *label = bench.add<TRpLabel>(0, 0, 400, 100);
    label->setCaption(QStringLiteral("caption"));
    int calls = 0;
    label->OnPrint = [&](QObject *sender, QString &value) {
        EXPECT_EQ(sender, label);
        EXPECT_EQ(value, QStringLiteral("caption"));
        value = QStringLiteral("replaced %1").arg(++calls);
    };
    auto *memo = bench.add<TRpMemo>(0, 200, 400, 100);
    memo->setLines({ QStringLiteral("memo line") });
    memo->OnPrint = [](QObject *, QString &value) { value = QStringLiteral("never"); };
    auto *empty = bench.add<TRpLabel>(0, 400, 400, 100);
    empty->OnPrint = [](QObject *, QString &value) { value = QStringLiteral("never"); };
    FakePrintRun run;
    for (TRpCustomLabel *element : std::initializer_list<TRpCustomLabel *> { label, memo, empty })
        element->BeginPrintRun(run);
    label->PrintAt(0, 0);
    label->PrintAt(0, 100);
    memo->PrintAt(0, 0);
    empty->PrintAt(0, 0);
    EXPECT_EQ(label->outputText(), QStringLiteral("caption"));
    for (TRpCustomLabel *element : std::initializer_list<TRpCustomLabel *> { label, memo, empty })
        element->EndPrintRun();
    EXPECT_EQ(run.page().texts(),
        (QStringList {
            QStringLiteral("replaced 1"), QStringLiteral("replaced 2"), QStringLiteral("memo line") }));
}

// A label of one line's height holding five lines, stretching onto later pages.
struct StretchFixture : ::testing::Test
{
    void SetUp() override
    {
        label = bench.add<TRpLabel>(0, 50, 800, 0);
        label->setAutoSize(false);
        label->setAutoStretch(true);
        label->setTransparent(true);
        label->setCaption(QStringLiteral("L1\rL2\rL3\rL4\rL5"));
        line = lineHeight(*label, run.store);
        label->size()->setNativeBounds(0, 50, 800, line + 1);
        label->BeginPrintRun(run);
    }
    void TearDown() override { label->EndPrintRun(); }

    ElementBench bench;
    FakePrintRun run;
    TRpLabel *label = nullptr;
    long double line = 0;
};

TEST_F(StretchFixture, PrintsWhatTheBandCanHoldAndContinuesOnTheNextPage)
{
    run.room = 2 * line + 1; // two more lines fit on this page
    label->PrintAt(0, 0);
    EXPECT_FALSE(label->PrintDone());
    EXPECT_EQ(run.growRequests, 3);
    EXPECT_NEAR(double(run.growth), double(2 * line - 1), 1e-6); // the third line ends 2 lines - 1 below
    run.nextPage();
    run.room = 1000;
    label->PrintAt(0, 300);
    EXPECT_TRUE(label->PrintDone());
    EXPECT_EQ(run.page(1).texts(),
        (QStringList { QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3") }));
    const PageRecording second = run.page(2);
    EXPECT_EQ(second.texts(), (QStringList { QStringLiteral("L4"), QStringLiteral("L5") }));
    // The continuation starts at the element's top at its new place.
    EXPECT_NEAR(second.textItems()[0].at.y(), run.store.DeviceY(350) + pageMetrics(*label).ascent(), 0.1);
}

TEST_F(StretchFixture, WithoutAutoStretchOnlyTheLinesInsideThePrint)
{
    label->setAutoStretch(false);
    run.room = 1000;
    label->PrintAt(0, 0);
    EXPECT_TRUE(label->PrintDone());
    EXPECT_EQ(run.growRequests, 0);
    EXPECT_EQ(run.page().texts(), QStringList { QStringLiteral("L1") });
}

TEST_F(StretchFixture, ABandThatMayNotContinuePrintsWhatFitsAndIsDone)
{
    run.mayContinue = false;
    run.room = line + 1;
    label->PrintAt(0, 0);
    EXPECT_TRUE(label->PrintDone());
    // The next occurrence starts from its first line again.
    run.room = 0;
    label->PrintAt(0, 500);
    EXPECT_EQ(run.page().texts(),
        (QStringList { QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L1") }));
}

TEST_F(StretchFixture, ARoundAtAFreshColumnTopPrintsAtLeastOneLine)
{
    // Not even the first line fits the element, and the band cannot grow: without the round that must
    // advance, every page would print nothing and ask for another.
    label->size()->setNativeBounds(0, 50, 800, line / 2);
    run.room = 0;
    label->PrintAt(0, 0);
    EXPECT_FALSE(label->PrintDone());
    int pages = 1;
    while (!label->PrintDone() && pages < 20) {
        run.nextPage();
        ++pages;
        run.mustAdvance = true;
        label->PrintAt(0, 0);
    }
    EXPECT_EQ(pages, 6);
    for (int page = 2; page <= 6; ++page)
        EXPECT_EQ(run.page(page).texts(), QStringList { QStringLiteral("L%1").arg(page - 1) });
}

TEST_F(StretchFixture, OpaqueStretchFillsTheAddedStripAndLengthensTheFrame)
{
    label->setTransparent(false);
    label->setColor(clAqua);
    label->frame()->setDrawLeft(true);
    label->frame()->setColor(clRed);
    label->EndPrintRun();
    label->BeginPrintRun(run);
    run.room = 1000;
    label->PrintAt(0, 0);
    EXPECT_TRUE(label->PrintDone());
    const PageRecording page = run.page();
    qreal filledTo = 0;
    for (const QRectF &fill : page.fillsOf(QColor(0, 255, 255)))
        filledTo = std::max(filledTo, fill.bottom());
    const int textBottom = run.store.DeviceY(50 + 5 * line);
    EXPECT_GE(filledTo, textBottom);
    const auto strips = page.fillsOf(QColor(Qt::red));
    ASSERT_EQ(strips.size(), 1u);
    EXPECT_NEAR(strips[0].bottom(), textBottom, 1);
}

} // namespace
