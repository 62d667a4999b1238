#include "ToolRunner.h"
#include "support/PdfText.h"
#include "support/TestSupport.h"

#include "report/pages/RpPrinter.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray corpusFile(const char *name)
{
    // The seed corpus of the report file fuzzer, found from the tests' own data folder.
    QFile in(QDir::cleanPath(
        QStringLiteral(QUILLOT_TEST_DATA "/../../fuzz/corpus/ReportFileFuzz/") + QString::fromLatin1(name)));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

class ReportToolFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(toolPath("quillot-report")))
            GTEST_SKIP() << "quillot-report is not built";
        report = corpusFile("full-design.rp2");
        if (report.isEmpty())
            GTEST_SKIP() << "the sources are not beside the build";
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    ToolRun tool(const QStringList &arguments) { return runTool("quillot-report", arguments, dir.path()); }
    ToolRun convert(const QString &in, const QString &out)
    {
        return tool({ QStringLiteral("convert"), path(in), path(out) });
    }

    QTemporaryDir dir;
    QByteArray report;
};

// ---------------------------------------------------------------- convert

struct FormCase
{
    const char *name;
    const char *first;
    const char *second;
    std::function<void(const QByteArray &)> check;
};

class ReportToolConvertForms : public ReportToolFiles, public testing::WithParamInterface<FormCase>
{
};

