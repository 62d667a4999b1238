// quillot-report finance-reports DIR: writes the finance program's ready reports into DIR through the
// program's own report writer: "Comptes.RP2" (the accounts and their balances), "Releve.RP2" (a statement of
// every account, each on its own pages) and "Mouvements.RP2" (the current account's transactions with a
// running total). The Reports folder of the sources holds what this command writes.
#include "ReportTool.h"

#include "forms/Datamod.h"
#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/files/ReportFile.h"

#include <QDir>
#include <QTextStream>
#include <iterator>

namespace ReportTool {

namespace {

// Measures in native units (tenths of a millimetre). A4 portrait with 15 mm side margins leaves 180 mm.
constexpr long double kWidth = 1800;
constexpr long double kLine = 45; // one line of 10-point text
constexpr long double kRow = 55; // a table row: one line and its spacing

// Columns of the transaction tables: date, designation, amount and, for the running total, a fourth column
// taken from the designation.
constexpr long double kDateLeft = 0;
constexpr long double kDateWidth = 230;
constexpr long double kTextLeft = 250;
constexpr long double kAmountWidth = 320;
constexpr long double kLastLeft = kWidth - kAmountWidth;
constexpr long double kBeforeLastLeft = kLastLeft - 20 - kAmountWidth;

// Two decimals, thousands separators and the currency sign; a negative amount takes a minus sign in front.
const QString kMoney = QStringLiteral("#,##0.00 €");
const QString kDate = QStringLiteral("ddddd");
// True on an account, false when the account table is empty (account numbers start at 1): the bands of an
// account do not print the one empty account an empty table would otherwise show.
const QString kAnAccount = QStringLiteral("tblAccount.Account_Number > 0");

constexpr TColor kTitleColor = 0x603000; // dark blue (red in the low byte)
constexpr TColor kHeaderColor = 0xF0F0F0; // light grey behind column titles

struct Box
{
    long double left;
    long double top;
    long double width;
    long double height = kLine;
};

// One report of the designer's kinds, built element by element and written as a report file.
class ReportBuilder
{
public:
    ReportBuilder(const QString &title, QObject *dataSet, const QStringList &description)
    {
        TDesignRpReport &r = report();
        r.setUnits(Rp::MM);
        r.page()->setPaperSize(RpPaper::A4);
        r.page()->setOrientation(RpPaper::poPortrait);
        r.page()->setLeftMargin(15);
        r.page()->setRightMargin(15);
        r.page()->setTopMargin(12);
        r.page()->setBottomMargin(12);
        r.setReportTitle(title);
        r.setDescription(description);
        r.setDataSet(dataSet);
    }

    TDesignRpReport &report() const { return *m_engine.report(); }

    template <class Band = TRpDesignBand> Band *band(const char *name, long double height)
    {
        auto *made = new Band(&report());
        made->setObjectName(QString::fromLatin1(name));
        made->size()->setNativeLength(height);
        return made;
    }
    TRpDesignBand *band(const char *name, TRpBandType type, long double height)
    {
        TRpDesignBand *made = band(name, height);
        made->setBandType(type);
        return made;
    }

    TRpDesignLabel *label(TRpCustomBand *band, const char *name, const QString &caption, Box box,
        Rp::TAlignment alignment = Rp::taLeftJustify)
    {
        auto *made = place(new TRpDesignLabel(band), name, box, alignment);
        made->setCaption(caption);
        return made;
    }

    TRpDesignDBText *field(TRpCustomBand *band, const char *name, QObject *dataSet, const char *fieldName,
        Box box, Rp::TAlignment alignment = Rp::taLeftJustify, const QString &mask = QString())
    {
        auto *made = place(new TRpDesignDBText(band), name, box, alignment);
        made->setDataSet(dataSet);
        made->setDataField(QString::fromLatin1(fieldName));
        made->setMask(mask);
        return made;
    }

    // Amounts keep their right edge and take the width their text needs, so that no figure is ever cut.
    TRpDesignDBText *amountField(
        TRpCustomBand *band, const char *name, QObject *dataSet, const char *fieldName, Box box)
    {
        TRpDesignDBText *made = field(band, name, dataSet, fieldName, box, Rp::taRightJustify, kMoney);
        made->setAutoSize(true);
        return made;
    }

