// The print test of designed bands through quillot-report render, page by page in the PDF: odd pages, not on
// the first or the last page, conditions of every kind and bands the designer switched off.
#include "ToolRunner.h"
#include "support/PdfText.h"

#include "report/files/ReportFile.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

class ReportToolBands : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(toolPath("quillot-report")))
            GTEST_SKIP() << "quillot-report is not built";
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext is not installed";
        ASSERT_TRUE(work.isValid());
        data = work.filePath(QStringLiteral("Data"));
        ASSERT_TRUE(QDir().mkpath(data));
        TMemTable accounts;
        accounts.FieldDefs() = FinanceTables::accountDefs();
        accounts.setFileName(data + QStringLiteral("/Account.dat"));
        accounts.CreateEmpty();
        accounts.AppendRow();
        accounts.FieldNamed(QStringLiteral("Account_Type"))->setAsString(QStringLiteral("Banque"));
        accounts.Post();
        accounts.Close();
        TMemTable transactions;
        transactions.FieldDefs() = FinanceTables::transactionDefs();
        transactions.setFileName(data + QStringLiteral("/Transaction.dat"));
        transactions.CreateEmpty();
        for (int i = 1; i <= 300; ++i) {
            transactions.AppendRow();
            transactions.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(i);
            transactions.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
            transactions.Post();
        }
        transactions.Close();
    }

    // A designed report over the program's transactions: a detail "ROW" 50 high, and a page footer "FTR"
    // followed by a child band for each band given, every band 40 high with its caption as its one text.
    struct Band
    {
        const char *caption;
        std::function<void(DesignBandValues &)> set;
    };

    QString makeReport(
        const std::vector<Band> &children, const std::function<void(TRpDesignBand &)> &footer = {})
    {
        // The program's data module, so that the report names its transactions as the program does.
        QObject module;
        module.setObjectName(QStringLiteral("DataModule1"));
        auto *table = new TMemTable(&module);
        table->setObjectName(QStringLiteral("tblTransaction"));
        RpComponents::addDataModule(&module);
        const QString file = work.filePath(QStringLiteral("bands.rp2"));
        {
            ReportFileEngine engine(QStringLiteral("BandsWindow"));
            TDesignRpReport &report = *engine.report();
            report.setDataSet(table);
            report.setUnits(Rp::Native);
            report.page()->setPaperSize(RpPaper::A4);
            for (auto margin : { &TRpPage::setTopMargin, &TRpPage::setBottomMargin, &TRpPage::setLeftMargin,
                     &TRpPage::setRightMargin })
                (report.page()->*margin)(100);
            auto addLabel = [](TRpCustomBand *band, const char *caption) {
                auto *label = new TRpDesignLabel(band);
                label->setObjectName(QStringLiteral("L") + QString::fromLatin1(caption));
                label->setCaption(QString::fromLatin1(caption));
                label->size()->setNativeBounds(100, 0, 1500, 40);
            };
            auto *detail = new TRpDesignBand(&report);
            detail->setObjectName(QStringLiteral("Detailband"));
            detail->setBandType(Rp::rbDetail);
            detail->size()->setNativeLength(50);
            addLabel(detail, "ROW");
            auto *pageFooter = new TRpDesignBand(&report);
            pageFooter->setObjectName(QStringLiteral("Pagefooter"));
            pageFooter->setBandType(Rp::rbPageFooter);
            pageFooter->size()->setNativeLength(40);
            addLabel(pageFooter, "FTR");
            if (footer)
                footer(*pageFooter);
            TRpCustomBand *parent = pageFooter;
            for (const Band &band : children) {
                auto *child = new TRpDesignChildBand(&report);
                child->setObjectName(QStringLiteral("B") + QString::fromLatin1(band.caption));
                child->setParentBand(parent);
                child->size()->setNativeLength(40);
                addLabel(child, band.caption);
                band.set(*child);
                parent = child;
            }
            EXPECT_TRUE(engine.SaveReportFile(file));
        }
        RpComponents::remove(&module);
        return file;
    }

    // The pages of the PDF on which each word shows.
    std::map<QString, std::set<int>> render(const QString &report, int &pageCount)
    {
        const QString pdf = work.filePath(QStringLiteral("bands.pdf"));
        const ToolRun run = runTool("quillot-report",
            { QStringLiteral("render"), report, QStringLiteral("--data"), data, QStringLiteral("--pdf"),
                pdf },
            work.path());
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const PdfText text = PdfText::of(pdf);
        pageCount = int(text.pages.size());
        std::map<QString, std::set<int>> pages;
        for (const PdfText::Word &word : text.words)
            pages[word.text].insert(word.page);
        return pages;
    }

    static std::set<int> range(int from, int to)
    {
        std::set<int> pages;
        for (int page = from; page <= to; ++page)
            pages.insert(page);
        return pages;
    }

    QTemporaryDir work;
    QString data;
};

