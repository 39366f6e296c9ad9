#pragma once
// Output text held back until its turn: kept in memory up to a limit, and
// past it in an unnamed file in the temporary folder, so that holding back
// a piece of any size costs no more memory than the limit.
#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lint {

// An unnamed file in the temporary folder, open for reading and writing; it
// leaves nothing behind however the run ends. Null when none can be made.
std::FILE* openSpool();

class Spool {
public:
    explicit Spool(std::size_t memoryLimit = std::size_t{1} << 20) : limit_(memoryLimit) {}
    void append(std::string_view text);
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // Hands the whole text to `out` in order, in pieces, and empties the
    // spool. Throws platform::RuntimeError when the temporary file fails.
    void drainTo(const std::function<void(std::string_view)>& out);

private:
    std::size_t limit_;
    std::size_t size_ = 0;
    std::string memory_;  // the text, or the part not yet moved to the file
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, std::fclose};
    bool fileFailed_ = false;  // no file could be made: the text stays in memory
};

}  // namespace lint
