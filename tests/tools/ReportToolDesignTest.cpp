// Scripted sessions of the real designer window, through `quillot-report design`.
#include "support/PdfText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// On a new A4 report at zoom 100 (96 pixels per inch) the page margins lie 38 pixels in, so the first band
// starts at (38, 38), 718 pixels wide and 40 high.
class ReportToolDesign : public testing::Test
{
protected:
    void SetUp() override
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quillot-report");
        if (!QFileInfo::exists(m_tool))
            GTEST_SKIP() << "quillot-report is not built";
        ASSERT_TRUE(m_dir.isValid());
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void write(const QString &file, const QByteArray &bytes)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    static QByteArray read(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    // Runs the steps ("%DIR%" stands for the test's folder) into out.RP2; the exit status.
    int run(QByteArray steps, QStringList extra = {}, const QString &input = QString())
    {
        steps.replace("%DIR%", m_dir.path().toUtf8());
        write(path(QStringLiteral("session.steps")), steps);
        QStringList arguments { QStringLiteral("design") };
        if (!input.isEmpty())
            arguments << input;
        arguments << path(QStringLiteral("out.RP2")) << QStringLiteral("--steps")
                  << path(QStringLiteral("session.steps")) << extra;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        process.setProcessEnvironment(environment);
        process.start(m_tool, arguments);
        process.waitForFinished(60000);
        m_stderr = process.readAllStandardError();
        return process.exitCode();
    }

    QByteArray output() const { return read(path(QStringLiteral("out.RP2"))); }

    QString m_tool;
    QTemporaryDir m_dir;
    QByteArray m_stderr;
};

TEST_F(ReportToolDesign, ZoomsThroughEveryStep)
{
    ASSERT_EQ(run("menu View/Zoom/Decrease\nexpect zoom 50\n"
                  "menu View/Zoom/Decrease\nexpect zoom 25\n"
                  "menu View/Zoom/Decrease\nexpect zoom 12\n"
                  "menu View/Zoom/Decrease\nexpect zoom 12\n"
                  "menu View/Zoom/Increase\nexpect zoom 24\n"
                  "menu View/Zoom/Increase\nexpect zoom 48\n"
                  "menu View/Zoom/Increase\nexpect zoom 96\n"
                  "menu View/Zoom/Increase\nexpect zoom 192\n"
                  "menu View/Zoom/Increase\nexpect zoom 300\n"
                  "menu View/Zoom/Increase\nexpect zoom 300\n"
                  "menu View/Zoom/Default size\nexpect zoom 100\n"),
        0)
        << m_stderr.toStdString();
}

TEST_F(ReportToolDesign, InsertsABandAndThreeElementsWithShiftHeld)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\nexpect bands 1\nexpect BAND1 top 38\nexpect state 0\n"
                  "palette 3 shift\nclick 60 45\nclick 160 45\nclick 260 45\n"
                  "expect elements BAND1 3\nexpect state 3\nexpect Reportlabel3 left 222\n"
                  "expect Reportlabel2 Caption ReportLabel\n"
                  "palette 0\nexpect state 0\n"),
        0)
        << m_stderr.toStdString();
    const QByteArray file = output();
    EXPECT_TRUE(file.startsWith("object Header: TComponentFileHeader\r\n"));
    EXPECT_TRUE(file.contains("object Reportlabel1: TRpDesignLabel"));
    EXPECT_TRUE(file.contains("object Reportlabel3: TRpDesignLabel"));
}

TEST_F(ReportToolDesign, SnapsToTheGridAndHonoursShiftAltAndTheDragTime)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\n"
                  "palette 3\nclick 48 50\nexpect Reportlabel1 left 10\n"
                  "# 7 pixels to the right on a grid of 4: the frame at 8 goes to 14, the label to 16\n"
                  "drag 52 55 59 55\nexpect Reportlabel1 left 16\n"
                  "drag 58 55 65 55 shift\nexpect Reportlabel1 left 23\n"
                  "drag 65 55 80 55 after 100\nexpect Reportlabel1 left 23\n"
                  "palette 10\nclick 238 43\nexpect Memo1 width 150\nexpect Memo1 left 200\n"
                  "# Alt on the right edge middle of the frame sizes about the centre\n"
                  "drag 388 63 393 63 alt\nexpect Memo1 left 198\nexpect Memo1 width 154\n"
                  "drag 388 63 393 63 alt shift\nexpect Memo1 left 193\nexpect Memo1 width 164\n"),
        0)
        << m_stderr.toStdString();
}

TEST_F(ReportToolDesign, MovesAndSizesWithTheKeyboard)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\n"
                  "palette 10\nclick 78 43\nexpect Memo1 left 40\n"
                  "key Right\nexpect Memo1 left 41\n"
                  "key Shift+Right\nexpect Memo1 width 151\n"
                  "key Ctrl+Shift+Right\nexpect Memo1 left 45\n"
                  "key Down\nexpect Memo1 top 6\n"
                  "key Shift+Up\nexpect Memo1 height 39\n"
                  "key Escape\nexpect selection BAND1\n"
                  "key Shift+Down\nexpect BAND1 height 41\n"
                  "key Tab\nexpect selection Memo1\n"
                  "key Delete\nexpect missing Memo1\n"),
        0)
        << m_stderr.toStdString();
}

