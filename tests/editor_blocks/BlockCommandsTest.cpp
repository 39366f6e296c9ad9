// The block commands on a stand-in window: the block each one takes, what
// replaces it, the clipboard afterwards, and the messages for an empty text.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/BlockCommands.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"

using editor::CommentBlock;
using editor::UncommentBlock;

namespace {

// A text box with a selection; Paste replaces the selection with the
// clipboard's text and leaves the caret after it.
class FakeWindow : public editor::EditorTarget {
public:
    explicit FakeWindow(std::string text, std::size_t start = 0, std::size_t length = 0)
        : text_(std::move(text)), start_(start), length_(length) {}
    std::string selectedText() override { return text_.substr(start_, length_); }
    std::string text() override { return text_; }
    void setSelStart(std::int64_t s) override { start_ = static_cast<std::size_t>(s); }
    void setSelLength(std::int64_t l) override { length_ = static_cast<std::size_t>(l); }
    void setFocus() override { log += "focus;"; }
    void paste() override {
        log += "paste;";
        if (failPaste) platform::raise(platform::err::Overflow);
        const std::string block = platform::clipboard().text();
        text_.replace(start_, length_, block);
        start_ += block.size();
        length_ = 0;
    }
    std::size_t start() const { return start_; }
    std::size_t length() const { return length_; }
    std::string log;
    bool failPaste = false;

private:
    std::string text_;
    std::size_t start_, length_;
};

// A clipboard that fails when it is read.
class BrokenClipboard : public platform::RecordingClipboard {
public:
    std::string text() const override { platform::raise(platform::err::DeviceIO); }
};

void expectErrorBox(const platform::RecordingMessageBoxes& boxes, const std::string& text) {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.last().text, text);
    EXPECT_EQ(boxes.last().title, "Error");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(boxes.last().buttons, platform::Buttons::Ok);
}

}  // namespace

// --- the line transformations ----------------------------------------------

TEST(CommentBlock, KeepsIndentAndTrimsEachLine) {
    EXPECT_EQ(CommentBlock("a = 1\r\n  b = 2\r\n"), "'a = 1\r\n  'b = 2\r\n");
    EXPECT_EQ(CommentBlock("   x = 1   "), "   'x = 1\r\n");
    EXPECT_EQ(CommentBlock(""), "");
}

TEST(CommentBlock, BlankAndCommentedLinesAreCommentedToo) {
    EXPECT_EQ(CommentBlock("  \r\n\r\n'old"), "  '\r\n'\r\n''old\r\n");
    // Only spaces count as blanks: a tab stays inside the line.
    EXPECT_EQ(CommentBlock("\tx"), "'\tx\r\n");
    // A CR that is not part of a line end stays in its line.
    EXPECT_EQ(CommentBlock("a\rb\r\nc"), "'a\rb\r\n'c\r\n");
}

TEST(UncommentBlock, RemovesFirstApostropheAfterLeadingBlanks) {
    EXPECT_EQ(UncommentBlock("  ' x = 1  "), "   x = 1\r\n");
    EXPECT_EQ(UncommentBlock("''twice\r\n'x = 'a'"), "'twice\r\nx = 'a'\r\n");
}

TEST(UncommentBlock, OtherLinesLoseOnlyTrailingBlanks) {
    EXPECT_EQ(UncommentBlock("x = 'a'"), "x = 'a'\r\n");
    EXPECT_EQ(UncommentBlock("  a = 1   \r\n   \r\n\t'x"), "  a = 1\r\n\r\n\t'x\r\n");
}

TEST(BlockLines, NoLineLimit) {
    // More lines than a 16-bit counter holds: none may be lost.
    std::string block, expected;
    for (int i = 0; i < 40000; ++i) {
        block += "x\r\n";
        expected += "'x\r\n";
    }
    EXPECT_EQ(CommentBlock(block), expected);
    EXPECT_EQ(UncommentBlock(expected), block);
}

// --- Comment ----------------------------------------------------------------

TEST(CommentLines, SelectionIsReplacedThroughClipboard) {
    platform::RecordingDesktop desk;
    desk.clipboard.setText("before");
    FakeWindow w("a = 1\r\n  b = 2\r\nc", 0, 16);
    editor::CommentLines(w);
    EXPECT_EQ(w.text(), "'a = 1\r\n  'b = 2\r\nc");
    EXPECT_EQ(desk.clipboard.text(), "'a = 1\r\n  'b = 2\r\n");
    EXPECT_EQ(w.log, "focus;paste;");
    EXPECT_TRUE(desk.boxes.shown.empty());
}

