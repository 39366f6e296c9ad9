// The xBase converter on arbitrary bytes. Besides not crashing or hanging,
// every line it writes ends with CR LF, it only appends to the output, and
// the output stays within a fixed factor of the input (no runaway rewriting).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "convert/ConvertXBase.h"
#include "support/Recording.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::RecordingDesktop desktop;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string prefix = "' kept\r\n";
    std::string output = prefix;
    convert::ConvertXBase converter;
    converter.ConvertXBaseBlock(input, output);

    FUZZ_CHECK(output.compare(0, prefix.size(), prefix) == 0, "output is only appended to");
    FUZZ_CHECK(output.ends_with("\r\n"), "every output line ends with CR LF");
    FUZZ_CHECK(output.size() <= prefix.size() + 64 * input.size() + 1024, "output grows linearly");
    FUZZ_CHECK(desktop.boxes.shown.empty() || desktop.boxes.shown.front().title != "Program Error",
               "no run-time error while converting");
    return 0;
}
