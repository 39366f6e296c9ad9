#include "scan/ScanPool.h"

#include <algorithm>
#include <exception>

namespace scan {

namespace {

// The boxes of the file a worker thread is scanning.
thread_local std::vector<RaisedBox>* tRaised = nullptr;

}  // namespace

platform::Answer ScanPool::Boxes::show(const std::string& text, const std::string& title, platform::Icon icon,
                                       platform::Buttons buttons) {
    if (!tRaised) return shown_.show(text, title, icon, buttons);
    tRaised->push_back(RaisedBox{text, title, icon, buttons});
    return platform::Answer::Ok;
}

ScanPool::ScanPool(const clsOculon& prototype, unsigned workers) : boxes_(platform::boxes()) {
    for (unsigned i = 0; i < std::max(workers, 1u); ++i) engines_.push_back(std::make_unique<clsOculon>(prototype));
    if (workers == 0) return;
    // The program's other services belong to the caller's thread.
    for (auto& engine : engines_) {
        engine->setPumpsEvents(false);
        engine->setFileSystem(&platform::realFileSystem());
    }
    // Installed before any worker runs and put back after the last one ends.
    services_.emplace(platform::Services{.boxes = &boxes_});
    ahead_ = 8 * std::size_t{workers};
    for (unsigned w = 0; w < workers; ++w) threads_.emplace_back([this, w] { work(w); });
}

ScanPool::~ScanPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_) t.join();
}

unsigned ScanPool::workersFor(std::size_t files, unsigned requested) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = requested ? requested : cores;
    return static_cast<unsigned>(std::max<std::size_t>(1, std::min({wanted, files, std::size_t{2} * cores})));
}

void ScanPool::waitIdle(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return busy_ == 0; });
}

void ScanPool::start(std::size_t count, Step step, std::size_t first) {
    std::unique_lock<std::mutex> lock(mutex_);
    next_ = files_.size();
    waitIdle(lock);
    files_.assign(count, File{});
    for (std::size_t i = 0; i < first && i < count; ++i) files_[i].done = true;
    next_ = taken_ = std::min(first, count);
    step_ = std::move(step);
    changed_.notify_all();
}

void ScanPool::stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    next_ = files_.size();
    waitIdle(lock);
}

std::optional<std::vector<RaisedBox>> ScanPool::take(std::size_t i, std::chrono::milliseconds timeout) {
    if (threads_.empty()) {
        // Outside the lock: the step lets window events run.
        if (i >= files_.size()) throw std::out_of_range("no such file in the scan");
        step_(*engines_[0], i);
        std::lock_guard<std::mutex> lock(mutex_);
        files_[i].done = true;
        taken_ = std::max(taken_, i + 1);
        return std::vector<RaisedBox>{};
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (i >= files_.size()) throw std::out_of_range("no such file in the scan");
    if (!changed_.wait_for(lock, timeout, [&] { return files_[i].done; })) return std::nullopt;
    taken_ = std::max(taken_, i + 1);
    changed_.notify_all();
    return std::move(files_[i].boxes);
}

clsOculon& ScanPool::engineOf(std::size_t i) {
    std::lock_guard<std::mutex> lock(mutex_);
    return *engines_[files_.at(i).engine];
}

void ScanPool::work(std::size_t engine) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return quit_ || (next_ < files_.size() && next_ < taken_ + ahead_); });
        if (quit_) return;
        const std::size_t i = next_++;
        files_[i].engine = engine;
        ++busy_;
        lock.unlock();
        std::vector<RaisedBox> raised;
        tRaised = &raised;
        try {
            step_(*engines_[engine], i);
        } catch (const std::exception& e) {
            raised.push_back(RaisedBox{e.what(), "Program Error", platform::Icon::Stop, platform::Buttons::Ok});
        } catch (...) {
            raised.push_back(RaisedBox{"Unknown error", "Program Error", platform::Icon::Stop, platform::Buttons::Ok});
        }
        tRaised = nullptr;
        lock.lock();
        files_[i].boxes = std::move(raised);
        files_[i].done = true;
        --busy_;
        changed_.notify_all();
    }
}

}  // namespace scan
