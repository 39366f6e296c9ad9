// Bytes to characters and back, texts for boxes, line ends.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"

using namespace platform;

TEST(TextCodec, BytesAndCharacters) {
    for (int b = 0; b < 256; ++b) EXPECT_EQ(byteOfChar(charOfByte(static_cast<unsigned char>(b))), b);
    for (const char32_t c : {0x80, 0x9F, 0x100, 0x2192, 0x1F600}) EXPECT_EQ(byteOfChar(c), -1);
    EXPECT_EQ(byteOfChar(0x20AC), 0x80);
    EXPECT_EQ(byteOfChar(0x178), 0x9F);
    const std::pair<std::string, std::u16string> display[] = {
        {"", u""}, {"M\xC3\x93\xF0\x9F\x98\x80", u"M\u00D3\U0001F600"}, {"Funci\xF3n \x80", u"Funci\u00F3n \u20AC"},
        {"\xC3", u"\u00C3"}, {"\xC0\xAF", u"\u00C0\u00AF"}, {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"}};
    for (const auto& [bytes, text] : display) {
        EXPECT_EQ(displayText(bytes), text) << bytes;
        EXPECT_EQ(displayText(displayBytes(text)), text) << bytes;
    }
    EXPECT_FALSE(firstUnsavableChar(u"\u20AC\u00FF\u240D", u"\u240D"));
    const auto u = firstUnsavableChar(u"a\nb\u2029c\u2028\U0001F600");
    EXPECT_EQ(u->code, 0x1F600u);
    EXPECT_EQ(u->line, 4);
}

TEST(TextCodec, LineEnds) {
    EXPECT_EQ(toLfLineEnds("a\r\nb\r\r\n\n\r"), "a\nb\r\r\n\n\r");  // the CR that ends a line stays
    EXPECT_EQ(toCrLfLineEnds("\na\nb\r\n\r"), "\r\na\r\nb\r\n\r");
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{}, false}, {{"a"}, false}, {{"a\n", "b\r"}, true}, {{"a\r", "\nb\n"}, false}, {{"a\nb\r\n"}, false}};
    for (const auto& [chunks, bareLf] : cases) {
        LineEndSurvey s;
        for (const auto& chunk : chunks) s.feed(chunk);
        EXPECT_EQ(s.allBareLf(), bareLf);
    }
}
