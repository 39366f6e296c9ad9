// The language server as an editor drives it: lifecycle, documents and
// their diagnostics, the newest-wins rule, outline, formatting, quick fixes,
// hover, settings, and input that breaks the protocol.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "LspClient.h"

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

json pos(long line, long character) { return {{"line", line}, {"character", character}}; }
json range(long l1, long c1, long l2, long c2) { return {{"start", pos(l1, c1)}, {"end", pos(l2, c2)}}; }
json doc(const std::string& uri = Uri) { return {{"textDocument", {{"uri", uri}}}}; }

// "SF022@2:0-2:16" for each diagnostic, in order.
std::vector<std::string> summary(const json& diagnostics) {
    std::vector<std::string> out;
    for (const json& d : diagnostics) {
        const json& r = d["range"];
        out.push_back(d["code"].get<std::string>() + "@" + std::to_string(r["start"]["line"].get<int>()) + ":" +
                      std::to_string(r["start"]["character"].get<int>()) + "-" +
                      std::to_string(r["end"]["line"].get<int>()) + ":" +
                      std::to_string(r["end"]["character"].get<int>()));
    }
    return out;
}

using Strings = std::vector<std::string>;

TEST(LspLifecycle, RequestsBeforeInitializeAfterShutdownAndExitStatus) {
    LspClient c;
    EXPECT_EQ(c.request("textDocument/hover", doc())["error"]["code"], -32002);
    const json init = c.initialize();
    const json& caps = init["result"]["capabilities"];
    EXPECT_EQ(caps["textDocumentSync"]["change"], 2);
    EXPECT_EQ(caps["positionEncoding"], "utf-16");
    EXPECT_EQ(init["result"]["serverInfo"]["name"], "sifton");
    EXPECT_EQ(c.request("initialize", json::object())["error"]["code"], -32600);
    EXPECT_EQ(c.request("workspace/symbol", {{"query", ""}})["error"]["code"], -32601);
    EXPECT_EQ(c.request("textDocument/documentSymbol", doc())["error"]["code"], -32602);  // not open
    EXPECT_TRUE(c.request("shutdown")["result"].is_null());
    EXPECT_EQ(c.request("textDocument/documentSymbol", doc())["error"]["code"], -32600);
    c.notify("exit", nullptr);
    EXPECT_EQ(c.finish(), 0);
}

TEST(LspLifecycle, ExitWithoutShutdownOrEndOfInputIsFailure) {
    LspClient a;
    a.initialize();
    a.notify("exit", nullptr);
    EXPECT_EQ(a.finish(), 1);
    LspClient b;
    b.initialize();
    EXPECT_EQ(b.finish(), 1);
}

TEST(LspDocuments, DiagnosticsFollowOpenIncrementalChangesAndClose) {
    LspClient c;
    c.initialize({{"sifton", {{"level", 3}}}});
    c.open(Uri, Module, 1);
    json d = c.diagnostics(Uri);
    EXPECT_EQ(d["params"]["version"], 1);
    ASSERT_EQ(summary(d["params"]["diagnostics"]), Strings{"SF022@2:0-2:16"});
    const json& first = d["params"]["diagnostics"][0];
    EXPECT_EQ(first["severity"], 1);
    EXPECT_EQ(first["source"], "sifton");
    EXPECT_EQ(first["message"], "Error: Untyped Variable yields variant type.");
    EXPECT_EQ(first["data"]["usage"], "{mvntRate} {}");

    // "€" is one UTF-16 unit and three UTF-8 bytes: an edit placed after it
    // lands after it, and a line holding it ends one unit after it.
    c.notify("textDocument/didChange", {{"textDocument", {{"uri", Uri}, {"version", 2}}},
                                        {"contentChanges",
                                         {{{"range", range(0, 24, 0, 27)}, {"text", "€"}},  // "modPay" -> "mod€"
                                          {{"range", range(0, 25, 0, 25)}, {"text", "Pay"}},
                                          {{"range", range(2, 16, 2, 16)}, {"text", " ' €€ rate"}}}}});
    d = c.diagnostics(Uri);
    EXPECT_EQ(d["params"]["version"], 2);
    const Strings expected{"SF021@0:0-0:29", "SF022@2:0-2:26"};
    ASSERT_EQ(summary(d["params"]["diagnostics"]), expected);
    EXPECT_EQ(d["params"]["diagnostics"][0]["data"]["usage"], "{MODPAY.BAS}{mod€Pay}");
    EXPECT_EQ(d["params"]["diagnostics"][0]["severity"], 3);

    // A full change, and a continued statement spanning two lines.
    c.notify("textDocument/didChange", {{"textDocument", {{"uri", Uri}, {"version", 3}}},
                                        {"contentChanges",
                                         {{{"text",
                                            "Option Explicit\r\nPrivate mlA, _\r\n"
                                            "   mlB As Long\r\n"}}}}});
    d = c.diagnostics(Uri);
    EXPECT_EQ(summary(d["params"]["diagnostics"]), Strings{"SF001@1:0-2:14"});

    // Pulled diagnostics are the ones pushed.
    const json pulled = c.request("textDocument/diagnostic", doc());
    EXPECT_EQ(pulled["result"]["kind"], "full");
    EXPECT_EQ(summary(pulled["result"]["items"]), Strings{"SF001@1:0-2:14"});

    c.notify("textDocument/didClose", doc());
    d = c.diagnostics(Uri);
    EXPECT_TRUE(d["params"]["diagnostics"].empty());
}

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

