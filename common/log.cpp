#include "common/log.h"

#include "common/debug_id.h"

#include <cstdio>

namespace mg {

LogAssistant::LogAssistant()
    : m_emptySlot(nullptr),
      m_terminalSlot(nullptr),
      m_fileSlot(nullptr),
      m_splitterSlot(nullptr),
      m_terminalOutput(true),
      m_fileOutput(false)
{
}

LogAssistant::~LogAssistant()
{
    std::cout.flush();
    m_splitter.flush();
    if (m_logFile.is_open())
        m_logFile.flush();
    if (m_terminalOutput)
        std::fflush(stdout);
    // Later writers (static destructors among them) must never reach the
    // buffers that die with this object.
    if (m_terminalSlot && owns_buffer(std::cout.rdbuf()))
        std::cout.rdbuf(m_terminalSlot);
    if (m_logFile.is_open())
        m_logFile.close();
}

bool LogAssistant::owns_buffer(const std::streambuf* buf) const
{
    return buf && (buf == &m_emptyBuffer || buf == &m_splitter || buf == m_logFile.rdbuf());
}

void LogAssistant::setup()
{
    m_emptySlot = &m_emptyBuffer;
    m_terminalSlot = std::cout.rdbuf();
    m_fileSlot = m_logFile.rdbuf();
    m_splitterSlot = &m_splitter;
    m_splitter.set_buffers(m_terminalSlot, m_fileSlot);
    update_ostream();
}

bool LogAssistant::open_logfile()
{
    if (m_logFile.is_open())
        return true;
    m_logFile.open(m_logFileName.c_str(), std::ios::out | std::ios::trunc);
    if (!m_logFile.fail() && !m_logFile.bad())
        return true;
    m_fileOutput = false;
    MG_LOG("ERROR: LogAssistant::open_logfile failed: Couldn't open " << m_logFileName << std::endl);
    return false;
}

void LogAssistant::update_ostream()
{
    if (!m_terminalSlot)
        return;  // not set up yet
    std::streambuf* target;
    if (m_terminalOutput && m_fileOutput)
        target = open_logfile() ? m_splitterSlot : m_terminalSlot;
    else if (m_terminalOutput)
        target = m_terminalSlot;
    else if (m_fileOutput)
        target = open_logfile() ? m_fileSlot : m_emptySlot;
    else
        target = m_emptySlot;
    std::cout.rdbuf(target);
}

void LogAssistant::set_output(bool terminal, bool file)
{
    m_terminalOutput = terminal;
    m_fileOutput = file;
    update_ostream();
}

void LogAssistant::set_logfile_name(const std::string& name)
{
    if (m_logFile.is_open()) {
        m_splitter.flush();
        m_logFile.close();
    }
    m_logFile.clear();
    m_logFileName = name;
    update_ostream();
}

LogAssistant& GetLogAssistant()
{
    static LogAssistant assistant;
    static bool isSetUp = false;
    if (!isSetUp) {
        // Set first, so that a log line written during set-up returns here.
        isSetUp = true;
        GetDebugIDManager().set_debug_levels(-1);
        assistant.setup();
    }
    return assistant;
}

}  // namespace mg
