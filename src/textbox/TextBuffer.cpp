#include "textbox/TextBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>

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
        for (std::size_t b = 0; b < t.size(); ++b) t[b] = platform::charOfByte(static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

constexpr std::int64_t Mask = TextBlockSize - 1;

std::size_t blockOf(std::int64_t k) { return static_cast<std::size_t>(k >> TextBlockBits); }

std::shared_ptr<char16_t[]> newBlock() {
    return std::make_shared_for_overwrite<char16_t[]>(static_cast<std::size_t>(TextBlockSize));
}

// Storage for `length` characters and the room of the gap after them.
std::vector<TextBlock> freshBlocks(std::int64_t length) {
    std::vector<TextBlock> blocks(blockOf(length + GapRoom + Mask));
    for (TextBlock& b : blocks) b.chars = newBlock();
    return blocks;
}

// Writes characters one after the other into fresh blocks, from the first.
struct Filler {
    std::vector<TextBlock>& blocks;
    std::int64_t written = 0;
    char16_t* next = nullptr;
    std::int64_t room = 0;
    void put(char16_t c) {
        if (room == 0) {
            next = blocks[blockOf(written)].chars.get();
            room = TextBlockSize;
        }
        *next++ = c;
        --room;
        ++written;
    }
};

// Calls f(chars, n) for each run of the characters [from, to) of a text kept
// in `blocks` with a gap [gapStart, gapEnd), in order.
template <class F>
void eachRun(const std::vector<TextBlock>& blocks, std::int64_t gapStart, std::int64_t gapEnd, std::int64_t from,
             std::int64_t to, F f) {
    auto places = [&](std::int64_t a, std::int64_t b) {
        while (a < b) {
            const std::int64_t n = std::min(b - a, TextBlockSize - (a & Mask));
            f(blocks[blockOf(a)].chars.get() + (a & Mask), n);
            a += n;
        }
    };
    const std::int64_t split = std::clamp(gapStart, from, to);
    places(from, split);
    places(split + gapEnd - gapStart, to + gapEnd - gapStart);
}

// The bytes of such a text; a character that no byte holds becomes "?".
std::string bytesOf(const std::vector<TextBlock>& blocks, std::int64_t gapStart, std::int64_t gapEnd,
                    std::int64_t size) {
    std::string out(static_cast<std::size_t>(size), '\0');
    std::size_t at = 0;
    eachRun(blocks, gapStart, gapEnd, 0, size, [&](const char16_t* chars, std::int64_t n) {
        for (std::int64_t i = 0; i < n; ++i) {
            const int byte = platform::byteOfChar(chars[i]);
            out[at++] = byte < 0 ? '?' : static_cast<char>(byte);
        }
    });
    return out;
}

}  // namespace

std::string TextSnapshot::bytes() const { return bytesOf(blocks_, gapStart_, gapEnd_, size_); }

TextSnapshot TextBuffer::snapshot() {
    for (TextBlock& b : blocks_) b.shared = true;
    TextSnapshot s;
    s.blocks_ = blocks_;
    s.gapStart_ = gapStart_;
    s.gapEnd_ = gapEnd_;
    s.size_ = size();
    return s;
}

void TextBuffer::setBytes(std::string_view bytes, bool crlf) {
    std::int64_t bareLfs = 0;
    if (crlf)
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ++bareLfs;
    const auto length = static_cast<std::int64_t>(bytes.size()) + bareLfs;
    blocks_.clear();
    blocks_ = freshBlocks(length);
    lineStarts_.assign(1, 0);
    const std::array<char16_t, 256>& chars = charsOfBytes();
    Filler out{blocks_};
    std::int64_t column = 0;
    widest_ = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\n') {
            const bool cr = i > 0 && bytes[i - 1] == '\r';
            if (crlf && !cr) out.put(u'\r');
            out.put(u'\n');
            lineStarts_.push_back(out.written);
            widest_ = std::max(widest_, column - (cr ? 1 : 0));  // the CR of the line end took a column
            column = 0;
        } else {
            out.put(chars[byte]);
            column = nextColumn(column, byte);
        }
    }
    widest_ = std::max(widest_, column);
    gapStart_ = length;
    gapEnd_ = capacity();
    undo_.clear();
    redo_.clear();
    lastWasTyping_ = false;
    ++revision_;
}

std::string TextBuffer::bytes() const { return bytesOf(blocks_, gapStart_, gapEnd_, size()); }

