#include "report/files/DesignerSettings.h"
#include "platform/IniFile.h"
#include "report/files/ReportFile.h"
#include "support/FakePrinter.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TRpDesignerSettings readText(
    const QByteArray &text, TRpDesignerSettings::Sections sections = TRpDesignerSettings::Sections::All)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RPDESIGN.INI"));
    TestSupport::writeFile(path, text);
    IniFile file(path);
    return TRpDesignerSettings::read(file, sections, QStringLiteral("/opt/quillot"));
}

struct SettingCase
{
    const char *name;
    const char *text;
    std::function<void(const TRpDesignerSettings &)> check;
};

class DesignerSettingsRead : public testing::TestWithParam<SettingCase>
{
};

TEST_P(DesignerSettingsRead, TakesValidValuesAndTreatsOthersAsMissing)
{
    GetParam().check(readText(GetParam().text));
}

const SettingCase kSettingCases[] = {
    { "MissingFileKeepsEverything", "",
        [](const TRpDesignerSettings &s) {
            EXPECT_FALSE(s.paperSize);
            EXPECT_FALSE(s.printerCopies);
            EXPECT_FALSE(s.units);
            EXPECT_TRUE(s.history.isEmpty());
        } },
    { "PaperSizeOrdinal", "[Printer]\nPaperSize=9\n",
        [](const TRpDesignerSettings &s) { EXPECT_EQ(s.paperSize, RpPaper::A4); } },
    { "PaperSizeTooLarge", "[Printer]\nPaperSize=28\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.paperSize); } },
    { "PaperSizeNegative", "[Printer]\nPaperSize=-1\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.paperSize); } },
    { "OrientationOrdinal", "[Printer]\nPageOrientation=1\n",
        [](const TRpDesignerSettings &s) { EXPECT_EQ(s.pageOrientation, RpPaper::poLandscape); } },
    { "OrientationOutOfRange", "[Printer]\nPageOrientation=2\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.pageOrientation); } },
    { "BinOrdinal", "[Printer]\nPrinterBin=13\n",
        [](const TRpDesignerSettings &s) { EXPECT_EQ(s.printerBin, RpPaper::Last); } },
    { "BinOutOfRange", "[Printer]\nPrinterBin=14\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.printerBin); } },
    { "Copies", "[Printer]\nPrinterCopies=3\n",
        [](const TRpDesignerSettings &s) { EXPECT_EQ(s.printerCopies, 3); } },
    { "CopiesBelowOne", "[Printer]\nPrinterCopies=0\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.printerCopies); } },
    { "CopiesNotANumber", "[Printer]\nPrinterCopies=two\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.printerCopies); } },
    { "CustomPaper", "[Printer]\nPaperSize=27\nCustomPaperWidth=100,5\nCustomPaperLength=200.25\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_EQ(s.customPaperWidth, 100.5);
            EXPECT_EQ(s.customPaperLength, 200.25);
        } },
    { "CustomPaperOnlyForCustomSize", "[Printer]\nPaperSize=9\nCustomPaperWidth=100\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.customPaperWidth); } },
    { "CustomPaperZeroOrLess", "[Printer]\nPaperSize=27\nCustomPaperWidth=0\nCustomPaperLength=-3\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_FALSE(s.customPaperWidth);
            EXPECT_FALSE(s.customPaperLength);
        } },
    { "CustomPaperStopsAtTheFirstUnreadableNumber",
        "[Printer]\nPaperSize=27\nCustomPaperWidth=wide\nCustomPaperLength=20\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_FALSE(s.customPaperWidth);
            EXPECT_FALSE(s.customPaperLength);
        } },
    { "UnitsAboveFourReadAsZero", "[Display]\nUnits=7\n",
        [](const TRpDesignerSettings &s) { EXPECT_EQ(s.units, 0); } },
    { "UnitsInRange", "[Display]\nUnits=3\n", [](const TRpDesignerSettings &s) { EXPECT_EQ(s.units, 3); } },
    { "NegativeUnits", "[Display]\nUnits=-1\n", [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.units); } },
    { "BackupExtension", "[General]\nBackupFileExtension=.OLD\n",
        [](const TRpDesignerSettings &s) { EXPECT_EQ(s.backupFileExtension, QStringLiteral(".OLD")); } },
    { "BackupExtensionWithoutDot", "[General]\nBackupFileExtension=OLD\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.backupFileExtension); } },
    { "BackupExtensionTooLong", "[General]\nBackupFileExtension=.ABCDEFGHIJK\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.backupFileExtension); } },
    { "BackupExtensionWithAFolder", "[General]\nBackupFileExtension=./../x\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.backupFileExtension); } },
    { "BackupExtensionJustADot", "[General]\nBackupFileExtension=.\n",
        [](const TRpDesignerSettings &s) { EXPECT_FALSE(s.backupFileExtension); } },
    { "Booleans", "[General]\nSaveLoadPrinterSetup=1\nUseDatamodules=0\nUndoEnabled=x\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_EQ(s.saveLoadPrinterSetup, true);
            EXPECT_EQ(s.useDatamodules, false);
            EXPECT_FALSE(s.undoEnabled);
        } },
    { "FilesWithoutAFolderAreInTheProgramsFolder", "[General]\nLanguagefile=fr.lng\nHelpfile=/doc/help.hlp\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_EQ(s.languageFile, QStringLiteral("/opt/quillot/fr.lng"));
            EXPECT_EQ(s.helpFile, QStringLiteral("/doc/help.hlp"));
        } },
    { "FrameStyleRange", "[Display]\nComponentFrameStyle=3\nComponentFrameColor=255\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_FALSE(s.componentFrameStyle);
            EXPECT_EQ(s.componentFrameColor, 255);
        } },
    { "HistoryStopsAtTheFirstMissingKey", "[History]\nHistory1=a.rp2\nHistory2=b.rp2\nHistory4=d.rp2\n",
        [](const TRpDesignerSettings &s) {
            EXPECT_EQ(s.history, QStringList({ QStringLiteral("a.rp2"), QStringLiteral("b.rp2") }));
        } },
};

INSTANTIATE_TEST_SUITE_P(Keys, DesignerSettingsRead, testing::ValuesIn(kSettingCases),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DesignerSettings, ThePrintWindowReadsOnlyGeneralAndPrinter)
{
    const TRpDesignerSettings s
        = readText("[Display]\nUnits=1\n[User]\nAllowSQLEdit=1\n[General]\nUndoEnabled=1\n"
                   "[Printer]\nDuplex=1\n[History]\nHistory1=a\n",
            TRpDesignerSettings::Sections::PrintWindow);
    EXPECT_FALSE(s.units);
    EXPECT_FALSE(s.allowSQLEdit);
    EXPECT_TRUE(s.history.isEmpty());
    EXPECT_EQ(s.undoEnabled, true);
    EXPECT_EQ(s.duplex, true);
}

TEST(DesignerSettings, PrinterSettingsGoToTheReport)
{
    FakePrinterInstall install;
    ReportFileEngine engine;
    TDesignRpReport &report = *engine.report();
    report.setUnits(Rp::MM);
    const TRpDesignerSettings s = readText("[Printer]\nPrinterName=fake inkjet\nDuplex=1\nPrinterCopies=4\n"
                                           "PrinterBin=4\nPageOrientation=1\nPaperSize=27\n"
                                           "CustomPaperWidth=100\nCustomPaperLength=150\n");
    s.applyPrinter(report);
    EXPECT_EQ(report.printerSettings()->printerIndex(), 1);
    EXPECT_TRUE(report.printerSettings()->duplex());
    EXPECT_EQ(report.printerSettings()->copies(), 4);
    EXPECT_EQ(report.printerSettings()->outputBin(), RpPaper::Manual);
    EXPECT_EQ(report.page()->orientation(), RpPaper::poLandscape);
    EXPECT_EQ(report.page()->paperSize(), RpPaper::Custom);
    EXPECT_EQ(report.page()->nativeWidth(), 1000);
    EXPECT_EQ(report.page()->nativeLength(), 1500);
}

TEST(DesignerSettings, OutOfRangeValuesLeaveTheReportAlone)
{
    ReportFileEngine engine;
    TDesignRpReport &report = *engine.report();
    const RpPaper::TRpPaperSize paper = report.page()->paperSize();
    const TRpDesignerSettings s = readText("[Printer]\nPrinterName=nowhere\nPrinterCopies=-2\nPrinterBin=99\n"
                                           "PageOrientation=5\nPaperSize=200\n");
    s.applyPrinter(report);
    EXPECT_EQ(report.printerSettings()->printerIndex(), -1);
    EXPECT_EQ(report.printerSettings()->copies(), 1);
    EXPECT_EQ(report.printerSettings()->outputBin(), RpPaper::Auto);
    EXPECT_EQ(report.page()->orientation(), RpPaper::poPortrait);
    EXPECT_EQ(report.page()->paperSize(), paper);
}

TEST(DesignerSettings, GeneralSettingsGoToTheEngine)
{
    ReportFileEngine engine;
    readText("[General]\nSaveLoadPrinterSetup=1\nUseDatamodules=0\nSaveBackupFiles=1\n"
             "BackupFileExtension=.SIK\nReportFileExtension=.REP\n")
        .applyGeneral(engine);
    EXPECT_TRUE(engine.saveLoadPrinterSetup());
    EXPECT_FALSE(engine.useDatamodules());
    EXPECT_TRUE(engine.saveBackupFiles());
    EXPECT_EQ(engine.backupFileExtension(), QStringLiteral(".SIK"));
    EXPECT_EQ(engine.reportFileExtension(), QStringLiteral(".REP"));
}

} // namespace
