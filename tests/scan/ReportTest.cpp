// The report text of a file, its size limit, its printout, and MLCount. The
// report of FMAIN.FRM is compared in BatchScanTest.
#include <gtest/gtest.h>

#include "ScanTestSupport.h"

using namespace scan;
using scantest::crlf;
using scantest::expectedReport;
using scantest::LevelGuard;

namespace {

class Report : public scantest::ScanTest {
protected:
    std::string reportOf(const std::string& caseFile) {
        oculon.Load(scantest::casePath(caseFile));
        return oculon.sFillMessages();
    }
};

TEST_F(Report, WholeModuleAtEachLevel) {
    for (int level = 1; level <= 3; ++level) {
        LevelGuard guard(level);
        EXPECT_EQ(reportOf("util.bas"), expectedReport("util.level" + std::to_string(level) + ".txt"))
            << "level " << level;
    }
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(Report, UnreadableFileIsReportedUnderLoadAndShowsOnlyItsHead) {
    reportOf("util.bas");
    oculon.Load(std::string(VARNEL_BINARY_DIR) + "/missing/gone.bas");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().title, "Program Error");
    EXPECT_EQ(desktop.boxes.last().text,
              "Err Code: 53\nErr Desc: " + platform::standardDescription(53) + "\nProcname: Load\nSub Proc: ");
    EXPECT_FALSE(oculon.sourceRead());
    EXPECT_EQ(oculon.lineCount(), 0);
    EXPECT_EQ(oculon.lines().size(), 1u);
    EXPECT_EQ(oculon.fileName(), "GONE.BAS");
    EXPECT_TRUE(oculon.moduleMessages()[1].empty());  // the module checks did not run
    EXPECT_EQ(oculon.sFillMessages(), "Kestrin Oculon\r\n\r\nDate: " + scantest::today() +
                                          "\r\n\r\n"
                                          "Module: \t\t\tGONE.BAS\r\n"
                                          "Internal Name: \t\t\r\n"
                                          "Error Count: \t\t\t0\r\n"
                                          "\r\n[Form/Module/Declaration Level Scan Results] \r\n\r\n"
                                          "[Source Code Scan Results] \r\n\r\n");
    // The first file of a run too.
    clsOculon fresh = scantest::engine();
    fresh.Load(std::string(VARNEL_BINARY_DIR) + "/missing/gone.bas");
    EXPECT_EQ(fresh.sFillMessages(), oculon.sFillMessages());
}

TEST_F(Report, TextThatDoesNotFitBecomesOneMoreLine) {
    LevelGuard guard(2);
    // One line far beyond the 128,000-character report: its source text
    // gives way to "** More **", the shorter texts after it still fit, and a
    // last "** More **" says that text is missing.
    oculon.LoadFromText("BIG.BAS", std::string(130000, 'x') + "\r\n");
    const std::string expected =
        "Kestrin Oculon\r\n\r\nDate: " + scantest::today() + "\r\n\r\n" +
        "Module: \t\t\tBIG.BAS\r\n"
        "Internal Name: \t\t\r\n"
        "Error Count: \t\t\t1\r\n"
        "Warning Count:  \t\t1\r\n"
        "\r\n[Form/Module/Declaration Level Scan Results] \r\n\r\n"
        "Error: \"Option Explicit\" should be specified for this module.\r\n\r\n"
        "[Source Code Scan Results] \r\n\r\n"
        "** More **\r\n"
        "Location: .(declarations)\r\n\r\n"
        "Warning: Using shorter lines(via continutation) will make code easier to read.\r\n"
        "Look at:   {Reduce line length to width of normal Code Window}\r\n\r\n"
        "*****************\r\n"
        "** More **\r\n";
    EXPECT_EQ(oculon.sFillMessages(), expected);
}

TEST_F(Report, ReportNeverPassesItsLimit) {
    LevelGuard guard(2);
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "' " + std::string(200, 'a' + i % 26) + "\r\n";
    oculon.LoadFromText("BIG.BAS", text);
    std::string report = oculon.sFillMessages();
    EXPECT_LE(report.size(), 128000u);
    EXPECT_GE(report.size(), 128000u - 200u);
    std::size_t more = report.find("** More **\r\n");
    ASSERT_NE(more, std::string::npos);
    // After it only texts short enough for the room left still come, whole.
    std::string rest = report.substr(more);
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        std::string l = rest.substr(start, end - start);
        EXPECT_TRUE(l == "** More **" || l == "*****************" || l == "Location: .(declarations)" || l.empty())
            << l;
        start = end + 2;
    }
    EXPECT_EQ(oculon.warningCount(), 2000);
}

