// The block commands through the editor window's menu items: what replaces
// the selection, the clipboard afterwards, the messages for an empty text,
// where the focus goes, and a print into a PDF file.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "../editor_ui/UiTestSupport.h"
#include "platform/Recording.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"


namespace {

// The window holds text with `length` characters selected from `start`, the
// focus in the procedure list; then the menu item runs.
class BlockWindow : public uitest::EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        start();
    }
    void run(const char* name, const std::string& text, std::int64_t start = 0, std::int64_t length = 0) {
        window->setEditorText(text);
        window->document().setChanged(false);
        window->setSelection(start, length);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        control<QComboBox>("cbProc")->setFocus();
        uitest::settle();
        ASSERT_TRUE(listHasFocus());
        item(name)->trigger();
        uitest::settle();
    }
    bool listHasFocus() {
        auto* list = control<QComboBox>("cbProc");
        return QApplication::focusWidget() == list || QApplication::focusWidget() == list->lineEdit();
    }
    bool editorHasFocus() { return QApplication::focusWidget() == control<QPlainTextEdit>("txtEdit"); }
    void expectOneBox(const std::string& text, const std::string& title, platform::Icon icon) {
        ASSERT_EQ(desktop.boxes.shown.size(), 1u);
        uitest::expectBox(desktop.boxes.last(), {text, title, icon});
    }
};

}  // namespace

// Each command through its menu item, with the focus in the procedure list:
// the text afterwards, the clipboard, and the focus back in the editor.
TEST_F(BlockWindow, MenuItemsReplaceTheBlockAndFocusTheEditor) {
    const struct {
        const char* item;
        std::string text;
        std::int64_t start, length;
        std::string after, clipboard;
    } cases[] = {
        {"mnuComment", "Sub A()\r\nx = 1\r\n  y = 2\r\nEnd Sub\r\n", 9, 16, "Sub A()\r\n'x = 1\r\n  'y = 2\r\nEnd Sub\r\n",
         "'x = 1\r\n  'y = 2\r\n"},
        {"mnuUncomment", "x\r\n  ' y = 1  \r\n'z\r\n", 3, 17, "x\r\n   y = 1\r\nz\r\n", "   y = 1\r\nz\r\n"},
        {"mnuConvert", "* tally\r\nnTotal := nTotal + 1\r\n", 0, 31, "' tally\r\nnTotal = nTotal + 1\r\n",
         "' tally\r\nnTotal = nTotal + 1\r\n"},
        {"mnuConvert", "x := 5\r\n", 3, 0, "x := 5\r\n", ""},  // nothing selected: nothing pasted
        {"mnuIndent", "Sub A()\r\nIf a Then\r\nb = 1\r\nEnd If\r\nEnd Sub\r\n", 0, 0,
         "Sub A()\r\n   If a Then\r\n      b = 1\r\n   End If\r\nEnd Sub\r\n",
         "Sub A()\r\n   If a Then\r\n      b = 1\r\n   End If\r\nEnd Sub\r\n"},
        {"mnuConcatenate", "abc def", 4, 3, "abc def", "olddef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.item) + ": " + c.text);
        desktop.clipboard.setText("old");
        run(c.item, c.text, c.start, c.length);
        EXPECT_EQ(window->editorText(), c.after);
        EXPECT_EQ(desktop.clipboard.text(), c.clipboard);
        EXPECT_EQ(window->document().changed(), c.after != c.text);
        EXPECT_TRUE(editorHasFocus());
        EXPECT_TRUE(desktop.boxes.shown.empty());
    }
}

// A refused command says so, changes nothing, and leaves the focus where the
// command puts it.
TEST_F(BlockWindow, BlankTextIsRefusedWithItsMessage) {
    const std::tuple<const char*, std::string, std::string, bool> cases[] = {
        {"mnuComment", "     ", "You have no text selected!", true},
        {"mnuUncomment", "", "You have no text selected!", false},
        {"mnuIndent", "    ", "You have no text to indent!", false},
        {"mnuConcatenate", "   ", "You have no text to concatenate!", true},
        {"mnuPrint", " ", "You have no text selected!", false}};
    for (const auto& [item, text, message, editorFocused] : cases) {
        SCOPED_TRACE(item);
        desktop.boxes.clear();
        desktop.clipboard.setText("kept");
        run(item, text, static_cast<std::int64_t>(text.size() / 2));
        expectOneBox(message, "Error", platform::Icon::Exclamation);
        EXPECT_EQ(window->editorText() + "|" + desktop.clipboard.text(), text + "|kept");
        EXPECT_FALSE(window->document().changed());
        EXPECT_EQ(editorHasFocus(), editorFocused);
        EXPECT_EQ(listHasFocus(), !editorFocused);
    }
}

TEST_F(BlockWindow, PrintWithoutPrinterWritesPdfAndSaysWhere) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    // Without a printer the report goes into the documents folder of $HOME.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    run("mnuPrint", "first line\r\nsecond line\r\nthird line\r\n", 12, 13);
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);

    const QStringList pdfs = QDir(home.path() + "/Documents").entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 1);
    const std::string pdf = (home.path() + "/Documents/" + pdfs[0]).toStdString();
    expectOneBox("The report was saved as a PDF file:\n" + pdf, "Varnel", platform::Icon::Information);
    EXPECT_TRUE(listHasFocus());
    EXPECT_EQ(std::pair(window->selStart(), window->selLength()), std::pair(std::int64_t{12}, std::int64_t{13}));
    EXPECT_FALSE(window->document().changed());
}

TEST_F(BlockWindow, SystemClipboardCarriesEveryByteBack) {
    // The Qt services instead of the recording ones: the block goes through
    // the system clipboard and comes back byte for byte.
    platform::ScopedServices restoreAfterwards({});
    platform::installQtServices(window.get());
    platform::ScopedServices recordBoxes({.boxes = &desktop.boxes});
    QApplication::clipboard()->clear();
    run("mnuComment", "caf\xE9 = 1\r\n\xA7x\r\n", 0, 14);
    EXPECT_EQ(window->editorText(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    EXPECT_EQ(platform::clipboard().text(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromLatin1("'caf\xE9 = 1\r\n'\xA7x\r\n"));
    EXPECT_TRUE(desktop.boxes.shown.empty());
}
