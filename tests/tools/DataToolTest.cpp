// Runs the built quillot-data program (beside the test binaries: <build>/bin) as a user would.
#include "store/ChangeJournal.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Result
{
    int status = -1;
    QString out;
    QString err;
};

class DataToolTest : public ::testing::Test
{
protected:
    static QString toolPath()
    {
        return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/quillot-data"));
    }

    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(toolPath()).isExecutable()) << "build the quillot-data target first";
    }

    Result tool(const QStringList &arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(toolPath(), arguments);
        process.waitForFinished(30000);
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QByteArray bytes(const QString &name) const { return TestSupport::readFile(path(name)); }
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
};

const char *const kWorkedExample = "96 19 E0 BD 01 00 00 00 18 00 00 00 03 00 01 00 00 00 03 00 00 00 A9 00"
                                   "0E 4163636F756E745F4E756D626572 04 00 01 00 02 00 01 00"
                                   "07 53554254595045 02 00 49 00 08 00 4175746F696E6300"
                                   "0C 4163636F756E745F54797065 01 00 49 00 00 00 01 00"
                                   "05 5749445448 02 00 02 00 32 00"
                                   "0F 4163636F756E745F42616C616E6365 08 00 04 00 00 00 01 00"
                                   "07 53554254595045 02 00 49 00 06 00 4D6F6E657900"
                                   "01 00 0C 4155544F494E4356414C5545 04 00 01 00 02 00 00 00"
                                   "00 00 01 00 00 00 06 42616E717565 00 00 00 00 00 20 59 40";

TEST_F(DataToolTest, AddOnAFreshAccountFile_WritesTheWorkedExample_AndDumpReadsItBack)
{
    const Result added = tool({ "add", "Account.dat", "Account_Type=Banque", "Account_Balance=100.5" });
    EXPECT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, "1\n");
    EXPECT_EQ(bytes("Account.dat"), TestSupport::fromHex(kWorkedExample));

    const Result dumped = tool({ "dump", "Account.dat" });
    EXPECT_EQ(dumped.status, 0);
    EXPECT_EQ(dumped.out, "Account_Number,Account_Type,Account_Balance\r\n1,Banque,100.5\r\n");
}

TEST_F(DataToolTest, ConvertToXmlAndBack_GivesTheSameBytes)
{
    TestSupport::writeFile(path("Account.dat"), TestSupport::fromHex(kWorkedExample));
    ASSERT_EQ(tool({ "convert", "Account.dat", "Account.xml" }).status, 0);
    EXPECT_TRUE(bytes("Account.xml").startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET"));
    ASSERT_EQ(tool({ "convert", "Account.xml", "Back.dat" }).status, 0);
    EXPECT_EQ(bytes("Back.dat"), bytes("Account.dat"));
}

TEST_F(DataToolTest, Dump_WritesCsvWithIsoDatesShortestNumbersAndEmptyNulls)
{
    ASSERT_EQ(tool({ "add", "Transaction.dat", "Transaction_Description=Café, \"bio\" €",
                       "Transaction_Date=2024-01-02", "Transaction_Amount=0.1", "Account_Number=2" })
                  .status,
        0);
    ASSERT_EQ(tool({ "add", "Transaction.dat", "Transaction_Date=1999-12-31 23:59:58.25",
                       "Transaction_Amount=-12345678.9" })
                  .status,
        0);
    ASSERT_EQ(
        tool({ "add", "Transaction.dat", "Transaction_Date=2000-02-29 08:00", "Account_Number=1" }).status,
        0);
    const Result dumped = tool({ "dump", "Transaction.dat", "--index", "Account_Number" });
    EXPECT_EQ(dumped.status, 0) << dumped.err.toStdString();
    EXPECT_EQ(dumped.out,
        QStringLiteral("Transaction_Number,Transaction_Description,Transaction_Date,"
                       "Transaction_Amount,Account_Number\r\n"
                       "2,,1999-12-31T23:59:58.250,-12345678.9,\r\n"
                       "3,,2000-02-29T08:00:00,,1\r\n"
                       "1,\"Café, \"\"bio\"\" €\",2024-01-02,0.1,2\r\n"));
}

struct FailureCase
{
    const char *name;
    QStringList arguments;
    const char *messagePart;
};

class DataToolFailureTest : public DataToolTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(DataToolFailureTest, WritesOneLine_ExitsWithOne_AndChangesNoFile)
{
    TestSupport::writeFile(path("Account.dat"), TestSupport::fromHex(kWorkedExample));
    TestSupport::writeFile(path("Damaged.dat"), "\x96\x19\xE0\xBD garbage");
    const Result result = tool(GetParam().arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.startsWith("quillot-data: ")) << result.err.toStdString();
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QString::fromUtf8(GetParam().messagePart))) << result.err.toStdString();
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(bytes("Account.dat"), TestSupport::fromHex(kWorkedExample));
    EXPECT_EQ(files(), QStringList({ "Account.dat", "Damaged.dat" }));
}

