// The data loops of a run: the report's loop over its table, empty tables, groups, sub-details, loop and
// strings bands, aggregation, and the tables' rows after a run.
#include "GenerationTestSupport.h"

#include "report/expressions/Evaluator.h"
#include "store/DataSource.h"

#include <gtest/gtest.h>

namespace {

QString field(TDataSet &table, const char *name)
{
    return table.FieldNamed(QLatin1String(name))->AsString();
}

// Every text of every page, in order.
QStringList allTexts(TRpPrinter &store)
{
    QStringList texts;
    for (const PageLog &page : logPages(store))
        texts << page.textList();
    return texts;
}

struct SimpleReport
{
    explicit SimpleReport(QObject *dataSet)
    {
        report.setDataSet(dataSet);
        title = addBand(report, Rp::rbTitle, 100);
        detail = addBand(report, Rp::rbDetail, 50);
        summary = addBand(report, Rp::rbSummary, 100);
        new ProbeText(title, QStringLiteral("TITLE"));
        new ProbeText(summary, QStringLiteral("SUMMARY"));
    }
    TRpReport report;
    TRpBand *title;
    TRpBand *detail;
    TRpBand *summary;
};

TEST(ReportLoop, EmptyTablePrintsTitleDetailAndSummaryOnceOrNothing)
{
    for (const bool printIfEmpty : { true, false }) {
        SCOPED_TRACE(printIfEmpty);
        TMemTable table;
        fillTransactions(table, 0);
        SimpleReport simple(&table);
        new ProbeText(simple.detail, QStringLiteral("DETAIL"));
        simple.report.setPrintIfEmpty(printIfEmpty);
        const auto store = runToStore(simple.report);
        if (printIfEmpty) {
            EXPECT_EQ(store->pageCount(), 1);
            EXPECT_EQ(allTexts(*store), QStringList({ "TITLE", "DETAIL", "SUMMARY" }));
        } else {
            EXPECT_EQ(store->pageCount(), 0);
            EXPECT_EQ(store->status(), TRpPrinter::Status::Finished);
        }
    }
}

TEST(ReportLoop, WithoutTableOrHandlerPrintsEveryBandOnce)
{
    SimpleReport simple(nullptr);
    new ProbeText(simple.detail, QStringLiteral("DETAIL"));
    EXPECT_EQ(allTexts(*runToStore(simple.report)), QStringList({ "TITLE", "DETAIL", "SUMMARY" }));
}

TEST(ReportLoop, NeedDataHandlerSuppliesTheRecords)
{
    SimpleReport simple(nullptr);
    auto *number = new ProbeText(simple.detail);
    number->value = [](RpPrintRun &run) { return QStringLiteral("#%1").arg(run.DetailNumber()); };
    int asked = 0;
    simple.report.OnNeedData = [&asked](QObject *, bool &more) { more = ++asked <= 3; };
    EXPECT_EQ(allTexts(*runToStore(simple.report)), QStringList({ "TITLE", "#1", "#2", "#3", "SUMMARY" }));
    EXPECT_EQ(asked, 4);
}

TEST(ReportLoop, DisabledDetailStillCountsItsRecordsButAVetoedOneDoesNot)
{
    for (const bool veto : { false, true }) {
        SCOPED_TRACE(veto);
        TMemTable table;
        fillTransactions(table, 4);
        SimpleReport simple(&table);
        new ProbeSum(simple.summary, &table, QStringLiteral("SUM "));
        if (veto)
            simple.detail->BeforePrint = [](TRpCustomBand *, bool &print) { print = false; };
        else
            simple.detail->setEnabled(false);
        EXPECT_EQ(allTexts(*runToStore(simple.report)).last(),
            veto ? QStringLiteral("SUM 0") : QStringLiteral("SUM 10"));
    }
}

TEST(ReportLoop, RunningTotalIncludesTheCurrentRecord)
{
    TMemTable table;
    fillTransactions(table, 4);
    SimpleReport simple(&table);
    new ProbeSum(simple.detail, &table, QStringLiteral("RUN "));
    EXPECT_EQ(allTexts(*runToStore(simple.report)),
        QStringList({ "TITLE", "RUN 1", "RUN 3", "RUN 6", "RUN 10", "SUMMARY" }));
}

TEST(ReportLoop, BandEventsSurroundEveryOccurrence)
{
    TMemTable table;
    fillTransactions(table, 2);
    SimpleReport simple(&table);
    QStringList events;
    simple.detail->BeforePrint = [&](TRpCustomBand *, bool &) { events << "before"; };
    simple.detail->AfterPrint
        = [&](TRpCustomBand *, bool printed) { events << (printed ? "after" : "skipped"); };
    simple.report.OnStartPage = [&](TCustomRpReport *) { events << "start"; };
    simple.report.OnEndPage = [&](TCustomRpReport *) { events << "end"; };
    bool asked = false;
    simple.report.BeforePrint = [&](TCustomRpReport *, bool &) { asked = true; };
    runToStore(simple.report);
    EXPECT_TRUE(asked);
    EXPECT_EQ(events, QStringList({ "start", "before", "after", "before", "after", "end" }));
}

TEST(ReportLoop, BeforePrintOfTheReportCancelsWithoutADocument)
{
    TMemTable table;
    fillTransactions(table, 2);
    SimpleReport simple(&table);
    simple.report.BeforePrint = [](TCustomRpReport *, bool &print) { print = false; };
    TRpPrinter store;
    EXPECT_FALSE(RunReport(simple.report, store));
    EXPECT_EQ(store.status(), TRpPrinter::Status::Ready);
}

// Three groups of transactions: accounts 1 (rows 1–3), 2 (rows 4–5) and 3 (row 6).
struct GroupedReport : SimpleReport
{
    explicit GroupedReport(TMemTable &table)
        : SimpleReport(&table)
    {
        group = new TRpGroup(&report);
        group->setObjectName(QStringLiteral("Group1"));
        group->setExpression(QStringLiteral("tblTransaction.Account_Number"));
        group->size()->setNativeLength(50);
        group->setFooterBand(AddBandOfType(&report, Rp::rbGroupFooter));
        group->footerBand()->size()->setNativeLength(50);
        auto *head = new ProbeText(group);
        head->value = [&table](RpPrintRun &) { return "HEAD " + field(table, "Transaction_Description"); };
        auto *foot = new ProbeText(group->footerBand());
        foot->value = [&table](RpPrintRun &) { return "FOOT " + field(table, "Transaction_Description"); };
        auto *row = new ProbeText(detail);
        row->value = [&table](RpPrintRun &) { return field(table, "Transaction_Description"); };
    }
    TRpGroup *group;
};

int accountOfRow(int row)
{
    return row <= 3 ? 1 : row <= 5 ? 2 : 3;
}

TEST(ReportGroups, HeaderShowsTheFirstRecordAndFooterTheLast)
{
    TMemTable table;
    fillTransactions(table, 6, accountOfRow);
    GroupedReport grouped(table);
    EXPECT_EQ(allTexts(*runToStore(grouped.report)),
        QStringList({ "TITLE", "HEAD Row 1", "Row 1", "Row 2", "Row 3", "FOOT Row 3", "HEAD Row 4", "Row 4",
            "Row 5", "FOOT Row 5", "HEAD Row 6", "Row 6", "FOOT Row 6", "SUMMARY" }));
}

TEST(ReportGroups, FooterTotalsResetAfterEachGroupWhileTheRunningTotalGoesOn)
{
    TMemTable table;
    fillTransactions(table, 6, accountOfRow);
    GroupedReport grouped(table);
    auto *groupTotal = new ProbeSum(grouped.group->footerBand(), &table, QStringLiteral("GROUP "));
    groupTotal->resetAfterPrint = true;
    new ProbeSum(grouped.group->footerBand(), &table, QStringLiteral("SO FAR "));
    QStringList totals;
    for (const QString &text : allTexts(*runToStore(grouped.report))) {
        if (text.startsWith(QStringLiteral("GROUP")) || text.startsWith(QStringLiteral("SO FAR")))
            totals << text;
    }
    EXPECT_EQ(totals, QStringList({ "GROUP 6", "SO FAR 6", "GROUP 9", "SO FAR 15", "GROUP 6", "SO FAR 21" }));
}

TEST(ReportGroups, NestedGroupsCloseInnermostFirstAndOpenOutermostFirst)
{
    TMemTable table;
    fillTransactions(table, 4, [](int row) { return row <= 2 ? 1 : 2; });
    SimpleReport simple(&table);
    auto makeGroup = [&](const QString &name, const QString &expression) {
        auto *group = new TRpGroup(&simple.report);
        group->setExpression(expression);
        group->size()->setNativeLength(40);
        new ProbeText(group, "H" + name);
        group->setFooterBand(AddBandOfType(&simple.report, Rp::rbGroupFooter));
        new ProbeText(group->footerBand(), "F" + name);
    };
    makeGroup(QStringLiteral("outer"), QStringLiteral("Account_Number"));
    makeGroup(QStringLiteral("inner"), QStringLiteral("Transaction_Number"));
    EXPECT_EQ(allTexts(*runToStore(simple.report)),
        QStringList({ "TITLE", "Houter", "Hinner", "Finner", "Hinner", "Finner", "Fouter", "Houter", "Hinner",
            "Finner", "Hinner", "Finner", "Fouter", "SUMMARY" }));
}

TEST(ReportGroups, ReprintedHeaderOpensEveryPageOfAGroupThatGoesOn)
{
    TMemTable table;
    // Account 1 holds one row, account 2 the next 130: three pages.
    fillTransactions(table, 131, [](int row) { return row == 1 ? 1 : 2; });
    ExampleReport example(&table);
    new ProbeText(example.pageHeader, QStringLiteral("PAGEHDR"));
    new ProbeText(example.columnHeader, QStringLiteral("COLHDR"));
    auto *row = new ProbeText(example.detail);
    row->value = [&table](RpPrintRun &) { return field(table, "Transaction_Description"); };
    auto *group = new TRpGroup(&example.report);
    group->setExpression(QStringLiteral("Account_Number"));
    group->setReprintOnNewPage(true);
    group->size()->setNativeLength(50);
    auto *head = new ProbeText(group);
    head->value = [&table](RpPrintRun &) { return "HEAD " + field(table, "Account_Number"); };
    const std::vector<PageLog> pages = logPages(*runToStore(example.report));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].startingWith(QStringLiteral("HEAD")), QStringList({ "HEAD 1", "HEAD 2" }));
    for (int p = 1; p < 3; ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(pages[p].textList().mid(0, 3), QStringList({ "PAGEHDR", "COLHDR", "HEAD 2" }));
        EXPECT_NEAR(pages[p].find(QStringLiteral("HEAD 2"))->y, 250, kPixel);
    }
}

