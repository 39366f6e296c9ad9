#pragma once
// The commands of sifton. main() parses the options and calls one of them;
// each returns the exit status.
#include <optional>
#include <string>
#include <vector>

// [--level 1|2|3] [--userdefs FILE] PATH...: scan and print the report text.
// 0 when no Error finding was filed, 1 when one was.
int cmdScan(int level, const std::optional<std::string>& userDefs, const std::vector<std::string>& paths);
// --list-messages: the message catalogue, one finding per line.
int cmdListMessages();
// No paths: the scanner window.
int runScannerWindow(int argc, char** argv, const std::optional<std::string>& userDefs);
