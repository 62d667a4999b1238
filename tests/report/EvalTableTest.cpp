// Report expressions over the program's own tables.
#include "EvalTestSupport.h"

#include "platform/DateTime.h"
#include "report/expressions/EvaluatorTable.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

namespace {

class EvalTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.setObjectName(QStringLiteral("tblTransaction"));
        table.FieldDefs() = FinanceTables::transactionDefs();
        table.CreateEmpty();
        table.setKeepChangeLog(false);
        add(QStringLiteral("Salaire"), DateTime::encodeDate(2024, 3, 1), 1500.5, 1);
        add(QStringLiteral("Loyer"), DateTime::encodeDate(2024, 3, 5), -700.25, 1);
        table.AppendRow(); // a row whose description, date and amount stay empty
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(2);
        table.Post();
        table.First();
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

    QStringList overRows(const QString &expression)
    {
        TRpEvaluator evaluator(nullptr, &dataSets);
        evaluator.Compile(expression);
        QStringList results;
        for (table.First(); !table.AtEnd(); table.Next())
            results << rpEvDescribe(evaluator.Compute());
        return results;
    }

    TMemTable table;
    RpEvTableDataSet source { &table };
    TRpEvDataSetList dataSets { &source };
};

} // namespace

TEST_F(EvalTable, FieldsReadByKindOnEveryRow)
{
    EXPECT_EQ(overRows(QStringLiteral("tblTransaction.Transaction_Number")),
        QStringList({ "integer: 1", "integer: 2", "integer: 3" }));
    EXPECT_EQ(overRows(QStringLiteral("[transaction_description]")),
        QStringList({ "string: Salaire", "string: Loyer", "string: " }));
    EXPECT_EQ(overRows(QStringLiteral("Transaction_Amount")),
        QStringList({ "float: 1500,5", "float: -700,25", "float: 0" }));
    EXPECT_EQ(overRows(QStringLiteral("Transaction_Date")),
        QStringList({ "string: 01/03/2024", "string: 05/03/2024", "string: " }));
    EXPECT_EQ(overRows(QStringLiteral("TYPEOF(Account_Number)")),
        QStringList({ "string: INTEGER", "string: INTEGER", "string: INTEGER" }));
}

TEST_F(EvalTable, AggregatesRunWithTheWalk)
{
    TRpEvaluator evaluator(nullptr, &dataSets);
    evaluator.Compile(
        QStringLiteral("STR(SUM(tblTransaction.Transaction_Amount)) + ' / ' + STR(COUNT) + ' / ' + "
                       "STR(MAX(Transaction_Number))"));
    evaluator.ResetAggregates();
    for (table.First(); !table.AtEnd(); table.Next())
        evaluator.Accumulate();
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("string: 800,25 / 3 / 3"));
}

TEST_F(EvalTable, UnknownFieldsAndTablesAreNamedInTheError)
{
    EXPECT_EQ(overRows(QStringLiteral("tblTransaction.Nothing")).value(0),
        QStringLiteral("error: Unknown function : tblTransaction.Nothing"));
    EXPECT_EQ(overRows(QStringLiteral("tblAccount.Transaction_Amount")).value(0),
        QStringLiteral("error: Unknown function : tblAccount.Transaction_Amount"));
}
