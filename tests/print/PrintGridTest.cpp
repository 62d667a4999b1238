#include "RecordingPages.h"
#include "widgets/DialogRecorder.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "print/GridLayout.h"
#include "print/PrintGrid.h"
#include "store/DataSource.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"
#include "widgets/DBGrid.h"
#include "widgets/GradPanel.h"

#include <QFile>
#include <QHeaderView>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The grid's fonts are fixed so that measures do not depend on the machine's default font.
QFont plainFont()
{
    return QFont(QStringLiteral("DejaVu Sans"), 8);
}

QFont boldFont()
{
    QFont font = plainFont();
    font.setBold(true);
    return font;
}

// A transaction list as the account detail window shows it: description, date and amount, with the
// window's column widths, titles and alignments.
class PrintGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.setObjectName(QStringLiteral("tblTransaction"));
        table.FieldDefs().Add(QStringLiteral("Transaction_Number"), ftAutoInc, 0, faReadonly);
        table.FieldDefs().Add(QStringLiteral("Transaction_Description"), ftString, 100);
        table.FieldDefs().Add(QStringLiteral("Transaction_Date"), ftDateTime);
        table.FieldDefs().Add(QStringLiteral("Transaction_Amount"), ftCurrency);
        table.CreateEmpty();
        source.setDataSet(&table);
        grid = std::make_unique<TDBGrid>();
        grid->resize(740, 300);
        grid->setFont(plainFont());
        grid->horizontalHeader()->setFont(plainFont());
        grid->setDataSource(&source);
        setColumns(427, 137, 154);
        printer.setDBGrid(grid.get());
        printer.setPrintOrientation(QPageLayout::Landscape);
        printer.FinishLoading();
    }

    void setColumns(int description, int date, int amount)
    {
        TColumn d;
        d.FieldName = QStringLiteral("Transaction_Description");
        d.Title = QStringLiteral("Désignation de la transaction");
        d.Width = description;
        d.TitleFont = boldFont();
        TColumn t;
        t.FieldName = QStringLiteral("Transaction_Date");
        t.Title = QStringLiteral("Date de la transaction");
        t.Width = date;
        t.Alignment = Qt::AlignHCenter;
        t.TitleAlignment = Qt::AlignHCenter;
        t.TitleFont = boldFont();
        TColumn a;
        a.FieldName = QStringLiteral("Transaction_Amount");
        a.Title = QStringLiteral("Montant de la transaction");
        a.Width = amount;
        a.Alignment = Qt::AlignHCenter;
        a.TitleAlignment = Qt::AlignHCenter;
        a.Font = boldFont();
        a.TitleFont = boldFont();
        grid->setColumns({ d, t, a });
    }

    void addRows(int count)
    {
        for (int i = 1; i <= count; ++i)
            addRow(QStringLiteral("Transaction %1").arg(i), -i * 1.5);
        table.First();
    }

    void addRow(const QString &description, double amount)
    {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(description);
        table.FieldNamed(QStringLiteral("Transaction_Date"))->setAsDateTime(TDateTime(46000));
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
        table.Post();
    }

    QString description() const
    {
        return table.FieldNamed(QStringLiteral("Transaction_Description"))->AsString();
    }

    // The row numbers printed on a page, in order (texts of the "Num" column: left at the left margin).
    static std::vector<int> rowNumbersOn(const RecordingPages &pages, int page)
    {
        std::vector<int> numbers;
        for (const auto &t : pages.texts) {
            bool ok = false;
            const int n = t.text.toInt(&ok);
            if (t.page == page && ok && t.at.x() < 300)
                numbers.push_back(n);
        }
        return numbers;
    }

    static const QStringList &titles()
    {
        static const QStringList list { "Num", "Désignation de la transaction", "Date de la transaction",
            "Montant de la transaction" };
        return list;
    }

public:
    TMemTable table;
    TDataSource source;
    TMemTable other;
    TDataSource otherSource;
    std::unique_ptr<TDBGrid> grid;
    TPrintGrid printer;
    DialogRecorder dialogs;
};

