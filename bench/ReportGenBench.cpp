// Report generation figures: the banded transaction list over 10,000 rows (four texts per row: number,
// masked date, description, masked amount; 201 pages) into the page store without and with compression,
// and to a PDF file end to end; the progress notices a run posts and the peak memory. Times are processor
// time of this process, so the figures stay meaningful on a machine busy with other work.
#include "BenchData.h"

#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "print/ReportPrinter.h"
#include "report/elements/LabelItems.h"
#include "report/generation/RunReport.h"
#include "report/model/Report.h"
#include "report/pages/PageRecorder.h"
#include "report/pages/RpPrinter.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr int kRows = 10000;

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

long peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void fillTable(TMemTable &table)
{
    table.setObjectName(QStringLiteral("tblTransaction"));
    table.FieldDefs() = FinanceTables::transactionDefs();
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    BenchData::TransactionSource source(1);
    TField *description = table.FieldNamed(QStringLiteral("Transaction_Description"));
    TField *date = table.FieldNamed(QStringLiteral("Transaction_Date"));
    TField *amount = table.FieldNamed(QStringLiteral("Transaction_Amount"));
    TField *account = table.FieldNamed(QStringLiteral("Account_Number"));
    for (int i = 0; i < kRows; ++i) {
        const BenchData::Transaction row = source.next();
        table.AppendRow();
        description->setAsString(Cp1252::decode(row.description));
        date->setAsDateTime(DateTime::encodeDate(2006, 1, 1) + i % 7300);
        amount->setAsNumber(row.amount);
        account->setAsInteger(1);
        table.Post();
    }
    table.First();
}

template <typename T> T *place(TRpCustomBand *band, long double left, long double width)
{
    auto *element = new T(band);
    element->size()->setNativeBounds(left, 0, width, 45);
    return element;
}

TRpBand *addBand(TCustomRpReport &report, TRpBandType type, long double height)
{
    TRpBand *band = AddBandOfType(&report, type);
    band->size()->setNativeLength(height);
    return band;
}

TRpDBText *field(TRpCustomBand *band, TMemTable &table, const char *name, long double left, long double width,
    const char *mask = "")
{
    auto *text = place<TRpDBText>(band, left, width);
    text->setDataSet(&table);
    text->setDataField(QLatin1String(name));
    text->setMask(QLatin1String(mask));
    return text;
}

// The banded list: A4, margins 100, page header, title, column header, detail, page footer, summary.
std::unique_ptr<TRpReport> makeList(TMemTable &table)
{
    auto report = std::make_unique<TRpReport>();
    report->setUnits(Rp::Native);
    report->page()->setTopMargin(100);
    report->page()->setBottomMargin(100);
    report->page()->setLeftMargin(100);
    report->page()->setRightMargin(100);
    report->setDataSet(&table);
    report->setShowProgress(false);
    place<TRpLabel>(addBand(*report, Rp::rbPageHeader, 100), 0, 800)
        ->setCaption(QStringLiteral("Relevé des comptes"));
    place<TRpLabel>(addBand(*report, Rp::rbTitle, 200), 0, 800)->setCaption(QStringLiteral("Transactions"));
    TRpBand *columns = addBand(*report, Rp::rbColumnHeader, 50);
    place<TRpLabel>(columns, 0, 150)->setCaption(QStringLiteral("N°"));
    place<TRpLabel>(columns, 150, 250)->setCaption(QStringLiteral("Date"));
    place<TRpLabel>(columns, 400, 1100)->setCaption(QStringLiteral("Description"));
    place<TRpLabel>(columns, 1500, 400)->setCaption(QStringLiteral("Montant"));
    TRpBand *detail = addBand(*report, Rp::rbDetail, 50);
    field(detail, table, "Transaction_Number", 0, 150);
    field(detail, table, "Transaction_Date", 150, 250, "dd/mm/yyyy");
    field(detail, table, "Transaction_Description", 400, 1100);
    field(detail, table, "Transaction_Amount", 1500, 400, "#,##0.00")->setAlignment(Rp::taRightJustify);
    auto *page = place<TRpSysData>(addBand(*report, Rp::rbPageFooter, 100), 0, 400);
    page->setData(Rp::rpsPageNumber);
    page->setText(QStringLiteral("Page "));
    auto *total = place<TRpExpr>(addBand(*report, Rp::rbSummary, 150), 0, 1200);
    total->setExpression(QStringLiteral("'TOTAL ' + FORMATNUMERIC('#,##0.00', SUM(Transaction_Amount))"));
    report->setUnits(Rp::MM);
    return report;
}

// Counts the progress notices a run posts to its client.
class NoticeCounter : public QObject
{
public:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::Type(RpNotice::Progress))
            ++progress;
        return QObject::event(event);
    }
    int progress = 0;
};

// Where the time of writing a PDF goes: reading the stored pages back as pictures, playing them on the PDF
// writer, and the writer's own page ends (which compress each page's contents).
struct PdfSplit
{
    double reading = 0;
    double playing = 0;
    double ending = 0;
};

PdfSplit writePdf(TRpPrinter &store, QIODevice &device)
{
    PdfSplit split;
    QPdfWriter writer(&device);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    for (int n = 1; n <= store.pageCount(); ++n) {
        double start = cpuSeconds();
        if (n > 1)
            writer.newPage();
        double next = cpuSeconds();
        split.ending += next - start;
        start = next;
        const std::unique_ptr<QPicture> page = store.CopyPage(n);
        next = cpuSeconds();
        split.reading += next - start;
        start = next;
        painter.drawPicture(0, 0, *page);
        split.playing += cpuSeconds() - start;
    }
    const double start = cpuSeconds();
    painter.end();
    split.ending += cpuSeconds() - start;
    return split;
}

