#include "GalleryTool.h"

#include "designer/ReportDesignerForm.h"
#include "forms/AEAccount.h"
#include "forms/AEExpence.h"
#include "forms/AEIncome.h"
#include "forms/AccountDetail.h"
#include "forms/Datamod.h"
#include "forms/DefineExpences.h"
#include "forms/DefineIncome.h"
#include "forms/Expences.h"
#include "forms/FinanceApp.h"
#include "forms/Income.h"
#include "forms/InterAccount.h"
#include "forms/Main.h"
#include "forms/Reports.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "report/files/ReportFile.h"
#include "report/generation/RunReport.h"
#include "report/pages/RpPrinter.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <QTextStream>

namespace Gallery {

namespace {

// Answers every box with OK and every modal window with "cancelled", printing what would have shown.
class SilentDialogs : public Dialogs::Handler
{
public:
    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        QTextStream(stderr) << "gallery: message box: " << request.text << "\n";
        return Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return {}; }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    bool exec(QDialog &) override { return false; }
};

void addAccount(const QString &name, double balance)
{
    DataModule1->tblAccount->AppendRow();
    DataModule1->tblAccountAccount_Type->setAsString(name);
    DataModule1->tblAccountAccount_Balance->setAsNumber(balance);
    DataModule1->tblAccount->Post();
}

void addTransaction(const QString &description, TDateTime date, double amount)
{
    TMemTable *transactions = DataModule1->tblTransaction;
    transactions->AppendRow();
    DataModule1->tblTransactionTransaction_Description->setAsString(description);
    DataModule1->tblTransactionTransaction_Date->setAsDateTime(date);
    DataModule1->tblTransactionTransaction_Amount->setAsNumber(amount);
    DataModule1->tblTransactionAccount_Number->setAsInteger(
        DataModule1->tblAccountAccount_Number->AsInteger());
    transactions->Post();
}

void addDesignation(TMemTable *table, TField *field, const QString &text)
{
    table->AppendRow();
    field->setAsString(text);
    table->Post();
}

// The sample data set: three accounts, a month of transactions on the first and a few on the others, the two
// designation lists.
void fillSampleData()
{
    addAccount(QStringLiteral("Compte courant"), 1523.40);
    addAccount(QStringLiteral("Livret A"), 8200);
    addAccount(QStringLiteral("Carte de crédit"), -245.10);
    DataModule1->tblAccount->First();
    const TDateTime day = DateTime::encodeDate(2026, 11, 2);
    addTransaction(QStringLiteral("Salaire"), day, 2350);
    addTransaction(QStringLiteral("Loyer"), day + 1, -780);
    addTransaction(QStringLiteral("Courses"), day + 4, -112.35);
    addTransaction(QStringLiteral("Essence"), day + 6, -64.90);
    addTransaction(QStringLiteral("Transfert compte à compte de Compte courant à Livret A"), day + 9, -200);
    addTransaction(QStringLiteral("Courses"), day + 12, -87.45);
    addTransaction(QStringLiteral("Remboursement"), day + 15, 438.10);
    DataModule1->tblAccount->Next();
    addTransaction(QStringLiteral("Transfert compte à compte de Compte courant à Livret A"), day + 9, 200);
    addTransaction(QStringLiteral("Intérêts"), day + 28, 45.10);
    DataModule1->tblAccount->Next();
    addTransaction(QStringLiteral("Librairie"), day + 3, -38.50);
    addTransaction(QStringLiteral("Abonnement annuel au magazine de jardinage et aux fiches pratiques, "
                                  "renouvellement automatique"),
        day + 11, -206.60);
    for (const char *text : { "Salaire", "Prime", "Remboursement", "Intérêts" })
        addDesignation(
            DataModule1->tblIncome, DataModule1->tblIncomeIncome_Description, QString::fromUtf8(text));
    for (const char *text : { "Loyer", "Courses", "Essence", "Électricité", "Assurance" })
        addDesignation(
            DataModule1->tblExpence, DataModule1->tblExpenceExpence_Description, QString::fromUtf8(text));
    DataModule1->tblAccount->First();
}

bool shot(QWidget *window, const QDir &out, const char *name, int &written)
{
    if (!window)
        return true;
    window->show();
    QApplication::processEvents();
    const bool ok = save(grab(*window), out, QString::fromLatin1(name) + QStringLiteral(".png"), written);
    window->hide();
    return ok;
}

// Shows a window over a pending row of `table`, as its caller leaves it, and cancels the row afterwards.
bool shotOverPendingRow(
    QWidget *window, TMemTable *table, bool insert, const QDir &out, const char *name, int &written)
{
    // Every window shows the first account, whatever the window before left current.
    DataModule1->tblAccount->First();
    if (insert)
        table->Insert();
    else
        table->Edit();
    const bool ok = shot(window, out, name, written);
    if (table->State() == dsInsert || table->State() == dsEdit)
        table->Cancel();
    return ok;
}

// A recorded page at 96 dots per inch on white, from the paper's top-left corner.
QImage pageImage(const QPicture &page)
{
    constexpr double kDpi = 96;
    const QRect paper = page.boundingRect();
    const double scale = page.logicalDpiX() > 0 ? kDpi / page.logicalDpiX() : 1;
    QImage image(qMax(1, qRound(paper.width() * scale)), qMax(1, qRound(paper.height() * scale)),
        QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double sx = page.logicalDpiX() > 0 ? double(image.logicalDpiX()) / page.logicalDpiX() : 1;
    const double sy = page.logicalDpiY() > 0 ? double(image.logicalDpiY()) / page.logicalDpiY() : 1;
    painter.drawPicture(QPointF(-paper.left() * sx, -paper.top() * sy), page);
    return image;
}

} // namespace

bool renderFinanceWindows(const QDir &out, int &written)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    SilentDialogs silent;
    Dialogs::ScopedHandler guard(silent);
    FinanceApp app(folder.path());
    fillSampleData();
    QApplication::processEvents();

