// The ART/NET writer: the header and section layout, the marks, the copy
// that generates missing edges and faces, read back by art_read.py.

#include "dez_odor/file_io/art_writer.h"

#include "grid_file_checks.h"

#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/external_tool.h"
#include "support/grid/level_disc.h"
#include "support/grid/stdout_capture.h"
#include "support/grid/test_tetrahedron.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace mg;
using namespace mg_test;

const char* kHeaderTail =
    "%% Translation: (0, 0, 0)\n"
    "%% Cornermark: 10001\n"
    "%% DO NOT CHANGE LINES ABOVE !!!!\n"
    "% NET: Vertices <-> Edges <-> Faces <-> Elements\n"
    "% Vertices: x y z\n";

// The mark of an edge or face, and of a volume, as the file format defines them.
int EdgeFaceMark(const ISubsetHandler* sh, unsigned int kindBit, int subset)
{
    if (!sh || !sh->elements_are_supported(kindBit) || subset == -1)
        return 0;
    return subset == 0 ? 10000 : subset;
}
int VolumeMark(const ISubsetHandler* sh, int subset)
{
    if (!sh)
        return 1;
    if (!sh->elements_are_supported(SE_VOLUME) || subset == -1)
        return 0;
    return subset + 1;
}

std::string SortedKeys(std::vector<std::string> keys, const char* sep)
{
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::string out;
    for (size_t i = 0; i < keys.size(); ++i)
        out += (i ? sep : "") + keys[i];
    return out;
}

std::string FaceCorners(const IVertexGroup* face, const PosAccessor3& aaPos, const char* sep)
{
    std::vector<std::string> keys;
    for (unsigned int i = 0; i < face->num_vertices(); ++i)
        keys.push_back(PositionKey(aaPos[face->vertex(i)]));
    return SortedKeys(keys, sep);
}

// What art_read.py prints for a grid whose faces have all their edges and
// whose volumes all their faces, written with sh.
std::string ExpectedArtReading(Grid& grid, const PosAccessor3& aaPos, const ISubsetHandler* sh)
{
    std::ostringstream out;
    out << "counts " << grid.num_vertices() << " " << grid.num_edges() << " " << grid.num_faces()
        << " " << grid.num_volumes() << "\n";
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it)
        out << "v " << PositionKey(aaPos[*it]) << "\n";
    for (auto it = grid.begin<Edge>(); it != grid.end<Edge>(); ++it)
        out << "e " << EdgeFaceMark(sh, SE_EDGE, sh ? sh->subset_index(*it) : -1) << " "
            << ElementKey(*it, aaPos, " ") << "\n";
    for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it)
        out << "f " << EdgeFaceMark(sh, SE_FACE, sh ? sh->subset_index(*it) : -1) << " "
            << FaceCorners(*it, aaPos, " ") << "\n";
    for (auto it = grid.begin<Volume>(); it != grid.end<Volume>(); ++it) {
        std::vector<std::string> faces;
        for (unsigned int i = 0; i < (*it)->num_faces(); ++i) {
            FaceDescriptor fd;
            (*it)->face_desc(static_cast<int>(i), fd);
            faces.push_back(FaceCorners(&fd, aaPos, "/"));
        }
        std::sort(faces.begin(), faces.end());
        out << "c " << VolumeMark(sh, sh ? sh->subset_index(*it) : -1);
        for (const std::string& f : faces)
            out << " " << f;
        out << "\n";
    }
    return out.str();
}

ToolResult ReadArt(const std::string& file)
{
    return RunReaderScript("art_read.py", {file});
}

// Tetrahedra and triangles under the default options, so that the writer
// works on the grid itself.
struct TetGrid {
    explicit TetGrid(unsigned int seed)
    {
        grid.attach_to_vertices(aPosition);
        aaPos = PosAccessor3(grid.vertex_attachment_pipe(), aPosition);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> coord(-10, 10);
        std::vector<Vertex*> v;
        for (int i = 0; i < 12; ++i) {
            v.push_back(*grid.create<RegularVertex>());
            aaPos[v.back()] = Vec3(coord(rng), coord(rng), coord(rng));
        }
        for (int i = 0; i < 3; ++i)
            grid.register_volume(new TestTetrahedron(v[4 * i], v[4 * i + 1], v[4 * i + 2], v[4 * i + 3]));
        grid.register_volume(new TestTetrahedron(v[0], v[1], v[2], v[5]));
        grid.create<Triangle>(TriangleDescriptor(v[3], v[7], v[11]));
        grid.register_face(new Quadrilateral(v[0], v[4], v[8], v[9]));

        std::uniform_int_distribution<int> subset(-1, 4);
        for (auto it = grid.begin<Edge>(); it != grid.end<Edge>(); ++it)
            sh.assign_subset(*it, subset(rng));
        for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it)
            sh.assign_subset(*it, subset(rng));
        for (auto it = grid.begin<Volume>(); it != grid.end<Volume>(); ++it)
            sh.assign_subset(*it, subset(rng));
    }
    Grid grid;
    PosAccessor3 aaPos;
    GridSubsetHandler sh{&grid, SE_ALL};
};

