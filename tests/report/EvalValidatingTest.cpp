// A validating evaluator: functions with effects beyond their value see the switch, through named
// expressions too, and only while the validating evaluator computes.
#include "EvalTestSupport.h"

#include "report/expressions/EvaluatorLibrary.h"

namespace {

// A setter as the designer's functions have them: stores its argument unless the expression is being
// validated, and gives True either way.
int s_stored = 0;

class StoreFunction : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (!Validating() && ArgumentCount() == 1)
            s_stored = Argument(0).AsInteger();
        value = TRpEvValue::Boolean(true);
    }
};

class EvalValidating : public ::testing::Test
{
protected:
    void SetUp() override
    {
        s_stored = 0;
        TRpFunctionLibrary::Global().RegisterFunction(rpEvElementClass<StoreFunction>(),
            QStringLiteral("TESTSTORE"), QStringLiteral("TESTSTORE(<X>)|Stores X"), QStringLiteral("7N"),
            QStringLiteral("test"));
    }
    void TearDown() override { TRpFunctionLibrary::Global().UnregisterFunction(QStringLiteral("TESTSTORE")); }

    static TRpEvValue compute(TRpEvaluator &evaluator, const QString &text)
    {
        evaluator.Compile(text);
        TRpEvValue value = evaluator.Compute();
        evaluator.Discard();
        return value;
    }
};

} // namespace

TEST_F(EvalValidating, SetterStores_WhenNotValidating)
{
    TRpEvaluator evaluator;
    EXPECT_EQ(
        rpEvDescribe(compute(evaluator, QStringLiteral("TESTSTORE(7)"))), QStringLiteral("boolean: True"));
    EXPECT_EQ(s_stored, 7);
}

TEST_F(EvalValidating, SetterChangesNothing_ButGivesItsValue_WhenValidating)
{
    TRpEvaluator evaluator;
    evaluator.SetValidating(true);
    EXPECT_EQ(
        rpEvDescribe(compute(evaluator, QStringLiteral("TESTSTORE(7)"))), QStringLiteral("boolean: True"));
    EXPECT_EQ(s_stored, 0);
    EXPECT_FALSE(TRpEvaluator::IsValidating());
}

TEST_F(EvalValidating, ReachesSettersInsideNamedExpressions)
{
    TRpEvEnvironment environment;
    environment.AddNamedExpression(QStringLiteral("keep"), QStringLiteral("TESTSTORE(9)"));
    environment.PrepareEnvironment();
    TRpEvaluator evaluator(&environment);
    evaluator.SetValidating(true);
    compute(evaluator, QStringLiteral("KEEP AND TRUE"));
    EXPECT_EQ(s_stored, 0);

    // The named expression's own evaluator does not validate: outside a validation it stores.
    evaluator.SetValidating(false);
    compute(evaluator, QStringLiteral("KEEP"));
    EXPECT_EQ(s_stored, 9);
    environment.UnprepareEnvironment();
}

TEST_F(EvalValidating, AggregationPassUnderValidatingEvaluatorChangesNothing)
{
    TRpEvaluator evaluator;
    evaluator.SetValidating(true);
    evaluator.Compile(QStringLiteral("TESTSTORE(SUM(3))"));
    evaluator.Accumulate();
    EXPECT_EQ(s_stored, 0);
    EXPECT_FALSE(TRpEvaluator::IsValidating());
}
