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

class ModuleRules : public ::testing::Test {
protected:
    // The module findings of a module with the given name line, in order.
    std::vector<std::string> scan(const std::string& path, const std::string& name,
                                  const std::string& rest = "Option Explicit") {
        oculon.LoadFromText(path, crlf({"Attribute VB_Name = \"" + name + "\"", rest}));
        return findings();
    }
    std::vector<std::string> findings() {
        std::vector<std::string> out;
        for (int s = 1; s <= ModuleSlots && !oculon.moduleMessages()[s].empty(); ++s)
            out.push_back(oculon.moduleMessages()[s]);
        return out;
    }

    LevelGuard level{3};
    platform::RecordingDesktop desktop;
    clsOculon oculon = scantest::engine();
};

using F = std::vector<std::string>;

TEST_F(ModuleRules, BasScopeLabelFromTheNamePrefix) {
    EXPECT_EQ(scan("TOOLS.BAS", "gloTools"), F{});
    EXPECT_EQ(oculon.moduleScope(), "GLB");
    EXPECT_EQ(scan("TOOLS.BAS", "pubTools"), F{});
    EXPECT_EQ(oculon.moduleScope(), "GLB");
    EXPECT_EQ(scan("TOOLS.BAS", "priTools"), F{});
    EXPECT_EQ(oculon.moduleScope(), "MOD");
    EXPECT_EQ(scan("TOOLS.BAS", "modTools"), F{});
    EXPECT_EQ(oculon.moduleScope(), "MOD");
    EXPECT_EQ(scan("TOOLS.BAS", "GLOTools"), F{});
    EXPECT_EQ(oculon.moduleScope(), "GLB");
    EXPECT_EQ(scan("TOOLS.BAS", "PriTools"), F{});
    EXPECT_EQ(oculon.moduleScope(), "MOD");
    EXPECT_EQ(oculon.internalName(), "PriTools");
}

TEST_F(ModuleRules, BasNameWithoutScopePrefixIsAssumedPrivate) {
    EXPECT_EQ(scan("C:\\SRC\\TOOLS.BAS", "Tools"), (F{Bas13, "Usage | Std:   {Tools}{MOD}\r\n\r\n"}));
    EXPECT_EQ(oculon.moduleScope(), "MOD");
    EXPECT_EQ(oculon.suggestCount(), 1);
}

TEST_F(ModuleRules, FileNameMustOccurInTheInternalName) {
    EXPECT_EQ(scan("C:\\SRC\\MAIN.BAS", "modMain"), F{});
    // "Mod" labels the module private, so only the file name is reported.
    EXPECT_EQ(scan("C:\\SRC\\MAIN.BAS", "Module1"), (F{File21, "Usage | Std:   {MAIN.BAS}{Module1}\r\n\r\n"}));
    EXPECT_EQ(oculon.moduleScope(), "MOD");
    EXPECT_EQ(scan("/src/main.bas", "modMAIN"), F{});
}

TEST_F(ModuleRules, ClassAndFormNames) {
    EXPECT_EQ(scan("TOOLS.CLS", "CTools"), (F{Cls14, "Usage | Std:   {CTools}{CLS}\r\n\r\n"}));
    EXPECT_EQ(scan("TOOLS.CLS", "clsTools"), F{});
    EXPECT_EQ(scan("tools.cls", "CLSTOOLS"), F{});
    EXPECT_EQ(oculon.moduleScope(), "");
    EXPECT_EQ(scan("MAIN.FRM", "Main", "x = 1"),
              (F{Frm15, "Usage | Std:   {Main}{FRM}\r\n\r\n", Explicit23}));
}

TEST_F(ModuleRules, ScopeLabelDoesNotCarryIntoTheNextFile) {
    scan("TOOLS.BAS", "gloTools");
    ASSERT_EQ(oculon.moduleScope(), "GLB");
    oculon.LoadFromText("TOOLS.BAS", crlf({"Option Explicit"}));
    EXPECT_EQ(oculon.moduleScope(), "");
    scan("TOOLS.BAS", "modTools");
    scan("TOOLS.CLS", "clsTools");
    EXPECT_EQ(oculon.moduleScope(), "");
}

TEST_F(ModuleRules, ModuleWithoutNameLineGetsNoNameFindings) {
    oculon.LoadFromText("ODD.BAS", crlf({"Option Explicit", "x = 1"}));
    EXPECT_EQ(findings(), F{});
    EXPECT_EQ(oculon.internalName(), "");
}

