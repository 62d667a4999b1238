#include "platform/IniFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(IniFile, SectionsAndKeysIgnoreCaseAndValuesStayAsTheyStand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RPDESIGN.INI"));
    TestSupport::writeFile(path, "; settings\r\n[Preferences]\r\nUnits = 1 \r\nLast=\"C:\\a b\" ; x\r\n\r\n"
                                 "[Files]\r\nFile1=one.rp2\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger(QStringLiteral("PREFERENCES"), QStringLiteral("units"), 0), 1);
    EXPECT_EQ(ini.readString(QStringLiteral("preferences"), QStringLiteral("LAST")),
              QStringLiteral("\"C:\\a b\" ; x"));
    EXPECT_EQ(ini.readString(QStringLiteral("Files"), QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.sections(), (QStringList{QStringLiteral("Preferences"), QStringLiteral("Files")}));
    EXPECT_EQ(ini.keys(QStringLiteral("files")), QStringList{QStringLiteral("File1")});
}

TEST(IniFile, UpdateKeepsUntouchedLinesAndAddsKeysToTheirSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RPDESIGN.INI"));
    TestSupport::writeFile(path, "; settings\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    IniFile ini(path);
    ini.writeInteger(QStringLiteral("a"), QStringLiteral("z"), 3);
    ini.writeString(QStringLiteral("B"), QStringLiteral("Y"), QStringLiteral("two"));
    ini.writeBool(QStringLiteral("C"), QStringLiteral("on"), true);
    ini.updateFile();
    EXPECT_EQ(TestSupport::readFile(path),
              QByteArray("; settings\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=two\r\n[C]\r\non=1\r\n"));
    IniFile again(path);
    EXPECT_TRUE(again.readBool(QStringLiteral("c"), QStringLiteral("ON"), false));
    again.deleteKey(QStringLiteral("a"), QStringLiteral("X"));
    again.eraseSection(QStringLiteral("b"));
    EXPECT_FALSE(again.valueExists(QStringLiteral("A"), QStringLiteral("x")));
    EXPECT_FALSE(again.sectionExists(QStringLiteral("B")));
}

TEST(IniFile, BadNumbersGiveTheDefaultAndAMissingFileIsEmpty)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_TRUE(ini.sections().isEmpty());
    ini.writeString(QStringLiteral("S"), QStringLiteral("n"), QStringLiteral("12abc"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("n"), 7), 7);
    ini.writeString(QStringLiteral("S"), QStringLiteral("n"), QStringLiteral("0x1F"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("n"), 7), 31);
}


TEST(IniFile, ReadsWindows1252WhenTheFileIsNotUtf8)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RPDESIGN.INI"));
    TestSupport::writeFile(path, QByteArray("[History]\r\nHistory1=C:\\\xC9tats\\Relev\xE9.RP2\r\n"));
    IniFile latin(path);
    EXPECT_EQ(latin.readString(QStringLiteral("History"), QStringLiteral("History1")),
              QStringLiteral("C:\\États\\Relevé.RP2"));
    TestSupport::writeFile(path, QByteArray("[History]\r\nHistory1=Relev\xC3\xA9.RP2\r\n"));
    IniFile utf8(path);
    EXPECT_EQ(utf8.readString(QStringLiteral("History"), QStringLiteral("History1")), QStringLiteral("Relevé.RP2"));
}

} // namespace
