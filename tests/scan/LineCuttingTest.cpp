// Cutting a file into logical lines and each line into words. An unreadable
// file is checked in ReportTest.
#include <gtest/gtest.h>

#include <vector>

#include "ScanTestSupport.h"

using namespace scan;
using scantest::crlf;

namespace {

using W = std::vector<std::string>;

class LineCutting : public scantest::ScanTest {
protected:
    void scanText(const std::string& text) { oculon.LoadFromText("C:\\SRC\\MAIN.BAS", text); }
};

// Each case: a text, a line of it and that line's words; for the cut into
// logical lines also the number of lines and the line's text (-1 and "" when
// not checked).
TEST_F(LineCutting, LinesAndTheirWords) {
    const struct { std::string text; long line; W words; long count = -1; std::string sText = {}; } cases[] = {
        // Skip and drop characters vanish from words.
        {crlf({"x = &H1F"}), 1, {"x", "H1F"}},
        {crlf({"x=5"}), 1, {"x5"}},
        {crlf({"a,b"}), 1, {"ab"}},
        {crlf({"If a<>b Then"}), 1, {"If", "ab", "Then"}},
        // Declarations and calls as the rules see them.
        {crlf({"Attribute VB_Name = \"frmMain\""}), 1, {"Attribute", "VB_Name", "\"frmMain\""}},
        {crlf({"Dim a, b As Integer"}), 1, {"Dim", "a", "b", "As", "Integer"}},
        {crlf({"Begin VB.TextBox Text1"}), 1, {"Begin", "VB.TextBox", "Text1"}},
        {crlf({"a(1)"}), 1, {"a", "1"}},
        {crlf({"\tx\t=\ty"}), 1, {"x", "y"}},
        // Comments give no words, but Rem is a word.
        {crlf({"x = Left(s, 3) ' note"}), 1, {"x", "Left", "s", "3"}},
        {crlf({"' only a comment"}), 1, {}},
        {crlf({"x'note"}), 1, {"x"}},
        {crlf({"Rem note"}), 1, {"Rem", "note"}},
        {crlf({""}), 1, {}},
        // String literals keep their quotes and doubled quotes.
        {crlf({"MsgBox \"He said \"\"hi\"\"\", vbOK"}), 1, {"MsgBox", "\"He said \"\"hi\"\"\"", "vbOK"}},
        {crlf({"s = \"\""}), 1, {"s", "\"\""}},
        {crlf({"s = \"a 'b' (c)\""}), 1, {"s", "\"a 'b' (c)\""}},
        {crlf({"x \"a\"b c"}), 1, {"x", "\"a\"", "c"}},  // the character after a closing quote is passed over
        // An unclosed literal ends at the end of its line, without an error box;
        // in a continued line the words after it still count.
        {crlf({"MsgBox \"abc", "x = 1"}), 1, {"MsgBox", "\"abc"}},
        {crlf({"MsgBox \"abc", "x = 1"}), 2, {"x", "1"}},
        {crlf({"s = \"abc _", "  & d"}), 1, {"s", "\"abc _", "d"}},
        // Continued lines are one logical line holding all their physical lines.
        {crlf({"Call A(1, _", "    2)", "x = 1"}), 1, {"Call", "A", "1", "2"}, 2, "Call A(1, _\r\n    2)\r\n"},
        {crlf({"Call A(1, _", "    2)", "x = 1"}), 2, {"x", "1"}, 2, "x = 1\r\n"},
        {crlf({"x = a_", "b"}), 1, {"x", "a_", "b"}, 1},  // no blank before the "_", which stays in the word
        {crlf({"a _", "b _", "c"}), 1, {"a", "b", "c"}, 1},
        // An empty line after a continuation is joined, then the next starts anew.
        {crlf({"a _", "", "b"}), 1, {"a"}, 2, "a _\r\n\r\n"},
        // Bare line feeds end and continue lines too, also mixed with CR LF.
        {"Call A(1, _\n    2)\nx = 1\n", 1, {"Call", "A", "1", "2"}, 2, "Call A(1, _\n    2)\n"},
        {"Call A(1, _\n    2)\nx = 1\n", 2, {"x", "1"}, 2, "x = 1\n"},
        {"a _\r\nb\nc\r\n", 1, {"a", "b"}, 2},
        // The last line without a line end is examined as though it had CR LF.
        {"x = 1\r\ny = 2", 2, {"y", "2"}, 2, "y = 2\r\n"},
        {"a _\r\nb", 1, {"a", "b"}, 1, "a _\r\nb\r\n"},
        {"z\r", 1, {"z"}, -1, "z\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        scanText(c.text);
        EXPECT_EQ(line(c.line).sWords, c.words);
        EXPECT_EQ(line(c.line).iWordCount, static_cast<long>(c.words.size()));
        if (c.count >= 0) { EXPECT_EQ(oculon.lineCount(), c.count); }
        if (!c.sText.empty()) { EXPECT_EQ(line(c.line).sText, c.sText); }
    }
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(LineCutting, ShortAndEmptyFilesAreScanned) {
    oculon.LoadFromText("E.BAS", "");
    EXPECT_EQ(oculon.lineCount(), 0);
    EXPECT_TRUE(oculon.sourceRead());
    EXPECT_FALSE(oculon.moduleMessages()[1].empty());  // no "Option Explicit"
    oculon.LoadFromText("E.BAS", "a\r\n");
    EXPECT_EQ(oculon.lineCount(), 1);
    // Far more lines than one per 15 characters.
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "\r\n";
    oculon.LoadFromText("E.BAS", many);
    EXPECT_EQ(oculon.lineCount(), 1000);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(LineCutting, NoLimitOnLineLengthWordCountOrWordLength) {
    std::string longWord(5000, 'w');
    std::string longLiteral = "\"" + std::string(3000, 'q') + "\"";
    std::string manyWords;
    for (int i = 0; i < 250; ++i) manyWords += "w" + std::to_string(i) + " ";
    scanText(crlf({"x " + longWord + " " + longLiteral, manyWords, "last"}));
    EXPECT_EQ(line(1).sWords, (W{"x", longWord, longLiteral}));
    EXPECT_EQ(line(2).iWordCount, 250);
    EXPECT_EQ(line(2).word(250), "w249");
    EXPECT_EQ(line(3).word(1), "last");
    EXPECT_EQ(line(3).word(0), "");
    EXPECT_EQ(line(3).word(2), "");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(LineCutting, FileNameAndKindComeFromThePath) {
    const struct { const char* path; const char* name; const char* kind; } cases[] = {
        {"C:\\SRC\\Main.bas", "MAIN.BAS", "BAS"},
        {"/home/u/src/frmMain.frm", "FRMMAIN.FRM", "FRM"},
        {"TOOLS.CLS", "TOOLS.CLS", "CLS"},
        // A separator among the last four characters does not count.
        {"ab/c.d", "AB/C.D", nullptr},
        {"a/bc.d", "BC.D", nullptr},
    };
    for (const auto& c : cases) {
        oculon.LoadFromText(c.path, "");
        EXPECT_EQ(oculon.fileName(), c.name) << c.path;
        if (c.kind) { EXPECT_EQ(oculon.moduleKind(), c.kind) << c.path; }
    }
}

class RecordingProgress : public ProgressIndicator {
public:
    void setValue(int v) override { values.push_back(v); }
    void setVisible(bool) override {}
    std::vector<int> values;
};

TEST_F(LineCutting, ProgressFollowsThePositionOfTheNextLine) {
    RecordingProgress progress;
    // Six characters: after the first line the next one starts at character
    // index 3 of 6, 2 x 3 x 100 / 11 = 54.5..., shown as 55; after the last
    // line nothing is set.
    oculon.LoadFromText("P.BAS", "a\r\nb\r\n", &progress);
    EXPECT_EQ(progress.values, (std::vector<int>{55}));

    progress.values.clear();
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "x = 1\r\n";
    oculon.LoadFromText("P.BAS", text, &progress);
    ASSERT_FALSE(progress.values.empty());
    EXPECT_LE(progress.values.size(), 101u);  // set only when the value changes
    for (std::size_t i = 1; i < progress.values.size(); ++i) EXPECT_LT(progress.values[i - 1], progress.values[i]);
    EXPECT_GE(progress.values.front(), 0);
    EXPECT_EQ(progress.values.back(), 100);
}

TEST_F(LineCutting, PendingEventsRunThrottledNotPerLine) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "x = 1\r\n";
    oculon.LoadFromText("P.BAS", text);
    EXPECT_LT(desktop.pump.count, 20000 / 64 + 1);
}

TEST_F(LineCutting, ReadsThroughTheFileSystemService) {
    platform::FaultyFileSystem faulty(platform::realFileSystem());
    faulty.failOn("openRead", 1, platform::err::PermissionDenied);
    platform::ScopedServices scope({.files = &faulty});
    oculon.Load(scantest::casePath("util.bas"));
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_NE(desktop.boxes.last().text.find("Err Code: 70\n"), std::string::npos);
    EXPECT_NE(desktop.boxes.last().text.find("Procname: Load\n"), std::string::npos);
    oculon.Load(scantest::casePath("util.bas"));
    EXPECT_TRUE(oculon.sourceRead());
    EXPECT_GT(oculon.lineCount(), 0);
}

TEST(ScanEngine, VersionText) { EXPECT_EQ(scantest::engine().sVersion(), "Version 5.0"); }

}  // namespace
