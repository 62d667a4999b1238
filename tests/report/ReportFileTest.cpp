#include "ReportFileTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray saved(ReportFileEngine &engine)
{
    QByteArray bytes;
    EXPECT_TRUE(engine.SaveReportStream(bytes));
    return bytes;
}

// The file of an engine holding only what a new report has.
QByteArray emptyReportFile()
{
    ReportFileEngine engine;
    return saved(engine);
}

// ---------------------------------------------------------------- whole files

// A full design's file, written by an engine that is gone again (so that its names are free).
QByteArray fullDesignFile()
{
    ReportFileEngine engine;
    makeFullDesign(engine);
    return saved(engine);
}

TEST(ReportFile, AFullDesignSurvivesSaveLoadSaveByteForByte)
{
    const QByteArray once = fullDesignFile();
    ReportFileEngine second;
    second.setSaveLoadPrinterSetup(true);
    second.LoadReportStream(once);
    const QByteArray twice = saved(second);
    EXPECT_EQ(once.toStdString(), twice.toStdString());
    if (qEnvironmentVariableIsSet("SHOW_REPORT_TEXT"))
        printf("%s", once.constData());

    // What was read is what was written, not merely text that happens to match.
    TDesignRpReport *report = second.report();
    EXPECT_EQ(report->labelSettings()->labelCount(), 12);
    EXPECT_EQ(report->script().size(), 2);
    auto *header = report->findChild<TRpDesignBand *>(QStringLiteral("PageHeader"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->bandNum(), 65535);
    EXPECT_TRUE(header->notOnLastPage());
    EXPECT_EQ(header->printCondition(), QStringLiteral("PAGENUMBER > 1"));
    auto *group = report->findChild<TRpDesignGroup *>(QStringLiteral("Group1"));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->printCondition(), QStringLiteral("TRUE"));
    EXPECT_EQ(group->expression(), QStringLiteral("Account_Number"));
    auto *dbText = report->findChild<TRpDesignDBText *>(QStringLiteral("DBText1"));
    ASSERT_TRUE(dbText);
    ASSERT_TRUE(dbText->dataSet());
    EXPECT_EQ(dbText->dataSet()->parent(), second.dataModule());
    EXPECT_EQ(dbText->mapList(), QStringList({ QStringLiteral("Oui\t1"), QStringLiteral("Non\t0") }));
    auto *rich = report->findChild<TRpDesignRichtext *>(QStringLiteral("Richtext1"));
    ASSERT_TRUE(rich);
    EXPECT_EQ(rich->lines(), QStringList({ QStringLiteral("{\\rtf1 gras}"), QStringLiteral("fin") }));
    QObject *label = report->findChild<QObject *>(QStringLiteral("Label1"));
    EXPECT_TRUE(second.addons()->flag(label, QStringLiteral("BlockMove")));
    EXPECT_EQ(second.addons()->number(label, QStringLiteral("GroupID")), 1);
    EXPECT_EQ(second.dataModule()->expressionSQL(),
        QStringList({ QStringLiteral("Query1=select * from T\\~nwhere A = %%X%%") }));
    EXPECT_FALSE(second.modified());
}

