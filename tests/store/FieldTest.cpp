#include "MemTableTestSupport.h"

#include "platform/RegionalSettings.h"

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>

using namespace MemTableTestSupport;

namespace {

// A transaction table in memory with one pending new row.
class FieldFixture
{
public:
    FieldFixture()
    {
        table = makeTable("tblTransaction", FinanceTables::transactionDefs(), QString());
        table->CreateEmpty();
        table->setKeepChangeLog(false);
        table->AppendRow();
    }
    TField &field(const char *name) { return *table->FieldNamed(name); }
    std::unique_ptr<TMemTable> table;
};

// ---- texts written into fields ----

struct TextCase
{
    const char *field;
    const char *text;
    const char *stored; // AsString afterwards (when accepted)
    const char *message; // the refusal, "" when accepted
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << c.field << " <- \"" << c.text << '"';
}

class FieldTextTest : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(FieldTextTest, ConvertsOrRefusesWithTheFieldsMessage)
{
    FieldFixture f;
    const TextCase &c = GetParam();
    TField &field = f.field(c.field);
    field.setAsNumber(1);
    const QString before = field.AsString();
    const QString message = messageOf([&] { field.setAsString(QString::fromUtf8(c.text)); });
    EXPECT_EQ(message, QString::fromUtf8(c.message));
    if (message.isEmpty())
        EXPECT_EQ(field.AsString(), QString::fromUtf8(c.stored));
    else
        EXPECT_EQ(field.AsString(), before) << "a refused value leaves the field as it was";
}

INSTANTIATE_TEST_SUITE_P(Cases, FieldTextTest,
    ::testing::Values(TextCase { "Transaction_Amount", "100,5", "100,5", "" },
        TextCase { "Transaction_Amount", "-2,25E2", "-225", "" },
        TextCase { "Transaction_Amount", "abc", "",
            "'abc' is not a valid floating point value for field 'Transaction_Amount'" },
        TextCase { "Transaction_Amount", "inf", "",
            "'inf' is not a valid floating point value for field 'Transaction_Amount'" },
        TextCase { "Transaction_Amount", "nan", "",
            "'nan' is not a valid floating point value for field 'Transaction_Amount'" },
        TextCase { "Transaction_Amount", "1E400", "",
            "'1E400' is not a valid floating point value for field 'Transaction_Amount'" },
        TextCase { "Transaction_Amount", "100.5", "",
            "'100.5' is not a valid floating point value for field 'Transaction_Amount'" },
        TextCase { "Transaction_Amount", "1\u202f000", "",
            "'1\u202f000' is not a valid floating point value for field 'Transaction_Amount'" },
        TextCase { "Account_Number", "42", "42", "" },
        TextCase { "Account_Number", "-2147483648", "-2147483648", "" },
        TextCase {
            "Account_Number", "4x", "", "'4x' is not a valid integer value for field 'Account_Number'" },
        TextCase {
            "Account_Number", "1,5", "", "'1,5' is not a valid integer value for field 'Account_Number'" },
        TextCase { "Account_Number", "2147483648", "",
            "2147483648 is not a valid value for field 'Account_Number'. The allowed range is -2147483648 to "
            "2147483647" },
        TextCase { "Account_Number", "99999999999999999999999", "",
            "1E23 is not a valid value for field 'Account_Number'. The allowed range is -2147483648 to "
            "2147483647" },
        TextCase { "Transaction_Date", "01/01/2024", "01/01/2024", "" },
        TextCase { "Transaction_Date", "31/12/2023 13:05:09", "31/12/2023 13:05:09", "" },
        TextCase { "Transaction_Date", "32/01/2024", "", "'32/01/2024' is not a valid date and time" },
        TextCase { "Transaction_Description", "Loyer  ", "Loyer", "" },
        TextCase { "Transaction_Description", "Café 5 €", "Café 5 €", "" },
        TextCase { "Transaction_Description", "Łódź", "",
            "Field 'Transaction_Description' cannot hold the character U+0141 ('Ł'): table files keep text "
            "in "
            "Windows-1252" }),
    [](const auto &info) { return "Case" + std::to_string(info.index); });

TEST(FieldTest, EmptyText_MakesNumbersAndDatesNull_ButTextEmptyAndNotNull)
{
    FieldFixture f;
    for (const char *name : { "Transaction_Amount", "Account_Number", "Transaction_Date" }) {
        f.field(name).setAsNumber(1);
        f.field(name).setAsString("");
        EXPECT_TRUE(f.field(name).IsNullValue()) << name;
    }
    f.field("Transaction_Description").setAsString("   ");
    EXPECT_FALSE(f.field("Transaction_Description").IsNullValue());
    EXPECT_EQ(f.field("Transaction_Description").AsString(), "");
}

TEST(FieldTest, Text_IsCutAtTheFieldSize_AndKeepsBlanksOnlyWhenTrimIsOff)
{
    FieldFixture f;
    TField &text = f.field("Transaction_Description");
    text.setAsString(QString(150, QLatin1Char('x')));
    EXPECT_EQ(text.AsString(), QString(100, QLatin1Char('x')));
    f.table->setDisableStringTrim(true);
    text.setAsString("a  ");
    EXPECT_EQ(text.AsString(), "a  ");
    f.table->Post();
    EXPECT_EQ(text.AsString(), "a  ");
}

TEST(FieldTest, APersistentTextFieldWiderThanItsColumn_IsCutAtTheColumnWidth)
{
    QTemporaryDir dir;
    {
        auto accounts = createAccounts(dir.filePath("Account.dat"));
        addAccount(*accounts, "A");
    }
    TMemTable table;
    table.setFileName(dir.filePath("Account.dat"));
    TField *name = table.AddField(std::make_unique<TStringField>("Account_Type", 200));
    table.Open();
    table.Edit();
    name->setAsString(QString(120, QLatin1Char('y')));
    EXPECT_EQ(name->AsString(), QString(50, QLatin1Char('y')));
    table.Post();
    EXPECT_EQ(name->AsString(), QString(50, QLatin1Char('y')));
}

TEST(FieldTest, IntegerField_TreatsNotANumberAndOverflowAsOutOfRange)
{
    FieldFixture f;
    TField &number = f.field("Account_Number");
    const QString range
        = "is not a valid value for field 'Account_Number'. The allowed range is -2147483648 to "
          "2147483647";
    EXPECT_EQ(messageOf([&] { number.setAsNumber(std::nan("")); }), "NAN " + range);
    EXPECT_EQ(messageOf([&] { number.setAsNumber(3e9); }), "3000000000 " + range);
    number.setAsNumber(2.6);
    EXPECT_EQ(number.AsInteger(), 3);
}

TEST(FieldTest, CurrencyField_RefusesNonFiniteNumbers)
{
    FieldFixture f;
    TField &amount = f.field("Transaction_Amount");
    for (double value : { std::numeric_limits<double>::infinity(), std::nan("") })
        EXPECT_FALSE(messageOf([&] { amount.setAsNumber(value); }).isEmpty());
    EXPECT_TRUE(amount.IsNullValue());
}

TEST(FieldTest, DateTime_OutsideYears1To9999OrNotFinite_IsRefusedAtAssignment)
{
    FieldFixture f;
    TField &date = f.field("Transaction_Date");
    for (double value :
        { std::nan(""), std::numeric_limits<double>::infinity(), -693594.0, 2958466.0, 1e300 }) {
        EXPECT_EQ(messageOf([&] { date.setAsDateTime(value); }), "Invalid argument to date encode") << value;
        EXPECT_TRUE(date.IsNullValue());
    }
    date.setAsDateTime(DateTime::encodeDate(2024, 1, 1));
    double stamp = 0;
    std::memcpy(&stamp, Record::value(f.table->store()->layout(), f.table->activeBuffer(), 2), 8);
    EXPECT_EQ(qFromLittleEndian(stamp), 63839750400000.0);
}

TEST(FieldTest, AStoredStampOutOfRange_ReadsAsTheTimestampError)
{
    FieldFixture f;
    f.field("Transaction_Description").setAsString("x");
    f.table->Post();
    // A row whose stamp lies on day 0, as a damaged file could carry it.
    QByteArray record(f.table->store()->layout().recordSize(), '\0');
    f.table->cursor()->getRecord(record.data());
    const double stamp = qToLittleEndian(1000.0);
    Record::setValue(f.table->store()->layout(), record.data(), 2, reinterpret_cast<const char *>(&stamp), 8);
    f.table->cursor()->modifyRecord(record.data());
    f.table->First();
    EXPECT_EQ(
        messageOf([&] { f.field("Transaction_Date").AsDateTime(); }), "'0.1000' is not a valid timestamp");
    EXPECT_EQ(
        messageOf([&] { f.field("Transaction_Date").AsString(); }), "'0.1000' is not a valid timestamp");
}

TEST(FieldTest, CurrencyTexts_FollowTheRegionalSettings)
{
    FieldFixture f;
    TField &amount = f.field("Transaction_Amount");
    amount.setAsNumber(1234.5);
    EXPECT_EQ(amount.AsString(), "1234,5");
    EXPECT_EQ(amount.EditText(), "1234,50");
    EXPECT_EQ(amount.DisplayText(), RegionalSettings::current().formatCurrency(1234.5));
    EXPECT_TRUE(amount.DisplayText().contains(QStringLiteral("€")));
    amount.Clear();
    EXPECT_EQ(amount.DisplayText(), "");
    EXPECT_TRUE(amount.IsValidChar(','));
    EXPECT_FALSE(amount.IsValidChar('.'));
    EXPECT_FALSE(f.field("Account_Number").IsValidChar('e'));
}

TEST(FieldTest, ValuesOfTheNewRow_AreUnassignedAndReadAsNull)
{
    FieldFixture f;
    for (const auto &field : f.table->Fields()) {
        EXPECT_TRUE(field->IsNullValue()) << field->FieldName().toStdString();
        EXPECT_EQ(field->DisplayText(), "");
    }
    EXPECT_EQ(f.field("Transaction_Amount").AsNumber(), 0.0);
    EXPECT_EQ(f.field("Account_Number").AsInteger(), 0);
}

TEST(FieldTest, SettingAField_MarksTheRowChanged)
{
    FieldFixture f;
    EXPECT_FALSE(f.table->RowChanged());
    f.field("Transaction_Amount").setAsNumber(1);
    EXPECT_TRUE(f.table->RowChanged());
}

} // namespace
