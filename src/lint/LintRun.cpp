#include "lint/LintRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>

#include "lint/Baseline.h"
#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "scan/BatchScan.h"
#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace lint {

namespace {

// ---------------------------------------------------------------------------
// Writing a file beside its target and renaming it into place, so that the
// target is never left half written. An interrupted run removes its
// unfinished file.

constexpr int TempSlots = 2;
char gTempPaths[TempSlots][4096];

extern "C" void removeTempFilesAndDie(int sig) {
    for (auto& p : gTempPaths)
        if (p[0]) ::unlink(p);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

class ReplacingFile {
public:
    explicit ReplacingFile(int slot) : slot_(slot) {}
    ~ReplacingFile() { abandon(); }
    // Opens the unfinished file; "" or the reason it could not be made.
    std::string open(const std::string& target) {
        target_ = target;
        std::string temp = target + ".sifton-XXXXXX";
        if (temp.size() >= sizeof gTempPaths[0]) return std::strerror(ENAMETOOLONG);
        int fd = ::mkstemp(temp.data());
        if (fd < 0) return std::strerror(errno);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        std::strcpy(gTempPaths[slot_], temp.c_str());
        static bool handlersSet = false;
        if (!handlersSet) {
            for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, removeTempFilesAndDie);
            handlersSet = true;
        }
        temp_ = temp;
        stream_ = ::fdopen(fd, "wb");
        return "";
    }
    std::FILE* stream() { return stream_; }
    // Closes and renames into place; "" or the reason it failed (the
    // unfinished file is then removed).
    std::string commit() {
        std::string why;
        if (std::fflush(stream_) != 0 || std::ferror(stream_)) why = std::strerror(errno);
        if (std::fclose(stream_) != 0 && why.empty()) why = std::strerror(errno);
        stream_ = nullptr;
        if (why.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0) why = std::strerror(errno);
        if (why.empty()) {
            gTempPaths[slot_][0] = '\0';
            temp_.clear();
        }
        return why;
    }
    void abandon() {
        if (stream_) std::fclose(stream_);
        stream_ = nullptr;
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
        gTempPaths[slot_][0] = '\0';
    }

private:
    int slot_;
    std::string target_, temp_;
    std::FILE* stream_ = nullptr;
};

// ---------------------------------------------------------------------------
// Inputs

// "" when `path` names a file that can be read, else the reason. A device
// or a pipe is a file too ("--userdefs /dev/null": no user definitions).
std::string checkReadableFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
    if (::access(path.c_str(), R_OK) != 0) return std::strerror(errno);
    return "";
}

// Reads a whole file; "" or the reason it could not be read.
std::string readInput(const std::string& path, std::string& text) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat st {};
    std::string why;
    if (::fstat(fd, &st) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        why = "not a regular file";
    } else {
        // One byte more than the file holds, so that the read that finds
        // its end needs no more room.
        text.resize(static_cast<std::size_t>(st.st_size) + 1);
        std::size_t got = 0;
        for (;;) {
            if (got == text.size()) text.resize(text.size() + 65536);
            ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = std::strerror(errno);
                break;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
    }
    ::close(fd);
    return why;
}

// The files the paths stand for, in order, each file once however often it
// is named (also through a link or a folder); what cannot be used is added
// to `problems` ("PATH: reason"), an empty folder to `notes`.
std::vector<std::string> collectInputs(const std::vector<std::string>& paths, std::vector<std::string>& problems,
                                       std::vector<std::string>& notes) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            problems.push_back(path + ": " + std::strerror(errno));
        } else if (S_ISDIR(st.st_mode)) {
            const std::size_t before = problems.size();
            std::vector<std::string> found = scan::filesToScan(path, &problems);
            if (found.empty() && problems.size() == before) notes.push_back(path + ": no .BAS, .FRM or .CLS files");
            files.insert(files.end(), found.begin(), found.end());
        } else if (S_ISREG(st.st_mode)) {
            files.push_back(path);
        } else {
            problems.push_back(path + ": not a regular file or folder");
        }
    }
    std::set<std::pair<dev_t, ino_t>> seen;
    std::erase_if(files, [&](const std::string& file) {
        struct stat st {};
        return ::stat(file.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second;
    });
    return files;
}

// ---------------------------------------------------------------------------
// Program errors raised while a worker scans a file are kept with that file
// (and written in file order), not shown at once.

thread_local std::string* tProgramErrors = nullptr;

class CollectingBoxes : public platform::MessageBoxes {
public:
    explicit CollectingBoxes(std::ostream& err) : err_(err) {}
    platform::Answer show(const std::string& text, const std::string& title, platform::Icon,
                          platform::Buttons) override {
        std::string line = title + ": " + textlib::ReplaceAll(text, "\n", "; ");
        if (tProgramErrors) {
            *tProgramErrors += (tProgramErrors->empty() ? "" : "\n") + line;
        } else {
            std::lock_guard<std::mutex> lock(mutex_);
            err_ << "sifton: " << line << "\n";
        }
        return platform::Answer::Ok;
    }

private:
    std::ostream& err_;
    std::mutex mutex_;
};