TEST_F(ReportToolBands, PrintByTheirPageRulesConditionsAndSwitches)
{
    const QString report = makeReport({
        { "ODD", [](DesignBandValues &b) { b.setPageStep(2); } },
        { "NOTFIRST", [](DesignBandValues &b) { b.setNotOnFirstPage(true); } },
        { "EVENFROMFOUR",
            [](DesignBandValues &b) {
                b.setStartPageNum(4);
                b.setPageStep(2);
            } },
        { "TWOTOTHREE",
            [](DesignBandValues &b) {
                b.setStartPageNum(2);
                b.setEndPageNum(3);
            } },
        { "DISABLED", [](DesignBandValues &b) { b.setEditorEnabled(false); } },
        { "FALSECONDITION", [](DesignBandValues &b) { b.setPrintCondition(QStringLiteral("FALSE")); } },
        { "NUMBERCONDITION", [](DesignBandValues &b) { b.setPrintCondition(QStringLiteral("1")); } },
        { "BROKENCONDITION", [](DesignBandValues &b) { b.setPrintCondition(QStringLiteral("1 +")); } },
        { "FROMTHREE", [](DesignBandValues &b) { b.setPrintCondition(QStringLiteral("PAGENUMBER > 2")); } },
    });
    int pageCount = 0;
    const auto pages = render(report, pageCount);
    // 2770 high less 400 of footers: 47 rows a page, 300 rows on 7 pages.
    ASSERT_EQ(pageCount, 7);
    const auto on = [&pages](const char *word) {
        const auto found = pages.find(QString::fromLatin1(word));
        return found == pages.end() ? std::set<int> {} : found->second;
    };
    EXPECT_EQ(on("FTR"), range(1, 7));
    EXPECT_EQ(on("ODD"), (std::set<int> { 1, 3, 5, 7 }));
    EXPECT_EQ(on("NOTFIRST"), range(2, 7));
    EXPECT_EQ(on("EVENFROMFOUR"), (std::set<int> { 4, 6 }));
    EXPECT_EQ(on("TWOTOTHREE"), range(2, 3));
    EXPECT_EQ(on("DISABLED"), std::set<int> {});
    EXPECT_EQ(on("FALSECONDITION"), std::set<int> {});
    EXPECT_EQ(on("NUMBERCONDITION"), range(1, 7));
    EXPECT_EQ(on("BROKENCONDITION"), range(1, 7));
    EXPECT_EQ(on("FROMTHREE"), range(3, 7));
    EXPECT_EQ(on("ROW"), range(1, 7));
}

TEST_F(ReportToolBands, AFooterNotOnTheLastPageStopsAfterTheSummary)
{
    const QString report = makeReport({}, [](TRpDesignBand &footer) { footer.setNotOnLastPage(true); });
    int pageCount = 0;
    const auto pages = render(report, pageCount);
    ASSERT_EQ(pageCount, 6);
    EXPECT_EQ(pages.at(QStringLiteral("FTR")), range(1, 5));
    EXPECT_EQ(pages.at(QStringLiteral("ROW")), range(1, 6));
}

} // namespace
