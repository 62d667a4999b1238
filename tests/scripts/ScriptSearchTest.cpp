// The two searches by name, the data-set functions over tables found by them, READINI, and the script text.
#include "ScriptTestSupport.h"

#include "report/elements/LabelItems.h"
#include "report/scripts/ReportScript.h"
#include "report/scripts/ScriptComponents.h"
#include "report/scripts/ScriptDates.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace {

QString eval(const char *text)
{
    return ScriptTest::eval(QString::fromUtf8(text));
}

TRpDesignLabel *addLabel(ReportFileEngine &engine, const QString &name, const QString &caption)
{
    auto *band = engine.report()->findChild<TRpDesignBand *>();
    if (!band) {
        band = new TRpDesignBand(engine.report());
        band->setObjectName(QStringLiteral("Detailband"));
        band->setBandType(Rp::rbDetail);
    }
    auto *label = new TRpDesignLabel(band);
    label->setObjectName(name);
    label->setCaption(caption);
    return label;
}

TMemTable *addTransactions(QObject *owner, const QString &name, const QStringList &descriptions)
{
    auto *table = new TMemTable(owner);
    table->setObjectName(name);
    table->FieldDefs() = FinanceTables::transactionDefs();
    table->CreateEmpty();
    table->setKeepChangeLog(false);
    for (const QString &description : descriptions) {
        table->AppendRow();
        if (!description.isNull())
            table->FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(description);
        table->Post();
    }
    table->First();
    return table;
}

TEST(ScriptSearch, ElementsAreLookedForInTheNewestWindowFirst)
{
    ReportFileEngine older(QStringLiteral("OlderWindow"));
    ReportFileEngine newer(QStringLiteral("NewerWindow"));
    addLabel(older, QStringLiteral("Same"), QStringLiteral("older"));
    addLabel(newer, QStringLiteral("Same"), QStringLiteral("newer"));
    addLabel(older, QStringLiteral("OnlyOlder"), QStringLiteral("older only"));
    EXPECT_EQ(eval("GETSTRPROP('Same', 'Caption')"), QStringLiteral("string: newer"));
    EXPECT_EQ(eval("GETSTRPROP('OnlyOlder', 'Caption')"), QStringLiteral("string: older only"));
    EXPECT_EQ(eval("GETCAPTION('Same')"), QStringLiteral("string: newer"));
}

TEST(ScriptSearch, AWindowWithoutADesignedReportIsPassedOver)
{
    ReportFileEngine engine(QStringLiteral("WithReport"));
    addLabel(engine, QStringLiteral("Shared"), QStringLiteral("in the report"));
    QObject plainWindow;
    plainWindow.setObjectName(QStringLiteral("PlainWindow"));
    auto *other = new TRpDesignLabel(&plainWindow);
    other->setObjectName(QStringLiteral("Shared"));
    other->setCaption(QStringLiteral("elsewhere"));
    RpComponents::addWindow(&plainWindow);
    EXPECT_EQ(eval("GETSTRPROP('Shared', 'Caption')"), QStringLiteral("string: in the report"));
    // GETCAPTION looks at every window, the newest first.
    EXPECT_EQ(eval("GETCAPTION('Shared')"), QStringLiteral("string: elsewhere"));
    RpComponents::remove(&plainWindow);
}

TEST(ScriptSearch, ADataSetWithoutTheFieldDoesNotCountWhereItIs)
{
    ScriptTest::AppDataModule first(QStringLiteral("FirstModule"));
    ScriptTest::AppDataModule second(QStringLiteral("SecondModule"));
    addTransactions(&first, QStringLiteral("tblShared"), { QStringLiteral("a"), QStringLiteral("b") });
    auto *without = new TMemTable(&second);
    without->setObjectName(QStringLiteral("tblShared"));
    without->FieldDefs() = FinanceTables::accountDefs();
    without->CreateEmpty();
    // The newest module's table is the one named; asking for a field it lacks finds the older one.
    EXPECT_EQ(eval("RECORDCOUNT('tblShared')"), QStringLiteral("integer: 0"));
    EXPECT_EQ(eval("FIELDLEN('tblShared', 'Transaction_Description')"), QStringLiteral("integer: 100"));
    EXPECT_EQ(eval("FIELDLEN('tblShared', 'Account_Type')"), QStringLiteral("integer: 50"));
    EXPECT_TRUE(eval("FIELDLEN('tblShared', 'NoSuchField')").startsWith(QLatin1String("error")));
}

