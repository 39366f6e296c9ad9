#include "scan/ScanAhead.h"

#include <chrono>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"

namespace scan {

namespace {

// Set on the second thread while its engine scans a file.
thread_local bool* tBoxRaised = nullptr;

}  // namespace

platform::Answer ScanAhead::Boxes::show(const std::string& text, const std::string& title, platform::Icon icon,
                                        platform::Buttons buttons) {
    if (tBoxRaised) {
        *tBoxRaised = true;
        return platform::Answer::Ok;
    }
    return shown_.show(text, title, icon, buttons);
}

ScanAhead::ScanAhead(const clsOculon& prototype, std::vector<std::string> paths)
    : paths_(std::move(paths)),
      boxes_(platform::boxes()),
      services_(platform::Services{.boxes = &boxes_}),
      slots_(paths_.size()) {
    if (paths_.size() < MinFiles) return;
    engine_.emplace(prototype);
    thread_ = std::thread([this] { run(); });
}

ScanAhead::~ScanAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool ScanAhead::claim(std::size_t i) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slots_[i].state == Slot::Ahead) return false;
    slots_[i].state = Slot::Window;
    return true;
}

std::optional<std::size_t> ScanAhead::claimNext() {
    std::lock_guard<std::mutex> lock(mutex_);
    while (next_ < slots_.size() && slots_[next_].state != Slot::Free) ++next_;
    if (next_ + 1 >= slots_.size()) return std::nullopt;
    slots_[next_].state = Slot::Window;
    return next_++;
}

void ScanAhead::wait(int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms));
}

std::optional<std::string> ScanAhead::take(std::size_t i) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& slot = slots_[i];
    // A level chosen after the scan ahead began applies to this file too:
    // the window has not come to it yet.
    if (slot.state != Slot::Done || !slot.usable || slot.levelChanges != checkLevelChanges()) return std::nullopt;
    slot.usable = false;
    return std::move(slot.report);
}

void ScanAhead::run() {
    for (;;) {
        std::size_t i = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            while (next_ < slots_.size() && slots_[next_].state != Slot::Free) ++next_;
            // The last file is the window's.
            if (stop_ || next_ + 1 >= slots_.size()) return;
            i = next_++;
            slots_[i].state = Slot::Ahead;
        }
        std::string report;
        bool usable = false;
        const std::uint64_t level = checkLevelChanges();
        try {
            const std::string text = platform::realFileSystem().readAll(paths_[i]);
            bool boxRaised = false;
            tBoxRaised = &boxRaised;
            engine_->LoadFromText(paths_[i], text);
            report = engine_->sFillMessages();
            tBoxRaised = nullptr;
            usable = !boxRaised && level == checkLevelChanges();
        } catch (...) {
            tBoxRaised = nullptr;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[i].state = Slot::Done;
            slots_[i].usable = usable;
            slots_[i].levelChanges = level;
            slots_[i].report = std::move(report);
        }
        changed_.notify_all();
    }
}

}  // namespace scan
