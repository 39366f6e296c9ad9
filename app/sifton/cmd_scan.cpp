// The command-line scan and the catalogue listing.
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "lint/RuleDocs.h"
#include "scan/BatchScan.h"

int cmdScan(const lint::Options& options) {
    // The output goes out byte for byte, CR LF line ends included.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    return lint::run(options, stdout, std::cerr);
}

int cmdListMessages() {
    scan::listMessages(std::cout);
    return 0;
}

int cmdExplain(const std::string& rule) {
    const lint::RuleDoc* doc = lint::ruleDoc(rule);
    if (!doc) {
        std::cerr << "sifton: --explain: no rule " << rule << " (see --list-messages)\n";
        return 2;
    }
    std::cout << lint::explainText(*doc);
    return 0;
}
