#include "DataTableFixture.h"

#include "widgets/DBGrid.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>

class DBGridTest : public DataTableFixture
{
protected:
    TDBGrid *makeGrid(int height = 200)
    {
        grid = new TDBGrid(&window);
        grid->setObjectName(QStringLiteral("DBGrid1"));
        grid->resize(400, height);
        tester = std::make_unique<QAbstractItemModelTester>(
            grid->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        grid->setDataSource(&source);
        return grid;
    }

    void focusGrid()
    {
        showWindow();
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    QString cell(int row, int column) const
    {
        return grid->model()->index(row, column).data().toString();
    }
    int currentRow() const { return grid->currentIndex().row(); }
    QString currentName() { return field("Name")->AsString(); }
    int columnOf(const char *name) const
    {
        for (size_t i = 0; i < grid->boundColumns().size(); ++i) {
            if (grid->boundColumns()[i].column.FieldName == QLatin1String(name))
                return int(i);
        }
        return -1;
    }

    TDBGrid *grid = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(DBGridTest, ShowsTheRowsOfItsWindowWithTheFieldsDisplayTexts)
{
    addRows(3);
    makeGrid();
    ASSERT_EQ(grid->model()->columnCount(), 4);
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(cell(1, 1), "Row1");
    EXPECT_EQ(cell(2, 2), field("Amount")->DisplayText().replace("0,00", "2,00"));
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(grid->model()->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
              Qt::AlignRight);
    EXPECT_EQ(currentRow(), 0);
}

TEST_F(DBGridTest, FollowsTheTable)
{
    addRows(50);
    makeGrid();
    const int visible = grid->model()->rowCount();
    EXPECT_EQ(visible, grid->visibleRowCount());
    EXPECT_LT(visible, 50);
    table.MoveRows(3);
    EXPECT_EQ(cell(currentRow(), 1), "Row3");
    table.Last();
    EXPECT_EQ(cell(currentRow(), 1), "Row49");
    table.First();
    EXPECT_EQ(cell(currentRow(), 1), "Row0");
}

TEST_F(DBGridTest, TheTableFollowsAClick)
{
    addRows(10);
    makeGrid();
    focusGrid();
    const QRect rect = grid->visualRect(grid->model()->index(4, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(currentName(), "Row4");
    EXPECT_EQ(currentRow(), 4);
    EXPECT_EQ(grid->selectedColumn(), 1);
}

TEST_F(DBGridTest, KeysMoveTheTable)
{
    addRows(50);
    makeGrid();
    focusGrid();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(currentName(), "Row2");
    key(Qt::Key_Up);
    EXPECT_EQ(currentName(), "Row1");
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(currentName(), "Row49");
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(currentName(), "Row0");
    key(Qt::Key_PageDown);
    EXPECT_EQ(currentName(), QStringLiteral("Row%1").arg(grid->visibleRowCount()));
    EXPECT_EQ(cell(currentRow(), 1), currentName());
}

TEST_F(DBGridTest, InCellEdit_EnterWritesTheField_MovingPostsTheRow)
{
    addRows(3);
    makeGrid();
    focusGrid();
    grid->setSelectedColumn(columnOf("Name"));
    type("Bob");
    ASSERT_TRUE(grid->editorOpen());
    EXPECT_EQ(grid->editor()->text(), "Bob");
    EXPECT_EQ(table.State(), dsEdit);
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(currentName(), "Bob");
    EXPECT_EQ(table.State(), dsEdit) << "the row stays pending";
    key(Qt::Key_Down);
    EXPECT_EQ(table.State(), dsBrowse);
    table.First();
    EXPECT_EQ(currentName(), "Bob");
}

TEST_F(DBGridTest, EscapeUndoesInTwoSteps)
{
    addRows(2);
    makeGrid();
    focusGrid();
    grid->setSelectedColumn(columnOf("Name"));
    type("Zed");
    key(Qt::Key_Return); // written into the field, row pending
    type("Q");
    key(Qt::Key_Escape);
    EXPECT_EQ(currentName(), "Zed") << "first Escape restores the cell";
    EXPECT_EQ(table.State(), dsEdit);
    key(Qt::Key_Escape);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(currentName(), "Row0") << "second Escape cancels the row";
}

TEST_F(DBGridTest, DownOnTheLastRowStartsANewRow_UpRemovesItUntouched)
{
    addRows(2);
    makeGrid();
    focusGrid();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(grid->model()->rowCount(), 3);
    key(Qt::Key_Down);
    EXPECT_EQ(table.State(), dsInsert) << "Down on an untouched row at the end does nothing";
    key(Qt::Key_Up);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.ViewRowCount(), 2);
    EXPECT_EQ(currentName(), "Row1");
}

TEST_F(DBGridTest, TypedNewRowIsPostedWithTheNextNumber)
{
    addRows(2);
    makeGrid();
    focusGrid();
    grid->setSelectedColumn(columnOf("Name"));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    type("New");
    key(Qt::Key_Up);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.ViewRowCount(), 3);
    table.Last();
    EXPECT_EQ(currentName(), "New");
    EXPECT_EQ(field("Num")->AsInteger(), 3);
}

TEST_F(DBGridTest, LeavingTheGridRemovesAnUntouchedNewRow)
{
    addRows(1);
    makeGrid();
    focusGrid();
    key(Qt::Key_Down);
    ASSERT_EQ(table.State(), dsInsert);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.ViewRowCount(), 1);
}

TEST_F(DBGridTest, SwitchingWindowsKeepsTheNewRow)
{
    addRows(1);
    makeGrid();
    focusGrid();
    key(Qt::Key_Down);
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(grid, &out);
    EXPECT_EQ(table.State(), dsInsert);
}

TEST_F(DBGridTest, TypingIntoAnEmptyTableStartsItsFirstRow)
{
    makeGrid();
    focusGrid();
    EXPECT_EQ(grid->model()->rowCount(), 0);
    grid->setSelectedColumn(columnOf("Name"));
    type("A");
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    ASSERT_TRUE(grid->editorOpen());
    EXPECT_EQ(grid->editor()->text(), "A");
}

TEST_F(DBGridTest, InsertKeyStartsARowAboveTheCurrentOne)
{
    addRows(3);
    makeGrid();
    focusGrid();
    key(Qt::Key_Down);
    key(Qt::Key_Insert);
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(cell(2, 1), "Row1");
}

struct DeleteCase
{
    Dialogs::Answer answer;
    int rowsLeft;
};

class DBGridDelete : public DBGridTest, public ::testing::WithParamInterface<DeleteCase>
{
};

TEST_P(DBGridDelete, CtrlDeleteAsksFirst)
{
    addRows(3);
    makeGrid();
    focusGrid();
    dialogs.answers = {GetParam().answer};
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(dialogs.texts(Dialogs::MessageKind::OkCancel), QStringList{"Delete record?"});
    EXPECT_EQ(table.ViewRowCount(), GetParam().rowsLeft);
}

INSTANTIATE_TEST_SUITE_P(Answers, DBGridDelete,
                         ::testing::Values(DeleteCase{Dialogs::Answer::Ok, 2}, DeleteCase{Dialogs::Answer::Cancel, 3}));

TEST_F(DBGridTest, ReadOnlyGridNeverChangesTheTable)
{
    addRows(2);
    makeGrid();
    grid->setReadOnly(true);
    focusGrid();
    key(Qt::Key_Insert);
    key(Qt::Key_Delete, Qt::ControlModifier);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    type("x");
    key(Qt::Key_F2);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.ViewRowCount(), 2);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(grid->editorOpen());
}

TEST_F(DBGridTest, FailedPost_KeepsEditorTextCursorAndStateAndAppendsNothing)
{
    addRows(2);
    makeGrid();
    focusGrid();
    grid->setSelectedColumn(columnOf("Amount"));
    key(Qt::Key_Down);
    type("--");
    ASSERT_TRUE(grid->editorOpen());
    key(Qt::Key_Down);
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors()[0], "'--' is not a valid floating point value for field 'Amount'");
    EXPECT_TRUE(grid->editorOpen());
    EXPECT_EQ(grid->editor()->text(), "--");
    EXPECT_EQ(table.State(), dsEdit);
    EXPECT_EQ(currentName(), "Row1");
    EXPECT_EQ(table.ViewRowCount(), 2);
    key(Qt::Key_Escape);
    key(Qt::Key_Escape);
    EXPECT_EQ(table.State(), dsBrowse);
}

