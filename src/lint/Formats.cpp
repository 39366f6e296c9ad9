#include "lint/Formats.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "lint/RuleDocs.h"
#include "lint/Spool.h"
#include "scan/MessageCatalogue.h"

namespace lint {

namespace {

// Whether a text is valid UTF-8.
bool isUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : 9;
        if (n == 9 || (n > 0 && b < 0xC2) || i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n + 1;
    }
    return true;
}

// A JSON string of a text, appended to out: runs of plain ASCII in one
// piece, the rest escaped; bytes from 0x80 up are read as Windows-1252
// (cp1252) or passed on as they are (UTF-8 already).
//
// Bytes that go into the string as they are, looked up once per byte: bit 1
// when the text is UTF-8 already, bit 2 when it is read as Windows-1252.
constexpr unsigned char PlainUtf8 = 1, PlainCp1252 = 2;
constexpr std::array<unsigned char, 256> JsonPlain = [] {
    std::array<unsigned char, 256> t{};
    for (unsigned b = 0x20; b < 256; ++b)
        if (b != '"' && b != '\\') t[b] = b < 0x80 ? (PlainUtf8 | PlainCp1252) : PlainUtf8;
    return t;
}();

void appendJsonText(std::string& out, std::string_view text, bool cp1252, bool quoted = true) {
    static const char* const Hex = "0123456789abcdef";
    if (quoted) out += '"';
    const unsigned char plain = cp1252 ? PlainCp1252 : PlainUtf8;
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (JsonPlain[b] & plain) continue;
        out.append(text, run, i - run);
        run = i + 1;
        switch (b) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (b < 0x20) {
                    out += "\\u00";
                    out += Hex[b >> 4];
                    out += Hex[b & 15];
                } else {
                    appendUtf8(out, text.substr(i, 1));
                }
        }
    }
    out.append(text, run, text.size() - run);
    if (quoted) out += '"';
}

// A JSON string of 8-bit text read as Windows-1252, appended to out.
void appendJson(std::string& out, std::string_view text) { appendJsonText(out, text, true); }

// A text of each catalogue row, made once: `make` gives it from the row.
template <class Make>
const std::string& perRow(const scan::CatalogueEntry& e, Make make) {
    static const std::vector<std::string> texts = [&] {
        std::vector<std::string> v;
        for (const scan::CatalogueEntry& row : scan::messageCatalogue()) v.push_back(make(row));
        return v;
    }();
    return texts[static_cast<std::size_t>(&e - scan::messageCatalogue().data())];
}

// A row's text as a JSON string, quotes included.
const std::string& jsonMessage(const scan::CatalogueEntry& e) {
    return perRow(e, [](const scan::CatalogueEntry& row) { return jsonString(row.text); });
}

// A row's text on one line, escaped for JSON, without quotes.
const std::string& jsonOneLineMessage(const scan::CatalogueEntry& e) {
    return perRow(e, [](const scan::CatalogueEntry& row) {
        std::string out;
        appendJsonText(out, oneLineMessage(row), true, false);
        return out;
    });
}

// A piece that collects its text and hands it on in pieces of some size.
class BufferedPiece : public FilePiece {
protected:
    explicit BufferedPiece(PieceOut out) : out_(std::move(out)) {}
    void flushIfFull() {
        if (text_.size() >= (std::size_t{1} << 16)) flush();
    }
    void flush() {
        if (!text_.empty()) out_(text_);
        text_.clear();
    }
    std::string text_;
    PieceOut out_;
};

// Report: the engine's report text, byte for byte.
class ReportWriter : public FormatWriter {
    class Piece : public FilePiece {
    public:
        explicit Piece(PieceOut out) : out_(std::move(out)) {}
        void findings(const std::vector<Finding>&) override {}
        void finish(const FileResult&, const Counts&, std::string report) override {
            if (!report.empty()) out_(report);
        }

    private:
        PieceOut out_;
    };

public:
    std::unique_ptr<FilePiece> file(const std::string&, PieceOut out) const override {
        return std::make_unique<Piece>(std::move(out));
    }
};

