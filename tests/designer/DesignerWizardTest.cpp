// The designer's expression wizard over the report's data and variables.
#include "DataSourcesFixture.h"

#include "designer/RpDExpressionBuilder.h"
#include "preview/ReportVariables.h"
#include "preview/RpEnvironmentEditor.h"
#include "preview/WizardTestSupport.h"
#include "report/expressions/Evaluator.h"
#include "report/files/DesignClasses.h"

#include <QRadioButton>
#include <QTableWidget>

using namespace WizardTest;
using UiFind::click;

namespace {

class DesignerWizard : public DataSourcesWindow
{
protected:
    void SetUp() override
    {
        DataSourcesWindow::SetUp();
        variables = std::make_unique<RpReportVariables>(designer->report());
        wizard = std::make_unique<TRpDExpressionBuilder>(*designer, variables.get());
        wizard->show();
    }
    void TearDown() override
    {
        wizard.reset();
        variables.reset();
        DataSourcesWindow::TearDown();
    }

    QString text() const { return wizard->expressionText(); }

    std::unique_ptr<RpReportVariables> variables;
    std::unique_ptr<TRpDExpressionBuilder> wizard;
};

} // namespace

TEST_F(DesignerWizard, BuildsAndValidatesASumOfAFieldWithItsButtons)
{
    RpWizardWindow *w = wizard.get();
    UiScript script;
    script.then([w] { click(w, QStringLiteral("&Function")); })
        .when([w] { return onPage(w, RpWizardWindow::FunctionPage); },
            [w] {
                choose(list(w, "ListCategory"), QStringLiteral("Statistical"));
                choose(list(w, "ListFunctions"), QStringLiteral("SUM"));
                click(w, QStringLiteral("Continue"));
            })
        .when([w] { return onPage(w, RpWizardWindow::ParametersPage); }, [w] { argumentWizard(w, 1); })
        .when([w] { return front(w) != w; }, [w] { click(front(w), QStringLiteral("&Database field")); })
        .when([w] { return onPage(front(w), RpWizardWindow::DataFieldPage); },
            [w] {
                RpWizardWindow *inner = front(w);
                EXPECT_EQ(list(inner, "ListDatasets")->item(0)->text(), QStringLiteral("tblAccount"));
                choose(list(inner, "ListDatasets"), QStringLiteral("tblTransaction"));
                // Listed with its label, inserted by its name.
                choose(list(inner, "ListFields"), QStringLiteral("Transaction_Amount  (Montant)"));
                click(inner, QStringLiteral("OK"));
            })
        .then([w] {
            EXPECT_EQ(front(w)->expressionText(), QStringLiteral("tblTransaction.Transaction_Amount"));
            click(front(w), QStringLiteral("OK"));
        })
        .then([w] {
            EXPECT_EQ(argument(w, 1)->text(), QStringLiteral("tblTransaction.Transaction_Amount"));
            click(w, QStringLiteral("OK"));
        });
    script.run();
    click(w, QStringLiteral(">"));
    type(w, QStringLiteral("0"));
    EXPECT_EQ(text(), QStringLiteral("SUM(tblTransaction.Transaction_Amount) > 0"));

    click(w, QStringLiteral("Valida&te"));
    ASSERT_FALSE(boxes.messages.empty());
    EXPECT_EQ(boxes.messages.back().kind, Dialogs::MessageKind::Plain);
    EXPECT_EQ(boxes.messages.back().text, QStringLiteral("There are no errors. The result is : False"));

    w->expressionEdit()->setPlainText(QStringLiteral("tblTransaction.Transaction_Amount / 4"));
    click(w, QStringLiteral("Valida&te"));
    EXPECT_EQ(boxes.messages.back().text, QStringLiteral("There are no errors. The result is : -3,125"));
}

TEST_F(DesignerWizard, ValidatingChangesNothingInTheOpenDesignAndShowsNoBoxOfItsOwn)
{
    auto *band = new TRpDesignBand(designer->designReport());
    band->setObjectName(QStringLiteral("Detail1"));
    auto *label = new TRpDesignLabel(band);
    label->setObjectName(QStringLiteral("Label1"));
    label->setCaption(QStringLiteral("Solde"));
    RpWizardWindow *w = wizard.get();
    const auto validate = [&](const char *expression) {
        w->expressionEdit()->setPlainText(QString::fromLatin1(expression));
        const size_t before = boxes.messages.size();
        click(w, QStringLiteral("Valida&te"));
        EXPECT_EQ(boxes.messages.size(), before + 1) << "only the wizard's own answer";
        return boxes.messages.empty() ? QString() : boxes.messages.back().text;
    };
    EXPECT_EQ(validate("SETSTRPROP('Label1', 'Caption', 'Changed')"),
        QStringLiteral("There are no errors. The result is : Changed"));
    EXPECT_EQ(label->caption(), QStringLiteral("Solde"));
    EXPECT_EQ(validate("OKBOX('Hello')"), QStringLiteral("There are no errors. The result is : True"));
    EXPECT_EQ(
        validate("SETFONTSIZE('Label1', 30)"), QStringLiteral("There are no errors. The result is : True"));
    EXPECT_EQ(label->font()->size(), TRpDesignLabel().font()->size());
    EXPECT_FALSE(designer->Modified());

    // The same setter outside the wizard does reach the design.
    TRpEvaluator evaluator;
    TRpEvValue value;
    evaluator.ComputeOnce(QStringLiteral("SETSTRPROP('Label1', 'Caption', 'Changed')"), value);
    EXPECT_EQ(label->caption(), QStringLiteral("Changed"));
}

