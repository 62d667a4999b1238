// Text elements whose text comes from the run: data fields, expressions, system data.
#include "ElementPrintSupport.h"

#include "platform/DateTime.h"
#include "report/elements/PagePaint.h"
#include "report/expressions/EvaluatorFormat.h"
#include "report/expressions/EvaluatorTable.h"
#include "store/DatabaseError.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <gtest/gtest.h>

namespace {

// The text one print of the element shows (its lines joined by "|").
QString printOnce(TRpCustomLabel &element)
{
    element.PrintAt(0, 0);
    QStringList lines;
    for (const QString &line : element.printLines())
        lines << line;
    return lines.join(u'|');
}

// A table of fields of any kind, without rows: each field's text comes from its OnGetText.
class FieldsOnly : public TDataSet
{
public:
    TField *add(const QString &name, TFieldType type, std::function<QString()> text)
    {
        TField *field = AddField(std::make_unique<TField>(name, type));
        field->OnGetText = [text](TField &, bool) { return text(); };
        return field;
    }
    void Open() override { }
    void Close() override { }
    void First() override { }
    void Last() override { }
    int MoveRows(int) override { return 0; }
    int ViewRowCount() const override { return 0; }
    int CurrentRowNumber() const override { return 0; }
    bool MoveToRow(int) override { return false; }
    void Insert() override { }
    void AppendRow() override { }
    void Edit() override { }
    void Post() override { }
    void Cancel() override { }
    void Delete() override { }
    bool CanModify() const override { return false; }

protected:
    const RecordLayout *recordLayout() const override { return nullptr; }
    const ColumnDesc *columnDesc(int) const override { return nullptr; }
};

class DataElements : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.setObjectName(QStringLiteral("tblTransaction"));
        table.FieldDefs() = FinanceTables::transactionDefs();
        table.CreateEmpty();
        table.setKeepChangeLog(false);
        add(QStringLiteral("Loyer"), DateTime::encodeDate(2024, 3, 5), 1234.5, 7);
        add(QStringLiteral("Salaire"), DateTime::encodeDate(2024, 3, 28), 100.25, 7);
        table.AppendRow(); // a row without description, date or amount
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(8);
        table.Post();
        table.First();
        run.dataSets.push_back(&tableData);
    }

    void add(const QString &text, TDateTime date, double amount, int account)
    {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(text);
        table.FieldNamed(QStringLiteral("Transaction_Date"))->setAsDateTime(date);
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(account);
        table.Post();
    }

    TRpDBText *dbText(const QString &field, const QString &mask, QObject *dataSet = nullptr)
    {
        auto *element = bench.add<TRpDBText>(0, 0, 2000, 100);
        element->setDataSet(dataSet ? dataSet : &table);
        element->setDataField(field);
        element->setMask(mask);
        return element;
    }

    TRpExpr *expr(const QString &expression, const QString &mask = QString())
    {
        auto *element = bench.add<TRpExpr>(0, 0, 2000, 100);
        element->setExpression(expression);
        element->setMask(mask);
        return element;
    }

    TMemTable table;
    RpEvTableDataSet tableData { &table };
    ElementBench bench;
    FakePrintRun run;
};

struct FieldCase
{
    const char *field;
    const char *mask;
    const char *expected; // null: the field's display text
};

void PrintTo(const FieldCase &c, std::ostream *os)
{
    *os << c.field << " [" << c.mask << "]";
}

class DataFieldText : public DataElements, public ::testing::WithParamInterface<FieldCase>
{
};

TEST_P(DataFieldText, FollowsTheFieldKindAndTheMask)
{
    const FieldCase &c = GetParam();
    TRpDBText *element = dbText(QString::fromUtf8(c.field), QString::fromUtf8(c.mask));
    element->BeginPrintRun(run);
    const QString expected = c.expected ? QString::fromUtf8(c.expected)
                                        : table.FieldNamed(QString::fromUtf8(c.field))->DisplayText();
    EXPECT_EQ(printOnce(*element), expected);
    element->EndPrintRun();
}