TEST_F(ReportToolDesign, SpacesEquallyInSelectionOrder)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\n"
                  "palette 10 shift\nclick 138 43\nclick 48 43\nclick 78 43\npalette 0\n"
                  "select Memo1 Memo2 Memo3\nmenu Edit/Equal space/Horizontal\n"
                  "expect Memo1 left 10\nexpect Memo2 left 55\nexpect Memo3 left 100\n"),
        0)
        << m_stderr.toStdString();
}

TEST_F(ReportToolDesign, ABandResizeKeepsBottomElementsAndStretchesOthers)
{
    ASSERT_EQ(
        run("palette 2\nclick 100 100\n"
            "palette 10 shift\nclick 48 43\nclick 248 43\npalette 0\n"
            "set Memo1 FixBottomPosition true\nset Memo2 StretchHeightWithBand true\n"
            "select BAND1\n"
            "# the bottom edge middle of the band's frame, 10 pixels down without snapping\n"
            "drag 397 78 397 88 shift\n"
            "expect BAND1 height 50\nexpect Memo1 top 15\nexpect Memo2 height 50\nexpect Memo2 top 5\n"),
        0)
        << m_stderr.toStdString();
    EXPECT_TRUE(output().contains("FixBottomPosition = True"));
}

TEST_F(ReportToolDesign, GroupsAfterAReloadTakeTheNextNumber)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\n"
                  "palette 3 shift\nclick 48 43\nclick 148 43\nclick 248 43\nclick 348 43\npalette 0\n"
                  "select Reportlabel1 Reportlabel2\nclick 50 45 right\nmenu Group elements\n"
                  "expect group Reportlabel1 1\nexpect group Reportlabel2 1\n"
                  "save\nopen %DIR%/out.RP2\n"
                  "expect group Reportlabel1 1\n"
                  "select Reportlabel3 Reportlabel4\nclick 350 45 right\nmenu Group elements\n"
                  "expect group Reportlabel3 2\nexpect group Reportlabel4 2\nexpect group Reportlabel1 1\n"
                  "# pressing one member selects its whole group\n"
                  "click 150 45\nexpect selection Reportlabel2 Reportlabel1\n"),
        0)
        << m_stderr.toStdString();
    const QByteArray file = output();
    EXPECT_EQ(file.count("GroupID=1"), 2);
    EXPECT_EQ(file.count("GroupID=2"), 2);
}

TEST_F(ReportToolDesign, DeletesAndPastesWithTheirRefusals)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\npalette 3\nclick 48 43\n"
                  "select BAND1\ndialog cancel\nkey Delete\nexpect bands 1\n"
                  "expect message Delete selected band and all elements on it?\n"
                  "select Reportlabel1\nkey Ctrl+C\n"
                  "# with nothing selected the element has no band to go to\n"
                  "click 20 300\nexpect selection\nkey Ctrl+V\n"
                  "expect message An object of class TRpDesignLabel cannot be pasted here\n"
                  "select BAND1\nkey Ctrl+V\nexpect elements BAND1 2\n"
                  "select BAND1\nkey Delete\nexpect bands 0\nexpect missing Reportlabel1\n"),
        0)
        << m_stderr.toStdString();
}

TEST_F(ReportToolDesign, KeepsTheLastFiveFilesAndWritesThemToTheSettings)
{
    const QString settings = path(QStringLiteral("RPDESIGN.INI"));
    QByteArray steps;
    for (int i = 1; i <= 6; ++i)
        steps += "saveas %DIR%/r" + QByteArray::number(i) + ".RP2\n";
    steps += "expect history 5\nclose\n";
    ASSERT_EQ(run(steps, { QStringLiteral("--settings"), settings }), 0) << m_stderr.toStdString();
    QSettings ini(settings, QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("History/History1")).toString(), path(QStringLiteral("r6.RP2")));
    EXPECT_EQ(ini.value(QStringLiteral("History/History5")).toString(), path(QStringLiteral("r2.RP2")));
    EXPECT_FALSE(ini.contains(QStringLiteral("History/History6")));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("out.RP2"))));
}

