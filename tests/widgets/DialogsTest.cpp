#include "DialogRecorder.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(Dialogs, Guarded_ShowsTheProgramsErrorInTheErrorBox_AndReportsFailure)
{
    DialogRecorder recorder;
    const bool ok = Dialogs::guarded(nullptr, [] { throw EConvertError("'abc' is not a valid date"); });
    EXPECT_FALSE(ok);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].kind, Dialogs::MessageKind::Error);
    EXPECT_EQ(recorder.messages[0].text, "'abc' is not a valid date");
}

TEST(Dialogs, Guarded_LetsOtherFaultsThrough)
{
    DialogRecorder recorder;
    EXPECT_THROW(Dialogs::guarded(nullptr, [] { throw std::logic_error("fault"); }), std::logic_error);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(Dialogs, Confirmations_ReturnTheUsersAnswer)
{
    DialogRecorder recorder;
    recorder.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes, Dialogs::Answer::Cancel, Dialogs::Answer::Ok};
    EXPECT_FALSE(Dialogs::confirm(nullptr, "Supprimer ?"));
    EXPECT_TRUE(Dialogs::confirm(nullptr, "Supprimer ?"));
    EXPECT_FALSE(Dialogs::confirmOkCancel(nullptr, "Delete record?"));
    EXPECT_TRUE(Dialogs::confirmOkCancel(nullptr, "Delete record?"));
    EXPECT_EQ(recorder.texts(Dialogs::MessageKind::Confirmation).size(), 2);
    EXPECT_EQ(recorder.texts(Dialogs::MessageKind::OkCancel).size(), 2);
}

TEST(Dialogs, ScopedHandlers_NestAndRestore)
{
    DialogRecorder outer;
    {
        DialogRecorder inner;
        Dialogs::showInformation(nullptr, "inner");
        EXPECT_EQ(inner.messages.size(), 1u);
    }
    Dialogs::showInformation(nullptr, "outer");
    ASSERT_EQ(outer.messages.size(), 1u);
    EXPECT_EQ(outer.messages[0].text, "outer");
}

TEST(Dialogs, FileDialogs_PassTheirRequestAndReturnTheAnswer)
{
    DialogRecorder recorder;
    recorder.fileAnswer = "/tmp/a.rp2";
    EXPECT_EQ(Dialogs::getOpenFileName(nullptr, "Ouvrir", ".\\Reports", "*.rp2"), "/tmp/a.rp2");
    ASSERT_EQ(recorder.files.size(), 1u);
    EXPECT_EQ(recorder.files[0].mode, Dialogs::FileMode::Open);
    EXPECT_EQ(recorder.files[0].filter, "*.rp2");
    recorder.fileAnswer.clear();
    EXPECT_TRUE(Dialogs::getSaveFileName(nullptr, "Enregistrer", "", "").isEmpty());
    EXPECT_EQ(recorder.files[1].mode, Dialogs::FileMode::Save);
}

struct ColorCase
{
    TColor value;
    QColor expected;
};

class TColorToQColor : public ::testing::TestWithParam<ColorCase>
{
};

TEST_P(TColorToQColor, DecodesRedFromTheLowByte)
{
    EXPECT_EQ(toQColor(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Plain, TColorToQColor,
                         ::testing::Values(ColorCase{255, QColor(255, 0, 0)},
                                           ColorCase{16711680, QColor(0, 0, 255)},
                                           ColorCase{16777215, QColor(255, 255, 255)},
                                           ColorCase{8421504, QColor(128, 128, 128)},
                                           ColorCase{0x00123456, QColor(0x56, 0x34, 0x12)}));

TEST(TColorToQColorSystem, ResolvesSystemColoursFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(4, 5, 6));
    palette.setColor(QPalette::WindowText, QColor(7, 8, 9));
    palette.setColor(QPalette::Highlight, QColor(10, 11, 12));
    EXPECT_EQ(toQColor(clBtnFace, palette), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(clWindow, palette), QColor(4, 5, 6));
    EXPECT_EQ(toQColor(clWindowText, palette), QColor(7, 8, 9));
    EXPECT_EQ(toQColor(clHighlight, palette), QColor(10, 11, 12));
    EXPECT_EQ(toQColor(clNone, palette).alpha(), 0);
}

TEST(TColorToQColorSystem, RoundTripsThroughQColor)
{
    for (TColor c : {0, 255, 16711680, 0x00ABCDEF})
        EXPECT_EQ(fromQColor(toQColor(c)), c);
}
