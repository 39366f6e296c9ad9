// The quick indenter on arbitrary bytes. It must give exactly one output line
// per input line, and each output line, without its leading blanks, must be
// the input line without tabs and without leading and trailing blanks; the
// indentation is a multiple of three blanks and no tab survives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "indent/Indent.h"

namespace {

// Pieces between CR LF pairs; a final CR LF adds no piece, "" has none.
std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(text.substr(pos));
            break;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::string trimSpaces(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::string withoutTabs(std::string s) {
    std::erase(s, '\t');
    return s;
}

// The text as the editor hands it over: its window turns every bare LF into
// CR LF, so a line never holds a line feed (deleting a tab between a CR and
// an LF would otherwise make a new line end).
std::string asEditorText(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r')) out += '\r';
        out += static_cast<char>(data[i]);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = asEditorText(data, size);
    const std::string output = indent::ReindentText(input);

    FUZZ_CHECK(output.empty() || output.ends_with("\r\n"), "every output line ends with CR LF");
    const auto in = crlfLines(input);
    const auto out = crlfLines(output);
    FUZZ_CHECK(in.size() == out.size(), "one output line per input line");
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::string& line = out[i];
        const std::size_t lead = line.find_first_not_of(' ');
        const std::size_t indentWidth = lead == std::string::npos ? line.size() : lead;
        FUZZ_CHECK(indentWidth % 3 == 0 || lead == std::string::npos, "indentation is whole levels");
        FUZZ_CHECK(line.find('\t') == std::string::npos, "no tab in the output");
        FUZZ_CHECK(trimSpaces(line) == trimSpaces(withoutTabs(in[i])), "line content kept");
    }
    return 0;
}
