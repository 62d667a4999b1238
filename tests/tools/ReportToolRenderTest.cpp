// quillot-report render end to end: the transaction list over a data folder into a PDF, pictures and a page
// file, and every way the command refuses.
#include "ToolRunner.h"
#include "support/PdfText.h"

#include "platform/FileIO.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

class ReportToolRender : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(toolPath("quillot-report")) || !QFileInfo::exists(toolPath("quillot-data")))
            GTEST_SKIP() << "the tools are not built";
        ASSERT_TRUE(work.isValid());
        data = work.filePath(QStringLiteral("Data"));
        ASSERT_TRUE(QDir().mkpath(data));
        const ToolRun account = runTool("quillot-data",
            { QStringLiteral("add"), data + QStringLiteral("/Account.dat"),
                QStringLiteral("Account_Type=Banque"), QStringLiteral("Account_Balance=0") },
            work.path());
        ASSERT_EQ(account.exitCode, 0) << account.err.toStdString();
        TMemTable transactions;
        transactions.FieldDefs() = FinanceTables::transactionDefs();
        transactions.setFileName(data + QStringLiteral("/Transaction.dat"));
        transactions.CreateEmpty();
        for (int i = 1; i <= 1000; ++i) {
            transactions.AppendRow();
            transactions.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(i);
            transactions.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
            transactions.Post();
        }
        transactions.Close();
        report = work.filePath(QStringLiteral("list.txt"));
        FileIO::writeAtomically(
            report, FileIO::readAll(QStringLiteral(QUILLOT_TEST_DATA "/transaction-list.txt")));
    }

    ToolRun render(const QStringList &arguments)
    {
        return runTool("quillot-report", QStringList { QStringLiteral("render") } + arguments, work.path());
    }

    QString path(const char *name) const { return work.filePath(QLatin1String(name)); }

    // Every file under the folder with its size and time, to see that nothing was written there.
    static std::map<QString, QString> snapshot(const QString &folder)
    {
        std::map<QString, QString> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files[info.filePath()]
                = QString::number(info.size()) + u'@' + info.lastModified().toString(Qt::ISODateWithMs);
        }
        return files;
    }

    QTemporaryDir work;
    QString data;
    QString report;
};

TEST_F(ReportToolRender, TransactionListToPdfPicturesAndPageFile)
{
    const auto before = snapshot(data);
    const ToolRun run = render({ report, QStringLiteral("--data"), data, QStringLiteral("--pdf"),
        path("list.pdf"), QStringLiteral("--png"), path("png"), QStringLiteral("--rpp"), path("list.rpp"),
        QStringLiteral("--locale"), QStringLiteral("en_US") });
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "21 pages\n");
    EXPECT_EQ(snapshot(data), before);

    // The pictures: one per page at 96 dpi, A4 portrait.
    for (int n = 1; n <= 21; ++n) {
        const QImage image(
            QDir(path("png")).filePath(QStringLiteral("page-%1.png").arg(n, 4, 10, QLatin1Char('0'))));
        ASSERT_FALSE(image.isNull()) << n;
        EXPECT_NEAR(image.width(), 794, 1);
        EXPECT_NEAR(image.height(), 1123, 1);
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(path("png")).filePath(QStringLiteral("page-0022.png"))));

    // The page file reads back.
    const ToolRun pages
        = runTool("quillot-report", { QStringLiteral("pages"), path("list.rpp") }, work.path());
    EXPECT_EQ(pages.exitCode, 0) << pages.err.toStdString();
    EXPECT_TRUE(pages.out.startsWith("pages: 21\n")) << pages.out.toStdString();

    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext is not installed";
    const PdfText pdf = PdfText::of(path("list.pdf"));
    ASSERT_EQ(pdf.pages.size(), 21u);
    EXPECT_NEAR(pdf.pages[0].width(), 595, 1);
    EXPECT_NEAR(pdf.pages[0].height(), 842, 1);
    auto wordsOn = [&pdf](int page) {
        QStringList words;
        for (const PdfText::Word &word : pdf.words) {
            if (word.page == page)
                words << word.text;
        }
        return words;
    };
    EXPECT_TRUE(wordsOn(1).contains(QStringLiteral("TITLE")));
    EXPECT_FALSE(wordsOn(2).contains(QStringLiteral("TITLE")));
    EXPECT_TRUE(wordsOn(2).contains(QStringLiteral("#47")));
    EXPECT_TRUE(wordsOn(2).contains(QStringLiteral("#96")));
    EXPECT_FALSE(wordsOn(2).contains(QStringLiteral("#97")));
    const QStringList last = wordsOn(21);
    EXPECT_TRUE(last.join(u' ').contains(QStringLiteral("TOTAL 500500.00"))) << last.join(u' ').toStdString();
    for (int page = 1; page <= 21; ++page) {
        EXPECT_TRUE(wordsOn(page).contains(QStringLiteral("PAGEHDR"))) << page;
        EXPECT_TRUE(wordsOn(page).join(u' ').contains(QStringLiteral("Page %1").arg(page))) << page;
    }
}

