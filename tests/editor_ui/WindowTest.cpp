// The editor window: start-up, the open commands, the navigator, the simple
// edit commands, the close question, keys and layout.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "UiTestSupport.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

using editor::ui::frmEdit32;
using uitest::child;
using uitest::item;

namespace {

const std::string Declarations = "Attribute VB_Name = \"Module1\"\r\nOption Explicit\r\nDim x As Long\r\n\r\n";
const std::string ProcA = "Private Sub A()\r\n  x = 1\r\nEnd Sub\r\n";
const std::string ProcB = "Public Function B()\r\n  B = 2\r\nEnd Function\r\n";
const std::string Module = Declarations + ProcA + "\r\n" + ProcB;

const std::string ChangedQuestion = "] has changed.\r\nDo you want to save the changes?";
const std::string EntityWarning =
    "The currenty entity has been changed,\nto save, use the File Save Menu.\n"
    "You will not be prompted again unless\nadditional changes are made!";

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("My Module.bas").toStdString();
        uitest::writeFile(path, Module);
    }

    // A window started with this command line, shown and activated.
    frmEdit32& start(const std::string& commandLine = "") {
        window = std::make_unique<frmEdit32>(commandLine);
        window->show();
        window->activateWindow();
        uitest::settle();
        return *window;
    }

    // Opens the module through "&Module Open" > ".&BAS Files".
    void openEntities() {
        desktop.dialogs.chooseNext(path);
        item(window.get(), "mnuBasFiles")->trigger();
        uitest::settle();
    }

    void choose(int index) {
        auto* list = child<QComboBox>(window.get(), "cbProc");
        list->setCurrentIndex(index);
        emit list->activated(index);
        uitest::settle();
    }

    void typeIntoEditor(const QString& keys) {
        auto* edit = child<QPlainTextEdit>(window.get(), "txtEdit");
        edit->setFocus();
        QTest::keyClicks(edit, keys);
    }

    std::vector<std::string> listItems() {
        std::vector<std::string> items;
        auto* list = child<QComboBox>(window.get(), "cbProc");
        for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
        return items;
    }

    std::string caption() { return window->windowTitle().toStdString(); }

    platform::RecordingDesktop desktop;
    QTemporaryDir dir;
    std::string path;
    std::unique_ptr<frmEdit32> window;
};

// --- Start-up and opening ------------------------------------------------------

TEST_F(EditorWindow, CommandLineFileOpensWholeAtFirstActivation) {
    start(path);  // a path with a blank, given without quotes
    EXPECT_EQ(caption(), "QVX: " + uitest::upper(path));
    EXPECT_EQ(window->editorText(), Module);
    EXPECT_FALSE(window->document().changed());
    EXPECT_EQ(window->document().mode(), editor::Mode::WholeFile);
    auto* list = child<QComboBox>(window.get(), "cbProc");
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(list->isEnabled());

    // Later activations open nothing again.
    window->setEditorText("other");
    window->hide();
    window->show();
    window->activateWindow();
    uitest::settle();
    EXPECT_EQ(window->editorText(), "other");
}

