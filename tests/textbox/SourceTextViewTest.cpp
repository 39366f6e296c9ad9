#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTextCharFormat>
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
    EXPECT_EQ(contextMenu(), "&Undo (off), &Redo (off), -, Cu&t, &Copy, &Paste, -, Select All");
    view.replaceSelection(u"2nd");
    view.undo();  // Undo and Redo as there is something to take back or do again
    EXPECT_EQ(contextMenu(), "&Undo (off), &Redo, -, Cu&t (off), &Copy (off), &Paste, -, Select All");
    view.setSelection(12, 18);
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
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> steps[] = {{Qt::Key_End, {}, 5042},
                                                                         {Qt::Key_A, {}, 5043},
                                                                         {Qt::Key_Down, {}, -1},
                                                                         {Qt::Key_End, {}, 5448},
                                                                         {Qt::Key_Home, Qt::ControlModifier, 0},
                                                                         {Qt::Key_unknown, {}, 5042},
                                                                         {Qt::Key_End, Qt::ControlModifier, -1}};
        for (const auto& [key, modifiers, at] : steps) {
            if (key != Qt::Key_unknown) {
                QTest::keyClick(&view, key, modifiers);
            } else {  // a found match, as Find selects it
                view.setSelection(5038, 5042);
                view.ensureCaretVisible();
            }
            if (at >= 0) {
                EXPECT_EQ(view.caret(), at);
            }
            EXPECT_TRUE(view.viewport()->rect().contains(caretOnView(view))) << key << " at " << size << " pt";
            if (at == 5448) {  // a click where the caret shows puts it there again
                QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, caretOnView(view).topLeft() + QPoint(0, 2));
                EXPECT_EQ(view.caret(), at);
            }
        }
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

// What a screen reader reads and does through the accessible interfaces: the
// name, the text by line, the caret and the selection, edits.
TEST(SourceTextView, ScreenReadersReadAndEditTheText) {
    SourceTextView view;
    view.setAccessibleName("Procedure text");
    view.setCrLfLineEnds(true);
    view.resize(300, 100);
    view.show();
    view.setFocus();
    view.setBytes("Sub A()\r\n  x = 1\r\nEnd Sub");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&view);
    ASSERT_TRUE(a && a->textInterface() && a->editableTextInterface());
    EXPECT_EQ(std::tuple(a->role(), a->text(QAccessible::Name)),
              std::tuple(QAccessible::EditableText, "Procedure text"));
    QAccessibleTextInterface* t = a->textInterface();
    EXPECT_EQ(t->characterCount(), 25);
    int start = 0, end = 0;
    EXPECT_EQ(t->textAtOffset(10, QAccessible::LineBoundary, &start, &end), "  x = 1\r\n");
    EXPECT_EQ(std::tuple(start, end), std::tuple(9, 18));
    EXPECT_EQ(t->textBeforeOffset(10, QAccessible::LineBoundary, &start, &end), "Sub A()\r\n");
    EXPECT_EQ(t->textAfterOffset(10, QAccessible::LineBoundary, &start, &end), "End Sub");
    EXPECT_EQ(std::tuple(start, end), std::tuple(18, 25));
    EXPECT_EQ(t->textAfterOffset(20, QAccessible::LineBoundary, &start, &end), "");
    EXPECT_EQ(t->textAtOffset(1, QAccessible::CharBoundary, &start, &end), "u");

    QTest::keyClick(&view, Qt::Key_End);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(t->cursorPosition(), 0);
    t->selection(0, &start, &end);
    EXPECT_EQ(std::tuple(t->selectionCount(), start, end), std::tuple(1, 0, 7));
    QTest::keyClicks(&view, "Rem");
    a->editableTextInterface()->insertText(5, "'");
    a->editableTextInterface()->deleteText(0, 1);
    EXPECT_EQ(view.buffer().bytes(), "em\r\n'  x = 1\r\nEnd Sub");
    const QRect third = t->characterRect(2);
    EXPECT_TRUE(QRect(view.viewport()->mapToGlobal(QPoint(0, 0)), view.viewport()->size()).contains(third));
    EXPECT_EQ(t->offsetAtPoint(third.center() - QPoint(third.width() / 4, 0)), 2);
    view.setReadOnly(true);
    EXPECT_EQ(a->editableTextInterface(), nullptr);
    EXPECT_TRUE(a->state().readOnly);
}

