// The LGB writer: small grids byte for byte, a random grid with two subset
// handlers read back by a struct reader written from the format's tables.

#include "dez_odor/file_io/lgb_writer.h"

#include "grid_file_checks.h"

#include "common/error.h"
#include "dez_odor/file_io/binary_buffer.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/external_tool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace mg;
using namespace mg_test;

// Expected file content, assembled field by field.
class Bytes {
public:
    Bytes& u8(unsigned v)
    {
        m_s += static_cast<char>(v);
        return *this;
    }
    Bytes& u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_s += static_cast<char>((v >> (8 * i)) & 0xff);
        return *this;
    }
    Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    Bytes& f32(float f)
    {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return u32(bits);
    }
    Bytes& chars(const std::string& s)
    {
        m_s += s;
        return *this;
    }
    const std::string& str() const { return m_s; }

private:
    std::string m_s;
};

std::string Hex(const std::string& bytes)
{
    std::string hex;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof(buf), "%02X ", c);
        hex += buf;
    }
    return hex;
}

std::string FromHex(const char* hex)
{
    std::string bytes;
    for (const char* p = hex; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        bytes += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
        p += 2;
    }
    return bytes;
}

bool Save(Grid& grid, const std::string& file, std::vector<ISubsetHandler*> handlers)
{
    return SaveGridToLGB(grid, file.c_str(), handlers.empty() ? nullptr : handlers.data(),
                         static_cast<int>(handlers.size()), aPosition);
}

TEST(BinaryBuffer, GrowsByDoublingOrByWhatIsNeeded)
{
    BinaryBuffer buf;
    EXPECT_EQ(buf.capacity(), 0u);
    EXPECT_EQ(buf.buffer(), nullptr);
    const char data[16] = "abcdefghijklmno";
    // (bytes written, storage size afterwards)
    const std::pair<size_t, size_t> steps[] = {{1, 1}, {4, 5}, {1, 10}, {4, 10}, {1, 20}, {16, 40}};
    size_t written = 0;
    for (const auto& [n, capacity] : steps) {
        buf.write(data, n);
        written += n;
        EXPECT_EQ(buf.capacity(), capacity) << "after " << written << " bytes";
        EXPECT_EQ(buf.write_pos(), written);
    }
    EXPECT_EQ(buf.read_pos(), 0u);
    EXPECT_EQ(std::string(buf.buffer(), 5), "aabcd");
}

TEST(SaveGridToLGB, EmptyGridsGiveTheDocumentedBytes)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    ScratchDir dir;

    const std::string plain = dir.file("empty.lgb");
    ASSERT_TRUE(Save(grid, plain, {}));
    EXPECT_EQ(Hex(ReadFileBytes(plain)),
              Hex(FromHex("01 04 04 04 00 00 00 02 00 00 00 01 00 00 00 03 00 00 00 00 00 00 00 "
                          "02 00 00 00 FE FF FF FF A4 B7 7E 00 A4 B7 7E 00 70 13 35 00")));

    GridSubsetHandler sh(&grid, SE_ALL);
    const std::string withHandler = dir.file("empty_sh.lgb");
    ASSERT_TRUE(Save(grid, withHandler, {&sh}));
    const std::string bytes = ReadFileBytes(withHandler);
    ASSERT_EQ(bytes.size(), 59u);
    EXPECT_EQ(Hex(bytes), Hex(FromHex("01 04 04 04 00 00 00 06 00 00 00 01 00 00 00 03 00 00 00 "
                                      "00 00 00 00 02 00 00 00 FE FF FF FF A4 B7 7E 00 A4 B7 7E 00 "
                                      "01 00 00 00 48 FD 09 00 00 00 00 00 48 FD 09 00 "
                                      "70 13 35 00")));
}