TEST(ReportGroups, GroupThatEndedBeforeTheBreakIsNotReprinted)
{
    TMemTable table;
    // Account 1 fills page 1 up to its last row; account 2 starts on page 2 with its own header.
    fillTransactions(table, 60, [](int row) { return row <= 45 ? 1 : 2; });
    ExampleReport example(&table);
    auto *group = new TRpGroup(&example.report);
    group->setExpression(QStringLiteral("Account_Number"));
    group->setReprintOnNewPage(true);
    group->size()->setNativeLength(50);
    auto *head = new ProbeText(group);
    head->value = [&table](RpPrintRun &) { return "HEAD " + field(table, "Account_Number"); };
    const std::vector<PageLog> pages = logPages(*runToStore(example.report));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("HEAD")), QStringList { "HEAD 2" });
}

// Accounts and their transactions, the transactions following the current account.
class AccountsAndTransactions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        accounts.setObjectName(QStringLiteral("tblAccount"));
        accounts.FieldDefs() = FinanceTables::accountDefs();
        accounts.CreateEmpty();
        accounts.setKeepChangeLog(false);
        datAccount.setDataSet(&accounts);
        fillTransactions(transactions, 0);
        transactions.setIndexFieldNames(QStringLiteral("Account_Number"));
        transactions.setMasterSource(&datAccount);
        transactions.setMasterFields(QStringLiteral("Account_Number"));
        for (const char *name : { "A", "B", "C" }) {
            accounts.AppendRow();
            accounts.FieldNamed(QStringLiteral("Account_Type"))->setAsString(QLatin1String(name));
            accounts.Post();
            const int count = name[0] == 'B' ? 0 : 2;
            for (int i = 1; i <= count; ++i) {
                transactions.AppendRow();
                transactions.FieldNamed(QStringLiteral("Transaction_Description"))
                    ->setAsString(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i));
                transactions.Post();
            }
        }
        accounts.First();
    }

    TMemTable accounts;
    TDataSource datAccount;
    TMemTable transactions;
};

