#pragma once
// Find and Replace of the editor: the search state that lives for the whole
// run, one search step over the editor text and the replace-all command.
// Plain C++: the editor window adapts its text control to SearchTarget.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace editor {

// What the Find and Replace dialogs leave behind for the search commands.
struct SearchState {
    std::string searchText;
    std::string replacement;
    bool caseSensitive = false;
    // 1 = down (forward), 0 = up (backward): the index of the chosen button.
    int direction = 0;
    // Selection start of the editor after the last search.
    std::int64_t lastFoundPosition = 0;
    // Set between the Find command and its first search, so that this search
    // may find a match that begins at the caret.
    bool firstSearch = false;
};

// The program-wide search state; empty at start-up.
SearchState& searchState();

// The text control a search works on. The text has CR LF line ends and
// positions are 0-based offsets into it.
class SearchTarget {
public:
    virtual ~SearchTarget() = default;
    virtual std::string text() const = 0;
    virtual std::int64_t selStart() const = 0;
    virtual void select(std::int64_t start, std::int64_t length) = 0;
    virtual void setText(const std::string& text) = 0;
    // Replaces `length` characters at each of `starts` (ascending, apart)
    // with `replacement`, as one edit. By default through setText; a text
    // control overrides it to change only those characters.
    virtual void replaceAt(const std::vector<std::int64_t>& starts, std::int64_t length,
                           const std::string& replacement);
};

// Where `find` occurs in `text`, as a 1-based position, or 0.
// Down (direction 1): the first occurrence at or after position start + 1.
//   findInText("abc abc", "abc", 1, 1) == 5
// Up (any other direction): the nearest occurrence beginning at start - 1,
// start - 2, ..., 1, whatever its end.
//   findInText("abc abc", "abc", 0, 5) == 1; findInText("abc", "abc", 0, 0) == 0
// Without case sensitivity both texts are compared in upper case, the
// accented letters of Windows-1252 included.
std::int64_t findInText(const std::string& text, const std::string& find, int direction, std::int64_t start,
                        bool caseSensitive = true);

// The 0-based starts of the occurrences of `find` (with case), left to
// right, each search going on after the last occurrence; none for "".
//   occurrences("aaaaa", "aa") == {0, 2}
std::vector<std::int64_t> occurrences(const std::string& text, const std::string& find);

// One search step of Find and Find Next: selects the next match from the
// caret in the state's direction, or shows "Cannot find "..."" titled
// `title`. Never wraps around the end or the start of the text. The step
// after a match starts one character past it, except for the first step
// after the Find dialog, which may match at the caret itself.
void FindText(SearchState& state, SearchTarget& target, platform::MessageBoxes& boxes, const std::string& title);

// Replace all: every occurrence of the search text, left to right, with case,
// becomes the replacement, in one edit of the target.
void ReplaceInText(const SearchState& state, SearchTarget& target);

}  // namespace editor
