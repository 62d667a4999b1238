// Label format files: the lines that are read and those left out, names and numbers, paper codes, and what a
// format gives the label pages.
#include "platform/Exceptions.h"
#include "report/wizard/LabelFormats.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const UnitContext kMM { Rp::MM, 96, 100, 10 };
const UnitContext kInches { Rp::Inches, 96, 100, 10 };

TEST(LabelFormats, ReadsALineInCentimetresWithCommaDecimals)
{
    TRpLabelFormat format;
    ASSERT_TRUE(RpLabelFormats::parseFormatLine(
        QStringLiteral("Zweckform_3474 ; 0 ; 0 ; 7 ; 3,7 ; 3 ; 8 ; 0 ; 0 ; A4"), format));
    EXPECT_EQ(format.name, QStringLiteral("Zweckform 3474"));
    EXPECT_DOUBLE_EQ(format.width, 70);
    EXPECT_DOUBLE_EQ(format.height, 37);
    EXPECT_EQ(format.columns, 3);
    EXPECT_EQ(format.rows, 8);
    EXPECT_DOUBLE_EQ(format.verticalPitch, 37);
    EXPECT_DOUBLE_EQ(format.horizontalPitch, 70);
    EXPECT_EQ(format.paperSize, RpPaper::A4);
    EXPECT_FALSE(format.landscape);

    const RpLabelLayout layout = RpLabelFormats::layoutOf(format, kMM);
    EXPECT_DOUBLE_EQ(layout.width, 70);
    EXPECT_DOUBLE_EQ(layout.height, 37);
    EXPECT_EQ(layout.columns, 3);
    EXPECT_EQ(layout.rows, 8);
    EXPECT_DOUBLE_EQ(layout.columnSpace, 0);
    EXPECT_DOUBLE_EQ(layout.rowSpace, 0);
    EXPECT_EQ(layout.orientation, RpPaper::poPortrait);
    // 297 − 8 × 37 and 210 − 3 × 70.
    EXPECT_NEAR(layout.bottomMargin, 1, 1e-9);
    EXPECT_NEAR(layout.rightMargin, 0, 1e-9);
}

struct LineCase
{
    const char *line;
    bool read;
};

class LabelFormatLines : public testing::TestWithParam<LineCase>
{
};

