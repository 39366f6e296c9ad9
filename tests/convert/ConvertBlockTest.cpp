// The block converter, one rule family per test suite.
#include <gtest/gtest.h>

#include "ConvertTestSupport.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"

using converttest::convertLines;
using converttest::Lines;

// --- cleaning, continuation and comments -----------------------------------

TEST(ConvertCleaning, BlankLinesStayEmptyLines) {
    EXPECT_EQ(convertLines({"", "   "}), (Lines{"", ""}));
}

TEST(ConvertCleaning, EmptyBlockWritesNothing) {
    convert::ConvertXBase converter;
    std::string out = "kept";
    converter.ConvertXBaseBlock("", out);
    EXPECT_EQ(out, "kept");
}

TEST(ConvertCleaning, ContinuedLinesJoinWithoutSeparator) {
    EXPECT_EQ(convertLines({"x = 1 + ;", "  2"}), (Lines{"x = 1 +2"}));
    EXPECT_EQ(convertLines({"a := ;", "  b + ;", "  c"}), (Lines{"a =b +c"}));
}

TEST(ConvertCleaning, CommentAfterContinuationIsDropped) {
    EXPECT_EQ(convertLines({"x = 1 + ; // first part", "  2"}), (Lines{"x = 1 +2"}));
    EXPECT_EQ(convertLines({"nTotal := nA + ; && add", "nB"}), (Lines{"nTotal = nA +nB"}));
}

TEST(ConvertCleaning, BlockEndingInContinuationKeepsItsText) {
    EXPECT_EQ(convertLines({"x := 1 + ;"}), (Lines{"x = 1 +"}));
    EXPECT_EQ(convertLines({"? a ;", "  , b ;"}), (Lines{"? a, b"}));
}

TEST(ConvertCleaning, SingleQuotesBecomeDoubleQuotes) {
    EXPECT_EQ(convertLines({"? 'Hello'"}), (Lines{"? \"Hello\""}));
}

TEST(ConvertComments, WholeLineComments) {
    // Lines are trimmed before the rules run.
    EXPECT_EQ(convertLines({"* header", "// note", "&& old", "  * indented"}),
              (Lines{"' header", "' note", "' old", "' indented"}));
}

TEST(ConvertComments, TrailingCommentComesFirst) {
    EXPECT_EQ(convertLines({"x := 5 && set x"}), (Lines{"'  set x", "x = 5"}));
    EXPECT_EQ(convertLines({"IF nTotal != 0 // check"}), (Lines{"'  check", "If nTotal <> 0 Then"}));
    // "//" is looked for before "&&".
    EXPECT_EQ(convertLines({"x := 1 && a // b"}), (Lines{"'  b", "x = 1 && a"}));
}

TEST(ConvertComments, BlockCommentOnOneLine) {
    EXPECT_EQ(convertLines({"/* note */"}), (Lines{"' note"}));
    EXPECT_EQ(convertLines({"x := 1 /* set x */"}), (Lines{"'  set x ", "x = 1"}));
}

TEST(ConvertComments, BlockCommentOverSeveralLines) {
    EXPECT_EQ(convertLines({"/* Start", "   body text", "*/", "x := 1"}),
              (Lines{"' Start", "' body text", "' */", "x = 1"}));
}

TEST(ConvertComments, ClosingLineOfCommentStaysComment) {
    // The words before "*/" are comment text, never statements.
    EXPECT_EQ(convertLines({"/* first", "   delete these lines */", "SKIP"}),
              (Lines{"' first", "' delete these lines */", "oTB.MoveNext"}));
}

TEST(ConvertComments, CodeBeforeOpeningCommentStaysCode) {
    EXPECT_EQ(convertLines({"x := 1 /* begin", "more", "end */", "y := 2"}),
              (Lines{"'  begin", "x = 1", "' more", "' end */", "y = 2"}));
}

TEST(ConvertComments, BlockCommentsDoNotNest) {
    // The first "*/" closes the comment; the stray "*/" after it is marked.
    EXPECT_EQ(convertLines({"/* outer", "   /* inner */", "   still outer */", "x := 1"}),
              (Lines{"' outer", "' inner", "still outer ' */", "x = 1"}));
}

