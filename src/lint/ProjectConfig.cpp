#include "lint/ProjectConfig.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <toml++/toml.h>

#include "lint/LintRun.h"

namespace lint {

namespace fs = std::filesystem;

namespace {

std::string where(const std::string& path, const toml::source_region& r) {
    return path + ":" + std::to_string(r.begin.line) + ":" + std::to_string(r.begin.column) + ": ";
}

// A path from the settings file, taken relative to its folder.
std::string besideFile(const std::string& file, const std::string& value) {
    const fs::path p(value);
    if (p.is_absolute()) return value;
    return (fs::path(file).parent_path() / p).lexically_normal().string();
}

// The strings of a value that is a string or an array of strings.
std::vector<std::string> stringList(const std::string& path, const std::string& key, const toml::node& node) {
    std::vector<std::string> out;
    if (const auto* s = node.as_string()) {
        out.push_back(s->get());
    } else if (const auto* a = node.as_array()) {
        for (const toml::node& item : *a) {
            const auto* s2 = item.as_string();
            if (!s2) throw ProjectConfigError(where(path, item.source()) + key + " needs strings");
            out.push_back(s2->get());
        }
    } else {
        throw ProjectConfigError(where(path, node.source()) + key + " needs a string or an array of strings");
    }
    return out;
}

}  // namespace

std::optional<scan::Grade> parseGrade(const std::string& name) {
    if (name == "error") return scan::Grade::Error;
    if (name == "warning") return scan::Grade::Warning;
    if (name == "suggest") return scan::Grade::Suggest;
    return std::nullopt;
}

std::optional<std::string> findProjectConfig(const std::string& path) {
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec) return std::nullopt;
    if (!fs::is_directory(folder, ec)) folder = folder.parent_path();
    for (;;) {
        const fs::path candidate = folder / ProjectConfigName;
        if (fs::is_regular_file(candidate, ec)) return candidate.string();
        if (!folder.has_parent_path() || folder.parent_path() == folder) return std::nullopt;
        folder = folder.parent_path();
    }
}

ProjectConfig readProjectConfig(const std::string& path) {
    toml::table table;
    try {
        table = toml::parse_file(path);
    } catch (const toml::parse_error& e) {
        throw ProjectConfigError(where(path, e.source()) + std::string(e.description()));
    }
    ProjectConfig c;
    c.path = path;
    for (const auto& [key, node] : table) {
        const std::string k(key.str());
        const std::string at = where(path, node.source());
        if (k == "level") {
            const auto* v = node.as_integer();
            if (!v || v->get() < 1 || v->get() > 3) throw ProjectConfigError(at + "level needs 1, 2 or 3");
            c.level = static_cast<int>(v->get());
        } else if (k == "ignore") {
            std::set<scan::MessageId> ids;
            for (const std::string& item : stringList(path, k, node)) {
                std::vector<std::string> unknown;
                const std::set<scan::MessageId> some = parseRuleList(item, unknown);
                if (!unknown.empty()) throw ProjectConfigError(at + "ignore: no rule " + unknown.front());
                ids.insert(some.begin(), some.end());
            }
            c.ignored = ids;
        } else if (k == "fail-on") {
            const auto* v = node.as_string();
            std::optional<scan::Grade> g = v ? parseGrade(v->get()) : std::nullopt;
            if (!g) throw ProjectConfigError(at + "fail-on needs \"error\", \"warning\" or \"suggest\"");
            c.failOn = g;
        } else if (k == "userdefs" || k == "baseline") {
            const auto* v = node.as_string();
            if (!v || v->get().empty()) throw ProjectConfigError(at + k + " needs a file name");
            (k == "userdefs" ? c.userDefs : c.baseline) = besideFile(path, v->get());
        } else if (k == "exclude") {
            c.exclude = stringList(path, k, node);
        } else {
            throw ProjectConfigError(where(path, key.source()) + "unknown setting " + k);
        }
    }
    return c;
}

bool isExcluded(const ProjectConfig& config, const std::string& file) {
    if (config.exclude.empty()) return false;
    std::error_code ec;
    const fs::path base = fs::absolute(fs::path(config.path), ec).parent_path();
    const fs::path abs = fs::absolute(fs::path(file), ec).lexically_normal();
    const std::string rel = abs.lexically_relative(base).string();
    const std::string name = abs.filename().string();
    return std::ranges::any_of(config.exclude, [&](const std::string& glob) {
        return ::fnmatch(glob.c_str(), rel.c_str(), 0) == 0 || ::fnmatch(glob.c_str(), name.c_str(), 0) == 0;
    });
}

}  // namespace lint
