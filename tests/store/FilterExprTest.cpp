#include "MemTableTestSupport.h"

#include "platform/DateTime.h"
#include "store/FilterExpr.h"

#include <QElapsedTimer>

using namespace MemTableTestSupport;

namespace {

struct Row
{
    const char *description; // nullptr: null
    const char *date; // dd/MM/yyyy [hh:mm:ss]; nullptr: null
    const char *amount; // regional text; nullptr: null
};

// Row numbers follow this list from 1.
const Row kRows[] = {
    { "DUPONT", "12/03/2024", "100" }, // 1
    { "Dupuis", "12/03/2024 12:30:00", "25,5" }, // 2
    { "dup", "13/03/2024", "-40" }, // 3
    { "du", "11/03/2024", "150" }, // 4
    { nullptr, nullptr, nullptr }, // 5
    { "", "01/01/2024", "99,99" }, // 6
    { "dup*", "14/03/2024", "200" }, // 7
    { "a*bcd", "15/03/2024", "1" }, // 8
    { "m", "16/03/2024", "0" }, // 9
    { "l'eau", "17/03/2024", "100,5" }, // 10
    { "*", "18/03/2024", "7" }, // 11
    { "zèbre", "19/03/2024", "-1" }, // 12
};

class FilterTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table = makeTable(QStringLiteral("tblTransaction"), FinanceTables::transactionDefs(),
            m_dir.filePath(QStringLiteral("Transaction.dat")));
        table->CreateEmpty();
        table->setKeepChangeLog(false);
        for (const Row &row : kRows) {
            table->AppendRow();
            if (row.description)
                table->FieldNamed("Transaction_Description")->setAsString(QString::fromUtf8(row.description));
            if (row.date)
                table->FieldNamed("Transaction_Date")->setAsString(QString::fromLatin1(row.date));
            if (row.amount)
                table->FieldNamed("Transaction_Amount")->setAsString(QString::fromLatin1(row.amount));
            table->FieldNamed("Account_Number")->setAsInteger(1);
            table->Post();
        }
    }

    QString rows() { return column(*table, "Transaction_Number").join(u','); }

    QString applied(const QString &filter, TFilterOptions options)
    {
        table->setFiltered(false);
        table->setFilterOptions(options);
        table->setFilter(filter);
        table->setFiltered(true);
        return rows();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TMemTable> table;
};

struct FilterCase
{
    const char *filter;
    int options;
    const char *rows;
};

class FilterRows : public FilterTable, public ::testing::WithParamInterface<FilterCase>
{
};

TEST_P(FilterRows, ShowsExactlyTheRowsThatPass)
{
    const FilterCase &c = GetParam();
    EXPECT_EQ(applied(QString::fromUtf8(c.filter), c.options), QString::fromLatin1(c.rows)) << c.filter;
}

constexpr int CI = foCaseInsensitive;
constexpr int NP = foNoPartialCompare;

INSTANTIATE_TEST_SUITE_P(TextComparisons, FilterRows,
    ::testing::Values(FilterCase { "Transaction_Description = 'dup*'", CI, "1,2,3,7" },
        FilterCase { "Transaction_Description = 'dup*'", 0, "3,7" },
        FilterCase { "Transaction_Description = 'dup*'", CI | NP, "7" },
        FilterCase { "Transaction_Description = 'dupont'", CI, "1" },
        FilterCase { "Transaction_Description = 'dupont'", 0, "" },
        FilterCase { "Transaction_Description <> 'dup*'", CI, "4,6,8,9,10,11,12" },
        FilterCase { "Transaction_Description = '*'", 0, "11" },
        FilterCase { "Transaction_Description = 'a*b*'", 0, "8" },
        FilterCase { "Transaction_Description > 'dup*'", 0, "1,2,9,10,12" },
        FilterCase { "Transaction_Description = ''", CI, "6" },
        FilterCase { "Transaction_Description = 'l''eau'", 0, "10" },
        FilterCase { "Transaction_Description = 'l'eau'", 0, "10" },
        FilterCase { "[Transaction_Description] = 'ZÈBRE'", CI, "12" },
        FilterCase { "'dup' = Transaction_Description", 0, "3" },
        FilterCase { "Transaction_Description IS NULL", 0, "5" },
        FilterCase { "Transaction_Description = NULL", 0, "5" },
        FilterCase { "Transaction_Description IS  NOT  NULL AND Transaction_Amount < 0", 0, "3,12" },
        FilterCase { "Transaction_Description IN ('du', 'm', 'x')", 0, "4,9" },
        FilterCase { "Transaction_Description LIKE 'dup%'", CI, "1,2,3,7" },
        FilterCase { "Transaction_Description LIKE '_u%'", 0, "2,3,4,7" },
        FilterCase { "Transaction_Description LIKE 'dup\\*'", NP, "7" },
        FilterCase { "Transaction_Description = /* note */ 'm'", 0, "9" }));

