// How expressions read: operator splitting, constants, factors and the error texts of compilation and of
// the operators.
#include "EvalTestSupport.h"

#include "platform/Exceptions.h"

using EvalTest::eval;

struct EvalCase
{
    const char *expression;
    const char *expected;
};

void PrintTo(const EvalCase &c, std::ostream *os)
{
    *os << c.expression;
}

class EvalReads : public ::testing::TestWithParam<EvalCase>
{
};

TEST_P(EvalReads, GivesKindAndText)
{
    EXPECT_EQ(eval(QString::fromUtf8(GetParam().expression)), QString::fromUtf8(GetParam().expected));
}

// Test regional settings are French: floats print with a decimal comma.
INSTANTIATE_TEST_SUITE_P(Arithmetic, EvalReads,
    ::testing::Values(EvalCase { "1 + 2 * 3", "integer: 7" }, EvalCase { "(1 + 2) * 3", "integer: 9" },
        EvalCase { "10 - 2 + 3", "integer: 11" }, EvalCase { "10 - 2 - 3", "integer: 5" },
        EvalCase { "12 / 3 * 2", "float: 8" }, EvalCase { "12 / 3 / 2", "float: 2" },
        EvalCase { "7 / 2", "float: 3,5" }, EvalCase { "-2 + 3", "integer: 1" },
        EvalCase { "-(2 + 3)", "integer: -5" }, EvalCase { "+4", "integer: 4" },
        EvalCase { "1.5 * 2", "float: 3" }, EvalCase { "1 + 0.5", "float: 1,5" },
        EvalCase { "1e3", "float: 1000" }, EvalCase { "6 or 1", "integer: 7" },
        EvalCase { "6 and 3", "integer: 2" }, EvalCase { "7 / 0", "error: Cannot divide by 0" },
        EvalCase { "7.5 / 0", "error: Cannot divide by 0" }));

INSTANTIATE_TEST_SUITE_P(MixedKinds, EvalReads,
    ::testing::Values(EvalCase { "'Page ' + 3", "string: Page 3" }, EvalCase { "3 + '4'", "string: 34" },
        EvalCase { "3 = '3'", "boolean: True" }, EvalCase { "'a' + 1.5", "string: a1,5" },
        EvalCase { "'x' + (1 = 1)", "string: xTrue" }, EvalCase { "'abc' < 'abd'", "boolean: True" },
        EvalCase { "'B' < 'a'", "boolean: True" }, EvalCase { "'a' = 'A'", "boolean: False" },
        EvalCase { "2 <> 2.5", "boolean: True" }, EvalCase { "2 >= 2", "boolean: True" },
        EvalCase { "3 <= 2", "boolean: False" }, EvalCase { "(1 = 1) = (2 = 2)", "boolean: True" },
        EvalCase { "(1 < 2) AND (3 < 4)", "boolean: True" },
        EvalCase { "(1 > 2) OR (3 < 4)", "boolean: True" }));

INSTANTIATE_TEST_SUITE_P(OperatorErrors, EvalReads,
    ::testing::Values(EvalCase { "'a' - 'b'", "error: Cannot subtract string expressions" },
        EvalCase { "'a' * 'b'", "error: Cannot multiply string expressions" },
        EvalCase { "'a' / 'b'", "error: Cannot divide string expressions" },
        EvalCase { "(1 = 1) + (1 = 1)", "error: Cannot add boolean expressions" },
        EvalCase { "(1 = 1) - (1 = 1)", "error: Cannot subtract boolean expressions" },
        EvalCase { "(1 = 1) < (1 = 1)", "error: Operator < is not compatible with boolean expressions" },
        EvalCase { "(1 = 1) >= (1 = 1)", "error: Operator >= is not compatible with boolean expressions" },
        EvalCase { "1.5 or 2.5", "error: Operator OR is not compatible with numeric expressions" },
        EvalCase { "'a' and 'b'", "error: Operator AND is not compatible with string expressions" },
        EvalCase { "(1 / 0) + (2 / 0.0 * 'x')", "error: Cannot divide by 0" },
        EvalCase { "NOT (1 = 1)", "boolean: False" }, EvalCase { "not(1 = 2)", "boolean: True" },
        EvalCase { "NOT 5", "error: Invalid use of NOT" }));