TEST_F(EditorWindow, BlankCommandLineOpensNothing) {
    start("   ");
    EXPECT_EQ(window->editorText(), "");
    EXPECT_EQ(caption(), "QVX");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(EditorWindow, ModuleOpenShowsTheFirstEntityAndItsCaption) {
    start();
    openEntities();
    EXPECT_EQ(desktop.dialogs.calls.back().filter, "Program (*.bas)|*.bas");
    EXPECT_EQ(listItems(), (std::vector<std::string>{"(declarations)", "A", "B"}));
    auto* list = child<QComboBox>(window.get(), "cbProc");
    EXPECT_TRUE(list->isEnabled());
    EXPECT_EQ(list->currentText(), "(declarations)");
    EXPECT_EQ(window->editorText(), Declarations);
    EXPECT_EQ(caption(), "QVX: (declarations) of " + uitest::upper(path));
    EXPECT_FALSE(window->document().changed());
}

TEST_F(EditorWindow, OpeningWholeEmptiesAndDisablesTheList) {
    start();
    openEntities();
    desktop.dialogs.chooseNext(path);
    item(window.get(), "mnuFillAll")->trigger();
    auto* list = child<QComboBox>(window.get(), "cbProc");
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(window->editorText(), Module);
    EXPECT_EQ(caption(), "QVX: " + uitest::upper(path));
}

TEST_F(EditorWindow, CancelledOpenChangesNothing) {
    start(path);
    desktop.dialogs.cancelNext();
    item(window.get(), "mnuBasFiles")->trigger();
    EXPECT_EQ(desktop.dialogs.calls.size(), 1u);
    EXPECT_EQ(caption(), "QVX: " + uitest::upper(path));
    EXPECT_EQ(window->editorText(), Module);
    EXPECT_EQ(window->document().mode(), editor::Mode::WholeFile);
    EXPECT_FALSE(child<QComboBox>(window.get(), "cbProc")->isEnabled());
}

TEST_F(EditorWindow, EveryOpenItemUsesItsFilter) {
    const std::vector<std::pair<const char*, std::string>> filters = {
        {"mnuFileBas", "Program (*.bas)|*.bas"},
        {"mnuFilePrg", "Program (*.prg)|*.prg"},
        {"mnuFileFRM", "Forms (*.frm)|*.frm"},
        {"mnuVbp", "Program (*.VBP)|*.VBP"},
        {"mnuMakFiles", "Program (*.mak)|*.mak"},
        {"mnuClsFiles", "Class (*.cls)|*.cls"},
        {"mnuTextFiles", "Text Files (*.txt)|*.txt"},
        {"mnuLogFiles", "Log (Error) Files (*.Log)|*.Log"},
        {"mnuFillAll", "All Files (*.*)|*.*"},
        {"mnuBasFiles", "Program (*.bas)|*.bas"},
        {"mnuFrmFilesn", "Forms (*.frm)|*.frm"},
        {"mnuCls", "Class (*.cls)|*.cls"},
        {"mnuPrgFiles", "Program (*.prg)|*.prg"},
    };
    start();
    for (const auto& [name, filter] : filters) {
        SCOPED_TRACE(name);
        const auto before = desktop.dialogs.calls.size();
        item(window.get(), name)->trigger();
        ASSERT_EQ(desktop.dialogs.calls.size(), before + 1);
        EXPECT_EQ(desktop.dialogs.calls.back().kind, "open");
        EXPECT_EQ(desktop.dialogs.calls.back().filter, filter);
    }
}

// --- Navigator -------------------------------------------------------------------

TEST_F(EditorWindow, ChangedEntityWarnsOnceThenSwitches) {
    start();
    openEntities();
    typeIntoEditor("x");
    const std::string edited = window->editorText();
    EXPECT_EQ(edited, "x" + Declarations);
    EXPECT_TRUE(window->document().changed());

    choose(1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, EntityWarning);
    EXPECT_EQ(desktop.boxes.last().title, "Save or Lose Changes");
    EXPECT_EQ(desktop.boxes.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(desktop.boxes.last().buttons, platform::Buttons::Ok);
    auto* list = child<QComboBox>(window.get(), "cbProc");
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(list->currentText(), "(declarations)");
    EXPECT_EQ(window->editorText(), edited);
    EXPECT_FALSE(window->document().changed());

    choose(1);  // no second warning: the edits are gone
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(window->editorText(), ProcA);
    EXPECT_EQ(caption(), "QVX: A of " + uitest::upper(path));
    EXPECT_FALSE(window->document().changed());
    EXPECT_EQ(window->document().currentEntityName(), "A");
}

TEST_F(EditorWindow, ChoosingTheShownEntityReadsNothing) {
    start();
    openEntities();
    choose(2);
    EXPECT_EQ(window->editorText(), ProcB);
    // The file changes behind the editor's back; a read would show it.
    uitest::writeFile(path, "Public Function B()\r\n  B = 3\r\nEnd Function\r\n" + std::string(200, ' '));
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
    auto* list = child<QComboBox>(window.get(), "cbProc");
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClicks(list, "B");
    EXPECT_EQ(list->currentText(), "B");
    QTest::keyClick(list, Qt::Key_Return);
    uitest::settle();
    EXPECT_EQ(QApplication::focusWidget(), child<QPlainTextEdit>(window.get(), "txtEdit"));
    EXPECT_EQ(window->editorText(), Declarations);
    EXPECT_EQ(window->document().currentEntityName(), "(declarations)");
}

// --- Simple edit commands --------------------------------------------------------

TEST_F(EditorWindow, CutCopyPasteClearAndSelectAll) {
    start();
    window->setEditorText("one two\r\nthree");
    window->setSelection(4, 3);
    item(window.get(), "mnuCopy")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "two");
    EXPECT_EQ(window->editorText(), "one two\r\nthree");

    window->setSelection(4, 7);
    item(window.get(), "mnuCut")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "two\r\nth");
    EXPECT_EQ(window->editorText(), "one ree");

    // Nothing selected: the clipboard still receives the empty text.
    const int sets = desktop.clipboard.sets;
    item(window.get(), "mnuCut")->trigger();
    EXPECT_EQ(desktop.clipboard.sets, sets + 1);
    EXPECT_EQ(desktop.clipboard.text(), "");
    item(window.get(), "mnuCopy")->trigger();
    EXPECT_EQ(desktop.clipboard.sets, sets + 2);

    desktop.clipboard.setText("A\r\nB");
    window->setSelection(0, 3);
    item(window.get(), "mnuPaste")->trigger();
    EXPECT_EQ(window->editorText(), "A\r\nB ree");

    item(window.get(), "mnuClear")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "");
    EXPECT_EQ(desktop.clipboard.clears, 1);
    EXPECT_EQ(window->editorText(), "A\r\nB ree");

    item(window.get(), "mnjSelectAll")->trigger();
    EXPECT_EQ(window->selStart(), 0);
    EXPECT_EQ(window->selLength(), 8);
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

    // Paste traps its own errors.
    item(window.get(), "mnuPaste")->trigger();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, "Can't open Clipboard");
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(desktop.boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(desktop.boxes.last().buttons, platform::Buttons::Ok);
    EXPECT_EQ(window->editorText(), "abc");

    // Cut traps nothing: the last-resort report, and nothing is cut.
    item(window.get(), "mnuCut")->trigger();
    ASSERT_EQ(desktop.boxes.shown.size(), 2u);
    EXPECT_EQ(desktop.boxes.last().text, "Can't open Clipboard");
    EXPECT_EQ(desktop.boxes.last().title, "Kestrin Error");
    EXPECT_EQ(window->editorText(), "abc");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(EditorWindow, MenuShortcutsComeBeforeTheEditorsOwnKeys) {
    start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->setEditorText("abc");
    window->setSelection(0, 2);
    auto* edit = child<QPlainTextEdit>(window.get(), "txtEdit");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(desktop.clipboard.text(), "ab");
    EXPECT_EQ(desktop.clipboard.sets, 1);
    desktop.clipboard.setText("Z");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->editorText(), "Zc");
}

