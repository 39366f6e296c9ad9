// The three heading recognizers, the records and the names derived from paths.
#include <gtest/gtest.h>

#include "editor/EntityRules.h"
#include "editor/SourceDocument.h"

using namespace editor;

TEST(HeadingName, NamesTheEntityALineStarts) {
    const std::optional<std::string> none;
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"Private Sub cmdOK_Click()", "cmdOK_Click"}, {"Public Function Total(x As Long) As Long", "Total"},
        {"FUNCTION CalcTax(nAmt)", "CalcTax"}, {"Sub Main", "Main"}, {"   PROCEDURE Report", "Report"},
        {"Static Sub Counter()", "Counter"}, {"METHOD Paint", "Paint"},
        // The scope rules are case-sensitive.
        {"Public Static Sub X()", none}, {"Private Static Function Memo()", none}, {"Public Property Get X()", none},
        {"STATIC FUNCTION X", none}, {"PUBLIC SUB X", none},
        // The substring tests take a declaration for a heading named "As".
        {"Private M As Long", "As"},
        {"", none}, {"     ", none}, {"' Sub Main is below", none}, {"Option Explicit", none},
        {"Dim x As Long", none}, {"End Sub", none}};
    for (const auto& [line, name] : cases) EXPECT_EQ(headingName(line), name) << line;
}

TEST(ListLine, StopsAtHeadingsAndEndLines) {
    const auto H = ListLine::Heading, B = ListLine::Body, E = ListLine::End;
    const std::pair<const char*, ListLine> cases[] = {
        {"  function X()", H}, {"FunctionName = 1", B} /* "FUNCTION " needs its blank */, {"FUNCTION X", H},
        {"  Sub X", H}, {"Private Function X()", H}, {"Public Sub X()", H}, {"Static Function X()", H},
        {"PROC A", H}, {"End Sub", E}, {"end function", E}, {"End If", B}, {"METHOD Paint", B}, {"", B}};
    for (const auto& [line, kind] : cases) EXPECT_EQ(classifyListLine(line), kind) << line;
}

TEST(BodyLine, EndsAtEndLinesAndBeforeHeadings) {
    const auto H = BodyLine::Heading, T = BodyLine::Text, E = BodyLine::End;
    const std::pair<const char*, BodyLine> cases[] = {
        {"End Sub", E}, {"   end   function  ", E}, {"End If", T}, {"EndSub", T}, {"FUNCTION X", H},
        {"Functions = 1", H} /* "FUNCTION" without a blank */, {"PROCEDURE X", H}, {"METHOD X", H},
        {"Private Sub X()", H}, {"Static Procedure X", H}, {"   PRIVATE nTotal", T}, {"Public Const X = 1", T},
        {"", T}};
    for (const auto& [line, kind] : cases) EXPECT_EQ(classifyBodyLine(line), kind) << line;
}

TEST(DeclarationsCheck, OnlyAHeadingOnTheFirstLineEmptiesTheSection) {
    for (const char* line : {"FUNCTION Main", "Sub Main()", "Private Sub A()", "public function B()", "Static Sub C()"})
        EXPECT_TRUE(declarationsStartWithHeading(line)) << line;
    for (const char* line : {"", " ", "    ", "B", "Option Explicit", "Private Sum As Long", "  Sub Indented()"})
        EXPECT_FALSE(declarationsStartWithHeading(line)) << line;
}

TEST(EntityRecord, KeepsSevenDigitsAndGrowsBeyond) {
    EXPECT_EQ(formatEntityRecord("(declarations)", 1), "(declarations)|0000001");
    EXPECT_EQ(formatEntityRecord("Form_Load", 4711), "Form_Load|0004711");
    EXPECT_EQ(formatEntityRecord("Big", 12345678), "Big|12345678");
    auto r = parseEntityRecord("Big|12345678");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, "Big");
    EXPECT_EQ(r->start, 12345678);
    r = parseEntityRecord("|0000003");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, "");
    EXPECT_EQ(r->start, 3);
    // The first bar ends the name.
    for (const char* bad : {"A|B|0000099", "NoBar", ""}) EXPECT_EQ(parseEntityRecord(bad), std::nullopt) << bad;
}

TEST(BackupName, ReplacesTheExtensionOfTheFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/src/MAIN.BAS", "/src/MAIN.BAK"}, {"C:\\SRC\\MAIN.BAS", "C:\\SRC\\MAIN.BAK"},
        {"main.tar.bas", "main.BAK"}, {"/home/a.b/main.frm", "/home/a.b/main.BAK"},
        {"../src/main.bas", "../src/main.BAK"}, {"/src/MAIN", ""}, {"/a.b/MAIN", ""}, {"", ""}};
    for (const auto& [path, backup] : cases) EXPECT_EQ(backupName(path), backup) << path;
}

TEST(HeadingKey, IsTheFirstLineBeforeItsParameters) {
    const std::pair<const char*, const char*> cases[] = {
        {"Private Sub Form_Load()\r\n    x = f(1)\r\nEnd Sub\r\n", "Private Sub Form_Load"},
        {"  Public Function B (x As Long) As Long\r\n", "Public Function B"},
        {"PROCEDURE Work\r\n   ? \"(\"\r\n", "PROCEDURE Work"}, {"FUNCTION Main", "FUNCTION Main"},
        {"Sub A()\nEnd Sub\n", "Sub A"}, {"\r\nSub A()\r\n", ""}, {"", ""}};
    for (const auto& [text, key] : cases) EXPECT_EQ(headingKey(text), key) << text;
}
