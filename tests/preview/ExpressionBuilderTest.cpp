// The engine's expression wizard through its buttons and pages.
#include "WizardTestSupport.h"

#include "preview/RpExpressionBuilder.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorLibrary.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

using namespace WizardTest;
using UiFind::click;

namespace {

// How many wizards run inside this one, one in the other.
int depth(RpWizardWindow *wizard)
{
    int levels = 0;
    for (QWidget *w = front(wizard); w != wizard; w = w->parentWidget())
        ++levels;
    return levels;
}

class ExpressionBuilder : public ::testing::Test
{
protected:
    ExpressionBuilder()
        : wizard(&data.form, &variables)
    {
        wizard.show();
    }

    QString text() const { return wizard.expressionText(); }

    // Builds a function call on the function and parameters pages with the given argument texts.
    void call(const QString &category, const QString &function, const QStringList &arguments)
    {
        UiScript script;
        script.then([this] { click(&wizard, QStringLiteral("&Function")); })
            .when([this] { return onPage(&wizard, RpWizardWindow::FunctionPage); },
                [this, category, function] {
                    choose(list(&wizard, "ListCategory"), category);
                    choose(list(&wizard, "ListFunctions"), function);
                    click(&wizard, QStringLiteral("Continue"));
                });
        if (!arguments.isEmpty()) {
            script.when([this] { return onPage(&wizard, RpWizardWindow::ParametersPage); },
                [this, arguments] {
                    for (int i = 0; i < arguments.size(); ++i)
                        wizard.findChild<QLineEdit *>(QStringLiteral("EArgument%1").arg(i + 1))
                            ->setText(arguments[i]);
                    click(&wizard, QStringLiteral("OK"));
                });
        }
        script.run();
    }

    Boxes boxes;
    TransactionForm data;
    TRpEvEnvironment environment;
    RpEnvironmentVariables variables { environment };
    TRpExpressionBuilder wizard;
};

} // namespace

TEST_F(ExpressionBuilder, OperatorButtonsReplaceTheSelectionAndLeaveTheCaretAfterThem)
{
    type(&wizard, QStringLiteral("1X2"));
    QTextCursor cursor = wizard.expressionEdit()->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    wizard.expressionEdit()->setTextCursor(cursor);
    click(&wizard, QStringLiteral("<>"));
    EXPECT_EQ(text(), QStringLiteral("1 <> 2"));
    EXPECT_EQ(wizard.expressionEdit()->textCursor().position(), 5);
    EXPECT_FALSE(wizard.expressionEdit()->textCursor().hasSelection());
    click(&wizard, QStringLiteral("Not"));
    click(&wizard, QStringLiteral("And"));
    click(&wizard, QStringLiteral("Or"));
    EXPECT_EQ(text(), QStringLiteral("1 <>  Not  And  Or 2"));
    click(&wizard, QStringLiteral("&Clear"));
    EXPECT_EQ(text(), QString());
}

TEST_F(ExpressionBuilder, FunctionWithArgumentsIsInsertedAsACall)
{
    call(QStringLiteral("Math & trig"), QStringLiteral("DIV"), { QStringLiteral("1"), QStringLiteral("2") });
    EXPECT_EQ(text(), QStringLiteral("DIV(1,2)"));
    EXPECT_EQ(wizard.currentPage(), RpWizardWindow::MainPage);
}

TEST_F(ExpressionBuilder, FunctionWithoutArgumentsIsInsertedByName)
{
    call(QStringLiteral("Logical"), QStringLiteral("TRUE"), {});
    EXPECT_EQ(text(), QStringLiteral("TRUE"));
}

