// The rule families, each as a file of small cases in cases/: a source file
// and the findings worked out for it, side by side (the format is described
// at the top of cases/declarations.txt). A few generated sources follow.
#include <fstream>

#include "RuleTestSupport.h"

namespace scanrules {
namespace {

struct RuleCase {
    std::string title;     // "FILE.EXT  what the case shows"
    std::vector<std::string> source, userDefs;
    std::optional<std::vector<std::string>> lineFindings, moduleFindings;
};

std::vector<RuleCase> readCases(const std::string& name) {
    std::ifstream in(std::string(SCAN_RULES_CASES) + "/" + name);
    EXPECT_TRUE(in.good()) << name;
    std::vector<RuleCase> cases;
    std::vector<std::string>* section = nullptr;
    bool findings = false;
    for (std::string l; std::getline(in, l);) {
        if (l.starts_with("=== ")) {
            cases.emplace_back().title = l.substr(4);
            section = &cases.back().source, findings = false;
        } else if (cases.empty()) {
            continue;  // the file's head
        } else if (l == "--- userdefs") {
            section = &cases.back().userDefs, findings = false;
        } else if (l == "--- line findings") {
            section = &cases.back().lineFindings.emplace(), findings = true;
        } else if (l == "--- module findings") {
            section = &cases.back().moduleFindings.emplace(), findings = true;
        } else if (!findings || (!l.empty() && !l.starts_with("#"))) {
            section->push_back(l);
        }
    }
    return cases;
}

class RuleCases : public RuleTest {
protected:
    void runCases(const std::string& file) {
        const auto cases = readCases(file);
        ASSERT_FALSE(cases.empty());
        for (const RuleCase& c : cases) {
            SCOPED_TRACE(file + ": " + c.title);
            auto& e = scan(c.title.substr(0, c.title.find(' ')), crlf(c.source),
                           c.userDefs.empty() ? "" : crlf(c.userDefs));
            if (c.lineFindings) { EXPECT_EQ(renderLines(*c.lineFindings), renderLines(e)); }
            if (c.moduleFindings) { EXPECT_EQ(renderModule(*c.moduleFindings), renderModule(e)); }
        }
    }
};

TEST_F(RuleCases, Declarations) { runCases("declarations.txt"); }
TEST_F(RuleCases, Procedures) { runCases("procedures.txt"); }
TEST_F(RuleCases, Controls) { runCases("controls.txt"); }

const std::string BasHead = "Attribute VB_Name = \"modTest\"\r\nOption Explicit\r\n";

TEST_F(RuleCases, HeadsSetTheLocationOfTheLinesThatFollow) {
    auto& e = scan("TEST.BAS", BasHead + crlf({"Private msName As String", "Public Sub First()", "End Sub", "",
                                               "Public Function Second() As Long", "End Function"}));
    const auto& lines = e.lines();
    EXPECT_EQ("(declarations)", lines[3].sLocation);
    EXPECT_EQ("First", lines[4].sLocation);
    EXPECT_EQ("First", lines[6].sLocation);  // after End Sub
    EXPECT_EQ("Second", lines[7].sLocation);
    EXPECT_EQ((std::vector<std::string>{"First", "Second"}), e.methods());
}

TEST_F(RuleCases, ModuleWithMoreThanAThousandProceduresIsScannedToTheEnd) {
    std::string text = BasHead;
    std::vector<std::string> expected;
    for (int i = 1; i <= 1200; ++i) {
        text += "Private Sub Do" + std::to_string(i) + "()\r\nEnd Sub\r\n";
        expected.push_back(std::to_string(1 + 2 * i) + " M19 {Do" + std::to_string(i) + "}");
    }
    auto& e = scan("TEST.BAS", text);
    ASSERT_EQ(1200u, e.methods().size());
    EXPECT_EQ("Do1200", e.methods().back());
    EXPECT_EQ(1200, e.suggestCount());
    EXPECT_EQ(renderLines(expected), renderLines(e));
}

// Nesting as deep as the file allows is walked without exhausting the stack.
TEST_F(RuleCases, VeryDeepNestingIsWalkedToTheInnermostControl) {
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
    EXPECT_EQ(renderModule(std::vector<std::string>{"M25 {cmdGo} {\"Go\"}{" + parent + "}"}), renderModule(e));
}

}  // namespace
}  // namespace scanrules
