#pragma once
// One document the editor has open: its UTF-8 text as the editor holds it,
// its version, and the translation between the protocol's positions (line,
// UTF-16 code unit) and byte offsets. Lines end at CR LF, LF or a lone CR.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lsp {

struct Position {
    long line = 0;
    long character = 0;  // UTF-16 code units from the line's start
};

struct Range {
    Position start, end;
};

class TextDocument {
public:
    TextDocument(std::string text, long version);

    const std::string& text() const { return text_; }
    long version() const { return version_; }
    void setVersion(long version) { version_ = version; }

    // Replaces the text of `range` (the whole text when there is none). A
    // position past a line's end means its end; a line past the last means
    // the text's end; an end before the start is taken as the start.
    void replace(const std::optional<Range>& range, std::string_view newText);

    long lineCount() const { return static_cast<long>(lineStarts_.size()); }
    // Line `line` without its line end ("" outside the text).
    std::string_view line(long line) const;
    // The byte offset of a position, clamped to the text as replace() says.
    std::size_t offsetOf(Position p) const;
    // The end of a line in UTF-16 code units: "a€b" -> 3, "😀" -> 2.
    long lineLength16(long line) const;

private:
    void indexLines();
    std::string text_;
    long version_;
    std::vector<std::size_t> lineStarts_;  // byte offset of each line's start; at least one
};

// The UTF-16 length of UTF-8 text: one unit per character, two for those
// beyond U+FFFF. Bytes that are no UTF-8 count one each.
long utf16Length(std::string_view utf8);

// UTF-8 text as the editor would save it: each character as its Windows-1252
// byte; a character that no byte holds becomes "?" (one byte, so lines and
// the count of characters before a line's end stay as they were).
std::string toWindows1252(std::string_view utf8);

}  // namespace lsp