// ---------------------------------------------------------------------------
// Scanning one file

struct Outcome {
    std::string piece;                       // the file's part of the output
    Counts counts;                           // findings reported
    std::vector<std::string> baselineLines;  // for --write-baseline
    std::string problem;                     // why the file could not be read or scanned
    bool read = false;
};

class FileScanner {
public:
    FileScanner(const Options& options, const scan::clsOculon& prototype, const FormatWriter& writer,
                const Baseline* baseline)
        : options_(options), engine_(prototype), writer_(writer), baseline_(baseline) {}

    Outcome scan(const std::string& path) {
        Outcome o;
        std::string text;
        std::string why = readInput(path, text);
        if (!why.empty()) {
            o.problem = path + ": " + why;
            return o;
        }
        o.read = true;
        std::string programErrors;
        tProgramErrors = &programErrors;
        // First pass: every finding the options let through, with the
        // ordinal the engine gave it.
        std::vector<long> ordinals;
        engine_.setFindingFilter([&](scan::MessageId id, long ordinal) {
            if (options_.ignored.count(id)) return false;
            ordinals.push_back(ordinal);
            return true;
        });
        engine_.LoadFromText(path, text);
        FileResult result = collectFindings(engine_, path);
        if (options_.writeBaseline) {
            const std::string named = baselinePath(path, *options_.writeBaseline);
            for (const Finding& f : result.findings) o.baselineLines.push_back(baselineLine(named, f));
        }
        std::string report;
        if (baseline_) {
            const std::vector<bool> excused = baseline_->excused(path, result.findings);
            std::set<long> dropped;
            std::vector<Finding> kept;
            for (std::size_t i = 0; i < excused.size(); ++i) {
                if (excused[i]) dropped.insert(ordinals[i]);
                else kept.push_back(std::move(result.findings[i]));
            }
            result.findings = std::move(kept);
            // The report text comes from the engine's slots: scan again
            // without the excused findings. (The records then view lines
            // that are gone; the report format reads only their grades.)
            if (!dropped.empty() && options_.format == Format::Report) {
                engine_.setFindingFilter([&](scan::MessageId id, long ordinal) {
                    return !options_.ignored.count(id) && !dropped.count(ordinal);
                });
                engine_.LoadFromText(path, text);
            }
        }
        if (options_.format == Format::Report) report = engine_.sFillMessages();
        tProgramErrors = nullptr;
        if (!programErrors.empty()) o.problem = path + ": " + programErrors;
        o.counts = countFindings(result.findings);
        o.piece = writer_.file(result, std::move(report));
        return o;
    }

private:
    const Options& options_;
    scan::clsOculon engine_;
    const FormatWriter& writer_;
    const Baseline* baseline_;
};

bool fails(const Counts& c, scan::Grade failOn) {
    switch (failOn) {
        case scan::Grade::Suggest:
            if (c.suggestions > 0) return true;
            [[fallthrough]];
        case scan::Grade::Warning:
            if (c.warnings > 0) return true;
            [[fallthrough]];
        case scan::Grade::Error: return c.errors > 0;
    }
    return false;
}

bool writeAll(std::FILE* f, const std::string& s) {
    return s.empty() || std::fwrite(s.data(), 1, s.size(), f) == s.size();
}

}  // namespace

std::set<scan::MessageId> parseRuleList(const std::string& list, std::vector<std::string>& unknown) {
    std::set<scan::MessageId> ids;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string item = textlib::Trim(list.substr(start, comma - start));
        if (!item.empty()) {
            const scan::CatalogueEntry* found = nullptr;
            for (const scan::CatalogueEntry& e : scan::messageCatalogue())
                if (textlib::UCase(scan::ruleId(e)) == textlib::UCase(item)) found = &e;
            if (found) ids.insert(found->id);
            else unknown.push_back(item);
        }
        start = comma + 1;
    }
    return ids;
}

