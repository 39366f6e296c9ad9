// The Indent command on a window: the selection it takes, the message for a
// blank text, and the paste-back through the clipboard.
#include <gtest/gtest.h>

#include "indent/Indent.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"
#include "support/FakeTextBox.h"

TEST(IndentCommand, NothingSelectedIndentsTheWholeText) {
    platform::RecordingDesktop desk;
    desk.clipboard.setText("old");
    FakeTextBox w("Sub A()\r\nx = 1\r\nEnd Sub\r\n");
    indent::Indent().E1QuickIndentProc(w);
    EXPECT_EQ(w.text(), "Sub A()\r\n   x = 1\r\nEnd Sub\r\n");
    EXPECT_EQ(desk.clipboard.text(), "Sub A()\r\n   x = 1\r\nEnd Sub\r\n");
    EXPECT_EQ(w.log, "focus;paste;");
    EXPECT_TRUE(desk.boxes.shown.empty());
}

TEST(IndentCommand, SelectionIsReplacedAlone) {
    platform::RecordingDesktop desk;
    // The selection starts in the middle of "y = 1" and has no final CR LF.
    const std::string text = "x\r\ny = 1\r\nIf a Then\r\nb";
    FakeTextBox w(text, 3, text.size() - 3);
    indent::Indent().E1QuickIndentProc(w);
    EXPECT_EQ(w.text(), "x\r\n   y = 1\r\n   If a Then\r\n      b\r\n");
    EXPECT_EQ(desk.clipboard.text(), "   y = 1\r\n   If a Then\r\n      b\r\n");
}

TEST(IndentCommand, OneCharacterSelection) {
    platform::RecordingDesktop desk;
    FakeTextBox w("abc", 1, 1);
    indent::Indent().E1QuickIndentProc(w);
    EXPECT_EQ(w.text(), "a   b\r\nc");
}

TEST(IndentCommand, BlankTextIsRefusedWithoutChange) {
    platform::RecordingDesktop desk;
    desk.clipboard.setText("kept");
    FakeTextBox w("     ", 2, 0);
    indent::Indent().E1QuickIndentProc(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().text, "You have no text to indent!");
    EXPECT_EQ(desk.boxes.last().title, "Error");
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(desk.boxes.last().buttons, platform::Buttons::Ok);
    EXPECT_EQ(w.text(), "     ");
    EXPECT_EQ(w.start(), 2u);
    EXPECT_EQ(desk.clipboard.text(), "kept");
    EXPECT_EQ(w.log, "");
}

TEST(IndentCommand, OnlyBlanksCountAsEmpty) {
    // Trimming removes spaces only, so line ends make a text to indent.
    platform::RecordingDesktop desk;
    FakeTextBox w("  \r\n   ");
    indent::Indent().E1QuickIndentProc(w);
    EXPECT_TRUE(desk.boxes.shown.empty());
    EXPECT_EQ(w.text(), "\r\n\r\n");
}

TEST(IndentCommand, FailureIsShownInKestrinBox) {
    platform::RecordingDesktop desk;
    FakeTextBox w("x");
    w.failPaste = true;
    indent::Indent().E1QuickIndentProc(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(desk.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desk.boxes.last().text, "Overflow");
    EXPECT_EQ(desk.boxes.last().icon, platform::Icon::Stop);
    // The clipboard was set before the paste failed.
    EXPECT_EQ(desk.clipboard.text(), "   x\r\n");
    EXPECT_EQ(w.text(), "x");
}
