#include "lint/Findings.h"

#include <filesystem>
#include <system_error>

#include "platform/TextCodec.h"

namespace lint {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The logical line's text without its final line end.
std::string_view withoutLineEnd(std::string_view text) {
    std::size_t n = text.size();
    if (n > 0 && text[n - 1] == '\n') --n;
    if (n > 0 && text[n - 1] == '\r') --n;
    return text.substr(0, n);
}

std::string makeOneLine(const std::string& text) {
    std::size_t start = text.find(':');
    start = start == std::string::npos ? 0 : start + 1;
    while (start < text.size() && text[start] == ' ') ++start;
    std::string out;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            while (i + 1 < text.size() && isBlank(text[i + 1])) ++i;
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

// The rule id of a catalogue row ("SF022"), made once per row.
const std::string& ruleIdOf(const scan::CatalogueEntry& entry) {
    static const std::vector<std::string> ids = [] {
        std::vector<std::string> v;
        for (const scan::CatalogueEntry& e : scan::messageCatalogue()) v.push_back(scan::ruleId(e));
        return v;
    }();
    return ids[static_cast<std::size_t>(&entry - scan::messageCatalogue().data())];
}

}  // namespace

Finding recordOf(const scan::tFinding& finding, const scan::tSourceLine* line) {
    Finding out;
    out.entry = &scan::catalogueEntry(finding.id);
    out.ruleId = ruleIdOf(*out.entry);
    out.usage = finding.sUsage;
    if (line && finding.iLine > 0) {
        out.procedure = line->sLocation;
        out.line = line->iPhysicalLine;
        out.source = withoutLineEnd(line->sText);
    }
    return out;
}

FileResult collectFindings(const scan::clsOculon& engine, const std::string& path) {
    FileResult r;
    r.path = path;
    r.internalName = engine.internalName();
    r.lineCount = engine.lineCount();
    const auto& lines = engine.lines();
    r.findings.reserve(engine.findings().size());
    long lastLine = 0;  // the line whose texts were kept last
    std::string_view procedure, source;
    for (const scan::tFinding& f : engine.findings()) {
        const bool lined = f.iLine > 0 && static_cast<std::size_t>(f.iLine) < lines.size();
        Finding out = recordOf(f, lined ? &lines[static_cast<std::size_t>(f.iLine)] : nullptr);
        if (lined) {
            // A line's findings are filed one after another: its texts are
            // kept once.
            if (f.iLine != lastLine) {
                procedure = r.texts.emplace_back(out.procedure);
                source = r.texts.emplace_back(out.source);
                lastLine = f.iLine;
            }
            out.procedure = procedure;
            out.source = source;
        }
        r.findings.push_back(std::move(out));
    }
    return r;
}

Counts countFindings(const std::vector<Finding>& findings) {
    Counts c;
    for (const Finding& f : findings)
        if (!f.suppressed) c.add(f.entry->grade);
    return c;
}

bool withinLevel(scan::Grade grade, int level) {
    return level >= 3 || grade == scan::Grade::Error || (level == 2 && grade == scan::Grade::Warning);
}

const std::string& oneLineMessage(const scan::CatalogueEntry& entry) {
    static const std::vector<std::string> messages = [] {
        std::vector<std::string> m;
        for (const scan::CatalogueEntry& e : scan::messageCatalogue()) m.push_back(makeOneLine(e.text));
        return m;
    }();
    return messages[static_cast<std::size_t>(&entry - scan::messageCatalogue().data())];
}

std::string normaliseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i == start) break;
        if (!out.empty()) out += ' ';
        out.append(text, start, i - start);
    }
    return out;
}

std::string portablePath(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path abs = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec) return path;
    fs::path cwd = fs::current_path(ec);
    if (ec) return abs.string();
    fs::path rel = abs.lexically_relative(cwd);
    if (rel.empty() || *rel.begin() == "..") return abs.string();
    return rel.string();
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendUtf8(out, text);
    return out;
}

void appendUtf8(std::string& out, std::string_view text) {
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else out += platform::utf8(platform::charOfByte(b));
    }
}

std::uint64_t fnv(std::uint64_t hash, std::string_view text) {
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

void appendHex(std::string& out, std::uint64_t hash) {
    static const char* const Hex = "0123456789abcdef";
    char buf[16];
    for (int i = 15; i >= 0; --i, hash >>= 4) buf[i] = Hex[hash & 15];
    out.append(buf, sizeof buf);
}

const char* gradeName(scan::Grade grade) { return grade == scan::Grade::Suggest ? "suggest" : levelName(grade); }

const char* levelName(scan::Grade grade) {
    switch (grade) {
        case scan::Grade::Error: return "error";
        case scan::Grade::Warning: return "warning";
        case scan::Grade::Suggest: return "note";
    }
    return "none";
}

}  // namespace lint
