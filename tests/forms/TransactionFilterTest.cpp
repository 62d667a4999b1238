#include "LedgerTestData.h"

#include "forms/TransactionFilter.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// ---- the filter text ----

struct TextCase
{
    const char *name;
    int field;
    int op;
    const char *value;
    const char *text;
    int options; // -1: left as they are
};

class FilterText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(FilterText, FollowsTheSelectedItems)
{
    const TextCase &c = GetParam();
    const auto expression = BuildFilterExpression(c.field, c.op, QString::fromUtf8(c.value));
    EXPECT_EQ(expression.text, QString::fromUtf8(c.text));
    if (c.options < 0)
        EXPECT_FALSE(expression.options.has_value());
    else
        EXPECT_EQ(expression.options, std::optional<TFilterOptions>(c.options));
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterText,
    ::testing::Values(TextCase { "DesignationNoOperator", 0, -1, "dupont",
                          "Transaction_Description = 'dupont*'", foCaseInsensitive },
        TextCase {
            "DesignationPrefix", 0, 5, "dupont", "Transaction_Description = 'dupont*'", foCaseInsensitive },
        TextCase {
            "DesignationEqual", 0, 0, "dupont", "Transaction_Description = 'dupont'", foCaseInsensitive },
        TextCase { "DesignationGreater", 0, 1, "m", "Transaction_Description > 'm'", 0 },
        TextCase { "DesignationLessOrEqual", 0, 4, "m", "Transaction_Description <= 'm'", 0 },
        TextCase { "DateNoOperator", 1, -1, "15/03/2026", "Transaction_Date = '15/03/2026'", -1 },
        TextCase { "DatePrefix", 1, 5, "15/03/2026", "Transaction_Date = '15/03/2026'", -1 },
        TextCase { "DateEqual", 1, 0, "15/03/2026", "Transaction_Date = '15/03/2026'", 0 },
        TextCase { "DateLess", 1, 2, "15/03/2026", "Transaction_Date < '15/03/2026'", 0 },
        TextCase { "AmountNoOperator", 2, -1, "25", "Transaction_Amount = '25'", -1 },
        TextCase { "AmountEqual", 2, 0, "25", "Transaction_Amount = '25'", 0 },
        TextCase { "AmountGreaterOrEqual", 2, 3, "100", "Transaction_Amount >= '100'", 0 },
        TextCase { "QuoteDoubled", 0, 0, "l'eau", "Transaction_Description = 'l''eau'", foCaseInsensitive },
        TextCase { "QuotesInPrefix", 0, -1, "'a'", "Transaction_Description = '''a''*'", foCaseInsensitive },
        TextCase { "OperatorPastTheItems", 2, 9, "1", "Transaction_Amount = '1'", -1 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FilterText, MapsFieldItemsToFieldsByPosition)
{
    EXPECT_EQ(TransactionFilter::fieldItems(),
        (QStringList { QStringLiteral("Désignation de la transaction"),
            QStringLiteral("Date de la transaction"), QStringLiteral("Montant de la transaction") }));
    EXPECT_EQ(TransactionFilter::operatorItems().join(QLatin1Char(' ')), QStringLiteral("= > < >= <= =*"));
    EXPECT_EQ(TransactionFilter::fieldName(2), QStringLiteral("Transaction_Amount"));
    EXPECT_TRUE(TransactionFilter::fieldName(-1).isEmpty());
}

// ---- the filter in force on the transaction list ----

const TDateTime kMarch14 = DateTime::encodeDate(2026, 3, 14);
const TDateTime kMarch15 = DateTime::encodeDate(2026, 3, 15);

class FilteredList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        account = ledger.addAccount(QStringLiteral("Courant"), 0);
        const int other = ledger.addAccount(QStringLiteral("Livret"), 0);
        ledger.addTransaction(account, QStringLiteral("Dupont salaire"), 25, kMarch14);
        ledger.addTransaction(account, QStringLiteral("dupont loyer"), -25, kMarch14);
        ledger.addTransaction(account, QStringLiteral("Martin"), 100, kMarch15);
        ledger.addTransaction(account, QStringLiteral("l'eau"), -10, kMarch15);
        ledger.addTransaction(account, QStringLiteral("DUP"), 5, kMarch15);
        ledger.addTransaction(other, QStringLiteral("Dupont ailleurs"), 25, kMarch15);
        ledger.locate(account);
    }