TEST(ConvertComments, PreprocessorLinesBecomeComments) {
    EXPECT_EQ(convertLines({"#include 'inkey.ch'"}), (Lines{"' #include \"inkey.ch\""}));
}

// --- declarations ------------------------------------------------------------

TEST(ConvertDeclarations, EveryWordIsDeclaredOnItsOwnLine) {
    EXPECT_EQ(convertLines({"PRIVATE a, b"}),
              (Lines{"' PRIVATE converted to Dim (may need to move to Module Scope)", "Dim a", "Dim b"}));
    EXPECT_EQ(convertLines({"PUBLIC gnTotal"}),
              (Lines{"' PUBLIC converted to Global (must be moved to Moduele Declaration Section)",
                     "Global gnTotal"}));
    EXPECT_EQ(convertLines({"local count := 0"}), (Lines{"' local converted to Dims", "Dim nCount", "Dim 0"}));
}

TEST(ConvertDeclarations, LocateIsNoDeclaration) {
    EXPECT_EQ(convertLines({"LOCATE FOR name = 'Smith'"}), (Lines{"oTB.FindFirst FOR name = \"Smith\""}));
}

TEST(ConvertDeclarations, LocalInsideLineOnlyAsWholeWord) {
    EXPECT_EQ(convertLines({"STATIC local nX"}), (Lines{"STATIC Dim nX"}));
    EXPECT_EQ(convertLines({"nLocal := 1"}), (Lines{"nLocal = 1"}));
}

// --- expression rewrites -----------------------------------------------------

TEST(ConvertExpressions, LogicalOperators) {
    EXPECT_EQ(convertLines({"IF a == 1 .AND. !lDone"}), (Lines{"If a = 1  And  Not lDone Then"}));
    EXPECT_EQ(convertLines({"IF a .or. .NOT. b"}), (Lines{"If a  Or   Not  b Then"}));
}

TEST(ConvertExpressions, NegationBeforeFieldArrow) {
    EXPECT_EQ(convertLines({"x := cust->name"}), (Lines{"x = cust!name"}));
    EXPECT_EQ(convertLines({"IF !cust->paid"}), (Lines{"If Not cust!paid Then"}));
}

TEST(ConvertExpressions, ExclamationInsideStringIsKept) {
    EXPECT_EQ(convertLines({"cMsg := 'Hi!' + x"}), (Lines{"cMsg = \"Hi!\" + x"}));
}

TEST(ConvertExpressions, LiteralsBracketsAndFunctions) {
    EXPECT_EQ(convertLines({"lOk := .T.", "lDone := .f.", "x := aList[i]"}),
              (Lines{"lOk =  True", "lDone =  False", "x = aList(i)"}));
    EXPECT_EQ(convertLines({"IF empty(cName)"}), (Lines{"If Emty(cName) Then"}));
    EXPECT_EQ(convertLines({"x := SUBSTR(alltrim(cName), 1, 3)", "y := upper(c)"}),
              (Lines{"x = Mid(Trim(cName), 1, 3)", "y = UCase(c)"}));
    EXPECT_EQ(convertLines({"z := if(a, 1, 2)", "z := iif(a, 1, 2)"}), (Lines{"z = IIF(a, 1, 2)", "z = iif(a, 1, 2)"}));
    EXPECT_EQ(convertLines({"IF TYPE('x') == 'C'"}), (Lines{"If VarType(x) = C Then"}));
}

TEST(ConvertExpressions, FoundUsesCurrentTable) {
    EXPECT_EQ(convertLines({"IF found()", "SELECT customers", "IF FOUND()"}),
              (Lines{"If oTB.NoMatch Then", "If customers.NoMatch Then"}));
}

