#include "GalleryTool.h"

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "print/PrintGrid.h"
#include "store/DataSource.h"
#include "store/MemTable.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPrinter>
#include <QTextStream>

namespace Gallery {

namespace {

// Confirms the print dialog with PDF output to one file, as a user choosing "Print to file" would.
class PdfDialogAnswer : public Dialogs::Handler
{
public:
    explicit PdfDialogAnswer(const QString &fileName)
        : m_fileName(fileName)
        , m_guard(*this)
    { }
    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        QTextStream(stderr) << "quillot-gallery: " << request.text << '\n';
        return Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return {}; }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    bool exec(QDialog &) override { return false; }
    bool printer(QWidget *, QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_fileName);
        return true;
    }

private:
    QString m_fileName;
    Dialogs::ScopedHandler m_guard;
};

QFont windowFont(bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

TColumn column(const char *field, const char *title, int width, std::optional<Qt::Alignment> alignment = {},
    bool boldCells = false)
{
    TColumn c;
    c.FieldName = QString::fromLatin1(field);
    c.Title = QString::fromUtf8(title);
    c.Width = width;
    c.Alignment = alignment;
    c.TitleAlignment = alignment;
    c.TitleFont = windowFont(true);
    if (boldCells)
        c.Font = windowFont(true);
    return c;
}

void prepareGrid(TDBGrid &grid, TDataSource &source, std::vector<TColumn> columns)
{
    grid.resize(740, 300);
    grid.setFont(windowFont(false));
    grid.horizontalHeader()->setFont(windowFont(false));
    grid.setDataSource(&source);
    grid.setColumns(std::move(columns));
}

void fillAccounts(TMemTable &table)
{
    table.setObjectName(QStringLiteral("tblAccount"));
    table.FieldDefs().Add(QStringLiteral("Account_Number"), ftAutoInc, 0, faReadonly);
    table.FieldDefs().Add(QStringLiteral("Account_Type"), ftString, 50);
    table.FieldDefs().Add(QStringLiteral("Account_Balance"), ftCurrency);
    table.CreateEmpty();
    const struct
    {
        const char *name;
        double balance;
    } rows[] = { { "Compte courant", 1523.75 }, { "Livret A", 8200.0 }, { "Épargne logement", 12500.5 },
        { "Carte de crédit", -342.18 }, { "Porte-monnaie", 45.3 }, { "Compte joint", 980.0 },
        { "Assurance vie", 1234567.89 }, { "Compte professionnel", -15.0 } };
    for (const auto &row : rows) {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Account_Type"))->setAsString(QString::fromUtf8(row.name));
        table.FieldNamed(QStringLiteral("Account_Balance"))->setAsNumber(row.balance);
        table.Post();
    }
    table.First();
}

void fillTransactions(TMemTable &table, int count)
{
    table.setObjectName(QStringLiteral("tblTransaction"));
    table.FieldDefs().Add(QStringLiteral("Transaction_Number"), ftAutoInc, 0, faReadonly);
    table.FieldDefs().Add(QStringLiteral("Transaction_Description"), ftString, 100);
    table.FieldDefs().Add(QStringLiteral("Transaction_Date"), ftDateTime);
    table.FieldDefs().Add(QStringLiteral("Transaction_Amount"), ftCurrency);
    table.FieldDefs().Add(QStringLiteral("Account_Number"), ftInteger);
    table.CreateEmpty();
    const char *const texts[]
        = { "Salaire", "Loyer", "Courses", "Électricité", "Remboursement de frais médicaux", "Pharmacie",
              "Transfert compte à compte", "Essence", "Restaurant" };
    const double amounts[] = { 2150.0, -780.0, -86.45, -61.2, 35.0, -12.9, -200.0, -54.3, -27.5 };
    for (int i = 0; i < count; ++i) {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))
            ->setAsString(QString::fromUtf8(texts[i % 9]));
        table.FieldNamed(QStringLiteral("Transaction_Date"))
            ->setAsDateTime(DateTime::encodeDate(2026, 1 + (i / 28) % 12, 1 + i % 28));
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amounts[i % 9]);
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
        table.Post();
    }
    table.First();
}

bool printTo(TPrintGrid &printer, const QString &path, int &written)
{
    const PdfDialogAnswer answer(path);
    try {
        if (!printer.Print())
            return false;
    } catch (const Exception &error) {
        QTextStream(stderr) << "quillot-gallery: " << path << ": " << error.message() << '\n';
        return false;
    }
    ++written;
    return QFileInfo::exists(path);
}

} // namespace

bool renderPrintedLists(const QDir &out, int &written)
{
    // The main window's account list, with its "Total:" line above the titles.
    TMemTable accounts;
    fillAccounts(accounts);
    TDataSource accountSource;
    accountSource.setDataSet(&accounts);
    TDBGrid accountGrid;
    prepareGrid(accountGrid, accountSource,
        { column("Account_Type", "Type de compte", 303),
            column("Account_Balance", "Solde du compte", 105, Qt::AlignHCenter, true) });
    accountGrid.setColumns([&] {
        auto columns = accountGrid.Columns();
        columns[1].Color = 15066597;
        return columns;
    }());
    double total = 0;
    for (accounts.First(); !accounts.AtEnd(); accounts.Next())
        total += accounts.FieldNamed(QStringLiteral("Account_Balance"))->AsNumber();
    accounts.First();

    TPrintGrid accountPrinter;
    accountPrinter.setPrintDialog(true);
    accountPrinter.setDBGrid(&accountGrid);
    accountPrinter.FinishLoading();
    accountPrinter.HeaderBounds().Clear();
    accountPrinter.HeaderBounds().AddBound(250,
        QStringLiteral("Total: ") + RegionalSettings::current().formatCurrency(total), 10, Rp::fsBold,
        Qt::AlignHCenter);
    bool ok = printTo(accountPrinter, out.filePath(QStringLiteral("print-accounts.pdf")), written);

    // The account detail window's transaction list, landscape.
    TMemTable transactions;
    fillTransactions(transactions, 140);
    TDataSource transactionSource;
    transactionSource.setDataSet(&transactions);
    TDBGrid transactionGrid;
    prepareGrid(transactionGrid, transactionSource,
        { column("Transaction_Description", "Désignation de la transaction", 427),
            column("Transaction_Date", "Date de la transaction", 137, Qt::AlignHCenter),
            column("Transaction_Amount", "Montant de la transaction", 154, Qt::AlignHCenter, true) });
    TPrintGrid transactionPrinter;
    transactionPrinter.setPrintDialog(true);
    transactionPrinter.setPrintOrientation(QPageLayout::Landscape);
    transactionPrinter.setDBGrid(&transactionGrid);
    transactionPrinter.FinishLoading();
    ok = printTo(transactionPrinter, out.filePath(QStringLiteral("print-transactions.pdf")), written) && ok;
    return ok;
}

} // namespace Gallery
