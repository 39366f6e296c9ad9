// The editor text between the logic (bytes, CR LF) and the Qt widget.
#include <QPlainTextEdit>

#include "UiTestSupport.h"
#include "editor/ui/EditorText.h"
#include "platform/Recording.h"

using namespace editor::ui;

namespace {

TEST(EditorText, LineEndsBecomeOneWidgetCharacter) {
    EXPECT_EQ(toWidgetText(""), QString());
    EXPECT_EQ(toWidgetText("a\r\nb"), QString("a\nb"));
    EXPECT_EQ(toWidgetText("a\nb\r\n"), QString("a\nb\n"));
    // A CR alone is kept as a visible symbol, not as a line break.
    EXPECT_EQ(toWidgetText("a\rb"), QString::fromUtf16(u"a\u240Db"));
    EXPECT_EQ(toWidgetText("\r\r\n"), QString::fromUtf16(u"\u240D\n"));
}

TEST(EditorText, RawWidgetTextBecomesCrLfBytes) {
    EXPECT_EQ(fromWidgetText(QString()), "");
    EXPECT_EQ(fromWidgetText(QString::fromUtf16(u"a\u2029b")), "a\r\nb");
    EXPECT_EQ(fromWidgetText(QString::fromUtf16(u"a\nb\u2028c")), "a\r\nb\r\nc");
    EXPECT_EQ(fromWidgetText(QString::fromUtf16(u"\u240D")), "\r");
    EXPECT_EQ(fromWidgetText(QString::fromUtf16(u"\u00e9\u00a0\u20ac")), "\xe9\xa0?");
}

TEST(EditorText, PositionsCountALineEndTwiceInTheLogicText) {
    const QString raw = QString::fromUtf16(u"ab\u2029cd\u2029");
    EXPECT_EQ(logicPosition(raw, 0), 0);
    EXPECT_EQ(logicPosition(raw, 2), 2);
    EXPECT_EQ(logicPosition(raw, 3), 4);
    EXPECT_EQ(logicPosition(raw, 6), 8);
    EXPECT_EQ(logicPosition(raw, 99), 8);

    EXPECT_EQ(widgetPosition(raw, 0), 0);
    EXPECT_EQ(widgetPosition(raw, 2), 2);
    EXPECT_EQ(widgetPosition(raw, 4), 3);
    EXPECT_EQ(widgetPosition(raw, 8), 6);
    EXPECT_EQ(widgetPosition(raw, 99), 6);
    // Between CR and LF: before the line end, or past it when rounding up.
    EXPECT_EQ(widgetPosition(raw, 3), 2);
    EXPECT_EQ(widgetPosition(raw, 3, true), 3);
    EXPECT_EQ(widgetPosition(QString(), 5), 0);
}

class EditorWindowText : public ::testing::Test {
protected:
    platform::RecordingDesktop desktop;
    editor::ui::frmEdit32 window;
};

TEST_F(EditorWindowText, EveryByteSurvivesTheWidget) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    const std::string text = all + "\r\nnext\r\n\rlone\r\n";
    window.setEditorText(text);
    EXPECT_EQ(window.editorText(), text);
    window.setSelection(0, static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(window.selText(), text);
}

TEST_F(EditorWindowText, ABareLineFeedComesBackAsCrLf) {
    window.setEditorText("a\nb");
    EXPECT_EQ(window.editorText(), "a\r\nb");
}

TEST_F(EditorWindowText, SelectionPositionsAreThoseOfTheCrLfText) {
    window.setEditorText("one\r\ntwo\r\nthree");
    window.setSelection(5, 3);
    EXPECT_EQ(window.selStart(), 5);
    EXPECT_EQ(window.selLength(), 3);
    EXPECT_EQ(window.selText(), "two");
    auto* edit = uitest::child<QPlainTextEdit>(&window, "txtEdit");
    EXPECT_EQ(edit->textCursor().selectedText(), QString("two"));

    window.setSelection(1, 9);
    EXPECT_EQ(window.selText(), "ne\r\ntwo\r\n");
    EXPECT_EQ(window.selLength(), 9);
    // A line end is never cut in half: a selection that would end between
    // its CR and its LF takes the whole line end, one that would start there
    // starts before it.
    window.setSelection(1, 8);
    EXPECT_EQ(window.selLength(), 9);
    window.setSelection(9, 2);
    EXPECT_EQ(window.selStart(), 8);
    EXPECT_EQ(window.selText(), "\r\nt");

    // Beyond the end the selection stops at the end.
    window.setSelection(10, 100);
    EXPECT_EQ(window.selStart(), 10);
    EXPECT_EQ(window.selLength(), 5);
    window.setSelection(100, 0);
    EXPECT_EQ(window.selStart(), 15);
}

TEST_F(EditorWindowText, PasteReplacesTheSelectionWithCrLfText) {
    window.setEditorText("one two");
    window.setSelection(4, 3);
    desktop.clipboard.setText("2\r\n\xe9");
    window.mnuPaste_Click();
    EXPECT_EQ(window.editorText(), "one 2\r\n\xe9");
    EXPECT_EQ(window.selStart(), 8);
    EXPECT_EQ(window.selLength(), 0);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

}  // namespace
