// Procedure heads, their parameters, and the statement rules.
#include <string>

#include "RuleTestSupport.h"

namespace scanrules {
namespace {

using namespace msg;

class ProcedureRules : public RuleTest {};

// ---- Scope, name prefix and return type ----

TEST_F(ProcedureRules, HeadWithoutScope) {
    auto& e = scanBas({"Sub Main()", "End Sub"});
    expectLines(e, {F(3, M9)});
}

TEST_F(ProcedureRules, PrivateProcedureWantsModulePrefix) {
    auto& e = scanBas({"Private Sub DoIt(ByVal vCount As Integer, rName As String)", "End Sub"});
    expectLines(e, {F(3, M19, "DoIt"), F(3, M12, "vCount"), F(3, M4, "vCount} {i"), F(3, M4, "rName} {s")});
}

TEST_F(ProcedureRules, PublicModuleFunctionAndItsParameterBody) {
    auto& e = scanBas({"Public Function mTotal(ByVal vA As Long) As Long", "End Function"});
    expectLines(e, {F(3, M18, "mTotal"), F(3, M12, "vA"), F(3, M4, "vA} {l")});
}

TEST_F(ProcedureRules, ModulePrefixOnPublicSubIsAccepted) {
    auto& e = scanBas({"Public Sub mReset()", "End Sub", "Private Sub mClear()", "End Sub",
                       "Public Function mCalc() As Long", "End Function"});
    expectLines(e, {F(7, M18, "mCalc")});
}

TEST_F(ProcedureRules, PrivateGlobalProcedure) {
    auto& e = scanBas({"Private Sub gReset()", "End Sub", "Public Sub gStart()", "End Sub"});
    expectLines(e, {F(3, M17, "gReset"), F(3, M19, "gReset")});
}

TEST_F(ProcedureRules, FunctionWithoutReturnTypeLeavesItsLastWordsUnread) {
    auto& e = scanBas({"Private Function Calc(x)", "End Function"});
    expectLines(e, {F(3, M5), F(3, M19, "Calc")});
}

TEST_F(ProcedureRules, ReturnTypeTestIsTextual) {
    auto& e = scanBas({"Public Sub Report() ' see Function", "End Sub",
                       "Public Function Total() As Long ' As in the comment", "End Function"});
    expectLines(e, {F(3, M5)});
}

// ---- Property heads ----

TEST_F(ProcedureRules, PropertyGetNameIsHeldToItsType) {
    auto& e = scanBas({"Public Property Get Count() As Integer", "End Property",
                       "Public Property Get Item(ByVal vlIndex As Long) As String", "End Property"});
    expectLines(e, {F(3, M4, "Count} {i"), F(5, M12, "vlIndex"), F(5, M4, "Item} {s")});
}

TEST_F(ProcedureRules, PropertyGetWithoutParametersComparesTheWholeName) {
    auto& e = scanBas({"Private Property Get mlCount() As Long", "End Property"});
    expectLines(e, {F(3, M4, "mlCount} {l")});
}

TEST_F(ProcedureRules, PropertyLetAndSet) {
    auto& e = scanBas({"Public Property Let Name(ByVal vsName As String)", "End Property",
                       "Private Property Let Total(ByVal vlTotal As Long)", "End Property",
                       "Public Property Set Owner(rOwner As clsOwner)", "End Property"});
    expectLines(e, {F(3, M12, "vsName"), F(5, M12, "vlTotal")});
}

// ---- Declare heads ----

TEST_F(ProcedureRules, DeclareFunctionWithoutParameters) {
    auto& e = scanBas({"Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
                       "Declare Function GetVersion Lib \"kernel32\" () As Long"});
    expectLines(e, {F(3, M19, "GetTickCount"), F(4, M9)});
}

TEST_F(ProcedureRules, DeclareWithAliasSkipsLibraryAndAliasAndExemptsByVal) {
    auto& e = scanBas({"Private Declare Function GetWindowsDirectory Lib \"kernel32\" Alias \"GetWindowsDirectoryA\" "
                       "(ByVal lpBuffer As String, ByVal nSize As Long) As Long"});
    expectLines(e, {F(3, M19, "GetWindowsDirectory"), F(3, M7, "lpBuffer"), F(3, M4, "lpBuffer} {s"),
                    F(3, M7, "nSize"), F(3, M4, "nSize} {l")});
}

TEST_F(ProcedureRules, DeclareSubReadsItsLastParameter) {
    auto& e = scanBas({"Private Declare Sub Sleep Lib \"kernel32\" (ByVal dwMilliseconds As Long)"});
    expectLines(e, {F(3, M19, "Sleep"), F(3, M7, "dwMilliseconds"), F(3, M4, "dwMilliseconds} {l")});
}

// ---- Parameters ----

TEST_F(ProcedureRules, ArrayParameters) {
    auto& e = scanBas({"Public Sub Fill(rlValues() As Long, a() As Long)", "End Sub"});
    expectLines(e, {F(3, M6, "a"), F(3, M4, "a} {l"), F(3, M20, "a} {a")});
}

// Default values are not parameters: "= False" must not be read as an
// untyped parameter named "False".
TEST_F(ProcedureRules, OptionalByValWithDefaultValues) {
    auto& e = scanBas({"Public Sub Show(Optional ByVal vbModal As Boolean = False)", "End Sub",
                       "Public Sub Move(Optional ByVal vlTop As Long = -1, Optional rvOwner = Nothing, "
                       "Optional ByVal vsTitle As String = \"A b\")",
                       "End Sub", "Public Property Get Item(Optional ByVal vlIndex As Long = 0) As String",
                       "End Property", "Public Sub Pick(Optional ByVal vlA As Long = 1 + 2, Optional ByRef count As Long)",
                       "End Sub"});
    expectLines(e, {F(3, M12, "vbModal"), F(5, M12, "vlTop"), F(5, M12, "vsTitle"), F(7, M12, "vlIndex"),
                    F(7, M4, "Item} {s"), F(9, M12, "vlA"), F(9, M6, "count"), F(9, M4, "count} {l"),
                    F(9, M20, "count} {count")});
}

TEST_F(ProcedureRules, ParamArrayKeywordIsNotAParameter) {
    auto& e = scanBas({"Public Sub Log(ByVal vsText As String, ParamArray vaArgs() As Variant)", "End Sub"});
    expectLines(e, {F(3, M12, "vsText"), F(3, M6, "vaArgs"), F(3, M27, "vaArgs} {vnt"), F(3, M4, "vaArgs} {vnt")});
}

TEST_F(ProcedureRules, UntypedOptionalParameterIsNotReported) {
    auto& e = scanBas({"Public Sub Show(Optional rvTitle)", "End Sub", "Public Sub Hide(Optional sTitle)", "End Sub"});
    expectLines(e, {F(5, M6, "sTitle")});
}

TEST_F(ProcedureRules, UntypedByValAndByRefAreReportedTwice) {
    auto& e = scanBas({"Public Sub Go(ByVal vx)", "End Sub", "Public Sub Go2(ByRef rsName)", "End Sub",
                       "Public Sub Go3(rsName)", "End Sub"});
    expectLines(e, {F(3, M12, "vx"), F(3, M22, "vx"), F(3, M22, "vx} {"), F(3, M20, "vx} {x"),
                    F(5, M22, "rsName"), F(5, M22, "rsName} {"), F(7, M22, "rsName")});
}

TEST_F(ProcedureRules, ByRefWithoutPrefix) {
    auto& e = scanBas({"Public Sub Go(ByRef sName As String, ByVal sTitle As String)", "End Sub"});
    expectLines(e, {F(3, M6, "sName"), F(3, M12, "sTitle"), F(3, M7, "sTitle")});
}

TEST_F(ProcedureRules, ContinuedHeadIsOneLine) {
    auto& e = scanBas({"Public Sub Go(ByVal vsName As String, _", "    ByVal count As Long)", "End Sub"});
    expectLines(e, {F(3, M12, "vsName"), F(3, M12, "count"), F(3, M7, "count"), F(3, M4, "count} {l"),
                    F(3, M20, "count} {count")});
}

// ---- Event procedures of forms and classes ----

TEST_F(ProcedureRules, ClassInitializeAndTerminateAreExemptInClassesOnly) {
    auto& cls = scanCls({"Private Sub Class_Initialize()", "End Sub", "Private Sub Class_Terminate()", "End Sub"});
    expectLines(cls, {});
    auto& bas = scanBas({"Private Sub Class_Initialize()", "End Sub"});
    expectLines(bas, {F(3, M19, "Class_Initialize")});
}

TEST_F(ProcedureRules, FormEventProceduresAreNotNamed) {
    auto& e = scan("TEST.FRM", crlf({"Attribute VB_Name = \"frmTest\"", "Option Explicit",
                                     "Private Sub cmdOK_Click()", "End Sub", "Private Sub Form_Load(x)", "End Sub",
                                     "Private Sub Reload()", "End Sub"}));
    expectLines(e, {F(7, M19, "Reload")});
}

// ---- Locations and the procedure list ----

TEST_F(ProcedureRules, HeadsSetTheLocationOfTheLinesThatFollow) {
    auto& e = scanBas({"Private msName As String", "Public Sub First()", "End Sub", "", "Public Function Second() As Long",
                       "End Function"});
    const auto& lines = e.lines();
    EXPECT_EQ("(declarations)", lines[3].sLocation);
    EXPECT_EQ("First", lines[4].sLocation);
    EXPECT_EQ("First", lines[6].sLocation);  // after End Sub
    EXPECT_EQ("Second", lines[7].sLocation);
    EXPECT_EQ((std::vector<std::string>{"First", "Second"}), e.methods());
}

TEST_F(ProcedureRules, ModuleWithMoreThanAThousandProceduresIsScannedToTheEnd) {
    std::string text = "Attribute VB_Name = \"modTest\"\r\nOption Explicit\r\n";
    for (int i = 1; i <= 1200; ++i) text += "Private Sub Do" + std::to_string(i) + "()\r\nEnd Sub\r\n";
    auto& e = scan("TEST.BAS", text);
    ASSERT_EQ(1200u, e.methods().size());
    EXPECT_EQ("Do1200", e.methods().back());
    EXPECT_EQ(1200, e.suggestCount());
    std::vector<Finding> expected;
    for (int i = 1; i <= 1200; ++i) expected.push_back(F(1 + 2 * i, M19, "Do" + std::to_string(i)));
    expectLines(e, expected);
}

// ---- Statement lines ----

TEST_F(ProcedureRules, VariantFormsOfStringFunctions) {
    auto& e = scanBas({"Public Sub Test()",
                       "lsX = Trim(lsS)",
                       "lsX = Trim$(lsS) & Left$(lsS, 2)",
                       "lsX = Mid(lsS, 2) & Chr(13) & Str(5) & LTrim(lsS) & RTrim(lsS)",
                       "lsX = Left(lsS, 3) & Right(lsS, 1)",
                       "Left = 1200",
                       "lsX = \"Trim\" ' Trim(lsS)",
                       "End Sub"});
    expectLines(e, {F(4, M26, "Trim"), F(6, M26, "Mid"), F(6, M26, "Chr"), F(6, M26, "Str"), F(6, M26, "LTrim"),
                    F(6, M26, "RTrim"), F(7, M26, "Left"), F(7, M26, "Right")});
}

TEST_F(ProcedureRules, DefaultPropertiesWrittenOutInFormsOnly) {
    auto& frm = scan("TEST.FRM", crlf({"Attribute VB_Name = \"frmTest\"", "Option Explicit", "Private Sub cmdGo_Click()",
                                       "txtName.Text = \"\"", "lblInfo.Caption = \"x\"", "txtName.SelText = \"\"",
                                       "Me.txtName.Text = \"\"", "End Sub"}));
    expectLines(frm, {F(4, M24, "txtName.Text"), F(5, M24, "lblInfo.Caption")});
    auto& bas = scanBas({"Public Sub Test()", "txtName.Text = \"\"", "End Sub"});
    expectLines(bas, {});
}

}  // namespace
}  // namespace scanrules
