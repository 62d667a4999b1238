#include "ReportTestSupport.h"

#include "report/model/PaperSize.h"
#include "report/model/Units.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportDefaults, ANewReportHasTheDocumentedSetup)
{
    TRpReport report;
    EXPECT_EQ(report.units(), Rp::MM); // the tests run with a metric locale
    EXPECT_EQ(report.zoom(), 100);
    EXPECT_EQ(report.options(), Rp::FirstPageHeader | Rp::LastPageFooter);
    EXPECT_TRUE(report.printIfEmpty());
    EXPECT_TRUE(report.showProgress());
    EXPECT_TRUE(report.snapToGrid());
    EXPECT_TRUE(report.reportTitle().isEmpty());
    EXPECT_TRUE(report.description().isEmpty());
    EXPECT_EQ(report.dataSet(), nullptr);
    EXPECT_EQ(report.font()->name(), QStringLiteral("Arial"));
    EXPECT_EQ(report.font()->size(), 10);
    EXPECT_FALSE(report.frame()->hasLines());
    EXPECT_EQ(report.frame()->width(), 1);
    EXPECT_EQ(report.frame()->color(), clBlack);
    EXPECT_EQ(report.frame()->style(), Rp::psSolid);

    const QList<ReportFunctions::Entry> functions{{QStringLiteral("PAGENUMBER"), QStringLiteral("0")},
                                                  {QStringLiteral("COLUMNNUMBER"), QStringLiteral("0")},
                                                  {QStringLiteral("REPORTTITLE"), QStringLiteral("''")}};
    EXPECT_EQ(report.functions()->entries(), functions);

    const TRpPage *page = report.page();
    EXPECT_EQ(page->paperSize(), RpPaper::A4);
    EXPECT_EQ(page->orientation(), RpPaper::poPortrait);
    EXPECT_DOUBLE_EQ(page->width(), 210);
    EXPECT_DOUBLE_EQ(page->length(), 297);
    for (double margin : {page->topMargin(), page->bottomMargin(), page->leftMargin(), page->rightMargin()})
        EXPECT_DOUBLE_EQ(margin, 10);
    EXPECT_EQ(page->columns(), 1);
    EXPECT_DOUBLE_EQ(page->columnSpace(), 0);
    EXPECT_TRUE(page->ruler());

    const TRpReportPrinterSettings *printer = report.printerSettings();
    EXPECT_EQ(printer->copies(), 1);
    EXPECT_FALSE(printer->duplex());
    EXPECT_EQ(printer->firstPage(), 0);
    EXPECT_EQ(printer->lastPage(), 0);
    EXPECT_EQ(printer->outputBin(), RpPaper::Auto);
    EXPECT_EQ(printer->printerIndex(), -1);

    const TRpReportBands *bands = report.bands();
    EXPECT_FALSE(bands->hasTitle() || bands->hasPageHeader() || bands->hasColumnHeader() || bands->hasDetail()
                 || bands->hasPageFooter() || bands->hasSummary());
    EXPECT_TRUE(report.bandList().isEmpty());
}

TEST(ReportDefaults, ANewBandAndElement)
{
    TRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    EXPECT_EQ(band->height(), 40);
    EXPECT_EQ(band->color(), clWhite);
    EXPECT_TRUE(band->enabled());
    EXPECT_TRUE(band->parentFont());
    EXPECT_FALSE(band->forceNewPage() || band->forceNewColumn() || band->alignToBottom() || band->hasChild());
    EXPECT_EQ(band->linkBand(), nullptr);
    EXPECT_EQ(band->font()->name(), QStringLiteral("Arial"));
    TRpBand plain;
    EXPECT_EQ(plain.bandType(), Rp::rbTitle);

    TRpPrintable element(band);
    EXPECT_TRUE(element.enabled());
    EXPECT_EQ(element.width(), 10);
    EXPECT_EQ(element.height(), 10);

    TRpSubDetail sub(&report);
    EXPECT_EQ(sub.bandType(), Rp::rbSubDetail);
    EXPECT_TRUE(sub.printIfEmpty());
    EXPECT_FALSE(sub.printBefore());
    EXPECT_EQ(sub.effectiveMaster(), &report);
    TRpGroup group(&report);
    EXPECT_EQ(group.bandType(), Rp::rbGroupHeader);
    EXPECT_EQ(group.effectiveMaster(), &report);
}

