#pragma once
// Scanning files without the window: the command line's "sifton PATH...".
#include <ostream>
#include <string>
#include <vector>

namespace scan {

// The files a PATH stands for: a file is itself; a folder gives every .BAS,
// .FRM and .CLS file (extension in any case) below it, in sorted order;
// links to folders are followed, each folder walked once.
// Folders below it that cannot be read, and source files there that are not
// regular files, are added to `problems` as "PATH: reason" when given.
std::vector<std::string> filesToScan(const std::string& path, std::vector<std::string>* problems = nullptr);

// Writes the message catalogue, one row a line: rule id, number, grade, kind, text.
void listMessages(std::ostream& out);

}  // namespace scan
