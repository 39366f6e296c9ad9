#pragma once
// The desktop services the programs call on: message boxes, clipboard, file
// dialogs, input box, busy pointer and the event pump. Each is a small
// interface with a Qt implementation (platform/qt), a quiet default for a
// program without a window (Services.cpp) and a recording double that tests
// script (tests/support/Recording.h).
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class Icon { None, Stop, Exclamation, Information };
// YesNoDefaultNo: Yes and No, No chosen by Enter and Escape.
enum class Buttons { Ok, OkCancel, YesNoCancel, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };

// The answer of a box nobody answers: Ok, Cancel where Yes, No and Cancel
// are offered, No where only Yes and No are.
inline Answer defaultAnswer(Buttons buttons) {
    return buttons == Buttons::YesNoCancel      ? Answer::Cancel
           : buttons == Buttons::YesNoDefaultNo ? Answer::No
                                                : Answer::Ok;
}

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box; the answer is the button the user chose.
    virtual Answer show(const std::string& text, const std::string& title, Icon icon, Buttons buttons) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void clear() = 0;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // filter is "description|pattern" (several pairs may follow, all joined by "|").
    // nullopt means the user cancelled.
    virtual std::optional<std::string> openFile(const std::string& title, const std::string& filter) = 0;
    // Full paths in the order the dialog returns them; nullopt when cancelled.
    virtual std::optional<std::vector<std::string>> openFiles(const std::string& title, const std::string& filter) = 0;
    virtual std::optional<std::string> saveFile(const std::string& title, const std::string& filter,
                                                const std::string& initialName) = 0;
};

class InputBox {
public:
    virtual ~InputBox() = default;
    // The typed text; the empty text when the user cancelled.
    virtual std::string ask(const std::string& prompt, const std::string& title, const std::string& defaultText) = 0;
};

class BusyPointer {
public:
    virtual ~BusyPointer() = default;
    virtual void begin() = 0;  // hourglass
    virtual void end() = 0;    // default pointer
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Lets the window system handle pending events.
    virtual void processEvents() = 0;
};

// Calls an event pump at most once per interval, so long loops stay fast
// while the window stays responsive. Cheap enough to call once per line.
class ThrottledPump {
public:
    explicit ThrottledPump(EventPump* pump, std::chrono::milliseconds interval = std::chrono::milliseconds(20))
        : pump_(pump), interval_(interval), last_(std::chrono::steady_clock::now()) {}

    void maybePump() {
        if (!pump_ || ++calls_ % 64 != 0) return;
        auto now = std::chrono::steady_clock::now();
        if (now - last_ >= interval_) {
            last_ = now;
            pump_->processEvents();
        }
    }
    void pumpNow() {
        if (pump_) pump_->processEvents();
        last_ = std::chrono::steady_clock::now();
    }

private:
    EventPump* pump_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_;
    unsigned calls_ = 0;
};

}  // namespace platform
