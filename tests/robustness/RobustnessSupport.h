#pragma once
// Helpers of the robustness tests: a scratch folder per test, whole-file
// reads and writes that bypass the platform layer (so that they are never the
// operation a test makes fail), and the case files with CR LF line ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

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

// A fresh, empty folder for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() { clear(); }
    ~ScratchDir() { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) out.insert(e.path().filename().string());
        return out;
    }
    void clear() {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }

private:
    std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                                 ("varnel-robust-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                  "-" + std::to_string(::getpid()));
};

// Seconds that f takes; printed so that the slowest cases show in the log.
template <class F>
void timed(const std::string& what, F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    std::printf("[ timing ] %-48s %8.3f s\n", what.c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
}

}  // namespace robustness
