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
