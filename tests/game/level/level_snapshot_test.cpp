// Level-edit snapshots: the edit log behind a magic number, replayed on a
// fresh disc.

#include "level_fixtures.h"

#include "engine/core/binary_buffer.h"
#include "engine/core/error.h"
#include "game/level/level_generation.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/level_snapshot.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace vo;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

std::vector<unsigned char> BytesOf(const BinaryBuffer& buffer)
{
    const unsigned char* data = reinterpret_cast<const unsigned char*>(buffer.buffer());
    return std::vector<unsigned char>(data, data + buffer.write_pos());
}

BinaryBuffer BufferOf(const std::vector<unsigned char>& bytes)
{
    BinaryBuffer buffer;
    if (!bytes.empty())
        buffer.write(bytes.data(), static_cast<unsigned int>(bytes.size()));
    return buffer;
}

template <class T>
void Append(std::vector<unsigned char>& bytes, T value)
{
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

TEST(LevelSnapshot, TheBytesOfASnapshot)
{
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 10.0f);
    BinaryBuffer buffer;
    WriteLevelSnapshot(buffer, level);
    EXPECT_THAT(BytesOf(buffer), ElementsAreArray({0x2E, 0x95, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00}));

    level.explode(1.5f, -2.0f, 3.0f, nullptr);
    WriteLevelSnapshot(buffer, level);  // starts over
    EXPECT_THAT(BytesOf(buffer),
                ElementsAreArray({0x2E, 0x95, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00,  //
                                  0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0xC0,  //
                                  0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x00, 0x00}));
}

// The log holds the whole history, generation included: replayed on a fresh
// disc it gives the same mesh, on another level or on the level itself, and
// the log does not grow by being read back.
TEST(LevelSnapshot, ARoundTripReproducesTheLevelExactly)
{
    LevelGeometryHandle level;
    GenerateLevelArea(level, LevelGenerationParams(), 17, EffectHandle(), EffectHandle());
    level.explode(20, 30, 6, nullptr);
    level.add_lava(-10, 5, 3);
    level.explode(-12, 4, 5, nullptr);
    const level_test::MeshImage original = level_test::ImageOf(level.geometry());
    const std::vector<LevelEditRecord> log = level.edit_log();
    BinaryBuffer buffer;
    WriteLevelSnapshot(buffer, level);

    LevelGeometryHandle other;
    level_test::CreateDisc(other, 100.0f);
    other.explode(0, 0, 30, nullptr);  // replaced by the snapshot
    ReadLevelSnapshot(buffer, other);
    EXPECT_TRUE(level_test::ImageOf(other.geometry()) == original);
    EXPECT_TRUE(level_test::SameLog(other.edit_log(), log));
    EXPECT_EQ(buffer.read_pos(), buffer.write_pos());

    buffer.set_read_pos(0);
    ReadLevelSnapshot(buffer, level);
    EXPECT_TRUE(level_test::ImageOf(level.geometry()) == original);
    EXPECT_TRUE(level_test::SameLog(level.edit_log(), log));
}

// Operations other than carving and lava marking are skipped.
TEST(LevelSnapshot, UnknownOperationsAreSkipped)
{
    std::vector<unsigned char> bytes;
    Append<std::uint32_t>(bytes, LEVEL_SNAPSHOT_MAGIC);
    Append<std::uint32_t>(bytes, 3);
    for (std::uint32_t op : {0u, 2u, 1u}) {
        Append(bytes, 1.0f);
        Append(bytes, 2.0f);
        Append(bytes, 3.0f);
        Append(bytes, op);
    }
    BinaryBuffer buffer = BufferOf(bytes);
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 10.0f);
    ReadLevelSnapshot(buffer, level);
    ASSERT_EQ(level.edit_log().size(), 2u);
    EXPECT_EQ(level.edit_log()[0].op, 0u);
    EXPECT_EQ(level.edit_log()[1].op, 1u);
}

// A buffer that is cut short, announces more records than it holds or holds
// a record no edit could have made is refused before anything changes.
TEST(LevelSnapshot, BadSnapshotsAreRefusedAndChangeNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto snapshot = [](std::uint32_t magic, std::uint32_t count,
                       const std::vector<std::array<float, 3>>& records) {
        std::vector<unsigned char> bytes;
        Append(bytes, magic);
        Append(bytes, count);
        for (const auto& r : records) {
            Append(bytes, r[0]);
            Append(bytes, r[1]);
            Append(bytes, r[2]);
            Append<std::uint32_t>(bytes, 0);
        }
        return bytes;
    };
    const std::vector<unsigned char> good = snapshot(LEVEL_SNAPSHOT_MAGIC, 2, {{1, 2, 3}, {4, 5, 6}});
    const struct {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "magic number"},
        {"magic only", std::vector<unsigned char>(good.begin(), good.begin() + 4), "record count"},
        {"cut inside the count", std::vector<unsigned char>(good.begin(), good.begin() + 6),
         "record count"},
        {"cut inside a record", std::vector<unsigned char>(good.begin(), good.end() - 1),
         "2 records announced, but only 31 bytes follow"},
        {"wrong magic number", snapshot(234799, 0, {}),
         "Magic Number mismatch during Match::deserialize at check 1"},
        {"a count far too large", snapshot(LEVEL_SNAPSHOT_MAGIC, 0xFFFFFFFFu, {{1, 2, 3}}),
         "records announced"},
        {"x not a number", snapshot(LEVEL_SNAPSHOT_MAGIC, 1, {{nan, 2, 3}}), "record 0"},
        {"y infinite", snapshot(LEVEL_SNAPSHOT_MAGIC, 2, {{1, 2, 3}, {1, -inf, 3}}), "record 1"},
        {"radius 0", snapshot(LEVEL_SNAPSHOT_MAGIC, 1, {{1, 2, 0}}), "record 0"},
        {"radius below 0", snapshot(LEVEL_SNAPSHOT_MAGIC, 1, {{1, 2, -3}}), "record 0"},
    };
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 20.0f);
    level.explode(3, 3, 4, nullptr);
    const level_test::MeshImage before = level_test::ImageOf(level.geometry());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BinaryBuffer buffer = BufferOf(c.bytes);
        try {
            ReadLevelSnapshot(buffer, level);
            ADD_FAILURE() << "not refused";
        } catch (const Error& e) {
            EXPECT_THAT(e.message(), HasSubstr(c.message));
        }
        EXPECT_EQ(buffer.read_pos(), 0u);
        EXPECT_EQ(level.edit_log().size(), 1u);
        EXPECT_TRUE(level_test::ImageOf(level.geometry()) == before);
    }

    // A level that was never created has nothing to replay onto.
    LevelGeometryHandle empty;
    BinaryBuffer buffer = BufferOf(good);
    EXPECT_THROW(ReadLevelSnapshot(buffer, empty), Error);
}

}  // namespace