// ---------------------------------------------------------------- paper

struct PaperCase
{
    TRpPaperSize size;
    double width;
    double length;
    const char *caption;
};

class PaperTable : public testing::TestWithParam<PaperCase>
{
};

TEST_P(PaperTable, SetsPortraitAndSwappedLandscapeDimensions)
{
    const PaperCase &c = GetParam();
    TRpPage page;
    page.setUnit(Rp::MM);
    page.setPaperSize(c.size);
    EXPECT_EQ(page.paperSize(), c.size);
    EXPECT_NEAR(page.width(), c.width, 1e-9);
    EXPECT_NEAR(page.length(), c.length, 1e-9);
    page.setOrientation(RpPaper::poLandscape);
    EXPECT_NEAR(page.width(), c.length, 1e-9);
    EXPECT_NEAR(page.length(), c.width, 1e-9);
    EXPECT_EQ(paperSizeCaption(c.size), QString::fromLatin1(c.caption));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PaperTable,
                         testing::Values(PaperCase{RpPaper::Letter, 215.9, 279.4, "Letter 8 1/2 x 11 in"},
                                         PaperCase{RpPaper::Ledger, 431.8, 279.4, "Ledger 17 x 11 in"},
                                         PaperCase{RpPaper::Executive, 190.5, 254, "Executive7 1/2 x 10 in"},
                                         PaperCase{RpPaper::A3, 297, 420, "A3 297 x 420 mm"},
                                         PaperCase{RpPaper::A5, 148, 210, "A5 148 x 210 mm"},
                                         PaperCase{RpPaper::Quarto, 215, 275, "Quarto 215 x 275 mm"},
                                         PaperCase{RpPaper::Note, 215.9, 279, "Note 8 1/2 x 11 in"},
                                         PaperCase{RpPaper::Env9, 98.43, 225.4, "Envelope #9 3 7/8 x 8 7/8"},
                                         PaperCase{RpPaper::Env12, 101.6, 279.4, "Envelope #12 4 \\276 x 11"},
                                         PaperCase{RpPaper::ESheet, 100, 100, "E size sheet"}));

TEST(PaperTable, DefaultAndCustomKeepTheDimensionsAndCustomAloneTakesNewOnes)
{
    TRpPage page;
    page.setPaperSize(RpPaper::Default);
    EXPECT_DOUBLE_EQ(page.width(), 210);
    page.setPaperSize(RpPaper::A4);
    page.setWidth(100); // not Custom: ignored
    EXPECT_DOUBLE_EQ(page.width(), 210);
    page.setPaperSize(RpPaper::Custom);
    page.setWidth(100);
    page.setLength(0); // not above 0: ignored
    page.setLength(-5);
    EXPECT_DOUBLE_EQ(page.width(), 100);
    EXPECT_DOUBLE_EQ(page.length(), 297);
    EXPECT_EQ(paperSizeCaption(RpPaper::Custom), QStringLiteral("Custom Size"));
    EXPECT_EQ(paperSizeCaption(TRpPaperSize(99)), QString());
}

TEST(PageColumns, WidthIsRoundedDownAndImpossibleCountsAreIgnored)
{
    TRpPage page; // A4, 10 mm margins: printable 1900 native units
    page.setUnit(Rp::Native);
    page.setColumnSpace(100);
    page.setColumns(3);
    EXPECT_EQ(page.columns(), 3);
    EXPECT_EQ(double(page.columnWidth()), 566); // (1900 - 200) / 3 = 566.67
    page.setColumns(0);
    page.setColumns(-2);
    page.setColumns(20); // 20 columns with 100 of space each leave nothing
    EXPECT_EQ(page.columns(), 3);
    EXPECT_DOUBLE_EQ(double(page.printableWidth()), 1900);
}

