#include "textbox/SourceTextView.h"

#include <QAccessible>
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
#include <cmath>

#include "platform/qt/QtDesktop.h"
#include "textbox/SourceTextAccessible.h"

namespace textbox {

namespace {

constexpr int Margin = 4;
constexpr int CaretWidth = 2;
constexpr char16_t LoneCrSymbol = 0x240D;
// At most this many lines keep their offsets between two changes of the text.
constexpr std::size_t KeptOffsets = 256;

// How a character is shown: a tab as itself, the other control characters
// (a lone CR among them) as their symbols, and the five bytes Windows-1252
// leaves undefined (held as U+0081, U+008D, U+008F, U+0090, U+009D) as U+FFFD.
char16_t shownChar(char16_t c) {
    if (c == u'\t') return c;
    if (c < 0x20) return static_cast<char16_t>(0x2400 + c);
    if (c == 0x7F) return 0x2421;
    if (c >= 0x80 && c < 0xA0) return 0xFFFD;
    return c;
}

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
    installSourceTextAccessible();
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
    if (!wasEmpty || buf_.size() > 0) {
        announceText(0, {}, {});
        emit textEdited();
    }
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
    announceCaret();
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
    announceText(0, {}, {});
    afterEdit();
}

void SourceTextView::edit(std::int64_t from, std::int64_t to, std::u16string_view text, bool typing) {
    from = buf_.clamp(from);
    to = buf_.clamp(to, true);
    const std::u16string with = crlf_ ? TextBuffer::crlfLineEnds(text) : std::u16string(text);
    if (from == to && with.empty()) return;
    if (QAccessible::isActive()) announceText(from, buf_.text(from, to), with);
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
    announceCaret();
    emit textEdited();
}

// A change of one place tells what went and what came; a change of many
// places (undo, Replace All, new text) tells that the whole text changed.
void SourceTextView::announceText(std::int64_t at, const std::u16string& removed, std::u16string_view inserted) {
    if (!QAccessible::isActive()) return;
    const auto position = static_cast<int>(std::min<std::int64_t>(at, INT32_MAX));
    const auto qt = [](std::u16string_view t) {
        return QString(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
    };
    if (removed.empty() && inserted.empty()) {
        QAccessibleTextUpdateEvent event(this, 0, QString(), qt(buf_.text()));
        QAccessible::updateAccessibility(&event);
        return;
    }
    if (!removed.empty()) {
        QAccessibleTextRemoveEvent event(this, position, qt(removed));
        QAccessible::updateAccessibility(&event);
    }
    if (!inserted.empty()) {
        QAccessibleTextInsertEvent event(this, position, qt(inserted));
        QAccessible::updateAccessibility(&event);
    }
}

void SourceTextView::announceCaret() {
    if (!QAccessible::isActive()) return;
    const auto offset = [](std::int64_t pos) { return static_cast<int>(std::min<std::int64_t>(pos, INT32_MAX)); };
    QAccessibleTextCursorEvent moved(this, offset(caret_));
    QAccessible::updateAccessibility(&moved);
    // A selection is announced when it is made, grows or goes, not on every move.
    if (selectionStart() == selectionEnd() && !selectionAnnounced_) return;
    selectionAnnounced_ = selectionStart() != selectionEnd();
    QAccessibleTextSelectionEvent selected(this, offset(selectionStart()), offset(selectionEnd()));
    QAccessible::updateAccessibility(&selected);
}

void SourceTextView::undo() {
    if (const auto at = buf_.undo()) {
        anchor_ = caret_ = buf_.clamp(*at);
        announceText(0, {}, {});
        afterEdit();
    }
}

void SourceTextView::redo() {
    if (const auto at = buf_.redo()) {
        anchor_ = caret_ = buf_.clamp(*at);
        announceText(0, {}, {});
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
    offsets_.clear();
    measuredWidth_ = 0;
    updateScrollBars();
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
    const qreal width = std::ceil(contentWidth()) + 2 * Margin + CaretWidth;
    horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<qreal>(width - viewport()->width(), 0, INT32_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(std::max(1, static_cast<int>(std::lround(advance(u' ')))));
}

QString SourceTextView::shownText(std::int64_t from, std::int64_t to) const {
    QString out(static_cast<qsizetype>(to - from), Qt::Uninitialized);
    for (std::int64_t i = from; i < to; ++i) out[static_cast<qsizetype>(i - from)] = QChar(shownChar(buf_.at(i)));
    return out;
}

qreal SourceTextView::advance(char16_t c) const {
    auto [it, fresh] = advances_.try_emplace(c, 0.0);
    if (fresh) it->second = QFontMetricsF(font()).horizontalAdvance(QChar(shownChar(c)));
    return it->second;
}

qreal SourceTextView::tabStop() const { return tabStop_ > 0 ? tabStop_ : 8 * advance(u' '); }

// Sums the advances of the line's characters once; a tab goes on to the next
// tab stop, a surrogate pair is measured as one character.
const SourceTextView::Offsets& SourceTextView::offsets(std::int64_t line) const {
    if (offsetsRevision_ != buf_.revision()) {
        offsets_.clear();
        offsetsRevision_ = buf_.revision();
    }
    auto [it, fresh] = offsets_.try_emplace(line);
    Offsets& xs = it->second;
    if (!fresh) return xs;
    const std::int64_t start = buf_.lineStart(line), end = buf_.lineEnd(line);
    xs.resize(static_cast<std::size_t>(end - start + 1));
    const qreal tab = tabStop();
    qreal x = 0;
    xs[0] = 0;
    for (std::int64_t i = start; i < end; ++i) {
        const char16_t c = buf_.at(i);
        if (c == u'\t') {
            x = tab > 0 ? (std::floor(x / tab + 1e-6) + 1) * tab : x;
        } else if (QChar::isHighSurrogate(c) && i + 1 < end && QChar::isLowSurrogate(buf_.at(i + 1))) {
            const QChar pair[2] = {QChar(c), QChar(buf_.at(i + 1))};
            xs[static_cast<std::size_t>(i - start + 1)] = x;
            x += QFontMetricsF(font()).horizontalAdvance(QString(pair, 2));
            ++i;
        } else {
            x += advance(c);
        }
        xs[static_cast<std::size_t>(i - start + 1)] = x;
    }
    measuredWidth_ = std::max(measuredWidth_, x);
    return xs;
}

qreal SourceTextView::contentWidth() const {
    return std::max(static_cast<qreal>(buf_.widestLine()) * advance(u' '), measuredWidth_);
}

qreal SourceTextView::xOf(std::int64_t pos) const {
    const std::int64_t line = buf_.lineOf(pos);
    return offsets(line)[static_cast<std::size_t>(pos - buf_.lineStart(line))];
}

std::int64_t SourceTextView::positionAtX(std::int64_t line, qreal x) const {
    const Offsets& xs = offsets(line);
    auto k = static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), x) - xs.begin());
    if (k == xs.size() || (k > 0 && x - xs[k - 1] < xs[k] - x)) --k;
    std::int64_t pos = buf_.lineStart(line) + static_cast<std::int64_t>(k);
    if (pos > buf_.lineStart(line) && QChar::isLowSurrogate(buf_.at(pos)) && QChar::isHighSurrogate(buf_.at(pos - 1)))
        --pos;
    return pos;
}

std::int64_t SourceTextView::positionAt(const QPoint& p) const {
    const std::int64_t line = std::clamp<std::int64_t>(
        verticalScrollBar()->value() + (p.y() - Margin / 2) / lineHeight(), 0, buf_.lineCount() - 1);
    return positionAtX(line, p.x() - Margin + horizontalScrollBar()->value());
}

QRect SourceTextView::characterRect(std::int64_t pos) const {
    pos = buf_.clamp(pos);
    const std::int64_t line = buf_.lineOf(pos);
    const qreal x = xOf(pos);
    const qreal width = pos < buf_.lineEnd(line) ? xOf(nextPosition(pos)) - x : advance(u' ');
    const auto top = static_cast<int>((line - verticalScrollBar()->value()) * lineHeight()) + Margin / 2;
    return QRect(static_cast<int>(std::lround(x)) + Margin - horizontalScrollBar()->value(), top,
                 std::max(1, static_cast<int>(std::lround(width))), lineHeight());
}

QRect SourceTextView::caretRect() const {
    const std::int64_t line = buf_.lineOf(caret_);
    qreal x = xOf(caret_);
    if (!preedit_.isEmpty()) x += QFontMetricsF(font()).horizontalAdvance(preedit_.left(preeditCursor_));
    int width = CaretWidth;
    if (overwrite_ && preedit_.isEmpty() && caret_ < buf_.lineEnd(line))
        width = std::max(CaretWidth, static_cast<int>(std::lround(xOf(nextPosition(caret_)) - xOf(caret_))));
    const auto top = static_cast<int>((line - verticalScrollBar()->value()) * lineHeight()) + Margin / 2;
    return QRect(static_cast<int>(std::lround(x)) + Margin - horizontalScrollBar()->value(), top, width, lineHeight());
}

void SourceTextView::ensureCaretVisible() {
    const std::int64_t line = buf_.lineOf(caret_);
    QScrollBar* v = verticalScrollBar();
    if (line < v->value()) v->setValue(static_cast<int>(line));
    else if (line >= v->value() + visibleLines()) v->setValue(static_cast<int>(line - visibleLines() + 1));
    // The caret's line, once measured, may be wider than the range allows.
    qreal x = xOf(caret_);
    if (!preedit_.isEmpty()) x += QFontMetricsF(font()).horizontalAdvance(preedit_);
    updateScrollBars();
    QScrollBar* h = horizontalScrollBar();
    const int room = std::max(0, viewport()->width() - 2 * Margin - CaretWidth);
    if (x < h->value()) h->setValue(static_cast<int>(std::floor(x)) - room / 4);
    else if (x > h->value() + room) h->setValue(static_cast<int>(std::ceil(x)) - room + room / 4);
}

// --- Painting ---------------------------------------------------------------------

// Lays out and draws the part of a line that is on show, with a character
// more on each side; its tabs are placed where the line's offsets put them.
void SourceTextView::drawLine(QPainter& painter, std::int64_t line, int top) const {
    const Offsets& xs = offsets(line);
    const std::int64_t start = buf_.lineStart(line), end = buf_.lineEnd(line);
    const auto length = static_cast<std::int64_t>(xs.size()) - 1;
    const qreal left = horizontalScrollBar()->value() - Margin, right = left + viewport()->width();
    std::int64_t a = std::max<std::int64_t>(0, std::upper_bound(xs.begin(), xs.end(), left) - xs.begin() - 2);
    std::int64_t b = std::min<std::int64_t>(length, std::lower_bound(xs.begin(), xs.end(), right) - xs.begin() + 1);
    if (a > 0 && QChar::isLowSurrogate(buf_.at(start + a))) --a;
    if (b < length && QChar::isLowSurrogate(buf_.at(start + b))) ++b;
    const auto at = [&](std::int64_t pos) {
        return Margin - horizontalScrollBar()->value() + xs[static_cast<std::size_t>(pos - start)];
    };

    // The selection's background, over blanks and a selected line end too.
    const std::int64_t selFrom = selectionStart(), selTo = selectionEnd();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    if (selFrom < selTo && selFrom <= end && selTo > start) {
        const std::int64_t from = std::max(selFrom, start), to = std::min(selTo, end);
        qreal x2 = at(to);
        if (selTo > end && end < buf_.size()) x2 += advance(u' ');
        painter.fillRect(QRectF(at(from), top, x2 - at(from), lineHeight()),
                         palette().brush(group, QPalette::Highlight));
    }

    QString text = shownText(start + a, start + b);
    // The text being composed goes in at the caret, with the input method's formats.
    const bool composing = !preedit_.isEmpty() && caret_ >= start + a && caret_ <= start + b;
    const auto preeditAt = static_cast<int>(caret_ - start - a);
    const qreal preeditWidth = composing ? QFontMetricsF(font()).horizontalAdvance(preedit_) : 0;
    if (composing) text.insert(preeditAt, preedit_);
    QList<QTextOption::Tab> tabs;
    for (std::int64_t k = a; k < b; ++k)
        if (buf_.at(start + k) == u'\t')
            tabs.append(QTextOption::Tab(xs[static_cast<std::size_t>(k + 1)] - xs[static_cast<std::size_t>(a)] +
                                             (composing && start + k >= caret_ ? preeditWidth : 0),
                                         QTextOption::LeftTab));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabs(tabs);
    option.setTabStopDistance(tabStop());
    QTextLayout layout(text, font());
    layout.setTextOption(option);
    QList<QTextLayout::FormatRange> ranges;
    const auto shifted = [&](std::int64_t pos) {
        const auto k = static_cast<int>(pos - start - a);
        return composing && k > preeditAt ? k + static_cast<int>(preedit_.size()) : k;
    };
    if (selFrom < selTo && selTo > start + a && selFrom < start + b) {
        QTextCharFormat selected;
        selected.setForeground(palette().brush(group, QPalette::HighlightedText));
        const int from = shifted(std::max(selFrom, start + a)), to = shifted(std::min(selTo, start + b));
        ranges.append({from, to - from, selected});
    }
    if (composing) {
        bool formatted = false;
        for (const QInputMethodEvent::Attribute& attr : preeditAttrs_) {
            if (attr.type != QInputMethodEvent::TextFormat) continue;
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attr.value).toCharFormat();
            if (!format.isValid()) continue;
            ranges.append({preeditAt + attr.start, attr.length, format});
            formatted = true;
        }
        if (!formatted) {
            QTextCharFormat underlined;
            underlined.setFontUnderline(true);
            ranges.append({preeditAt, static_cast<int>(preedit_.size()), underlined});
        }
    }
    layout.beginLayout();
    QTextLine l = layout.createLine();
    if (l.isValid()) l.setPosition(QPointF(0, 0));
    layout.endLayout();
    painter.setPen(palette().color(group, QPalette::Text));
    layout.draw(&painter, QPointF(at(start + a), top), ranges);
}

