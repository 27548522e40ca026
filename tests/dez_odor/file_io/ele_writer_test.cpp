#include "dez_odor/file_io/file_io_ele.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/attachment_snapshot.h"
#include "grid_file_checks.h"
#include "tool_output.h"
#include "support/grid/stdout_capture.h"
#include "support/grid/test_tetrahedron.h"
#include "support/grid/tetrahedron_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

using mg::aPosition;
using mg_test::ReadTextFile;
using mg_test::ScratchDir;
using vector3 = mg::MathVector<3, float>;

const std::string TETGEN = "/usr/bin/tetgen";
const std::string MESHIO_READER =
    std::string(QV_TESTS_SOURCE_DIR "/dez_odor/file_io/read_tetgen_meshio.py");

// A test tetrahedron kept in volume section 1: a volume that is not a
// tetrahedron as far as the writers can tell.
class SectionOneVolume : public mg_test::TestTetrahedron {
public:
    using TestTetrahedron::TestTetrahedron;
    mg::GridObject* create_empty_instance() const override { return new SectionOneVolume; }
    int container_section() const override { return 1; }
};

// Two triangles and a quadrilateral in the plane z = 0.25.
struct PlanarGrid {
    PlanarGrid()
    {
        grid.attach_to_vertices(aPosition);
        aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
        const float xy[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2.5f, 0}, {2.5f, 1}};
        for (const auto& p : xy) {
            mg::Vertex* v = *grid.create<mg::RegularVertex>();
            aaPos[v] = vector3(p[0], p[1], 0.25f);
            v_.push_back(v);
        }
        grid.create<mg::Triangle>(mg::TriangleDescriptor(v_[0], v_[1], v_[2]));
        grid.create<mg::Triangle>(mg::TriangleDescriptor(v_[1], v_[3], v_[2]));
        grid.register_face(new mg::Quadrilateral(v_[1], v_[4], v_[5], v_[3]));
    }
    mg::Grid grid;
    mg::AttachmentAccessor<mg::Vertex, vector3> aaPos;
    std::vector<mg::Vertex*> v_;
};

TEST(EleWriterTest, FileNamesFollowTheElementEnding)
{
    struct Row {
        const char* name;
        const char* node;
        const char* face;
        const char* ele;
    };
    const Row rows[] = {
        {"mesh.ele", "mesh.node", "mesh.face", "mesh.ele"},
        {"mesh", "mesh.node", "mesh.face", "mesh.ele"},
        {"mesh.ele.txt", "mesh.ele.txt.node", "mesh.ele.txt.face", "mesh.ele.txt.ele"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir;
        mg_test::TetrahedronBlock block(1, 1, 1);
        ASSERT_TRUE(mg::SaveGridToELE(block.grid, dir.file(row.name).c_str(), nullptr, aPosition));
        size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            (void)entry;
            ++files;
        }
        EXPECT_EQ(files, 3u);
        EXPECT_EQ(ReadTextFile(dir.file(row.node)).substr(0, 8), "8 3 0 0\n");
        EXPECT_EQ(ReadTextFile(dir.file(row.face)).substr(0, 5), "18 0\n");
        EXPECT_EQ(ReadTextFile(dir.file(row.ele)).substr(0, 6), "6 4 0\n");
    }
}

