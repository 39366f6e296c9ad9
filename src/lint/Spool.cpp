#include "lint/Spool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

namespace lint {

std::FILE* openSpool() {
    const std::string folder = platform::files().tempFolder();
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::string name = folder + "/sifton-XXXXXX";
        fd = ::mkstemp(name.data());
        if (fd >= 0) ::unlink(name.c_str());
    }
    return fd < 0 ? nullptr : ::fdopen(fd, "w+b");
}

void Spool::append(std::string_view text) {
    size_ += text.size();
    memory_.append(text);
    if (memory_.size() <= limit_ || fileFailed_) return;
    if (!file_) {
        file_.reset(openSpool());
        // Without a temporary file the text is still kept whole, in memory.
        if (!file_) {
            fileFailed_ = true;
            return;
        }
    }
    if (std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) != memory_.size())
        platform::raise(platform::err::DeviceIO);
    memory_.clear();
}

void Spool::drainTo(const std::function<void(std::string_view)>& out) {
    if (file_) {
        if (std::fflush(file_.get()) != 0) platform::raise(platform::err::DeviceIO);
        std::rewind(file_.get());
        std::string chunk(std::size_t{1} << 16, '\0');
        for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), file_.get())) > 0;)
            out(std::string_view(chunk.data(), n));
        if (std::ferror(file_.get())) platform::raise(platform::err::DeviceIO);
        file_.reset();
    }
    if (!memory_.empty()) out(memory_);
    memory_.clear();
    memory_.shrink_to_fit();
    size_ = 0;
}

}  // namespace lint
