// The save questions of Close and of closing the window, answer by answer.
#include "DocFixture.h"

using namespace doctest;
using editor::Mode;
using platform::Answer;

class Closing : public DocTest {
protected:
    void SetUp() override {
        doc.OpenSourceFile(file, Mode::WholeFile);
        type("new");  // the user's edit
    }
    // The first box shown is the question about `name`.
    void expectQuestion(const std::string& name) const {
        ASSERT_FALSE(desktop.boxes.shown.empty());
        const auto& box = desktop.boxes.shown.front();
        EXPECT_EQ(box.text, "The text in [" + name + "] has changed.\r\nDo you want to save the changes?");
        EXPECT_EQ(box.title, "Confirm Save");
        EXPECT_EQ(box.icon, platform::Icon::Exclamation);
        EXPECT_EQ(box.buttons, platform::Buttons::YesNoCancel);
    }
    const std::string file = write("notes.txt", "old\r\n");
};

TEST_F(Closing, UnchangedDocumentClosesWithoutAQuestion) {
    doc.setChanged(false);
    EXPECT_FALSE(doc.Form_QueryUnload());
    doc.mnuFileClose_Click();
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(Closing, QueryUnloadAsksAboutTheFileNameAndFollowsTheAnswer) {
    // choice: the file the save dialog gives after Yes, "" when it is
    // cancelled, nullptr when it must not be shown. The save that succeeds
    // comes last, as it makes its target the document's file.
    const struct {
        const char* what;
        Answer answer;
        const char* choice;
        bool cancelled;
        std::size_t boxes;  // the question, and the write error when the save fails
    } cases[] = {{"Cancel", Answer::Cancel, nullptr, true, 1},
                 {"No", Answer::No, nullptr, false, 1},
                 {"Yes, dialog cancelled", Answer::Yes, "", true, 1},
                 {"Yes, save fails", Answer::Yes, "no/such/folder/x.txt", true, 2},
                 {"Yes, saved", Answer::Yes, "saved.txt", false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        desktop.boxes.clear();
        desktop.dialogs.calls.clear();
        type("new");
        desktop.boxes.answerNext(c.answer);
        if (c.choice && *c.choice) desktop.dialogs.chooseNext(path(c.choice));
        if (c.choice && !*c.choice) desktop.dialogs.cancelNext();
        EXPECT_EQ(doc.Form_QueryUnload(), c.cancelled);
        ASSERT_EQ(desktop.boxes.shown.size(), c.boxes);
        expectQuestion(file);
        EXPECT_EQ(read(file), "old\r\n");
        ASSERT_EQ(desktop.dialogs.calls.size(), c.choice ? 1u : 0u);
        if (c.choice) {
            EXPECT_EQ(desktop.dialogs.calls[0].kind, "save");
        }
        if (c.cancelled) {
            EXPECT_EQ(view.text, "new");
            EXPECT_TRUE(doc.changed());
        }
    }
    EXPECT_EQ(read(path("saved.txt")), "new\r\n");
}

TEST_F(Closing, CloseAsksAboutTheCaptionAndSavesOnYes) {
    view.windowCaption = "QVX: SOMETHING";
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.chooseNext(path("saved.txt"));
    doc.mnuFileClose_Click();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectQuestion("QVX: SOMETHING");
    EXPECT_EQ(read(path("saved.txt")), "new\r\n");
    EXPECT_FALSE(doc.changed());
    EXPECT_FALSE(doc.Form_QueryUnload());  // the window then closes without a second question
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
}

TEST_F(Closing, CloseWithoutSavingLeavesTheQuestionToTheUnload) {
    // No, Cancel, and Yes with the save dialog cancelled.
    for (Answer a : {Answer::No, Answer::Cancel, Answer::Yes}) {
        desktop.boxes.clear();
        desktop.dialogs.calls.clear();
        desktop.boxes.answerNext(a);
        if (a == Answer::Yes) desktop.dialogs.cancelNext();
        doc.mnuFileClose_Click();
        EXPECT_EQ(desktop.dialogs.calls.size(), a == Answer::Yes ? 1u : 0u);
        EXPECT_TRUE(doc.changed());
        desktop.boxes.answerNext(Answer::Cancel);
        EXPECT_TRUE(doc.Form_QueryUnload());
        EXPECT_EQ(desktop.boxes.shown.size(), 2u);
    }
    EXPECT_EQ(read(file), "old\r\n");
}

TEST_F(Closing, SaveDialogShowsTheLastOpenFilter) {
    desktop.dialogs.cancelNext();
    doc.openWithDialog("Class (*.cls)|*.cls", Mode::Entity);
    desktop.dialogs.cancelNext();
    EXPECT_EQ(doc.ShowSaveDialog(), "");
    ASSERT_EQ(desktop.dialogs.calls.size(), 2u);
    EXPECT_EQ(desktop.dialogs.calls[1].kind, "save");
    EXPECT_EQ(desktop.dialogs.calls[1].filter, "Class (*.cls)|*.cls");
}

TEST_F(Closing, EntityModeCloseSavesTheEntity) {
    const std::string module = write("m.bas", "Sub A()\r\nEnd Sub\r\n");
    doc.OpenSourceFile(module, Mode::Entity);
    doc.cbProc_Click(1);
    type("Sub A()\r\n  x = 1\r\nEnd Sub\r\n");
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.chooseNext(module);
    EXPECT_FALSE(doc.Form_QueryUnload());
    EXPECT_EQ(read(module), "Sub A()\r\n  x = 1\r\nEnd Sub\r\n\r\n");
    EXPECT_EQ(read(path("m.BAK")), "Sub A()\r\nEnd Sub\r\n");
}
