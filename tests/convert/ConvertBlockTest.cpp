// The block converter, one table of blocks per rule family. The examples in
// cases/examples.prg are not repeated here.
#include <gtest/gtest.h>

#include "ConvertTestSupport.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"

using converttest::convertLines;
using converttest::Lines;

namespace {

struct BlockCase {
    const char* what;
    Lines in;
    Lines out;
};

// Converts each block with a fresh converter; no block may raise an error box.
void expectBlocks(std::initializer_list<BlockCase> cases) {
    platform::RecordingDesktop desktop;
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(convertLines(c.in), c.out);
    }
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

}  // namespace

TEST(ConvertBlock, CleaningAndContinuation) {
    expectBlocks({
        {"blank lines stay empty lines", {"", "   "}, {"", ""}},
        {"three continued lines", {"a := ;", "  b + ;", "  c"}, {"a =b +c"}},
        {"comment after continuation dropped", {"x = 1 + ; // first part", "  2"}, {"x = 1 +2"}},
        {"&& after continuation dropped", {"nTotal := nA + ; && add", "nB"}, {"nTotal = nA +nB"}},
        {"block ending in continuation keeps its text", {"x := 1 + ;"}, {"x = 1 +"}},
        {"two continuations at the end", {"? a ;", "  , b ;"}, {"? a, b"}},
        {"single quotes become double", {"? 'Hello'"}, {"? \"Hello\""}},
    });
}

TEST(ConvertBlock, EmptyBlockWritesNothing) {
    convert::ConvertXBase converter;
    std::string out = "kept";
    converter.ConvertXBaseBlock("", out);
    EXPECT_EQ(out, "kept");
}

TEST(ConvertBlock, Comments) {
    expectBlocks({
        {"whole-line comments, trimmed first", {"* header", "// note", "&& old", "  * indented"},
         {"' header", "' note", "' old", "' indented"}},
        {"\"//\" is looked for before \"&&\"", {"x := 1 && a // b"}, {"'  b", "x = 1 && a"}},
        {"block comment after code", {"x := 1 /* set x */"}, {"'  set x ", "x = 1"}},
        {"block comment over lines", {"/* Start", "   body text", "*/", "x := 1"},
         {"' Start", "' body text", "' */", "x = 1"}},
        // The words before "*/" are comment text, never statements.
        {"closing line stays comment", {"/* first", "   delete these lines */", "SKIP"},
         {"' first", "' delete these lines */", "oTB.MoveNext"}},
        {"code before opening comment stays code", {"x := 1 /* begin", "more", "end */", "y := 2"},
         {"'  begin", "x = 1", "' more", "' end */", "y = 2"}},
        // The first "*/" closes the comment; the stray "*/" after it is marked.
        {"block comments do not nest", {"/* outer", "   /* inner */", "   still outer */", "x := 1"},
         {"' outer", "' inner", "still outer ' */", "x = 1"}},
        {"preprocessor line", {"#include 'inkey.ch'"}, {"' #include \"inkey.ch\""}},
    });
}

TEST(ConvertBlock, Declarations) {
    expectBlocks({
        {"PUBLIC", {"PUBLIC gnTotal"},
         {"' PUBLIC converted to Global (must be moved to Moduele Declaration Section)", "Global gnTotal"}},
        {"local, every word on its own line", {"local count := 0"}, {"' local converted to Dims", "Dim nCount", "Dim 0"}},
        {"LOCATE is no declaration", {"LOCATE FOR name = 'Smith'"}, {"oTB.FindFirst FOR name = \"Smith\""}},
        {"local inside a line", {"STATIC local nX"}, {"STATIC Dim nX"}},
        {"local inside a name", {"nLocal := 1"}, {"nLocal = 1"}},
    });
}

