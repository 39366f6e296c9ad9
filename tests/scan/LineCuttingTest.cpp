// Cutting a file into logical lines and each line into words.
#include <gtest/gtest.h>

#include <vector>

#include "ScanTestSupport.h"

using namespace scan;
using scantest::crlf;

namespace {

class LineCutting : public ::testing::Test {
protected:
    // Scans text as a BAS module and returns the words of line i.
    std::vector<std::string> words(const std::string& text, long i = 1) {
        oculon.LoadFromText("C:\\SRC\\MAIN.BAS", text);
        const tSourceLine& l = oculon.lines().at(static_cast<std::size_t>(i));
        EXPECT_EQ(l.iWordCount, static_cast<long>(l.sWords.size()));
        return l.sWords;
    }
    const tSourceLine& line(long i) { return oculon.lines().at(static_cast<std::size_t>(i)); }

    platform::RecordingDesktop desktop;
    clsOculon oculon = scantest::engine();
};

using W = std::vector<std::string>;

TEST_F(LineCutting, SkipAndDropCharactersVanishFromWords) {
    EXPECT_EQ(words(crlf({"x = &H1F"})), (W{"x", "H1F"}));
    EXPECT_EQ(words(crlf({"x=5"})), (W{"x5"}));
    EXPECT_EQ(words(crlf({"a,b"})), (W{"ab"}));
    EXPECT_EQ(words(crlf({"If a<>b Then"})), (W{"If", "ab", "Then"}));
}

TEST_F(LineCutting, DeclarationsAndCallsAsTheRulesSeeThem) {
    EXPECT_EQ(words(crlf({"Attribute VB_Name = \"frmMain\""})), (W{"Attribute", "VB_Name", "\"frmMain\""}));
    EXPECT_EQ(words(crlf({"Dim a, b As Integer"})), (W{"Dim", "a", "b", "As", "Integer"}));
    EXPECT_EQ(words(crlf({"Begin VB.TextBox Text1"})), (W{"Begin", "VB.TextBox", "Text1"}));
    EXPECT_EQ(words(crlf({"a(1)"})), (W{"a", "1"}));
    EXPECT_EQ(words(crlf({"\tx\t=\ty"})), (W{"x", "y"}));
}

TEST_F(LineCutting, CommentsGiveNoWordsButRemIsAWord) {
    EXPECT_EQ(words(crlf({"x = Left(s, 3) ' note"})), (W{"x", "Left", "s", "3"}));
    EXPECT_EQ(words(crlf({"' only a comment"})), W{});
    EXPECT_EQ(line(1).iWordCount, 0);
    EXPECT_EQ(words(crlf({"x'note"})), (W{"x"}));
    EXPECT_EQ(words(crlf({"Rem note"})), (W{"Rem", "note"}));
    EXPECT_EQ(words(crlf({""})), W{});
}

TEST_F(LineCutting, StringLiteralsKeepQuotesAndDoubledQuotes) {
    EXPECT_EQ(words(crlf({"MsgBox \"He said \"\"hi\"\"\", vbOK"})),
              (W{"MsgBox", "\"He said \"\"hi\"\"\"", "vbOK"}));
    EXPECT_EQ(words(crlf({"s = \"\""})), (W{"s", "\"\""}));
    EXPECT_EQ(words(crlf({"s = \"a 'b' (c)\""})), (W{"s", "\"a 'b' (c)\""}));
    // The character right after a closing quote is passed over.
    EXPECT_EQ(words(crlf({"x \"a\"b c"})), (W{"x", "\"a\"", "c"}));
}

TEST_F(LineCutting, UnclosedLiteralEndsAtTheEndOfItsLine) {
    std::string text = crlf({"MsgBox \"abc", "x = 1"});
    EXPECT_EQ(words(text, 1), (W{"MsgBox", "\"abc"}));
    EXPECT_EQ(words(text, 2), (W{"x", "1"}));
    EXPECT_TRUE(desktop.boxes.shown.empty());
    // In a continued line the words after the broken literal still count.
    EXPECT_EQ(words(crlf({"s = \"abc _", "  & d"})), (W{"s", "\"abc _", "d"}));
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(LineCutting, ContinuedLinesAreOneLogicalLine) {
    EXPECT_EQ(words(crlf({"Call A(1, _", "    2)", "x = 1"})), (W{"Call", "A", "1", "2"}));
    EXPECT_EQ(line(1).sText, "Call A(1, _\r\n    2)\r\n");
    EXPECT_EQ(oculon.lineCount(), 2);
    EXPECT_EQ(line(2).sText, "x = 1\r\n");
    // No blank before the "_" (which stays in the word).
    EXPECT_EQ(words(crlf({"x = a_", "b"})), (W{"x", "a_", "b"}));
    EXPECT_EQ(oculon.lineCount(), 1);
    // Three physical lines.
    EXPECT_EQ(words(crlf({"a _", "b _", "c"})), (W{"a", "b", "c"}));
    EXPECT_EQ(oculon.lineCount(), 1);
    // An empty line after a continuation is joined, then the next starts anew.
    words(crlf({"a _", "", "b"}));
    EXPECT_EQ(oculon.lineCount(), 2);
    EXPECT_EQ(line(1).sText, "a _\r\n\r\n");
}

TEST_F(LineCutting, BareLineFeedsEndAndContinueLines) {
    EXPECT_EQ(words("Call A(1, _\n    2)\nx = 1\n"), (W{"Call", "A", "1", "2"}));
    EXPECT_EQ(oculon.lineCount(), 2);
    EXPECT_EQ(line(1).sText, "Call A(1, _\n    2)\n");
    EXPECT_EQ(line(2).sText, "x = 1\n");
    EXPECT_EQ(line(2).iWordCount, 2);
    // Mixed line ends.
    words("a _\r\nb\nc\r\n");
    EXPECT_EQ(oculon.lineCount(), 2);
}

TEST_F(LineCutting, LastLineWithoutLineEndIsExaminedToo) {
    EXPECT_EQ(words("x = 1\r\ny = 2", 2), (W{"y", "2"}));
    EXPECT_EQ(line(2).sText, "y = 2\r\n");
    EXPECT_EQ(oculon.lineCount(), 2);
    words("a _\r\nb");
    EXPECT_EQ(oculon.lineCount(), 1);
    EXPECT_EQ(line(1).sText, "a _\r\nb\r\n");
    words("z\r");
    EXPECT_EQ(line(1).sText, "z\r\n");
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
    W got = words(crlf({"x " + longWord + " " + longLiteral, manyWords, "last"}));
    EXPECT_EQ(got, (W{"x", longWord, longLiteral}));
    EXPECT_EQ(line(2).iWordCount, 250);
    EXPECT_EQ(line(2).word(250), "w249");
    EXPECT_EQ(line(3).word(1), "last");
    EXPECT_EQ(line(3).word(0), "");
    EXPECT_EQ(line(3).word(2), "");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(LineCutting, FileNameAndKindComeFromThePath) {
    oculon.LoadFromText("C:\\SRC\\Main.bas", "");
    EXPECT_EQ(oculon.fileName(), "MAIN.BAS");
    EXPECT_EQ(oculon.moduleKind(), "BAS");
    oculon.LoadFromText("/home/u/src/frmMain.frm", "");
    EXPECT_EQ(oculon.fileName(), "FRMMAIN.FRM");
    EXPECT_EQ(oculon.moduleKind(), "FRM");
    oculon.LoadFromText("TOOLS.CLS", "");
    EXPECT_EQ(oculon.fileName(), "TOOLS.CLS");
    // A separator among the last four characters does not count.
    oculon.LoadFromText("ab/c.d", "");
    EXPECT_EQ(oculon.fileName(), "AB/C.D");
    oculon.LoadFromText("a/bc.d", "");
    EXPECT_EQ(oculon.fileName(), "BC.D");
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

TEST_F(LineCutting, UnreadableFileIsReportedUnderLoadAndLeavesNoLines) {
    oculon.LoadFromText("A.BAS", crlf({"x = 1", "y = 2"}));
    ASSERT_EQ(oculon.lineCount(), 2);
    oculon.Load(std::string(VARNEL_BINARY_DIR) + "/no/such/file.bas");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().title, "Program Error");
    EXPECT_EQ(desktop.boxes.last().text,
              "Err Code: 53\nErr Desc: " + platform::standardDescription(53) + "\nProcname: Load\nSub Proc: ");
    EXPECT_FALSE(oculon.sourceRead());
    EXPECT_EQ(oculon.lineCount(), 0);
    EXPECT_EQ(oculon.lines().size(), 1u);
    EXPECT_EQ(oculon.fileName(), "FILE.BAS");
    EXPECT_TRUE(oculon.moduleMessages()[1].empty());  // the module checks did not run
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
