#pragma once
// Scanning files without the window: the command line's "sifton PATH...".
#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace scan {

// The files a PATH stands for: a file is itself; a folder gives every .BAS,
// .FRM and .CLS file (extension in any case) below it, in sorted order.
std::vector<std::string> filesToScan(const std::string& path);

// Scans the files of the paths in order at the given check level and writes
// their reports, one after another, to out. A file that cannot be read is
// reported in the error box (on stderr on the command line), named on err,
// and shows only its head. Returns 0 when no Error finding was filed and
// every file was read, 1 otherwise.
int runBatchScan(int level, const std::optional<std::string>& userDefs,
                 const std::vector<std::string>& paths, std::ostream& out, std::ostream& err = std::cerr);

// Writes the message catalogue, one row a line: number, grade, kind, text.
void listMessages(std::ostream& out);

}  // namespace scan
