#include "textbox/SourceTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

#include "platform/qt/QtDesktop.h"

namespace textbox {

namespace {

constexpr int Margin = 4;
constexpr char16_t LoneCrSymbol = 0x240D;

bool isWordChar(char16_t c) { return QChar(c).isLetterOrNumber() || c == u'_'; }

// The text for the clipboard: a line end is "\n", whatever it was.
QString lfText(const std::u16string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) out += QChar(text[i]);
    return out;
}

}  // namespace

SourceTextView::SourceTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    updateScrollBars();
}

SourceTextView::~SourceTextView() = default;

void SourceTextView::setBytes(std::string_view bytes) {
    const bool wasEmpty = buf_.size() == 0;
    buf_.setBytes(bytes, crlf_);
    anchor_ = caret_ = 0;
    goalX_ = -1;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    if (!wasEmpty || buf_.size() > 0) emit textEdited();
}

QString SourceTextView::plainText() const {
    QString out = lfText(buf_.text());
    out.replace(QChar(u'\r'), QChar(LoneCrSymbol));
    return out;
}

QString SourceTextView::selectedText() const { return lfText(buf_.text(selectionStart(), selectionEnd())); }

void SourceTextView::setSelection(std::int64_t anchor, std::int64_t caret) {
    anchor_ = buf_.clamp(anchor, anchor > caret);
    caret_ = buf_.clamp(caret, caret > anchor);
    goalX_ = -1;
    restartBlink();
    viewport()->update();
}

void SourceTextView::replaceSelection(std::u16string_view text) { edit(selectionStart(), selectionEnd(), text); }

void SourceTextView::replaceSpans(const std::vector<std::pair<std::int64_t, std::int64_t>>& spans,
                                  std::u16string_view text) {
    if (spans.empty()) return;
    const std::u16string with = crlf_ ? TextBuffer::crlfLineEnds(text) : std::u16string(text);
    // A span never splits a line end.
    std::vector<std::pair<std::int64_t, std::int64_t>> whole;
    whole.reserve(spans.size());
    for (const auto& [from, to] : spans) whole.emplace_back(buf_.clamp(from), buf_.clamp(to, true));
    buf_.replaceEach(whole, with);
    anchor_ = caret_ = buf_.clamp(spans.front().first + static_cast<std::int64_t>(with.size()));
    afterEdit();
}

void SourceTextView::edit(std::int64_t from, std::int64_t to, std::u16string_view text, bool typing) {
    from = buf_.clamp(from);
    to = buf_.clamp(to, true);
    const std::u16string with = crlf_ ? TextBuffer::crlfLineEnds(text) : std::u16string(text);
    if (from == to && with.empty()) return;
    buf_.replace(from, to, with, typing);
    anchor_ = caret_ = from + static_cast<std::int64_t>(with.size());
    afterEdit();
}

void SourceTextView::afterEdit() {
    goalX_ = -1;
    updateScrollBars();
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    emit textEdited();
}

void SourceTextView::undo() {
    if (const auto at = buf_.undo()) {
        anchor_ = caret_ = buf_.clamp(*at);
        afterEdit();
    }
}

void SourceTextView::redo() {
    if (const auto at = buf_.redo()) {
        anchor_ = caret_ = buf_.clamp(*at);
        afterEdit();
    }
}

void SourceTextView::copy() {
    if (anchor_ != caret_) QGuiApplication::clipboard()->setText(selectedText());
}

void SourceTextView::cut() {
    if (readOnly_ || anchor_ == caret_) return;
    copy();
    replaceSelection(u"");
}

void SourceTextView::paste() {
    if (readOnly_) return;
    const QString text = QGuiApplication::clipboard()->text();
    replaceSelection(platform::chars(text));
}

void SourceTextView::setTabStopDistance(qreal pixels) {
    tabStop_ = pixels;
    viewport()->update();
}

// --- Geometry ---------------------------------------------------------------------

