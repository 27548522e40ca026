// The TXT and STL writers: exact text for small grids, numpy and meshio
// reading back level-sized grids.

#include "dez_odor/file_io/stl_writer.h"
#include "dez_odor/file_io/txt_writer.h"

#include "grid_file_checks.h"

#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "support/grid/external_tool.h"
#include "support/grid/level_disc.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace mg;
using namespace mg_test;

std::vector<std::vector<std::string>> Tokens(const std::string& text)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        lines.emplace_back();
        for (std::string w; words >> w;)
            lines.back().push_back(w);
    }
    return lines;
}

size_t NumAttachments(Grid& g)
{
    return g.vertex_attachment_pipe().num_attachments() + g.edge_attachment_pipe().num_attachments() +
           g.face_attachment_pipe().num_attachments() + g.volume_attachment_pipe().num_attachments();
}

// A level disc with one quadrilateral, one triangle with collinear corners and
// a loose edge added.
struct MixedLevel {
    MixedLevel() : level(10.0f, 2.0f)
    {
        Grid& g = level.grid;
        auto vertex = [&](float x, float y, float z) {
            Vertex* v = *g.create<RegularVertex>();
            level.aaPos[v] = Vec3(x, y, z);
            return v;
        };
        Vertex* a = vertex(30, 0, 1);
        Vertex* b = vertex(31, 0, 1);
        Vertex* c = vertex(31, 1, 2);
        Vertex* d = vertex(30, 1, 2);
        g.register_face(new Quadrilateral(a, b, c, d));
        Vertex* e = vertex(40, 0, 0);
        Vertex* f = vertex(41, 1, 1);
        Vertex* h = vertex(42, 2, 2);
        g.create<Triangle>(TriangleDescriptor(e, f, h));
        g.create<RegularEdge>(EdgeDescriptor(a, e));
    }
    LevelDiscGrid level;
};

TEST(SaveGridToTXT, GridWithoutFacesWritesCountAndVertices)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    PosAccessor3 aaPos(grid.vertex_attachment_pipe(), aPosition);
    Vertex* v0 = *grid.create<RegularVertex>();
    Vertex* v1 = *grid.create<RegularVertex>();
    aaPos[v0] = Vec3(1, 0.5f, -2);
    aaPos[v1] = Vec3(0.1f, 123456.7f, 1e-30f);
    grid.create<RegularEdge>(EdgeDescriptor(v0, v1));

    ScratchDir dir;
    const std::string file = dir.file("g.txt");
    const size_t attachments = NumAttachments(grid);
    ASSERT_TRUE(SaveGridToTXT(grid, file.c_str(), aPosition));
    EXPECT_EQ(ReadFileBytes(file), "2 0\n0 1 0.5 -2\n1 0.1 123457 1e-30\n");
    EXPECT_EQ(NumAttachments(grid), attachments);
}

TEST(SaveGridToTXT, TrianglesReadBackWithNumpy)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    MixedLevel m;
    Grid& grid = m.level.grid;
    ScratchDir dir;
    const std::string file = dir.file("level.txt");
    ASSERT_TRUE(SaveGridToTXT(grid, file.c_str(), aPosition));

    const ToolResult read = RunReaderScript("txt_read.py", {file});
    ASSERT_EQ(read.exit_code, 0) << read.err;
    const auto lines = Tokens(read.out);
    ASSERT_FALSE(lines.empty());
    const size_t numTriangles = grid.num<Triangle>();
    ASSERT_EQ(lines[0], (std::vector<std::string>{"counts", std::to_string(grid.num_vertices()),
                                                  std::to_string(numTriangles)}));
    ASSERT_EQ(lines.size(), 1 + grid.num_vertices() + numTriangles);

    std::map<Vertex*, int> number;
    size_t row = 1;
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it, ++row) {
        number[*it] = static_cast<int>(row - 1);
        const Vec3& p = m.level.aaPos[*it];
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(std::stod(lines[row][k + 1]), p[k], 1e-5 * std::max(1.0f, std::fabs(p[k])));
    }
    for (auto it = grid.begin<Triangle>(); it != grid.end<Triangle>(); ++it, ++row)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(std::stoi(lines[row][k + 1]), number[(*it)->vertex(k)]);
}

TEST(SaveGridToTXT, RefusalsAndWriteFailures)
{
    Grid grid;
    ScratchDir dir;
    const std::string existing = dir.file("keep.txt");
    std::ofstream(existing) << "keep me";
    {
        StdoutCapture out;
        EXPECT_FALSE(SaveGridToTXT(grid, existing.c_str(), aPosition));
        EXPECT_FALSE(SaveGridToTXT(grid, dir.file("new.txt").c_str(), aPosition));
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(ReadFileBytes(existing), "keep me");
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));

    grid.attach_to_vertices(aPosition);
    grid.create<RegularVertex>();
    EXPECT_FALSE(SaveGridToTXT(grid, dir.file("no/folder.txt").c_str(), aPosition));
    EXPECT_FALSE(SaveGridToTXT(grid, "/dev/full", aPosition));
}