TEST(ReportFile, WritesTheFourBlocksInTextNotation)
{
    ReportFileEngine engine;
    makeFullDesign(engine);
    const QByteArray text = saved(engine);
    EXPECT_TRUE(text.startsWith("object Header: TComponentFileHeader\r\n"));
    EXPECT_TRUE(text.contains("\r\nobject RuntimeDatamodule: TRuntimeDatamodule\r\n"));
    EXPECT_TRUE(text.contains("\r\nobject RpReport: TDesignRpReport\r\n"));
    EXPECT_TRUE(text.contains("\r\nobject TPropertyAddons\r\n  object TPropertyAddon\r\n"));
    EXPECT_TRUE(text.contains("    Component = ReportDesignerForm.Label1\r\n"));
    EXPECT_TRUE(text.contains("'GroupID=1'"));
    EXPECT_TRUE(text.contains("  ReportTitle = 'Relev\xE9 l'#39'\xE9t\xE9'\r\n"));
    EXPECT_TRUE(text.contains("'Query1=select * from T\\~nwhere A = %%X%%'"));
    EXPECT_TRUE(text.contains("DataSet = RuntimeDatamodule.Query1\r\n"));
    EXPECT_TRUE(text.contains("PrintExpression = 'TRUE'"));
    EXPECT_TRUE(text.contains("EditorEnabled = False"));
    EXPECT_TRUE(text.contains("Degree = 90"));
    EXPECT_TRUE(text.contains("MapList.Strings = ("));
    EXPECT_TRUE(text.contains("RichtextLines = {"));
    EXPECT_TRUE(text.contains("DesignBackground.Data = {"));
    EXPECT_TRUE(text.contains("PrinterName = 'Bureau'"));
    EXPECT_FALSE(text.contains("\n  ShowProgress"));
    for (const char *never : { "\r\n  Left = ", "\r\n  Top = ", "\r\n  Width = ", "\r\n  Height = " }) {
        const qsizetype report = text.indexOf("object RpReport");
        const qsizetype firstBand = text.indexOf("\r\n  object ", report);
        EXPECT_EQ(text.mid(report, firstBand - report).indexOf(never), -1) << never;
    }
    EXPECT_EQ(text.count("\r\n"), text.count("\n")) << "every line ends with CR LF";
}

TEST(ReportFile, AnEmptyReportsHeaderWritesItsUserDataAsEmptyBraces)
{
    const QByteArray text = emptyReportFile();
    EXPECT_TRUE(text.startsWith("object Header: TComponentFileHeader\r\n  UserData = {}\r\nend\r\n"))
        << text.constData();
    ReportFileEngine engine;
    engine.LoadReportStream(text);
    EXPECT_EQ(saved(engine), text);
}

TEST(ReportFile, StringsAreCutAndCodedAsTheNotationSays)
{
    ReportFileEngine engine;
    auto *band = new TRpDesignBand(engine.report());
    band->setObjectName(QStringLiteral("B"));
    auto *quote = new TRpDesignLabel(band);
    quote->setObjectName(QStringLiteral("Quote"));
    quote->setCaption(QStringLiteral("l'a"));
    auto *lines = new TRpDesignLabel(band);
    lines->setObjectName(QStringLiteral("Lines"));
    lines->setCaption(QStringLiteral("a\r\nb"));
    auto *long70 = new TRpDesignLabel(band);
    long70->setObjectName(QStringLiteral("Long"));
    long70->setCaption(QString(64, u'a') + QString(6, u'b'));
    const QByteArray text = saved(engine);
    EXPECT_TRUE(text.contains("Caption = 'l'#39'a'\r\n"));
    EXPECT_TRUE(text.contains("Caption = 'a'#13#10'b'\r\n"));
    EXPECT_TRUE(
        text.contains("      Caption = \r\n        '" + QByteArray(64, 'a') + "' +\r\n        'bbbbbb'\r\n"))
        << text.constData();
}

TEST(ReportFile, AFileEndingAfterTheReportLoadsWithoutAddons)
{
    QByteArray text = fullDesignFile();
    text.truncate(text.indexOf("object TPropertyAddons"));

    for (const QByteArray &ending : { QByteArray(), QByteArray("  \r\n\r\n\t \r\n") }) {
        ReportFileEngine engine;
        engine.addons()->setFlag(engine.report(), QStringLiteral("BlockMove"), true);
        engine.LoadReportStream(text + ending);
        EXPECT_EQ(engine.addons()->count(), 0);
        EXPECT_TRUE(engine.report()->findChild<QObject *>(QStringLiteral("Label1")));
    }
}

