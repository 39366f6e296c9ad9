// The re-indenting of a text: starting level, keyword rules, labels,
// comments, tabs and unbalanced blocks.
#include <fstream>
#include <initializer_list>
#include <sstream>

#include <gtest/gtest.h>

#include "indent/Indent.h"

using indent::ReindentText;

namespace {

// Lines joined with CR LF, the last one included.
std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += std::string(l) + "\r\n";
    return s;
}

// The same without the final CR LF, as a selection may end.
std::string open(std::initializer_list<const char*> lines) {
    std::string s = crlf(lines);
    return s.substr(0, s.size() - 2);
}

}  // namespace

TEST(IndentStart, BodyLinesStartAtThree) {
    EXPECT_EQ(ReindentText(open({"a = 1", "  b = 2"})), crlf({"   a = 1", "   b = 2"}));
}

TEST(IndentStart, SubOrFuncHeadStartsAtZero) {
    EXPECT_EQ(ReindentText(open({"  Sub Main()", "x = 1", "End Sub"})), crlf({"Sub Main()", "   x = 1", "End Sub"}));
    // "Func" is enough for the first line; the next one still goes to 3.
    EXPECT_EQ(ReindentText(open({"FuncCall 1", "x"})), crlf({"FuncCall 1", "   x"}));
    // Keywords are case-sensitive.
    EXPECT_EQ(ReindentText(open({"sub main()", "if a then", "x", "end if"})),
              crlf({"   sub main()", "   if a then", "   x", "   end if"}));
}

TEST(IndentBlocks, SelectBlock) {
    EXPECT_EQ(ReindentText(open({"Select Case x", "Case 1", "a", "Case 2", "b", "End Select"})),
              crlf({"   Select Case x", "      Case 1", "         a", "      Case 2", "         b", "   End Select"}));
}

TEST(IndentBlocks, BlockIfWithElseAndElseIf) {
    EXPECT_EQ(ReindentText(open({"With o", "If a Then", "b", "ElseIf c Then", "d", "Else", "e", "End If", "End With"})),
              crlf({"   With o", "      If a Then", "         b", "      ElseIf c Then", "         d", "      Else",
                    "         e", "      End If", "   End With"}));
    EXPECT_EQ(ReindentText(open({"#If W Then", "a", "#Else", "b", "#End If"})),
              crlf({"   #If W Then", "      a", "   #Else", "      b", "   #End If"}));
}

TEST(IndentBlocks, SingleLineIfAndThenFollowedByComment) {
    EXPECT_EQ(ReindentText(open({"If a Then b = 1", "c"})), crlf({"   If a Then b = 1", "   c"}));
    // A blank between Then and the comment: the comment is the rest, a block opens.
    EXPECT_EQ(ReindentText(open({"If a Then 'note", "b", "End If"})), crlf({"   If a Then 'note", "      b", "   End If"}));
    // No blank: the apostrophe goes with "Then" and the rest is plain text.
    EXPECT_EQ(ReindentText(open({"If a Then'note", "b"})), crlf({"   If a Then'note", "   b"}));
    // The first "Then" counts even inside a string.
    EXPECT_EQ(ReindentText(open({"If s = \"Then\" Then", "b"})), crlf({"   If s = \"Then\" Then", "   b"}));
    // No "Then" at all (a condition continued on the next line) opens a block.
    EXPECT_EQ(ReindentText(open({"If a And _", "b Then", "c", "End If"})),
              crlf({"   If a And _", "      b Then", "      c", "   End If"}));
}

TEST(IndentBlocks, Loops) {
    EXPECT_EQ(ReindentText(open({"For i = 1 To 3", "x", "Next i", "For j = 1 To 2: y: Next", "For k = 1 To NextOne",
                                 "z"})),
              crlf({"   For i = 1 To 3", "      x", "   Next i", "   For j = 1 To 2: y: Next",
                    "   For k = 1 To NextOne", "   z"}));
    EXPECT_EQ(ReindentText(open({"While a", "b", "Wend", "Do While c", "d", "Loop", "Do", "e", "Loop While f"})),
              crlf({"   While a", "      b", "   Wend", "   Do While c", "      d", "   Loop", "   Do", "      e",
                    "   Loop While f"}));
    // "Loop Until" matches no rule, so the body's level goes on after it.
    EXPECT_EQ(ReindentText(open({"Do Until a", "b", "Loop Until a", "c"})),
              crlf({"   Do Until a", "      b", "      Loop Until a", "      c"}));
    // A longer word that begins with Do is a plain line.
    EXPECT_EQ(ReindentText(open({"DoEvents", "x"})), crlf({"   DoEvents", "   x"}));
}

