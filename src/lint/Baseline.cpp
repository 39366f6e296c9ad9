#include "lint/Baseline.h"

namespace lint {

const char* const BaselineHeader =
    "# sifton baseline: path, rule, procedure, source text (tab-separated); one accepted finding a line";

namespace {

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

// The fields after the path.
std::string restOf(const Finding& f) {
    const std::string text = f.line > 0 ? normaliseBlanks(f.source) : std::string(f.usage);
    return f.ruleId + "\t" + escapeField(windows1252ToUtf8(f.procedure)) + "\t" + escapeField(windows1252ToUtf8(text));
}

}  // namespace

std::string baselineLine(const std::string& path, const Finding& finding) {
    return escapeField(path) + "\t" + restOf(finding);
}

void Baseline::addLine(const std::string& line) {
    std::string l = line;
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l.empty() || l[0] == '#') return;
    const std::size_t tab = l.find('\t');
    if (tab == std::string::npos) return;
    ++entries_[l.substr(0, tab)][l.substr(tab + 1)];
}

std::vector<bool> Baseline::excused(const std::string& path, const std::vector<Finding>& findings) const {
    std::vector<bool> out(findings.size(), false);
    auto it = entries_.find(escapeField(path));
    if (it == entries_.end()) return out;
    std::map<std::string, int> left = it->second;
    for (std::size_t i = 0; i < findings.size(); ++i) {
        auto e = left.find(restOf(findings[i]));
        if (e != left.end() && e->second > 0) {
            --e->second;
            out[i] = true;
        }
    }
    return out;
}

}  // namespace lint
