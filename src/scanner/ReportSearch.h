#pragma once
// Searching the scan report the scanner window shows. The report is held as
// the engine wrote it (8-bit text, CR LF line ends); positions are 0-based.
#include <cstdint>
#include <string>
#include <vector>

namespace scanner {

// Index of the first occurrence of searchText in report at or after start,
// compared without regard to case (ASCII letters) and matching inside words;
// -1 when there is none, when searchText is empty or start lies past the end.
// findInReport("ab AB", "ab", 1) == 3.
std::int64_t findInReport(const std::string& report, const std::string& searchText, std::int64_t start);

// The part of a path after its last "\", "/" or ":", blanks trimmed from both
// ends first; "" when the path has none of them.
// FileNameOfPath(" C:\\VB\\frmMain.frm ") == "frmMain.frm"; FileNameOfPath("a.bas") == "".
std::string FileNameOfPath(const std::string& path);

// The report as a text widget holds it: every CR LF becomes one line feed,
// all other characters stay, one for one. Maps positions both ways, so that
// a search in the report selects the same characters in the widget.
class ReportViewText {
public:
    ReportViewText() = default;
    explicit ReportViewText(std::string report);

    const std::string& report() const { return report_; }
    // The text for the widget (8-bit, line feeds only).
    std::string viewText() const;

    // Widget position of a report position; both characters of a CR LF map
    // onto its line feed.
    std::int64_t toView(std::int64_t reportPos) const;
    // Report position of a widget position; a line feed maps onto its CR.
    std::int64_t toReport(std::int64_t viewPos) const;

private:
    std::string report_;
    std::vector<std::int64_t> crlfAt_;    // report index of the CR of every CR LF
    std::vector<std::int64_t> lfInView_;  // widget index of the line feed it became
};

}  // namespace scanner