TEST(CommentLines, SelectionEndingInsideLineSplitsIt) {
    platform::RecordingDesktop desk;
    FakeWindow w("x = 1\r\ny = 2", 0, 8);  // "x = 1\r\ny"
    editor::CommentLines(w);
    EXPECT_EQ(w.text(), "'x = 1\r\n'y\r\n = 2");
}

TEST(CommentLines, NothingSelectedTakesWholeText) {
    platform::RecordingDesktop desk;
    FakeWindow w("a\r\n  b", 4, 0);
    editor::CommentLines(w);
    EXPECT_EQ(w.text(), "'a\r\n  'b\r\n");
    EXPECT_EQ(desk.clipboard.text(), "'a\r\n  'b\r\n");
}

TEST(CommentLines, BlankTextIsRefusedWithoutChange) {
    for (const std::string text : {"", "     "}) {
        platform::RecordingDesktop desk;
        desk.clipboard.setText("kept");
        FakeWindow w(text, text.size() / 2, 0);
        editor::CommentLines(w);
        expectErrorBox(desk.boxes, "You have no text selected!");
        EXPECT_EQ(w.text(), text);
        EXPECT_EQ(w.start(), text.size() / 2);
        EXPECT_EQ(desk.clipboard.text(), "kept");
        EXPECT_EQ(w.log, "");
    }
}

TEST(CommentLines, LineEndsAloneAreNotBlank) {
    platform::RecordingDesktop desk;
    FakeWindow w("\r\n");
    editor::CommentLines(w);
    EXPECT_TRUE(desk.boxes.shown.empty());
    EXPECT_EQ(w.text(), "'\r\n");
}