TEST(ScriptSearch, DataSetFunctionsReadTheCurrentRow)
{
    ScriptTest::AppDataModule module(QStringLiteral("DataModule1"));
    TMemTable *table = addTransactions(&module, QStringLiteral("tblTransaction"),
        { QStringLiteral("un\r\ndeux\r\ntrois"), QString(), QStringLiteral("") });
    EXPECT_EQ(eval("RECORDCOUNT('tblTransaction')"), QStringLiteral("integer: 3"));
    EXPECT_EQ(eval("EOF('tblTransaction')"), QStringLiteral("boolean: False"));
    EXPECT_EQ(eval("ISNULL('tblTransaction', 'Transaction_Description')"), QStringLiteral("boolean: False"));
    EXPECT_EQ(
        eval("MEMOLINE('tblTransaction', 'Transaction_Description', 2)"), QStringLiteral("string: deux"));
    EXPECT_EQ(eval("MEMOLINE('tblTransaction', 'Transaction_Description', 4)"), QStringLiteral("string: "));
    EXPECT_EQ(eval("MEMOLINE('tblTransaction', 'Transaction_Description', 0)"), QStringLiteral("string: "));
    EXPECT_TRUE(
        eval("MEMOLINE('tblTransaction', 'Transaction_Description')").startsWith(QLatin1String("error")));
    table->Next();
    EXPECT_EQ(eval("ISNULL('tblTransaction', 'Transaction_Description')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("ISEMPTY('tblTransaction', 'Transaction_Description')"), QStringLiteral("boolean: True"));
    table->Last();
    table->Next();
    EXPECT_EQ(eval("EOF('tblTransaction')"), QStringLiteral("boolean: True"));
    table->Close();
    EXPECT_TRUE(eval("RECORDCOUNT('tblTransaction')").startsWith(QLatin1String("error")));
}

class ReadIni : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        saved = QDir::currentPath();
        QDir::setCurrent(dir.path());
        TestSupport::writeFile(dir.filePath(QStringLiteral("report.ini")),
            "[Banque]\r\nNom=Caisse d'épargne\r\n; commentaire\r\n[Autre]\r\nNom=x\r\n");
    }
    void TearDown() override { QDir::setCurrent(saved); }

    QTemporaryDir dir;
    QString saved;
};

TEST_F(ReadIni, ReadsAValueOfAFileNamedFromTheWorkingFolder)
{
    EXPECT_EQ(ScriptTest::eval(QStringLiteral("READINI('report.ini', 'banque', 'NOM')")),
        QStringLiteral("string: Caisse d'épargne"));
    EXPECT_EQ(
        ScriptTest::eval(
            QStringLiteral("READINI('%1', 'Autre', 'Nom')").arg(dir.filePath(QStringLiteral("report.ini")))),
        QStringLiteral("string: x"));
    EXPECT_EQ(eval("READINI('report.ini', 'Banque', 'Absent')"), QStringLiteral("string: "));
}

TEST_F(ReadIni, NeverCreatesOrChangesTheFile)
{
    const QByteArray before = TestSupport::readFile(dir.filePath(QStringLiteral("report.ini")));
    EXPECT_EQ(eval("READINI('missing.ini', 'A', 'B')"), QStringLiteral("string: "));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing.ini"))));
    EXPECT_EQ(eval("READINI('report.ini', 'Nouvelle', 'Clé')"), QStringLiteral("string: "));
    EXPECT_EQ(TestSupport::readFile(dir.filePath(QStringLiteral("report.ini"))), before);
}

TEST_F(ReadIni, RefusesFoldersAndFilesTooLargeToBeSettings)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder.ini"));
    EXPECT_TRUE(eval("READINI('folder.ini', 'A', 'B')").startsWith(QLatin1String("error")));
    TestSupport::writeFile(
        dir.filePath(QStringLiteral("huge.ini")), "[A]\r\nB=1\r\n" + QByteArray(2 * 1024 * 1024, ';'));
    EXPECT_TRUE(eval("READINI('huge.ini', 'A', 'B')").startsWith(QLatin1String("error")));
}

struct DayCountCase
{
    int year, month, day;
    qint64 count;
};

class DayCounts : public testing::TestWithParam<DayCountCase>
{
};