INSTANTIATE_TEST_SUITE_P(Cases, DataToolFailureTest,
    ::testing::Values(FailureCase { "UnknownField", { "add", "Account.dat", "Account_Name=x" },
                          "Field 'Account_Name' not found" },
        FailureCase { "BadNumber", { "add", "Account.dat", "Account_Type=x", "Account_Balance=1,5" },
            "'1,5' is not a valid floating point value for field 'Account_Balance'" },
        FailureCase {
            "Infinity", { "add", "Account.dat", "Account_Balance=inf" }, "'inf' is not a valid floating" },
        FailureCase {
            "NotAnAssignment", { "add", "Account.dat", "Account_Type" }, "'Account_Type' is not NAME=VALUE" },
        FailureCase {
            "NewFileBadValue", { "add", "Income.dat", "Income_Number=x" }, "is not a valid integer value" },
        FailureCase {
            "UnknownTable", { "add", "Other.dat", "A=1" }, "'Other' is none of the program's tables" },
        FailureCase { "DumpMissing", { "dump", "Missing.dat" }, "Missing.dat: no such file" },
        FailureCase { "DumpDamaged", { "dump", "Damaged.dat" }, "Damaged.dat" },
        FailureCase { "AddDamaged", { "add", "Damaged.dat", "A=1" }, "Damaged.dat" },
        FailureCase { "ConvertDamaged", { "convert", "Damaged.dat", "Out.xml" }, "Damaged.dat" },
        FailureCase { "FilterUnfinished", { "dump", "Account.dat", "--filter", "Account_Number >" },
            "Expression expected but nothing found" },
        FailureCase { "FilterRegionalNumber", { "dump", "Account.dat", "--filter", "Account_Balance >= '1,5'" },
            "'1,5' is not a valid floating point value" },
        FailureCase { "FilterUnknownField", { "dump", "Account.dat", "--filter", "Nope = 1" },
            "Field 'Nope' not found" },
        FailureCase {
            "UnknownIndexField", { "dump", "Account.dat", "--index", "Nope" }, "Field 'Nope' not found" },
        FailureCase { "UnknownOption", { "dump", "Account.dat", "--sort" }, "unknown option --sort" },
        FailureCase { "UnknownCommand", { "list", "Account.dat" }, "unknown command 'list'" },
        FailureCase { "ConvertArguments", { "convert", "Account.dat" }, "convert needs IN and OUT" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DataToolTest, DumpWithAFilter_PrintsExactlyTheMatchingRows)
{
    for (const char *row : { "DUPONT|2024-03-12|100", "Dupuis|2024-03-12 12:30|25.5", "du|2024-03-11|-40",
             "dup|2024-03-13|150" }) {
        const QStringList parts = QString::fromLatin1(row).split(u'|');
        ASSERT_EQ(tool({ "add", "Transaction.dat", "Transaction_Description=" + parts[0],
                           "Transaction_Date=" + parts[1], "Transaction_Amount=" + parts[2] })
                      .status,
            0);
    }
    const QString header = QStringLiteral(
        "Transaction_Number,Transaction_Description,Transaction_Date,Transaction_Amount,Account_Number\r\n");
    struct Case
    {
        QStringList arguments;
        QString rows;
    };
    const Case cases[] = {
        { { "--filter", "Transaction_Description = 'dup*'", "--case-insensitive" },
            "1,DUPONT,2024-03-12,100,\r\n2,Dupuis,2024-03-12T12:30:00,25.5,\r\n4,dup,2024-03-13,150,\r\n" },
        { { "--filter", "Transaction_Description = 'dup*'", "--case-insensitive", "--no-partial-compare" }, "" },
        { { "--filter", "Transaction_Amount >= '100.5'" }, "4,dup,2024-03-13,150,\r\n" },
        { { "--filter", "Transaction_Date = '2024-03-12'" }, "1,DUPONT,2024-03-12,100,\r\n" },
    };
    for (const Case &c : cases) {
        const Result dumped = tool(QStringList { "dump", "Transaction.dat" } + c.arguments);
        EXPECT_EQ(dumped.status, 0) << dumped.err.toStdString();
        EXPECT_EQ(dumped.out, header + c.rows) << c.arguments.join(u' ').toStdString();
    }
}

TEST_F(DataToolTest, ATableWithPendingChanges_IsDumpedConvertedAndAddedToAsTheProgramShowsIt)
{
    // Two tables of a folder saved together, as the program saves them: their changes are in the journal.
    auto makeTable = [&](const char *name, const TFieldDefs &defs) {
        auto table = std::make_unique<TMemTable>();
        table->FieldDefs() = defs;
        table->setFileName(path(QString::fromLatin1(name)));
        table->CreateEmpty();
        table->setKeepChangeLog(false);
        return table;
    };
    auto accounts = makeTable("Account.dat", FinanceTables::accountDefs());
    auto incomes = makeTable("Income.dat", FinanceTables::incomeDefs());
    auto addRow = [](TMemTable &table, const char *field, const char *text) {
        table.AppendRow();
        table.FieldNamed(QString::fromLatin1(field))->setAsString(QString::fromUtf8(text));
        table.Post();
    };
    addRow(*accounts, "Account_Type", "Banque");
    addRow(*incomes, "Income_Description", "Salaire");
    TCustomMemTable::SaveChangesTogether({ accounts.get(), incomes.get() });
    addRow(*accounts, "Account_Type", "Livret");
    addRow(*incomes, "Income_Description", "Prime");
    TCustomMemTable::SaveChangesTogether({ accounts.get(), incomes.get() });
    ASSERT_TRUE(files().contains(QString::fromLatin1(ChangeJournal::kFileName)));
    const QByteArray accountFile = bytes("Account.dat");
    accounts->setFileName(QString());
    incomes->setFileName(QString());

    const QString header = QStringLiteral("Account_Number,Account_Type,Account_Balance\r\n");
    const Result dumped = tool({ "dump", "Account.dat" });
    EXPECT_EQ(dumped.status, 0) << dumped.err.toStdString();
    EXPECT_EQ(dumped.err, "");
    EXPECT_EQ(dumped.out, header + "1,Banque,\r\n2,Livret,\r\n");
    ASSERT_EQ(tool({ "convert", "Account.dat", "Copy.dat" }).status, 0);
    EXPECT_EQ(tool({ "dump", "Copy.dat" }).out, header + "1,Banque,\r\n2,Livret,\r\n");
    EXPECT_EQ(bytes("Account.dat"), accountFile) << "reading changes no file";

    // An addition folds the table's own changes into its file and leaves the other table's in the journal.
    ASSERT_EQ(tool({ "add", "Account.dat", "Account_Type=Coffre" }).out, "3\n");
    EXPECT_EQ(tool({ "dump", "Account.dat" }).out, header + "1,Banque,\r\n2,Livret,\r\n3,Coffre,\r\n");
    EXPECT_EQ(tool({ "dump", "Income.dat" }).out,
        QStringLiteral("Income_Number,Income_Description\r\n1,Salaire\r\n2,Prime\r\n"));

    // A journal whose last record was cut off: the dump says so and shows the rest.
    const QString journal = path(QString::fromLatin1(ChangeJournal::kFileName));
    TestSupport::writeFile(journal, TestSupport::readFile(journal) + QByteArray("QCJ1 cut"));
    const Result warned = tool({ "dump", "Income.dat" });
    EXPECT_EQ(warned.status, 0);
    EXPECT_EQ(warned.out, QStringLiteral("Income_Number,Income_Description\r\n1,Salaire\r\n2,Prime\r\n"));
    EXPECT_TRUE(warned.err.startsWith("quillot-data: warning: ")) << warned.err.toStdString();
    EXPECT_TRUE(warned.err.contains("not completely written")) << warned.err.toStdString();
}

TEST_F(DataToolTest, WithoutArguments_PrintsTheUsage)
{
    const Result result = tool({});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("quillot-data add FILE NAME=VALUE"));
}

} // namespace
