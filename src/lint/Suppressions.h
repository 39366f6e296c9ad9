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
#include <optional>
#include <string>
#include <vector>

#include "lint/Findings.h"

namespace lint {

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
