// The validating switch of an evaluator: functions see it while such an evaluator computes (also through
// named expressions), and never while an ordinary one does.
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorLibrary.h"

#include <gtest/gtest.h>

namespace {

// Gives True while it computes for a validating evaluator.
class TRpEvFunctionSeesValidation : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        value = TRpEvValue::Boolean(TRpEvaluator::ComputingForValidation());
    }
};

class EvalValidating : public testing::Test
{
protected:
    void SetUp() override
    {
        TRpFunctionLibrary::Global().RegisterFunction(rpEvElementClass<TRpEvFunctionSeesValidation>(),
            QStringLiteral("SEESVALIDATION"), QStringLiteral("SEESVALIDATION|test"), QStringLiteral("7"),
            QStringLiteral("test"));
    }
    void TearDown() override
    {
        TRpFunctionLibrary::Global().UnregisterFunction(QStringLiteral("SEESVALIDATION"));
    }

    static QString compute(const QString &text, bool validating, TRpEvEnvironment *environment = nullptr)
    {
        TRpEvaluator evaluator(environment);
        evaluator.SetValidating(validating);
        evaluator.Compile(text);
        return rpEvDescribe(evaluator.Compute());
    }
};

TEST_F(EvalValidating, FunctionsSeeTheSwitchOnlyWhileAValidatingEvaluatorComputes)
{
    EXPECT_EQ(compute(QStringLiteral("SEESVALIDATION"), false), QStringLiteral("boolean: False"));
    EXPECT_EQ(compute(QStringLiteral("SEESVALIDATION"), true), QStringLiteral("boolean: True"));
    EXPECT_FALSE(TRpEvaluator::ComputingForValidation());
}

TEST_F(EvalValidating, NamedExpressionsComputedMeanwhileAreValidatedToo)
{
    TRpEvEnvironment environment;
    environment.AddNamedExpression(QStringLiteral("CHECKED"), QStringLiteral("SEESVALIDATION"));
    environment.PrepareEnvironment();
    EXPECT_EQ(compute(QStringLiteral("CHECKED"), true, &environment), QStringLiteral("boolean: True"));
    EXPECT_EQ(compute(QStringLiteral("CHECKED"), false, &environment), QStringLiteral("boolean: False"));
    environment.UnprepareEnvironment();
}

} // namespace