int SourceTextView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int SourceTextView::visibleLines() const { return std::max(1, (viewport()->height() - Margin) / lineHeight()); }

void SourceTextView::updateScrollBars() {
    const auto lines = static_cast<int>(std::min<std::int64_t>(buf_.lineCount(), INT32_MAX));
    verticalScrollBar()->setRange(0, std::max(0, lines - visibleLines()));
    verticalScrollBar()->setPageStep(visibleLines());
    verticalScrollBar()->setSingleStep(1);
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QChar(u' ')));
    const auto width = static_cast<int>(std::min<std::int64_t>(buf_.widestLine() * charWidth + 2 * Margin, INT32_MAX));
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(charWidth);
}

QString SourceTextView::lineText(std::int64_t line) const {
    const std::u16string text = buf_.text(buf_.lineStart(line), buf_.lineEnd(line));
    QString out(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    out.replace(QChar(u'\r'), QChar(LoneCrSymbol));
    return out;
}

void SourceTextView::layoutLine(QTextLayout& layout, std::int64_t line) const {
    layout.setText(lineText(line));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabStop_ > 0 ? tabStop_ : 8 * QFontMetricsF(font()).horizontalAdvance(QChar(u' ')));
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine l = layout.createLine();
    if (l.isValid()) l.setPosition(QPointF(0, 0));
    layout.endLayout();
}

std::int64_t SourceTextView::positionAt(const QPoint& p) const {
    const std::int64_t line = std::clamp<std::int64_t>(
        verticalScrollBar()->value() + (p.y() - Margin / 2) / lineHeight(), 0, buf_.lineCount() - 1);
    QTextLayout layout;
    layoutLine(layout, line);
    const int x = p.x() - Margin + horizontalScrollBar()->value();
    const int column = layout.lineCount() ? layout.lineAt(0).xToCursor(x) : 0;
    return buf_.clamp(buf_.lineStart(line) + column);
}

QRect SourceTextView::caretRect() const {
    const std::int64_t line = buf_.lineOf(caret_);
    QTextLayout layout;
    layoutLine(layout, line);
    const auto column = static_cast<int>(caret_ - buf_.lineStart(line));
    const qreal x = layout.lineCount() ? layout.lineAt(0).cursorToX(column) : 0;
    const auto top = static_cast<int>((line - verticalScrollBar()->value()) * lineHeight()) + Margin / 2;
    return QRect(static_cast<int>(x) + Margin - horizontalScrollBar()->value(), top, 2, lineHeight());
}

int SourceTextView::caretX() const { return caretRect().left() - Margin + horizontalScrollBar()->value(); }

void SourceTextView::ensureCaretVisible() {
    const std::int64_t line = buf_.lineOf(caret_);
    QScrollBar* v = verticalScrollBar();
    if (line < v->value()) v->setValue(static_cast<int>(line));
    else if (line >= v->value() + visibleLines()) v->setValue(static_cast<int>(line - visibleLines() + 1));
    const QRect r = caretRect();
    QScrollBar* h = horizontalScrollBar();
    const int room = viewport()->width() - 2 * Margin;
    if (r.left() < Margin) h->setValue(h->value() + r.left() - Margin - room / 4);
    else if (r.right() > Margin + room) h->setValue(h->value() + r.right() - Margin - room + room / 4);
}

// --- Painting ---------------------------------------------------------------------

void SourceTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const std::int64_t first = verticalScrollBar()->value();
    const std::int64_t last = std::min(buf_.lineCount(), first + visibleLines() + 1);
    const std::int64_t selFrom = selectionStart(), selTo = selectionEnd();
    const std::int64_t caretLine = buf_.lineOf(caret_);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    selected.setForeground(
        palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText));
    painter.setPen(palette().color(QPalette::Text));
    for (std::int64_t line = first; line < last; ++line) {
        QTextLayout layout;
        layoutLine(layout, line);
        const std::int64_t start = buf_.lineStart(line), end = buf_.lineEnd(line);
        QList<QTextLayout::FormatRange> ranges;
        if (selFrom < selTo && selFrom <= end && selTo > start) {
            const std::int64_t from = std::max(selFrom, start), to = std::min(selTo, end);
            if (to > from) ranges.append({static_cast<int>(from - start), static_cast<int>(to - from), selected});
        }
        const QPointF at(Margin - horizontalScrollBar()->value(),
                         static_cast<qreal>((line - first) * lineHeight() + Margin / 2));
        layout.draw(&painter, at, ranges);
        // A selected line end shows as a blank's width, so that selected
        // empty lines can be seen.
        if (selFrom <= end && selTo > end && end < buf_.size()) {
            const qreal x = layout.lineCount() ? layout.lineAt(0).naturalTextWidth() : 0;
            painter.fillRect(QRectF(at.x() + x, at.y(), fontMetrics().horizontalAdvance(QChar(u' ')), lineHeight()),
                             selected.background());
        }
        if (line == caretLine && hasFocus() && caretOn_)
            layout.drawCursor(&painter, at, static_cast<int>(caret_ - start), 2);
    }
}

void SourceTextView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void SourceTextView::scrollContentsBy(int, int) { viewport()->update(); }

void SourceTextView::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        updateScrollBars();
        viewport()->update();
    }
}

void SourceTextView::restartBlink() {
    caretOn_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) blink_.start(flash / 2, this);
    else blink_.stop();
}

void SourceTextView::timerEvent(QTimerEvent* e) {
    if (e->timerId() == dragScroll_.timerId()) {
        QScrollBar* v = verticalScrollBar();
        v->setValue(v->value() + (dragAt_.y() < 0 ? -1 : 1));
        moveCaret(positionAt(dragAt_), true);
        return;
    }
    if (e->timerId() != blink_.timerId()) return QAbstractScrollArea::timerEvent(e);
    caretOn_ = !caretOn_;
    viewport()->update(caretRect());
}

void SourceTextView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    restartBlink();
    viewport()->update();
}

void SourceTextView::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    blink_.stop();
    viewport()->update();
}

// --- Moving -----------------------------------------------------------------------

std::int64_t SourceTextView::nextPosition(std::int64_t pos) const {
    if (pos >= buf_.size()) return buf_.size();
    const char16_t c = buf_.at(pos);
    if (pos + 1 >= buf_.size()) return pos + 1;
    const char16_t after = buf_.at(pos + 1);
    const bool pair = (c == u'\r' && after == u'\n') || (QChar::isHighSurrogate(c) && QChar::isLowSurrogate(after));
    return pos + (pair ? 2 : 1);
}

std::int64_t SourceTextView::previousPosition(std::int64_t pos) const {
    if (pos <= 0) return 0;
    const char16_t c = buf_.at(pos - 1);
    const bool pair = pos >= 2 && ((c == u'\n' && buf_.at(pos - 2) == u'\r') ||
                                   (QChar::isLowSurrogate(c) && QChar::isHighSurrogate(buf_.at(pos - 2))));
    return pos - (pair ? 2 : 1);
}

// The start of the next word (Ctrl+Right), or the end of the text.
std::int64_t SourceTextView::wordEnd(std::int64_t pos) const {
    const std::int64_t size = buf_.size();
    if (pos < size && isWordChar(buf_.at(pos)))
        while (pos < size && isWordChar(buf_.at(pos))) ++pos;
    else if (pos < size) pos = nextPosition(pos);
    while (pos < size && (buf_.at(pos) == u' ' || buf_.at(pos) == u'\t')) ++pos;
    return pos;
}

// The start of this word or the one before (Ctrl+Left).
std::int64_t SourceTextView::wordStart(std::int64_t pos) const {
    while (pos > 0 && (buf_.at(pos - 1) == u' ' || buf_.at(pos - 1) == u'\t')) --pos;
    if (pos > 0 && isWordChar(buf_.at(pos - 1)))
        while (pos > 0 && isWordChar(buf_.at(pos - 1))) --pos;
    else pos = previousPosition(pos);
    return pos;
}

