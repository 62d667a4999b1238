#include "report/model/PrinterSettings.h"
#include "report/pages/RpPrintDialog.h"
#include "report/pages/RpPrinter.h"
#include "support/FakePrinter.h"

#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------- reading from the printer

struct ReadCase
{
    const char *name;
    std::function<void(FakePrinter &)> shape;
    std::function<void(const TPrinterSettings &)> check;
};

class PrinterSettingsRead : public testing::TestWithParam<ReadCase>
{
};

TEST_P(PrinterSettingsRead, TakesEachFieldFromThePrinter)
{
    FakePrinter printer;
    GetParam().shape(printer);
    TPrinterSettings settings;
    settings.printer = &printer;
    settings.ReadPrinterSettings();
    GetParam().check(settings);
}

const ReadCase kReadCases[] = {
    { "Names",
        [](FakePrinter &p) { p.driver = QStringLiteral("/opt/drivers/") + QString(80, u'd') + ".drv"; },
        [](const TPrinterSettings &s) {
            EXPECT_EQ(s.device, QStringLiteral("Fake Laser"));
            EXPECT_EQ(s.driver.size(), TPrinterSettings::kDriverNameLength);
            EXPECT_TRUE(s.driver.startsWith(QStringLiteral("ddd")));
            EXPECT_EQ(s.port, QStringLiteral("LPT1:"));
        } },
    { "Resolution",
        [](FakePrinter &p) {
            p.dpiX = 300;
            p.dpiY = 600;
        },
        [](const TPrinterSettings &s) {
            EXPECT_EQ(s.pixelsPerInchX, 300);
            EXPECT_EQ(s.pixelsPerInchY, 600);
        } },
    { "CopiesWhenSupported", [](FakePrinter &p) { p.mode.copies = 4; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.copies, 4); } },
    { "CopiesOneWhenNotSupported",
        [](FakePrinter &p) {
            p.mode.copies = 4;
            p.copiesSupported = false;
        },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.copies, 1); } },
    { "BinCode14IsCassetteNeverLast", [](FakePrinter &p) { p.mode.defaultSource = 14; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.outputBin, RpPaper::Cassette); } },
    { "BinCode1IsFirst", [](FakePrinter &p) { p.mode.defaultSource = 1; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.outputBin, RpPaper::First); } },
    { "UnknownBinCodeIsFirst", [](FakePrinter &p) { p.mode.defaultSource = 99; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.outputBin, RpPaper::First); } },
    { "BinIsFirstWithoutPaperSources",
        [](FakePrinter &p) {
            p.mode.defaultSource = 4;
            p.sourcesSupported = false;
        },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.outputBin, RpPaper::First); } },
    { "DuplexHorizontal", [](FakePrinter &p) { p.mode.duplex = 3; },
        [](const TPrinterSettings &s) { EXPECT_TRUE(s.duplex); } },
    { "DuplexVertical", [](FakePrinter &p) { p.mode.duplex = 2; },
        [](const TPrinterSettings &s) { EXPECT_TRUE(s.duplex); } },
    { "Simplex", [](FakePrinter &p) { p.mode.duplex = 1; },
        [](const TPrinterSettings &s) { EXPECT_FALSE(s.duplex); } },
    { "NoDuplexWithoutSupport",
        [](FakePrinter &p) {
            p.mode.duplex = 3;
            p.duplexSupported = false;
        },
        [](const TPrinterSettings &s) { EXPECT_FALSE(s.duplex); } },
    { "Offsets",
        [](FakePrinter &p) {
            p.offsetX = 100;
            p.offsetY = 300;
        },
        [](const TPrinterSettings &s) {
            EXPECT_EQ(s.leftOffset, 42); // round(100 / 600 × 254)
            EXPECT_EQ(s.topOffset, 127);
        } },
    { "PaperByCode", [](FakePrinter &p) { p.mode.paperSize = 1; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.paperSize, RpPaper::Letter); } },
    { "CustomPaperCode", [](FakePrinter &p) { p.mode.paperSize = 256; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.paperSize, RpPaper::Custom); } },
    { "UnknownPaperCodeIsDefault", [](FakePrinter &p) { p.mode.paperSize = 300; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.paperSize, RpPaper::Default); } },
    { "PaperDefaultWithoutSizeSupport", [](FakePrinter &p) { p.sizesSupported = false; },
        [](const TPrinterSettings &s) { EXPECT_EQ(s.paperSize, RpPaper::Default); } },
    { "PaperDimensions", [](FakePrinter &) {},
        [](const TPrinterSettings &s) {
            EXPECT_EQ(s.paperWidth, 2100); // round(4960 / 600 × 254)
            EXPECT_EQ(s.paperLength, 2970);
        } },
    { "SupportedSizes",
        [](FakePrinter &p) {
            p.paperCodes = { 1, 9, 12345 };
        },
        [](const TPrinterSettings &s) {
            for (int i = 0; i < kPaperSizeCount; ++i) {
                const auto size = TRpPaperSize(i);
                const bool expected
                    = size == RpPaper::Letter || size == RpPaper::A4 || size == RpPaper::Custom;
                EXPECT_EQ(s.PaperSupported(size), expected) << i;
            }
        } },
};

