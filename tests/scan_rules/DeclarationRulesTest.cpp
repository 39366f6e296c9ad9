// Variable declarations, member lines, constants, and names against types.
#include "RuleTestSupport.h"

namespace scanrules {
namespace {

using namespace msg;

class DeclarationRules : public RuleTest {};

// ---- Module-level declarations ----

TEST_F(DeclarationRules, ModulePrivateWithScopeAndTypePrefixIsClean) {
    auto& e = scanBas({"Private mstrName As String", "Private m_sTitle As String", "Private msName As String, miCount As Integer"});
    expectLines(e, {});
}

TEST_F(DeclarationRules, ModuleDimWithoutPrefixesGetsDimScopeAndTypeFindings) {
    auto& e = scanBas({"Dim Count As Integer", "Dim mlCount As Long"});
    expectLines(e, {F(3, M10, "Dim"), F(3, M2, "Count"), F(3, M4, "Count} {i"), F(4, M10, "Dim")});
}

TEST_F(DeclarationRules, PeltoNamesAreExemptFromModuleDimOnly) {
    auto& e = scanBas({"Dim PeltoCount As Integer"});
    expectLines(e, {F(3, M2, "PeltoCount"), F(3, M4, "PeltoCount} {i")});
}

TEST_F(DeclarationRules, PrivateGlobalNameWantsPublicScope) {
    // "grd" and "gpb" are control prefixes, not the global "g".
    auto& e = scanBas({"Private gsName As String", "Private grdMain As MSGrid", "Public gsTitle As String"});
    expectLines(e, {F(3, M17, "gsName"), F(3, M2, "gsName"), F(4, M2, "grdMain")});
}

TEST_F(DeclarationRules, LaterNamesOfALineAreCheckedWithTheirOwnType) {
    auto& e = scanBas({"Private msName As String, iCount As Integer"});
    expectLines(e, {F(3, M2, "iCount")});
}

TEST_F(DeclarationRules, GlobalInPrivateLabelledModule) {
    auto& e = scanBas({"Global glTotal As Long", "Global glA As Long, glB As Long"});
    expectLines(e, {F(3, M29, "Global"), F(4, M29, "Global"), F(4, M29, "Global")});
}

TEST_F(DeclarationRules, GlobalInPublicLabelledModuleIsFine) {
    auto& e = scan("TEST.BAS", crlf({"Attribute VB_Name = \"pubTest\"", "Option Explicit", "Global glTotal As Long"}));
    expectLines(e, {});
}

TEST_F(DeclarationRules, WithEventsKeywordIsNotTheName) {
    auto& e = scanBas({"Private WithEvents mobjTimer As clsTimer", "Private WithEvents Timer As clsTimer"});
    expectLines(e, {F(4, M2, "Timer")});
}

TEST_F(DeclarationRules, ModuleUntypedNameIsAVariant) {
    auto& e = scanBas({"Private mCount"});
    expectLines(e, {F(3, M22, "mCount} {")});
}

// ---- Local declarations ----

TEST_F(DeclarationRules, LocalScopePrefixIsRemovedBeforeTheTypePrefix) {
    auto& e = scanBas({"Public Sub Test()", "Dim lCount As Long", "Dim llngCount As Long", "End Sub"});
    expectLines(e, {F(4, M4, "lCount} {l")});
}

TEST_F(DeclarationRules, SeveralNamesWithOneTypeStopAfterTheType) {
    auto& e = scanBas({"Public Sub Test()", "Dim a, b As Integer", "End Sub"});
    expectLines(e, {F(4, M1, "a"), F(4, M3, "a"), F(4, M4, "a} {i"), F(4, M20, "a} {a")});
}

// The test for too few types reads w3 and w4 only, so it repeats for every
// name the loop reaches; the name after the type keeps that type.
TEST_F(DeclarationRules, MultipleNamesFindingRepeatsForEveryNameExamined) {
    auto& e = scanBas({"Public Sub Test()", "Dim a, b As Integer, c", "End Sub"});
    expectLines(e, {F(4, M1, "a"), F(4, M3, "a"), F(4, M4, "a} {i"), F(4, M20, "a} {a"), F(4, M1, "a"),
                    F(4, M3, "c"), F(4, M4, "c} {i"), F(4, M20, "c} {c")});
}

TEST_F(DeclarationRules, NamesWithoutTypeKeepTheTypeBeforeThem) {
    auto& e = scanBas({"Public Sub Test()", "Dim lsA As String, lsB", "End Sub"});
    expectLines(e, {});
}

TEST_F(DeclarationRules, MultipleNamesTestSkipsArraysWithAndNumbersBeforeAs) {
    auto& e = scanBas({"Public Sub Test()",
                       "Dim lsWith, lsB As String",  // "With" in the text
                       "Dim llCounts(1 To 10) As Long",
                       "Dim laCount(10) As Long",
                       "Dim lsA 12 As String",
                       "Dim lsA 12, lsB As String",
                       "End Sub"});
    expectLines(e, {F(6, M4, "laCount} {l"), F(8, M1, "lsA")});
}

TEST_F(DeclarationRules, UntypedLocalGetsScopeUntypedAndCapitals) {
    auto& e = scanBas({"Public Sub Test()", "Dim x", "End Sub"});
    expectLines(e, {F(4, M3, "x"), F(4, M22, "x} {"), F(4, M20, "x} {x")});
}

TEST_F(DeclarationRules, StaticDeclarationsAreNotJudged) {
    auto& e = scanBas({"Public Sub Test()", "Static Count As Integer", "End Sub"});
    expectLines(e, {});
}

TEST_F(DeclarationRules, StaticPrefixIsRemovedButStringPrefixIsNot) {
    auto& e = scanBas({"Public Sub Test()", "Dim lstiCount As Integer", "Dim lstrName As String", "End Sub"});
    expectLines(e, {});
}

// ---- Names against types ----

TEST_F(DeclarationRules, BooleansMayStartWithIs) {
    auto& e = scanBas({"Public Sub Test()", "Dim lisReady As Boolean", "Dim lISOK As Boolean", "Dim lReady As Boolean",
                       "Dim lbReady As Boolean", "End Sub"});
    expectLines(e, {F(6, M4, "lReady} {b")});
}

TEST_F(DeclarationRules, VariantIsReportedAndWantsItsPrefix) {
    auto& e = scanBas({"Public Sub Test()", "Dim lvValue As Variant", "Dim lvntValue As Variant", "End Sub"});
    expectLines(e, {F(4, M27, "lvValue} {vnt"), F(4, M4, "lvValue} {vnt"), F(5, M27, "lvntValue} {vnt")});
}

TEST_F(DeclarationRules, CapitalsOfTheBody) {
    auto& e = scanBas({"Public Sub Test()",
                       "Dim lsNAMEOF As String",  // six capitals: all upper case
                       "Dim lsNAMES As String",   // five: too short for that test
                       "Dim lsname As String",    // no capital at all
                       "Dim ls As String",        // empty body
                       "Dim ls123456 As String",  // unchanged both ways
                       "End Sub"});
    expectLines(e, {F(4, M20, "lsNAMEOF} {NAMEOF"), F(6, M20, "lsname} {name"), F(7, M20, "ls} {"),
                    F(8, M20, "ls123456} {123456"), F(8, M20, "ls123456} {123456")});
}

TEST_F(DeclarationRules, TypeSuffixCharacters) {
    auto& e = scanBas({"Public Sub Test()", "Dim lsName$ As String", "Dim lRate! As Single", "End Sub"});
    expectLines(e, {F(4, M8, "lsName$} {$"), F(5, M8, "lRate!} {!")});
}

TEST_F(DeclarationRules, UnknownTypesNeedNoPrefix) {
    auto& e = scanBas({"Public Sub Test()", "Dim lCustomer As clsCustomer", "Dim lRate As Single", "End Sub"});
    expectLines(e, {});
}

TEST_F(DeclarationRules, EveryBuiltInTypePrefix) {
    auto& e = scanBas({"Public Sub Test()",
                       "Dim lbytX As Byte, lcolX As Collection, lcX As Currency, ldblX As Double",
                       "Dim ldbX As Database, ldtX As Date, lbX As Boolean, lhX As Handle",
                       "Dim liX As Integer, llX As Long, lobjX As Object, lrsX As Recordset",
                       "Dim lsX As String, lsngX As Float, lvntX As Variant",
                       "Dim lX As Byte, lY As Float",
                       "End Sub"});
    expectLines(e, {F(7, M27, "lvntX} {vnt"), F(8, M4, "lX} {byt"), F(8, M4, "lY} {sng")});
}

// ---- Member lines ----

TEST_F(DeclarationRules, TypeBlockMembers) {
    auto& e = scanBas({"Private Type tPerson",
                       "    Name As String",
                       "    sName$ As String",
                       "    sADDRESS As String",  // members are not held to the all-capitals test
                       "    lngcount As Long",
                       "    iAge As Integer",
                       "End Type"});
    expectLines(e, {F(4, M4, "Name} {s"), F(5, M8, "sName$"), F(5, M8, "sName$} {$"),
                    F(7, M20, "lngcount} {ngcount")});
}

// ---- Constants ----

TEST_F(DeclarationRules, ConstantsAreUpperCase) {
    auto& e = scanBas({"Public Const maxSize = 10", "Const MAX_SIZE = 10", "Private Const Max_Rows As Long = 5",
                       "Const MAXROWS = 5"});
    expectLines(e, {F(3, M16, "maxSize"), F(5, M16, "Max_Rows")});
}

// ---- User type prefixes ----

TEST_F(DeclarationRules, UserPrefixReplacesTheBuiltInOne) {
    auto defs = userDefs(crlf({";VARIABLE_PREFIXES", "Currency_cur", "Date_dte2"}));
    auto& e = scanBas({"Public Sub Test()", "Dim lcAmount As Currency", "Dim lcurAmount As Currency",
                       "Dim ldtWhen As Date", "Dim ldte2When As Date", "End Sub"},
                      defs);
    expectLines(e, {F(4, M4, "lcAmount} {cur"), F(6, M4, "ldtWhen} {dte2")});
}

TEST_F(DeclarationRules, UserPrefixWithAcceptedPairNeverReportsThePrefix) {
    auto defs = userDefs(crlf({";VARIABLE_PREFIXES", "Integer_int", "Long_lng", "String_str", "Object_o"}));
    auto& e = scanBas({"Public Sub Test()", "Dim lintCount As Integer", "Dim liCount As Integer", "Dim lCount As Integer",
                       "Dim lnTotal As Long", "Dim lName As String", "Dim lxThing As Object", "End Sub"},
                      defs);
    expectLines(e, {});
}

TEST_F(DeclarationRules, UserEntryWithoutUnderscoreIsNeverFound) {
    auto defs = userDefs(crlf({";VARIABLE_PREFIXES", "Integer=int"}));
    auto& e = scanBas({"Public Sub Test()", "Dim lnCount As Integer", "Dim liCount As Integer", "End Sub"}, defs);
    expectLines(e, {F(4, M4, "lnCount} {i")});
}

// An empty line in the user's list must not turn untyped names into typed ones.
TEST_F(DeclarationRules, EmptyUserEntryDoesNotHideAnUntypedName) {
    auto defs = userDefs(crlf({";VARIABLE_PREFIXES", "", "Long_lng"}));
    auto& e = scanBas({"Public Sub Test()", "Dim lx", "End Sub"}, defs);
    expectLines(e, {F(4, M22, "lx} {"), F(4, M20, "lx} {x")});
}

}  // namespace
}  // namespace scanrules
