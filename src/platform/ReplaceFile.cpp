#include "platform/ReplaceFile.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>

#include "platform/RuntimeError.h"
#include "platform/Services.h"

namespace platform {
namespace {

// The folder part of a path, with its "/" ("" for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The files a save makes for a while carry the name of the file they serve,
// what they are, the process that made them and a tag nobody can foresee:
// "MAIN.BAS.~sav.4711.0f3c9a1e5b7d2c48". No file or link can be put in their
// place beforehand in a folder that others may write, two saves of one file
// never meet, and what a killed save left is recognised as such.
constexpr const char* NewText = ".~sav.";
constexpr const char* OldText = ".~old.";
constexpr std::size_t TagLength = 16;

std::string passingName(const std::string& folder, const std::string& name, const char* kind) {
    std::random_device random;
    char tag[TagLength + 1];
    std::snprintf(tag, sizeof tag, "%08x%08x", random(), random());
    return folder + name + kind + std::to_string(::getpid()) + "." + tag;
}

// The process that made a passing file of `name`, from its name; 0 when the
// name is not one of them.
pid_t makerOf(const std::string& file, const std::string& name, const char* kind) {
    const std::string prefix = name + kind;
    if (file.size() <= prefix.size() + TagLength + 1 || file.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::size_t dot = file.size() - TagLength - 1;
    if (file[dot] != '.' || file.find_first_not_of("0123456789abcdef", dot + 1) != std::string::npos) return 0;
    const std::string digits = file.substr(prefix.size(), dot - prefix.size());
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return static_cast<pid_t>(std::stol(digits));
}

// Removes the new texts that saves of `file` left beside it when they were
// killed halfway (the file itself was never touched by them): only this
// user's, and only where the process that made them has ended. Kept copies of
// old bytes are never removed: after a save killed while writing into the
// file itself, one may be the only whole copy of it.
void removeStrays(FileSystem& fs, const std::string& file) {
    const std::string folder = folderOf(file), name = nameOf(file);
    for (const std::string& entry : fs.listFolder(folder.empty() ? "." : folder)) {
        const pid_t maker = makerOf(entry, name, NewText);
        if (maker <= 0 || maker == ::getpid() || ::kill(maker, 0) == 0 || errno != ESRCH) continue;
        const FileFacts f = fs.facts(folder + entry);
        if (f.exists && f.regular && f.mine) removeQuietly(fs, folder + entry);
    }
}

// Copies `from` to the new file `to` with its permissions, and waits until
// the copy and its name are on the disk.
void copyDurably(FileSystem& fs, const std::string& from, const std::string& to) {
    auto in = fs.openRead(from);
    auto out = fs.openNew(to, false);
    for (std::string chunk; !(chunk = in->readBytes(1 << 20)).empty();) out->write(chunk);
    fs.copyPermissions(from, to);
    out->sync();
    out->close();
    fs.syncFolder(to);
}

// Keeps a copy of `file` beside it where its folder allows, else in the
// temporary folder; returns the copy's name.
std::string keepOldBytes(FileSystem& fs, const std::string& file) {
    const std::string name = nameOf(file);
    std::string kept = passingName(folderOf(file), name, OldText);
    try {
        copyDurably(fs, file, kept);
        return kept;
    } catch (const RuntimeError&) {
        removeQuietly(fs, kept);
    }
    kept = passingName(fs.tempFolder() + "/", name, OldText);
    try {
        copyDurably(fs, file, kept);
    } catch (...) {
        removeQuietly(fs, kept);
        throw;
    }
    return kept;
}

}  // namespace

void removeQuietly(FileSystem& fs, const std::string& path) {
    try {
        if (fs.exists(path)) fs.remove(path);
    } catch (...) {}
}

std::string replaceFile(const std::string& target, const std::string& source, bool backup,
                        const std::function<void(OutputFile& out, InputFile* in)>& body) {
    return replaceFile(files(), target, source, backup, body);
}

std::string replaceFile(FileSystem& fs, const std::string& target, const std::string& source, bool backup,
                        const std::function<void(OutputFile& out, InputFile* in)>& body) {
    const std::string real = fs.resolveLinks(target);
    const FileFacts facts = fs.facts(real);
    if (facts.exists && !facts.writable && !backup) raise(err::PermissionDenied);
    const auto openSource = [&](const std::string& from) {
        return source.empty() ? std::unique_ptr<InputFile>() : fs.openRead(from);
    };

    // A device or a FIFO is written to; there is nothing to keep or replace.
    if (facts.exists && !facts.regular) {
        auto in = openSource(source);
        auto out = fs.openWrite(real);
        body(*out, in.get());
        out->close();
        return "";
    }

    if (facts.exists && facts.writable && (facts.links > 1 || !facts.folderWritable || !facts.ownerKept)) {
        const std::string kept = keepOldBytes(fs, real);
        try {
            // The old text of the very file being overwritten comes from its copy.
            const FileFacts from = source.empty() ? FileFacts{} : fs.facts(source);
            auto in = openSource(from.device == facts.device && from.inode == facts.inode ? kept : source);
            auto out = fs.openWrite(real);
            body(*out, in.get());
            out->sync();
            out->close();
        } catch (...) {
            try {
                auto in = fs.openRead(kept);
                auto out = fs.openWrite(real);
                for (std::string chunk; !(chunk = in->readBytes(1 << 20)).empty();) out->write(chunk);
                out->sync();
                out->close();
            } catch (const RuntimeError& e) {
                throw RuntimeError(e.number(), e.description() + "\nThe old text of " + real +
                                                   " could not be put back; it is kept in " + kept + ".");
            }
            removeQuietly(fs, kept);
            throw;
        }
        // Only once the new text is on the disk may its old one go.
        removeQuietly(fs, kept);
        return "";
    }

    removeStrays(fs, real);
    // A backup gets the permissions of the file it backs up; a file that is
    // replaced keeps its own; a new file gets those of any new file.
    const std::string model = backup && !source.empty() ? source : facts.exists ? real : "";
    const std::string temp = passingName(folderOf(real), nameOf(real), NewText);
    try {
        auto in = openSource(source);
        auto out = fs.openNew(temp, model.empty());
        body(*out, in.get());
        if (!model.empty()) fs.copyPermissions(model, temp);
        out->sync();
        out->close();
        fs.rename(temp, real);
    } catch (...) {
        removeQuietly(fs, temp);
        throw;
    }
    try {
        fs.syncFolder(real);
    } catch (const RuntimeError& e) {
        return e.description();
    }
    return "";
}

}  // namespace platform
