#include "DetailWindowFixture.h"
#include "forms/Main.h"
#include "platform/RegionalSettings.h"
#include "widgets/DBGrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

namespace {

// Each title fits its section as the header draws it, each cell text fits with the grid's cell margins, and
// the columns fit side by side without a horizontal scroll bar.
void expectWhole(TDBGrid &grid)
{
    SCOPED_TRACE(grid.objectName().toStdString());
    QHeaderView &header = *grid.horizontalHeader();
    const int cellMargin = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1);
    TDataSet &table = *grid.DataSource()->DataSet();
    for (int i = 0; i < int(grid.boundColumns().size()); ++i) {
        const TDBGrid::BoundColumn &bound = grid.boundColumns()[size_t(i)];
        SCOPED_TRACE(bound.column.Title.toStdString());
        EXPECT_GE(header.sectionSize(i), header.sectionSizeHint(i));
        const QFontMetrics font(bound.column.Font ? *bound.column.Font : grid.font());
        table.First();
        while (!table.AtEnd()) {
            const QString text = bound.field->DisplayText();
            EXPECT_LE(font.horizontalAdvance(text) + cellMargin, header.sectionSize(i)) << text.toStdString();
            table.Next();
        }
    }
    EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0);
}

// Every title of a finance grid and every value of a household's data must show whole at the window's size.
class GridColumns : public DetailWindowFixture
{
protected:
    void addHouseholdData()
    {
        const int current = ledger.addAccount(QStringLiteral("Compte courant"), -12345.67);
        ledger.addAccount(QStringLiteral("Livret A"), 8200);
        ledger.addAccount(QStringLiteral("Épargne logement"), 1234567.89);
        ledger.addTransaction(current, QStringLiteral("Salaire"), 2350, DateTime::encodeDate(2026, 11, 2));
        ledger.addTransaction(current, QStringLiteral("Loyer"), -845.5, DateTime::encodeDate(2026, 12, 28));
        ledger.addTransaction(
            current, QStringLiteral("Assurance habitation"), -1245.1, DateTime::encodeDate(2026, 9, 30));
    }
};

TEST_F(GridColumns, TheAccountDetailGridsShowEveryTitleAndValueWhole)
{
    addHouseholdData();
    detail->show();
    QCoreApplication::processEvents();
    expectWhole(*detail->DBGrid1);
    expectWhole(*detail->DBGrid2);
}

using MainGridColumns = FormsFixture;

TEST_F(MainGridColumns, TheMainWindowGridShowsEveryTitleAndValueWhole)
{
    TMemTable &accounts = *DataModule1->tblAccount;
    for (const auto &[name, balance] : { std::pair { "Compte courant", -12345.67 }, { "Livret A", 8200.0 },
             { "Épargne logement", 1234567.89 } }) {
        accounts.AppendRow();
        DataModule1->tblAccountAccount_Type->setAsString(QString::fromUtf8(name));
        DataModule1->tblAccountAccount_Balance->setAsNumber(balance);
        accounts.Post();
    }
    frmMain->show();
    QCoreApplication::processEvents();
    expectWhole(*frmMain->DBGrid1);
    frmMain->hide();
}

} // namespace
