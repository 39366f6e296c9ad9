// The editor window: what it adds to the document and commands tested below
// it: the menu tree (cases/menus.txt), its controls, opening through the
// menus, the procedure list, the edit commands and keys, the close question
// and the layout.
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <cmath>

#include "UiTestSupport.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"

using editor::ui::frmEdit32;
using namespace uitest;
using textlib::UCase;

namespace {

class EditorWindow : public EditorFixture {
protected:
    void choose(int index) {
        auto* list = control<QComboBox>("cbProc");
        list->setCurrentIndex(index);
        emit list->activated(index);
        settle();
    }
    std::vector<std::string> entities() {
        std::vector<std::string> items;
        auto* list = control<QComboBox>("cbProc");
        items.reserve(static_cast<std::size_t>(list->count()));
        for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
        return items;
    }
};

void collect(const QList<QAction*>& actions, int depth, std::vector<cases::Lines>& out) {
    for (QAction* a : actions) {
        out.push_back({std::to_string(depth), a->objectName().toStdString(),
                       a->isSeparator() ? "-" : a->text().toStdString(),
                       a->shortcut().toString(QKeySequence::PortableText).toStdString(), a->isEnabled() ? "1" : "0"});
        if (a->menu()) collect(a->menu()->actions(), depth + 1, out);
    }
}

TEST_F(EditorWindow, MenuTreeCaptionsShortcutsStatesAndOpenFilters) {
    start();
    std::vector<cases::Lines> actual;
    collect(window->menuBar()->actions(), 0, actual);
    const auto expected = cases::rows("editor_ui/cases/menus.txt");
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i], cases::Lines(expected[i].begin(), expected[i].begin() + 5));
        if (expected[i][5].empty()) continue;
        item(expected[i][1].c_str())->trigger();
        ASSERT_FALSE(desktop.dialogs.calls.empty());
        EXPECT_EQ(desktop.dialogs.calls.back().kind + " " + desktop.dialogs.calls.back().filter,
                  "open " + expected[i][5]);
    }
    EXPECT_EQ(desktop.dialogs.calls.size(), 13u);
    EXPECT_EQ(window->objectName(), "frmEdit32");
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(16, 16)));
    for (const char* name : {"Picture1", "Image1", "cbProc"}) EXPECT_NE(window->findChild<QWidget*>(name), nullptr);
    EXPECT_EQ(control<QLabel>("Label1")->text(), "Procedure");
    EXPECT_TRUE(QFontInfo(control<textbox::SourceTextView>("txtEdit")->font()).fixedPitch());
    EXPECT_EQ(control<textbox::SourceTextView>("txtEdit")->font().pointSize(), 9);
    EXPECT_EQ(control<textbox::SourceTextView>("txtEdit")->accessibleName(), "Procedure text");
}

TEST_F(EditorWindow, CommandLineOpensWholeOnceAndTheMenusOpenEntitiesOrWhole) {
    start("   ");  // a blank command line opens nothing
    EXPECT_EQ(caption() + window->editorText(), "QVX");
    window.reset();
    start(path);  // a path with a blank, given without quotes
    EXPECT_EQ(caption(), "QVX: " + UCase(path));
    EXPECT_EQ(window->editorText(), Module);

    desktop.dialogs.chooseNext(path);
    item("mnuBasFiles")->trigger();
    EXPECT_EQ(caption(), "QVX: (declarations) of " + UCase(path));
    EXPECT_EQ(window->editorText(), Declarations);
    EXPECT_EQ(entities(), (std::vector<std::string>{"(declarations)", "A", "B"}));
    EXPECT_TRUE(control<QComboBox>("cbProc")->isEnabled());
    desktop.dialogs.chooseNext(path);
    item("mnuFillAll")->trigger();
    EXPECT_TRUE(entities().empty());
    EXPECT_FALSE(control<QComboBox>("cbProc")->isEnabled());
    EXPECT_EQ(window->document().mode(), editor::Mode::WholeFile);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(EditorWindow, TheListWarnsOnceAboutAChangedEntityAndEnterMovesToTheText) {
    start();
    desktop.dialogs.chooseNext(path);
    item("mnuBasFiles")->trigger();
    typeIntoEditor("x");
    EXPECT_TRUE(window->document().changed());
    choose(1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);  // its text: the document tests
    EXPECT_EQ(control<QComboBox>("cbProc")->currentText(), "(declarations)");
    choose(1);  // no second warning: the edits are gone
    EXPECT_EQ(window->editorText(), ProcA);

    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* list = control<QComboBox>("cbProc");
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClicks(list, "B");
    QTest::keyClick(list, Qt::Key_Return);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), control<textbox::SourceTextView>("txtEdit"));
    EXPECT_EQ(window->document().currentEntityName(), "A");
}

