// The platform layer: files (lines, every byte, failures, copy and rename),
// the error boxes, bytes to characters and back, line ends.
#include <sys/stat.h>

#include <tuple>

#include "platform/ErrorBoxes.h"
#include "platform/FileSystem.h"
#include "support/Recording.h"
#include "platform/TextCodec.h"
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
        EXPECT_EQ(std::pair(e.number(), e.description()),
                  std::pair(long(err::FileNotFound), std::string("File not found")));
    }
    EXPECT_THROW(realFileSystem().openWrite(dir.path("no/such/dir/x")), RuntimeError);
    EXPECT_THROW(realFileSystem().openRead(dir.path("")), RuntimeError);
}

TEST_F(FileSystemTest, NewFilesAreOnlyTheOwnersAndNeverTakeAnExistingName) {
    const std::string dst = write("dst", "old"), fresh = dir.path("fresh"), open = dir.path("open");
    auto out = realFileSystem().openNew(fresh, false);
    out->write("new");
    out->sync();
    out->close();
    realFileSystem().openNew(open, true)->close();
    struct stat st {};
    ::stat(fresh.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ::stat(open.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
    // Neither a file nor a link in its place is written through.
    const std::string link = dir.path("link");
    ASSERT_EQ(::symlink(dst.c_str(), link.c_str()), 0);
    EXPECT_THROW(realFileSystem().openNew(link, false), RuntimeError);
    EXPECT_THROW(realFileSystem().openNew(dst, false), RuntimeError);
    EXPECT_EQ(realFileSystem().readAll(dst), "old");
    realFileSystem().rename(fresh, dst);
    realFileSystem().syncFolder(dst);
    EXPECT_FALSE(realFileSystem().exists(fresh));
    EXPECT_EQ(realFileSystem().readAll(dst), "new");
    EXPECT_THROW(realFileSystem().syncFolder(dir.path("no/such/x")), RuntimeError);
}

TEST(ErrorBoxes, EachKindWithItsTextTitleIconAndButton) {
    RecordingDesktop desk;
    ShowProgramError("ConvertXBaseBlock", "", RuntimeError(6, "Overflow"));
    ShowProgramError("Load", "mParseLines", RuntimeError(53, "File not found"));
    ShowKestrinError(RuntimeError(62, "Input past end of file"));
    ShowOrvaneError(RuntimeError(6, "Overflow"));
    guardEvent([] { raise(err::SubscriptOutOfRange); });  // an error escaping an event
    guardEvent([] { throw std::runtime_error("boom"); });
    guardEvent([] {});
    const auto expected = cases::rows("platform/cases/error_boxes.txt");
    ASSERT_EQ(desk.boxes.shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ShownBox& box = desk.boxes.shown[i];
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(expected[i][0], expected[i][1], Icon::Stop, Buttons::Ok));
    }
}

TEST(TextCodec, BytesAndCharacters) {
    for (int b = 0; b < 256; ++b) EXPECT_EQ(byteOfChar(charOfByte(static_cast<unsigned char>(b))), b);
    for (const char32_t c : {0x80U, 0x9FU, 0x100U, 0x2192U, 0x1F600U}) EXPECT_EQ(byteOfChar(c), -1);
    EXPECT_EQ(byteOfChar(0x20AC), 0x80);
    EXPECT_EQ(byteOfChar(0x178), 0x9F);
    const std::pair<std::string, std::u16string> display[] = {{"", u""},
                                                              {"M\xC3\x93\xF0\x9F\x98\x80", u"M\u00D3\U0001F600"},
                                                              {"Funci\xF3n \x80", u"Funci\u00F3n \u20AC"},
                                                              {"\xC3", u"\u00C3"},
                                                              {"\xC0\xAF", u"\u00C0\u00AF"},
                                                              {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"}};
    for (const auto& [bytes, text] : display) {
        EXPECT_EQ(displayText(bytes), text) << bytes;
        EXPECT_EQ(displayText(displayBytes(text)), text) << bytes;
    }
    EXPECT_FALSE(firstUnsavableChar(u"\u20AC\u00FF\u240D", u"\u240D"));
    const auto u = firstUnsavableChar(u"a\nb\u2029c\u2028\U0001F600");
    EXPECT_EQ(u->code, 0x1F600u);
    EXPECT_EQ(u->line, 4);
}

TEST(TextCodec, LineEnds) {
    EXPECT_EQ(toLfLineEnds("a\r\nb\r\r\n\n\r"), "a\nb\r\r\n\n\r");  // the CR that ends a line stays
    EXPECT_EQ(toCrLfLineEnds("\na\nb\r\n\r"), "\r\na\r\nb\r\n\r");
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{}, false}, {{"a"}, false}, {{"a\n", "b\r"}, true}, {{"a\r", "\nb\n"}, false}, {{"a\nb\r\n"}, false}};
    for (const auto& [chunks, bareLf] : cases) {
        LineEndSurvey s;
        for (const auto& chunk : chunks) s.feed(chunk);
        EXPECT_EQ(s.allBareLf(), bareLf);
    }
}
