#pragma once
// Recovery files: while a window holds unsaved changes its text is kept in a
// file of its own under the user's state folder ($XDG_STATE_HOME/varnel, by
// default ~/.local/state/varnel), so that a crash or a kill loses nothing.
//
//   RecoveryFile keep(recoveryFolder());      // one per window, for its life
//   keep.write(header, [snapshot] { ... });   // on the writer's own thread
//   keep.remove();                            // saved, or closed without saving
//
// Each window's record is "<id>.rec" beside a lock "<id>.lock" that the
// window holds while it lives; a record whose lock nobody holds was left by a
// window that ended without its goodbye, and findLeftOvers offers it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "editor/SourceDocument.h"

namespace editor {

// What a recovery file holds.
struct RecoveryRecord {
    std::string file;  // the window's file, an absolute path; "" for a window without one
    Mode mode = Mode::WholeFile;
    std::string entity;             // entity mode: the entity edited
    std::int64_t fileSize = -1;     // the file as it was read (-1: it had none) ...
    std::int64_t fileModified = 0;  // ... and its time, in nanoseconds
    std::int64_t written = 0;       // when the text was taken, seconds since the epoch
    std::string text;               // CR LF line ends
};

std::string formatRecovery(const RecoveryRecord& record);
// The record without its text: formatRecovery(r) == recoveryHead(r) + r.text.
std::string recoveryHead(const RecoveryRecord& record);
// nullopt when the bytes are not a whole record.
std::optional<RecoveryRecord> parseRecovery(const std::string& bytes);

// $XDG_STATE_HOME/varnel when that is an absolute path, else
// $HOME/.local/state/varnel; "" when neither is known.
std::string recoveryFolder();
// The path as an absolute one (not resolving links): how records name files.
std::string absolutePath(const std::string& path);

// The question asked about a left-over record; fileChangedSince adds that the
// file is no longer the one the changes were made to.
std::string recoveryQuestion(const RecoveryRecord& record, bool fileChangedSince);

// When a window's record is written: once changes pause for `pause`, and
// at the latest `longest` after the first change not yet written.
class RecoverySchedule {
public:
    using Clock = std::chrono::steady_clock;
    RecoverySchedule(Clock::duration pause, Clock::duration longest) : pause_(pause), longest_(longest) {}
    void changed(Clock::time_point now);
    bool due(Clock::time_point now) const;
    void written() { pending_ = false; }

private:
    Clock::duration pause_, longest_;
    bool pending_ = false;
    Clock::time_point first_, last_;
};

// A record that no living window holds, locked while it is looked at.
class LeftOver {
public:
    LeftOver(std::string id, RecoveryRecord record, int lock)
        : id_(std::move(id)), record_(std::move(record)), lock_(lock) {}
    LeftOver(LeftOver&& other) noexcept;
    LeftOver& operator=(LeftOver&& other) noexcept;
    ~LeftOver();
    const RecoveryRecord& record() const { return record_; }
    // Removes the record and its lock.
    void discard();

private:
    friend class RecoveryFile;
    std::string id_;
    RecoveryRecord record_;
    int lock_;
};

// The left-over records of `file` (an absolute path, "" for windows without
// one), newest first. On the way the locks of ended windows that never wrote
// a record go.
std::vector<LeftOver> findLeftOvers(const std::string& folder, const std::string& file);

// One window's recovery file, written by a thread of its own: the window's
// thread only hands over a request, and a newer request replaces one not yet
// begun.
class RecoveryFile {
public:
    explicit RecoveryFile(std::string folder);
    // Ends the writer and removes the record: a window that closes normally
    // has nothing unsaved left.
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Writes `header` with the text `text()` makes (on the writer's thread).
    void write(RecoveryRecord header, std::function<std::string()> text);
    void remove();
    // Waits until every request handed over is done.
    void flush();
    // A record is on the disk or on its way there.
    bool kept() const { return kept_; }
    // Why the last write failed, once; "" when it did not.
    std::string takeError();
    // The record's path.
    std::string path() const { return id_ + ".rec"; }
    // This window carries on with a left-over record: its name and lock
    // become this window's, so that it is never without one.
    void adopt(LeftOver&& found);

private:
    struct Request {
        bool remove = false;
        std::string id;  // the record's path without ".rec"
        RecoveryRecord header;
        std::function<std::string()> text;
    };
    void run();
    void perform(Request& request);
    void hand(Request request);

    std::string folder_, id_, error_;
    int lock_ = -1;
    bool kept_ = false;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<Request> next_;
    bool busy_ = false, stop_ = false;
    std::thread thread_;
};

}  // namespace editor
