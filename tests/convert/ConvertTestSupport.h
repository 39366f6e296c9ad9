#pragma once
// Runs blocks through the converter and compares them line by line.
#include <string>
#include <vector>

#include "convert/ConvertXBase.h"

namespace converttest {

using Lines = std::vector<std::string>;

inline std::string joinCrLf(const Lines& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

// Splits converter output into its lines; every line must end with CR LF,
// otherwise the marker line "<missing CR LF>" is appended.
inline Lines splitCrLf(const std::string& text) {
    Lines lines;
    std::size_t from = 0;
    while (from < text.size()) {
        auto end = text.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(text.substr(from));
            lines.push_back("<missing CR LF>");
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

// The lines converted from the input lines (joined with CR LF, no final one).
inline Lines convertLines(const Lines& input) {
    convert::ConvertXBase converter;
    std::string out;
    converter.ConvertXBaseBlock(joinCrLf(input), out);
    return splitCrLf(out);
}

}  // namespace converttest
