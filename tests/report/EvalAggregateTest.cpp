// Running aggregates, named expressions and table fields.
#include "EvalTestSupport.h"

#include "platform/Exceptions.h"

using EvalTest::FakeTable;

namespace {

TRpEvValue value(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
        return TRpEvValue::Integer(v.toInt());
    case QMetaType::Double:
        return TRpEvValue::Float(v.toDouble());
    case QMetaType::Bool:
        return TRpEvValue::Boolean(v.toBool());
    default:
        return TRpEvValue::String(v.toString());
    }
}

// Feeds values of any kind through a named expression V that the test overwrites before each pass.
QString aggregate(const QString &expression, const QList<QVariant> &values, bool resetFirst)
{
    TRpEvEnvironment environment;
    environment.AddNamedExpression(QStringLiteral("V"), QStringLiteral("0"));
    environment.PrepareEnvironment();
    TRpEvaluator evaluator(&environment);
    evaluator.Compile(expression);
    if (resetFirst)
        evaluator.ResetAggregates();
    TRpEvElement *constant = environment.ConstantElement(QStringLiteral("V"));
    for (const QVariant &v : values) {
        TRpEvEnvironment::StoreValue(constant, value(v));
        evaluator.Accumulate();
    }
    const QString result = rpEvDescribe(evaluator.Compute());
    evaluator.Discard();
    environment.UnprepareEnvironment();
    return result;
}

struct AggregateCase
{
    const char *expression;
    QList<QVariant> values;
    bool resetFirst;
    const char *expected;
};

void PrintTo(const AggregateCase &c, std::ostream *os)
{
    *os << c.expression << " over " << c.values.size() << " values";
}

class EvalAggregate : public ::testing::TestWithParam<AggregateCase>
{
};

TEST_P(EvalAggregate, RunningValueAfterThePasses)
{
    const AggregateCase &c = GetParam();
    EXPECT_EQ(
        aggregate(QString::fromUtf8(c.expression), c.values, c.resetFirst), QString::fromUtf8(c.expected));
}

} // namespace

// Errors are fed through V as the text of an error-producing expression is not a value; strings and
// Booleans stand for the other kinds.
INSTANTIATE_TEST_SUITE_P(Totals, EvalAggregate,
    ::testing::Values(AggregateCase { "SUM(V)", { 1, 2, 3 }, true, "integer: 6" },
        AggregateCase { "SUM(V)", { 1.5, 2 }, true, "float: 1,5" },
        AggregateCase { "SUM(V)", { 1, 2.5, 3 }, true, "integer: 4" },
        AggregateCase { "SUM(V)", { 1, QStringLiteral("a") }, true, "error: " },
        AggregateCase { "SUM(V)", { QStringLiteral("a"), 1 }, true, "error: " },
        AggregateCase { "SUM(V)", { true, 1 }, true, "error: " },
        AggregateCase { "SUM(V)", { 1, true }, true, "integer: 1" },
        AggregateCase { "SUM(V)", {}, true, "integer: 0" },
        AggregateCase { "SUM(V)", { 2147483647, 1 }, true, "float: 2147483648" },
        AggregateCase { "SUM(V) + 1", { 2, 3 }, true, "integer: 6" },
        AggregateCase { "SUM(V) + SUM(V * 2)", { 1, 2 }, true, "integer: 9" },
        AggregateCase { "SUM()", { 1, 2 }, true, "integer: 0" },
        AggregateCase { "COUNT", { 1, 2, 3 }, true, "integer: 3" },
        AggregateCase { "COUNT + 0", { 1, 2, 3 }, false, "integer: 3" }));

INSTANTIATE_TEST_SUITE_P(Averages, EvalAggregate,
    ::testing::Values(AggregateCase { "AVERAGE(V)", { 1, 2 }, true, "float: 1,5" },
        AggregateCase { "AVERAGE(V)", {}, true, "float: 0" },
        AggregateCase { "AVERAGE(V)", {}, false, "integer: 0" },
        AggregateCase { "AVERAGE(V)", { QStringLiteral("x") }, true, "error: " },
        AggregateCase { "AVERAGE(V)", { 2147483647, 2147483647 }, true, "float: 2147483647" },
        AggregateCase { "AVERAGE()", { 1 }, true, "float: 0" }));

