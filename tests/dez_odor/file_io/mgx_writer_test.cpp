// The MGX writer: documents compared with hand-written goldens, checked by
// xmllint against the project's schema and read back by an ElementTree reader.

#include "dez_odor/file_io/grid_writer_mgx.h"

#include "grid_file_checks.h"

#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/constrained_elements.h"
#include "support/grid/external_tool.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace {

using namespace mg;
using namespace mg_test;

std::string Print(GridWriterMGX& writer)
{
    std::ostringstream ss;
    EXPECT_TRUE(writer.write_to_stream(ss));
    return ss.str();
}

const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
// rapidxml's print ends the document itself with one more line feed.
const char* kDocumentEnd = "\n";

size_t NumAttachments(Grid& g)
{
    return g.vertex_attachment_pipe().num_attachments() + g.edge_attachment_pipe().num_attachments() +
           g.face_attachment_pipe().num_attachments() + g.volume_attachment_pipe().num_attachments();
}

void ExpectXmllintAccepts(const std::string& file)
{
    ASSERT_TRUE(ToolIsInstalled(kXmllint)) << "xmllint is missing (Debian package libxml2-utils)";
    const ToolResult wellFormed = RunExternalTool(kXmllint, {"--noout", file});
    EXPECT_EQ(wellFormed.exit_code, 0) << wellFormed.err;
    const ToolResult valid =
        RunExternalTool(kXmllint, {"--noout", "--schema", FileIoTestFile("mgx.xsd"), file});
    EXPECT_EQ(valid.exit_code, 0) << valid.err;
}

// 3 vertices, the triangle's 3 edges, 1 triangle; the triangle in subset 0.
struct TriangleGrid {
    TriangleGrid()
    {
        grid.attach_to_vertices(aPosition);
        PosAccessor3 aaPos(grid.vertex_attachment_pipe(), aPosition);
        Vertex* v[3];
        const Vec3 p[3] = {Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0.1f, 1, 0)};
        for (int i = 0; i < 3; ++i) {
            v[i] = *grid.create<RegularVertex>();
            aaPos[v[i]] = p[i];
        }
        tri = *grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
        sh.assign_subset(tri, 0);
    }
    Grid grid;
    GridSubsetHandler sh{&grid, SE_ALL};
    Triangle* tri;
};

TEST(GridWriterMGX, TriangleGridMatchesGoldenAndPassesSchema)
{
    TriangleGrid t;
    ScratchDir dir;
    const std::string file = dir.file("triangle.mgx");
    {
        GridWriterMGX writer;
        ASSERT_TRUE(writer.add_grid(t.grid, "defGrid", aPosition));
        writer.add_subset_handler(t.sh, "defSH", 0);
        ASSERT_TRUE(writer.write_to_file(file.c_str()));
    }
    EXPECT_EQ(ReadFileBytes(file), ReadFileBytes(FileIoTestFile("golden/triangle.mgx")));
    ExpectXmllintAccepts(file);
}

TEST(GridWriterMGX, TwoTrianglesAndQuadWith2dPositionsMatchGolden)
{
    Grid grid;
    grid.attach_to_vertices(aPosition2);
    AttachmentAccessor<Vertex, MathVector<2, float>> aaPos(grid.vertex_attachment_pipe(), aPosition2);
    const float xy[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {2, 1}};
    Vertex* v[6];
    for (int i = 0; i < 6; ++i) {
        v[i] = *grid.create<RegularVertex>();
        aaPos[v[i]] = MathVector<2, float>(xy[i][0], xy[i][1]);
    }
    grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
    grid.create<Triangle>(TriangleDescriptor(v[1], v[3], v[2]));
    auto* quad = new Quadrilateral(v[1], v[4], v[5], v[3]);
    grid.register_face(quad);

    GridSubsetHandler sh(&grid, SE_ALL);
    sh.assign_subset(quad, 0);
    SubsetInfo& hull = sh.subset_info(1);
    hull.name = "hull";
    hull.color = {0.5f, 0.25f, 0.0f, 1.0f};
    hull.state = 3;
    sh.assign_subset(v[0], 1);
    sh.assign_subset(v[3], 1);
    sh.assign_subset(grid.get_edge(v[4], v[5]), 1);

    ScratchDir dir;
    const std::string file = dir.file("level.mgx");
    GridWriterMGX writer;
    ASSERT_TRUE(writer.add_grid(grid, "level", aPosition2));
    writer.add_subset_handler(sh, "sh", 0);
    ASSERT_TRUE(writer.write_to_file(file.c_str()));
    EXPECT_EQ(ReadFileBytes(file), ReadFileBytes(FileIoTestFile("golden/two_triangles_quad.mgx")));
    ExpectXmllintAccepts(file);
}

