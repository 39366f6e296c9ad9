// Replace All as one edit that one Undo takes back, and the window on a
// screen smaller than its usual size.
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

}  // namespace
