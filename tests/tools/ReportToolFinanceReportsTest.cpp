// The ready reports: quillot-report finance-reports writes the committed files byte for byte, and each of
// them renders over a demanding data folder (long names and designations, large amounts, an empty account,
// pages of rows) into a PDF whose words all lie inside the printable area and never overprint each other.
#include "ToolRunner.h"
#include "support/PdfText.h"

#include "platform/DateTime.h"
#include "platform/FileIO.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char *const kReports[] = { "Comptes.RP2", "Releve.RP2", "Mouvements.RP2" };

QString committed(const char *name)
{
    return QStringLiteral(QUILLOT_REPORTS_DIR "/") + QLatin1String(name);
}

TEST(ReportToolFinanceReports, WritesTheCommittedReportsByteForByte)
{
    if (!QFileInfo::exists(toolPath("quillot-report")))
        GTEST_SKIP() << "the tool is not built";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString out = work.filePath(QStringLiteral("made/Reports"));
    const ToolRun run = runTool("quillot-report", { QStringLiteral("finance-reports"), out }, work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("3 reports written to ")) << run.out.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 3);
    for (const char *name : kReports) {
        const QByteArray made = FileIO::readAll(QDir(out).filePath(QLatin1String(name)));
        EXPECT_EQ(made, FileIO::readAll(committed(name)))
            << name << " differs from the committed file: run quillot-report finance-reports Reports";
        EXPECT_TRUE(made.startsWith("object Header: TComponentFileHeader\r\n")) << name;
    }
}

TEST(ReportToolFinanceReports, RefusesAnythingButOneFolder)
{
    if (!QFileInfo::exists(toolPath("quillot-report")))
        GTEST_SKIP() << "the tool is not built";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    for (const QStringList &arguments :
        { QStringList(), QStringList { QStringLiteral("a"), QStringLiteral("b") },
            QStringList { QStringLiteral("--pdf") } }) {
        const ToolRun run = runTool(
            "quillot-report", QStringList { QStringLiteral("finance-reports") } + arguments, work.path());
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains("usage: quillot-report finance-reports DIR"));
    }
    // A file where the folder should be.
    FileIO::writeAtomically(work.filePath(QStringLiteral("file")), "x");
    const ToolRun run = runTool("quillot-report",
        { QStringLiteral("finance-reports"), work.filePath(QStringLiteral("file/Reports")) }, work.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
}

// A new user's empty tables: the statement prints no empty account (no balance, no account total) and the
// movements no balance of a missing account; the totals are zero.
TEST(ReportToolFinanceReports, ShowNoAccountOverEmptyTables)
{
    if (!QFileInfo::exists(toolPath("quillot-report")))
        GTEST_SKIP() << "the tool is not built";
    if (!PdfText::available())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("Data")));
    for (const char *name : kReports) {
        const QString pdf = work.filePath(QString::fromLatin1(name) + QStringLiteral(".pdf"));
        const ToolRun run = runTool("quillot-report",
            { QStringLiteral("render"), committed(name), QStringLiteral("--data"),
                work.filePath(QStringLiteral("Data")), QStringLiteral("--pdf"), pdf,
                QStringLiteral("--locale"), QStringLiteral("fr_FR") },
            work.path());
        ASSERT_EQ(run.exitCode, 0) << name << run.err.toStdString();
        const PdfText text = PdfText::of(pdf);
        EXPECT_EQ(text.pages.size(), 1u) << name;
        QStringList words;
        for (const PdfText::Word &w : text.words)
            words << w.text;
        const QString all = words.join(u' ');
        EXPECT_FALSE(all.contains(QStringLiteral("Solde :"))) << name << ": " << all.toStdString();
        EXPECT_FALSE(all.contains(QStringLiteral("Total du compte"))) << name << ": " << all.toStdString();
        EXPECT_TRUE(all.contains(QStringLiteral("Page 1"))) << name << ": " << all.toStdString();
    }
}

