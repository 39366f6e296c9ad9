#include "editor/Search.h"

#include <algorithm>
#include <iterator>

#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "textlib/TextLib.h"

namespace editor {

SearchState& searchState() {
    static SearchState state;
    return state;
}

namespace {

unsigned char upperByte(char c) { return static_cast<unsigned char>(textlib::upperLetter1252(c)); }

// The 0-based index of the first occurrence of `find` (not empty) in `text`
// at or after `from`, compared without regard to case, or npos. A skip
// table makes a big text cheap to search: no upper-cased copy is made.
std::size_t findNoCase(const std::string& text, const std::string& find, std::size_t from) {
    const std::size_t n = find.size();
    if (from > text.size() || text.size() - from < n) return std::string::npos;
    std::size_t skip[256];
    std::fill(std::begin(skip), std::end(skip), n);
    for (std::size_t k = 0; k + 1 < n; ++k) skip[upperByte(find[k])] = n - 1 - k;
    for (std::size_t i = from; i + n <= text.size(); i += skip[upperByte(text[i + n - 1])]) {
        std::size_t k = n;
        while (k > 0 && upperByte(text[i + k - 1]) == upperByte(find[k - 1])) --k;
        if (k == 0) return i;
    }
    return std::string::npos;
}

bool equalAt(const std::string& text, std::size_t at, const std::string& find, bool caseSensitive) {
    if (caseSensitive) return text.compare(at, find.size(), find) == 0;
    for (std::size_t k = 0; k < find.size(); ++k)
        if (upperByte(text[at + k]) != upperByte(find[k])) return false;
    return true;
}

}  // namespace

std::int64_t findInText(const std::string& text, const std::string& find, int direction, std::int64_t start,
                        bool caseSensitive) {
    if (direction == 1) {
        if (caseSensitive || find.empty()) return textlib::InStr(start + 1, text, find);
        const std::size_t hit = findNoCase(text, find, static_cast<std::size_t>(std::max<std::int64_t>(start, 0)));
        return hit == std::string::npos ? 0 : static_cast<std::int64_t>(hit) + 1;
    }

    // Upward: try the positions start - 1 down to 1; a candidate must fit
    // wholly inside the text.
    const auto len = static_cast<std::int64_t>(text.size());
    const auto flen = static_cast<std::int64_t>(find.size());
    for (std::int64_t pos = std::min(start - 1, len - flen + 1); pos >= 1; --pos)
        if (equalAt(text, static_cast<std::size_t>(pos - 1), find, caseSensitive)) return pos;
    return 0;
}

std::vector<std::int64_t> occurrences(const std::string& text, const std::string& find) {
    std::vector<std::int64_t> starts;
    if (find.empty()) return starts;
    for (auto at = text.find(find); at != std::string::npos; at = text.find(find, at + find.size()))
        starts.push_back(static_cast<std::int64_t>(at));
    return starts;
}

void FindText(SearchState& state, SearchTarget& target, platform::MessageBoxes& boxes, const std::string& title) {
    try {
        const std::int64_t p = target.selStart();
        std::int64_t a = (p == state.lastFoundPosition) ? 1 : 0;
        if (state.firstSearch) a = 0;
        const std::int64_t i = findInText(target.text(), state.searchText, state.direction, p + a, state.caseSensitive);
        if (i > 0) {
            target.select(i - 1, static_cast<std::int64_t>(state.searchText.size()));
        } else {
            boxes.show("Cannot find \"" + state.searchText + "\"", title, platform::Icon::Exclamation,
                       platform::Buttons::Ok);
        }
        state.lastFoundPosition = target.selStart();
        state.firstSearch = false;
    } catch (const platform::RuntimeError& e) {
        platform::ShowKestrinError(boxes, e);
    }
}

void SearchTarget::replaceAt(const std::vector<std::int64_t>& starts, std::int64_t length,
                             const std::string& replacement) {
    const std::string old = text();
    std::string out;
    std::size_t from = 0;
    for (const std::int64_t start : starts) {
        out.append(old, from, static_cast<std::size_t>(start) - from);
        out += replacement;
        from = static_cast<std::size_t>(start + length);
    }
    out.append(old, std::min(from, old.size()), std::string::npos);
    setText(out);
}

void ReplaceInText(const SearchState& state, SearchTarget& target) {
    target.replaceAt(occurrences(target.text(), state.searchText), static_cast<std::int64_t>(state.searchText.size()),
                     state.replacement);
}

}  // namespace editor
