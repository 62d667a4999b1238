#include "ToolRunner.h"
#include "support/PdfText.h"
#include "support/TestSupport.h"

#include "report/files/ReportFile.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// A data folder with three accounts, and a report file over it: one page per account, the account's name
// 2.54 cm from the paper's top-left corner, on landscape Letter paper.
class ReportToolPrintReport : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(toolPath("quillot-report")))
            GTEST_SKIP() << "quillot-report is not built";
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext is not installed";
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        TMemTable accounts;
        accounts.FieldDefs() = FinanceTables::accountDefs();
        accounts.setFileName(path(QStringLiteral("Data/Account.dat")));
        accounts.CreateEmpty();
        for (const char *name : { "Banque", "Caisse", "Livret" }) {
            accounts.AppendRow();
            accounts.FieldNamed(QStringLiteral("Account_Type"))->setAsString(QString::fromLatin1(name));
            accounts.Post();
        }
        accounts.SaveChanges();
        writeReport(RpPaper::Letter, RpPaper::poLandscape, 3);
    }

    void writeReport(
        TRpPaperSize paper, TPrinterOrientation orientation, int fileCopies, bool emptyTable = false)
    {
        // The report refers to the program's account table as the designer writes it.
        QObject module;
        module.setObjectName(QStringLiteral("DataModule1"));
        TMemTable table(&module);
        table.setObjectName(emptyTable ? QStringLiteral("tblIncome") : QStringLiteral("tblAccount"));
        ReportFileEngine engine;
        TDesignRpReport &report = *engine.report();
        report.setReportTitle(QStringLiteral("Comptes de l'été"));
        report.setUnits(Rp::Native);
        report.page()->setPaperSize(paper);
        report.page()->setOrientation(orientation);
        report.page()->setLeftMargin(0);
        report.page()->setTopMargin(0);
        report.printerSettings()->setCopies(fileCopies);
        report.setPrintIfEmpty(false);
        report.setDataSet(&table);
        auto *detail = new TRpDesignBand(&report);
        detail->setObjectName(QStringLiteral("Detail"));
        detail->setBandType(Rp::rbDetail);
        detail->setForceNewPage(true);
        detail->size()->setNativeLength(500);
        auto *name = new TRpDesignDBText(detail);
        name->setObjectName(QStringLiteral("AccountName"));
        name->setDataSet(&table);
        name->setDataField(QStringLiteral("Account_Type"));
        name->size()->setNativeBounds(254, 254, 1500, 60);
        ASSERT_TRUE(engine.SaveReportFile(path(QStringLiteral("Comptes.RP2"))));
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    ToolRun render(const QStringList &options)
    {
        return runTool("quillot-report",
            QStringList { QStringLiteral("render"), path(QStringLiteral("Comptes.RP2")),
                QStringLiteral("--data"), path(QStringLiteral("Data")), QStringLiteral("--pdf"),
                path(QStringLiteral("out.pdf")) }
                + options,
            dir.path());
    }
    ToolRun print(const QStringList &options)
    {
        return runTool("quillot-report",
            QStringList { QStringLiteral("print"), path(QStringLiteral("Comptes.RP2")),
                QStringLiteral("--data"), path(QStringLiteral("Data")), QStringLiteral("--pdf"),
                path(QStringLiteral("out.pdf")) }
                + options,
            dir.path());
    }
    QStringList printedPages() const
    {
        const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
        QStringList pages;
        for (size_t i = 1; i <= pdf.pages.size(); ++i)
            pages << pdf.pageText(int(i));
        return pages;
    }

    QTemporaryDir dir;
};

TEST_F(ReportToolPrintReport, PrintsEveryPageOnItsPaperWithItsTextInPlace)
{
    const ToolRun run = print({});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
    EXPECT_EQ(pdf.title, QStringLiteral("Comptes de l'été"));
    EXPECT_EQ(printedPages(), QStringList({ "Banque", "Caisse", "Livret" }));
    for (const QSizeF &page : pdf.pages) {
        EXPECT_NEAR(page.width(), 792, 1) << "landscape Letter";
        EXPECT_NEAR(page.height(), 612, 1);
    }
    const PdfText::Word *word = pdf.find(QStringLiteral("Caisse"));
    ASSERT_TRUE(word);
    EXPECT_EQ(word->page, 2);
    EXPECT_NEAR(word->xMin, 72, 2) << "2.54 cm from the paper's left edge";
    EXPECT_NEAR(word->yMin, 72, 6) << "the text's top 2.54 cm from the paper's top edge";
}

