#include "dez_odor/file_io/binary_buffer.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace mg {

void BinaryBuffer::write(const void* bytes, size_t n)
{
    if (n > std::numeric_limits<uint32_t>::max() - m_writePos)
        throw std::length_error("BinaryBuffer: more than 4 GiB of content");
    const size_t needed = size_t(m_writePos) + n;
    if (needed > m_data.size()) {
        const size_t size = m_data.size();
        m_data.resize(size < n ? size + n : 2 * size);
    }
    if (n > 0)
        std::memcpy(m_data.data() + m_writePos, bytes, n);
    m_writePos += static_cast<uint32_t>(n);
}

}  // namespace mg
