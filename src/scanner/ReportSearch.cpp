#include "scanner/ReportSearch.h"

#include <algorithm>

#include "textlib/TextLib.h"

namespace scanner {

std::int64_t findInReport(const std::string& report, const std::string& searchText, std::int64_t start) {
    const auto length = static_cast<std::int64_t>(report.size());
    const auto needle = static_cast<std::int64_t>(searchText.size());
    if (needle == 0 || start < 0 || start + needle > length) return -1;
    auto it = std::search(report.begin() + start, report.end(), searchText.begin(), searchText.end(),
                          [](char a, char b) { return textlib::upperLetter1252(a) == textlib::upperLetter1252(b); });
    return it == report.end() ? -1 : static_cast<std::int64_t>(it - report.begin());
}

std::string FileNameOfPath(const std::string& path) {
    const std::string trimmed = textlib::Trim(path);
    const auto cut = trimmed.find_last_of("\\/:");
    if (cut == std::string::npos) return "";
    return trimmed.substr(cut + 1);
}

}  // namespace scanner