TEST(SaveGridToLGB, TriangleGridWithFaceHandlerByteForByte)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    PosAccessor3 aaPos(grid.vertex_attachment_pipe(), aPosition);
    Vertex* v[3];
    const Vec3 p[3] = {Vec3(0, 0, 0), Vec3(1, 0, 0.5f), Vec3(0.1f, 1, -2)};
    for (int i = 0; i < 3; ++i) {
        v[i] = *grid.create<RegularVertex>();
        aaPos[v[i]] = p[i];
    }
    // edges in an order and orientation of their own, then the triangle
    grid.create<RegularEdge>(EdgeDescriptor(v[1], v[0]));
    grid.create<RegularEdge>(EdgeDescriptor(v[2], v[1]));
    grid.create<RegularEdge>(EdgeDescriptor(v[0], v[2]));
    Face* tri = *grid.create<Triangle>(TriangleDescriptor(v[2], v[0], v[1]));
    ASSERT_EQ(grid.num_edges(), 3u);

    GridSubsetHandler sh(&grid, SE_FACE);
    sh.assign_subset(tri, 1);
    sh.subset_info(1).name = "lava";
    sh.subset_info(1).property_map["abc"] = Variant(5);

    ScratchDir dir;
    const std::string file = dir.file("tri.lgb");
    ASSERT_TRUE(Save(grid, file, {&sh}));

    Bytes expected;
    expected.u8(1).u8(4).u8(4).u32(4).u32(6);
    expected.u32(1).u32(3).u32(0).u32(2);
    expected.u32(11).u32(3);
    expected.u32(21).u32(3).u32(1).u32(0).u32(2).u32(1).u32(0).u32(2);
    expected.u32(31).u32(1).u32(2).u32(0).u32(1);
    expected.i32(-2);
    expected.u32(8304548);
    for (const Vec3& q : p)
        expected.f32(q[0]).f32(q[1]).f32(q[2]);
    expected.u32(8304548);
    expected.u32(1).u32(654664).u32(2);
    // subset 0: the handler's default description
    expected.u32(7).chars(std::string("defSub", 7)).i32(0).f32(1).f32(1).f32(1).f32(1).u32(0).u32(0);
    // subset 1 with one property
    expected.u32(5).chars(std::string("lava", 5)).i32(0).f32(1).f32(1).f32(1).f32(1).u32(0);
    expected.u32(1).u32(3).chars("abc").u32(2).i32(5);
    // vertices and edges are not supported: -1; the face: 1; no volumes
    expected.i32(-1).i32(-1).i32(-1).i32(-1).i32(-1).i32(-1).i32(1);
    expected.u32(654664);
    expected.u32(3478384);
    EXPECT_EQ(Hex(ReadFileBytes(file)), Hex(expected.str()));
}

TEST(SaveGridToLGB, RandomGridWithTwoHandlersReadBackByStruct)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    for (bool special : {false, true}) {
        WriterTestGrid g;
        FillRandomGrid(g, special ? 11u : 12u, special);
        ScratchDir dir;
        const std::string file = dir.file("random.lgb");
        ASSERT_TRUE(Save(g.grid, file, {&g.sh, &g.shFaces}));

        const ToolResult read =
            RunReaderScript("lgb_read.py", {file, std::to_string(g.grid.num_edges()),
                                            std::to_string(g.grid.num_faces()),
                                            std::to_string(g.grid.num_volumes())});
        ASSERT_EQ(read.exit_code, 0) << read.err;
        EXPECT_EQ(read.out, ExpectedLgbReading(g.grid, g.aaPos, {&g.sh, &g.shFaces}))
            << "special sections " << special;
        for (const char* record : {"record 21 ", "record 31 ", "record 40 ", "record 61 "})
            EXPECT_NE(read.out.find(record), std::string::npos) << record;
        if (special) {
            for (const char* record : {"record 70 ", "record 80 ", "record 90 ", "cv "})
                EXPECT_NE(read.out.find(record), std::string::npos) << record;
        }
    }
}

TEST(SaveGridToLGB, RefusedPropertyThrowsBeforeAnyFileIsTouched)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    GridSubsetHandler sh(&grid, SE_ALL);
    sh.subset_info(0).property_map["n"] = Variant(size_t(7));
    const size_t attachments = grid.vertex_attachment_pipe().num_attachments();

    ScratchDir dir;
    const std::string fresh = dir.file("fresh.lgb");
    const std::string existing = dir.file("existing.lgb");
    std::ofstream(existing) << "keep me";
    for (const std::string& file : {fresh, existing}) {
        try {
            Save(grid, file, {&sh});
            ADD_FAILURE() << "no MGError";
        } catch (const MGError& err) {
            EXPECT_EQ(err.get_msg(), "Unknown variant type in Serialize:3");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(ReadFileBytes(existing), "keep me");
    EXPECT_EQ(grid.vertex_attachment_pipe().num_attachments(), attachments);
}

TEST(SaveGridToLGB, RefusalsAndWriteFailures)
{
    Grid grid;
    ScratchDir dir;
    const std::string file = dir.file("g.lgb");
    // no positions
    EXPECT_FALSE(Save(grid, file, {}));
    EXPECT_FALSE(std::filesystem::exists(file));

    grid.attach_to_vertices(aPosition);
    // a null handler pointer
    ISubsetHandler* none = nullptr;
    EXPECT_FALSE(SaveGridToLGB(grid, file.c_str(), &none, 1, aPosition));
    EXPECT_FALSE(SaveGridToLGB(grid, file.c_str(), nullptr, 1, aPosition));
    EXPECT_FALSE(std::filesystem::exists(file));

    EXPECT_FALSE(Save(grid, dir.file("no/such/folder.lgb"), {}));
    EXPECT_FALSE(Save(grid, "/dev/full", {}));
    EXPECT_TRUE(Save(grid, file, {}));
}

}  // namespace