TEST_F(AccountsAndTransactions, SubDetailRunsOncePerMasterRecord)
{
    SimpleReport simple(&accounts);
    auto *name = new ProbeText(simple.detail);
    name->value = [this](RpPrintRun &) { return field(accounts, "Account_Type"); };
    auto *sub = new TRpSubDetail(&simple.report);
    sub->setDataSet(&transactions);
    sub->size()->setNativeLength(40);
    auto *text = new ProbeText(sub);
    text->value = [this](RpPrintRun &) { return "  " + field(transactions, "Transaction_Description"); };
    sub->bands()->setHasHeader(true);
    sub->bands()->setHasFooter(true);
    new ProbeText(sub->headerBand(), QStringLiteral("  [")),
        new ProbeText(sub->footerBand(), QStringLiteral("  ]"));
    EXPECT_EQ(allTexts(*runToStore(simple.report)),
        QStringList({ "TITLE", "A", "  [", "  A1", "  A2", "  ]", "B", "  [", "  ", "  ]", "C", "  [", "  C1",
            "  C2", "  ]", "SUMMARY" }));

    // Printed before the master's detail, and not at all for an empty table.
    sub->setPrintBefore(true);
    sub->setPrintIfEmpty(false);
    EXPECT_EQ(allTexts(*runToStore(simple.report)),
        QStringList({ "TITLE", "  [", "  A1", "  A2", "  ]", "A", "B", "  [", "  C1", "  C2", "  ]", "C",
            "SUMMARY" }));
}

