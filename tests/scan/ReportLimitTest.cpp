// A report cut at its size limit ends with "** More **", however little room
// the last text that fitted left: each width below leaves a different room,
// from none to a few dozen characters.
#include <gtest/gtest.h>

#include "ScanTestSupport.h"

namespace {

class ReportLimit : public scantest::ScanTest {};

TEST_F(ReportLimit, CutReportEndsWithMoreWhateverRoomIsLeft) {
    scantest::LevelGuard guard(2);
    for (int width = 195; width <= 215; ++width) {
        std::string text;
        for (int i = 0; i < 2000; ++i) text += "' " + std::string(width, 'a' + i % 26) + "\r\n";
        oculon.LoadFromText("BIG.BAS", text);
        const std::string report = oculon.sFillMessages();
        EXPECT_LE(report.size(), 128000u) << width;
        EXPECT_TRUE(report.ends_with("\r\n** More **\r\n")) << width;
    }
}

}  // namespace
