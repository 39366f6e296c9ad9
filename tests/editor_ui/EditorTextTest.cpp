// The editor text between the logic (bytes, CR LF) and the Qt widget.
#include "UiTestSupport.h"
#include "editor/ui/EditorText.h"

using namespace editor::ui;

namespace {

TEST(EditorText, LineEndsBecomeOneWidgetCharacterAndComeBackAsCrLf) {
    for (const auto& r : cases::rows("editor_ui/cases/widget_text.txt")) {
        if (r[0] == "to") EXPECT_EQ(toWidgetText(r[1]), QString::fromUtf8(r[2])) << r[1];
        else EXPECT_EQ(fromWidgetText(QString::fromUtf8(r[1])), r[2]) << r[1];
    }
    EXPECT_EQ(fromWidgetText(QString()), "");
}

TEST(EditorText, PositionsCountALineEndTwiceInTheLogicText) {
    const QString raw = QString::fromUtf16(u"ab\u2029cd\u2029");
    for (auto [widget, logic] : {std::pair{0, 0}, {2, 2}, {3, 4}, {6, 8}}) {
        EXPECT_EQ(logicPosition(raw, widget), logic) << widget;
        EXPECT_EQ(widgetPosition(raw, logic), widget) << logic;
    }
    EXPECT_EQ(logicPosition(raw, 99), 8);
    EXPECT_EQ(widgetPosition(raw, 99), 6);
    // Between CR and LF: before the line end, or past it when rounding up.
    EXPECT_EQ(widgetPosition(raw, 3), 2);
    EXPECT_EQ(widgetPosition(raw, 3, true), 3);
    EXPECT_EQ(widgetPosition(QString(), 5), 0);
}

using EditorWindowText = uitest::StartedEditor;

TEST_F(EditorWindowText, EveryByteSurvivesTheWidgetAndABareLineFeedComesBackAsCrLf) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    const std::string text = all + "\r\nnext\r\n\rlone\r\n";
    window->setEditorText(text);
    EXPECT_EQ(window->editorText(), text);
    window->setSelection(0, static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(window->selText(), text);

    window->setEditorText("a\nb");
    EXPECT_EQ(window->editorText(), "a\r\nb");
}

TEST_F(EditorWindowText, SelectionPositionsAreThoseOfTheCrLfText) {
    window->setEditorText("one\r\ntwo\r\nthree");
    for (const auto& r : cases::rows("editor_ui/cases/selection.txt")) {
        SCOPED_TRACE(r[0] + ", " + r[1]);
        window->setSelection(std::stoll(r[0]), std::stoll(r[1]));
        expectSelection(std::stoll(r[2]), std::stoll(r[3]));
        EXPECT_EQ(window->selText(), r[4]);
    }
    window->setSelection(5, 3);
    EXPECT_EQ(control<QPlainTextEdit>("txtEdit")->textCursor().selectedText(), QString("two"));
}

}  // namespace
