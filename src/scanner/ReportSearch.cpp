#include "scanner/ReportSearch.h"

#include <algorithm>

#include "textlib/TextLib.h"

namespace scanner {

std::int64_t findInReport(const std::string& report, const std::string& searchText, std::int64_t start) {
    const auto length = static_cast<std::int64_t>(report.size());
    const auto needle = static_cast<std::int64_t>(searchText.size());
    if (needle == 0 || start < 0 || start + needle > length) return -1;
    auto it = std::search(report.begin() + start, report.end(), searchText.begin(), searchText.end(),
                          [](char a, char b) { return textlib::upperChar(a) == textlib::upperChar(b); });
    return it == report.end() ? -1 : static_cast<std::int64_t>(it - report.begin());
}

std::string FileNameOfPath(const std::string& path) {
    const std::string trimmed = textlib::Trim(path);
    const auto cut = trimmed.find_last_of("\\/:");
    if (cut == std::string::npos) return "";
    return trimmed.substr(cut + 1);
}

ReportViewText::ReportViewText(std::string report) : report_(std::move(report)) {
    for (std::size_t i = 0; i + 1 < report_.size(); ++i) {
        if (report_[i] == '\r' && report_[i + 1] == '\n') {
            lfInView_.push_back(static_cast<std::int64_t>(i) - static_cast<std::int64_t>(crlfAt_.size()));
            crlfAt_.push_back(static_cast<std::int64_t>(i));
            ++i;
        }
    }
}

std::string ReportViewText::viewText() const {
    std::string view;
    view.reserve(report_.size() - crlfAt_.size());
    std::size_t from = 0;
    for (auto cr : crlfAt_) {
        view.append(report_, from, static_cast<std::size_t>(cr) - from);
        from = static_cast<std::size_t>(cr) + 1;  // keeps the LF
    }
    view.append(report_, from, std::string::npos);
    return view;
}

std::int64_t ReportViewText::toView(std::int64_t reportPos) const {
    // Pairs whose CR lies before the position have each lost one character.
    auto before = std::lower_bound(crlfAt_.begin(), crlfAt_.end(), reportPos) - crlfAt_.begin();
    return reportPos - before;
}

std::int64_t ReportViewText::toReport(std::int64_t viewPos) const {
    auto before = std::lower_bound(lfInView_.begin(), lfInView_.end(), viewPos) - lfInView_.begin();
    return viewPos + before;
}

}  // namespace scanner