    // Puts the filter in force as the window does and lists the designations it shows.
    QStringList shown(int field, int op, const QString &value)
    {
        TMemTable &transactions = *ledger.data().tblTransaction;
        const auto expression = BuildFilterExpression(field, op, value);
        if (expression.options)
            transactions.setFilterOptions(*expression.options);
        transactions.setFilter(expression.text);
        transactions.setFiltered(true);
        QStringList result;
        for (transactions.First(); !transactions.AtEnd(); transactions.Next())
            result << ledger.data().tblTransactionTransaction_Description->AsString();
        return result;
    }

    LedgerTestData ledger;
    int account = 0;
};

TEST_F(FilteredList, DesignationPrefixIgnoresCase)
{
    EXPECT_EQ(shown(0, -1, QStringLiteral("dup")),
        (QStringList {
            QStringLiteral("Dupont salaire"), QStringLiteral("dupont loyer"), QStringLiteral("DUP") }));
}

TEST_F(FilteredList, DesignationEqualIgnoresCase)
{
    EXPECT_EQ(shown(0, 0, QStringLiteral("dup")), QStringList { QStringLiteral("DUP") });
}

TEST_F(FilteredList, AmountEqualTellsIncomeFromExpense)
{
    EXPECT_EQ(shown(2, 0, QStringLiteral("25")), QStringList { QStringLiteral("Dupont salaire") });
    EXPECT_EQ(shown(2, 3, QStringLiteral("25")),
        (QStringList { QStringLiteral("Dupont salaire"), QStringLiteral("Martin") }));
}

TEST_F(FilteredList, DateInTheRegionalFormatShowsThatDay)
{
    EXPECT_EQ(shown(1, -1, QStringLiteral("15/03/2026")),
        (QStringList { QStringLiteral("Martin"), QStringLiteral("l'eau"), QStringLiteral("DUP") }));
}

TEST_F(FilteredList, QuoteInTheValueMatchesTheText)
{
    EXPECT_EQ(shown(0, 0, QStringLiteral("l'eau")), QStringList { QStringLiteral("l'eau") });
}

TEST_F(FilteredList, StaysWithinTheCurrentAccount)
{
    shown(0, -1, QStringLiteral("dupont"));
    const int other = account + 1;
    ledger.locate(other);
    EXPECT_EQ(ledger.data().tblTransaction->ViewRowCount(), 1);
    EXPECT_EQ(
        ledger.data().tblTransactionTransaction_Description->AsString(), QStringLiteral("Dupont ailleurs"));
}

struct ErrorCase
{
    const char *name;
    int field;
    int op;
    const char *value;
    const char *message;
};

class FilterError : public FilteredList, public ::testing::WithParamInterface<ErrorCase>
{
};

TEST_P(FilterError, ShowsTheTablesMessage)
{
    const ErrorCase &c = GetParam();
    try {
        shown(c.field, c.op, QString::fromUtf8(c.value));
        FAIL() << "accepted";
    } catch (const Exception &error) {
        EXPECT_EQ(error.message().toStdString(), std::string(c.message));
    }
}

INSTANTIATE_TEST_SUITE_P(Values, FilterError,
    ::testing::Values(
        ErrorCase { "DateNotADate", 1, -1, "32/13/2026", "'32/13/2026' is not a valid date and time" },
        ErrorCase { "AmountNotANumber", 2, 3, "cent", "'cent' is not a valid floating point value" },
        ErrorCase { "AmountInfinite", 2, 0, "1E400", "'1E400' is not a valid floating point value" }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace

// ---- the filter bar of the account detail window ----

#include "DetailWindowFixture.h"
#include "widgets/GradButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class FilterBarTest : public DetailWindowFixture
{
protected:
    void SetUp() override
    {
        DetailWindowFixture::SetUp();
        account = ledger.addAccount(QStringLiteral("Courant"), 0);
        ledger.addTransaction(account, QStringLiteral("Dupont"), 25, kMarch14);
        ledger.addTransaction(account, QStringLiteral("Martin"), -25, kMarch15);
        ledger.locate(account);
    }

    void choose(int field, int op, const QString &value)
    {
        detail->cmbField->setCurrentIndex(field);
        detail->cmbOperator->setCurrentIndex(op);
        detail->edtFilter->setText(value);
    }

    int shownRows() const { return ledger.module->tblTransaction->ViewRowCount(); }

    int account = 0;
};

TEST_F(FilterBarTest, SwitchesOnAndOff)
{
    choose(0, -1, QStringLiteral("dup"));
    detail->btnFilterClick();
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre OFF"));
    EXPECT_EQ(shownRows(), 1);
    EXPECT_TRUE(ledger.data().tblTransaction->Filtered());

    detail->btnFilterClick();
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre ON"));
    EXPECT_TRUE(detail->edtFilter->text().isEmpty());
    EXPECT_FALSE(ledger.data().tblTransaction->Filtered());
    EXPECT_TRUE(ledger.data().tblTransaction->Filter().isEmpty());
    EXPECT_EQ(shownRows(), 2);
}

TEST_F(FilterBarTest, RefusesAMissingField)
{
    choose(-1, 0, QStringLiteral("dup"));
    detail->btnFilterClick();
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information),
        QStringList { QStringLiteral("Champ pas trouvé.") });
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre ON"));
}

