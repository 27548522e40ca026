#pragma once

namespace vo {

// Standard CRC-32 (reflected, polynomial 0x04C11DB7, initial and final XOR
// 0xFFFFFFFF) of the bytes of a zero-terminated string, the terminator not
// included. Type ids of registered classes and game events are built with it.
// A null string hashes like the empty string (0).
unsigned int crc32(const char* text);

}  // namespace vo
