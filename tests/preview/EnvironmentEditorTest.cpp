// The variable editor: its grid, adding, renaming, deleting and the refusals.
#include "WizardTestSupport.h"

#include "preview/ReportVariables.h"
#include "preview/RpEnvironmentEditor.h"
#include "report/expressions/Evaluator.h"
#include "report/model/Report.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

using namespace WizardTest;
using UiFind::click;

namespace {

QStringList column(QTableWidget *grid, int col)
{
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row)
        texts << grid->item(row, col)->text();
    return texts;
}

// Types into a cell as the grid's editor would leave it.
void editCell(QTableWidget *grid, int row, int col, const QString &text)
{
    grid->item(row, col)->setText(text);
    QCoreApplication::sendPostedEvents();
}

class EnvironmentEditor : public ::testing::Test
{
protected:
    EnvironmentEditor()
    {
        variables.add(QStringLiteral("rate"), QStringLiteral("0.2"));
        variables.add(QStringLiteral("total"), QStringLiteral("1 + 2"));
    }

    // Adds through the "New entry" group: "&Add", the two fields, "&OK" (and "&Cancel" when refused).
    void add(TRpEnvironmentEditor &editor, const QString &name, const QString &expression)
    {
        UiScript script;
        script.then([&] { click(&editor, QStringLiteral("&Add")); })
            .when([&] { return editor.GNewEntry->isVisible(); },
                [&, name, expression] {
                    EXPECT_FALSE(editor.GAvailable->isVisible());
                    EXPECT_FALSE(editor.BClose->isVisible());
                    editor.ENewName->setText(name);
                    editor.ENewExpression->setText(expression);
                    click(&editor, QStringLiteral("&OK"));
                    if (editor.newEntryResult() == 0)
                        click(&editor, QStringLiteral("&Cancel"));
                });
        script.run();
    }

    Boxes boxes;
    TRpEvEnvironment environment;
    RpEnvironmentVariables variables { environment };
};

} // namespace

TEST_F(EnvironmentEditor, ShowsTheLocalVariablesAndSwitchesToTheGlobalOnes)
{
    TRpEnvironmentEditor editor(&variables, true);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("User Defined Functions Edtor"));
    EXPECT_TRUE(editor.RLocal->isChecked());
    EXPECT_EQ(column(editor.GridVars, 0), (QStringList { "RATE", "TOTAL" }));
    EXPECT_EQ(column(editor.GridVars, 1), (QStringList { "0.2", "1 + 2" }));
    EXPECT_EQ(editor.GridVars->horizontalHeaderItem(0)->text(), QStringLiteral("Name"));
    EXPECT_EQ(editor.GridVars->horizontalHeaderItem(1)->text(), QStringLiteral("Expression"));
    editor.RGlobal->setChecked(true);
    EXPECT_EQ(column(editor.GridVars, 0), TRpEvEnvironment::GlobalEnvironment().Names());
}

TEST_F(EnvironmentEditor, WithoutAnEnvironmentOnlyTheGlobalOnesAndGlobalCanBeBarred)
{
    TRpEnvironmentEditor noLocal(nullptr, true);
    EXPECT_FALSE(noLocal.RLocal->isEnabled());
    EXPECT_TRUE(noLocal.RGlobal->isChecked());
    TRpEnvironmentEditor noGlobal(&variables, false);
    EXPECT_FALSE(noGlobal.RGlobal->isEnabled());
    EXPECT_TRUE(noGlobal.RLocal->isChecked());
}

