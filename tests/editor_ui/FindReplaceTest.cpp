// Find, Find Next and Replace through the editor's menus and dialogs.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "UiTestSupport.h"
#include "editor/Search.h"
#include "platform/Recording.h"

using uitest::child;
using uitest::item;

namespace {

class FindReplace : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        editor::searchState() = editor::SearchState{};
        window.show();
        uitest::settle();
    }

    // Runs Find; `inDialog` works the dialog and closes it.
    void find(std::function<void(QDialog*)> inDialog) {
        bool answered = false;
        uitest::onNextDialog([&](QDialog* d) {
            answered = true;
            inDialog(d);
        });
        item(&window, "mnuFind")->trigger();
        EXPECT_TRUE(answered);
    }

    // Find with the given text, direction button and case box, closed by cmdFind.
    void findWith(const QString& what, int direction = 1, bool matchCase = false) {
        find([&](QDialog* d) {
            child<QLineEdit>(d, "Text1")->setText(what);
            directionButton(d, direction)->click();
            if (matchCase) child<QCheckBox>(d, "chkCase")->click();
            child<QPushButton>(d, "cmdFind")->click();
        });
    }

    void replace(std::function<void(QDialog*)> inDialog) {
        bool answered = false;
        uitest::onNextDialog([&](QDialog* d) {
            answered = true;
            inDialog(d);
        });
        item(&window, "mnuReplace")->trigger();
        EXPECT_TRUE(answered);
    }

    void replaceWith(const QString& what, const QString& with, bool caseSensitive) {
        replace([&](QDialog* d) {
            child<QLineEdit>(d, "txtFindWhat")->setText(what);
            child<QLineEdit>(d, "txtReplaceWith")->setText(with);
            if (caseSensitive) child<QCheckBox>(d, "chkCaseSensitive")->click();
            child<QPushButton>(d, "pbReplace")->click();
        });
    }

    static QRadioButton* directionButton(QDialog* d, int index) {
        for (QRadioButton* b : d->findChildren<QRadioButton*>("optDirection"))
            if (b->property("index").toInt() == index) return b;
        ADD_FAILURE() << "no optDirection " << index;
        return nullptr;
    }

    void expectNotFound(const std::string& what, std::size_t count = 1) {
        ASSERT_EQ(desktop.boxes.shown.size(), count);
        EXPECT_EQ(desktop.boxes.last().text, "Cannot find \"" + what + "\"");
        EXPECT_EQ(desktop.boxes.last().title, "Varnel");
        EXPECT_EQ(desktop.boxes.last().icon, platform::Icon::Exclamation);
        EXPECT_EQ(desktop.boxes.last().buttons, platform::Buttons::Ok);
    }

    void expectSelection(std::int64_t start, std::int64_t length) {
        EXPECT_EQ(window.selStart(), start);
        EXPECT_EQ(window.selLength(), length);
    }

    platform::RecordingDesktop desktop;
    editor::ui::frmEdit32 window;
};

TEST_F(FindReplace, FindDialogControlsAndDefaults) {
    window.setEditorText("abc");
    find([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "frmFind");
        EXPECT_EQ(d->windowTitle(), "Find");
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "Fi&nd What:");
        EXPECT_EQ(child<QGroupBox>(d, "Frame1")->title(), "Direction");
        EXPECT_EQ(directionButton(d, 0)->text(), "&Up");
        EXPECT_EQ(directionButton(d, 1)->text(), "&Down");
        EXPECT_FALSE(directionButton(d, 0)->isChecked());
        EXPECT_TRUE(directionButton(d, 1)->isChecked());
        EXPECT_EQ(child<QCheckBox>(d, "chkCase")->text(), "Match &Case");
        EXPECT_FALSE(child<QCheckBox>(d, "chkCase")->isChecked());
        EXPECT_EQ(child<QPushButton>(d, "cmdFind")->text(), "&Find");
        EXPECT_EQ(child<QPushButton>(d, "cmdcancel")->text(), "&Cancel");
        // No selection: an empty box and no Find button until text is typed.
        EXPECT_EQ(child<QLineEdit>(d, "Text1")->text(), "");
        EXPECT_FALSE(child<QPushButton>(d, "cmdFind")->isEnabled());
        child<QLineEdit>(d, "Text1")->setText("b");
        EXPECT_TRUE(child<QPushButton>(d, "cmdFind")->isEnabled());
        child<QLineEdit>(d, "Text1")->setText("");
        EXPECT_FALSE(child<QPushButton>(d, "cmdFind")->isEnabled());
        d->reject();
    });
}

