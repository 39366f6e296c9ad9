// Scanning files without the window.
#include "scan/BatchScan.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <filesystem>
#include <system_error>

#include "scan/MessageCatalogue.h"
#include "textlib/TextLib.h"

namespace scan {

namespace {

bool isSourceFile(const std::filesystem::path& p) {
    const std::string ext = textlib::UCase(p.extension().string());
    return ext == ".BAS" || ext == ".FRM" || ext == ".CLS";
}

}  // namespace

std::vector<std::string> filesToScan(const std::string& path, std::vector<std::string>* problems) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(path, ec)) return {path};
    std::vector<std::string> found;
    auto problem = [&](const fs::path& p, const std::string& why) {
        if (problems) problems->push_back(p.string() + ": " + why);
    };
    // Each folder is walked once, however many links lead to it: a link back
    // to a folder above ends there instead of looping.
    std::set<std::pair<dev_t, ino_t>> walked;
    auto firstVisit = [&](const fs::path& folder) {
        struct stat st {};
        return ::stat(folder.c_str(), &st) != 0 || walked.insert({st.st_dev, st.st_ino}).second;
    };
    std::vector<fs::path> folders{fs::path(path)};
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        if (!firstVisit(folder)) continue;
        fs::directory_iterator it(folder, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code entryEc;
            if (it->is_directory(entryEc)) {
                folders.push_back(it->path());
            } else if (isSourceFile(it->path())) {
                if (it->is_regular_file(entryEc)) found.push_back(it->path().string());
                else problem(it->path(), entryEc ? entryEc.message() : "not a regular file");
            }
        }
        if (ec) problem(folder, ec.message());
        ec.clear();
    }
    std::sort(found.begin(), found.end());
    return found;
}

void listMessages(std::ostream& out) {
    for (const CatalogueEntry& e : messageCatalogue()) {
        std::string sText = textlib::ReplaceAll(e.text, "\r\n", "\n");
        std::string sNumber = e.number;
        sNumber.resize(4, ' ');
        out << ruleId(e) << (ruleId(e).size() == 5 ? "   " : "  ") << sNumber << gradeLetter(e.grade) << "  "
            << (e.kind == FindingKind::Line ? "line    " : "module  ") << sText << "\n";
    }
}

}  // namespace scan
