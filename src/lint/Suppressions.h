#pragma once
// Suppression comments: findings a team has accepted, marked in the code so
// that a review sees them.
//   Dim vntAny ' sifton: ignore SF022         the rules named, for this statement
//   ' sifton: ignore SF022, SF003             alone on a line: for the statement below
//   ' sifton: ignore-file SF022               in the declarations: for the whole file
// A comment that names an unknown rule, or a rule that the scan reports but
// that the comment suppresses nothing of, is itself reported as a note.
// The report format and the scanner window do not read them.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lint/Findings.h"

namespace lint {

// Follows the suppression comments of one file as its lines go by, so that
// the findings of a line are judged as soon as the line is done: a comment
// covers its own statement or the one below it. An "ignore-file" comment,
// which covers the findings above it too, is read in a pass before
// (takeFileMarks), or all lines are read before any finding is judged.
class SuppressionMarks {
public:
    // `reported`: as for applySuppressions.
    explicit SuppressionMarks(std::function<bool(const scan::CatalogueEntry&)> reported)
        : reported_(std::move(reported)) {}
    // Reads the comment of the file's next logical line (every line, in
    // order); notes on the comment itself go to `notes`.
    void read(const scan::tSourceLine& line, std::vector<Note>& notes);
    // Takes the "ignore-file" comments of the file from marks that read all
    // its lines before (none: it has none); read() then takes no more.
    void takeFileMarks(const SuppressionMarks& before);
    // Marks the finding suppressed when a comment read so far accepts it.
    void judge(Finding& finding);
    // Forgets the comments for the lines up to physical line `line`, whose
    // findings are all judged, with a note for each rule that named no rule
    // or suppressed nothing.
    void closeThrough(long line, std::vector<Note>& notes);
    // The same for every comment left; then sorts the notes by line.
    void finish(std::vector<Note>& notes);

private:
    struct Mark {
        std::string id;                               // as written
        const scan::CatalogueEntry* entry = nullptr;  // null when it names no rule
        long commentLine = 0;                         // where the comment stands (1-based)
        bool used = false;
    };
    bool accept(std::vector<Mark>& marks, const Finding& finding);
    void noteUnused(const std::vector<Mark>& marks, std::vector<Note>& notes) const;

    std::function<bool(const scan::CatalogueEntry&)> reported_;
    std::map<long, std::vector<Mark>> lineMarks_;  // by the physical line of the statement they cover
    std::vector<Mark> fileMarks_;
    bool fileMarksGiven_ = false;  // the file marks were read before the scan
};

// Whether a text may hold an "ignore-file" comment (the words in any case).
bool mayHaveFileMarks(std::string_view text);

// Marks the findings of `result` (records of the file `engine` loaded last)
// that a suppression comment accepts, and adds a note for each comment, or
// each rule of one, that names no rule or suppresses nothing. `reported`
// tells which rules the scan reports (the check level and ignored rules): a
// comment for a rule that is not reported is not noted as unused.
void applySuppressions(const scan::clsOculon& engine, FileResult& result,
                       const std::function<bool(const scan::CatalogueEntry&)>& reported);

// The rule ids of a suppression comment's text (after its apostrophe):
// " sifton: ignore SF022, SF003" -> {"SF022", "SF003"} with `file` false;
// " sifton: ignore-file SF022" -> {"SF022"} with `file` true; nullopt for any
// other comment. The ids end at the first word that is no id.
std::optional<std::vector<std::string>> parseSuppression(std::string comment, bool& file);

}  // namespace lint
