// Rewriting of "++", "--", "+=", "-=" and the "$" operator, line by line.
#include <gtest/gtest.h>

#include <functional>

#include "convert/ConvertXBase.h"

namespace {

struct LineCase {
    std::string in, out;
};

// Runs each line through one rewrite of a fresh converter.
void expectRewrites(const std::function<std::string(convert::ConvertXBase&, std::string&)>& rewrite,
                    std::initializer_list<LineCase> cases) {
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.in);
        convert::ConvertXBase converter;
        std::string line = c.in;
        EXPECT_EQ(rewrite(converter, line), c.out);
    }
}

std::string incDec(convert::ConvertXBase& c, std::string& l) { return c.ConvertIncDecOperators(l); }
std::string plusEquals(convert::ConvertXBase& c, std::string& l) { return c.ConvertPlusEquals(l); }
std::string minusEquals(convert::ConvertXBase& c, std::string& l) { return c.ConvertMinusEquals(l); }
std::string dollar(convert::ConvertXBase& c, std::string& l) { return c.ProcessStringOperator(l); }

}  // namespace

TEST(IncDecOperators, StatementAndExpressionForms) {
    expectRewrites(incDec, {
        {"nCount++", "Inc nCount"}, {"++nCount", "Inc nCount"}, {"nCount--", "Dec nCount"}, {"--nCount", "Dec nCount"},
        {"n_Row++ // next", "Inc n_Row"},  // nothing after the first word survives
        {"x = i++ + j++", "x = IncA(i) + IncA(j)"}, {"x = ++i", "x = IncB(i)"}, {"x = i--", "x = DecA(i)"},
        {"x = --i", "x = DecB(i)"}, {"x = a[i++] - --j", "x = a[IncA(i)] - DecB(j)"},
        {"x = a - b", "x = a - b"}, {"", ""},
    });
}

TEST(IncDecOperators, ExpressionFormChangesTheLineInPlace) {
    convert::ConvertXBase c;
    std::string line = "x = i++";
    EXPECT_EQ(c.ConvertIncDecOperators(line), "x = IncA(i)");
    EXPECT_EQ(line, "x = IncA(i)");
}

TEST(CompoundAssignment, SimpleRightHandSidesOnly) {
    expectRewrites(plusEquals, {
        {"nTotal += nAmount", "nTotal = nTotal + nAmount"}, {"nTotal += (a + b)", "nTotal = nTotal + (a + b)"},
        {"nTotal += a * 2", "nTotal += a * 2"}, {"nTotal+=1", "nTotal+=1"}, {"nTotal += ", "nTotal += "},
        {"nTotal -= 1", "nTotal -= 1"}, {"", ""},
    });
    expectRewrites(minusEquals, {
        {"nTotal -= 1", "nTotal = nTotal - 1"}, {"n_Left -= x - 1", "n_Left = n_Left - x - 1"},
        {"nTotal += 1", "nTotal += 1"},
    });
}

TEST(StringOperator, Rewrites) {
    expectRewrites(dollar, {
        // The nearest words are the operands; every operator of the line is rewritten.
        {"IF \"a\" $ cStr", "IF  InStr(1, cStr, \"a\", 1) > 0 "},
        {"x = \"abc\" $ Upper(cName)", "x =  InStr(1, Upper(cName), \"abc\", 1) > 0 "},
        {"IF cX $ cY .OR. cZ $ cW", "IF  InStr(1, cY, cX, 1) > 0  .OR.  InStr(1, cW, cZ, 1) > 0 "},
        // A "$" inside the first string stops; one inside a quoted operand is put back.
        {"? \"Cost in $\" + x $ y", "? \"Cost in $\" + x $ y"},
        {"x = y $ \"a$b\"", "x =  InStr(1, \"a$b\", y, 1) > 0 "},
        // Ambiguous or missing operands leave the line.
        {"x $ y .OR. y", "x $ y .OR. y"}, {"$ x", "$ x"}, {"IF a $", "IF a $"}, {"no operator", "no operator"},
    });
}