TEST_F(EditorWindow, CutCopyPasteClearSelectAllAndTheirErrors) {
    start();
    window->setEditorText("one two\r\nthree");
    window->setSelection(4, 3);
    item("mnuCopy")->trigger();
    EXPECT_EQ(desktop.clipboard.text(), "two");
    window->setSelection(4, 7);
    item("mnuCut")->trigger();
    EXPECT_EQ(desktop.clipboard.text() + "|" + window->editorText(), "two\r\nth|one ree");
    const int sets = desktop.clipboard.sets;
    item("mnuCut")->trigger();  // nothing selected: the clipboard still receives the empty text
    item("mnuCopy")->trigger();
    EXPECT_EQ(desktop.clipboard.sets, sets + 2);
    desktop.clipboard.setText("A\r\nB");
    window->setSelection(0, 3);
    item("mnuPaste")->trigger();
    EXPECT_EQ(window->editorText(), "A\r\nB ree");
    expectSelection(4, 0);  // the caret after the pasted text
    item("mnuClear")->trigger();
    EXPECT_EQ(desktop.clipboard.clears, 1);
    item("mnjSelectAll")->trigger();
    expectSelection(0, 8);

    // A clipboard the platform cannot reach: Paste traps its own error, Cut
    // gets the last-resort report; neither changes the text.
    struct BrokenClipboard : platform::Clipboard {
        std::string text() const override { throw platform::RuntimeError(521, "Can't open Clipboard"); }
        void setText(const std::string&) override { text(); }
        void clear() override {}
    } broken;
    platform::ScopedServices scope({.clipboard = &broken});
    for (const char* command : {"mnuPaste", "mnuCut"}) {
        item(command)->trigger();
        expectBox(desktop.boxes.last(), runTimeError("Can't open Clipboard"));
        EXPECT_EQ(window->editorText(), "A\r\nB ree");
    }
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);
}

TEST_F(EditorWindow, MenuShortcutsComeBeforeTheEditorsOwnKeysAndF1SaysTheHelpFileIsMissing) {
    start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->setEditorText("abc");
    window->setSelection(0, 2);
    auto* edit = control<textbox::SourceTextView>("txtEdit");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(desktop.clipboard.text(), "ab");
    desktop.clipboard.setText("Z");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->editorText(), "Zc");
    QTest::keyClick(edit, Qt::Key_F1);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(frmEdit32::helpFilePath(), (QCoreApplication::applicationDirPath() + "/QVX.hlp").toStdString());
    expectBox(desktop.boxes.last(), noHelpFile(frmEdit32::helpFilePath()));
}

