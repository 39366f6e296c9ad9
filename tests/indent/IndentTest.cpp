// Re-indenting: the rules as cases/rules.txt, a realistic module whole, and
// the Indent command on a window.
#include <gtest/gtest.h>

#include "indent/Indent.h"
#include "support/Recording.h"
#include "support/Cases.h"
#include "support/FakeTextBox.h"

using indent::ReindentText;

TEST(Indent, RuleCasesAndARealisticModuleWhole) {
    for (const cases::Case& c : cases::read_cases("indent/cases/rules.txt"))
        EXPECT_EQ(ReindentText(cases::crlf(c["in"], false)), cases::crlf(c["out"])) << c.title;
    EXPECT_EQ(ReindentText(""), "");
    const std::string expected = cases::crlf(cases::lines("indent/cases/orders.indented.bas"));
    ASSERT_GT(expected.size(), 3000u);
    EXPECT_EQ(ReindentText(cases::crlf(cases::lines("indent/cases/orders.bas"))), expected);
}

// The command on a window: the selection (all of the text when none), the
// clipboard and paste-back, and the refusal of a blank text.
TEST(IndentCommand, SelectionOrWholeTextThroughTheClipboard) {
    for (const auto& c : cases::rows("indent/cases/command.txt")) {
        platform::RecordingDesktop desk;
        desk.clipboard.setText("kept");
        FakeTextBox w(c[0], std::stoul(c[1]), std::stoul(c[2]));
        indent::Indent().E1QuickIndentProc(w);
        EXPECT_EQ(w.text() + " | " + w.log, c[3] + " | " + c[4]) << c[0];
        if (!c[4].empty()) {
            EXPECT_TRUE(desk.boxes.shown.empty());
            continue;
        }
        EXPECT_EQ(desk.clipboard.text(), "kept");
        ASSERT_EQ(desk.boxes.shown.size(), 1u);
        EXPECT_EQ(std::tie(desk.boxes.last().text, desk.boxes.last().title, desk.boxes.last().icon),
                  std::tuple("You have no text to indent!", "Error", platform::Icon::Exclamation));
    }
}

TEST(IndentCommand, FailedPasteIsShownInAKestrinBox) {
    platform::RecordingDesktop desk;
    FakeTextBox w("x");
    w.failPaste = true;
    indent::Indent().E1QuickIndentProc(w);
    ASSERT_EQ(desk.boxes.shown.size(), 1u);
    EXPECT_EQ(std::tie(desk.boxes.last().title, desk.boxes.last().text, desk.boxes.last().icon),
              std::tuple("Kestrin Error", "Overflow", platform::Icon::Stop));
    EXPECT_EQ(desk.clipboard.text(), "   x\r\n");
    EXPECT_EQ(w.text(), "x");
}
