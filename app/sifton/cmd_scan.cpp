// The command-line scan and the catalogue listing.
#include <cstdio>
#include <iostream>

#include "Commands.h"
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
