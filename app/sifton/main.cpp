// sifton: the source scanner, and its command line for batch scans and CI.
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "platform/Display.h"

namespace {

const char* const Usage =
    "Usage: sifton [--userdefs FILE]\n"
    "       sifton [OPTIONS] [--] PATH...\n"
    "       sifton --list-messages\n"
    "       sifton --lsp\n"
    "       sifton --explain RULE\n"
    "\n"
    "Without PATH, opens the scanner window. With PATHs, scans the .BAS, .FRM\n"
    "and .CLS files named (a folder is walked for them, in sorted order) and\n"
    "writes the findings to standard output.\n"
    "\n"
    "  --level N            1 errors only (default), 2 errors and warnings,\n"
    "                       3 all findings\n"
    "  --format F           report (default): the scanner's report text;\n"
    "                       gcc: PATH:LINE: error|warning|note: MESSAGE [RULE];\n"
    "                       json: one document of files and findings;\n"
    "                       sarif: SARIF 2.1.0, for code scanning services\n"
    "  -o, --output FILE    write the output into FILE (complete or not at all;\n"
    "                       never one of the files to scan)\n"
    "  --ignore RULES       leave out these rules, e.g. SF020,SF004 (ids as\n"
    "                       --list-messages shows them)\n"
    "  --baseline FILE      report only the findings that FILE does not hold\n"
    "                       (refused, exit 2, when FILE is not a baseline)\n"
    "  --write-baseline FILE\n"
    "                       record every finding of this run in FILE (exit 0\n"
    "                       unless an input could not be read); FILE names\n"
    "                       the files relative to its own folder\n"
    "  --fail-on GRADE      error (default), warning or suggest: the grade from\n"
    "                       which a reported finding fails the run\n"
    "  -j, --jobs N         scan N files at a time (default: one per core; at\n"
    "                       most the files and twice the cores); the output\n"
    "                       is the same for every N\n"
    "  -q, --quiet          leave out the summary line on standard error\n"
    "  --no-config          leave out the project settings file (sifton.toml in\n"
    "                       the first PATH's folder or the nearest one above it)\n"
    "  --userdefs FILE      read the user definitions from FILE instead of the\n"
    "                       first UserDefs.txt found beside the program, in\n"
    "                       ~/.config/sifton/ or in the installation's share/sifton/\n"
    "  --list-messages      print the message catalogue with the rule ids\n"
    "  --lsp                run as a language server (LSP 3.17) on standard\n"
    "                       input and output, for code editors\n"
    "  --explain RULE       what a rule checks and why, with an example that\n"
    "                       files it and one that does not (e.g. SF022)\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "  --                   ends the options: every later argument is a PATH\n"
    "\n"
    "Options take their value as --opt VALUE or --opt=VALUE.\n"
    "\n"
    "Exit status: 0 no reported finding of the fail grade, 1 at least one,\n"
    "2 bad usage, or an input (a path, a file, a folder met in a walk, the\n"
    "user definitions, the baseline) or the output could not be used.\n"
    "\n"
    "Examples:\n"
    "  sifton --format gcc src/\n"
    "  sifton --level 3 --format sarif -o sifton.sarif src/\n"
    "  sifton --level 2 --write-baseline sifton.baseline src/ >/dev/null\n"
    "  sifton --level 2 --baseline sifton.baseline --format gcc src/\n";

int badUsage(const std::string& why) {
    std::cerr << "sifton: " << why << "\n" << Usage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    lint::Options options;
    bool scanOptionGiven = false;
    bool listMessages = false;
    bool languageServer = false;
    bool noConfig = false;
    std::set<std::string> given;  // the scan options given, by name
    std::optional<std::string> explain;
    std::size_t explainArgs = 0;  // the arguments --explain took
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        if (optionsEnded || a == "-" || a.empty() || a[0] != '-') {
            options.paths.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        // The option's name and its value: "--opt=value", "--opt value",
        // "-j4", "-j 4".
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (a.rfind("--", 0) == 0) {
            const std::size_t eq = a.find('=');
            if (eq != std::string::npos) {
                name = a.substr(0, eq);
                inlineValue = a.substr(eq + 1);
            }
        } else if (a.size() > 2) {
            name = a.substr(0, 2);
            inlineValue = a.substr(2);
        }
        if (name == "-o") name = "--output";
        if (name == "-j") name = "--jobs";
        if (name == "-q") name = "--quiet";
        const bool isFlag = name == "--help" || name == "--version" || name == "--list-messages" || name == "--quiet" ||
                            name == "--lsp" || name == "--no-config";
        const bool takesValue = name == "--level" || name == "--userdefs" || name == "--format" || name == "--output" ||
                                name == "--baseline" || name == "--write-baseline" || name == "--ignore" ||
                                name == "--fail-on" || name == "--jobs" || name == "--explain";
        if (!isFlag && !takesValue) return badUsage("unknown option " + a);
        if (isFlag && inlineValue && a[1] != '-') {
            // "-qj2": the letters after a short flag are more short options.
            args.insert(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, "-" + *inlineValue);
            inlineValue.reset();
        }
        if (isFlag && inlineValue) return badUsage(name + " takes no value");
        std::string value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else {
                if (i + 1 >= args.size()) return badUsage(name + " needs a value");
                value = args[++i];
            }
        }
        if (name == "--help") {
            std::cout << Usage;
            return 0;
        }
        if (name == "--version") {
            std::cout << "sifton " VARNEL_VERSION "\n";
            return 0;
        }
        if (name == "--list-messages") {
            listMessages = true;
            continue;
        }
        if (name == "--lsp") {
            languageServer = true;
            continue;
        }
        if (name == "--explain") {
            explain = value;
            explainArgs = inlineValue ? 1 : 2;
            continue;
        }
        if (name == "--userdefs") {
            options.userDefs = value;
            given.insert(name);
            continue;
        }
        scanOptionGiven = true;
        given.insert(name);
        if (name == "--no-config") noConfig = true;
        if (name == "--quiet") {
            options.quiet = true;
        } else if (name == "--level") {
            if (value != "1" && value != "2" && value != "3") return badUsage("--level needs 1, 2 or 3");
            options.level = value[0] - '0';
        } else if (name == "--format") {
            std::optional<lint::Format> f = lint::parseFormat(value);
            if (!f) return badUsage("--format needs report, gcc, json or sarif");
            options.format = *f;
        } else if (name == "--output") {
            if (value.empty()) return badUsage("--output needs a FILE");
            options.output = value;
        } else if (name == "--baseline") {
            options.baseline = value;
        } else if (name == "--write-baseline") {
            if (value.empty()) return badUsage("--write-baseline needs a FILE");
            options.writeBaseline = value;
        } else if (name == "--ignore") {
            std::vector<std::string> unknown;
            std::set<scan::MessageId> ids = lint::parseRuleList(value, unknown);
            if (!unknown.empty()) return badUsage("--ignore: no rule " + unknown.front() + " (see --list-messages)");
            options.ignored.insert(ids.begin(), ids.end());
        } else if (name == "--fail-on") {
            std::optional<scan::Grade> g = lint::parseGrade(value);
            if (!g) return badUsage("--fail-on needs error, warning or suggest");
            options.failOn = *g;
        } else if (name == "--jobs") {
            const bool digits =
                !value.empty() && value.size() <= 4 && value.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || std::stoi(value) < 1) return badUsage("--jobs needs a number from 1 to 9999");
            options.jobs = static_cast<unsigned>(std::stoi(value));
        }
    }
    if (listMessages) {
        if (args.size() != 1) return badUsage("--list-messages takes nothing else");
        return cmdListMessages();
    }
    if (explain) {
        if (args.size() != explainArgs) return badUsage("--explain takes nothing else");
        return cmdExplain(*explain);
    }
    if (languageServer) {
        if (args.size() != 1) return badUsage("--lsp takes nothing else");
        return cmdLanguageServer();
    }
    if (!options.paths.empty()) {
        if (!noConfig) {
            // The project's settings, for what the command line leaves open.
            try {
                if (std::optional<std::string> file = lint::findProjectConfig(options.paths.front())) {
                    lint::ProjectConfig c = lint::readProjectConfig(*file);
                    if (c.level && !given.count("--level")) options.level = *c.level;
                    if (c.ignored && !given.count("--ignore")) options.ignored = *c.ignored;
                    if (c.failOn && !given.count("--fail-on")) options.failOn = *c.failOn;
                    if (c.userDefs && !given.count("--userdefs")) options.userDefs = c.userDefs;
                    if (c.baseline && !given.count("--baseline") && !given.count("--write-baseline"))
                        options.baseline = c.baseline;
                    options.project = std::move(c);
                }
            } catch (const lint::ProjectConfigError& e) {
                std::cerr << "sifton: " << e.what() << "\n";
                return 2;
            }
        }
        return cmdScan(options);
    }
    if (scanOptionGiven) return badUsage("no PATH to scan");
    if (options.userDefs && ::access(options.userDefs->c_str(), R_OK) != 0) {
        std::cerr << "sifton: --userdefs " << *options.userDefs << ": cannot be read\n";
        return 2;
    }
    if (std::optional<std::string> why = platform::whyNoDisplay()) {
        std::cerr << "sifton: cannot open the scanner window: " << *why << ".\n"
                  << "To scan on the command line: sifton [OPTIONS] PATH... (see sifton --help)\n";
        return 2;
    }
    return runScannerWindow(argc, argv, options.userDefs);
}