TEST_F(ReportToolPrintReport, APortraitA4ReportPrintsOnPortraitA4)
{
    writeReport(RpPaper::A4, RpPaper::poPortrait, 1);
    ASSERT_EQ(print({}).exitCode, 0);
    const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
    ASSERT_FALSE(pdf.pages.empty());
    EXPECT_NEAR(pdf.pages[0].width(), 595.3, 1);
    EXPECT_NEAR(pdf.pages[0].height(), 841.9, 1);
}

struct AnswerCase
{
    const char *name;
    QStringList options;
    QStringList pages;
};

class ReportToolPrintReportAnswers : public ReportToolPrintReport,
                                     public testing::WithParamInterface<AnswerCase>
{
};

TEST_P(ReportToolPrintReportAnswers, PrintTheRangeAndCopiesAsAnswered)
{
    const ToolRun run = print(GetParam().options);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(printedPages(), GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReportToolPrintReportAnswers,
    testing::Values(AnswerCase { "Range", { "--range", "2-3" }, { "Caisse", "Livret" } },
        AnswerCase {
            "Collated", { "--range", "1-2", "--copies", "2" }, { "Banque", "Caisse", "Banque", "Caisse" } },
        AnswerCase { "PageByPage", { "--range", "1-2", "--copies", "2", "--no-collate" },
            { "Banque", "Banque", "Caisse", "Caisse" } },
        AnswerCase { "FileCopiesAreNotUsed", { "--range", "3-3" }, { "Livret" } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ReportToolPrintReport, TheSettingsFileGivesThePrinterSettings)
{
    TestSupport::writeFile(path(QStringLiteral("RPDESIGN.INI")), "[Printer]\nPrinterCopies=2\n");
    const ToolRun run = print({ QStringLiteral("--range"), QStringLiteral("3-3"),
        QStringLiteral("--settings"), path(QStringLiteral("RPDESIGN.INI")) });
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(printedPages(), QStringList({ "Livret", "Livret" }));
}

TEST_F(ReportToolPrintReport, ARangeWithoutPagesPrintsNothing)
{
    const ToolRun run = print({ QStringLiteral("--range"), QStringLiteral("5-6") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "quillot-report: nothing printed\n");
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.pdf"))));
}

TEST_F(ReportToolPrintReport, AReportNeedsItsData)
{
    const ToolRun run = runTool("quillot-report",
        { QStringLiteral("print"), path(QStringLiteral("Comptes.RP2")), QStringLiteral("--pdf"),
            path(QStringLiteral("out.pdf")) },
        dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.pdf"))));
}

// ---------------------------------------------------------------- render of report files

TEST_F(ReportToolPrintReport, RenderRunsAReportFileAsTheReportsWindowLoadsIt)
{
    const ToolRun run = render({});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "3 pages\n");
    const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
    EXPECT_EQ(pdf.title, QStringLiteral("Comptes de l'été"));
    EXPECT_EQ(printedPages(), QStringList({ "Banque", "Caisse", "Livret" }));
    ASSERT_EQ(pdf.pages.size(), 3u);
    EXPECT_NEAR(pdf.pages[0].width(), 792, 1);
    const PdfText::Word *word = pdf.find(QStringLiteral("Livret"));
    ASSERT_TRUE(word);
    EXPECT_NEAR(word->xMin, 72, 2);
}

TEST_F(ReportToolPrintReport, RenderPrintsAnEmptyTableOnceAsTheWindowsPrintIfEmptySays)
{
    // The file says PrintIfEmpty = False; the reports window sets it again after loading.
    writeReport(RpPaper::A4, RpPaper::poPortrait, 1, true);
    ASSERT_TRUE(TestSupport::readFile(path(QStringLiteral("Comptes.RP2"))).contains("PrintIfEmpty = False"));
    const ToolRun run = render({});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "1 pages\n");
}

TEST_F(ReportToolPrintReport, RenderReadsTheGivenSettingsFile)
{
    // A report designed on the default paper does not store it: the paper the settings file names stays.
    writeReport(RpPaper::A4, RpPaper::poPortrait, 1);
    const QByteArray file = TestSupport::readFile(path(QStringLiteral("Comptes.RP2")));
    ASSERT_FALSE(file.contains("Page.PaperSize"));
    ASSERT_EQ(render({}).exitCode, 0);
    EXPECT_NEAR(PdfText::of(path(QStringLiteral("out.pdf"))).pages.at(0).width(), 595.3, 1);

    TestSupport::writeFile(path(QStringLiteral("RPDESIGN.INI")), "[Printer]\nPaperSize=1\n");
    const ToolRun run = render({ QStringLiteral("--settings"), path(QStringLiteral("RPDESIGN.INI")) });
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
    ASSERT_FALSE(pdf.pages.empty());
    EXPECT_NEAR(pdf.pages[0].width(), 612, 1) << "Letter";
    EXPECT_NEAR(pdf.pages[0].height(), 792, 1);
}

} // namespace
