#include "ToolProcess.h"

#include "report/pages/RpPrinter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ReportToolPages : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!ToolProcess::built("quillot-report"))
            GTEST_SKIP() << "quillot-report is not built";
        ASSERT_TRUE(m_dir.isValid());
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A page file of `count` pages, each with its number written on it.
    void savePages(const QString &fileName, int count, bool compressed)
    {
        TRpPrinter store;
        store.setCompression(compressed);
        store.StartDocument();
        for (int n = 1; n <= count; ++n) {
            store.NewPage();
            store.canvas()->drawText(100, 100, QStringLiteral("Page %1").arg(n));
        }
        store.FinishDocument();
        store.SavePages(fileName);
    }

    ToolProcess pages(const QStringList &arguments)
    {
        return ToolProcess::run(
            "quillot-report", QStringList { QStringLiteral("pages") } + arguments, m_dir.path());
    }

    QTemporaryDir m_dir;
};

TEST_F(ReportToolPages, ListsTheCountTheCompressionAndEveryPage)
{
    for (const bool compressed : { false, true }) {
        savePages(path("list.rpp"), 3, compressed);
        const ToolProcess run = pages({ path("list.rpp") });
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
        EXPECT_EQ(lines[0], "pages: 3");
        EXPECT_EQ(lines[1], compressed ? "compressed: yes" : "compressed: no");
        for (int n = 1; n <= 3; ++n)
            EXPECT_TRUE(lines[1 + n].startsWith("page " + QByteArray::number(n) + ": "))
                << lines[1 + n].data();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
}

TEST_F(ReportToolPages, WritesOnePictureAPageAt96Dpi)
{
    savePages(path("png.rpp"), 2, true);
    const ToolProcess run = pages({ path("png.rpp"), QStringLiteral("--png"), path("out") });
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList files = QDir(path("out")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList { QStringLiteral("page-0001.png"), QStringLiteral("page-0002.png") }));
    for (const QString &file : files) {
        const QImage image(QDir(path("out")).filePath(file));
        ASSERT_FALSE(image.isNull()) << file.toStdString();
        EXPECT_EQ(qRound(image.dotsPerMeterX() * 0.0254), 96);
        // Something was drawn: not every pixel is white.
        bool inked = false;
        for (int y = 0; y < image.height() && !inked; ++y)
            for (int x = 0; x < image.width() && !inked; ++x)
                inked = image.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_TRUE(inked) << file.toStdString();
    }
}

TEST_F(ReportToolPages, ADamagedFileFailsWithOneLineAndWritesNoPicture)
{
    savePages(path("good.rpp"), 2, false);
    QByteArray bytes = TestSupport::readFile(path("good.rpp"));
    bytes.chop(7);
    TestSupport::writeFile(path("bad.rpp"), bytes);
    const ToolProcess run = pages({ path("bad.rpp"), QStringLiteral("--png"), path("out") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("bad.rpp")) << run.err.toStdString();
    EXPECT_TRUE(QDir(path("out")).entryList(QDir::Files).isEmpty());
}

TEST_F(ReportToolPages, AMissingFileFailsAndWrongArgumentsAreAUsageError)
{
    EXPECT_EQ(pages({ path("none.rpp") }).exitCode, 1);
    EXPECT_EQ(pages({}).exitCode, 2);
    EXPECT_EQ(pages({ path("a.rpp"), QStringLiteral("--pdf"), path("x") }).exitCode, 2);
}

} // namespace
