// The three heading recognizers, the records and the names derived from paths.
#include <gtest/gtest.h>

#include "editor/EntityRules.h"
#include "editor/SourceDocument.h"

using namespace editor;

TEST(HeadingName, TakesTheNameAfterTheKeyword) {
    EXPECT_EQ(headingName("Private Sub cmdOK_Click()"), "cmdOK_Click");
    EXPECT_EQ(headingName("Public Function Total(x As Long) As Long"), "Total");
    EXPECT_EQ(headingName("FUNCTION CalcTax(nAmt)"), "CalcTax");
    EXPECT_EQ(headingName("Sub Main"), "Main");
    EXPECT_EQ(headingName("   PROCEDURE Report"), "Report");
    EXPECT_EQ(headingName("Static Sub Counter()"), "Counter");
    EXPECT_EQ(headingName("METHOD Paint"), "Paint");
}

TEST(HeadingName, KeepsTheCaseSensitiveScopeRules) {
    EXPECT_EQ(headingName("Public Static Sub X()"), std::nullopt);
    EXPECT_EQ(headingName("Private Static Function Memo()"), std::nullopt);
    EXPECT_EQ(headingName("Public Property Get X()"), std::nullopt);
    EXPECT_EQ(headingName("STATIC FUNCTION X"), std::nullopt);
    EXPECT_EQ(headingName("PUBLIC SUB X"), std::nullopt);
    // The substring tests take a declaration for a heading named "As".
    EXPECT_EQ(headingName("Private M As Long"), "As");
}

TEST(HeadingName, PassesOverOtherLines) {
    EXPECT_EQ(headingName(""), std::nullopt);
    EXPECT_EQ(headingName("     "), std::nullopt);
    EXPECT_EQ(headingName("' Sub Main is below"), std::nullopt);
    EXPECT_EQ(headingName("Option Explicit"), std::nullopt);
    EXPECT_EQ(headingName("Dim x As Long"), std::nullopt);
    EXPECT_EQ(headingName("End Sub"), std::nullopt);
}