// What closing one recorded page costs: a page of the list is drawn again onto a fresh page recorder, and
// only sealing its records (record count and checksum) and storing them are timed.
void measurePageClosing(TRpPrinter &listStore, double secondsPerPage)
{
    const std::unique_ptr<QPicture> page = listStore.CopyPage(2);
    if (!page)
        return;
    constexpr int kPages = 200;
    double ending = 0;
    double storing = 0;
    qint64 bytes = 0;
    TRpPageList list;
    list.setStream(TRpStream::forRecording());
    for (int i = 0; i < kPages; ++i) {
        TRpPageRecorder recorder(page->boundingRect());
        {
            QPainter painter(&recorder);
            painter.drawPicture(0, 0, *page);
        }
        const double start = cpuSeconds();
        const QByteArray sealed = recorder.finish();
        const double ended = cpuSeconds();
        list.AddPageData(sealed);
        storing += cpuSeconds() - ended;
        ending += ended - start;
        bytes = sealed.size();
    }
    BenchData::line("closing a page of the list — recorded bytes", double(bytes), "bytes");
    BenchData::line("closing a page of the list — sealing the records", ending / kPages * 1e6, "us");
    BenchData::line(
        "closing a page of the list — appending it to the page list", storing / kPages * 1e6, "us");
    BenchData::line("closing a page of the list — share of the time per page",
        100 * (ending + storing) / kPages / secondsPerPage, "%");
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TMemTable table;
    fillTable(table);
    const std::unique_ptr<TRpReport> report = makeList(table);

    // One figure alone when named ("store", "transparent", "compressed", "pdf"), to profile it.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    struct Pass
    {
        const char *key;
        const char *name;
        bool compressed;
        bool transparent;
    };
    const Pass passes[] = { { "store", "list into the page store", false, false },
        { "transparent", "list into the page store, transparent texts", false, true },
        { "compressed", "list into the page store, compressed", true, false } };
    for (const Pass &pass : passes) {
        if (!only.isEmpty() && only != QLatin1String(pass.key))
            continue;
        report->setOptions(pass.compressed ? Rp::FirstPageHeader | Rp::LastPageFooter | Rp::Compression
                                           : Rp::FirstPageHeader | Rp::LastPageFooter);
        for (TRpDBText *text : report->findChildren<TRpDBText *>())
            text->setTransparent(pass.transparent);
        constexpr int kRuns = 3;
        int pages = 0;
        int notices = 0;
        qint64 bytes = 0;
        const double start = cpuSeconds();
        for (int run = 0; run < kRuns; ++run) {
            NoticeCounter counter;
            TRpPrinter store;
            store.setClient(&counter);
            RunReport(*report, store);
            QCoreApplication::sendPostedEvents(&counter);
            pages = store.pageCount();
            notices = counter.progress;
            bytes = store.pageList().stream()->size();
        }
        const double seconds = (cpuSeconds() - start) / kRuns;
        BenchData::line(pass.name, pages / seconds, "pages/s");
        BenchData::line(
            (QByteArray(pass.name) + " — stored bytes per page").constData(), double(bytes) / pages, "bytes");
        if (pass.key == passes[0].key) {
            BenchData::line("pages of the list", pages, "pages");
            BenchData::line("progress notices per run", notices, "notices");
            TRpPrinter store;
            RunReport(*report, store);
            measurePageClosing(store, seconds / pages);
        }
    }
    for (TRpDBText *text : report->findChildren<TRpDBText *>())
        text->setTransparent(false);

    if (!only.isEmpty() && only != QLatin1String("pdf") && only != QLatin1String("print"))
        return 0;
    report->setOptions(Rp::FirstPageHeader | Rp::LastPageFooter);
    int pages = 0;
    if (only != QLatin1String("print")) {
        const double start = cpuSeconds();
        TRpPrinter store;
        RunReport(*report, store);
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        const double generated = cpuSeconds();
        const PdfSplit split = writePdf(store, buffer);
        const double seconds = cpuSeconds() - start;
        pages = store.pageCount();
        BenchData::line("list to PDF, end to end", pages / seconds, "pages/s");
        BenchData::line("list to PDF — generating the pages", (generated - start) / pages * 1e3, "ms/page");
        BenchData::line(
            "list to PDF — reading each page back as a picture", split.reading / pages * 1e3, "ms/page");
        BenchData::line("list to PDF — playing it on the PDF writer", split.playing / pages * 1e3, "ms/page");
        BenchData::line("list to PDF — the writer's page ends (compressing the contents)",
            split.ending / pages * 1e3, "ms/page");
        BenchData::line("PDF size", double(pdf.size()) / 1024, "KB");
    }

    // The same list printed on the PDF printer: the pages are drawn on the PDF writer as they are made, with
    // no page pictures to record, read back or play. What this takes is what Qt's PDF writer needs for the
    // list's drawing, the run included.
    if (pages == 0) {
        // Alone (to profile the printing), the page count comes from an untimed run into a store.
        TRpPrinter counted;
        RunReport(*report, counted);
        pages = counted.pageCount();
    }
    const QString printed = QDir::temp().filePath(QStringLiteral("quillot-bench-list.pdf"));
    ReportPrinting::installPdfPrinter(printed);
    const double printStart = cpuSeconds();
    PrintReport(*report);
    const double printSeconds = cpuSeconds() - printStart;
    ReportPrinting::uninstall();
    BenchData::line("list printed on the PDF printer, end to end", pages / printSeconds, "pages/s");
    QFile::remove(printed);
    BenchData::line("peak memory", double(peakMegabytes()), "MB");
    return 0;
}