TEST_F(ExpressionBuilder, FunctionPageShowsSyntaxAndExplanationAndFiltersByCategory)
{
    UiScript script;
    script.then([this] { click(&wizard, QStringLiteral("&Function")); })
        .when([this] { return onPage(&wizard, RpWizardWindow::FunctionPage); },
            [this] {
                choose(list(&wizard, "ListCategory"), QStringLiteral("Statistical"));
                QListWidget *functions = list(&wizard, "ListFunctions");
                QStringList names;
                for (int i = 0; i < functions->count(); ++i)
                    names << functions->item(i)->text();
                EXPECT_EQ(names, (QStringList { "SUM", "COUNT", "MAX", "MIN", "AVERAGE" }));
                choose(functions, QStringLiteral("SUM"));
                EXPECT_EQ(wizard.findChild<QLabel *>(QStringLiteral("LSyntax"))->text(),
                    QStringLiteral("SUM(<X>)"));
                EXPECT_EQ(wizard.findChild<QLabel *>(QStringLiteral("LExplanation"))->text(),
                    QStringLiteral("Sums the numeric <X>"));
                click(&wizard, QStringLiteral("Cancel"));
            });
    script.run();
    EXPECT_EQ(text(), QString());
}

TEST_F(ExpressionBuilder, CancelOnTheParametersPageInsertsNothing)
{
    UiScript script;
    script.then([this] { click(&wizard, QStringLiteral("&Function")); })
        .when([this] { return onPage(&wizard, RpWizardWindow::FunctionPage); },
            [this] {
                choose(list(&wizard, "ListFunctions"), QStringLiteral("COPY"));
                click(&wizard, QStringLiteral("Continue"));
            })
        .when([this] { return onPage(&wizard, RpWizardWindow::ParametersPage); },
            [this] {
                // One row per argument letter, 40 pixels apart, scrolled 40 pixels per step.
                auto *scroll = wizard.findChild<QScrollArea *>(QStringLiteral("ScrollParams"));
                EXPECT_EQ(scroll->verticalScrollBar()->singleStep(), 40);
                QStringList captions;
                for (QLabel *label : scroll->widget()->findChildren<QLabel *>())
                    captions << label->text();
                EXPECT_EQ(captions,
                    (QStringList { "Argument 1 - text Value", "Argument 2 - numeric value",
                        "Argument 3 - numeric value" }));
                argument(&wizard, 1)->setText(QStringLiteral("'abc'"));
                click(&wizard, QStringLiteral("Cancel"));
            });
    script.run();
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(argument(&wizard, 1), nullptr);
}

TEST_F(ExpressionBuilder, NestedWizardsFillArgumentsToAnyDepthAndCancelLeavesTheFieldAlone)
{
    UiScript script;
    script.then([this] { click(&wizard, QStringLiteral("&Function")); })
        .when([this] { return onPage(&wizard, RpWizardWindow::FunctionPage); },
            [this] {
                choose(list(&wizard, "ListFunctions"), QStringLiteral("IF"));
                click(&wizard, QStringLiteral("Continue"));
            })
        .when([this] { return onPage(&wizard, RpWizardWindow::ParametersPage); },
            [this] {
                argument(&wizard, 2)->setText(QStringLiteral("kept"));
                // The "..." of the first argument.
                argumentWizard(&wizard, 1);
            })
        .when([this] { return front(&wizard) != &wizard; },
            [this] {
                RpWizardWindow *inner = front(&wizard);
                EXPECT_EQ(inner->findChild<QLabel *>(QStringLiteral("LHeading"))->text(),
                    QStringLiteral("Enter 1. parameter for IF(<Exp>, <X>, <Y>)"));
                EXPECT_EQ(inner->geometry(), wizard.rect());
                click(inner, QStringLiteral("&Function"));
            })
        .when([this] { return onPage(front(&wizard), RpWizardWindow::FunctionPage); },
            [this] {
                RpWizardWindow *inner = front(&wizard);
                choose(list(inner, "ListFunctions"), QStringLiteral("INT"));
                click(inner, QStringLiteral("Continue"));
            })
        .when([this] { return onPage(front(&wizard), RpWizardWindow::ParametersPage); },
            [this] {
                RpWizardWindow *inner = front(&wizard);
                argumentWizard(inner, 1);
            })
        .when([this] { return depth(&wizard) == 2; },
            [this] {
                // Two levels down now: type and OK the innermost.
                RpWizardWindow *innermost = front(&wizard);
                type(innermost, QStringLiteral("2.7"));
                click(innermost, QStringLiteral("OK"));
            })
        .then([this] {
            RpWizardWindow *inner = front(&wizard);
            EXPECT_EQ(argument(inner, 1)->text(), QStringLiteral("2.7"));
            click(inner, QStringLiteral("OK"));
        })
        .then([this] {
            RpWizardWindow *inner = front(&wizard);
            EXPECT_EQ(inner->expressionText(), QStringLiteral("INT(2.7)"));
            type(inner, QStringLiteral(" > 1"));
            click(inner, QStringLiteral("OK"));
        })
        .then([this] {
            EXPECT_EQ(front(&wizard), &wizard);
            EXPECT_EQ(argument(&wizard, 1)->text(), QStringLiteral("INT(2.7) > 1"));
            // A cancelled argument wizard leaves the field as it was.
            argumentWizard(&wizard, 2);
        })
        .when([this] { return front(&wizard) != &wizard; },
            [this] {
                RpWizardWindow *inner = front(&wizard);
                type(inner, QStringLiteral("dropped"));
                click(inner, QStringLiteral("Cancel"));
            })
        .then([this] {
            EXPECT_EQ(argument(&wizard, 2)->text(), QStringLiteral("kept"));
            argument(&wizard, 3)->setText(QStringLiteral("0"));
            click(&wizard, QStringLiteral("OK"));
        });
    script.run();
    EXPECT_EQ(text(), QStringLiteral("IF(INT(2.7) > 1,kept,0)"));
}