TEST_F(FindReplace, TheSelectedWordFillsTheFindBox) {
    window.setEditorText("one two");
    window.setSelection(4, 3);
    find([&](QDialog* d) {
        EXPECT_EQ(child<QLineEdit>(d, "Text1")->text(), "two");
        EXPECT_TRUE(child<QPushButton>(d, "cmdFind")->isEnabled());
        child<QPushButton>(d, "cmdFind")->click();
    });
    // The first search may match at the caret: the word stays selected.
    expectSelection(4, 3);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(FindReplace, FindThenFindNextUntilTheEnd) {
    window.setEditorText("abc abc");
    window.setSelection(0, 0);
    findWith("abc");
    expectSelection(0, 3);
    item(&window, "mnuFindNext")->trigger();
    expectSelection(4, 3);
    EXPECT_TRUE(desktop.boxes.shown.empty());
    item(&window, "mnuFindNext")->trigger();
    expectNotFound("abc");
    expectSelection(4, 3);
}

TEST_F(FindReplace, FindIgnoresCaseUnlessMatchCaseIsChecked) {
    window.setEditorText("xabc");
    window.setSelection(0, 0);
    findWith("ABC");
    expectSelection(1, 3);
    window.setSelection(0, 0);
    findWith("ABC", 1, true);
    expectNotFound("ABC");
    expectSelection(0, 0);
}

TEST_F(FindReplace, UpwardsAtTheStartFindsNothing) {
    window.setEditorText("abc abc");
    window.setSelection(0, 0);
    findWith("abc", 0);
    expectNotFound("abc");
    EXPECT_EQ(editor::searchState().direction, 0);
}

TEST_F(FindReplace, UpwardsFromTheEndFindsTheLastMatchFirst) {
    window.setEditorText("abc\r\nabc");
    window.setSelection(8, 0);
    findWith("abc", 0);
    expectSelection(5, 3);
    item(&window, "mnuFindNext")->trigger();
    expectSelection(0, 3);
}

TEST_F(FindReplace, CancelStillSearchesWithTheTypedTextAndCase) {
    window.setEditorText("xabc");
    window.setSelection(0, 0);
    find([&](QDialog* d) {
        child<QLineEdit>(d, "Text1")->setText("ABC");
        child<QCheckBox>(d, "chkCase")->setChecked(true);
        child<QPushButton>(d, "cmdcancel")->click();
    });
    EXPECT_EQ(editor::searchState().searchText, "ABC");
    EXPECT_TRUE(editor::searchState().caseSensitive);
    expectNotFound("ABC");
}

TEST_F(FindReplace, TheCaseFlagOutlivesTheDialog) {
    window.setEditorText("xabc");
    window.setSelection(0, 0);
    findWith("ABC", 1, true);
    expectNotFound("ABC");
    // The box starts cleared again, but the flag keeps its value.
    find([&](QDialog* d) {
        EXPECT_FALSE(child<QCheckBox>(d, "chkCase")->isChecked());
        child<QLineEdit>(d, "Text1")->setText("ABC");
        child<QPushButton>(d, "cmdFind")->click();
    });
    expectNotFound("ABC", 2);
}

TEST_F(FindReplace, ClosingTheFindDialogIsNoCommand) {
    window.setEditorText("abc abc");
    window.setSelection(0, 0);
    findWith("abc");
    expectSelection(0, 3);
    auto before = editor::searchState();
    find([&](QDialog* d) {
        child<QLineEdit>(d, "Text1")->setText("zzz");
        directionButton(d, 0)->click();
        child<QCheckBox>(d, "chkCase")->click();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    expectSelection(0, 3);
    EXPECT_TRUE(desktop.boxes.shown.empty());
    const auto& after = editor::searchState();
    EXPECT_EQ(after.searchText, before.searchText);
    EXPECT_EQ(after.direction, before.direction);
    EXPECT_EQ(after.caseSensitive, before.caseSensitive);
    EXPECT_EQ(after.firstSearch, before.firstSearch);
    item(&window, "mnuFindNext")->trigger();
    expectSelection(4, 3);
}

TEST_F(FindReplace, FindNextWithoutASearchTextDoesNothing) {
    window.setEditorText("abc");
    window.setSelection(1, 1);
    item(&window, "mnuFindNext")->trigger();
    expectSelection(1, 1);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(FindReplace, ReplaceDialogControls) {
    replace([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "frmReplace");
        EXPECT_EQ(d->windowTitle(), "Find & Replace");
        EXPECT_EQ(child<QLineEdit>(d, "txtFindWhat")->text(), "");
        EXPECT_EQ(child<QLineEdit>(d, "txtFindWhat")->placeholderText(), "Find what");
        EXPECT_EQ(child<QLineEdit>(d, "txtReplaceWith")->text(), "");
        EXPECT_EQ(child<QLineEdit>(d, "txtReplaceWith")->placeholderText(), "Replace with");
        EXPECT_EQ(child<QCheckBox>(d, "chkCaseSensitive")->text(), "Case Sensitive");
        EXPECT_FALSE(child<QCheckBox>(d, "chkCaseSensitive")->isChecked());
        EXPECT_EQ(child<QPushButton>(d, "pbReplace")->text(), "&Replace");
        EXPECT_EQ(child<QPushButton>(d, "pbCancel")->text(), "&Cancel");
        EXPECT_FALSE(child<QLabel>(d, "Image2")->pixmap().isNull());
        d->reject();
    });
}

TEST_F(FindReplace, ReplaceComparesWithCaseWhateverTheBoxSays) {
    window.setEditorText("Aa\r\naA");
    window.document().setChanged(false);
    replaceWith("a", "b", false);
    EXPECT_EQ(window.editorText(), "Ab\r\nbA");
    EXPECT_TRUE(window.document().changed());
}

TEST_F(FindReplace, ReplaceCaseBoxAffectsLaterFindsOnly) {
    // No Find has chosen a direction yet: the search state's direction is
    // up, so Find Next searches backwards from the end.
    window.setEditorText("xabc");
    replaceWith("ABC", "Q", true);
    EXPECT_EQ(window.editorText(), "xabc");
    window.setSelection(4, 0);
    item(&window, "mnuFindNext")->trigger();
    expectNotFound("ABC");

    replaceWith("ABC", "Q", false);
    EXPECT_EQ(window.editorText(), "xabc");
    window.setSelection(4, 0);
    item(&window, "mnuFindNext")->trigger();
    expectSelection(1, 3);
}

TEST_F(FindReplace, ReplaceCancelReplacesNothingAndStopsFindNext) {
    window.setEditorText("abc abc");
    window.setSelection(0, 0);
    findWith("abc");
    window.document().setChanged(false);
    replace([&](QDialog* d) {
        child<QLineEdit>(d, "txtFindWhat")->setText("abc");
        child<QLineEdit>(d, "txtReplaceWith")->setText("x");
        child<QPushButton>(d, "pbCancel")->click();
    });
    EXPECT_EQ(window.editorText(), "abc abc");
    EXPECT_FALSE(window.document().changed());
    EXPECT_EQ(editor::searchState().searchText, "");
    EXPECT_EQ(editor::searchState().replacement, "");
    window.setSelection(0, 0);
    item(&window, "mnuFindNext")->trigger();
    expectSelection(0, 0);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(FindReplace, ClosingTheReplaceDialogIsNoCommand) {
    window.setEditorText("abc abc");
    replaceWith("abc", "x", false);
    EXPECT_EQ(window.editorText(), "x x");
    window.setEditorText("abc abc");
    window.document().setChanged(false);
    replace([&](QDialog* d) {
        child<QLineEdit>(d, "txtFindWhat")->setText("b");
        child<QCheckBox>(d, "chkCaseSensitive")->click();
        d->close();
    });
    // The earlier search text and replacement are not applied again.
    EXPECT_EQ(window.editorText(), "abc abc");
    EXPECT_FALSE(window.document().changed());
    EXPECT_EQ(editor::searchState().searchText, "abc");
    EXPECT_EQ(editor::searchState().replacement, "x");
    EXPECT_FALSE(editor::searchState().caseSensitive);
}

}  // namespace
