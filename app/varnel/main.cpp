// varnel: the source editor, and its command-line forms for scripting.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "platform/Display.h"

namespace {

const char* const Usage =
    "Usage: varnel [FILE]\n"
    "       varnel --entities FILE\n"
    "       varnel --entity NAME FILE\n"
    "       varnel --save-entity NAME FILE [--as TARGET]\n"
    "       varnel --convert [FILE]\n"
    "       varnel --indent [FILE]\n"
    "       varnel --print FILE [--pdf OUT.pdf]\n"
    "\n"
    "Without options, opens the editor window; FILE (the whole command line,\n"
    "blanks included) is opened in whole-file mode.\n"
    "\n"
    "  --entities FILE         print the entity records of FILE, one per line\n"
    "  --entity NAME FILE      print the text of entity NAME of FILE\n"
    "  --save-entity NAME FILE read the new text of entity NAME from standard\n"
    "                          input and save it into FILE (with a .BAK backup),\n"
    "                          or into TARGET with --as\n"
    "  --convert [FILE]        convert xBase source (FILE or standard input) to Basic\n"
    "  --indent [FILE]         re-indent Basic source (FILE or standard input)\n"
    "  --print FILE            print FILE as a report on the default printer,\n"
    "                          or into OUT.pdf with --pdf\n"
    "  --help                  show this text\n"
    "  --version               show the version\n";

int badUsage(const std::string& why) {
    std::cerr << "varnel: " << why << "\n" << Usage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0].rfind("--", 0) != 0) {
        std::string startFile;
        for (const auto& a : args) startFile += (startFile.empty() ? "" : " ") + a;
        if (std::optional<std::string> why = platform::whyNoDisplay()) {
            std::cerr << "varnel: cannot open the editor window: " << *why << ".\n"
                      << "The command-line forms work without one (see varnel --help).\n";
            return 2;
        }
        return runEditorWindow(argc, argv, startFile);
    }
    const std::string& opt = args[0];
    if (opt == "--help") {
        std::cout << Usage;
        return 0;
    }
    if (opt == "--version") {
        std::cout << "varnel " VARNEL_VERSION "\n";
        return 0;
    }
    if (opt == "--entities") {
        if (args.size() != 2) return badUsage("--entities takes one FILE");
        return cmdEntities(args[1]);
    }
    if (opt == "--entity") {
        if (args.size() != 3) return badUsage("--entity takes NAME and FILE");
        return cmdEntity(args[1], args[2]);
    }
    if (opt == "--save-entity") {
        if (args.size() == 3) return cmdSaveEntity(args[1], args[2], std::nullopt);
        if (args.size() == 5 && args[3] == "--as") return cmdSaveEntity(args[1], args[2], args[4]);
        return badUsage("--save-entity takes NAME FILE [--as TARGET]");
    }
    if (opt == "--convert" || opt == "--indent") {
        if (args.size() > 2) return badUsage(opt + " takes at most one FILE");
        std::optional<std::string> file;
        if (args.size() == 2) file = args[1];
        return opt == "--convert" ? cmdConvert(file) : cmdIndent(file);
    }
    if (opt == "--print") {
        if (args.size() == 2) return cmdPrint(argc, argv, args[1], std::nullopt);
        if (args.size() == 4 && args[2] == "--pdf") return cmdPrint(argc, argv, args[1], args[3]);
        return badUsage("--print takes FILE [--pdf OUT.pdf]");
    }
    return badUsage("unknown option " + opt);
}
