#include "engine/core/binary_buffer.h"

#include "engine/core/error.h"

#include <cstring>
#include <limits>
#include <sstream>

namespace vo {

namespace {

constexpr std::uint64_t kMaxSize = std::numeric_limits<std::uint32_t>::max();

}  // namespace

BinaryBuffer::BinaryBuffer(unsigned int n) : data_(n, 0) {}

void BinaryBuffer::write(const void* bytes, unsigned int count) {
    if (count == 0) return;
    const std::uint64_t end = std::uint64_t(write_pos_) + count;
    if (end > kMaxSize) {
        std::ostringstream msg;
        msg << "BinaryBuffer::write: writing " << count << " bytes at position " << write_pos_
            << " exceeds the largest buffer size";
        throw Error(msg.str());
    }
    const std::uint64_t old_size = data_.size();
    if (end > old_size) {
        std::uint64_t new_size = count <= old_size ? old_size * 2 : old_size + count;
        // A write position set beyond the size would still not fit.
        if (new_size < end) new_size = end;
        if (new_size > kMaxSize) new_size = kMaxSize;
        data_.resize(static_cast<std::size_t>(new_size), 0);
    }
    std::memcpy(data_.data() + write_pos_, bytes, count);
    write_pos_ = static_cast<std::uint32_t>(end);
}

void BinaryBuffer::read(void* dest, unsigned int count) {
    if (count == 0) return;
    const std::uint64_t end = std::uint64_t(read_pos_) + count;
    // The written data ends at the write position (and never beyond the array).
    const std::uint64_t limit = write_pos_ < data_.size() ? write_pos_ : data_.size();
    if (end > limit) {
        std::ostringstream msg;
        msg << "BinaryBuffer::read: reading " << count << " bytes at position " << read_pos_
            << " goes past the written data, which ends at " << write_pos_;
        throw Error(msg.str());
    }
    std::memcpy(dest, data_.data() + read_pos_, count);
    read_pos_ = static_cast<std::uint32_t>(end);
}

void BinaryBuffer::clear() {
    read_pos_ = 0;
    write_pos_ = 0;
}

void BinaryBuffer::reserve(unsigned int n) {
    if (n > data_.size()) data_.resize(n, 0);
}

}  // namespace vo