TEST(GridWriterMGX, EmptyGridIsAnEmptyElementWith1dPositions)
{
    Grid grid;
    grid.attach_to_vertices(aPosition1);
    GridWriterMGX writer;
    ASSERT_TRUE(writer.add_grid(grid, "g", aPosition1));
    EXPECT_EQ(Print(writer), std::string(kDeclaration) + "<grid name=\"g\"/>\n" + kDocumentEnd);
}

TEST(GridWriterMGX, VertexListsAndConstraintTokens)
{
    Grid grid(GRIDOPT_DEFAULT);
    grid.attach_to_vertices(aPosition);
    PosAccessor3 aaPos(grid.vertex_attachment_pipe(), aPosition);
    Vertex* v[9];
    for (int i = 0; i < 9; ++i) {
        v[i] = *grid.create<RegularVertex>();
        aaPos[v[i]] = Vec3(float(i), 0, 0);
    }
    aaPos[v[0]] = Vec3(0.1f, 0.5f, 2);
    Edge* e[8];
    for (int i = 0; i < 8; ++i)
        e[i] = *grid.create<RegularEdge>(EdgeDescriptor(v[i], v[i + 1]));
    Face* tri = *grid.create<Triangle>(TriangleDescriptor(v[0], v[2], v[4]));

    auto* free = new ConstrainedVertex;
    auto* onEdge = new ConstrainedVertex;
    auto* onFace = new ConstrainedVertex;
    for (ConstrainedVertex* cv : {free, onEdge, onFace}) {
        grid.register_vertex(cv);
        aaPos[cv] = Vec3(0.1f, 0.5f, 2);
    }
    onEdge->set_constraint(e[7], 0.25f);
    onFace->set_constraint(tri, 0.5f, 0.125f);

    // Constrained edges and faces: an edge constraint, a face constraint, none;
    // a face constrained by an edge counts as unconstrained.
    auto* cedge1 = new ConstrainedEdge(free, onEdge);
    auto* cedge2 = new ConstrainedEdge(onEdge, onFace);
    auto* cedge3 = new ConstrainedEdge(free, onFace);
    auto* ctri1 = new ConstrainedTriangle(free, onEdge, onFace);
    auto* ctri2 = new ConstrainedTriangle(free, onFace, v[8]);
    for (Edge* ce : {static_cast<Edge*>(cedge1), static_cast<Edge*>(cedge2), static_cast<Edge*>(cedge3)})
        grid.register_edge(ce);
    grid.register_face(ctri1);
    grid.register_face(ctri2);
    cedge1->set_constraint(e[2]);
    cedge2->set_constraint(tri);
    ctri1->set_constraint(e[2]);
    ctri2->set_constraint(tri);

    GridWriterMGX writer;
    ASSERT_TRUE(writer.add_grid(grid, "c", aPosition));
    const std::string doc = Print(writer);
    EXPECT_NE(doc.find("<vertices coords=\"3\">0.100000001490116119384765625 0.5 2 1 0 0 "),
              std::string::npos);
    EXPECT_NE(doc.find("<constrained_vertices coords=\"3\">0.1 0.5 2 -1 0.1 0.5 2 1 7 0.25 "
                       "0.1 0.5 2 2 0 0.5 0.125</constrained_vertices>"),
              std::string::npos)
        << doc;
    // Vertices 9, 10, 11 are the constrained ones; the triangle's own edges
    // (0-2, 2-4, 4-0) follow the eight chain edges; the constrained edges come
    // last in the edge numbering.
    EXPECT_NE(doc.find("<constrained_edges>9 10 1 2 10 11 2 0 9 11 -1</constrained_edges>"),
              std::string::npos)
        << doc;
    EXPECT_NE(doc.find("<constrained_triangles>9 10 11 -1 9 11 8 2 0</constrained_triangles>"),
              std::string::npos)
        << doc;
}

