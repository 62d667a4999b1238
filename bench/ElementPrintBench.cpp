// Printable element figures: how fast the text elements of a transaction list print into the page store. A
// detail band of four texts (record number, masked date, description, masked amount) prints 50 times a page;
// the figure counts element prints and pages, without the generator around them. Times are processor time of
// this process.
#include "platform/DateTime.h"
#include "report/elements/LabelItems.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorTable.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QGuiApplication>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

class BenchRun : public RpPrintRun
{
public:
    TRpPrinter &PageStore() override { return store; }
    // BENCH_NO_DRAW measures the elements without the page recording them.
    bool FinalPass() const override { return !qEnvironmentVariableIsSet("BENCH_NO_DRAW"); }
    TRpExportFilter *ExportFilter() const override { return nullptr; }
    TRpEvEnvironment *Functions() override { return &functions; }
    const std::vector<IRpEvDataSet *> &DataSets() const override { return dataSets; }
    void AddAggregateClient(QObject *, TRpPrintable *) override { }
    bool GrowBand(long double) override { return false; }
    long double BandGrowth() const override { return 0; }
    bool MayContinue() const override { return true; }
    bool MustAdvance() const override { return false; }
    int PageNumber() const override { return page; }
    qint64 DetailNumber() const override { return detail; }
    qint64 DetailCount() const override { return rows; }
    QString ReportTitle() const override { return QString(); }

    TRpPrinter store;
    TRpEvEnvironment functions;
    std::vector<IRpEvDataSet *> dataSets;
    int page = 0;
    qint64 detail = 0;
    qint64 rows = 0;
};

double processorSeconds(std::clock_t since)
{
    return double(std::clock() - since) / CLOCKS_PER_SEC;
}

void printList(int rows, bool compressed)
{
    TMemTable table;
    table.setObjectName(QStringLiteral("tblTransaction"));
    table.FieldDefs() = FinanceTables::transactionDefs();
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    for (int i = 0; i < rows; ++i) {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))
            ->setAsString(QStringLiteral("Paiement carte %1 — supermarché").arg(i));
        table.FieldNamed(QStringLiteral("Transaction_Date"))
            ->setAsDateTime(DateTime::encodeDate(2026, 1 + i % 12, 1 + i % 28));
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber((i * 37 % 200000) / 100.0 - 500);
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
        table.Post();
    }

    TRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    band->size()->setNativeWidth(1900);
    band->size()->setNativeLength(50);
    auto *number = new TRpSysData(band);
    number->setData(Rp::rpsDetailNo);
    number->setText(QStringLiteral("#"));
    number->size()->setNativeBounds(0, 0, 150, 45);
    auto *date = new TRpDBText(band);
    date->setDataSet(&table);
    date->setDataField(QStringLiteral("Transaction_Date"));
    date->setMask(QStringLiteral("dd/mm/yyyy"));
    date->size()->setNativeBounds(200, 0, 250, 45);
    auto *description = new TRpDBText(band);
    description->setDataSet(&table);
    description->setDataField(QStringLiteral("Transaction_Description"));
    description->size()->setNativeBounds(500, 0, 1000, 45);
    auto *amount = new TRpExpr(band);
    amount->setExpression(QStringLiteral("tblTransaction.Transaction_Amount"));
    amount->setMask(QStringLiteral("#,##0.00"));
    amount->setAlignment(Rp::taRightJustify);
    amount->size()->setNativeBounds(1550, 0, 350, 45);
    const std::vector<TRpCustomLabel *> elements { number, date, description, amount };

    BenchRun run;
    RpEvTableDataSet tableData(&table);
    run.dataSets.push_back(&tableData);
    run.rows = rows;
    run.store.setCompression(compressed);
    const std::clock_t start = std::clock();
    run.store.StartDocument();
    for (TRpCustomLabel *element : elements)
        element->BeginPrintRun(run);
    table.First();
    long double y = 0;
    while (!table.AtEnd()) {
        if (run.detail % 50 == 0) {
            run.store.NewPage();
            ++run.page;
            y = 100;
        }
        ++run.detail;
        for (TRpCustomLabel *element : elements)
            element->PrintAt(100, y);
        y += 50;
        table.Next();
    }
    for (TRpCustomLabel *element : elements)
        element->EndPrintRun();
    run.store.FinishDocument();
    const double seconds = processorSeconds(start);
    std::printf("transaction list, %d rows, %d pages (%s): %.0f pages/s, %.0f element prints/s\n", rows,
        run.page, compressed ? "compressed" : "uncompressed", run.page / seconds,
        double(rows) * elements.size() / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // "plain" measures the uncompressed store alone (for profiling).
    const bool plainOnly = argc > 1 && qstrcmp(argv[1], "plain") == 0;
    printList(10000, false);
    if (!plainOnly)
        printList(10000, true);
    return 0;
}
