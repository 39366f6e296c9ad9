#include "lint/Suppressions.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

#include "textlib/TextLib.h"

namespace lint {

namespace {

// Where the comment of a logical line starts: just after its first
// apostrophe that stands outside a string literal; npos when it has none.
std::size_t commentStart(std::string_view text) {
    const std::size_t apostrophe = text.find('\'');
    if (apostrophe == std::string_view::npos) return std::string_view::npos;  // most lines
    // Without a quote before it, the first apostrophe starts the comment.
    if (text.find('"') > apostrophe) return apostrophe + 1;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') inString = !inString;
        else if (text[i] == '\'' && !inString) return i + 1;
        else if (text[i] == '\n') inString = false;
    }
    return std::string_view::npos;
}

// Whether a comment's text begins, after blanks and tabs, with "sifton:" in
// any case: the only comments parseSuppression reads, found without copying
// the many others.
bool startsSuppression(std::string_view text) {
    constexpr std::string_view Head = "sifton:";
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos || text.size() - first < Head.size()) return false;
    for (std::size_t k = 0; k < Head.size(); ++k) {
        char c = text[first + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != Head[k]) return false;
    }
    return true;
}

bool isIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }
}  // namespace

std::optional<std::vector<std::string>> parseSuppression(std::string comment, bool& file) {
    comment = textlib::Trim(textlib::ReplaceAll(comment, "\t", " "));
    const std::string lower = textlib::LCase(comment);
    constexpr std::string_view Head = "sifton:";
    if (lower.rfind(Head, 0) != 0) return std::nullopt;
    std::string rest = textlib::LTrim(comment.substr(Head.size()));
    const std::string restLower = textlib::LCase(rest);
    if (restLower.rfind("ignore-file", 0) == 0) {
        file = true;
        rest = rest.substr(11);
    } else if (restLower.rfind("ignore", 0) == 0) {
        file = false;
        rest = rest.substr(6);
    } else {
        return std::nullopt;
    }
    if (!rest.empty() && rest[0] != ' ' && rest[0] != ',') return std::nullopt;
    std::vector<std::string> ids;
    std::size_t i = 0;
    for (;;) {
        while (i < rest.size() && (rest[i] == ' ' || rest[i] == ',')) ++i;
        std::size_t start = i;
        while (i < rest.size() && isIdChar(rest[i])) ++i;
        if (i == start) break;
        std::string word = rest.substr(start, i - start);
        // An id is letters followed by digits (and a letter, as in SF004b).
        const bool looksLikeId = word.size() >= 3 && textlib::IsAlpha(word.substr(0, 1)) &&
                                 word.find_first_of("0123456789") != std::string::npos;
        if (!looksLikeId) break;
        ids.push_back(word);
        if (i < rest.size() && rest[i] != ' ' && rest[i] != ',') break;
    }
    return ids;
}

void SuppressionMarks::read(const scan::tSourceLine& line, std::vector<Note>& notes) {
    if (line.iPhysicalLine <= 0) return;
    const bool declarations = line.sLocation == "(declarations)";
    const std::size_t at = commentStart(line.sText);
    if (at == std::string_view::npos || !startsSuppression(line.sText.substr(at))) return;
    bool file = false;
    std::optional<std::vector<std::string>> ids = parseSuppression(std::string(line.sText.substr(at)), file);
    if (!ids) return;
    // The comment's own physical line: the last one of a continued statement.
    long commentLine = line.iPhysicalLine;
    for (std::size_t k = 0; k + 1 < line.sText.size(); ++k)
        if (line.sText[k] == '\n') ++commentLine;
    if (file && !declarations) {
        notes.push_back({commentLine, "sifton: ignore-file is read in the declarations only"});
        return;
    }
    if (ids->empty()) notes.push_back({commentLine, "sifton: the suppression comment names no rule"});
    if (file && fileMarksGiven_) return;
    std::vector<Mark>& marks =
        file ? fileMarks_ : lineMarks_[line.iWordCount == 0 ? commentLine + 1 : line.iPhysicalLine];
    for (const std::string& id : *ids) marks.push_back({id, scan::findRule(id), commentLine, false});
}

void SuppressionMarks::takeFileMarks(const SuppressionMarks& before) {
    fileMarks_ = before.fileMarks_;
    fileMarksGiven_ = true;
}

bool mayHaveFileMarks(std::string_view text) {
    constexpr std::string_view Words = "ignore-file";
    const auto same = [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + ('a' - 'A') : a) == b; };
    return std::search(text.begin(), text.end(), Words.begin(), Words.end(), same) != text.end();
}

bool SuppressionMarks::accept(std::vector<Mark>& marks, const Finding& finding) {
    bool any = false;
    for (Mark& m : marks) {
        if (m.entry && m.entry->id == finding.entry->id) {
            m.used = true;
            any = true;
        }
    }
    return any;
}

void SuppressionMarks::judge(Finding& finding) {
    bool byLine = false;
    if (finding.line > 0) {
        auto it = lineMarks_.find(finding.line);
        byLine = it != lineMarks_.end() && accept(it->second, finding);
    }
    const bool byFile = accept(fileMarks_, finding);
    finding.suppressed = byLine || byFile;
}

void SuppressionMarks::noteUnused(const std::vector<Mark>& marks, std::vector<Note>& notes) const {
    for (const Mark& m : marks) {
        if (!m.entry) notes.push_back({m.commentLine, "sifton: no rule " + m.id + " (see --list-messages)"});
        else if (!m.used && reported_(*m.entry))
            notes.push_back({m.commentLine, "sifton: ignore " + scan::ruleId(*m.entry) + " suppresses nothing"});
    }
}

void SuppressionMarks::closeThrough(long line, std::vector<Note>& notes) {
    while (!lineMarks_.empty() && lineMarks_.begin()->first <= line) {
        noteUnused(lineMarks_.begin()->second, notes);
        lineMarks_.erase(lineMarks_.begin());
    }
}

void SuppressionMarks::finish(std::vector<Note>& notes) {
    noteUnused(fileMarks_, notes);
    fileMarks_.clear();
    for (const auto& [target, marks] : lineMarks_) noteUnused(marks, notes);
    lineMarks_.clear();
    // Each comment's notes stay in the order of its rules.
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.line < b.line; });
}

void applySuppressions(const scan::clsOculon& engine, FileResult& result,
                       const std::function<bool(const scan::CatalogueEntry&)>& reported) {
    SuppressionMarks marks(reported);
    const auto& lines = engine.lines();
    for (std::size_t i = 1; i < lines.size(); ++i) marks.read(lines[i], result.notes);
    for (Finding& f : result.findings) marks.judge(f);
    marks.finish(result.notes);
}

}  // namespace lint
