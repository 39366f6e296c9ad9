// Bytes to characters and back, texts for boxes, line ends.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"

using namespace platform;

TEST(TextCodec, EveryByteRoundTripsAndOnlyWindows1252CharactersHaveBytes) {
    for (int b = 0; b < 256; ++b) EXPECT_EQ(byteOfChar(charOfByte(static_cast<unsigned char>(b))), b);
    const struct { char32_t c; int byte; } cases[] = {
        {0x20AC, 0x80}, {0x81, 0x81}, {0x201C, 0x93}, {0x178, 0x9F}, {0xFF, 0xFF}, {0x80, -1},
        {0x9F, -1}, {0x2192, -1}, {0x100, -1}, {0x1F600, -1}};
    for (const auto& c : cases) EXPECT_EQ(byteOfChar(c.c), c.byte) << static_cast<unsigned>(c.c);
}

TEST(TextCodec, DisplayTextReadsUtf8SequencesAndWindows1252Bytes) {
    const struct { std::string bytes; std::u16string text; } cases[] = {
        {"", u""}, {"M\xC3\x93" "DULO", u"M\u00D3DULO"}, {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"Funci\xF3n \x80", u"Funci\u00F3n \u20AC"}, {"\xC3", u"\u00C3"}, {"\xC0\xAF", u"\u00C0\u00AF"},
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"}, {"\xE2\x82", u"\u00E2\u201A"}};
    for (const auto& c : cases) {
        EXPECT_EQ(displayText(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(displayText(displayBytes(c.text)), c.text) << c.bytes;
    }
}

TEST(TextCodec, FirstUnsavableCharacterAndItsLine) {
    EXPECT_FALSE(firstUnsavableChar(u""));
    EXPECT_FALSE(firstUnsavableChar(u"\u20AC\u00FF\n\u2029\u2028\u240D", u"\u240D"));
    const struct { std::u16string text; char32_t code; int line; } cases[] = {
        {u"a\u2192", 0x2192, 1}, {u"a\nb\u2029c\u2028\U0001F600", 0x1F600, 4}, {u"\u240D", 0x240D, 1}};
    for (const auto& c : cases) {
        const auto u = firstUnsavableChar(c.text);
        ASSERT_TRUE(u);
        EXPECT_EQ(u->code, c.code);
        EXPECT_EQ(u->line, c.line);
    }
}

TEST(TextCodec, LineEnds) {
    EXPECT_EQ(toLfLineEnds("a\r\nb\r\r\n\n\r"), "a\nb\r\n\n\r");
    EXPECT_EQ(toCrLfLineEnds("\na\nb\r\n\r"), "\r\na\r\nb\r\n\r");
    const struct { std::vector<std::string> chunks; bool bareLf; } cases[] = {
        {{}, false}, {{"a"}, false}, {{"a\n", "b\n"}, true}, {{"a\r", "\nb\n"}, false},
        {{"a\n\r", "b"}, true}, {{"a\nb\r\n"}, false}};
    for (const auto& c : cases) {
        LineEndSurvey s;
        for (const auto& chunk : c.chunks) s.feed(chunk);
        EXPECT_EQ(s.allBareLf(), c.bareLf);
    }
}