TEST_F(PrintGridTest, RowsRunOnOverPagesWithTitlesAndPageNumbersOnEach)
{
    addRows(120);
    RecordingPages pages;
    printer.setPrintOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(printer.Print(pages));

    EXPECT_EQ(pages.orientationSet, QPageLayout::Landscape);
    ASSERT_GT(pages.pages, 2);
    int next = 1;
    for (int page = 1; page <= pages.pages; ++page) {
        const QStringList texts = pages.textsOn(page);
        for (const QString &title : titles())
            EXPECT_EQ(texts.count(title), 1) << "page " << page << ": " << title.toStdString();
        EXPECT_TRUE(texts.contains(QStringLiteral("Page %1").arg(page))) << page;
        for (const int n : rowNumbersOn(pages, page))
            EXPECT_EQ(n, next++) << "page " << page;
    }
    EXPECT_EQ(next, 121);
    EXPECT_EQ(pages.ends, 1);
    EXPECT_EQ(pages.aborts, 0);
}

TEST_F(PrintGridTest, EveryFullPageHoldsAsManyRowsAsTheFirst)
{
    addRows(200);
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    std::vector<int> perPage;
    for (int page = 1; page <= pages.pages; ++page)
        perPage.push_back(int(rowNumbersOn(pages, page).size()));
    // Page 1 starts its rows where every other page does: there is no header line.
    for (size_t i = 1; i + 1 < perPage.size(); ++i)
        EXPECT_EQ(perPage[i], perPage[0]);
    EXPECT_EQ(pages.pages, 200 / perPage[0] + 1);
}

TEST_F(PrintGridTest, ALastRowThatFillsThePageAddsAPageWithTitlesOnly)
{
    addRows(300);
    RecordingPages probe;
    ASSERT_TRUE(printer.Print(probe));
    const int rowsOnFirst = int(rowNumbersOn(probe, 1).size());
    ASSERT_GT(rowsOnFirst, 10);

    while (table.ViewRowCount() > rowsOnFirst) {
        table.Last();
        table.Delete();
    }
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(pages.pages, 2);
    QStringList expected = QStringList { "Page 2" } + titles();
    EXPECT_EQ(pages.textsOn(2), expected);
}

TEST_F(PrintGridTest, EmptyTablePrintsTitlesAndFooterBelowOneEmptyRow)
{
    printer.FooterBounds().AddBound(1, QStringLiteral("Fin"), 10, {}, Qt::AlignLeft);
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(pages.pages, 1);
    const auto *title = pages.find(QStringLiteral("Num"));
    const auto *footer = pages.find(QStringLiteral("Fin"));
    ASSERT_TRUE(title && footer);
    EXPECT_GT(footer->at.y(), title->at.y());
    EXPECT_EQ(pages.allTexts(), QStringList { "Page 1" } + titles() + QStringList { "Fin" });
}

TEST_F(PrintGridTest, PrintingTwiceAfterTheTotalChangedPrintsOneCurrentHeaderLine)
{
    addRows(3);
    const auto printWithTotal = [&](const QString &total) {
        printer.FinishLoading();
        printer.HeaderBounds().Clear();
        printer.HeaderBounds().AddBound(
            250, QStringLiteral("Total: ") + total, 10, Rp::fsBold, Qt::AlignHCenter);
        auto pages = std::make_unique<RecordingPages>();
        EXPECT_TRUE(printer.Print(*pages));
        return pages;
    };
    const auto first = printWithTotal(QStringLiteral("10,00 €"));
    const auto second = printWithTotal(QStringLiteral("25,00 €"));
    const QStringList texts = second->allTexts();
    EXPECT_EQ(texts.filter(QStringLiteral("Total:")), QStringList { "Total: 25,00 €" });
    // The header line sits between the page number and the titles, and both prints lay out alike.
    EXPECT_LT(
        second->find(QStringLiteral("Total: 25,00 €"))->at.y(), second->find(QStringLiteral("Num"))->at.y());
    ASSERT_EQ(first->texts.size(), second->texts.size());
    for (size_t i = 0; i < first->texts.size(); ++i)
        EXPECT_EQ(first->texts[i].at, second->texts[i].at) << i;
}