TEST_P(LabelFormatLines, AreReadOrLeftOut)
{
    TRpLabelFormat format;
    EXPECT_EQ(RpLabelFormats::parseFormatLine(QString::fromUtf8(GetParam().line), format), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Lines, LabelFormatLines,
    testing::Values(LineCase { "A;1;1;7;3,7;3;8;0;0;A4", true }, LineCase { "A;1;1;7;3,7;3;8", true },
        LineCase { "A;;;7;3,7;3;8;;;", true }, LineCase { "A;1;1;7;3.7;3;8;0;0;A4", false },
        LineCase { "A;1;1;7;x;3;8;0;0;A4", false }, LineCase { "A;1;1;7;3,7;3,5;8;0;0;A4", false },
        LineCase { "A;1;1;7;3,7;0;8;0;0;A4", false }, LineCase { "A;1;1;7;3,7;3;0;0;0;A4", false },
        LineCase { "A;1;1;7;3,7;-3;8;0;0;A4", false }, LineCase { "A;1;1;7;3,7;65536;65536;0;0;A4", false },
        LineCase { "A;1;1;7;3,7;46340;46340;0;0;A4", true }, LineCase { "A;1;1;7;3,7;3;8;0;0;XY", false },
        LineCase { "A;1;1;7;3,7;3;8;0;0;A4;extra", false }, LineCase { "A;1;1;1e400;3,7;3;8;0;0;A4", false },
        LineCase { "A;1;1;99999999;3,7;3;8;0;0;A4", false },
        LineCase { "A;1;1;7;3,7;3;8;0;0;b4 jisq", true }));

struct PaperCase
{
    const char *code;
    TRpPaperSize size;
    bool landscape;
    double customWidth, customLength;
};

class LabelPaperCodes : public testing::TestWithParam<PaperCase>
{
};

TEST_P(LabelPaperCodes, NameThePaperAndItsTurn)
{
    const PaperCase &c = GetParam();
    TRpLabelFormat format;
    ASSERT_TRUE(RpLabelFormats::parseFormatLine(
        QStringLiteral("A;0;0;5;2;2;2;0;0;") + QString::fromUtf8(c.code), format));
    EXPECT_EQ(format.paperSize, c.size);
    EXPECT_EQ(format.landscape, c.landscape);
    EXPECT_DOUBLE_EQ(format.customWidth, c.customWidth);
    EXPECT_DOUBLE_EQ(format.customLength, c.customLength);
}

INSTANTIATE_TEST_SUITE_P(Codes, LabelPaperCodes,
    testing::Values(PaperCase { "A4", RpPaper::A4, false, 0, 0 },
        PaperCase { "a4q", RpPaper::A4, true, 0, 0 }, PaperCase { "0", RpPaper::A4, false, 0, 0 },
        PaperCase { "", RpPaper::A4, false, 0, 0 }, PaperCase { "L", RpPaper::Letter, false, 0, 0 },
        PaperCase { "LQ", RpPaper::Letter, true, 0, 0 }, PaperCase { "P", RpPaper::Custom, false, 100, 148 },
        PaperCase { "PQ", RpPaper::Custom, true, 100, 148 }, PaperCase { "B5", RpPaper::B5, false, 0, 0 },
        PaperCase { "A5Q", RpPaper::A5, true, 0, 0 }, PaperCase { "M", RpPaper::Custom, false, 104.8, 127 },
        PaperCase { "B4 JIS", RpPaper::B4, false, 0, 0 }));

TEST(LabelFormats, PitchesMakeSpacesAndMarginsNeverGoBelowZero)
{
    TRpLabelFormat format;
    // 4 columns of 6 cm at a 6,5 cm pitch are wider than A4: the right margin stops at 0.
    ASSERT_TRUE(RpLabelFormats::parseFormatLine(QStringLiteral("W;1,5;-1;6;3;4;5;3,5;6,5;A4"), format));
    const RpLabelLayout layout = RpLabelFormats::layoutOf(format, kMM);
    EXPECT_DOUBLE_EQ(layout.columnSpace, 5);
    EXPECT_DOUBLE_EQ(layout.rowSpace, 5);
    EXPECT_DOUBLE_EQ(layout.leftMargin, 0);
    EXPECT_DOUBLE_EQ(layout.topMargin, 15);
    EXPECT_DOUBLE_EQ(layout.rightMargin, 0);
    // 297 − 15 − 5 × 30 − 5 × 4.
    EXPECT_NEAR(layout.bottomMargin, 112, 1e-9);
}

TEST(LabelFormats, LandscapePaperSwapsWidthAndLength)
{
    TRpLabelFormat format;
    ASSERT_TRUE(RpLabelFormats::parseFormatLine(QStringLiteral("Q;1;1;9;4;3;4;0;0;A4Q"), format));
    const RpLabelLayout layout = RpLabelFormats::layoutOf(format, kMM);
    EXPECT_EQ(layout.orientation, RpPaper::poLandscape);
    EXPECT_NEAR(layout.rightMargin, 297 - 10 - 270, 1e-9);
    EXPECT_NEAR(layout.bottomMargin, 210 - 10 - 160, 1e-9);
}

TEST(LabelFormats, AreListedWithSizesCutToTwoDecimals)
{
    TRpLabelFormat format;
    ASSERT_TRUE(RpLabelFormats::parseFormatLine(QStringLiteral("Petites;0;0;7;3,7;3;8;0;0;A4"), format));
    EXPECT_EQ(RpLabelFormats::listCaption(format, kMM), QStringLiteral("Petites (70 x 37)"));
    // 70 mm is 2,7559… inches and 37 mm 1,4566… inches: cut, not rounded.
    EXPECT_EQ(RpLabelFormats::listCaption(format, kInches), QStringLiteral("Petites (2,75 x 1,45)"));
}

TEST(LabelFormats, FamiliesComeFromTheSettingsFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestSupport::writeFile(dir.filePath(QStringLiteral("b.rlf")),
        "Famille B\r\nUne_\xe9tiquette;0;0;7;3,7;3;8;0;0;A4\r\nillisible\r\n\r\nDeux;0;0;5;2;2;2;0;0;L\r\n");
    TestSupport::writeFile(dir.filePath(QStringLiteral("A.RLF")), "Famille A\nSeule;0;0;5;2;2;2;0;0;A5\n");
    TestSupport::writeFile(
        dir.filePath(QStringLiteral("other.txt")), "Pas une famille\nX;0;0;5;2;2;2;0;0;A4\n");
    const std::vector<TRpLabelFamily> families = RpLabelFormats::familiesIn(dir.path());
    ASSERT_EQ(families.size(), 2u);
    EXPECT_EQ(families[0].name, QStringLiteral("Famille A"));
    EXPECT_EQ(families[1].name, QStringLiteral("Famille B"));
    ASSERT_EQ(families[1].formats.size(), 2u);
    EXPECT_EQ(families[1].formats[0].name, QStringLiteral("Une étiquette"));
    const TRpLabelFormat *found = RpLabelFormats::findFormat(families, QStringLiteral("une_ÉTIQUETTE"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->columns, 3);
    EXPECT_EQ(RpLabelFormats::findFormat(families, QStringLiteral("X")), nullptr);
}

TEST(LabelFormats, AFileTooLargeIsNoFamily)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestSupport::writeFile(
        dir.filePath(QStringLiteral("huge.rlf")), "Huge\n" + QByteArray(2 * 1024 * 1024, 'x'));
    EXPECT_TRUE(RpLabelFormats::familiesIn(dir.path()).empty());
    EXPECT_THROW(RpLabelFormats::readFamily(dir.filePath(QStringLiteral("huge.rlf"))), Exception);
    EXPECT_THROW(RpLabelFormats::readFamily(dir.filePath(QStringLiteral("missing.rlf"))), Exception);
}

} // namespace