TEST(SaveGridToART, VerticesOnlyGivesEmptySections)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    PosAccessor3 aaPos(grid.vertex_attachment_pipe(), aPosition);
    aaPos[*grid.create<RegularVertex>()] = Vec3(1, 0.5f, -2);
    aaPos[*grid.create<RegularVertex>()] = Vec3(0.1f, 0, 1e-30f);

    ScratchDir dir;
    const std::string file = dir.file("v.art");
    ASSERT_TRUE(SaveGridToART(grid, file.c_str(), nullptr, aPosition));
    EXPECT_EQ(ReadFileBytes(file),
              std::string("%% Version 3.0\n"
                          "%% VertexNumber: 2\n"
                          "%% EdgeNumber: 0\n"
                          "%% FaceNumber: 0\n"
                          "%% ElementNumber: 0\n") +
                  kHeaderTail +
                  "1.00000000000000000000e+00 5.00000000000000000000e-01 -2.00000000000000000000e+00\n"
                  "1.00000001490116119385e-01 0.00000000000000000000e+00 1.00000000317107685097e-30\n"
                  "$\n"
                  "% Edges (Indices to List of Points):\n$\n"
                  "% Faces (Indices to List of Edges):\n$\n"
                  "% Elements (Indices to List of Faces):\n$\n");
}

TEST(SaveGridToART, MarksFollowTheSubsetTable)
{
    Grid grid;
    grid.attach_to_vertices(aPosition);
    Vertex* v[4];
    for (Vertex*& vrt : v)
        vrt = *grid.create<RegularVertex>();
    Edge* e0 = *grid.create<RegularEdge>(EdgeDescriptor(v[0], v[1]));
    Edge* e1 = *grid.create<RegularEdge>(EdgeDescriptor(v[1], v[2]));
    Edge* e2 = *grid.create<RegularEdge>(EdgeDescriptor(v[2], v[3]));
    Face* tri = *grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
    Volume* tet = new TestTetrahedron(v[0], v[1], v[2], v[3]);
    grid.register_volume(tet);

    GridSubsetHandler sh(&grid, SE_ALL);
    sh.assign_subset(e0, 0);
    sh.assign_subset(e1, 3);
    sh.assign_subset(tri, 0);
    sh.assign_subset(tet, 0);
    GridSubsetHandler noVolumes(&grid, SE_EDGE | SE_FACE);
    noVolumes.assign_subset(e2, 5);
    Grid otherGrid;
    GridSubsetHandler foreign(&otherGrid, SE_ALL);

    // (handler, first mark of the lines of e0, e1, e2, tri, tet)
    struct Case {
        const char* what;
        ISubsetHandler* sh;
        std::vector<std::string> marks;
    };
    const Case cases[] = {
        {"no handler", nullptr, {"0: ", "0: ", "0: ", "0:", "1:"}},
        {"all kinds", &sh, {"10000: ", "3: ", "0: ", "10000:", "1:"}},
        {"edges and faces only", &noVolumes, {"0: ", "0: ", "5: ", "0:", "0:"}},
        {"handler of another grid", &foreign, {"0: ", "0: ", "0: ", "0:", "0:"}},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        const std::string file = dir.file("marks.net");
        ASSERT_TRUE(SaveGridToART(grid, file.c_str(), c.sh, aPosition)) << c.what;
        std::istringstream in(ReadFileBytes(file));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        auto lineAfter = [&](const std::string& heading, size_t k) {
            auto it = std::find(lines.begin(), lines.end(), heading);
            return it + 1 + static_cast<long>(k) < lines.end() ? *(it + 1 + static_cast<long>(k))
                                                                : std::string();
        };
        const std::string edgeHead = "% Edges (Indices to List of Points):";
        EXPECT_EQ(lineAfter(edgeHead, 0).rfind(c.marks[0], 0), 0u) << c.what;
        EXPECT_EQ(lineAfter(edgeHead, 1).rfind(c.marks[1], 0), 0u) << c.what;
        EXPECT_EQ(lineAfter(edgeHead, 2).rfind(c.marks[2], 0), 0u) << c.what;
        EXPECT_EQ(lineAfter("% Faces (Indices to List of Edges):", 0).rfind(c.marks[3], 0), 0u)
            << c.what;
        EXPECT_EQ(lineAfter("% Elements (Indices to List of Faces):", 0).rfind(c.marks[4], 0), 0u)
            << c.what;
    }
}

