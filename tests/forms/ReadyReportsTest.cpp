// The ready reports of the Reports folder beside the program, run over a sample data set in the running
// program: every figure they print is checked against totals the test computes from the tables themselves.
#include "FormsFixture.h"

#include "designer/ReportDesignerDialog.h"
#include "forms/Reports.h"
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "preview/RpPreview.h"
#include "preview/RpStandardPreview.h"
#include "report/GenerationTestSupport.h"
#include "report/files/DesignerSettings.h"
#include "report/files/ReportFile.h"
#include "report/scripts/ScriptFunctions.h"
#include "support/TestSupport.h"
#include "widgets/GradButton.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <map>
#include <vector>

namespace {

// The Reports folder as the build puts it beside the program.
QString shippedReport(const char *name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Reports/")
        + QString::fromLatin1(name);
}

// Spaces of every kind (the thousands separator is a narrow no-break space in French) as one plain blank.
QString plain(QString text)
{
    for (QChar &c : text) {
        if (c.isSpace())
            c = u' ';
    }
    return text;
}

// An amount as the reports print it, made here without the engine: two decimals, French digit groups and the
// euro sign after a blank.
QString money(double value)
{
    return plain(QLocale(QLocale::French, QLocale::France).toString(value, 'f', 2) + QStringLiteral(" €"));
}

QString movements(int count)
{
    return QString::number(count)
        + (count > 1 ? QStringLiteral(" mouvements") : QStringLiteral(" mouvement"));
}

struct Row
{
    QString text;
    QString date;
    double amount;
};

struct Account
{
    int number;
    QString name;
    double balance;
    std::vector<Row> rows; // in the order the program shows them
};

class ReadyReportsTest : public FormsFixture
{
protected:
    void SetUp() override
    {
        FormsFixture::SetUp();
        addAccount(QStringLiteral("Compte courant"), 1523.40);
        addAccount(QStringLiteral("Livret A"), 8200);
        addAccount(QStringLiteral("Carte de crédit"), -245.10);
        addAccount(QStringLiteral("Compte joint"), 12345.67);
        const TDateTime day = DateTime::encodeDate(2026, 11, 2);
        addTransaction(1, QStringLiteral("Salaire"), day, 2350);
        addTransaction(1, QStringLiteral("Loyer"), day + 1, -780);
        addTransaction(1, QStringLiteral("Courses"), day + 4, -112.35);
        addTransaction(1,
            QStringLiteral("Abonnement annuel au magazine de jardinage et aux fiches pratiques, "
                           "renouvellement automatique"),
            day + 6, -64.90);
        addTransaction(1, QStringLiteral("Remboursement"), day + 15, 438.10);
        addTransaction(
            2, QStringLiteral("Transfert compte à compte de Compte courant à Livret A"), day + 9, 200);
        addTransaction(2, QStringLiteral("Intérêts"), day + 28, 45.10);
        // Enough rows for several pages, with large amounts of both signs.
        for (int i = 1; i <= 70; ++i)
            addTransaction(
                4, QStringLiteral("Mouvement %1").arg(i), day + i, (i % 2 ? -1 : 1) * (i * 1234.56));
        DataModule1->tblAccount->First();
        accounts = readTables();
    }

    void addTransaction(int account, const QString &text, TDateTime date, double amount)
    {
        DataModule1->tblAccount->FindRow(QStringLiteral("Account_Number"), { account });
        DataModule1->tblTransaction->AppendRow();
        DataModule1->tblTransactionAccount_Number->setAsInteger(account);
        DataModule1->tblTransactionTransaction_Description->setAsString(text);
        DataModule1->tblTransactionTransaction_Date->setAsDateTime(date);
        DataModule1->tblTransactionTransaction_Amount->setAsNumber(amount);
        DataModule1->tblTransaction->Post();
    }

