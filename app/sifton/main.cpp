// sifton: the source scanner, and its command-line form for batch scans.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

const char* const Usage =
    "Usage: sifton [--userdefs FILE]\n"
    "       sifton [--level 1|2|3] [--userdefs FILE] PATH...\n"
    "       sifton --list-messages\n"
    "\n"
    "Without PATH, opens the scanner window. With PATHs, scans the .BAS, .FRM\n"
    "and .CLS files named (a folder is walked for them) and writes the report\n"
    "to standard output. Exit status: 0 no Error finding, 1 at least one,\n"
    "2 bad usage.\n"
    "\n"
    "  --level N          1 errors only (default), 2 errors and warnings,\n"
    "                     3 all findings\n"
    "  --userdefs FILE    read the user definitions from FILE instead of\n"
    "                     UserDefs.txt beside the program\n"
    "  --list-messages    print the message catalogue\n"
    "  --help             show this text\n"
    "  --version          show the version\n";

int badUsage(const std::string& why) {
    std::cerr << "sifton: " << why << "\n" << Usage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int level = 1;
    std::optional<std::string> userDefs;
    std::vector<std::string> paths;
    bool levelGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            std::cout << Usage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "sifton " VARNEL_VERSION "\n";
            return 0;
        }
        if (a == "--list-messages") {
            if (args.size() != 1) return badUsage("--list-messages takes nothing else");
            return cmdListMessages();
        }
        if (a == "--level") {
            if (i + 1 >= args.size()) return badUsage("--level needs 1, 2 or 3");
            const std::string& v = args[++i];
            if (v != "1" && v != "2" && v != "3") return badUsage("--level needs 1, 2 or 3");
            level = v[0] - '0';
            levelGiven = true;
        } else if (a == "--userdefs") {
            if (i + 1 >= args.size()) return badUsage("--userdefs needs a FILE");
            userDefs = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return badUsage("unknown option " + a);
        } else {
            paths.push_back(a);
        }
    }
    if (paths.empty()) {
        if (levelGiven) return badUsage("--level needs a PATH to scan");
        return runScannerWindow(argc, argv, userDefs);
    }
    return cmdScan(level, userDefs, paths);
}
