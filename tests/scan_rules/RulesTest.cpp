// The rule families of the scan engine as case files in cases/: a source
// file and the findings worked out for it (the format is described at the top
// of cases/declarations.txt), whole level-3 reports of a realistic form,
// class and module, and a few generated sources. Every case is scanned
// through Load at level 3; a "Program Error" box fails the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/Recording.h"
#include "scan/clsOculon.h"
#include "support/Cases.h"

namespace {

using cases::Lines;

// Findings in the notation of the case files, as the slot texts they file:
// line findings "3 M4 {lCount} {l}", module findings "M25 {cmdOK} {"OK"}".
std::string slots(const std::string& finding, const std::string& label) {
    static std::map<std::string, std::string> texts = [] {
        std::map<std::string, std::string> m;
        for (const auto& r : cases::rows("scan_rules/cases/messages.txt")) m[r[0]] = r[1];
        return m;
    }();
    const auto blank = finding.find(' ');
    const std::string id = finding.substr(0, blank), text = texts.contains(id) ? texts[id] : "<unknown " + id + ">";
    return text + "\r\n" + (blank == std::string::npos ? "" : label + finding.substr(blank + 1) + "\r\n") + "\r\n";
}

class Rules : public ::testing::Test {
protected:
    Rules() { scan::setCheckLevel(3); }
    ~Rules() override {
        scan::setCheckLevel(1);
        std::filesystem::remove_all(dir);
    }
    void TearDown() override {
        for (const auto& box : desk.boxes.shown) ADD_FAILURE() << box.title << ":\n" << box.text;
    }
    scan::clsOculon& scan(const std::string& name, const std::string& text, const std::string& defs = "") {
        std::filesystem::create_directories(dir);
        if (!defs.empty()) std::ofstream(dir / "UserDefs.txt", std::ios::binary) << defs;
        std::ofstream(dir / name, std::ios::binary) << text;
        engine.emplace((dir / (defs.empty() ? "NoUserDefs.txt" : "UserDefs.txt")).string());
        engine->Load((dir / name).string());
        return *engine;
    }
    // The line findings as "line N:" blocks, the module findings as one text.
    static std::string lines(const scan::clsOculon& e) {
        std::string out;
        for (std::size_t i = 1; i < e.lines().size(); ++i) {
            std::string text;
            for (std::size_t s = 1; s < scan::MessageSlots::size() && !e.lines()[i].sMessages[s].empty(); ++s)
                text += e.lines()[i].sMessages[s];
            if (!text.empty()) out.append("line ").append(std::to_string(i)).append(":\n").append(text);
        }
        return out;
    }
    static std::string lines(const Lines& findings) {
        std::map<long, std::string> byLine;
        for (const auto& f : findings) byLine[std::stol(f)] += slots(f.substr(f.find(' ') + 1), "Look at:   ");
        std::string out;
        for (const auto& [line, text] : byLine)
            out.append("line ").append(std::to_string(line)).append(":\n").append(text);
        return out;
    }
    static std::string module(const scan::clsOculon& e) {
        std::string out;
        for (std::size_t s = 1; s < e.moduleMessages().size() && !e.moduleMessages()[s].empty(); ++s)
            out += e.moduleMessages()[s];
        return out;
    }
    static std::string module(const Lines& findings) {
        std::string out;
        for (const auto& f : findings) out += slots(f, "Usage | Std:   ");
        return out;
    }

    platform::RecordingDesktop desk;
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("scan_rules_" + std::to_string(::getpid()) + "_" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::optional<scan::clsOculon> engine;
};

TEST_F(Rules, CaseFilesAndRealisticReportsInOneRun) {
    for (const char* file :
         {"declarations.txt", "procedures.txt", "controls.txt", "modules.txt", "numbers.txt", "enums.txt"}) {
        for (const cases::Case& c : cases::read_cases(std::string("scan_rules/cases/") + file)) {
            SCOPED_TRACE(std::string(file) + ": " + c.title);
            auto findings = [&](const char* name) {
                Lines out;
                for (const auto& l : c[name])
                    if (!l.empty() && !l.starts_with("#")) out.push_back(l);
                return out;
            };
            auto& e = scan(c.title.substr(0, c.title.find(' ')), cases::crlf(c["in"]),
                           c.has("userdefs") ? cases::crlf(c["userdefs"]) : "");
            if (c.has("line findings")) {
                EXPECT_EQ(lines(findings("line findings")), lines(e));
            }
            if (c.has("module findings")) {
                EXPECT_EQ(module(findings("module findings")), module(e));
            }
        }
    }
    // One engine scans the three one after the other, as the scanner window does;
    // the second order scans the module again: nothing of one file leaks into the
    // next. The expected files have LF line ends, "<TAB>" and "<today>".
    for (const auto& order : {Lines{"ORDERS.FRM", "CUSTOMER.CLS", "ORDERUTIL.BAS"},
                              Lines{"ORDERUTIL.BAS", "ORDERS.FRM", "CUSTOMER.CLS", "ORDERUTIL.BAS"}}) {
        scan::clsOculon e(cases::path("scan_rules/cases/NoUserDefs.txt"));
        for (const std::string& name : order) {
            e.Load(cases::path("scan_rules/cases/" + name));
            EXPECT_EQ(e.sFillMessages(), cases::report("scan_rules/cases/" + name + ".level3.txt", e.sToday())) << name;
        }
    }
}

const std::string BasHead = "Attribute VB_Name = \"modTest\"\r\nOption Explicit\r\n";

TEST_F(Rules, MoreThanAThousandProceduresAndNestingThirtyThousandDeep) {
    std::string text = BasHead;
    Lines expected;
    for (int i = 1; i <= 1200; ++i) {
        text += "Private Sub Do" + std::to_string(i) + "()\r\nEnd Sub\r\n";
        expected.push_back(std::to_string(1 + 2 * i) + " M19 {Do" + std::to_string(i) + "}");
    }
    EXPECT_EQ(lines(scan("TEST.BAS", text)), lines(expected));
    EXPECT_EQ(std::pair(engine->methods().size(), engine->methods().back()), std::pair(1200ul, std::string("Do1200")));

    std::string deep = "Begin VB.Form frmDeep\r\n", parent = "frmDeep";
    for (int i = 0; i < 30000; ++i) deep += "Begin VB.Frame fraA\r\nCaption = \"A\"\r\n", parent += ".fraA";
    deep += "Begin VB.CommandButton cmdGo\r\nCaption = \"Go\"\r\nEnd\r\n";
    for (int i = 0; i < 30000; ++i) deep += "End\r\n";
    deep += "End\r\nAttribute VB_Name = \"frmDeep\"\r\nOption Explicit\r\n";
    EXPECT_EQ(module(scan("DEEP.FRM", deep)), module(Lines{"M25 {cmdGo} {\"Go\"}{" + parent + "}"}));
}

}  // namespace