    bool ok = shot(frmMain, out, "frmMain", written);

    frmAccountDetail->setTransactionFilter(2, 3, QStringLiteral("100"));
    ok = ok && shot(frmAccountDetail, out, "frmAccountDetail", written);
    if (frmAccountDetail->filterInForce())
        frmAccountDetail->btnFilterClick();

    frmAEAccount->setWindowTitle(QStringLiteral("Editer un compte"));
    ok = ok && shotOverPendingRow(frmAEAccount, DataModule1->tblAccount, false, out, "frmAEAccount", written);
    DataModule1->tblAccount->First();
    ok = ok && shot(frmInterAccount, out, "frmInterAccount", written);
    ok = ok && shotOverPendingRow(frmIncome, DataModule1->tblTransaction, true, out, "frmIncome", written);
    ok = ok
        && shotOverPendingRow(frmExpences, DataModule1->tblTransaction, true, out, "frmExpences", written);
    ok = ok && shot(frmDefineIncome, out, "frmDefineIncome", written);
    ok = ok && shot(frmDefineExpences, out, "frmDefineExpences", written);
    ok = ok && shotOverPendingRow(frmAEIncome, DataModule1->tblIncome, true, out, "frmAEIncome", written);
    ok = ok && shotOverPendingRow(frmAEExpence, DataModule1->tblExpence, true, out, "frmAEExpence", written);
    ok = ok && shot(frmReports, out, "frmReports", written);
    return ok;
}

bool renderReadyReports(const QDir &out, int &written)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    SilentDialogs silent;
    Dialogs::ScopedHandler guard(silent);
    FinanceApp app(folder.path());
    fillSampleData();
    const QDir reports(QCoreApplication::applicationDirPath() + QStringLiteral("/Reports"));
    for (const char *name : { "Comptes", "Releve", "Mouvements" }) {
        const QString file = reports.filePath(QString::fromLatin1(name) + QStringLiteral(".RP2"));
        TRpDLoader loader(QStringLiteral("ReportPrintForm"));
        TRpPrinter store;
        try {
            loader.LoadReportFile(file);
            RunReport(*loader.report(), store);
        } catch (const Exception &error) {
            QTextStream(stderr) << "gallery: " << file << ": " << error.message() << "\n";
            return false;
        }
        const std::unique_ptr<QPicture> first = store.pageCount() > 0 ? store.CopyPage(1) : nullptr;
        if (!first
            || !save(
                pageImage(*first), out, QStringLiteral("report-%1.png").arg(QLatin1String(name)), written))
            return false;
    }
    // The statement of accounts open in the designer window, as "E&dition d'un état" shows it.
    TReportDesignerForm form(nullptr, folder.filePath(QStringLiteral("RPDESIGN.INI")));
    form.resize(1000, 760);
    if (!form.OpenReportFile(reports.filePath(QStringLiteral("Releve.RP2"))))
        return false;
    form.show();
    QApplication::processEvents();
    return save(grab(form), out, QStringLiteral("designer-Releve.png"), written);
}

} // namespace Gallery
