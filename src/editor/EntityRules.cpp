#include "editor/EntityRules.h"

#include <algorithm>
#include <array>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "textlib/TextLib.h"

namespace editor {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

bool startsWithAny(std::string_view text, std::initializer_list<std::string_view> prefixes) {
    return std::ranges::any_of(prefixes, [&](std::string_view p) { return startsWithText(text, p); });
}

// The next run of non-blank characters of text, taken off its front.
std::string_view nextSpacedWord(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    std::string_view word = text.substr(i, j - i);
    text.remove_prefix(j < text.size() ? j + 1 : j);
    return word;
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool startsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsText(text.substr(0, prefix.size()), prefix);
}

bool containsText(std::string_view text, std::string_view search) {
    if (search.size() > text.size()) return false;
    for (std::size_t i = 0; i + search.size() <= text.size(); ++i)
        if (equalsText(text.substr(i, search.size()), search)) return true;
    return false;
}

std::optional<std::string> headingName(const std::string& line) {
    std::string_view trimmed = trimBlanks(line);
    std::string w4 = textlib::UCase(std::string(trimmed.substr(0, 4)));
    if (w4.empty()) return std::nullopt;
    // Substring tests on purpose: any piece of the keyword text counts.
    if (containsText("FUNC_SUB _METH_PROC", w4)) {
        std::string work = line;
        textlib::NextCodeWord(work);
        return textlib::NextCodeWord(work);
    }
    if (w4 == "PUBL" || w4 == "STAT" || w4 == "PRIV") {
        std::string work = line;
        std::string w = textlib::NextCodeWord(work);
        // Case matters here: "PUBLIC SUB" and "Public Static Sub" are no entities.
        if (w == "Public" || w == "Private") w = textlib::UCase(textlib::NextCodeWord(work));
        if (w == "Static") w = textlib::UCase(textlib::NextCodeWord(work));
        if (!textlib::Trim(w).empty() && containsText("FUNCTION_PROCEDURE_METHOD_SUB", w))
            return textlib::NextCodeWord(work);
    }
    return std::nullopt;
}

ListLine classifyListLine(std::string_view line) {
    std::string_view u = trimBlanks(line);
    if (startsWithAny(u, {"FUNCTION ", "FUNC ", "PROCEDURE ", "PROC ", "SUB ", "PRIVATE SU", "PRIVATE FU", "PUBLIC FUN",
                          "PUBLIC SUB"}))
        return ListLine::Heading;
    const auto subOrFunction = [u] { return containsText(u, "SUB") || containsText(u, "FUNCTION"); };
    if (startsWithText(u, "STATIC") && subOrFunction()) return ListLine::Heading;
    if (startsWithText(u, "END") && subOrFunction()) return ListLine::End;
    return ListLine::Body;
}

BodyLine classifyBodyLine(std::string_view line) {
    std::string_view u = trimBlanks(line);
    if (startsWithText(u, "END ")) {
        std::string_view rest = u;
        nextSpacedWord(rest);
        std::string_view second = nextSpacedWord(rest);
        if (equalsText(second, "FUNCTION") || equalsText(second, "SUB")) return BodyLine::End;
    }
    if (startsWithAny(u, {"FUNCTION", "PROCEDURE", "FUNC ", "PROC ", "SUB ", "METHOD "})) return BodyLine::Heading;
    if (startsWithAny(
            u, {"STATIC FUN", "STATIC SUB", "STATIC PRO", "PUBLIC FUN", "PUBLIC SUB", "PRIVATE FU", "PRIVATE SU"}))
        return BodyLine::Heading;
    return BodyLine::Text;
}

bool declarationsStartWithHeading(std::string_view firstLine) {
    // The line is taken untrimmed, so an indented heading does not count.
    return startsWithAny(firstLine, {"FUNC", "SUB ", "STATIC SUB", "STATIC FUN", "PRIVATE SUB", "PUBLIC SUB",
                                     "PRIVATE FUN", "PUBLIC FUN"});
}

void lineInput(platform::InputFile& in, std::string& line) {
    if (!in.readLine(line)) platform::raise(platform::err::InputPastEndOfFile);
}

void readEntity(platform::InputFile& in, bool declarations, std::string* text) {
    const std::int64_t start = in.position();
    std::string line;
    lineInput(in, line);
    if (declarations && declarationsStartWithHeading(line)) {
        in.seek(start);
        return;
    }
    if (text) {
        *text += line;
        *text += "\r\n";
    }
    readEntityBody(in, text);
}

void readEntityBody(platform::InputFile& in, std::string* text) {
    std::string line;
    while (!in.atEnd()) {
        const std::int64_t start = in.position();
        lineInput(in, line);
        const BodyLine kind = classifyBodyLine(line);
        if (kind == BodyLine::Heading) {
            in.seek(start);
            return;
        }
        if (text) {
            *text += line;
            *text += "\r\n";
        }
        if (kind == BodyLine::End) return;
    }
}

}  // namespace editor