TEST(ConvertExpressions, StringOperatorIsAnnounced) {
    EXPECT_EQ(convertLines({"IF 'a' $ cName"}),
              (Lines{"' Complex String Operators may or may not be converted properly", "' IF \"a\" $ cName",
                     "If  InStr(1, cName, \"a\", 1) > 0 Then"}));
    // A "$" inside the string is no operator.
    EXPECT_EQ(convertLines({"? 'Price in $' + cX"}),
              (Lines{"' Complex String Operators may or may not be converted properly", "' ? \"Price in $\" + cX",
                     "? \"Price in $\" + cX"}));
}

// --- statement rules ---------------------------------------------------------

TEST(ConvertStatements, UnconvertibleStatementsBecomeComments) {
    EXPECT_EQ(convertLines({"@ 10,5 SAY x", "SET DELETED ON", "PACK", "RELEASE ALL", "RESTORE SCREEN", "RUN dir",
                            "DECLARE aX[10]", "READ"}),
              (Lines{"' @ 10,5 SAY x", "' SET DELETED ON", "' PACK", "' RELEASE ALL", "' RESTORE SCREEN", "' RUN dir",
                     "' DECLARE aX(10)", "' READ"}));
}

TEST(ConvertStatements, TableCommands) {
    EXPECT_EQ(convertLines({"DELETE", "APPEND BLANK", "INDEX ON name TO custname", "ERASE temp.dbf", "CONTINUE",
                            "USE customer INDEX custname"}),
              (Lines{"oTB.Delete", "oTB.AddNew BLANK", "oTB.Index =  name TO custname", "Kill temp.dbf",
                     "oTB.FindNext", "' USE customer INDEX custname"}));
}

TEST(ConvertStatements, Close) {
    EXPECT_EQ(convertLines({"CLOSE DATABASES", "close databases"}),
              (Lines{"' CLOSE DATABASES", "oTB.Close", "' close databases", "DB.Close"}));
}

TEST(ConvertStatements, Replace) {
    EXPECT_EQ(convertLines({"REPLACE name WITH cName"}), (Lines{"' REPLACE name WITH cName", "oTB!name = cName"}));
    // Written lines are not renamed.
    EXPECT_EQ(convertLines({"REPLACE count WITH count + 1"}),
              (Lines{"' REPLACE count WITH count + 1", "oTB!count = count + 1"}));
}

TEST(ConvertStatements, ReplaceFieldWithAlias) {
    EXPECT_EQ(convertLines({"SELECT 2", "REPLACE cust->name WITH cName"}),
              (Lines{"' REPLACE cust!name WITH cName", "cust!name = cName"}));
}

TEST(ConvertStatements, ReplaceFindsWithAsWholeWord) {
    EXPECT_EQ(convertLines({"REPLACE withdrawn WITH 0"}), (Lines{"' REPLACE withdrawn WITH 0", "oTB!withdrawn = 0"}));
    EXPECT_EQ(convertLines({"REPLACE total"}), (Lines{"' REPLACE total", "oTB!total = "}));
}

TEST(ConvertStatements, SelectSetsTheTable) {
    EXPECT_EQ(convertLines({"SELECT 2", "SKIP"}), (Lines{"2.MoveNext"}));
    EXPECT_EQ(convertLines({"select  orders", "GO TOP"}), (Lines{"orders.MoveFirst"}));
    EXPECT_EQ(convertLines({"SELECT 2", "SELECT", "SKIP"}), (Lines{"oTB.MoveNext"}));
    // SELECT() is a function, not the command.
    EXPECT_EQ(convertLines({"SELECT(2)"}), (Lines{"SELECT(2)"}));
}

TEST(ConvertStatements, RecordPositioning) {
    EXPECT_EQ(convertLines({"SKIP", "SKIP -1", "GO TOP", "go bottom", "GOTO TOP", "GOTO BOTTOM", "GOTO 10", "GO 5"}),
              (Lines{"oTB.MoveNext", "oTB.MovePrevious -1", "oTB.MoveFirst", "oTB.MoveLast", "oTB.MoveFirst",
                     "oTB.MoveLast", "oTB.BookMark =  10", "oTB.BookMark =  5"}));
}

