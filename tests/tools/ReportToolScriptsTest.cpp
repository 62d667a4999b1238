// quillot-report eval with the report designer's functions: every family, through the tool as a user runs
// it, over a data folder, a report file and a settings file; boxes answer without a screen.
#include "report/files/ReportFile.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ScriptCase
{
    const char *expression;
    // The line printed, or "error" for any error value (exit status 1).
    const char *output;
    bool validate = false;
};

void PrintTo(const ScriptCase &c, std::ostream *os)
{
    *os << c.expression << (c.validate ? " --validate" : "");
}

class ReportToolScripts : public testing::TestWithParam<ScriptCase>
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        makeData();
        makeReport();
        QFile ini(s_dir->filePath(QStringLiteral("Banque.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Compte]\r\nNom=Livret A\r\n");
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    static void makeData()
    {
        TMemTable transactions;
        transactions.FieldDefs() = FinanceTables::transactionDefs();
        transactions.setFileName(s_dir->filePath(QStringLiteral("Transaction.dat")));
        transactions.CreateEmpty();
        transactions.AppendRow();
        transactions.FieldNamed(QStringLiteral("Transaction_Description"))
            ->setAsString(QStringLiteral("Loyer\r\nJanvier"));
        transactions.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(-500);
        transactions.Post();
        transactions.Close();
    }

    static void makeReport()
    {
        ReportFileEngine engine(QStringLiteral("ToolWindow"));
        auto *band = new TRpDesignBand(engine.report());
        band->setObjectName(QStringLiteral("Detailband"));
        band->setBandType(Rp::rbDetail);
        auto *label = new TRpDesignLabel(band);
        label->setObjectName(QStringLiteral("RpLabel1"));
        label->setCaption(QStringLiteral("Bonjour"));
        auto *locked = new TRpDesignLabel(band);
        locked->setObjectName(QStringLiteral("RpLabel2"));
        locked->setCaption(QStringLiteral("Fixe"));
        engine.addons()->setFlag(locked, QStringLiteral("BlockEdit"), true);
        ASSERT_TRUE(engine.SaveReportFile(s_dir->filePath(QStringLiteral("Labels.rp2"))));
    }

    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    static Run run(const ScriptCase &c)
    {
        const QString tool
            = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quillot-report");
        QStringList arguments { QStringLiteral("eval"), QString::fromUtf8(c.expression),
            QStringLiteral("--data"), s_dir->path(), QStringLiteral("--report"),
            s_dir->filePath(QStringLiteral("Labels.rp2")), QStringLiteral("--locale"),
            QStringLiteral("fr_FR") };
        if (c.validate)
            arguments << QStringLiteral("--validate");
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), s_dir->path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(s_dir->path());
        process.start(tool, arguments);
        process.waitForFinished(30000);
        QString out = QString::fromUtf8(process.readAllStandardOutput());
        if (out.endsWith(u'\n'))
            out.chop(1);
        return { process.exitCode(), out, QString::fromUtf8(process.readAllStandardError()) };
    }

    static QTemporaryDir *s_dir;
};

QTemporaryDir *ReportToolScripts::s_dir = nullptr;

