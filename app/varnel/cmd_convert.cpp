// --convert [FILE]: converts xBase source (FILE or standard input) to Basic
// and writes the Basic lines, each ending with CR LF, to standard output.
#include <cstdio>
#include <iostream>
#include <string>

#include "Commands.h"
#include "convert/ConvertXBase.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

namespace {

std::string readStandardInput() {
    std::string bytes;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) bytes.append(chunk, n);
    return bytes;
}

}  // namespace

int cmdConvert(const std::optional<std::string>& file) {
    std::string bytes;
    if (file) {
        try {
            bytes = platform::files().readAll(*file);
        } catch (const platform::RuntimeError& e) {
            std::cerr << "varnel: " << *file << ": " << e.description() << "\n";
            return 1;
        }
    } else {
        bytes = readStandardInput();
    }
    const std::string out = convert::ConvertXBaseSource(bytes);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return 0;
}
