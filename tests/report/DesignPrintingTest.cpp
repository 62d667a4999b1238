// What the designer's dialogs set, printed: fields and removable lines of memos and rich text, turned text,
// and the data field's value map, suppression of repeated values and blanking of zeros.
#include "ElementPrintSupport.h"

#include "platform/DateTime.h"
#include "report/elements/DataFieldOptions.h"
#include "report/elements/FieldMarkers.h"
#include "report/expressions/EvaluatorTable.h"
#include "report/files/DesignClasses.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

// Fields computed by a table of known expressions.
QString fakeValue(const QString &expression)
{
    if (expression == u"NAME")
        return QStringLiteral("Ada");
    if (expression == u"EMPTY")
        return QString();
    return u'<' + expression + u'>';
}

struct FillCase
{
    const char *text;
    const char *expected;
};

void PrintTo(const FillCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class FieldFilling : public ::testing::TestWithParam<FillCase>
{
};

TEST_P(FieldFilling, ReplacesEveryClosedFieldByItsValue)
{
    EXPECT_EQ(FieldMarkers::fillFields(QString::fromUtf8(GetParam().text), fakeValue),
        QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Texts, FieldFilling,
    ::testing::Values(FillCase { "Dear %%NAME%%,", "Dear Ada," }, FillCase { "%%NAME%%%%NAME%%", "AdaAda" },
        FillCase { "no field", "no field" }, FillCase { "100%% sure", "100%% sure" },
        FillCase { "%%A%% and %%B", "<A> and %%B" }, FillCase { "%%%%", "<>" },
        FillCase { "[%%EMPTY%%]", "[]" }));

TEST(FieldMarkers, RemovableLinesLoseTheMarkerAndGoWhenNothingIsLeft)
{
    const QStringList lines = { QStringLiteral("Name: %%NAME%%"), QStringLiteral("%DEL%%EMPTY%%"),
        QStringLiteral("%DEL  %%EMPTY%%  "), QStringLiteral("%DEL Street %%NAME%%"), QStringLiteral(""),
        QStringLiteral("%DEL") };
    EXPECT_EQ(FieldMarkers::fillLines(lines, fakeValue),
        (QStringList { QStringLiteral("Name: Ada"), QStringLiteral(" Street Ada"), QString() }));
    // A value that itself begins with the marker stays a value.
    const auto marked = [](const QString &) { return QStringLiteral("%DEL"); };
    EXPECT_EQ(
        FieldMarkers::fillLines({ QStringLiteral("%%X%%") }, marked), QStringList { QStringLiteral("%DEL") });
}

TEST(FieldMarkers, RichTextKeepsTheFormatOfItsFieldsAndDropsEmptyMarkedParagraphs)
{
    QTextDocument document;
    document.setHtml(
        QStringLiteral("<p>Hello <b>%%NAME%%</b>!</p><p>%DEL%%EMPTY%%</p><p>%DELkept</p><p>end</p>"));
    FieldMarkers::fillDocument(document, fakeValue);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("Hello Ada!\nkept\nend"));
    QTextCursor cursor(&document);
    cursor.setPosition(7); // inside the value
    EXPECT_TRUE(cursor.charFormat().font().bold());

    QTextDocument last;
    last.setPlainText(QStringLiteral("first\n%DEL%%EMPTY%%"));
    FieldMarkers::fillDocument(last, fakeValue);
    EXPECT_EQ(last.toPlainText(), QStringLiteral("first"));
}

// ---------------------------------------------------------------- value map

TRpEvValue evaluateFake(const QString &expression)
{
    if (expression == u"TEXT")
        return TRpEvValue::String(QStringLiteral("computed"));
    if (expression == u"WHOLE")
        return TRpEvValue::Integer(42);
    if (expression == u"REAL")
        return TRpEvValue::Float(1.5);
    if (expression == u"TRUTH")
        return TRpEvValue::Boolean(true);
    return TRpEvValue::Error(QStringLiteral("evaluated ") + expression);
}

struct MapCase
{
    const char *text;
    const char *expected;
};

void PrintTo(const MapCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class ValueMap : public ::testing::TestWithParam<MapCase>
{
protected:
    const QStringList lines = { QStringLiteral("Income\tI"), QStringLiteral("Expense\tE"),
        QStringLiteral("Other\tIncome"), QStringLiteral("%%TEXT%%\tT"), QStringLiteral("%%WHOLE%%\tW"),
        QStringLiteral("%%REAL%%\tR"), QStringLiteral("%%TRUTH%%\tB"), QStringLiteral("%%%%\tS"),
        QStringLiteral("no tab here"), QStringLiteral("First\tD"), QStringLiteral("Second\tD") };
};

TEST_P(ValueMap, MapsOnceAndComputesOnlyDisplayedValuesOfMatchingLines)
{
    EXPECT_EQ(RpDataFieldOptions::mapValue(lines, QString::fromUtf8(GetParam().text), evaluateFake),
        QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Texts, ValueMap,
    ::testing::Values(MapCase { "I", "Income" }, MapCase { "E", "Expense" },
        // Applied once: "Income" is not mapped again to "Other".
        MapCase { "Income", "Other" },
        // The first matching line wins.
        MapCase { "D", "First" },
        // Only a displayed value is computed, never the field's own text.
        MapCase { "%%TEXT%%", "%%TEXT%%" }, MapCase { "%%1+1%%", "%%1+1%%" }, MapCase { "T", "computed" },
        MapCase { "W", "42" }, MapCase { "R", "" }, MapCase { "B", "" },
        // Four characters are never an expression.
        MapCase { "S", "%%%%" }, MapCase { "X", "X" }, MapCase { "", "" }));

// ---------------------------------------------------------------- repeated values

TEST(DataFieldOptions, SuppressesRepeatsUntilANewPageOrAForgottenText)
{
    RpDataFieldOptions options;
    options.suppressRepeatedValues = true;
    const auto apply = [&options](const char *text, int page) {
        return options.apply(QString::fromUtf8(text), false, page, {});
    };
    EXPECT_EQ(apply("A", 1), u"A");
    EXPECT_EQ(apply("A", 1), u"");
    EXPECT_EQ(apply("B", 1), u"B");
    EXPECT_EQ(apply("B", 2), u""); // a new page alone does not reprint
    options.reprintOnNewPage = true;
    EXPECT_EQ(apply("B", 3), u"B");
    EXPECT_EQ(apply("B", 3), u"");
    options.forgetLastText();
    EXPECT_EQ(apply("B", 3), u"B");
}

TEST(DataFieldOptions, BlanksZeroValuesAfterMapping)
{
    RpDataFieldOptions options;
    options.mapList = { QStringLiteral("none\t0") };
    EXPECT_EQ(options.apply(QStringLiteral("0"), true, 1, {}), u"none");
    options.blankIfZero = true;
    EXPECT_EQ(options.apply(QStringLiteral("0"), true, 1, {}), u"");
    EXPECT_EQ(options.apply(QStringLiteral("5"), false, 1, {}), u"5");
}

// ---------------------------------------------------------------- elements in a run

class DesignElements : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.setObjectName(QStringLiteral("tblTransaction"));
        table.FieldDefs() = FinanceTables::transactionDefs();
        table.CreateEmpty();
        table.setKeepChangeLog(false);
        add(QStringLiteral("Loyer"), 0);
        add(QStringLiteral("Loyer"), 12.5);
        add(QStringLiteral("Salaire"), 0);
        table.First();
        run.dataSets.push_back(&tableData);
    }

    void add(const QString &text, double amount)
    {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(text);
        table.FieldNamed(QStringLiteral("Transaction_Date"))->setAsDateTime(DateTime::encodeDate(2024, 3, 5));
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
        table.Post();
    }

    static QString printed(TRpCustomLabel &element)
    {
        element.PrintAt(0, 0);
        QStringList lines;
        for (const QString &line : element.printLines())
            lines << line;
        return lines.join(u'|');
    }

    TMemTable table;
    RpEvTableDataSet tableData { &table };
    ElementBench bench;
    FakePrintRun run;
};

TEST_F(DesignElements, AMemoPrintsItsFieldsAndLeavesOutEmptyMarkedLines)
{
    auto *memo = bench.add<TRpMemo>(0, 0, 3000, 400);
    memo->setAutoSize(true);
    memo->setLines({ QStringLiteral("Paid: %%tblTransaction.Transaction_Description%%"),
        QStringLiteral("%DELNote: %%IF(tblTransaction.Transaction_Amount>0,'paid','')%%"),
        QStringLiteral("%DEL%%IF(tblTransaction.Transaction_Amount>0,'','zero')%%"),
        QStringLiteral("Sum %%1+2%%") });
    memo->BeginPrintRun(run);
    EXPECT_EQ(printed(*memo), QStringLiteral("Paid: Loyer|Note: |zero|Sum 3"));
    table.Next();
    EXPECT_EQ(printed(*memo), QStringLiteral("Paid: Loyer|Note: paid|Sum 3"));
    memo->EndPrintRun();
    EXPECT_EQ(memo->lines().size(), 4);
    EXPECT_TRUE(memo->designText().contains(QStringLiteral("%DEL")));
}

TEST_F(DesignElements, RichTextPrintsItsFieldsOnEveryOccurrence)
{
    auto *rich = bench.add<TRpRichText>(0, 0, 3000, 400);
    rich->setLines({ QStringLiteral("<p>Item <b>%%tblTransaction.Transaction_Description%%</b></p>"),
        QStringLiteral("<p>%DEL%%IF(tblTransaction.Transaction_Amount>0,'amount','')%%</p><p>end</p>") });
    rich->BeginPrintRun(run);
    rich->PrintAt(0, 0);
    table.Last();
    rich->PrintAt(0, 1000);
    rich->EndPrintRun();
    const QString all = run.page().texts().join(u'|');
    EXPECT_TRUE(all.contains(QStringLiteral("Loyer"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("Salaire"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("%%")));
    EXPECT_FALSE(all.contains(QStringLiteral("%DEL")));
    EXPECT_FALSE(all.contains(QStringLiteral("amount")));
}

TEST_F(DesignElements, TurnedTextTurnsCounterClockwiseAboutTheTopLeftCorner)
{
    const auto anchor = [this](int degree) {
        FakePrintRun turnedRun;
        auto *label = bench.add<TRpDesignLabel>(500, 500, 1000, 200);
        label->setAutoSize(false);
        label->setCaption(QStringLiteral("Turned"));
        label->setDegree(ushort(degree));
        label->BeginPrintRun(turnedRun);
        label->PrintAt(0, 0);
        label->EndPrintRun();
        const PageRecording page = turnedRun.page();
        delete label;
        const PageRecording::Text *text = page.find(QStringLiteral("Turned"));
        return text ? text->at : QPointF(-1, -1);
    };
    FakePrintRun measure;
    const QPointF corner(measure.store.DeviceX(500), measure.store.DeviceY(500));
    const QPointF level = anchor(0);
    const qreal ascent = level.y() - corner.y();
    ASSERT_GT(ascent, 0);
    EXPECT_NEAR(level.x(), corner.x(), 1);
    const QPointF quarter = anchor(900);
    EXPECT_NEAR(quarter.x(), corner.x() + ascent, 1);
    EXPECT_NEAR(quarter.y(), corner.y(), 1);
    const QPointF half = anchor(1800);
    EXPECT_NEAR(half.x(), corner.x(), 1);
    EXPECT_NEAR(half.y(), corner.y() - ascent, 1);
}

TEST_F(DesignElements, ADesignDataFieldMapsSuppressesAndBlanksAsSet)
{
    auto *field = bench.add<TRpDesignDBText>(0, 0, 3000, 100);
    field->setDataSet(&table);
    field->setDataField(QStringLiteral("Transaction_Description"));
    field->setMapList({ QStringLiteral("Rent\tLoyer"), QStringLiteral("%%'Pay'+'day'%%\tSalaire") });
    field->setSuppressRepeatedValues(true);
    field->BeginPrintRun(run);
    QStringList texts;
    for (table.First(); !table.AtEnd(); table.Next())
        texts << printed(*field);
    EXPECT_EQ(texts, (QStringList { QStringLiteral("Rent"), QString(), QStringLiteral("Payday") }));
    // A group starts: the next value prints whatever came before.
    table.First();
    printed(*field);
    field->ForgetLastText();
    EXPECT_EQ(printed(*field), QStringLiteral("Rent"));
    field->EndPrintRun();

    auto *amount = bench.add<TRpDesignDBText>(0, 200, 3000, 100);
    amount->setDataSet(&table);
    amount->setDataField(QStringLiteral("Transaction_Amount"));
    amount->setBlankIfZero(true);
    amount->BeginPrintRun(run);
    texts.clear();
    for (table.First(); !table.AtEnd(); table.Next())
        texts << printed(*amount);
    amount->EndPrintRun();
    EXPECT_EQ(texts[0], QString());
    EXPECT_FALSE(texts[1].isEmpty());
    EXPECT_EQ(texts[2], QString());
    // Out of a run nothing is blanked: the designer shows the field as it is.
    EXPECT_FALSE(amount->TextFromCaption().isEmpty());
}

TEST(DesignDataFields, AGroupMakesTheFieldsOfItsDataLoopForgetTheirLastText)
{
    TDesignRpReport report;
    auto *detail = new TRpDesignBand(&report);
    detail->setBandType(Rp::rbDetail);
    auto *group = new TRpDesignGroup(&report);
    report.arrangeBands();
    auto *forgets = new TRpDesignDBText(detail);
    forgets->setReprintOnNewGroup(true);
    auto *keeps = new TRpDesignDBText(detail);
    FakePrintRun run;
    for (TRpDesignDBText *field : { forgets, keeps }) {
        field->setSuppressRepeatedValues(true);
        field->setMapList({ QStringLiteral("same\t") });
        field->BeginPrintRun(run);
        field->PrintAt(0, 0); // prints "same" (the empty text mapped)
    }
    ForgetRepeatedValuesOfGroup(*group);
    forgets->PrintAt(0, 0);
    keeps->PrintAt(0, 0);
    ASSERT_FALSE(forgets->printLines().empty());
    EXPECT_EQ(forgets->printLines().front(), QStringLiteral("same"));
    EXPECT_TRUE(keeps->printLines().empty() || keeps->printLines().front().isEmpty());
    for (TRpDesignDBText *field : { forgets, keeps })
        field->EndPrintRun();
}

} // namespace
