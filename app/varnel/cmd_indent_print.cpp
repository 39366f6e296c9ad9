// --indent and --print (the indenter and the report printer).
#include <iostream>
#include "Commands.h"

int cmdIndent(const std::optional<std::string>&) { std::cerr << "varnel: --indent is not built yet\n"; return 1; }
int cmdPrint(int, char**, const std::string&, const std::optional<std::string>&) {
    std::cerr << "varnel: --print is not built yet\n";
    return 1;
}
