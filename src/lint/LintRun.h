#pragma once
// A command-line scan: the paths walked, the files scanned by N workers, the
// output written in one format (to a file through the suite's safe replace
// of a file, once the scan is over), a baseline read or written, the
// summary, and the exit status.
#include <cstdio>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "lint/Formats.h"
#include "lint/ProjectConfig.h"
#include "scan/MessageCatalogue.h"

namespace lint {

struct Options {
    int level = 1;                        // check level 1, 2 or 3
    std::optional<std::string> userDefs;  // the user definitions file, or the one beside the program
    Format format = Format::Report;
    std::optional<std::string> output;         // the output file, or standard output
    std::optional<std::string> baseline;       // report only what this baseline does not excuse
    std::optional<std::string> writeBaseline;  // record this run's findings here
    std::set<scan::MessageId> ignored;         // rules left out
    scan::Grade failOn = scan::Grade::Error;   // the grade from which a finding fails the run
    unsigned jobs = 0;                         // files scanned at a time; 0: one per core
    bool quiet = false;                        // no summary line
    std::optional<ProjectConfig> project;      // its exclude globs leave out files a folder walk finds
    std::vector<std::string> paths;
};

// Exit statuses.
constexpr int ExitClean = 0, ExitFindings = 1, ExitProblem = 2;

// Runs the scan; `out` takes the output unless Options::output names a file
// (other than the one `out` writes to). An output or baseline target that
// is one of the files to scan, or that cannot be written, stops the run
// before anything is scanned.
// Problems and the summary go to `err`. Returns the exit status: 2 when an
// input (or the output) could not be read (written), 1 when a reported
// finding reaches the fail grade, 0 otherwise (also after writing a baseline).
int run(const Options& options, std::FILE* out, std::ostream& err);

// The rows of a comma-separated list of rule ids ("SF020,sf004"); the ids
// that name no row are put into `unknown`.
std::set<scan::MessageId> parseRuleList(const std::string& list, std::vector<std::string>& unknown);

}  // namespace lint
