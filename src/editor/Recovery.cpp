#include "editor/Recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/ReplaceFile.h"
#include "platform/RuntimeError.h"

namespace editor {
namespace {

constexpr const char* Magic = "varnel recovery 1\n";

// Header values on one line: "%", CR and LF are written as %25, %0D, %0A.
std::string escape(const std::string& s) {
    std::string out;
    for (const char c : s) {
        if (c == '%') out += "%25";
        else if (c == '\r') out += "%0D";
        else if (c == '\n') out += "%0A";
        else out += c;
    }
    return out;
}

std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::int64_t number(const std::string& s) {
    try {
        return std::stoll(s);
    } catch (...) {
        return 0;
    }
}

// Makes `folder` and the folders above it; only the user may enter the last.
void makeFolder(const std::string& folder) {
    for (std::size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1))
        ::mkdir(folder.substr(0, at).c_str(), 0700);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) platform::raise(platform::err::PathNotFound);
}

// Opens and locks `id`.lock; -1 when another window holds it. The lock
// holds only while the name still names the locked file: a lock file removed
// between its opening and its locking (swept away as a stray) is made again.
int lockOf(const std::string& id, bool wait) {
    const std::string path = id + ".lock";
    for (int tries = 0; tries < 100; ++tries) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return -1;
        if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
            ::close(fd);
            return -1;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
    return -1;
}

// A window's name: its process id, "-" and 16 hexadecimal digits.
bool isWindowId(const std::string& name) {
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string::npos || name.size() != dash + 17) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (i < dash ? !std::isdigit(static_cast<unsigned char>(name[i]))
                     : i > dash && !std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Removes the lock of an ended window that never wrote a record.
void removeStrayLock(const std::string& id) {
    if (exists(id + ".rec")) return;
    const int lock = lockOf(id, false);
    if (lock < 0) return;  // its window lives
    if (!exists(id + ".rec")) ::unlink((id + ".lock").c_str());
    ::close(lock);
}

void removeRecord(const std::string& id) {
    ::unlink((id + ".rec").c_str());
    ::unlink((id + ".lock").c_str());
}

}  // namespace

std::string recoveryHead(const RecoveryRecord& r) {
    return std::string(Magic) + "file " + escape(r.file) + "\nmode " + (r.mode == Mode::Entity ? "entity" : "whole") +
           "\nentity " + escape(r.entity) + "\nsize " + std::to_string(r.fileSize) + "\nmodified " +
           std::to_string(r.fileModified) + "\nwritten " + std::to_string(r.written) + "\ntext " +
           std::to_string(r.text.size()) + "\n";
}

std::string formatRecovery(const RecoveryRecord& r) { return recoveryHead(r) + r.text; }

std::optional<RecoveryRecord> parseRecovery(const std::string& bytes) {
    if (bytes.rfind(Magic, 0) != 0) return std::nullopt;
    RecoveryRecord r;
    std::size_t at = std::string(Magic).size();
    for (;;) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) return std::nullopt;
        const std::string line = bytes.substr(at, end - at);
        at = end + 1;
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank), value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (key == "file") r.file = unescape(value);
        else if (key == "mode") r.mode = value == "entity" ? Mode::Entity : Mode::WholeFile;
        else if (key == "entity") r.entity = unescape(value);
        else if (key == "size") r.fileSize = number(value);
        else if (key == "modified") r.fileModified = number(value);
        else if (key == "written") r.written = number(value);
        else if (key == "text") {
            const auto length = static_cast<std::size_t>(number(value));
            if (bytes.size() - at != length) return std::nullopt;
            r.text = bytes.substr(at);
            return r;
        }
    }
}

std::string recoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/varnel";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/state/varnel";
    return "";
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char here[4096];
    return ::getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

