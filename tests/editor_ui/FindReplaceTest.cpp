// Find, Find Next and Replace through the editor's menus and dialogs.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

// The caption of every control of the two dialogs ("" is the dialog's own
// title, an input box shows its placeholder).
using Captions = std::vector<std::pair<std::string, QString>>;
const Captions FindCaptions = {
    {"", "Find"},           {"Label1", "Fi&nd What:"},    {"Frame1", "Direction"}, {"optDirection0", "&Up"},
    {"optDirection1", "&Down"}, {"chkCase", "Match &Case"}, {"cmdFind", "&Find"},    {"cmdcancel", "&Cancel"}};
const Captions ReplaceCaptions = {{"", "Find & Replace"},           {"txtFindWhat", "Find what"},
                                  {"txtReplaceWith", "Replace with"}, {"chkCaseSensitive", "Case Sensitive"},
                                  {"pbReplace", "&Replace"},          {"pbCancel", "&Cancel"}};

class FindReplace : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        start();
    }

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
        EXPECT_EQ(editor::searchState().searchText, text);
        EXPECT_EQ(editor::searchState().replacement, replacement);
        EXPECT_EQ(editor::searchState().caseSensitive, matchCase);
    }

    static QRadioButton* directionButton(QDialog* d, int index) {
        for (QRadioButton* b : d->findChildren<QRadioButton*>("optDirection"))
            if (b->property("index").toInt() == index) return b;
        ADD_FAILURE() << "no optDirection " << index;
        return nullptr;
    }

    static void expectCaptions(QDialog* d, const Captions& captions) {
        for (const auto& [name, caption] : captions) {
            SCOPED_TRACE(name);
            QString shown;
            if (name.empty()) shown = d->windowTitle();
            else if (name.starts_with("optDirection")) shown = directionButton(d, name.back() - '0')->text();
            else if (auto* b = d->findChild<QAbstractButton*>(name.c_str())) shown = b->text();
            else if (auto* l = d->findChild<QLabel*>(name.c_str())) shown = l->text();
            else if (auto* g = d->findChild<QGroupBox*>(name.c_str())) shown = g->title();
            else if (auto* e = d->findChild<QLineEdit*>(name.c_str())) shown = e->placeholderText();
            EXPECT_EQ(shown.toStdString(), caption.toStdString());
        }
    }

    void expectNotFound(const std::string& what, std::size_t count = 1) {
        ASSERT_EQ(desktop.boxes.shown.size(), count);
        expectBox(desktop.boxes.last(), cannotFind(what));
    }
};

// --- The dialogs -----------------------------------------------------------------

TEST_F(FindReplace, DialogCaptionsAndDefaults) {
    window->setEditorText("abc");
    withDialog("mnuFind", [&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "frmFind");
        expectCaptions(d, FindCaptions);
        EXPECT_FALSE(directionButton(d, 0)->isChecked());
        EXPECT_TRUE(directionButton(d, 1)->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "chkCase")->isChecked());
        // No selection: an empty box and no Find button until text is typed.
        auto* text = child<QLineEdit>(d, "Text1");
        auto* findButton = child<QPushButton>(d, "cmdFind");
        EXPECT_EQ(text->text(), "");
        EXPECT_FALSE(findButton->isEnabled());
        text->setText("b");
        EXPECT_TRUE(findButton->isEnabled());
        text->setText("");
        EXPECT_FALSE(findButton->isEnabled());
        d->reject();
    });
    withDialog("mnuReplace", [&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "frmReplace");
        expectCaptions(d, ReplaceCaptions);
        EXPECT_EQ(child<QLineEdit>(d, "txtFindWhat")->text(), "");
        EXPECT_EQ(child<QLineEdit>(d, "txtReplaceWith")->text(), "");
        EXPECT_FALSE(child<QCheckBox>(d, "chkCaseSensitive")->isChecked());
        EXPECT_FALSE(child<QLabel>(d, "Image2")->pixmap().isNull());
        d->reject();
    });
}