TEST(GridWriterMGX, FaceNumbersRunOverTrianglesThenQuadrilaterals)
{
    // Quadrilaterals are numbered after every triangle list, whatever the
    // creation order.
    Grid grid;
    grid.attach_to_vertices(aPosition);
    Vertex* v[6];
    for (Vertex*& vrt : v)
        vrt = *grid.create<RegularVertex>();
    auto* quad = new Quadrilateral(v[0], v[1], v[2], v[3]);
    grid.register_face(quad);
    grid.create<Triangle>(TriangleDescriptor(v[2], v[4], v[3]));
    grid.create<Triangle>(TriangleDescriptor(v[4], v[5], v[3]));
    GridSubsetHandler sh(&grid, SE_FACE);
    sh.assign_subset(quad, 0);

    GridWriterMGX writer;
    ASSERT_TRUE(writer.add_grid(grid, "g", aPosition));
    writer.add_subset_handler(sh, "sh", 0);
    const std::string doc = Print(writer);
    EXPECT_NE(doc.find("<triangles>2 4 3 4 5 3</triangles>"), std::string::npos) << doc;
    EXPECT_NE(doc.find("<quadrilaterals>0 1 2 3</quadrilaterals>"), std::string::npos) << doc;
    EXPECT_NE(doc.find("\t\t\t<faces>2</faces>\n"), std::string::npos) << doc;
}

TEST(GridWriterMGX, RandomGridReadBackByElementTree)
{
    ASSERT_TRUE(ToolIsInstalled(kDebianPython)) << "Debian's python3 is missing";
    for (unsigned int seed : {1u, 2u, 3u}) {
        WriterTestGrid g;
        FillRandomGrid(g, seed, /*withSpecialSections=*/true);
        ScratchDir dir;
        const std::string file = dir.file("random.mgx");
        {
            GridWriterMGX writer;
            ASSERT_TRUE(writer.add_grid(g.grid, "random \"grid\" <1>", aPosition));
            writer.add_subset_handler(g.sh, "all kinds", 0);
            writer.add_subset_handler(g.shFaces, "faces & edges", 0);
            ASSERT_TRUE(writer.write_to_file(file.c_str()));
        }
        ExpectXmllintAccepts(file);
        const ToolResult read = RunReaderScript("mgx_read.py", {file});
        ASSERT_EQ(read.exit_code, 0) << read.err;
        EXPECT_EQ(read.out, ExpectedMgxReading(g.grid, g.aaPos, "random \"grid\" <1>",
                                               {{&g.sh, "all kinds"}, {&g.shFaces, "faces & edges"}}))
            << "seed " << seed;
        // The fixture fills every list the format has.
        for (const char* list :
             {"vertices", "constrained_vertices", "edges", "constraining_edges", "constrained_edges",
              "triangles", "constraining_triangles", "constrained_triangles", "quadrilaterals",
              "constraining_quadrilaterals", "constrained_quadrilaterals", "tetrahedrons",
              "hexahedrons", "prisms", "pyramids", "octahedrons"})
            EXPECT_NE(read.out.find(std::string("list ") + list + "\n"), std::string::npos) << list;
        for (const char* kind : {"in vertices ", "in edges ", "in faces ", "in volumes "})
            EXPECT_NE(read.out.find(kind), std::string::npos) << kind;
    }
}

TEST(GridWriterMGX, MissingPositionsAndBadGridIndexAreRefused)
{
    TriangleGrid t;
    Grid bare;
    GridWriterMGX writer;
    {
        StdoutCapture out;
        EXPECT_FALSE(writer.add_grid(bare, "bare", aPosition));
        EXPECT_EQ(out.str(), "  position attachment missing in grid bare\n");
    }
    const std::string empty = Print(writer);
    EXPECT_EQ(empty, std::string(kDeclaration) + kDocumentEnd);

    // The failed grid took no index: grid 0 is the next one added.
    ASSERT_TRUE(writer.add_grid(t.grid, "t", aPosition));
    const std::string before = Print(writer);
    {
        StdoutCapture out;
        writer.add_subset_handler(t.sh, "sh", 1);
        EXPECT_EQ(out.str(), "GridWriterMGX::add_subset_handler: bad refGridIndex. Aborting.\n");
    }
    EXPECT_EQ(Print(writer), before);
    writer.add_subset_handler(t.sh, "sh", 0);
    EXPECT_NE(Print(writer).find("<subset_handler name=\"sh\">"), std::string::npos);
}

