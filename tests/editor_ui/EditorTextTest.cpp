// The editor text between the logic (bytes, CR LF) and the Qt widget.
#include "UiTestSupport.h"
#include "editor/ui/EditorText.h"

using namespace editor::ui;

namespace {

TEST(EditorText, LineEndsBecomeOneWidgetCharacterAndComeBackAsCrLf) {
    const std::vector<std::pair<std::string, std::u16string>> toWidget = {
        {"", u""}, {"a\r\nb", u"a\nb"}, {"a\nb\r\n", u"a\nb\n"},
        // A CR alone is kept as a visible symbol, not as a line break.
        {"a\rb", u"a\u240Db"}, {"\r\r\n", u"\u240D\n"}};
    for (const auto& [logic, widget] : toWidget)
        EXPECT_EQ(toWidgetText(logic), QString::fromStdU16String(widget)) << logic;

    const std::vector<std::pair<std::u16string, std::string>> fromWidget = {
        {u"", ""}, {u"a\u2029b", "a\r\nb"}, {u"a\nb\u2028c", "a\r\nb\r\nc"}, {u"\u240D", "\r"},
        {u"\u00e9\u00a0\u20ac\u2192", "\xe9\xa0\x80?"}};
    for (const auto& [raw, logic] : fromWidget) EXPECT_EQ(fromWidgetText(QString::fromStdU16String(raw)), logic);
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

class EditorWindowText : public uitest::EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        start();
    }
};

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
    struct Case {
        std::int64_t start, length;  // asked for
        std::int64_t selStart, selLength;
        std::string selText;
    };
    // A line end is never cut in half: a selection that would end between
    // its CR and its LF takes the whole line end, one that would start there
    // starts before it. Beyond the end the selection stops at the end.
    const Case cases[] = {{5, 3, 5, 3, "two"},          {1, 9, 1, 9, "ne\r\ntwo\r\n"}, {1, 8, 1, 9, "ne\r\ntwo\r\n"},
                          {9, 2, 8, 3, "\r\nt"},        {10, 100, 10, 5, "three"},     {100, 0, 15, 0, ""}};
    window->setEditorText("one\r\ntwo\r\nthree");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ", " << c.length);
        window->setSelection(c.start, c.length);
        expectSelection(c.selStart, c.selLength);
        EXPECT_EQ(window->selText(), c.selText);
    }
    window->setSelection(5, 3);
    EXPECT_EQ(control<QPlainTextEdit>("txtEdit")->textCursor().selectedText(), QString("two"));
}

TEST_F(EditorWindowText, PasteReplacesTheSelectionWithCrLfText) {
    window->setEditorText("one two");
    window->setSelection(4, 3);
    desktop.clipboard.setText("2\r\n\xe9");
    window->mnuPaste_Click();
    EXPECT_EQ(window->editorText(), "one 2\r\n\xe9");
    expectSelection(8, 0);
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

}  // namespace
