// The built-in functions, their argument checks and the registry.
#include "EvalTestSupport.h"

#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorFormat.h"
#include "report/expressions/EvaluatorLibrary.h"

using EvalTest::eval;

struct FunctionCase
{
    const char *expression;
    const char *expected;
};

void PrintTo(const FunctionCase &c, std::ostream *os)
{
    *os << c.expression;
}

class EvalFunction : public ::testing::TestWithParam<FunctionCase>
{
};

TEST_P(EvalFunction, GivesKindAndText)
{
    EXPECT_EQ(eval(QString::fromUtf8(GetParam().expression)), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Logic, EvalFunction,
    ::testing::Values(FunctionCase { "IF(TRUE, 1, 'x')", "integer: 1" },
        FunctionCase { "IF(FALSE, 1, 'x')", "string: x" }, FunctionCase { "IF(1 = 2, 1, 2)", "integer: 2" },
        FunctionCase { "IF(TRUE, 1, 1 / 0)", "integer: 1" },
        FunctionCase { "IF(TRUE, 1, 'abc)", "error: Missing '" },
        FunctionCase { "IF(1, 2, 3)", "error: Wrong arguments for IF" },
        FunctionCase { "IF(TRUE, 1)", "error: Wrong arguments for IF" },
        FunctionCase { "TRUE", "boolean: True" }, FunctionCase { "false", "boolean: False" },
        FunctionCase { "TRUE()", "boolean: True" }, FunctionCase { "TRUE(1)", "error: Too many arguments" },
        FunctionCase { "FALSE(1)", "error: Too many arguments" },
        FunctionCase { "TYPEOF(1)", "string: INTEGER" }, FunctionCase { "TYPEOF(1.5)", "string: FLOAT" },
        FunctionCase { "TYPEOF('a')", "string: STRING" }, FunctionCase { "TYPEOF(TRUE)", "string: BOOLEAN" },
        FunctionCase { "TYPEOF(1 / 0)", "string: ERROR" },
        FunctionCase { "TYPEOF(1, 2)", "error: Wrong arguments for TypeOf" }));

INSTANTIATE_TEST_SUITE_P(Text, EvalFunction,
    ::testing::Values(FunctionCase { "STR(12)", "string: 12" }, FunctionCase { "STR(2.5)", "string: 2,5" },
        FunctionCase { "STR(1 = 1)", "string: True" }, FunctionCase { "STR('a')", "error: Conversion error" },
        FunctionCase { "STR(1, 2)", "error: Conversion error" },
        FunctionCase { "UPPER('été')", "string: ÉTÉ" }, FunctionCase { "LOWER('ABC')", "string: abc" },
        FunctionCase { "PRETTY('jEAN dUPONT')", "string: Jean dupont" },
        FunctionCase { "PRETTY('')", "string: " },
        FunctionCase { "UPPER(1 / 0)", "error: Cannot divide by 0" }, FunctionCase { "UPPER(5)", "error: " },
        FunctionCase { "UPPER()", "error: Missing argument for UPPER" },
        FunctionCase { "LOWER('a', 'b')", "error: Missing argument for LOWER" },
        FunctionCase { "PRETTY()", "error: Missing argument for PRETTY" },
        FunctionCase { "COPY('abcdef', 2, 3)", "string: bcd" },
        FunctionCase { "COPY('abcdef', 0, 2)", "string: ab" },
        FunctionCase { "COPY('abcdef',-5, 2)", "string: ab" },
        FunctionCase { "COPY('abcdef', 5, 10)", "string: ef" },
        FunctionCase { "COPY('abcdef', 9, 2)", "string: " },
        FunctionCase { "COPY('abcdef', 2,-1)", "string: " },
        FunctionCase { "COPY('abcdef', 2147483647, 2147483647)", "string: " },
        FunctionCase { "COPY('abc', 1)", "error: " }, FunctionCase { "COPY(5, 1, 1)", "error: " },
        FunctionCase { "TIME(1)", "error: " }, FunctionCase { "DATE(1)", "error: " },
        FunctionCase { "FORMATNUMERIC('0.00', 1234.5)", "string: 1234,50" },
        FunctionCase { "FORMATNUMERIC('#,##0.00', 1234567.891)", "string: 1\u202f234\u202f567,89" },
        FunctionCase { "FORMATNUMERIC(1, 2)", "error: " },
        FunctionCase { "FORMATNUMERIC('0', 'a')", "error: " },
        FunctionCase { "FORMATNUMERIC('0', 1e308 * 10)", "error: Invalid format or value specified" }));

INSTANTIATE_TEST_SUITE_P(Mathematics, EvalFunction,
    ::testing::Values(FunctionCase { "INT(-2.7)", "integer: -2" }, FunctionCase { "INT(2.7)", "integer: 2" },
        FunctionCase { "INT(5)", "integer: 5" },
        FunctionCase { "INT('5')", "error: Wrong arguments for INT" },
        FunctionCase { "INT(3e9)", "error: Wrong arguments for INT" },
        FunctionCase { "INT(1e308 * 10)", "error: Wrong arguments for INT" },
        FunctionCase { "FRAC(-2.5)", "float: -0,5" }, FunctionCase { "FRAC(3)", "float: 0" },
        FunctionCase { "FRAC('a')", "error: " }, FunctionCase { "SQRT(16)", "float: 4" },
        FunctionCase { "SQRT(2.25)", "float: 1,5" },
        FunctionCase { "SQRT(-1)", "error: Invalid argument to SQRT function" },
        FunctionCase { "SQRT('a')", "error: Invalid argument to SQRT function" },
        FunctionCase { "SQRT()", "error: Invalid argument to SQRT function" },
        FunctionCase { "DIV(7, 2)", "integer: 3" }, FunctionCase { "DIV(-7, 2)", "integer: -3" },
        FunctionCase { "DIV(7.5, 2)", "integer: 4" }, FunctionCase { "DIV(6.5, 1)", "integer: 6" },
        FunctionCase { "DIV(7, 0)", "error: Division by Zero" },
        FunctionCase { "DIV(7, 0.4)", "error: Division by Zero" },
        FunctionCase { "DIV(-2147483647 - 1,-1)", "error: Wrong arguments for DIV" },
        FunctionCase { "DIV(3e9, 2)", "error: Wrong arguments for DIV" },
        FunctionCase { "DIV('7', 2)", "error: Wrong arguments for DIV" },
        FunctionCase { "DIV(7)", "error: Wrong arguments for DIV" }));

INSTANTIATE_TEST_SUITE_P(AggregatesOutsideAPass, EvalFunction,
    ::testing::Values(FunctionCase { "SUM(5)", "integer: 0" }, FunctionCase { "COUNT", "integer: 0" },
        FunctionCase { "COUNT(1)", "error: COUNT - Too many arguments" },
        FunctionCase { "MAX(5)", "integer: 0" }, FunctionCase { "AVERAGE(5)", "integer: 0" }));

TEST(EvalFunctions, TimeAndDateGiveTheRegionalTexts)
{
    const QString date = eval(QStringLiteral("DATE"));
    EXPECT_EQ(date, QStringLiteral("string: ") + RegionalSettings::current().dateToStr(DateTime::today()));
    EXPECT_TRUE(eval(QStringLiteral("TIME")).startsWith(QStringLiteral("string: ")));
    EXPECT_EQ(eval(QStringLiteral("TYPEOF(TIME())")), QStringLiteral("string: STRING"));
}

// A field named like a function is reached through brackets or its table's name.
TEST(EvalFunctions, BareWordPrefersTheFunctionOverAField)
{
    EvalTest::FakeTable table(QStringLiteral("tblDates"),
        { { QStringLiteral("DATE"), RpFieldKind::String, { QStringLiteral("field") } } });
    TRpEvDataSetList dataSets { &table };
    EXPECT_EQ(EvalTest::eval(QStringLiteral("[DATE]"), nullptr, &dataSets), QStringLiteral("string: field"));
    EXPECT_EQ(
        EvalTest::eval(QStringLiteral("tblDates.DATE"), nullptr, &dataSets), QStringLiteral("string: field"));
    EXPECT_NE(EvalTest::eval(QStringLiteral("DATE"), nullptr, &dataSets), QStringLiteral("string: field"));
}

TEST(EvalLibrary, BuiltInsAreRegisteredInOrderWithTheirTexts)
{
    const TRpFunctionLibrary &library = TRpFunctionLibrary::Global();
    const QStringList expected
        = { "IF", "STR", "UPPER", "LOWER", "PRETTY", "TIME", "DATE", "COPY", "SUM", "COUNT", "MAX", "MIN",
              "AVERAGE", "TRUE", "FALSE", "INT", "FRAC", "SQRT", "DIV", "TYPEOF", "FORMATNUMERIC" };
    ASSERT_GE(library.Count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(library.Entry(i).Name, expected[i]);
    const TRpLibraryEntry *div = library.Find(QStringLiteral("div"));
    ASSERT_NE(div, nullptr);
    EXPECT_EQ(div->Description, QStringLiteral("DIV(<X>, <Y>) | Integer division of <X> by <Y>"));
    EXPECT_EQ(div->Codes, QStringLiteral("2NN"));
    EXPECT_EQ(div->Category(), 2);
    const TRpLibraryEntry *sum = library.Find(QStringLiteral("Sum"));
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->Syntax(), QStringLiteral("SUM(<X>)"));
    EXPECT_EQ(sum->Explanation(), QStringLiteral("Sums the numeric <X>"));
}

namespace {
class TwiceFunction : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        value = ArgumentCount() == 1 && Argument(0).Kind() == evInteger
            ? TRpEvValue::Integer(2 * Argument(0).AsInteger())
            : TRpEvValue::Error(QString());
    }
};
class ThriceFunction : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        value = TRpEvValue::Integer(3 * Argument(0).AsInteger());
    }
};
} // namespace

