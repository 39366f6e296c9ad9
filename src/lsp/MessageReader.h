#pragma once
// The framing of the protocol's messages: a header block of "Name: value"
// lines ending in an empty line, with a Content-Length, then that many bytes
// of JSON. Bytes are fed as they arrive; complete bodies come out in order.
// Input that breaks the framing is reported and skipped, never trusted: the
// reader finds its way back to the next "Content-Length:" header.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace lsp {

class MessageReader {
public:
    // Bodies larger than this are refused (their bytes are skipped).
    explicit MessageReader(std::size_t maxBody = std::size_t{256} << 20) : maxBody_(maxBody) {}

    void feed(std::string_view bytes);

    struct Item {
        bool ok = true;
        std::string body;   // the JSON text when ok
        std::string error;  // what was wrong with the framing when not
    };
    // The next complete body or framing error, in input order; false when
    // more bytes are needed.
    bool next(Item& item);

    // What is left when the input ends: "" or why the last message is incomplete.
    std::string atEnd() const;

private:
    void parse();
    std::string buffer_;
    std::size_t skip_ = 0;  // body bytes of a refused message still to drop
    std::deque<Item> items_;
    std::size_t maxBody_;
};

}  // namespace lsp