TEST_F(DBGridTest, RefusedCharacterInACellIsDropped)
{
    addRows(1);
    makeGrid();
    focusGrid();
    grid->setSelectedColumn(columnOf("Amount"));
    type("x");
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(table.State(), dsBrowse);
    type("1x");
    EXPECT_EQ(grid->editor()->text(), "1");
}

TEST_F(DBGridTest, TabWrapsToTheNextRow)
{
    addRows(2);
    makeGrid();
    focusGrid();
    grid->setSelectedColumn(3);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->selectedColumn(), 0);
    EXPECT_EQ(currentName(), "Row1");
    key(Qt::Key_Backtab);
    EXPECT_EQ(grid->selectedColumn(), 3);
    EXPECT_EQ(currentName(), "Row0");
}

struct HeightCase
{
    int height;
};

class DBGridWindow : public DBGridTest, public ::testing::WithParamInterface<HeightCase>
{
};

TEST_P(DBGridWindow, AsksForAtLeastOneAndAtMostTheCappedNumberOfRows)
{
    addRows(30);
    makeGrid(GetParam().height);
    const int rows = grid->link().BufferCount();
    EXPECT_GE(rows, 1);
    EXPECT_LE(rows, TDBGrid::kMaxRows);
    EXPECT_EQ(grid->model()->rowCount(), std::min(rows, 30));
    table.Last();
    EXPECT_EQ(cell(currentRow(), 1), "Row29");
}

