// Data fields that leave out repeated values, in runs of designed reports: a repeated value prints again at
// the top of a new page only with ReprintOnNewPage, and after a group break only with ReprintOnNewGroup.
#include "ScriptTestSupport.h"

#include "report/GenerationTestSupport.h"

namespace {

// A designed list of `rows` transactions of one account: a page header, a group breaking when the amount
// passes 3, and a detail printing the account number as a data field that leaves out repeats.
struct SuppressedList
{
    explicit SuppressedList(int rows)
        : engine(QStringLiteral("SuppressWindow"))
        , table(*new TMemTable(engine.dataModule()))
    {
        fillTransactions(table, rows);
        TDesignRpReport &report = *engine.report();
        report.setUnits(Rp::Native);
        report.page()->setPaperSize(RpPaper::A4);
        report.page()->setTopMargin(100);
        report.page()->setBottomMargin(100);
        report.setDataSet(&table);
        header = band<TRpDesignBand>("Pageheader", Rp::rbPageHeader, 100);
        group = band<TRpDesignGroup>("Group1", Rp::rbGroupHeader, 50);
        group->setExpression(QStringLiteral("tblTransaction.Transaction_Amount > 3"));
        detail = band<TRpDesignBand>("Detailband", Rp::rbDetail, 50);
        field = new TRpDesignDBText(detail);
        field->setObjectName(QStringLiteral("Account"));
        field->setDataSet(&table);
        field->setDataField(QStringLiteral("Account_Number"));
        field->size()->setNativeBounds(100, 0, 600, 40);
        field->setSuppressRepeatedValues(true);
    }

    template<typename Band>
    Band *band(const char *name, TRpBandType type, long double height)
    {
        auto *made = new Band(engine.report());
        made->setObjectName(QString::fromLatin1(name));
        if constexpr (std::is_base_of_v<TRpBand, Band>)
            made->setBandType(type);
        made->size()->setNativeLength(height);
        return made;
    }

    // How often the account number printed on each page.
    std::vector<int> printsPerPage()
    {
        const std::unique_ptr<TRpPrinter> store = runToStore(*engine.report());
        std::vector<int> counts;
        for (const PageLog &page : logPages(*store))
            counts.push_back(page.count(QStringLiteral("1")));
        return counts;
    }

    ReportFileEngine engine;
    TMemTable &table;
    TRpDesignBand *header;
    TRpDesignGroup *group;
    TRpDesignBand *detail;
    TRpDesignDBText *field;
};

TEST(SuppressedDataFields, PrintAgainAfterAGroupBreakOnlyWhenAsked)
{
    SuppressedList list(6);
    EXPECT_EQ(list.printsPerPage(), std::vector<int> { 1 });
    list.field->setReprintOnNewGroup(true);
    EXPECT_EQ(list.printsPerPage(), std::vector<int> { 2 });
    // A group of another data loop leaves the field alone.
    auto *other = list.band<TRpDesignSubdetail>("Sub1", Rp::rbSubDetail, 50);
    list.group->setMaster(other);
    EXPECT_EQ(list.printsPerPage(), std::vector<int> { 1 });
}

TEST(SuppressedDataFields, PrintAgainOnANewPageOnlyWhenAsked)
{
    SuppressedList list(80);
    list.group->setExpression(QStringLiteral("1"));
    const std::vector<int> plain = list.printsPerPage();
    ASSERT_GE(plain.size(), 2u);
    EXPECT_EQ(plain[0], 1);
    EXPECT_EQ(plain[1], 0);
    list.field->setReprintOnNewPage(true);
    const std::vector<int> reprinted = list.printsPerPage();
    EXPECT_EQ(reprinted[0], 1);
    EXPECT_EQ(reprinted[1], 1);
}

} // namespace
