#pragma once
// Scanning a long file list on two processors for the window. A second
// engine on a thread of its own scans files the window has not come to yet;
// the window takes its reports in order and scans the rest itself, so the
// report is the one a scan by the window alone gives. A file the second
// engine could not read, whose scan raised an error box, or that was
// scanned while the check level was chosen again, is left for the window to
// scan: its boxes then come where they would have come, and at the level
// that applies to it.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Services.h"
#include "scan/clsOculon.h"

namespace scan {

class ScanAhead {
public:
    // Below this many files a scan is over before a second engine helps.
    static constexpr std::size_t MinFiles = 8;

    // Starts the thread with a copy of `prototype`. It never takes the last
    // file, so that the window's own engine ends holding that file's findings.
    ScanAhead(const clsOculon& prototype, std::vector<std::string> paths);
    // Lets the file in hand finish and stops.
    ~ScanAhead();
    ScanAhead(const ScanAhead&) = delete;
    ScanAhead& operator=(const ScanAhead&) = delete;

    // The report of file i once it was scanned ahead as the window would
    // have; none when the window must scan it (again) itself.
    std::optional<std::string> take(std::size_t i);
    // Takes file i for the window; false while it is being scanned ahead.
    bool claim(std::size_t i);
    // Takes the next file nobody has taken for the window (never the last
    // one), so that the window has work while it waits for a file scanned
    // ahead; none when there is none.
    std::optional<std::size_t> claimNext();
    // Waits up to `ms` milliseconds for a file scanned ahead.
    void wait(int ms);

private:
    struct Slot {
        enum State { Free, Ahead, Window, Done } state = Free;
        bool usable = false;
        std::uint64_t levelChanges = 0;  // as the scan began
        std::string report;
    };
    // Error boxes of the engine on the second thread are noted, not shown.
    class Boxes : public platform::MessageBoxes {
    public:
        explicit Boxes(platform::MessageBoxes& shown) : shown_(shown) {}
        platform::Answer show(const std::string& text, const std::string& title, platform::Icon icon,
                              platform::Buttons buttons) override;

    private:
        platform::MessageBoxes& shown_;
    };

    void run();

    std::vector<std::string> paths_;
    std::optional<clsOculon> engine_;  // only for a list long enough
    Boxes boxes_;
    platform::ScopedServices services_;
    std::vector<Slot> slots_;
    std::size_t next_ = 0;  // no slot before it is Free
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

}  // namespace scan
