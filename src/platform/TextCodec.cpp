#include "platform/TextCodec.h"

#include <array>

namespace platform {
namespace {

// The characters of bytes 0x80-0x9F; the unassigned ones keep their code point.
constexpr std::array<char16_t, 32> High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isLineEnd(char16_t c) { return c == u'\n' || c == 0x2028 || c == 0x2029; }

// The length of the well-formed UTF-8 sequence of 2-4 bytes at `at` and its
// character; 0 when there is none.
int utf8Sequence(std::string_view s, std::size_t at, char32_t& code) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(at);
    int len = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4, code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + static_cast<std::size_t>(len) > s.size()) return 0;
    for (int i = 1; i < len; ++i) {
        const unsigned char c = b(at + static_cast<std::size_t>(i));
        if ((c & 0xC0) != 0x80) return 0;
        code = (code << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((len == 3 && code < 0x800) || (len == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return len;
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// The character at `i` of a UTF-16 text (a pair of surrogates is one) and its length.
char32_t codeAt(std::u16string_view text, std::size_t i, std::size_t& width) {
    const char16_t c = text[i];
    width = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        width = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    return c;
}

}  // namespace

char16_t charOfByte(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte; }

int byteOfChar(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (std::size_t i = 0; i < High.size(); ++i)
        if (High[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::u16string displayText(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        if (const int len = utf8Sequence(bytes, i, code)) {
            appendUtf16(out, code);
            i += static_cast<std::size_t>(len);
        } else {
            out += charOfByte(static_cast<unsigned char>(bytes[i++]));
        }
    }
    return out;
}

std::string displayBytes(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0, width = 1; i < text.size(); i += width) out += utf8(codeAt(text, i, width));
    return out;
}

std::optional<UnsavableChar> firstUnsavableChar(std::u16string_view text, std::u16string_view allowed) {
    std::int64_t line = 1;
    for (std::size_t i = 0, width = 1; i < text.size(); i += width) {
        const char32_t c = codeAt(text, i, width);
        if (isLineEnd(text[i])) ++line;
        else if (byteOfChar(c) < 0 && allowed.find(text[i]) == std::u16string_view::npos) return UnsavableChar{c, line};
    }
    return std::nullopt;
}

std::string toLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // A CR LF after a CR stays: the line before it ends with that CR, and a
    // bare LF after it would read back as a CR LF, losing the CR.
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' && (i == 0 || text[i - 1] != '\r')))
            out += text[i];
    return out;
}

std::string toCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

void LineEndSurvey::feed(std::string_view chunk) {
    for (const char c : chunk) {
        if (c == '\n') (lastWasCr_ ? sawCrLf_ : sawLf_) = true;
        lastWasCr_ = c == '\r';
    }
}

}  // namespace platform
