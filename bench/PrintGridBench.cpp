// Printing a transaction list of 10 000 rows to a PDF file through the grid printer, landscape, as the
// account detail window prints it: total time and pages per second (target: the whole job within 5 s).
#include "platform/DateTime.h"
#include "print/PrintGrid.h"
#include "store/DataSource.h"
#include "store/MemTable.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void fill(TMemTable &table, int rows)
{
    table.FieldDefs().Add(QStringLiteral("Transaction_Number"), ftAutoInc, 0, faReadonly);
    table.FieldDefs().Add(QStringLiteral("Transaction_Description"), ftString, 100);
    table.FieldDefs().Add(QStringLiteral("Transaction_Date"), ftDateTime);
    table.FieldDefs().Add(QStringLiteral("Transaction_Amount"), ftCurrency);
    table.CreateEmpty();
    TField *description = table.FieldNamed(QStringLiteral("Transaction_Description"));
    TField *date = table.FieldNamed(QStringLiteral("Transaction_Date"));
    TField *amount = table.FieldNamed(QStringLiteral("Transaction_Amount"));
    for (int i = 0; i < rows; ++i) {
        table.AppendRow();
        description->setAsString(QStringLiteral("Transaction numéro %1").arg(i + 1));
        date->setAsDateTime(TDateTime(46000 + i % 365));
        amount->setAsNumber((i % 2 ? -1 : 1) * (i * 1.37));
        table.Post();
    }
    table.First();
}

TColumn column(const char *field, const char *title, int width, std::optional<Qt::Alignment> alignment = {})
{
    TColumn c;
    c.FieldName = QString::fromLatin1(field);
    c.Title = QString::fromUtf8(title);
    c.Width = width;
    c.Alignment = alignment;
    c.TitleAlignment = alignment;
    return c;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRows = 10000;
    TMemTable table;
    fill(table, kRows);
    TDataSource source;
    source.setDataSet(&table);
    TDBGrid grid;
    grid.resize(740, 300);
    grid.setDataSource(&source);
    grid.setColumns({ column("Transaction_Description", "Désignation de la transaction", 427),
        column("Transaction_Date", "Date de la transaction", 137, Qt::AlignHCenter),
        column("Transaction_Amount", "Montant de la transaction", 154, Qt::AlignHCenter) });

    QTemporaryDir dir;
    TPrintGrid printer;
    printer.setPrintOrientation(QPageLayout::Landscape);
    printer.setDBGrid(&grid);
    printer.FinishLoading();
    printer.HeaderBounds().AddBound(1, QStringLiteral("Relevé de compte"), 10, Rp::fsBold, Qt::AlignHCenter);
    QPrinter &qprinter = printer.Printer();
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setPageSize(QPageSize(QPageSize::Letter));
    qprinter.setOutputFileName(dir.filePath(QStringLiteral("transactions.pdf")));
    int pages = 1;
    printer.OnNextPageEvent = [&](TPrintGrid &, int page) { pages = page; };

    QElapsedTimer timer;
    timer.start();
    printer.Print();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("print_grid_%d_rows_pdf: %.2f s total (target 5 s, %.0f%% of it)\n", kRows, seconds,
        seconds / 5.0 * 100.0);
    std::printf(
        "print_grid_%d_rows_pdf_pages: %d pages, %.1f pages per second\n", kRows, pages, pages / seconds);
    std::printf("print_grid_%d_rows_pdf_file: %.1f KiB\n", kRows,
        double(QFileInfo(qprinter.outputFileName()).size()) / 1024.0);
    return 0;
}
