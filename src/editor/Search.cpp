#include "editor/Search.h"

#include <cstring>

#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "textlib/TextLib.h"

namespace editor {

SearchState& searchState() {
    static SearchState state;
    return state;
}

std::int64_t findInText(const std::string& text, const std::string& find, int direction, std::int64_t start,
                        bool caseSensitive) {
    const std::string t = caseSensitive ? text : textlib::UCase(text);
    const std::string f = caseSensitive ? find : textlib::UCase(find);
    if (direction == 1) return textlib::InStr(start + 1, t, f);

    // Upward: try the positions start - 1 down to 1; a candidate must fit
    // wholly inside the text.
    const auto len = static_cast<std::int64_t>(t.size());
    const auto flen = static_cast<std::int64_t>(f.size());
    for (std::int64_t pos = start - 1; pos >= 1; --pos) {
        if (pos - 1 + flen > len) continue;
        if (std::memcmp(t.data() + (pos - 1), f.data(), static_cast<std::size_t>(flen)) == 0) return pos;
    }
    return 0;
}

void FindText(SearchState& state, SearchTarget& target, platform::MessageBoxes& boxes, const std::string& title) {
    try {
        const std::int64_t p = target.selStart();
        std::int64_t a = (p == state.lastFoundPosition) ? 1 : 0;
        if (state.firstSearch) a = 0;
        const std::int64_t i =
            findInText(target.text(), state.searchText, state.direction, p + a, state.caseSensitive);
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

void ReplaceInText(const SearchState& state, SearchTarget& target) {
    target.setText(textlib::ReplaceAll(target.text(), state.searchText, state.replacement));
}

}  // namespace editor