TEST_P(ReportToolConvertForms, WritesTheFormOfTheExtensionAndConvertsItsOutputToTheSameBytes)
{
    TestSupport::writeFile(path(QStringLiteral("in.RP2")), report);
    const QString first = QString::fromLatin1(GetParam().first);
    const QString second = QString::fromLatin1(GetParam().second);
    ToolRun run = convert(QStringLiteral("in.RP2"), first);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray once = TestSupport::readFile(path(first));
    GetParam().check(once);
    run = convert(first, second);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(TestSupport::readFile(path(second)).toStdString(), once.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Forms, ReportToolConvertForms,
    testing::Values(FormCase { "ReportFile", "out.rp2", "again.RP2",
                        [](const QByteArray &bytes) {
                            EXPECT_TRUE(bytes.startsWith("object Header: TComponentFileHeader\r\n"));
                            EXPECT_TRUE(bytes.contains("\r\nobject TPropertyAddons\r\n"));
                            // References outside the file survive the conversion.
                            EXPECT_TRUE(bytes.contains("DataSet = RuntimeDatamodule.Query1\r\n"));
                            EXPECT_TRUE(bytes.contains("PrinterSettings.Copies = 2\r\n"));
                        } },
        FormCase { "Text", "out.txt", "again.txt",
            [](const QByteArray &bytes) {
                EXPECT_TRUE(bytes.startsWith("object RpReport: TDesignRpReport\r\n"));
            } },
        FormCase { "Resource", "out.res", "again.bin",
            [](const QByteArray &bytes) {
                EXPECT_TRUE(bytes.startsWith(QByteArray("\xFF\x0A\x00TDESIGNRPREPORT\x00", 19)));
            } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ReportToolFiles, ASingleReportBlockIsWrappedInANewFile)
{
    TestSupport::writeFile(path(QStringLiteral("in.RP2")), report);
    ASSERT_EQ(convert(QStringLiteral("in.RP2"), QStringLiteral("block.res")).exitCode, 0);
    for (const QString &input : { QStringLiteral("block.res"), QStringLiteral("block.txt") }) {
        if (input.endsWith(QLatin1String("txt"))) {
            ASSERT_EQ(convert(QStringLiteral("block.res"), input).exitCode, 0);
        }
        const ToolRun run = convert(input, QStringLiteral("wrapped.rp2"));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QByteArray wrapped = TestSupport::readFile(path(QStringLiteral("wrapped.rp2")));
        EXPECT_TRUE(wrapped.startsWith("object Header: TComponentFileHeader\r\n  ReportTitle = 'Relev"));
        EXPECT_TRUE(wrapped.contains("\r\nobject RuntimeDatamodule: TRuntimeDatamodule\r\n"));
        EXPECT_TRUE(wrapped.contains("\r\nobject RpReport: TDesignRpReport\r\n"));
        EXPECT_TRUE(wrapped.contains("object Label1: TRpDesignLabel"));
    }
}

TEST_F(ReportToolFiles, WhatIsNoReportIsRefused)
{
    TRpPrinter store;
    store.StartDocument();
    store.NewPage();
    store.FinishDocument();
    store.SavePages(path(QStringLiteral("pages.rpp")));
    TestSupport::writeFile(
        path(QStringLiteral("header.txt")), "object Header: TComponentFileHeader\r\nend\r\n");
    TestSupport::writeFile(path(QStringLiteral("label.txt")), "object L: TRpLabel\r\nend\r\n");
    for (const QString &input : { QStringLiteral("pages.rpp"), QStringLiteral("header.txt") }) {
        const ToolRun run = convert(input, QStringLiteral("out.rp2"));
        EXPECT_EQ(run.exitCode, 1) << input.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.rp2"))));
    }
    EXPECT_EQ(convert(QStringLiteral("label.txt"), QStringLiteral("out.rp2")).exitCode, 1);
    EXPECT_EQ(convert(QStringLiteral("label.txt"), QStringLiteral("out.txt")).exitCode, 0)
        << "a single element block still converts to a block";
}

TEST_F(ReportToolFiles, PagesNamesAReportGivenForAPageFile)
{
    TestSupport::writeFile(path(QStringLiteral("in.RP2")), report);
    const ToolRun run = tool({ QStringLiteral("pages"), path(QStringLiteral("in.RP2")) });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("a report file is not a page file")) << run.err.toStdString();
}

// ---------------------------------------------------------------- print of page files

class ReportToolPrintPages : public ReportToolFiles
{
protected:
    void SetUp() override
    {
        ReportToolFiles::SetUp();
        if (IsSkipped())
            return;
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext is not installed";
        TRpPrinter store;
        store.StartDocument();
        for (int p = 1; p <= 4; ++p) {
            store.NewPage();
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(store.DeviceHeight(40));
            store.canvas()->setFont(font);
            store.canvas()->drawText(store.DeviceX(254), store.DeviceY(508), QStringLiteral("Page%1").arg(p));
        }
        store.FinishDocument();
        store.SavePages(path(QStringLiteral("Relevé.rpp")));
    }

    ToolRun print(const QStringList &options)
    {
        return tool(QStringList { QStringLiteral("print"), path(QStringLiteral("Relevé.rpp")),
                        QStringLiteral("--pdf"), path(QStringLiteral("out.pdf")) }
            + options);
    }
    QStringList printedPages() const
    {
        const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
        QStringList pages;
        for (size_t i = 1; i <= pdf.pages.size(); ++i)
            pages << pdf.pageText(int(i));
        return pages;
    }
};

TEST_F(ReportToolPrintPages, PrintsEveryPageAtTrueSizeTitledWithTheFileName)
{
    const ToolRun run = print({});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const PdfText pdf = PdfText::of(path(QStringLiteral("out.pdf")));
    EXPECT_EQ(pdf.title, QStringLiteral("Relevé"));
    ASSERT_EQ(pdf.pages.size(), 4u);
    EXPECT_NEAR(pdf.pages[0].width(), 595.3, 1);
    EXPECT_NEAR(pdf.pages[0].height(), 841.9, 1);
    const PdfText::Word *word = pdf.find(QStringLiteral("Page1"));
    ASSERT_TRUE(word);
    EXPECT_NEAR(word->xMin, 72, 2) << "2.54 cm from the left edge";
    EXPECT_NEAR(word->yMax, 144, 4) << "the baseline 5.08 cm from the top edge";
}

struct PrintCase
{
    const char *name;
    QStringList options;
    QStringList pages;
};

class ReportToolPrintAnswers : public ReportToolPrintPages, public testing::WithParamInterface<PrintCase>
{
};

TEST_P(ReportToolPrintAnswers, PrintTheRangeAndCopiesAsAsked)
{
    const ToolRun run = print(GetParam().options);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(printedPages(), GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReportToolPrintAnswers,
    testing::Values(PrintCase { "Range", { "--range", "2-3" }, { "Page2", "Page3" } },
        PrintCase { "RangePastTheEnd", { "--range", "3-9" }, { "Page3", "Page4" } },
        PrintCase {
            "CollatedCopies", { "--range", "1-2", "--copies", "2" }, { "Page1", "Page2", "Page1", "Page2" } },
        PrintCase { "UncollatedCopies", { "--range", "1-2", "--copies", "2", "--no-collate" },
            { "Page1", "Page1", "Page2", "Page2" } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ReportToolPrintPages, ARangeWithoutPagesPrintsNothing)
{
    const ToolRun run = print({ QStringLiteral("--range"), QStringLiteral("5-6") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "quillot-report: nothing printed\n");
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.pdf"))));
}

class ReportToolPrintBadOptions : public ReportToolPrintPages, public testing::WithParamInterface<QStringList>
{
};

TEST_P(ReportToolPrintBadOptions, AreRefusedBeforeAnythingRuns)
{
    const ToolRun run = print(GetParam());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.startsWith("quillot-report: usage: quillot-report print")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.pdf"))));
}

INSTANTIATE_TEST_SUITE_P(Options, ReportToolPrintBadOptions,
    testing::Values(QStringList { "--range", "3-2" }, QStringList { "--copies", "0" },
        QStringList { "--range", "x" }, QStringList { "--copies", "-1" }, QStringList { "--range", "0-2" },
        QStringList { "--unknown" }, QStringList { "--range" }));

TEST_F(ReportToolPrintPages, APageThatCannotBeReadLeavesNoHalfDocument)
{
    // The third page's picture is spoilt: the file loads (its links are sound), printing finds the fault.
    QByteArray bytes = TestSupport::readFile(path(QStringLiteral("Relevé.rpp")));
    qint32 record = 128;
    for (int page = 1; page < 3; ++page)
        record = qFromLittleEndian<qint32>(bytes.constData() + record + 4);
    bytes[record + 8] = 'X';
    TestSupport::writeFile(path(QStringLiteral("Relevé.rpp")), bytes);

    const ToolRun run = print({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("page 3")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.pdf"))));
}

TEST_F(ReportToolPrintPages, APdfFileIsRequired)
{
    const ToolRun run = tool({ QStringLiteral("print"), path(QStringLiteral("Relevé.rpp")) });
    EXPECT_EQ(run.exitCode, 2);
}

} // namespace
