#include "textbox/TextBuffer.h"

#include <algorithm>
#include <array>

#include "platform/TextCodec.h"

namespace textbox {

namespace {

constexpr std::int64_t TabColumns = 8;
// Room kept free at the caret, so that typing moves no characters.
constexpr std::int64_t GapRoom = 4096;

// The column after a character at `column`: a tab goes on to the next stop.
std::int64_t nextColumn(std::int64_t column, char16_t c) {
    return c == u'\t' ? (column / TabColumns + 1) * TabColumns : column + 1;
}

// The character of every byte, looked up once: a big text has millions.
const std::array<char16_t, 256>& charsOfBytes() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) t[b] = platform::charOfByte(static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

}  // namespace

void TextBuffer::setBytes(std::string_view bytes, bool crlf) {
    std::int64_t bareLfs = 0;
    if (crlf)
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ++bareLfs;
    const auto length = static_cast<std::int64_t>(bytes.size()) + bareLfs;
    decltype(buf_)().swap(buf_);
    buf_.resize(static_cast<std::size_t>(length + GapRoom));
    lineStarts_.assign(1, 0);
    const std::array<char16_t, 256>& chars = charsOfBytes();
    std::int64_t out = 0, column = 0;
    widest_ = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\n') {
            const bool cr = i > 0 && bytes[i - 1] == '\r';
            if (crlf && !cr) buf_[out++] = u'\r';
            buf_[out++] = u'\n';
            lineStarts_.push_back(out);
            widest_ = std::max(widest_, column - (cr ? 1 : 0));  // the CR of the line end took a column
            column = 0;
        } else {
            buf_[out++] = chars[byte];
            column = nextColumn(column, byte);
        }
    }
    widest_ = std::max(widest_, column);
    gapStart_ = length;
    gapEnd_ = length + GapRoom;
    undo_.clear();
    redo_.clear();
    lastWasTyping_ = false;
    ++revision_;
}

std::string TextBuffer::bytes() const {
    std::string out(static_cast<std::size_t>(size()), '\0');
    for (std::int64_t i = 0; i < size(); ++i) {
        const int byte = platform::byteOfChar(at(i));
        out[static_cast<std::size_t>(i)] = byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::u16string TextBuffer::text(std::int64_t from, std::int64_t to) const {
    from = std::clamp<std::int64_t>(from, 0, size());
    to = std::clamp<std::int64_t>(to, from, size());
    std::u16string out;
    out.reserve(static_cast<std::size_t>(to - from));
    const std::int64_t split = std::clamp(gapStart_, from, to);
    out.append(buf_.data() + from, buf_.data() + split);
    out.append(buf_.data() + split + gapLength(), buf_.data() + to + gapLength());
    return out;
}

std::int64_t TextBuffer::lineEnd(std::int64_t line) const {
    if (line + 1 >= lineCount()) return size();
    const std::int64_t lf = lineStarts_[line + 1] - 1;
    return lf > lineStarts_[line] && at(lf - 1) == u'\r' ? lf - 1 : lf;
}

std::int64_t TextBuffer::lineOf(std::int64_t pos) const {
    return std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos) - lineStarts_.begin() - 1;
}

std::int64_t TextBuffer::clamp(std::int64_t pos, bool roundUp) const {
    pos = std::clamp<std::int64_t>(pos, 0, size());
    if (pos > 0 && pos < size() && at(pos) == u'\n' && at(pos - 1) == u'\r') return roundUp ? pos + 1 : pos - 1;
    return pos;
}

std::int64_t TextBuffer::columns(std::int64_t from, std::int64_t to) const {
    std::int64_t column = 0;
    for (std::int64_t i = from; i < to; ++i) column = nextColumn(column, at(i));
    return column;
}

void TextBuffer::moveGap(std::int64_t pos, std::int64_t room) {
    if (gapLength() < room) {
        // Grow by half the text as well, so that a run of insertions costs
        // linear time in all.
        const std::int64_t grow = room + GapRoom + size() / 2;
        buf_.insert(buf_.begin() + gapEnd_, static_cast<std::size_t>(grow), u'\0');
        gapEnd_ += grow;
    }
    if (pos < gapStart_) {
        std::copy_backward(buf_.begin() + pos, buf_.begin() + gapStart_, buf_.begin() + gapEnd_);
        gapEnd_ -= gapStart_ - pos;
        gapStart_ = pos;
    } else if (pos > gapStart_) {
        std::copy(buf_.begin() + gapEnd_, buf_.begin() + gapEnd_ + (pos - gapStart_), buf_.begin() + gapStart_);
        gapEnd_ += pos - gapStart_;
        gapStart_ = pos;
    }
}

// Changes the characters and the line index, nothing else.
void TextBuffer::apply(std::int64_t from, std::int64_t to, std::u16string_view with) {
    const auto added = static_cast<std::int64_t>(with.size());
    moveGap(to, added - (to - from));
    gapStart_ = from;  // the removed characters join the gap
    std::copy(with.begin(), with.end(), buf_.begin() + gapStart_);
    gapStart_ += added;

    // Lines that started inside the removed characters are gone; those after
    // them move; every LF of `with` starts a line.
    auto first = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), from);
    auto last = std::upper_bound(first, lineStarts_.end(), to);
    const std::int64_t delta = added - (to - from);
    for (auto it = last; it != lineStarts_.end(); ++it) *it += delta;
    std::vector<std::int64_t> starts;
    for (std::int64_t i = 0; i < added; ++i)
        if (with[static_cast<std::size_t>(i)] == u'\n') starts.push_back(from + i + 1);
    first = lineStarts_.erase(first, last);
    lineStarts_.insert(first, starts.begin(), starts.end());

    const std::int64_t firstLine = lineOf(from), lastLine = lineOf(from + added);
    for (std::int64_t line = firstLine; line <= lastLine; ++line)
        widest_ = std::max(widest_, columns(lineStart(line), lineEnd(line)));
    ++revision_;
}