TEST(GridWriterMGX, HandlerOfAGridNotAddedGivesListsWithoutText)
{
    TriangleGrid added;
    TriangleGrid other;
    other.sh.assign_subset(other.tri->vertex(0), 0);
    GridWriterMGX writer;
    ASSERT_TRUE(writer.add_grid(added.grid, "g", aPosition));
    writer.add_subset_handler(other.sh, "other", 0);
    const std::string doc = Print(writer);
    EXPECT_NE(doc.find("\t<subset_handler name=\"other\">\n"
                       "\t\t<subset name=\"defSub\" color=\"1 1 1 1\" state=\"0\">\n"
                       "\t\t\t<vertices/>\n"
                       "\t\t\t<faces/>\n"
                       "\t\t</subset>\n"),
              std::string::npos)
        << doc;
}

TEST(GridWriterMGX, SameGridTwiceAndCleanDetach)
{
    TriangleGrid t;
    const size_t attachmentsBefore = NumAttachments(t.grid);
    {
        GridWriterMGX writer;
        ASSERT_TRUE(writer.add_grid(t.grid, "t", aPosition));
        ASSERT_TRUE(writer.add_grid(t.grid, "t", aPosition));
        EXPECT_EQ(NumAttachments(t.grid), attachmentsBefore + 4);
        const std::string doc = Print(writer);
        std::string body = doc.substr(std::string(kDeclaration).size());
        body.pop_back();  // the document's own final line feed
        ASSERT_EQ(body.size() % 2, 0u);
        EXPECT_EQ(body.substr(0, body.size() / 2), body.substr(body.size() / 2));
    }
    EXPECT_EQ(NumAttachments(t.grid), attachmentsBefore);
}

TEST(GridWriterMGX, NamesAreCopiedIntoTheDocument)
{
    TriangleGrid t;
    GridWriterMGX writer;
    {
        std::string gridName = "a grid name longer than any small-string buffer";
        std::string handlerName = "a handler name longer than any small-string buffer";
        t.sh.subset_info(0).name = "a subset name longer than any small-string buffer";
        ASSERT_TRUE(writer.add_grid(t.grid, gridName.c_str(), aPosition));
        writer.add_subset_handler(t.sh, handlerName.c_str(), 0);
        gridName.assign(gridName.size(), 'x');
        handlerName.assign(handlerName.size(), 'y');
    }
    // Renaming and growing the description list moves the subset's string.
    t.sh.subset_info(0).name = "renamed";
    t.sh.require_subset(200);
    const std::string doc = Print(writer);
    EXPECT_NE(doc.find("<grid name=\"a grid name longer than any small-string buffer\">"),
              std::string::npos);
    EXPECT_NE(doc.find("<subset_handler name=\"a handler name longer than any small-string buffer\">"),
              std::string::npos);
    EXPECT_NE(doc.find("<subset name=\"a subset name longer than any small-string buffer\""),
              std::string::npos);
    EXPECT_EQ(doc.find("renamed"), std::string::npos);
}

TEST(GridWriterMGX, WriteFailuresAreReported)
{
    TriangleGrid t;
    ScratchDir dir;
    GridWriterMGX writer;
    ASSERT_TRUE(writer.add_grid(t.grid, "t", aPosition));

    EXPECT_FALSE(writer.write_to_file(dir.file("missing/folder/t.mgx").c_str()));
    EXPECT_FALSE(writer.write_to_file("/dev/full"));
    const std::string file = dir.file("t.mgx");
    ASSERT_TRUE(writer.write_to_file(file.c_str()));
    EXPECT_EQ(ReadFileBytes(file), Print(writer));

    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    EXPECT_FALSE(writer.write_to_stream(closed));
}

}  // namespace
