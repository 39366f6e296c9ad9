#include "platform/Services.h"

#include <iostream>

namespace platform {
namespace {

// Writes every box to stderr ("title: text") and gives the default answer.
class StderrMessageBoxes : public MessageBoxes {
public:
    Answer show(const std::string& text, const std::string& title, Icon, Buttons buttons) override {
        std::cerr << title << ": " << text << "\n";
        return defaultAnswer(buttons);
    }
};

// A clipboard of the program's own, for a program without a window.
class MemoryClipboard : public Clipboard {
public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }
    void clear() override { text_.clear(); }

private:
    std::string text_;
};

class NoEventPump : public EventPump {
public:
    void processEvents() override {}
};

class NoBusyPointer : public BusyPointer {
public:
    void begin() override {}
    void end() override {}
};

// Dialogs of a program without a window: every one is cancelled.
class CancellingDialogs : public FileDialogs {
public:
    std::optional<std::string> openFile(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::vector<std::string>> openFiles(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

class EmptyInputBox : public InputBox {
public:
    std::string ask(const std::string&, const std::string&, const std::string&) override { return ""; }
};

Services makeDefaults() {
    static StderrMessageBoxes boxes;
    static MemoryClipboard clipboard;
    static CancellingDialogs dialogs;
    static EmptyInputBox input;
    static NoBusyPointer busy;
    static NoEventPump pump;
    Services s;
    s.boxes = &boxes;
    s.clipboard = &clipboard;
    s.dialogs = &dialogs;
    s.input = &input;
    s.busy = &busy;
    s.pump = &pump;
    s.files = &realFileSystem();
    return s;
}

void overlay(Services& target, const Services& with) {
    if (with.boxes) target.boxes = with.boxes;
    if (with.clipboard) target.clipboard = with.clipboard;
    if (with.dialogs) target.dialogs = with.dialogs;
    if (with.input) target.input = with.input;
    if (with.busy) target.busy = with.busy;
    if (with.pump) target.pump = with.pump;
    if (with.files) target.files = with.files;
}

}  // namespace

Services& services() {
    static Services current = makeDefaults();
    return current;
}

ScopedServices::ScopedServices(const Services& replacement) : saved_(services()) { overlay(services(), replacement); }

ScopedServices::~ScopedServices() { services() = saved_; }

void installServices(const Services& replacement) { overlay(services(), replacement); }

}  // namespace platform
