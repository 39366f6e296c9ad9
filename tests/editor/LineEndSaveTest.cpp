// The line ends a save writes: bare LF for a file whose line ends were all
// bare LF when it was opened, CR LF for every other file.
#include "DocFixture.h"

namespace {

using editor::Mode;

class SaveText : public doctest::DocTest {};

TEST_F(SaveText, KeepsBareLfFilesBareLfInBothModes) {
    const std::string typed = "Private Sub B()\r\ny\r\nEnd Sub\r\n";
    const struct { const char* was; Mode mode; const char* saved; } cases[] = {
        {"a\nPrivate Sub B()\nx\nEnd Sub\nc\n", Mode::Entity, "a\nPrivate Sub B()\ny\nEnd Sub\n\nc\n"},
        {"a\r\nPrivate Sub B()\nx\nEnd Sub\nc\n", Mode::Entity, "a\r\nPrivate Sub B()\r\ny\r\nEnd Sub\r\n\r\nc\r\n"},
        {"a\nb\n", Mode::WholeFile, "Private Sub B()\ny\nEnd Sub\n\n"},
        {"a\nb\r\n", Mode::WholeFile, "Private Sub B()\r\ny\r\nEnd Sub\r\n\r\n"},
        {"a", Mode::WholeFile, "Private Sub B()\r\ny\r\nEnd Sub\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.was);
        const std::string file = write("M.BAS", c.was);
        ASSERT_TRUE(doc.OpenSourceFile(file, c.mode));
        if (c.mode == Mode::Entity) choose("B");
        type(typed);
        ASSERT_TRUE(doc.mnuFileSave_Click());
        EXPECT_EQ(read(file), c.saved);
        EXPECT_EQ(read(path("M.BAK")), c.mode == Mode::Entity ? c.was : "");
        std::filesystem::remove(path("M.BAK"));
    }
}

}  // namespace
