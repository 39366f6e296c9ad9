// Rewriting of "++", "--", "+=", "-=" and the "$" operator.
#include <gtest/gtest.h>

#include "convert/ConvertXBase.h"

namespace {

std::string incDec(std::string line) {
    convert::ConvertXBase c;
    return c.ConvertIncDecOperators(line);
}

}  // namespace

TEST(IncDecOperators, StatementForm) {
    EXPECT_EQ(incDec("nCount++"), "Inc nCount");
    EXPECT_EQ(incDec("++nCount"), "Inc nCount");
    EXPECT_EQ(incDec("nCount--"), "Dec nCount");
    EXPECT_EQ(incDec("--nCount"), "Dec nCount");
    // Nothing after the first word survives.
    EXPECT_EQ(incDec("n_Row++ // next"), "Inc n_Row");
}

TEST(IncDecOperators, ExpressionForm) {
    EXPECT_EQ(incDec("x = i++ + j++"), "x = IncA(i) + IncA(j)");
    EXPECT_EQ(incDec("x = ++i"), "x = IncB(i)");
    EXPECT_EQ(incDec("x = i--"), "x = DecA(i)");
    EXPECT_EQ(incDec("x = --i"), "x = DecB(i)");
    EXPECT_EQ(incDec("x = a[i++] - --j"), "x = a[IncA(i)] - DecB(j)");
}

TEST(IncDecOperators, ExpressionFormChangesTheLineInPlace) {
    convert::ConvertXBase c;
    std::string line = "x = i++";
    EXPECT_EQ(c.ConvertIncDecOperators(line), "x = IncA(i)");
    EXPECT_EQ(line, "x = IncA(i)");
}

TEST(IncDecOperators, LineWithoutOperatorIsUnchanged) {
    EXPECT_EQ(incDec("x = a - b"), "x = a - b");
    EXPECT_EQ(incDec(""), "");
}

TEST(CompoundAssignment, SimpleRightHandSides) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ConvertPlusEquals("nTotal += nAmount"), "nTotal = nTotal + nAmount");
    EXPECT_EQ(c.ConvertMinusEquals("nTotal -= 1"), "nTotal = nTotal - 1");
    EXPECT_EQ(c.ConvertPlusEquals("nTotal += (a + b)"), "nTotal = nTotal + (a + b)");
    EXPECT_EQ(c.ConvertMinusEquals("n_Left -= x - 1"), "n_Left = n_Left - x - 1");
}

TEST(CompoundAssignment, OtherLinesComeBackUnchanged) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ConvertPlusEquals("nTotal += a * 2"), "nTotal += a * 2");
    EXPECT_EQ(c.ConvertPlusEquals("nTotal+=1"), "nTotal+=1");
    EXPECT_EQ(c.ConvertPlusEquals("nTotal += "), "nTotal += ");
    EXPECT_EQ(c.ConvertPlusEquals("nTotal -= 1"), "nTotal -= 1");
    EXPECT_EQ(c.ConvertMinusEquals("nTotal += 1"), "nTotal += 1");
    EXPECT_EQ(c.ConvertPlusEquals(""), "");
}

TEST(StringOperator, NearestWordsAreTheOperands) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ProcessStringOperator("IF \"a\" $ cStr"), "IF  InStr(1, cStr, \"a\", 1) > 0 ");
    EXPECT_EQ(c.ProcessStringOperator("x = \"abc\" $ Upper(cName)"), "x =  InStr(1, Upper(cName), \"abc\", 1) > 0 ");
}

TEST(StringOperator, EveryOperatorOfTheLine) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ProcessStringOperator("IF cX $ cY .OR. cZ $ cW"),
              "IF  InStr(1, cY, cX, 1) > 0  .OR.  InStr(1, cW, cZ, 1) > 0 ");
}

TEST(StringOperator, DollarInsideFirstStringStops) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ProcessStringOperator("? \"Cost in $\" + x $ y"), "? \"Cost in $\" + x $ y");
    // An operand holding a "$" in quotes is put back, never rewritten again.
    EXPECT_EQ(c.ProcessStringOperator("x = y $ \"a$b\""), "x =  InStr(1, \"a$b\", y, 1) > 0 ");
}

TEST(StringOperator, AmbiguousOperandsLeaveTheLine) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ProcessStringOperator("x $ y .OR. y"), "x $ y .OR. y");
    EXPECT_EQ(c.ProcessStringOperator("$ x"), "$ x");
}

TEST(StringOperator, MissingRightOperandStops) {
    convert::ConvertXBase c;
    EXPECT_EQ(c.ProcessStringOperator("IF a $"), "IF a $");
    EXPECT_EQ(c.ProcessStringOperator("no operator"), "no operator");
}
