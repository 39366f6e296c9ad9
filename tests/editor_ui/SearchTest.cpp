// The search step and replace-all over a text held in memory: the edges
// that the dialogs cannot reach easily (the window tests run the examples).
#include <array>
#include <gtest/gtest.h>
#include <tuple>

#include "editor/Search.h"
#include "platform/Recording.h"
#include "platform/RuntimeError.h"

using editor::SearchState;

namespace {

struct MemoryTarget : editor::SearchTarget {
    std::string content;
    std::int64_t start = 0, length = 0;
    bool failing = false;

    std::string text() const override {
        if (failing) throw platform::RuntimeError(6, "Overflow");
        return content;
    }
    std::int64_t selStart() const override { return start; }
    void select(std::int64_t s, std::int64_t l) override { start = s, length = l; }
    void setText(const std::string& t) override { content = t, start = length = 0; }
};

class FindTextTest : public ::testing::Test {
protected:
    // The state right after the Find dialog closed with its Find button.
    void findCommand(const std::string& what, int direction = 1, bool caseSensitive = false) {
        state.searchText = what;
        state.direction = direction;
        state.caseSensitive = caseSensitive;
        state.firstSearch = true;
        step();
    }
    void step() { editor::FindText(state, target, boxes, "Varnel"); }

    SearchState state;
    MemoryTarget target;
    platform::RecordingMessageBoxes boxes;
};

TEST_F(FindTextTest, UpFromTheCaretSkipsTheMatchJustBeforeIt) {
    // The first upward search tries positions two before the caret and
    // earlier, so "ab" ending at the caret is not found from position 2.
    target.content = "xab";
    target.select(2, 0);
    findCommand("ab", 0);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(FindTextTest, FirstSearchMatchesAtTheCaretLaterOnesStepPast) {
    target.content = "aaa";
    target.select(1, 0);
    findCommand("a");
    EXPECT_EQ(target.start, 1);
    step();
    EXPECT_EQ(target.start, 2);
    // A caret moved away from the last match is searched from where it is.
    target.select(0, 0);
    step();
    EXPECT_EQ(target.start, 0);
}

TEST_F(FindTextTest, RemembersTheCaretAndClearsTheFirstSearchFlagFoundOrNot) {
    target.content = "one two";
    findCommand("two");
    EXPECT_EQ(state.lastFoundPosition, 4);
    EXPECT_FALSE(state.firstSearch);

    target.select(2, 0);
    state.firstSearch = true;
    state.searchText = "zzz";
    step();
    EXPECT_EQ(state.lastFoundPosition, 2);
    EXPECT_FALSE(state.firstSearch);
}

TEST_F(FindTextTest, PositionsCountBothCharactersOfALineEnd) {
    target.content = "ab\r\ncd\r\nab";
    findCommand("AB");
    EXPECT_EQ(target.start, 0);
    step();
    EXPECT_EQ(target.start, 8);
    target.content = "x\r\ny";
    target.select(0, 0);
    findCommand("\r\ny");
    EXPECT_EQ(target.start, 1);
    EXPECT_EQ(target.length, 3);
}

TEST_F(FindTextTest, ARunTimeErrorIsReportedAndLeavesTheStateAlone) {
    target.content = "abc";
    state.lastFoundPosition = 7;
    target.failing = true;
    findCommand("abc");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.last().text, "Overflow");
    EXPECT_EQ(boxes.last().title, "Kestrin Error");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Stop);
    EXPECT_EQ(state.lastFoundPosition, 7);
    EXPECT_TRUE(state.firstSearch);
}

TEST(FindInText, EdgesOfTheText) {
    // text, find, direction, start, case sensitive -> 1-based position or 0
    const std::vector<std::tuple<std::string, std::string, int, std::int64_t, bool, std::int64_t>> cases = {
        {"", "a", 1, 0, true, 0},        {"", "a", 0, 0, true, 0},       {"abc", "abc", 1, 0, true, 1},
        {"abc", "abc", 1, 1, true, 0},   {"abc", "c", 1, 2, true, 3},    {"abc", "c", 1, 3, true, 0},
        // Upward a candidate must fit in the text: "ab" at 4 is too short.
        {"abcab", "abc", 0, 6, true, 1}, {"abcab", "ab", 0, 6, true, 4}, {"abc", "a", 0, 1, true, 0},
        {"abc", "a", 0, 2, true, 1},
        // Any direction but 1 searches upwards.
        {"abcab", "ab", 7, 6, true, 4},
        // Letters only change case; other bytes compare as they are.
        {"x\xe9y", "\xc9", 1, 0, false, 0}, {"x\xe9y", "\xe9", 1, 0, false, 2}};
    for (const auto& [text, find, direction, start, caseSensitive, found] : cases)
        EXPECT_EQ(editor::findInText(text, find, direction, start, caseSensitive), found)
            << text << " / " << find << " dir " << direction << " from " << start;
}

TEST(ReplaceInText, ReplacesEveryOccurrenceWithCaseLeftToRight) {
    // search, replacement, text -> text; replaced text is never searched again,
    // and the case box never applies.
    const std::vector<std::array<std::string, 4>> cases = {
        {"a", "b", "Aa", "Ab"}, {"aa", "a", "aaaaa", "aaa"}, {"x", "xx", "x\r\nx", "xx\r\nxx"}};
    for (const auto& [search, replacement, text, replaced] : cases) {
        MemoryTarget target;
        SearchState state;
        state.caseSensitive = false;
        state.searchText = search;
        state.replacement = replacement;
        target.content = text;
        editor::ReplaceInText(state, target);
        EXPECT_EQ(target.content, replaced) << search << " -> " << replacement;
    }
}

TEST(SearchStateTest, StartsEmptyWithTheDirectionUp) {
    const SearchState& s = editor::searchState();
    EXPECT_EQ(s.searchText + s.replacement, "");
    EXPECT_EQ(s.direction, 0);
    EXPECT_EQ(s.lastFoundPosition, 0);
    EXPECT_FALSE(s.caseSensitive || s.firstSearch);
}

}  // namespace
