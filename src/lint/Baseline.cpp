#include "lint/Baseline.h"

#include <filesystem>
#include <system_error>

namespace lint {

const char* const BaselineHeader =
    "# sifton baseline, format 2: path (relative to this file's folder), rule, procedure, source text; "
    "tab-separated, \\ escapes; one accepted finding a line";

namespace {

// What the first line of a baseline starts with, by format.
constexpr std::string_view Format2 = "# sifton baseline, format 2:";
constexpr std::string_view Format1 = "# sifton baseline:";

// Keeps tabs, line ends and backslashes from breaking a field or a line.
std::string escapeField(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

// Whether a line is an entry: four fields, the second a rule id, and no
// backslash but the four escapes.
bool isEntry(std::string_view line) {
    std::size_t tabs = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') ++tabs;
        else if (line[i] == '\\' &&
                 (++i == line.size() || std::string_view("\\tnr").find(line[i]) == std::string_view::npos))
            return false;
    }
    const std::size_t rule = line.find('\t') + 1;
    return tabs == 3 && rule > 1 && line.substr(rule, 2) == "SF";
}

// A line's text as a field: its blanks normalised. In format 2 a text of
// more than LongText bytes keeps its first KeptOfLong bytes and a hash of
// the whole, so that a baseline grows with its findings, not with findings
// times the length of their lines.
constexpr std::size_t LongText = 200, KeptOfLong = 160;
std::string textField(std::string_view source, bool abbreviate) {
    std::string text = normaliseBlanks(source);
    if (abbreviate && text.size() > LongText) {
        const std::uint64_t hash = fnv(FnvStart, text);
        text.resize(KeptOfLong);
        appendHex(text += " ... #", hash);
    }
    return escapeField(windows1252ToUtf8(text));
}

// The fields after the path, for the findings of one file. The findings of a
// line view the same text, which is made a field once.
class Rest {
public:
    explicit Rest(bool abbreviate) : abbreviate_(abbreviate) {}
    std::string of(const Finding& f) {
        if (f.line <= 0) return head(f) + escapeField(windows1252ToUtf8(f.usage));
        // Compared by line and text: the texts of findings handed over line
        // by line may sit where an earlier line's were.
        if (f.line != line_ || f.source != source_) {
            line_ = f.line;
            source_ = f.source;
            text_ = textField(f.source, abbreviate_);
        }
        return head(f) + text_;
    }

private:
    static std::string head(const Finding& f) {
        return f.ruleId + "\t" + escapeField(windows1252ToUtf8(f.procedure)) + "\t";
    }
    bool abbreviate_;
    long line_ = 0;
    std::string source_;
    std::string text_;
};

}  // namespace

std::string baselinePath(const std::string& file, const std::string& baselineFile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path from = fs::absolute(fs::path(baselineFile), ec).lexically_normal().parent_path();
    const fs::path rel = fs::absolute(fs::path(file), ec).lexically_normal().lexically_relative(from);
    return ec || rel.empty() ? file : rel.string();
}

std::vector<std::string> baselineLines(const std::string& path, const std::vector<Finding>& findings) {
    const std::string field = escapeField(path) + "\t";
    Rest rest(true);
    std::vector<std::string> out;
    out.reserve(findings.size());
    for (const Finding& f : findings)
        if (!f.suppressed) out.push_back(field + rest.of(f));
    return out;
}

std::string Baseline::read(const std::string& baselineFile, const std::string& text) {
    file_ = baselineFile;
    entries_.clear();
    if (text.empty()) return "empty, not a baseline (--write-baseline writes one)";
    const std::string_view all(text);
    const std::string_view first = all.substr(0, all.find('\n'));
    firstFormat_ = first.starts_with(Format1);
    if (!first.starts_with(Format2) && !firstFormat_)
        return "not a baseline: its first line is not \"" + std::string(Format2) + " ...\"";
    if (text.back() != '\n') return "cut short: its last line has no line end";
    long number = 1;
    for (std::size_t at = first.size() + 1; at < all.size(); ++number) {
        const std::size_t end = all.find('\n', at);
        std::string_view line = all.substr(at, end - at);
        at = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (firstFormat_ && (line.empty() || line[0] == '#')) continue;
        if (!isEntry(line)) {
            entries_.clear();
            return "line " + std::to_string(number + 1) + " is not a baseline entry";
        }
        const std::size_t tab = line.find('\t');
        ++entries_[std::string(line.substr(0, tab))][std::string(line.substr(tab + 1))];
    }
    return "";
}

std::function<bool(const Finding&)> Baseline::matcher(const std::string& file) const {
    auto it = entries_.find(escapeField(firstFormat_ ? portablePath(file) : baselinePath(file, file_)));
    if (it == entries_.end()) return [](const Finding&) { return false; };
    return [left = it->second, rest = Rest(!firstFormat_)](const Finding& f) mutable {
        auto e = left.find(rest.of(f));
        if (e == left.end() || e->second == 0) return false;
        --e->second;
        return true;
    };
}

}  // namespace lint
