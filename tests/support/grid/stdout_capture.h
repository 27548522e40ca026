#pragma once

#include <sstream>
#include <string>

namespace mg_test {

// Captures what is written to std::cout while it lives and gives std::cout
// its previous buffer back afterwards. The grid library's log is set up
// first (mg::GetLogAssistant), so that the log never takes the capture's
// buffer for the terminal.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();

    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    std::string str() const { return m_buffer.str(); }
    void clear() { m_buffer.str(std::string()); }

private:
    std::stringbuf m_buffer;
    std::streambuf* m_previous;
};

}  // namespace mg_test
