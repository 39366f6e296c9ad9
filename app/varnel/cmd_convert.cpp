// --convert (the xBase converter).
#include <iostream>
#include "Commands.h"

int cmdConvert(const std::optional<std::string>&) { std::cerr << "varnel: --convert is not built yet\n"; return 1; }