TEST_F(ReportToolRender, LandscapeListFillsThirtyOnePagesOfTurnedPaper)
{
    QByteArray text = FileIO::readAll(report);
    text.replace("Page.Orientation = poPortrait", "Page.Orientation = poLandscape");
    text.replace(
        "    100\r\n    2970\r\n    100\r\n    2100\r\n", "    100\r\n    2100\r\n    100\r\n    2970\r\n");
    FileIO::writeAtomically(report, text);
    const ToolRun run = render({ report, QStringLiteral("--data"), data, QStringLiteral("--pdf"),
        path("wide.pdf"), QStringLiteral("--locale"), QStringLiteral("en_US") });
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "31 pages\n");
    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext is not installed";
    const PdfText pdf = PdfText::of(path("wide.pdf"));
    ASSERT_EQ(pdf.pages.size(), 31u);
    EXPECT_NEAR(pdf.pages[0].width(), 842, 1);
    EXPECT_NEAR(pdf.pages[0].height(), 595, 1);
    std::map<int, int> rows;
    for (const PdfText::Word &word : pdf.words) {
        if (word.text.startsWith(u'#')) {
            ++rows[word.page];
            EXPECT_LT(word.yMax, 595) << word.text.toStdString();
        }
    }
    EXPECT_EQ(rows[1], 29);
    EXPECT_EQ(rows[2], 33);
    EXPECT_EQ(rows[30], 33);
    EXPECT_EQ(rows[31], 14);
}

TEST_F(ReportToolRender, NumbersFollowTheLocale)
{
    const ToolRun run = render({ report, QStringLiteral("--data"), data, QStringLiteral("--pdf"),
        path("fr.pdf"), QStringLiteral("--locale"), QStringLiteral("fr_FR") });
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext is not installed";
    QStringList words;
    for (const PdfText::Word &word : PdfText::of(path("fr.pdf")).words)
        words << word.text;
    EXPECT_TRUE(words.contains(QStringLiteral("500500,00")));
}

TEST_F(ReportToolRender, NoPagesMeansNoFiles)
{
    QByteArray text = FileIO::readAll(report);
    text.replace("  Options =", "  PrintIfEmpty = False\r\n  Options =");
    FileIO::writeAtomically(report, text);
    QDir(data).remove(QStringLiteral("Transaction.dat"));
    const ToolRun run = render({ report, QStringLiteral("--data"), data, QStringLiteral("--pdf"),
        path("none.pdf"), QStringLiteral("--png"), path("none"), QStringLiteral("--rpp"), path("none.rpp") });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "0 pages\n");
    EXPECT_FALSE(QFileInfo::exists(path("none.pdf")));
    EXPECT_FALSE(QFileInfo::exists(path("none")));
    EXPECT_FALSE(QFileInfo::exists(path("none.rpp")));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/Transaction.dat")));
}

TEST_F(ReportToolRender, FailuresLeaveNoOutput)
{
    // Not a report.
    FileIO::writeAtomically(path("bad.txt"), "object X: TRpLabel\r\nend\r\n");
    ToolRun run
        = render({ path("bad.txt"), QStringLiteral("--data"), data, QStringLiteral("--pdf"), path("a.pdf") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("quillot-report: ")) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_FALSE(QFileInfo::exists(path("a.pdf")));

    // A run that takes too long.
    QByteArray text = FileIO::readAll(report);
    text.replace("  Options =",
        "  object Endless: TRpLoopBand\r\n    PrintCount = 2000000000\r\n"
        "    Size.Values = (\r\n      1\r\n      1900)\r\n  end\r\n  Options =");
    FileIO::writeAtomically(path("slow.txt"), text);
    run = render({ path("slow.txt"), QStringLiteral("--data"), data, QStringLiteral("--timeout"),
        QStringLiteral("1"), QStringLiteral("--pdf"), path("b.pdf"), QStringLiteral("--png"), path("b") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("b.pdf")));
    EXPECT_FALSE(QFileInfo::exists(path("b")));

    // An unreadable table.
    FileIO::writeAtomically(data + QStringLiteral("/Income.dat"), "not a table");
    run = render({ report, QStringLiteral("--data"), data, QStringLiteral("--pdf"), path("c.pdf") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Income.dat")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("c.pdf")));
}

TEST_F(ReportToolRender, UsageErrors)
{
    for (const QStringList &arguments :
        { QStringList {}, QStringList { report }, QStringList { QStringLiteral("--data"), data },
            QStringList { report, QStringLiteral("--data"), data, QStringLiteral("--odd") },
            QStringList {
                report, QStringLiteral("--data"), data, QStringLiteral("--timeout"), QStringLiteral("soon") },
            QStringList { report, QStringLiteral("--data"), data, QStringLiteral("--pdf") } }) {
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

} // namespace
