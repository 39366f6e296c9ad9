// Find, Find Next and Replace through the editor's menus and dialogs.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

class FindReplace : public StartedEditor {
protected:
    // Runs a menu command that shows a dialog; `inDialog` works it and closes it.
    void withDialog(const char* command, std::function<void(QDialog*)> inDialog) {
        bool answered = false;
        onNextDialog([&](QDialog* d) {
            answered = true;
            inDialog(d);
        });
        item(command)->trigger();
        EXPECT_TRUE(answered);
    }

    // Find with the given text, direction button and case box, closed by the
    // button named `close` (Escape when there is none).
    void findWith(const QString& what, int direction = 1, bool matchCase = false, const char* close = "cmdFind") {
        withDialog("mnuFind", [&](QDialog* d) {
            child<QLineEdit>(d, "Text1")->setText(what);
            directionButton(d, direction)->click();
            if (matchCase) child<QCheckBox>(d, "chkCase")->click();
            if (*close) child<QPushButton>(d, close)->click();
            else QTest::keyClick(d, Qt::Key_Escape);
        });
    }

    // Replace likewise, closed by `close` or through the frame.
    void replaceWith(const QString& what, const QString& with, bool matchCase, const char* close = "pbReplace") {
        withDialog("mnuReplace", [&](QDialog* d) {
            child<QLineEdit>(d, "txtFindWhat")->setText(what);
            child<QLineEdit>(d, "txtReplaceWith")->setText(with);
            if (matchCase) child<QCheckBox>(d, "chkCaseSensitive")->click();
            if (*close) child<QPushButton>(d, close)->click();
            else d->close();
        });
    }

    // An unchanged text with a selection.
    void given(const std::string& text, std::int64_t start = 0, std::int64_t length = 0) {
        window->setEditorText(text);
        window->setSelection(start, length);
        window->document().setChanged(false);
    }

    void next() { item("mnuFindNext")->trigger(); }

    void expectState(const std::string& text, const std::string& replacement, bool matchCase) {
        const auto& s = editor::searchState();
        EXPECT_EQ(std::tie(s.searchText, s.replacement, s.caseSensitive), std::tie(text, replacement, matchCase));
    }

    static QRadioButton* directionButton(QDialog* d, int index) {
        for (QRadioButton* b : d->findChildren<QRadioButton*>("optDirection"))
            if (b->property("index").toInt() == index) return b;
        ADD_FAILURE() << "no optDirection " << index;
        return nullptr;
    }

    // The captions of cases/dialogs.txt.
    static void expectCaptions(QDialog* d) {
        int checked = 0;
        for (const auto& row : cases::rows("editor_ui/cases/dialogs.txt")) {
            if (row[0] != d->objectName().toStdString()) continue;
            const std::string& name = row[1];
            ++checked;
            QString shown;
            if (name.empty()) shown = d->windowTitle();
            else if (name.starts_with("optDirection")) shown = directionButton(d, name.back() - '0')->text();
            else if (auto* b = d->findChild<QAbstractButton*>(name.c_str())) shown = b->text();
            else if (auto* l = d->findChild<QLabel*>(name.c_str())) shown = l->text();
            else if (auto* g = d->findChild<QGroupBox*>(name.c_str())) shown = g->title();
            else if (auto* e = d->findChild<QLineEdit*>(name.c_str())) shown = e->placeholderText();
            EXPECT_EQ(shown.toStdString(), row[2]) << name;
        }
        EXPECT_GE(checked, 6);
    }
};

TEST_F(FindReplace, DialogCaptionsAndDefaults) {
    given("one two", 4, 3);
    withDialog("mnuFind", [&](QDialog* d) {
        expectCaptions(d);
        EXPECT_TRUE(directionButton(d, 1)->isChecked() && !directionButton(d, 0)->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "chkCase")->isChecked());
        // The selected word fills the box; the Find button needs a text.
        auto* text = child<QLineEdit>(d, "Text1");
        EXPECT_EQ(text->text(), "two");
        text->setText("");
        EXPECT_FALSE(child<QPushButton>(d, "cmdFind")->isEnabled());
        text->setText("two");
        child<QPushButton>(d, "cmdFind")->click();
    });
    expectSelection(4, 3);  // the first search may match at the caret
    withDialog("mnuReplace", [&](QDialog* d) {
        expectCaptions(d);
        EXPECT_EQ(child<QLineEdit>(d, "txtFindWhat")->text() + child<QLineEdit>(d, "txtReplaceWith")->text(), "");
        EXPECT_FALSE(child<QCheckBox>(d, "chkCaseSensitive")->isChecked());
        EXPECT_FALSE(child<QLabel>(d, "Image2")->pixmap().isNull());
        d->reject();
    });
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

