#include "support/grid/stdout_capture.h"

#include "common/log.h"

#include <iostream>

namespace mg_test {

StdoutCapture::StdoutCapture()
{
    mg::GetLogAssistant();
    std::cout.flush();
    m_previous = std::cout.rdbuf(&m_buffer);
}

StdoutCapture::~StdoutCapture()
{
    std::cout.flush();
    std::cout.rdbuf(m_previous);
}

}  // namespace mg_test
