// The search step and replace-all over a text held in memory: the edges the
// dialogs cannot reach easily (the window tests run the examples).

#include "editor/Search.h"
#include "support/Recording.h"
#include "platform/RuntimeError.h"
#include "support/Cases.h"

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

TEST(Search, FindInTextAtTheEdges) {
    for (const auto& r : cases::rows("editor_ui/cases/search.txt"))
        EXPECT_EQ(editor::findInText(r[0], r[1], std::stoi(r[2]), std::stoll(r[3]), r[4] == "1"), std::stoll(r[5]))
            << r[0] << " / " << r[1] << " dir " << r[2] << " from " << r[3];
}

TEST(Search, FindTextStepsFromTheCaretAndRemembersIt) {
    SearchState state;
    MemoryTarget target;
    platform::RecordingMessageBoxes boxes;
    auto find = [&](const std::string& what, int direction = 1) {
        state.searchText = what, state.direction = direction, state.firstSearch = true;
        editor::FindText(state, target, boxes, "Varnel");
    };
    auto next = [&] { editor::FindText(state, target, boxes, "Varnel"); };
    // The first search matches at the caret, later ones step past it; a caret
    // moved away is searched from where it is.
    target.content = "aaa";
    target.select(1, 0);
    find("a");
    EXPECT_EQ(target.start, 1);
    next();
    EXPECT_EQ(target.start, 2);
    target.select(0, 0);
    next();
    EXPECT_EQ(target.start, 0);
    // Positions count both characters of a line end.
    target.content = "ab\r\ncd\r\nab";
    find("AB");
    next();
    EXPECT_EQ(std::pair(target.start, state.lastFoundPosition), std::pair(std::int64_t{8}, std::int64_t{8}));
    target.content = "x\r\ny";
    target.select(0, 0);
    find("\r\ny");
    EXPECT_EQ(std::pair(target.start, target.length), std::pair(std::int64_t{1}, std::int64_t{3}));
    EXPECT_TRUE(boxes.shown.empty());
    // Upward, "ab" ending at the caret is not found from position 2; the
    // caret is remembered and the first-search flag cleared, found or not.
    target.content = "xab";
    target.select(2, 0);
    find("ab", 0);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(state.lastFoundPosition, 2);
    EXPECT_FALSE(state.firstSearch);
    // A run-time error is reported and leaves the state alone.
    target.failing = true;
    find("abc");
    EXPECT_EQ(std::tuple(boxes.last().text, boxes.last().title, boxes.last().icon),
              std::tuple("Overflow", "Kestrin Error", platform::Icon::Stop));
    EXPECT_EQ(state.lastFoundPosition, 2);
    EXPECT_TRUE(state.firstSearch);
}

TEST(Search, ReplaceInTextReplacesEveryOccurrenceWithCaseLeftToRight) {
    // Replaced text is never searched again, and the case box never applies.
    for (auto [search, replacement, text, replaced] : {std::array<const char*, 4>{"a", "b", "Aa", "Ab"},
                                                       {"aa", "a", "aaaaa", "aaa"},
                                                       {"x", "xx", "x\r\nx", "xx\r\nxx"}}) {
        MemoryTarget target;
        SearchState state;
        state.searchText = search, state.replacement = replacement, target.content = text;
        editor::ReplaceInText(state, target);
        EXPECT_EQ(target.content, replaced) << search << " -> " << replacement;
    }
    const SearchState& s = editor::searchState();  // the program starts with an empty search, direction up
    EXPECT_EQ(s.searchText + s.replacement, "");
    EXPECT_EQ(s.direction + s.lastFoundPosition, 0);
    EXPECT_FALSE(s.caseSensitive || s.firstSearch);
}

}  // namespace
