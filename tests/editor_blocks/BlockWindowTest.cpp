// The block commands through the editor window's menu items: what replaces
// the selection, the clipboard afterwards, the messages for an empty text,
// where the focus goes, and a print into a PDF file.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <regex>
#include <gtest/gtest.h>

#include "../editor_ui/UiTestSupport.h"
#include "platform/Recording.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"

using editor::ui::frmEdit32;
using uitest::child;

namespace {

// The menu item (not a submenu) of that name.
QAction* menuItem(QObject* root, const char* name) {
    for (QAction* a : root->findChildren<QAction*>(name))
        if (!a->menu()) return a;
    ADD_FAILURE() << "no menu item named " << name;
    return nullptr;
}

class BlockWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        window = std::make_unique<frmEdit32>();
        window->show();
        window->activateWindow();
        uitest::settle();
    }

    // The window holds text with `length` characters selected from `start`.
    void holds(const std::string& text, std::int64_t start = 0, std::int64_t length = 0) {
        window->setEditorText(text);
        window->document().setChanged(false);
        window->setSelection(start, length);
    }

    void choose(const char* name) {
        menuItem(window.get(), name)->trigger();
        uitest::settle();
    }

    // Puts the focus in the procedure list, away from the editing area.
    void focusList() {
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        child<QComboBox>(window.get(), "cbProc")->setFocus();
        uitest::settle();
        ASSERT_TRUE(listHasFocus());
    }
    bool listHasFocus() {
        auto* list = child<QComboBox>(window.get(), "cbProc");
        QWidget* focused = QApplication::focusWidget();
        return focused && (focused == list || focused == list->lineEdit());
    }
    bool editorHasFocus() { return QApplication::focusWidget() == child<QPlainTextEdit>(window.get(), "txtEdit"); }

    void expectOneBox(const std::string& text, const std::string& title, platform::Icon icon) {
        ASSERT_EQ(desktop.boxes.shown.size(), 1u);
        EXPECT_EQ(desktop.boxes.last().text, text);
        EXPECT_EQ(desktop.boxes.last().title, title);
        EXPECT_EQ(desktop.boxes.last().icon, icon);
        EXPECT_EQ(desktop.boxes.last().buttons, platform::Buttons::Ok);
    }

    platform::RecordingDesktop desktop;
    std::unique_ptr<frmEdit32> window;
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
        {"mnuComment", "a\r\nb", 1, 0, "'a\r\n'b\r\n", "'a\r\n'b\r\n"},
        {"mnuUncomment", "x\r\n  ' y = 1  \r\n'z\r\n", 3, 17, "x\r\n   y = 1\r\nz\r\n", "   y = 1\r\nz\r\n"},
        {"mnuConvert", "* tally\r\nnTotal := nTotal + 1\r\n", 0, 31, "' tally\r\nnTotal = nTotal + 1\r\n",
         "' tally\r\nnTotal = nTotal + 1\r\n"},
        {"mnuConvert", "x := 5\r\n", 3, 0, "x := 5\r\n", ""},  // nothing selected: nothing pasted
        {"mnuIndent", "Sub A()\r\nIf a Then\r\nb = 1\r\nEnd If\r\nEnd Sub\r\n", 0, 0,
         "Sub A()\r\n   If a Then\r\n      b = 1\r\n   End If\r\nEnd Sub\r\n",
         "Sub A()\r\n   If a Then\r\n      b = 1\r\n   End If\r\nEnd Sub\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.item) + ": " + c.text);
        desktop.clipboard.setText("old");
        holds(c.text, c.start, c.length);
        focusList();
        choose(c.item);
        EXPECT_EQ(window->editorText(), c.after);
        EXPECT_EQ(desktop.clipboard.text(), c.clipboard);
        EXPECT_EQ(window->document().changed(), c.after != c.text);
        if (c.after == c.text) {
            EXPECT_EQ(window->selStart(), c.start);
        }
        EXPECT_TRUE(editorHasFocus());
        EXPECT_TRUE(desktop.boxes.shown.empty());
    }
}

