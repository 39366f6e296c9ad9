// The editor window: start-up, opening, the navigator, the edit commands and
// keys, the close question and the layout.
#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <optional>

#include "UiTestSupport.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

using editor::ui::frmEdit32;
using namespace uitest;

namespace {

const std::vector<std::string> Entities = {"(declarations)", "A", "B"};

class EditorWindow : public EditorFixture {
protected:
    // Opens the module through "&Module Open" > ".&BAS Files".
    void openEntities() {
        desktop.dialogs.chooseNext(path);
        item("mnuBasFiles")->trigger();
        settle();
    }

    void choose(int index) {
        auto* list = control<QComboBox>("cbProc");
        list->setCurrentIndex(index);
        emit list->activated(index);
        settle();
    }

    // What an open leaves: caption, text, the entity list (empty and disabled
    // for a whole file) with the entity shown, and no change yet.
    void expectShown(const std::string& caption, const std::string& text,
                     const std::vector<std::string>& entities = {}, const std::string& entity = "") {
        EXPECT_EQ(window->windowTitle().toStdString(), caption);
        EXPECT_EQ(window->editorText(), text);
        EXPECT_FALSE(window->document().changed());
        EXPECT_EQ(window->document().mode(), entities.empty() ? editor::Mode::WholeFile : editor::Mode::Entity);
        auto* list = control<QComboBox>("cbProc");
        std::vector<std::string> items;
        for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
        EXPECT_EQ(items, entities);
        EXPECT_EQ(list->isEnabled(), !entities.empty());
        if (!entities.empty()) {
            EXPECT_EQ(list->currentText().toStdString(), entity);
            EXPECT_EQ(window->document().currentEntityName(), entity);
        }
    }
};

// --- Start-up and opening --------------------------------------------------------

TEST_F(EditorWindow, CommandLineFileOpensWholeAtTheFirstActivationOnly) {
    start(path);  // a path with a blank, given without quotes
    expectShown("QVX: " + upper(path), Module);
    window->setEditorText("other");
    window->hide();
    window->show();
    window->activateWindow();
    settle();
    EXPECT_EQ(window->editorText(), "other");
}

TEST_F(EditorWindow, BlankCommandLineOpensNothing) {
    start("   ");
    EXPECT_EQ(window->editorText(), "");
    EXPECT_EQ(window->windowTitle(), "QVX");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(EditorWindow, ModuleOpenShowsTheFirstEntityWholeOpenEmptiesTheListCancelChangesNothing) {
    start();
    openEntities();
    expectShown("QVX: (declarations) of " + upper(path), Declarations, Entities, "(declarations)");
    desktop.dialogs.chooseNext(path);
    item("mnuFillAll")->trigger();
    expectShown("QVX: " + upper(path), Module);
    desktop.dialogs.cancelNext();
    item("mnuBasFiles")->trigger();
    EXPECT_EQ(desktop.dialogs.calls.size(), 3u);
    expectShown("QVX: " + upper(path), Module);
}

// --- Navigator -------------------------------------------------------------------

TEST_F(EditorWindow, ChangedEntityWarnsOnceThenSwitches) {
    start();
    openEntities();
    typeIntoEditor("x");
    EXPECT_EQ(window->editorText(), "x" + Declarations);
    EXPECT_TRUE(window->document().changed());

    choose(1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(desktop.boxes.last(), EntityChanged);
    auto* list = control<QComboBox>("cbProc");
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(list->currentText(), "(declarations)");
    EXPECT_EQ(window->editorText(), "x" + Declarations);
    EXPECT_FALSE(window->document().changed());

    choose(1);  // no second warning: the edits are gone
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
    expectShown("QVX: A of " + upper(path), ProcA, Entities, "A");
}

TEST_F(EditorWindow, ChoosingTheShownEntityReadsNothing) {
    start();
    openEntities();
    choose(2);
    EXPECT_EQ(window->editorText(), ProcB);
    // The file changes behind the editor's back; a read would show it.
    writeFile(path, "Public Function B()\r\n  B = 3\r\nEnd Function\r\n" + std::string(200, ' '));
    const int reads = desktop.busy.begins;
    choose(2);
    EXPECT_EQ(window->editorText(), ProcB);
    EXPECT_EQ(desktop.busy.begins, reads);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(EditorWindow, EnterInTheListMovesToTheEditorWithoutSwitching) {
    start();
    openEntities();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* list = control<QComboBox>("cbProc");
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClicks(list, "B");
    EXPECT_EQ(list->currentText(), "B");
    QTest::keyClick(list, Qt::Key_Return);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), control<QPlainTextEdit>("txtEdit"));
    EXPECT_EQ(window->editorText(), Declarations);
    EXPECT_EQ(window->document().currentEntityName(), "(declarations)");
}

// --- Edit commands and keys ------------------------------------------------------

TEST_F(EditorWindow, CutCopyPasteClearAndSelectAll) {
    start();
    window->setEditorText("one two\r\nthree");
    window->setSelection(4, 3);
    item("mnuCopy")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "two");
    EXPECT_EQ(window->editorText(), "one two\r\nthree");

    window->setSelection(4, 7);
    item("mnuCut")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "two\r\nth");
    EXPECT_EQ(window->editorText(), "one ree");

