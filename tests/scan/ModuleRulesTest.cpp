// Module rules: line length, the name line and "Option Explicit".
#include <gtest/gtest.h>

#include "ScanTestSupport.h"

using namespace scan;
using scantest::crlf;
using scantest::LevelGuard;

namespace {

const std::string Bas13 =
    "Suggest: Use \"pri/mod\" or \"glo/pub\" to prefix BAS module\r\n"
    "         Internal Names to define variable scope, Private Assumed.\r\n";
const std::string Cls14 = "Suggest: CLS modules should have Internal Names prefixed by \"cls\".\r\n";
const std::string Frm15 = "Suggest: FRM modules should have Internal Names prefixed by \"frm\".\r\n";
const std::string File21 = "Suggest: The Filename isn't a subset of the module Internal Name.\r\n";
const std::string Explicit23 = "Error: \"Option Explicit\" should be specified for this module.\r\n\r\n";
const std::string Long28 = "Warning: Using shorter lines(via continutation) will make code easier to read.\r\n";

using F = std::vector<std::string>;

class ModuleRules : public scantest::ScanTest {
protected:
    // The module findings of a module with the given lines.
    F scan(const std::string& path, std::initializer_list<std::string> lines) {
        oculon.LoadFromText(path, crlf(lines));
        return moduleFindings();
    }
    LevelGuard level{3};
};

std::string nameLine(const std::string& name) { return "Attribute VB_Name = \"" + name + "\""; }

TEST_F(ModuleRules, NameLineGivesScopeLabelAndNameFindings) {
    const struct { const char* path; const char* name; const char* rest; F findings; const char* scope; } cases[] = {
        {"TOOLS.BAS", "gloTools", "Option Explicit", {}, "GLB"},
        {"TOOLS.BAS", "pubTools", "Option Explicit", {}, "GLB"},
        {"TOOLS.BAS", "priTools", "Option Explicit", {}, "MOD"},
        {"TOOLS.BAS", "modTools", "Option Explicit", {}, "MOD"},
        {"TOOLS.BAS", "GLOTools", "Option Explicit", {}, "GLB"},
        {"TOOLS.BAS", "PriTools", "Option Explicit", {}, "MOD"},
        // Without a scope prefix a BAS module is assumed private.
        {"C:\\SRC\\TOOLS.BAS", "Tools", "Option Explicit", {Bas13, "Usage | Std:   {Tools}{MOD}\r\n\r\n"}, "MOD"},
        // The file name must occur in the internal name; "Mod" labels the
        // module private, so only the file name is reported.
        {"C:\\SRC\\MAIN.BAS", "modMain", "Option Explicit", {}, nullptr},
        {"C:\\SRC\\MAIN.BAS", "Module1", "Option Explicit", {File21, "Usage | Std:   {MAIN.BAS}{Module1}\r\n\r\n"},
         "MOD"},
        {"/src/main.bas", "modMAIN", "Option Explicit", {}, nullptr},
        {"TOOLS.CLS", "CTools", "Option Explicit", {Cls14, "Usage | Std:   {CTools}{CLS}\r\n\r\n"}, nullptr},
        {"TOOLS.CLS", "clsTools", "Option Explicit", {}, nullptr},
        {"tools.cls", "CLSTOOLS", "Option Explicit", {}, ""},
        {"MAIN.FRM", "Main", "x = 1", {Frm15, "Usage | Std:   {Main}{FRM}\r\n\r\n", Explicit23}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + c.name);
        EXPECT_EQ(scan(c.path, {nameLine(c.name), c.rest}), c.findings);
        if (c.scope) { EXPECT_EQ(oculon.moduleScope(), c.scope); }
    }
    scan("C:\\SRC\\TOOLS.BAS", {nameLine("Tools"), "Option Explicit"});
    EXPECT_EQ(oculon.suggestCount(), 1);
    scan("TOOLS.BAS", {nameLine("PriTools"), "Option Explicit"});
    EXPECT_EQ(oculon.internalName(), "PriTools");
}

TEST_F(ModuleRules, ScopeLabelDoesNotCarryIntoTheNextFile) {
    scan("TOOLS.BAS", {nameLine("gloTools"), "Option Explicit"});
    ASSERT_EQ(oculon.moduleScope(), "GLB");
    scan("TOOLS.BAS", {"Option Explicit"});
    EXPECT_EQ(oculon.moduleScope(), "");
    scan("TOOLS.BAS", {nameLine("modTools"), "Option Explicit"});
    scan("TOOLS.CLS", {nameLine("clsTools"), "Option Explicit"});
    EXPECT_EQ(oculon.moduleScope(), "");
}

TEST_F(ModuleRules, ModuleWithoutNameLineGetsNoNameFindings) {
    EXPECT_EQ(scan("ODD.BAS", {"Option Explicit", "x = 1"}), F{});
    EXPECT_EQ(oculon.internalName(), "");
}

TEST_F(ModuleRules, OptionExplicitMustComeBeforeAnyPublicOrPrivateLine) {
    const std::string name = nameLine("modM");
    EXPECT_EQ(scan("M.BAS", {name, "Private Const X = 1", "Option Explicit"}), F{Explicit23});
    EXPECT_EQ(oculon.errorCount(), 1);
    EXPECT_FALSE(oculon.optionExplicit());
    EXPECT_EQ(scan("M.BAS", {name, "' note", "Dim mX As Long", "Const Y = 1", "Declare Sub Beep Lib \"k\" ()",
                             "Option Explicit", "Public a As Long"}),
              F{});
    EXPECT_TRUE(oculon.optionExplicit());
    EXPECT_EQ(scan("M.BAS", {name, "Option Compare Text"}), F{Explicit23});
    // The words must be exactly "Option" and "Explicit".
    EXPECT_EQ(scan("M.BAS", {name, "option explicit"}), F{Explicit23});
    EXPECT_EQ(scan("M.BAS", {name, "Option Explicit ' always"}), F{});
}

TEST_F(ModuleRules, FormSearchStartsAtItsDescription) {
    EXPECT_EQ(scan("FMAIN.FRM", {"Option Explicit", "x = 1"}), F{Explicit23});  // no "Begin": nothing is searched
    EXPECT_EQ(scan("FRMMAIN.FRM", {"VERSION 5.00", "Begin VB.Form frmMain", "   Caption = \"Main\"", "End",
                                   nameLine("frmMain"), "Option Explicit"}),
              F{});
    EXPECT_TRUE(oculon.optionExplicit());
    // In a class the header's BEGIN is an ordinary line.
    EXPECT_EQ(scan("CLSA.CLS", {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END", nameLine("clsA"),
                                "Option Explicit"}),
              F{});
}

TEST_F(ModuleRules, EmptyModuleLacksOptionExplicit) {
    LevelGuard errorsOnly(1);
    oculon.LoadFromText("E.BAS", "");
    EXPECT_EQ(moduleFindings(), F{Explicit23});
    EXPECT_EQ(oculon.errorCount(), 1);
}

TEST_F(ModuleRules, LinesLongerThan150CharactersWithTheirLineEnd) {
    const struct { std::string text; bool tooLong; int level = 3; } cases[] = {
        {std::string(148, 'a') + "\r\n", false},
        {std::string(149, 'a') + "\r\n", true},
        {"\r\n", false},
        {std::string(149, 'a'), true},  // the last line without a line end is measured with its CR LF
        {std::string(149, 'a') + "\n", false},  // a bare LF counts one character
        {std::string(150, 'a') + "\n", true},
        // A continued line is measured up to its first continuation: " _" at
        // position 150 is fine, at 151 too long.
        {"x = a _\r\n" + std::string(200, 'b') + "\r\n", false},
        {std::string(149, 'a') + " _\r\nb\r\n", false},
        {std::string(150, 'a') + " _\r\nb\r\n", true},
        // The search is textual: a " _" inside a literal counts.
        {"s = \"a _b\" & \"" + std::string(200, 'c') + "\"\r\n", false},
        // Filed at level 2, not at level 1.
        {std::string(200, 'a') + "\r\n", false, 1},
        {std::string(200, 'a') + "\r\n", true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 12) + "... " + std::to_string(c.text.size()) + " at level " +
                     std::to_string(c.level));
        LevelGuard level(c.level);
        oculon.LoadFromText("L.BAS", c.text);
        const tSourceLine& l = line(1);
        EXPECT_EQ(l.sMessages[1], c.tooLong ? Long28 : "");
        EXPECT_EQ(l.sMessages[2],
                  c.tooLong ? "Look at:   {Reduce line length to width of normal Code Window}\r\n\r\n" : "");
    }
}

}  // namespace
