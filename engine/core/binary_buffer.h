#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

namespace vo {

// Growable byte buffer with independent read and write positions, the carrier
// of scene and match snapshots. Values are stored in their in-memory form.
// Writing grows the buffer by doubling (or by the count, when the count is
// larger than the current size); new bytes are zero. A read that would go past
// the written data throws Error and moves nothing. Copies copy the bytes and
// both positions.
class BinaryBuffer {
public:
    BinaryBuffer() = default;
    // n zero bytes, both positions 0.
    explicit BinaryBuffer(unsigned int n);

    // Appends count bytes at the write position, growing as needed.
    void write(const void* bytes, unsigned int count);
    // Copies count bytes from the read position to dest and advances it.
    // Throws Error, leaving dest and the position alone, when fewer than count
    // written bytes remain.
    void read(void* dest, unsigned int count);

    // Single values of trivially copyable types, at any (unaligned) offset.
    template <class T>
    void write(const T& value) {
        static_assert(std::is_trivially_copyable<T>::value, "BinaryBuffer::write<T> needs a trivially copyable T");
        write(static_cast<const void*>(&value), static_cast<unsigned int>(sizeof(T)));
    }
    template <class T>
    T read() {
        static_assert(std::is_trivially_copyable<T>::value, "BinaryBuffer::read<T> needs a trivially copyable T");
        T value{};
        read(static_cast<void*>(&value), static_cast<unsigned int>(sizeof(T)));
        return value;
    }

    // Both positions to 0; the bytes and the size stay.
    void clear();
    // Grows the buffer to n bytes (new ones zero) when n is larger than its size.
    void reserve(unsigned int n);

    void set_read_pos(unsigned int pos) { read_pos_ = pos; }
    void set_write_pos(unsigned int pos) { write_pos_ = pos; }
    unsigned int read_pos() const { return read_pos_; }
    unsigned int write_pos() const { return write_pos_; }
    // The size of the byte array.
    unsigned int capacity() const { return static_cast<unsigned int>(data_.size()); }

    // The first byte of the array (null while it is empty).
    char* buffer() { return data_.empty() ? nullptr : data_.data(); }
    const char* buffer() const { return data_.empty() ? nullptr : data_.data(); }

    // True when the read position is at or beyond the write position.
    bool eof() const { return read_pos_ >= write_pos_; }

private:
    std::vector<char> data_;
    std::uint32_t read_pos_ = 0;
    std::uint32_t write_pos_ = 0;
};

}  // namespace vo