TEST(ConvertBlock, ExpressionRewrites) {
    expectBlocks({
        {".or. .NOT.", {"IF a .or. .NOT. b"}, {"If a  Or   Not  b Then"}},
        {"-> becomes !", {"x := cust->name"}, {"x = cust!name"}},
        {"negation before field arrow", {"IF !cust->paid"}, {"If Not cust!paid Then"}},
        {"! inside a string kept", {"cMsg := 'Hi!' + x"}, {"cMsg = \"Hi!\" + x"}},
        {"logical literals and brackets", {"lOk := .T.", "lDone := .f.", "x := aList[i]"},
         {"lOk =  True", "lDone =  False", "x = aList(i)"}},
        {"empty()", {"IF empty(cName)"}, {"If Emty(cName) Then"}},
        {"string functions", {"x := SUBSTR(alltrim(cName), 1, 3)", "y := upper(c)"},
         {"x = Mid(Trim(cName), 1, 3)", "y = UCase(c)"}},
        {"if() but not iif()", {"z := if(a, 1, 2)", "z := iif(a, 1, 2)"}, {"z = IIF(a, 1, 2)", "z = iif(a, 1, 2)"}},
        {"TYPE()", {"IF TYPE('x') == 'C'"}, {"If VarType(x) = C Then"}},
        {"found() uses the current table", {"IF found()", "SELECT customers", "IF FOUND()"},
         {"If oTB.NoMatch Then", "If customers.NoMatch Then"}},
        {"$ operator announced", {"IF 'a' $ cName"},
         {"' Complex String Operators may or may not be converted properly", "' IF \"a\" $ cName",
          "If  InStr(1, cName, \"a\", 1) > 0 Then"}},
        {"$ inside the string is no operator", {"? 'Price in $' + cX"},
         {"' Complex String Operators may or may not be converted properly", "' ? \"Price in $\" + cX",
          "? \"Price in $\" + cX"}},
    });
}

TEST(ConvertBlock, StatementRules) {
    expectBlocks({
        {"unconvertible statements", {"RELEASE ALL", "RESTORE SCREEN", "RUN dir", "DECLARE aX[10]", "READ"},
         {"' RELEASE ALL", "' RESTORE SCREEN", "' RUN dir", "' DECLARE aX(10)", "' READ"}},
        {"table commands",
         {"DELETE", "APPEND BLANK", "INDEX ON name TO custname", "ERASE temp.dbf", "CONTINUE",
          "USE customer INDEX custname"},
         {"oTB.Delete", "oTB.AddNew BLANK", "oTB.Index =  name TO custname", "Kill temp.dbf", "oTB.FindNext",
          "' USE customer INDEX custname"}},
        // Written lines are not renamed.
        {"REPLACE is not renamed", {"REPLACE count WITH count + 1"},
         {"' REPLACE count WITH count + 1", "oTB!count = count + 1"}},
        {"REPLACE alias->field", {"SELECT 2", "REPLACE cust->name WITH cName"},
         {"' REPLACE cust!name WITH cName", "cust!name = cName"}},
        {"REPLACE finds WITH as a whole word", {"REPLACE withdrawn WITH 0"},
         {"' REPLACE withdrawn WITH 0", "oTB!withdrawn = 0"}},
        {"REPLACE without WITH", {"REPLACE total"}, {"' REPLACE total", "oTB!total = "}},
        {"SELECT sets the table", {"SELECT 2", "SKIP"}, {"2.MoveNext"}},
        {"select lower case", {"select  orders", "GO TOP"}, {"orders.MoveFirst"}},
        {"SELECT without alias", {"SELECT 2", "SELECT", "SKIP"}, {"oTB.MoveNext"}},
        {"SELECT() is a function", {"SELECT(2)"}, {"SELECT(2)"}},
        {"record positioning", {"SKIP", "go bottom", "GOTO TOP", "GOTO BOTTOM", "GO 5"},
         {"oTB.MoveNext", "oTB.MoveLast", "oTB.MoveFirst", "oTB.MoveLast", "oTB.BookMark =  5"}},
        {"record words inside names", {"lSkipped := .F.", "x := ego + 1", "nGoto := 1"},
         {"lSkipped =  False", "x = ego + 1", "nGoto = 1"}},
        {"SEEK of two keys", {"SEEK cLast + cFirst"}, {"oTB.Seek \"=\",cLast , cFirst"}},
        {"DO WITH", {"DO PrintIt WITH nPage, cTitle", "DO Setup"}, {"PrintIt nPage, cTitle", "Setup"}},
        {"lower-case if", {"if x", "endif"}, {"If x Then", "End If"}},
        {"sequence and break", {"PROCEDURE Foo", "BEGIN SEQUENCE", "BREAK", "END", "RETURN"},
         {"Sub Foo", "' BEGIN SEQUENCE", "GoTo FooBreakEnd", "' END SEQUENCE", "FooBreakEnd:", "   Exit Sub",
          "End Sub", " "}},
    });
}