TEST_F(ExpressionBuilder, DataFieldIsInsertedAsDataSetDotFieldName)
{
    UiScript script;
    script.then([this] { click(&wizard, QStringLiteral("&Database field")); })
        .when([this] { return onPage(&wizard, RpWizardWindow::DataFieldPage); },
            [this] {
                QListWidget *sets = list(&wizard, "ListDatasets");
                ASSERT_GE(sets->count(), 1);
                EXPECT_EQ(sets->item(0)->text(), QStringLiteral("tblTransaction"));
                EXPECT_EQ(sets->currentRow(), 0);
                QListWidget *fields = list(&wizard, "ListFields");
                EXPECT_EQ(fields->count(), 5);
                choose(fields, QStringLiteral("Transaction_Amount"));
                click(&wizard, QStringLiteral("OK"));
            });
    script.run();
    EXPECT_EQ(text(), QStringLiteral("tblTransaction.Transaction_Amount"));
}

TEST_F(ExpressionBuilder, SumOfAFieldBuiltWithTheButtonsValidates)
{
    UiScript script;
    script.then([this] { click(&wizard, QStringLiteral("&Function")); })
        .when([this] { return onPage(&wizard, RpWizardWindow::FunctionPage); },
            [this] {
                choose(list(&wizard, "ListCategory"), QStringLiteral("Statistical"));
                choose(list(&wizard, "ListFunctions"), QStringLiteral("SUM"));
                click(&wizard, QStringLiteral("Continue"));
            })
        .when([this] { return onPage(&wizard, RpWizardWindow::ParametersPage); },
            [this] { argumentWizard(&wizard, 1); })
        .when([this] { return front(&wizard) != &wizard; },
            [this] { click(front(&wizard), QStringLiteral("&Database field")); })
        .when([this] { return onPage(front(&wizard), RpWizardWindow::DataFieldPage); },
            [this] {
                RpWizardWindow *inner = front(&wizard);
                choose(list(inner, "ListDatasets"), QStringLiteral("tblTransaction"));
                choose(list(inner, "ListFields"), QStringLiteral("Transaction_Amount"));
                click(inner, QStringLiteral("OK"));
            })
        .then([this] { click(front(&wizard), QStringLiteral("OK")); })
        .then([this] { click(&wizard, QStringLiteral("OK")); });
    script.run();
    click(&wizard, QStringLiteral(">"));
    type(&wizard, QStringLiteral("0"));
    EXPECT_EQ(text(), QStringLiteral("SUM(tblTransaction.Transaction_Amount) > 0"));

    click(&wizard, QStringLiteral("Valida&te"));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].kind, Dialogs::MessageKind::Plain);
    // Computed once, without an aggregation pass: the total is still 0.
    EXPECT_EQ(boxes.last(), QStringLiteral("There are no errors. The result is : False"));
}