    // What the tables hold, walked as the program walks them; the current account is left as it was.
    static std::vector<Account> readTables()
    {
        TMemTable &table = *DataModule1->tblAccount;
        const int current = DataModule1->tblAccountAccount_Number->AsInteger();
        std::vector<Account> result;
        for (table.First(); !table.AtEnd(); table.Next()) {
            Account account { DataModule1->tblAccountAccount_Number->AsInteger(),
                DataModule1->tblAccountAccount_Type->AsString(),
                DataModule1->tblAccountAccount_Balance->AsNumber(), {} };
            TMemTable &rows = *DataModule1->tblTransaction;
            for (rows.First(); !rows.AtEnd(); rows.Next()) {
                const QDate date
                    = DateTime::toQDate(DataModule1->tblTransactionTransaction_Date->AsDateTime());
                account.rows.push_back({ DataModule1->tblTransactionTransaction_Description->AsString(),
                    date.toString(QStringLiteral("dd/MM/yyyy")),
                    DataModule1->tblTransactionTransaction_Amount->AsNumber() });
            }
            result.push_back(account);
        }
        table.FindRow(QStringLiteral("Account_Number"), { current });
        return result;
    }

    // Runs a shipped report over the program's tables, as the reports window's preview does, and gives
    // every page's texts.
    std::vector<PageLog> run(const char *name)
    {
        TRpDLoader loader(QStringLiteral("ReportPrintForm"));
        loader.LoadReportFile(shippedReport(name));
        TRpPrinter store;
        EXPECT_TRUE(RunReport(*loader.report(), store));
        return logPages(store);
    }

    static QStringList texts(const PageLog &page)
    {
        QStringList list;
        for (const PageLog::Text &text : page.texts)
            list << plain(text.text);
        return list;
    }
    static QStringList allTexts(const std::vector<PageLog> &pages)
    {
        QStringList list;
        for (const PageLog &page : pages)
            list << texts(page);
        return list;
    }
    // The text printed on the same line as `caption` (same baseline), right of it; empty when none.
    static QString beside(const PageLog &page, const QString &caption, int skip = 0)
    {
        for (const PageLog::Text &text : page.texts) {
            if (plain(text.text) != caption || skip-- > 0)
                continue;
            QString found;
            double nearest = 1e9;
            for (const PageLog::Text &other : page.texts) {
                if (&other != &text && std::abs(other.y - text.y) < 3 && other.x > text.x
                    && other.x - text.x < nearest) {
                    nearest = other.x - text.x;
                    found = plain(other.text);
                }
            }
            return found;
        }
        return QString();
    }
    // Texts on one line, left to right: the line whose first text is `first`.
    static QStringList line(const PageLog &page, const QString &first, int skip = 0)
    {
        for (const PageLog::Text &text : page.texts) {
            if (plain(text.text) != first || skip-- > 0)
                continue;
            std::vector<const PageLog::Text *> onLine;
            for (const PageLog::Text &other : page.texts) {
                if (std::abs(other.y - text.y) < 3)
                    onLine.push_back(&other);
            }
            std::sort(onLine.begin(), onLine.end(), [](auto *a, auto *b) { return a->x < b->x; });
            QStringList result;
            for (const PageLog::Text *t : onLine)
                result << plain(t->text);
            return result;
        }
        return {};
    }