TEST(ConvertBlock, ProceduresAndReturn) {
    expectBlocks({
        {"RETURN in a Sub", {"PROCEDURE Main", "RETURN"}, {"Sub Main", "   Exit Sub", "End Sub", " "}},
        {"RETURN in a Function", {"FUNC Check", "return"},
         {"Function Check", "   Exit Function", "End Function", ""}},
        {"return value loses parentheses and logicals", {"FUNCTION IsOk()", "RETURN (nTotal)", "RETURN .T."},
         {"Function IsOk()", "IsOk = NTOTAL", "Exit Function", "IsOk = TRUE", "Exit Function", "End Function", ""}},
        {"name holding RETURN", {"FUNCTION IsOk", "RETURN lReturn"},
         {"Function IsOk", "IsOk = LRETURN", "Exit Function", "End Function", ""}},
        {"next head closes the Sub", {"PROCEDURE One", "RETURN", "PROC Two", "RETURN"},
         {"Sub One", "   Exit Sub", "End Sub", " ", "Sub Two", "   Exit Sub", "End Sub", " "}},
        {"next head closes the Function", {"FUNCTION A()", "procedure B"},
         {"Function A()", "End Function", " ", "Sub B", "End Sub", " "}},
        {"Basic head counts", {"Sub Main", "RETURN"}, {"Sub Main", "   Exit Sub", "End Sub", " "}},
        {"head forgets the table", {"SELECT customers", "FUNCTION Foo", "SKIP"},
         {"Function Foo", "oTB.MoveNext", "End Function", ""}},
    });
}

TEST(ConvertBlock, EachBlockStartsAfresh) {
    convert::ConvertXBase converter;
    std::string first, second;
    converter.ConvertXBaseBlock("PROCEDURE A\r\nSELECT 2", first);
    converter.ConvertXBaseBlock("RETURN\r\nSKIP", second);
    EXPECT_EQ(first, "Sub A\r\nEnd Sub\r\n \r\n");
    EXPECT_EQ(second, "   Exit Sub\r\noTB.MoveNext\r\n");
}

TEST(ConvertBlock, LoopsAndCase) {
    expectBlocks({
        {"WHILE with LOOP label", {"PROCEDURE Foo", "WHILE .NOT. EOF()", "IF x", "LOOP", "ENDIF", "SKIP", "ENDDO"},
         {"Sub Foo", "Do While  Not  oTB.EOF", "If x Then", "GoTo FooLupEnd", "End If", "oTB.MoveNext", "FooLupEnd:",
          "Loop", "End Sub", " "}},
        {"lower-case while", {"while !eof()", "enddo"}, {"Do While Not oTB.EOF", "Loop"}},
        {"EXIT names the last loop", {"DO WHILE x > 0", "EXIT", "ENDDO", "FOR i := 1 TO 3", "EXIT", "NEXT"},
         {"DO WHILE x > 0", "Exit Do", "Loop", "FOR i = 1 TO 3", "Exit For", "NEXT"}},
        {"EXIT outside a loop", {"EXIT"}, {"Exit"}},
        {"ENDDO without loop", {"ENDDO"}, {"' Loop"}},
        {"case body passes through", {"DO CASE", "CASE n = 1", "? 'one'", "CASE n = 2", "OTHERWISE", "ENDCASE"},
         {"' Do Case Sequence converted due to Incompatability with VB", "If n = 1 Then", "? \"one\"",
          "ElseIf n = 2 Then", "Else", "End If"}},
        {"lower case and a second structure",
         {"do case", "case x", "endcase", "DO CASE", "CASE y", "otherwise", "ENDCASE"},
         {"' Do Case Sequence converted due to Incompatability with VB", "If x Then", "End If",
          "' Do Case Sequence converted due to Incompatability with VB", "If y Then", "Else", "End If"}},
    });
}

namespace {
// A converter whose renaming fails on its third call.
class FailingConverter : public convert::ConvertXBase {
public:
    std::string ChangeResWords(std::string& pString) override {
        if (++calls == 3) throw platform::RuntimeError(platform::err::Overflow, "Overflow");
        return ConvertXBase::ChangeResWords(pString);
    }
    int calls = 0;
};
}  // namespace

TEST(ConvertBlock, ErrorIsReportedAndConvertedLinesStay) {
    platform::RecordingDesktop desktop;
    FailingConverter converter;
    std::string out;
    converter.ConvertXBaseBlock("a := 1\r\nb := 2\r\nc := 3\r\nd := 4", out);
    EXPECT_EQ(out, "a = 1\r\nb = 2\r\n");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    const auto& box = desktop.boxes.last();
    EXPECT_EQ(box.text, "Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseBlock\nSub Proc: ");
    EXPECT_EQ(box.title, "Program Error");
    EXPECT_EQ(box.icon, platform::Icon::Stop);
    EXPECT_EQ(box.buttons, platform::Buttons::Ok);
}