TEST(ListLine, StopsAtHeadingsAndEndLines) {
    EXPECT_EQ(classifyListLine("  function X()"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("FunctionName = 1"), ListLine::Body);  // "FUNCTION " needs its blank
    EXPECT_EQ(classifyListLine("FUNCTION X"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("  Sub X"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("Private Function X()"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("Public Sub X()"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("Static Function X()"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("PROC A"), ListLine::Heading);
    EXPECT_EQ(classifyListLine("End Sub"), ListLine::End);
    EXPECT_EQ(classifyListLine("end function"), ListLine::End);
    EXPECT_EQ(classifyListLine("End If"), ListLine::Body);
    EXPECT_EQ(classifyListLine("METHOD Paint"), ListLine::Body);
    EXPECT_EQ(classifyListLine(""), ListLine::Body);
}

TEST(BodyLine, EndsAtEndLinesAndBeforeHeadings) {
    EXPECT_EQ(classifyBodyLine("End Sub"), BodyLine::End);
    EXPECT_EQ(classifyBodyLine("   end   function  "), BodyLine::End);
    EXPECT_EQ(classifyBodyLine("End If"), BodyLine::Text);
    EXPECT_EQ(classifyBodyLine("EndSub"), BodyLine::Text);
    EXPECT_EQ(classifyBodyLine("FUNCTION X"), BodyLine::Heading);
    EXPECT_EQ(classifyBodyLine("Functions = 1"), BodyLine::Heading);  // "FUNCTION" without a blank
    EXPECT_EQ(classifyBodyLine("PROCEDURE X"), BodyLine::Heading);
    EXPECT_EQ(classifyBodyLine("METHOD X"), BodyLine::Heading);
    EXPECT_EQ(classifyBodyLine("Private Sub X()"), BodyLine::Heading);
    EXPECT_EQ(classifyBodyLine("Static Procedure X"), BodyLine::Heading);
    EXPECT_EQ(classifyBodyLine("   PRIVATE nTotal"), BodyLine::Text);
    EXPECT_EQ(classifyBodyLine("Public Const X = 1"), BodyLine::Text);
    EXPECT_EQ(classifyBodyLine(""), BodyLine::Text);
}

TEST(DeclarationsCheck, OnlyAHeadingOnTheFirstLineEmptiesTheSection) {
    EXPECT_TRUE(declarationsStartWithHeading("FUNCTION Main"));
    EXPECT_TRUE(declarationsStartWithHeading("Sub Main()"));
    EXPECT_TRUE(declarationsStartWithHeading("Private Sub A()"));
    EXPECT_TRUE(declarationsStartWithHeading("public function B()"));
    EXPECT_TRUE(declarationsStartWithHeading("Static Sub C()"));
    EXPECT_FALSE(declarationsStartWithHeading(""));
    EXPECT_FALSE(declarationsStartWithHeading(" "));
    EXPECT_FALSE(declarationsStartWithHeading("    "));
    EXPECT_FALSE(declarationsStartWithHeading("B"));
    EXPECT_FALSE(declarationsStartWithHeading("Option Explicit"));
    EXPECT_FALSE(declarationsStartWithHeading("Private Sum As Long"));
    EXPECT_FALSE(declarationsStartWithHeading("  Sub Indented()"));
}

TEST(EntityRecord, KeepsSevenDigitsAndGrowsBeyond) {
    EXPECT_EQ(formatEntityRecord("(declarations)", 1), "(declarations)|0000001");
    EXPECT_EQ(formatEntityRecord("Form_Load", 4711), "Form_Load|0004711");
    EXPECT_EQ(formatEntityRecord("Big", 12345678), "Big|12345678");
    auto r = parseEntityRecord("Big|12345678");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, "Big");
    EXPECT_EQ(r->start, 12345678);
    r = parseEntityRecord("A|B|0000099");  // the first bar ends the name
    EXPECT_EQ(r, std::nullopt);
    r = parseEntityRecord("|0000003");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, "");
    EXPECT_EQ(r->start, 3);
    EXPECT_EQ(parseEntityRecord("NoBar"), std::nullopt);
    EXPECT_EQ(parseEntityRecord(""), std::nullopt);
}

TEST(BackupName, ReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(backupName("/src/MAIN.BAS"), "/src/MAIN.BAK");
    EXPECT_EQ(backupName("C:\\SRC\\MAIN.BAS"), "C:\\SRC\\MAIN.BAK");
    EXPECT_EQ(backupName("main.tar.bas"), "main.BAK");
    EXPECT_EQ(backupName("/home/a.b/main.frm"), "/home/a.b/main.BAK");
    EXPECT_EQ(backupName("../src/main.bas"), "../src/main.BAK");
    EXPECT_EQ(backupName("/src/MAIN"), "");
    EXPECT_EQ(backupName("/a.b/MAIN"), "");
    EXPECT_EQ(backupName(""), "");
}

TEST(HeadingKey, IsTheFirstLineBeforeItsParameters) {
    EXPECT_EQ(headingKey("Private Sub Form_Load()\r\n    x = f(1)\r\nEnd Sub\r\n"), "Private Sub Form_Load");
    EXPECT_EQ(headingKey("  Public Function B (x As Long) As Long\r\n"), "Public Function B");
    EXPECT_EQ(headingKey("PROCEDURE Work\r\n   ? \"(\"\r\n"), "PROCEDURE Work");
    EXPECT_EQ(headingKey("FUNCTION Main"), "FUNCTION Main");
    EXPECT_EQ(headingKey("Sub A()\nEnd Sub\n"), "Sub A");
    EXPECT_EQ(headingKey("\r\nSub A()\r\n"), "");
    EXPECT_EQ(headingKey(""), "");
}
