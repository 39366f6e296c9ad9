#include "indent/Indent.h"

#include <algorithm>
#include <exception>

#include "platform/ErrorBoxes.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "textlib/TextLib.h"

namespace indent {
namespace {

using textlib::ExtractWord;
using textlib::Left;
using textlib::LTrim;
using textlib::RTrim;
using textlib::Trim;

bool beginsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool beginsWithAny(const std::string& text, std::initializer_list<const char*> prefixes) {
    return std::ranges::any_of(prefixes, [&](const char* p) { return beginsWith(text, p); });
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The first word of text (letters and digits), as ExtractWord takes it.
std::string firstWord(std::string text) { return ExtractWord(text, ""); }

// What follows the first word "Then" of an If line, trimmed; empty when the
// line has no "Then". ExtractWord consumes the character after the word, so
// "Then'note" leaves "note" and "Then 'note" leaves "'note".
std::string ifRest(std::string text) {
    while (!Trim(text).empty()) {
        if (ExtractWord(text, "") == "Then") return Trim(text);
    }
    return "";
}

// A label line: a colon followed by nothing but spaces on a line without
// quotes or apostrophes, or a colon that stands before both the first quote
// and the first apostrophe.
bool isLabelLine(const std::string& code) {
    const auto colon = code.find(':');
    if (colon == std::string::npos) return false;
    const auto quote = code.find('"');
    const auto apostrophe = code.find('\'');
    if (quote == std::string::npos && apostrophe == std::string::npos)
        return code.find_first_not_of(' ', colon + 1) == std::string::npos;
    return quote != std::string::npos && apostrophe != std::string::npos && colon < quote && colon < apostrophe;
}

struct Levels {
    std::int64_t current;
    std::int64_t next = IndentUnit;
    bool firstCase = true;
};

// Steps g and h for one code line: picks the printed level by the first
// keyword rule that matches and sets the level of the following line.
std::int64_t printedLevel(const std::string& t, Levels& lv) {
    const std::int64_t l = lv.current;
    constexpr std::int64_t u = IndentUnit;
    if (beginsWith(t, "If ") || beginsWith(t, "#If")) {
        const std::string rest = ifRest(t);
        if (rest.empty() || rest[0] == '\'') lv.next = l + u;
        return l;
    }
    if (beginsWith(t, "While")) {
        if (!contains(t, "Wend")) lv.next = l + u;
        return l;
    }
    if (beginsWith(t, "For ")) {
        if (!contains(t, "Next")) lv.next = l + u;
        return l;
    }
    if (beginsWith(t, "With ")) {
        lv.next = l + u;
        return l;
    }
    if (beginsWith(t, "Do While")) {
        if (!contains(t, "Loop")) lv.next = l + u;
        return l;
    }
    if (beginsWith(t, "Do")) {
        if (firstWord(t) == "Do" && !contains(t, "Loop")) lv.next = l + u;
        return l;
    }
    if (beginsWith(t, "Select Case")) {
        lv.next = l + u;
        lv.firstCase = true;
        return l;
    }
    if (beginsWith(t, "Case ")) {
        if (lv.firstCase) {
            lv.firstCase = false;
            lv.next = l + u;
            return l;
        }
        lv.next = l;
        return l - u;
    }
    if (beginsWithAny(t, {"Sub ", "Function ", "Private Sub", "Public Sub", "Private Function", "Public Function"})) {
        lv.next = u;
        return 0;
    }
    if (beginsWith(t, "Else") || beginsWith(t, "#Else")) {
        lv.next = l;
        return l - u;
    }
    if (beginsWithAny(t, {"End Sub", "End Fun", "End With", "End If", "#End If"})) {
        lv.next = l - u;
        return l - u;
    }
    if (beginsWith(t, "End Select")) {
        lv.next = l - 2 * u;
        return l - 2 * u;
    }
    if (Trim(Left(t, 5)) == "Wend" || Trim(t) == "Loop" || beginsWith(t, "Loop While") || Trim(Left(t, 5)) == "Next") {
        lv.next = l - u;
        return l - u;
    }
    if (beginsWithAny(t, {"Static Sub", "Static Function ", "Static Private Sub", "Static Public Sub",
                          "Static Private Function", "Static Public Function"})) {
        lv.next = u;
        return 0;
    }
    return l;
}

void appendIndented(std::string& out, std::int64_t level, const std::string& code) {
    if (level > 0) out.append(static_cast<std::size_t>(level), ' ');
    out += code;
    out += "\r\n";
}

}  // namespace

std::string ReindentText(const std::string& text) {
    const std::string start = Left(LTrim(text), 4);
    Levels lv{(start == "Func" || start == "Sub ") ? 0 : IndentUnit};
    std::string out;
    out.reserve(text.size() + text.size() / 4);

    const std::int64_t count = textlib::MLCount(text, 0);
    for (std::int64_t i = 1; i <= count; ++i) {
        const std::string line = RTrim(textlib::MemoLine(text, 0, i));
        if (line.empty()) {
            out += "\r\n";
            continue;
        }
        const char first = line[0];
        // Tabs go everywhere, inside strings and comments too.
        const std::string code = LTrim(textlib::ReplaceAll(line, "\t", ""));
        if (first == '\'') {
            // A comment in the first column keeps the current level.
            appendIndented(out, lv.current, Trim(code));
            continue;
        }
        if (isLabelLine(code)) {
            lv.next = lv.current;
            lv.current = 0;
        }
        appendIndented(out, printedLevel(code, lv), code);
        lv.current = lv.next;
    }
    return out;
}

void Indent::E1QuickIndentProc(IndentTarget& oFrm) {
    try {
        std::string selected = oFrm.selectedText();
        if (selected.empty()) {
            const std::string whole = oFrm.text();
            if (Trim(whole).empty()) {
                platform::boxes().show("You have no text to indent!", "Error", platform::Icon::Exclamation,
                                       platform::Buttons::Ok);
                return;
            }
            oFrm.setSelStart(0);
            oFrm.setSelLength(static_cast<std::int64_t>(whole.size()));
            selected = whole;
        }
        const std::string result = ReindentText(selected);
        platform::clipboard().setText(result);
        oFrm.setFocus();
        oFrm.paste();
    } catch (const platform::RuntimeError& e) {
        platform::ShowKestrinError(e);
    } catch (const std::exception& e) {
        platform::ShowKestrinError(platform::RuntimeError(platform::err::InvalidProcedureCall, e.what()));
    }
}

}  // namespace indent
