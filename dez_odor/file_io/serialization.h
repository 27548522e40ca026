#pragma once

// Values into a BinaryBuffer, in the byte layout of the LGB format: integers
// and floats little-endian without padding, strings as a u32 length and the
// characters (no terminator).

#include "common/util/variant.h"
#include "dez_odor/file_io/binary_buffer.h"

#include <cstdint>
#include <map>
#include <string>

namespace mg {

// Plain values of 1, 4 and 8 bytes. Only fixed-width types are offered, so
// that no size_t or pointer ends up in a file by accident.
void Serialize(BinaryBuffer& out, uint8_t value);
void Serialize(BinaryBuffer& out, int32_t value);
void Serialize(BinaryBuffer& out, uint32_t value);
void Serialize(BinaryBuffer& out, float value);
void Serialize(BinaryBuffer& out, double value);

void Serialize(BinaryBuffer& out, const std::string& value);

// The u32 kind tag, then the value: bool as one byte, int, float, double,
// both string kinds as a string; invalid and pointer kinds with nothing.
// The other kinds (size_t, const pointer, the smart pointers) throw MGError
// "Unknown variant type in Serialize:<tag>" after the tag was written.
void Serialize(BinaryBuffer& out, const Variant& value);

// u32 entry count, then key and value of every entry in the map's order.
void Serialize(BinaryBuffer& out, const std::map<std::string, Variant>& values);

}  // namespace mg