void SourceTextView::paintEvent(QPaintEvent* e) {
    QPainter painter(viewport());
    if (offsets_.size() > KeptOffsets) offsets_.clear();
    const std::int64_t first = verticalScrollBar()->value();
    const int height = lineHeight();
    const std::int64_t from = first + std::max(0, (e->rect().top() - Margin / 2) / height);
    const std::int64_t to = std::min(buf_.lineCount(), first + (e->rect().bottom() - Margin / 2) / height + 1);
    // Lines measured for the first time may widen the range.
    const qreal width = contentWidth();
    for (std::int64_t line = from; line < to; ++line) offsets(line);
    if (contentWidth() > width) updateScrollBars();
    for (std::int64_t line = from; line < to; ++line)
        drawLine(painter, line, static_cast<int>((line - first) * height + Margin / 2));
    if (hasFocus() && caretOn_) {
        QColor color = palette().color(QPalette::Text);
        const QRect r = caretRect();
        if (r.width() > CaretWidth) color.setAlpha(96);
        painter.fillRect(r, color);
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
        advances_.clear();
        offsets_.clear();
        measuredWidth_ = 0;
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
        QScrollBar* h = horizontalScrollBar();
        if (dragAt_.y() < 0 || dragAt_.y() >= viewport()->height())
            v->setValue(v->value() + (dragAt_.y() < 0 ? -1 : 1));
        if (dragAt_.x() < 0 || dragAt_.x() >= viewport()->width())
            h->setValue(h->value() + (dragAt_.x() < 0 ? -1 : 1) * 2 * h->singleStep());
        moveCaret(positionAt(dragAt_), true);
        return;
    }
    if (e->timerId() == tripleClick_.timerId()) return tripleClick_.stop();
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
    return positionAtX(target, goalX_ >= 0 ? goalX_ : xOf(caret_));
}

