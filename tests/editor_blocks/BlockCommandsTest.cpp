// The block commands on a stand-in window: the block each one takes, what
// replaces it, the clipboard afterwards, and the messages for an empty text.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/BlockCommands.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"
#include "support/FakeTextBox.h"

using editor::CommentBlock;
using editor::UncommentBlock;

namespace {


void expectBox(const platform::RecordingMessageBoxes& boxes, const std::string& text, const std::string& title,
               platform::Icon icon) {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.last().text, text);
    EXPECT_EQ(boxes.last().title, title);
    EXPECT_EQ(boxes.last().icon, icon);
    EXPECT_EQ(boxes.last().buttons, platform::Buttons::Ok);
}

}  // namespace

TEST(CommentBlock, CommentsEveryLineAfterItsIndent) {
    // Only spaces count as blanks; a CR that is not part of a line end stays in its line.
    const std::pair<const char*, const char*> cases[] = {
        {"a = 1\r\n  b = 2\r\n", "'a = 1\r\n  'b = 2\r\n"}, {"   x = 1   ", "   'x = 1\r\n"}, {"", ""},
        {"  \r\n\r\n'old", "  '\r\n'\r\n''old\r\n"}, {"\tx", "'\tx\r\n"}, {"a\rb\r\nc", "'a\rb\r\n'c\r\n"}};
    for (const auto& [block, commented] : cases) EXPECT_EQ(CommentBlock(block), commented) << block;
}

TEST(UncommentBlock, RemovesTheFirstApostropheAndTrailingBlanks) {
    const std::pair<const char*, const char*> cases[] = {
        {"  ' x = 1  ", "   x = 1\r\n"}, {"''twice\r\n'x = 'a'", "'twice\r\nx = 'a'\r\n"}, {"x = 'a'", "x = 'a'\r\n"},
        {"  a = 1   \r\n   \r\n\t'x", "  a = 1\r\n\r\n\t'x\r\n"}};
    for (const auto& [block, uncommented] : cases) EXPECT_EQ(UncommentBlock(block), uncommented) << block;
}

TEST(BlockLines, NoLineLimit) {
    // More lines than a 16-bit counter holds: none may be lost.
    std::string block, expected;
    for (int i = 0; i < 40000; ++i) block += "x\r\n", expected += "'x\r\n";
    EXPECT_EQ(CommentBlock(block), expected);
    EXPECT_EQ(UncommentBlock(expected), block);
}

