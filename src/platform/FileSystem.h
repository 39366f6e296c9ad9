#pragma once
// Files as the programs see them: 8-bit bytes, read and written exactly.
// Every operation can fail with a RuntimeError; the save path goes through
// this interface so that tests can make any single operation fail.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    // Pushes everything written so far down to the disk, so that it survives
    // a crash or a power cut from then on.
    virtual void sync() = 0;
    // Flushes and closes; a failure to write the last bytes is raised here.
    virtual void close() = 0;
};

// What a save needs to know about the file it replaces.
struct FileFacts {
    bool exists = false;
    bool regular = true;                  // a plain file (not a device, a FIFO or a folder)
    bool writable = true;                 // this process may open it for writing
    bool folderWritable = true;           // this process may create and rename files beside it
    bool ownerKept = true;                // a new file could be given its owner and group
    bool mine = true;                     // it belongs to this process's user
    int links = 1;                        // hard links
    std::uint64_t device = 0, inode = 0;  // which file it is
    std::int64_t size = 0;
    std::int64_t modified = 0;  // time of the last change of its content, in nanoseconds
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> openRead(const std::string& path) = 0;
    // Opens the file for writing, emptying it (the file a link names, when
    // `path` is a link); creates it when it is missing.
    virtual std::unique_ptr<OutputFile> openWrite(const std::string& path) = 0;
    // Creates a file that must not exist yet; a file or link already in its
    // place is refused, so that nothing planted there can take the bytes.
    // Only its owner may read it until it is given other permissions, or,
    // with `defaultPermissions`, it gets those of any new file.
    virtual std::unique_ptr<OutputFile> openNew(const std::string& path, bool defaultPermissions) = 0;
    // Whole-file helpers.
    virtual std::string readAll(const std::string& path);
    // Replaces `to` by `from` in one step.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    // Makes the names in the folder that holds `path` (a file just created
    // or renamed there) survive a crash.
    virtual void syncFolder(const std::string& path) = 0;
    // The names in a folder, without "." and ".."; empty when it cannot be read.
    virtual std::vector<std::string> listFolder(const std::string& folder) = 0;
    virtual void remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Gives `path` the permission bits of `model` (when both exist), and its
    // owner and group as far as this process may.
    virtual void copyPermissions(const std::string& model, const std::string& path) = 0;
    // The file that `path` names once symbolic links are followed (the path
    // itself when it is none); a link to a missing file gives that file's path.
    // A link in /proc (an open file of a process: /dev/stdout is
    // /proc/self/fd/1) is the last step: what it names may be no path at all
    // ("pipe:[...]"), and a file renamed into place would not be the one the
    // process holds open, so it is written as it is.
    virtual std::string resolveLinks(const std::string& path) { return path; }
    virtual FileFacts facts(const std::string& path);
    // A folder for temporary files.
    virtual std::string tempFolder() { return "/tmp"; }
};

// The real file system of this machine.
FileSystem& realFileSystem();

}  // namespace platform