int run(const Options& options, std::FILE* out, std::ostream& err) {
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> problems, notes;

    // The files that decide what is reported must all be there before
    // anything is scanned.
    if (options.userDefs) {
        std::string why = checkReadableFile(*options.userDefs);
        if (!why.empty()) problems.push_back("--userdefs " + *options.userDefs + ": " + why);
    }
    Baseline baseline;
    if (options.baseline) {
        std::string why = checkReadableFile(*options.baseline);
        if (why.empty()) {
            try {
                why = baseline.read(*options.baseline, platform::files().readAll(*options.baseline));
            } catch (const platform::RuntimeError& e) {
                why = e.description();
            }
        }
        if (!why.empty()) problems.push_back("--baseline " + *options.baseline + ": " + why);
    }
    ReplacingFile outputFile(0);
    if (options.output && problems.empty()) {
        std::string why = outputFile.open(*options.output);
        if (!why.empty()) problems.push_back("--output " + *options.output + ": " + why);
        else out = outputFile.stream();
    }
    if (!problems.empty()) {
        for (const std::string& p : problems) err << "sifton: " << p << "\n";
        return ExitProblem;
    }

    const std::vector<std::string> files = collectInputs(options.paths, problems, notes);
    for (const std::string& p : problems) err << "sifton: " << p << "\n";
    for (const std::string& n : notes) err << "sifton: " << n << "\n";
    err.flush();

    // The check level is program-wide: set once here, only read while the
    // workers run. Each worker has its own engine, copied from one that read
    // the user definitions.
    scan::setCheckLevel(options.level);
    CollectingBoxes boxes(err);
    platform::ScopedServices services({.boxes = &boxes});
    const scan::clsOculon prototype = options.userDefs ? scan::clsOculon(*options.userDefs) : scan::clsOculon();
    const std::unique_ptr<FormatWriter> writer = makeWriter(options.format);
    const Baseline* usedBaseline = options.baseline ? &baseline : nullptr;

    unsigned jobs = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(files.size(), 1)));

    std::vector<std::optional<Outcome>> outcomes(files.size());
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0, written = 0;
    bool stop = false;
    // Workers run at most this far ahead of the writer, so that memory
    // stays bounded by a few dozen files' output. Far enough that a writer
    // kept off the processor for a while (on a busy machine) does not stop
    // the workers at once.
    const std::size_t window = 16 * static_cast<std::size_t>(jobs);
    std::vector<std::thread> workers;
    if (jobs > 1) {
        for (unsigned w = 0; w < jobs; ++w) {
            workers.emplace_back([&] {
                FileScanner scanner(options, prototype, *writer, usedBaseline);
                for (;;) {
                    std::size_t i;
                    {
                        std::unique_lock<std::mutex> lock(mutex);
                        changed.wait(lock, [&] { return stop || next >= files.size() || next < written + window; });
                        if (stop || next >= files.size()) return;
                        i = next++;
                    }
                    Outcome o = scanner.scan(files[i]);
                    std::lock_guard<std::mutex> lock(mutex);
                    outcomes[i] = std::move(o);
                    changed.notify_all();
                }
            });
        }
    }

    Totals totals;
    totals.unreadable = static_cast<long>(problems.size());
    std::vector<std::string> baselineLines;
    bool writeFailed = !writeAll(out, writer->opening());
    bool anyPiece = false;
    std::optional<FileScanner> inlineScanner;
    if (jobs == 1) inlineScanner.emplace(options, prototype, *writer, usedBaseline);
    for (std::size_t i = 0; i < files.size(); ++i) {
        Outcome o;
        if (inlineScanner) {
            o = inlineScanner->scan(files[i]);
        } else {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return outcomes[i].has_value(); });
            o = std::move(*outcomes[i]);
            outcomes[i].reset();
            written = i + 1;
            changed.notify_all();
        }
        if (!o.problem.empty()) {
            err << "sifton: " << o.problem << "\n";
            problems.push_back(o.problem);
        }
        if (!o.read) {
            ++totals.unreadable;
            continue;
        }
        ++totals.files;
        totals.counts.add(o.counts);
        if (!o.piece.empty()) {
            if (anyPiece) writeFailed |= !writeAll(out, writer->separator());
            writeFailed |= !writeAll(out, o.piece);
            anyPiece = true;
        }
        for (std::string& l : o.baselineLines) baselineLines.push_back(std::move(l));
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
        changed.notify_all();
    }
    for (std::thread& t : workers) t.join();
    writeFailed |= !writeAll(out, writer->closing(totals));
    writeFailed |= std::fflush(out) != 0 || std::ferror(out);

    const std::string outputName = options.output ? *options.output : "standard output";
    if (writeFailed) {
        problems.push_back("cannot write " + outputName);
        err << "sifton: cannot write " << outputName << ": " << std::strerror(errno) << "\n";
        outputFile.abandon();
    } else if (options.output) {
        std::string why = outputFile.commit();
        if (!why.empty()) {
            problems.push_back(why);
            err << "sifton: cannot write " << outputName << ": " << why << "\n";
        }
    }

    if (options.writeBaseline) {
        std::sort(baselineLines.begin(), baselineLines.end());
        ReplacingFile file(1);
        std::string why = file.open(*options.writeBaseline);
        if (why.empty()) {
            std::string text = std::string(BaselineHeader) + "\n";
            for (const std::string& l : baselineLines) text += l + "\n";
            if (!writeAll(file.stream(), text)) why = std::strerror(errno);
            else why = file.commit();
        }
        if (!why.empty()) {
            problems.push_back(why);
            err << "sifton: cannot write " << *options.writeBaseline << ": " << why << "\n";
        }
    }

    if (!options.quiet) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char time[32];
        std::snprintf(time, sizeof time, "%.2f s", seconds);
        err << "sifton: " << totals.files << " files scanned, " << totals.counts.errors << " errors, "
            << totals.counts.warnings << " warnings, " << totals.counts.suggestions << " suggestions, "
            << totals.unreadable << " not readable, " << time << "\n";
    }
    if (!problems.empty()) return ExitProblem;
    if (options.writeBaseline) return ExitClean;
    return fails(totals.counts, options.failOn) ? ExitFindings : ExitClean;
}

}  // namespace lint
