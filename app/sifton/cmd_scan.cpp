// The batch scan and the catalogue listing.
#include <iostream>

#include "Commands.h"
#include "scan/BatchScan.h"

int cmdScan(int level, const std::optional<std::string>& userDefs, const std::vector<std::string>& paths) {
    // The report goes out byte for byte, CR LF line ends included.
    std::ios::sync_with_stdio(true);
    return scan::runBatchScan(level, userDefs, paths, std::cout);
}

int cmdListMessages() {
    scan::listMessages(std::cout);
    return 0;
}