// An input method's composition shows at the caret but is not text until it
// is committed; the commit goes in as typing (or replaces what the method
// asks); the queries answer from the caret's line, at most a thousand
// characters either side of the caret.
TEST(SourceTextView, ShowsTheCompositionAtTheCaretAndAnswersTheInputMethod) {
    SourceTextView view;
    view.resize(300, 80);
    view.show();
    view.setFocus();
    view.setBytes("abc def\nnext");
    view.setSelection(2, 4);
    auto query = [&](Qt::InputMethodQuery q) { return static_cast<QWidget&>(view).inputMethodQuery(q); };
    EXPECT_EQ(std::tuple(query(Qt::ImSurroundingText).toString(), query(Qt::ImCursorPosition).toInt(),
                         query(Qt::ImAnchorPosition).toInt(), query(Qt::ImCurrentSelection).toString()),
              std::tuple("abc def", 4, 2, "c "));
    view.setSelection(4, 4);
    const QImage before = view.viewport()->grab().toImage();
    const int caretX = query(Qt::ImCursorRectangle).toRect().x();
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    QInputMethodEvent compose(
        "ka", {{QInputMethodEvent::TextFormat, 0, 2, underlined}, {QInputMethodEvent::Cursor, 1, 1, QVariant()}});
    QApplication::sendEvent(&view, &compose);
    EXPECT_EQ(view.buffer().bytes(), "abc def\nnext");
    EXPECT_EQ(query(Qt::ImCursorRectangle).toRect().x(), caretX + QFontMetrics(view.font()).horizontalAdvance('k'));
    EXPECT_NE(view.viewport()->grab().toImage(), before);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\u00E9"));
    QApplication::sendEvent(&view, &commit);
    EXPECT_EQ(view.buffer().bytes(),
              "abc \xE9"
              "def\nnext");
    QInputMethodEvent replace;
    replace.setCommitString("E", -1, 1);  // a dead key's correction: the character before goes
    QApplication::sendEvent(&view, &replace);
    EXPECT_EQ(std::tuple(view.buffer().bytes(), view.caret()), std::tuple("abc Edef\nnext", 5));
    EXPECT_EQ(view.viewport()->grab().toImage().size(), before.size());

    view.setBytes(std::string(5000, 'x'));
    view.setSelection(4000, 4000);
    EXPECT_EQ(std::tuple(query(Qt::ImSurroundingText).toString().size(), query(Qt::ImCursorPosition).toInt()),
              std::tuple(2000, 1000));
}

// The keys and gestures of the usual text boxes: Insert switches to typing
// over (never over a line end), a triple click selects the line, a selection
// made with the keys becomes the X11 selection, blanks-only lines show their
// selection, and dragging past the right edge scrolls sideways.
TEST(SourceTextView, OverwritesSelectsLinesAndScrollsSideways) {
    SourceTextView view;
    view.setCrLfLineEnds(true);
    view.resize(200, 100);
    view.show();
    view.setFocus();
    view.setBytes("abcd\r\n    \r\nxy");
    keys(view, {{Qt::Key_Right, {}}, {Qt::Key_Insert, {}}});
    QTest::keyClicks(&view, "XYZW");
    EXPECT_EQ(view.buffer().bytes(), "aXYZW\r\n    \r\nxy");
    keys(view, {{Qt::Key_Insert, {}}});
    QTest::keyClicks(&view, "!");
    EXPECT_EQ(view.buffer().bytes(), "aXYZW!\r\n    \r\nxy");

    const int line = view.fontMetrics().lineSpacing();
    const QPoint second(10, line * 3 / 2);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(std::tuple(view.selectionStart(), view.selectionEnd()), std::tuple(8, 14));
    // The blanks of the selected line are drawn in the selection's colour.
    const QImage shown = view.viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(second + QPoint(5, 0)), view.palette().color(QPalette::Active, QPalette::Highlight));

    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection()) {
        keys(view, {{Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_Right, Qt::ShiftModifier}});
        EXPECT_EQ(clipboard->text(QClipboard::Selection), "a");
    }

    // A lone CR, a control character and the bytes Windows-1252 leaves undefined are drawn, not left blank.
    for (const char* bytes : {"\r", "\x01", "\x81", "\x9D"}) {
        view.setBytes(bytes);
        view.setSelection(1, 1);
        const QImage image = view.viewport()->grab().toImage();
        int ink = 0;
        for (int x = 2; x < 30; ++x)
            for (int y = 2; y < line; ++y) ink += image.pixelColor(x, y) != view.palette().color(QPalette::Base);
        EXPECT_GT(ink, 3) << int(static_cast<unsigned char>(bytes[0]));
    }
    view.setBytes(std::string(300, 'w'));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QMouseEvent past(QEvent::MouseMove, QPointF(view.viewport()->width() + 20, 5), QPointF(), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &past);
    QTest::qWait(300);
    EXPECT_GT(view.horizontalScrollBar()->value(), 0);
    EXPECT_GT(view.caret(), 30);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(view.viewport()->width() + 20, 5));
}