TEST_F(ExpressionBuilder, ValidateShowsValuesAndErrors)
{
    const auto validate = [this](const QString &expression) {
        wizard.expressionEdit()->setPlainText(expression);
        click(&wizard, QStringLiteral("Valida&te"));
        return boxes.last();
    };
    EXPECT_EQ(validate(QStringLiteral("''")), QStringLiteral("ERROR: "));
    EXPECT_EQ(validate(QStringLiteral("7 / 2")), QStringLiteral("There are no errors. The result is : 3,5"));
    EXPECT_EQ(validate(QStringLiteral("1 / 0")), QStringLiteral("ERROR: Cannot divide by 0"));
    EXPECT_EQ(validate(QStringLiteral("1 +\n2")), QStringLiteral("There are no errors. The result is : 3"));
    EXPECT_EQ(validate(QStringLiteral("tblTransaction.Transaction_Amount")),
        QStringLiteral("There are no errors. The result is : -12,5"));
    variables.add(QStringLiteral("twice"), QStringLiteral("Transaction_Amount * 2"));
    EXPECT_EQ(validate(QStringLiteral("TWICE")), QStringLiteral("There are no errors. The result is : -25"));
    EXPECT_EQ(validate(QStringLiteral("AppName")).left(7), QStringLiteral("There a"));
    EXPECT_FALSE(environment.Prepared());
    EXPECT_EQ(environment.DataSets(), nullptr);
}

namespace {

int s_setterCalls = 0;

class CountingSetter : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (!Validating())
            ++s_setterCalls;
        value = TRpEvValue::Boolean(true);
    }
};

} // namespace

TEST_F(ExpressionBuilder, ValidateRunsNoSetter)
{
    TRpFunctionLibrary::Global().RegisterFunction(rpEvElementClass<CountingSetter>(),
        QStringLiteral("TESTSETPROP"), QStringLiteral("TESTSETPROP|"), QStringLiteral("7"),
        QStringLiteral("test"));
    s_setterCalls = 0;
    wizard.expressionEdit()->setPlainText(QStringLiteral("TESTSETPROP"));
    click(&wizard, QStringLiteral("Valida&te"));
    TRpFunctionLibrary::Global().UnregisterFunction(QStringLiteral("TESTSETPROP"));
    EXPECT_EQ(boxes.last(), QStringLiteral("There are no errors. The result is : True"));
    EXPECT_EQ(s_setterCalls, 0);
}

TEST_F(ExpressionBuilder, VariablePageListsLocalThenGlobalAndShowsTheValue)
{
    variables.add(QStringLiteral("total"), QStringLiteral("1 + 2"));
    // A local variable hides a global one of the same name.
    variables.add(QStringLiteral("AppName"), QStringLiteral("'mine'"));
    UiScript script;
    script.then([this] { click(&wizard, QStringLiteral("&Variable")); })
        .when([this] { return onPage(&wizard, RpWizardWindow::VariablePage); },
            [this] {
                QListWidget *names = list(&wizard, "ListVariables");
                ASSERT_GE(names->count(), 5);
                EXPECT_EQ(names->item(0)->text(), QStringLiteral("TOTAL"));
                EXPECT_EQ(names->item(1)->text(), QStringLiteral("APPNAME"));
                EXPECT_EQ(names->item(2)->text(), QStringLiteral("APPSTARTTIME"));
                EXPECT_EQ(names->currentRow(), 0);
                auto *value = wizard.findChild<QLabel *>(QStringLiteral("LValue"));
                EXPECT_EQ(value->text(), QStringLiteral("1 + 2"));
                names->setCurrentRow(names->count() - 1);
                EXPECT_EQ(value->text().left(1), QStringLiteral("'"));
                names->setCurrentRow(1);
                EXPECT_EQ(value->text(), QStringLiteral("'mine'"));
                names->setCurrentRow(0);
                click(&wizard, QStringLiteral("OK"));
            });
    script.run();
    EXPECT_EQ(text(), QStringLiteral("TOTAL"));
}