TEST_F(ModuleRules, OptionExplicitMustComeBeforeAnyPublicOrPrivateLine) {
    oculon.LoadFromText("M.BAS", crlf({"Attribute VB_Name = \"modM\"", "Private Const X = 1", "Option Explicit"}));
    EXPECT_EQ(findings(), F{Explicit23});
    EXPECT_EQ(oculon.errorCount(), 1);
    EXPECT_FALSE(oculon.optionExplicit());
    oculon.LoadFromText("M.BAS", crlf({"Attribute VB_Name = \"modM\"", "' note", "Dim mX As Long", "Const Y = 1",
                                       "Declare Sub Beep Lib \"k\" ()", "Option Explicit", "Public a As Long"}));
    EXPECT_EQ(findings(), F{});
    EXPECT_TRUE(oculon.optionExplicit());
    oculon.LoadFromText("M.BAS", crlf({"Attribute VB_Name = \"modM\"", "Option Compare Text"}));
    EXPECT_EQ(findings(), F{Explicit23});
    // The words must be exactly "Option" and "Explicit".
    oculon.LoadFromText("M.BAS", crlf({"Attribute VB_Name = \"modM\"", "option explicit"}));
    EXPECT_EQ(findings(), F{Explicit23});
    oculon.LoadFromText("M.BAS", crlf({"Attribute VB_Name = \"modM\"", "Option Explicit ' always"}));
    EXPECT_EQ(findings(), F{});
}

TEST_F(ModuleRules, FormSearchStartsAtItsDescription) {
    oculon.LoadFromText("FMAIN.FRM", crlf({"Option Explicit", "x = 1"}));
    EXPECT_EQ(findings(), F{Explicit23});  // no "Begin": nothing is searched
    oculon.LoadFromText("FRMMAIN.FRM",
                        crlf({"VERSION 5.00", "Begin VB.Form frmMain", "   Caption = \"Main\"", "End",
                              "Attribute VB_Name = \"frmMain\"", "Option Explicit"}));
    EXPECT_EQ(findings(), F{});
    EXPECT_TRUE(oculon.optionExplicit());
    // In a class the header's BEGIN is an ordinary line.
    oculon.LoadFromText("CLSA.CLS", crlf({"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                                          "Attribute VB_Name = \"clsA\"", "Option Explicit"}));
    EXPECT_EQ(findings(), F{});
}

TEST_F(ModuleRules, EmptyModuleLacksOptionExplicit) {
    LevelGuard errorsOnly(1);
    oculon.LoadFromText("E.BAS", "");
    EXPECT_EQ(findings(), F{Explicit23});
    EXPECT_EQ(oculon.errorCount(), 1);
}

class LineLength : public ModuleRules {
protected:
    // Whether line 1 of text gets the length finding.
    bool tooLong(const std::string& text) {
        oculon.LoadFromText("L.BAS", text);
        const tSourceLine& l = oculon.lines().at(1);
        if (l.sMessages[1].empty()) return false;
        EXPECT_EQ(l.sMessages[1], Long28);
        EXPECT_EQ(l.sMessages[2], "Look at:   {Reduce line length to width of normal Code Window}\r\n\r\n");
        return true;
    }
};

TEST_F(LineLength, MoreThan150CharactersWithLineEnd) {
    EXPECT_FALSE(tooLong(std::string(148, 'a') + "\r\n"));
    EXPECT_TRUE(tooLong(std::string(149, 'a') + "\r\n"));
    EXPECT_FALSE(tooLong("\r\n"));
    // The last line without a line end is measured with its CR LF.
    EXPECT_TRUE(tooLong(std::string(149, 'a')));
    // A bare LF counts one character.
    EXPECT_FALSE(tooLong(std::string(149, 'a') + "\n"));
    EXPECT_TRUE(tooLong(std::string(150, 'a') + "\n"));
}

TEST_F(LineLength, ContinuedLineMeasuredUpToItsFirstContinuation) {
    EXPECT_FALSE(tooLong("x = a _\r\n" + std::string(200, 'b') + "\r\n"));
    // " _" at position 150 is fine, at 151 too long.
    EXPECT_FALSE(tooLong(std::string(149, 'a') + " _\r\nb\r\n"));
    EXPECT_TRUE(tooLong(std::string(150, 'a') + " _\r\nb\r\n"));
    // The search is textual: a " _" inside a literal counts.
    EXPECT_FALSE(tooLong("s = \"a _b\" & \"" + std::string(200, 'c') + "\"\r\n"));
}

TEST_F(LineLength, FiledAtLevelTwoNotAtLevelOne) {
    LevelGuard errorsOnly(1);
    EXPECT_FALSE(tooLong(std::string(200, 'a') + "\r\n"));
    LevelGuard warnings(2);
    EXPECT_TRUE(tooLong(std::string(200, 'a') + "\r\n"));
}

}  // namespace
