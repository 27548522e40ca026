#pragma once

// Level-edit snapshots: the level's edit log in a byte buffer behind a magic
// number. Layout (little-endian, raw 4-byte values): uint32 magic 234798,
// uint32 N, then N records of float32 x, y, radius and uint32 operation
// (0 carve, 1 lava marking).

#include <cstdint>

namespace vo {

class BinaryBuffer;
class LevelGeometryHandle;

constexpr std::uint32_t LEVEL_SNAPSHOT_MAGIC = 234798;

// Empties the buffer and writes the magic number and the level's log.
void WriteLevelSnapshot(BinaryBuffer& buffer, const LevelGeometryHandle& level);

// Reads a snapshot from the buffer's read position and rebuilds the level
// from it (LevelGeometryImpl::deserialize). Throws Error "Magic Number
// mismatch during Match::deserialize at check 1" for a wrong magic number,
// and the level's errors for a bad log; the level and the read position stay
// as they were then.
void ReadLevelSnapshot(BinaryBuffer& buffer, LevelGeometryHandle& level);

}  // namespace vo