// The files of a block of 12 tetrahedra in two subsets are accepted by
// TetGen and read back by meshio with the same points, corners and markers.
TEST(EleWriterTest, TetgenAndMeshioReadTheTetrahedraBack)
{
    ASSERT_TRUE(mg_test::FileExists(TETGEN)) << "install Debian's tetgen";
    ScratchDir dir;
    mg_test::TetrahedronBlock block(2, 1, 1);
    mg::GridSubsetHandler sh(&block.grid, mg::SE_ALL);
    for (size_t k = 0; k < block.tetrahedra.size(); ++k)
        sh.assign_subset(block.tetrahedra[k], k < 6 ? 0 : 1);
    sh.assign_subset(*block.grid.begin<mg::Face>(), 2);
    const auto before = mg_test::AttachmentIds(block.grid);

    mg_test::StdoutCapture log;
    ASSERT_TRUE(mg::SaveGridToELE(block.grid, dir.file("block.ele").c_str(), &sh, aPosition));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(mg_test::AttachmentIds(block.grid), before);

    const mg_test::ToolOutput tetgen = mg_test::RunToolCombined(TETGEN, {"-rNEF", dir.file("block.ele")});
    ASSERT_EQ(tetgen.exitCode, 0) << tetgen.output;
    EXPECT_NE(tetgen.output.find("Input points: 12\n"), std::string::npos) << tetgen.output;
    EXPECT_NE(tetgen.output.find("Input tetrahedra: 12\n"), std::string::npos) << tetgen.output;
    EXPECT_NE(tetgen.output.find("Mesh tetrahedra: 12\n"), std::string::npos) << tetgen.output;

    std::ostringstream expected;
    expected << "points 12\n";
    for (mg::Vertex* v : block.vertices)
        expected << "point " << block.aaPos[v][0] << " " << block.aaPos[v][1] << " " << block.aaPos[v][2]
                 << "\n";
    expected << "tetra 12\n";
    const auto number = [&](mg::Vertex* v) {
        return std::find(block.vertices.begin(), block.vertices.end(), v) - block.vertices.begin();
    };
    for (size_t k = 0; k < block.tetrahedra.size(); ++k) {
        mg::Volume* t = block.tetrahedra[k];
        expected << "tet " << number(t->vertex(0)) << " " << number(t->vertex(1)) << " "
                 << number(t->vertex(2)) << " " << number(t->vertex(3)) << " " << (k < 6 ? 0 : 1)
                 << "\n";
    }
    const mg_test::ToolOutput meshio =
        mg_test::RunToolCombined(mg_test::kDebianPython, {MESHIO_READER, dir.file("block.ele")});
    ASSERT_EQ(meshio.exitCode, 0) << meshio.output;
    EXPECT_EQ(meshio.output, expected.str());

    // Every triangle with its subset: the first in subset 2, the others in none.
    const std::string faces = ReadTextFile(dir.file("block.face"));
    std::istringstream in(faces);
    size_t count = 0;
    int hasMarkers = 0;
    in >> count >> hasMarkers;
    EXPECT_EQ(count, block.grid.num_faces());
    EXPECT_EQ(hasMarkers, 1);
    for (size_t f = 0; f < count; ++f) {
        int corners = 0, a = -1, b = -1, c = -1, marker = 0;
        in >> corners >> a >> b >> c >> marker;
        EXPECT_EQ(corners, 3);
        EXPECT_TRUE(a >= 0 && a < 12 && b >= 0 && b < 12 && c >= 0 && c < 12);
        EXPECT_EQ(marker, f == 0 ? 2 : -1);
    }
    EXPECT_TRUE(in.good());
}

// Kinds the handler does not support get the marker -1, and so does
// everything when the handler belongs to another grid.
TEST(EleWriterTest, UnsupportedKindsGetMarkerMinusOne)
{
    ScratchDir dir;
    mg_test::TetrahedronBlock block(1, 1, 1);
    mg::GridSubsetHandler sh(&block.grid, mg::SE_FACE);
    sh.assign_subset(*block.grid.begin<mg::Face>(), 4);
    ASSERT_TRUE(mg::SaveGridToELE(block.grid, dir.file("m").c_str(), &sh, aPosition));

    mg_test::TetrahedronBlock other(2, 2, 2);
    mg::GridSubsetHandler otherSh(&other.grid, mg::SE_ALL);
    otherSh.assign_subset(other.grid.begin<mg::Face>(), other.grid.end<mg::Face>(), 1);
    otherSh.assign_subset(other.grid.begin<mg::Volume>(), other.grid.end<mg::Volume>(), 1);
    ASSERT_TRUE(mg::SaveGridToELE(block.grid, dir.file("o").c_str(), &otherSh, aPosition));
    const std::string otherFaces = ReadTextFile(dir.file("o.face"));
    EXPECT_EQ(std::count(otherFaces.begin(), otherFaces.end(), '-'), 18) << otherFaces;
    const std::string otherEle = ReadTextFile(dir.file("o.ele"));
    EXPECT_EQ(std::count(otherEle.begin(), otherEle.end(), '-'), 6) << otherEle;

    const std::string ele = ReadTextFile(dir.file("m.ele"));
    std::istringstream lines(ele);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "6 4 1");
    int records = 0;
    while (std::getline(lines, line)) {
        ++records;
        EXPECT_EQ(line.substr(line.size() - 3), " -1") << line;
    }
    EXPECT_EQ(records, 6);
    EXPECT_EQ(ReadTextFile(dir.file("m.face")).substr(0, 16).find("18 1\n3 "), 0u);
}