// gcc: PATH:LINE: error|warning|note: MESSAGE [RULE], one finding a line,
// in UTF-8: the usage words read as Windows-1252, the path as jsonPath reads
// it, with its backslashes and control characters escaped as `ls -b` writes
// them ("\\", "\n", "\t", "\r", else "\ooo"), so that no name can end a
// line or start another.
class GccWriter : public FormatWriter {
    class Piece : public BufferedPiece {
    public:
        Piece(const std::string& path, PieceOut out) : BufferedPiece(std::move(out)), path_(gccPath(path)) {}
        void findings(const std::vector<Finding>& batch) override {
            for (const Finding& f : batch) {
                if (f.suppressed) continue;
                std::string& out = text_;
                ((out += path_) += ':') += std::to_string(f.line > 0 ? f.line : 1);
                (((out += ": ") += levelName(f.entry->grade)) += ": ") += oneLineMessage(*f.entry);
                if (!f.usage.empty()) appendUtf8(out += ' ', f.usage);
                ((out += " [") += f.ruleId) += "]\n";
                flushIfFull();
            }
        }
        void finish(const FileResult& r, const Counts&, std::string) override {
            for (const Note& n : r.notes)
                text_ += path_ + ':' + std::to_string(n.line) + ": note: " + n.message + " [" + NoteRuleId + "]\n";
            flush();
        }

    private:
        std::string path_;
    };

public:
    std::unique_ptr<FilePiece> file(const std::string& path, PieceOut out) const override {
        return std::make_unique<Piece>(path, std::move(out));
    }

private:
    static std::string gccPath(const std::string& path) {
        std::string out;
        for (char ch : isUtf8(path) ? path : windows1252ToUtf8(path)) {
            const auto b = static_cast<unsigned char>(ch);
            if (b == '\\') out += "\\\\";
            else if (b == '\n') out += "\\n";
            else if (b == '\t') out += "\\t";
            else if (b == '\r') out += "\\r";
            else if (b < 0x20 || b == 0x7F) {
                char octal[5];
                std::snprintf(octal, sizeof octal, "\\%03o", b);
                out += octal;
            } else out += ch;
        }
        return out;
    }
};

std::string jsonCounts(const Counts& c) {
    return "\"errors\": " + std::to_string(c.errors) + ", \"warnings\": " + std::to_string(c.warnings) +
           ", \"suggestions\": " + std::to_string(c.suggestions);
}

// JSON: the tool, one object per file with its findings, and a summary.
// A file's object opens with its counts, known at its end: its findings and
// the texts of their lines are held in spools until then.
class JsonWriter : public FormatWriter {
    class Piece : public FilePiece {
    public:
        explicit Piece(PieceOut out) : out_(std::move(out)) {}
        void findings(const std::vector<Finding>& batch) override {
            std::string out;
            for (const Finding& f : batch) {
                if (f.suppressed) continue;
                out += first_ ? "\n" : ",\n";
                first_ = false;
                const bool lined = f.line > 0;
                ((out += "      {\"rule\": \"") += f.ruleId) += "\", \"number\": \"";
                ((out += f.entry->number) += "\", \"grade\": \"") += gradeName(f.entry->grade);
                out += "\", \"message\": ";
                out += jsonMessage(*f.entry);
                out += ", \"usage\": ";
                appendJson(out, f.usage);
                out += ", \"procedure\": ";
                if (lined) appendJson(out, f.procedure);
                else out += "null";
                out += ", \"line\": ";
                out += lined ? std::to_string(f.line) : "null";
                out += '}';
            }
            findings_.append(out);
            // The text of each line with findings, once, however many
            // findings it has: "sources": {"LINE": "text", ...}. A line's
            // findings come one after another.
            out.clear();
            for (const Finding& f : batch) {
                if (f.line <= 0 || f.line == lastSource_) continue;
                ((out += lastSource_ == 0 ? "\"" : ", \"") += std::to_string(f.line)) += "\": ";
                lastSource_ = f.line;
                appendJson(out, f.source);
            }
            sources_.append(out);
        }
        void finish(const FileResult& r, const Counts& counts, std::string) override {
            out_("\n    {\"path\": " + jsonPath(r.path) + ", \"internalName\": " + jsonString(r.internalName) +
                 ", \"lines\": " + std::to_string(r.lineCount) + ", " + jsonCounts(counts) + ", \"findings\": [");
            findings_.drainTo(out_);
            out_(first_ ? "], \"sources\": {" : "\n    ], \"sources\": {");
            sources_.drainTo(out_);
            std::string out = "}";
            if (!r.notes.empty()) {
                out += ", \"notes\": [";
                for (std::size_t i = 0; i < r.notes.size(); ++i)
                    out += std::string(i ? ", " : "") + "{\"line\": " + std::to_string(r.notes[i].line) +
                           ", \"message\": " + jsonString(r.notes[i].message) + "}";
                out += ']';
            }
            out_(out += '}');
        }

