#pragma once
// Helpers for the rule tests: scan small source files through Load at level 3
// and compare the findings filed against each line (and against the module)
// with findings written out by hand, in the notation of the case files:
//   line findings    "3 M4 {lCount} {l}"   (line 3, finding 4, look-at text)
//   module findings  "M25 {cmdOK} {"OK"}{frmTest}"   (finding 25, usage text)
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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
inline const std::map<std::string, std::string> Messages = {
    {"M1", "Error:   Dim of multiple vars w/o multiple types yeilds variants."},
    {"M2", "Warning: Prefixing Module variables with \"m\" would clarify scope."},
    {"M3", "Warning: Prefixing Local variables with \"l\" would clarify scope."},
    {"M4", "Warning: DataType doesn't correspond to variable prefix."},
    {"M5", "Warning: Functions should specify return type."},
    {"M6", "Suggest: Prefixing Params passed ByRef with \"r\" clarifies usage."},
    {"M7", "Suggest: Prefixing Params passed ByVal with \"v\" clarifies usage."},
    {"M8", "Warning: Typing suffixes (#$%&@) makes for cryptic code."},
    {"M9", "Warning: Scope of procedure not specified."},
    {"M10", "Warning: Module Level Dim does not clarify scope, Public/Private will."},
    {"M12", "Warning: Params passed ByVal to other than Out of Process Servers or DLLs is expensive."},
    {"M13", "Suggest: Use \"pri/mod\" or \"glo/pub\" to prefix BAS module\r\n"
            "         Internal Names to define variable scope, Private Assumed."},
    {"M14", "Suggest: CLS modules should have Internal Names prefixed by \"cls\"."},
    {"M15", "Suggest: FRM modules should have Internal Names prefixed by \"frm\"."},
    {"M16", "Suggest: Constants should be all upper case with intermixed \"_\"."},
    {"M17", "Warning: A global's scope should be Public."},
    {"M18", "Warning: Module scope procedures should not be Public."},
    {"M19", "Suggest: Prefixing Private procedures with \"m\" clarifies scope."},
    {"M20", "Suggest: Variable names should start syllables with upper case letters."},
    {"M21", "Suggest: The Filename isn't a subset of the module Internal Name."},
    {"M22", "Error: Untyped Variable yields variant type."},
    {"M23", "Error: \"Option Explicit\" should be specified for this module."},
    {"M24", "Warning: Using control's default property improves performance."},
    {"M25", "Error: You should use accelerator keys on Command buttons."},
    {"M26", "Error: Use string form of function ($)."},
    {"M27", "Warning: Use Variant Type only when absolutely necessary."},
    {"M28", "Warning: Using shorter lines(via continutation) will make code easier to read."},
    {"M29", "Warning: Global scope declared in module labelled as private."},
};

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

// The slot texts of one finding "Mnn usage": the catalogue text, then the
// usage text (if any) on its line with the given label.
inline std::string slotTexts(const std::string& finding, const std::string& label) {
    const auto blank = finding.find(' ');
    const std::string id = finding.substr(0, blank);
    const auto msg = Messages.find(id);
    const std::string text = msg == Messages.end() ? "<unknown " + id + ">" : msg->second;
    if (blank == std::string::npos) return text + "\r\n\r\n";
    return text + "\r\n" + label + finding.substr(blank + 1) + "\r\n\r\n";
}

// Expected line findings "LINE Mnn {usage}" as "line N:" blocks of slot texts.
inline std::string renderLines(const std::vector<std::string>& findings) {
    std::map<long, std::string> byLine;
    for (const auto& f : findings) {
        const auto blank = f.find(' ');
        byLine[std::stol(f.substr(0, blank))] += slotTexts(f.substr(blank + 1), "Look at:   ");
    }
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

inline std::string renderModule(const std::vector<std::string>& findings) {
    std::string out;
    for (const auto& f : findings) out += slotTexts(f, "Usage | Std:   ");
    return visible(out);
}

inline std::string renderModule(const scan::clsOculon& engine) {
    std::string out;
    const auto& slots = engine.moduleMessages();
    for (std::size_t s = 1; s < slots.size() && !slots[s].empty(); ++s) out += slots[s];
    return visible(out);
}

// Lines joined with CR LF, the last one included.
inline std::string crlf(const std::vector<std::string>& lines) {
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
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    // Scans `text` as the file `name`, with the user definitions given (none
    // when empty).
    scan::clsOculon& scan(const std::string& name, const std::string& text, const std::string& defs = "") {
        engine_.emplace(defs.empty() ? (folder_ / "NoUserDefs.txt").string() : write("UserDefs.txt", defs));
        engine_->Load(write(name, text));
        return *engine_;
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
