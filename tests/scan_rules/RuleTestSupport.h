#pragma once
// Helpers for the rule tests: write a small source file, scan it through
// Load at level 3, and compare the findings filed against each line (and
// against the module) with findings written out by hand.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Recording.h"
#include "platform/Services.h"
#include "scan/clsOculon.h"

namespace scanrules {

// The finding texts, typed from the standard the scanner enforces, so that a
// wrong character in the engine's catalogue shows up here.
namespace msg {
inline const std::string M1 = "Error:   Dim of multiple vars w/o multiple types yeilds variants.";
inline const std::string M2 = "Warning: Prefixing Module variables with \"m\" would clarify scope.";
inline const std::string M3 = "Warning: Prefixing Local variables with \"l\" would clarify scope.";
inline const std::string M4 = "Warning: DataType doesn't correspond to variable prefix.";
inline const std::string M5 = "Warning: Functions should specify return type.";
inline const std::string M6 = "Suggest: Prefixing Params passed ByRef with \"r\" clarifies usage.";
inline const std::string M7 = "Suggest: Prefixing Params passed ByVal with \"v\" clarifies usage.";
inline const std::string M8 = "Warning: Typing suffixes (#$%&@) makes for cryptic code.";
inline const std::string M9 = "Warning: Scope of procedure not specified.";
inline const std::string M10 = "Warning: Module Level Dim does not clarify scope, Public/Private will.";
inline const std::string M12 =
    "Warning: Params passed ByVal to other than Out of Process Servers or DLLs is expensive.";
inline const std::string M13 =
    "Suggest: Use \"pri/mod\" or \"glo/pub\" to prefix BAS module\r\n"
    "         Internal Names to define variable scope, Private Assumed.";
inline const std::string M14 = "Suggest: CLS modules should have Internal Names prefixed by \"cls\".";
inline const std::string M15 = "Suggest: FRM modules should have Internal Names prefixed by \"frm\".";
inline const std::string M16 = "Suggest: Constants should be all upper case with intermixed \"_\".";
inline const std::string M17 = "Warning: A global's scope should be Public.";
inline const std::string M18 = "Warning: Module scope procedures should not be Public.";
inline const std::string M19 = "Suggest: Prefixing Private procedures with \"m\" clarifies scope.";
inline const std::string M20 = "Suggest: Variable names should start syllables with upper case letters.";
inline const std::string M21 = "Suggest: The Filename isn't a subset of the module Internal Name.";
inline const std::string M22 = "Error: Untyped Variable yields variant type.";
inline const std::string M23 = "Error: \"Option Explicit\" should be specified for this module.";
inline const std::string M24 = "Warning: Using control's default property improves performance.";
inline const std::string M25 = "Error: You should use accelerator keys on Command buttons.";
inline const std::string M26 = "Error: Use string form of function ($).";
inline const std::string M27 = "Warning: Use Variant Type only when absolutely necessary.";
inline const std::string M28 = "Warning: Using shorter lines(via continutation) will make code easier to read.";
inline const std::string M29 = "Warning: Global scope declared in module labelled as private.";
}  // namespace msg

// One line finding as a reader of the report sees it.
struct Finding {
    long line;
    std::string message;
    std::optional<std::string> usage;
};

// One module finding with its two usage strings.
struct ModuleFinding {
    std::string message;
    std::string first;
    std::string second;
};

inline Finding F(long line, const std::string& message) { return {line, message, std::nullopt}; }
inline Finding F(long line, const std::string& message, const std::string& usage) { return {line, message, usage}; }

// Makes line breaks visible so that a failed comparison reads well.
inline std::string visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n\n";
        else out += c;
    }
    return out;
}

// The slot texts a line finding is stored as.
inline std::string lineSlots(const Finding& f) {
    if (!f.usage) return f.message + "\r\n\r\n";
    return f.message + "\r\n" + "Look at:   {" + *f.usage + "}\r\n\r\n";
}

inline std::string moduleSlots(const ModuleFinding& f) {
    std::string suffix;
    if (!f.first.empty()) suffix += "{" + f.first + "}";
    if (!f.second.empty()) suffix += "{" + f.second + "}";
    if (suffix.empty()) return f.message + "\r\n\r\n";
    return f.message + "\r\n" + "Usage | Std:   " + suffix + "\r\n\r\n";
}

