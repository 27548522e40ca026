#include "engine/core/binary_buffer.h"
#include "engine/core/error.h"
#include "engine/core/vector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using vo::BinaryBuffer;

TEST(BinaryBuffer, NewBufferIsEmpty) {
    BinaryBuffer b;
    EXPECT_EQ(b.capacity(), 0u);
    EXPECT_EQ(b.read_pos(), 0u);
    EXPECT_EQ(b.write_pos(), 0u);
    EXPECT_TRUE(b.eof());

    BinaryBuffer sized(16);
    EXPECT_EQ(sized.capacity(), 16u);
    EXPECT_EQ(sized.write_pos(), 0u);
    EXPECT_TRUE(sized.eof());
    for (unsigned int i = 0; i < 16; ++i) EXPECT_EQ(sized.buffer()[i], 0);
}

TEST(BinaryBuffer, GrowthSequences) {
    struct Case {
        const char* what;
        unsigned int initial;
        std::vector<unsigned int> writes;
        std::vector<unsigned int> sizes;  // size after each write
    };
    const std::vector<Case> cases = {
        {"words double", 0, {4, 4, 4, 4, 4, 4, 4, 4, 4}, {4, 8, 16, 16, 32, 32, 32, 32, 64}},
        {"large first write", 0, {12, 4}, {12, 24}},
        {"count beyond the size", 4, {4, 9}, {4, 13}},
        {"sized buffer grows at byte 17", 16, {8, 8, 1}, {16, 16, 32}},
        {"empty write", 0, {0, 1}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BinaryBuffer b(c.initial);
        unsigned int written = 0;
        for (std::size_t i = 0; i < c.writes.size(); ++i) {
            const std::vector<char> bytes(c.writes[i], char(i + 1));
            b.write(bytes.data(), c.writes[i]);
            written += c.writes[i];
            EXPECT_EQ(b.capacity(), c.sizes[i]) << "after write " << i;
            EXPECT_EQ(b.write_pos(), written);
        }
        // Bytes past the write position are zero after growth.
        for (unsigned int i = b.write_pos(); i < b.capacity(); ++i) ASSERT_EQ(b.buffer()[i], 0);
    }
}

TEST(BinaryBuffer, WordRoundTripAndEof) {
    BinaryBuffer b;
    b.write<std::uint32_t>(0x01020304u);
    EXPECT_EQ(b.capacity(), 4u);
    EXPECT_EQ(b.write_pos(), 4u);
    EXPECT_FALSE(b.eof());
    // In-memory form: least significant byte first on this machine.
    EXPECT_EQ(b.buffer()[0], 0x04);
    EXPECT_EQ(b.buffer()[3], 0x01);
    EXPECT_EQ(b.read<std::uint32_t>(), 0x01020304u);
    EXPECT_EQ(b.read_pos(), 4u);
    EXPECT_TRUE(b.eof());
}

TEST(BinaryBuffer, UnalignedValuesRoundTrip) {
    struct Packed {
        double d;
        std::uint16_t s;
    };
    BinaryBuffer b;
    b.write<char>('x');  // every later value sits at an odd offset
    b.write<std::uint32_t>(0xDEADBEEFu);
    b.write<float>(-1.5f);
    b.write<double>(3.25);
    b.write<std::uint64_t>(0x0123456789ABCDEFull);
    b.write(vo::vector3(1, 2, 3));
    b.write(Packed{0.125, 7});

    EXPECT_EQ(b.read<char>(), 'x');
    EXPECT_EQ(b.read<std::uint32_t>(), 0xDEADBEEFu);
    EXPECT_EQ(b.read<float>(), -1.5f);
    EXPECT_EQ(b.read<double>(), 3.25);
    EXPECT_EQ(b.read<std::uint64_t>(), 0x0123456789ABCDEFull);
    const vo::vector3 v = b.read<vo::vector3>();
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.z, 3);
    const Packed p = b.read<Packed>();
    EXPECT_EQ(p.d, 0.125);
    EXPECT_EQ(p.s, 7);
    EXPECT_TRUE(b.eof());
}