INSTANTIATE_TEST_SUITE_P(NumbersAndDates, FilterRows,
    ::testing::Values(FilterCase { "Transaction_Amount >= '100'", 0, "1,4,7,10" },
        FilterCase { "NOT (Transaction_Amount >= '100')", 0, "2,3,5,6,8,9,11,12" },
        FilterCase { "Transaction_Amount = '25,5'", 0, "2" },
        FilterCase { "Transaction_Amount = 25,5", 0, "2" }, FilterCase { "100 = Transaction_Amount", 0, "1" },
        FilterCase { "100 < Transaction_Amount", 0, "4,7,10" },
        FilterCase { "Transaction_Amount > 100", 0, "4,7,10" },
        FilterCase { "Transaction_Amount IN (1, 7)", 0, "8,11" },
        FilterCase { "Transaction_Amount - 10 > 150", 0, "7" },
        FilterCase { "Transaction_Amount * 2 = -80", 0, "3" },
        FilterCase { "Transaction_Date = '12/03/2024'", 0, "1" },
        FilterCase { "Transaction_Date >= '17/03/2024'", 0, "10,11,12" },
        FilterCase { "Transaction_Date IN ('11/03/2024', '18/03/2024')", 0, "4,11" },
        FilterCase { "YEAR(Transaction_Date) = 2024 AND MONTH(Transaction_Date) = 1", 0, "6" },
        FilterCase {
            "Transaction_Number = 3 OR Transaction_Number = 5 OR Transaction_Number = 9", 0, "3,5,9" },
        FilterCase { "Transaction_Number <= 2 AND NOT Transaction_Number = 1", 0, "2" },
        FilterCase { "UPPER(Transaction_Description) = 'DUP'", 0, "3" },
        FilterCase { "SUBSTRING(Transaction_Description, 2, 2) = 'up'", 0, "2,3,7" },
        FilterCase { "SUBSTRING(Transaction_Description, -5, 99999999999) = 'm'", 0, "9" },
        FilterCase { "SUBSTRING(Transaction_Description, 50) = ''", 0, "1,2,3,4,6,7,8,9,10,11,12" },
        FilterCase { "TRIM(Transaction_Description, '*') = 'dup'", 0, "3,7" },
        FilterCase { "TRIM(Transaction_Description, '*') = ''", 0, "6,11" }));

struct ErrorCase
{
    const char *filter;
    bool extended;
    const char *message;
};

class FilterErrors : public FilterTable, public ::testing::WithParamInterface<ErrorCase>
{
};

TEST_P(FilterErrors, AreRefusedWithTheirMessage)
{
    const ErrorCase &c = GetParam();
    EXPECT_EQ(messageOf([&] { TExprParser::parse(*table, QString::fromUtf8(c.filter), 0, c.extended); }),
        QString::fromUtf8(c.message))
        << c.filter;
}

INSTANTIATE_TEST_SUITE_P(Messages, FilterErrors,
    ::testing::Values(
        ErrorCase { "Transaction_Description = \"x\"", true, "Invalid filter expression character: '\"'" },
        ErrorCase {
            "Transaction_Description = 'x' /* open", true, "Invalid filter expression character: '/'" },
        ErrorCase { "Transaction_Description = 'x", true, "Unterminated string constant" },
        ErrorCase { "[Transaction_Description = 'x'", true, "Unterminated field name" },
        ErrorCase { "Transaction_Description IS EMPTY", true, "Invalid use of keyword" },
        ErrorCase { "Transaction_Number = 1 2", true, "Filter expression incorrectly terminated" },
        ErrorCase { "Transaction_Number IN 1", true, "'(' expected but '1' found" },
        ErrorCase { "(Transaction_Number = 1", true, "')' expected but nothing found" },
        ErrorCase { "Transaction_Number IN (1 2)", true, "')' or ',' expected but '2' found" },
        ErrorCase { "Transaction_Number = ", true, "Expression expected but nothing found" },
        ErrorCase { "Transaction_Number = >", true, "Expression expected but '>' found" },
        ErrorCase { "Transaction_Number IN ()", true, "IN predicate list may not be empty" },
        ErrorCase { "Transaction_Amount - 10 > 0", false, "Arithmetic in filter expressions not supported" },
        ErrorCase { "Transaction_Amount", true, "Incorrectly formed filter expression" },
        ErrorCase { "abc", true, "Field 'abc' not found" },
        ErrorCase { "Transaction_Description = Transaction_Amount", true, "Type mismatch in expression" },
        ErrorCase { "UPPER() = 'A'", true, "Type mismatch in expression" },
        ErrorCase { "SUM(Transaction_Amount) > 1", true,
            "Operation cannot mix aggregate value with record-varying value" },
        ErrorCase { "COUNT(*) > 1", true, "Aggregate expressions not allowed in filters" },
        ErrorCase { "Transaction_Amount > NULL", true, "NULL only allowed with '=' and '<>'" },
        ErrorCase { "Transaction_Amount >= '100.5'", true, "'100.5' is not a valid floating point value" },
        ErrorCase { "Transaction_Date = '31/02/2024'", true, "'31/02/2024' is not a valid date and time" },
        ErrorCase { "Transaction_Number = '1,5'", true, "'1,5' is not a valid integer value" },
        ErrorCase { "Transaction_Number = '99999999999'", true, "Constant out of range" },
        ErrorCase { "Account_Type = 'Compte d'or 2'", true, "Field 'Account_Type' not found" },
        ErrorCase { "Transaction_Description = 'Compte d'or 2'", true, "Unterminated string constant" }));

