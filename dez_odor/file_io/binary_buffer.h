#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mg {

// The grid library's growable byte buffer: bytes are appended at the write
// position. When they do not fit, the storage grows to twice its size (or by
// exactly the bytes needed when they are more than the present size). The
// content is the first write_pos() bytes; the bytes behind them are growth
// reserve. Distinct from the engine's BinaryBuffer.
class BinaryBuffer {
public:
    BinaryBuffer() : m_readPos(0), m_writePos(0) {}

    // Appends n bytes. Throws std::length_error beyond 4 GiB of content.
    void write(const void* bytes, size_t n);

    // The content (null while the storage is empty).
    const char* buffer() const { return m_data.empty() ? nullptr : m_data.data(); }
    uint32_t write_pos() const { return m_writePos; }
    uint32_t read_pos() const { return m_readPos; }
    // The size of the storage, reserve included.
    size_t capacity() const { return m_data.size(); }

private:
    std::vector<char> m_data;
    uint32_t m_readPos;
    uint32_t m_writePos;
};

}  // namespace mg