    private:
        PieceOut out_;
        Spool findings_, sources_;
        bool first_ = true;    // no finding written yet
        long lastSource_ = 0;  // the line whose text was given last
    };

public:
    std::string opening() const override {
        return std::string("{\n  \"tool\": {\"name\": \"sifton\", \"version\": ") + jsonString(toolVersion()) +
               "},\n  \"files\": [";
    }
    std::unique_ptr<FilePiece> file(const std::string&, PieceOut out) const override {
        return std::make_unique<Piece>(std::move(out));
    }
    std::string separator() const override { return ","; }
    std::string closing(const Totals& t) const override {
        return "\n  ],\n  \"summary\": {\"files\": " + std::to_string(t.files) +
               ", \"unreadable\": " + std::to_string(t.unreadable) + ", " + jsonCounts(t.counts) + "}\n}\n";
    }
};

// A URI reference of a path: unreserved characters and "/" as they are,
// every other byte percent-encoded.
std::string uriOfPath(const std::string& path) {
    static const char* const Hex = "0123456789ABCDEF";
    std::string out;
    for (char ch : path) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '.' ||
            b == '_' || b == '~' || b == '/') {
            out += ch;
        } else {
            out += '%';
            out += Hex[b >> 4];
            out += Hex[b & 15];
        }
    }
    return out;
}

// The fingerprint of a finding: 64-bit FNV-1a (fnv) over its rule,
// procedure, normalised source text and usage, what identifies it when lines
// move.
// The same over a text with its blanks normalised (see normaliseBlanks).
std::uint64_t fnvNormalised(std::uint64_t h, std::string_view text) {
    constexpr std::uint64_t Prime = 1099511628211ull;
    bool pending = false, any = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            pending = any;
            continue;
        }
        if (pending) {
            h = (h ^ static_cast<unsigned char>(' ')) * Prime;
            pending = false;
        }
        any = true;
        h = (h ^ static_cast<unsigned char>(c)) * Prime;
    }
    return h;
}

// The results of one file in a SARIF run.
class SarifPiece : public BufferedPiece {
public:
    SarifPiece(const std::string& path, PieceOut out) : BufferedPiece(std::move(out)) {
        const std::string portable = portablePath(path);
        const bool relative = portable.empty() || portable[0] != '/';
        artifact_ = "{\"uri\": " + jsonString(relative ? uriOfPath(portable) : "file://" + uriOfPath(portable)) +
                    (relative ? ", \"uriBaseId\": \"%SRCROOT%\"}" : "}");
    }
    void findings(const std::vector<Finding>& batch) override {
        std::string& out = text_;
        for (const Finding& f : batch) {
            out += first_ ? "\n" : ",\n";
            first_ = false;
            // The hash of rule, procedure and line text is made once per rule
            // and line however many findings the rule files there.
            if (f.line != hashedLine_) {
                lineHashes_.clear();
                hashedLine_ = f.line;
            }
            auto cached = lineHashes_.find(f.ruleId);
            if (cached == lineHashes_.end()) {
                std::uint64_t h = fnv(fnv(fnv(fnv(FnvStart, f.ruleId), "\x1f"), f.procedure), "\x1f");
                cached = lineHashes_.emplace(f.ruleId, fnv(fnvNormalised(h, f.source), "\x1f")).first;
            }
            const std::uint64_t hash = fnv(fnv(cached->second, f.usage), "\x1f");
            const long occurrence = ++given_[hash];
            ((out += "        {\"ruleId\": \"") += f.ruleId) += "\", \"ruleIndex\": ";
            ((out += std::to_string(ruleIndex(*f.entry))) += ", \"level\": \"") += levelName(f.entry->grade);
            out += "\", \"message\": {\"text\": ";
            out += '"';
            out += jsonOneLineMessage(*f.entry);
            if (!f.usage.empty()) {
                out += ' ';
                appendJsonText(out, f.usage, true, false);
            }
            out += '"';
            ((out += "}, \"locations\": [{\"physicalLocation\": {\"artifactLocation\": ") += artifact_) +=
                ", \"region\": {\"startLine\": ";
            (out += std::to_string(f.line > 0 ? f.line : 1)) +=
                "}}}], \"partialFingerprints\": {\"siftonFinding/v1\": \"";
            appendHex(out, hash);
            // Equal findings (the same statement twice in a procedure) are
            // told apart by their order: the second is "<hash>:2".
            if (occurrence > 1) (out += ':') += std::to_string(occurrence);
            out += "\"}";
            // Code scanning services keep an accepted finding, marked as such.
            if (f.suppressed) out += ", \"suppressions\": [{\"kind\": \"inSource\"}]";
            out += '}';
            flushIfFull();
        }
    }
    void finish(const FileResult& r, const Counts&, std::string) override {
        for (const Note& n : r.notes) {
            text_ += first_ ? "\n" : ",\n";
            first_ = false;
            text_ += "        {\"ruleId\": \"" + std::string(NoteRuleId) +
                     "\", \"ruleIndex\": " + std::to_string(scan::messageCatalogue().size()) +
                     ", \"level\": \"note\", \"message\": {\"text\": " + jsonString(n.message) +
                     "}, \"locations\": [{\"physicalLocation\": {\"artifactLocation\": " + artifact_ +
                     ", \"region\": {\"startLine\": " + std::to_string(n.line) + "}}}]}";
        }
        flush();
    }

private:
    static std::size_t ruleIndex(const scan::CatalogueEntry& e) {
        return static_cast<std::size_t>(&e - scan::messageCatalogue().data());
    }
    std::string artifact_;
    bool first_ = true;
    long hashedLine_ = -1;
    std::unordered_map<std::string, std::uint64_t> lineHashes_;  // by rule, for the line hashedLine_
    std::unordered_map<std::uint64_t, long> given_;              // how often each fingerprint was given
};

