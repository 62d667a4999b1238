// What both expression wizards share: line-break stripping, inserted texts, categories, validation texts
// and the variable lists with their refusals.
#include "preview/WizardCore.h"
#include "preview/ReportVariables.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorLibrary.h"
#include "report/model/Report.h"

#include <gtest/gtest.h>

namespace {

struct StripCase
{
    const char16_t *text;
    const char16_t *expected;
};

class StripLineBreaks : public ::testing::TestWithParam<StripCase>
{
};

} // namespace

TEST_P(StripLineBreaks, RemovesEachBreakAndNothingElse)
{
    EXPECT_EQ(
        rpStripLineBreaks(QString::fromUtf16(GetParam().text)), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Breaks, StripLineBreaks,
    ::testing::Values(StripCase { u"1 +\r\n2", u"1 +2" },
        // A lone carriage return takes nothing with it.
        StripCase { u"A\rB", u"AB" }, StripCase { u"A\nB", u"AB" },
        // The edit field breaks paragraphs with U+2029.
        StripCase { u"SUM(1)\u2029> 0", u"SUM(1)> 0" }, StripCase { u"\r\n\r\n", u"" },
        StripCase { u"'a\tb'  c", u"'a\tb'  c" }, StripCase { u"x\r", u"x" }));

TEST(WizardTexts, OperatorsFollowEachConfiguration)
{
    const RpWizardSettings engine = RpWizardSettings::engine();
    const RpWizardSettings designer = RpWizardSettings::designer();
    EXPECT_EQ(rpOperatorText(engine, QStringLiteral("<>")), QStringLiteral(" <> "));
    EXPECT_EQ(rpOperatorText(designer, QStringLiteral("<=")), QStringLiteral(" <= "));
    EXPECT_EQ(rpOperatorText(engine, QStringLiteral("Not")), QStringLiteral(" Not "));
    EXPECT_EQ(rpOperatorText(engine, QStringLiteral("Or")), QStringLiteral(" Or "));
    EXPECT_EQ(rpOperatorText(designer, QStringLiteral("Not")), QStringLiteral(" not "));
    EXPECT_EQ(rpOperatorText(designer, QStringLiteral("And")), QStringLiteral(" and "));
}

TEST(WizardTexts, CallJoinsArgumentsWithTheConfiguredSeparator)
{
    const QStringList arguments { QStringLiteral("1"), QStringLiteral("'a'") };
    EXPECT_EQ(rpCallText(RpWizardSettings::engine(), QStringLiteral("COPY"), arguments),
        QStringLiteral("COPY(1,'a')"));
    EXPECT_EQ(rpCallText(RpWizardSettings::designer(), QStringLiteral("COPY"), arguments),
        QStringLiteral("COPY(1, 'a')"));
}

TEST(WizardTexts, ArgumentCaptionsAndHeadings)
{
    EXPECT_EQ(rpArgumentCaption(QLatin1Char('B'), 1), QStringLiteral("Argument 1 - logical value"));
    EXPECT_EQ(rpArgumentCaption(QLatin1Char('N'), 2), QStringLiteral("Argument 2 - numeric value"));
    EXPECT_EQ(rpArgumentCaption(QLatin1Char('S'), 3), QStringLiteral("Argument 3 - text Value"));
    EXPECT_EQ(rpArgumentCaption(QLatin1Char('V'), 4), QStringLiteral("Argument 4 - value"));
    EXPECT_EQ(rpArgumentHeading(2, QStringLiteral("DIV(<X>, <Y>) ")),
        QStringLiteral("Enter 2. parameter for DIV(<X>, <Y>) "));
}

TEST(WizardTexts, CategoriesListByDigitAndTheDesignerHidesDigitsAboveSeven)
{
    TRpFunctionLibrary library;
    const auto noElement = [] { return std::unique_ptr<TRpEvElementFunction>(); };
    library.RegisterFunction(noElement, QStringLiteral("A"), QStringLiteral("A|"), QStringLiteral("2N"), {});
    library.RegisterFunction(noElement, QStringLiteral("B"), QStringLiteral("B|"), QStringLiteral("5"), {});
    library.RegisterFunction(noElement, QStringLiteral("C"), QStringLiteral("C|"), QStringLiteral("8S"), {});
    library.RegisterFunction(noElement, QStringLiteral("D"), QStringLiteral("D|"), QStringLiteral("2"), {});
    const auto names = [](const QList<const TRpLibraryEntry *> &entries) {
        QStringList list;
        for (const TRpLibraryEntry *e : entries)
            list << e->Name;
        return list.join(QLatin1Char(' '));
    };
    EXPECT_EQ(
        names(rpFunctionsOfCategory(library, 0, RpWizardSettings::engine())), QStringLiteral("A B C D"));
    EXPECT_EQ(
        names(rpFunctionsOfCategory(library, 0, RpWizardSettings::designer())), QStringLiteral("A B D"));
    EXPECT_EQ(names(rpFunctionsOfCategory(library, 2, RpWizardSettings::designer())), QStringLiteral("A D"));
    EXPECT_EQ(names(rpFunctionsOfCategory(library, 5, RpWizardSettings::engine())), QStringLiteral("B"));
    EXPECT_EQ(rpCategoryNames().size(), 8);
    EXPECT_EQ(rpCategoryNames().at(3), QStringLiteral("Statistical"));
}

TEST(WizardTexts, ValidationMessages)
{
    const RpWizardSettings engine = RpWizardSettings::engine();
    const RpWizardSettings designer = RpWizardSettings::designer();
    const QString ok = QStringLiteral("There are no errors. The result is : ");
    EXPECT_EQ(rpValidationMessage(TRpEvValue::Integer(12), engine), ok + QStringLiteral("12"));
    EXPECT_EQ(rpValidationMessage(TRpEvValue::Float(3.5), engine), ok + QStringLiteral("3,5"));
    EXPECT_EQ(rpValidationMessage(TRpEvValue::Boolean(false), designer), ok + QStringLiteral("False"));
    EXPECT_EQ(
        rpValidationMessage(TRpEvValue::String(QStringLiteral("abc")), designer), ok + QStringLiteral("abc"));
    EXPECT_EQ(rpValidationMessage(TRpEvValue::String(QString()), engine), QStringLiteral("ERROR: "));
    EXPECT_EQ(rpValidationMessage(TRpEvValue::Error(QStringLiteral("Cannot divide by 0")), designer),
        QStringLiteral("ERROR: Cannot divide by 0"));
    // The general format stops at 15 digits; the shortest form reads back as the same number.
    EXPECT_EQ(rpValueText(TRpEvValue::Float(0.1 + 0.2), engine), QStringLiteral("0,3"));
    EXPECT_EQ(rpValueText(TRpEvValue::Float(0.1 + 0.2), designer), QStringLiteral("0,30000000000000004"));
}

// ---- variable lists ----

TEST(VariableList, AddUpperCasesAndRefusesEmptyAndDuplicateNames)
{
    TRpEvEnvironment environment;
    RpEnvironmentVariables variables(environment);
    EXPECT_TRUE(variables.add(QStringLiteral("total"), QStringLiteral("1 + 1")));
    EXPECT_EQ(environment.Names(), QStringList { QStringLiteral("TOTAL") });
    EXPECT_FALSE(variables.add(QStringLiteral("Total"), QStringLiteral("2")));
    EXPECT_FALSE(variables.add(QStringLiteral("  "), QStringLiteral("2")));
    EXPECT_EQ(environment.Count(), 1);
    EXPECT_EQ(environment.ExpressionText(0), QStringLiteral("1 + 1"));
    EXPECT_FALSE(variables.nameRefusal(QStringLiteral("TOTAL"), -1).isEmpty());
}

TEST(VariableList, RenameKeepsThePlaceAndRefusesAnotherVariablesName)
{
    TRpEvEnvironment environment;
    RpEnvironmentVariables variables(environment);
    variables.add(QStringLiteral("A"), QStringLiteral("1"));
    variables.add(QStringLiteral("B"), QStringLiteral("2"));
    EXPECT_FALSE(variables.rename(0, QStringLiteral("b")));
    EXPECT_FALSE(variables.rename(0, QString()));
    EXPECT_TRUE(variables.rename(0, QStringLiteral("a")));
    EXPECT_TRUE(variables.rename(1, QStringLiteral("second")));
    EXPECT_EQ(environment.Names(), (QStringList { QStringLiteral("A"), QStringLiteral("SECOND") }));

    // The renamed variable is reached by its new name.
    environment.PrepareEnvironment();
    TRpEvValue value;
    environment.ValueByName(QStringLiteral("SECOND"), value);
    EXPECT_EQ(rpEvDescribe(value), QStringLiteral("integer: 2"));
    environment.UnprepareEnvironment();
}

TEST(VariableList, NothingChangesWhilePrepared)
{
    TRpEvEnvironment environment;
    RpEnvironmentVariables variables(environment);
    variables.add(QStringLiteral("A"), QStringLiteral("1"));
    environment.PrepareEnvironment();
    EXPECT_FALSE(variables.setExpression(0, QStringLiteral("2")));
    EXPECT_FALSE(variables.rename(0, QStringLiteral("B")));
    EXPECT_FALSE(variables.add(QStringLiteral("C"), QStringLiteral("3")));
    EXPECT_FALSE(variables.remove(0));
    environment.UnprepareEnvironment();
    EXPECT_EQ(environment.Names(), QStringList { QStringLiteral("A") });
    EXPECT_EQ(environment.ExpressionText(0), QStringLiteral("1"));
    EXPECT_TRUE(variables.remove(0));
    EXPECT_EQ(environment.Count(), 0);
}

TEST(ReportVariables, BandsAndTheRunOwnTheirVariables)
{
    TRpReport report;
    auto *loop = new TRpLoopBand(&report);
    loop->setObjectName(QStringLiteral("Loop1"));
    report.functions()->addNamedExpression(QStringLiteral("mine"), QStringLiteral("2"));
    bool running = false;
    RpReportVariables variables(&report, [&running] { return running; });

    const int loopIndex = variables.indexOf(QStringLiteral("LOOP1"));
    ASSERT_GE(loopIndex, 0);
    EXPECT_FALSE(variables.rename(loopIndex, QStringLiteral("OTHER")));
    EXPECT_FALSE(variables.deleteRefusal(loopIndex).isEmpty());
    EXPECT_FALSE(variables.remove(variables.indexOf(QStringLiteral("PAGENUMBER"))));
    EXPECT_FALSE(variables.rename(variables.indexOf(QStringLiteral("REPORTTITLE")), QStringLiteral("T")));
    // Its expression may change, and a user variable may be renamed.
    EXPECT_TRUE(variables.setExpression(loopIndex, QStringLiteral("5")));
    EXPECT_TRUE(variables.rename(variables.indexOf(QStringLiteral("MINE")), QStringLiteral("yours")));
    EXPECT_EQ(report.functions()->expression(QStringLiteral("YOURS")), QStringLiteral("2"));

    running = true;
    EXPECT_FALSE(variables.add(QStringLiteral("NEW"), QStringLiteral("1")));
    running = false;

    // The evaluator reads them through an environment built from the report's list.
    TRpEvEnvironment &environment = variables.environment();
    environment.PrepareEnvironment();
    TRpEvValue value;
    environment.ValueByName(QStringLiteral("YOURS"), value);
    EXPECT_EQ(rpEvDescribe(value), QStringLiteral("integer: 2"));
    environment.UnprepareEnvironment();

    // A band that is renamed takes its variable along; its old name is free again.
    loop->setObjectName(QStringLiteral("Loop2"));
    EXPECT_FALSE(variables.owned(QStringLiteral("LOOP1")));
    EXPECT_TRUE(variables.owned(QStringLiteral("LOOP2")));
}