class FinanceReportRender : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(toolPath("quillot-report")))
            GTEST_SKIP() << "the tool is not built";
        if (!PdfText::available())
            GTEST_SKIP() << "pdftotext is not installed";
        ASSERT_TRUE(work.isValid());
        data = work.filePath(QStringLiteral("Data"));
        ASSERT_TRUE(QDir().mkpath(data));

        TMemTable accounts;
        accounts.FieldDefs() = FinanceTables::accountDefs();
        accounts.setFileName(data + QStringLiteral("/Account.dat"));
        accounts.CreateEmpty();
        const struct
        {
            QString name;
            double balance;
        } accountRows[]
            = { { QStringLiteral("Compte joint des dépenses du ménage et des travaux"), -1234567.89 },
                  { QStringLiteral("Compte vide"), 0 }, { QString(50, u'W'), 99999999.99 } };
        for (const auto &row : accountRows) {
            accounts.AppendRow();
            accounts.FieldNamed(QStringLiteral("Account_Type"))->setAsString(row.name);
            accounts.FieldNamed(QStringLiteral("Account_Balance"))->setAsNumber(row.balance);
            accounts.Post();
        }
        accounts.Close();

        TMemTable transactions;
        transactions.FieldDefs() = FinanceTables::transactionDefs();
        transactions.setFileName(data + QStringLiteral("/Transaction.dat"));
        transactions.CreateEmpty();
        auto add = [&](int account, const QString &text, double amount, int day) {
            transactions.AppendRow();
            transactions.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(text);
            transactions.FieldNamed(QStringLiteral("Transaction_Date"))
                ->setAsDateTime(DateTime::encodeDate(2026, 1, 1) + day);
            transactions.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
            transactions.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(account);
            transactions.Post();
            (account == 1 ? firstSum : otherSum) += amount;
        };
        for (int i = 1; i <= 90; ++i) {
            QString text = QStringLiteral("Désignation numéro %1").arg(i);
            if (i % 10 == 0)
                text = QStringLiteral("Une désignation très longue qui occupe presque toute la place : cent "
                                      "caractères au plus, ici %1")
                           .arg(i);
            if (i % 17 == 0)
                text = QString(100, u'X');
            add(1, text, (i % 2 ? -1 : 1) * (i % 7 ? i * 1234.56 : 1234567.89), i);
        }
        add(3, QStringLiteral("Une"), -99999999.99, 1);
        transactions.Close();
    }

    PdfText render(const char *report)
    {
        const QString pdf = work.filePath(QString::fromLatin1(report) + QStringLiteral(".pdf"));
        const ToolRun run = runTool("quillot-report",
            { QStringLiteral("render"), committed(report), QStringLiteral("--data"), data,
                QStringLiteral("--pdf"), pdf, QStringLiteral("--locale"), QStringLiteral("fr_FR") },
            work.path());
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return PdfText::of(pdf);
    }

    // Every word within the printable area of A4 (15 mm at the sides, 12 mm at top and bottom) and no two
    // words of a page overlapping.
    static void expectFitsThePage(const PdfText &pdf, const char *report)
    {
        const double mm = 72 / 25.4;
        for (const PdfText::Word &w : pdf.words) {
            const QSizeF page = pdf.pages[size_t(w.page - 1)];
            EXPECT_GE(w.xMin, 15 * mm - 0.5) << report << " " << w.text.toStdString();
            EXPECT_LE(w.xMax, page.width() - 15 * mm + 0.5) << report << " " << w.text.toStdString();
            EXPECT_GE(w.yMin, 12 * mm - 0.5) << report << " " << w.text.toStdString();
            EXPECT_LE(w.yMax, page.height() - 12 * mm + 0.5) << report << " " << w.text.toStdString();
        }
        for (size_t i = 0; i < pdf.words.size(); ++i) {
            const PdfText::Word &a = pdf.words[i];
            for (size_t j = i + 1; j < pdf.words.size() && pdf.words[j].page == a.page; ++j) {
                const PdfText::Word &b = pdf.words[j];
                const bool overlap = a.xMin < b.xMax - 0.5 && b.xMin < a.xMax - 0.5 && a.yMin < b.yMax - 0.5
                    && b.yMin < a.yMax - 0.5;
                EXPECT_FALSE(overlap) << report << " page " << a.page << ": \"" << a.text.toStdString()
                                      << "\" and \"" << b.text.toStdString() << "\"";
            }
        }
    }

    // The words of a page's line that starts with `start` (one or more words), left to right and joined by
    // blanks, the digit groups' narrow blanks made plain ones too; empty when there is none.
    static QString line(const PdfText &pdf, int page, const QString &start)
    {
        const QString first = start.section(u' ', 0, 0);
        for (const PdfText::Word &candidate : pdf.words) {
            if (candidate.page != page || candidate.text != first)
                continue;
            std::vector<const PdfText::Word *> words;
            for (const PdfText::Word &w : pdf.words) {
                if (w.page == page && std::abs(w.yMax - candidate.yMax) < 2 && w.xMin >= candidate.xMin)
                    words.push_back(&w);
            }
            std::sort(words.begin(), words.end(), [](auto *a, auto *b) { return a->xMin < b->xMin; });
            QStringList texts;
            for (const PdfText::Word *w : words)
                texts << w->text;
            QString joined = texts.join(u' ');
            for (QChar &c : joined) {
                if (c.isSpace())
                    c = u' ';
            }
            if (joined.startsWith(start))
                return joined;
        }
        return QString();
    }

    static QString money(double value)
    {
        QString text
            = QLocale(QLocale::French, QLocale::France).toString(value, 'f', 2) + QStringLiteral(" €");
        for (QChar &c : text) {
            if (c.isSpace())
                c = u' ';
        }
        return text;
    }

    QTemporaryDir work;
    QString data;
    double firstSum = 0;
    double otherSum = 0;
};