    // Nothing selected: the clipboard still receives the empty text.
    const int sets = desktop.clipboard.sets;
    item("mnuCut")->trigger();
    EXPECT_EQ(desktop.clipboard.sets, sets + 1);
    EXPECT_EQ(desktop.clipboard.text(), "");
    item("mnuCopy")->trigger();
    EXPECT_EQ(desktop.clipboard.sets, sets + 2);

    desktop.clipboard.setText("A\r\nB");
    window->setSelection(0, 3);
    item("mnuPaste")->trigger();
    EXPECT_EQ(window->editorText(), "A\r\nB ree");

    item("mnuClear")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "");
    EXPECT_EQ(desktop.clipboard.clears, 1);
    EXPECT_EQ(window->editorText(), "A\r\nB ree");

    item("mnjSelectAll")->trigger();
    expectSelection(0, 8);
}

// A clipboard that the platform cannot reach.
struct BrokenClipboard : platform::Clipboard {
    std::string text() const override { throw platform::RuntimeError(521, "Can't open Clipboard"); }
    void setText(const std::string&) override { throw platform::RuntimeError(521, "Can't open Clipboard"); }
    void clear() override {}
};

TEST_F(EditorWindow, RunTimeErrorsOfCommandsAreReportedAndTheTextStays) {
    start();
    window->setEditorText("abc");
    window->setSelection(0, 2);
    BrokenClipboard broken;
    platform::Services replacement;
    replacement.clipboard = &broken;
    platform::ScopedServices scope(replacement);
    // Paste traps its own errors; Cut traps nothing and gets the last-resort
    // report. Neither changes the text.
    for (const char* command : {"mnuPaste", "mnuCut"}) {
        SCOPED_TRACE(command);
        const auto before = desktop.boxes.shown.size();
        item(command)->trigger();
        ASSERT_EQ(desktop.boxes.shown.size(), before + 1);
        expectBox(desktop.boxes.last(), runTimeError("Can't open Clipboard"));
        EXPECT_EQ(window->editorText(), "abc");
    }
    EXPECT_TRUE(window->isVisible());
}

TEST_F(EditorWindow, MenuShortcutsComeBeforeTheEditorsOwnKeysAndF1SaysTheHelpFileIsMissing) {
    start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->setEditorText("abc");
    window->setSelection(0, 2);
    auto* edit = control<QPlainTextEdit>("txtEdit");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(desktop.clipboard.text(), "ab");
    EXPECT_EQ(desktop.clipboard.sets, 1);
    desktop.clipboard.setText("Z");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->editorText(), "Zc");

    QTest::keyClick(edit, Qt::Key_F1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(desktop.boxes.last(), noHelpFile(frmEdit32::helpFilePath()));
    EXPECT_EQ(frmEdit32::helpFilePath(), (QCoreApplication::applicationDirPath() + "/QVX.hlp").toStdString());
}

// --- Closing a changed text ----------------------------------------------------

