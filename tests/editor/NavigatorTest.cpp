// Choosing entries of the procedure list: the one-time warning, the changed
// flag, the caption, and Enter in the list.
#include "DocFixture.h"

using namespace doctest;
using editor::Mode;

class Navigator : public DocTest {
protected:
    void SetUp() override { doc.OpenSourceFile(file, Mode::Entity); }
    const std::string file =
        write("nav.bas", crlf({"Option Explicit", "", "Sub A()", "    a = 1", "End Sub", "", "Sub B()", "    b = 2", "End Sub"}));
};

TEST_F(Navigator, SwitchShowsTheEntityAndClearsTheFlag) {
    const int pumps = desktop.pump.count;
    doc.cbProc_Click(2);
    EXPECT_EQ(view.text, crlf({"Sub B()", "    b = 2", "End Sub"}));
    EXPECT_EQ(view.windowCaption, "QVX: B of " + textlib::UCase(file));
    EXPECT_EQ(doc.currentEntityName(), "B");
    EXPECT_EQ(doc.currentIndex(), 2);
    EXPECT_FALSE(doc.changed());  // although the program replaced the text
    EXPECT_GT(desktop.pump.count, pumps);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(Navigator, EditedEntityWarnsOnceThenSwitchesAndNewEditsWarnAgain) {
    doc.cbProc_Click(1);
    type("Sub A()\r\n    a = 42\r\nEnd Sub\r\n");
    EXPECT_TRUE(doc.changed());

    doc.cbProc_Click(2);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox("The currenty entity has been changed,\nto save, use the File Save Menu.\n"
              "You will not be prompted again unless\nadditional changes are made!",
              "Save or Lose Changes", platform::Icon::Exclamation, platform::Buttons::Ok);
    EXPECT_FALSE(doc.changed());
    EXPECT_EQ(view.selected, 1);  // the list shows the old entity again
    EXPECT_EQ(doc.currentEntityName(), "A");
    EXPECT_EQ(view.text, "Sub A()\r\n    a = 42\r\nEnd Sub\r\n");

    doc.cbProc_Click(2);  // no second warning; the edits are gone
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(view.text, crlf({"Sub B()", "    b = 2", "End Sub"}));
    EXPECT_EQ(doc.currentEntityName(), "B");

    type("y");
    doc.cbProc_Click(1);
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);
    EXPECT_EQ(doc.currentEntityName(), "B");
}

TEST_F(Navigator, ChoosingTheShownEntityReadsNothing) {
    const int opens = faulty.calls["openRead"];
    const int sets = view.textSets;
    doc.cbProc_Click(0);
    EXPECT_EQ(faulty.calls["openRead"], opens);
    EXPECT_EQ(view.textSets, sets);
    EXPECT_FALSE(doc.changed());
}

TEST_F(Navigator, EntityThatCannotBeReadKeepsTheShownOne) {
    const std::string before = view.text;
    faulty.failOn("openRead", faulty.calls["openRead"] + 1, platform::err::FileNotFound);
    doc.cbProc_Click(1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(std::nullopt, "Kestrin Error");
    EXPECT_EQ(doc.currentEntityName(), "(declarations)");
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.text, before);
}

TEST_F(Navigator, EnterInTheListMovesTheFocusToTheText) {
    doc.cbProc_Change();  // typing in the list's box alone switches nothing
    EXPECT_EQ(view.focusMoves, 0);
    EXPECT_EQ(doc.currentIndex(), 0);
    doc.Form_KeyDown(false, 13);  // Enter elsewhere
    doc.cbProc_Change();
    EXPECT_EQ(view.focusMoves, 0);
    doc.Form_KeyDown(true, 13);
    doc.cbProc_Change();
    EXPECT_EQ(view.focusMoves, 1);
    doc.cbProc_Change();  // the flag was cleared
    EXPECT_EQ(view.focusMoves, 1);
    doc.cbProc_KeyPress(65);
    EXPECT_EQ(view.focusMoves, 1);
    doc.cbProc_KeyPress(13);
    EXPECT_EQ(view.focusMoves, 2);
}

TEST_F(Navigator, DeleteAllTextClearsTheFlag) {
    type("edited");
    doc.mnuDeleteText_Click();
    EXPECT_EQ(view.text, "");
    EXPECT_FALSE(doc.changed());
    EXPECT_EQ(view.focusMoves, 1);
    EXPECT_FALSE(doc.Form_QueryUnload());  // no question
    EXPECT_TRUE(desktop.boxes.shown.empty());
}