// The dialog's direction and case reach the search: down from the caret,
// then up from the end; the steps themselves are tested below the window.
TEST_F(FindReplace, DirectionAndCaseReachTheSearch) {
    given("abc\r\nABC");
    findWith("ABC", 1, true);
    expectSelection(5, 3);
    given("abc\r\nabc", 8);
    findWith("abc", 0);
    expectSelection(5, 3);
    next();
    expectSelection(0, 3);
    next();  // never wrapping around
    expectSelection(0, 3);
    expectBox(desktop.boxes.last(), cannotFind("abc"));
    EXPECT_EQ(editor::searchState().direction, 0);
}

// Cancel still searches with the typed text and case; the case flag outlives
// the dialog, which shows it cleared; Escape is no command at all.
TEST_F(FindReplace, CancelSearchesEscapeDoesNothing) {
    given("xabc", 1, 1);
    next();  // without a search text Find Next does nothing
    expectSelection(1, 1);
    withDialog("mnuFind", [&](QDialog* d) {
        child<QLineEdit>(d, "Text1")->setText("ABC");
        child<QCheckBox>(d, "chkCase")->setChecked(true);
        child<QPushButton>(d, "cmdcancel")->click();
    });
    expectState("ABC", "", true);
    findWith("ABC");
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);
    expectBox(desktop.boxes.last(), cannotFind("ABC"));

    auto fields = [] {
        const auto& s = editor::searchState();
        return std::tuple(s.searchText, s.direction, s.caseSensitive, s.firstSearch);
    };
    given("abc abc");
    findWith("abc");
    const auto before = fields();
    findWith("zzz", 0, true, "");  // Escape
    expectSelection(0, 3);
    EXPECT_EQ(fields(), before);
    next();
    expectSelection(4, 3);
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);
}

// Replace compares with case whatever its box says; the box only affects
// later finds. Cancel replaces nothing and clears the search; closing the
// dialog is no command.
TEST_F(FindReplace, Replace) {
    given("Aa\r\naA");
    replaceWith("a", "b", false);
    EXPECT_EQ(window->editorText(), "Ab\r\nbA");
    EXPECT_TRUE(window->document().changed());
    for (bool matchCase : {true, false}) {
        given("xabc");
        replaceWith("ABC", "Q", matchCase);
        EXPECT_EQ(window->editorText(), "xabc");
        window->setSelection(4, 0);
        next();  // no Find chose a direction yet: up from the end
        matchCase ? expectBox(desktop.boxes.last(), cannotFind("ABC")) : expectSelection(1, 3);
    }
    given("abc abc");
    replaceWith("abc", "x", false, "pbCancel");
    EXPECT_EQ(window->editorText(), "abc abc");
    expectState("", "", false);
    next();
    expectSelection(0, 0);
    replaceWith("abc", "x", false);
    given("abc abc");
    replaceWith("b", "", true, "");  // through the frame: the earlier texts are not applied again
    EXPECT_EQ(window->editorText(), "abc abc");
    EXPECT_FALSE(window->document().changed());
    expectState("abc", "x", false);
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
}

// One Undo takes back a Replace All; the window fits the offscreen screen of 800 x 600.
TEST_F(FindReplace, OneUndoTakesBackAReplaceAllAndTheWindowFitsASmallScreen) {
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
    given("ab\r\nxab\r\nab");
    replaceWith("ab", "Q", false);
    EXPECT_EQ(window->editorText(), "Q\r\nxQ\r\nQ");
    QTest::keyClick(control<textbox::SourceTextView>("txtEdit"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->editorText(), "ab\r\nxab\r\nab");
}

}  // namespace
