
#include "platform/ErrorBoxes.h"
#include "platform/Recording.h"
#include "support/Cases.h"

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
    const auto expected = cases::rows("platform/cases/error_boxes.txt");
    ASSERT_EQ(desk.boxes.shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ShownBox& box = desk.boxes.shown[i];
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(expected[i][0], expected[i][1], Icon::Stop, Buttons::Ok));
    }
}
