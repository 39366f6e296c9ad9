#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "textbox/SourceTextView.h"

using namespace textbox;

// The editing keys of the text box over CR LF line ends, undo, the mouse,
// and a read-only box that still selects.
TEST(SourceTextView, EditsOverCrLfLineEndsAsOneCharacter) {
    SourceTextView view;
    view.setCrLfLineEnds(true);
    view.resize(400, 200);
    view.show();
    view.setFocus();
    view.setBytes("ab\ncd");
    EXPECT_EQ(view.buffer().bytes(), "ab\r\ncd");
    auto keys = [&](std::initializer_list<std::pair<int, Qt::KeyboardModifiers>> ks) {
        for (auto [k, m] : ks) QTest::keyClick(&view, static_cast<Qt::Key>(k), m);
    };
    keys({{Qt::Key_End, {}}, {Qt::Key_Right, {}}});
    EXPECT_EQ(view.caret(), 4);  // over the line end, never between CR and LF
    keys({{Qt::Key_Backspace, {}}});
    EXPECT_EQ(view.buffer().bytes(), "abcd");
    keys({{Qt::Key_Return, {}}, {Qt::Key_End, Qt::ShiftModifier}});
    EXPECT_EQ(std::tuple(view.buffer().bytes(), view.selectionStart(), view.selectionEnd()),
              std::tuple("ab\r\ncd", 4, 6));
    QTest::keyClicks(&view, "x\ty");  // typed over the selection; Tab is a character here
    EXPECT_EQ(view.buffer().bytes(), "ab\r\nx\ty");
    keys({{Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier}, {Qt::Key_Delete, {}}});
    EXPECT_EQ(view.buffer().bytes(), "ab\r\nx\t");
    keys({{Qt::Key_Z, Qt::ControlModifier}});
    EXPECT_EQ(view.buffer().bytes(), "ab\r\nx\ty");
    keys({{Qt::Key_Z, Qt::ControlModifier}});  // the typing was one step
    EXPECT_EQ(view.buffer().bytes(), "ab\r\ncd");

    // A click goes between the characters it falls between; a double click
    // selects the word.
    view.setBytes("first line\r\nsecond");
    const int width = view.fontMetrics().horizontalAdvance("sec");
    const QPoint second(4 + width, view.fontMetrics().lineSpacing() * 3 / 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(view.caret(), 15);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(view.selectedText(), "second");

    // The context menu: its items, and which of them a read-only box offers.
    auto contextMenu = [&] {
        QStringList items;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* a : menu->actions())
                items << (a->isSeparator() ? "-" : a->text() + (a->isEnabled() ? "" : " (off)"));
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view.viewport(), &event);
        return items.join(", ");
    };
    EXPECT_EQ(contextMenu(), "&Undo, &Redo, -, Cu&t, &Copy, &Paste, -, Select All");
    view.setReadOnly(true);
    EXPECT_EQ(contextMenu(), "&Undo (off), &Redo (off), -, Cu&t (off), &Copy, &Paste (off), -, Select All");
    QTest::keyClicks(&view, "z");
    keys({{Qt::Key_Backspace, {}}, {Qt::Key_Return, {}}});
    EXPECT_EQ(std::tuple(view.buffer().bytes(), view.selectedText()), std::tuple("first line\r\nsecond", "second"));
}

namespace {

QRect caretOnView(const SourceTextView& view) {
    return static_cast<const QWidget&>(view)
        .inputMethodQuery(Qt::ImCursorRectangle)
        .toRect()
        .translated(-view.viewport()->pos());
}

void keys(SourceTextView& view, std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> ks) {
    for (auto [k, m] : ks) QTest::keyClick(&view, k, m);
}

}  // namespace

// However wide the line, and at font sizes whose advances are fractions of a
// pixel, End, typing, a found match and the vertical moves leave the caret on
// show; a click where the caret is shown puts it back there.
TEST(SourceTextView, KeepsTheCaretOnShowAtTheEndOfLongLines) {
    int fractional = 0;
    for (const qreal size : {7.5, 9.0, 10.5, 13.3}) {
        SourceTextView view;
        view.setCrLfLineEnds(true);
        view.resize(320, 120);
        QFont font("DejaVu Sans Mono");
        font.setPointSizeF(size);
        view.setFont(font);
        view.show();
        view.setFocus();
        const qreal advance = QFontMetricsF(font).horizontalAdvance(QChar(u'x'));
        fractional += advance != std::round(advance);
        view.setBytes(std::string(5042, 'x') + "\r\n" + std::string(400, 'y') + "\t\t\xE9\r\n\tz");
        const auto shown = [&](const char* after) {
            EXPECT_TRUE(view.viewport()->rect().contains(caretOnView(view)))
                << after << " at " << size << " pt: caret " << caretOnView(view).x() << " in "
                << view.viewport()->width();
        };
        keys(view, {{Qt::Key_End, {}}});
        shown("End");
        EXPECT_EQ(view.caret(), 5042);
        QTest::keyClicks(&view, "ab");
        shown("typing");
        keys(view, {{Qt::Key_Down, {}}});
        shown("Down");
        keys(view, {{Qt::Key_End, {}}});
        shown("End of a line with tabs");
        const QRect atEnd = caretOnView(view);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, atEnd.topLeft() + QPoint(0, 2));
        EXPECT_EQ(view.caret(), 5044 + 2 + 403);
        keys(view, {{Qt::Key_Home, Qt::ControlModifier}});
        shown("Ctrl+Home");
        view.setSelection(5040, 5044);  // as Find selects a match
        view.ensureCaretVisible();
        shown("a found match");
        keys(view, {{Qt::Key_End, Qt::ControlModifier}});
        shown("Ctrl+End");
    }
    EXPECT_GT(fractional, 0) << "no size gave a fractional advance";
}

// A line of a megabyte is laid out only where it is shown: a click far into
// it lands on the character under the mouse, typed text goes in there, and
// what is drawn is that part of the line.
TEST(SourceTextView, EditsALineOfAMegabyteWhereItIsShown) {
    SourceTextView view;
    view.resize(320, 120);
    view.show();
    view.setFocus();
    std::string line;
    for (int i = 0; line.size() < 1000000; ++i) line += i % 1000 == 0 ? "\t" : "0123456789";
    view.setBytes(line);
    view.setSelection(700003, 700003);
    view.ensureCaretVisible();
    const QRect caret = caretOnView(view);
    ASSERT_TRUE(view.viewport()->rect().contains(caret));
    view.setSelection(0, 0);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, caret.topLeft() + QPoint(1, 2));
    EXPECT_EQ(view.caret(), 700003);
    QTest::keyClicks(&view, "ab");
    EXPECT_EQ(view.buffer().bytes().substr(700000, 8), line.substr(700000, 3) + "ab" + line.substr(700003, 3));
    EXPECT_EQ(caretOnView(view).left(), caret.left() + 2 * QFontMetrics(view.font()).horizontalAdvance('a'));
}