void SourceTextView::moveCaret(std::int64_t pos, bool keepAnchor) {
    caret_ = buf_.clamp(pos);
    if (!keepAnchor) anchor_ = caret_;
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    announceCaret();
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
    } else if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        overwrite_ = !overwrite_;
        viewport()->update();
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
            const qreal goal = goalX_;
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
            const qreal x = lines ? (goal >= 0 ? goal : xOf(caret_)) : -1;
            moveCaret(pos, select);
            goalX_ = x;
            if (select) offerSelection();
            return;
        }
        const QString text = e->text();
        const bool typed =
            !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint() || c == u'\t'; });
        // Ctrl with a letter is a command; Ctrl with Alt is AltGr on some keyboards.
        const Qt::KeyboardModifiers mods = e->modifiers();
        const bool command = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
        if (editable && typed && !command) {
            // Overwriting takes as many characters as are typed, never the line end.
            std::int64_t over = to;
            if (overwrite_ && from == to)
                for (qsizetype k = 0; k < text.size() && over < buf_.lineEnd(buf_.lineOf(caret_)); ++k)
                    over = nextPosition(over);
            edit(from, over, platform::chars(text), true);  // what is typed next joins this step
        } else {
            e->ignore();
            return;
        }
    }
    e->accept();
}

// The input method's commit goes in like typing; the text it is still
// composing is shown at the caret until then, but is not part of the text.
void SourceTextView::inputMethodEvent(QInputMethodEvent* e) {
    if (readOnly_) return e->ignore();
    std::int64_t from = selectionStart(), to = selectionEnd();
    if (e->replacementLength() > 0 && from == to) {
        from = buf_.clamp(caret_ + e->replacementStart());
        to = buf_.clamp(from + e->replacementLength(), true);
    }
    preedit_ = e->preeditString();
    preeditAttrs_ = e->attributes();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attr : preeditAttrs_)
        if (attr.type == QInputMethodEvent::Cursor)
            preeditCursor_ = std::clamp(attr.start, 0, static_cast<int>(preedit_.size()));
    const QString commit = e->commitString();
    if (!commit.isEmpty() || from != to) edit(from, to, platform::chars(commit), true);
    ensureCaretVisible();
    viewport()->update();
    e->accept();
}

