#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/FileSystem.h"
#include "platform/Recording.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("varnel_fs_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) { return (dir / name).string(); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    fs::path dir;
};

}  // namespace

TEST_F(FileSystemTest, ReadsLinesEndingInCrLfOrBareLf) {
    write("a.txt", "one\r\ntwo\nthree\rx\r\nlast");
    auto in = realFileSystem().openRead(path("a.txt"));
    std::string line;
    std::vector<std::string> lines;
    std::vector<std::int64_t> starts;
    for (;;) {
        starts.push_back(in->position());
        if (!in->readLine(line)) break;
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three\rx", "last"}));
    EXPECT_EQ(starts[1], 6);
    EXPECT_EQ(starts[2], 10);
    EXPECT_TRUE(in->atEnd());
    in->seek(6);
    ASSERT_TRUE(in->readLine(line));
    EXPECT_EQ(line, "two");
    EXPECT_EQ(in->length(), 22);
}

TEST_F(FileSystemTest, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    auto out = realFileSystem().openWrite(path("b.bin"));
    out->write(all);
    out->close();
    EXPECT_EQ(realFileSystem().readAll(path("b.bin")), all);
}

TEST_F(FileSystemTest, FailuresRaiseRunTimeErrors) {
    try {
        realFileSystem().openRead(path("missing.txt"));
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
        EXPECT_EQ(e.description(), "File not found");
    }
    EXPECT_THROW(realFileSystem().openWrite(path("no/such/dir/x")), RuntimeError);
    EXPECT_THROW(realFileSystem().openRead(dir.string()), RuntimeError);
    EXPECT_THROW(realFileSystem().rename(path("missing"), path("x")), RuntimeError);
}

TEST_F(FileSystemTest, CopyAndRenameReplaceTheTarget) {
    write("src", "new");
    write("dst", "old");
    ::chmod(path("src").c_str(), 0640);
    realFileSystem().copy(path("src"), path("copy"));
    EXPECT_EQ(realFileSystem().readAll(path("copy")), "new");
    struct stat st {};
    ::stat(path("copy").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    realFileSystem().rename(path("src"), path("dst"));
    EXPECT_FALSE(realFileSystem().exists(path("src")));
    EXPECT_EQ(realFileSystem().readAll(path("dst")), "new");
}

TEST_F(FileSystemTest, FaultyFileSystemFailsTheChosenCall) {
    write("a", "x\r\ny\r\n");
    FaultyFileSystem faulty(realFileSystem());
    faulty.failOn("read", 2);
    auto in = faulty.openRead(path("a"));
    std::string line;
    EXPECT_TRUE(in->readLine(line));
    EXPECT_THROW(in->readLine(line), RuntimeError);
    faulty.failOn("rename", 1, err::PermissionDenied);
    try {
        faulty.rename(path("a"), path("b"));
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::PermissionDenied);
    }
    EXPECT_TRUE(faulty.exists(path("a")));
    EXPECT_EQ(faulty.calls["openRead"], 1);
}