// A refused command says so, changes nothing, and leaves the focus where the
// command puts it.
TEST_F(BlockWindow, BlankTextIsRefusedWithItsMessage) {
    const struct {
        const char* item;
        std::string text, message;
        bool editorFocused;
    } cases[] = {{"mnuComment", "     ", "You have no text selected!", true},
                 {"mnuUncomment", "", "You have no text selected!", false},
                 {"mnuIndent", "    ", "You have no text to indent!", false},
                 {"mnuConcatenate", "   ", "You have no text to concatenate!", true},
                 {"mnuPrint", " ", "You have no text selected!", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        desktop.boxes.clear();
        desktop.clipboard.setText("kept");
        holds(c.text, static_cast<std::int64_t>(c.text.size() / 2));
        focusList();
        choose(c.item);
        expectOneBox(c.message, "Error", platform::Icon::Exclamation);
        EXPECT_EQ(window->editorText(), c.text);
        EXPECT_EQ(desktop.clipboard.text(), "kept");
        EXPECT_FALSE(window->document().changed());
        EXPECT_EQ(editorHasFocus(), c.editorFocused);
        EXPECT_EQ(listHasFocus(), !c.editorFocused);
    }
}

TEST_F(BlockWindow, ConcatenateTwiceCollectsBothPieces) {
    holds("abc def", 0, 3);
    focusList();
    choose("mnuConcatenate");
    EXPECT_TRUE(editorHasFocus());
    window->setSelection(4, 3);
    choose("mnuConcatenate");
    EXPECT_EQ(desktop.clipboard.text(), "abcdef");
    EXPECT_EQ(window->editorText(), "abc def");
    EXPECT_FALSE(window->document().changed());
}

TEST_F(BlockWindow, PrintWithoutPrinterWritesPdfAndSaysWhere) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    // Without a printer the report goes into the documents folder of $HOME.
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());

    holds("first line\r\nsecond line\r\nthird line\r\n", 12, 13);
    focusList();
    choose("mnuPrint");
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);

    const QStringList pdfs = QDir(home.path() + "/Documents").entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 1);
    const std::string pdf = (home.path() + "/Documents/" + pdfs[0]).toStdString();
    expectOneBox("The report was saved as a PDF file:\n" + pdf, "Varnel", platform::Icon::Information);
    EXPECT_TRUE(listHasFocus());
    EXPECT_EQ(window->selStart(), 12);
    EXPECT_EQ(window->selLength(), 13);
    EXPECT_FALSE(window->document().changed());

    QProcess reader;
    reader.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    if (!reader.waitForFinished(20000) || reader.exitCode() != 0) GTEST_SKIP() << "pdftotext is missing";
    const std::string text = reader.readAllStandardOutput().toStdString();
    EXPECT_NE(text.find("Selected (All) Text"), std::string::npos);
    EXPECT_NE(text.find("second line"), std::string::npos);
    EXPECT_EQ(text.find("first line"), std::string::npos);
    EXPECT_EQ(text.find("third line"), std::string::npos);
    // pdftotext gives the blanks of "Page   1" back as it measures them.
    EXPECT_TRUE(std::regex_search(text, std::regex("Kestrin Editor +Page +1\n")));
}

TEST_F(BlockWindow, SystemClipboardCarriesEveryByteBack) {
    // The Qt services instead of the recording ones: the block goes through
    // the system clipboard (with LF line ends there) and comes back byte for byte.
    platform::ScopedServices restoreAfterwards({});
    platform::installQtServices(window.get());
    platform::ScopedServices recordBoxes({.boxes = &desktop.boxes});
    QApplication::clipboard()->clear();
    holds("caf\xE9 = 1\r\n\xA7x\r\n", 0, 14);
    choose("mnuComment");
    EXPECT_EQ(window->editorText(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    EXPECT_EQ(platform::clipboard().text(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromLatin1("'caf\xE9 = 1\n'\xA7x\n"));
    EXPECT_TRUE(desktop.boxes.shown.empty());
}
