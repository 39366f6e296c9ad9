#pragma once
// The findings of one scanned file as records, built from what the engine
// filed, and the few ways the formats and the baseline look at one.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "scan/MessageCatalogue.h"
#include "scan/clsOculon.h"

namespace lint {

struct Finding {
    const scan::CatalogueEntry* entry = nullptr;  // catalogue row: number, grade, text
    std::string ruleId;                           // "SF022"
    std::string usage;                            // the hint as the report shows it: "{x} {}"; may be ""
    // These view the texts of the FileResult that holds the finding.
    std::string_view procedure;  // the line's location; "" for a module finding
    long line = 0;               // 1-based physical line where the logical line starts; 0 for a module finding
    std::string_view source;     // the logical line without its final line end; "" for a module finding
    bool suppressed = false;     // a suppression comment accepts it (see Suppressions.h)
};

// A remark on the file that is no finding of the catalogue (a suppression
// comment that names no rule or suppresses nothing).
struct Note {
    long line = 0;  // 1-based
    std::string message;
};
// The rule id under which notes are reported.
inline constexpr const char* NoteRuleId = "suppression";

struct FileResult {
    std::string path;  // as given on the command line or found by the folder walk
    std::string internalName;
    long lineCount = 0;  // logical lines cut
    std::vector<Finding> findings;
    std::vector<Note> notes;
    // The procedure and text of each line with findings, kept once however
    // many findings the line has; a deque, so that they never move.
    std::deque<std::string> texts;
};

// Findings per grade (suppressed ones are not counted).
struct Counts {
    long errors = 0, warnings = 0, suggestions = 0;
    void add(scan::Grade g) {
        (g == scan::Grade::Error ? errors : g == scan::Grade::Warning ? warnings : suggestions)++;
    }
    void add(const Counts& o) {
        errors += o.errors;
        warnings += o.warnings;
        suggestions += o.suggestions;
    }
};

// The record of a finding the engine filed on `line` (null: a module
// finding); its texts view the line's.
Finding recordOf(const scan::tFinding& finding, const scan::tSourceLine* line);

// The records of the file the engine loaded last (with its lines and
// findings kept); they stay valid when the engine loads the next one.
FileResult collectFindings(const scan::clsOculon& engine, const std::string& path);

Counts countFindings(const std::vector<Finding>& findings);

// Whether a check level reports findings of a grade: 1 errors only, 2 errors
// and warnings, 3 everything.
bool withinLevel(scan::Grade grade, int level);

// The catalogue text on one line, without its grade label: a line end and the
// indentation after it become one blank. "Error:   Dim of ..." -> "Dim of ...".
const std::string& oneLineMessage(const scan::CatalogueEntry& entry);

// A text with every run of blanks, tabs and line ends made one blank, and
// none at either end.
std::string normaliseBlanks(std::string_view text);

// A path as the baseline and SARIF name it: relative to the current folder
// and without "." steps when it lies inside it ("./src/../a.bas" -> "a.bas"),
// otherwise absolute.
std::string portablePath(const std::string& path);

// 8-bit source text as UTF-8, each byte read as Windows-1252; the five bytes
// with no character there keep their code points (0x81 -> U+0081).
std::string windows1252ToUtf8(std::string_view text);
// The same, appended to `out`.
void appendUtf8(std::string& out, std::string_view text);

// 64-bit FNV-1a of a text, continuing from `hash`: the same in every run and
// on every machine, for keys that must stay stable.
constexpr std::uint64_t FnvStart = 14695981039346656037ull;
std::uint64_t fnv(std::uint64_t hash, std::string_view text);

// The 16 lower-case hex digits of a hash, appended to out.
void appendHex(std::string& out, std::uint64_t hash);

// "error", "warning" or "suggest": the grade's own name.
const char* gradeName(scan::Grade grade);

// "error", "warning" or "note": the grade as compilers and SARIF name it.
const char* levelName(scan::Grade grade);

}  // namespace lint