INSTANTIATE_TEST_SUITE_P(Heights, DBGridWindow,
                         ::testing::Values(HeightCase{0}, HeightCase{1}, HeightCase{60}, HeightCase{100000}));

TEST_F(DBGridTest, ObserversSuspended_GridRefreshesOnceAtTheEnd)
{
    addRows(5);
    makeGrid();
    {
        ObserverSuspension suspension(table);
        table.Last();
        EXPECT_EQ(currentRow(), 0);
    }
    EXPECT_EQ(cell(currentRow(), 1), "Row4");
}

TEST_F(DBGridTest, ColumnsAsTheWindowsDefineThem)
{
    addRows(2);
    makeGrid();
    TColumn name;
    name.FieldName = QStringLiteral("Name");
    name.Title = QStringLiteral("Nom");
    name.Width = 123;
    name.Color = clYellow;
    TColumn amount;
    amount.FieldName = QStringLiteral("Amount");
    grid->setColumns({name, amount});
    EXPECT_EQ(grid->model()->columnCount(), 2);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Nom");
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), 123);
    EXPECT_EQ(grid->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 0));
    const QFontMetrics metrics(grid->font());
    EXPECT_GE(grid->horizontalHeader()->sectionSize(1), metrics.horizontalAdvance('0') * 10 + 4);
}

TEST_F(DBGridTest, ClosingTheTableEmptiesTheGrid)
{
    addRows(2);
    makeGrid();
    table.Close();
    EXPECT_EQ(grid->model()->rowCount(), 0);
    table.CreateEmpty();
    addRow(QStringLiteral("again"), 1);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 1), "again");
}