TEST_F(FilterBarTest, ATypedFieldTextSelectsNoField)
{
    choose(0, -1, QStringLiteral("dup"));
    detail->cmbField->setEditText(QStringLiteral("Désignation"));
    detail->btnFilterClick();
    EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information),
        QStringList { QStringLiteral("Champ pas trouvé.") });
    EXPECT_EQ(shownRows(), 2);
}

TEST_F(FilterBarTest, ATypedOperatorTextCountsAsNoOperator)
{
    choose(0, 0, QStringLiteral("dup"));
    detail->cmbOperator->setEditText(QStringLiteral(">"));
    detail->btnFilterClick();
    EXPECT_EQ(ledger.data().tblTransaction->Filter(), QStringLiteral("Transaction_Description = 'dup*'"));
    EXPECT_EQ(shownRows(), 1);
}

TEST_F(FilterBarTest, AnEmptyValueChangesNothing)
{
    choose(0, 0, QString());
    detail->btnFilterClick();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre ON"));
    EXPECT_FALSE(ledger.data().tblTransaction->Filtered());
}

struct BarErrorCase
{
    const char *name;
    int field;
    int op;
    const char *value;
    const char *message;
};

class FilterBarError : public FilterBarTest, public ::testing::WithParamInterface<BarErrorCase>
{
};

// A refused filter shows the table's message and leaves the button offering to switch the filter on.
TEST_P(FilterBarError, KeepsTheCaption)
{
    const BarErrorCase &c = GetParam();
    choose(c.field, c.op, QString::fromUtf8(c.value));
    detail->btnFilterClick();
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors()[0].toStdString(), std::string(c.message));
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre ON"));
    EXPECT_FALSE(ledger.data().tblTransaction->Filtered());
    EXPECT_EQ(shownRows(), 2);
}

INSTANTIATE_TEST_SUITE_P(Values, FilterBarError,
    ::testing::Values(
        BarErrorCase { "Date", 1, -1, "32/13/2026", "'32/13/2026' is not a valid date and time" },
        BarErrorCase { "Amount", 2, 3, "cent", "'cent' is not a valid floating point value" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(FilterBarTest, EnterSwitchesTheFilter)
{
    choose(2, 0, QStringLiteral("25"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(detail->edtFilter, &enter);
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre OFF"));
    EXPECT_EQ(shownRows(), 1);
    QCoreApplication::sendEvent(detail->edtFilter, &enter);
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre ON"));
    EXPECT_EQ(shownRows(), 2);
}

TEST_F(FilterBarTest, CloseSwitchesTheFilterOffAndClearsTheBar)
{
    detail->setTransactionFilter(0, 0, QStringLiteral("martin"));
    ASSERT_EQ(shownRows(), 1);
    detail->btnCloseClick();
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre ON"));
    EXPECT_EQ(detail->cmbField->currentIndex(), -1);
    EXPECT_EQ(detail->cmbOperator->currentIndex(), -1);
    EXPECT_TRUE(detail->edtFilter->text().isEmpty());
    EXPECT_EQ(shownRows(), 2);
}

TEST_F(FilterBarTest, ClosingByTheTitleBarKeepsTheFilter)
{
    detail->setTransactionFilter(0, 0, QStringLiteral("martin"));
    detail->close();
    EXPECT_EQ(detail->btnFilter->text(), QStringLiteral("Filtre OFF"));
    EXPECT_EQ(shownRows(), 1);
}

} // namespace