std::int64_t SourceTextView::verticalMove(int lines) const {
    const std::int64_t line = buf_.lineOf(caret_);
    const std::int64_t target = std::clamp<std::int64_t>(line + lines, 0, buf_.lineCount() - 1);
    if (target == line) return lines < 0 ? buf_.lineStart(line) : buf_.lineEnd(line);
    const int x = goalX_ >= 0 ? goalX_ : caretX();
    QTextLayout layout;
    layoutLine(layout, target);
    const int column = layout.lineCount() ? layout.lineAt(0).xToCursor(x) : 0;
    return buf_.clamp(buf_.lineStart(target) + column);
}

void SourceTextView::moveCaret(std::int64_t pos, bool keepAnchor) {
    caret_ = buf_.clamp(pos);
    if (!keepAnchor) anchor_ = caret_;
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
}

void SourceTextView::keyPressEvent(QKeyEvent* e) {
    const bool editable = !readOnly_;
    const std::int64_t from = selectionStart(), to = selectionEnd();
    if (e == QKeySequence::Undo) {
        if (editable) undo();
    } else if (e == QKeySequence::Redo) {
        if (editable) redo();
    } else if (e == QKeySequence::Copy) {
        copy();
    } else if (e == QKeySequence::Cut) {
        cut();
    } else if (e == QKeySequence::Paste) {
        paste();
    } else if (e == QKeySequence::SelectAll) {
        selectAll();
    } else if (editable && (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) &&
               !(e->modifiers() & Qt::ControlModifier)) {
        const bool back = e->key() == Qt::Key_Backspace;
        if (from != to) edit(from, to, u"");
        else if (back) edit(previousPosition(caret_), caret_, u"");
        else edit(caret_, nextPosition(caret_), u"");
    } else if (editable && e == QKeySequence::DeleteStartOfWord) {
        edit(from != to ? from : wordStart(caret_), to, u"");
    } else if (editable && e == QKeySequence::DeleteEndOfWord) {
        edit(from, from != to ? to : wordEnd(caret_), u"");
    } else if (editable && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        edit(from, to, crlf_ ? u"\r\n" : u"\n");
    } else {
        enum Kind {
            NextChar,
            PreviousChar,
            NextWord,
            PreviousWord,
            Down,
            Up,
            LineStart,
            LineEnd,
            Start,
            End,
            PageDown,
            PageUp
        };
        struct Move {
            Kind kind;
            QKeySequence::StandardKey move, select;
        };
        static const Move moves[] = {
            {NextChar, QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
            {PreviousChar, QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
            {NextWord, QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
            {PreviousWord, QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
            {Down, QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
            {Up, QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
            {LineStart, QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
            {LineEnd, QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
            {Start, QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
            {End, QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
            {PageDown, QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
            {PageUp, QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
        };
        for (const Move& m : moves) {
            const bool select = e == m.select;
            if (!select && e != m.move) continue;
            const int goal = goalX_;
            // Lines a vertical move goes; a page moves the view with the caret.
            const int lines = m.kind == Down       ? 1
                              : m.kind == Up       ? -1
                              : m.kind == PageDown ? visibleLines()
                              : m.kind == PageUp   ? -visibleLines()
                                                   : 0;
            std::int64_t pos = caret_;
            switch (m.kind) {
                case NextChar: pos = !select && from != to ? to : nextPosition(caret_); break;
                case PreviousChar: pos = !select && from != to ? from : previousPosition(caret_); break;
                case NextWord: pos = wordEnd(caret_); break;
                case PreviousWord: pos = wordStart(caret_); break;
                case LineStart: pos = buf_.lineStart(buf_.lineOf(caret_)); break;
                case LineEnd: pos = buf_.lineEnd(buf_.lineOf(caret_)); break;
                case Start: pos = 0; break;
                case End: pos = buf_.size(); break;
                case Down:
                case Up: pos = verticalMove(lines); break;
                case PageDown:
                case PageUp:
                    pos = verticalMove(lines);
                    verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
                    break;
            }
            const int x = lines ? (goal >= 0 ? goal : caretX()) : -1;
            moveCaret(pos, select);
            goalX_ = x;
            return;
        }
        const QString text = e->text();
        const bool typed =
            !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint() || c == u'\t'; });
        // Ctrl with a letter is a command; Ctrl with Alt is AltGr on some keyboards.
        const Qt::KeyboardModifiers mods = e->modifiers();
        const bool command = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
        if (editable && typed && !command) {
            edit(from, to, platform::chars(text), true);  // what is typed next joins this step
        } else {
            e->ignore();
            return;
        }
    }
    e->accept();
}

void SourceTextView::inputMethodEvent(QInputMethodEvent* e) {
    const QString text = e->commitString();
    if (!readOnly_ && !text.isEmpty()) edit(selectionStart(), selectionEnd(), platform::chars(text), true);
    e->accept();
}

QVariant SourceTextView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled: return !readOnly_;
        case Qt::ImCursorRectangle: return caretRect();
        case Qt::ImCursorPosition: return static_cast<int>(caret_ - buf_.lineStart(buf_.lineOf(caret_)));
        case Qt::ImAnchorPosition:
            return static_cast<int>(
                std::clamp(anchor_, buf_.lineStart(buf_.lineOf(caret_)), buf_.lineEnd(buf_.lineOf(caret_))) -
                buf_.lineStart(buf_.lineOf(caret_)));
        case Qt::ImSurroundingText: return lineText(buf_.lineOf(caret_));
        case Qt::ImCurrentSelection: return selectedText();
        default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// --- Mouse ------------------------------------------------------------------------

void SourceTextView::mousePressEvent(QMouseEvent* e) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (e->button() == Qt::MiddleButton && clipboard->supportsSelection() && !readOnly_) {
        // The X11 way: the text last selected anywhere goes in where the middle button is pressed.
        moveCaret(positionAt(e->position().toPoint()), false);
        const QString text = clipboard->text(QClipboard::Selection);
        edit(caret_, caret_, platform::chars(text));
        return;
    }
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
    moveCaret(positionAt(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
}

// A selection made with the mouse becomes the X11 selection, for the middle
// button of any program.
void SourceTextView::mouseReleaseEvent(QMouseEvent* e) {
    dragScroll_.stop();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (e->button() == Qt::LeftButton && anchor_ != caret_ && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
    QAbstractScrollArea::mouseReleaseEvent(e);
}

void SourceTextView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    dragAt_ = e->position().toPoint();
    moveCaret(positionAt(dragAt_), true);
    // Held above or below the text, the selection goes on growing.
    const bool outside = dragAt_.y() < 0 || dragAt_.y() >= viewport()->height();
    if (outside && !dragScroll_.isActive()) dragScroll_.start(50, this);
    if (!outside) dragScroll_.stop();
}

void SourceTextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    std::int64_t start = positionAt(e->position().toPoint()), end = start;
    while (start > 0 && isWordChar(buf_.at(start - 1))) --start;
    while (end < buf_.size() && isWordChar(buf_.at(end))) ++end;
    setSelection(start, end);
    if (QGuiApplication::clipboard()->supportsSelection() && start != end)
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
}

void SourceTextView::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    const bool editable = !readOnly_, selected = anchor_ != caret_;
    menu.addAction(tr("&Undo"), this, &SourceTextView::undo)->setEnabled(editable);
    menu.addAction(tr("&Redo"), this, &SourceTextView::redo)->setEnabled(editable);
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &SourceTextView::cut)->setEnabled(editable && selected);
    menu.addAction(tr("&Copy"), this, &SourceTextView::copy)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, &SourceTextView::paste)->setEnabled(editable);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &SourceTextView::selectAll);
    menu.exec(e->globalPos());
}

}  // namespace textbox
