// Writes sifton's manual page: the configured page with its rules section
// line (".\" RULES") replaced by the documentation of every rule.
// Arguments: the configured page, the page to write.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "lint/RuleDocs.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: man_rules PAGE.in PAGE\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream page;
    page << in.rdbuf();
    std::string text = page.str();
    const std::string marker = ".\\\" RULES\n";
    const std::size_t at = text.find(marker);
    if (!in || at == std::string::npos) {
        std::cerr << "man_rules: " << argv[1] << ": no rules line\n";
        return 1;
    }
    text.replace(at, marker.size(), lint::rulesManSection());
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    return out.flush() ? 0 : 1;
}
