#include <gtest/gtest.h>

#include "platform/Recording.h"
#include "textlib/TextLib.h"

using namespace textlib;

namespace {

const std::string CRLF = "\r\n";

class MemoLineTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMemoCursor(); }
};

}  // namespace

TEST(MLCount, CountsLinesEndingAtCrLf) {
    EXPECT_EQ(MLCount("", 0), 0);
    EXPECT_EQ(MLCount("a", 0), 1);
    EXPECT_EQ(MLCount("ab" + CRLF, 0), 1);
    EXPECT_EQ(MLCount("ab" + CRLF + "c", 0), 2);
    EXPECT_EQ(MLCount("ab" + CRLF + CRLF + "c", 0), 3);
    EXPECT_EQ(MLCount(CRLF, 0), 1);
    EXPECT_EQ(MLCount(CRLF + CRLF, 0), 2);
}

TEST(MLCount, LoneCrAndLfAreOrdinaryCharacters) {
    EXPECT_EQ(MLCount("a\rb\nc", 0), 1);
    EXPECT_EQ(MLCount("a\n\r\nb", 0), 2);
    EXPECT_EQ(MLCount("\r", 0), 1);
}

TEST(MLCount, WrapsAtTheLastBlankOfAFullSegment) {
    EXPECT_EQ(MLCount("aaaa bbbb cccc", 10), 2);
    EXPECT_EQ(MLCount("short", 10), 1);
    // No blank: cut at the width.
    EXPECT_EQ(MLCount("abcdefghijklmnopqrstuvwxy", 10), 3);
    // A blank only in front would not move on: also cut at the width.
    EXPECT_EQ(MLCount(" bcdefghijklmnopqrst", 10), 2);
    EXPECT_EQ(MLCount("ab" + CRLF + "cd", 10), 2);
}

TEST_F(MemoLineTest, ReturnsLinesWithoutTheirLineEnd) {
    const std::string t = "ab" + CRLF + "cd" + CRLF + "ef";
    EXPECT_EQ(MemoLine(t, 0, 2), "cd");
    EXPECT_EQ(MemoLine(t, 0, 3), "ef");
    EXPECT_EQ(MemoLine(t, 0, 1), "ab");
    ResetMemoCursor();  // the cursor is not tied to a text
    EXPECT_EQ(MemoLine("a" + CRLF + CRLF + "b", 0, 2), "");
    EXPECT_EQ(MemoLine("last" + CRLF, 0, 1), "last");
}

TEST_F(MemoLineTest, WidthZeroKeepsBlanksWidthAboveZeroTrims) {
    EXPECT_EQ(MemoLine("  x  ", 0, 1), "  x  ");
    EXPECT_EQ(MemoLine("  x  ", 10, 1), "x");
    EXPECT_EQ(MemoLine("aaaa bbbb cccc", 10, 1), "aaaa bbbb");
    EXPECT_EQ(MemoLine("aaaa bbbb cccc", 10, 2), "cccc");
}

TEST_F(MemoLineTest, BeyondTheCountIsEmpty) {
    EXPECT_EQ(MemoLine("", 0, 1), "");
    ResetMemoCursor();
    EXPECT_EQ(MemoLine("a" + CRLF, 0, 2), "");
    EXPECT_EQ(MemoLine("a", 0, 5), "");
    ResetMemoCursor();
    EXPECT_EQ(MemoLine("short", 10, 2), "");
}

TEST_F(MemoLineTest, TheCursorIsNotTiedToAText) {
    // Asking line 2 of one text right after line 1 of another continues at
    // the cursor left by the first text: the documented price of the cursor.
    EXPECT_EQ(MemoLine("abcd" + CRLF + "x", 0, 1), "abcd");
    EXPECT_EQ(MemoLine("12345678", 0, 2), "78");
}