TEST_F(FilterTable, ABadFilterText_LeavesTheOldFilterInForce)
{
    EXPECT_EQ(applied("Transaction_Amount >= '100'", 0), "1,4,7,10");
    table->First();
    table->Next();
    table->Next();
    EXPECT_EQ(messageOf([&] { table->setFilter("Transaction_Date = '31/02/2024'"); }),
        "'31/02/2024' is not a valid date and time");
    EXPECT_EQ(table->FieldNamed("Transaction_Number")->AsInteger(), 7);
    EXPECT_EQ(table->ViewRowCount(), 4);
    EXPECT_EQ(messageOf([&] { table->setFilter("Transaction_Date = '31/02/2024'"); }),
        "'31/02/2024' is not a valid date and time");
    EXPECT_TRUE(table->Filtered());
    EXPECT_EQ(table->Filter(), "Transaction_Amount >= '100'");
    EXPECT_EQ(rows(), "1,4,7,10");
}

TEST_F(FilterTable, ABadFilter_LeavesFilteredOff)
{
    table->setFilter("Transaction_Date = '31/02/2024'");
    EXPECT_FALSE(messageOf([&] { table->setFiltered(true); }).isEmpty());
    EXPECT_FALSE(table->Filtered());
    EXPECT_EQ(rows(), "1,2,3,4,5,6,7,8,9,10,11,12");
}

TEST_F(FilterTable, OnFilterRecord_WorksBesideTheExpression)
{
    table->OnFilterRecord
        = [](TDataSet &t, bool &accept) { accept = t.FieldNamed("Transaction_Number")->AsInteger() != 7; };
    EXPECT_EQ(applied("Transaction_Amount >= '100'", 0), "1,4,10");
}

TEST_F(FilterTable, ARowThatFailsTheFilter_IsStoredButNotShown)
{
    applied("Transaction_Amount >= '100'", 0);
    table->AppendRow();
    table->FieldNamed("Transaction_Amount")->setAsNumber(5);
    table->Post();
    EXPECT_EQ(rows(), "1,4,7,10");
    table->setFiltered(false);
    EXPECT_EQ(table->ViewRowCount(), 13);
}

TEST_F(FilterTable, ATextConstantLongerThanTheField_NeverEqualsIt)
{
    const QString hundred(100, u'x');
    table->Last();
    table->Edit();
    table->FieldNamed("Transaction_Description")->setAsString(hundred);
    table->Post();
    EXPECT_EQ(applied("Transaction_Description = '" + hundred + "'", 0), "12");
    EXPECT_EQ(applied("Transaction_Description = '" + hundred + "x'", 0), "");
}

TEST_F(FilterTable, HostileTexts_AreRefusedWithAMessage)
{
    const QStringList texts = {
        QString(100000, u'('),
        QStringLiteral("Transaction_Number = ") + QString(5000, u'(') + QStringLiteral("1")
            + QString(5000, u')'),
        QStringLiteral("Transaction_Number") + QStringLiteral(" + 1").repeated(5000) + QStringLiteral(" > 0"),
        QStringLiteral("'") + QString(100000, u'a'),
        QString(QChar(0xFFFF)) + QStringLiteral("\x01\x7F"),
        QStringLiteral("UPPER(UPPER(").repeated(3000),
    };
    for (const QString &text : texts)
        EXPECT_FALSE(messageOf([&] { TExprParser::parse(*table, text, 0, true); }).isEmpty())
            << text.left(40).toStdString();
}