TEST(ReportFile, LoadingClearsTheDesignIntoTheSameReport)
{
    const QByteArray empty = emptyReportFile();
    ReportFileEngine engine;
    TDesignRpReport *report = engine.report();
    makeFullDesign(engine);
    report->page()->setColumns(2);
    report->frame()->setDrawLeft(true);
    report->frame()->setWidth(4);
    report->page()->setPaperSize(RpPaper::Letter);
    engine.LoadReportStream(empty);
    EXPECT_EQ(engine.report(), report);
    EXPECT_TRUE(report->findChildren<RpControl *>().isEmpty()) << "every band and element went";
    EXPECT_TRUE(report->reportTitle().isEmpty());
    EXPECT_TRUE(report->description().isEmpty());
    EXPECT_TRUE(report->script().isEmpty());
    EXPECT_EQ(report->labelSettings()->firstLabel(), 0);
    EXPECT_EQ(report->page()->columns(), 1);
    EXPECT_EQ(report->frame()->width(), 1);
    EXPECT_FALSE(report->frame()->drawLeft());
    EXPECT_EQ(engine.addons()->count(), 0);
    EXPECT_EQ(report->page()->paperSize(), RpPaper::Letter) << "what the file does not store stays";
}

TEST(ReportFile, ReadsBlocksInTheResourceFormToo)
{
    const QByteArray text = fullDesignFile();
    // The same file with every block in the resource form.
    QByteArray resource;
    qsizetype position = 0;
    while (position < text.size()) {
        qsizetype consumed = 0;
        const StreamObject block = readObjectText(text.mid(position), &consumed);
        resource += writeObjectResource(block);
        position += consumed;
    }
    ReportFileEngine reader;
    reader.setSaveLoadPrinterSetup(true);
    reader.LoadReportStream(resource);
    EXPECT_EQ(saved(reader).toStdString(), text.toStdString());
}

TEST(ReportFile, UnresolvedAddonsAreDropped)
{
    QByteArray text = emptyReportFile();
    text += "object TPropertyAddons\r\n  object TPropertyAddon\r\n    Component = Form1.Missing\r\n"
            "    Properties.Strings = (\r\n      'BlockMove=True')\r\n  end\r\nend\r\n";
    ReportFileEngine engine;
    engine.LoadReportStream(text);
    EXPECT_EQ(engine.addons()->count(), 0);
}

TEST(ReportFile, ElementReferencesOfAnotherWindowResolveInTheReadingOne)
{
    QByteArray text;
    {
        ReportFileEngine writer(QStringLiteral("frmOther"));
        makeFullDesign(writer);
        text = saved(writer);
    }
    ASSERT_TRUE(text.contains("Component = frmOther.Label1"));
    TRpDLoader reader(QStringLiteral("ReportPrintForm"));
    reader.LoadReportStream(text);
    QObject *label = reader.report()->findChild<QObject *>(QStringLiteral("Label1"));
    EXPECT_TRUE(reader.addons()->flag(label, QStringLiteral("BlockEdit")));
}

// ---------------------------------------------------------------- old formats and unreadable files

struct MarkerCase
{
    const char *name;
    QByteArray start;
    bool designerMessage; // the designer refuses with the message box
    bool loaderMessageText; // the loader fails with the old-format text (no box)
};

class OldFormats : public testing::TestWithParam<MarkerCase>
{
};

TEST_P(OldFormats, AreRefusedAsTheEngineSays)
{
    const QByteArray file = GetParam().start + QByteArray("rest of an old file");
    QStringList shown;
    RpMessages::setMessageBox([&](const QString &message) { shown << message; });
    ReportFileEngine designer;
    try {
        designer.LoadReportStream(file);
        ADD_FAILURE() << "loaded";
    } catch (const EReportFileError &error) {
        EXPECT_TRUE(GetParam().designerMessage);
        EXPECT_EQ(error.message(), oldFormatMessage());
    } catch (const Exception &) {
        EXPECT_FALSE(GetParam().designerMessage);
    }
    EXPECT_EQ(shown, GetParam().designerMessage ? QStringList { oldFormatMessage() } : QStringList {});

    shown.clear();
    TRpDLoader loader;
    try {
        loader.LoadReportStream(file);
        ADD_FAILURE() << "loaded";
    } catch (const EReportFileError &error) {
        EXPECT_TRUE(GetParam().loaderMessageText);
        EXPECT_EQ(error.message(), oldFormatMessage());
    } catch (const Exception &) {
        EXPECT_FALSE(GetParam().loaderMessageText);
    }
    EXPECT_TRUE(shown.isEmpty());
    RpMessages::setMessageBox({});
}

