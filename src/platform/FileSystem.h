#pragma once
// Files as the programs see them: 8-bit bytes, read and written exactly.
// Every operation can fail with a RuntimeError; the save path goes through
// this interface so that tests can make any single operation fail.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads one line without its line end (CR LF, or a bare LF). Returns false
    // at the end of the file (nothing read). A lone CR is an ordinary byte.
    virtual bool readLine(std::string& line) = 0;
    // Reads up to count bytes.
    virtual std::string readBytes(std::int64_t count) = 0;
    // 1-based position of the next byte to read.
    virtual std::int64_t position() const = 0;
    virtual void seek(std::int64_t position) = 0;
    virtual bool atEnd() = 0;
    virtual std::int64_t length() const = 0;
};

class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual void write(const std::string& bytes) = 0;
    // Flushes and closes; a failure to write the last bytes is raised here.
    virtual void close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> openRead(const std::string& path) = 0;
    virtual std::unique_ptr<OutputFile> openWrite(const std::string& path) = 0;
    // Whole-file helpers.
    virtual std::string readAll(const std::string& path);
    virtual void copy(const std::string& from, const std::string& to) = 0;
    // Replaces `to` by `from` in one step.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Gives `path` the permission bits of `model` (when both exist).
    virtual void copyPermissions(const std::string& model, const std::string& path) = 0;
};

// The real file system of this machine.
FileSystem& realFileSystem();

}  // namespace platform
