#include "designer/FileHistory.h"
#include "designer/LanguageFile.h"
#include "designer/RuntimeMessages.h"
#include "widgets/DialogRecorder.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(MessageTable, MissingKeysShowInBrackets)
{
    const RpMessageTable table = RpMessageTable::designerDefaults();
    EXPECT_EQ(table.text(QStringLiteral("Delete band")),
        QStringLiteral("Delete selected band and all elements on it?"));
    EXPECT_EQ(table.text(QStringLiteral("DELETE BAND")), table.text(QStringLiteral("Delete band")));
    EXPECT_EQ(table.text(QStringLiteral("NoSuchKey")), QStringLiteral("[NoSuchKey]"));
    EXPECT_EQ(table.text(QStringLiteral("No databases available")), QStringLiteral("No tables available!"));
}

TEST(MessageTable, PatternsTakeTheArgumentLiterally)
{
    RpMessageTable table({ QStringLiteral("Save report=100%d of %s saved? %s %n %x") });
    // Anything but "%s" stays, and an argument holding "%s" is not substituted again.
    EXPECT_EQ(table.format(QStringLiteral("Save report"), QStringLiteral("a%sb.RP2")),
        QStringLiteral("100%d of a%sb.RP2 saved? a%sb.RP2 %n %x"));
    EXPECT_EQ(substitutePattern(QStringLiteral("%"), QStringLiteral("x")), QStringLiteral("%"));
    EXPECT_EQ(substitutePattern(QStringLiteral("%%s"), QStringLiteral("x")), QStringLiteral("%x"));
}

TEST(LanguageFile, ReadsSectionsKeysAndQuotes)
{
    const auto file = TRpLanguageFile::fromText(QByteArrayLiteral("Ignored=before any section\r\n"
                                                                  "[RepFormDB]\r\n"
                                                                  "\r\n"
                                                                  "A.Caption=\"Quoted\"\r\n"
                                                                  "b.caption='x'\r\n"
                                                                  "C.Caption=\"\r\n"
                                                                  "D.Caption=a=b\r\n"
                                                                  "[other]\n"
                                                                  "A.Caption=Other\n"));
    EXPECT_FALSE(file->contains(QStringLiteral("RepFormDB"), QStringLiteral("Ignored")));
    EXPECT_EQ(
        file->value(QStringLiteral("repformdb"), QStringLiteral("a.caption")), QStringLiteral("Quoted"));
    EXPECT_EQ(file->value(QStringLiteral("RepFormDB"), QStringLiteral("B.Caption")), QStringLiteral("x"));
    EXPECT_EQ(file->value(QStringLiteral("RepFormDB"), QStringLiteral("C.Caption")), QStringLiteral("\""));
    EXPECT_EQ(file->value(QStringLiteral("RepFormDB"), QStringLiteral("D.Caption")), QStringLiteral("a=b"));
    EXPECT_EQ(file->value(QStringLiteral("Other"), QStringLiteral("A.Caption")), QStringLiteral("Other"));
}

TEST(LanguageFile, FallsBackToWindows1252)
{
    // "Aperçu" in Windows-1252 is not valid UTF-8.
    const auto cp = TRpLanguageFile::fromText(QByteArray("[S]\nX.Caption=Aper\xE7u\n"));
    EXPECT_EQ(cp->value(QStringLiteral("S"), QStringLiteral("X.Caption")), QStringLiteral("Aperçu"));
    const auto utf = TRpLanguageFile::fromText(QByteArray("[S]\nX.Caption=Aper\xC3\xA7u \xE2\x82\xAC\n"));
    EXPECT_EQ(utf->value(QStringLiteral("S"), QStringLiteral("X.Caption")), QStringLiteral("Aperçu €"));
}

