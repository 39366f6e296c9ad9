#pragma once
// Shared pieces of the fuzz harnesses: a property check that stops the run
// with a message, and a file system held in memory so that the engines that
// read files can be fed a fuzzer's bytes without touching the disk.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

// Stops the fuzzer on a broken property, naming it; libFuzzer then saves the input.
#define FUZZ_CHECK(cond, what)                                                               \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

namespace fuzzsupport {

// The lines of a file as a line reader sees them: split at LF, one CR before
// the LF dropped, a last line without LF kept. Each entry records the byte
// position (1-based) at which the line begins.
struct FileLine {
    std::int64_t start;
    std::string text;
};

inline std::vector<FileLine> fileLines(const std::string& bytes) {
    std::vector<FileLine> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t lf = bytes.find('\n', pos);
        std::size_t end = lf == std::string::npos ? bytes.size() : lf;
        std::size_t textEnd = end;
        if (lf != std::string::npos && textEnd > pos && bytes[textEnd - 1] == '\r') --textEnd;
        lines.push_back({static_cast<std::int64_t>(pos) + 1, bytes.substr(pos, textEnd - pos)});
        pos = lf == std::string::npos ? bytes.size() : lf + 1;
    }
    return lines;
}

class MemoryInputFile : public platform::InputFile {
public:
    explicit MemoryInputFile(std::shared_ptr<const std::string> bytes) : bytes_(std::move(bytes)) {}
    bool readLine(std::string& line) override {
        const std::string& b = *bytes_;
        if (pos_ >= b.size()) {
            line.clear();
            return false;
        }
        std::size_t lf = b.find('\n', pos_);
        std::size_t end = lf == std::string::npos ? b.size() : lf;
        std::size_t textEnd = end;
        if (lf != std::string::npos && textEnd > pos_ && b[textEnd - 1] == '\r') --textEnd;
        line.assign(b, pos_, textEnd - pos_);
        pos_ = lf == std::string::npos ? b.size() : lf + 1;
        return true;
    }
    std::string readBytes(std::int64_t count) override {
        if (count <= 0 || pos_ >= bytes_->size()) return "";
        std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), bytes_->size() - pos_);
        std::string out = bytes_->substr(pos_, n);
        pos_ += n;
        return out;
    }
    std::int64_t position() const override { return static_cast<std::int64_t>(pos_) + 1; }
    void seek(std::int64_t position) override {
        if (position < 1) platform::raise(platform::err::BadFileName);
        pos_ = static_cast<std::size_t>(position - 1);
    }
    bool atEnd() override { return pos_ >= bytes_->size(); }
    std::int64_t length() const override { return static_cast<std::int64_t>(bytes_->size()); }

private:
    std::shared_ptr<const std::string> bytes_;
    std::size_t pos_ = 0;
};

class MemoryOutputFile : public platform::OutputFile {
public:
    explicit MemoryOutputFile(std::shared_ptr<std::string> target) : target_(std::move(target)) {}
    void write(const std::string& bytes) override { *target_ += bytes; }
    void sync() override {}
    void close() override {}

private:
    std::shared_ptr<std::string> target_;
};

// Files by path, in memory. A write replaces the file when it is opened.
class MemoryFileSystem : public platform::FileSystem {
public:
    void put(const std::string& path, std::string bytes) {
        files_[path] = std::make_shared<std::string>(std::move(bytes));
    }
    std::string get(const std::string& path) const {
        auto it = files_.find(path);
        return it == files_.end() ? std::string() : *it->second;
    }
    std::unique_ptr<platform::InputFile> openRead(const std::string& path) override {
        auto it = files_.find(path);
        if (it == files_.end()) platform::raise(platform::err::FileNotFound);
        // A snapshot: a later write to the same path does not move under a reader.
        return std::make_unique<MemoryInputFile>(std::make_shared<const std::string>(*it->second));
    }
    std::unique_ptr<platform::OutputFile> openWrite(const std::string& path) override {
        auto file = std::make_shared<std::string>();
        files_[path] = file;
        return std::make_unique<MemoryOutputFile>(file);
    }
    std::unique_ptr<platform::OutputFile> openNew(const std::string& path, bool) override {
        if (files_.count(path) != 0) platform::raise(platform::err::PathFileAccess);
        return openWrite(path);
    }
    void syncFolder(const std::string&) override {}
    std::vector<std::string> listFolder(const std::string& folder) override {
        const std::string prefix = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
        std::vector<std::string> names;
        for (const auto& [path, file] : files_)
            if (path.starts_with(prefix) && path.find('/', prefix.size()) == std::string::npos)
                names.push_back(path.substr(prefix.size()));
        return names;
    }
    void rename(const std::string& from, const std::string& to) override {
        auto it = files_.find(from);
        if (it == files_.end()) platform::raise(platform::err::FileNotFound);
        auto file = it->second;
        files_.erase(it);
        files_[to] = file;
    }
    void remove(const std::string& path) override {
        if (files_.erase(path) == 0) platform::raise(platform::err::FileNotFound);
    }
    bool exists(const std::string& path) override { return files_.count(path) != 0; }
    void copyPermissions(const std::string&, const std::string&) override {}

private:
    std::map<std::string, std::shared_ptr<std::string>> files_;
};

// One file in an in-memory file system, installed as the program's files for
// the lifetime of the object.
class InstalledFile {
public:
    InstalledFile(const std::string& path, std::string bytes) : scope_(filesOnly(&fs)) {
        fs.put(path, std::move(bytes));
    }
    MemoryFileSystem fs;

private:
    static platform::Services filesOnly(platform::FileSystem* files) {
        platform::Services s;
        s.files = files;
        return s;
    }
    platform::ScopedServices scope_;
};

}  // namespace fuzzsupport
