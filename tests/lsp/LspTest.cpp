// The language server as an editor drives it: the sessions of
// cases/sessions.txt (lifecycle, documents and their diagnostics, outline,
// formatting, quick fixes, hover, settings, input that breaks the protocol),
// the newest-wins rule, and the program over pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "LspClient.h"
#include "support/Cases.h"

namespace {

const std::string Uri = "file:///tmp/sifton-lsp-test/modPay.bas";

// Line 2 files SF022 (untyped); nothing else at any level.
const std::string Module =
    "Attribute VB_Name = \"modPay\"\r\n"
    "Option Explicit\r\n"
    "Private mvntRate\r\n"
    "\r\n"
    "Public Function Total(rlA As Long) As Long\r\n"
    "    Total = rlA * 2\r\n"
    "End Function\r\n";

// Does `actual` hold everything `expected` says (see cases/sessions.txt)?
bool holds(const json& actual, const json& expected) {
    if (expected.is_object()) {
        if (!actual.is_object()) return false;
        const auto items = expected.items();
        return std::all_of(items.begin(), items.end(), [&](const auto& item) {
            return actual.contains(item.key()) && holds(actual[item.key()], item.value());
        });
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() != expected.size()) return false;
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (!holds(actual[i], expected[i])) return false;
        return true;
    }
    if (expected.is_string() && expected.get<std::string>().starts_with("~")) {
        if (!actual.is_string()) return false;
        const std::string want = expected, have = actual;
        for (std::size_t from = 1, to = 0; from <= want.size(); from = to + 1) {
            to = std::min(want.find('~', from), want.size());
            if (have.find(want.substr(from, to - from)) == std::string::npos) return false;
        }
        return true;
    }
    return actual == expected;
}

// A line of a case, with "$DIR" put in and the CR, LF and tab that case
// files unescape turned back into JSON escapes.
std::string scriptLine(std::string line, const std::string& dir, bool raw) {
    for (auto at = line.find("$DIR"); at != std::string::npos; at = line.find("$DIR", at)) line.replace(at, 4, dir);
    if (raw) return line;
    std::string out;
    for (char ch : line) out += ch == '\r' ? "\\r" : ch == '\n' ? "\\n" : ch == '\t' ? "\\t" : std::string(1, ch);
    return out;
}

class LspSessions : public ::testing::TestWithParam<cases::Case> {};

TEST_P(LspSessions, Case) {
    const cases::Case& c = GetParam();
    cases::ScratchDir dir;
    for (const auto& [section, lines] : c.sections)
        if (section.starts_with("file ")) {
            const std::filesystem::path file = dir.path(section.substr(5));
            std::filesystem::create_directories(file.parent_path());
            std::ofstream out(file);
            for (const std::string& line : lines) out << line << '\n';
        }
    LspClient client;
    for (const std::string& l : c["in"]) {
        if (l.starts_with("> raw ")) client.sendRaw(scriptLine(l.substr(6), dir.path(""), true));
        else if (l.starts_with("> ")) {
            json message = json::parse(scriptLine(l.substr(2), dir.path(""), false));
            message["jsonrpc"] = "2.0";
            client.send(message);
        } else if (l.starts_with("< ")) {
            const json expected = json::parse(scriptLine(l.substr(2), dir.path(""), false));
            ASSERT_FALSE(client.waitFor([&](const json& m) { return holds(m, expected); }).is_null())
                << "no message from the server holds " << expected.dump();
        } else if (l.starts_with("exit ")) {
            EXPECT_EQ(client.finish(), std::stoi(l.substr(5)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lsp, LspSessions, ::testing::ValuesIn(cases::read_cases("lsp/cases/sessions.txt")),
                         [](const auto& test) { return cases::testName(test.param.title); });

TEST(LspDocuments, NewestTextWinsInABurstOfChanges) {
    LspClient c;
    c.initialize();
    c.open(Uri, Module, 1);
    // Odd versions hold the finding, even ones do not.
    const std::string clean = "Option Explicit\r\nPrivate mlRate As Long\r\n";
    for (int v = 2; v <= 101; ++v)
        c.notify("textDocument/didChange", {{"textDocument", {{"uri", Uri}, {"version", v}}},
                                            {"contentChanges", {{{"text", v % 2 ? Module : clean}}}}});
    int last = 0;
    while (last < 101) {
        const json d = c.diagnostics(Uri);
        ASSERT_FALSE(d.is_null()) << "no diagnostics after version " << last;
        const int v = d["params"]["version"];
        EXPECT_GT(v, last);
        EXPECT_EQ(d["params"]["diagnostics"].size(), v % 2 ? 1u : 0u) << "version " << v;
        last = v;
    }
}

#ifdef SIFTON_PROGRAM
TEST(LspProgram, SiftonLspOverPipesWithALargeDocument) {
    LspClient c(SIFTON_PROGRAM);
    c.initialize();
    // About 50 MB: the module's procedure again and again.
    std::string big = Module;
    const std::string proc = "Public Function Total(rlA As Long) As Long\r\n    Total = rlA * 2\r\nEnd Function\r\n";
    while (big.size() < std::size_t{50} * 1024 * 1024) big += proc;
    c.open(Uri, big);
    const json hover = c.request(
        "textDocument/hover", {{"textDocument", {{"uri", Uri}}}, {"position", {{"line", 2}, {"character", 3}}}}, 600);
    EXPECT_NE(hover["result"]["contents"]["value"].get<std::string>().find("SF022"), std::string::npos);
    const json diagnostics = c.diagnostics(Uri, 600)["params"]["diagnostics"];
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0]["range"]["start"]["line"], 2);
    EXPECT_TRUE(c.request("shutdown")["result"].is_null());
    c.notify("exit", nullptr);
    EXPECT_EQ(c.finish(), 0);
}
#endif

}  // namespace
