#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace mg {

// The grid library's exception: a stack of messages, each with the source
// file and line of the statement that put it. The statement that detects a
// problem puts the first message; handlers on the way up may add their own
// with push_msg and throw the same error on. Thrown by value, caught by
// reference.
class MGError {
public:
    MGError(const char* message, const char* file, int line);
    MGError(const std::string& message, const char* file, int line);
    MGError(const MGError& other) = default;
    MGError& operator=(const MGError& other) = default;
    virtual ~MGError();

    void push_msg(const std::string& message, const char* file, int line);
    void push_msg(const char* message, const char* file, int line);

    // The first message (the one given to the constructor).
    const std::string& get_msg() const;

    size_t num_msg() const { return m_messages.size(); }
    const std::string& get_msg(size_t i) const { return m_messages.at(i); }
    const std::string& get_file(size_t i) const { return m_files.at(i); }
    int get_line(size_t i) const { return m_lines.at(i); }

private:
    std::vector<std::string> m_messages;
    std::vector<std::string> m_files;
    std::vector<int> m_lines;
};

}  // namespace mg

// Composes the message in a string stream and throws an MGError carrying the
// position of the throwing statement:  MG_THROW("bad index " << i);
#define MG_THROW(msg)                                        \
    do {                                                     \
        std::stringstream mg_throw_ss_;                      \
        mg_throw_ss_ << msg;                                 \
        throw ::mg::MGError(mg_throw_ss_.str(), __FILE__, __LINE__); \
    } while (false)