    static QString printedOn()
    {
        return QStringLiteral("Imprimé le ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    }

    std::vector<Account> accounts;
};

TEST_F(ReadyReportsTest, TheAccountListShowsEveryBalanceAndTheirTotal)
{
    const std::vector<PageLog> pages = run("Comptes.RP2");
    ASSERT_EQ(pages.size(), 1u);
    const PageLog &page = pages[0];
    double total = 0;
    for (const Account &account : accounts) {
        EXPECT_EQ(line(page, account.name), QStringList({ account.name, money(account.balance) }));
        total += account.balance;
    }
    EXPECT_EQ(beside(page, QStringLiteral("Total des soldes")), money(total));
    EXPECT_EQ(beside(page, QStringLiteral("Nombre de comptes")), QString::number(accounts.size()));
    EXPECT_TRUE(texts(page).contains(QStringLiteral("Liste des comptes")));
    EXPECT_EQ(line(page, printedOn()),
        QStringList({ printedOn(), QStringLiteral("Liste des comptes"), QStringLiteral("Page 1") }));
}

TEST_F(ReadyReportsTest, TheStatementGivesEachAccountItsPagesTransactionsAndTotals)
{
    const std::vector<PageLog> pages = run("Releve.RP2");
    ASSERT_GE(pages.size(), accounts.size() + 1) << "the joint account takes more than one page";

    size_t page = 0;
    int allCount = 0;
    double allSum = 0;
    double balances = 0;
    for (const Account &account : accounts) {
        // Each account opens a page of its own, the first one below the report's title.
        while (page < pages.size() && !texts(pages[page]).contains(account.name))
            ++page;
        ASSERT_LT(page, pages.size()) << account.name.toStdString();
        const size_t first = page;
        EXPECT_EQ(beside(pages[page], account.name), QStringLiteral("Solde : ") + money(account.balance));
        EXPECT_EQ(pages[page].texts.front().text == QStringLiteral("Relevé des comptes"), page == 0);

        // Its transactions in the program's order, each with its date and amount; continued pages start
        // with the column titles again.
        double sum = 0;
        size_t seen = 0;
        for (const Row &row : account.rows) {
            QStringList found = line(pages[page], row.date);
            for (int skip = 1; !found.isEmpty() && !row.text.startsWith(found.value(1)); ++skip)
                found = line(pages[page], row.date, skip);
            if (found.isEmpty()) {
                ++page;
                ASSERT_LT(page, pages.size()) << row.text.toStdString();
                EXPECT_EQ(texts(pages[page]).mid(0, 3),
                    QStringList({ QStringLiteral("Date"), QStringLiteral("Désignation"),
                        QStringLiteral("Montant") }));
                found = line(pages[page], row.date);
            }
            if (row.text.size() > 60) {
                // A long designation wraps onto a second line under its first.
                EXPECT_TRUE(row.text.startsWith(found.value(1))) << found.join(u'|').toStdString();
                EXPECT_EQ(found.value(2), money(row.amount));
            } else {
                EXPECT_EQ(found, QStringList({ row.date, row.text, money(row.amount) }));
            }
            sum += row.amount;
            ++seen;
        }
        EXPECT_EQ(seen, account.rows.size());
        if (account.rows.empty()) {
            EXPECT_FALSE(texts(pages[page]).contains(QStringLiteral("Date"))) << "no titles over no rows";
        }
        EXPECT_EQ(line(pages[page], QStringLiteral("Total du compte")),
            QStringList(
                { QStringLiteral("Total du compte"), movements(int(account.rows.size())), money(sum) }));
        EXPECT_TRUE(page > first || account.rows.size() < 40);
        allCount += int(account.rows.size());
        allSum += sum;
        balances += account.balance;
        ++page;
    }
    EXPECT_EQ(page, pages.size()) << "nothing follows the last account's page but the totals on it";
    const PageLog &last = pages.back();
    EXPECT_EQ(line(last, QStringLiteral("Mouvements de tous les comptes")),
        QStringList(
            { QStringLiteral("Mouvements de tous les comptes"), movements(allCount), money(allSum) }));
    EXPECT_EQ(beside(last, QStringLiteral("Total des soldes")), money(balances));
    for (size_t n = 0; n < pages.size(); ++n)
        EXPECT_TRUE(texts(pages[n]).contains(QStringLiteral("Page %1").arg(n + 1))) << n;
}

TEST_F(ReadyReportsTest, TheStatementLeavesTheWindowsOnTheAccountTheyShowed)
{
    DataModule1->tblAccount->FindRow(QStringLiteral("Account_Number"), { 2 });
    DataModule1->tblTransaction->First();
    DataModule1->tblTransaction->Next();
    const QString row = DataModule1->tblTransactionTransaction_Description->AsString();

    run("Releve.RP2");

    EXPECT_EQ(DataModule1->tblAccountAccount_Number->AsInteger(), 2);
    EXPECT_EQ(DataModule1->tblTransactionAccount_Number->AsInteger(), 2);
    EXPECT_EQ(DataModule1->tblTransactionTransaction_Description->AsString(), row);
    EXPECT_EQ(DataModule1->tblTransaction->ViewRowCount(), 2);
}

TEST_F(ReadyReportsTest, MovementsShowTheCurrentAccountWithARunningTotalAndItsIncomeAndExpenses)
{
    for (const int number : { 1, 4, 3 }) {
        DataModule1->tblAccount->FindRow(QStringLiteral("Account_Number"), { number });
        const Account &account = *std::find_if(
            accounts.begin(), accounts.end(), [number](const Account &a) { return a.number == number; });
        const std::vector<PageLog> pages = run("Mouvements.RP2");
        ASSERT_FALSE(pages.empty());
        EXPECT_EQ(beside(pages[0], account.name), QStringLiteral("Solde : ") + money(account.balance));

        const QStringList all = allTexts(pages);
        // Column titles on every page of rows; an account without any prints its totals only.
        EXPECT_EQ(all.count(QStringLiteral("Cumul")), account.rows.empty() ? 0 : int(pages.size()));
        EXPECT_EQ(all.count(money(0)), account.rows.empty() ? 3 : 0) << all.join(u'|').toStdString();
        double running = 0;
        double income = 0;
        double expenses = 0;
        qsizetype at = 0;
        for (const Row &row : account.rows) {
            running += row.amount;
            (row.amount > 0 ? income : expenses) += row.amount;
            // Date, designation, amount and running total follow each other in the page's texts.
            at = all.indexOf(row.date, at);
            ASSERT_GE(at, 0) << row.text.toStdString();
            const qsizetype amount = all.indexOf(money(row.amount), at);
            ASSERT_GT(amount, at);
            EXPECT_EQ(all.value(amount + 1), money(running)) << row.text.toStdString();
            at = amount + 2;
        }
        for (const auto &[caption, value] :
            std::map<QString, QString> { { QStringLiteral("Total des revenus"), money(income) },
                { QStringLiteral("Total des dépenses"), money(expenses) },
                { QStringLiteral("Solde des mouvements"), money(running) },
                { QStringLiteral("Nombre de mouvements"), QString::number(account.rows.size()) } })
            EXPECT_EQ(beside(pages.back(), caption), value) << account.name.toStdString();
        EXPECT_EQ(DataModule1->tblAccountAccount_Number->AsInteger(), number);
    }
}

// A new user's program: no account yet, and the designed-report runs installed as the program installs them
// at its start, so the reports' print conditions apply.
class ReadyReportsOverEmptyTables : public FormsFixture
{
protected:
    void SetUp() override
    {
        FormsFixture::SetUp();
        installReportScripts();
    }
    static QStringList run(const char *name)
    {
        TRpDLoader loader(QStringLiteral("ReportPrintForm"));
        loader.LoadReportFile(shippedReport(name));
        TRpPrinter store;
        EXPECT_TRUE(RunReport(*loader.report(), store));
        QStringList texts;
        for (const PageLog &page : logPages(store)) {
            for (const PageLog::Text &text : page.texts)
                texts << plain(text.text);
        }
        return texts;
    }
};

TEST_F(ReadyReportsOverEmptyTables, PrintNoEmptyAccountButZeroTotals)
{
    ASSERT_EQ(DataModule1->tblAccount->ViewRowCount(), 0);
    const QStringList statement = run("Releve.RP2");
    EXPECT_FALSE(statement.contains(QStringLiteral("Total du compte"))) << statement.join(u'|').toStdString();
    EXPECT_FALSE(statement.join(u'|').contains(QStringLiteral("Solde :")))
        << statement.join(u'|').toStdString();
    EXPECT_TRUE(statement.contains(QStringLiteral("Mouvements de tous les comptes")));
    EXPECT_EQ(statement.count(money(0)), 2) << statement.join(u'|').toStdString();

    const QStringList movements = run("Mouvements.RP2");
    EXPECT_FALSE(movements.join(u'|').contains(QStringLiteral("Solde :")))
        << movements.join(u'|').toStdString();
    EXPECT_TRUE(movements.contains(QStringLiteral("Total des revenus")));
    EXPECT_EQ(movements.count(money(0)), 3) << movements.join(u'|').toStdString();
}

class ReadyReportsWindowTest : public ReadyReportsTest
{
protected:
    void SetUp() override
    {
        ReadyReportsTest::SetUp();
        TRpDesignerSettings::setFileName(QString());
        previousDir = QDir::currentPath();
        // As `make run` starts the program: in its own folder, where the build put the Reports folder.
        QDir::setCurrent(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        TReportPrinterDialog::setPreviewRunner({});
        ReadyReportsTest::TearDown();
    }

    QString previousDir;
};

TEST_F(ReadyReportsWindowTest, ThePreviewCommandOpensTheReportsFolderAndPreviewsEachReport)
{
    std::map<QString, QStringList> previewed;
    TReportPrinterDialog::setPreviewRunner([&](TDesignRpReport &report, bool, bool) {
        TRpPrinter store;
        RunReport(report, store);
        previewed[report.reportTitle()] = allTexts(logPages(store));
    });
    const QString folder
        = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Reports")).absolutePath();
    for (const char *name : { "Comptes.RP2", "Releve.RP2", "Mouvements.RP2" }) {
        dialogs.fileAnswer = QDir(folder).filePath(QString::fromLatin1(name));
        frmReports->btnPreviewReport->click();
        ASSERT_FALSE(dialogs.files.empty());
        EXPECT_EQ(QDir(dialogs.files.back().directory).absolutePath(), folder);
    }
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(previewed.size(), 3u);
    EXPECT_TRUE(previewed[QStringLiteral("Liste des comptes")].contains(QStringLiteral("Livret A")));
    EXPECT_TRUE(previewed[QStringLiteral("Relevé des comptes")].contains(QStringLiteral("Intérêts")));
    EXPECT_TRUE(previewed[QStringLiteral("Mouvements du compte")].contains(QStringLiteral("Salaire")));
}

TEST_F(ReadyReportsWindowTest, TheProgramsPreviewWindowShowsEachReport)
{
    // As the program starts: the engine's preview, no host runner.
    TRpStandardPreviewInterface::install();
    TReportPrinterDialog::setPreviewRunner({});
    struct Shown
    {
        QString caption;
        QString status;
        bool pictured = false;
    };
    std::vector<Shown> shown;
    QTimer inspect;
    QObject::connect(&inspect, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *preview = qobject_cast<TRpStandardPreview *>(widget);
            // Once the run has ended and the preview has been told of its last page.
            if (!preview || !preview->isVisible() || !preview->store()
                || preview->store()->status() != TRpPrinter::Status::Finished
                || preview->store()->availablePages() < preview->store()->pageCount())
                continue;
            QCoreApplication::sendPostedEvents();
            shown.push_back({ preview->windowTitle(), preview->pagePanel->text(),
                preview->RpPreview->image()->picture() != nullptr });
            preview->close();
        }
    });
    inspect.start(10);
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Reports"));
    for (const char *name : { "Comptes.RP2", "Releve.RP2", "Mouvements.RP2" }) {
        dialogs.fileAnswer = folder.absoluteFilePath(QString::fromLatin1(name));
        frmReports->btnPreviewReport->click();
    }
    inspect.stop();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Liste des comptes"));
    EXPECT_EQ(shown[1].caption, QStringLiteral("Relevé des comptes"));
    EXPECT_EQ(shown[2].caption, QStringLiteral("Mouvements du compte"));
    EXPECT_EQ(shown[0].status, QStringLiteral("Page 1 of 1"));
    EXPECT_TRUE(shown[1].status.startsWith(QStringLiteral("Page 1 of "))) << shown[1].status.toStdString();
    EXPECT_NE(shown[1].status, QStringLiteral("Page 1 of 1"));
    for (const Shown &preview : shown)
        EXPECT_TRUE(preview.pictured) << preview.caption.toStdString();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(ReadyReports, TheBuildPutsTheCommittedReportsBesideTheProgram)
{
    for (const char *name : { "Comptes.RP2", "Releve.RP2", "Mouvements.RP2" }) {
        const QByteArray shipped = TestSupport::readFile(shippedReport(name));
        EXPECT_FALSE(shipped.isEmpty()) << name;
        EXPECT_EQ(
            shipped, TestSupport::readFile(QStringLiteral(QUILLOT_REPORTS_DIR "/") + QLatin1String(name)))
            << name;
    }
}

} // namespace
