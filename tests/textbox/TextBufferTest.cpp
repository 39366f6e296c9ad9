// The text buffer alone: bytes one for one, the line index through edits, undo.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <tuple>

#include "textbox/TextBuffer.h"

using namespace textbox;

TEST(TextBuffer, HoldsBytesOneForOneAndIndexesLinesThroughEdits) {
    TextBuffer b;
    b.setBytes("a\nb\r\n\x80\rc", false);  // kept as given: positions are byte positions
    EXPECT_EQ(b.size(), 8);
    EXPECT_EQ(b.lineCount(), 3);
    EXPECT_EQ(std::tuple(b.lineEnd(0), b.lineStart(1), b.lineEnd(1), b.lineStart(2), b.lineEnd(2)),
              std::tuple(1, 2, 3, 5, 8));
    EXPECT_EQ(b.at(5), u'\u20AC');
    EXPECT_EQ(std::tuple(b.clamp(4), b.clamp(4, true), b.clamp(7), b.clamp(99)), std::tuple(3, 5, 7, 8));
    b.setBytes("\nx\r\n\t", true);  // the editor's text: every line end CR LF
    EXPECT_EQ(b.bytes(), "\r\nx\r\n\t");
    EXPECT_EQ(b.widestLine(), 8);

    // Edits that join, split and remove lines keep the index right; the
    // gap moves both ways and grows past its room.
    b.setBytes("one\r\ntwo\r\nthree", true);
    b.replace(3, 10, u"+");
    EXPECT_EQ(std::tuple(b.bytes(), b.lineCount(), b.lineOf(4)), std::tuple("one+three", 1, 0));
    b.replace(0, 0, std::u16string(5000, u'x') + u"\r\n");
    b.replace(5005, 5005, u"\r\n\u2192");
    EXPECT_EQ(b.lineCount(), 3);
    EXPECT_EQ(std::tuple(b.lineStart(1), b.lineStart(2), b.lineEnd(2)), std::tuple(5002, 5007, 5014));
    EXPECT_EQ(b.bytes().substr(5002), "one\r\n?+three");
    EXPECT_EQ(b.text(5005, 5008), u"\r\n\u2192");
    EXPECT_EQ(b.widestLine(), 5000);
}

TEST(TextBuffer, UndoesTypingAsOneStepAndAGroupAsOne) {
    TextBuffer b;
    b.setBytes("ab", true);
    EXPECT_FALSE(b.undo());  // setting the text is no step
    for (char16_t c : std::u16string(u"xyz")) b.replace(b.size(), b.size(), std::u16string(1, c), true);
    b.replace(0, 1, u"A", true);  // typed over a selection: a step of its own
    EXPECT_EQ(b.bytes(), "Abxyz");
    EXPECT_EQ(b.undo(), 1);
    EXPECT_EQ(b.undo(), 2);
    EXPECT_EQ(b.bytes(), "ab");
    EXPECT_EQ(b.redo(), 5);
    EXPECT_EQ(b.bytes(), "abxyz");

    b.replaceEach({{0, 1}, {3, 4}, {5, 5}}, u"\r\n");  // a Replace All: one step
    EXPECT_EQ(std::tuple(b.bytes(), b.lineCount(), b.lineStart(3)), std::tuple("\r\nbx\r\nz\r\n", 4, 9));
    EXPECT_EQ(b.undo(), 5);
    EXPECT_EQ(std::tuple(b.bytes(), b.lineCount()), std::tuple("abxyz", 1));
    EXPECT_EQ(b.redo(), 9);
    EXPECT_EQ(b.bytes(), "\r\nbx\r\nz\r\n");
    EXPECT_TRUE(b.undo());
    b.replace(0, 0, u"q");  // a new edit forgets what could be done again
    EXPECT_FALSE(b.redo());

    // Hundreds of changes go in one pass; the index and undo agree with it.
    std::string lines;
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (int i = 0; i < 300; ++i) spans.emplace_back(lines.size(), lines.size() + 1), lines += "a\r\n";
    b.setBytes(lines, true);
    b.replaceEach(spans, u"b\tb");
    EXPECT_EQ(std::tuple(b.size(), b.lineCount(), b.lineStart(299), b.lineEnd(299), b.widestLine()),
              std::tuple(1500, 301, 1495, 1498, 9));
    EXPECT_EQ(b.undo(), 898);
    EXPECT_EQ(std::tuple(b.bytes(), b.lineStart(299)), std::tuple(lines, 897));
}

// Edits over many blocks, a snapshot taken between them: each snapshot keeps
// the text of its moment, read on another thread while the buffer goes on.
TEST(TextBuffer, SnapshotsKeepTheirTextWhileTheBufferIsEdited) {
    std::mt19937 random(7);
    TextBuffer b;
    std::string model(100000, 'a');
    b.setBytes(model, false);
    std::vector<std::pair<TextSnapshot, std::string>> taken;
    std::thread reader;
    for (unsigned step = 0; step < 400; ++step) {
        const auto from = static_cast<std::int64_t>(random() % (model.size() + 1));
        const auto to = std::min(from + static_cast<std::int64_t>(random() % (step % 10 ? 40 : 40000)), b.size());
        const std::string with(random() % (step % 7 ? 30 : 50000), static_cast<char>('b' + step % 20));
        if (step % 30 == 0 && step < 300) taken.emplace_back(b.snapshot(), model);
        if (step == 300)
            reader = std::thread([&] {
                for (auto& [s, text] : taken) EXPECT_TRUE(s.bytes() == text);
            });
        b.replace(from, to, std::u16string(with.begin(), with.end()));
        model.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), with);
    }
    reader.join();
    EXPECT_TRUE(b.bytes() == model);
}