// SARIF 2.1.0: one run, one rule per catalogue row, one result per finding.
// A module finding is placed on line 1, as code scanning services want a line.
class SarifWriter : public FormatWriter {
public:
    std::string opening() const override {
        std::string out =
            "{\n  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n  \"version\": \"2.1.0\",\n"
            "  \"runs\": [\n    {\n      \"tool\": {\n        \"driver\": {\n          \"name\": \"sifton\",\n"
            "          \"version\": " +
            jsonString(toolVersion()) + ",\n          \"rules\": [";
        bool first = true;
        for (const scan::CatalogueEntry& e : scan::messageCatalogue()) {
            out += first ? "\n" : ",\n";
            first = false;
            const RuleDoc& doc = ruleDocs()[static_cast<std::size_t>(&e - scan::messageCatalogue().data())];
            out += "            {\"id\": \"" + scan::ruleId(e) +
                   "\", \"shortDescription\": {\"text\": " + jsonString(oneLineMessage(e)) +
                   "}, \"fullDescription\": {\"text\": " + jsonString(doc.checks) +
                   "}, \"help\": {\"text\": " + jsonString(explainText(doc)) +
                   ", \"markdown\": " + jsonString(explainMarkdown(doc)) +
                   "}, \"defaultConfiguration\": {\"level\": \"" + levelName(e.grade) + "\"}}";
        }
        // The notes on suppression comments, after the catalogue's rules.
        const char* const noteText = "A suppression comment names no rule or suppresses nothing.";
        out += ",\n            {\"id\": \"" + std::string(NoteRuleId) + "\", \"shortDescription\": {\"text\": \"" +
               noteText + "\"}, \"fullDescription\": {\"text\": \"" + noteText + "\"}, \"help\": {\"text\": \"" +
               noteText + "\"}, \"defaultConfiguration\": {\"level\": \"note\"}}";
        return out + "\n          ]\n        }\n      },\n      \"results\": [";
    }
    std::unique_ptr<FilePiece> file(const std::string& path, PieceOut out) const override {
        return std::make_unique<SarifPiece>(path, std::move(out));
    }
    std::string separator() const override { return ","; }
    std::string closing(const Totals& t) const override {
        return std::string("\n      ],\n      \"invocations\": [{\"executionSuccessful\": ") +
               (t.unreadable == 0 ? "true" : "false") + "}]\n    }\n  ]\n}\n";
    }
};

}  // namespace

std::optional<Format> parseFormat(const std::string& name) {
    if (name == "report") return Format::Report;
    if (name == "gcc") return Format::Gcc;
    if (name == "json") return Format::Json;
    if (name == "sarif") return Format::Sarif;
    return std::nullopt;
}

std::unique_ptr<FormatWriter> makeWriter(Format format) {
    switch (format) {
        case Format::Report: return std::make_unique<ReportWriter>();
        case Format::Gcc: return std::make_unique<GccWriter>();
        case Format::Json: return std::make_unique<JsonWriter>();
        case Format::Sarif: return std::make_unique<SarifWriter>();
    }
    return nullptr;
}

std::string jsonString(std::string_view text) {
    std::string out;
    appendJson(out, text);
    return out;
}

std::string jsonPath(const std::string& path) {
    std::string out;
    appendJsonText(out, path, !isUtf8(path));
    return out;
}

const char* toolVersion() { return SIFTON_VERSION; }

}  // namespace lint
