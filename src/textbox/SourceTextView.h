#pragma once
// The editing area of both windows: a plain text box over a TextBuffer that
// lays out only the lines on show. Lines never wrap. A stock text document
// keeps objects per line that cost seconds and five times the file's size
// on a file of half a million lines; this box opens such a file at once.
//
// Positions are those of the buffer, so of the bytes it was given. The caret
// and the selection never fall between the CR and the LF of a line end, and
// the keys move over a line end as one character. A CR on its own shows as
// the symbol U+240D, other control characters as their symbols, and the five
// bytes Windows-1252 leaves undefined as U+FFFD.
//
// Where a character stands is the sum of the advances before it in its line,
// kept per line until the text changes; only the part of a line on show is
// laid out and drawn, so a line of a megabyte costs no more to show than a
// short one, and the caret is scrolled into view however wide the line.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QInputMethodEvent>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "textbox/TextBuffer.h"

class QPainter;

namespace textbox {

class SourceTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SourceTextView(QWidget* parent = nullptr);
    ~SourceTextView() override;

    // With crlf (the editor) the text holds CR LF line ends only: a bare LF
    // given or typed gains its CR. Without (a report) bytes stay as given.
    void setCrLfLineEnds(bool crlf) { crlf_ = crlf; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }

    // The whole text: undo history forgotten, caret at the start.
    void setBytes(std::string_view bytes);
    const TextBuffer& buffer() const { return buf_; }
    // The text as it is now, for a reader on another thread (TextSnapshot).
    TextSnapshot snapshot() { return buf_.snapshot(); }
    // The text as a text box shows it: a line end is "\n", a lone CR U+240D.
    QString plainText() const;

    std::int64_t selectionStart() const { return std::min(anchor_, caret_); }
    std::int64_t selectionEnd() const { return std::max(anchor_, caret_); }
    std::int64_t caret() const { return caret_; }
    QString selectedText() const;
    // Selects from anchor to caret (either way round), both clamped.
    void setSelection(std::int64_t anchor, std::int64_t caret);
    // The selection becomes text, as typing or a paste would.
    void replaceSelection(std::u16string_view text);
    // Each span [from, to) (ascending, apart) becomes text, as one undo step.
    void replaceSpans(const std::vector<std::pair<std::int64_t, std::int64_t>>& spans, std::u16string_view text);
    void ensureCaretVisible();
    void undo();
    void redo();
    void selectAll() { setSelection(0, buf_.size()); }
    void copy();
    void cut();
    void paste();

    // Tab stops every `pixels`; by default every eight blanks of the font.
    void setTabStopDistance(qreal pixels);

    // Where the character at pos is drawn, and the position nearest to a
    // point, both in the viewport's coordinates.
    QRect characterRect(std::int64_t pos) const;
    std::int64_t positionAt(const QPoint& p) const;

signals:
    // The characters changed (not the caret or the selection).
    void textEdited();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void changeEvent(QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab types a tab where the text can be edited, instead of moving on.
    bool focusNextPrevChild(bool next) override { return readOnly_ && QAbstractScrollArea::focusNextPrevChild(next); }

private:
    // Where each position of a line stands, from 0 at its start to the width
    // of the line at its end.
    using Offsets = std::vector<qreal>;
    void edit(std::int64_t from, std::int64_t to, std::u16string_view text, bool typing = false);
    void moveCaret(std::int64_t pos, bool keepAnchor);
    void afterEdit();
    // Tells screen readers what changed: the text, the caret and the selection.
    void announceText(std::int64_t at, const std::u16string& removed, std::u16string_view inserted);
    void announceCaret();
    void updateScrollBars();
    void restartBlink();
    // A selection made by the user becomes the X11 selection, for the middle
    // button of any program.
    void offerSelection();
    int lineHeight() const;
    int visibleLines() const;
    // The characters [from, to) of the text as they are shown.
    QString shownText(std::int64_t from, std::int64_t to) const;
    qreal advance(char16_t c) const;
    qreal tabStop() const;
    const Offsets& offsets(std::int64_t line) const;
    // The width of the whole text, at least as wide as every line measured.
    qreal contentWidth() const;
    // The x of a position in its line, and the position of a line nearest to an x.
    qreal xOf(std::int64_t pos) const;
    std::int64_t positionAtX(std::int64_t line, qreal x) const;
    void drawLine(QPainter& painter, std::int64_t line, int top) const;
    QRect caretRect() const;
    std::int64_t wordStart(std::int64_t pos) const;
    std::int64_t wordEnd(std::int64_t pos) const;
    std::int64_t nextPosition(std::int64_t pos) const;
    std::int64_t previousPosition(std::int64_t pos) const;
    std::int64_t verticalMove(int lines) const;

    TextBuffer buf_;
    std::int64_t anchor_ = 0, caret_ = 0;
    // The x the caret keeps over vertical moves; -1 when it is the caret's own.
    qreal goalX_ = -1;
    bool crlf_ = false;
    bool readOnly_ = false;
    bool caretOn_ = true;
    // Typing replaces the character after the caret (Insert switches).
    bool overwrite_ = false;
    // What an input method is composing, shown at the caret, and where its cursor is.
    QString preedit_;
    QList<QInputMethodEvent::Attribute> preeditAttrs_;
    int preeditCursor_ = 0;
    // Whether screen readers were last told of a selection.
    bool selectionAnnounced_ = false;
    qreal tabStop_ = 0;
    QBasicTimer blink_;
    // Scrolls while the mouse selects beyond an edge of the text.
    QBasicTimer dragScroll_;
    // Runs for a double-click's time after a double click: a third click selects the line.
    QBasicTimer tripleClick_;
    QPoint dragAt_;

    // Advances of the characters met so far, and the offsets of the lines
    // measured since the text last changed.
    mutable std::unordered_map<char16_t, qreal> advances_;
    mutable std::unordered_map<std::int64_t, Offsets> offsets_;
    mutable std::uint64_t offsetsRevision_ = 0;
    mutable qreal measuredWidth_ = 0;
};

}  // namespace textbox
