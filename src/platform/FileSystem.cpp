#include "platform/FileSystem.h"

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/RuntimeError.h"

namespace platform {
namespace {

[[noreturn]] void raiseForErrno(int code, long fallback) {
    switch (code) {
        case ENOENT: raise(err::FileNotFound);
        case EACCES:
        case EPERM:
        case EROFS: raise(err::PermissionDenied);
        case ENOSPC: raise(err::DiskFull);
        case EIO: raise(err::DeviceIO);
        case ENAMETOOLONG: raise(err::BadFileName);
        default: raise(fallback);
    }
}

class StdInputFile : public InputFile {
public:
    StdInputFile(std::FILE* f, std::int64_t length) : f_(f), length_(length) {}
    ~StdInputFile() override {
        std::free(buf_);
        std::fclose(f_);
    }

    bool readLine(std::string& line) override {
        ssize_t n = ::getline(&buf_, &cap_, f_);
        if (n < 0) {
            if (std::ferror(f_)) raise(err::DeviceIO);
            line.clear();
            return false;
        }
        std::size_t len = static_cast<std::size_t>(n);
        pos_ += n;
        if (len > 0 && buf_[len - 1] == '\n') {
            --len;
            if (len > 0 && buf_[len - 1] == '\r') --len;
        }
        line.assign(buf_, len);
        return true;
    }

    std::string readBytes(std::int64_t count) override {
        std::string out;
        if (count <= 0) return out;
        out.resize(static_cast<std::size_t>(count));
        std::size_t got = std::fread(out.data(), 1, out.size(), f_);
        if (got < out.size() && std::ferror(f_)) raise(err::DeviceIO);
        out.resize(got);
        pos_ += static_cast<std::int64_t>(got);
        return out;
    }

    // Kept by hand: asking the stream (ftello) costs a system call per line.
    std::int64_t position() const override { return pos_; }

    void seek(std::int64_t position) override {
        if (position < 1) raise(err::BadFileName);
        if (::fseeko(f_, static_cast<off_t>(position - 1), SEEK_SET) != 0) raise(err::DeviceIO);
        pos_ = position;
    }

    bool atEnd() override {
        int c = std::fgetc(f_);
        if (c == EOF) return true;
        std::ungetc(c, f_);
        return false;
    }

    std::int64_t length() const override { return length_; }

private:
    std::FILE* f_;
    std::int64_t length_;
    char* buf_ = nullptr;
    std::size_t cap_ = 0;
    std::int64_t pos_ = 1;
};

// Waits until the file's bytes are on the disk. A file that cannot be
// synced by its nature (a device, a FIFO, a file system without the notion)
// has nothing more to wait for.
void syncDescriptor(int fd) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) raiseForErrno(errno, err::DeviceIO);
}

class StdOutputFile : public OutputFile {
public:
    explicit StdOutputFile(std::FILE* f) : f_(f) {}
    ~StdOutputFile() override {
        if (f_) std::fclose(f_);
    }

    void write(const std::string& bytes) override {
        if (!f_) raise(err::BadFileName);
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size())
            raiseForErrno(errno, err::DeviceIO);
    }

    void sync() override {
        if (!f_) raise(err::BadFileName);
        if (std::fflush(f_) != 0) raiseForErrno(errno, err::DeviceIO);
        syncDescriptor(::fileno(f_));
    }

    void close() override {
        if (!f_) return;
        std::FILE* f = f_;
        f_ = nullptr;
        bool failed = std::fflush(f) != 0;
        int code = errno;
        if (std::fclose(f) != 0 && !failed) {
            failed = true;
            code = errno;
        }
        if (failed) raiseForErrno(code, err::DeviceIO);
    }

private:
    std::FILE* f_;
};

class RealFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> openRead(const std::string& path) override {
        if (path.empty()) raise(err::BadFileName);
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) raise(err::PathFileAccess);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) raiseForErrno(errno, err::PathFileAccess);
        std::int64_t len = 0;
        if (::fstat(::fileno(f), &st) == 0) len = st.st_size;
        return std::make_unique<StdInputFile>(f, len);
    }

    std::unique_ptr<OutputFile> openWrite(const std::string& path) override {
        if (path.empty()) raise(err::BadFileName);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) raiseForErrno(errno, err::PathFileAccess);
        return std::make_unique<StdOutputFile>(f);
    }

    std::unique_ptr<OutputFile> openNew(const std::string& path, bool defaultPermissions) override {
        if (path.empty()) raise(err::BadFileName);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              defaultPermissions ? 0666 : 0600);
        if (fd < 0) raiseForErrno(errno, err::PathFileAccess);
        std::FILE* f = ::fdopen(fd, "wb");
        if (!f) {
            const int code = errno;
            ::close(fd);
            raiseForErrno(code, err::PathFileAccess);
        }
        return std::make_unique<StdOutputFile>(f);
    }

    void rename(const std::string& from, const std::string& to) override {
        if (std::rename(from.c_str(), to.c_str()) != 0) raiseForErrno(errno, err::PathFileAccess);
    }

    void syncFolder(const std::string& path) override {
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) raiseForErrno(errno, err::PathFileAccess);
        try {
            syncDescriptor(fd);
        } catch (...) {
            ::close(fd);
            throw;
        }
        ::close(fd);
    }

    std::vector<std::string> listFolder(const std::string& folder) override {
        std::vector<std::string> names;
        DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!d) return names;
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(d);
        return names;
    }

    void remove(const std::string& path) override {
        if (std::remove(path.c_str()) != 0) raiseForErrno(errno, err::PathFileAccess);
    }

    bool exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

    void copyPermissions(const std::string& model, const std::string& path) override {
        struct stat st {};
        if (::stat(model.c_str(), &st) != 0) return;
        // The owner first: changing it clears the set-id bits that chmod then restores.
        if (::chown(path.c_str(), st.st_uid, st.st_gid) != 0 &&
            ::chown(path.c_str(), static_cast<uid_t>(-1), st.st_gid) != 0) {
            // Neither could be given: the file keeps the saver's owner and group.
        }
        ::chmod(path.c_str(), st.st_mode & 07777);
    }

    std::string resolveLinks(const std::string& path) override {
        std::string current = path;
        // Bounded, as the system bounds it: a loop of links ends with the last name tried.
        for (int hops = 0; hops < 40; ++hops) {
            struct stat st {};
            if (current.starts_with("/proc/") || ::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
            std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
            const ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
            if (n <= 0 || static_cast<std::size_t>(n) >= buf.size()) break;
            std::string link(buf.data(), static_cast<std::size_t>(n));
            const std::size_t slash = current.rfind('/');
            if (link[0] != '/' && slash != std::string::npos) link.insert(0, current, 0, slash + 1);
            current = link;
        }
        return current;
    }

    FileFacts facts(const std::string& path) override {
        FileFacts f;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            f.exists = false;
            return f;
        }
        f.exists = true;
        f.regular = S_ISREG(st.st_mode);
        f.size = st.st_size;
        f.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        f.mine = st.st_uid == ::geteuid();
        f.links = static_cast<int>(st.st_nlink);
        f.device = st.st_dev;
        f.inode = st.st_ino;
        f.writable = ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        // No file can be made in /proc, whatever access() says to the superuser.
        f.folderWritable =
            !path.starts_with("/proc/") && ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
        // A new file belongs to this process's user; only the superuser gives it
        // another, and a user gives it only a group he belongs to.
        const uid_t me = ::geteuid();
        bool groupOk = st.st_gid == ::getegid();
        if (!groupOk) {
            const int n = ::getgroups(0, nullptr);
            std::vector<gid_t> groups(static_cast<std::size_t>(n > 0 ? n : 0));
            if (n > 0 && ::getgroups(n, groups.data()) == n)
                for (gid_t g : groups) groupOk = groupOk || g == st.st_gid;
        }
        f.ownerKept = me == 0 || (st.st_uid == me && groupOk);
        return f;
    }

    std::string tempFolder() override {
        const char* dir = std::getenv("TMPDIR");
        return dir && *dir ? dir : "/tmp";
    }
};

}  // namespace

std::string FileSystem::readAll(const std::string& path) {
    auto in = openRead(path);
    // One read of the size the file had when it was opened, and one byte
    // more: only a file that grew meanwhile needs further reads. (A buffer
    // of a fixed megabyte per read cost more than the scan of a small file.)
    const std::int64_t size = std::max<std::int64_t>(in->length(), 0) + 1;
    std::string all = in->readBytes(size);
    if (static_cast<std::int64_t>(all.size()) < size) return all;
    for (std::string chunk; !(chunk = in->readBytes(1 << 16)).empty();) all += chunk;
    return all;
}

FileFacts FileSystem::facts(const std::string& path) {
    FileFacts f;
    f.exists = exists(path);
    return f;
}

FileSystem& realFileSystem() {
    static RealFileSystem fs;
    return fs;
}

}  // namespace platform
