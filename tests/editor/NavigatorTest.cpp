// Choosing entries of the procedure list: the one-time warning, the changed
// flag, the caption, and Enter in the list.
#include "DocFixture.h"

using namespace doctest;
using editor::Mode;
using platform::Buttons;
using platform::Icon;

namespace {

const std::vector<std::string> Module = {"Option Explicit", "", "Sub A()", "    a = 1", "End Sub", "",
                                         "Sub B()",         "    b = 2", "End Sub"};

const char* const Warning =
    "The currenty entity has been changed,\nto save, use the File Save Menu.\n"
    "You will not be prompted again unless\nadditional changes are made!";

}  // namespace

class Navigator : public DocTest {
protected:
    void SetUp() override {
        file = write("nav.bas", crlf(Module));
        doc.OpenSourceFile(file, Mode::Entity);
    }
    // The user types into txtEdit.
    void type(const std::string& text) { view.setEditorText(text); }

    std::string file;
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

TEST_F(Navigator, EditedEntityWarnsOnceThenSwitches) {
    doc.cbProc_Click(1);
    type("Sub A()\r\n    a = 42\r\nEnd Sub\r\n");
    EXPECT_TRUE(doc.changed());

    doc.cbProc_Click(2);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, Warning);
    EXPECT_EQ(desktop.boxes.last().title, "Save or Lose Changes");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Exclamation);
    EXPECT_EQ(desktop.boxes.last().buttons, Buttons::Ok);
    EXPECT_FALSE(doc.changed());
    EXPECT_EQ(view.selected, 1);  // the list shows the old entity again
    EXPECT_EQ(doc.currentEntityName(), "A");
    EXPECT_EQ(view.text, "Sub A()\r\n    a = 42\r\nEnd Sub\r\n");

    doc.cbProc_Click(2);  // no second warning; the edits are gone
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(view.text, crlf({"Sub B()", "    b = 2", "End Sub"}));
    EXPECT_EQ(doc.currentEntityName(), "B");
}

TEST_F(Navigator, NewEditsWarnAgain) {
    type("x");
    doc.cbProc_Click(1);
    doc.cbProc_Click(1);
    type("y");
    doc.cbProc_Click(2);
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);
    EXPECT_EQ(doc.currentEntityName(), "A");
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
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
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
