#include "textlib/TextLib.h"

#include <algorithm>

#include "platform/ErrorBoxes.h"

namespace textlib {
namespace {

const std::string CrLf = "\r\n";

bool isLetterCode(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigitCode(unsigned char c) { return c >= '0' && c <= '9'; }

// The memo cursor: where the next line starts (1-based) and the number of the
// line it stands before. Shared by every caller of MemoLine.
struct MemoCursor {
    std::int64_t position = 0;
    std::int64_t line = 0;
};
MemoCursor memo;

// One step over a line, as MLCount and MemoLine break lines. `pos` is the
// 1-based start of the line; on return it is the start of the next one, or
// past the end of the text when this was the last line. `segment` receives
// the line's characters (for width 0: without its CR LF).
void stepLine(const std::string& text, int width, std::int64_t& pos, std::string& segment) {
    const auto len = static_cast<std::int64_t>(text.size());
    if (pos > len) {
        segment.clear();
        pos = len + 1;
        return;
    }
    const auto start = static_cast<std::size_t>(pos - 1);
    if (width > 0) {
        segment = text.substr(start, static_cast<std::size_t>(width));
        auto cr = segment.find(CrLf);
        if (cr != std::string::npos) {
            segment.resize(cr);
            pos += static_cast<std::int64_t>(cr) + 2;
        } else if (segment.size() < static_cast<std::size_t>(width)) {
            pos = len + 1;  // the last line
        } else {
            // Cut before the last blank; the next line starts at that blank.
            // A segment without a blank (or with its only blank in front,
            // which would not move on) is cut at the width.
            auto blank = segment.rfind(' ');
            if (blank != std::string::npos && blank > 0) segment.resize(blank);
            pos += static_cast<std::int64_t>(segment.size());
        }
    } else {
        auto cr = text.find(CrLf, start);
        if (cr == std::string::npos) {
            segment = text.substr(start);
            pos = len + 1;
        } else {
            segment = text.substr(start, cr - start);
            pos = static_cast<std::int64_t>(cr) + 3;
        }
    }
}

// Index just past the last non-blank character of text (0 when all blank).
std::size_t endOfNonBlank(const std::string& text) {
    auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? 0 : last + 1;
}

std::string replaceEvery(const std::string& text, const std::string& search, const std::string& replacement,
                         bool ignoreCase) {
    if (search.empty()) return text;
    const std::string hay = ignoreCase ? LCase(text) : std::string();
    const std::string needle = ignoreCase ? LCase(search) : std::string();
    const std::string& h = ignoreCase ? hay : text;
    const std::string& n = ignoreCase ? needle : search;
    std::string out;
    std::size_t from = 0;
    for (;;) {
        auto hit = h.find(n, from);
        if (hit == std::string::npos) break;
        out.append(text, from, hit - from);
        out += replacement;
        from = hit + n.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

}  // namespace

std::int64_t MLCount(const std::string& text, int width) {
    try {
        const auto len = static_cast<std::int64_t>(text.size());
        std::int64_t pos = 1;
        std::int64_t count = 0;
        if (width <= 0) {
            // Lines end only at CR LF: count them without copying.
            std::size_t from = 0;
            while (static_cast<std::int64_t>(from) < len) {
                auto cr = text.find(CrLf, from);
                ++count;
                if (cr == std::string::npos) break;
                from = cr + 2;
            }
            return count;
        }
        std::string segment;
        while (pos <= len) {
            stepLine(text, width, pos, segment);
            ++count;
        }
        return count;
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError("MLCount", "", e);
        return 0;
    }
}

std::string MemoLine(const std::string& text, int width, std::int64_t line) {
    try {
        std::int64_t first;
        if (line == 1 || memo.line == 0 || line != memo.line) {
            memo.position = 1;
            first = 1;
        } else {
            first = line;
        }
        memo.line = first;
        std::string segment;
        while (memo.line <= line) {
            stepLine(text, width, memo.position, segment);
            ++memo.line;
        }
        return width != 0 ? Trim(segment) : segment;
    } catch (const platform::RuntimeError& e) {
        platform::ShowProgramError("MemoLine", "", e);
        return "";
    }
}

void ResetMemoCursor() { memo = MemoCursor{}; }

std::int64_t LastAt(const std::string& search, const std::string& text) {
    if (text.empty()) return 0;
    if (search.empty()) return static_cast<std::int64_t>(text.size());
    auto hit = text.rfind(search);
    return hit == std::string::npos ? 0 : static_cast<std::int64_t>(hit) + 1;
}

std::string ExtractWord(std::string& text, const std::string& extra) {
    std::string word;
    bool wordHasNonBlank = false;
    const std::size_t end = endOfNonBlank(text);
    std::size_t i = 0;
    while (i < end) {
        const char c = text[i++];
        const auto u = static_cast<unsigned char>(c);
        if (isLetterCode(u) || isDigitCode(u) || extra.find(c) != std::string::npos) {
            word += c;
            if (c != ' ') wordHasNonBlank = true;
        } else if (wordHasNonBlank) {
            break;
        }
    }
    text.erase(0, i);
    return word;
}

bool IsAlpha(const std::string& text) { return !text.empty() && isLetterCode(static_cast<unsigned char>(text[0])); }

bool IsDigit(const std::string& text) { return !text.empty() && isDigitCode(static_cast<unsigned char>(text[0])); }

int LeadingSpaces(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    return static_cast<int>(first == std::string::npos ? text.size() : first);
}

std::string ReplaceFirst(std::string& text, const std::string& search, const std::string& replacement) {
    auto pos = InStrText(1, text, search);
    if (pos > 0 && !search.empty()) text.replace(static_cast<std::size_t>(pos - 1), search.size(), replacement);
    return text;
}

std::string ReplaceAll(const std::string& text, const std::string& search, const std::string& replacement) {
    return replaceEvery(text, search, replacement, false);
}

std::string ReplaceAllText(const std::string& text, const std::string& search, const std::string& replacement) {
    return replaceEvery(text, search, replacement, true);
}

std::string NextCodeWord(std::string& text) {
    try {
        return ExtractWord(text, "!_'\".");
    } catch (const platform::RuntimeError& e) {
        platform::ShowOrvaneError(e);
        return "";
    }
}

std::string NextSpacedWord(std::string& text) {
    try {
        std::string word;
        const std::size_t end = endOfNonBlank(text);
        std::size_t i = 0;
        while (i < end) {
            const char c = text[i++];
            if (c != ' ') word += c;
            else if (!word.empty()) break;
        }
        text.erase(0, i);
        return word;
    } catch (const platform::RuntimeError& e) {
        platform::ShowOrvaneError(e);
        return "";
    }
}

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string LTrim(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first);
}

std::string RTrim(const std::string& text) { return text.substr(0, endOfNonBlank(text)); }

char upperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

char upperLetter1252(char c) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) return static_cast<char>(b - 0x20);
    switch (b) {
        case 0x9A: return '\x8A';  // š
        case 0x9C: return '\x8C';  // œ
        case 0x9E: return '\x8E';  // ž
        case 0xFF: return '\x9F';  // ÿ
        default: return c;
    }
}

std::string UCase(std::string text) {
    for (auto& c : text) c = upperChar(c);
    return text;
}

std::string LCase(std::string text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

std::int64_t InStr(std::int64_t start, const std::string& text, const std::string& search) {
    if (start < 1) start = 1;
    if (start > static_cast<std::int64_t>(text.size()) + 1) return 0;
    auto hit = text.find(search, static_cast<std::size_t>(start - 1));
    return hit == std::string::npos ? 0 : static_cast<std::int64_t>(hit) + 1;
}

std::int64_t InStrText(std::int64_t start, const std::string& text, const std::string& search) {
    if (start < 1) start = 1;
    if (start > static_cast<std::int64_t>(text.size()) + 1) return 0;
    if (search.empty()) return start;
    const std::string n = LCase(search);
    const std::size_t last = text.size() >= n.size() ? text.size() - n.size() : 0;
    if (text.size() < n.size()) return 0;
    for (std::size_t i = static_cast<std::size_t>(start - 1); i <= last; ++i) {
        std::size_t k = 0;
        while (k < n.size()) {
            char c = text[i + k];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            if (c != n[k]) break;
            ++k;
        }
        if (k == n.size()) return static_cast<std::int64_t>(i) + 1;
    }
    return 0;
}

bool EqualsText(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upperChar(x) == upperChar(y); });
}

std::string Mid(const std::string& text, std::int64_t start, std::int64_t length) {
    if (start < 1) start = 1;
    if (start > static_cast<std::int64_t>(text.size())) return "";
    if (length < 0) return text.substr(static_cast<std::size_t>(start - 1));
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

std::string Left(const std::string& text, std::int64_t length) {
    if (length <= 0) return "";
    return text.substr(0, static_cast<std::size_t>(length));
}

std::string Right(const std::string& text, std::int64_t length) {
    if (length <= 0) return "";
    if (static_cast<std::size_t>(length) >= text.size()) return text;
    return text.substr(text.size() - static_cast<std::size_t>(length));
}

}  // namespace textlib
