// Scanning from the command line: which files, in which order, what comes out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScanTestSupport.h"
#include "scan/BatchScan.h"

using namespace scan;
namespace fs = std::filesystem;

namespace {

class BatchScan : public ::testing::Test {
protected:
    void SetUp() override {
        // One folder per test: ctest runs the tests of this suite side by side.
        dir = fs::path(VARNEL_BINARY_DIR) /
              ("scan-batch-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "sub");
    }
    void TearDown() override {
        fs::remove_all(dir);
        setCheckLevel(1);
    }
    void touch(const fs::path& p, const std::string& text = "Option Explicit\r\n") {
        std::ofstream(p, std::ios::binary) << text;
    }
    fs::path dir;
    platform::RecordingDesktop desktop;
};

TEST_F(BatchScan, FolderGivesItsSourceFilesInSortedOrder) {
    touch(dir / "b.bas");
    touch(dir / "A.FRM");
    touch(dir / "c.Cls");
    touch(dir / "notes.txt");
    touch(dir / "x.basx");
    touch(dir / "sub" / "d.BAS");
    std::vector<std::string> got = filesToScan(dir.string());
    std::vector<std::string> expected{(dir / "A.FRM").string(), (dir / "b.bas").string(),
                                      (dir / "c.Cls").string(), (dir / "sub" / "d.BAS").string()};
    EXPECT_EQ(got, expected);
    // A file is itself, whatever its name.
    EXPECT_EQ(filesToScan((dir / "notes.txt").string()), std::vector<std::string>{(dir / "notes.txt").string()});
}

#ifdef SIFTON_PATH
// The program itself: runs it and returns its exit status and standard output.
int runSifton(const std::string& args, std::string& output) {
    std::string cmd = std::string(SIFTON_PATH) + " " + args + " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    output.clear();
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
    int status = ::pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SiftonCommand, PrintsTheReportAndExitsByTheFindings) {
    if (!fs::exists(SIFTON_PATH)) GTEST_SKIP() << "sifton is not built";
    std::string out;
    EXPECT_EQ(runSifton("--level 3 " + scantest::casePath("util.bas"), out), 1);
    EXPECT_EQ(out, scantest::expectedReport("util.level3.txt"));
    EXPECT_EQ(runSifton(scantest::casePath("util.bas"), out), 1);
    EXPECT_EQ(out, scantest::expectedReport("util.level1.txt"));
    EXPECT_EQ(runSifton("--level 3 " + scantest::casePath("FMAIN.FRM"), out), 0);
    EXPECT_EQ(out, scantest::expectedReport("FMAIN.level3.txt"));
    EXPECT_EQ(runSifton("--level 4 " + scantest::casePath("FMAIN.FRM"), out), 2);
    EXPECT_EQ(runSifton("--list-messages", out), 0);
    EXPECT_NE(out.find("Error: Use string form of function ($)."), std::string::npos);
}
#endif

}  // namespace
