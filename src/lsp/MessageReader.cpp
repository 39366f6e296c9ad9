#include "lsp/MessageReader.h"

#include <algorithm>

namespace lsp {

namespace {

// Header blocks longer than this are not headers.
constexpr std::size_t MaxHeader = 8192;
constexpr std::string_view LengthName = "content-length:";

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// Where the next "Content-Length:" header starts in s from `from`, or npos.
std::size_t findLengthHeader(std::string_view s, std::size_t from) {
    for (std::size_t i = from; i < s.size(); ++i)
        if ((s[i] == 'C' || s[i] == 'c') && startsWithNoCase(s.substr(i), LengthName)) return i;
    return std::string_view::npos;
}

}  // namespace

void MessageReader::feed(std::string_view bytes) {
    if (skip_ > 0) {
        const std::size_t n = std::min(skip_, bytes.size());
        skip_ -= n;
        bytes.remove_prefix(n);
    }
    buffer_.append(bytes);
    parse();
}

bool MessageReader::next(Item& item) {
    if (items_.empty()) return false;
    item = std::move(items_.front());
    items_.pop_front();
    return true;
}

std::string MessageReader::atEnd() const {
    if (skip_ > 0) return "the input ended inside a refused message";
    if (buffer_.find_first_not_of("\r\n \t") != std::string::npos) return "the input ended inside a message";
    return "";
}

void MessageReader::parse() {
    for (;;) {
        if (skip_ > 0) return;
        const std::size_t headerEnd = buffer_.find("\r\n\r\n");
        if (headerEnd == std::string::npos) {
            if (buffer_.size() > MaxHeader) {
                // No header block ends here: keep only what may start one.
                const std::size_t next = findLengthHeader(buffer_, 1);
                items_.push_back({false, "", "a header block without its end"});
                buffer_.erase(0, next == std::string::npos ? buffer_.size() - LengthName.size() : next);
                continue;
            }
            return;
        }
        // Read the header lines; Content-Length is the one that counts.
        std::string_view block = std::string_view(buffer_).substr(0, headerEnd);
        std::size_t length = 0;
        bool haveLength = false;
        std::string why;
        for (std::size_t pos = 0; pos <= block.size() && why.empty();) {
            std::size_t eol = block.find("\r\n", pos);
            if (eol == std::string_view::npos) eol = block.size();
            const std::string_view line = block.substr(pos, eol - pos);
            pos = eol + 2;
            if (line.find(':') == std::string_view::npos) {
                why = "a header line without a colon";
            } else if (startsWithNoCase(line, LengthName)) {
                std::string_view v = line.substr(LengthName.size());
                while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
                while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
                if (v.empty() || v.size() > 12 || v.find_first_not_of("0123456789") != std::string_view::npos) {
                    why = "a Content-Length that is no number";
                } else {
                    length = std::stoull(std::string(v));
                    haveLength = true;
                }
            }
        }
        if (why.empty() && !haveLength) why = "a header block without Content-Length";
        if (!why.empty()) {
            // Garbage, or the rest of a message whose length lied: go on
            // from the next Content-Length header inside the block, if any.
            const std::size_t next = findLengthHeader(block, 1);
            items_.push_back({false, "", why});
            buffer_.erase(0, next == std::string::npos ? headerEnd + 4 : next);
            continue;
        }
        const std::size_t bodyStart = headerEnd + 4;
        if (length > maxBody_) {
            items_.push_back({false, "", "a message of " + std::to_string(length) + " bytes, more than allowed"});
            const std::size_t have = std::min(buffer_.size() - bodyStart, length);
            skip_ = length - have;
            buffer_.erase(0, bodyStart + have);
            continue;
        }
        if (buffer_.size() - bodyStart < length) return;
        items_.push_back({true, buffer_.substr(bodyStart, length), ""});
        buffer_.erase(0, bodyStart + length);
    }
}

}  // namespace lsp