INSTANTIATE_TEST_SUITE_P(Markers, OldFormats,
    testing::Values(MarkerCase { "Marker1030", QByteArray("\x06\x04", 2), true, true },
        MarkerCase { "Marker1", QByteArray("\x01\x00", 2), true, false },
        MarkerCase { "Marker0", QByteArray("\x00\x00", 2), true, false }),
    [](const auto &info) { return std::string(info.param.name); });

class UnreadableFiles : public testing::TestWithParam<QByteArray>
{
};

TEST_P(UnreadableFiles, FailAndChangeNothing)
{
    ReportFileEngine engine;
    makeFullDesign(engine);
    const QByteArray before = saved(engine);
    engine.setModified(true);
    TDesignRpReport *report = engine.report();
    EXPECT_THROW(engine.LoadReportStream(GetParam()), Exception);
    EXPECT_EQ(engine.report(), report);
    EXPECT_TRUE(engine.modified());
    EXPECT_EQ(saved(engine).toStdString(), before.toStdString());
}

QByteArray deeplyNested(int depth)
{
    QByteArray text = emptyReportFile();
    text.truncate(text.indexOf("object RpReport"));
    text += "object RpReport: TDesignRpReport\r\n";
    for (int i = 0; i < depth; ++i)
        text += "object B" + QByteArray::number(i) + ": TRpDesignBand\r\n";
    for (int i = 0; i <= depth; ++i)
        text += "end\r\n";
    return text;
}

QByteArray resourceWithLength(quint32 length)
{
    QByteArray bytes("\xFF\x0A\x00TCOMPONENTFILEHEADER\x00\x30\x10", 25);
    for (int i = 0; i < 4; ++i)
        bytes += char((length >> (8 * i)) & 0xFF);
    return bytes + "TPF0";
}

QByteArray headerWithValue(const QByteArray &tagAndValue)
{
    QByteArray body("TPF0\x14TComponentFileHeader\x06Header\x08UserData", 40);
    body += tagAndValue;
    body += QByteArray("\x00\x00", 2);
    QByteArray bytes("\xFF\x0A\x00TCOMPONENTFILEHEADER\x00\x30\x10", 25);
    const quint32 length = quint32(body.size());
    for (int i = 0; i < 4; ++i)
        bytes += char((length >> (8 * i)) & 0xFF);
    return bytes + body + emptyReportFile().mid(emptyReportFile().indexOf("object RuntimeDatamodule"));
}

INSTANTIATE_TEST_SUITE_P(Hostile, UnreadableFiles,
    testing::Values(QByteArray(), QByteArray("o"), QByteArray("object Header: TComponentFileHeader\r\n"),
        QByteArray("object Header: TComponentFileHeader\r\nend\r\n"), resourceWithLength(0xFFFFFFF0u),
        headerWithValue(QByteArray("\x0A\xFF\xFF\xFF\x7F", 5)), // binary length past the end
        headerWithValue(QByteArray("\x0C\x00\x00\x00\x40", 5)), // string length past the end
        headerWithValue(QByteArray("\x06\xF0", 2)), // short string past the end
        headerWithValue(QByteArray("\x63", 1)), // an unknown tag
        deeplyNested(300), deeplyNested(100000)));

TEST(ReportFile, NestingUpToTheBoundIsRead)
{
    ReportFileEngine engine;
    engine.LoadReportStream(deeplyNested(200));
    EXPECT_TRUE(engine.report()->findChild<QObject *>(QStringLiteral("B199")));
}

// ---------------------------------------------------------------- bad values are skipped

struct BadValueCase
{
    const char *name;
    QByteArray property; // a property line of a label on the detail band
    std::function<void(TRpDesignLabel &)> check;
};

class BadValues : public testing::TestWithParam<BadValueCase>
{
};