// A command on a window holding text with a selection: the text afterwards,
// the clipboard (it holds "old" before), the selection, the calls on the
// window, and the refusal message ("" for none).
TEST(BlockCommand, ReplacesTheBlockThroughTheClipboardOrRefuses) {
    using Command = void (*)(editor::EditorTarget&);
    const Command Comment = editor::CommentLines, Uncomment = editor::UncommentLines,
                  Convert = editor::ConvertXBaseProc, Concatenate = editor::ConcatenateToClipboard;
    const std::string Paste = "focus;paste;", NoText = "You have no text selected!";
    const struct {
        const char* what;
        Command command;
        std::string text;
        std::size_t start, length;
        std::string after, clipboard;
        std::size_t selStart, selLength;
        std::string log, message;
    } cases[] = {
        {"comment selection", Comment, "a = 1\r\n  b = 2\r\nc", 0, 16, "'a = 1\r\n  'b = 2\r\nc",
         "'a = 1\r\n  'b = 2\r\n", 18, 0, Paste, ""},
        {"comment selection ending inside a line splits it", Comment, "x = 1\r\ny = 2", 0, 8,
         "'x = 1\r\n'y\r\n = 2", "'x = 1\r\n'y\r\n", 12, 0, Paste, ""},
        {"comment nothing selected", Comment, "a\r\n  b", 4, 0, "'a\r\n  'b\r\n", "'a\r\n  'b\r\n", 10, 0, Paste, ""},
        {"comment empty text", Comment, "", 0, 0, "", "old", 0, 0, "", NoText},
        {"comment blank text", Comment, "     ", 2, 0, "     ", "old", 2, 0, "", NoText},
        {"comment line ends alone are not blank", Comment, "\r\n", 0, 0, "'\r\n", "'\r\n", 3, 0, Paste, ""},
        {"uncomment selection", Uncomment, "Sub A()\r\n  ' x = 1  \r\n'y = 2\r\nEnd Sub", 9, 21,
         "Sub A()\r\n   x = 1\r\ny = 2\r\nEnd Sub", "   x = 1\r\ny = 2\r\n", 26, 0, Paste, ""},
        {"uncomment nothing selected", Uncomment, "'a\r\n'b", 2, 0, "a\r\nb\r\n", "a\r\nb\r\n", 6, 0, Paste, ""},
        {"uncomment takes blank text", Uncomment, "   ", 1, 0, "\r\n", "\r\n", 2, 0, Paste, ""},
        {"uncomment empty text", Uncomment, "", 0, 0, "", "old", 0, 0, "", NoText},
        {"convert selection", Convert, "keep\r\nx := 5\r\n* note\r\nrest", 6, 16, "keep\r\nx = 5\r\n' note\r\nrest",
         "x = 5\r\n' note\r\n", 21, 0, Paste, ""},
        // No select-all and no message: the empty result goes onto the clipboard.
        {"convert nothing selected", Convert, "x := 5", 6, 0, "x := 5", "", 6, 0, Paste, ""},
        {"convert blank text", Convert, "   ", 3, 0, "   ", "", 3, 0, Paste, ""},
        {"convert empty text", Convert, "", 0, 0, "", "", 0, 0, Paste, ""},
        // Concatenate appends to the clipboard without a separator and pastes nothing.
        {"concatenate selection", Concatenate, "abc def", 4, 3, "abc def", "olddef", 4, 3, "", ""},
        {"concatenate nothing selected selects the whole text", Concatenate, "a\r\nb", 2, 0, "a\r\nb", "olda\r\nb",
         0, 4, "", ""},
        {"concatenate blank text", Concatenate, "   ", 1, 0, "   ", "old", 1, 0, "", "You have no text to concatenate!"},
        {"concatenate blank selection", Concatenate, "   ", 1, 2, "   ", "old  ", 1, 2, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::RecordingDesktop desk;
        desk.clipboard.setText("old");
        FakeTextBox w(c.text, c.start, c.length);
        c.command(w);
        EXPECT_EQ(w.text(), c.after);
        EXPECT_EQ(desk.clipboard.text(), c.clipboard);
        EXPECT_EQ(w.start(), c.selStart);
        EXPECT_EQ(w.length(), c.selLength);
        EXPECT_EQ(w.log, c.log);
        if (c.message.empty()) {
            EXPECT_TRUE(desk.boxes.shown.empty());
        } else {
            expectBox(desk.boxes, c.message, "Error", platform::Icon::Exclamation);
        }
    }
}

TEST(BlockCommand, FailedPasteIsShownAndLeavesTheText) {
    platform::RecordingDesktop desk;
    FakeTextBox w("a", 0, 1);
    w.failPaste = true;
    editor::CommentLines(w);
    expectBox(desk.boxes, "Overflow", "Kestrin Error", platform::Icon::Stop);
    EXPECT_EQ(w.text(), "a");
    EXPECT_EQ(desk.clipboard.text(), "'a\r\n");

    desk.boxes.clear();
    FakeTextBox x("x := 5", 0, 6);
    x.failPaste = true;
    editor::ConvertXBaseProc(x);
    expectBox(desk.boxes, "Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseProc\nSub Proc: ", "Program Error",
              platform::Icon::Stop);
    EXPECT_EQ(x.text(), "x := 5");
}

TEST(ConcatenateToClipboard, FailureLeavesClipboardAndIsShown) {
    // A clipboard that fails when it is read.
    struct BrokenClipboard : platform::RecordingClipboard {
        std::string text() const override { platform::raise(platform::err::DeviceIO); }
    };
    platform::RecordingDesktop desk;
    BrokenClipboard broken;
    platform::ScopedServices scope({.clipboard = &broken});
    FakeTextBox w("abc", 0, 3);
    editor::ConcatenateToClipboard(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "Device I/O error");
    EXPECT_EQ(desk.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(broken.sets + broken.clears, 0);
}

TEST(PrintSelectedText, PrintsTheSelectionOrTheWholeTextWithoutSelecting) {
    // text, selection, what must and must not be printed
    const struct {
        std::string text;
        std::size_t start, length;
        std::vector<std::string> printed, notPrinted;
    } cases[] = {{"first\r\nsecond\r\nthird", 7, 8, {"second", "Selected (All) Text"}, {"first", "third"}},
                 {"first\r\nsecond", 3, 0, {"first", "second"}, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        platform::RecordingDesktop desk;
        platform::RecordingPrinter printer;
        FakeTextBox w(c.text, c.start, c.length);
        EXPECT_TRUE(editor::PrintSelectedText(w, [&]() -> platform::Printer& { return printer; }));
        const auto texts = printer.texts();
        for (const auto& t : c.printed) EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
        for (const auto& t : c.notPrinted) EXPECT_EQ(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
        EXPECT_TRUE(printer.ended());
        EXPECT_EQ(w.start(), c.start);
        EXPECT_EQ(w.length(), c.length);
        EXPECT_EQ(w.log, "");
    }
}

TEST(PrintSelectedText, BlankTextOpensNoPrinter) {
    platform::RecordingDesktop desk;
    FakeTextBox w("  ", 0, 0);
    bool opened = false;
    platform::RecordingPrinter printer;
    EXPECT_FALSE(editor::PrintSelectedText(w, [&]() -> platform::Printer& {
        opened = true;
        return printer;
    }));
    expectBox(desk.boxes, "You have no text selected!", "Error", platform::Icon::Exclamation);
    EXPECT_FALSE(opened);
}