TEST_F(EditorWindow, F1WithoutTheHelpFileSaysSo) {
    start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* edit = child<QPlainTextEdit>(window.get(), "txtEdit");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, "Can't open help file: " + frmEdit32::helpFilePath());
    EXPECT_EQ(desktop.boxes.last().title, "Varnel");
    EXPECT_EQ(desktop.boxes.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(frmEdit32::helpFilePath(),
              (QCoreApplication::applicationDirPath() + "/QVX.hlp").toStdString());
}

// --- Closing ---------------------------------------------------------------------

class CloseQuestion : public EditorWindow {
protected:
    void SetUp() override {
        EditorWindow::SetUp();
        start(path);
        typeIntoEditor("x");
    }
    void expectQuestion(const platform::ShownBox& box, const std::string& subject) {
        EXPECT_EQ(box.text, "The text in [" + subject + ChangedQuestion);
        EXPECT_EQ(box.title, "Confirm Save");
        EXPECT_EQ(box.icon, platform::Icon::Exclamation);
        EXPECT_EQ(box.buttons, platform::Buttons::YesNoCancel);
    }
};

TEST_F(CloseQuestion, CancelKeepsTheWindowAndTheText) {
    desktop.boxes.answerNext(platform::Answer::Cancel);
    window->close();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectQuestion(desktop.boxes.last(), path);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->editorText(), "x" + Module);
    EXPECT_EQ(uitest::readFile(path), Module);
}

