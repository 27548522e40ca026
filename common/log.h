#pragma once

#include "common/stream_buffers.h"

#include <fstream>
#include <iostream>
#include <string>

namespace mg {

// Decides where the standard output stream goes: to the terminal (the
// stream's own buffer), to a log file, to both, or nowhere. It does so by
// exchanging the buffer behind std::cout. There is one, reached through
// GetLogAssistant; every log line of the library goes through it.
class LogAssistant {
public:
    LogAssistant();
    // Flushes everything and, when std::cout still writes into one of the
    // assistant's buffers, gives it back the buffer it had at set-up.
    ~LogAssistant();

    LogAssistant(const LogAssistant&) = delete;
    LogAssistant& operator=(const LogAssistant&) = delete;

    // Takes std::cout's current buffer as the terminal buffer, binds the
    // splitter to terminal and log file and routes std::cout by the flags.
    // GetLogAssistant calls this once, on first use.
    void setup();

    // Opens the log file named by the stored name; true when it is open.
    // On failure file output is switched off and an error line is logged.
    bool open_logfile();

    // Gives std::cout the buffer that the two output flags ask for.
    void update_ostream();

    // Routing setters; each change is applied at once.
    void set_output(bool terminal, bool file);
    void set_logfile_name(const std::string& name);

    bool terminal_output_enabled() const { return m_terminalOutput; }
    bool file_output_enabled() const { return m_fileOutput; }
    const std::string& logfile_name() const { return m_logFileName; }
    std::streambuf* terminal_buffer() const { return m_terminalSlot; }

private:
    bool owns_buffer(const std::streambuf* buf) const;

    std::streambuf* m_emptySlot;
    std::streambuf* m_terminalSlot;
    std::streambuf* m_fileSlot;
    std::streambuf* m_splitterSlot;
    EmptyStreamBuffer m_emptyBuffer;
    OStreamBufferSplitter m_splitter;
    std::string m_logFileName;
    std::ofstream m_logFile;
    bool m_terminalOutput;
    bool m_fileOutput;
};

// The library's log; sets it up on the first call (debug levels to -1,
// routing of std::cout).
LogAssistant& GetLogAssistant();

}  // namespace mg

// Writes a log text to the standard output and flushes it:
//   MG_LOG("WARNING in f(...): something." << std::endl);
#define MG_LOG(msg)              \
    do {                         \
        ::mg::GetLogAssistant(); \
        std::cout << msg;        \
        std::cout.flush();       \
    } while (false)
