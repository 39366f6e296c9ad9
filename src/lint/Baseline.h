#pragma once
// Baselines: the findings a code base had when it adopted the standard, so
// that a run reports only the ones added since. A first line names the
// format and its version; then one finding a line, sorted, tab-separated:
// path (relative to the baseline file's folder, so that the same tree gives
// the same paths from wherever it is scanned), rule id, procedure, and the
// source text with its blanks normalised (for a module finding its usage
// hint; a text of more than 200 bytes is cut to 160 and ends with " ... #"
// and a hash of the whole). Backslashes, tabs and line ends in a field are escaped (\\ \t \n \r).
// A finding matches an entry with the same four fields; each entry excuses
// one finding, so moving lines never makes an old finding new, and a second
// equal finding is new.
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "lint/Findings.h"

namespace lint {

// The first line of every baseline file written.
extern const char* const BaselineHeader;

// The path by which the baseline file `baselineFile` names the scanned
// file `file`: relative to the baseline's folder ("../lib/a.bas" for a file
// beside that folder).
std::string baselinePath(const std::string& file, const std::string& baselineFile);

// The baseline lines of the findings that no suppression comment accepts,
// of the file the baseline names `path` (a baselinePath), without line ends.
std::vector<std::string> baselineLines(const std::string& path, const std::vector<Finding>& findings);

class Baseline {
public:
    // Reads the text of the baseline file `baselineFile`. Returns "" or why
    // the text is not a baseline (empty, another kind of file, a line that is
    // no entry, cut short); the baseline then excuses nothing. A baseline of
    // the first format (paths relative to the current folder, "#" lines
    // skipped) is read as it always was.
    std::string read(const std::string& baselineFile, const std::string& text);
    // Whether the baseline excuses the next finding of the scanned file
    // `file` (as it was named on the command line or found in a walk), asked
    // of its findings in order: earlier findings are matched first.
    std::function<bool(const Finding&)> matcher(const std::string& file) const;

private:
    std::string file_;
    bool firstFormat_ = false;
    // path -> (rest of the line -> how many findings it excuses)
    std::unordered_map<std::string, std::map<std::string, int>> entries_;
};

}  // namespace lint
