#include "common/stream_buffers.h"

namespace mg {

EmptyStreamBuffer::EmptyStreamBuffer()
{
    setp(m_buffer, m_buffer + sizeof(m_buffer));
}

EmptyStreamBuffer::~EmptyStreamBuffer() = default;

EmptyStreamBuffer::int_type EmptyStreamBuffer::overflow(int_type c)
{
    setp(m_buffer, m_buffer + sizeof(m_buffer));
    return c;
}

OStreamBufferSplitter::OStreamBufferSplitter() : m_first(nullptr), m_second(nullptr)
{
    reset_put_area();
}

OStreamBufferSplitter::~OStreamBufferSplitter()
{
    flush();
}

void OStreamBufferSplitter::set_buffers(std::streambuf* first, std::streambuf* second)
{
    flush();
    m_first = first;
    m_second = second;
}

void OStreamBufferSplitter::forward_pending()
{
    const std::streamsize n = pptr() - pbase();
    if (n > 0) {
        m_first->sputn(pbase(), n);
        m_second->sputn(pbase(), n);
    }
}

void OStreamBufferSplitter::flush()
{
    if (m_first && m_second)
        forward_pending();
    reset_put_area();
}

OStreamBufferSplitter::int_type OStreamBufferSplitter::overflow(int_type c)
{
    if (!m_first || !m_second)
        return traits_type::eof();

    // The pending bytes are handed on exactly once, even when a target then
    // refuses the extra character.
    forward_pending();
    reset_put_area();

    if (traits_type::eq_int_type(c, traits_type::eof()))
        return 0;
    const char ch = traits_type::to_char_type(c);
    if (traits_type::eq_int_type(m_first->sputc(ch), traits_type::eof()))
        return traits_type::eof();
    if (traits_type::eq_int_type(m_second->sputc(ch), traits_type::eof()))
        return traits_type::eof();
    return c;
}

int OStreamBufferSplitter::sync()
{
    if (!m_first || !m_second)
        return -1;
    forward_pending();
    reset_put_area();
    const int r1 = m_first->pubsync();
    const int r2 = m_second->pubsync();
    return (r1 == -1 || r2 == -1) ? -1 : 0;
}

}  // namespace mg