INSTANTIATE_TEST_SUITE_P(Fields, DataFieldText,
    ::testing::Values(FieldCase { "Transaction_Amount", "0.00", "1234,50" },
        FieldCase { "Transaction_Amount", "#,##0.00 'EUR'", "1\u202f234,50 EUR" },
        FieldCase { "Transaction_Amount", "", nullptr }, FieldCase { "transaction_amount", "0", "1235" },
        FieldCase { "Transaction_Description", "0.00", "Loyer" },
        FieldCase { "Transaction_Date", "dd mmmm yyyy", "05 mars 2024" },
        FieldCase { "Transaction_Date", "", nullptr }, FieldCase { "Account_Number", "000", "007" },
        FieldCase { "Transaction_Number", "0.0", "1,0" }, FieldCase { "NoSuchField", "", "" }));

TEST_F(DataElements, DataFieldOfANullValueOrWithoutTablePrintsNothing)
{
    TRpDBText *amount = dbText(QStringLiteral("Transaction_Amount"), QStringLiteral("0.00"));
    TRpDBText *orphan = dbText(QStringLiteral("Transaction_Amount"), QString());
    orphan->setDataSet(nullptr);
    TRpDBText *unnamed = dbText(QString(), QString());
    for (TRpDBText *element : { amount, orphan, unnamed })
        element->BeginPrintRun(run);
    table.Last();
    EXPECT_EQ(printOnce(*amount), QString());
    EXPECT_EQ(printOnce(*orphan), QString());
    EXPECT_EQ(printOnce(*unnamed), QString());
    table.First();
    EXPECT_EQ(printOnce(*amount), QStringLiteral("1234,50"));
}

TEST_F(DataElements, DataFieldOfAnotherKindShowsItsDisplayTextAndAMemoItsLines)
{
    FieldsOnly fields;
    fields.add(QStringLiteral("Flag"), ftBoolean, [] { return QStringLiteral("True"); });
    fields.add(QStringLiteral("Notes"), ftBlob, [] { return QStringLiteral("first\r\nsecond\nthird"); });
    fields.add(QStringLiteral("Broken"), ftString,
        []() -> QString { throw EDatabaseError(QStringLiteral("unreadable")); });
    TRpDBText *flag = dbText(QStringLiteral("Flag"), QStringLiteral("0.00"), &fields);
    TRpDBText *notes = dbText(QStringLiteral("Notes"), QString(), &fields);
    TRpDBText *broken = dbText(QStringLiteral("Broken"), QString(), &fields);
    for (TRpDBText *element : { flag, notes, broken })
        element->BeginPrintRun(run);
    EXPECT_EQ(printOnce(*flag), QStringLiteral("True"));
    EXPECT_EQ(printOnce(*notes), QStringLiteral("first|second|third"));
    EXPECT_EQ(printOnce(*broken), QString());
    for (TRpDBText *element : { flag, notes, broken })
        element->EndPrintRun();
}

TEST_F(DataElements, DataFieldCaptionReturnsToTheFieldNameWhenTheRunEnds)
{
    TRpDBText *element = dbText(QStringLiteral("Transaction_Description"), QString());
    element->BeginPrintRun(run);
    printOnce(*element);
    EXPECT_EQ(element->outputText(), QStringLiteral("Loyer"));
    element->EndPrintRun();
    EXPECT_EQ(element->outputText(), QStringLiteral("Transaction_Description"));
    element->setDataField(QString());
    element->setObjectName(QStringLiteral("DBText1"));
    element->BeginPrintRun(run);
    element->EndPrintRun();
    EXPECT_EQ(element->outputText(), QStringLiteral("DBText1"));
}

struct ExprCase
{
    const char *expression;
    const char *mask;
    const char *expected;
};

void PrintTo(const ExprCase &c, std::ostream *os)
{
    *os << c.expression << " [" << c.mask << "]";
}

class ExpressionText : public DataElements, public ::testing::WithParamInterface<ExprCase>
{
};

TEST_P(ExpressionText, ShowsTheValueAsText)
{
    TRpExpr *element = expr(QString::fromUtf8(GetParam().expression), QString::fromUtf8(GetParam().mask));
    element->BeginPrintRun(run);
    EXPECT_EQ(printOnce(*element), QString::fromUtf8(GetParam().expected));
    element->EndPrintRun();
}

