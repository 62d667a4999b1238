// The banded transaction list with the program's own elements: labels, system data and a total, over one
// account's thousand transactions, portrait and landscape.
#include "GenerationTestSupport.h"

#include "platform/RegionalSettings.h"
#include "report/elements/LabelItems.h"

#include <gtest/gtest.h>

namespace {

// Pins the regional settings for one test.
class LocaleScope
{
public:
    explicit LocaleScope(const char *name)
        : m_saved(RegionalSettings::current())
    {
        RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(QLatin1String(name))));
    }
    ~LocaleScope() { RegionalSettings::setCurrent(m_saved); }

private:
    RegionalSettings m_saved;
};

template <typename T> T *place(TRpCustomBand *band, long double left = 0)
{
    auto *element = new T(band);
    element->size()->setNativeBounds(left, 0, 600, 45);
    return element;
}

struct TransactionList : ExampleReport
{
    explicit TransactionList(TMemTable &table)
        : ExampleReport(&table)
    {
        place<TRpLabel>(pageHeader)->setCaption(QStringLiteral("PAGEHDR"));
        place<TRpLabel>(title)->setCaption(QStringLiteral("TITLE"));
        place<TRpLabel>(columnHeader)->setCaption(QStringLiteral("COLHDR"));
        auto *number = place<TRpSysData>(detail);
        number->setData(Rp::rpsDetailNo);
        number->setText(QStringLiteral("#"));
        auto *page = place<TRpSysData>(pageFooter);
        page->setData(Rp::rpsPageNumber);
        page->setText(QStringLiteral("Page "));
        auto *total = place<TRpExpr>(summary);
        total->setExpression(
            QStringLiteral("'TOTAL ' + FORMATNUMERIC('0.00', SUM(tblTransaction.Transaction_Amount))"));
    }
};

int rowsOn(const PageLog &page)
{
    return int(page.startingWith(QStringLiteral("#")).size());
}

TEST(TransactionList, PortraitMakesTwentyOnePages)
{
    LocaleScope locale("en_US");
    TMemTable table;
    fillTransactions(table, 1000);
    TransactionList list(table);
    const auto store = runToStore(list.report);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 21u);
    EXPECT_EQ(rowsOn(pages[0]), 46);
    for (int p = 1; p < 20; ++p)
        EXPECT_EQ(rowsOn(pages[p]), 50) << p + 1;
    EXPECT_EQ(rowsOn(pages[20]), 4);
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("#")).first(), QStringLiteral("#47"));
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("#")).last(), QStringLiteral("#96"));
    for (int p = 0; p < 21; ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(pages[p].count(QStringLiteral("PAGEHDR")), 1);
        EXPECT_EQ(pages[p].count(QStringLiteral("COLHDR")), 1);
        EXPECT_EQ(pages[p].count(QStringLiteral("Page %1").arg(p + 1)), 1);
        EXPECT_EQ(pages[p].count(QStringLiteral("TITLE")), p == 0 ? 1 : 0);
    }
    EXPECT_EQ(pages[20].count(QStringLiteral("TOTAL 500500.00")), 1);
}

TEST(TransactionList, LandscapeMakesThirtyOnePagesWithEveryRowOnThePaper)
{
    LocaleScope locale("en_US");
    TMemTable table;
    fillTransactions(table, 1000);
    TransactionList list(table);
    list.report.page()->setOrientation(RpPaper::poLandscape);
    const auto store = runToStore(list.report);
    EXPECT_NEAR(store->PaperWidthNative(), 2970, 0.5);
    EXPECT_NEAR(store->PaperLengthNative(), 2100, 0.5);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 31u);
    EXPECT_EQ(rowsOn(pages[0]), 29);
    for (int p = 1; p < 30; ++p)
        EXPECT_EQ(rowsOn(pages[p]), 33) << p + 1;
    EXPECT_EQ(rowsOn(pages[30]), 14);
    for (const PageLog &page : pages) {
        for (const PageLog::Text &text : page.texts)
            EXPECT_LT(text.y, 2100 - 100) << text.text.toStdString();
    }
    EXPECT_EQ(pages[30].count(QStringLiteral("TOTAL 500500.00")), 1);
}

TEST(TransactionList, DataFieldsPrintTheirMaskedValuesRowByRow)
{
    LocaleScope locale("fr_FR");
    TMemTable table;
    fillTransactions(table, 3);
    TRpReport report;
    report.setDataSet(&table);
    TRpBand *detail = addBand(report, Rp::rbDetail, 50);
    auto *amount = place<TRpDBText>(detail);
    amount->setDataSet(&table);
    amount->setDataField(QStringLiteral("Transaction_Amount"));
    amount->setMask(QStringLiteral("#,##0.00"));
    auto *text = place<TRpDBText>(detail, 800);
    text->setDataSet(&table);
    text->setDataField(QStringLiteral("transaction_description"));
    auto *count = place<TRpSysData>(detail, 1400);
    count->setData(Rp::rpsDetailCount);
    count->setText(QStringLiteral("of "));
    const std::vector<PageLog> pages = logPages(*runToStore(report));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].textList(),
        QStringList({ "1,00", "Row 1", "of 3", "2,00", "Row 2", "of 3", "3,00", "Row 3", "of 3" }));
    EXPECT_NEAR(pages[0].find(QStringLiteral("Row 2"))->x, 100 + 800, kPixel);
    // The captions come back when the run ends.
    EXPECT_EQ(text->designText(), QStringLiteral("transaction_description"));
}

// A stretching field whose line is a little taller than the element grows its band on every row, and its
// text is drawn on every row all the same.
TEST(TransactionList, StretchingFieldPrintsOnEveryRow)
{
    TMemTable table;
    fillTransactions(table, 12);
    TRpReport report;
    report.setDataSet(&table);
    auto *text = new TRpDBText(addBand(report, Rp::rbDetail, 106));
    text->size()->setNativeBounds(300, 0, 600, 40);
    text->setDataSet(&table);
    text->setDataField(QStringLiteral("Transaction_Description"));
    text->setAutoSize(false);
    text->setAutoStretch(true);
    const std::vector<PageLog> pages = logPages(*runToStore(report));
    ASSERT_EQ(pages.size(), 1u);
    QStringList expected;
    for (int row = 1; row <= 12; ++row)
        expected << QStringLiteral("Row %1").arg(row);
    EXPECT_EQ(pages[0].textList(), expected);
}

} // namespace