INSTANTIATE_TEST_SUITE_P(Extremes, EvalAggregate,
    ::testing::Values(AggregateCase { "MAX(V)", { 3, 7, 5 }, true, "integer: 7" },
        AggregateCase { "MIN(V)", { 3, 7, 1 }, true, "integer: 1" },
        AggregateCase { "MIN(V)", { true, false }, true, "boolean: False" },
        AggregateCase { "MAX(V)", { false, true }, true, "boolean: True" },
        AggregateCase {
            "MAX(V)", { QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a") }, true, "string: c" },
        AggregateCase { "MIN(V)", { QStringLiteral("b"), QStringLiteral("B") }, true, "string: B" },
        AggregateCase { "MAX(V)", { 1, 2.5 }, true, "float: 2,5" },
        AggregateCase { "MAX(V)", { 1, QStringLiteral("z") }, true, "integer: 1" },
        AggregateCase { "MAX(V)", {}, true, "integer: 0" },
        AggregateCase { "MAX()", { 1 }, true, "integer: 0" }));

TEST(EvalAggregates, WrongArgumentCountAddsNothing)
{
    EXPECT_EQ(aggregate(QStringLiteral("MAX(V, V)"), { 1, 2 }, true), QStringLiteral("integer: 0"));
    EXPECT_EQ(aggregate(QStringLiteral("SUM(V, 1)"), { 1, 2 }, true), QStringLiteral("integer: 0"));
}

TEST(EvalAggregates, ComputeReadsAndResetEmpties)
{
    TRpEvEnvironment environment;
    environment.AddNamedExpression(QStringLiteral("V"), QStringLiteral("5"));
    environment.PrepareEnvironment();
    TRpEvaluator evaluator(&environment);
    evaluator.Compile(QStringLiteral("SUM(V)"));
    EXPECT_TRUE(evaluator.HasAggregates());
    evaluator.Accumulate();
    evaluator.Accumulate();
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("integer: 10"));
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("integer: 10"));
    evaluator.ResetAggregates();
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("integer: 0"));
    TRpEvaluator plain;
    plain.Compile(QStringLiteral("1 + 2"));
    EXPECT_FALSE(plain.HasAggregates());
    evaluator.Discard();
    environment.UnprepareEnvironment();
}

// ---- named expressions ----