    // A text that may be longer than its column: it wraps at word ends and its band grows to show it all.
    TRpDesignDBText *wrappedField(
        TRpCustomBand *band, const char *name, QObject *dataSet, const char *fieldName, Box box)
    {
        TRpDesignDBText *made = field(band, name, dataSet, fieldName, box);
        made->setWordWrap(true);
        made->setAutoStretch(true);
        return made;
    }

    TRpDesignExpr *expression(TRpCustomBand *band, const char *name, const QString &text, Box box,
        Rp::TAlignment alignment = Rp::taRightJustify, const QString &mask = QString())
    {
        auto *made = place(new TRpDesignExpr(band), name, box, alignment);
        made->setExpression(text);
        made->setMask(mask);
        made->setAutoSize(alignment == Rp::taRightJustify);
        return made;
    }

    TRpDesignSysdata *sysData(TRpCustomBand *band, const char *name, Rp::TRpSysDataType data,
        const QString &text, Box box, Rp::TAlignment alignment)
    {
        auto *made = place(new TRpDesignSysdata(band), name, box, alignment);
        made->setData(data);
        made->setText(text);
        return made;
    }

    // "Solde : 1 523,40 €", the current account's balance right after its caption; nothing while there is no
    // account at all.
    TRpDesignExpr *balance(TRpCustomBand *band, Box box)
    {
        return expression(band, "AccountBalance",
            QStringLiteral("IF(%1, 'Solde : ' + FORMATNUMERIC('%2', tblAccount.Account_Balance), '')")
                .arg(kAnAccount, kMoney),
            box);
    }

    // The title band: the report's title in large letters.
    TRpDesignBand *titleBand(const QString &title, long double height)
    {
        TRpDesignBand *title_ = band("TitleBand", Rp::rbTitle, height);
        TRpDesignLabel *caption = label(title_, "TitleLabel", title, { 0, 10, kWidth, 80 });
        setFont(caption, 16, Rp::fsBold, kTitleColor);
        return title_;
    }

    // The page footer of every ready report: the date of printing, the report's title and the page number.
    void pageFooter()
    {
        TRpDesignBand *footer = band("PageFooterBand", Rp::rbPageFooter, 80);
        footer->frame()->setDrawTop(true);
        footer->frame()->setColor(0x808080);
        const long double third = kWidth / 3;
        for (TRpCustomLabel *element :
            { static_cast<TRpCustomLabel *>(sysData(footer, "PrintDate", Rp::rpsDate,
                  QStringLiteral("Imprimé le "), { 0, 25, third }, Rp::taLeftJustify)),
                static_cast<TRpCustomLabel *>(sysData(footer, "FooterTitle", Rp::rpsReportTitle, QString(),
                    { third, 25, third }, Rp::taCenter)),
                static_cast<TRpCustomLabel *>(sysData(footer, "PageNumber", Rp::rpsPageNumber,
                    QStringLiteral("Page "), { 2 * third, 25, third }, Rp::taRightJustify)) })
            setFont(element, 8, {}, 0x404040);
    }

    // Column titles in bold on a grey band with a line below.
    TRpDesignLabel *columnTitle(TRpCustomBand *band, const char *name, const QString &caption, Box box,
        Rp::TAlignment alignment = Rp::taLeftJustify)
    {
        TRpDesignLabel *made = label(band, name, caption, box, alignment);
        setFont(made, 10, Rp::fsBold);
        return made;
    }
    void columnTitleBand(TRpCustomBand *band)
    {
        band->setColor(kHeaderColor);
        band->frame()->setDrawBottom(true);
    }

    static void setFont(TRpCustomLabel *element, int points, Rp::TFontStyles style, TColor color = clBlack)
    {
        element->setParentFont(false);
        element->font()->setSize(points);
        element->font()->setStyle(style);
        element->font()->setColor(color);
    }
    static void bold(TRpCustomLabel *element) { setFont(element, 10, Rp::fsBold); }

    QByteArray bytes()
    {
        QByteArray result;
        if (!m_engine.SaveReportStream(result))
            throw Exception(
                QStringLiteral("the report \"%1\" cannot be written").arg(report().reportTitle()));
        return result;
    }

private:
    template <class Element>
    Element *place(Element *element, const char *name, Box box, Rp::TAlignment alignment)
    {
        element->setObjectName(QString::fromLatin1(name));
        element->size()->setNativeBounds(box.left, box.top, box.width, box.height);
        element->setAlignment(alignment);
        element->setAutoSize(false);
        element->setWordWrap(false);
        element->setTransparent(true);
        return element;
    }

