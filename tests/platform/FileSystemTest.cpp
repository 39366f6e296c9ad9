#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "platform/Recording.h"
#include "support/Cases.h"

using namespace platform;

class FileSystemTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir.path(name), std::ios::binary) << bytes;
        return dir.path(name);
    }
    cases::ScratchDir dir;
};

TEST_F(FileSystemTest, ReadsLinesEndingInCrLfOrBareLfAndEveryByte) {
    auto in = realFileSystem().openRead(write("a.txt", "one\r\ntwo\nthree\rx\r\nlast"));
    std::vector<std::string> lines;
    std::vector<std::int64_t> starts{in->position()};
    for (std::string line; in->readLine(line); starts.push_back(in->position())) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three\rx", "last"}));
    EXPECT_EQ(std::vector<std::int64_t>(starts.begin() + 1, starts.begin() + 3), (std::vector<std::int64_t>{6, 10}));
    EXPECT_TRUE(in->atEnd());
    EXPECT_EQ(in->length(), 22);
    in->seek(6);
    std::string line;
    ASSERT_TRUE(in->readLine(line));
    EXPECT_EQ(line, "two");

    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    auto out = realFileSystem().openWrite(dir.path("b.bin"));
    out->write(all);
    out->close();
    EXPECT_EQ(realFileSystem().readAll(dir.path("b.bin")), all);
}

TEST_F(FileSystemTest, FailuresRaiseRunTimeErrors) {
    try {
        realFileSystem().openRead(dir.path("missing.txt"));
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(std::pair(e.number(), e.description()), std::pair(long(err::FileNotFound), std::string("File not found")));
    }
    EXPECT_THROW(realFileSystem().openWrite(dir.path("no/such/dir/x")), RuntimeError);
    EXPECT_THROW(realFileSystem().openRead(dir.path("")), RuntimeError);
}

TEST_F(FileSystemTest, CopyAndRenameReplaceTheTargetAndKeepThePermissions) {
    const std::string src = write("src", "new"), dst = write("dst", "old"), copy = dir.path("copy");
    ::chmod(src.c_str(), 0640);
    realFileSystem().copy(src, copy);
    EXPECT_EQ(realFileSystem().readAll(copy), "new");
    struct stat st {};
    ::stat(copy.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    realFileSystem().rename(src, dst);
    EXPECT_FALSE(realFileSystem().exists(src));
    EXPECT_EQ(realFileSystem().readAll(dst), "new");
}

