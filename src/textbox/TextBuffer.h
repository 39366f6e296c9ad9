#pragma once
// The text of an editing area: UTF-16 characters in a gap buffer, an index
// of where the lines start, and the undo history. Source bytes come in and
// go out by Windows-1252 (TextCodec.h), one character per byte, so that a
// position in the text is a position in the bytes. A line ends at LF or at
// CR LF; a CR on its own is an ordinary character.
//
// Memory is two bytes per character plus eight per line: a file of 20 MB
// is held in about 44 MB, where a rich text document needs five times that.
//
// The gap buffer's storage is cut into blocks of equal size, so that a
// snapshot of the whole text (for a thread that writes it away) shares them
// instead of copying the characters: a block once shared is never written
// again, and the buffer copies just the blocks that it changes afterwards.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace textbox {

inline constexpr int TextBlockBits = 14;  // 16,384 characters, 32 KB
inline constexpr std::int64_t TextBlockSize = std::int64_t{1} << TextBlockBits;

// One block of the buffer's storage; `shared` once a snapshot holds it too.
struct TextBlock {
    std::shared_ptr<char16_t[]> chars;
    bool shared = false;
};

// The text of a buffer as it was when the snapshot was taken. Taking one
// costs a pointer per block, not a copy of the text; it may be read on any
// thread while the buffer goes on being edited on its own.
class TextSnapshot {
public:
    std::int64_t size() const { return size_; }
    // The text as bytes, as TextBuffer::bytes gives them.
    std::string bytes() const;

private:
    friend class TextBuffer;
    std::vector<TextBlock> blocks_;
    std::int64_t gapStart_ = 0, gapEnd_ = 0, size_ = 0;
};

class TextBuffer {
public:
    // Two buffers never write the same blocks: a copy is a snapshot's business.
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    TextBuffer(TextBuffer&&) = default;
    TextBuffer& operator=(TextBuffer&&) = default;

    // Replaces the whole text and forgets the undo history. With crlf every
    // line end becomes CR LF (a bare LF gains its CR); without, the bytes
    // keep their line ends one for one.
    void setBytes(std::string_view bytes, bool crlf);
    // The text as bytes; a character that no byte holds becomes "?".
    std::string bytes() const;

    // The text as it is now, sharing the storage (see TextSnapshot).
    TextSnapshot snapshot();

    std::int64_t size() const { return capacity() - gapLength(); }
    char16_t at(std::int64_t pos) const { return slot(pos < gapStart_ ? pos : pos + gapLength()); }
    std::u16string text(std::int64_t from, std::int64_t to) const;
    std::u16string text() const { return text(0, size()); }

    std::int64_t lineCount() const { return static_cast<std::int64_t>(lineStarts_.size()); }
    std::int64_t lineStart(std::int64_t line) const { return lineStarts_[static_cast<std::size_t>(line)]; }
    // Where the characters of a line end: before its LF or CR LF.
    std::int64_t lineEnd(std::int64_t line) const;
    std::int64_t lineOf(std::int64_t pos) const;
    // The widest line in columns, a tab going on to the next multiple of 8;
    // it does not shrink when a wide line is shortened.
    std::int64_t widestLine() const { return widest_; }

    // pos within the text and not between the CR and the LF of a line end
    // (moved before them, or past them when roundUp).
    std::int64_t clamp(std::int64_t pos, bool roundUp = false) const;

    // Replaces the characters [from, to) with `with` as one undo step. A
    // typed character that goes on from the one typed before joins its step.
    void replace(std::int64_t from, std::int64_t to, std::u16string_view with, bool typing = false);
    // Replaces each span [from, to) (ascending, apart) with `with`, all as
    // one undo step, in one pass over the text however many there are.
    void replaceEach(const std::vector<std::pair<std::int64_t, std::int64_t>>& spans, std::u16string_view with);
    // Take back or do again the last step; the answer is where the caret
    // goes (the end of the step's last change), none when there was no step.
    std::optional<std::int64_t> undo();
    std::optional<std::int64_t> redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }

    // Counts the changes, so that a copy made of the text knows when it is out of date.
    std::uint64_t revision() const { return revision_; }

    // The text with every bare LF turned into CR LF.
    static std::u16string crlfLineEnds(std::u16string_view text);

private:
    // A step's changes are ascending and apart; `at` is where the change
    // starts in the text before the step.
    struct Change {
        std::int64_t at;
        std::u16string removed, inserted;
    };
    using Step = std::vector<Change>;
    struct Edit {
        std::int64_t from, to;
        std::u16string_view with;
    };

    std::int64_t gapLength() const { return gapEnd_ - gapStart_; }
    std::int64_t capacity() const { return static_cast<std::int64_t>(blocks_.size()) << TextBlockBits; }
    // The character at a place of the storage (the gap counted in).
    char16_t slot(std::int64_t k) const {
        return blocks_[static_cast<std::size_t>(k >> TextBlockBits)].chars[k & (TextBlockSize - 1)];
    }
    // The block that holds place k, made the buffer's own if a snapshot shares it.
    char16_t* writable(std::int64_t k);
    // Copies n characters of the storage from place `from` to place `to`;
    // the two ranges may overlap.
    void moveChars(std::int64_t from, std::int64_t to, std::int64_t n);
    void store(std::int64_t to, std::u16string_view chars);
    void moveGap(std::int64_t pos, std::int64_t room);
    void apply(std::int64_t from, std::int64_t to, std::u16string_view with);
    void applyAll(const std::vector<Edit>& edits);
    std::int64_t takeStep(std::vector<Step>& from, std::vector<Step>& to, bool back);
    std::int64_t columns(std::int64_t from, std::int64_t to) const;

    std::vector<TextBlock> blocks_;
    std::int64_t gapStart_ = 0, gapEnd_ = 0;
    std::vector<std::int64_t> lineStarts_{0};
    std::int64_t widest_ = 0;
    std::vector<Step> undo_, redo_;
    bool lastWasTyping_ = false;
    std::uint64_t revision_ = 0;
};

}  // namespace textbox
