#pragma once
// How the programs' bytes become characters and back. Source text is 8-bit
// Windows-1252; the five bytes that code page leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) keep their code points, so every byte survives a round
// trip. File names are bytes as the system names them (UTF-8). Line ends are
// CR LF inside the programs and LF on the system's clipboard.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The character of a source byte: 0x80 -> U+20AC (euro sign), 0xE9 -> U+00E9.
char16_t charOfByte(unsigned char byte);

// The byte of a character; -1 when no byte holds it. U+201C -> 0x93, U+2192 -> -1.
int byteOfChar(char32_t c);

// The UTF-8 bytes of a character. U+20AC -> "\xE2\x82\xAC".
std::string utf8(char32_t c);

// Text for captions and message boxes, which join file names (UTF-8) and
// source text (Windows-1252): every well-formed UTF-8 sequence of two to
// four bytes is read as UTF-8, every other byte by Windows-1252.
// "M\xC3\x93DULO \x80" -> u"MÓDULO €".
std::u16string displayText(std::string_view bytes);

// The bytes of a caption read back: ASCII as is, every other character as
// UTF-8, so that displayText gives the same text again.
std::string displayBytes(std::u16string_view text);

// A character of a text that no byte can hold, and its 1-based line.
struct UnsavableChar {
    char32_t code = 0;
    std::int64_t line = 1;
};

// The first character of a widget text (UTF-16; a line ends at LF, U+2028
// or U+2029) that no byte holds. Characters in `allowed` are not looked at
// (the widget's stand-ins for bytes).
std::optional<UnsavableChar> firstUnsavableChar(std::u16string_view text, std::u16string_view allowed = {});

// The text with every CR LF turned into LF, but for one after a CR, which
// keeps the CR that ends its line. "a\r\nb\r" -> "a\nb\r", "a\r\r\n" stays.
std::string toLfLineEnds(std::string_view text);

// The text with every bare LF turned into CR LF. "a\nb\r\n" -> "a\r\nb\r\n".
std::string toCrLfLineEnds(std::string_view text);

// Reads a text in pieces and tells whether all its line ends are bare LF
// (there is at least one line end and no CR LF).
class LineEndSurvey {
public:
    void feed(std::string_view chunk);
    bool allBareLf() const { return sawLf_ && !sawCrLf_; }

private:
    bool sawLf_ = false;
    bool sawCrLf_ = false;
    bool lastWasCr_ = false;
};

}  // namespace platform