TEST_F(AccountsAndTransactions, TablesAreBackOnTheirRowsAfterARun)
{
    accounts.First();
    accounts.Next(); // B
    accounts.Next(); // C
    transactions.Last(); // C2
    SimpleReport simple(&accounts);
    auto *sub = new TRpSubDetail(&simple.report);
    sub->setDataSet(&transactions);
    new ProbeText(sub, QStringLiteral("x"));
    runToStore(simple.report);
    EXPECT_EQ(field(accounts, "Account_Type"), QStringLiteral("C"));
    EXPECT_EQ(field(transactions, "Transaction_Description"), QStringLiteral("C2"));
}

TEST_F(AccountsAndTransactions, SubDetailAggregatesOverItsOwnLoop)
{
    SimpleReport simple(&accounts);
    auto *sub = new TRpSubDetail(&simple.report);
    sub->setDataSet(&transactions);
    sub->size()->setNativeLength(40);
    sub->bands()->setHasFooter(true);
    auto *count = new ProbeText(sub->footerBand());
    auto *counted = new ProbeSum(sub->footerBand(), &transactions, QStringLiteral("unused"), sub);
    counted->value = nullptr;
    count->value = [counted](RpPrintRun &) { return QStringLiteral("COUNT %1").arg(counted->recordsTaken); };
    QStringList counts;
    for (const QString &text : allTexts(*runToStore(simple.report))) {
        if (text.startsWith(QStringLiteral("COUNT")))
            counts << text;
    }
    // The element counts the records of the sub-detail's own loop, across master records.
    EXPECT_EQ(counts, QStringList({ "COUNT 2", "COUNT 2", "COUNT 4" }));
}

TEST(ReportLoopBands, LoopAndStringsBandsPublishTheirRepetition)
{
    SimpleReport simple(nullptr);
    simple.detail->setEnabled(false);
    auto *loop = new TRpLoopBand(&simple.report);
    loop->setObjectName(QStringLiteral("Times"));
    loop->setPrintCount(3);
    loop->size()->setNativeLength(40);
    auto *count = new ProbeText(loop);
    count->value = [](RpPrintRun &run) {
        TRpEvValue value;
        run.Functions()->ValueByName(QStringLiteral("TIMES"), value);
        return QStringLiteral("loop %1").arg(value.AsInteger());
    };
    auto *strings = new TRpStringsBand(&simple.report);
    strings->setObjectName(QStringLiteral("Names"));
    strings->setItems({ QStringLiteral("un"), QStringLiteral("deux") });
    strings->size()->setNativeLength(40);
    auto *item = new ProbeText(strings);
    item->value = [](RpPrintRun &run) {
        TRpEvValue value;
        run.Functions()->ValueByName(QStringLiteral("NAMES"), value);
        return "item " + value.Text();
    };
    EXPECT_EQ(allTexts(*runToStore(simple.report)),
        QStringList({ "TITLE", "loop 0", "loop 1", "loop 2", "item un", "item deux", "SUMMARY" }));
}

TEST(ReportLoopBands, PageAndColumnNumbersAndTitleReachExpressions)
{
    SimpleReport simple(nullptr);
    simple.report.setReportTitle(QStringLiteral("Relevé"));
    auto *probe = new ProbeText(simple.detail);
    probe->value = [](RpPrintRun &run) {
        TRpEvValue page, column, title;
        run.Functions()->ValueByName(QStringLiteral("PAGENUMBER"), page);
        run.Functions()->ValueByName(QStringLiteral("COLUMNNUMBER"), column);
        run.Functions()->ValueByName(QStringLiteral("REPORTTITLE"), title);
        return QStringLiteral("%1/%2/%3").arg(page.AsInteger()).arg(column.AsInteger()).arg(title.Text());
    };
    EXPECT_EQ(allTexts(*runToStore(simple.report)), QStringList({ "TITLE", "1/1/Relevé", "SUMMARY" }));
}

} // namespace