TEST(EvalLibrary, FunctionsRegisteredLaterAreCalledAndReplacedByName)
{
    TRpFunctionLibrary &library = TRpFunctionLibrary::Global();
    library.RegisterFunction(rpEvElementClass<TwiceFunction>(), QStringLiteral("Twice"),
        QStringLiteral("TWICE(<X>)|Doubles <X>"), QStringLiteral("7N"), QStringLiteral("test"));
    EXPECT_EQ(eval(QStringLiteral("twice(21)")), QStringLiteral("integer: 42"));
    library.RegisterFunction(rpEvElementClass<ThriceFunction>(), QStringLiteral("TWICE"),
        QStringLiteral("other"), QStringLiteral("2"), QStringLiteral("test"));
    EXPECT_EQ(eval(QStringLiteral("TWICE(2)")), QStringLiteral("integer: 6"));
    EXPECT_EQ(library.Find(QStringLiteral("TWICE"))->Description, QStringLiteral("TWICE(<X>)|Doubles <X>"));
    library.UnregisterFunction(QStringLiteral("twice"));
    EXPECT_EQ(eval(QStringLiteral("TWICE(2)")), QStringLiteral("error: Unknown function : TWICE"));
    EXPECT_EQ(library.LookupFunction(QStringLiteral("TWICE"))->ElementRole(), TRpEvElement::Role::Value);
}