// The close box, Exit and Close ask as the document does (its answers are
// tested below the window); the window stays open only when the answer says so.
TEST_F(EditorWindow, ClosingAChangedTextAsks) {
    using platform::Answer;
    const std::tuple<const char*, std::vector<Answer>, std::vector<std::string>, bool> cases[] = {
        {nullptr, {Answer::Cancel}, {path}, true},
        {"mnuFileExit", {Answer::No}, {path}, false},
        {"mnuFileClose", {Answer::No, Answer::No}, {"QVX: " + UCase(path), path}, false},
        {"mnuDeleteText", {}, {}, false}};  // no change left to ask about
    for (const auto& [command, answers, asked, staysOpen] : cases) {
        desktop.boxes.clear();
        start(path);
        typeIntoEditor("x");
        for (Answer a : answers) desktop.boxes.answerNext(a);
        command ? item(command)->trigger() : (void)window->close();
        if (asked.empty()) window->close();
        ASSERT_EQ(desktop.boxes.shown.size(), asked.size());
        for (std::size_t i = 0; i < asked.size(); ++i) expectBox(desktop.boxes.shown[i], confirmSave(asked[i]));
        EXPECT_EQ(window->isVisible(), staysOpen);
        EXPECT_EQ(cases::read(path), Module);
    }
    // Delete All Text is one step to undo, and the text undone is a change to ask about.
    desktop.boxes.clear();
    start(path);
    typeIntoEditor("x");
    const std::string typed = window->editorText();
    item("mnuDeleteText")->trigger();
    QTest::keyClick(control<textbox::SourceTextView>("txtEdit"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->editorText(), typed);
    desktop.boxes.answerNext(Answer::No);
    window->close();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(desktop.boxes.last(), confirmSave(path));
}

// Opening a file over unsaved edits asks first: Cancel keeps the text and
// its recovery record, No opens the file and the record goes.
TEST_F(EditorWindow, OpeningOverUnsavedEditsKeepsTheirRecordUntilAnswered) {
    start(path);
    const std::string state = dir.filePath("state").toStdString();
    window->keepRecovery(state, std::chrono::milliseconds(20), std::chrono::milliseconds(100));
    typeIntoEditor("x");
    const auto records = [&] { return QDir(QString::fromStdString(state)).entryList({"*.rec"}).size(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return records() == 1; }));
    for (const platform::Answer answer : {platform::Answer::Cancel, platform::Answer::No}) {
        desktop.dialogs.chooseNext(path);  // the file as it is on disk
        desktop.boxes.answerNext(answer);
        item("mnuFillAll")->trigger();
        expectBox(desktop.boxes.shown.at(answer == platform::Answer::No), confirmSave(path));
        QTest::qWait(150);
        EXPECT_EQ(window->editorText() + std::to_string(records()),
                  answer == platform::Answer::No ? Module + "0" : "x" + Module + "1");
    }
}

// A recovery folder that cannot be made (under a file, which stops root too)
// is told once.
TEST_F(EditorWindow, RecoveryFolderThatCannotBeMadeIsToldOnce) {
    start(path);
    const std::string state = path + "/state";
    window->keepRecovery(state, std::chrono::milliseconds(20), std::chrono::milliseconds(100));
    for (const char* keys : {"a", "b"}) typeIntoEditor(keys), QTest::qWait(150);
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    const std::string why = ": The folder " + state + " cannot be made.";
    expectBox(desktop.boxes.last(), {"varnel cannot keep your unsaved changes in " + state + why, "Varnel"});
}