// Lines with findings, each as "line N:" followed by its slot texts.
inline std::string renderLines(const std::vector<Finding>& findings) {
    std::map<long, std::string> byLine;
    for (const auto& f : findings) byLine[f.line] += lineSlots(f);
    std::string out;
    for (const auto& [line, text] : byLine) out += "line " + std::to_string(line) + ":\n" + visible(text);
    return out;
}

inline std::string renderLines(const scan::clsOculon& engine) {
    std::string out;
    const auto& lines = engine.lines();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string text;
        for (std::size_t s = 1; s < lines[i].sMessages.size() && !lines[i].sMessages[s].empty(); ++s)
            text += lines[i].sMessages[s];
        if (!text.empty()) out += "line " + std::to_string(i) + ":\n" + visible(text);
    }
    return out;
}

inline std::string renderModule(const std::vector<ModuleFinding>& findings) {
    std::string out;
    for (const auto& f : findings) out += moduleSlots(f);
    return visible(out);
}

inline std::string renderModule(const scan::clsOculon& engine) {
    std::string out;
    const auto& slots = engine.moduleMessages();
    for (std::size_t s = 1; s < slots.size() && !slots[s].empty(); ++s) out += slots[s];
    return visible(out);
}

// Joins source lines with CR LF, the last one included.
inline std::string crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

// A scan at level 3 of files written to a private folder, with the message
// boxes recorded so that a trapped fault (a "Program Error" box) fails the test.
class RuleTest : public ::testing::Test {
protected:
    RuleTest() : services_(makeServices()) {
        folder_ = std::filesystem::temp_directory_path() /
                  ("scan_rules_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        scan::setCheckLevel(3);
    }
    ~RuleTest() override {
        scan::setCheckLevel(1);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void TearDown() override {
        for (const auto& box : boxes_.shown) ADD_FAILURE() << "unexpected box " << box.title << ":\n" << box.text;
    }

    // Writes a file into the private folder and returns its path.
    std::string write(const std::string& name, const std::string& text) {
        const auto path = folder_ / name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        return path.string();
    }

    // A user definitions file with the given text.
    std::string userDefs(const std::string& text) { return write("UserDefs.txt", text); }

    // Scans `text` as the file `name`, with the user definitions file given
    // (none by default).
    scan::clsOculon& scan(const std::string& name, const std::string& text, const std::string& defs = "") {
        engine_.emplace(defs.empty() ? (folder_ / "NoUserDefs.txt").string() : defs);
        engine_->Load(write(name, text));
        return *engine_;
    }

    // A standard module TEST.BAS named "modTest" with Option Explicit: two
    // header lines, then `body` from line 3 on. Its head gives no findings.
    scan::clsOculon& scanBas(std::initializer_list<std::string> body, const std::string& defs = "") {
        std::string text = "Attribute VB_Name = \"modTest\"\r\nOption Explicit\r\n";
        for (const auto& l : body) text += l + "\r\n";
        return scan("TEST.BAS", text, defs);
    }

    // A class TEST.CLS named "clsTest", body from line 3 on.
    scan::clsOculon& scanCls(std::initializer_list<std::string> body) {
        std::string text = "Attribute VB_Name = \"clsTest\"\r\nOption Explicit\r\n";
        for (const auto& l : body) text += l + "\r\n";
        return scan("TEST.CLS", text);
    }

    void expectLines(const scan::clsOculon& engine, const std::vector<Finding>& expected) {
        EXPECT_EQ(renderLines(expected), renderLines(engine));
    }
    void expectModule(const scan::clsOculon& engine, const std::vector<ModuleFinding>& expected) {
        EXPECT_EQ(renderModule(expected), renderModule(engine));
    }

    platform::RecordingMessageBoxes boxes_;

private:
    platform::Services makeServices() {
        platform::Services s;
        s.boxes = &boxes_;
        s.pump = &pump_;
        return s;
    }

    platform::CountingEventPump pump_;
    platform::ScopedServices services_;
    std::filesystem::path folder_;
    std::optional<scan::clsOculon> engine_;
};

}  // namespace scanrules