TEST_F(FindReplace, TheSelectedWordFillsTheFindBox) {
    given("one two", 4, 3);
    withDialog("mnuFind", [&](QDialog* d) {
        EXPECT_EQ(child<QLineEdit>(d, "Text1")->text(), "two");
        EXPECT_TRUE(child<QPushButton>(d, "cmdFind")->isEnabled());
        child<QPushButton>(d, "cmdFind")->click();
    });
    expectSelection(4, 3);  // the first search may match at the caret
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

// --- Find and Find Next ----------------------------------------------------------

TEST_F(FindReplace, FindThenFindNextNeverWrap) {
    struct Step {
        std::int64_t start, length;  // the selection afterwards
        bool found;                  // else "Cannot find", the selection stays
    };
    struct Case {
        const char* name;
        std::string text;
        std::int64_t caret;
        QString what;
        int direction;
        bool matchCase;
        std::vector<Step> steps;  // Find, then Find Next
    };
    const std::vector<Case> cases = {
        {"down to the end", "abc abc", 0, "abc", 1, false, {{0, 3, true}, {4, 3, true}, {4, 3, false}}},
        {"case ignored", "xabc", 0, "ABC", 1, false, {{1, 3, true}}},
        {"Match Case", "xabc", 0, "ABC", 1, true, {{0, 0, false}}},
        {"up at the start", "abc abc", 0, "abc", 0, false, {{0, 0, false}}},
        {"up from the end: the last match first", "abc\r\nabc", 8, "abc", 0, false, {{5, 3, true}, {0, 3, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        editor::searchState() = editor::SearchState{};
        desktop.boxes.clear();
        given(c.text, c.caret);
        std::size_t misses = 0;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            i == 0 ? findWith(c.what, c.direction, c.matchCase) : next();
            expectSelection(c.steps[i].start, c.steps[i].length);
            if (!c.steps[i].found) expectNotFound(c.what.toStdString(), ++misses);
            EXPECT_EQ(desktop.boxes.shown.size(), misses);
        }
        EXPECT_EQ(editor::searchState().direction, c.direction);
    }
}

TEST_F(FindReplace, CancelStillSearchesWithTheTypedTextAndCase) {
    given("xabc");
    withDialog("mnuFind", [&](QDialog* d) {
        child<QLineEdit>(d, "Text1")->setText("ABC");
        child<QCheckBox>(d, "chkCase")->setChecked(true);
        child<QPushButton>(d, "cmdcancel")->click();
    });
    expectState("ABC", "", true);
    expectNotFound("ABC");
}

TEST_F(FindReplace, TheCaseFlagOutlivesTheDialogThatShowsItCleared) {
    given("xabc");
    findWith("ABC", 1, true);
    expectNotFound("ABC");
    withDialog("mnuFind", [&](QDialog* d) {
        EXPECT_FALSE(child<QCheckBox>(d, "chkCase")->isChecked());
        child<QLineEdit>(d, "Text1")->setText("ABC");
        child<QPushButton>(d, "cmdFind")->click();
    });
    expectNotFound("ABC", 2);
}

TEST_F(FindReplace, ClosingTheFindDialogIsNoCommand) {
    auto fields = [] {
        const auto& s = editor::searchState();
        return std::tuple(s.searchText, s.direction, s.caseSensitive, s.firstSearch);
    };
    given("abc abc");
    findWith("abc");
    expectSelection(0, 3);
    const auto before = fields();
    findWith("zzz", 0, true, "");  // Escape
    expectSelection(0, 3);
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_EQ(fields(), before);
    next();
    expectSelection(4, 3);
}

TEST_F(FindReplace, FindNextWithoutASearchTextDoesNothing) {
    given("abc", 1, 1);
    next();
    expectSelection(1, 1);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

// --- Replace ---------------------------------------------------------------------

TEST_F(FindReplace, ReplaceComparesWithCaseWhateverTheBoxSays) {
    given("Aa\r\naA");
    replaceWith("a", "b", false);
    EXPECT_EQ(window->editorText(), "Ab\r\nbA");
    EXPECT_TRUE(window->document().changed());
}

TEST_F(FindReplace, ReplaceCaseBoxAffectsLaterFindsOnly) {
    // No Find has chosen a direction yet: the search state's direction is
    // up, so Find Next searches backwards from the end.
    given("xabc");
    replaceWith("ABC", "Q", true);
    EXPECT_EQ(window->editorText(), "xabc");
    window->setSelection(4, 0);
    next();
    expectNotFound("ABC");

    replaceWith("ABC", "Q", false);
    EXPECT_EQ(window->editorText(), "xabc");
    window->setSelection(4, 0);
    next();
    expectSelection(1, 3);
}

TEST_F(FindReplace, ReplaceCancelReplacesNothingAndStopsFindNext) {
    given("abc abc");
    findWith("abc");
    window->document().setChanged(false);
    replaceWith("abc", "x", false, "pbCancel");
    EXPECT_EQ(window->editorText(), "abc abc");
    EXPECT_FALSE(window->document().changed());
    expectState("", "", false);
    window->setSelection(0, 0);
    next();
    expectSelection(0, 0);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(FindReplace, ClosingTheReplaceDialogIsNoCommand) {
    given("abc abc");
    replaceWith("abc", "x", false);
    EXPECT_EQ(window->editorText(), "x x");
    given("abc abc");
    replaceWith("b", "", true, "");  // through the frame
    // The earlier search text and replacement are not applied again.
    EXPECT_EQ(window->editorText(), "abc abc");
    EXPECT_FALSE(window->document().changed());
    expectState("abc", "x", false);
}

}  // namespace
