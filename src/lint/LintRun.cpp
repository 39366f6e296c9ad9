#include "lint/LintRun.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>

#include "lint/Baseline.h"
#include "lint/Spool.h"
#include "lint/Suppressions.h"
#include "platform/FileSystem.h"
#include "platform/ReplaceFile.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "scan/BatchScan.h"
#include "scan/ScanPool.h"
#include "scan/clsOculon.h"
#include "textlib/TextLib.h"

namespace lint {

namespace {

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

// Which files are which: device and inode.
using FileIds = std::set<std::pair<dev_t, ino_t>>;

// The files the paths stand for, in order, each file once however often it
// is named (also through a link or a folder); what cannot be used is added
// to `problems` ("PATH: reason"), an empty folder to `notes`; the files'
// ids to `seen`.
std::vector<std::string> collectInputs(const Options& options, std::vector<std::string>& problems,
                                       std::vector<std::string>& notes, FileIds& seen) {
    const std::vector<std::string>& paths = options.paths;
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            problems.push_back(path + ": " + std::strerror(errno));
        } else if (S_ISDIR(st.st_mode)) {
            const std::size_t before = problems.size();
            std::vector<std::string> found = scan::filesToScan(path, &problems);
            if (options.project)
                std::erase_if(found, [&](const std::string& f) { return isExcluded(*options.project, f); });
            if (found.empty() && problems.size() == before) notes.push_back(path + ": no .BAS, .FRM or .CLS files");
            files.insert(files.end(), found.begin(), found.end());
        } else if (S_ISREG(st.st_mode)) {
            files.push_back(path);
        } else {
            problems.push_back(path + ": not a regular file or folder");
        }
    }
    std::erase_if(files, [&](const std::string& file) {
        struct stat st {};
        return ::stat(file.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second;
    });
    return files;
}

// ---------------------------------------------------------------------------
// Outputs

// "" when `target` can take an output, else the reason, found before anything
// is scanned: an existing file must be one this user may write (a device or
// a FIFO is written as it is); a new one needs a folder this user may write.
std::string whyNotWritable(const std::string& target, const FileIds& inputs) {
    const std::string real = platform::files().resolveLinks(target);
    struct stat st {};
    if (::stat(real.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
        if (inputs.count({st.st_dev, st.st_ino})) return "is one of the files to scan";
        if (::access(real.c_str(), W_OK) != 0) return std::strerror(errno);
        return "";
    }
    if (errno != ENOENT) return std::strerror(errno);
    const std::size_t slash = real.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : real.substr(0, slash);
    if (::stat(folder.c_str(), &st) != 0) return "folder " + folder + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return "folder " + folder + ": " + std::strerror(ENOTDIR);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return "folder " + folder + ": " + std::strerror(errno);
    return "";
}

// Whether `path` names the file that `stream` writes to.
bool isOpenAs(const std::string& path, std::FILE* stream) {
    struct stat named = {}, opened = {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(::fileno(stream), &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Writes `target` through the suite's one safe replace of a file (a link's
// file replaced, mode and owner kept, a device or a FIFO written as it is,
// the new text synced); "" or why it failed, with the target as it was. Interrupting signals wait
// until it is done, so that the target is either as it was or whole; their
// dispositions are not touched, so what the run inherited as ignored stays
// ignored.
std::string writeTarget(const std::string& target, const std::function<void(platform::OutputFile&)>& write) {
    sigset_t interrupts, before;
    sigemptyset(&interrupts);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&interrupts, sig);
    pthread_sigmask(SIG_BLOCK, &interrupts, &before);
    std::string why;
    try {
        // A folder that could not be synced leaves the output in place but
        // perhaps not past a crash: the run says so and fails all the same.
        const std::string unsynced = platform::replaceFile(
            target, "", false, [&](platform::OutputFile& out, platform::InputFile*) { write(out); });
        if (!unsynced.empty()) why = "written, but its folder could not be synced: " + unsynced;
    } catch (const platform::RuntimeError& e) {
        why = e.description();
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return why;
}

// ---------------------------------------------------------------------------
// Boxes raised outside a file's scan (while the user definitions are read)
// go straight to standard error; those of a file come back with it.

class ErrorBoxes : public platform::MessageBoxes {
public:
    explicit ErrorBoxes(std::ostream& err) : err_(err) {}
    platform::Answer show(const std::string& text, const std::string& title, platform::Icon,
                          platform::Buttons) override {
        err_ << "sifton: " << boxLine(title, text) << "\n";
        return platform::Answer::Ok;
    }
    // A box on one line: "Program Error: Err Code: 9; Err Desc: ...".
    static std::string boxLine(const std::string& title, const std::string& text) {
        return title + ": " + textlib::ReplaceAll(text, "\n", "; ");
    }

private:
    std::ostream& err_;
};

// ---------------------------------------------------------------------------
// Scanning one file, on an engine of the scan pool

struct Outcome {
    Counts counts;                           // findings reported
    std::vector<std::string> baselineLines;  // for --write-baseline
    std::string problem;                     // why the file could not be read
    bool read = false;
};

class FileScanner {
public:
    FileScanner(const Options& options, const FormatWriter& writer, const Baseline* baseline)
        : options_(options), writer_(writer), baseline_(baseline) {}

    // Scans one file and writes its piece to `out` as its lines are done:
    // the engine keeps no line (but for the report, which it makes itself)
    // and no finding, and the findings of a line go out once no comment can
    // suppress them any more.
    Outcome scan(scan::clsOculon& engine, const std::string& path, const PieceOut& out) const {
        Outcome o;
        std::string text;
        try {
            text = platform::files().readAll(path);
        } catch (const platform::RuntimeError& e) {
            o.problem = path + ": " + e.description();
            return o;
        }
        o.read = true;
        const bool report = options_.format == Format::Report;
        const std::unique_ptr<FilePiece> piece = writer_.file(path, out);
        // The file's notes, path, name and line count, for the end of its piece.
        FileResult summary;
        summary.path = path;
        // Suppression comments. The report format shows every finding as the
        // scanner window does; only a baseline run drops accepted ones there.
        SuppressionMarks marks([&](const scan::CatalogueEntry& e) {
            return withinLevel(e.grade, options_.level) && !options_.ignored.count(e.id);
        });
        const std::function<bool(const Finding&)> excuses = baseline_ ? baseline_->matcher(path) : nullptr;
        const std::string baselineName =
            options_.writeBaseline ? baselinePath(path, *options_.writeBaseline) : std::string();
        // The ordinals the engine gave the findings not yet judged, and those
        // of the findings the baseline excused.
        std::deque<long> ordinals;
        std::set<long> dropped;
        // No finding need wait for an "ignore-file" comment further down: a
        // file that has any is read for them first.
        SuppressionMarks before([](const scan::CatalogueEntry&) { return false; });
        if (mayHaveFileMarks(text)) {
            std::vector<Note> notes;
            engine.setFindingFilter([](scan::MessageId, long) { return false; });
            engine.setLineSink(
                [&](const scan::tSourceLine* line, long, const std::vector<scan::tFinding>&) {
                    if (line) before.read(*line, notes);
                },
                false);
            engine.LoadFromText(path, text, nullptr, options_.level);
        }
        marks.takeFileMarks(before);
        engine.setFindingFilter([&](scan::MessageId id, long ordinal) {
            if (options_.ignored.count(id)) return false;
            ordinals.push_back(ordinal);
            return true;
        });
        std::vector<Finding> batch, kept;
        const auto judge = [&](std::vector<Finding>& findings) {
            for (Finding& f : findings) marks.judge(f);
            if (options_.writeBaseline)
                for (std::string& l : baselineLines(baselineName, findings)) o.baselineLines.push_back(std::move(l));
            kept.clear();
            for (Finding& f : findings) {
                const long ordinal = ordinals.front();
                ordinals.pop_front();
                // A suppressed finding uses up no baseline entry; the report
                // format drops it like an excused one.
                if (excuses && (f.suppressed ? report : excuses(f))) {
                    dropped.insert(ordinal);
                    continue;
                }
                if (report) f.suppressed = false;
                if (!f.suppressed) o.counts.add(f.entry->grade);
                kept.push_back(f);
            }
            piece->findings(kept);
        };
        engine.setLineSink(
            [&](const scan::tSourceLine* line, long, const std::vector<scan::tFinding>& filed) {
                if (line) marks.read(*line, summary.notes);
                batch.clear();
                for (const scan::tFinding& f : filed) batch.push_back(recordOf(f, line));
                judge(batch);
                if (line) marks.closeThrough(line->iPhysicalLine, summary.notes);
            },
            false);
        std::string reportText;
        // The report is made as the lines go, laid out for the head it will
        // most likely have; the text is needed again for a second pass.
        std::string again = report ? text : std::string();
        if (report) engine.setStreamedReport(scan::clsOculon::StreamedReport{});
        engine.LoadFromText(path, std::move(text), nullptr, options_.level);
        marks.finish(summary.notes);
        if (report) {
            reportText = reportOf(engine, path, std::move(again), dropped);
            summary.notes.clear();
        }
        engine.setLineSink(nullptr);
        engine.setStreamedReport(std::nullopt);
        engine.setFindingFilter(nullptr);
        summary.internalName = engine.internalName();
        summary.lineCount = engine.lineCount();
        piece->finish(summary, o.counts, std::move(reportText));
        return o;
    }

private:
    // The report of the file the engine scanned last with a streamed report,
    // without the findings whose ordinals are `dropped`: scanned again when
    // findings are dropped, and again when the report was laid out for
    // another head than the one it has.
    std::string reportOf(scan::clsOculon& engine, const std::string& path, std::string text,
                         const std::set<long>& dropped) const {
        // The last pass takes the text over.
        const auto again = [&](std::optional<scan::clsOculon::StreamedReport> layout, bool last) {
            engine.setStreamedReport(std::move(layout));
            if (last) engine.LoadFromText(path, std::move(text), nullptr, options_.level);
            else engine.LoadFromText(path, text, nullptr, options_.level);
        };
        engine.setLineSink([](const scan::tSourceLine*, long, const std::vector<scan::tFinding>&) {}, false);
        if (!dropped.empty()) {
            engine.setFindingFilter([&](scan::MessageId id, long ordinal) {
                return !options_.ignored.count(id) && !dropped.count(ordinal);
            });
            again(scan::clsOculon::StreamedReport{}, false);
        }
        std::optional<std::string> report = engine.streamedReport();
        if (!report) {
            again(engine.streamedReportLayout(), true);
            report = engine.streamedReport();
        }
        if (report) return std::move(*report);
        // Made from the lines kept, should the layout still not hold (the
        // file read again: its text went to the last pass).
        engine.setLineSink(nullptr);
        engine.setStreamedReport(std::nullopt);
        engine.Load(path, nullptr, options_.level);
        return engine.sFillMessages();
    }

    const Options& options_;
    const FormatWriter& writer_;
    const Baseline* baseline_;
};

// The pieces of the files, written in the order of the files while they are
// scanned: the file whose turn it is writes straight to the output, a later
// file's piece is held until its turn in a spool (its first megabyte in
// memory, the rest in a temporary file). The scan pool starts files at most
// a few per worker ahead of the one taken last, so that no more than those
// are held at once.
class OrderedOutput {
public:
    OrderedOutput(std::FILE* out, std::string separator, std::size_t files)
        : out_(out), separator_(std::move(separator)), files_(files) {}

    // Text of file i's piece, from the thread that scans it.
    void write(std::size_t i, std::string_view text) {
        if (text.empty()) return;
        std::lock_guard<std::mutex> lock(mutex_);
        Piece& piece = files_.at(i);
        if (i == current_) emit(piece, text);
        else hold(piece, text);
    }
    // File i's piece is whole: the next file's turn comes once every file
    // before it is whole too.
    void finish(std::size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        files_.at(i).done = true;
        while (current_ < files_.size() && files_[current_].done) {
            if (++current_ == files_.size()) break;
            Piece& next = files_[current_];
            try {
                next.held.drainTo([&](std::string_view text) { emit(next, text); });
            } catch (const platform::RuntimeError& e) {
                fail(e.description());
            }
        }
    }
    // "" or why the output could not be written.
    std::string failure() {
        std::lock_guard<std::mutex> lock(mutex_);
        return failure_;
    }

private:
    struct Piece {
        Spool held;
        bool done = false;
        bool begun = false;  // some of its text is written
    };
    void emit(Piece& piece, std::string_view text) {
        if (!piece.begun) {
            if (any_) put(separator_);
            piece.begun = any_ = true;
        }
        put(text);
    }
    void hold(Piece& piece, std::string_view text) {
        try {
            piece.held.append(text);
        } catch (const platform::RuntimeError& e) {
            fail("a temporary file: " + e.description());
        }
    }
    void put(std::string_view text) {
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out_) != text.size()) fail(std::strerror(errno));
    }
    void fail(const std::string& why) {
        if (failure_.empty()) failure_ = why;
    }

    std::mutex mutex_;
    std::FILE* out_;
    const std::string separator_;
    std::vector<Piece> files_;
    std::size_t current_ = 0;  // the file whose turn it is
    bool any_ = false;         // a piece was begun
    std::string failure_;
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
    // The outputs too, and they are never one of the inputs.
    FileIds inputs;
    std::vector<std::string> unused;
    const std::vector<std::string> files = collectInputs(options, unused, notes, inputs);
    for (const auto& [option, target] :
         {std::pair{"--output", options.output}, std::pair{"--write-baseline", options.writeBaseline}}) {
        const std::string why = target ? whyNotWritable(*target, inputs) : "";
        if (!why.empty()) problems.push_back(std::string(option) + " " + *target + ": " + why);
    }
    // An output that is this run's own standard output ("-o /dev/stdout")
    // is written there as standard output is, where the shell left it.
    const bool toStandardOutput = options.output && isOpenAs(*options.output, out);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> spool(nullptr, std::fclose);
    if (options.output && !toStandardOutput && problems.empty()) {
        spool.reset(openSpool());
        if (!spool) problems.push_back("--output " + *options.output + ": " + std::strerror(errno));
        out = spool.get();
    }
    if (!problems.empty()) {
        for (const std::string& p : problems) err << "sifton: " << p << "\n";
        return ExitProblem;
    }
    problems = std::move(unused);
    for (const std::string& p : problems) err << "sifton: " << p << "\n";
    for (const std::string& n : notes) err << "sifton: " << n << "\n";
    err.flush();

    // Each engine of the pool is a copy of one that read the user
    // definitions; the check level goes with each scan.
    ErrorBoxes boxes(err);
    platform::ScopedServices services({.boxes = &boxes});
    const scan::clsOculon prototype = options.userDefs ? scan::clsOculon(*options.userDefs) : scan::clsOculon();
    const std::unique_ptr<FormatWriter> writer = makeWriter(options.format);
    const FileScanner scanner(options, *writer, options.baseline ? &baseline : nullptr);
    bool writeFailed = !writeAll(out, writer->opening());
    std::string why = writeFailed ? std::strerror(errno) : "";
    std::vector<Outcome> outcomes(files.size());  // made before the pool, gone after it
    OrderedOutput ordered(out, writer->separator(), files.size());
    scan::ScanPool pool(prototype, scan::ScanPool::workersFor(files.size(), options.jobs));
    pool.start(files.size(), [&](scan::clsOculon& engine, std::size_t i) {
        struct Finish {
            OrderedOutput& ordered;
            std::size_t i;
            ~Finish() { ordered.finish(i); }
        } finish{ordered, i};
        outcomes[i] = scanner.scan(engine, files[i], [&ordered, i](std::string_view text) { ordered.write(i, text); });
    });

    Totals totals;
    totals.unreadable = static_cast<long>(problems.size());
    std::vector<std::string> baselineLines;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::vector<scan::RaisedBox> raised = *pool.take(i);
        Outcome o = std::move(outcomes[i]);
        for (const scan::RaisedBox& box : raised)
            o.problem += (o.problem.empty() ? files[i] + ": " : "\n") + ErrorBoxes::boxLine(box.title, box.text);
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
        for (std::string& l : o.baselineLines) baselineLines.push_back(std::move(l));
    }
    if (why.empty()) why = ordered.failure();
    writeFailed = !writeAll(out, writer->closing(totals));
    writeFailed |= std::fflush(out) != 0 || std::ferror(out);
    if (why.empty() && writeFailed) why = std::strerror(errno);

    if (why.empty() && spool) {
        why = writeTarget(*options.output, [&](platform::OutputFile& file) {
            std::rewind(out);
            std::string chunk(1 << 20, '\0');
            for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), out)) > 0;)
                file.write(chunk.substr(0, n));
            if (std::ferror(out)) platform::raise(platform::err::DeviceIO);
        });
    }
    if (!why.empty()) {
        const std::string name = options.output ? *options.output : "standard output";
        problems.push_back("cannot write " + name);
        err << "sifton: cannot write " << name << ": " << why << "\n";
    }

    if (options.writeBaseline) {
        std::sort(baselineLines.begin(), baselineLines.end());
        why = writeTarget(*options.writeBaseline, [&](platform::OutputFile& file) {
            file.write(std::string(BaselineHeader) + "\n");
            for (std::string& l : baselineLines) file.write(l += '\n');
        });
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
