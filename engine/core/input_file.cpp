#include "engine/core/input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vo {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

InputFile::InputFile() = default;

InputFile::~InputFile() { close(); }

void InputFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pos_ = end_ = 0;
    consumed_ = 0;
}

InputFile::Status InputFile::open(const std::string& path, std::size_t max_bytes) {
    close();
    status_ = kOk;
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return kCannotOpen;
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return kCannotOpen;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return kNotRegular;
    }
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > max_bytes) {
        ::close(fd);
        return kTooLarge;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    limit_ = max_bytes;
    // A small file gets a buffer of its size (and one byte to see its end).
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    chunk_ = size < kChunk ? size + 1 : kChunk;
    return kOk;
}

bool InputFile::fill() {
    if (fd_ < 0 || status_ != kOk) return false;
    if (buffer_.size() < chunk_) buffer_.resize(chunk_);
    // One byte beyond the limit is asked for, to tell a file that has grown.
    const std::size_t room = limit_ - consumed_ + 1;
    const std::size_t want = room < chunk_ ? room : chunk_;
    ssize_t got;
    do {
        got = ::read(fd_, &buffer_[0], want);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        status_ = kReadError;
        return false;
    }
    if (got == 0) return false;
    consumed_ += static_cast<std::size_t>(got);
    if (consumed_ > limit_) {
        status_ = kTooLarge;
        return false;
    }
    pos_ = 0;
    end_ = static_cast<std::size_t>(got);
    return true;
}

bool InputFile::read_all(std::string& out) {
    out.clear();
    if (fd_ < 0) return false;
    for (;;) {
        out.append(buffer_, pos_, end_ - pos_);
        pos_ = end_;
        if (!fill()) break;
    }
    return status_ == kOk;
}

bool InputFile::read_line(std::string& line, std::size_t max_length, bool& too_long) {
    line.clear();
    too_long = false;
    bool any = false;
    for (;;) {
        if (pos_ == end_ && !fill()) return any && status_ == kOk;
        any = true;
        const char* begin = buffer_.data() + pos_;
        const void* found = std::memchr(begin, '\n', end_ - pos_);
        const std::size_t length = found ? static_cast<std::size_t>(static_cast<const char*>(found) - begin)
                                         : end_ - pos_;
        const std::size_t room = max_length - line.size();
        if (length > room) too_long = true;
        line.append(begin, length < room ? length : room);
        pos_ += length;
        if (found) {
            ++pos_;
            return true;
        }
    }
}

}  // namespace vo
