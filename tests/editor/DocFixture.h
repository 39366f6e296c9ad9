#pragma once
// A document over a MemoryView, with recording desktop services and files in
// a fresh temporary folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "editor/SourceDocument.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "textlib/TextLib.h"

namespace doctest {

using Lines = std::vector<std::string>;

// Joins lines, each followed by CR LF.
inline std::string crlf(const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

// 1-based byte position of line k (0-based) of a CR LF file made of lines.
inline std::int64_t lineStart(const Lines& lines, std::size_t k) {
    std::int64_t pos = 1;
    for (std::size_t i = 0; i < k; ++i) pos += static_cast<std::int64_t>(lines[i].size()) + 2;
    return pos;
}

// The lines of a source text kept in cases/ beside the tests.
inline Lines caseLines(const std::string& name) {
    std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/tests/editor/cases/" + name, std::ios::binary);
    Lines lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l.ends_with('\r') ? l.substr(0, l.size() - 1) : l);
    return lines;
}

// Lines [from, to) of v.
inline Lines slice(const Lines& v, std::size_t from, std::size_t to) {
    return {v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(to)};
}

inline Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class DocTest : public ::testing::Test {
protected:
    DocTest() : faulty(platform::realFileSystem()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = std::filesystem::temp_directory_path() / ("varnel-doc-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        platform::Services s;
        s.files = &faulty;
        files.emplace(s);
        view.onTextChange = [this] { doc.txtEdit_Change(); };
        view.onSelect = [this](int i) { doc.cbProc_Click(i); };  // a combo box raises its click
    }
    ~DocTest() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Names of the files in the folder, sorted.
    Lines folder() const {
        Lines names;
        for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The user types into txtEdit.
    void type(const std::string& text) { view.setEditorText(text); }
    // The user chooses the entity of that name in cbProc.
    void choose(const std::string& name) {
        const int i = doc.findEntity(name);
        ASSERT_GE(i, 0) << name;
        doc.cbProc_Click(i);
        ASSERT_EQ(doc.currentEntityName(), name);
    }
    // Checks the last message box; an empty optional leaves that part unchecked.
    void expectBox(const std::optional<std::string>& text, const std::string& title,
                   std::optional<platform::Icon> icon = {}, std::optional<platform::Buttons> buttons = {}) const {
        ASSERT_FALSE(desktop.boxes.shown.empty());
        const auto& box = desktop.boxes.last();
        EXPECT_EQ(box.text, text.value_or(box.text));
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.icon, icon.value_or(box.icon));
        EXPECT_EQ(box.buttons, buttons.value_or(box.buttons));
    }

    std::filesystem::path dir;
    platform::RecordingDesktop desktop;
    platform::FaultyFileSystem faulty;
    std::optional<platform::ScopedServices> files;
    editor::MemoryView view;
    editor::SourceDocument doc{view};
};

}  // namespace doctest