struct MaskCase
{
    const char *mask;
    double value;
    const char *expected;
};

void PrintTo(const MaskCase &c, std::ostream *os)
{
    *os << c.mask << " " << c.value;
}

class EvalNumberMask : public ::testing::TestWithParam<MaskCase>
{
};

TEST_P(EvalNumberMask, FormatsLikeTheMaskSays)
{
    QString text;
    ASSERT_TRUE(tryFormatNumberMask(QString::fromUtf8(GetParam().mask), GetParam().value, text));
    EXPECT_EQ(text, QString::fromUtf8(GetParam().expected));
}

// French settings: "," decimals and a narrow no-break space between thousands.
INSTANTIATE_TEST_SUITE_P(Masks, EvalNumberMask,
    ::testing::Values(MaskCase { "0.00", 1234.5, "1234,50" }, MaskCase { "0.00", -1234.5, "-1234,50" },
        MaskCase { "#.##", 0.5, ",5" }, MaskCase { "0.##", 2.0, "2" }, MaskCase { "0.0#", 2.125, "2,13" },
        MaskCase { "000", 7, "007" }, MaskCase { "#", 0, "" },
        MaskCase { "#,##0", 1234567, "1\u202f234\u202f567" }, MaskCase { "0", 2.5, "3" },
        MaskCase { "0.00;(0.00)", -3.5, "(3,50)" }, MaskCase { "0.00;;'zero'", 0, "zero" },
        MaskCase { "0.00;;", 0, "0,00" }, MaskCase { "'Total: '0.00 \"EUR\"", 5, "Total: 5,00 EUR" },
        MaskCase { "0.00E+00", 12345, "1,23E+04" }, MaskCase { "0.00E-00", 0.000123, "1,23E-04" },
        MaskCase { "0.0e-0", 99.96, "1,0e2" }, MaskCase { "000-000", 123456, "123-456" },
        MaskCase { "", 2.5, "2,5" }, MaskCase { "0", -0.2, "0" }));

TEST(EvalNumberMaskFailure, NonFiniteValuesDoNotFormat)
{
    QString text;
    EXPECT_FALSE(tryFormatNumberMask(QStringLiteral("0.00"), std::numeric_limits<double>::infinity(), text));
    EXPECT_FALSE(tryFormatNumberMask(QStringLiteral("0.00"), std::nan(""), text));
}
