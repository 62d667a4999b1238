#include "DataTableFixture.h"

#include "platform/DateTime.h"
#include "widgets/DBDateEdit.h"

#include <QCalendarWidget>

struct MaskCase
{
    const char *format;
    const char *maskFormat;
    const char *mask;
};

class DateMask : public ::testing::TestWithParam<MaskCase>
{
};

TEST_P(DateMask, FollowsTheShortDateFormatWithAFourDigitYear)
{
    EXPECT_EQ(dateMaskFormat(QString::fromLatin1(GetParam().format)), QString::fromLatin1(GetParam().maskFormat));
    EXPECT_EQ(dateInputMask(QString::fromLatin1(GetParam().format)), QString::fromLatin1(GetParam().mask));
}

INSTANTIATE_TEST_SUITE_P(Formats, DateMask,
                         ::testing::Values(MaskCase{"dd/MM/yyyy", "dd/MM/yyyy", "00/00/0000;_"},
                                           MaskCase{"d/M/yy", "dd/MM/yyyy", "00/00/0000;_"},
                                           MaskCase{"yyyy-MM-dd", "yyyy-MM-dd", "0000-00-00;_"},
                                           MaskCase{"dd.MM.yyyy", "dd.MM.yyyy", "00.00.0000;_"},
                                           MaskCase{"M/d/yyyy", "MM/dd/yyyy", "00/00/0000;_"},
                                           MaskCase{"d MMM yyyy", "dd MM yyyy", "00 00 0000;_"},
                                           MaskCase{"dddd d MMMM yyyy", "dd/MM/yyyy", "00/00/0000;_"},
                                           MaskCase{"yyyyMMdd", "yyyy/MM/dd", "0000/00/00;_"}));

TEST(DateMaskEmpty, TextWithoutDigitsIsAnEmptyDate)
{
    for (const char *text : {"", "//", "  /  /    ", "__/__/____", ".."})
        EXPECT_TRUE(isEmptyMaskedDate(QString::fromLatin1(text))) << text;
    for (const char *text : {"01//", "  /03/    ", "05/03/2024"})
        EXPECT_FALSE(isEmptyMaskedDate(QString::fromLatin1(text))) << text;
}

class DBDateEditTest : public DataTableFixture
{
protected:
    TDBDateEdit *makeEdit()
    {
        edit = new TDBDateEdit(&window);
        edit->setObjectName(QStringLiteral("DBDateEdit1"));
        edit->setDataSource(&source);
        edit->setDataField(QStringLiteral("Day"));
        edit->resize(140, 24);
        return edit;
    }
    TDBDateEdit *edit = nullptr;
};

TEST_F(DBDateEditTest, ANewRowStartsEmpty_AndAnEmptyTextLeavesTheDateEmpty)
{
    makeEdit();
    showWindow();
    table.AppendRow();
    EXPECT_TRUE(isEmptyMaskedDate(edit->text()));
    edit->setFocus();
    type("x"); // refused by the mask, but makes the row editable like any keystroke
    field("Name")->setAsString(QStringLiteral("n"));
    other->setFocus(Qt::TabFocusReason);
    table.Post();
    EXPECT_TRUE(dialogs.errors().isEmpty());
    EXPECT_TRUE(field("Day")->IsNullValue());
}

TEST_F(DBDateEditTest, TypedDateReachesTheFieldWhenTheRowIsPosted)
{
    makeEdit();
    showWindow();
    table.AppendRow();
    edit->setFocus();
    edit->setCursorPosition(0);
    type("05032024");
    EXPECT_EQ(edit->text(), "05/03/2024");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(field("Day")->IsNullValue()) << "not checked or written on leaving";
    table.Post();
    EXPECT_DOUBLE_EQ(field("Day")->AsDateTime(), DateTime::encodeDate(2024, 3, 5));
}

TEST_F(DBDateEditTest, ImpossibleDateFailsThePost)
{
    makeEdit();
    showWindow();
    table.AppendRow();
    edit->setFocus();
    edit->setCursorPosition(0);
    type("35132024");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(dialogs.errors().isEmpty());
    EXPECT_THROW(table.Post(), Exception);
    EXPECT_EQ(table.State(), dsInsert);
}

TEST_F(DBDateEditTest, PickedDateIsStoredWithTimeOfDayZero)
{
    makeEdit();
    showWindow();
    table.AppendRow();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(edit->calendarVisible());
    EXPECT_EQ(edit->calendar()->firstDayOfWeek(), Qt::Monday);
    EXPECT_EQ(edit->calendar()->weekdayTextFormat(Qt::Sunday).foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(dialogs.errors().isEmpty()) << "opening the calendar writes nothing";
    edit->pickDate(QDate(2026, 12, 9));
    EXPECT_FALSE(edit->calendarVisible());
    EXPECT_EQ(edit->text(), "09/12/2026");
    const TDateTime value = field("Day")->AsDateTime();
    EXPECT_DOUBLE_EQ(value, DateTime::encodeDate(2026, 12, 9));
    EXPECT_EQ(DateTime::msecOfDay(value), 0);
}

TEST_F(DBDateEditTest, ShowsTheFieldsDateInTheMaskFormat)
{
    makeEdit();
    addRow(QStringLiteral("a"), 1);
    table.Edit();
    field("Day")->setAsDateTime(DateTime::encodeDate(2024, 1, 2) + 0.5);
    EXPECT_EQ(edit->text(), "02/01/2024");
    table.Cancel();
    EXPECT_TRUE(isEmptyMaskedDate(edit->text()));
}
