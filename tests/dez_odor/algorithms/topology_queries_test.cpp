// The topology queries on a triangulated square and a quadrilateral.

#include "dez_odor/algorithms/topology_queries.h"

#include "common/error.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace mg;

// The unit square a(0,0) b(1,0) c(1,1) d(0,1) twice: once as the triangles
// (a, b, c) and (a, c, d), once as the quadrilateral (a, b, c, d); e is a
// vertex of neither. Vertices are named by letter.
struct Square {
    explicit Square(unsigned int options) : tris(options), quad(options)
    {
        for (Grid* g : {&tris, &quad}) {
            g->attach_to_vertices(aPosition);
            AttachmentAccessor<Vertex, vector3> aaPos(g->vertex_attachment_pipe(), aPosition);
            const float xy[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {5, 5}};
            for (int i = 0; i < 5; ++i) {
                Vertex* v = *g->create<RegularVertex>();
                aaPos[v] = vector3(xy[i][0], xy[i][1], 0);
                names[v] = std::string(1, static_cast<char>('a' + i));
                (g == &tris ? tv : qv)[static_cast<char>('a' + i)] = v;
            }
        }
        t1 = *tris.create<Triangle>(TriangleDescriptor(tv['a'], tv['b'], tv['c']));
        t2 = *tris.create<Triangle>(TriangleDescriptor(tv['a'], tv['c'], tv['d']));
        q = new Quadrilateral(qv['a'], qv['b'], qv['c'], qv['d']);
        quad.register_face(q);
        if (!(options & FACEOPT_AUTOGENERATE_EDGES)) {
            for (const char* e : {"ab", "bc", "ca", "cd", "da"})
                tris.create<RegularEdge>(EdgeDescriptor(tv[e[0]], tv[e[1]]));
            for (const char* e : {"ab", "bc", "cd", "da"})
                quad.create<RegularEdge>(EdgeDescriptor(qv[e[0]], qv[e[1]]));
        }
    }

    std::string name(const Vertex* v) const { return v ? names.at(v) : "-"; }
    std::string name(const Edge* e) const
    {
        return e ? name(e->vertex(0)) + name(e->vertex(1)) : "-";
    }
    std::string name(const Face* f) const
    {
        if (!f)
            return "-";
        std::string s;
        for (unsigned int i = 0; i < f->num_vertices(); ++i)
            s += name(f->vertex(i));
        return s;
    }
    Edge* tedge(char x, char y) { return tris.get_edge(tv[x], tv[y]); }
    Edge* qedge(char x, char y) { return quad.get_edge(qv[x], qv[y]); }

    Grid tris;
    Grid quad;
    std::map<char, Vertex*> tv;
    std::map<char, Vertex*> qv;
    std::map<const Vertex*, std::string> names;
    Face* t1;
    Face* t2;
    Face* q;
};

struct QueryCase {
    const char* query;
    std::function<std::string(Square&)> answer;
    const char* expected;
};

std::string num(int n)
{
    return std::to_string(n);
}

std::string yes(bool b)
{
    return b ? "true" : "false";
}

std::string faces_at(Square& s, Grid& g, Edge* e, int max)
{
    Face* out[2] = {nullptr, nullptr};
    const int n = GetAssociatedFaces(out, g, e, max);
    std::string r = num(n) + ":";
    for (int i = 0; i < max && i < 2; ++i)
        r += " " + s.name(out[i]);
    return r;
}

