// Control names against their classes, and access keys on button and menu
// captions, in form descriptions.
#include "RuleTestSupport.h"

namespace scanrules {
namespace {

using namespace msg;

class ControlRules : public RuleTest {
protected:
    // A form TEST.FRM named "frmTest": its description, then the name line and
    // Option Explicit, so that only the control rules file module findings.
    scan::clsOculon& scanForm(std::initializer_list<std::string> description, const std::string& defs = "") {
        std::string text = "VERSION 5.00\r\n";
        for (const auto& l : description) text += l + "\r\n";
        text += "Attribute VB_Name = \"frmTest\"\r\nOption Explicit\r\n";
        return scan("TEST.FRM", text, defs);
    }
};

TEST_F(ControlRules, NamesAgainstClassPrefixes) {
    auto& e = scanForm({"Begin VB.Form frmTest",
                        "   Caption         =   \"Test\"",
                        "   ClientHeight    =   3000",
                        "   Begin VB.TextBox Text1",
                        "      Height          =   285",
                        "      Left            =   120",
                        "   End",
                        "   Begin VB.TextBox txtName",
                        "   End",
                        "   Begin VB.Label Label3",
                        "   End",
                        "   Begin VB.Frame Frame1",
                        "   End",
                        "   Begin VB.Line Line1",
                        "   End",
                        "   Begin VB.Label Caption1",
                        "   End",
                        "   Begin MyLib.Gauge Gauge1",
                        "   End",
                        "   Begin VB.Timer tmrTick",
                        "   End",
                        "   Begin VB.ImageList imglIcons",
                        "   End",
                        "End"});
    expectModule(e, {{M4, "Text1", "VB.TextBox} {txt"},
                     {M4, "Caption1", "VB.Label} {lbl"},
                     {M4, "Gauge1", "MyLib.Gauge} {???"}});
    expectLines(e, {});
}

TEST_F(ControlRules, AccessKeysWithParentPaths) {
    auto& e = scanForm({"Begin VB.Form frmTest",
                        "   Caption         =   \"Test\"",
                        "   Begin VB.CommandButton cmdOK",
                        "      Caption         =   \"OK\"",
                        "   End",
                        "   Begin VB.CommandButton cmdSave",
                        "      Caption         =   \"&Save\"",
                        "   End",
                        "   Begin VB.CommandButton cmdCancel",
                        "      Caption         =   \"Cancel\"",
                        "   End",
                        "   Begin VB.Frame fraOpts",
                        "      Caption         =   \"Options\"",
                        "      Begin VB.CommandButton cmdApply",
                        "         Caption         =   \"Apply\"",
                        "      End",
                        "      Begin Threed.SSCommand cmdThreed",
                        "         Caption         =   \"Go\"",
                        "      End",
                        "   End",
                        "   Begin VB.Menu mnuFile",
                        "      Caption         =   \"&File\"",
                        "      Begin VB.Menu mnuFileRecent",
                        "         Caption         =   \"Recent\"",
                        "         Begin VB.Menu mnuFileRecentOne",
                        "            Caption         =   \"One\"",
                        "         End",
                        "         Begin VB.Menu mnuFileSep",
                        "            Caption         =   \"-\"",
                        "         End",
                        "         Begin VB.Menu mnuFileBlank",
                        "            Caption         =   \"\"",
                        "         End",
                        "      End",
                        "   End",
                        "End"});
    expectModule(e, {{M25, "cmdOK} {\"OK\"", "frmTest"},
                     {M25, "cmdApply} {\"Apply\"", "frmTest.fraOpts"},
                     {M25, "mnuFileRecent} {\"Recent\"", "frmTest.mnuFile"},
                     {M25, "mnuFileRecentOne} {\"One\"", "frmTest.mnuFile.mnuFileRecent"},
                     {M25, "mnuFileBlank} {\"\"", "frmTest.mnuFile.mnuFileRecent"}});
}

TEST_F(ControlRules, PropertyBlocksInsideAControlAreOrdinaryLines) {
    auto& e = scanForm({"Begin VB.Form frmTest",
                        "   Begin VB.CommandButton cmdGo",
                        "      BeginProperty Font",
                        "         Name            =   \"MS Sans Serif\"",
                        "      EndProperty",
                        "      Caption         =   \"Go\"",
                        "   End",
                        "End"});
    expectModule(e, {{M25, "cmdGo} {\"Go\"", "frmTest"}});
}

// Both rules file module findings: the names during the line pass, the
// captions in the walk after it, then the module's own findings.
TEST_F(ControlRules, NameFindingsComeBeforeCaptionFindings) {
    auto& e = scan("MAIN.FRM", crlf({"VERSION 5.00", "Begin VB.Form Form1", "   Begin VB.CommandButton Command1",
                                     "      Caption         =   \"Go\"", "   End", "End",
                                     "Attribute VB_Name = \"Form1\""}));
    expectModule(e, {{M4, "Form1", "VB.Form} {frm"},
                     {M4, "Command1", "VB.CommandButton} {cmd"},
                     {M15, "Form1", "FRM"},
                     {M21, "MAIN.FRM", "Form1"},
                     {M25, "Command1} {\"Go\"", "Form1"},
                     {M23, "", ""}});
}

// A description that runs to the end of the file is walked to its last line.
TEST_F(ControlRules, WalkReachesTheLastLineOfTheFile) {
    auto& e = scan("TEST.FRM", crlf({"Begin VB.Form frmTest", "   Begin VB.CommandButton cmdOK",
                                     "      Caption         =   \"OK\""}));
    expectModule(e, {{M25, "cmdOK} {\"OK\"", "frmTest"}, {M23, "", ""}});
}

// Nesting as deep as the file allows is walked without exhausting the stack.
TEST_F(ControlRules, VeryDeepNestingIsWalkedToTheInnermostControl) {
    const int depth = 30000;
    std::string text = "Begin VB.Form frmDeep\r\n";
    std::string parent = "frmDeep";
    for (int i = 0; i < depth; ++i) {
        text += "Begin VB.Frame fraA\r\nCaption = \"A\"\r\n";
        parent += ".fraA";
    }
    text += "Begin VB.CommandButton cmdGo\r\nCaption = \"Go\"\r\nEnd\r\n";
    for (int i = 0; i < depth; ++i) text += "End\r\n";
    text += "End\r\nAttribute VB_Name = \"frmDeep\"\r\nOption Explicit\r\n";
    auto& e = scan("DEEP.FRM", text);
    expectModule(e, {{M25, "cmdGo} {\"Go\"", parent}});
}

TEST_F(ControlRules, UserStylesComeBeforeTheTable) {
    auto defs = userDefs(crlf({"TextBox=txb", "Gauge=gau", "Box=bx", ";VARIABLE_PREFIXES", "Long_lng"}));
    auto& e = scanForm({"Begin VB.Form frmTest",
                        "   Begin VB.TextBox txtName",
                        "   End",
                        "   Begin VB.TextBox txbName",
                        "   End",
                        "   Begin MyLib.Gauge gauSpeed",
                        "   End",
                        "   Begin MyLib.Box bxOne",  // "Box" is found first inside "TextBox=txb"
                        "   End",
                        "   Begin VB.Label lblName",
                        "   End",
                        "End"},
                       defs);
    expectModule(e, {{M4, "txtName", "VB.TextBox} {txb"}, {M4, "bxOne", "MyLib.Box} {txb"}});
}

// "Label" is found at the end of "TextBox=Label_", where no prefix follows:
// the built-in table answers instead of the scan failing.
TEST_F(ControlRules, StyleMatchWithoutPrefixFallsBackToTheTable) {
    auto defs = userDefs(crlf({"TextBox=Label"}));
    auto& e = scanForm({"Begin VB.Form frmTest", "   Begin VB.Label lblName", "   End", "   Begin VB.TextBox LabelName",
                        "   End", "   Begin VB.Label Name2", "   End", "End"},
                       defs);
    expectModule(e, {{M4, "Name2", "VB.Label} {lbl"}});
}

TEST_F(ControlRules, UserStylesAndTypePrefixesTogether) {
    auto defs = userDefs(crlf({";CONTROL_STYLES", "CommandButton=btn", ";VARIABLE_PREFIXES", "Currency_cur",
                               ";CONTROL_STYLES", "Label=lab"}));
    std::string text = crlf({"VERSION 5.00", "Begin VB.Form frmTest", "   Begin VB.CommandButton btnGo",
                             "      Caption         =   \"&Go\"", "   End", "   Begin VB.Label lblInfo", "   End",
                             "End", "Attribute VB_Name = \"frmTest\"", "Option Explicit",
                             "Private Sub btnGo_Click()", "Dim lcAmount As Currency", "Dim lcurAmount As Currency",
                             "End Sub"});
    auto& e = scan("TEST.FRM", text, defs);
    expectModule(e, {});
    expectLines(e, {F(12, M4, "lcAmount} {cur")});
}

}  // namespace
}  // namespace scanrules