TEST(LspFeatures, OutlineFormattingQuickFixesAndHover) {
    LspClient c;
    c.initialize();
    const std::string text = Module +
                             "Public Sub Main()\r\n"
                             "Dim lnI As Long\r\n"
                             "If lnI = 0 Then\r\n"
                             "lnI = 1\r\n"
                             "End If\r\n"
                             "End Sub\r\n";
    c.open(Uri, text);
    c.diagnostics(Uri);

    const json symbols = c.request("textDocument/documentSymbol", doc())["result"];
    ASSERT_EQ(symbols.size(), 3u);
    EXPECT_EQ(symbols[0]["name"], "(declarations)");
    EXPECT_EQ(symbols[0]["range"], range(0, 0, 3, 0));
    EXPECT_EQ(symbols[1]["name"], "Total");
    EXPECT_EQ(symbols[1]["range"], range(4, 0, 6, 12));
    EXPECT_EQ(symbols[1]["selectionRange"], range(4, 16, 4, 21));
    EXPECT_EQ(symbols[2]["name"], "Main");
    EXPECT_EQ(symbols[2]["range"], range(7, 0, 12, 7));

    // The whole document: each procedure as the editor indents it; only changed lines.
    const json edits = c.request("textDocument/formatting", doc())["result"];
    const json expected = json::array({
        {{"range", range(5, 0, 5, 19)}, {"newText", "   Total = rlA * 2"}},
        {{"range", range(8, 0, 8, 15)}, {"newText", "   Dim lnI As Long"}},
        {{"range", range(9, 0, 9, 15)}, {"newText", "   If lnI = 0 Then"}},
        {{"range", range(10, 0, 10, 7)}, {"newText", "      lnI = 1"}},
        {{"range", range(11, 0, 11, 6)}, {"newText", "   End If"}},
    });
    EXPECT_EQ(edits, expected);
    json params = doc();
    params["range"] = range(10, 0, 11, 0);
    EXPECT_EQ(c.request("textDocument/rangeFormatting", params)["result"],
              json::array({{{"range", range(10, 0, 10, 7)}, {"newText", "   lnI = 1"}}}));

    // Quick fixes for the finding on line 2.
    const json diag = {{"range", range(2, 0, 2, 16)}, {"code", "SF022"}, {"source", "sifton"}, {"message", "x"}};
    params = doc();
    params["range"] = range(2, 0, 2, 0);
    params["context"] = {{"diagnostics", {diag}}};
    const json actions = c.request("textDocument/codeAction", params)["result"];
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0]["title"], "Ignore SF022 on this line");
    EXPECT_EQ(actions[0]["edit"]["changes"][Uri][0]["newText"], "' sifton: ignore SF022\r\n");
    EXPECT_EQ(actions[0]["edit"]["changes"][Uri][0]["range"], range(2, 0, 2, 0));
    EXPECT_EQ(actions[1]["title"], "Ignore SF022 in this file");
    EXPECT_EQ(actions[1]["edit"]["changes"][Uri][0]["newText"], "' sifton: ignore-file SF022\r\n");
    EXPECT_EQ(actions[1]["edit"]["changes"][Uri][0]["range"], range(2, 0, 2, 0));

    // Applying the first one: the finding goes, and a second rule joins the comment.
    c.notify("textDocument/didChange",
             {{"textDocument", {{"uri", Uri}, {"version", 2}}},
              {"contentChanges", {{{"range", range(2, 0, 2, 0)}, {"text", "' sifton: ignore SF022\r\n"}}}}});
    EXPECT_TRUE(c.diagnostics(Uri)["params"]["diagnostics"].empty());
    params["context"]["diagnostics"][0]["range"] = range(3, 0, 3, 16);
    params["context"]["diagnostics"][0]["code"] = "SF002";
    const json more = c.request("textDocument/codeAction", params)["result"];
    EXPECT_EQ(more[0]["edit"]["changes"][Uri][0], json({{"range", range(2, 22, 2, 22)}, {"newText", ", SF002"}}));

    // Hover on a finding's statement shows its rule; elsewhere nothing.
    c.notify("textDocument/didChange",
             {{"textDocument", {{"uri", Uri}, {"version", 3}}}, {"contentChanges", {{{"text", Module}}}}});
    c.diagnostics(Uri);
    params = doc();
    params["position"] = pos(2, 9);
    const std::string hover = c.request("textDocument/hover", params)["result"]["contents"]["value"];
    EXPECT_NE(hover.find("SF022"), std::string::npos) << hover;
    EXPECT_NE(hover.find("{mvntRate} {}"), std::string::npos) << hover;
    // ... and the rule's documentation entry, as sifton --explain gives it.
    EXPECT_NE(hover.find("```"), std::string::npos) << hover;
    params["position"] = pos(5, 0);
    EXPECT_TRUE(c.request("textDocument/hover", params)["result"].is_null());
}