TEST_F(ReportToolDesign, ASettingsFileOutOfRangeKeepsTheDefaultsAndItsOtherSections)
{
    const QString settings = path(QStringLiteral("RPDESIGN.INI"));
    write(settings,
        "[Editor]\r\nGridSizeX=0\r\nGridSizeY=8\r\nKeyboardMoveX=-1\r\n[Display]\r\nComponentFrameStyle=7\r\n"
        "[Printer]\r\nPaperSize=99\r\n[Mine]\r\nKeep=me\r\n");
    ASSERT_EQ(run("expect grid 4 8\n"
                  "palette 2\nclick 100 100\npalette 10\nclick 48 43\n"
                  "key Right\nexpect Memo1 left 11\nclose\n",
                  { QStringLiteral("--settings"), settings }),
        0)
        << m_stderr.toStdString();
    const QByteArray text = read(settings);
    EXPECT_TRUE(text.contains("[Mine]\r\nKeep=me")) << text.toStdString();
    EXPECT_TRUE(text.contains("PaperSize=99"));
    EXPECT_TRUE(text.contains("GridSizeX=4"));
    EXPECT_TRUE(text.contains("GridSizeY=8"));
    EXPECT_TRUE(text.contains("ComponentFrameStyle=2"));
    EXPECT_EQ(text.count("ComponentFrameStyle"), 1);
}

TEST_F(ReportToolDesign, EditsAReportWithoutWritingIt)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\n"), 0) << m_stderr.toStdString();
    const QString input = path(QStringLiteral("in.RP2"));
    ASSERT_TRUE(QFile::rename(path(QStringLiteral("out.RP2")), input));
    const QByteArray before = read(input);
    ASSERT_EQ(run("expect bands 1\npalette 3\nclick 48 43\nsave\n", {}, input), 0) << m_stderr.toStdString();
    EXPECT_EQ(read(input), before);
    EXPECT_TRUE(output().contains("Reportlabel1"));
}

TEST_F(ReportToolDesign, NewClearsTheReportAndRunsTheWizard)
{
    ASSERT_EQ(run("palette 2\nclick 100 100\nsave\n"
                  "# a cancelled wizard leaves the empty report as it is\n"
                  "dialog cancel\nmenu File/New...\nexpect bands 0\nexpect modified no\n"
                  "# a finished one (New blank report) counts as a change\n"
                  "dialog ok\nmenu File/New...\nexpect bands 0\nexpect modified yes\n"),
        0)
        << m_stderr.toStdString();
    EXPECT_FALSE(output().contains("TRpDesignBand"));
}

// What is drawn with the mouse prints where it was drawn: 96 pixels at zoom 100 are 72 points on paper.
TEST_F(ReportToolDesign, WhatWasDrawnRendersWhereItWasDrawn)
{
    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(run("palette 2\nclick 100 100\n"
                  "palette 3 shift\nclick 148 53\nclick 348 53\npalette 0\n"
                  "set Reportlabel1 Caption Drawn\nset Reportlabel2 Caption Moved\n"
                  "# 40 pixels right and 8 down without snapping\n"
                  "drag 360 60 400 68 shift\nexpect Reportlabel2 left 350\nexpect Reportlabel2 top 23\n"),
        0)
        << m_stderr.toStdString();
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("data")));
    QProcess render;
    render.start(m_tool,
        { QStringLiteral("render"), path(QStringLiteral("out.RP2")), QStringLiteral("--data"),
            path(QStringLiteral("data")), QStringLiteral("--pdf"), path(QStringLiteral("out.pdf")) });
    render.waitForFinished(60000);
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    EXPECT_EQ(render.readAllStandardOutput(), "1 pages\n");

    const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
    ASSERT_EQ(pdf.pages.size(), 1u);
    EXPECT_NEAR(pdf.pages[0].width(), 595.3, 1) << "a new report is on A4";
    // The band starts at the page margin (38, 38); the labels sit 110 and 350 pixels into it.
    const PdfText::Word *drawn = pdf.find(QStringLiteral("Drawn"));
    ASSERT_TRUE(drawn);
    EXPECT_NEAR(drawn->xMin, (38 + 110) * 0.75, 1);
    EXPECT_NEAR(drawn->yMin, (38 + 15) * 0.75, 1.5);
    const PdfText::Word *moved = pdf.find(QStringLiteral("Moved"));
    ASSERT_TRUE(moved);
    EXPECT_NEAR(moved->xMin, (38 + 350) * 0.75, 1);
    EXPECT_NEAR(moved->yMin, (38 + 23) * 0.75, 1.5);
}

struct FailureCase
{
    const char *label;
    const char *steps;
    int status;
};

class ReportToolDesignFails : public ReportToolDesign, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(ReportToolDesignFails, SaysWhichStepAndWritesNothing)
{
    EXPECT_EQ(run(GetParam().steps), GetParam().status);
    EXPECT_TRUE(m_stderr.contains("quillot-report: ")) << m_stderr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("out.RP2"))));
}

INSTANTIATE_TEST_SUITE_P(Steps, ReportToolDesignFails,
    testing::Values(FailureCase { "UnknownStep", "palette 2\njump 3 4\n", 2 },
        FailureCase { "MissingElement", "select Nothing\n", 1 },
        FailureCase { "DisabledMenuEntry", "menu Edit/Align/Left\n", 1 },
        FailureCase { "NoSuchMenuEntry", "menu Edit/Fly\n", 1 },
        FailureCase { "FailedExpectation", "expect zoom 50\n", 1 },
        FailureCase { "SaveAfterAFailure", "save\nexpect bands 3\n", 1 }),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