INSTANTIATE_TEST_SUITE_P(Fields, PrinterSettingsRead, testing::ValuesIn(kReadCases),
    [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- writing to the printer

TEST(PrinterSettingsWrite, WritesEveryFieldAndMarksIt)
{
    FakePrinter printer;
    printer.mode.defaultSource = 256 | 2;
    printer.mode.duplex = 2;
    TPrinterSettings settings;
    settings.printer = &printer;
    settings.ReadPrinterSettings();
    settings.SetPaperSize(RpPaper::Letter);
    settings.SetCopies(3);
    settings.SetOutputBin(RpPaper::Cassette);
    settings.SetOrientation(RpPaper::poLandscape);
    settings.duplex = false;
    settings.collate = false;
    settings.WriteDeviceSettings();

    const TRpDeviceMode &m = printer.mode;
    EXPECT_EQ(m.paperSize, 1);
    EXPECT_EQ(m.copies, 3);
    EXPECT_EQ(m.defaultSource, 256 | 14) << "the 256 bit of the previous source stays";
    EXPECT_EQ(m.orientation, TRpDeviceMode::kLandscape);
    EXPECT_EQ(m.duplex, 2) << "duplex off leaves the record's mode alone";
    EXPECT_FALSE(m.collate);
    const unsigned marked = TRpDeviceMode::dmPaperSize | TRpDeviceMode::dmCopies
        | TRpDeviceMode::dmDefaultSource | TRpDeviceMode::dmOrientation | TRpDeviceMode::dmCollate;
    EXPECT_EQ(m.fields & marked, marked);
    EXPECT_EQ(
        m.fields & (TRpDeviceMode::dmPaperLength | TRpDeviceMode::dmPaperWidth | TRpDeviceMode::dmDuplex),
        0u);
}

TEST(PrinterSettingsWrite, CustomPaperWritesItsDimensionsAndDuplexIsHorizontal)
{
    FakePrinter printer;
    TPrinterSettings settings;
    settings.printer = &printer;
    settings.ReadPrinterSettings();
    settings.SetPaperSize(RpPaper::Custom);
    settings.SetPaperWidth(1234.4);
    settings.SetPaperLength(2345.6);
    settings.duplex = true;
    settings.WriteDeviceSettings();

    EXPECT_EQ(printer.mode.paperSize, 256);
    EXPECT_EQ(printer.mode.paperWidth, 1234);
    EXPECT_EQ(printer.mode.paperLength, 2346);
    EXPECT_EQ(printer.mode.duplex, TRpDeviceMode::kDuplexHorizontal);
    EXPECT_TRUE(printer.mode.fields & TRpDeviceMode::dmPaperWidth);
    EXPECT_TRUE(printer.mode.fields & TRpDeviceMode::dmPaperLength);
    EXPECT_TRUE(printer.mode.fields & TRpDeviceMode::dmDuplex);
}

TEST(PrinterSettingsWrite, DefaultPaperLeavesThePrintersPaperCodeAlone)
{
    FakePrinter printer;
    printer.mode.paperSize = 11;
    TPrinterSettings settings;
    settings.printer = &printer;
    settings.SetPaperSize(RpPaper::Default);
    settings.WriteDeviceSettings();
    EXPECT_EQ(printer.mode.paperSize, 11);
    EXPECT_FALSE(printer.mode.fields & TRpDeviceMode::dmPaperSize);
}

// ---------------------------------------------------------------- setters and what the printer supports

TEST(PrinterSettingsSetters, IgnoreWhatThePrinterDoesNotSupport)
{
    FakePrinter printer;
    printer.copiesSupported = printer.orientationSupported = printer.sourcesSupported = false;
    printer.paperCodes = { 9 };
    TPrinterSettings settings;
    settings.printer = &printer;
    settings.ReadPrinterSettings();
    const TPrinterSettings before = settings;

    settings.SetCopies(5);
    settings.SetOrientation(RpPaper::poLandscape);
    settings.SetOutputBin(RpPaper::Manual);
    settings.SetPaperSize(RpPaper::Letter);
    settings.SetPaperWidth(100);
    EXPECT_EQ(settings.copies, before.copies);
    EXPECT_EQ(settings.orientation, before.orientation);
    EXPECT_EQ(settings.outputBin, before.outputBin);
    EXPECT_EQ(settings.paperSize, RpPaper::A4);
    EXPECT_EQ(settings.paperWidth, before.paperWidth) << "width is set only for a custom size";

    settings.SetPaperSize(RpPaper::Custom);
    EXPECT_EQ(settings.paperSize, RpPaper::Custom) << "a custom size always counts as supported";
    settings.SetPaperWidth(100);
    EXPECT_EQ(settings.paperWidth, 100);
    settings.SetPaperSize(RpPaper::Default);
    EXPECT_EQ(settings.paperSize, RpPaper::Default);
}

TEST(PrinterSettingsSetters, WithoutAPrinterOnlyDefaultIsTaken)
{
    TPrinterSettings settings;
    settings.SetPaperSize(RpPaper::Letter);
    settings.SetCopies(3);
    settings.SetOrientation(RpPaper::poLandscape);
    EXPECT_EQ(settings.paperSize, RpPaper::A4);
    EXPECT_EQ(settings.copies, 1);
    EXPECT_EQ(settings.orientation, RpPaper::poPortrait);
    EXPECT_FALSE(settings.PaperSupported(RpPaper::Custom));
    settings.SetPaperSize(RpPaper::Default);
    EXPECT_EQ(settings.paperSize, RpPaper::Default);
}

TEST(PrinterDeviceCodes, MapBothWaysTakingTheFirstMatch)
{
    EXPECT_EQ(RpDeviceCodes::paperCode(RpPaper::Default), 0);
    EXPECT_EQ(RpDeviceCodes::paperCode(RpPaper::ESheet), 26);
    EXPECT_EQ(RpDeviceCodes::paperCode(RpPaper::Custom), 256);
    TRpBin bin = RpPaper::Auto;
    ASSERT_TRUE(RpDeviceCodes::binFromCode(1, bin));
    EXPECT_EQ(bin, RpPaper::First);
    EXPECT_EQ(RpDeviceCodes::binCode(RpPaper::Upper), 1);
    EXPECT_EQ(RpDeviceCodes::binCode(RpPaper::LargeCapacity), 11);
    EXPECT_EQ(RpDeviceCodes::binCode(RpPaper::Last), 14);
    EXPECT_FALSE(RpDeviceCodes::binFromCode(12, bin));
    TRpPaperSize size = RpPaper::A4;
    EXPECT_FALSE(RpDeviceCodes::paperFromCode(27, size));
}

// ---------------------------------------------------------------- the store's printer

TEST(PageStorePrinter, AStoreWithoutPrintersKeepsA4AndSupportsNothing)
{
    TRpPrinter store;
    EXPECT_FALSE(store.printerAvailable());
    EXPECT_EQ(store.printerSettings().paperSize, RpPaper::A4);
    store.setPrinterIndex(1);
    EXPECT_EQ(store.printerIndex(), -1);
}

TEST(PageStorePrinter, ANewStoreStartsWithTheApplicationsPrinterAndReadsIt)
{
    FakePrinterInstall install([](FakePrinter &p) {
        p.defaults.paperSize = 1;
        p.mode = p.defaults;
    });
    TRpPrinter::applicationPrinter()->SetPrinterIndex(1);
    TRpPrinter store;
    ASSERT_TRUE(store.printerAvailable());
    EXPECT_EQ(store.printerIndex(), 1);
    EXPECT_EQ(store.printerSettings().device, QStringLiteral("Fake Inkjet"));
    EXPECT_EQ(store.printerSettings().paperSize, RpPaper::Letter);
}

TEST(PageStorePrinter, SelectingAPrinterResetsItToTheDriversDefaults)
{
    FakePrinterInstall install;
    TRpPrinter store;
    FakePrinter *printer = install.last();
    printer->mode.copies = 7;
    printer->defaults.paperSize = 11;
    store.setPrinterIndex(-1);
    EXPECT_EQ(printer->selected, 0);
    EXPECT_EQ(printer->mode, printer->defaults);
    EXPECT_EQ(store.printerSettings().paperSize, RpPaper::A5);
    EXPECT_EQ(store.printerSettings().copies, 1);
}

TEST(PageStorePrinter, AStoreWhosePrinterListIsEmptyHasNoPrinter)
{
    FakePrinterInstall install([](FakePrinter &p) { p.printers.clear(); });
    TRpPrinter store;
    EXPECT_FALSE(store.printerAvailable());
    EXPECT_EQ(store.printerSettings().paperSize, RpPaper::A4);
}

// ---------------------------------------------------------------- the print dialog

class PrintDialogExecute : public testing::Test
{
protected:
    void SetUp() override
    {
        TRpPrintDialog::setRunner([this](TRpPrintDialogRequest &request) {
            seen = request;
            if (answer)
                answer(request);
            return confirm;
        });
    }
    void TearDown() override { TRpPrintDialog::setRunner({}); }

    TRpPrintDialogRequest seen;
    std::function<void(TRpPrintDialogRequest &)> answer;
    bool confirm = true;
};

TEST_F(PrintDialogExecute, FillsThePlatformDialogFromTheFieldsAndThePrinter)
{
    FakePrinter printer;
    printer.mode.copies = 2;
    TRpPrintDialog dialog;
    dialog.setPrinter(&printer);
    dialog.setOptions(RpPrintDialogTypes::poPageNums | RpPrintDialogTypes::poWarning);
    dialog.setMinPage(1);
    dialog.setMaxPage(12);
    dialog.setFromPage(1);
    dialog.setToPage(12);
    dialog.setCopies(3);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(seen.printers, printer.printers);
    EXPECT_EQ(seen.printerIndex, 0);
    EXPECT_EQ(seen.mode.copies, 2);
    EXPECT_EQ(seen.options, RpPrintDialogTypes::poPageNums | RpPrintDialogTypes::poWarning);
    EXPECT_EQ(seen.minPage, 1);
    EXPECT_EQ(seen.maxPage, 12);
    EXPECT_EQ(seen.toPage, 12);
    EXPECT_EQ(seen.copies, 3);
}

TEST_F(PrintDialogExecute, ConfirmedTakesThePrinterTheRangeAndTheCollateChoice)
{
    FakePrinter printer;
    TRpPrintDialog dialog;
    dialog.setPrinter(&printer);
    answer = [](TRpPrintDialogRequest &r) {
        r.printerIndex = 1;
        r.mode.orientation = TRpDeviceMode::kLandscape;
        r.printRange = RpPrintDialogTypes::prPageNums;
        r.fromPage = 2;
        r.toPage = 5;
        r.collate = true;
        r.printToFile = true;
        r.copies = 3;
    };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(printer.selected, 1);
    EXPECT_EQ(printer.mode.orientation, TRpDeviceMode::kLandscape);
    EXPECT_EQ(dialog.printRange(), RpPrintDialogTypes::prPageNums);
    EXPECT_EQ(dialog.fromPage(), 2);
    EXPECT_EQ(dialog.toPage(), 5);
    EXPECT_TRUE(dialog.collate());
    EXPECT_TRUE(dialog.printToFile());
    EXPECT_EQ(dialog.copies(), 3);
    EXPECT_EQ(printer.mode.copies, 3);
}

TEST_F(PrintDialogExecute, ADriverThatKeepsItsCopiesReportsOneAndItsOwnCountWins)
{
    FakePrinter printer;
    TRpPrintDialog dialog;
    dialog.setPrinter(&printer);
    answer = [](TRpPrintDialogRequest &r) {
        r.copies = 1;
        r.mode.copies = 4;
    };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.copies(), 4);
    EXPECT_EQ(printer.mode.copies, 4);
}

TEST_F(PrintDialogExecute, CancelledChangesNothing)
{
    FakePrinter printer;
    TRpPrintDialog dialog;
    dialog.setPrinter(&printer);
    dialog.setCopies(2);
    confirm = false;
    answer = [](TRpPrintDialogRequest &r) {
        r.printerIndex = 1;
        r.copies = 9;
        r.printRange = RpPrintDialogTypes::prSelection;
    };
    const QStringList logBefore = printer.log;
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(printer.selected, 0);
    EXPECT_EQ(dialog.copies(), 2);
    EXPECT_EQ(dialog.printRange(), RpPrintDialogTypes::prAllPages);
    EXPECT_EQ(printer.log, logBefore);
}

TEST_F(PrintDialogExecute, WithoutAPrinterOrAPlatformDialogIsNotConfirmed)
{
    TRpPrintDialog dialog;
    dialog.setPrinter(nullptr);
    EXPECT_FALSE(dialog.Execute());
    FakePrinter printer;
    dialog.setPrinter(&printer);
    TRpPrintDialog::setRunner({});
    EXPECT_FALSE(dialog.Execute());
}

TEST(PrintDialogDefaults, ComponentsStartAsPublished)
{
    TRpPrintDialog dialog;
    EXPECT_TRUE(dialog.ctl3D());
    EXPECT_EQ(dialog.helpContext(), 0);
    EXPECT_FALSE(dialog.collate());
    EXPECT_EQ(dialog.copies(), 0);
    EXPECT_EQ(dialog.options(), TPrintDialogOptions());
    EXPECT_EQ(dialog.printRange(), RpPrintDialogTypes::prAllPages);
    EXPECT_EQ(dialog.maxPage(), 0);

    TRpReportPrinterSettings base;
    EXPECT_EQ(base.paperSize(), RpPaper::Letter);
    EXPECT_EQ(base.copies(), 1);
    EXPECT_EQ(base.printerIndex(), -1);
    EXPECT_EQ(base.outputBin(), RpPaper::Auto);
    EXPECT_TRUE(base.collate());
}

} // namespace