// The real window activated again after another program wrote its file:
// it offers to reload, and Yes shows what is on disk.
TEST_F(EditorWindow, ActivationAfterAnotherWriterOffersToReload) {
    start(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << Module << "' theirs\r\n";
    desktop.boxes.answerNext(platform::Answer::Yes);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    expectBox(desktop.boxes.shown.at(0), {path + " has been changed on disk by another program. Reload it?", "Varnel",
                                          Icon::Exclamation, Buttons::YesNoDefaultNo});
    EXPECT_EQ(window->editorText(), Module + "' theirs\r\n");
}

TEST_F(EditorWindow, EditingAreaKeepsItsDistanceFromTheTopAndTheOuterBottom) {
    start();
    window->resize(800, 600);
    settle();
    auto* edit = control<textbox::SourceTextView>("txtEdit");
    auto px = [&](int twips) { return static_cast<int>(std::lround(twips * window->logicalDpiY() / 1440.0)); };
    EXPECT_EQ(edit->pos(), QPoint(0, px(600)));
    EXPECT_NEAR(edit->y() + edit->height(), window->frameGeometry().height() - px(660), 1.0);
    // outer width, height -> editing area top, width, height; band height: never negative
    for (auto [w, h, top, width, height, band] :
         {std::array{12000, 9000, 600, 11910, 7740, 615}, {50, 900, 600, 0, 0, 615}, {91, 1261, 600, 1, 1, 615}}) {
        const auto layout = editor::ui::editorLayout(w, h);
        EXPECT_EQ((std::array{layout.txtEdit.top, layout.txtEdit.width, layout.txtEdit.height, layout.Picture1.height}),
                  (std::array{top, width, height, band}))
            << w << " x " << h;
    }
}

// Where bytes and names meet the window: source text by Windows-1252, a file
// name as the system decodes it, a typed character that no byte holds, and
// LF line ends on the system clipboard.
TEST_F(EditorWindow, ShowsWindows1252AndTheNameAndRefusesACharacterNoByteHolds) {
    const std::string name = dir.filePath(
                                    "M\xC3\xB3"
                                    "dulo \xC3\xB1.bas")
                                 .toStdString();
    const std::string bytes = "x = \"\x80 \x93q\x94 \x96\x81\"\r\n' \xE9t\xE9\r\n";
    std::ofstream(name, std::ios::binary) << bytes;
    start(name);
    auto* edit = control<textbox::SourceTextView>("txtEdit");
    EXPECT_EQ(edit->plainText(), QString::fromUtf8("x = \"\u20AC \u201Cq\u201D \u2013\u0081\"\n' \u00E9t\u00E9\n"));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("QVX: " + textlib::UCase(name)));
    item("mnuFileSave")->trigger();
    EXPECT_EQ(cases::read(name), bytes + "\r\n");
    edit->setSelection(999, 999);
    edit->replaceSelection(u"\u2192 \U0001F600");
    item("mnuFileSave")->trigger();
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    expectBox(desktop.boxes.last(), {"The character U+2192 \"\xE2\x86\x92\" on line 3 has no byte in the Windows-1252 "
                                     "code page of source files, so nothing was saved. Replace it and save again.",
                                     "Varnel", Icon::Exclamation, Buttons::Ok});
    EXPECT_EQ(cases::read(name), bytes + "\r\n");
    // Pasted from another program through the system clipboard: refused the same way.
    item("mnuDeleteText")->trigger();
    platform::ScopedServices restore({});
    platform::installQtServices(window.get());
    platform::ScopedServices recordBoxes({.boxes = &desktop.boxes});
    QGuiApplication::clipboard()->setText(QString::fromUtf8("a\r\n\u00E9 \u2260 b"));
    item("mnuPaste")->trigger();
    item("mnuFileSave")->trigger();
    EXPECT_TRUE(desktop.boxes.last().text.starts_with("The character U+2260 \"\xE2\x89\xA0\" on line 2 "));
    // Copied back out, such a character stays itself on the system clipboard.
    item("mnjSelectAll")->trigger();
    item("mnuCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("a\n\u00E9 \u2260 b"));
}

TEST(QtBoundary, SystemClipboardHasLf) {
    const platform::Services saved = platform::services();
    platform::installQtServices(nullptr);
    platform::clipboard().setText("a\r\nb\x80\r");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("a\nb\u20AC\r"));
    QGuiApplication::clipboard()->setText("x\ny\r\nz\n");
    EXPECT_EQ(platform::clipboard().text(), "x\r\ny\r\nz\r\n");
    platform::clipboard().setText("'caf\xE9 = 1\r\n'\xA7x\r\n");  // every byte comes back
    EXPECT_EQ(platform::clipboard().text(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    platform::clipboard().clear();
    EXPECT_EQ(platform::clipboard().text(), "");
    platform::installServices(saved);
}

}  // namespace
