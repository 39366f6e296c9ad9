// The block commands on a stand-in window (cases/commands.txt): the block
// each one takes, what replaces it, the clipboard afterwards, and the
// messages for an empty text; then failures and printing.

#include <algorithm>

#include "editor/BlockCommands.h"
#include "support/Recording.h"
#include "platform/RuntimeError.h"
#include "support/Cases.h"
#include "support/FakeTextBox.h"

namespace {

void expectBox(const platform::RecordingMessageBoxes& boxes, const std::string& text, const std::string& title,
               platform::Icon icon) {
    ASSERT_EQ(boxes.shown.size(), 1u);
    const auto& b = boxes.last();
    EXPECT_EQ(std::tie(b.text, b.title, b.icon, b.buttons), std::tuple(text, title, icon, platform::Buttons::Ok));
}

}  // namespace

TEST(BlockCommand, EveryRowOfTheTable) {
    const std::map<std::string, void (*)(editor::EditorTarget&)> commands = {
        {"Comment", editor::CommentLines},
        {"Uncomment", editor::UncommentLines},
        {"Convert", editor::ConvertXBaseProc},
        {"Concatenate", editor::ConcatenateToClipboard}};
    for (const auto& r : cases::rows("editor_blocks/cases/commands.txt")) {
        SCOPED_TRACE(r[0] + ": " + r[1]);
        if (r[0] == "CommentBlock" || r[0] == "UncommentBlock") {
            EXPECT_EQ(r[0] == "CommentBlock" ? editor::CommentBlock(r[1]) : editor::UncommentBlock(r[1]), r[2]);
            continue;
        }
        platform::RecordingDesktop desk;
        desk.clipboard.setText("old");
        FakeTextBox w(r[2], std::stoul(r[3]), std::stoul(r[4]));
        commands.at(r[1])(w);
        EXPECT_EQ(w.text(), r[5]);
        EXPECT_EQ(desk.clipboard.text(), r[6]);
        EXPECT_EQ(std::pair(w.start(), w.length()), std::pair(std::stoul(r[7]), std::stoul(r[8])));
        EXPECT_EQ(w.log, r[9]);
        if (r[10].empty()) {
            EXPECT_TRUE(desk.boxes.shown.empty());
        } else {
            expectBox(desk.boxes, r[10], "Error", platform::Icon::Exclamation);
        }
    }
    // More lines than a 16-bit counter holds: none may be lost.
    std::string block, expected;
    for (int i = 0; i < 40000; ++i) block += "x\r\n", expected += "'x\r\n";
    EXPECT_EQ(editor::CommentBlock(block), expected);
    EXPECT_EQ(editor::UncommentBlock(expected), block);
}

TEST(BlockCommand, FailuresAreShownAndLeaveTheTextAndTheClipboard) {
    platform::RecordingDesktop desk;
    FakeTextBox w("a", 0, 1), x("x := 5", 0, 6);
    w.failPaste = x.failPaste = true;
    editor::CommentLines(w);
    expectBox(desk.boxes, "Overflow", "Kestrin Error", platform::Icon::Stop);
    EXPECT_EQ(w.text() + "|" + desk.clipboard.text(), "a|'a\r\n");
    desk.boxes.clear();
    editor::ConvertXBaseProc(x);
    expectBox(desk.boxes, "Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseProc\nSub Proc: ", "Program Error",
              platform::Icon::Stop);
    EXPECT_EQ(x.text(), "x := 5");

    struct BrokenClipboard : platform::RecordingClipboard {  // fails when it is read
        std::string text() const override { platform::raise(platform::err::DeviceIO); }
    } broken;
    desk.boxes.clear();
    platform::ScopedServices scope({.clipboard = &broken});
    FakeTextBox c("abc", 0, 3);
    editor::ConcatenateToClipboard(c);
    expectBox(desk.boxes, "Device I/O error", "Kestrin Error", platform::Icon::Stop);
    EXPECT_EQ(broken.sets + broken.clears, 0);
}

TEST(PrintSelectedText, PrintsTheSelectionOrTheWholeTextWithoutSelectingAndRefusesABlankText) {
    for (auto [start, length, printed, notPrinted] :
         {std::tuple{std::size_t{7}, std::size_t{8}, "second", "first"}, {3, 0, "first", "none"}}) {
        platform::RecordingDesktop desk;
        platform::RecordingPrinter printer;
        FakeTextBox w("first\r\nsecond\r\nthird", start, length);
        EXPECT_TRUE(editor::PrintSelectedText(w, [&]() -> platform::Printer& { return printer; }));
        const auto texts = printer.texts();
        for (const char* t : {printed, "Selected (All) Text", "second"})
            EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
        EXPECT_EQ(std::find(texts.begin(), texts.end(), notPrinted), texts.end());
        EXPECT_TRUE(printer.ended());
        EXPECT_EQ(std::pair(w.start(), w.length()), std::pair(std::size_t(start), std::size_t(length)));
        EXPECT_EQ(w.log, "");
    }
    platform::RecordingDesktop desk;
    FakeTextBox w("  ", 0, 0);
    bool opened = false;
    platform::RecordingPrinter printer;
    EXPECT_FALSE(editor::PrintSelectedText(w, [&]() -> platform::Printer& { return opened = true, printer; }));
    expectBox(desk.boxes, "You have no text selected!", "Error", platform::Icon::Exclamation);
    EXPECT_FALSE(opened);
}