TEST_F(CloseQuestion, NoClosesWithoutSaving) {
    desktop.boxes.answerNext(platform::Answer::No);
    item(window.get(), "mnuFileExit")->trigger();
    EXPECT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(uitest::readFile(path), Module);
    EXPECT_TRUE(desktop.dialogs.calls.empty());
}

TEST_F(CloseQuestion, YesSavesUnderTheChosenNameAndCloses) {
    const std::string target = dir.filePath("saved.bas").toStdString();
    desktop.boxes.answerNext(platform::Answer::Yes);
    desktop.dialogs.chooseNext(target);
    window->close();
    ASSERT_EQ(desktop.dialogs.calls.size(), 1u);
    EXPECT_EQ(desktop.dialogs.calls[0].kind, "save");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(uitest::readFile(target), "x" + Module + "\r\n");
    EXPECT_EQ(uitest::readFile(path), Module);
}

TEST_F(CloseQuestion, YesWithTheSaveDialogCancelledStaysOpen) {
    desktop.boxes.answerNext(platform::Answer::Yes);
    desktop.dialogs.cancelNext();
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->editorText(), "x" + Module);
}

TEST_F(CloseQuestion, CloseAsksAboutTheCaptionThenAsksAgainOnUnload) {
    desktop.boxes.answerNext(platform::Answer::No);
    desktop.boxes.answerNext(platform::Answer::No);
    item(window.get(), "mnuFileClose")->trigger();
    ASSERT_EQ(desktop.boxes.shown.size(), 2u);
    expectQuestion(desktop.boxes.shown[0], "QVX: " + uitest::upper(path));
    expectQuestion(desktop.boxes.shown[1], path);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(CloseQuestion, DeleteAllTextClearsTheChangeSoNothingIsAsked) {
    item(window.get(), "mnuDeleteText")->trigger();
    EXPECT_EQ(window->editorText(), "");
    EXPECT_FALSE(window->document().changed());
    window->close();
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(uitest::readFile(path), Module);
}

// --- Layout ----------------------------------------------------------------------

TEST_F(EditorWindow, EditingAreaKeepsItsDistanceFromTheTopAndTheOuterBottom) {
    start();
    window->resize(800, 600);
    uitest::settle();
    auto* edit = child<QPlainTextEdit>(window.get(), "txtEdit");
    auto* band = child<QWidget>(window.get(), "Picture1");
    const double dpi = window->logicalDpiY();
    auto px = [&](int twips) { return static_cast<int>(twips * dpi / 1440 + 0.5); };
    // Measured in the client area below the menu bar, against the outer size.
    const QRect outer = window->frameGeometry();
    EXPECT_EQ(edit->y(), px(600));
    EXPECT_EQ(edit->x(), 0);
    EXPECT_NEAR(edit->y() + edit->height(), outer.height() - px(660), 1.0);
    EXPECT_NEAR(edit->width(), outer.width() - px(90), 1.0);
    EXPECT_EQ(band->geometry(), QRect(0, 0, edit->width(), px(615)));

    // At the smallest size every control keeps a usable size.
    window->resize(10, 10);
    uitest::settle();
    EXPECT_GE(window->width(), window->minimumWidth());
    EXPECT_GT(edit->height(), 50);
    EXPECT_GT(child<QWidget>(window.get(), "cbProc")->width(), 100);
}

TEST(EditorLayout, SizesNeverGoNegative) {
    const auto layout = editor::ui::editorLayout(50, 900);
    EXPECT_EQ(layout.txtEdit.width, 0);
    EXPECT_EQ(layout.txtEdit.height, 0);
    EXPECT_EQ(layout.Picture1.height, 615);
    const auto big = editor::ui::editorLayout(12000, 9000);
    EXPECT_EQ(big.txtEdit.top, 600);
    EXPECT_EQ(big.txtEdit.width, 11910);
    EXPECT_EQ(big.txtEdit.height, 7740);
}

}  // namespace