INSTANTIATE_TEST_SUITE_P(Values, ExpressionText,
    ::testing::Values(ExprCase { "", "", " " }, ExprCase { "1 + 2", "", "3" }, ExprCase { "2", "000", "002" },
        ExprCase { "7 / 2", "", "3,5" }, ExprCase { "7 / 2", "0.00", "3,50" },
        ExprCase { "'abc'", "0.00", "abc" }, ExprCase { "1 = 1", "", "True" },
        ExprCase { "1 <> 1", "", "False" }, ExprCase { "1 / 0", "", "Cannot divide by 0" },
        ExprCase { "(1", "", "Missing )" },
        ExprCase { "tblTransaction.Transaction_Amount * 2", "#,##0.0", "2\u202f469,0" },
        ExprCase { "Transaction_Description", "", "Loyer" }));

TEST_F(DataElements, AnEmptyExpressionPrintsOneSpace)
{
    TRpExpr *element = expr(QString());
    EXPECT_EQ(element->designText(), QStringLiteral("(none)"));
    element->BeginPrintRun(run);
    element->PrintAt(0, 0);
    element->EndPrintRun();
    EXPECT_EQ(run.page().texts(), QStringList { QStringLiteral(" ") });
}

TEST_F(DataElements, ExpressionsRegisterForAggregationByMasterOrByTheirAggregates)
{
    TRpExpr *plain = expr(QStringLiteral("1 + 1"));
    TRpExpr *total = expr(QStringLiteral("SUM(Transaction_Amount)"));
    TRpExpr *mastered = expr(QStringLiteral("2"));
    mastered->setMaster(bench.report.get());
    for (TRpExpr *element : { plain, total, mastered })
        element->BeginPrintRun(run);
    ASSERT_EQ(run.aggregateClients.size(), 2u);
    EXPECT_EQ(run.aggregateClients[0],
        std::make_pair(static_cast<QObject *>(nullptr), static_cast<TRpPrintable *>(total)));
    EXPECT_EQ(run.aggregateClients[1],
        std::make_pair(static_cast<QObject *>(bench.report.get()), static_cast<TRpPrintable *>(mastered)));
    for (TRpExpr *element : { plain, total, mastered })
        element->EndPrintRun();
}

TEST_F(DataElements, ExpressionTotalsGrowWithEachRecordAndResetAfterPrint)
{
    TRpExpr *running = expr(QStringLiteral("SUM(Transaction_Amount)"), QStringLiteral("0.00"));
    TRpExpr *perGroup = expr(QStringLiteral("SUM(Transaction_Amount)"), QStringLiteral("0.00"));
    perGroup->setResetAfterPrint(true);
    for (TRpExpr *element : { running, perGroup })
        element->BeginPrintRun(run);
    QStringList printed;
    for (int record = 0; record < 2; ++record) {
        for (TRpExpr *element : { running, perGroup })
            element->NotifyElement(bench.report.get(), 0);
        printed << printOnce(*running) << printOnce(*perGroup);
        table.Next();
    }
    EXPECT_EQ(printed,
        (QStringList { QStringLiteral("1234,50"), QStringLiteral("1234,50"), QStringLiteral("1334,75"),
            QStringLiteral("100,25") }));
    // A band resized (operation 2) accumulates nothing.
    running->NotifyElement(bench.band, 2);
    EXPECT_EQ(printOnce(*running), QStringLiteral("1334,75"));
    for (TRpExpr *element : { running, perGroup })
        element->EndPrintRun();
}