TEST(BinaryBuffer, ReadingPastTheWrittenDataIsRefused) {
    BinaryBuffer b(64);  // room in the array, but only 6 bytes written
    b.write<std::uint32_t>(42);
    b.write<std::uint16_t>(7);
    EXPECT_EQ(b.read<std::uint32_t>(), 42u);

    char dest[8] = {'a', 'a', 'a', 'a', 'a', 'a', 'a', 'a'};
    try {
        b.read(dest, 4);  // 2 bytes remain
        ADD_FAILURE() << "no Error thrown";
    } catch (const vo::Error& e) {
        EXPECT_NE(std::string(e.message()).find("past the written data"), std::string::npos) << e.message();
    }
    EXPECT_EQ(b.read_pos(), 4u);  // nothing moved
    EXPECT_EQ(dest[0], 'a');
    EXPECT_THROW(b.read<std::uint64_t>(), vo::Error);
    EXPECT_EQ(b.read_pos(), 4u);
    EXPECT_EQ(b.read<std::uint16_t>(), 7u);
    EXPECT_THROW(b.read<char>(), vo::Error);

    // A read position set far beyond, or one that would overflow 32 bits.
    b.set_read_pos(1000);
    EXPECT_THROW(b.read<char>(), vo::Error);
    b.set_read_pos(0xFFFFFFFEu);
    EXPECT_THROW(b.read<std::uint32_t>(), vo::Error);
    EXPECT_EQ(b.read_pos(), 0xFFFFFFFEu);

    BinaryBuffer empty;
    EXPECT_THROW(empty.read<std::uint32_t>(), vo::Error);
}

TEST(BinaryBuffer, ClearReserveAndCopies) {
    BinaryBuffer b;
    b.write<std::uint32_t>(0xAAAAAAAAu);
    b.write<std::uint32_t>(0xBBBBBBBBu);
    b.clear();
    EXPECT_EQ(b.read_pos(), 0u);
    EXPECT_EQ(b.write_pos(), 0u);
    EXPECT_EQ(b.capacity(), 8u);
    EXPECT_TRUE(b.eof());
    b.write<std::uint32_t>(0x11111111u);  // overwrites from the start
    b.set_write_pos(8);                   // the old second word is still there
    b.read<std::uint32_t>();
    EXPECT_EQ(b.read<std::uint32_t>(), 0xBBBBBBBBu);

    b.set_read_pos(2);
    b.reserve(4);  // smaller: nothing happens
    EXPECT_EQ(b.capacity(), 8u);
    b.reserve(100);
    EXPECT_EQ(b.capacity(), 100u);
    EXPECT_EQ(b.read_pos(), 2u);
    EXPECT_EQ(b.write_pos(), 8u);
    EXPECT_EQ(b.buffer()[99], 0);

    BinaryBuffer copy(b);
    BinaryBuffer assigned;
    assigned = b;
    for (BinaryBuffer* c : {&copy, &assigned}) {
        EXPECT_EQ(c->capacity(), 100u);
        EXPECT_EQ(c->read_pos(), 2u);
        EXPECT_EQ(c->write_pos(), 8u);
        EXPECT_NE(c->buffer(), b.buffer());
        EXPECT_EQ(std::memcmp(c->buffer(), b.buffer(), 100), 0);
    }
    copy.set_read_pos(4);
    EXPECT_EQ(copy.read<std::uint32_t>(), 0xBBBBBBBBu);
}

TEST(BinaryBuffer, WritePositionBeyondTheSizeStaysInBounds) {
    BinaryBuffer b(4);
    b.set_write_pos(10);
    b.write<std::uint32_t>(5);  // must not write outside the array
    EXPECT_GE(b.capacity(), 14u);
    EXPECT_EQ(b.write_pos(), 14u);
    b.set_read_pos(10);
    EXPECT_EQ(b.read<std::uint32_t>(), 5u);

    BinaryBuffer far;
    far.set_write_pos(0xFFFFFFFEu);
    EXPECT_THROW(far.write<std::uint32_t>(1), vo::Error);
    EXPECT_EQ(far.capacity(), 0u);
}

}  // namespace
