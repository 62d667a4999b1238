#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char kReport[] = "object RpReport: TRpReport\r\n"
                       "  ReportTitle = 'Comptes d'#39'\xe9t\xe9'\r\n"
                       "  Page.Orientation = poLandscape\r\n"
                       "  Functions.Strings = (\r\n    'PAGENUMBER'\r\n    'TOTAL')\r\n"
                       "  Functions.DATA = (\r\n    '0'\r\n    '1+1')\r\n"
                       "  object DetailBand1: TRpBand\r\n"
                       "    BandType = rbDetail\r\n"
                       "    LinkBand = SummaryBand1\r\n"
                       "    object Element1: TRpPrintable\r\n"
                       "      Size.Values = (\r\n        50\r\n        100\r\n        25\r\n        400.5)\r\n"
                       "    end\r\n"
                       "  end\r\n"
                       "  object SummaryBand1: TRpBand\r\n"
                       "    BandType = rbSummary\r\n"
                       "  end\r\n"
                       "end\r\n";

class ReportToolConvert : public testing::Test
{
protected:
    void SetUp() override
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quillot-report");
        if (!QFileInfo::exists(m_tool))
            GTEST_SKIP() << "quillot-report is not built";
        ASSERT_TRUE(m_dir.isValid());
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

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

    int convert(const QString &in, const QString &out)
    {
        QProcess process;
        // Keeps Qt's note about a missing runtime folder off the tool's stderr.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        process.setProcessEnvironment(environment);
        process.start(m_tool, {QStringLiteral("convert"), in, out});
        process.waitForFinished(30000);
        m_stderr = process.readAllStandardError();
        return process.exitCode();
    }

    QString m_tool;
    QTemporaryDir m_dir;
    QByteArray m_stderr;
};

TEST_F(ReportToolConvert, RoundTripsItsOwnOutputByteForByte)
{
    write(path("in.txt"), kReport);
    ASSERT_EQ(convert(path("in.txt"), path("first.txt")), 0) << m_stderr.toStdString();
    ASSERT_EQ(convert(path("first.txt"), path("second.res")), 0) << m_stderr.toStdString();
    ASSERT_EQ(convert(path("second.res"), path("third.txt")), 0) << m_stderr.toStdString();
    ASSERT_EQ(convert(path("third.txt"), path("fourth.res")), 0) << m_stderr.toStdString();
    const QByteArray first = read(path("first.txt"));
    EXPECT_TRUE(first.startsWith("object RpReport: TRpReport\r\n"));
    EXPECT_TRUE(first.contains("LinkBand = SummaryBand1"));
    EXPECT_EQ(quint8(read(path("second.res")).at(0)), 0xFF);
    EXPECT_EQ(read(path("third.txt")), first);
    EXPECT_EQ(read(path("fourth.res")), read(path("second.res")));
}

// The report of every band and element kind, as the report tests write it for the fuzzers' seeds.
QByteArray fullReportSeed()
{
    // Found from the tests' own data folder, whatever folder the test runs in.
    QFile in(QDir::cleanPath(QStringLiteral(QUILLOT_TEST_DATA "/../../fuzz/corpus/ReportTextFuzz/full-report.txt")));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

TEST_F(ReportToolConvert, RoundTripsEveryBandAndElementKindByteForByte)
{
    const QByteArray seed = fullReportSeed();
    if (seed.isEmpty())
        GTEST_SKIP() << "the sources are not beside the build";
    for (const char *kind : {"TRpLabel", "TRpMemo", "TRpDBText", "TRpExpr", "TRpSysData", "TRpDBCalc", "TRpShape",
                             "TRpImage", "TRpDBImage", "TRpRichText", "TRpDBRichText", "TRpChildBand", "TRpGroup",
                             "TRpSubDetail", "TRpLoopBand", "TRpStringsBand"})
        ASSERT_TRUE(seed.contains(QByteArray(": ") + kind + "\r\n")) << kind;
    write(path("in.txt"), seed);
    ASSERT_EQ(convert(path("in.txt"), path("first.txt")), 0) << m_stderr.toStdString();
    ASSERT_EQ(convert(path("first.txt"), path("second.res")), 0) << m_stderr.toStdString();
    ASSERT_EQ(convert(path("second.res"), path("third.txt")), 0) << m_stderr.toStdString();
    ASSERT_EQ(convert(path("third.txt"), path("fourth.res")), 0) << m_stderr.toStdString();
    // References into the data module, which is not part of the block, are kept too.
    EXPECT_TRUE(read(path("first.txt")) == seed);
    EXPECT_TRUE(read(path("third.txt")) == seed);
    EXPECT_TRUE(read(path("fourth.res")) == read(path("second.res")));
}

struct BrokenCase
{
    const char *label;
    QByteArray bytes;
};

class ReportToolConvertBroken : public ReportToolConvert, public testing::WithParamInterface<BrokenCase>
{
};

TEST_P(ReportToolConvertBroken, FailsWithOneLineAndWritesNothing)
{
    write(path("in.txt"), GetParam().bytes);
    EXPECT_EQ(convert(path("in.txt"), path("out.txt")), 1);
    EXPECT_EQ(m_stderr.count('\n'), 1) << m_stderr.toStdString();
    EXPECT_TRUE(m_stderr.startsWith("quillot-report: ")) << m_stderr.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("out.txt")));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ReportToolConvertBroken,
    testing::Values(BrokenCase{"unterminated", QByteArray("object RpReport: TRpReport\r\n  Zoom = 50\r\n")},
                    BrokenCase{"unknown_class", QByteArray("object X: TNoSuchClass\r\nend\r\n")},
                    BrokenCase{"truncated_resource", QByteArray("\xff\x0a\x00TRPREPORT\x00\x30\x10\xff\x00\x00\x00TPF0", 24)},
                    BrokenCase{"empty", QByteArray()}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(ReportToolConvert, AMissingInputFileFails)
{
    EXPECT_EQ(convert(path("missing.txt"), path("out.txt")), 1);
    EXPECT_EQ(m_stderr.count('\n'), 1);
    EXPECT_FALSE(QFileInfo::exists(path("out.txt")));
}

} // namespace