std::u16string TextBuffer::text(std::int64_t from, std::int64_t to) const {
    from = std::clamp<std::int64_t>(from, 0, size());
    to = std::clamp<std::int64_t>(to, from, size());
    std::u16string out;
    out.reserve(static_cast<std::size_t>(to - from));
    eachRun(blocks_, gapStart_, gapEnd_, from, to,
            [&](const char16_t* chars, std::int64_t n) { out.append(chars, static_cast<std::size_t>(n)); });
    return out;
}

std::int64_t TextBuffer::lineEnd(std::int64_t line) const {
    if (line + 1 >= lineCount()) return size();
    const std::int64_t lf = lineStart(line + 1) - 1;
    return lf > lineStart(line) && at(lf - 1) == u'\r' ? lf - 1 : lf;
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

char16_t* TextBuffer::writable(std::int64_t k) {
    TextBlock& b = blocks_[blockOf(k)];
    if (b.shared) {
        std::shared_ptr<char16_t[]> own = newBlock();
        std::copy_n(b.chars.get(), TextBlockSize, own.get());
        b.chars = std::move(own);
        b.shared = false;
    }
    return b.chars.get();
}

void TextBuffer::moveChars(std::int64_t from, std::int64_t to, std::int64_t n) {
    // Run by run, each within one block at both ends; from the last run
    // when the characters move up, so that none is overwritten before it moved.
    const bool up = to > from;
    for (std::int64_t done = 0; done < n;) {
        std::int64_t len = 0, src = 0, dst = 0;
        if (up) {
            const std::int64_t srcEnd = from + n - done, dstEnd = to + n - done;
            len = std::min({n - done, ((srcEnd - 1) & Mask) + 1, ((dstEnd - 1) & Mask) + 1});
            src = srcEnd - len;
            dst = dstEnd - len;
        } else {
            src = from + done;
            dst = to + done;
            len = std::min({n - done, TextBlockSize - (src & Mask), TextBlockSize - (dst & Mask)});
        }
        char16_t* target = writable(dst) + (dst & Mask);
        std::memmove(target, blocks_[blockOf(src)].chars.get() + (src & Mask),
                     static_cast<std::size_t>(len) * sizeof(char16_t));
        done += len;
    }
}

void TextBuffer::store(std::int64_t to, std::u16string_view chars) {
    const auto n = static_cast<std::int64_t>(chars.size());
    for (std::int64_t done = 0; done < n;) {
        const std::int64_t dst = to + done, len = std::min(n - done, TextBlockSize - (dst & Mask));
        std::copy_n(chars.data() + done, len, writable(dst) + (dst & Mask));
        done += len;
    }
}

void TextBuffer::moveGap(std::int64_t pos, std::int64_t room) {
    if (gapLength() < room) {
        // New blocks go in where the gap ends: the characters after it keep
        // their blocks, and only those before the gap in its last block
        // move, to the first new one.
        const std::size_t at = blockOf(gapEnd_);
        std::vector<TextBlock> more(blockOf(room - gapLength() + GapRoom + Mask));
        for (TextBlock& b : more) b.chars = newBlock();
        const std::int64_t blockStart = static_cast<std::int64_t>(at) << TextBlockBits;
        if (gapStart_ > blockStart) std::copy_n(blocks_[at].chars.get(), gapStart_ - blockStart, more[0].chars.get());
        gapEnd_ += static_cast<std::int64_t>(more.size()) << TextBlockBits;
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(more.begin()),
                       std::make_move_iterator(more.end()));
    }
    if (pos < gapStart_) {
        moveChars(pos, pos + gapLength(), gapStart_ - pos);
        gapEnd_ -= gapStart_ - pos;
        gapStart_ = pos;
    } else if (pos > gapStart_) {
        moveChars(gapEnd_, gapStart_, pos - gapStart_);
        gapEnd_ += pos - gapStart_;
        gapStart_ = pos;
    }
}

// Changes the characters and the line index, nothing else.
void TextBuffer::apply(std::int64_t from, std::int64_t to, std::u16string_view with) {
    const auto added = static_cast<std::int64_t>(with.size());
    moveGap(to, added - (to - from));
    gapStart_ = from;  // the removed characters join the gap
    store(gapStart_, with);
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
    std::vector<TextBlock> blocks = freshBlocks(length);
    Filler out{blocks};
    std::int64_t done = 0;
    auto copy = [&](std::int64_t to) {
        for (; done < to; ++done) out.put(at(done));
    };
    for (const Edit& e : edits) {
        copy(e.from);
        for (char16_t c : e.with) out.put(c);
        done = e.to;
    }
    copy(size());
    blocks_.swap(blocks);
    gapStart_ = length;
    gapEnd_ = capacity();
    lineStarts_.assign(1, 0);
    for (std::int64_t i = 0; i < length; ++i)
        if (slot(i) == u'\n') lineStarts_.push_back(i + 1);
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
