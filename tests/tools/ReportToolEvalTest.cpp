// quillot-report eval end to end: one line "kind: value" on stdout, the exit status telling values from
// errors, and the tables of a data folder under their component names.
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct EvalRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

class ReportToolEval : public testing::Test
{
protected:
    void SetUp() override
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quillot-report");
        if (!QFileInfo::exists(m_tool))
            GTEST_SKIP() << "quillot-report is not built";
        ASSERT_TRUE(m_dir.isValid());
    }

    EvalRun run(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        process.setProcessEnvironment(environment);
        process.start(m_tool, QStringList { QStringLiteral("eval") } + arguments);
        process.waitForFinished(30000);
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
    }

    QString m_tool;
    QTemporaryDir m_dir;
};

struct ToolCase
{
    const char *expression;
    const char *output;
    int exitCode;
};

class ReportToolEvalCases : public ReportToolEval, public testing::WithParamInterface<ToolCase>
{
};

TEST_P(ReportToolEvalCases, PrintsKindAndValue)
{
    const ToolCase &c = GetParam();
    const EvalRun result
        = run({ QString::fromUtf8(c.expression), QStringLiteral("--locale"), QStringLiteral("fr_FR") });
    EXPECT_EQ(result.out.toStdString(), std::string(c.output) + "\n") << result.err.toStdString();
    EXPECT_EQ(result.exitCode, c.exitCode);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ReportToolEvalCases,
    testing::Values(ToolCase { "1 + 2 * 3", "integer: 7", 0 }, ToolCase { "7 / 2", "float: 3,5", 0 },
        ToolCase { "'a' + 'b'", "string: ab", 0 }, ToolCase { "(1 < 2) AND (3 < 4)", "boolean: True", 0 },
        ToolCase { "7 / 0", "error: Cannot divide by 0", 1 }, ToolCase { "'abc", "error: Missing '", 1 }));

TEST_F(ReportToolEval, ReadsTheTablesOfADataFolder)
{
    {
        TMemTable accounts;
        accounts.FieldDefs() = FinanceTables::accountDefs();
        accounts.setFileName(m_dir.filePath(QStringLiteral("Account.dat")));
        accounts.CreateEmpty();
        accounts.AppendRow();
        accounts.FieldNamed(QStringLiteral("Account_Type"))->setAsString(QStringLiteral("Courant"));
        accounts.FieldNamed(QStringLiteral("Account_Balance"))->setAsNumber(120.5);
        accounts.Post();
        accounts.Close();
    }
    const EvalRun result = run({ QStringLiteral("tblAccount.Account_Type + ': ' + STR(Account_Balance)"),
        QStringLiteral("--data"), m_dir.path(), QStringLiteral("--locale"), QStringLiteral("fr_FR") });
    EXPECT_EQ(result.out, QStringLiteral("string: Courant: 120,5\n")) << result.err.toStdString();
    EXPECT_EQ(result.exitCode, 0);
    // A table whose file is missing is there, empty.
    EXPECT_EQ(run({ QStringLiteral("TYPEOF(tblIncome.Income_Description)"), QStringLiteral("--data"),
                      m_dir.path() })
                  .out,
        QStringLiteral("string: STRING\n"));
}

TEST_F(ReportToolEval, RefusesBadUsageAndMissingFolders)
{
    EXPECT_EQ(run({}).exitCode, 2);
    EXPECT_EQ(run({ QStringLiteral("1"), QStringLiteral("2") }).exitCode, 2);
    const EvalRun missing
        = run({ QStringLiteral("1"), QStringLiteral("--data"), m_dir.filePath(QStringLiteral("none")) });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("quillot-report: Cannot open file ")))
        << missing.err.toStdString();
}

} // namespace