TEST_F(DesignerWizard, WritesOperatorsAndArgumentsTheDesignersWay)
{
    RpWizardWindow *w = wizard.get();
    click(w, QStringLiteral("Not"));
    click(w, QStringLiteral("Or"));
    EXPECT_EQ(text(), QStringLiteral(" not  or "));
    w->expressionEdit()->clear();
    UiScript script;
    script.then([w] { click(w, QStringLiteral("&Function")); })
        .when([w] { return onPage(w, RpWizardWindow::FunctionPage); },
            [w] {
                choose(list(w, "ListFunctions"), QStringLiteral("DIV"));
                click(w, QStringLiteral("Continue"));
            })
        .when([w] { return onPage(w, RpWizardWindow::ParametersPage); },
            [w] {
                argument(w, 1)->setText(QStringLiteral("1"));
                argument(w, 2)->setText(QStringLiteral("2"));
                click(w, QStringLiteral("OK"));
            });
    script.run();
    EXPECT_EQ(text(), QStringLiteral("DIV(1, 2)"));
}

TEST_F(DesignerWizard, HidesFieldsNamedWithTwoUnderscoresAndOnesTheEngineRefuses)
{
    designer->OnShowDatafield
        = [](TField *field, bool &show) { show = field->FieldName() != QLatin1String("Account_Number"); };
    RpWizardWindow *w = wizard.get();
    UiScript script;
    script.then([w] { click(w, QStringLiteral("&Database field")); })
        .when([w] { return onPage(w, RpWizardWindow::DataFieldPage); },
            [w] {
                choose(list(w, "ListDatasets"), QStringLiteral("tblTransaction"));
                QStringList fields;
                for (int i = 0; i < list(w, "ListFields")->count(); ++i)
                    fields << list(w, "ListFields")->item(i)->text();
                EXPECT_EQ(fields,
                    (QStringList { "Transaction_Number", "Transaction_Description", "Transaction_Date",
                        "Transaction_Amount  (Montant)" }));
                click(w, QStringLiteral("Cancel"));
            });
    script.run();
    EXPECT_EQ(text(), QString());
}

TEST_F(DesignerWizard, ModifyVariablesOpensTheEditorOnTheReportsVariablesAndRefillsTheList)
{
    RpWizardWindow *w = wizard.get();
    boxes.scripts.push_back([](QDialog &d) {
        auto &editor = static_cast<TRpEnvironmentEditor &>(d);
        EXPECT_TRUE(editor.RLocal->isChecked());
        EXPECT_EQ(editor.GridVars->item(0, 0)->text(), QStringLiteral("PAGENUMBER"));
        UiScript add;
        add.then([&editor] { click(&editor, QStringLiteral("&Add")); })
            .when([&editor] { return editor.GNewEntry->isVisible(); },
                [&editor] {
                    editor.ENewName->setText(QStringLiteral("vat"));
                    editor.ENewExpression->setText(QStringLiteral("0.2"));
                    click(&editor, QStringLiteral("&OK"));
                });
        add.run();
        return true;
    });
    UiScript script;
    script.then([w] { click(w, QStringLiteral("&Variable")); })
        .when([w] { return onPage(w, RpWizardWindow::VariablePage); },
            [w] { click(w, QStringLiteral("&Modify variables")); })
        // The list comes back when the editor has closed.
        .when([w] { return list(w, "ListVariables")->isVisible(); },
            [w] {
                QListWidget *names = list(w, "ListVariables");
                EXPECT_FALSE(names->findItems(QStringLiteral("VAT"), Qt::MatchExactly).isEmpty());
                choose(names, QStringLiteral("VAT"));
                click(w, QStringLiteral("OK"));
            });
    script.run();
    EXPECT_EQ(text(), QStringLiteral("VAT"));
    EXPECT_EQ(designer->report()->functions()->expression(QStringLiteral("VAT")), QStringLiteral("0.2"));
}

TEST_F(DesignerWizard, OpensModallyAndReturnsOneLine)
{
    boxes.scripts.push_back([](QDialog &d) {
        auto &wizard = static_cast<RpWizardWindow &>(d);
        EXPECT_EQ(wizard.findChild<QLabel *>(QStringLiteral("LHeading"))->text(),
            QStringLiteral("Print condition"));
        wizard.expressionEdit()->setPlainText(QStringLiteral("PAGENUMBER\n> 1"));
        click(&wizard, QStringLiteral("OK"));
        return true;
    });
    QString expression = QStringLiteral("TRUE");
    EXPECT_TRUE(OpenDesignerExpressionWizard(QStringLiteral("Print condition"), expression, *designer));
    EXPECT_EQ(expression, QStringLiteral("PAGENUMBER> 1"));
}
