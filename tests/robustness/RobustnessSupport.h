#pragma once
// Helpers of the robustness tests: a scratch folder per test, whole-file
// reads and writes that bypass the platform layer (so that they are never the
// operation a test makes fail), and the case files with CR LF line ends.

#include "support/Cases.h"

namespace robustness {

inline std::string readBytes(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}
inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
inline std::string caseText(const std::string& name) { return cases::crlf(cases::lines("robustness/cases/" + name)); }

using cases::ScratchDir;

}  // namespace robustness