TEST(IndentBlocks, ProcedureHeads) {
    EXPECT_EQ(ReindentText(open({"x", "Private Function F()", "y", "End Function", "Static Public Sub S()", "z",
                                 "End Sub"})),
              crlf({"   x", "Private Function F()", "   y", "End Function", "Static Public Sub S()", "   z",
                    "End Sub"}));
    // Heads the table does not know are plain lines.
    EXPECT_EQ(ReindentText(open({"Private Static Sub S()", "Property Get P()"})),
              crlf({"   Private Static Sub S()", "   Property Get P()"}));
}

TEST(IndentLabels, LabelAtColumnZeroThenBack) {
    EXPECT_EQ(ReindentText(open({"If a Then", "Retry:", "b", "End If"})),
              crlf({"   If a Then", "Retry:", "      b", "   End If"}));
    // A colon before both a quote and an apostrophe also makes a label.
    EXPECT_EQ(ReindentText(open({"x", "L1: s = \"a\" ' c", "y"})), crlf({"   x", "L1: s = \"a\" ' c", "   y"}));
}

TEST(IndentLabels, NotLabels) {
    // A label followed only by a comment, two statements, a colon in a string.
    EXPECT_EQ(ReindentText(open({"Fail: ' oops", "a = 1: b = 2", "s = \"x:\" ' c"})),
              crlf({"   Fail: ' oops", "   a = 1: b = 2", "   s = \"x:\" ' c"}));
}

TEST(IndentComments, FirstColumnAndIndentedCommentsAtCurrentLevel) {
    EXPECT_EQ(ReindentText(open({"If a Then", "' one  ", "      ' two", "End If"})),
              crlf({"   If a Then", "      ' one", "      ' two", "   End If"}));
}

TEST(IndentUnbalanced, NegativeLevelsPrintAtColumnZeroAndCarryOn) {
    EXPECT_EQ(ReindentText(open({"End If", "End If", "x", "If a Then", "y", "If b Then", "z"})),
              crlf({"End If", "End If", "x", "If a Then", "y", "If b Then", "   z"}));
    // A first Case opens from the negative level; a procedure head starts afresh.
    EXPECT_EQ(ReindentText(open({"End Select", "a", "Case 1", "b", "Sub X()", "c"})),
              crlf({"End Select", "a", "Case 1", "b", "Sub X()", "   c"}));
}

TEST(IndentText, BlankLinesAndTabs) {
    // Blank lines lose their blanks; a line of tabs becomes the level's spaces.
    EXPECT_EQ(ReindentText(open({"a", "    ", "", "\t\t", "b"})), crlf({"   a", "", "", "   ", "   b"}));
    // Tabs go everywhere, strings and comments included; a blank before a
    // trailing tab stays.
    EXPECT_EQ(ReindentText(open({"\tx = \"a\tb\"", "'\tnote\t", "y = 1 \t"})),
              crlf({"   x = \"ab\"", "   'note", "   y = 1 "}));
}

TEST(IndentText, LineEnds) {
    EXPECT_EQ(ReindentText("x"), "   x\r\n");
    EXPECT_EQ(ReindentText("a\r\n"), "   a\r\n");
    EXPECT_EQ(ReindentText("a\r\n\r\n"), "   a\r\n\r\n");
    EXPECT_EQ(ReindentText(""), "");
    // A lone CR or LF is part of the line.
    EXPECT_EQ(ReindentText("a\rb\nc"), "   a\rb\nc\r\n");
}

TEST(IndentModule, RealisticModuleWhole) {
    auto read = [](const char* name) {
        std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/tests/indent/cases/" + name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string s, lf = ss.str();
        for (char c : lf) {
            if (c == '\n') s += '\r';
            s += c;
        }
        return s;
    };
    const std::string input = read("orders.bas");
    const std::string expected = read("orders.indented.bas");
    ASSERT_GT(expected.size(), 3000u);
    const std::string actual = ReindentText(input);
    // Line by line first, so that a failure names the line.
    std::istringstream a(actual), e(expected);
    std::string la, le;
    for (int n = 1; std::getline(e, le); ++n) {
        ASSERT_TRUE(std::getline(a, la)) << "missing line " << n;
        EXPECT_EQ(la, le) << "line " << n;
    }
    EXPECT_EQ(actual, expected);
}
