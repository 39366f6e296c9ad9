#pragma once
// Case files: inputs and expected outputs kept as data beside the tests.
//   Case files:  "=== TITLE" starts a case; its lines up to the first
//                "--- NAME" form section "in", later ones section NAME.
//                Lines before the first case are the file's head.
//   Table files: one row a line, fields split at " | "; blank lines and
//                lines starting with "#" are skipped.
// Escapes \r \n \t \\ \| \xHH are undone in every line; \z stands for nothing
// (an empty field, or a line whose trailing blanks must stay).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace cases {

using Lines = std::vector<std::string>;

inline std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char n = i + 1 < s.size() ? s[i + 1] : '\0';
        if (s[i] != '\\' || std::string("rntz\\|x").find(n) == std::string::npos) {
            out += s[i];
            continue;
        }
        ++i;
        if (n == 'x') out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)), i += 2;
        else if (n != 'z') out += n == 'r' ? '\r' : n == 'n' ? '\n' : n == 't' ? '\t' : n;
    }
    return out;
}

inline std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A file under tests/.
inline std::string path(const std::string& name) { return std::string(VARNEL_SOURCE_DIR) + "/tests/" + name; }

inline Lines lines(const std::string& name) {
    Lines out;
    std::istringstream in(read(path(name)));
    for (std::string l; std::getline(in, l);) out.push_back(unescape(l));
    return out;
}

struct Case {
    std::string title;
    std::map<std::string, Lines> sections;
    bool has(const std::string& name) const { return sections.contains(name); }
    const Lines& operator[](const std::string& name) const {
        static const Lines none;
        return has(name) ? sections.at(name) : none;
    }
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.title; }
};

inline std::vector<Case> read_cases(const std::string& name) {
    std::vector<Case> out;
    Lines* section = nullptr;
    for (const std::string& l : lines(name)) {
        if (l.starts_with("=== ")) out.push_back({l.substr(4), {}}), section = &out.back().sections["in"];
        else if (l.starts_with("--- ") && section) section = &out.back().sections[l.substr(4)];
        else if (section) section->push_back(l);
    }
    EXPECT_FALSE(out.empty()) << name;
    return out;
}

inline std::vector<Lines> rows(const std::string& name) {
    std::vector<Lines> out;
    std::istringstream in(read(path(name)));
    for (std::string l; std::getline(in, l);) {
        if (l.empty() || l[0] == '#') continue;
        out.emplace_back();
        for (std::size_t from = 0, at = 0; at != std::string::npos; from = at + 3)
            out.back().push_back(unescape(l.substr(from, (at = l.find(" | ", from)) - from)));
    }
    EXPECT_FALSE(out.empty()) << name;
    return out;
}

// An expected report kept with LF line ends, "<TAB>" for its tabs and
// "<today>" for the date: the text with CR LF, tabs and the date given.
inline std::string report(const std::string& name, const std::string& today) {
    std::string out;
    for (std::string l : lines(name)) {
        for (auto at = l.find("<TAB>"); at != std::string::npos; at = l.find("<TAB>")) l.replace(at, 5, "\t");
        if (auto at = l.find("<today>"); at != std::string::npos) l.replace(at, 7, today);
        out += l + "\r\n";
    }
    return out;
}

// A test name made of a case's title: its letters and digits, other runs of
// characters as one "_".
inline std::string testName(const std::string& title) {
    std::string name;
    for (char c : title) {
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
        else if (!name.empty() && name.back() != '_') name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

// Lines each ended by CR LF; `last` false leaves the last one open.
inline std::string crlf(const Lines& ls, bool last = true) {
    std::string s;
    for (const auto& l : ls) s += l + "\r\n";
    return last || s.empty() ? s : s.substr(0, s.size() - 2);
}

// A fresh, empty folder for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() { clear(); }
    ~ScratchDir() { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) out.insert(e.path().filename().string());
        return out;
    }
    void clear() {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }

private:
    std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() /
        ("varnel-test-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
         std::to_string(::getpid()));
};

}  // namespace cases
