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

TEST_F(BatchScan, ReportsFollowOneAnotherInTheOrderGiven) {
    std::ostringstream out;
    int status = runBatchScan(3, std::nullopt,
                              {scantest::casePath("FMAIN.FRM"), scantest::casePath("util.bas")}, out);
    EXPECT_EQ(out.str(), scantest::expectedReport("FMAIN.level3.txt") + scantest::expectedReport("util.level3.txt"));
    EXPECT_EQ(status, 1);  // util.bas lacks "Option Explicit"
    EXPECT_EQ(giCheckLevel, 3);
    // Status 0 without Error findings, at any level.
    EXPECT_EQ(runBatchScan(1, std::nullopt, {scantest::casePath("FMAIN.FRM")}, out), 0);
    EXPECT_EQ(runBatchScan(3, std::nullopt, {scantest::casePath("FMAIN.FRM")}, out), 0);
    EXPECT_EQ(runBatchScan(1, std::nullopt, {scantest::casePath("util.bas")}, out), 1);
}

TEST_F(BatchScan, UnreadableFileIsReportedAndTheScanGoesOn) {
    std::ostringstream out, err;
    touch(dir / "ok.bas");
    int status = runBatchScan(1, std::nullopt, {(dir / "gone.bas").string(), (dir / "ok.bas").string()}, out, err);
    EXPECT_EQ(err.str(), "sifton: cannot read " + (dir / "gone.bas").string() + "\n");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_NE(desktop.boxes.last().text.find("Procname: Load"), std::string::npos);
    EXPECT_NE(out.str().find("Module: \t\t\tGONE.BAS\r\n"), std::string::npos);
    EXPECT_NE(out.str().find("Module: \t\t\tOK.BAS\r\n"), std::string::npos);
    // A file that could not be scanned is no success.
    EXPECT_EQ(status, 1);
}

TEST_F(BatchScan, UserDefinitionsFileIsPassedOn) {
    touch(dir / "defs.txt", "Gauge=gau\n");
    touch(dir / "sub" / "frmA.frm", "Begin MyLib.Gauge gauSpeed\r\nEnd\r\n");
    std::ostringstream without, with;
    runBatchScan(2, std::nullopt, {(dir / "sub").string()}, without);
    runBatchScan(2, (dir / "defs.txt").string(), {(dir / "sub").string()}, with);
    const std::string finding = "{gauSpeed}{MyLib.Gauge} {???}";
    EXPECT_NE(without.str().find(finding), std::string::npos) << without.str();
    EXPECT_EQ(with.str().find("MyLib.Gauge"), std::string::npos) << with.str();
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
