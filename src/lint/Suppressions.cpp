#include "lint/Suppressions.h"

#include <algorithm>
#include <map>
#include <optional>

#include "textlib/TextLib.h"

namespace lint {

namespace {

// One rule named by one comment.
struct Mark {
    std::string id;                               // as written
    const scan::CatalogueEntry* entry = nullptr;  // null when it names no rule
    long commentLine = 0;                         // where the comment stands (1-based)
    bool used = false;
};

// The comment of a logical line: the text after its first apostrophe that
// stands outside a string literal; nullopt when it has none.
std::optional<std::string> commentOf(const std::string& text) {
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') inString = !inString;
        else if (text[i] == '\'' && !inString) return text.substr(i + 1);
        else if (text[i] == '\n') inString = false;
    }
    return std::nullopt;
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

void applySuppressions(const scan::clsOculon& engine, FileResult& result,
                       const std::function<bool(const scan::CatalogueEntry&)>& reported) {
    // Marks by the physical line of the statement they cover (0: the file).
    std::map<long, std::vector<Mark>> marks;
    const auto& lines = engine.lines();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const scan::tSourceLine& line = lines[i];
        if (line.iPhysicalLine <= 0) continue;
        std::optional<std::string> comment = commentOf(line.sText);
        if (!comment) continue;
        bool file = false;
        std::optional<std::vector<std::string>> ids = parseSuppression(*comment, file);
        if (!ids) continue;
        // The comment's own physical line: the last one of a continued statement.
        long commentLine = line.iPhysicalLine;
        for (std::size_t k = 0; k + 1 < line.sText.size(); ++k)
            if (line.sText[k] == '\n') ++commentLine;
        long target;
        if (file) {
            if (line.sLocation != "(declarations)") {
                result.notes.push_back({commentLine, "sifton: ignore-file is read in the declarations only"});
                continue;
            }
            target = 0;
        } else {
            target = line.iWordCount == 0 ? commentLine + 1 : line.iPhysicalLine;
        }
        if (ids->empty()) result.notes.push_back({commentLine, "sifton: the suppression comment names no rule"});
        for (const std::string& id : *ids) marks[target].push_back({id, scan::findRule(id), commentLine, false});
    }
    if (marks.empty()) return;

    const auto accept = [&](long target, const Finding& f) {
        auto it = marks.find(target);
        if (it == marks.end()) return false;
        bool any = false;
        for (Mark& m : it->second) {
            if (m.entry && m.entry->id == f.entry->id) {
                m.used = true;
                any = true;
            }
        }
        return any;
    };
    for (Finding& f : result.findings) {
        const bool byLine = f.line > 0 && accept(f.line, f);
        const bool byFile = accept(0, f);
        f.suppressed = byLine || byFile;
    }

    for (const auto& [target, list] : marks) {
        for (const Mark& m : list) {
            if (!m.entry) result.notes.push_back({m.commentLine, "sifton: no rule " + m.id + " (see --list-messages)"});
            else if (!m.used && reported(*m.entry))
                result.notes.push_back(
                    {m.commentLine, "sifton: ignore " + scan::ruleId(*m.entry) + " suppresses nothing"});
        }
    }
    std::stable_sort(result.notes.begin(), result.notes.end(),
                     [](const Note& a, const Note& b) { return a.line < b.line; });
}

}  // namespace lint
