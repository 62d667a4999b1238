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

struct ListCase
{
    RpPaper::TPrinterOrientation orientation;
    double width;
    double length;
    int pages;
    int firstRows;
    int fullRows;
};

class TransactionListPages : public ::testing::TestWithParam<ListCase>
{
};

// Every page breaks where the next row no longer fits above the footer, on the paper as it is turned.
TEST_P(TransactionListPages, HoldExactlyTheRowsThatFit)
{
    const ListCase &c = GetParam();
    LocaleScope locale("en_US");
    TMemTable table;
    fillTransactions(table, 1000);
    TransactionList list(table);
    list.report.page()->setOrientation(c.orientation);
    const auto store = runToStore(list.report);
    EXPECT_NEAR(store->PaperWidthNative(), c.width, 0.5);
    EXPECT_NEAR(store->PaperLengthNative(), c.length, 0.5);
    const std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(int(pages.size()), c.pages);
    for (int p = 0; p < c.pages; ++p) {
        SCOPED_TRACE(p + 1);
        const PageLog &page = pages[size_t(p)];
        const int rows = p == 0 ? c.firstRows
            : p + 1 < c.pages   ? c.fullRows
                                : 1000 - c.firstRows - c.fullRows * (c.pages - 2);
        EXPECT_EQ(rowsOn(page), rows);
        EXPECT_EQ(page.count(QStringLiteral("PAGEHDR")), 1);
        EXPECT_EQ(page.count(QStringLiteral("COLHDR")), 1);
        EXPECT_EQ(page.count(QStringLiteral("TITLE")), p == 0 ? 1 : 0);
        EXPECT_NEAR(page.width, c.width, kPixel);
        EXPECT_NEAR(page.height, c.length, kPixel);
        // The footer sits on its reserve above the bottom margin; every row lies above it.
        const PageLog::Text *footer = page.find(QStringLiteral("Page %1").arg(p + 1));
        ASSERT_NE(footer, nullptr);
        const double footerTop = c.length - 200;
        EXPECT_GT(footer->y, footerTop);
        EXPECT_LT(footer->y, footerTop + 50);
        for (const PageLog::Text &text : page.texts) {
            if (text.text.startsWith(u'#')) {
                EXPECT_LE(text.y + 50, footer->y + kPixel) << text.text.toStdString();
            }
        }
    }
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("#")).first(), QStringLiteral("#%1").arg(c.firstRows + 1));
    EXPECT_EQ(pages[1].startingWith(QStringLiteral("#")).last(),
        QStringLiteral("#%1").arg(c.firstRows + c.fullRows));
    EXPECT_EQ(pages.back().count(QStringLiteral("TOTAL 500500.00")), 1);
}

INSTANTIATE_TEST_SUITE_P(Orientation, TransactionListPages,
    ::testing::Values(ListCase { RpPaper::poPortrait, 2100, 2970, 21, 46, 50 },
        ListCase { RpPaper::poLandscape, 2970, 2100, 31, 29, 33 }));

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
