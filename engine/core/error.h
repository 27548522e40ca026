#pragma once

#include <string>

namespace vo {

// The engine's exception. Thrown by value, caught by reference; the message
// is composed as text before the exception is built.
class Error {
public:
    explicit Error(const char* message);
    explicit Error(const std::string& message);
    Error(const Error& other);
    Error& operator=(const Error& other);
    virtual ~Error();

    virtual const char* message() const;

private:
    std::string message_;
};

}  // namespace vo