const std::vector<QueryCase>& query_cases()
{
    static const std::vector<QueryCase> cases = {
        {"GetOppositeEdge(b, abc)",
         [](Square& s) { return s.name(GetOppositeEdge(s.tris, s.tv['b'], s.t1)); }, "ca"},
        {"GetOppositeEdge(e, abc)",
         [](Square& s) { return s.name(GetOppositeEdge(s.tris, s.tv['e'], s.t1)); }, "ab"},
        {"GetOppositeEdge(a, abcd)",
         [](Square& s) { return s.name(GetOppositeEdge(s.quad, s.qv['a'], s.q)); }, "bc"},
        {"GetConnectedVertex(ab, a)",
         [](Square& s) { return s.name(GetConnectedVertex(s.tedge('a', 'b'), s.tv['a'])); }, "b"},
        {"GetConnectedVertex(ab, b)",
         [](Square& s) { return s.name(GetConnectedVertex(s.tedge('a', 'b'), s.tv['b'])); }, "a"},
        {"GetConnectedVertex(ab, c)",
         [](Square& s) { return s.name(GetConnectedVertex(s.tedge('a', 'b'), s.tv['c'])); }, "-"},
        {"GetConnectedVertex(ca, abc)",
         [](Square& s) { return s.name(GetConnectedVertex(s.tedge('c', 'a'), s.t1)); }, "b"},
        {"GetConnectedVertex(bc, abcd)",
         [](Square& s) { return s.name(GetConnectedVertex(s.qedge('b', 'c'), s.q)); }, "a"},
        {"EdgeOrientationMatches(ab, abc)",
         [](Square& s) { return yes(EdgeOrientationMatches(s.tedge('a', 'b'), s.t1)); }, "true"},
        {"EdgeOrientationMatches(ca, abc)",
         [](Square& s) { return yes(EdgeOrientationMatches(s.tedge('c', 'a'), s.t1)); }, "true"},
        {"EdgeOrientationMatches(ca, acd)",
         [](Square& s) { return yes(EdgeOrientationMatches(s.tedge('c', 'a'), s.t2)); }, "false"},
        {"EdgeOrientationMatches(ba, abc)",
         [](Square& s) {
             EdgeDescriptor ba(s.tv['b'], s.tv['a']);
             return yes(EdgeOrientationMatches(&ba, s.t1));
         },
         "false"},
        {"EdgeOrientationMatches(ae, abc)",
         [](Square& s) {
             EdgeDescriptor ae(s.tv['a'], s.tv['e']);
             return yes(EdgeOrientationMatches(&ae, s.t1));
         },
         "false"},
        {"EdgeOrientationMatches(da, abcd)",
         [](Square& s) {
             EdgeDescriptor da(s.qv['d'], s.qv['a']);
             return yes(EdgeOrientationMatches(&da, s.q));
         },
         "true"},
        {"GetEdgeIndex(abc, bc)",
         [](Square& s) { return num(GetEdgeIndex(s.t1, s.tedge('b', 'c'))); }, "1"},
        {"GetEdgeIndex(acd, ab)",
         [](Square& s) { return num(GetEdgeIndex(s.t2, s.tedge('a', 'b'))); }, "-1"},
        {"GetEdgeIndex(abcd, bc)",
         [](Square& s) { return num(GetEdgeIndex(s.q, s.qedge('b', 'c'))); }, "1"},
        {"GetAssociatedFaces(ac, 2)",
         [](Square& s) { return faces_at(s, s.tris, s.tedge('a', 'c'), 2); }, "2: abc acd"},
        {"GetAssociatedFaces(ac, 1)",
         [](Square& s) { return faces_at(s, s.tris, s.tedge('a', 'c'), 1); }, "2: abc"},
        {"GetAssociatedFaces(cd, 2)",
         [](Square& s) { return faces_at(s, s.tris, s.tedge('c', 'd'), 2); }, "1: acd -"},
        {"GetAssociatedFaces(bc quad, 2)",
         [](Square& s) { return faces_at(s, s.quad, s.qedge('b', 'c'), 2); }, "1: abcd -"},
        {"NumAssociatedFaces(ac)",
         [](Square& s) { return num(NumAssociatedFaces(s.tris, s.tedge('a', 'c'))); }, "2"},
        {"NumAssociatedFaces(ab)",
         [](Square& s) { return num(NumAssociatedFaces(s.tris, s.tedge('a', 'b'))); }, "1"},
        {"NumAssociatedFaces(bc quad)",
         [](Square& s) { return num(NumAssociatedFaces(s.quad, s.qedge('b', 'c'))); }, "1"},
        {"IsBoundaryEdge(ac)",
         [](Square& s) { return yes(IsBoundaryEdge(s.tris, s.tedge('a', 'c'))); }, "false"},
        {"IsBoundaryEdge(da)",
         [](Square& s) { return yes(IsBoundaryEdge(s.tris, s.tedge('d', 'a'))); }, "true"},
        {"IsBoundaryEdge(bc quad)",
         [](Square& s) { return yes(IsBoundaryEdge(s.quad, s.qedge('b', 'c'))); }, "true"},
    };
    return cases;
}

