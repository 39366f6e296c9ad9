// The three word scanners and the reserved-word renaming.
#include <gtest/gtest.h>

#include <vector>

#include "convert/ConvertXBase.h"

namespace {

using Words = std::vector<std::string>;

struct ScanCase {
    std::string text;
    Words words;      // the words taken one after another
    const char* rest;  // what is left of the text (not checked when null)
};

template <class Next>
void expectScans(Next next, std::initializer_list<ScanCase> cases) {
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.text);
        convert::ConvertXBase converter;
        std::string s = c.text;
        for (const std::string& w : c.words) EXPECT_EQ((converter.*next)(s), w);
        if (c.rest) { EXPECT_EQ(s, c.rest); }
    }
}

}  // namespace

TEST(GetNextVBWord, NamesWithDotsAndBangs) {
    expectScans(&convert::ConvertXBase::GetNextVBWord, {
        {"  x.Value! = 1", {"x.Value!"}, "= 1"},
        {"REPLACE cust!name WITH x", {"REPLACE", "cust!name"}, nullptr},
        {"Function Total(a)", {"Function", "Total"}, "a)"},
        {"", {""}, ""},
        {"   ", {""}, "   "},
    });
}

TEST(GetNextPSOWord, QuotesAndBracketsStayTogether) {
    expectScans(&convert::ConvertXBase::GetNextPSOWord, {
        {"\"a b\" $ x", {"\"a b\""}, "$ x"},
        {"\"(x)\" y", {"\"(x)\""}, nullptr},
        {"Upper(cName)) more", {"Upper(cName)"}, "more"},
        {"f(a", {"fa"}, ""},
        {"  a[1], b", {"a[1]", "b"}, nullptr},
        {"", {""}, ""},
        {" , ", {""}, nullptr},
    });
}

TEST(GetNextWord, TokensUntilTheEmptyOne) {
    const struct { std::string text; Words tokens; } cases[] = {
        {"SELECT  2", {"SELECT", "  ", "2"}},
        {" a ", {" ", "a", " "}},
        {"", {}},
        {"a\r\nb", {"a", "\r\n", "b"}},
        {"a\rb", {"a", "\r", "b"}},
        {"a \r\n", {"a", " ", "\r\n"}},
        {"ab\xDF\xB5" "cd\xEF\xA7", {"ab", "\xDF", "\xB5", "cd", "\xEF", "\xA7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        convert::ConvertXBase converter;
        converter.SetTokenSource(c.text);
        Words got;
        for (std::string t; got.size() < 20 && !(t = converter.GetNextWord()).empty();) got.push_back(t);
        EXPECT_EQ(got, c.tokens);
        EXPECT_EQ(converter.GetNextWord(), "");  // and again at the end
    }
}

TEST(ChangeResWords, WholeWordsEachOnce) {
    const struct { std::string in, out; } cases[] = {
        {"left = count + 1", "nLeft = nCount + 1"},
        {"x = Left(s, 2)", "x = nLeft(s, 2)"},
        {"nLeft = LeftMargin + my_count + count2", "nLeft = LeftMargin + my_count + count2"},
        {"' the error line", "' the lError pString"},
        {"count = count + 1", "nCount = nCount + 1"},
        {"LeftMargin = left", "LeftMargin = nLeft"},
        {"RIGHT.right", "nRight.nRight"},
        {"line string right left data cstr currency empty error count",
         "pString cString nRight nLeft cData cstrg currncy emty lError nCount"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        convert::ConvertXBase converter;
        std::string line = c.in;
        EXPECT_EQ(converter.ChangeResWords(line), c.out);
        EXPECT_EQ(line, c.out);  // the caller's text changes too
    }
}