TEST(LspSettings, ClientSettingsAndProjectFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("sifton-lsp-settings-" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "sifton.toml") << "level = 3\nignore = [\"SF022\"]\n";
    const std::string uri = "file://" + (dir / "sub" / "modPay.bas").string();
    // Level 3 and SF022 ignored by the file: a suggestion about the file
    // name remains for a module named otherwise.
    std::string other = Module;
    other.replace(other.find("modPay"), 6, "modCash");
    LspClient c;
    c.initialize();
    c.open(uri, other);
    EXPECT_EQ(summary(c.diagnostics(uri)["params"]["diagnostics"]), Strings{"SF021@0:0-0:29"});
    // The client's settings win over the file.
    c.notify("workspace/didChangeConfiguration",
             {{"settings", {{"sifton", {{"level", 1}, {"ignore", json::array()}}}}}});
    EXPECT_EQ(summary(c.diagnostics(uri)["params"]["diagnostics"]), Strings{"SF022@2:0-2:16"});
    fs::remove_all(dir);
}

TEST(LspBadInput, FramingAndJsonFaultsAreReportedAndSkipped) {
    LspClient c;
    c.initialize();
    c.sendRaw("garbage without a colon\r\n\r\n");
    c.sendRaw("Content-Length: many\r\n\r\n{}");
    c.sendRaw(LspClient::frame("{not json"));
    EXPECT_EQ(c.waitFor([](const json& m) { return m.contains("error"); })["error"]["code"], -32700);
    // A length that lies (too short): the rest is skipped up to the next header.
    const std::string body = json({{"jsonrpc", "2.0"}, {"id", 90}, {"method", "shutdown"}}).dump();
    c.sendRaw("Content-Length: 10\r\n\r\n" + body);
    c.sendRaw(LspClient::frame(json({{"jsonrpc", "2.0"}, {"id", 91}, {"method", "nosuch"}}).dump()));
    EXPECT_EQ(c.waitFor([](const json& m) { return m.value("id", json()) == 91; })["error"]["code"], -32601);
    c.sendRaw(LspClient::frame("[1, 2]"));
    EXPECT_EQ(
        c.waitFor([](const json& m) { return m.contains("error") && m["error"]["code"] == -32600; })["error"]["code"],
        -32600);
    // Parameters of the wrong shape.
    c.notify("textDocument/didOpen", {{"textDocument", 5}});
    EXPECT_EQ(c.request("textDocument/hover", {{"textDocument", {{"uri", 7}}}})["error"]["code"], -32602);
    EXPECT_EQ(c.request("shutdown")["result"], nullptr);
}

#ifdef SIFTON_PROGRAM
TEST(LspProgram, SiftonLspOverPipesWithALargeDocument) {
    LspClient c(SIFTON_PROGRAM);
    c.initialize();
    // About 50 MB: the module's procedure again and again.
    std::string big = Module;
    const std::string proc = "Public Function Total(rlA As Long) As Long\r\n    Total = rlA * 2\r\nEnd Function\r\n";
    while (big.size() < 50u * 1024 * 1024) big += proc;
    c.open(Uri, big);
    json params = doc();
    params["position"] = pos(2, 3);
    const json hover = c.request("textDocument/hover", params, 600);
    EXPECT_NE(hover["result"]["contents"]["value"].get<std::string>().find("SF022"), std::string::npos);
    EXPECT_EQ(summary(c.diagnostics(Uri, 600)["params"]["diagnostics"]), Strings{"SF022@2:0-2:16"});
    EXPECT_TRUE(c.request("shutdown")["result"].is_null());
    c.notify("exit", nullptr);
    EXPECT_EQ(c.finish(), 0);
}
#endif

}  // namespace
