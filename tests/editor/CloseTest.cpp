// The save questions of Close and of closing the window, answer by answer.
#include "DocFixture.h"

using namespace doctest;
using editor::Mode;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

class Closing : public DocTest {
protected:
    void SetUp() override {
        file = write("notes.txt", "old\r\n");
        doc.OpenSourceFile(file, Mode::WholeFile);
        view.setEditorText("new");  // the user's edit
    }
    std::string question(const std::string& name) const {
        return "The text in [" + name + "] has changed.\r\nDo you want to save the changes?";
    }
    std::string file;
};

TEST_F(Closing, UnchangedDocumentClosesWithoutAQuestion) {
    doc.setChanged(false);
    EXPECT_FALSE(doc.Form_QueryUnload());
    doc.mnuFileClose_Click();
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(Closing, QueryUnloadAsksAboutTheFileName) {
    desktop.boxes.answerNext(Answer::Cancel);
    EXPECT_TRUE(doc.Form_QueryUnload());
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, question(file));
    EXPECT_EQ(desktop.boxes.last().title, "Confirm Save");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Exclamation);
    EXPECT_EQ(desktop.boxes.last().buttons, Buttons::YesNoCancel);
    EXPECT_EQ(view.text, "new");
    EXPECT_TRUE(desktop.dialogs.calls.empty());
}

TEST_F(Closing, QueryUnloadNoClosesWithoutSaving) {
    desktop.boxes.answerNext(Answer::No);
    EXPECT_FALSE(doc.Form_QueryUnload());
    EXPECT_EQ(read(file), "old\r\n");
    EXPECT_TRUE(desktop.dialogs.calls.empty());
}

TEST_F(Closing, QueryUnloadYesSavesWhereTheDialogSays) {
    desktop.boxes.answerNext(Answer::Yes);
    const std::string target = path("saved.txt");
    desktop.dialogs.chooseNext(target);
    EXPECT_FALSE(doc.Form_QueryUnload());
    EXPECT_EQ(read(target), "new\r\n");
    EXPECT_EQ(read(file), "old\r\n");
    ASSERT_EQ(desktop.dialogs.calls.size(), 1u);
    EXPECT_EQ(desktop.dialogs.calls[0].kind, "save");
}

TEST_F(Closing, QueryUnloadYesThenCancelledDialogKeepsTheWindow) {
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.cancelNext();
    EXPECT_TRUE(doc.Form_QueryUnload());
    EXPECT_EQ(read(file), "old\r\n");
}

TEST_F(Closing, QueryUnloadYesWithAFailedSaveKeepsTheWindow) {
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.chooseNext(path("no/such/folder/x.txt"));
    EXPECT_TRUE(doc.Form_QueryUnload());
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);  // the question and the write error
    EXPECT_EQ(view.text, "new");
    EXPECT_TRUE(doc.changed());
}

TEST_F(Closing, CloseAsksAboutTheCaptionAndSavesOnYes) {
    view.windowCaption = "QVX: SOMETHING";
    desktop.boxes.answerNext(Answer::Yes);
    const std::string target = path("saved.txt");
    desktop.dialogs.chooseNext(target);
    doc.mnuFileClose_Click();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, question("QVX: SOMETHING"));
    EXPECT_EQ(desktop.boxes.last().title, "Confirm Save");
    EXPECT_EQ(desktop.boxes.last().icon, Icon::Exclamation);
    EXPECT_EQ(desktop.boxes.last().buttons, Buttons::YesNoCancel);
    EXPECT_EQ(read(target), "new\r\n");
    EXPECT_FALSE(doc.changed());
    EXPECT_FALSE(doc.Form_QueryUnload());  // the window then closes without a second question
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
}

TEST_F(Closing, CloseNoOrCancelSavesNothingAndTheUnloadAsksAgain) {
    for (Answer a : {Answer::No, Answer::Cancel}) {
        desktop.boxes.clear();
        desktop.boxes.answerNext(a);
        doc.mnuFileClose_Click();
        EXPECT_TRUE(desktop.dialogs.calls.empty());
        EXPECT_TRUE(doc.changed());
        desktop.boxes.answerNext(Answer::Cancel);
        EXPECT_TRUE(doc.Form_QueryUnload());
        EXPECT_EQ(desktop.boxes.shown.size(), 2u);
    }
    EXPECT_EQ(read(file), "old\r\n");
}

TEST_F(Closing, CloseYesWithCancelledDialogSavesNothing) {
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.cancelNext();
    doc.mnuFileClose_Click();
    EXPECT_TRUE(doc.changed());
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
    view.setEditorText("Sub A()\r\n  x = 1\r\nEnd Sub\r\n");
    desktop.boxes.answerNext(Answer::Yes);
    desktop.dialogs.chooseNext(module);
    EXPECT_FALSE(doc.Form_QueryUnload());
    EXPECT_EQ(read(module), "Sub A()\r\n  x = 1\r\nEnd Sub\r\n\r\n");
    EXPECT_EQ(read(path("m.BAK")), "Sub A()\r\nEnd Sub\r\n");
}