TEST_F(Report, LineFindingsAfterAProcedureHeadNameTheInternalName) {
    LevelGuard guard(2);
    oculon.LoadFromText("X.BAS", crlf({"Attribute VB_Name = \"modX\"", "Option Explicit", std::string(160, '\'')}));
    std::string report = oculon.sFillMessages();
    EXPECT_NE(report.find("Src Line:    " + std::string(160, '\'') + "\r\nLocation: modX.(declarations)\r\n\r\n"),
              std::string::npos);
}

TEST(ReportMLCount, CountsPiecesOfAText) {
    const struct { const char* text; long width; long pieces; } cases[] = {
        {"", 0, 0}, {"a", 0, 1}, {"ab\r\nc", 0, 2}, {"ab\r\n", 0, 1}, {"ab\r\n\r\nc", 0, 3},
        // Pieces of nL characters, cut at a CR LF, never at a blank.
        {"aaaa bbbb cccc", 10, 2}, {"a\r\nbcdef", 3, 3},
        {"ab\r\ncdefgh", 3, 4},  // a CR LF split between two pieces is no line end
        {"abcdef", 3, 2}, {"abcdefg", 3, 3},
        {"abc", 1, 3}, {"a\r\nb", 1, 4},  // one character per piece
    };
    clsOculon o = scantest::engine();
    for (const auto& c : cases) EXPECT_EQ(o.MLCount(c.text, c.width), c.pieces) << c.text << " / " << c.width;
}

class Printout : public Report {
protected:
    // The printed texts with their boldness.
    std::vector<std::pair<std::string, bool>> printed() {
        std::vector<std::pair<std::string, bool>> out;
        for (const platform::PrinterOp& op : printer.ops)
            if (op.kind == platform::PrinterOp::Text) out.emplace_back(op.text, op.bold);
        return out;
    }
    platform::RecordingPrinter printer;
};