TEST_F(DataElements, AStretchedExpressionKeepsItsTextUntilItIsDoneAndResetsThen)
{
    run.functions.AddNamedExpression(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    run.functions.PrepareEnvironment();
    TRpEvEnvironment::SetIntegerValue(run.functions.ConstantElement(QStringLiteral("PAGENUMBER")), 1);
    TRpExpr *element
        = expr(QStringLiteral("'alpha beta gamma delta page ' + STR(PAGENUMBER) + ' ' + STR(COUNT)"));
    element->setAutoSize(false);
    element->setAutoStretch(true);
    element->setResetAfterPrint(true);
    element->setTransparent(true);
    element->BeginPrintRun(run);
    // One word per line, one line per page.
    const QFontMetricsF metrics(pageFont(*element->font()), &referenceScreenDevice());
    element->size()->setNativeBounds(0, 0,
        pixelsToNative(metrics.horizontalAdvance(QStringLiteral("gamma ")) + 4, 96, 100),
        metrics.height() / run.store.yFactor() + 1);
    for (int record = 0; record < 3; ++record)
        element->NotifyElement(bench.report.get(), 0);
    element->PrintAt(0, 0);
    int page = 1;
    while (!element->PrintDone() && page < 20) {
        ++page;
        run.nextPage();
        TRpEvEnvironment::SetIntegerValue(run.functions.ConstantElement(QStringLiteral("PAGENUMBER")), page);
        element->NotifyElement(bench.report.get(), 0);
        element->PrintAt(0, 0);
    }
    QStringList printed;
    for (int p = 1; p <= page; ++p)
        printed << run.page(p).texts();
    EXPECT_EQ(printed,
        (QStringList { QStringLiteral("alpha "), QStringLiteral("beta "), QStringLiteral("gamma "),
            QStringLiteral("delta "), QStringLiteral("page 1 "), QStringLiteral("3") }));
    // Done: the count starts again.
    EXPECT_EQ(element->evaluator()->Compute().AsInteger(), 0);
    element->EndPrintRun();
    run.functions.UnprepareEnvironment();
}

TEST_F(DataElements, AggregateElementBuildsItsExpressionFromOperationAndField)
{
    auto *calc = bench.add<TRpDBCalc>(0, 0, 2000, 100);
    calc->setDataField(QStringLiteral("Transaction_Amount"));
    calc->setOperation(Rp::rpcMax);
    calc->setMask(QStringLiteral("0.0"));
    calc->BeginPrintRun(run);
    ASSERT_EQ(run.aggregateClients.size(), 1u);
    for (int record = 0; record < 3; ++record) {
        calc->NotifyElement(bench.report.get(), 0);
        table.Next();
    }
    EXPECT_EQ(printOnce(*calc), QStringLiteral("1234,5"));
    calc->EndPrintRun();
}

struct SysCase
{
    Rp::TRpSysDataType data;
    const char *text;
    const char *expected; // null: checked against the clock
};

class SystemDatum : public DataElements, public ::testing::WithParamInterface<SysCase>
{
};

TEST_P(SystemDatum, FollowsItsText)
{
    const SysCase &c = GetParam();
    auto *element = bench.add<TRpSysData>(0, 0, 2000, 100);
    element->setData(c.data);
    element->setText(QString::fromUtf8(c.text));
    run.pageNumber = 3;
    run.reportTitle = QStringLiteral("Budget");
    run.detailNumber = 47;
    run.detailCount = 1; // a table that is closed or cannot count
    element->BeginPrintRun(run);
    const TDateTime before = DateTime::now();
    const QString printed = printOnce(*element);
    const TDateTime after = DateTime::now();
    element->EndPrintRun();
    if (c.expected) {
        EXPECT_EQ(printed, QString::fromUtf8(c.expected));
        return;
    }
    const QString mask = c.data == Rp::rpsTime ? QStringLiteral("t") : QStringLiteral("c");
    auto at = [&](TDateTime moment) {
        return QString::fromUtf8(c.text)
            + formatDateMask(mask, c.data == Rp::rpsDate ? std::floor(moment) : moment);
    };
    EXPECT_TRUE(printed == at(before) || printed == at(after)) << printed.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, SystemDatum,
    ::testing::Values(SysCase { Rp::rpsPageNumber, "Page ", "Page 3" },
        SysCase { Rp::rpsReportTitle, "", "Budget" }, SysCase { Rp::rpsDetailCount, "Rows: ", "Rows: 1" },
        SysCase { Rp::rpsDetailNo, "#", "#47" }, SysCase { Rp::rpsTime, "At ", nullptr },
        SysCase { Rp::rpsDate, "", nullptr }, SysCase { Rp::rpsDateTime, "On ", nullptr }));

TEST_F(DataElements, DetailDataOfAReportOfAnotherKindKeepTheirPreviousText)
{
    TCustomRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    auto *element = new TRpSysData(band);
    element->size()->setNativeBounds(0, 0, 2000, 100);
    element->setData(Rp::rpsDetailNo);
    element->setText(QStringLiteral("#"));
    element->BeginPrintRun(run);
    EXPECT_EQ(printOnce(*element), QStringLiteral("#(Detail no)"));
    element->EndPrintRun();
}

} // namespace