TEST_F(MemoLineTest, CursorWalkedInOrderRestartedAndInterleaved) {
    const std::string t = "l1" + CRLF + "l2" + CRLF + "l3" + CRLF + "l4";
    EXPECT_EQ(MemoLine(t, 0, 1), "l1");
    EXPECT_EQ(MemoLine(t, 0, 2), "l2");
    EXPECT_EQ(MemoLine(t, 0, 3), "l3");
    EXPECT_EQ(MemoLine(t, 0, 2), "l2");  // not the successor: restarts
    EXPECT_EQ(MemoLine(t, 0, 3), "l3");
    EXPECT_EQ(MemoLine(t, 0, 4), "l4");
    EXPECT_EQ(MemoLine(t, 0, 5), "");  // the successor past the last line

    // Two texts interleaved, never asking line K+1 of one right after line K
    // of the other, stay correct.
    const std::string u = "u1" + CRLF + "u2" + CRLF + "u3";
    EXPECT_EQ(MemoLine(t, 0, 1), "l1");
    EXPECT_EQ(MemoLine(u, 0, 1), "u1");
    EXPECT_EQ(MemoLine(t, 0, 3), "l3");
    EXPECT_EQ(MemoLine(u, 0, 2), "u2");
}

TEST_F(MemoLineTest, KeepsBytesAbove127AndLoneCr) {
    const std::string t = std::string("\xe9\xff\x80") + CRLF + "a\rb";
    EXPECT_EQ(MemoLine(t, 0, 1), "\xe9\xff\x80");
    EXPECT_EQ(MemoLine(t, 0, 2), "a\rb");
}

TEST_F(MemoLineTest, WalkOfAllLinesRebuildsTheText) {
    std::string t;
    for (int i = 0; i < 1000; ++i) t += "line " + std::to_string(i) + CRLF;
    std::string rebuilt;
    const auto n = MLCount(t, 0);
    ASSERT_EQ(n, 1000);
    for (std::int64_t i = 1; i <= n; ++i) rebuilt += MemoLine(t, 0, i) + CRLF;
    EXPECT_EQ(rebuilt, t);
}

TEST(LastAt, FindsTheLastOccurrence) {
    EXPECT_EQ(LastAt(" ", "a b c"), 4);
    EXPECT_EQ(LastAt(" ", "abc"), 0);
    EXPECT_EQ(LastAt(" ", ""), 0);
    EXPECT_EQ(LastAt("aa", "aaa"), 2);  // overlapping hits count
    EXPECT_EQ(LastAt("x", "x"), 1);
}

TEST(ExtractWord, SkipsLeadingCharactersAndConsumesTheEnd) {
    std::string t = "  (abc_1+x";
    EXPECT_EQ(ExtractWord(t, "_"), "abc_1");
    EXPECT_EQ(t, "x");

    t = "+++";
    EXPECT_EQ(ExtractWord(t, ""), "");
    EXPECT_EQ(t, "");

    t = "abc   ";
    EXPECT_EQ(ExtractWord(t, ""), "abc");
    EXPECT_EQ(t, "   ");  // only blanks left: they stay

    t = "abc de";
    EXPECT_EQ(ExtractWord(t, ""), "abc");
    EXPECT_EQ(t, "de");  // the blank that ended the word is consumed

    t = "word";
    EXPECT_EQ(ExtractWord(t, ""), "word");
    EXPECT_EQ(t, "");

    t = "";
    EXPECT_EQ(ExtractWord(t, "_"), "");
    EXPECT_EQ(t, "");

    t = "   ";
    EXPECT_EQ(ExtractWord(t, ""), "");
    EXPECT_EQ(t, "   ");
}

TEST(ExtractWord, ExtraCharactersAndNonAsciiLetters) {
    std::string t = "a+=b";
    EXPECT_EQ(ExtractWord(t, "_+="), "a+=b");
    t = "caf\xe9 x";
    EXPECT_EQ(ExtractWord(t, ""), "caf");
    EXPECT_EQ(t, " x");
    // A blank in the extra set belongs to the word, but blanks alone do not
    // make a word that stops at the next character.
    t = " (a b)c";
    EXPECT_EQ(ExtractWord(t, "_() +-"), " (a b)c");
}

