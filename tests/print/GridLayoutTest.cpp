#include "print/GridLayout.h"

#include <gtest/gtest.h>

using namespace GridLayout;

// ---- column stretching ----

struct StretchCase
{
    const char *name;
    std::vector<int> widths;
    bool rowNumbers;
    int pageWidth;
    std::vector<ColumnSpan> expected;
};

class StretchColumns : public ::testing::TestWithParam<StretchCase>
{
};

TEST_P(StretchColumns, SpansFollowEachOtherFromTheLeftMargin)
{
    const StretchCase &c = GetParam();
    EXPECT_EQ(stretchColumns(c.widths, c.rowNumbers, c.pageWidth, 240, 60), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, StretchColumns,
    ::testing::Values(
        // The transaction list on Letter landscape: k = 3000 / 748.
        StretchCase { "TransactionsLandscape", { 427, 137, 154 }, true, 3300,
            { { 240, 360 }, { 360, 2072 }, { 2072, 2621 }, { 2621, 3238 } } },
        StretchCase { "WithoutRowNumbers", { 100, 100 }, false, 2300, { { 240, 1240 }, { 1240, 2240 } } },
        // Compression: k < 1, every span truncated towards zero.
        StretchCase {
            "Compressed", { 1000, 1000, 1000 }, false, 1300, { { 240, 573 }, { 573, 906 }, { 906, 1239 } } },
        StretchCase { "RowNumbersOnly", {}, true, 330, { { 240, 270 } } },
        StretchCase { "NoWidth", {}, false, 3300, {} }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StretchColumnsRule, NeverRunsPastTheRightMargin)
{
    for (int pageWidth : { 600, 2550, 3300, 4961 }) {
        const auto spans = stretchColumns({ 303, 105, 17, 1 }, true, pageWidth, 240, 60);
        ASSERT_EQ(spans.size(), 5u);
        EXPECT_LE(spans.back().right, pageWidth - 60);
        EXPECT_GE(spans.back().right, pageWidth - 60 - 5);
    }
}

// ---- cell texts ----

// Every character 10 wide: the room decides how many fit.
int tenEach(const QString &text)
{
    return int(text.size()) * 10;
}

struct FitCase
{
    const char *name;
    QString text;
    int room;
    bool numeric;
    QString expected;
};

class FitCellText : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(FitCellText, CutsTextsAndFillsNumbers)
{
    const FitCase &c = GetParam();
    EXPECT_EQ(fitCellText(c.text, c.room, c.numeric, tenEach), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, FitCellText,
    ::testing::Values(FitCase { "TextFits", "Loyer", 50, false, "Loyer" },
        FitCase { "TextCutFromTheEnd", "Courses du mois", 70, false, "Courses" },
        FitCase { "TextWithoutRoom", "Loyer", 5, false, "" }, FitCase { "EmptyText", "", 0, false, "" },
        FitCase { "NumberFits", "1234567,89", 100, true, "1234567,89" },
        // Never a number with digits missing: "1 234 5" would mislead the reader.
        FitCase { "NumberTooWide", "1 234 567,89", 70, true, "#######" },
        FitCase { "RowNumberTooWide", "10000", 45, true, "####" },
        FitCase { "NumberWithoutRoom", "12", 5, true, "" }, FitCase { "NegativeRoom", "12", -20, true, "" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FitCellTextRule, KeepsCharactersOutsideTheBasicPlaneWhole)
{
    const QString text = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("c");
    // Five code units; room for three: the pair is removed as one character.
    const QString cut = fitCellText(text, 30, false, tenEach);
    EXPECT_EQ(cut, QStringLiteral("ab"));
}

struct AlignCase
{
    const char *name;
    Qt::Alignment alignment;
    int expected;
};

class CellTextX : public ::testing::TestWithParam<AlignCase>
{
};

TEST_P(CellTextX, PlacesTheTextInItsCell)
{
    EXPECT_EQ(cellTextX(100, 301, 51, GetParam().alignment), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Alignments, CellTextX,
    ::testing::Values(AlignCase { "Left", Qt::AlignLeft, 102 }, AlignCase { "Right", Qt::AlignRight, 249 },
        // 100 + 201 div 2 − 51 div 2 = 100 + 100 − 25
        AlignCase { "Centre", Qt::AlignHCenter, 175 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CellTextY, CentresWithIntegerHalves)
{
    EXPECT_EQ(cellTextY(200, 251, 31), 200 + 25 - 15);
}

// ---- pages ----

struct PageCase
{
    const char *name;
    int rows;
    int expectedPages;
};

class PageCount : public ::testing::TestWithParam<PageCase>
{
};

// A page of 1000 with a bottom margin of 100: rows of 50 from 300 on the first page (after the title row of
// 100) and from 300 on every further page: rows end at 350, 400, … and a break follows when the next row
// would end past 900, so 12 rows fill a page.
TEST_P(PageCount, BreaksWhenTheNextRowWouldCrossTheBottomMargin)
{
    EXPECT_EQ(pageCount(GetParam().rows, 300, 100, 50, 1000, 100), GetParam().expectedPages);
}

INSTANTIATE_TEST_SUITE_P(Rows, PageCount,
    ::testing::Values(PageCase { "NoRow", 0, 1 }, PageCase { "OneRow", 1, 1 },
        PageCase { "AlmostFull", 11, 1 },
        // The last row fills the page: one more page with the titles.
        PageCase { "ExactlyFull", 12, 2 }, PageCase { "OneMore", 13, 2 }, PageCase { "ThreePages", 25, 3 }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- bound lines ----

TBoundRec rec(int line, const char *text, Qt::Alignment alignment = Qt::AlignLeft)
{
    TBoundRec r;
    r.Line = line;
    r.Text = QString::fromLatin1(text);
    r.Alignment = alignment;
    return r;
}

TEST(PlaceBounds, SameLineNumberSharesALine)
{
    const std::vector<TBoundRec> records { rec(1, "ab"), rec(1, "cdef", Qt::AlignRight), rec(2, "g") };
    const auto measure = [](const TBoundRec &r) { return QSize(int(r.Text.size()) * 10, r.Line * 20); };
    const BoundPlacement p = placeBounds(records, 200, 1000, 240, 60, measure);
    ASSERT_EQ(p.positions.size(), 3u);
    EXPECT_EQ(p.positions[0], QPoint(240, 200));
    EXPECT_EQ(p.positions[1], QPoint(1000 - 60 - 40, 200));
    EXPECT_EQ(p.positions[2], QPoint(240, 220));
    EXPECT_EQ(p.bottom, 260);
}

TEST(PlaceBounds, CentresBetweenTheMargins)
{
    const auto measure = [](const TBoundRec &) { return QSize(101, 30); };
    const BoundPlacement p
        = placeBounds({ rec(250, "Total:", Qt::AlignHCenter) }, 200, 2550, 240, 60, measure);
    EXPECT_EQ(p.positions[0], QPoint((2550 - 300) / 2 + 240 - 50, 200));
    EXPECT_EQ(p.bottom, 230);
}

TEST(PlaceBounds, ASmallerLineNumberStaysOnTheLine)
{
    // Only a greater number starts a new line.
    const auto measure = [](const TBoundRec &) { return QSize(10, 30); };
    const BoundPlacement p = placeBounds({ rec(5, "a"), rec(3, "b"), rec(4, "c") }, 0, 1000, 0, 0, measure);
    EXPECT_EQ(p.positions[1].y(), 0);
    EXPECT_EQ(p.positions[2].y(), 30);
}
