// The three word scanners and the reserved-word renaming.
#include <gtest/gtest.h>

#include <vector>

#include "convert/ConvertXBase.h"

TEST(GetNextVBWord, NamesWithDotsAndBangs) {
    convert::ConvertXBase c;
    std::string s = "  x.Value! = 1";
    EXPECT_EQ(c.GetNextVBWord(s), "x.Value!");
    EXPECT_EQ(s, "= 1");
    s = "REPLACE cust!name WITH x";
    EXPECT_EQ(c.GetNextVBWord(s), "REPLACE");
    EXPECT_EQ(c.GetNextVBWord(s), "cust!name");
    s = "Function Total(a)";
    EXPECT_EQ(c.GetNextVBWord(s), "Function");
    EXPECT_EQ(c.GetNextVBWord(s), "Total");
    EXPECT_EQ(s, "a)");
}

TEST(GetNextVBWord, EmptyAndBlankText) {
    convert::ConvertXBase c;
    std::string s;
    EXPECT_EQ(c.GetNextVBWord(s), "");
    s = "   ";
    EXPECT_EQ(c.GetNextVBWord(s), "");
    EXPECT_EQ(s, "   ");
}

TEST(GetNextPSOWord, QuotedStringStaysTogether) {
    convert::ConvertXBase c;
    std::string s = "\"a b\" $ x";
    EXPECT_EQ(c.GetNextPSOWord(s), "\"a b\"");
    EXPECT_EQ(s, "$ x");
    s = "\"(x)\" y";
    EXPECT_EQ(c.GetNextPSOWord(s), "\"(x)\"");
}

TEST(GetNextPSOWord, Parentheses) {
    convert::ConvertXBase c;
    std::string s = "Upper(cName)) more";
    EXPECT_EQ(c.GetNextPSOWord(s), "Upper(cName)");
    EXPECT_EQ(s, "more");
    s = "f(a";
    EXPECT_EQ(c.GetNextPSOWord(s), "fa");
    EXPECT_EQ(s, "");
    s = "  a[1], b";
    EXPECT_EQ(c.GetNextPSOWord(s), "a[1]");
    EXPECT_EQ(c.GetNextPSOWord(s), "b");
}

TEST(GetNextPSOWord, EmptyText) {
    convert::ConvertXBase c;
    std::string s;
    EXPECT_EQ(c.GetNextPSOWord(s), "");
    s = " , ";
    EXPECT_EQ(c.GetNextPSOWord(s), "");
}

namespace {
std::vector<std::string> tokens(const std::string& text) {
    convert::ConvertXBase c;
    c.SetTokenSource(text);
    std::vector<std::string> out;
    for (int i = 0; i < 20; ++i) {
        auto t = c.GetNextWord();
        out.push_back(t);
        if (t.empty()) break;
    }
    return out;
}
using Tokens = std::vector<std::string>;
}  // namespace

TEST(GetNextWord, BlankRunsAreTokens) {
    EXPECT_EQ(tokens("SELECT  2"), (Tokens{"SELECT", "  ", "2", ""}));
    EXPECT_EQ(tokens(" a "), (Tokens{" ", "a", " ", ""}));
    EXPECT_EQ(tokens(""), (Tokens{""}));
}

TEST(GetNextWord, LineEndsAndMarkers) {
    EXPECT_EQ(tokens("a\r\nb"), (Tokens{"a", "\r\n", "b", ""}));
    EXPECT_EQ(tokens("a\rb"), (Tokens{"a", "\r", "b", ""}));
    EXPECT_EQ(tokens("a \r\n"), (Tokens{"a", " ", "\r\n", ""}));
    EXPECT_EQ(tokens("ab\xDF\xB5" "cd\xEF\xA7"), (Tokens{"ab", "\xDF", "\xB5", "cd", "\xEF", "\xA7", ""}));
}

TEST(GetNextWord, EndGivesEmptyTokenAgain) {
    convert::ConvertXBase c;
    c.SetTokenSource("x");
    EXPECT_EQ(c.GetNextWord(), "x");
    EXPECT_EQ(c.GetNextWord(), "");
    EXPECT_EQ(c.GetNextWord(), "");
}

namespace {
std::string renamed(std::string line) {
    convert::ConvertXBase c;
    return c.ChangeResWords(line);
}
}  // namespace

TEST(ChangeResWords, WholeWordsOnly) {
    EXPECT_EQ(renamed("left = count + 1"), "nLeft = nCount + 1");
    EXPECT_EQ(renamed("x = Left(s, 2)"), "x = nLeft(s, 2)");
    EXPECT_EQ(renamed("nLeft = LeftMargin + my_count + count2"), "nLeft = LeftMargin + my_count + count2");
    EXPECT_EQ(renamed("' the error line"), "' the lError pString");
}

TEST(ChangeResWords, EveryOccurrenceOnce) {
    EXPECT_EQ(renamed("count = count + 1"), "nCount = nCount + 1");
    EXPECT_EQ(renamed("LeftMargin = left"), "LeftMargin = nLeft");
    EXPECT_EQ(renamed("RIGHT.right"), "nRight.nRight");
}

TEST(ChangeResWords, TheWholeTable) {
    EXPECT_EQ(renamed("line string right left data cstr currency empty error count"),
              "pString cString nRight nLeft cData cstrg currncy emty lError nCount");
    EXPECT_EQ(renamed(""), "");
}

TEST(ChangeResWords, ChangesTheCallersText) {
    convert::ConvertXBase c;
    std::string line = "Data = 1";
    c.ChangeResWords(line);
    EXPECT_EQ(line, "cData = 1");
}