TEST(CharacterClasses, AsciiOnly) {
    EXPECT_TRUE(IsAlpha("a"));
    EXPECT_TRUE(IsAlpha("Z1"));
    EXPECT_FALSE(IsAlpha("\xe9"));
    EXPECT_FALSE(IsAlpha(""));
    EXPECT_FALSE(IsAlpha(" a"));
    EXPECT_TRUE(IsDigit("5"));
    EXPECT_FALSE(IsDigit(" 5"));
    EXPECT_FALSE(IsDigit(""));
    EXPECT_FALSE(IsDigit("x5"));
}

TEST(LeadingSpaces, CountsBlanksOnly) {
    EXPECT_EQ(LeadingSpaces("   x"), 3);
    EXPECT_EQ(LeadingSpaces(""), 0);
    EXPECT_EQ(LeadingSpaces("    "), 4);
    EXPECT_EQ(LeadingSpaces("\t x"), 0);
}

TEST(ReplaceFirst, ReplacesTheFirstMatchIgnoringCase) {
    std::string t = "Left = LEFT";
    EXPECT_EQ(ReplaceFirst(t, "left", "nLeft"), "nLeft = LEFT");
    EXPECT_EQ(t, "nLeft = LEFT");
    t = "abc";
    EXPECT_EQ(ReplaceFirst(t, "x", "y"), "abc");
    t = "";
    EXPECT_EQ(ReplaceFirst(t, "x", "y"), "");
}

TEST(ReplaceAll, ExactAndCaseInsensitive) {
    EXPECT_EQ(ReplaceAll("a.b.c", ".", ".."), "a..b..c");
    EXPECT_EQ(ReplaceAll("ABC", "b", "x"), "ABC");
    EXPECT_EQ(ReplaceAllText("ABC", "b", "x"), "AxC");
    EXPECT_EQ(ReplaceAllText("aAaA", "a", "aa"), "aaaaaaaa");  // never rescanned
    EXPECT_EQ(ReplaceAll("", "a", "b"), "");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAllText("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("\xe9\xe9", "\xe9", "e"), "ee");
    EXPECT_EQ(ReplaceAllText("\xc9", "\xe9", "e"), "\xc9");  // only ASCII letters fold
}

TEST(NextCodeWord, TakesBasicWordCharacters) {
    std::string t = "  rs!Name = \"x\"";
    EXPECT_EQ(NextCodeWord(t), "rs!Name");
    EXPECT_EQ(t, "= \"x\"");
    EXPECT_EQ(NextCodeWord(t), "\"x\"");
    t = "obj.Method(1)";
    EXPECT_EQ(NextCodeWord(t), "obj.Method");
    EXPECT_EQ(t, "1)");
}

TEST(NextSpacedWord, SplitsAtBlanksOnly) {
    std::string t = "  a(b)+c  d";
    EXPECT_EQ(NextSpacedWord(t), "a(b)+c");
    EXPECT_EQ(t, " d");
    EXPECT_EQ(NextSpacedWord(t), "d");
    EXPECT_EQ(t, "");
    EXPECT_EQ(NextSpacedWord(t), "");
    t = "x\ty z";
    EXPECT_EQ(NextSpacedWord(t), "x\ty");
}

TEST(Helpers, TrimCaseAndSearch) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\ta "), "\ta");
    EXPECT_EQ(UCase("aZ\xe9"), "AZ\xe9");
    EXPECT_EQ(InStr(1, "abcabc", "c"), 3);
    EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
    EXPECT_EQ(InStr(8, "abc", "c"), 0);
    EXPECT_EQ(InStrText(1, "xxABC", "bc"), 4);
    EXPECT_EQ(InStrText(1, "ab", "abc"), 0);
    EXPECT_TRUE(EqualsText("End Sub", "END SUB"));
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abc", 5), "");
    EXPECT_EQ(Right("abc", 5), "abc");
}