TEST(EvalNamed, ReportFunctionsAndTheGlobalEnvironmentAreFound)
{
    TRpEvEnvironment functions;
    functions.AddNamedExpression(QStringLiteral("PageNumber"), QStringLiteral("0"));
    functions.AddNamedExpression(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
    functions.AddNamedExpression(QStringLiteral("Twice"), QStringLiteral("PAGENUMBER * 2"));
    EXPECT_EQ(functions.Names(), QStringList({ "PAGENUMBER", "REPORTTITLE", "TWICE" }));
    functions.PrepareEnvironment();
    TRpEvEnvironment::SetIntegerValue(functions.ConstantElement(QStringLiteral("pagenumber")), 21);
    TRpEvEnvironment::SetTextValue(
        functions.ConstantElement(QStringLiteral("REPORTTITLE")), QStringLiteral("Comptes"));
    EXPECT_EQ(EvalTest::eval(QStringLiteral("twice"), &functions), QStringLiteral("integer: 42"));
    EXPECT_EQ(EvalTest::eval(QStringLiteral("[ReportTitle] + ' p.' + PageNumber"), &functions),
        QStringLiteral("string: Comptes p.21"));
    // SetTextValue leaves a numeric constant alone, SetIntegerValue a string.
    TRpEvEnvironment::SetTextValue(
        functions.ConstantElement(QStringLiteral("PAGENUMBER")), QStringLiteral("x"));
    TRpEvEnvironment::SetIntegerValue(functions.ConstantElement(QStringLiteral("REPORTTITLE")), 3);
    EXPECT_EQ(EvalTest::eval(QStringLiteral("REPORTTITLE + PAGENUMBER"), &functions),
        QStringLiteral("string: Comptes21"));
    const QString start = EvalTest::eval(QStringLiteral("AppStartDate"), &functions);
    EXPECT_TRUE(start.startsWith(QStringLiteral("string: "))) << start.toStdString();
    EXPECT_EQ(EvalTest::eval(QStringLiteral("TYPEOF(AppName)")), QStringLiteral("string: STRING"));
    TRpEvValue v;
    functions.ValueByName(QStringLiteral("Nothing"), v);
    EXPECT_EQ(rpEvDescribe(v), QStringLiteral("error: Unknown function : Nothing"));
    EXPECT_EQ(functions.ConstantElement(QStringLiteral("Nothing")), nullptr);
    functions.UnprepareEnvironment();
    EXPECT_EQ(functions.ConstantElement(QStringLiteral("PAGENUMBER")), nullptr);
}

TEST(EvalNamed, AddedWhilePreparedIsCompiledAtOnce)
{
    TRpEvEnvironment functions;
    functions.PrepareEnvironment();
    functions.AddNamedExpression(QStringLiteral("x"), QStringLiteral("40 + 2"));
    TRpEvValue v;
    functions.ValueByName(QStringLiteral("X"), v);
    EXPECT_EQ(rpEvDescribe(v), QStringLiteral("integer: 42"));
    functions.AddNamedExpression(QStringLiteral("X"), QStringLiteral("7"));
    functions.ValueByName(QStringLiteral("x"), v);
    EXPECT_EQ(rpEvDescribe(v), QStringLiteral("integer: 7"));
    EXPECT_EQ(functions.Count(), 1);
    functions.RemoveNamedExpression(QStringLiteral("x"));
    EXPECT_EQ(functions.Count(), 0);
    functions.UnprepareEnvironment();
}

TEST(EvalNamed, RecursionGivesAnErrorWhenComputedAndWhenReset)
{
    TRpEvEnvironment functions;
    functions.AddNamedExpression(QStringLiteral("A"), QStringLiteral("B + 1"));
    functions.AddNamedExpression(QStringLiteral("B"), QStringLiteral("A + 1"));
    functions.AddNamedExpression(QStringLiteral("C"), QStringLiteral("SUM(C) + COUNT"));
    functions.PrepareEnvironment();
    EXPECT_EQ(EvalTest::eval(QStringLiteral("A"), &functions),
        QStringLiteral("error: Recursive calls not allowed"));
    TRpEvaluator evaluator(&functions);
    evaluator.Compile(QStringLiteral("A + C"));
    evaluator.ResetAggregates(); // must come back
    evaluator.Accumulate();
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("error: Recursive calls not allowed"));
    evaluator.Discard();
    functions.UnprepareEnvironment();
}

TEST(EvalNamed, ChainsOfNamedExpressionsDeeperThanTheLimitGiveTheDepthError)
{
    TRpEvEnvironment functions;
    functions.AddNamedExpression(QStringLiteral("N0"), QStringLiteral("1"));
    for (int i = 1; i <= 400; ++i)
        functions.AddNamedExpression(QStringLiteral("N%1").arg(i), QStringLiteral("N%1 + 1").arg(i - 1));
    functions.PrepareEnvironment();
    EXPECT_EQ(EvalTest::eval(QStringLiteral("N100"), &functions), QStringLiteral("integer: 101"));
    EXPECT_EQ(EvalTest::eval(QStringLiteral("N400"), &functions),
        QStringLiteral("error: ") + QString::fromLatin1(kRpEvTooDeepMessage));
    // The refused computation leaves every expression usable.
    EXPECT_EQ(EvalTest::eval(QStringLiteral("N10"), &functions), QStringLiteral("integer: 11"));
    functions.UnprepareEnvironment();
}

TEST(EvalNamed, NamedExpressionOfAnUnpreparedEnvironmentRaises)
{
    TRpEvEnvironment functions;
    functions.AddNamedExpression(QStringLiteral("X"), QStringLiteral("1"));
    TRpEvaluator evaluator(&functions);
    evaluator.Compile(QStringLiteral("X"));
    TRpEvValue v;
    EXPECT_THROW(evaluator.Compute(v), Exception);
}

