#include "common/util/crc32.h"

#include <boost/crc.hpp>
#include <cstring>

namespace mg {

uint32_t crc32(const char* text)
{
    // A fresh remainder per call: the result never depends on earlier calls.
    boost::crc_32_type crc;
    if (text)
        crc.process_bytes(text, std::strlen(text));
    return crc.checksum();
}

}  // namespace mg