TEST_F(PrintGridTest, CancelledDialogPrintsNothingAndSaysSo)
{
    addRows(5);
    table.MoveRows(2);
    printer.setPrintDialog(true);
    dialogs.printAnswer = false;
    RecordingPages pages;
    EXPECT_FALSE(printer.Print(pages));
    EXPECT_EQ(dialogs.printDialogs, 1);
    EXPECT_EQ(pages.begins, 0);
    EXPECT_TRUE(pages.texts.empty());
    EXPECT_EQ(printer.Log().last(), QStringLiteral("Formatting complete and job sent to printer"));
    EXPECT_EQ(description(), QStringLiteral("Transaction 3"));
}

TEST_F(PrintGridTest, ConfirmedDialogPrints)
{
    addRows(2);
    printer.setPrintDialog(true);
    RecordingPages pages;
    EXPECT_TRUE(printer.Print(pages));
    EXPECT_EQ(dialogs.printDialogs, 1);
    EXPECT_TRUE(pages.find(QStringLiteral("Transaction 2")));
}

TEST_F(PrintGridTest, LogsTheStepsInOrder)
{
    addRows(2);
    printer.HeaderBounds().AddBound(1, QStringLiteral("En-tête"), 10, {}, Qt::AlignLeft);
    QStringList events;
    printer.OnLogChangeEvent = [&](const QStringList &log, const QString &text) {
        EXPECT_EQ(log.last(), text);
        events << text;
    };
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    const QStringList expected { "Formatting document", "Preparing to output image", "Page number output",
        "Bounds drawing", "Computing number of visible columns and width of table",
        "Calculating the coefficient of compression/stretch",
        "If there is an auto-number field, add one more column", "Calculating row coordinates",
        "Table title output", "Preparing rows for output", "Formatting row output", "Formatting row output",
        "Formatting complete and job sent to printer" };
    EXPECT_EQ(events, expected);
}

TEST_F(PrintGridTest, TheLogHoldsOnlyTheMessagesOfTheLastPrint)
{
    addRows(2);
    RecordingPages first;
    ASSERT_TRUE(printer.Print(first));
    const QStringList once = printer.Log();
    RecordingPages second;
    ASSERT_TRUE(printer.Print(second));
    EXPECT_EQ(printer.Log(), once);
    EXPECT_EQ(printer.Log().first(), QStringLiteral("Formatting document"));
}

TEST_F(PrintGridTest, ProgressBarStepsAndReturnsToZeroAndPanelShowsTheMessage)
{
    addRows(3);
    QProgressBar bar;
    bar.setRange(0, 1000);
    TGradPanel panel;
    printer.setPrintProgressBar(&bar);
    printer.setLogPanel(&panel);
    int highest = 0;
    printer.OnLogChangeEvent
        = [&](const QStringList &, const QString &) { highest = std::max(highest, bar.value()); };
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(highest, 12); // the event comes before the bar's step
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(panel.Caption(), QStringLiteral("Formatting complete and job sent to printer"));
}

TEST_F(PrintGridTest, NextPageEventGetsEveryNewPageNumber)
{
    addRows(150);
    std::vector<int> numbers;
    printer.OnNextPageEvent = [&](TPrintGrid &sender, int page) {
        EXPECT_EQ(&sender, &printer);
        numbers.push_back(page);
    };
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    ASSERT_EQ(int(numbers.size()), pages.pages - 1);
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(numbers[i], int(i) + 2);
}

TEST_F(PrintGridTest, CursorReturnsToItsRowAndObserversFollowAgain)
{
    addRows(40);
    table.MoveRows(7);
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(description(), QStringLiteral("Transaction 8"));
    EXPECT_FALSE(table.ObserversSuspended());
}

