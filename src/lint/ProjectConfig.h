#pragma once
// The project settings file, sifton.toml: the options a team wants for every
// scan of its code, kept beside the code (the repository root in practice).
//   level = 2
//   ignore = ["SF020", "SF004"]
//   fail-on = "warning"
//   userdefs = "tools/UserDefs.txt"     # relative to this file
//   baseline = "sifton.baseline"        # relative to this file
//   exclude = ["vendor/*", "*.Designer.bas"]
// Options given on the command line win over the file.
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "scan/MessageCatalogue.h"

namespace lint {

inline constexpr const char* ProjectConfigName = "sifton.toml";

struct ProjectConfig {
    std::string path;  // the file read
    std::optional<int> level;
    std::optional<std::set<scan::MessageId>> ignored;
    std::optional<scan::Grade> failOn;
    std::optional<std::string> userDefs;  // as a path usable from the current folder
    std::optional<std::string> baseline;  // likewise
    std::vector<std::string> exclude;     // globs over paths relative to the file's folder
};

// A settings file that cannot be used; what() is "PATH:LINE:COLUMN: why".
class ProjectConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The sifton.toml of `path` (a file or a folder): in the folder itself (a
// file's folder) or the nearest folder above it; nullopt when there is none.
std::optional<std::string> findProjectConfig(const std::string& path);

// Reads a settings file; throws ProjectConfigError for a file that cannot be
// read, is no TOML, or holds an unknown key or a wrong value.
ProjectConfig readProjectConfig(const std::string& path);

// Whether a file found by a folder walk is left out by the exclude globs.
// "*" and "?" match "/" too, so "vendor/*" leaves out everything below vendor.
bool isExcluded(const ProjectConfig& config, const std::string& file);

// "error", "warning", "suggest".
std::optional<scan::Grade> parseGrade(const std::string& name);

}  // namespace lint