TEST(ConvertStatements, RecordWordsInsideNamesAreLeftAlone) {
    EXPECT_EQ(convertLines({"lSkipped := .F.", "x := ego + 1", "nGoto := 1"}),
              (Lines{"lSkipped =  False", "x = ego + 1", "nGoto = 1"}));
}

TEST(ConvertStatements, Seek) {
    EXPECT_EQ(convertLines({"SEEK cKey"}), (Lines{"oTB.Seek \"=\",cKey"}));
    EXPECT_EQ(convertLines({"SEEK cLast + cFirst"}), (Lines{"oTB.Seek \"=\",cLast , cFirst"}));
}

TEST(ConvertStatements, DoWithArguments) {
    EXPECT_EQ(convertLines({"DO PrintIt WITH nPage, cTitle", "DO Setup"}), (Lines{"PrintIt nPage, cTitle", "Setup"}));
}

TEST(ConvertStatements, IfChain) {
    EXPECT_EQ(convertLines({"IF x", "ELSEIF x > 1", "ELSE", "ENDIF"}),
              (Lines{"If x Then", "ElseIf x > 1 Then", "Else", "End If"}));
    EXPECT_EQ(convertLines({"if x", "endif"}), (Lines{"If x Then", "End If"}));
}

TEST(ConvertStatements, EndifWithoutIfIsComment) {
    EXPECT_EQ(convertLines({"ENDIF"}), (Lines{"' End If"}));
}

TEST(ConvertStatements, SequenceAndBreak) {
    EXPECT_EQ(convertLines({"PROCEDURE Foo", "BEGIN SEQUENCE", "BREAK", "END", "RETURN"}),
              (Lines{"Sub Foo", "' BEGIN SEQUENCE", "GoTo FooBreakEnd", "' END SEQUENCE", "FooBreakEnd:", "   Exit Sub",
                     "End Sub", " "}));
}

// --- procedures and RETURN ---------------------------------------------------

TEST(ConvertProcedures, FunctionWithReturnValue) {
    EXPECT_EQ(convertLines({"FUNCTION Total(a)", "RETURN a + 1"}),
              (Lines{"Function Total(a)", "Total = A + 1", "Exit Function", "End Function", ""}));
}

TEST(ConvertProcedures, ReturnWithoutValue) {
    EXPECT_EQ(convertLines({"PROCEDURE Main", "RETURN"}), (Lines{"Sub Main", "   Exit Sub", "End Sub", " "}));
    EXPECT_EQ(convertLines({"FUNC Check", "return"}),
              (Lines{"Function Check", "   Exit Function", "End Function", ""}));
}

TEST(ConvertProcedures, ReturnValueLosesParenthesesAndLogicals) {
    EXPECT_EQ(convertLines({"FUNCTION IsOk()", "RETURN (nTotal)", "RETURN .T."}),
              (Lines{"Function IsOk()", "IsOk = NTOTAL", "Exit Function", "IsOk = TRUE", "Exit Function",
                     "End Function", ""}));
}

TEST(ConvertProcedures, ReturnKeepsNamesHoldingReturn) {
    EXPECT_EQ(convertLines({"FUNCTION IsOk", "RETURN lReturn"}),
              (Lines{"Function IsOk", "IsOk = LRETURN", "Exit Function", "End Function", ""}));
}

TEST(ConvertProcedures, NextHeadClosesPreviousProcedure) {
    EXPECT_EQ(convertLines({"PROCEDURE One", "RETURN", "PROC Two", "RETURN"}),
              (Lines{"Sub One", "   Exit Sub", "End Sub", " ", "Sub Two", "   Exit Sub", "End Sub", " "}));
    EXPECT_EQ(convertLines({"FUNCTION A()", "procedure B"}),
              (Lines{"Function A()", "End Function", "", "Sub B", "End Sub", " "}));
}

TEST(ConvertProcedures, BasicHeadsInTheBlockCount) {
    EXPECT_EQ(convertLines({"Sub Main", "RETURN"}), (Lines{"Sub Main", "   Exit Sub", "End Sub", " "}));
}