TEST_P(DayCounts, GoBothWays)
{
    const DayCountCase &c = GetParam();
    EXPECT_EQ(RpScriptDates::dayCount(c.year, c.month, c.day), c.count);
    QDate date;
    ASSERT_TRUE(RpScriptDates::dateOfCount(c.count, date));
    EXPECT_EQ(date, QDate(c.year, c.month, c.day));
}

INSTANTIATE_TEST_SUITE_P(Calendar, DayCounts,
    testing::Values(DayCountCase { 1900, 1, 1, 0 }, DayCountCase { 1900, 1, 31, 30 },
        DayCountCase { 1900, 2, 1, 31 }, DayCountCase { 1900, 2, 28, 58 }, DayCountCase { 1900, 3, 1, 59 },
        DayCountCase { 1904, 2, 29, 1519 }, DayCountCase { 2000, 2, 29, 36583 },
        DayCountCase { 2000, 3, 1, 36584 }, DayCountCase { 2079, 6, 6, 65535 }));

TEST(DayCountsEveryDay, MatchTheCalendarFromTheFirstToTheLastDay)
{
    QDate date(1900, 1, 1);
    for (qint64 count = 0; count <= RpScriptDates::kLastDayCount; ++count, date = date.addDays(1)) {
        QDate back;
        ASSERT_TRUE(RpScriptDates::dateOfCount(count, back)) << count;
        ASSERT_EQ(back, date) << count;
        ASSERT_EQ(RpScriptDates::dayCount(date.year(), date.month(), date.day()), count);
    }
    QDate none;
    EXPECT_FALSE(RpScriptDates::dateOfCount(-1, none));
    EXPECT_FALSE(RpScriptDates::dateOfCount(RpScriptDates::kLastDayCount + 1, none));
}

TEST(ReportScript, RenamesOnlySectionsOfExactlyTheOldName)
{
    QStringList script { QStringLiteral("[RpLabel1.BeforePrint]"), QStringLiteral("[RpLabel10.BeforePrint]"),
        QStringLiteral("[rplabel1.BeforePrint]"), QStringLiteral("  [RpLabel1.AfterPrint]"),
        QStringLiteral("RpLabel1 := 1"), QStringLiteral("[RpLabel1.") + QString(300, u'x') };
    EXPECT_EQ(RpReportScript::renameSections(script, QStringLiteral("RpLabel1"), QStringLiteral("Total")), 2);
    EXPECT_EQ(script[0], QStringLiteral("[Total.BeforePrint]"));
    EXPECT_EQ(script[1], QStringLiteral("[RpLabel10.BeforePrint]"));
    EXPECT_EQ(script[2], QStringLiteral("[rplabel1.BeforePrint]"));
    EXPECT_EQ(script[3], QStringLiteral("  [RpLabel1.AfterPrint]"));
    EXPECT_EQ(script[4], QStringLiteral("RpLabel1 := 1"));
    EXPECT_EQ(script[5].size(), 255);
    EXPECT_TRUE(script[5].startsWith(QLatin1String("[Total.xxx")));
}

TEST(ReportScript, FindsSectionsIgnoringCase)
{
    const QStringList script { QStringLiteral("x"), QStringLiteral("[DETAILBAND.BeforePrint]") };
    EXPECT_TRUE(RpReportScript::hasSection(script, QStringLiteral("Detailband")));
    EXPECT_FALSE(RpReportScript::hasSection(script, QStringLiteral("Detail")));
    EXPECT_FALSE(RpReportScript::hasSection(script, QString()));
    EXPECT_TRUE(RpReportScript::keepsScriptOnRename(QStringLiteral("rowspace")));
    EXPECT_FALSE(RpReportScript::keepsScriptOnRename(QStringLiteral("Detailband")));
}

TEST(ReportScript, TravelsWithTheReportFile)
{
    ReportFileEngine engine(QStringLiteral("ScriptWindow"));
    engine.report()->setScript({ QStringLiteral("[RpLabel1.BeforePrint]"), QStringLiteral("begin end;") });
    QByteArray bytes;
    ASSERT_TRUE(engine.SaveReportStream(bytes));
    ReportFileEngine other(QStringLiteral("ScriptWindow"));
    other.LoadReportStream(bytes);
    EXPECT_EQ(other.report()->script(), engine.report()->script());
}

} // namespace