TEST_F(PrintGridTest, PendingEditIsPostedAndPrinted)
{
    addRows(3);
    table.MoveRows(1);
    table.Edit();
    table.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(QStringLiteral("Changed"));
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_TRUE(pages.find(QStringLiteral("Changed")));
    EXPECT_EQ(description(), QStringLiteral("Changed"));
}

TEST_F(PrintGridTest, TextStillInTheGridsCellEditorIsWrittenAndPrinted)
{
    addRows(3);
    table.MoveRows(2);
    grid->setSelectedColumn(0);
    table.Edit(); // what a typed key does before the editor opens
    grid->openEditor(QStringLiteral("Typed"));
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_TRUE(pages.find(QStringLiteral("Typed")));
    EXPECT_EQ(description(), QStringLiteral("Typed"));
}

// Amounts print as the windows show them, from the one currency formatter: "-245,10 €" in French, with a
// minus sign and never in parentheses; the other columns keep their plain text.
TEST_F(PrintGridTest, AmountsPrintAsTheWindowsShowThem)
{
    const RegionalSettings before = RegionalSettings::current();
    RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(QLocale::French, QLocale::France)));
    addRow(QStringLiteral("Carte"), -245.1);
    addRow(QStringLiteral("Livret"), 8200);
    addRow(QStringLiteral("Monnaie"), 45.3);
    table.First();
    RecordingPages pages;
    const bool printed = printer.Print(pages);
    // The digit groups are the locale's own blank, as in the windows.
    const QString thousands = RegionalSettings::current().formatCurrency(8200);
    RegionalSettings::setCurrent(before);
    ASSERT_TRUE(printed);
    for (const char *amount : { "-245,10\u00a0€", "45,30\u00a0€" })
        EXPECT_TRUE(pages.find(QString::fromUtf8(amount))) << amount;
    EXPECT_TRUE(thousands.startsWith(QLatin1Char('8')) && thousands.endsWith(QStringLiteral(",00\u00a0€")));
    EXPECT_TRUE(pages.find(thousands)) << thousands.toStdString();
    EXPECT_FALSE(pages.find(QStringLiteral("-245,1")));
    EXPECT_FALSE(pages.find(QStringLiteral("45,3")));
    EXPECT_TRUE(pages.find(QStringLiteral("Carte")));
}

TEST_F(PrintGridTest, NumbersTooWideForTheirCellPrintAsHashes)
{
    setColumns(700, 137, 40);
    addRow(QStringLiteral("Maison"), 1234567.89);
    table.First();
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    const QString amount = table.FieldNamed(QStringLiteral("Transaction_Amount"))->AsString();
    bool sawAmountCell = false;
    for (const auto &t : pages.texts) {
        if (t.text.startsWith(QLatin1Char('1')) && t.text != QStringLiteral("1")) {
            ADD_FAILURE() << "a number lost digits: " << t.text.toStdString();
        }
        if (!t.text.isEmpty() && t.text.count(QLatin1Char('#')) == t.text.size())
            sawAmountCell = true;
    }
    EXPECT_TRUE(sawAmountCell);
    EXPECT_FALSE(pages.find(amount));
}

TEST_F(PrintGridTest, LongTextsAreCutToTheirCell)
{
    setColumns(60, 137, 154);
    addRow(QStringLiteral("Une désignation bien trop longue pour sa colonne"), 1);
    table.First();
    RecordingPages pages;
    ASSERT_TRUE(printer.Print(pages));
    bool found = false;
    for (const auto &t : pages.texts) {
        if (t.page == 1 && t.text.startsWith(QStringLiteral("Une")) && t.text.size() < 40)
            found = true;
    }
    EXPECT_TRUE(found);
}

// ---- refusals before the dialog ----

struct Refusal
{
    const char *name;
    std::function<void(PrintGridTest &, TPrintGrid &, TMemTable &, TDBGrid &)> setup;
};