TEST_P(ReportToolScripts, PrintsTheValue)
{
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quillot-report");
    if (!QFileInfo::exists(tool))
        GTEST_SKIP() << "quillot-report is not built";
    const ScriptCase &c = GetParam();
    const Run result = run(c);
    if (QLatin1String(c.output) == QLatin1String("error")) {
        EXPECT_TRUE(result.out.startsWith(QLatin1String("error: "))) << result.out.toStdString();
        EXPECT_EQ(result.exitCode, 1);
    } else {
        EXPECT_EQ(result.out.toStdString(), std::string(c.output)) << result.err.toStdString();
        EXPECT_EQ(result.exitCode, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Text, ReportToolScripts,
    testing::Values(ScriptCase { "STRTOINT('2147483647')", "integer: 2147483647" },
        ScriptCase { "STRTOINT('2147483648')", "error" },
        ScriptCase { "TRIM('  x  ') + STR(STRLEN('abc'))", "string: x3" },
        ScriptCase { "STRETCHSTR('abc', 1)", "string: a b c" },
        ScriptCase { "STRLEN(STRETCHSTR('abc', 2000000000))", "integer: 255" },
        ScriptCase { "STRETCHSTR('abc',-5)", "string: abc" }, ScriptCase { "PADLEFT('ab',-5)", "string: ab" },
        ScriptCase { "STRLEN(PADRIGHT('a', 1000000))", "integer: 255" },
        ScriptCase { "PADLEFTZERO(42, 5)", "string: 00042" }, ScriptCase { "CHR(65)", "string: A" },
        ScriptCase { "CHR(256)", "error" }, ScriptCase { "CHR(-1)", "error" },
        ScriptCase { "INSERTSTR('%s %%', 'cent')", "string: cent %" },
        ScriptCase { "INSERTSTR('%n', 'x')", "error" }, ScriptCase { "INSERTSTR('%s%s', 'x')", "error" },
        ScriptCase { "STRTONUM('2,5') * 2", "float: 5" }));

INSTANTIATE_TEST_SUITE_P(Dates, ReportToolScripts,
    testing::Values(ScriptCase { "CALCDATE('31/01/2000', 0, 1, 0)", "string: 02/03/2000" },
        ScriptCase { "CALCDATE('31/01/2000', 29, 0, 0)", "string: 29/02/2000" },
        ScriptCase { "CALCDATE('06/06/2079', 1, 0, 0)", "error" },
        ScriptCase { "CALCDATE('01/01/1900',-1, 0, 0)", "error" },
        ScriptCase { "CALCTIME('23:59:30', 0, 0, 30)", "string: 00:00:00" },
        ScriptCase { "CALCTIME('10:00:00', 0, 0, 60)", "string: 10:01:00" },
        ScriptCase { "CALCTIME('10:00:00', 2000000000, 0, 0)", "error" },
        ScriptCase { "CALCTIME('10:00:00',-999999999, 0, 0)", "string: 19:00:00" },
        ScriptCase { "DAYSTRING(2) + ' ' + MONTHSTRING(5)", "string: lundi mai" },
        ScriptCase { "DAYSTRING(8)", "error" }, ScriptCase { "MONTHSTRING(0)", "error" },
        ScriptCase { "DATEDIFF('01/03/2000', '01/04/2000')", "float: 31" },
        ScriptCase { "REFORMATDATE('05/03/2001', 'dd mmmm yyyy')", "string: 05 mars 2001" },
        ScriptCase { "STR(EXTRACTYEAR('05/03/2001')) + STR(DAYOFWEEK('05/03/2001'))", "string: 20012" }));

INSTANTIATE_TEST_SUITE_P(DataSets, ReportToolScripts,
    testing::Values(ScriptCase { "RECORDCOUNT('tblTransaction')", "integer: 1" },
        ScriptCase { "RECORDCOUNT('tblAccount')", "integer: 0" },
        ScriptCase { "MEMOLINE('tblTransaction', 'Transaction_Description', 2)", "string: Janvier" },
        ScriptCase { "ISNULL('tblTransaction', 'Transaction_Description')", "boolean: False" },
        ScriptCase { "FIELDLEN('tblTransaction', 'Transaction_Description')", "integer: 100" },
        ScriptCase { "EOF('tblTransaction')", "boolean: False" },
        ScriptCase { "READINI('Banque.ini', 'Compte', 'Nom')", "string: Livret A" },
        ScriptCase { "READINI('Absent.ini', 'Compte', 'Nom')", "string: " },
        ScriptCase { "READREGISTRY('HKEY_CURRENT_USER', 'Software', 'Nom')", "string: " }));

INSTANTIATE_TEST_SUITE_P(Elements, ReportToolScripts,
    testing::Values(ScriptCase { "ELEMENTEXISTS('RpLabel1')", "boolean: True" },
        ScriptCase { "SETSTRPROP('RpLabel1', 'Caption', 'x') + '/' + GETSTRPROP('RpLabel1', 'Caption')",
            "string: x/x" },
        ScriptCase { "SETSTRPROP('RpLabel1', 'Caption', 'x') + '/' + GETSTRPROP('RpLabel1', 'Caption')",
            "string: x/Bonjour", true },
        ScriptCase { "SETSTRPROP('RpLabel2', 'Caption', 'x')", "error" },
        ScriptCase { "SETBOOLPROP('RpLabel1', 'BlockMove', True)", "error" },
        ScriptCase { "STR(SETCOLOR('RpLabel1', RGBCOLOR(1, 2, 3))) + STR(GETINTPROP('RpLabel1', 'Color'))",
            "string: True197121" },
        ScriptCase { "SETSTRPROP('tblAccount', 'FileName', 'ailleurs.dat')", "error" },
        ScriptCase { "SETBOOLPROP('tblAccount', 'Active', False)", "error" },
        ScriptCase { "PAGENUMBER", "integer: 0" }, ScriptCase { "PIXELS(10)", "integer: 38" },
        ScriptCase { "PAGECOUNT", "error" }));

INSTANTIATE_TEST_SUITE_P(Boxes, ReportToolScripts,
    testing::Values(ScriptCase { "YESNOBOX('Imprimer ?')", "boolean: True" },
        ScriptCase { "OKCANCELBOX('Imprimer ?')", "boolean: True" },
        ScriptCase { "OKBOX('Fini')", "boolean: True" }));

} // namespace
