#pragma once
// Searching the scan report the scanner window shows. The report is held as
// the engine wrote it (8-bit text, CR LF line ends); positions are 0-based.
#include <cstdint>
#include <string>

namespace scanner {

// Index of the first occurrence of searchText in report at or after start,
// compared without regard to case (the letters of Windows-1252) and matching
// inside words;
// -1 when there is none, when searchText is empty or start lies past the end.
// findInReport("ab AB", "ab", 1) == 3.
std::int64_t findInReport(const std::string& report, const std::string& searchText, std::int64_t start);

// The part of a path after its last "\", "/" or ":", blanks trimmed from both
// ends first; "" when the path has none of them.
// FileNameOfPath(" C:\\VB\\frmMain.frm ") == "frmMain.frm"; FileNameOfPath("a.bas") == "".
std::string FileNameOfPath(const std::string& path);

}  // namespace scanner
