// Scanning files without the window.
#include "scan/BatchScan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace scan {

namespace {

bool isSourceFile(const std::filesystem::path& p) {
    const std::string ext = textlib::UCase(p.extension().string());
    return ext == ".BAS" || ext == ".FRM" || ext == ".CLS";
}

}  // namespace

std::vector<std::string> filesToScan(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec)) return {path};
    std::vector<std::string> found;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec) && isSourceFile(it->path())) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

int runBatchScan(int level, const std::optional<std::string>& userDefs,
                 const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
    setCheckLevel(level);
    clsOculon oculon = userDefs ? clsOculon(*userDefs) : clsOculon();
    bool bFailed = false;
    for (const std::string& path : paths) {
        for (const std::string& file : filesToScan(path)) {
            oculon.Load(file);
            const std::string sReport = oculon.sFillMessages();
            out.write(sReport.data(), static_cast<std::streamsize>(sReport.size()));
            if (!oculon.sourceRead()) err << "sifton: cannot read " << file << "\n";
            if (oculon.errorCount() > 0 || !oculon.sourceRead()) bFailed = true;
        }
    }
    out.flush();
    return bFailed ? 1 : 0;
}

void listMessages(std::ostream& out) {
    for (const CatalogueEntry& e : messageCatalogue()) {
        std::string sText = textlib::ReplaceAll(e.text, "\r\n", "\n");
        std::string sNumber = e.number;
        sNumber.resize(4, ' ');
        out << sNumber << gradeLetter(e.grade) << "  " << (e.kind == FindingKind::Line ? "line    " : "module  ")
            << sText << "\n";
    }
}

}  // namespace scan
