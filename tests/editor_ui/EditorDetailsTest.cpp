// Replace All as one edit that one Undo takes back, the window on a screen
// smaller than its usual size, and the search without regard to case.
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "UiTestSupport.h"

namespace {

using EditorDetails = uitest::EditorFixture;

TEST_F(EditorDetails, FitsASmallScreenAndOneUndoTakesBackAReplaceAll) {
    start();  // on the offscreen screen of 800 x 600
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
    window->setEditorText("ab\r\nxab\r\nab");
    uitest::onNextDialog([](QDialog* d) {
        uitest::child<QLineEdit>(d, "txtFindWhat")->setText("ab");
        uitest::child<QLineEdit>(d, "txtReplaceWith")->setText("Q");
        uitest::child<QPushButton>(d, "pbReplace")->click();
    });
    item("mnuReplace")->trigger();
    EXPECT_EQ(window->editorText(), "Q\r\nxQ\r\nQ");
    QTest::keyClick(control<QPlainTextEdit>("txtEdit"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->editorText(), "ab\r\nxab\r\nab");
}

TEST(FindInTextNoCase, SkipsAheadWithoutMissingAMatch) {
    // {text, find, start} -> 1-based position of the first match down from start, or 0
    for (auto [text, find, start, found] : {std::tuple{"xAbCabc", "abc", 0, 2}, {"xAbCabc", "ABC", 2, 5},
                                            {"aaAb", "aab", 0, 2}, {"abcab", "AB", 4, 0}, {"ab", "abc", 0, 0}})
        EXPECT_EQ(editor::findInText(text, find, 1, start, false), found) << text << " / " << find;
}

}  // namespace
