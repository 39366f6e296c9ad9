// The block commands through the editor window's menu items: what replaces
// the selection, the clipboard afterwards, the messages for an empty text,
// where the focus goes, and a print into a PDF file.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <regex>
#include <gtest/gtest.h>

#include "../editor_ui/UiTestSupport.h"
#include "platform/Recording.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"

using editor::ui::frmEdit32;
using uitest::child;
using uitest::item;

namespace {

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
        item(window.get(), name)->trigger();
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
    QWidget* editArea() { return child<QPlainTextEdit>(window.get(), "txtEdit"); }
    bool editorHasFocus() { return QApplication::focusWidget() == editArea(); }

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

// --- Comment and Uncomment -----------------------------------------------------

TEST_F(BlockWindow, CommentReplacesSelectedLinesAndFocusesEditor) {
    holds("Sub A()\r\nx = 1\r\n  y = 2\r\nEnd Sub\r\n", 9, 16);
    focusList();
    choose("mnuComment");
    EXPECT_EQ(window->editorText(), "Sub A()\r\n'x = 1\r\n  'y = 2\r\nEnd Sub\r\n");
    EXPECT_EQ(desktop.clipboard.text(), "'x = 1\r\n  'y = 2\r\n");
    EXPECT_TRUE(window->document().changed());
    EXPECT_TRUE(editorHasFocus());
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(BlockWindow, CommentWithNothingSelectedTakesWholeText) {
    holds("a\r\nb", 1);
    choose("mnuComment");
    EXPECT_EQ(window->editorText(), "'a\r\n'b\r\n");
    EXPECT_EQ(desktop.clipboard.text(), "'a\r\n'b\r\n");
}

TEST_F(BlockWindow, CommentOfBlankTextSaysSoAndStillFocusesEditor) {
    holds("     ", 1);
    desktop.clipboard.setText("kept");
    focusList();
    choose("mnuComment");
    expectOneBox("You have no text selected!", "Error", platform::Icon::Exclamation);
    EXPECT_EQ(window->editorText(), "     ");
    EXPECT_EQ(desktop.clipboard.text(), "kept");
    EXPECT_FALSE(window->document().changed());
    EXPECT_TRUE(editorHasFocus());
}

TEST_F(BlockWindow, UncommentReplacesSelectedLines) {
    holds("x\r\n  ' y = 1  \r\n'z\r\n", 3, 17);
    choose("mnuUncomment");
    EXPECT_EQ(window->editorText(), "x\r\n   y = 1\r\nz\r\n");
    EXPECT_EQ(desktop.clipboard.text(), "   y = 1\r\nz\r\n");
    EXPECT_TRUE(window->document().changed());
}

TEST_F(BlockWindow, UncommentTakesBlankTextButRefusesEmptyText) {
    holds("   ", 3);
    choose("mnuUncomment");
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_EQ(window->editorText(), "\r\n");

    holds("");
    desktop.clipboard.setText("kept");
    focusList();
    choose("mnuUncomment");
    expectOneBox("You have no text selected!", "Error", platform::Icon::Exclamation);
    EXPECT_EQ(desktop.clipboard.text(), "kept");
    EXPECT_TRUE(listHasFocus());
}

// --- Convert -------------------------------------------------------------------

TEST_F(BlockWindow, ConvertReplacesSelectionAndFocusesEditor) {
    holds("* tally\r\nnTotal := nTotal + 1\r\n", 0, 31);
    focusList();
    choose("mnuConvert");
    EXPECT_EQ(window->editorText(), "' tally\r\nnTotal = nTotal + 1\r\n");
    EXPECT_EQ(desktop.clipboard.text(), "' tally\r\nnTotal = nTotal + 1\r\n");
    EXPECT_TRUE(window->document().changed());
    EXPECT_TRUE(editorHasFocus());
}

TEST_F(BlockWindow, ConvertWithNothingSelectedPastesNothing) {
    holds("x := 5\r\n", 3);
    desktop.clipboard.setText("old");
    choose("mnuConvert");
    EXPECT_TRUE(desktop.boxes.shown.empty());
    EXPECT_EQ(window->editorText(), "x := 5\r\n");
    EXPECT_EQ(window->selStart(), 3);
    EXPECT_EQ(desktop.clipboard.text(), "");
}

// --- Indent --------------------------------------------------------------------

TEST_F(BlockWindow, IndentReplacesSelection) {
    holds("Sub A()\r\nIf a Then\r\nb = 1\r\nEnd If\r\nEnd Sub\r\n");
    choose("mnuIndent");
    EXPECT_EQ(window->editorText(), "Sub A()\r\n   If a Then\r\n      b = 1\r\n   End If\r\nEnd Sub\r\n");
    EXPECT_EQ(desktop.clipboard.text(), window->editorText());
    EXPECT_TRUE(window->document().changed());
}

TEST_F(BlockWindow, IndentOfBlankTextSaysSoAndLeavesFocus) {
    holds("    ");
    focusList();
    choose("mnuIndent");
    expectOneBox("You have no text to indent!", "Error", platform::Icon::Exclamation);
    EXPECT_EQ(window->editorText(), "    ");
    EXPECT_TRUE(listHasFocus());
}

// --- Concatenate ---------------------------------------------------------------

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

TEST_F(BlockWindow, ConcatenateOfBlankTextSaysSoAndStillFocusesEditor) {
    holds("   ");
    desktop.clipboard.setText("kept");
    focusList();
    choose("mnuConcatenate");
    expectOneBox("You have no text to concatenate!", "Error", platform::Icon::Exclamation);
    EXPECT_EQ(desktop.clipboard.text(), "kept");
    EXPECT_TRUE(editorHasFocus());
}

// --- Print Selected Text -------------------------------------------------------

TEST_F(BlockWindow, PrintOfBlankTextSaysSoAndLeavesFocus) {
    holds(" ");
    focusList();
    choose("mnuPrint");
    expectOneBox("You have no text selected!", "Error", platform::Icon::Exclamation);
    EXPECT_TRUE(listHasFocus());
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

// --- The real clipboard ----------------------------------------------------------

TEST_F(BlockWindow, SystemClipboardCarriesEveryByteBack) {
    // The Qt services instead of the recording ones: the block goes through
    // the system clipboard and comes back byte for byte.
    platform::ScopedServices restoreAfterwards({});
    platform::installQtServices(window.get());
    platform::ScopedServices recordBoxes({.boxes = &desktop.boxes});
    QApplication::clipboard()->clear();
    holds("caf\xE9 = 1\r\n\xA7x\r\n", 0, 14);
    choose("mnuComment");
    EXPECT_EQ(window->editorText(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    EXPECT_EQ(platform::clipboard().text(), "'caf\xE9 = 1\r\n'\xA7x\r\n");
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromLatin1("'caf\xE9 = 1\r\n'\xA7x\r\n"));
    EXPECT_TRUE(desktop.boxes.shown.empty());
}