TEST(CommentLines, FailedPasteIsShownInKestrinBox) {
    platform::RecordingDesktop desk;
    FakeWindow w("a", 0, 1);
    w.failPaste = true;
    editor::CommentLines(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "Overflow");
    EXPECT_EQ(desk.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(desk.boxes.last().buttons, platform::Buttons::Ok);
    EXPECT_EQ(w.text(), "a");
    EXPECT_EQ(desk.clipboard.text(), "'a\r\n");
}

// --- Uncomment --------------------------------------------------------------

TEST(UncommentLines, SelectionIsReplacedThroughClipboard) {
    platform::RecordingDesktop desk;
    FakeWindow w("Sub A()\r\n  ' x = 1  \r\n'y = 2\r\nEnd Sub", 9, 21);
    editor::UncommentLines(w);
    EXPECT_EQ(w.text(), "Sub A()\r\n   x = 1\r\ny = 2\r\nEnd Sub");
    EXPECT_EQ(desk.clipboard.text(), "   x = 1\r\ny = 2\r\n");
    EXPECT_EQ(w.log, "focus;paste;");
}

TEST(UncommentLines, NothingSelectedTakesWholeText) {
    platform::RecordingDesktop desk;
    FakeWindow w("'a\r\n'b", 2, 0);
    editor::UncommentLines(w);
    EXPECT_EQ(w.text(), "a\r\nb\r\n");
}

TEST(UncommentLines, BlankTextIsTakenButEmptyTextRefused) {
    {
        platform::RecordingDesktop desk;
        FakeWindow w("   ", 1, 0);
        editor::UncommentLines(w);
        EXPECT_TRUE(desk.boxes.shown.empty());
        EXPECT_EQ(w.text(), "\r\n");
        EXPECT_EQ(desk.clipboard.text(), "\r\n");
    }
    platform::RecordingDesktop desk;
    desk.clipboard.setText("kept");
    FakeWindow w("");
    editor::UncommentLines(w);
    expectErrorBox(desk.boxes, "You have no text selected!");
    EXPECT_EQ(desk.clipboard.text(), "kept");
    EXPECT_EQ(w.log, "");
}

// --- Convert ----------------------------------------------------------------

TEST(ConvertXBaseProc, SelectionIsConverted) {
    platform::RecordingDesktop desk;
    FakeWindow w("keep\r\nx := 5\r\n* note\r\nrest", 6, 16);
    editor::ConvertXBaseProc(w);
    EXPECT_EQ(w.text(), "keep\r\nx = 5\r\n' note\r\nrest");
    EXPECT_EQ(desk.clipboard.text(), "x = 5\r\n' note\r\n");
    EXPECT_EQ(w.log, "focus;paste;");
}

TEST(ConvertXBaseProc, NothingSelectedPastesEmptyResultAtCaret) {
    // No select-all, no message: the empty result goes onto the clipboard.
    for (const std::string text : {"x := 5", "   ", ""}) {
        platform::RecordingDesktop desk;
        desk.clipboard.setText("old");
        FakeWindow w(text, text.size(), 0);
        editor::ConvertXBaseProc(w);
        EXPECT_TRUE(desk.boxes.shown.empty());
        EXPECT_EQ(w.text(), text);
        EXPECT_EQ(w.start(), text.size());
        EXPECT_EQ(desk.clipboard.text(), "");
        EXPECT_EQ(w.log, "focus;paste;");
    }
}

TEST(ConvertXBaseProc, FailureIsShownInProgramErrorBox) {
    platform::RecordingDesktop desk;
    FakeWindow w("x := 5", 0, 6);
    w.failPaste = true;
    editor::ConvertXBaseProc(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text,
              "Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseProc\nSub Proc: ");
    EXPECT_EQ(desk.boxes.last().title, "Program Error");
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(desk.boxes.last().buttons, platform::Buttons::Ok);
    EXPECT_EQ(w.text(), "x := 5");
}

// --- Concatenate ------------------------------------------------------------

TEST(ConcatenateToClipboard, TwiceCollectsBothPieces) {
    platform::RecordingDesktop desk;
    FakeWindow w("abc def", 0, 3);
    editor::ConcatenateToClipboard(w);
    EXPECT_EQ(desk.clipboard.text(), "abc");
    w.setSelStart(4);
    w.setSelLength(3);
    editor::ConcatenateToClipboard(w);
    EXPECT_EQ(desk.clipboard.text(), "abcdef");
    EXPECT_EQ(w.text(), "abc def");
    EXPECT_EQ(w.log, "");
}

TEST(ConcatenateToClipboard, NothingSelectedAppendsAndSelectsWholeText) {
    platform::RecordingDesktop desk;
    desk.clipboard.setText("x\r\n");
    FakeWindow w("a\r\nb", 2, 0);
    editor::ConcatenateToClipboard(w);
    EXPECT_EQ(desk.clipboard.text(), "x\r\na\r\nb");
    EXPECT_EQ(w.start(), 0u);
    EXPECT_EQ(w.length(), 4u);
    EXPECT_EQ(w.text(), "a\r\nb");
}

TEST(ConcatenateToClipboard, BlankTextIsRefusedButBlankSelectionTaken) {
    platform::RecordingDesktop desk;
    desk.clipboard.setText("kept");
    FakeWindow w("   ", 1, 0);
    editor::ConcatenateToClipboard(w);
    expectErrorBox(desk.boxes, "You have no text to concatenate!");
    EXPECT_EQ(desk.clipboard.text(), "kept");
    EXPECT_EQ(w.start(), 1u);
    EXPECT_EQ(w.length(), 0u);

    desk.boxes.clear();
    w.setSelLength(2);
    editor::ConcatenateToClipboard(w);
    EXPECT_TRUE(desk.boxes.shown.empty());
    EXPECT_EQ(desk.clipboard.text(), "kept  ");
}

TEST(ConcatenateToClipboard, FailureLeavesClipboardAndIsShown) {
    platform::RecordingDesktop desk;
    BrokenClipboard broken;
    platform::ScopedServices scope({.clipboard = &broken});
    FakeWindow w("abc", 0, 3);
    editor::ConcatenateToClipboard(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "Device I/O error");
    EXPECT_EQ(desk.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(broken.sets + broken.clears, 0);
}

// --- Print Selected Text ----------------------------------------------------

TEST(PrintSelectedText, PrintsSelectionAlone) {
    platform::RecordingDesktop desk;
    platform::RecordingPrinter printer;
    FakeWindow w("first\r\nsecond\r\nthird", 7, 8);
    EXPECT_TRUE(editor::PrintSelectedText(w, [&]() -> platform::Printer& { return printer; }));
    const auto texts = printer.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "second"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "first"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "third"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Selected (All) Text"), texts.end());
    EXPECT_TRUE(printer.ended());
    EXPECT_EQ(w.start(), 7u);
    EXPECT_EQ(w.length(), 8u);
}

TEST(PrintSelectedText, NothingSelectedPrintsWholeTextWithoutSelecting) {
    platform::RecordingDesktop desk;
    platform::RecordingPrinter printer;
    FakeWindow w("first\r\nsecond", 3, 0);
    EXPECT_TRUE(editor::PrintSelectedText(w, [&]() -> platform::Printer& { return printer; }));
    const auto texts = printer.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "first"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "second"), texts.end());
    EXPECT_EQ(w.start(), 3u);
    EXPECT_EQ(w.length(), 0u);
    EXPECT_EQ(w.log, "");
}

TEST(PrintSelectedText, BlankTextOpensNoPrinter) {
    platform::RecordingDesktop desk;
    FakeWindow w("  ", 0, 0);
    bool opened = false;
    platform::RecordingPrinter printer;
    EXPECT_FALSE(editor::PrintSelectedText(w, [&]() -> platform::Printer& {
        opened = true;
        return printer;
    }));
    expectErrorBox(desk.boxes, "You have no text selected!");
    EXPECT_FALSE(opened);
}
