// Runs the built quillot-data program (beside the test binaries: <build>/bin) as a user would.
#include "platform/DateTime.h"
#include "store/ChangeJournal.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <charconv>
#include <gtest/gtest.h>
#include <random>

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
        FailureCase { "FilterRegionalNumber",
            { "dump", "Account.dat", "--filter", "Account_Balance >= '1,5'" },
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
        { { "--filter", "Transaction_Description = 'dup*'", "--case-insensitive", "--no-partial-compare" },
            "" },
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

// The dump formats the stored bytes itself; what it prints must be what the field objects give for each
// value: dates through the calendar of QDate, texts decoded from Windows-1252, numbers as their shortest
// text.
QString fieldText(const TField &field)
{
    if (field.IsNullValue())
        return QString();
    switch (field.DataType()) {
    case ftInteger:
    case ftAutoInc:
    case ftSmallint:
    case ftWord:
        return QString::number(field.AsInteger());
    case ftFloat:
    case ftCurrency: {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, field.AsNumber());
        return QString::fromLatin1(buffer, result.ptr - buffer);
    }
    case ftDateTime: {
        const QDateTime moment = DateTime::toQDateTime(field.AsDateTime());
        QString text = moment.date().toString(QStringLiteral("yyyy-MM-dd"));
        const int ms = DateTime::msecOfDay(field.AsDateTime());
        if (ms != 0)
            text += moment.time().toString(
                ms % 1000 != 0 ? QStringLiteral("'T'hh:mm:ss.zzz") : QStringLiteral("'T'hh:mm:ss"));
        return text;
    }
    default:
        break;
    }
    QString text = field.AsString();
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r'))
        || text.contains(QLatin1Char('\n')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return text;
}

TEST_F(DataToolTest, Dump_PrintsEveryKindOfStoredValueAsItsFieldGivesIt)
{
    TFieldDefs defs;
    defs.Add(QStringLiteral("N"), ftAutoInc);
    defs.Add(QStringLiteral("I"), ftInteger);
    defs.Add(QStringLiteral("S"), ftSmallint);
    defs.Add(QStringLiteral("W"), ftWord);
    defs.Add(QStringLiteral("F"), ftFloat);
    defs.Add(QStringLiteral("C"), ftCurrency);
    defs.Add(QStringLiteral("D"), ftDateTime);
    defs.Add(QStringLiteral("T"), ftString, 12);
    {
        TMemTable table;
        table.FieldDefs() = defs;
        table.setFileName(path(QStringLiteral("Mix.dat")));
        table.CreateEmpty();
        table.setKeepChangeLog(false);
        IRecordCursor &cursor = *table.cursor();
        const RecordLayout &layout = table.store()->layout();
        QByteArray record(layout.recordSize(), '\0');
        std::mt19937_64 random(17);
        constexpr double kMsPerDay = 86400000.0;
        // Day 1 is 1 January of year 1, day 3652059 is 31 December 9999; 693594 is 30 December 1899.
        const std::vector<double> stamps { 1 * kMsPerDay, 3652059 * kMsPerDay + 86399999, 693594 * kMsPerDay,
            693594 * kMsPerDay - 1, 693593 * kMsPerDay + 0.5, 730119 * kMsPerDay + 43200000.4,
            36524 * kMsPerDay + 1000, 365 * kMsPerDay + 59 * 60000 + 999.5 };
        const std::vector<double> numbers { 0.0, -0.0, 0.1, 1e300, -4.9e-324, 123456789.125, 1e21, 1e-7 };
        const std::vector<QByteArray> texts { "", "plain", "a,b", "say \"hi\"", "two\r\nlines",
            "\x80\x81\x8d\x9f\xa0\xe9\xff", "123456789012", "\"" };
        for (int i = 0; i < 600; ++i) {
            char *r = record.data();
            cursor.initRecord(r);
            const auto pick = [&](size_t n) { return size_t(random() % n); };
            const auto maybe = [&](int column, auto &&set) {
                if (random() % 7 == 0)
                    Record::setState(layout, r, column, FieldState::Null);
                else
                    set();
            };
            maybe(1, [&] {
                const qint32 v = qint32(random());
                Record::setValue(layout, r, 1, reinterpret_cast<const char *>(&v), 4);
            });
            maybe(2, [&] {
                const qint16 v = qint16(random());
                Record::setValue(layout, r, 2, reinterpret_cast<const char *>(&v), 2);
            });
            maybe(3, [&] {
                const quint16 v = quint16(random());
                Record::setValue(layout, r, 3, reinterpret_cast<const char *>(&v), 2);
            });
            for (int column : { 4, 5 }) {
                maybe(column, [&] {
                    double v = i < 8 ? numbers[size_t(i)]
                                     : double(qint64(random() % 2000000001) - 1000000000) / 100;
                    if (pick(4) == 0)
                        v = numbers[pick(numbers.size())];
                    Record::setValue(layout, r, column, reinterpret_cast<const char *>(&v), 8);
                });
            }
            maybe(6, [&] {
                double v = i < int(stamps.size()) ? stamps[size_t(i)]
                                                  : double(1 + qint64(random() % 3652059)) * kMsPerDay;
                if (i >= int(stamps.size()) && pick(2) == 0)
                    v += double(random() % 86400000) + (pick(3) == 0 ? 0.5 : 0.0);
                Record::setValue(layout, r, 6, reinterpret_cast<const char *>(&v), 8);
            });
            maybe(7, [&] {
                QByteArray v = texts[pick(texts.size())];
                if (pick(2) == 0) {
                    v.clear();
                    for (size_t k = pick(13); k > 0; --k)
                        v.append(char(1 + random() % 255));
                }
                Record::setValue(layout, r, 7, v.constData(), int(v.size()));
            });
            cursor.moveToAfterLast();
            cursor.insertRecord(r);
        }
        table.Close();
    }

    TMemTable table;
    table.setFileName(path(QStringLiteral("Mix.dat")));
    table.Open();
    QString expected = QStringLiteral("N,I,S,W,F,C,D,T\r\n");
    int rows = 0;
    for (table.First(); !table.AtEnd(); table.Next(), ++rows) {
        QStringList line;
        for (const auto &field : table.Fields())
            line << fieldText(*field);
        expected += line.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    table.Close();
    ASSERT_EQ(rows, 600);

    const Result dumped = tool({ "dump", "Mix.dat" });
    ASSERT_EQ(dumped.status, 0) << dumped.err.toStdString();
    const QStringList got = dumped.out.split(QStringLiteral("\r\n"));
    const QStringList want = expected.split(QStringLiteral("\r\n"));
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i].toStdString(), want[i].toStdString()) << "line " << i;
}

TEST_F(DataToolTest, WithoutArguments_PrintsTheUsage)
{
    const Result result = tool({});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("quillot-data add FILE NAME=VALUE"));
}

} // namespace