TEST(ExpressionWizard, ReturnsTheExpressionInOneLine_OrEmptiedWhenCancelled)
{
    Boxes boxes;
    boxes.onExec = [](QDialog &dialog) {
        auto &wizard = static_cast<RpWizardWindow &>(dialog);
        EXPECT_TRUE(wizard.expressionEdit()->textCursor().hasSelection());
        wizard.expressionEdit()->moveCursor(QTextCursor::End);
        type(&wizard, QStringLiteral("\n+ 2\r\n+ 3"));
        click(&wizard, QStringLiteral("OK"));
    };
    QString expression = QStringLiteral("1");
    EXPECT_TRUE(OpenExpressionWizard(
        QString(), expression, nullptr, static_cast<TRpEvEnvironment *>(nullptr), nullptr));
    EXPECT_EQ(expression, QStringLiteral("1+ 2+ 3"));
    EXPECT_EQ(boxes.dialogs, QStringList { QStringLiteral("Expression Wizard") });

    boxes.onExec = [](QDialog &dialog) { click(&dialog, QStringLiteral("Cancel")); };
    EXPECT_FALSE(OpenExpressionWizard(
        QString(), expression, nullptr, static_cast<TRpEvEnvironment *>(nullptr), nullptr));
    EXPECT_EQ(expression, QString());
}

TEST(ExpressionWizard, ClosingTheWindowCancelsAnOpenPage)
{
    Boxes boxes;
    boxes.onExec = [](QDialog &dialog) { click(&dialog, QStringLiteral("&Function")); };
    UiScript script;
    QString expression = QStringLiteral("1");
    bool result = true;
    script
        .then([&] {
            result = OpenExpressionWizard(QStringLiteral("Heading"), expression, nullptr,
                static_cast<TRpEvEnvironment *>(nullptr), nullptr);
        })
        .when(
            [] {
                for (QWidget *w : QApplication::topLevelWidgets()) {
                    auto *wizard = qobject_cast<RpWizardWindow *>(w);
                    if (wizard && wizard->isVisible()
                        && wizard->currentPage() == RpWizardWindow::FunctionPage)
                        return true;
                }
                return false;
            },
            [] {
                for (QWidget *w : QApplication::topLevelWidgets()) {
                    if (qobject_cast<RpWizardWindow *>(w) && w->isVisible())
                        w->close();
                }
            });
    script.run();
    EXPECT_FALSE(result);
    EXPECT_EQ(expression, QString());
}

TEST(ExpressionWizard, RunsInsideAParentUntilAResultIsSet)
{
    Boxes boxes;
    QWidget host;
    host.resize(376, 269);
    host.show();
    QString expression = QStringLiteral("PAGENUMBER");
    bool result = false;
    UiScript script;
    script
        .then([&] {
            result = OpenExpressionWizard(
                QStringLiteral("X"), expression, &host, static_cast<TRpEvEnvironment *>(nullptr), &host);
        })
        .when([&] { return host.findChild<RpWizardWindow *>() != nullptr; },
            [&] {
                RpWizardWindow *wizard = host.findChild<RpWizardWindow *>();
                EXPECT_FALSE(wizard->isWindow());
                EXPECT_EQ(wizard->pos(), QPoint(0, 0));
                EXPECT_TRUE(boxes.dialogs.isEmpty());
                wizard->expressionEdit()->setPlainText(QStringLiteral("PAGENUMBER + 1"));
                click(wizard, QStringLiteral("OK"));
            });
    script.run();
    EXPECT_TRUE(result);
    EXPECT_EQ(expression, QStringLiteral("PAGENUMBER + 1"));
    EXPECT_EQ(host.findChild<RpWizardWindow *>(), nullptr);
}