class PrintGridRefusal : public PrintGridTest, public ::testing::WithParamInterface<Refusal>
{
};

TEST_P(PrintGridRefusal, RaisesWithoutShowingTheDialog)
{
    addRows(3);
    printer.setPrintDialog(true);
    GetParam().setup(*this, printer, table, *grid);
    RecordingPages pages;
    EXPECT_THROW(printer.Print(pages), Exception);
    EXPECT_EQ(dialogs.printDialogs, 0);
    EXPECT_EQ(pages.begins, 0);
}

TColumn column(const char *field)
{
    TColumn c;
    c.FieldName = QString::fromLatin1(field);
    c.Width = 50;
    return c;
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintGridRefusal,
    ::testing::Values(
        Refusal { "NoGrid", [](auto &, TPrintGrid &p, auto &, auto &) { p.BindGrid(nullptr); } },
        Refusal { "GridNeverBound",
            [](auto &, TPrintGrid &p, auto &, auto &) {
                p.setDBGrid(nullptr);
                p.BindGrid(nullptr);
                p.FinishLoading();
            } },
        Refusal { "ClosedTable", [](auto &, auto &, TMemTable &t, auto &) { t.Close(); } },
        Refusal { "NoVisibleColumnWithRowNumbers",
            [](auto &, auto &, auto &, TDBGrid &g) {
                TColumn c = column("Transaction_Description");
                c.Visible = false;
                g.setColumns({ c });
            } },
        Refusal { "TooManyColumns",
            [](auto &, auto &, auto &, TDBGrid &g) {
                g.setColumns(std::vector<TColumn>(10, column("Transaction_Amount")));
            } },
        Refusal { "GridShowsAnotherTableSinceBinding",
            [](PrintGridTest &test, auto &, auto &, TDBGrid &g) {
                test.other.FieldDefs().Add(QStringLiteral("Transaction_Description"), ftString, 100);
                test.other.FieldDefs().Add(QStringLiteral("Transaction_Date"), ftDateTime);
                test.other.FieldDefs().Add(QStringLiteral("Transaction_Amount"), ftCurrency);
                test.other.CreateEmpty();
                test.otherSource.setDataSet(&test.other);
                g.setDataSource(&test.otherSource);
            } },
        Refusal {
            "MissingField", [](auto &, auto &, auto &, TDBGrid &g) { g.setColumns({ column("Nothing") }); } },
        Refusal { "ZeroWidths",
            [](auto &, TPrintGrid &p, auto &, TDBGrid &g) {
                p.setRowNumbers(false);
                TColumn c = column("Transaction_Amount");
                c.Width = 0;
                g.setColumns({ c });
            } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PrintGridTest, NineColumnsWithRowNumbersStillPrint)
{
    std::vector<TColumn> columns(9, column("Transaction_Amount"));
    grid->setColumns(columns);
    addRows(2);
    RecordingPages pages;
    EXPECT_TRUE(printer.Print(pages));
}

struct PageRefusal
{
    const char *name;
    int width;
    int height;
};

class PrintGridPageRefusal : public PrintGridTest, public ::testing::WithParamInterface<PageRefusal>
{
};

TEST_P(PrintGridPageRefusal, RaisesBeforeTheJobBegins)
{
    addRows(3);
    RecordingPages pages(GetParam().width, GetParam().height);
    EXPECT_THROW(printer.Print(pages), Exception);
    EXPECT_EQ(pages.begins, 0);
    EXPECT_FALSE(table.ObserversSuspended());
}

INSTANTIATE_TEST_SUITE_P(Pages, PrintGridPageRefusal,
    ::testing::Values(
        PageRefusal { "NoPrintableWidth", 300, 3300 }, PageRefusal { "TooShortForTitlesAndARow", 2550, 400 }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- failures in the middle of a print ----

struct MidPrintFailure
{
    const char *name;
    bool fromEvent; // the page-break event raises; otherwise the device refuses a new page
};

class PrintGridFailure : public PrintGridTest, public ::testing::WithParamInterface<MidPrintFailure>
{
};

TEST_P(PrintGridFailure, RaisesAndLeavesTableJobAndProgressAsBefore)
{
    addRows(150);
    table.MoveRows(4);
    QProgressBar bar;
    bar.setRange(0, 100000);
    printer.setPrintProgressBar(&bar);
    RecordingPages pages;
    if (GetParam().fromEvent)
        printer.OnNextPageEvent
            = [](TPrintGrid &, int) { throw EDatabaseError(QStringLiteral("disk full")); };
    else
        pages.failOnPage = 2;
    EXPECT_THROW(printer.Print(pages), Exception);
    EXPECT_EQ(description(), QStringLiteral("Transaction 5"));
    EXPECT_FALSE(table.ObserversSuspended());
    EXPECT_EQ(pages.aborts, 1);
    EXPECT_EQ(pages.ends, 1);
    EXPECT_EQ(pages.removals, 1);
    EXPECT_EQ(bar.value(), 0);
    // The grid follows the table again: a move reaches it.
    table.MoveRows(1);
    EXPECT_EQ(description(), QStringLiteral("Transaction 6"));
}

INSTANTIATE_TEST_SUITE_P(Causes, PrintGridFailure,
    ::testing::Values(MidPrintFailure { "PageEvent", true }, MidPrintFailure { "NewPage", false }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- PDF output ----

int pdfPageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(pdf).count(page));
}

class PrintGridPdfTest : public PrintGridTest
{
protected:
    QString pdfPath() const { return dir.filePath(QStringLiteral("list.pdf")); }
    QTemporaryDir dir;
};

TEST_F(PrintGridPdfTest, LetterLandscapeIsThePrintableAreaAt300Dpi)
{
    QPrinter qprinter;
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setPageSize(QPageSize(QPageSize::Letter));
    PrinterPages pages(qprinter);
    pages.setOrientation(QPageLayout::Landscape);
    pages.device();
    EXPECT_EQ(pages.pageWidth(), 3300);
    EXPECT_EQ(pages.pageHeight(), 2550);
}

TEST_F(PrintGridPdfTest, PrintsThroughTheDialogIntoAPdfWithTheSamePages)
{
    addRows(120);
    printer.setPrintDialog(true);
    printer.setPrintOrientation(QPageLayout::Landscape);
    printer.Printer().setPageSize(QPageSize(QPageSize::Letter));
    dialogs.printFileAnswer = pdfPath();
    ASSERT_TRUE(printer.Print());
    const QByteArray pdf = TestSupport::readFile(pdfPath());
    ASSERT_TRUE(pdf.startsWith("%PDF"));

    RecordingPages pages(2550, 3300);
    printer.setPrintDialog(false);
    ASSERT_TRUE(printer.Print(pages));
    EXPECT_EQ(pdfPageCount(pdf), pages.pages);
    EXPECT_GT(pages.pages, 2);
}

// A printer that fails to start the second page.
class FailingPrinterPages : public PrinterPages
{
public:
    using PrinterPages::PrinterPages;
    bool newPage() override { return false; }
};

TEST_F(PrintGridPdfTest, FailedPrintRemovesThePartialFile)
{
    addRows(200);
    QPrinter &qprinter = printer.Printer();
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setOutputFileName(pdfPath());
    FailingPrinterPages pages(qprinter);
    EXPECT_THROW(printer.Print(pages), Exception);
    EXPECT_FALSE(QFile::exists(pdfPath()));
    EXPECT_FALSE(table.ObserversSuspended());
}

TEST_F(PrintGridPdfTest, UnwritableOutputIsAnErrorNotAPrint)
{
    addRows(2);
    QPrinter &qprinter = printer.Printer();
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/list.pdf")));
    EXPECT_THROW(printer.Print(), Exception);
    EXPECT_FALSE(table.ObserversSuspended());
}

} // namespace