TEST_P(BadValues, AreSkippedAndTheRestLoads)
{
    QByteArray text = emptyReportFile();
    text.replace("object RpReport: TDesignRpReport\r\n",
        "object RpReport: TDesignRpReport\r\n  object Detail: TRpDesignBand\r\n"
        "    object L: TRpDesignLabel\r\n      "
            + GetParam().property
            + "\r\n      Caption = 'kept'\r\n"
              "    end\r\n  end\r\n");
    ReportFileEngine engine;
    engine.LoadReportStream(text);
    auto *label = engine.report()->findChild<TRpDesignLabel *>(QStringLiteral("L"));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->caption(), QStringLiteral("kept"));
    GetParam().check(*label);
}

INSTANTIATE_TEST_SUITE_P(Values, BadValues,
    testing::Values(BadValueCase { "CodeAbove65535", "Hint = 'a'#70000",
                        [](TRpDesignLabel &l) { EXPECT_TRUE(l.hint().isEmpty()); } },
        BadValueCase {
            "DegreeOutOfRange", "Degree = 70000", [](TRpDesignLabel &l) { EXPECT_EQ(l.degree(), 0); } },
        BadValueCase { "NegativeDegree", "Degree = -1", [](TRpDesignLabel &l) { EXPECT_EQ(l.degree(), 0); } },
        BadValueCase {
            "TagOutOfRange", "Tag = 4294967296", [](TRpDesignLabel &l) { EXPECT_EQ(l.tag(), 0); } },
        BadValueCase { "HugeFloat", "Size.Values = (1E5000 1 1 1)",
            [](TRpDesignLabel &l) { EXPECT_EQ(l.size()->nativeLeft(), 0); } },
        BadValueCase { "UnknownProperty", "Colour = 1", [](TRpDesignLabel &) {} },
        BadValueCase {
            "WrongKind", "Degree = 'ninety'", [](TRpDesignLabel &l) { EXPECT_EQ(l.degree(), 0); } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReportFile, CustomPaperOfNoSizeIsSkipped)
{
    QByteArray text = emptyReportFile();
    text.replace("object RpReport: TDesignRpReport\r\n",
        "object RpReport: TDesignRpReport\r\n  Page.PaperSize = Custom\r\n"
        "  Page.Values = (100 0 100 -5 100 100 0)\r\n");
    ReportFileEngine engine;
    const long double width = engine.report()->page()->nativeWidth();
    engine.LoadReportStream(text);
    EXPECT_EQ(engine.report()->page()->paperSize(), RpPaper::Custom);
    EXPECT_EQ(engine.report()->page()->nativeWidth(), width);
}

TEST(ReportFile, AnUnknownElementKindIsSkippedWithEverythingInIt)
{
    QByteArray text = emptyReportFile();
    text.replace("object RpReport: TDesignRpReport\r\n",
        "object RpReport: TDesignRpReport\r\n  object X: TRpChart\r\n    object Y: TRpDesignLabel\r\n"
        "    end\r\n  end\r\n  object Z: TRpDesignBand\r\n  end\r\n");
    ReportFileEngine engine;
    engine.LoadReportStream(text);
    EXPECT_FALSE(engine.report()->findChild<QObject *>(QStringLiteral("Y")));
    EXPECT_TRUE(engine.report()->findChild<QObject *>(QStringLiteral("Z")));
}

// ---------------------------------------------------------------- the data module's name

struct ModuleNameCase
{
    const char *name;
    QByteArray stored;
    QString taken; // a data module of the application already using a name
    QString expected;
};

class DataModuleNames : public testing::TestWithParam<ModuleNameCase>
{
};

TEST_P(DataModuleNames, EndUniqueWithTheirReferencesIntact)
{
    QByteArray text = fullDesignFile();
    text.replace("object RuntimeDatamodule:", "object " + GetParam().stored + ':');
    text.replace("= RuntimeDatamodule.", "= " + GetParam().stored + '.');

    QObject other;
    other.setObjectName(GetParam().taken);
    if (!GetParam().taken.isEmpty())
        RpComponents::addDataModule(&other);
    ReportFileEngine engine;
    engine.LoadReportStream(text);
    RpComponents::remove(&other);

    EXPECT_EQ(engine.dataModule()->objectName(), GetParam().expected);
    auto *dbText = engine.report()->findChild<TRpDesignDBText *>(QStringLiteral("DBText1"));
    ASSERT_TRUE(dbText);
    ASSERT_TRUE(dbText->dataSet()) << "the dataset reference resolves into the report's module";
    EXPECT_EQ(dbText->dataSet()->parent(), engine.dataModule());
    // Captions and expressions that look like references are never rewritten.
    auto *label = engine.report()->findChild<TRpDesignLabel *>(QStringLiteral("Label1"));
    EXPECT_TRUE(label->caption().startsWith(QStringLiteral("RuntimeDatamodule.Query1 ")));
    auto *expr = engine.report()->findChild<TRpDesignExpr *>(QStringLiteral("Expr1"));
    EXPECT_EQ(expr->expression(), QStringLiteral("SUM(RuntimeDatamodule.Query1.Amount)"));
}

INSTANTIATE_TEST_SUITE_P(Names, DataModuleNames,
    testing::Values(
        ModuleNameCase { "Free", "RuntimeDatamodule", QString(), QStringLiteral("RuntimeDatamodule") },
        ModuleNameCase { "Taken", "RuntimeDatamodule", QStringLiteral("RuntimeDatamodule"),
            QStringLiteral("RuntimeDatamodule1") },
        ModuleNameCase { "Suffixed", "Module7_3", QString(), QStringLiteral("Module") },
        ModuleNameCase { "SuffixedAndTaken", "Module7", QStringLiteral("Module7"), QStringLiteral("Module") },
        ModuleNameCase { "OnlyAnUnderscorePart", "_X", QString(), QStringLiteral("RuntimeDatamodule") },
        ModuleNameCase {
            "TakenUnderscorePart", "_X", QStringLiteral("_X"), QStringLiteral("RuntimeDatamodule") },
        ModuleNameCase {
            "TakenOnlyUnderscore", "_", QStringLiteral("_"), QStringLiteral("RuntimeDatamodule") },
        ModuleNameCase { "OnlyDigits", "M123", QString(), QStringLiteral("M") }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReportFile, ADigitsOnlyModuleNameIsReadAsTheUsualName)
{
    // "123" is no identifier: the stored name is skipped and the module keeps its usual name.
    QByteArray text = emptyReportFile();
    text.replace("object RuntimeDatamodule: TRuntimeDatamodule", "object _123: TRuntimeDatamodule");
    ReportFileEngine engine;
    engine.LoadReportStream(text);
    EXPECT_EQ(engine.dataModule()->objectName(), QStringLiteral("RuntimeDatamodule"));
}

TEST(ReportFile, TwoEnginesAtOnceGiveTheirModulesDifferentNames)
{
    const QByteArray text = fullDesignFile();
    ReportFileEngine first;
    first.LoadReportStream(text);
    ReportFileEngine second;
    second.LoadReportStream(text);
    EXPECT_NE(first.dataModule()->objectName().toLower(), second.dataModule()->objectName().toLower());
    auto *dbText = second.report()->findChild<TRpDesignDBText *>(QStringLiteral("DBText1"));
    ASSERT_TRUE(dbText->dataSet());
    EXPECT_EQ(dbText->dataSet()->parent(), second.dataModule());
}

// ---------------------------------------------------------------- hooks and settings around a load

TEST(ReportFile, UserDataTravelsThroughTheHooks)
{
    ReportFileEngine writer;
    writer.OnSaveReport = [] { return QByteArray("\x01\x02host", 6); };
    const QByteArray text = saved(writer);
    EXPECT_TRUE(text.contains("UserData = {0102686F7374}"));
    ReportFileEngine reader;
    QByteArray handed;
    reader.OnLoadReport = [&](const QByteArray &data) { handed = data; };
    reader.LoadReportStream(text);
    EXPECT_EQ(handed, QByteArray("\x01\x02host", 6));
}

TEST(ReportFile, PrinterSettingsAndRunInAdvanceSurviveALoadUnlessAskedFor)
{
    ReportFileEngine writer;
    writer.report()->printerSettings()->setCopies(5);
    writer.report()->setPrepareAutomatically(true);
    const QByteArray text = saved(writer);

    ReportFileEngine kept;
    kept.report()->printerSettings()->setCopies(2);
    kept.report()->printerSettings()->setPrinterIndex(3);
    kept.LoadReportStream(text);
    EXPECT_EQ(kept.report()->printerSettings()->copies(), 2);
    EXPECT_EQ(kept.report()->printerSettings()->printerIndex(), 3);
    EXPECT_FALSE(kept.report()->prepareAutomatically());

    ReportFileEngine taken;
    taken.setSaveLoadPrinterSetup(true);
    taken.LoadReportStream(text);
    EXPECT_EQ(taken.report()->printerSettings()->copies(), 5);
}

TEST(ReportFile, QueriesTakeTheirTextFromTheirExpressionLine)
{
    QByteArray text = fullDesignFile();
    text.replace("'Query1=select * from T\\~nwhere A = %%X%%'", "'Query1=select 1\\~nfrom Y %%Z%%'");
    ReportFileEngine reader;
    QStringList opened;
    reader.BeforeOpenDataset = [&](QObject *dataset) { opened << dataset->objectName(); };
    reader.LoadReportStream(text);
    auto *query = reader.dataModule()->findChild<TTestQuery *>(QStringLiteral("Query1"));
    ASSERT_TRUE(query);
    EXPECT_EQ(query->sql(), QStringList({ QStringLiteral("select 1"), QStringLiteral("from Y %%Z%%") }));
    EXPECT_EQ(opened, QStringList { QStringLiteral("Query1") }) << "data sources are not datasets";
}

// ---------------------------------------------------------------- saving files

class SavingFiles : public testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(SavingFiles, KeepsThePreviousVersionAsABackupWhenAsked)
{
    ReportFileEngine engine;
    engine.setSaveBackupFiles(true);
    engine.report()->setReportTitle(QStringLiteral("first"));
    ASSERT_TRUE(engine.SaveReportFile(path("report.rp2")));
    const QByteArray first = TestSupport::readFile(path("report.rp2"));
    EXPECT_FALSE(QFile::exists(path("report.BAK")));
    engine.report()->setReportTitle(QStringLiteral("second"));
    ASSERT_TRUE(engine.SaveReportFile(path("report.rp2")));
    EXPECT_EQ(TestSupport::readFile(path("report.BAK")), first);
    EXPECT_TRUE(TestSupport::readFile(path("report.rp2")).contains("'second'"));
    EXPECT_EQ(engine.fileName(), path("report.rp2"));
}

TEST_F(SavingFiles, NoBackupWhenItsNameIsTheFilesOwn)
{
    ReportFileEngine engine;
    engine.setSaveBackupFiles(true);
    engine.setBackupFileExtension(QStringLiteral(".rp2"));
    ASSERT_TRUE(engine.SaveReportFile(path("report.rp2")));
    engine.report()->setReportTitle(QStringLiteral("second"));
    ASSERT_TRUE(engine.SaveReportFile(path("report.rp2")));
    EXPECT_TRUE(TestSupport::readFile(path("report.rp2")).contains("'second'"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("report.rp2") });
}

TEST_F(SavingFiles, WithoutBackupsNoneIsWritten)
{
    ReportFileEngine engine;
    ASSERT_TRUE(engine.SaveReportFile(path("r.rp2")));
    ASSERT_TRUE(engine.SaveReportFile(path("r.rp2")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("r.rp2") });
}

TEST_F(SavingFiles, AFailedSaveLeavesTheOldFileAndTheModifiedFlag)
{
    ReportFileEngine engine;
    ASSERT_TRUE(engine.SaveReportFile(path("r.rp2")));
    const QByteArray before = TestSupport::readFile(path("r.rp2"));
    engine.report()->setReportTitle(QString(5000, u'x'));
    engine.setModified(true);
    {
        TestSupport::FileSizeLimit limit(before.size() + 100);
        EXPECT_FALSE(engine.SaveReportFile(path("r.rp2")));
    }
    EXPECT_TRUE(engine.modified());
    EXPECT_EQ(TestSupport::readFile(path("r.rp2")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("r.rp2") });
}

TEST_F(SavingFiles, AnEmptyNameAsksAndACancelledQuestionSavesNothing)
{
    ReportFileEngine engine;
    EXPECT_FALSE(engine.SaveReportFile(QString()));
    engine.saveFileName = [] { return QString(); };
    EXPECT_FALSE(engine.SaveReportFile(QString()));
    engine.saveFileName = [this] { return path("asked.rp2"); };
    EXPECT_TRUE(engine.SaveReportFile(QString()));
    EXPECT_TRUE(QFile::exists(path("asked.rp2")));
}

TEST_F(SavingFiles, ALoadedFileNamesTheEngine)
{
    ReportFileEngine writer;
    ASSERT_TRUE(writer.SaveReportFile(path("a.rp2")));
    ReportFileEngine reader;
    reader.LoadReportFile(path("a.rp2"));
    EXPECT_EQ(reader.fileName(), path("a.rp2"));
    EXPECT_THROW(reader.LoadReportFile(path("missing.rp2")), Exception);
}

// ---------------------------------------------------------------- the addon list

TEST(PropertyAddons, FlagsNumbersAndLines)
{
    ReportFileEngine engine;
    auto *band = new TRpDesignBand(engine.report());
    band->setObjectName(QStringLiteral("B"));
    auto *label = new TRpDesignLabel(band);
    TPropertyAddons &addons = *engine.addons();

    addons.setValue(label, QStringLiteral("BlockMove"), QStringLiteral(" true "));
    EXPECT_EQ(label->objectName(), QStringLiteral("Label1"))
        << "an unnamed element is named on its first line";
    EXPECT_TRUE(addons.flag(label, QStringLiteral("blockmove")));
    addons.setValue(label, QStringLiteral("BlockEdit"), QStringLiteral("yes"));
    EXPECT_FALSE(addons.flag(label, QStringLiteral("BlockEdit")));
    addons.setValue(label, QStringLiteral("GroupID"), QStringLiteral("x7"));
    EXPECT_EQ(addons.number(label, QStringLiteral("GroupID")), 0) << "a number that is not one reads as 0";
    addons.setValue(label, QStringLiteral("GroupID"), QStringLiteral(" 7 "));
    EXPECT_EQ(addons.number(label, QStringLiteral("GroupID")), 7);
    addons.setValue(label, QStringLiteral("Note"), QStringLiteral("a\r\nb"));
    EXPECT_TRUE(addons.lines(label).contains(QStringLiteral("Note=a\\~nb")));
    EXPECT_EQ(addons.value(label, QStringLiteral("Note")), QStringLiteral("a\r\nb"));

    for (const QString &name :
        { QStringLiteral("BlockMove"), QStringLiteral("BlockEdit"), QStringLiteral("Note") })
        addons.setValue(label, name, QString());
    EXPECT_EQ(addons.count(), 1);
    addons.setNumber(label, QStringLiteral("GroupID"), 0);
    EXPECT_EQ(addons.count(), 0) << "an addon whose list is empty goes";

    addons.setFlag(label, QStringLiteral("BlockResize"), true);
    EXPECT_EQ(addons.count(), 1);
    delete label;
    EXPECT_EQ(addons.count(), 0) << "an addon goes with its element";
}

TEST(PropertyAddons, UnnamedElementsTakeTheFirstFreeNumber)
{
    ReportFileEngine engine;
    auto *band = new TRpDesignBand(engine.report());
    auto *first = new TRpDesignLabel(band);
    first->setObjectName(QStringLiteral("Label1"));
    auto *shape = new TRpDesignShape(band);
    auto *second = new TRpDesignLabel(band);
    engine.addons()->setFlag(shape, QStringLiteral("BlockMove"), true);
    engine.addons()->setFlag(second, QStringLiteral("BlockMove"), true);
    EXPECT_EQ(shape->objectName(), QStringLiteral("Shape1"));
    EXPECT_EQ(second->objectName(), QStringLiteral("Label2"));
}

} // namespace
