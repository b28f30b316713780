// Reading a file through a small sliding window: the length readers need a
// few bytes here and there across a whole file.
#pragma once
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Reads a regular file through a window of 64 KiB. Only the frame headers matter,
// but plain reads are much cheaper than faulting in a mapping page by page.
class ChunkReader {
public:
    explicit ChunkReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = static_cast<uint64_t>(st.st_size);
    }
    ~ChunkReader()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    uint64_t size() const { return size_; }
    // `n` bytes at `pos` (n at most the window), or null past the end or on a read error.
    const unsigned char* at(uint64_t pos, size_t n)
    {
        if (n > kWindow || pos > size_ || size_ - pos < n) return nullptr;
        if (pos < base_ || pos + n > base_ + len_) {
            size_t want = static_cast<size_t>(std::min<uint64_t>(kWindow, size_ - pos));
            buf_.resize(kWindow);
            size_t got = 0;
            while (got < want) {
                ssize_t r = ::pread(fd_, buf_.data() + got, want - got, static_cast<off_t>(pos + got));
                if (r < 0 && errno == EINTR) continue;
                if (r <= 0) break;
                got += static_cast<size_t>(r);
            }
            base_ = pos;
            len_ = got;
            if (len_ < n) return nullptr;
        }
        return buf_.data() + (pos - base_);
    }

private:
    static constexpr size_t kWindow = 64 * 1024;
    int fd_ = -1;
    uint64_t size_ = 0;
    std::vector<unsigned char> buf_;
    uint64_t base_ = 0;
    size_t len_ = 0;
};
