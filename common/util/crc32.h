#pragma once

#include <cstdint>

namespace mg {

// CRC-32 (ISO-HDLC, as in zlib) of the bytes of a zero-terminated text,
// without the terminator. crc32("") == 0, crc32("123456789") == 0xCBF43926.
// Distinct from the engine's crc32.
uint32_t crc32(const char* text);

}  // namespace mg