TEST(SaveGridToART, GridWithVolumesReadBack)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    for (unsigned int seed : {1u, 2u}) {
        TetGrid t(seed);
        const size_t attachments = t.grid.vertex_attachment_pipe().num_attachments() +
                                   t.grid.edge_attachment_pipe().num_attachments() +
                                   t.grid.face_attachment_pipe().num_attachments();
        ScratchDir dir;
        const std::string file = dir.file("tets.art");
        ASSERT_TRUE(SaveGridToART(t.grid, file.c_str(), &t.sh, aPosition));
        const ToolResult read = ReadArt(file);
        ASSERT_EQ(read.exit_code, 0) << read.err;
        EXPECT_EQ(read.out, ExpectedArtReading(t.grid, t.aaPos, &t.sh));
        EXPECT_EQ(t.grid.vertex_attachment_pipe().num_attachments() +
                      t.grid.edge_attachment_pipe().num_attachments() +
                      t.grid.face_attachment_pipe().num_attachments(),
                  attachments);
    }
}

TEST(SaveGridToART, LevelGridIsWrittenFromAConsistentCopy)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    LevelDiscGrid level(20.0f, 2.0f);  // options 0x90003: no volume faces generated
    GridSubsetHandler sh(&level.grid, SE_ALL);
    int k = 0;
    for (auto it = level.grid.begin<Face>(); it != level.grid.end<Face>(); ++it)
        sh.assign_subset(*it, (k++ / 50) % 3);
    for (Vertex* v : level.disc.rings.back())
        sh.assign_subset(v, 4);
    const int numSubsetsBefore = sh.num_subsets();

    ScratchDir dir;
    const std::string file = dir.file("level.net");
    ASSERT_TRUE(SaveGridToART(level.grid, file.c_str(), &sh, aPosition));
    const ToolResult read = ReadArt(file);
    ASSERT_EQ(read.exit_code, 0) << read.err;
    // The copy holds the same elements in the same order.
    EXPECT_EQ(read.out, ExpectedArtReading(level.grid, level.aaPos, &sh));
    EXPECT_EQ(sh.num_subsets(), numSubsetsBefore);
    EXPECT_EQ(level.grid.get_options(), unsigned(GRIDOPT_LEVEL_MESH));
}

TEST(SaveGridToART, MissingEdgesAreGeneratedInTheCopy)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    Grid grid(0);
    // A position attachment without pass-on, as the dispatch's temporary
    // one: the copy gets the positions vertex by vertex.
    Attachment<Vec3> aPos("undefined", false);
    grid.attach_to_vertices(aPos);
    PosAccessor3 aaPos(grid.vertex_attachment_pipe(), aPos);
    Vertex* v[5];
    for (int i = 0; i < 5; ++i) {
        v[i] = *grid.create<RegularVertex>();
        aaPos[v[i]] = Vec3(float(i % 3), float(i / 3), 0);
    }
    grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[3]));
    grid.create<Triangle>(TriangleDescriptor(v[1], v[4], v[3]));
    grid.register_face(new Quadrilateral(v[1], v[2], v[4], v[3]));
    ASSERT_EQ(grid.num_edges(), 0u);

    ScratchDir dir;
    const std::string file = dir.file("bare.art");
    {
        StdoutCapture quiet;  // the copy logs that it switches a neighbourhood on
        ASSERT_TRUE(SaveGridToART(grid, file.c_str(), nullptr, aPos));
    }
    const ToolResult read = ReadArt(file);
    ASSERT_EQ(read.exit_code, 0) << read.err;
    // distinct sides: 0-1 1-3 3-0, 1-4 4-3, 1-2 2-4 (and 4-3, 3-1 again)
    EXPECT_EQ(read.out.substr(0, read.out.find('\n')), "counts 5 7 3 0");
    std::istringstream lines(read.out);
    std::vector<std::string> faceLines;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("f ", 0) == 0)
            faceLines.push_back(line);
    ASSERT_EQ(faceLines.size(), 3u);
    int i = 0;
    for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it, ++i)
        EXPECT_EQ(faceLines[i], "f 0 " + FaceCorners(*it, aaPos, " "));
    EXPECT_EQ(grid.num_edges(), 0u);
    EXPECT_EQ(grid.get_options(), 0u);
}

TEST(SaveGridToART, RefusalsAndWriteFailures)
{
    Grid grid;
    ScratchDir dir;
    const std::string existing = dir.file("keep.art");
    std::ofstream(existing) << "keep me";
    {
        StdoutCapture out;
        EXPECT_FALSE(SaveGridToART(grid, existing.c_str(), nullptr, aPosition));
        EXPECT_EQ(out.str(), "  Aborting SaveGridToART: position attachment is missing.\n");
    }
    EXPECT_EQ(ReadFileBytes(existing), "keep me");

    grid.attach_to_vertices(aPosition);
    grid.create<RegularVertex>();
    EXPECT_FALSE(SaveGridToART(grid, dir.file("no/folder.art").c_str(), nullptr, aPosition));
    EXPECT_FALSE(SaveGridToART(grid, "/dev/full", nullptr, aPosition));
    EXPECT_TRUE(SaveGridToART(grid, existing.c_str(), nullptr, aPosition));
}

}  // namespace
