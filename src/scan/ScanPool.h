#pragma once
// Scanning a list of files on several engines at once, results taken in the
// order of the list. The scanner window and the command line both scan
// through one: the pool runs a caller's step for each file on one of its
// engines, and the caller takes the files back one after another, with the
// message boxes each file's scan raised.
//
//     scan::ScanPool pool(prototype, scan::ScanPool::workersFor(paths.size(), jobs));
//     std::vector<std::string> reports(paths.size());
//     pool.start(paths.size(), [&](scan::clsOculon& engine, std::size_t i) {
//         engine.Load(paths[i], nullptr, level);
//         reports[i] = engine.sFillMessages();   // only this step writes reports[i]
//     });
//     for (std::size_t i = 0; i < paths.size(); ++i) {
//         auto boxes = pool.take(i);             // waits for file i
//         ... show *boxes, then use reports[i]
//     }
//
// With no workers the pool scans on the caller's thread, inside take(), on an
// engine of its own that lets window events run and shows its boxes at once
// as the window's own engine does. Workers scan on threads of their own:
// their engines let no events run and read the real file system, and the
// boxes they raise are kept with the file and handed back by take(); each worker runs at most a few files
// ahead of the file last taken.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Services.h"
#include "scan/clsOculon.h"

namespace scan {

// A message box raised while a file was scanned on a worker.
struct RaisedBox {
    std::string text, title;
    platform::Icon icon = platform::Icon::None;
    platform::Buttons buttons = platform::Buttons::Ok;
};

class ScanPool {
public:
    // One file's step: runs on `engine`, a copy of the prototype that only
    // this step uses meanwhile. Steps of different files run at once.
    using Step = std::function<void(clsOculon& engine, std::size_t index)>;

    // `workers` engines copied from `prototype`, each on a thread of its
    // own; none: one engine scans on the caller's thread. A pool with
    // workers stands in for the program's message boxes while it lives: of
    // two such pools the later one must go first.
    ScanPool(const clsOculon& prototype, unsigned workers);
    // Lets the files in hand finish.
    ~ScanPool();
    ScanPool(const ScanPool&) = delete;
    ScanPool& operator=(const ScanPool&) = delete;

    // Workers that help with `files` files when `requested` are asked for
    // (0: one a processor): never more than the files nor than twice the
    // processors, at least one.
    static unsigned workersFor(std::size_t files, unsigned requested);

    // Starts scanning files first .. count - 1, ending any earlier run
    // first; the files before `first` count as taken.
    void start(std::size_t count, Step step, std::size_t first = 0);
    // Waits for file i (the files are taken in order) at most `timeout`;
    // the boxes its scan raised on a worker, or none while it is still
    // being scanned. Without workers, scans it now and always answers.
    std::optional<std::vector<RaisedBox>> take(std::size_t i,
                                               std::chrono::milliseconds timeout = std::chrono::hours(24));
    // Ends the run: no further file is started; those in hand finish.
    void stop();
    // The engine that scanned file i, after it was taken and until the next
    // start(): it holds that file's findings.
    clsOculon& engineOf(std::size_t i);

private:
    struct File {
        bool done = false;
        std::size_t engine = 0;
        std::vector<RaisedBox> boxes;
    };
    // Boxes raised on a worker thread are noted with the file; others go on
    // to the boxes shown before the pool was made.
    class Boxes : public platform::MessageBoxes {
    public:
        explicit Boxes(platform::MessageBoxes& shown) : shown_(shown) {}
        platform::Answer show(const std::string& text, const std::string& title, platform::Icon icon,
                              platform::Buttons buttons) override;

    private:
        platform::MessageBoxes& shown_;
    };

    void work(std::size_t engine);
    void waitIdle(std::unique_lock<std::mutex>& lock);

    std::vector<std::unique_ptr<clsOculon>> engines_;
    Boxes boxes_;
    std::optional<platform::ScopedServices> services_;  // only with workers
    std::vector<std::thread> threads_;

    std::mutex mutex_;
    std::condition_variable changed_;
    Step step_;
    std::vector<File> files_;
    std::size_t next_ = 0;   // the next file to start
    std::size_t taken_ = 0;  // files taken so far
    std::size_t busy_ = 0;   // steps running
    std::size_t ahead_ = 0;  // how far past the last taken file a worker may start
    bool quit_ = false;
};

}  // namespace scan
