// The block commands through the editor window's menu items: what replaces
// the selection, the clipboard afterwards, the messages for an empty text,
// where the focus goes, and a print into a PDF file.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPrinterInfo>

#include "../editor_ui/UiTestSupport.h"

namespace {

// The window holds text with `length` characters selected from `start`, the
// focus in the procedure list; then the menu item runs.
class BlockWindow : public uitest::StartedEditor {
protected:
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
    bool editorHasFocus() { return QApplication::focusWidget() == control<textbox::SourceTextView>("txtEdit"); }
    void expectOneBox(const std::string& text, const std::string& title, platform::Icon icon) {
        ASSERT_EQ(desktop.boxes.shown.size(), 1u);
        uitest::expectBox(desktop.boxes.last(), {text, title, icon});
    }
};

}  // namespace

// Each command through its menu item (cases/window.txt): the text and the
// clipboard afterwards, and where the focus goes; a refused command says so
// and changes nothing.
TEST_F(BlockWindow, MenuItemsReplaceTheBlockOrRefuseAndMoveTheFocus) {
    for (const auto& r : cases::rows("editor_blocks/cases/window.txt")) {
        SCOPED_TRACE(r[0] + " " + r[1]);
        desktop.boxes.clear();
        desktop.clipboard.setText("old");
        if (r[0] == "refused") {
            run(r[1].c_str(), r[2], static_cast<std::int64_t>(r[2].size() / 2));
            expectOneBox(r[3], "Error", platform::Icon::Exclamation);
            EXPECT_EQ(window->editorText() + "|" + desktop.clipboard.text(), r[2] + "|old");
            EXPECT_EQ(editorHasFocus(), r[4] == "1");
            EXPECT_EQ(listHasFocus(), r[4] == "0");
        } else {
            run(r[0].c_str(), r[1], std::stoll(r[2]), std::stoll(r[3]));
            EXPECT_EQ(window->editorText() + "|" + desktop.clipboard.text(), r[4] + "|" + r[5]);
            EXPECT_TRUE(editorHasFocus() && desktop.boxes.shown.empty());
        }
        EXPECT_EQ(window->document().changed(), window->editorText() != (r[0] == "refused" ? r[2] : r[1]));
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
