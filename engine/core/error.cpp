#include "engine/core/error.h"

namespace vo {

Error::Error(const char* message) : message_(message ? message : "") {}
Error::Error(const std::string& message) : message_(message) {}
Error::Error(const Error& other) = default;
Error& Error::operator=(const Error& other) = default;
Error::~Error() = default;

const char* Error::message() const { return message_.c_str(); }

}  // namespace vo
