// Reports that do not fit: the text cut at its size limit always says so on
// its last line, however little room is left; the printout wraps what is
// wider than the paper.
#include <gtest/gtest.h>

#include "ScanTestSupport.h"

namespace {

class ReportLimit : public scantest::ScanTest {};

TEST_F(ReportLimit, CutReportEndsWithMoreWhateverRoomIsLeft) {
    scantest::LevelGuard guard(2);
    // Each width leaves a different room at the limit, from none to a few
    // dozen characters.
    for (int width = 195; width <= 215; ++width) {
        std::string text;
        for (int i = 0; i < 2000; ++i) text += "' " + std::string(width, 'a' + i % 26) + "\r\n";
        oculon.LoadFromText("BIG.BAS", text);
        const std::string report = oculon.sFillMessages();
        EXPECT_LE(report.size(), 128000u) << width;
        EXPECT_TRUE(report.ends_with("\r\n** More **\r\n"))
            << width << ": " << report.substr(report.size() - 40);
    }
}

TEST_F(ReportLimit, PrintoutWrapsTextsWiderThanThePaper) {
    scantest::LevelGuard guard(2);
    platform::RecordingPrinter printer(6000);  // 38 characters from the margin
    oculon.Load(scantest::casePath("util.bas"));
    oculon.sFillMessages("Print Only", printer);
    std::string joined;
    for (const platform::PrinterOp& op : printer.ops) {
        if (op.kind != platform::PrinterOp::Text) continue;
        EXPECT_LE(op.x + op.width, printer.printableWidth()) << op.text;
        joined += op.text;
    }
    EXPECT_NE(joined.find("Warning: Using shorter lines(via continutation) will make code easier to read."),
              std::string::npos);
    EXPECT_NE(joined.find("s = \"" + std::string(150, 'z') + "\" & _"), std::string::npos);
}

}  // namespace