// ---------------------------------------------------------------- units

struct UnitCase
{
    TRpUnit unit;
    Axis axis;
    long double native;
    long double shown;
};

class UnitConversion : public testing::TestWithParam<UnitCase>
{
};

TEST_P(UnitConversion, ConvertsBothWays)
{
    const UnitCase &c = GetParam();
    const UnitContext context{c.unit, 96, 200, 10};
    EXPECT_NEAR(double(nativeToUnit(c.native, context, c.axis)), double(c.shown), 1e-9);
    EXPECT_NEAR(double(unitToNative(c.shown, context, c.axis)), double(c.native), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Units, UnitConversion,
                         testing::Values(UnitCase{Rp::MM, Axis::Horizontal, 2100, 210},
                                         UnitCase{Rp::Inches, Axis::Vertical, 254, 1},
                                         UnitCase{Rp::Native, Axis::Horizontal, 17, 17},
                                         // 96 pixels per inch at 200 %: one inch is 192 pixels
                                         UnitCase{Rp::Pixels, Axis::Horizontal, 254, 192},
                                         // 10 points: CW = 80 / 10 / 2.54, CH = 145.3 / 10 / 2.54
                                         UnitCase{Rp::Characters, Axis::Horizontal, 31.496062992125984L, 1},
                                         UnitCase{Rp::Characters, Axis::Vertical, 57.204724409448819L, 1}));

TEST(UnitConversion, OddSettingsNeverDivideByZero)
{
    const UnitContext noScreen{Rp::Pixels, 0, 0, 0};
    EXPECT_NEAR(double(nativeToUnit(254, noScreen, Axis::Horizontal)), 96, 1e-9);
    const UnitContext noFont{Rp::Characters, 96, 100, -3};
    EXPECT_NEAR(double(nativeToUnit(31.496062992125984L, noFont, Axis::Horizontal)), 1, 1e-9);
    EXPECT_EQ(usableResolution(0), 96);
    EXPECT_EQ(usableResolution(-1), 96);

    ReportFont font;
    font.setSize(0);
    EXPECT_EQ(font.size(), 10);
    font.setSize(-4);
    EXPECT_EQ(font.size(), 10);
    font.setHeight(0);
    EXPECT_EQ(font.size(), 10);
}

TEST(UnitConversion, ReportUnitsReachPageBandsAndElements)
{
    TRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    auto *element = new TRpPrintable(band);
    element->size()->setWidth(25.4);
    report.setUnits(Rp::Inches);
    EXPECT_DOUBLE_EQ(report.page()->width(), 210 / 25.4);
    EXPECT_EQ(band->size()->unit(), Rp::Inches);
    EXPECT_NEAR(element->size()->width(), 1, 1e-12);
    report.setZoom(0);
    report.setZoom(301);
    EXPECT_EQ(report.zoom(), 100);
    report.setZoom(200);
    EXPECT_EQ(element->zoom(), 200);
    EXPECT_EQ(element->width(), 192);
}

struct FrameCase
{
    int width;
    double devicePerNative;
    int thickness;
};

class FrameStrip : public testing::TestWithParam<FrameCase>
{
};

TEST_P(FrameStrip, ThicknessInDeviceUnits)
{
    EXPECT_EQ(frameStripThickness(GetParam().width, GetParam().devicePerNative), GetParam().thickness);
}

INSTANTIATE_TEST_SUITE_P(Widths, FrameStrip,
                         testing::Values(FrameCase{1, 600.0 / 254, 8}, FrameCase{-1, 600.0 / 254, 1},
                                         FrameCase{1, 0.01, 1}, FrameCase{0, 600.0 / 254, 0},
                                         FrameCase{3, 96.0 / 254, 4}));

} // namespace
