#include "platform/ReplaceFile.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>

#include "platform/RuntimeError.h"
#include "platform/Services.h"

namespace platform {
namespace {

// Keeps a copy of `file` beside it where its folder allows, else in the
// temporary folder; returns the copy's name.
std::string keepOldBytes(FileSystem& fs, const std::string& file) {
    try {
        fs.copy(file, file + ".~old");
        return file + ".~old";
    } catch (const RuntimeError&) {
        removeQuietly(fs, file + ".~old");
    }
    // A name nobody can foresee, so that no file or link can be put there
    // beforehand in a folder that others may write.
    const std::string name = file.substr(file.rfind('/') + 1);
    std::random_device random;
    char tag[17];
    std::snprintf(tag, sizeof tag, "%08x%08x", random(), random());
    const std::string kept = fs.tempFolder() + "/" + name + "." + std::to_string(::getpid()) + "." + tag + ".~old";
    try {
        fs.copy(file, kept);
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

void replaceFile(const std::string& target, const std::string& source, bool backup,
                 const std::function<void(OutputFile& out, InputFile* in)>& body) {
    FileSystem& fs = files();
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
        return;
    }

    if (facts.exists && facts.writable && (facts.links > 1 || !facts.folderWritable || !facts.ownerKept)) {
        const std::string kept = keepOldBytes(fs, real);
        try {
            // The old text of the very file being overwritten comes from its copy.
            const FileFacts from = source.empty() ? FileFacts{} : fs.facts(source);
            auto in = openSource(from.device == facts.device && from.inode == facts.inode ? kept : source);
            auto out = fs.openWrite(real);
            body(*out, in.get());
            out->close();
        } catch (...) {
            try {
                auto in = fs.openRead(kept);
                auto out = fs.openWrite(real);
                for (std::string chunk; !(chunk = in->readBytes(1 << 20)).empty();) out->write(chunk);
                out->close();
            } catch (const RuntimeError& e) {
                throw RuntimeError(e.number(), e.description() + "\nThe old text of " + real +
                                                   " could not be put back; it is kept in " + kept + ".");
            }
            removeQuietly(fs, kept);
            throw;
        }
        removeQuietly(fs, kept);
        return;
    }

    const std::string temp = real + ".~sav";
    try {
        auto in = openSource(source);
        auto out = fs.openWrite(temp);
        body(*out, in.get());
        out->close();
        const std::string model = facts.exists ? real : backup ? source : "";
        if (!model.empty()) fs.copyPermissions(model, temp);
        fs.rename(temp, real);
    } catch (...) {
        removeQuietly(fs, temp);
        throw;
    }
}

}  // namespace platform