TEST(ConvertProcedures, HeadForgetsTheTable) {
    EXPECT_EQ(convertLines({"SELECT customers", "FUNCTION Foo", "SKIP"}),
              (Lines{"Function Foo", "oTB.MoveNext", "End Function", ""}));
}

TEST(ConvertProcedures, EachBlockStartsAfresh) {
    convert::ConvertXBase converter;
    std::string first, second;
    converter.ConvertXBaseBlock("PROCEDURE A\r\nSELECT 2", first);
    converter.ConvertXBaseBlock("RETURN\r\nSKIP", second);
    EXPECT_EQ(first, "Sub A\r\nEnd Sub\r\n \r\n");
    EXPECT_EQ(second, "   Exit Sub\r\noTB.MoveNext\r\n");
}

// --- loops -------------------------------------------------------------------

TEST(ConvertLoops, WhileWithLoopLabel) {
    EXPECT_EQ(convertLines({"PROCEDURE Foo", "WHILE .NOT. EOF()", "IF x", "LOOP", "ENDIF", "SKIP", "ENDDO"}),
              (Lines{"Sub Foo", "Do While  Not  oTB.EOF", "If x Then", "GoTo FooLupEnd", "End If", "oTB.MoveNext",
                     "FooLupEnd:", "Loop", "End Sub", " "}));
}

TEST(ConvertLoops, LowerCaseWhile) {
    EXPECT_EQ(convertLines({"while !eof()", "enddo"}), (Lines{"Do While Not oTB.EOF", "Loop"}));
}

TEST(ConvertLoops, ExitNamesTheLastLoop) {
    EXPECT_EQ(convertLines({"DO WHILE x > 0", "EXIT", "ENDDO", "FOR i := 1 TO 3", "EXIT", "NEXT"}),
              (Lines{"DO WHILE x > 0", "Exit Do", "Loop", "FOR i = 1 TO 3", "Exit For", "NEXT"}));
    EXPECT_EQ(convertLines({"EXIT"}), (Lines{"Exit"}));
}

TEST(ConvertLoops, EnddoWithoutLoopIsComment) {
    EXPECT_EQ(convertLines({"ENDDO"}), (Lines{"' Loop"}));
}

// --- case --------------------------------------------------------------------

TEST(ConvertCase, CasesBecomeIfChain) {
    EXPECT_EQ(convertLines({"DO CASE", "CASE n = 1", "? 'one'", "CASE n = 2", "OTHERWISE", "ENDCASE"}),
              (Lines{"' Do Case Sequence converted due to Incompatability with VB", "If n = 1 Then", "? \"one\"",
                     "ElseIf n = 2 Then", "Else", "End If"}));
}

TEST(ConvertCase, LowerCaseAndSecondStructure) {
    EXPECT_EQ(convertLines({"do case", "case x", "endcase", "DO CASE", "CASE y", "otherwise", "ENDCASE"}),
              (Lines{"' Do Case Sequence converted due to Incompatability with VB", "If x Then", "End If",
                     "' Do Case Sequence converted due to Incompatability with VB", "If y Then", "Else", "End If"}));
}

// --- operators in a block, renaming ------------------------------------------

TEST(ConvertOperatorsInBlock, IncrementsAndCompoundAssignments) {
    EXPECT_EQ(convertLines({"nCount++", "x := i++ + j++", "nTotal += nAmount", "nLeft -= 1"}),
              (Lines{"Inc nCount", "x = IncA(i) + IncA(j)", "nTotal = nTotal + nAmount", "nLeft = nLeft - 1"}));
}

TEST(ConvertRenaming, ReservedWordsInFinishedLines) {
    EXPECT_EQ(convertLines({"count := count + 1", "LeftMargin := left"}),
              (Lines{"nCount = nCount + 1", "LeftMargin = nLeft"}));
}

// --- run-time errors ---------------------------------------------------------

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

TEST(ConvertErrors, ErrorIsReportedAndConvertedLinesStay) {
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

TEST(ConvertErrors, NoBoxWithoutError) {
    platform::RecordingDesktop desktop;
    convertLines({"x := 1"});
    EXPECT_TRUE(desktop.boxes.shown.empty());
}
