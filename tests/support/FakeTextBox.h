#pragma once
// A text box with a selection, standing in for the editor window in tests of
// the commands that take its selection and paste a block back. Paste replaces
// the selection with the clipboard's text and leaves the caret after it.
#include <cstdint>
#include <string>

#include "indent/Indent.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

class FakeTextBox : public indent::IndentTarget {
public:
    explicit FakeTextBox(std::string text, std::size_t start = 0, std::size_t length = 0)
        : text_(std::move(text)), start_(start), length_(length) {}
    std::string selectedText() override { return text_.substr(start_, length_); }
    std::string text() override { return text_; }
    void setSelStart(std::int64_t s) override { start_ = static_cast<std::size_t>(s); }
    void setSelLength(std::int64_t l) override { length_ = static_cast<std::size_t>(l); }
    void setFocus() override { log += "focus;"; }
    void paste() override {
        log += "paste;";
        if (failPaste) platform::raise(platform::err::Overflow);
        const std::string block = platform::clipboard().text();
        text_.replace(start_, length_, block);
        start_ += block.size();
        length_ = 0;
    }
    std::size_t start() const { return start_; }
    std::size_t length() const { return length_; }
    std::string log;  // "focus;" and "paste;" in the order they came
    bool failPaste = false;

private:
    std::string text_;
    std::size_t start_, length_;
};
