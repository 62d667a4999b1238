// Report expressions per record over a 1,000,000-row transaction table (TMemTable), walked the way the
// report generator walks it (First, Next, AtEnd): the aggregate SUM(tblTransaction.Transaction_Amount)
// accumulated once per record, and a three-function text expression computed once per record. The same
// expressions over an in-memory column through the evaluator's field interface show the evaluator's own
// share; the bare walk shows the table's.
#include "platform/DateTime.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorTable.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 1000000;
const char *const kSum = "SUM(tblTransaction.Transaction_Amount)";
const char *const kText = "UPPER(COPY(tblTransaction.Transaction_Description, 1, 6)) + ' ' + "
                          "STR(tblTransaction.Transaction_Amount)";

void fill(TMemTable &table)
{
    table.setObjectName(QStringLiteral("tblTransaction"));
    table.FieldDefs() = FinanceTables::transactionDefs();
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    TField *description = table.FieldNamed(QStringLiteral("Transaction_Description"));
    TField *date = table.FieldNamed(QStringLiteral("Transaction_Date"));
    TField *amount = table.FieldNamed(QStringLiteral("Transaction_Amount"));
    TField *account = table.FieldNamed(QStringLiteral("Account_Number"));
    const TDateTime day = DateTime::encodeDate(2024, 1, 1);
    for (int i = 0; i < kRows; ++i) {
        table.AppendRow();
        description->setAsString(QStringLiteral("Achat numero %1").arg(i));
        date->setAsDateTime(day + i % 365);
        amount->setAsNumber((i % 2 ? -1.0 : 1.0) * (i % 1000) / 4.0);
        account->setAsInteger(1 + i % 5);
        table.Post();
    }
}

// The transaction amounts and descriptions as plain columns.
class Columns : public IRpEvDataSet
{
public:
    std::vector<double> amounts;
    std::vector<QString> descriptions;
    size_t row = 0;
    QString Name() const override { return QStringLiteral("tblTransaction"); }
    int FindField(const QString &name) const override
    {
        if (name.compare(QLatin1String("Transaction_Amount"), Qt::CaseInsensitive) == 0)
            return 0;
        return name.compare(QLatin1String("Transaction_Description"), Qt::CaseInsensitive) == 0 ? 1 : -1;
    }
    QString FieldName(int index) const override
    {
        return index ? QStringLiteral("Transaction_Description") : QStringLiteral("Transaction_Amount");
    }
    RpFieldKind FieldKind(int index) const override
    {
        return index ? RpFieldKind::String : RpFieldKind::Float;
    }
    qint64 AsInteger(int) const override { return 0; }
    double AsFloat(int) const override { return amounts[row]; }
    bool AsBoolean(int) const override { return false; }
    QString AsString(int) const override { return descriptions[row]; }
};

void report(const char *name, qint64 nanoseconds, double peerRate, const char *peer)
{
    const double rate = kRows / (double(nanoseconds) / 1e9);
    if (peerRate > 0)
        std::printf("%s: %.0f records/s (%.2f x %s)\n", name, rate, rate / peerRate, peer);
    else
        std::printf("%s: %.0f records/s\n", name, rate);
    std::fflush(stdout);
}

double rateOf(qint64 nanoseconds)
{
    return kRows / (double(nanoseconds) / 1e9);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    TMemTable table;
    fill(table);
    std::printf("fill: %.2f s for %d rows\n", double(timer.nsecsElapsed()) / 1e9, kRows);

    RpEvTableDataSet source(&table);
    const TRpEvDataSetList dataSets { &source };

    timer.restart();
    int walked = 0;
    for (table.First(); !table.AtEnd(); table.Next())
        ++walked;
    const qint64 walk = timer.nsecsElapsed();
    report("walk (First/Next/AtEnd only)", walk, 0, "");

    TRpEvaluator sum(nullptr, &dataSets);
    sum.Compile(QString::fromLatin1(kSum));
    sum.ResetAggregates();
    timer.restart();
    for (table.First(); !table.AtEnd(); table.Next())
        sum.Accumulate();
    const qint64 sumTime = timer.nsecsElapsed();
    report("SUM over TMemTable (target 2000000)", sumTime, rateOf(walk), "walk");
    std::printf("  total: %s\n", qPrintable(rpEvDescribe(sum.Compute())));

    TRpEvaluator text(nullptr, &dataSets);
    text.Compile(QString::fromLatin1(kText));
    TRpEvValue value;
    timer.restart();
    for (table.First(); !table.AtEnd(); table.Next())
        text.Compute(value);
    const qint64 textTime = timer.nsecsElapsed();
    report("three-function text over TMemTable", textTime, rateOf(walk), "walk");
    std::printf("  last: %s\n", qPrintable(rpEvDescribe(value)));

    Columns columns;
    columns.amounts.reserve(kRows);
    columns.descriptions.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        columns.amounts.push_back((i % 2 ? -1.0 : 1.0) * (i % 1000) / 4.0);
        columns.descriptions.push_back(QStringLiteral("Achat numero %1").arg(i));
    }
    const TRpEvDataSetList columnSets { &columns };
    TRpEvaluator columnSum(nullptr, &columnSets);
    columnSum.Compile(QString::fromLatin1(kSum));
    columnSum.ResetAggregates();
    timer.restart();
    for (columns.row = 0; columns.row < size_t(kRows); ++columns.row)
        columnSum.Accumulate();
    report("SUM over an in-memory column", timer.nsecsElapsed(), rateOf(sumTime), "TMemTable");

    TRpEvaluator columnText(nullptr, &columnSets);
    columnText.Compile(QString::fromLatin1(kText));
    timer.restart();
    for (columns.row = 0; columns.row < size_t(kRows); ++columns.row)
        columnText.Compute(value);
    report(
        "three-function text over an in-memory column", timer.nsecsElapsed(), rateOf(textTime), "TMemTable");
    return walked == kRows ? 0 : 1;
}
