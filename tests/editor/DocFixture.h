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

// Joins lines, each followed by CR LF.
inline std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

// 1-based byte position of line k (0-based) of a CR LF file made of lines.
inline std::int64_t lineStart(const std::vector<std::string>& lines, std::size_t k) {
    std::int64_t pos = 1;
    for (std::size_t i = 0; i < k; ++i) pos += static_cast<std::int64_t>(lines[i].size()) + 2;
    return pos;
}

class DocTest : public ::testing::Test {
protected:
    DocTest() : faulty(platform::realFileSystem()) {
        dir = std::filesystem::temp_directory_path() /
              ("varnel-doc-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
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

    bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

    // Names of the files in the folder, sorted.
    std::vector<std::string> folder() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path dir;
    platform::RecordingDesktop desktop;
    platform::FaultyFileSystem faulty;
    std::optional<platform::ScopedServices> files;
    editor::MemoryView view;
    editor::SourceDocument doc{view};
};

}  // namespace doctest