TEST_F(EnvironmentEditor, AddedNameIsUpperCased)
{
    TRpEnvironmentEditor editor(&variables, true);
    editor.show();
    add(editor, QStringLiteral("count"), QStringLiteral("COUNT"));
    EXPECT_EQ(column(editor.GridVars, 0), (QStringList { "RATE", "TOTAL", "COUNT" }));
    EXPECT_EQ(environment.ExpressionText(2), QStringLiteral("COUNT"));
    EXPECT_TRUE(editor.GAvailable->isVisible());
    EXPECT_TRUE(editor.BAdd->isVisible());
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(EnvironmentEditor, EmptyAndDuplicateNamesAreRefusedWhenAdding)
{
    TRpEnvironmentEditor editor(&variables, true);
    editor.show();
    add(editor, QStringLiteral("Total"), QStringLiteral("5"));
    add(editor, QString(), QStringLiteral("5"));
    EXPECT_EQ(boxes.texts(),
        (QStringList { "There is already a variable named TOTAL", "A variable needs a name" }));
    EXPECT_EQ(environment.Count(), 2);
    EXPECT_EQ(environment.ExpressionText(1), QStringLiteral("1 + 2"));
    EXPECT_EQ(editor.newEntryResult(), 2);
}

TEST_F(EnvironmentEditor, RenamingInTheGridUpperCases_AndARefusedNameRestoresTheCell)
{
    TRpEnvironmentEditor editor(&variables, true);
    editCell(editor.GridVars, 0, 0, QStringLiteral("vat"));
    EXPECT_EQ(environment.Names(), (QStringList { "VAT", "TOTAL" }));
    EXPECT_EQ(editor.GridVars->item(0, 0)->text(), QStringLiteral("VAT"));

    editCell(editor.GridVars, 1, 0, QStringLiteral("vat"));
    editCell(editor.GridVars, 1, 0, QStringLiteral(""));
    EXPECT_EQ(environment.Names(), (QStringList { "VAT", "TOTAL" }));
    EXPECT_EQ(editor.GridVars->item(1, 0)->text(), QStringLiteral("TOTAL"));
    EXPECT_EQ(
        boxes.texts(), (QStringList { "There is already a variable named VAT", "A variable needs a name" }));
}

TEST_F(EnvironmentEditor, ExpressionCellChangesTheVariable_ButNotWhilePrepared)
{
    TRpEnvironmentEditor editor(&variables, true);
    editCell(editor.GridVars, 1, 1, QStringLiteral("RATE * 10"));
    EXPECT_EQ(environment.ExpressionText(1), QStringLiteral("RATE * 10"));

    environment.PrepareEnvironment();
    editCell(editor.GridVars, 1, 1, QStringLiteral("99"));
    editCell(editor.GridVars, 0, 0, QStringLiteral("OTHER"));
    environment.UnprepareEnvironment();
    EXPECT_EQ(environment.ExpressionText(1), QStringLiteral("RATE * 10"));
    EXPECT_EQ(editor.GridVars->item(1, 1)->text(), QStringLiteral("RATE * 10"));
    EXPECT_EQ(editor.GridVars->item(0, 0)->text(), QStringLiteral("RATE"));
    // Refused without a word.
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(EnvironmentEditor, DeleteRemovesTheSelectedVariable)
{
    TRpEnvironmentEditor editor(&variables, true);
    editor.show();
    editor.GridVars->setCurrentCell(0, 1);
    click(&editor, QStringLiteral("&Delete"));
    EXPECT_EQ(environment.Names(), QStringList { "TOTAL" });
    EXPECT_EQ(column(editor.GridVars, 0), QStringList { "TOTAL" });
}

TEST_F(EnvironmentEditor, VariablesOfBandsKeepTheirNames)
{
    TRpReport report;
    auto *strings = new TRpStringsBand(&report);
    strings->setObjectName(QStringLiteral("Months"));
    RpReportVariables reportVariables(&report);
    TRpEnvironmentEditor editor(&reportVariables, true);
    editor.show();
    const int row = reportVariables.indexOf(QStringLiteral("MONTHS"));
    ASSERT_GE(row, 0);
    editCell(editor.GridVars, row, 0, QStringLiteral("DAYS"));
    editor.GridVars->setCurrentCell(row, 0);
    click(&editor, QStringLiteral("&Delete"));
    EXPECT_EQ(report.functions()->indexOf(QStringLiteral("MONTHS")), row);
    EXPECT_EQ(editor.GridVars->item(row, 0)->text(), QStringLiteral("MONTHS"));
    EXPECT_EQ(boxes.texts(),
        (QStringList { "The variable MONTHS belongs to a band of the report and cannot be renamed",
            "The variable MONTHS belongs to a band of the report and cannot be deleted" }));
}

TEST_F(EnvironmentEditor, EditOpensTheWizardInsideTheEditorOnTheRow)
{
    TRpEnvironmentEditor editor(&variables, true);
    editor.show();
    editor.GridVars->setCurrentCell(1, 1);
    UiScript script;
    script.then([&] { click(&editor, QStringLiteral("&Edit")); })
        .when([&] { return editor.findChild<RpWizardWindow *>() != nullptr; },
            [&] {
                RpWizardWindow *wizard = editor.findChild<RpWizardWindow *>();
                EXPECT_EQ(
                    wizard->findChild<QLabel *>(QStringLiteral("LHeading"))->text(), QStringLiteral("TOTAL"));
                EXPECT_EQ(wizard->expressionText(), QStringLiteral("1 + 2"));
                wizard->expressionEdit()->moveCursor(QTextCursor::End);
                click(wizard, QStringLiteral("*"));
                type(wizard, QStringLiteral("RATE"));
                click(wizard, QStringLiteral("OK"));
            });
    script.run();
    EXPECT_EQ(environment.ExpressionText(1), QStringLiteral("1 + 2 * RATE"));
    EXPECT_EQ(editor.GridVars->item(1, 1)->text(), QStringLiteral("1 + 2 * RATE"));
}

TEST_F(EnvironmentEditor, OpenVariableEditorRunsModallyUntilClosed)
{
    boxes.onExec = [](QDialog &dialog) {
        auto &editor = static_cast<TRpEnvironmentEditor &>(dialog);
        EXPECT_FALSE(editor.closeFlag());
        click(&dialog, QStringLiteral("Close"));
    };
    OpenVariableEditor(&environment, true);
    EXPECT_EQ(boxes.dialogs, QStringList { QStringLiteral("User Defined Functions Edtor") });
}