// Node and face files of a planar grid, byte for byte. The quadrilateral is
// left out of the face file (TetGen would read it as a triangle with a wrong
// marker), and said so once.
TEST(EleWriterTest, FaceFileHoldsTrianglesOnly)
{
    for (bool withHandler : {false, true}) {
        SCOPED_TRACE(withHandler);
        ScratchDir dir;
        PlanarGrid g;
        mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
        sh.assign_subset(*g.grid.begin<mg::Triangle>(), 1);
        mg_test::StdoutCapture log;
        ASSERT_TRUE(mg::SaveGridToELE(g.grid, dir.file("plane.ele").c_str(), withHandler ? &sh : nullptr,
                                      aPosition));
        EXPECT_EQ(log.str(), "  INFO in WriteTetGenFiles: Faces that are not triangles will be skipped.\n");
        EXPECT_EQ(ReadTextFile(dir.file("plane.node")),
                  "6 3 0 0\n"
                  "0 0 0 0.25\n"
                  "1 1 0 0.25\n"
                  "2 0 1 0.25\n"
                  "3 1 1 0.25\n"
                  "4 2.5 0 0.25\n"
                  "5 2.5 1 0.25\n");
        EXPECT_EQ(ReadTextFile(dir.file("plane.face")), withHandler ? "2 1\n3 0 1 2 1\n3 1 3 2 -1\n"
                                                                    : "2 0\n3 0 1 2\n3 1 3 2\n");
        EXPECT_EQ(ReadTextFile(dir.file("plane.ele")), withHandler ? "0 4 1\n" : "0 4 0\n");
    }
}

TEST(EleWriterTest, NonTetrahedralVolumesAreSkipped)
{
    ScratchDir dir;
    mg_test::TetrahedronBlock block(1, 1, 1);
    mg::Vertex* apex = *block.grid.create<mg::RegularVertex>();
    block.aaPos[apex] = vector3(0.25f, 0.25f, -1.0f);
    block.grid.register_volume(
        new SectionOneVolume(block.vertices[0], block.vertices[2], block.vertices[1], apex));

    mg_test::StdoutCapture log;
    ASSERT_TRUE(mg::SaveGridToELE(block.grid, dir.file("m.ele").c_str(), nullptr, aPosition));
    EXPECT_EQ(log.str(), "  INFO in SaveGridToELE: Non-tetrahedral elements will be skipped.\n");
    const std::string ele = ReadTextFile(dir.file("m.ele"));
    EXPECT_EQ(ele.substr(0, 6), "6 4 0\n");
    EXPECT_EQ(std::count(ele.begin(), ele.end(), '\n'), 7);
    EXPECT_EQ(ReadTextFile(dir.file("m.node")).substr(0, 8), "9 3 0 0\n");
}

// A face or element file that cannot be opened makes the call fail; the
// other files are still written.
TEST(EleWriterTest, UnopenableFaceOrElementFileFails)
{
    for (const char* blocked : {"m.face", "m.ele"}) {
        SCOPED_TRACE(blocked);
        ScratchDir dir;
        std::filesystem::create_directory(dir.file(blocked));
        mg_test::TetrahedronBlock block(1, 1, 1);
        mg::GridSubsetHandler sh(&block.grid, mg::SE_ALL);
        const auto before = mg_test::AttachmentIds(block.grid);

        mg_test::StdoutCapture log;
        EXPECT_FALSE(mg::SaveGridToELE(block.grid, dir.file("m.ele").c_str(), &sh, aPosition));
        EXPECT_NE(log.str().find(std::string("Couldn't open ")), std::string::npos) << log.str();
        EXPECT_NE(log.str().find(dir.file(blocked)), std::string::npos) << log.str();
        EXPECT_EQ(mg_test::AttachmentIds(block.grid), before);
        EXPECT_EQ(ReadTextFile(dir.file("m.node")).substr(0, 8), "8 3 0 0\n");
        if (std::string(blocked) == "m.face")
            EXPECT_EQ(ReadTextFile(dir.file("m.ele")).substr(0, 6), "6 4 1\n");
        else
            EXPECT_EQ(ReadTextFile(dir.file("m.face")).substr(0, 5), "18 1\n");
    }
}