TEST(LanguageFile, TranslatesAWindowAndTheEngineTable)
{
    QDialog window;
    auto *label = new QLabel(QStringLiteral("Old"), &window);
    label->setObjectName(QStringLiteral("Label1"));
    auto *combo = new QComboBox(&window);
    combo->setObjectName(QStringLiteral("ComboUnits"));
    combo->addItems({ QStringLiteral("MM"), QStringLiteral("Inches"), QStringLiteral("Characters") });
    auto *action = new QAction(QStringLiteral("Save"), &window);
    action->setObjectName(QStringLiteral("ASave"));
    RpMessageTable engine({ QStringLiteral("One=1"), QStringLiteral("Two=2"), QStringLiteral("Three=3") });
    const auto file = TRpLanguageFile::fromText(QByteArrayLiteral("[RepFormDB]\n"
                                                                  "RepFormDB.Caption=Concepteur\n"
                                                                  "Label1.Caption=Nouveau\n"
                                                                  "Label1.Hint=Aide\n"
                                                                  "ComboUnits.Item2=Pouces\n"
                                                                  "ComboUnits.Item9=ignored\n"
                                                                  "ASave.Caption=&Enregistrer\n"
                                                                  "RpDesigner1.Item3=Three=Trois\n"
                                                                  "RpDesigner1.Item7=Seven=ignored\n"));
    file->apply(&window, QStringLiteral("RepFormDB"), &engine, QStringLiteral("RpDesigner1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Concepteur"));
    EXPECT_EQ(label->text(), QStringLiteral("Nouveau"));
    EXPECT_EQ(label->toolTip(), QStringLiteral("Aide"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Pouces"));
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(action->text(), QStringLiteral("&Enregistrer"));
    EXPECT_EQ(engine.text(QStringLiteral("Three")), QStringLiteral("Trois"));
    EXPECT_EQ(engine.lines().size(), 3);
}

TEST(LanguageFile, MissingFileIsReportedOnceAndTranslatesNothing)
{
    DialogRecorder dialogs;
    LanguageFiles::reset();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("missing.lng"));
    EXPECT_EQ(LanguageFiles::use(name), nullptr);
    EXPECT_EQ(LanguageFiles::use(name), nullptr);
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors().first(), QStringLiteral("File ") + name + QStringLiteral(" not found!"));
    LanguageFiles::reset();
}

TEST(FileHistory, KeepsTheFiveNewestNames)
{
    TRpFileHistory history;
    for (int i = 1; i <= 6; ++i)
        history.add(QStringLiteral("/r/%1.RP2").arg(i));
    EXPECT_EQ(history.names(),
        (QStringList { QStringLiteral("/r/6.RP2"), QStringLiteral("/r/5.RP2"), QStringLiteral("/r/4.RP2"),
            QStringLiteral("/r/3.RP2"), QStringLiteral("/r/2.RP2") }));
    history.add(QStringLiteral("/r/4.RP2"));
    EXPECT_EQ(history.names().first(), QStringLiteral("/r/4.RP2"));
    EXPECT_EQ(history.count(), 5);
    history.add(QString());
    EXPECT_EQ(history.count(), 5);
    EXPECT_EQ(history.caption(0), QStringLiteral("&1 /r/4.RP2"));
}

struct ShortCase
{
    const char *name;
    const char *shown;
};

class ShortenedName : public ::testing::TestWithParam<ShortCase>
{
};

TEST_P(ShortenedName, DropsFoldersFromTheEnd)
{
    EXPECT_EQ(
        TRpFileHistory::shortened(QString::fromUtf8(GetParam().name)), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Names, ShortenedName,
    ::testing::Values(ShortCase { "/home/ann/accounts.RP2", "/home/ann/accounts.RP2" }, // 9 + 12 = 21
        ShortCase { "/home/ann/reports/accounts.RP2", "/home/ann/.../accounts.RP2" },
        ShortCase { "/srv/a/b/c/d/e/f/very-long-report-name.RP2", "/.../very-long-report-name.RP2" },
        ShortCase { "report.RP2", "report.RP2" },
        ShortCase { "/abcdefghijkl/mnopqrstuvw.RP2", "/.../mnopqrstuvw.RP2" }));

} // namespace
