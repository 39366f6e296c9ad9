#pragma once
// Helpers of the scan engine's tests.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Recording.h"
#include "scan/clsOculon.h"

namespace scan {

// Reaches the engine's filing operations and state.
struct ScanTestAccess {
    static void post(clsOculon& o, MessageId id, tSourceLine& line) { o.mPostError(id, line); }
    static void post(clsOculon& o, MessageId id, tSourceLine& line, const std::string& usage) {
        o.mPostError(id, line, usage);
    }
    static void postModule(clsOculon& o, MessageId id, const std::string& a, const std::string& b) {
        o.mPostModuleError(id, a, b);
    }
    static tSourceLine& line(clsOculon& o, long i) { return o.mtLines.at(static_cast<std::size_t>(i)); }
};

}  // namespace scan

namespace scantest {

// Lines joined with CR LF, each line ended by one.
inline std::string crlf(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string casePath(const std::string& name) {
    return std::string(VARNEL_SOURCE_DIR) + "/tests/scan/cases/" + name;
}

// Today as the report head writes it, worked out here on its own.
inline std::string today() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    return buf;
}

// An expected report with "@DATE@" standing for today's date.
inline std::string expectedReport(const std::string& name) {
    std::string s = readFile(casePath(name));
    std::string::size_type p = s.find("@DATE@");
    if (p != std::string::npos) s.replace(p, 6, today());
    return s;
}

// Sets the check level for one test and puts back level 1 afterwards.
struct LevelGuard {
    explicit LevelGuard(int level) { scan::setCheckLevel(level); }
    ~LevelGuard() { scan::setCheckLevel(1); }
};

// An engine without user definitions.
inline scan::clsOculon engine() { return scan::clsOculon(std::string(VARNEL_BINARY_DIR) + "/no-such-userdefs.txt"); }

// An engine without user definitions, with the message boxes recorded.
class ScanTest : public ::testing::Test {
protected:
    // The module findings in slot order.
    std::vector<std::string> moduleFindings() const {
        std::vector<std::string> out;
        for (int s = 1; s <= scan::ModuleSlots && !oculon.moduleMessages()[s].empty(); ++s)
            out.push_back(oculon.moduleMessages()[s]);
        return out;
    }
    const scan::tSourceLine& line(long i) const { return oculon.lines().at(static_cast<std::size_t>(i)); }

    platform::RecordingDesktop desktop;
    scan::clsOculon oculon = engine();
};

}  // namespace scantest
