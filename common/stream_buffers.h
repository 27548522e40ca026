#pragma once

#include <streambuf>

namespace mg {

// A stream buffer that swallows everything written into it; every write
// succeeds.
class EmptyStreamBuffer : public std::streambuf {
public:
    EmptyStreamBuffer();
    ~EmptyStreamBuffer() override;

protected:
    int_type overflow(int_type c) override;

private:
    char m_buffer[128];
};

// A stream buffer that passes everything written into it on to two other
// buffers (not owned). Text is collected in a 128-byte area and forwarded
// when the area is full, when the stream is flushed, when the splitter is
// re-targeted and when it is destroyed. Without both targets writes fail.
class OStreamBufferSplitter : public std::streambuf {
public:
    OStreamBufferSplitter();
    ~OStreamBufferSplitter() override;

    // Forwards what is pending to the old targets, then takes the new ones.
    void set_buffers(std::streambuf* first, std::streambuf* second);

    // Forwards the pending bytes when both targets are set and empties the
    // put area in every case (pending bytes are dropped without targets).
    void flush();

    std::streambuf* first_target() const { return m_first; }
    std::streambuf* second_target() const { return m_second; }

protected:
    int_type overflow(int_type c) override;
    // Forwards the pending bytes and synchronises both targets, so that a
    // flushed line reaches them at once.
    int sync() override;

private:
    void forward_pending();
    void reset_put_area() { setp(m_buffer, m_buffer + sizeof(m_buffer)); }

    std::streambuf* m_first;
    std::streambuf* m_second;
    char m_buffer[128];
};

}  // namespace mg
