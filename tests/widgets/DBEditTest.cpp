#include "DataTableFixture.h"

#include "platform/RegionalSettings.h"
#include "widgets/DBEdit.h"

#include <QClipboard>

class DBEditTest : public DataTableFixture
{
protected:
    TDBEdit *makeEdit(const char *fieldName)
    {
        auto *edit = new TDBEdit(&window);
        edit->setObjectName(QStringLiteral("DBEdit1"));
        edit->setDataSource(&source);
        edit->setDataField(QString::fromLatin1(fieldName));
        edit->resize(200, 24);
        return edit;
    }
};

TEST_F(DBEditTest, FollowsTheCurrentRowAndIsReadOnlyWhileBrowsing)
{
    addRows(3);
    TDBEdit *edit = makeEdit("Name");
    EXPECT_EQ(edit->text(), "Row0");
    EXPECT_TRUE(edit->isReadOnly());
    table.Next();
    EXPECT_EQ(edit->text(), "Row1");
    table.Edit();
    EXPECT_FALSE(edit->isReadOnly());
    table.Cancel();
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->maxLength(), 10);
}

TEST_F(DBEditTest, TypingStartsTheEdit_AndPostStoresTheText)
{
    addRows(2);
    TDBEdit *edit = makeEdit("Name");
    showWindow();
    edit->setFocus();
    edit->setCursorPosition(2);
    type("x");
    EXPECT_EQ(table.State(), dsEdit);
    // Starting the edit reloads the same text: the caret stays where the user typed.
    EXPECT_EQ(edit->text(), "Roxw0");
    EXPECT_EQ(field("Name")->AsString(), "Row0");
    table.Post();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(field("Name")->AsString(), "Roxw0");
}

struct CharCase
{
    char typed;
    bool accepted;
};

class DBEditAmountChars : public DBEditTest, public ::testing::WithParamInterface<CharCase>
{
};

TEST_P(DBEditAmountChars, AcceptsOnlyWhatTheFieldAccepts)
{
    addRows(1);
    TDBEdit *edit = makeEdit("Amount");
    showWindow();
    edit->setFocus();
    edit->selectAll();
    type(QString(QLatin1Char(GetParam().typed)));
    EXPECT_EQ(edit->text() == QString(QLatin1Char(GetParam().typed)), GetParam().accepted);
    EXPECT_EQ(table.State() == dsEdit, GetParam().accepted) << "a refused key starts no edit";
}

INSTANTIATE_TEST_SUITE_P(FrenchSettings, DBEditAmountChars,
                         ::testing::Values(CharCase{'5', true}, CharCase{'-', true}, CharCase{'+', true},
                                           CharCase{'E', true}, CharCase{'e', true}, CharCase{',', true},
                                           CharCase{'.', false}, CharCase{'a', false}, CharCase{' ', false}));

TEST_F(DBEditTest, EscapeRestoresTheFieldsValue)
{
    addRows(1);
    TDBEdit *edit = makeEdit("Name");
    showWindow();
    edit->setFocus();
    edit->selectAll();
    type("Zed");
    EXPECT_EQ(edit->text(), "Zed");
    key(Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "Row0");
    EXPECT_EQ(edit->selectedText(), "Row0");
}

TEST_F(DBEditTest, FocusedAmountShowsTheEditTextAndTheCurrencyTextAfterwards)
{
    addRow("A", 1234.5);
    TDBEdit *edit = makeEdit("Amount");
    showWindow();
    EXPECT_EQ(edit->text(), field("Amount")->DisplayText());
    edit->setFocus();
    table.Edit();
    EXPECT_EQ(edit->text(), "1234,50");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), field("Amount")->DisplayText());
    EXPECT_NE(edit->text(), "1234,50");
}

TEST_F(DBEditTest, TextThatDoesNotConvert_ShowsTheErrorAndKeepsTextSelectionAndFocus)
{
    addRow("A", 7);
    TDBEdit *edit = makeEdit("Amount");
    showWindow();
    edit->setFocus();
    edit->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(edit->text(), "abc");
    other->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors()[0], "'abc' is not a valid floating point value for field 'Amount'");
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), "abc");
    EXPECT_EQ(edit->selectedText(), "abc");
    EXPECT_DOUBLE_EQ(field("Amount")->AsNumber(), 7);
    EXPECT_EQ(table.State(), dsEdit);
    // Posting fails the same way; the table keeps its edit state and the field its value.
    EXPECT_THROW(table.Post(), Exception);
    EXPECT_EQ(table.State(), dsEdit);
    EXPECT_DOUBLE_EQ(field("Amount")->AsNumber(), 7);
}

TEST_F(DBEditTest, FocusTakenByAnotherWindowOrPopup_WritesNothing)
{
    addRow("A", 7);
    TDBEdit *edit = makeEdit("Amount");
    showWindow();
    edit->setFocus();
    edit->selectAll();
    type("1-");
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(edit, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(edit, &in);
    }
    EXPECT_TRUE(dialogs.errors().isEmpty());
    EXPECT_EQ(edit->text(), "1-");
    EXPECT_DOUBLE_EQ(field("Amount")->AsNumber(), 7);
}

TEST_F(DBEditTest, LeavingWritesTheTextIntoTheFieldAndKeepsTheRowPending)
{
    addRow("A", 7);
    TDBEdit *edit = makeEdit("Amount");
    showWindow();
    edit->setFocus();
    edit->selectAll();
    type("-2,5");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_DOUBLE_EQ(field("Amount")->AsNumber(), -2.5);
    EXPECT_EQ(table.State(), dsEdit);
}

TEST_F(DBEditTest, NewRowShowsEmptyTexts)
{
    addRow("A", 7);
    TDBEdit *name = makeEdit("Name");
    TDBEdit *amount = makeEdit("Amount");
    table.AppendRow();
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_TRUE(amount->text().isEmpty());
}

TEST_F(DBEditTest, UnknownFieldFailsWithTheControlsName)
{
    auto *edit = new TDBEdit(&window);
    edit->setObjectName(QStringLiteral("DBEdit9"));
    edit->setDataSource(&source);
    try {
        edit->setDataField(QStringLiteral("Nope"));
        FAIL() << "no error";
    } catch (const EDatabaseError &error) {
        EXPECT_EQ(error.message(), "DBEdit9: Field 'Nope' not found");
    }
}

TEST_F(DBEditTest, ControlsDestroyedBeforeTheTable_AreNotNotified)
{
    addRows(2);
    {
        auto *edit = makeEdit("Name");
        auto *text = new TDBText(&window);
        text->setDataSource(&source);
        text->setDataField(QStringLiteral("Name"));
        EXPECT_EQ(text->text(), "Row0");
        delete edit;
        delete text;
    }
    table.Next();
    table.Close();
    SUCCEED();
}

TEST_F(DBEditTest, DBTextFollowsItsField)
{
    addRows(2);
    auto *text = new TDBText(&window);
    text->setDataSource(&source);
    text->setDataField(QStringLiteral("Name"));
    EXPECT_EQ(text->text(), "Row0");
    table.Last();
    EXPECT_EQ(text->text(), "Row1");
    table.Edit();
    field("Name")->setAsString(QStringLiteral("<b>x</b>"));
    EXPECT_EQ(text->text(), "<b>x</b>");
    EXPECT_EQ(text->textFormat(), Qt::PlainText);
    table.Close();
    EXPECT_TRUE(text->text().isEmpty());
}