const char* kQuadWarning =
    "WARNING: The specified grid contains quadrilaterals. Those won't be written to the stl file!\n";

TEST(SaveGridToSTL, GridWithoutFacesIsAnEmptySolid)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    grid.create<RegularVertex>();
    ScratchDir dir;
    const std::string file = dir.file("empty.stl");
    StdoutCapture out;
    ASSERT_TRUE(SaveGridToSTL(grid, file.c_str(), nullptr, aPosition));
    EXPECT_EQ(ReadFileBytes(file), "solid stlFromMG4\nendsolid stlFromMG4\n");
    EXPECT_EQ(out.str(), "");
}

TEST(SaveGridToSTL, FacetsReadBackWithMeshio)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    MixedLevel m;
    Grid& grid = m.level.grid;
    ScratchDir dir;
    const std::string file = dir.file("level.stl");
    {
        StdoutCapture out;
        ASSERT_TRUE(SaveGridToSTL(grid, file.c_str(), nullptr, aPosition));
        EXPECT_EQ(out.str(), kQuadWarning);
    }

    const ToolResult read = RunReaderScript("stl_read.py", {file});
    ASSERT_EQ(read.exit_code, 0) << read.err;
    const auto lines = Tokens(read.out);
    const size_t n = grid.num<Triangle>();
    ASSERT_EQ(lines.size(), 2 + 2 * n);
    EXPECT_EQ(lines[0], (std::vector<std::string>{"name", "stlFromMG4"}));
    EXPECT_EQ(lines[1], (std::vector<std::string>{"facets", std::to_string(n)}));

    size_t k = 0;
    size_t degenerate = 0;
    for (auto it = grid.begin<Triangle>(); it != grid.end<Triangle>(); ++it, ++k) {
        const auto& normal = lines[2 + k];
        const auto& corners = lines[2 + n + k];
        double len = 0;
        double nrm[3];
        for (int i = 0; i < 3; ++i) {
            nrm[i] = std::stod(normal[1 + i]);
            len += nrm[i] * nrm[i];
        }
        // the normal from the corners, in double precision
        const Vec3& p0 = m.level.aaPos[(*it)->vertex(0)];
        const Vec3& p1 = m.level.aaPos[(*it)->vertex(1)];
        const Vec3& p2 = m.level.aaPos[(*it)->vertex(2)];
        const double u[3] = {p1[0] - double(p0[0]), p1[1] - double(p0[1]), p1[2] - double(p0[2])};
        const double w[3] = {p2[0] - double(p0[0]), p2[1] - double(p0[1]), p2[2] - double(p0[2])};
        double c[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        const double clen = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        if (clen == 0) {
            ++degenerate;
            EXPECT_EQ(len, 0.0) << "facet " << k;
        } else {
            EXPECT_NEAR(len, 1.0, 1e-5) << "facet " << k;
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(nrm[i], c[i] / clen, 1e-5) << "facet " << k;
        }
        ASSERT_EQ(corners.size(), 10u);
        for (int v = 0; v < 3; ++v) {
            const Vec3& p = m.level.aaPos[(*it)->vertex(v)];
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(std::stod(corners[1 + 3 * v + i]), p[i],
                            1e-5 * std::max(1.0f, std::fabs(p[i])))
                    << "facet " << k;
        }
    }
    EXPECT_EQ(degenerate, 1u);
}

TEST(SaveGridToSTL, EmptyQuadrilateralSectionGivesNoWarning)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    Vertex* v[4];
    for (Vertex*& vrt : v)
        vrt = *grid.create<RegularVertex>();
    auto* quad = new Quadrilateral(v[0], v[1], v[2], v[3]);
    grid.register_face(quad);
    grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
    grid.erase(quad);
    ScratchDir dir;
    StdoutCapture out;
    EXPECT_TRUE(SaveGridToSTL(grid, dir.file("t.stl").c_str(), nullptr, aPosition));
    EXPECT_EQ(out.str(), "");
}

TEST(SaveGridToSTL, RefusalsAndWriteFailures)
{
    Grid grid;
    ScratchDir dir;
    const std::string existing = dir.file("keep.stl");
    std::ofstream(existing) << "keep me";
    {
        StdoutCapture out;
        EXPECT_FALSE(SaveGridToSTL(grid, existing.c_str(), nullptr, aPosition));
        EXPECT_EQ(out.str(), "Specified vertex-position attachment missing!\n");
    }
    // The file is checked for after the positions: it is left as it was.
    EXPECT_EQ(ReadFileBytes(existing), "keep me");

    grid.attach_to_vertices(aPosition);
    const std::string missing = dir.file("no/folder.stl");
    {
        StdoutCapture out;
        EXPECT_FALSE(SaveGridToSTL(grid, missing.c_str(), nullptr, aPosition));
        EXPECT_EQ(out.str(), "Couldn't load file " + missing + "\n");
    }
    EXPECT_FALSE(SaveGridToSTL(grid, "/dev/full", nullptr, aPosition));
}

}  // namespace
