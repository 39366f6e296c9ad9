// The line ends a save writes: bare LF for a file whose line ends were all
// bare LF when it was opened, CR LF for every other file; and a text with a
// character that no byte holds is not saved at all.
#include "DocFixture.h"

namespace {

using doctest::Lines;
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

TEST_F(SaveText, RefusesACharacterNoByteHoldsAndWritesNothing) {
    const std::string file = write("M.BAS", "a\r\nPrivate Sub B()\r\nEnd Sub\r\n");
    for (const Mode mode : {Mode::Entity, Mode::WholeFile}) {
        ASSERT_TRUE(doc.OpenSourceFile(file, mode));
        type("Private Sub B()\r\n  s = \"?\"\r\nEnd Sub\r\n");
        view.unsavable = platform::UnsavableChar{0x1F600, 2};
        EXPECT_FALSE(doc.mnuFileSave_Click());
        expectBox("The character U+1F600 \"\xF0\x9F\x98\x80\" on line 2 has no byte in the Windows-1252 code page of "
                  "source files, so nothing was saved. Replace it and save again.",
                  editor::ProgramTitle, platform::Icon::Exclamation, platform::Buttons::Ok);
        EXPECT_EQ(folder(), Lines{"M.BAS"});
        EXPECT_EQ(read(file), "a\r\nPrivate Sub B()\r\nEnd Sub\r\n");
    }
}

}  // namespace
