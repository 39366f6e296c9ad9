// The text of the editing areas: random edits, Replace Alls, undos and redos
// on a TextBuffer, checked against a plain string after every step. The
// buffer must hold exactly the string, index its lines right, give the bytes
// of the string, and undo to a text it held before (redo back again).
//
// Input: one byte of mode (bit 0: CR LF line ends), the first text (up to a
// zero byte), then steps of seven bytes and their text:
//   kind, from (2), to (2), count, text length; then the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "textbox/TextBuffer.h"
#include "platform/TextCodec.h"

namespace {

std::u16string chars(const std::string& bytes) {
    std::u16string out;
    for (unsigned char b : bytes) out += platform::charOfByte(b);
    return out;
}

void check(const textbox::TextBuffer& b, const std::u16string& model) {
    FUZZ_CHECK(b.size() == static_cast<std::int64_t>(model.size()), "size");
    FUZZ_CHECK(b.text() == model, "text");
    std::string bytes;
    for (char16_t c : model) {
        const int byte = platform::byteOfChar(c);
        bytes += byte < 0 ? '?' : static_cast<char>(byte);
    }
    FUZZ_CHECK(b.bytes() == bytes, "bytes");
    std::int64_t line = 0, start = 0;
    for (std::size_t i = 0; i <= model.size(); ++i) {
        if (i < model.size() && model[i] != u'\n') continue;
        FUZZ_CHECK(line < b.lineCount() && b.lineStart(line) == start, "line start");
        const bool crBefore = i < model.size() && i > static_cast<std::size_t>(start) && model[i - 1] == u'\r';
        const auto end = static_cast<std::int64_t>(i) - (crBefore ? 1 : 0);
        FUZZ_CHECK(b.lineEnd(line) == end, "line end");
        FUZZ_CHECK(b.lineOf(start) == line, "line of its start");
        ++line;
        start = static_cast<std::int64_t>(i) + 1;
    }
    FUZZ_CHECK(b.lineCount() == line, "line count");
    for (std::int64_t pos = 0; pos <= b.size(); pos += 7) {
        const std::int64_t c = b.clamp(pos), up = b.clamp(pos, true);
        const bool between = pos > 0 && pos < b.size() && model[pos] == u'\n' && model[pos - 1] == u'\r';
        FUZZ_CHECK(between ? c == pos - 1 && up == pos + 1 : c == pos && up == pos, "clamp");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool crlf = data[0] & 1;
    std::size_t p = 1;
    std::string first;
    while (p < size && data[p] != 0) first += static_cast<char>(data[p++]);
    ++p;

    textbox::TextBuffer b;
    b.setBytes(first, crlf);
    std::u16string model = chars(crlf ? platform::toCrLfLineEnds(first) : first);
    check(b, model);
    std::set<std::size_t> held{std::hash<std::u16string>()(model)};

    // A Replace All on every character grows the text manyfold; past this
    // size the steps would only make the run slow.
    while (p + 7 <= size && model.size() <= 20000) {
        const std::uint8_t op = data[p], kind = op % 4;
        const std::int64_t n = static_cast<std::int64_t>(model.size());
        std::int64_t from = std::min<std::int64_t>((data[p + 1] << 8 | data[p + 2]) % (n + 1), n);
        std::int64_t to = std::min<std::int64_t>((data[p + 3] << 8 | data[p + 4]) % (n + 1), n);
        if (to < from) std::swap(from, to);
        const int count = data[p + 5] % 200 + 1;
        const std::size_t length = std::min<std::size_t>(data[p + 6] % 16, size - p - 7);
        std::u16string with = chars(std::string(reinterpret_cast<const char*>(data + p + 7), length));
        if (op & 0x80) with += u'\u2192';  // a character no byte holds
        p += 7 + length;

        if (kind == 0) {
            b.replace(from, to, with, op & 0x40);  // typed: may join the step before
            model.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), with);
        } else if (kind == 1) {
            // Spans of up to `to - from` characters, one every `count`, apart.
            std::vector<std::pair<std::int64_t, std::int64_t>> spans;
            const std::int64_t width = std::min<std::int64_t>(to - from, count - 1);
            for (std::int64_t at = from; at + width <= n; at += std::max<std::int64_t>(count, width + 1))
                spans.emplace_back(at, at + width);
            b.replaceEach(spans, with);
            std::u16string out;
            std::size_t done = 0;
            for (const auto& [at, end] : spans) {
                out.append(model, done, static_cast<std::size_t>(at) - done);
                out += with;
                done = static_cast<std::size_t>(end);
            }
            model = out + model.substr(done);
        } else {
            const std::u16string before = model;
            const bool undo = kind == 2;
            if (!(undo ? b.undo() : b.redo())) {
                check(b, model);
                continue;
            }
            model = b.text();
            FUZZ_CHECK(held.count(std::hash<std::u16string>()(model)), "undo or redo gives a text held before");
            // And the other way gives back the text before.
            FUZZ_CHECK(undo ? b.redo().has_value() : b.undo().has_value(), "the way back");
            FUZZ_CHECK(b.text() == before, "back to the text before");
            FUZZ_CHECK(undo ? b.undo().has_value() : b.redo().has_value(), "and forth again");
        }
        check(b, model);
        held.insert(std::hash<std::u16string>()(model));
    }
    return 0;
}
