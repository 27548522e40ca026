#pragma once

// Text of a grid file collected in a buffer and handed to the file's stream
// in large pieces.

#include <charconv>
#include <cstddef>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>

namespace mg {

// Writes text to a stream through a buffer. Numbers come out exactly as a
// stream in the classic locale with default flags and precision writes them
// (a float as printf's %g with six significant digits, integers in decimal),
// without the stream's cost per number. The text reaches the stream when the
// buffer is full, on flush() and when the object goes; check the stream only
// after that.
class TextOut {
public:
    explicit TextOut(std::ostream& out) : m_out(out), m_buffer(new char[CAPACITY]) {}
    ~TextOut() { flush(); }

    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;

    TextOut& operator<<(const char* text) { return append(text, std::strlen(text)); }
    TextOut& operator<<(const std::string& text) { return append(text.data(), text.size()); }
    TextOut& operator<<(char c) { return append(&c, 1); }

    TextOut& operator<<(float value)
    {
        make_room(MAX_NUMBER);
        char* at = m_buffer.get() + m_used;
        m_used += static_cast<size_t>(
            std::to_chars(at, at + MAX_NUMBER, value, std::chars_format::general, 6).ptr - at);
        return *this;
    }

    // A stream writes a double with the digits of a double: not done here.
    TextOut& operator<<(double value) = delete;

    template <class T, class = std::enable_if_t<std::is_integral<T>::value && !std::is_same<T, char>::value &&
                                                !std::is_same<T, bool>::value>>
    TextOut& operator<<(T value)
    {
        make_room(MAX_NUMBER);
        char* at = m_buffer.get() + m_used;
        m_used += static_cast<size_t>(std::to_chars(at, at + MAX_NUMBER, value).ptr - at);
        return *this;
    }

    // Hands what the buffer holds to the stream.
    void flush()
    {
        if (m_used > 0)
            m_out.write(m_buffer.get(), static_cast<std::streamsize>(m_used));
        m_used = 0;
    }

private:
    static constexpr size_t CAPACITY = size_t{1} << 16;
    // Longer than any float in %g with six digits ("-1.17549e-38") or any
    // 64-bit integer.
    static constexpr size_t MAX_NUMBER = 32;

    void make_room(size_t n)
    {
        if (CAPACITY - m_used < n)
            flush();
    }
    TextOut& append(const char* text, size_t n)
    {
        if (CAPACITY - m_used < n) {
            flush();
            if (n > CAPACITY) {
                m_out.write(text, static_cast<std::streamsize>(n));
                return *this;
            }
        }
        std::memcpy(m_buffer.get() + m_used, text, n);
        m_used += n;
        return *this;
    }

    std::ostream& m_out;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
};

}  // namespace mg
