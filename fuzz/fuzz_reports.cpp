// The report printer over the recording printer, with arbitrary text and
// column counts. Besides ending (a hang is a finding), nothing may be drawn
// outside the printable area whenever a body line of the chosen width fits
// on the page at all, every page holds one frame, and only whole pages are
// started.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "FuzzSupport.h"
#include "support/Recording.h"
#include "reports/Reports.h"

namespace {

std::tm fixedTime() {
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 11;
    tm.tm_mday = 6;
    tm.tm_hour = 18;
    tm.tm_min = 5;
    return tm;
}

// Whether a body line of columns - 1 characters after one blank fits the width.
bool bodyFits(int columns, int width) {
    if (columns < 2) return true;
    platform::RecordingPrinter probe;
    probe.setFontName("Courier New");
    probe.setFontSize(reports::BodyFontSize(columns));
    return probe.textWidth(std::string(static_cast<std::size_t>(columns), ' ')) <= width;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    int columns = 120;
    switch (data[0] % 4) {
        case 0: break;                                               // the editor's report
        case 1: columns = data[1]; break;                            // 0..255
        case 2: columns = static_cast<std::int8_t>(data[1]); break;  // around zero
        case 3: columns = static_cast<std::int16_t>(data[1] | data[2] << 8); break;
    }
    const bool a4 = (data[0] & 4) != 0;
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);

    platform::RecordingDesktop desktop;
    platform::RecordingPrinter printer = a4 ? platform::RecordingPrinter(11395, 16318) : platform::RecordingPrinter();
    reports::Reports report(printer, fixedTime);
    report.OpenReport(columns, "Kestrin Editor", "Selected (All) Text", "", "Kestrin Editor");
    report.PrintBlock(text);
    report.CloseReport();

    FUZZ_CHECK(desktop.boxes.shown.empty(), "printing on a working printer asks nothing");
    FUZZ_CHECK(printer.ended(), "the job is released");
    FUZZ_CHECK(text.empty() || printer.page() >= 1, "pages are counted");
    if (text.empty()) FUZZ_CHECK(printer.ops.size() == 1, "an empty text prints no page");

    const int w = printer.printableWidth();
    const int h = printer.printableHeight();
    const bool fits = bodyFits(columns, w);
    int frames = 0;
    for (const auto& op : printer.ops) {
        if (op.kind == platform::PrinterOp::Text) {
            if (op.text == "Kestrin Editor" && op.size == 12 && op.y < 1000) ++frames;
            if (!fits) continue;
            FUZZ_CHECK(op.x >= 0 && op.y >= 0, "text starts inside the printable area");
            FUZZ_CHECK(op.x + op.width <= w, "text ends inside the printable width");
            FUZZ_CHECK(op.y + op.height <= h, "text ends inside the printable height");
        } else if (op.kind == platform::PrinterOp::Line) {
            FUZZ_CHECK(op.x >= 0 && op.x2 <= w && op.y >= 0 && op.y2 <= h, "rule inside the printable area");
        }
    }
    FUZZ_CHECK(frames == printer.page() || (text.empty() && frames == 0), "one frame per page");
    return 0;
}