TEST(EleWriterTest, RefusesWithoutPositionsAndReportsWriteErrors)
{
    ScratchDir dir;
    mg_test::TetrahedronBlock block(1, 1, 1);
    mg::Attachment<vector3> aOther;
    mg_test::StdoutCapture log;
    EXPECT_FALSE(mg::SaveGridToELE(block.grid, dir.file("m").c_str(), nullptr, aOther));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(log.str(), "");

    // A full disk: each of the three files.
    const std::string node = dir.file("n.node");
    const std::string face = dir.file("n.face");
    const std::string ele = dir.file("n.ele");
    EXPECT_FALSE(mg::WriteTetGenFiles(block.grid, "/dev/full", face.c_str(), ele.c_str(), aPosition));
    EXPECT_FALSE(mg::WriteTetGenFiles(block.grid, node.c_str(), "/dev/full", ele.c_str(), aPosition));
    EXPECT_FALSE(mg::WriteTetGenFiles(block.grid, node.c_str(), face.c_str(), "/dev/full", aPosition));
    EXPECT_TRUE(mg::WriteTetGenFiles(block.grid, node.c_str(), nullptr, nullptr, aPosition));
    EXPECT_EQ(ReadTextFile(node).substr(0, 8), "8 3 0 0\n");
}

// Vertex attributes and vertex markers of the general writer.
TEST(EleWriterTest, NodeFileCarriesAttributesAndMarkers)
{
    ScratchDir dir;
    PlanarGrid g;
    std::vector<mg::Attachment<float>> attributes(2);
    mg::Attachment<int> aMarker;
    g.grid.attach_to_vertices(attributes[0]);
    g.grid.attach_to_vertices(attributes[1]);
    g.grid.attach_to_vertices(aMarker);
    mg::AttachmentAccessor<mg::Vertex, float> aa0(g.grid.vertex_attachment_pipe(), attributes[0]);
    mg::AttachmentAccessor<mg::Vertex, float> aa1(g.grid.vertex_attachment_pipe(), attributes[1]);
    mg::AttachmentAccessor<mg::Vertex, int> aaMarker(g.grid.vertex_attachment_pipe(), aMarker);
    int i = 0;
    for (mg::Vertex* v : g.v_) {
        aa0[v] = 0.5f * static_cast<float>(i);
        aa1[v] = -static_cast<float>(i);
        aaMarker[v] = 10 + i++;
    }
    const std::string node = dir.file("a.node");
    ASSERT_TRUE(mg::WriteTetGenFiles(g.grid, node.c_str(), nullptr, nullptr, aPosition, &attributes,
                                     &aMarker));
    EXPECT_EQ(ReadTextFile(node),
              "6 3 2 1\n"
              "0 0 0 0.25 0 -0 10\n"
              "1 1 0 0.25 0.5 -1 11\n"
              "2 0 1 0.25 1 -2 12\n"
              "3 1 1 0.25 1.5 -3 13\n"
              "4 2.5 0 0.25 2 -4 14\n"
              "5 2.5 1 0.25 2.5 -5 15\n");
    EXPECT_FALSE(mg_test::FileExists(dir.file("a.face")));

    // An attribute that is not attached is refused before anything is written.
    attributes.emplace_back();
    mg_test::StdoutCapture log;
    EXPECT_FALSE(mg::WriteTetGenFiles(g.grid, dir.file("b.node").c_str(), nullptr, nullptr, aPosition,
                                      &attributes));
    EXPECT_FALSE(mg_test::FileExists(dir.file("b.node")));
}

}  // namespace
