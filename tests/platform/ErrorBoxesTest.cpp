#include <gtest/gtest.h>

#include "platform/ErrorBoxes.h"
#include "platform/Recording.h"

using namespace platform;

TEST(ErrorBoxes, EachKindWithItsTextTitleIconAndButton) {
    RecordingDesktop desk;
    ShowProgramError("ConvertXBaseBlock", "", RuntimeError(6, "Overflow"));
    ShowProgramError("Load", "mParseLines", RuntimeError(53, "File not found"));
    ShowKestrinError(RuntimeError(62, "Input past end of file"));
    ShowOrvaneError(RuntimeError(6, "Overflow"));
    guardEvent([] { raise(err::SubscriptOutOfRange); });  // an error escaping an event
    guardEvent([] { throw std::runtime_error("boom"); });
    guardEvent([] {});
    const std::pair<std::string, std::string> expected[] = {
        {"Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseBlock\nSub Proc: ", "Program Error"},
        {"Err Code: 53\nErr Desc: File not found\nProcname: Load\nSub Proc: mParseLines", "Program Error"},
        {"Input past end of file", "Kestrin Error"}, {"Overflow", "Orvane Error"},
        {"Subscript out of range", "Kestrin Error"}, {"boom", "Kestrin Error"}};
    ASSERT_EQ(desk.boxes.shown.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(desk.boxes.shown[i].text, expected[i].first);
        EXPECT_EQ(desk.boxes.shown[i].title, expected[i].second);
        EXPECT_EQ(desk.boxes.shown[i].icon, Icon::Stop);
        EXPECT_EQ(desk.boxes.shown[i].buttons, Buttons::Ok);
    }
}