class TopologyQueries : public ::testing::TestWithParam<unsigned int> {};

TEST_P(TopologyQueries, AnswerTable)
{
    Square square(GetParam());
    mg_test::StdoutCapture out;
    for (const QueryCase& c : query_cases())
        EXPECT_EQ(c.answer(square), c.expected) << c.query;
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(square.tris.is_marking());
}

// The level's options (faces of an edge found through a marking pass), edges
// that store their faces, and a grid where the edges' faces are found
// through the first vertex.
INSTANTIATE_TEST_SUITE_P(
    Options, TopologyQueries,
    ::testing::Values(unsigned(GRIDOPT_LEVEL_MESH),
                      unsigned(GRIDOPT_LEVEL_MESH | EDGEOPT_STORE_ASSOCIATED_FACES),
                      unsigned(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES)),
    [](const ::testing::TestParamInfo<unsigned>& info) -> std::string {
        if (info.param == unsigned(GRIDOPT_LEVEL_MESH)) return "level_mesh";
        if (info.param == unsigned(GRIDOPT_LEVEL_MESH | EDGEOPT_STORE_ASSOCIATED_FACES))
            return "level_mesh_edges_store_faces";
        return "vertices_store_edges_and_faces";
    });

TEST(TopologyQueries, FaceCountInsideAMarkingPassThrows)
{
    Square square(GRIDOPT_LEVEL_MESH);
    square.tris.begin_marking();
    EXPECT_THROW(NumAssociatedFaces(square.tris, square.tedge('a', 'c')), MGError);
    square.tris.end_marking();
    // with stored faces no pass is needed
    square.tris.edge_store_associated_faces(true);
    square.tris.begin_marking();
    EXPECT_EQ(NumAssociatedFaces(square.tris, square.tedge('a', 'c')), 2);
    square.tris.end_marking();
}

TEST(TopologyQueries, FaceCountSwitchesVertexFacesOnWithItsWarning)
{
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | FACEOPT_AUTOGENERATE_EDGES);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    grid.create<Triangle>(TriangleDescriptor(a, b, c));
    mg_test::StdoutCapture out;
    EXPECT_EQ(NumAssociatedFaces(grid, grid.get_edge(a, b)), 1);
    EXPECT_EQ(
        out.str(),
        "WARNING in associated_faces_begin(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_FACES.\n");
}

TEST(TopologyQueries, Normals)
{
    Square square(GRIDOPT_LEVEL_MESH);
    AttachmentAccessor<Vertex, vector3> aaPos(square.quad.vertex_attachment_pipe(), aPosition);
    vector3 n;
    CalculateNormal(n, square.q, aaPos);
    EXPECT_EQ(n, vector3(0, 0, 1));
    CalculateNormal(
        n, square.t1,
        AttachmentAccessor<Vertex, vector3>(square.tris.vertex_attachment_pipe(), aPosition));
    EXPECT_EQ(n, vector3(0, 0, 1));

    // clockwise: pointing down; a scaled triangle still gives a unit normal
    TriangleNormal(n, vector3(0, 0, 0), vector3(0, 3, 0), vector3(3, 0, 0));
    EXPECT_EQ(n, vector3(0, 0, -1));
    TriangleNormal(n, vector3(0, 0, 0), vector3(0, 2, 0), vector3(0, 0, 2));
    EXPECT_EQ(n, vector3(1, 0, 0));

    // collinear corners: no normal
    TriangleNormal(n, vector3(0, 0, 0), vector3(1, 1, 0), vector3(2, 2, 0));
    EXPECT_EQ(n, vector3(0, 0, 0));
    Vertex* a = square.tv['a'];
    Vertex* c = square.tv['c'];
    Vertex* e = square.tv['e'];
    Triangle flat(a, c, e);  // (0,0), (1,1), (5,5)
    CalculateNormal(
        n, &flat,
        AttachmentAccessor<Vertex, vector3>(square.tris.vertex_attachment_pipe(), aPosition));
    EXPECT_EQ(n, vector3(0, 0, 0));
}

}  // namespace
