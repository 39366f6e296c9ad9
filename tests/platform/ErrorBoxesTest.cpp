#include <gtest/gtest.h>

#include "platform/ErrorBoxes.h"
#include "platform/Recording.h"

using namespace platform;

TEST(ErrorBoxes, ProgramErrorShowsFourLinesWithStopIconAndOk) {
    RecordingDesktop desk;
    ShowProgramError("ConvertXBaseBlock", "", RuntimeError(6, "Overflow"));
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    const auto& box = desk.boxes.last();
    EXPECT_EQ(box.text, "Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseBlock\nSub Proc: ");
    EXPECT_EQ(box.title, "Program Error");
    EXPECT_EQ(box.icon, Icon::Stop);
    EXPECT_EQ(box.buttons, Buttons::Ok);
}

TEST(ErrorBoxes, ProgramErrorNamesTheSubProcedure) {
    RecordingDesktop desk;
    ShowProgramError("Load", "mParseLines", RuntimeError(53, "File not found"));
    EXPECT_EQ(desk.boxes.last().text, "Err Code: 53\nErr Desc: File not found\nProcname: Load\nSub Proc: mParseLines");
}

TEST(ErrorBoxes, KestrinAndOrvaneShowTheDescriptionAlone) {
    RecordingDesktop desk;
    ShowKestrinError(RuntimeError(62, "Input past end of file"));
    ShowOrvaneError(RuntimeError(6, "Overflow"));
    ASSERT_EQ(desk.boxes.shown.size(), 2u);
    EXPECT_EQ(desk.boxes.shown[0].text, "Input past end of file");
    EXPECT_EQ(desk.boxes.shown[0].title, "Kestrin Error");
    EXPECT_EQ(desk.boxes.shown[0].icon, Icon::Stop);
    EXPECT_EQ(desk.boxes.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(desk.boxes.shown[1].text, "Overflow");
    EXPECT_EQ(desk.boxes.shown[1].title, "Orvane Error");
    EXPECT_EQ(desk.boxes.shown[1].icon, Icon::Stop);
}

TEST(ErrorBoxes, GuardEventReportsAnEscapingError) {
    RecordingDesktop desk;
    guardEvent([] { raise(err::SubscriptOutOfRange); });
    guardEvent([] { throw std::runtime_error("boom"); });
    guardEvent([] {});
    ASSERT_EQ(desk.boxes.shown.size(), 2u);
    EXPECT_EQ(desk.boxes.shown[0].text, "Subscript out of range");
    EXPECT_EQ(desk.boxes.shown[1].text, "boom");
    EXPECT_EQ(desk.boxes.shown[1].title, "Kestrin Error");
}

TEST(RecordingDoubles, ScriptedAnswersAndRestoredServices) {
    MessageBoxes* before = &boxes();
    {
        RecordingDesktop desk;
        desk.boxes.answerNext(Answer::No);
        EXPECT_EQ(boxes().show("q", "t", Icon::Exclamation, Buttons::YesNoCancel), Answer::No);
        EXPECT_EQ(boxes().show("q", "t", Icon::Exclamation, Buttons::YesNoCancel), Answer::Cancel);
        EXPECT_EQ(boxes().show("q", "t", Icon::None, Buttons::OkCancel), Answer::Ok);
        desk.dialogs.chooseNext("/tmp/a.bas");
        desk.dialogs.cancelNext();
        EXPECT_EQ(dialogs().openFile("Open", "Basic|*.bas"), "/tmp/a.bas");
        EXPECT_EQ(dialogs().saveFile("Save", "", "x"), std::nullopt);
        EXPECT_EQ(dialogs().openFiles("Open", ""), std::nullopt);
        ASSERT_EQ(desk.dialogs.calls.size(), 3u);
        EXPECT_EQ(desk.dialogs.calls[1].initialName, "x");
        clipboard().setText("block");
        EXPECT_EQ(desk.clipboard.text(), "block");
    }
    EXPECT_EQ(&boxes(), before);
}