    ReportFileEngine m_engine;
};

// The list of accounts with their balances and the total of all balances.
QByteArray accountList(TDataModule1 &data)
{
    ReportBuilder b(QStringLiteral("Liste des comptes"), data.tblAccount,
        { QStringLiteral("Les comptes avec leur solde, le total des soldes et le nombre de comptes.") });
    b.titleBand(QStringLiteral("Liste des comptes"), 120);

    TRpDesignBand *titles = b.band("ColumnHeaderBand", Rp::rbColumnHeader, 70);
    b.columnTitleBand(titles);
    b.columnTitle(titles, "AccountTitle", QStringLiteral("Compte"), { 20, 12, 1200 });
    b.columnTitle(titles, "BalanceTitle", QStringLiteral("Solde"), { 1300, 12, 480 }, Rp::taRightJustify);

    TRpDesignBand *detail = b.band("DetailBand", Rp::rbDetail, kRow);
    b.wrappedField(detail, "AccountName", data.tblAccount, "Account_Type", { 20, 5, 1200 });
    b.amountField(detail, "AccountBalance", data.tblAccount, "Account_Balance", { 1300, 5, 480 });

    TRpDesignBand *summary = b.band("SummaryBand", Rp::rbSummary, 130);
    summary->frame()->setDrawTop(true);
    summary->frame()->setWidth(2);
    ReportBuilder::bold(b.label(summary, "TotalLabel", QStringLiteral("Total des soldes"), { 20, 20, 1000 }));
    ReportBuilder::bold(b.expression(summary, "TotalBalance",
        QStringLiteral("SUM(tblAccount.Account_Balance)"), { 1300, 20, 480 }, Rp::taRightJustify, kMoney));
    b.label(summary, "CountLabel", QStringLiteral("Nombre de comptes"), { 20, 75, 1000 });
    b.expression(summary, "AccountCount", QStringLiteral("COUNT"), { 1300, 75, 480 });

    b.pageFooter();
    return b.bytes();
}

// "7 mouvements", "1 mouvement", "0 mouvement".
QString movementCount()
{
    return QStringLiteral("STR(COUNT) + IF(COUNT > 1, ' mouvements', ' mouvement')");
}

// Every account as the master band, each on a new page, its transactions below it through the data
// module's account–transaction link, the sum and count per account, and the grand totals at the end.
QByteArray statement(TDataModule1 &data)
{
    ReportBuilder b(QStringLiteral("Relevé des comptes"), data.tblAccount,
        { QStringLiteral(
              "Chaque compte sur une nouvelle page, avec ses mouvements, leur total et leur nombre;"),
            QStringLiteral("à la fin le total de tous les mouvements et le total des soldes.") });
    b.titleBand(QStringLiteral("Relevé des comptes"), 120);

    TRpDesignBand *account = b.band("AccountBand", Rp::rbDetail, 90);
    account->setForceNewPage(true);
    account->setPrintCondition(kAnAccount);
    ReportBuilder::setFont(
        b.wrappedField(account, "AccountName", data.tblAccount, "Account_Type", { 0, 10, 1150, 55 }), 12,
        Rp::fsBold, kTitleColor);
    ReportBuilder::setFont(b.balance(account, { 1200, 10, kWidth - 1200, 55 }), 12, Rp::fsBold);

    auto *transactions = b.band<TRpDesignSubdetail>("TransactionBand", kRow);
    transactions->setDataSet(data.tblTransaction);
    // The column titles open the transactions and come back at the top of every further page of them.
    auto *titles = b.band<TRpDesignGroup>("TransactionTitles", 70);
    titles->setMaster(transactions);
    titles->setExpression(QStringLiteral("tblTransaction.Account_Number"));
    titles->setReprintOnNewPage(true);
    b.columnTitleBand(titles);
    b.columnTitle(titles, "DateTitle", QStringLiteral("Date"), { kDateLeft + 20, 12, kDateWidth });
    b.columnTitle(titles, "DescriptionTitle", QStringLiteral("Désignation"), { kTextLeft + 20, 12, 900 });
    b.columnTitle(titles, "AmountTitle", QStringLiteral("Montant"), { kLastLeft, 12, kAmountWidth - 20 },
        Rp::taRightJustify);

    b.field(transactions, "TransactionDate", data.tblTransaction, "Transaction_Date",
        { kDateLeft + 20, 5, kDateWidth }, Rp::taLeftJustify, kDate);
    b.wrappedField(transactions, "TransactionDescription", data.tblTransaction, "Transaction_Description",
        { kTextLeft + 20, 5, kLastLeft - kTextLeft - 40 });
    b.amountField(transactions, "TransactionAmount", data.tblTransaction, "Transaction_Amount",
        { kLastLeft, 5, kAmountWidth - 20 });

    TRpDesignBand *accountTotal = b.band("AccountTotalBand", 80);
    transactions->setFooterBand(accountTotal);
    accountTotal->setPrintCondition(kAnAccount);
    accountTotal->frame()->setDrawTop(true);
    ReportBuilder::bold(
        b.label(accountTotal, "AccountTotalLabel", QStringLiteral("Total du compte"), { 20, 15, 500 }));
    TRpDesignExpr *count = b.expression(
        accountTotal, "AccountMovements", movementCount(), { 560, 15, 600 }, Rp::taLeftJustify);
    TRpDesignExpr *sum
        = b.expression(accountTotal, "AccountSum", QStringLiteral("SUM(tblTransaction.Transaction_Amount)"),
            { kLastLeft, 15, kAmountWidth - 20 }, Rp::taRightJustify, kMoney);
    ReportBuilder::bold(sum);
    for (TRpDesignExpr *perAccount : { count, sum }) {
        perAccount->setMaster(transactions);
        perAccount->setResetAfterPrint(true);
    }

    TRpDesignBand *summary = b.band("SummaryBand", Rp::rbSummary, 230);
    summary->frame()->setDrawTop(true);
    summary->frame()->setWidth(2);
    ReportBuilder::setFont(
        b.label(summary, "SummaryTitle", QStringLiteral("Récapitulatif"), { 20, 20, 1000, 55 }), 12,
        Rp::fsBold, kTitleColor);
    b.label(summary, "AllMovementsLabel", QStringLiteral("Mouvements de tous les comptes"), { 20, 90, 900 });
    TRpDesignExpr *allCount
        = b.expression(summary, "AllMovements", movementCount(), { 960, 90, 500 }, Rp::taLeftJustify);
    TRpDesignExpr *allSum
        = b.expression(summary, "AllMovementsSum", QStringLiteral("SUM(tblTransaction.Transaction_Amount)"),
            { kLastLeft, 90, kAmountWidth - 20 }, Rp::taRightJustify, kMoney);
    for (TRpDesignExpr *grand : { allCount, allSum })
        grand->setMaster(transactions);
    ReportBuilder::bold(
        b.label(summary, "BalancesLabel", QStringLiteral("Total des soldes"), { 20, 150, 900 }));
    ReportBuilder::bold(
        b.expression(summary, "BalancesSum", QStringLiteral("SUM(tblAccount.Account_Balance)"),
            { kLastLeft, 150, kAmountWidth - 20 }, Rp::taRightJustify, kMoney));

    b.pageFooter();
    return b.bytes();
}

// The current account's transactions with a running total per line, and the totals of its income and of its
// expenses at the end.
QByteArray movements(TDataModule1 &data)
{
    ReportBuilder b(QStringLiteral("Mouvements du compte"), data.tblTransaction,
        { QStringLiteral("Les mouvements du compte en cours avec leur cumul, puis le total des revenus,"),
            QStringLiteral("celui des dépenses et leur solde.") });
    TRpDesignBand *title = b.titleBand(QStringLiteral("Mouvements du compte"), 190);
    ReportBuilder::setFont(
        b.wrappedField(title, "AccountName", data.tblAccount, "Account_Type", { 0, 105, 1150, 55 }), 12,
        Rp::fsBold, kTitleColor);
    ReportBuilder::setFont(b.balance(title, { 1200, 105, kWidth - 1200, 55 }), 12, Rp::fsBold);

    TRpDesignBand *titles = b.band("ColumnHeaderBand", Rp::rbColumnHeader, 70);
    b.columnTitleBand(titles);
    b.columnTitle(titles, "DateTitle", QStringLiteral("Date"), { kDateLeft + 20, 12, kDateWidth });
    b.columnTitle(titles, "DescriptionTitle", QStringLiteral("Désignation"), { kTextLeft + 20, 12, 700 });
    b.columnTitle(titles, "AmountTitle", QStringLiteral("Montant"), { kBeforeLastLeft, 12, kAmountWidth },
        Rp::taRightJustify);
    b.columnTitle(titles, "RunningTitle", QStringLiteral("Cumul"), { kLastLeft, 12, kAmountWidth - 20 },
        Rp::taRightJustify);

    TRpDesignBand *detail = b.band("DetailBand", Rp::rbDetail, kRow);
    b.field(detail, "TransactionDate", data.tblTransaction, "Transaction_Date",
        { kDateLeft + 20, 5, kDateWidth }, Rp::taLeftJustify, kDate);
    b.wrappedField(detail, "TransactionDescription", data.tblTransaction, "Transaction_Description",
        { kTextLeft + 20, 5, kBeforeLastLeft - kTextLeft - 40 });
    b.amountField(detail, "TransactionAmount", data.tblTransaction, "Transaction_Amount",
        { kBeforeLastLeft, 5, kAmountWidth });
    // The total so far; blank on the empty line an account without transactions prints.
    b.expression(detail, "RunningTotal",
        QStringLiteral("IF(COUNT > 0, FORMATNUMERIC('%1', SUM(tblTransaction.Transaction_Amount)), '')")
            .arg(kMoney),
        { kLastLeft, 5, kAmountWidth - 20 });

    TRpDesignBand *summary = b.band("SummaryBand", Rp::rbSummary, 250);
    summary->frame()->setDrawTop(true);
    summary->frame()->setWidth(2);
    const struct
    {
        const char *labelName;
        const char *caption;
        const char *name;
        const char *expression;
        bool bold;
    } rows[] = {
        { "IncomeLabel", "Total des revenus", "IncomeTotal",
            "SUM(IF(tblTransaction.Transaction_Amount > 0, tblTransaction.Transaction_Amount, 0.0))", false },
        { "ExpenseLabel", "Total des dépenses", "ExpenseTotal",
            "SUM(IF(tblTransaction.Transaction_Amount < 0, tblTransaction.Transaction_Amount, 0.0))", false },
        { "NetLabel", "Solde des mouvements", "NetTotal", "SUM(tblTransaction.Transaction_Amount)", true },
    };
    long double top = 20;
    for (const auto &row : rows) {
        TRpDesignLabel *caption
            = b.label(summary, row.labelName, QString::fromUtf8(row.caption), { 20, top, 900 });
        TRpDesignExpr *total = b.expression(summary, row.name, QString::fromLatin1(row.expression),
            { kLastLeft, top, kAmountWidth - 20 }, Rp::taRightJustify, kMoney);
        if (row.bold) {
            ReportBuilder::bold(caption);
            ReportBuilder::bold(total);
        }
        top += 55;
    }
    b.label(summary, "CountLabel", QStringLiteral("Nombre de mouvements"), { 20, top, 900 });
    b.expression(summary, "MovementCount", QStringLiteral("COUNT"), { kLastLeft, top, kAmountWidth - 20 });

    b.pageFooter();
    return b.bytes();
}

} // namespace

int financeReports(const QStringList &arguments)
{
    if (arguments.size() != 1 || arguments[0].isEmpty() || arguments[0].startsWith(QLatin1String("--"))) {
        printError(QStringLiteral("usage: quillot-report finance-reports DIR"));
        return 2;
    }
    const QDir out(arguments[0]);
    try {
        if (!QDir().mkpath(out.path()))
            throw EFCreateError(out.path());
        registerDesignClasses();
        // The reports name the finance program's tables by the data module's own names.
        TDataModule1 data;
        const struct
        {
            const char *file;
            QByteArray (*build)(TDataModule1 &);
        } reports[] = { { "Comptes.RP2", &accountList }, { "Releve.RP2", &statement },
            { "Mouvements.RP2", &movements } };
        for (const auto &report : reports)
            FileIO::writeAtomically(out.filePath(QLatin1String(report.file)), report.build(data));
        QTextStream(stdout) << std::size(reports) << " reports written to "
                            << QDir::toNativeSeparators(out.path()) << '\n';
        return 0;
    } catch (const Exception &error) {
        printError(error.message());
        return 1;
    }
}

} // namespace ReportTool
