#pragma once
// Baselines: the findings a code base had when it adopted the standard, so
// that a run reports only the ones added since. One finding a line, sorted,
// tab-separated: path, rule id, procedure, and the source text with its blanks
// normalised (for a module finding its usage hint). A finding matches an
// entry with the same four fields; each entry excuses one finding, so moving
// lines never makes an old finding new, and a second equal finding is new.
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "lint/Findings.h"

namespace lint {

// The baseline line of a finding of the file at `path` (a portablePath), without a line end.
std::string baselineLine(const std::string& path, const Finding& finding);

// The first line of every baseline file.
extern const char* const BaselineHeader;

class Baseline {
public:
    // Reads the lines of a baseline file (blank and "#" lines are skipped).
    void addLine(const std::string& line);
    // For each finding of a file at `path` (a portablePath), whether the
    // baseline excuses it; earlier findings are matched first.
    std::vector<bool> excused(const std::string& path, const std::vector<Finding>& findings) const;

private:
    // path -> (rest of the line -> how many findings it excuses)
    std::unordered_map<std::string, std::map<std::string, int>> entries_;
};

}  // namespace lint