// Many changes at once: the text and its line index are made again in one
// pass, where one change after the other would move the rest of the text
// and of the index for each (a Replace All on every line of a big file).
void TextBuffer::applyAll(const std::vector<Edit>& edits) {
    if (edits.size() <= 64) {
        // Few changes: one after the other, from the last, so that those
        // before keep their places.
        for (auto e = edits.rbegin(); e != edits.rend(); ++e) apply(e->from, e->to, e->with);
        return;
    }
    std::int64_t length = size();
    for (const Edit& e : edits) length += static_cast<std::int64_t>(e.with.size()) - (e.to - e.from);
    decltype(buf_) out(static_cast<std::size_t>(length + GapRoom));
    std::int64_t n = 0, done = 0;
    auto copy = [&](std::int64_t to) {
        for (; done < to; ++done) out[n++] = at(done);
    };
    for (const Edit& e : edits) {
        copy(e.from);
        for (char16_t c : e.with) out[n++] = c;
        done = e.to;
    }
    copy(size());
    buf_.swap(out);
    gapStart_ = length;
    gapEnd_ = length + GapRoom;
    lineStarts_.assign(1, 0);
    for (std::int64_t i = 0; i < length; ++i)
        if (buf_[i] == u'\n') lineStarts_.push_back(i + 1);
    for (std::int64_t line = 0; line < lineCount(); ++line)
        widest_ = std::max(widest_, columns(lineStart(line), lineEnd(line)));
    ++revision_;
}

void TextBuffer::replace(std::int64_t from, std::int64_t to, std::u16string_view with, bool typing) {
    from = std::clamp<std::int64_t>(from, 0, size());
    to = std::clamp<std::int64_t>(to, from, size());
    if (from == to && with.empty()) return;
    const bool joins = typing && lastWasTyping_ && !undo_.empty() && from == to && undo_.back().size() == 1 &&
                       undo_.back().back().at + static_cast<std::int64_t>(undo_.back().back().inserted.size()) == from;
    if (joins) undo_.back().back().inserted += with;
    else undo_.push_back(Step{Change{from, text(from, to), std::u16string(with)}});
    apply(from, to, with);
    redo_.clear();
    lastWasTyping_ = typing;
}

void TextBuffer::replaceEach(const std::vector<std::pair<std::int64_t, std::int64_t>>& spans,
                             std::u16string_view with) {
    if (spans.empty()) return;
    Step step;
    std::vector<Edit> edits;
    step.reserve(spans.size());
    edits.reserve(spans.size());
    for (const auto& [from, to] : spans) {
        step.push_back(Change{from, text(from, to), std::u16string(with)});
        edits.push_back(Edit{from, to, with});
    }
    applyAll(edits);
    undo_.push_back(std::move(step));
    redo_.clear();
    lastWasTyping_ = false;
}

// Undoes (back) or redoes the last step of `from` and moves it to `to`; the
// answer is the end of the step's last change in the text after.
std::int64_t TextBuffer::takeStep(std::vector<Step>& from, std::vector<Step>& to, bool back) {
    Step step = std::move(from.back());
    from.pop_back();
    std::vector<Edit> edits;
    edits.reserve(step.size());
    std::int64_t shift = 0, lastShift = 0;  // how far the changes before have moved this one
    for (const Change& c : step) {
        const std::u16string& now = back ? c.inserted : c.removed;
        const std::u16string& then = back ? c.removed : c.inserted;
        const std::int64_t at = back ? c.at + shift : c.at;
        edits.push_back(Edit{at, at + static_cast<std::int64_t>(now.size()), then});
        lastShift = shift;
        shift += static_cast<std::int64_t>(c.inserted.size()) - static_cast<std::int64_t>(c.removed.size());
    }
    applyAll(edits);
    const Change& last = step.back();
    const std::int64_t caret = back ? last.at + static_cast<std::int64_t>(last.removed.size())
                                    : last.at + lastShift + static_cast<std::int64_t>(last.inserted.size());
    to.push_back(std::move(step));
    lastWasTyping_ = false;
    return caret;
}

std::optional<std::int64_t> TextBuffer::undo() {
    if (undo_.empty()) return std::nullopt;
    return takeStep(undo_, redo_, true);
}

std::optional<std::int64_t> TextBuffer::redo() {
    if (redo_.empty()) return std::nullopt;
    return takeStep(redo_, undo_, false);
}

std::u16string TextBuffer::crlfLineEnds(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
        out += text[i];
    }
    return out;
}

}  // namespace textbox