std::string recoveryQuestion(const RecoveryRecord& r, bool fileChangedSince) {
    char when[32] = "";
    const std::time_t t = static_cast<std::time_t>(r.written);
    std::tm local{};
    if (::localtime_r(&t, &local)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    const std::string file = r.file.empty() ? "an untitled text" : r.file;
    std::string text = "varnel found unsaved changes to " + file + " from " + when + ". Recover them?";
    if (fileChangedSince) text += "\r\n\r\n" + file + " has been changed on disk since then.";
    return text;
}

void RecoverySchedule::changed(Clock::time_point now) {
    if (!pending_) first_ = now;
    pending_ = true;
    last_ = now;
}

bool RecoverySchedule::due(Clock::time_point now) const {
    return pending_ && (now - last_ >= pause_ || now - first_ >= longest_);
}

LeftOver::LeftOver(LeftOver&& other) noexcept
    : id_(std::move(other.id_)), record_(std::move(other.record_)), lock_(other.lock_) {
    other.lock_ = -1;
}

LeftOver& LeftOver::operator=(LeftOver&& other) noexcept {
    std::swap(id_, other.id_);
    std::swap(record_, other.record_);
    std::swap(lock_, other.lock_);
    return *this;
}

LeftOver::~LeftOver() {
    if (lock_ >= 0) ::close(lock_);
}

void LeftOver::discard() {
    removeRecord(id_);
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
}

std::vector<LeftOver> findLeftOvers(const std::string& folder, const std::string& file) {
    std::vector<LeftOver> found;
    if (folder.empty()) return found;
    for (const std::string& name : platform::realFileSystem().listFolder(folder)) {
        if (name.size() > 5 && name.ends_with(".lock") && isWindowId(name.substr(0, name.size() - 5)))
            removeStrayLock(folder + "/" + name.substr(0, name.size() - 5));
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".rec") != 0) continue;
        const std::string id = folder + "/" + name.substr(0, name.size() - 4);
        const int lock = lockOf(id, false);
        if (lock < 0) continue;  // its window lives
        std::optional<RecoveryRecord> record;
        try {
            record = parseRecovery(platform::realFileSystem().readAll(id + ".rec"));
        } catch (const platform::RuntimeError&) {}
        if (record && record->file == file) found.emplace_back(id, std::move(*record), lock);
        else ::close(lock);
    }
    std::sort(found.begin(), found.end(),
              [](const LeftOver& a, const LeftOver& b) { return a.record().written > b.record().written; });
    return found;
}

RecoveryFile::RecoveryFile(std::string folder) : folder_(std::move(folder)) {
    std::random_device random;
    char tag[17];
    std::snprintf(tag, sizeof tag, "%08x%08x", random(), random());
    id_ = folder_ + "/" + std::to_string(::getpid()) + "-" + tag;
    try {
        makeFolder(folder_);
        lock_ = lockOf(id_, true);
    } catch (const platform::RuntimeError&) {
        error_ = "The folder " + folder_ + " cannot be made.";
    }
    thread_ = std::thread([this] { run(); });
}

RecoveryFile::~RecoveryFile() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stop_ = true;
        next_.reset();
    }
    wake_.notify_all();
    thread_.join();
    removeRecord(id_);
    if (lock_ >= 0) ::close(lock_);
}

void RecoveryFile::write(RecoveryRecord header, std::function<std::string()> text) {
    kept_ = true;
    hand(Request{false, id_, std::move(header), std::move(text)});
}

void RecoveryFile::remove() {
    if (!kept_) return;
    kept_ = false;
    hand(Request{true, id_, {}, {}});
}

void RecoveryFile::hand(Request request) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        next_ = std::move(request);
    }
    wake_.notify_all();
}

void RecoveryFile::flush() {
    std::unique_lock<std::mutex> hold(mutex_);
    idle_.wait(hold, [this] { return !next_ && !busy_; });
}

std::string RecoveryFile::takeError() {
    std::lock_guard<std::mutex> hold(mutex_);
    return std::exchange(error_, std::string());
}

void RecoveryFile::adopt(LeftOver&& found) {
    flush();
    removeRecord(id_);
    if (lock_ >= 0) ::close(lock_);
    id_ = found.id_;
    lock_ = found.lock_;
    found.lock_ = -1;
    kept_ = true;
}

void RecoveryFile::run() {
    // Below the window's thread, so that a big text being written away does
    // not take the processor from the typing.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        wake_.wait(hold, [this] { return stop_ || next_; });
        if (stop_) break;
        Request request = std::move(*next_);
        next_.reset();
        busy_ = true;
        hold.unlock();
        std::string why;
        try {
            perform(request);
        } catch (const platform::RuntimeError& e) {
            why = e.description();
        }
        hold.lock();
        busy_ = false;
        if (!why.empty()) error_ = why;
        if (!next_) idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

void RecoveryFile::perform(Request& request) {
    const std::string path = request.id + ".rec";
    if (request.remove) {
        ::unlink(path.c_str());
        return;
    }
    request.header.text = request.text();
    const std::string head = recoveryHead(request.header);
    platform::replaceFile(platform::realFileSystem(), path, "", false,
                          [&](platform::OutputFile& out, platform::InputFile*) {
                              out.write(head);
                              out.write(request.header.text);
                          });
}

}  // namespace editor
