#include "lsp/TextDocument.h"

#include <algorithm>

#include "platform/TextCodec.h"

namespace lsp {

namespace {

// The character at `i` of UTF-8 text and its length in bytes; a byte that
// starts no well-formed sequence stands for itself with length 1.
char32_t decodeAt(std::string_view s, std::size_t i, std::size_t& length) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : 9;
    if (n == 9 || (n > 0 && (b < 0xC2 || i + n >= s.size()))) {
        length = 1;
        return b;
    }
    char32_t c = n == 0 ? b : b & (0x3Fu >> n);
    for (std::size_t k = 1; k <= n; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t >> 6) != 2) {
            length = 1;
            return b;
        }
        c = (c << 6) | (t & 0x3F);
    }
    length = n + 1;
    return c;
}

}  // namespace

long utf16Length(std::string_view utf8) {
    long units = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = 0;
        const char32_t c = decodeAt(utf8, i, n);
        units += c > 0xFFFF ? 2 : 1;
        i += n;
    }
    return units;
}

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += utf8[i++];
            continue;
        }
        std::size_t n = 0;
        const char32_t c = decodeAt(utf8, i, n);
        const int byte = n == 1 ? -1 : platform::byteOfChar(c);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += n;
    }
    return out;
}

TextDocument::TextDocument(std::string text, long version) : text_(std::move(text)), version_(version) { indexLines(); }

void TextDocument::indexLines() {
    lineStarts_.assign(1, 0);
    for (std::size_t i = 0; i < text_.size(); ++i) {
        const char c = text_[i];
        if (c == '\n' || (c == '\r' && (i + 1 == text_.size() || text_[i + 1] != '\n'))) lineStarts_.push_back(i + 1);
    }
}

std::string_view TextDocument::line(long line) const {
    if (line < 0 || line >= lineCount()) return {};
    const std::size_t start = lineStarts_[static_cast<std::size_t>(line)];
    std::size_t end = line + 1 < lineCount() ? lineStarts_[static_cast<std::size_t>(line) + 1] : text_.size();
    if (end > start && text_[end - 1] == '\n') --end;
    if (end > start && text_[end - 1] == '\r') --end;
    return std::string_view(text_).substr(start, end - start);
}

std::size_t TextDocument::offsetOf(Position p) const {
    if (p.line < 0) return 0;
    if (p.line >= lineCount()) return text_.size();
    const std::string_view l = line(p.line);
    const std::size_t start = lineStarts_[static_cast<std::size_t>(p.line)];
    long units = 0;
    std::size_t i = 0;
    while (i < l.size() && units < p.character) {
        std::size_t n = 0;
        const char32_t c = decodeAt(l, i, n);
        units += c > 0xFFFF ? 2 : 1;
        // A position inside a surrogate pair means the character's start.
        if (units > p.character) break;
        i += n;
    }
    return start + i;
}

long TextDocument::lineLength16(long line) const { return utf16Length(this->line(line)); }

void TextDocument::replace(const std::optional<Range>& range, std::string_view newText) {
    if (!range) {
        text_.assign(newText);
    } else {
        const std::size_t start = offsetOf(range->start);
        const std::size_t end = std::max(start, offsetOf(range->end));
        text_.replace(start, end - start, newText);
    }
    indexLines();
}

}  // namespace lsp
