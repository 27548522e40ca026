#include "common/error.h"

namespace mg {

MGError::MGError(const char* message, const char* file, int line)
{
    push_msg(message, file, line);
}

MGError::MGError(const std::string& message, const char* file, int line)
{
    push_msg(message, file, line);
}

MGError::~MGError() = default;

void MGError::push_msg(const std::string& message, const char* file, int line)
{
    m_messages.push_back(message);
    m_files.push_back(file ? std::string(file) : std::string());
    m_lines.push_back(line);
}

void MGError::push_msg(const char* message, const char* file, int line)
{
    push_msg(std::string(message ? message : ""), file, line);
}

const std::string& MGError::get_msg() const
{
    return m_messages.at(0);
}

}  // namespace mg