TEST(EvalNamed, EvaluatorOutlivingItsEnvironmentsEntriesStaysSafe)
{
    auto functions = std::make_unique<TRpEvEnvironment>();
    functions->AddNamedExpression(QStringLiteral("X"), QStringLiteral("5"));
    functions->PrepareEnvironment();
    TRpEvaluator evaluator(functions.get());
    evaluator.Compile(QStringLiteral("X + 1"));
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("integer: 6"));
    functions->Clear();
    TRpEvValue v;
    EXPECT_THROW(evaluator.Compute(v), Exception); // the wrapper's expression was discarded
    functions.reset();
    evaluator.Discard();
}

// ---- fields ----

TEST(EvalFields, FieldsAreReadByKindFromTheCurrentRow)
{
    FakeTable accounts(QStringLiteral("tblAccount"),
        { { QStringLiteral("Account_Number"), RpFieldKind::Integer, { 1, 2 } },
            { QStringLiteral("Account_Type"), RpFieldKind::String,
                { QStringLiteral("Courant"), QStringLiteral("Epargne") } },
            { QStringLiteral("Account_Balance"), RpFieldKind::Float, { 10.5, -3.25 } },
            { QStringLiteral("Closed"), RpFieldKind::Boolean, { false, true } },
            { QStringLiteral("Opened"), RpFieldKind::DateTime, { QStringLiteral("01/02/2024"), QString() } },
            { QStringLiteral("Picture"), RpFieldKind::Unknown, { 0, 0 } },
            { QStringLiteral("Big"), RpFieldKind::Integer, { qint64(1) << 40, 0 } } });
    FakeTable other(QStringLiteral("tblOther"),
        { { QStringLiteral("Account_Type"), RpFieldKind::String, { QStringLiteral("other") } } });
    TRpEvDataSetList dataSets { &other, &accounts };
    TRpEvaluator evaluator(nullptr, &dataSets);
    const auto run = [&](const char *text) {
        evaluator.Compile(QString::fromLatin1(text));
        return rpEvDescribe(evaluator.Compute());
    };
    EXPECT_EQ(run("tblAccount.Account_Number + 1"), QStringLiteral("integer: 2"));
    EXPECT_EQ(run("TBLACCOUNT.account_type"), QStringLiteral("string: Courant"));
    EXPECT_EQ(run("Account_Type"), QStringLiteral("string: other"));
    EXPECT_EQ(run("[Account_Balance] * 2"), QStringLiteral("float: 21"));
    EXPECT_EQ(run("Closed"), QStringLiteral("boolean: False"));
    EXPECT_EQ(run("Opened"), QStringLiteral("string: 01/02/2024"));
    EXPECT_EQ(run("Picture"), QStringLiteral("error: Field Picture is of unknown type"));
    EXPECT_EQ(run("Big"), QStringLiteral("float: 1099511627776"));
    EXPECT_EQ(
        run("tblOther.Account_Number"), QStringLiteral("error: Unknown function : tblOther.Account_Number"));
    EXPECT_EQ(run("tblNone.Account_Type"), QStringLiteral("error: Unknown function : tblNone.Account_Type"));
    evaluator.Compile(QStringLiteral("tblAccount.Account_Type + ': ' + STR(tblAccount.Account_Balance)"));
    accounts.row = 1;
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("string: Epargne: -3,25"));
}

TEST(EvalFields, SumRunsOverTheRowsOfATable)
{
    FakeTable transactions(QStringLiteral("tblTransaction"),
        { { QStringLiteral("Transaction_Amount"), RpFieldKind::Float, { 10.0, -2.5, 4.25 } } });
    TRpEvDataSetList dataSets { &transactions };
    TRpEvaluator evaluator(nullptr, &dataSets);
    evaluator.Compile(QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
    evaluator.ResetAggregates();
    for (transactions.row = 0; transactions.row < 3; ++transactions.row)
        evaluator.Accumulate();
    EXPECT_EQ(rpEvDescribe(evaluator.Compute()), QStringLiteral("float: 11,75"));
}