// What an input method asks of the text around the caret: the caret's line,
// or the part of it within a thousand characters of the caret, with the
// caret and the anchor as positions in that text.
QVariant SourceTextView::inputMethodQuery(Qt::InputMethodQuery query) const {
    constexpr std::int64_t Around = 1000;
    const std::int64_t line = buf_.lineOf(caret_);
    const std::int64_t from = std::max(buf_.lineStart(line), caret_ - Around);
    const std::int64_t to = std::min(buf_.lineEnd(line), caret_ + Around);
    const auto inText = [&](std::int64_t pos) { return static_cast<int>(std::clamp(pos, from, to) - from); };
    const auto chars = [&](std::int64_t a, std::int64_t b) {
        const std::u16string t = buf_.text(a, b);
        return QString(reinterpret_cast<const QChar*>(t.data()), static_cast<qsizetype>(t.size()));
    };
    switch (query) {
        case Qt::ImEnabled: return !readOnly_;
        case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine | Qt::ImhNoPredictiveText);
        case Qt::ImFont: return font();
        case Qt::ImCursorRectangle:
        case Qt::ImAnchorRectangle: return caretRect().translated(viewport()->pos());
        case Qt::ImCursorPosition: return inText(caret_);
        case Qt::ImAnchorPosition: return inText(anchor_);
        case Qt::ImAbsolutePosition: return static_cast<qlonglong>(caret_);
        case Qt::ImSurroundingText: return chars(from, to);
        case Qt::ImTextBeforeCursor: return chars(from, caret_);
        case Qt::ImTextAfterCursor: return chars(caret_, to);
        case Qt::ImCurrentSelection: return selectedText();
        case Qt::ImMaximumTextLength: return QVariant();
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
    if (tripleClick_.isActive()) {
        tripleClick_.stop();
        const std::int64_t line = buf_.lineOf(positionAt(e->position().toPoint()));
        setSelection(buf_.lineStart(line), line + 1 < buf_.lineCount() ? buf_.lineStart(line + 1) : buf_.size());
        offerSelection();
        return;
    }
    moveCaret(positionAt(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
}

// A selection made with the mouse becomes the X11 selection, for the middle
// button of any program.
void SourceTextView::mouseReleaseEvent(QMouseEvent* e) {
    dragScroll_.stop();
    if (e->button() == Qt::LeftButton) offerSelection();
    QAbstractScrollArea::mouseReleaseEvent(e);
}

void SourceTextView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    dragAt_ = e->position().toPoint();
    moveCaret(positionAt(dragAt_), true);
    // Held above or below the text, the selection goes on growing.
    const bool outside = !viewport()->rect().contains(dragAt_);
    if (outside && !dragScroll_.isActive()) dragScroll_.start(50, this);
    if (!outside) dragScroll_.stop();
}

void SourceTextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    std::int64_t start = positionAt(e->position().toPoint()), end = start;
    while (start > 0 && isWordChar(buf_.at(start - 1))) --start;
    while (end < buf_.size() && isWordChar(buf_.at(end))) ++end;
    setSelection(start, end);
    offerSelection();
    tripleClick_.start(QApplication::doubleClickInterval(), this);
}

void SourceTextView::offerSelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (anchor_ != caret_ && clipboard->supportsSelection()) clipboard->setText(selectedText(), QClipboard::Selection);
}

void SourceTextView::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    const bool editable = !readOnly_, selected = anchor_ != caret_;
    menu.addAction(tr("&Undo"), this, &SourceTextView::undo)->setEnabled(editable && buf_.canUndo());
    menu.addAction(tr("&Redo"), this, &SourceTextView::redo)->setEnabled(editable && buf_.canRedo());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &SourceTextView::cut)->setEnabled(editable && selected);
    menu.addAction(tr("&Copy"), this, &SourceTextView::copy)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, &SourceTextView::paste)->setEnabled(editable);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &SourceTextView::selectAll);
    menu.exec(e->globalPos());
}

}  // namespace textbox