// Courier New 10 pt from the margins, bold head items and source lines, no
// section headers or asterisk lines.
TEST_F(Printout, HeadFindingsAndSourceLinesWithoutSectionLines) {
    LevelGuard guard(3);
    oculon.Load(scantest::casePath("util.bas"));
    EXPECT_EQ(oculon.sFillMessages("Print Only", printer), "");
    const std::string x147(147, 'x');
    using P = std::pair<std::string, bool>;
    std::vector<P> expected{
        {"Kestrin Oculon", true},
        {"Date: " + scantest::today(), true},
        {"Module: ", true}, {"UTIL.BAS", true},
        {"Internal Name: ", true}, {"Tools", true},
        {"Error Count: ", true}, {"1", true},
        {"Warning Count:  ", true}, {"2", false},
        {"Suggest Count:  ", true}, {"2", false},
        {"Source Lines Scanned: ", true}, {"9", true},
        {"Suggest: Use \"pri/mod\" or \"glo/pub\" to prefix BAS module", false},
        {"         Internal Names to define variable scope, Private Assumed.", false},
        {"Usage | Std:   {Tools}{MOD}", false},
        {"Suggest: The Filename isn't a subset of the module Internal Name.", false},
        {"Usage | Std:   {UTIL.BAS}{Tools}", false},
        {"Error: \"Option Explicit\" should be specified for this module.", false},
        // Lines wider than the paper go on below, under the source text.
        {"Src Line: ' " + x147.substr(0, 72), true},
        {x147.substr(72, 74), true},
        {"x", true},
        {"Location: Tools.(declarations)", false},
        {"Warning: Using shorter lines(via continutation) will make code easier to read.", false},
        {"Look at:   {Reduce line length to width of normal Code Window}", false},
        {"Src Line: s = \"" + std::string(69, 'z'), true},
        {std::string(74, 'z'), true},
        {std::string(7, 'z') + "\" & _", true},
        {"    \"end\"", true},
        {"Location: Tools.(declarations)", false},
        {"Warning: Using shorter lines(via continutation) will make code easier to read.", false},
        {"Look at:   {Reduce line length to width of normal Code Window}", false},
    };
    EXPECT_EQ(printed(), expected);
    ASSERT_FALSE(printer.ops.empty());
    EXPECT_TRUE(printer.ended());
    EXPECT_EQ(printer.ops.back().kind, platform::PrinterOp::EndDocument);
    EXPECT_EQ(printer.page(), 1);

    int lastY = -1, lineHeight = 0, errorY = 0, srcY = 0, height = 0;
    for (const platform::PrinterOp& op : printer.ops) {
        if (op.kind != platform::PrinterOp::Text) continue;
        EXPECT_EQ(op.font, "Courier New");
        EXPECT_EQ(op.size, 10);
        if (lastY < 0) { EXPECT_EQ(op.y, 1000); }  // the first line
        if (op.y != lastY) {
            // Every line starts one inch in, the rest of a wrapped source
            // line under the source text.
            EXPECT_EQ(op.x, op.text.starts_with("x") || op.text.starts_with("z") ? 1440 + 10 * 120 : 1440) << op.text;
            if (lastY >= 0 && lineHeight == 0) lineHeight = op.y - lastY;
            lastY = op.y;
        } else {
            EXPECT_GT(op.x, 1440) << op.text;  // a value beside its label
        }
        if (op.text.starts_with("Error: \"Option")) errorY = op.y, height = op.height;
        if (op.text.starts_with("Src Line: ' x") && srcY == 0) srcY = op.y;
    }
    EXPECT_GT(lineHeight, 0);
    // The finding's own blank line, then the blank line before the block.
    EXPECT_EQ(srcY - errorY, 3 * height);
}

TEST_F(Printout, LongReportsGoOnOnNewPages) {
    LevelGuard guard(2);
    std::string text;
    for (int i = 0; i < 300; ++i) text += std::string(160, 'a') + "\r\n";
    oculon.LoadFromText("BIG.BAS", text);
    oculon.sFillMessages("Print Only", printer);
    EXPECT_GT(printer.page(), 1);
    int texts = 0;
    for (const platform::PrinterOp& op : printer.ops) {
        if (op.kind != platform::PrinterOp::Text) continue;
        ++texts;
        EXPECT_LE(op.y + op.height, printer.printableHeight());
        EXPECT_GE(op.y, 1000);
    }
    // Nine head texts (the empty internal name prints nothing), the module
    // finding, six texts a block (the source line takes three).
    EXPECT_EQ(texts, 9 + 1 + 300 * 6);
}

TEST_F(Printout, PrinterGivenBeforehand) {
    oculon.Load(scantest::casePath("util.bas"));
    oculon.setPrinter(&printer);
    EXPECT_EQ(oculon.sFillMessages("Print Only"), "");
    EXPECT_TRUE(printer.ended());
    clsOculon none = scantest::engine();
    EXPECT_EQ(none.sFillMessages("Print Only"), "");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_NE(desktop.boxes.last().text.find("Procname: sFillMessages"), std::string::npos);
}

}  // namespace