TEST_F(EditorWindow, CloseAsksAboutTheChangedText) {
    const std::string caption = "QVX: " + upper(path);
    struct Case {
        const char* name;
        const char* command;  // nullptr: the window's close box
        std::vector<platform::Answer> answers;
        std::optional<std::string> saveAs;  // the save dialog's answer if it comes up ("" cancels)
        std::vector<std::string> asked;     // the subject of every question
        bool staysOpen;
    };
    using platform::Answer;
    const std::string saved = dir.filePath("saved.bas").toStdString();
    const std::vector<Case> cases = {
        {"Cancel", nullptr, {Answer::Cancel}, std::nullopt, {path}, true},
        {"No", "mnuFileExit", {Answer::No}, std::nullopt, {path}, false},
        {"Yes, saved", nullptr, {Answer::Yes}, saved, {path}, false},
        {"Yes, save cancelled", nullptr, {Answer::Yes}, "", {path}, true},
        // Close asks about the caption, then the unload asks again.
        {"Close, then unload", "mnuFileClose", {Answer::No, Answer::No}, std::nullopt, {caption, path}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.boxes.clear();
        desktop.dialogs.calls.clear();
        start(path);
        typeIntoEditor("x");
        for (Answer a : c.answers) desktop.boxes.answerNext(a);
        if (c.saveAs && c.saveAs->empty()) desktop.dialogs.cancelNext();
        else if (c.saveAs) desktop.dialogs.chooseNext(*c.saveAs);
        if (c.command) item(c.command)->trigger();
        else window->close();

        ASSERT_EQ(desktop.boxes.shown.size(), c.asked.size());
        for (std::size_t i = 0; i < c.asked.size(); ++i) expectBox(desktop.boxes.shown[i], confirmSave(c.asked[i]));
        EXPECT_EQ(window->isVisible(), c.staysOpen);
        if (c.staysOpen) {
            EXPECT_EQ(window->editorText(), "x" + Module);
        }
        ASSERT_EQ(desktop.dialogs.calls.size(), c.saveAs ? 1u : 0u);
        if (c.saveAs) {
            EXPECT_EQ(desktop.dialogs.calls[0].kind, "save");
        }
        EXPECT_EQ(readFile(path), Module);
    }
    EXPECT_EQ(readFile(saved), "x" + Module + "\r\n");
}

TEST_F(EditorWindow, DeleteAllTextClearsTheChangeSoClosingAsksNothing) {
    start(path);
    typeIntoEditor("x");
    item("mnuDeleteText")->trigger();
    EXPECT_EQ(window->editorText(), "");
    EXPECT_FALSE(window->document().changed());
    window->close();
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readFile(path), Module);
}

// --- Layout ----------------------------------------------------------------------

TEST_F(EditorWindow, EditingAreaKeepsItsDistanceFromTheTopAndTheOuterBottom) {
    start();
    window->resize(800, 600);
    settle();
    auto* edit = control<QPlainTextEdit>("txtEdit");
    const double dpi = window->logicalDpiY();
    auto px = [&](int twips) { return static_cast<int>(twips * dpi / 1440 + 0.5); };
    // Measured in the client area below the menu bar, against the outer size.
    const QRect outer = window->frameGeometry();
    EXPECT_EQ(edit->y(), px(600));
    EXPECT_EQ(edit->x(), 0);
    EXPECT_NEAR(edit->y() + edit->height(), outer.height() - px(660), 1.0);
    EXPECT_NEAR(edit->width(), outer.width() - px(90), 1.0);
    EXPECT_EQ(control<QWidget>("Picture1")->geometry(), QRect(0, 0, edit->width(), px(615)));

    // At the smallest size every control keeps a usable size.
    window->resize(10, 10);
    settle();
    EXPECT_GE(window->width(), window->minimumWidth());
    EXPECT_GT(edit->height(), 50);
    EXPECT_GT(control<QWidget>("cbProc")->width(), 100);
}

TEST(EditorLayout, SizesNeverGoNegative) {
    // outer width, height -> editing area top, width, height; band height
    const std::vector<std::array<int, 6>> cases = {
        {12000, 9000, 600, 11910, 7740, 615}, {50, 900, 600, 0, 0, 615},
        {90, 1260, 600, 0, 0, 615},           {91, 1261, 600, 1, 1, 615}};
    for (const auto& [w, h, top, width, height, band] : cases) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        const auto layout = editor::ui::editorLayout(w, h);
        EXPECT_EQ(layout.txtEdit.top, top);
        EXPECT_EQ(layout.txtEdit.width, width);
        EXPECT_EQ(layout.txtEdit.height, height);
        EXPECT_EQ(layout.Picture1.height, band);
    }
}

}  // namespace