TEST_F(FinanceReportRender, TheAccountListFitsItsPage)
{
    const PdfText pdf = render("Comptes.RP2");
    ASSERT_EQ(pdf.pages.size(), 1u);
    expectFitsThePage(pdf, "Comptes.RP2");
    EXPECT_EQ(line(pdf, 1, QStringLiteral("Total des soldes")),
        QStringLiteral("Total des soldes ") + money(-1234567.89 + 99999999.99));
}

TEST_F(FinanceReportRender, TheStatementFitsItsPages)
{
    const PdfText pdf = render("Releve.RP2");
    ASSERT_GE(pdf.pages.size(), 4u);
    expectFitsThePage(pdf, "Releve.RP2");
    const int last = int(pdf.pages.size());
    EXPECT_EQ(line(pdf, last, QStringLiteral("Mouvements de tous")),
        QStringLiteral("Mouvements de tous les comptes 91 mouvements ") + money(firstSum + otherSum));
    EXPECT_EQ(line(pdf, last, QStringLiteral("Total des soldes")),
        QStringLiteral("Total des soldes ") + money(-1234567.89 + 99999999.99));
    // A designation of a hundred X, cut to its column, leaves the amount beside it whole.
    const PdfText::Word *cut = nullptr;
    for (const PdfText::Word &w : pdf.words) {
        if (w.text.startsWith(QStringLiteral("XXXXXXXXXX"))) {
            cut = &w;
            break;
        }
    }
    ASSERT_TRUE(cut);
    EXPECT_LT(cut->text.size(), 100);
    EXPECT_TRUE(line(pdf, cut->page, cut->text).endsWith(QStringLiteral(" €")));
}

TEST_F(FinanceReportRender, TheMovementsFitTheirPages)
{
    const PdfText pdf = render("Mouvements.RP2");
    ASSERT_GE(pdf.pages.size(), 2u);
    expectFitsThePage(pdf, "Mouvements.RP2");
    const int last = int(pdf.pages.size());
    EXPECT_EQ(line(pdf, last, QStringLiteral("Solde des")),
        QStringLiteral("Solde des mouvements ") + money(firstSum));
    EXPECT_EQ(line(pdf, last, QStringLiteral("Nombre de")), QStringLiteral("Nombre de mouvements 90"));
}

} // namespace
