// The language server's input: the framing reader fed the bytes in pieces of
// varying size, every body it frames parsed as JSON, and, for bodies that
// parse, their text applied as edits to a document at positions taken from
// the input. Nothing may crash, hang or read out of bounds; the reader must
// hand out no more body bytes than it was fed.
//
// Input: one byte of piece size (1 to 256), then the stream.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "lsp/MessageReader.h"
#include "lsp/TextDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t piece = std::size_t{data[0]} + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    lsp::MessageReader reader(4096);
    lsp::TextDocument doc("Option Explicit\r\nPrivate m\xE2\x82\xAC As Long\r\n", 1);
    std::size_t bodies = 0;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        reader.feed(stream.substr(at, piece));
        lsp::MessageReader::Item item;
        while (reader.next(item)) {
            if (!item.ok) continue;
            bodies += item.body.size();
            if (bodies > stream.size()) __builtin_trap();
            const nlohmann::json j = nlohmann::json::parse(item.body, nullptr, false);
            if (j.is_discarded()) continue;
            const auto n = static_cast<long>(item.body.size());
            lsp::Range r{{n % 4 - 1, n % 7 - 2}, {n % 3, n % 11 - 3}};
            doc.replace(r, item.body);
            for (long l = -1; l <= doc.lineCount(); ++l) {
                if (doc.offsetOf({l, doc.lineLength16(l) + 1}) > doc.text().size()) __builtin_trap();
            }
            if (lsp::toWindows1252(doc.text()).size() > doc.text().size()) __builtin_trap();
        }
    }
    (void)reader.atEnd();
    return 0;
}
