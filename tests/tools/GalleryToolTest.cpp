// quillot-gallery: every picture the README shows is one the gallery writes and is kept in docs/gallery, and
// the ready reports' first pages and every page of the report wizard are among them.
#include "ToolRunner.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kSource = QStringLiteral(QUILLOT_SOURCE_DIR);

// The pictures of docs/gallery the README links, by file name.
QStringList readmePictures()
{
    const QString readme = QString::fromUtf8(TestSupport::readFile(kSource + QStringLiteral("/README.md")));
    QStringList names;
    const QRegularExpression link(QStringLiteral(R"(\]\(docs/gallery/([^)]+\.png)\))"));
    for (auto match = link.globalMatch(readme); match.hasNext();)
        names << match.next().captured(1);
    return names;
}

class GalleryTool : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QFileInfo::exists(toolPath("quillot-gallery")))
            return;
        s_out = new QTemporaryDir;
        const ToolRun run = runTool("quillot-gallery", { s_out->path() }, s_out->path());
        s_exitCode = run.exitCode;
        s_written = QDir(s_out->path()).entryList({ QStringLiteral("*.png") }, QDir::Files);
    }
    static void TearDownTestSuite()
    {
        delete s_out;
        s_out = nullptr;
    }
    void SetUp() override
    {
        if (!s_out)
            GTEST_SKIP() << "quillot-gallery is not built";
        ASSERT_EQ(s_exitCode, 0);
    }

    static QTemporaryDir *s_out;
    static int s_exitCode;
    static QStringList s_written;
};

QTemporaryDir *GalleryTool::s_out = nullptr;
int GalleryTool::s_exitCode = -1;
QStringList GalleryTool::s_written;

TEST_F(GalleryTool, EveryPictureOfTheReadmeIsWrittenAndKept)
{
    const QStringList pictures = readmePictures();
    ASSERT_GE(pictures.size(), 20);
    for (const QString &name : pictures) {
        EXPECT_TRUE(s_written.contains(name)) << name.toStdString() << " is not made by quillot-gallery";
        const QImage kept(kSource + QStringLiteral("/docs/gallery/") + name);
        EXPECT_FALSE(kept.isNull()) << name.toStdString() << " is not a picture in docs/gallery";
    }
}

TEST_F(GalleryTool, ShowsTheReadyReportsAndEveryWizardPage)
{
    const QStringList pictures = readmePictures();
    for (const char *report : { "Comptes", "Releve", "Mouvements" }) {
        const QString name = QStringLiteral("report-%1.png").arg(QLatin1String(report));
        EXPECT_TRUE(pictures.contains(name)) << report;
        // A first page of A4 at the gallery's resolution, not an empty picture.
        const QImage page(QDir(s_out->path()).filePath(name));
        ASSERT_FALSE(page.isNull()) << report;
        EXPECT_GT(page.height(), page.width()) << report;
    }
    int wizardPages = 0;
    for (const QString &name : s_written) {
        if (!name.startsWith(QLatin1String("wizard-")))
            continue;
        ++wizardPages;
        EXPECT_TRUE(pictures.contains(name)) << name.toStdString() << " is not in the README";
    }
    EXPECT_EQ(wizardPages, 10);
}

} // namespace