// The splitting rules decide how unusual texts read.
INSTANTIATE_TEST_SUITE_P(Splitting, EvalReads,
    ::testing::Values(EvalCase { "1 < 2 AND 3 < 4", "error: Illegal character in numeric contant \"3 < 4\"" },
        EvalCase { "'a+b' + 'c'", "string: a+bc" }, EvalCase { "'1 < 2'", "string: 1 < 2" },
        EvalCase { "'it''s'", "string: it''s" }, EvalCase { "''", "string: " },
        EvalCase { "10 - (2 + 3)", "integer: 5" }, EvalCase { "10 - 2 * 3 + 1", "integer: 5" },
        EvalCase { "2 * -3", "error: Error in expression : " },
        EvalCase { "1 + -2", "error: Error in expression : " }, EvalCase { "1 +-2", "integer: -1" },
        EvalCase { "NOT NOT (1 = 1)", "boolean: True" },
        EvalCase { "1e-5", "error: Illegal character in numeric contant \"1e\"" },
        EvalCase { "", "string:  " }));

INSTANTIATE_TEST_SUITE_P(CompileErrors, EvalReads,
    ::testing::Values(EvalCase { "'abc", "error: Missing '" }, EvalCase { "'", "error: Missing '" },
        EvalCase { "(1 + 2", "error: Missing )" }, EvalCase { "[Field", "error: Missing ]" },
        EvalCase { ".5", "error: Error in expression : .5" },
        EvalCase { "1.5.2", "error: Illegal character in numeric contant \"1.5.2\"" },
        EvalCase { "12ab", "error: Illegal character in numeric contant \"12ab\"" },
        EvalCase { "#", "error: Error in expression : #" },
        EvalCase { "NOT", "error: Error in expression : " },
        EvalCase { "1 + ", "error: Error in expression : " },
        EvalCase { "( )", "error: Error in expression : " },
        EvalCase { "   ", "error: Error in expression : " },
        EvalCase { "IF(,1,2)", "error: Error in expression : " },
        EvalCase { "NOSUCH(1)", "error: Unknown function : NOSUCH" },
        EvalCase { "nosuch", "error: Unknown function : nosuch" },
        EvalCase { "[DATE]", "error: Unknown function : DATE" },
        EvalCase { "SUM(1", "error: Unknown function : " }));

INSTANTIATE_TEST_SUITE_P(IntegerRange, EvalReads,
    ::testing::Values(EvalCase { "2147483647", "integer: 2147483647" },
        EvalCase { "2147483648", "float: 2147483648" }, EvalCase { "2147483647 + 1", "float: 2147483648" },
        EvalCase { "-2147483647 - 2", "float: -2147483649" },
        EvalCase { "65536 * 65536", "float: 4294967296" },
        EvalCase { "-(0 - 2147483647 - 1)", "float: 2147483648" },
        EvalCase { "99999999999999999999", "float: 1E20" },
        EvalCase { "1e999", "error: Illegal character in numeric contant \"1e999\"" }));

TEST(EvalCompute, RaisesWhenNeverCompiled)
{
    TRpEvaluator evaluator;
    TRpEvValue value;
    EXPECT_THROW(evaluator.Compute(value), Exception);
    evaluator.Compile(QStringLiteral("1"));
    evaluator.Discard();
    EXPECT_THROW(evaluator.Compute(value), Exception);
}

TEST(EvalCompute, ErrorValueDoesNotConvertToText)
{
    try {
        TRpEvValue::Error(QStringLiteral("boom")).ValueToText();
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Error in expression : boom"));
    }
}

TEST(EvalCompute, LongTextsAreCutTo255Characters)
{
    const QString a(200, QLatin1Char('a'));
    const QString result = eval(QStringLiteral("'%1' + '%1'").arg(a));
    EXPECT_EQ(result, QStringLiteral("string: ") + QString(255, QLatin1Char('a')));
}

// Each operator, parenthesis and function level counts; beyond the limit the expression is an error, not
// a stack overflow.
class EvalDepth : public ::testing::TestWithParam<const char *>
{
};

TEST_P(EvalDepth, LongChainsAreRefusedWithAClearError)
{
    const QString unit = QString::fromLatin1(GetParam());
    QString text = QStringLiteral("1");
    for (int i = 0; i < 1000; ++i)
        text = unit.arg(text);
    EXPECT_EQ(eval(text), QStringLiteral("error: ") + QString::fromLatin1(kRpEvTooDeepMessage));
}

INSTANTIATE_TEST_SUITE_P(Nesting, EvalDepth,
    ::testing::Values(
        "%1+1", "1-%1", "%1*2", "(%1)", "-(%1)", "NOT %1", "INT(%1)", "IF(TRUE,%1,0)", "+(%1)", "(1 = %1)"));

TEST(EvalDepthLimit, ChainsWithinTheLimitStillCompute)
{
    QString text = QStringLiteral("1");
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("+1");
    EXPECT_EQ(eval(text), QStringLiteral("integer: 201"));
    QString nested = QStringLiteral("1");
    for (int i = 0; i < 100; ++i)
        nested = QStringLiteral("(%1)").arg(nested);
    EXPECT_EQ(eval(nested), QStringLiteral("integer: 1"));
}