TEST_F(FilterTable, ALongFlatOrChain_IsAccepted)
{
    const QString chain = QStringLiteral("Transaction_Number = 1")
        + QStringLiteral(" OR Transaction_Number = 9").repeated(20000);
    EXPECT_EQ(applied(chain, 0), "1,9");
}

TEST_F(FilterTable, ABacktrackingLikePattern_FinishesPromptly)
{
    const QString text(100, u'a');
    table->First();
    table->Edit();
    table->FieldNamed("Transaction_Description")->setAsString(text);
    table->Post();
    const auto expr
        = TExprParser::parse(*table, "Transaction_Description LIKE '%a%a%a%a%a%a%a%a%a%a%b'", 0, true);
    QByteArray record(table->store()->layout().recordSize(), '\0');
    table->cursor()->readRow(1, record.data());
    int passed = 0;
    for (int i = 0; i < 20000; ++i)
        passed += expr->evaluate(record.constData()) ? 1 : 0;
    EXPECT_EQ(passed, 0);
}

struct FindCase
{
    QVariant value;
    int options;
    const char *text;
};

TEST_F(FilterTable, FindRowTexts_QuoteAndTypeTheirValues)
{
    EXPECT_EQ(findRowFilterText(*table, "Transaction_Description", { QStringLiteral("Compte d'or 2") }, 0),
        "[Transaction_Description]='Compte d''or 2'");
    EXPECT_EQ(findRowFilterText(*table, "Transaction_Description", { QStringLiteral("x' or 'a'='a") }, 0),
        "[Transaction_Description]='x'' or ''a''=''a'");
    EXPECT_EQ(findRowFilterText(*table, "Transaction_Description;Transaction_Number",
                  { QStringLiteral("dup"), QStringLiteral(" 7") }, loPartialKey),
        "[Transaction_Description]='dup' and [Transaction_Number]=7");
    EXPECT_EQ(findRowFilterText(*table, "Transaction_Amount", { QStringLiteral("25,5") }, 0),
        "[Transaction_Amount]=25,5");
    EXPECT_EQ(findRowFilterText(*table, "Transaction_Description", { QVariant() }, 0),
        "[Transaction_Description] IS NULL");
    EXPECT_EQ(messageOf([&] {
        findRowFilterText(*table, "Transaction_Number", { QStringLiteral("1 or 1=1") }, 0);
    }),
        "'1 or 1=1' is not a valid integer value");
    EXPECT_EQ(messageOf([&] { findRowFilterText(*table, "Nope", { 1 }, 0); }), "Field 'Nope' not found");

    const QString quoted
        = findRowFilterText(*table, "Transaction_Description", { QStringLiteral("l'eau") }, 0);
    const auto expr = TExprParser::parse(*table, quoted, foNoPartialCompare, false);
    QByteArray record(table->store()->layout().recordSize(), '\0');
    table->cursor()->readRow(10, record.data());
    EXPECT_TRUE(expr->evaluate(record.constData()));
    table->cursor()->readRow(3, record.data());
    EXPECT_FALSE(expr->evaluate(record.constData()));
}

} // namespace

struct FindRowCase
{
    const char *name;
    int options;
    int found; // Account_Number, 0: not found
};

class FindRowAccounts : public ::testing::TestWithParam<FindRowCase>
{
};

TEST_P(FindRowAccounts, FindsTheFirstMatchInViewOrder)
{
    QTemporaryDir dir;
    auto table = createAccounts(dir.filePath(QStringLiteral("Account.dat")));
    for (const char *name : { "Caisse", "Banque", "Compte d'or 2", "Banque", "banque", "x' or 'a'='a" })
        addAccount(*table, QString::fromUtf8(name));
    table->First();
    int scrolls = 0;
    table->AfterScroll = [&](TDataSet &) { ++scrolls; };
    const FindRowCase &c = GetParam();
    const bool found = table->FindRow("Account_Type", { QString::fromUtf8(c.name) }, c.options);
    EXPECT_EQ(found, c.found != 0) << c.name;
    EXPECT_EQ(table->FieldNamed("Account_Number")->AsInteger(), c.found != 0 ? c.found : 1) << c.name;
    EXPECT_EQ(scrolls, c.found != 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Names, FindRowAccounts,
    ::testing::Values(FindRowCase { "Banque", 0, 2 }, FindRowCase { "banque", 0, 5 },
        FindRowCase { "BANQUE", 0, 0 }, FindRowCase { "BANQUE", loCaseInsensitive, 2 },
        FindRowCase { "Compte d'or 2", 0, 3 }, FindRowCase { "Compte", 0, 0 },
        FindRowCase { "Compte", loPartialKey, 3 }, FindRowCase { "x' or 'a'='a", 0, 6 },
        FindRowCase { "Ban*", 0, 0 }));
