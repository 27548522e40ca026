#include "engine/core/crc32.h"

#include <boost/crc.hpp>

#include <cstring>

namespace vo {

unsigned int crc32(const char* text) {
    if (!text) return 0;
    // A fresh checksum object per call: every call is independent of the ones
    // before it and the function may be entered from any thread.
    boost::crc_32_type crc;
    crc.process_bytes(text, std::strlen(text));
    return crc.checksum();
}

}  // namespace vo
