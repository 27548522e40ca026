#include "common/error.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "support/grid/element_fixtures.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using mg::Face;
using mg::Vertex;
using mg_test::OwnedElements;

// Named free-standing vertices: corners a b c d, their substitutes A B C D,
// side vertices e0..e3, a centre m and a split point p.
class NamedVertices {
public:
    NamedVertices()
    {
        for (const char* n : {"a", "b", "c", "d", "A", "B", "C", "D", "e0", "e1", "e2", "e3", "m", "p"})
            m_byName[n] = m_set.add();
    }
    Vertex* operator()(const std::string& name) const { return m_byName.at(name); }
    std::string name_of(const Vertex* v) const
    {
        for (const auto& entry : m_byName)
            if (entry.second == v)
                return entry.first;
        return v ? "new" : "null";
    }
    // "a b e0" per face, faces separated by " | ".
    std::string describe(const std::vector<Face*>& faces) const
    {
        std::string s;
        for (Face* f : faces) {
            if (!s.empty())
                s += " | ";
            for (unsigned int i = 0; i < f->num_vertices(); ++i)
                s += (i ? " " : "") + name_of(f->vertex(i));
        }
        return s;
    }

private:
    mg_test::VertexSet m_set{0};
    std::map<std::string, Vertex*> m_byName;
};

std::string to_upper_corners(std::string s)
{
    // a b c d -> A B C D where they stand as whole names
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool alone = (i == 0 || s[i - 1] == ' ') && (i + 1 == s.size() || s[i + 1] == ' ');
        out += (alone && s[i] >= 'a' && s[i] <= 'd') ? static_cast<char>(std::toupper(s[i])) : s[i];
    }
    return out;
}

struct RefineCase {
    bool quad;
    const char* split;  // which sides get a vertex, e.g. "02"
    bool centre;
    bool result;
    const char* faces;
};

class RefineTest : public ::testing::TestWithParam<RefineCase> {};

// "sides_02", "no_sides_with_centre", ...
std::string RefineCaseName(const ::testing::TestParamInfo<RefineCase>& info)
{
    std::string const split = info.param.split;
    return (split.empty() ? std::string("no_sides") : "sides_" + split) + (info.param.centre ? "_with_centre" : "");
}

TEST_P(RefineTest, BuildsTheFacesInTheirFixedCornerOrder)
{
    const RefineCase& rc = GetParam();
    NamedVertices v;
    mg::Triangle tri(v("a"), v("b"), v("c"));
    mg::Quadrilateral quad(v("a"), v("b"), v("c"), v("d"));
    const Face& face = rc.quad ? static_cast<const Face&>(quad) : tri;

    Vertex* sides[4] = {nullptr, nullptr, nullptr, nullptr};
    for (const char* s = rc.split; *s; ++s)
        sides[*s - '0'] = v(std::string("e") + *s);
    Vertex* centre = rc.centre ? v("m") : nullptr;
    Vertex* subs[4] = {v("A"), v("B"), v("C"), v("D")};

    for (bool substitute : {false, true}) {
        SCOPED_TRACE(substitute ? "with substitutes" : "own corners");
        mg::Triangle placeholder;
        OwnedElements<Face> out;
        out.vec().push_back(&placeholder);
        Vertex* centreOut = v("p");
        const bool ok = face.refine(out.vec(), &centreOut, sides, centre, substitute ? subs : nullptr);
        ASSERT_TRUE(out.vec().empty() || out[0] != &placeholder) << "output not cleared";

        EXPECT_EQ(ok, rc.result);
        const std::string expected = substitute ? to_upper_corners(rc.faces) : rc.faces;
        EXPECT_EQ(v.describe(out.vec()), expected);
        if (centre || !ok) {
            EXPECT_EQ(centreOut, centre);
        }
        if (!centre && ok && std::string(rc.split).size() == 4) {
            // A new, unregistered centre shared by all four quadrilaterals.
            ASSERT_NE(centreOut, nullptr);
            EXPECT_EQ(v.name_of(centreOut), "new");
            for (Face* f : out.vec())
                EXPECT_EQ(f->vertex(2), centreOut);
            delete centreOut;
        }
        if (!centre && ok && std::string(rc.split).size() < 4) {
            EXPECT_EQ(centreOut, nullptr);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Triangle, RefineTest,
    ::testing::Values(
        RefineCase{false, "", true, true, "a b m | b c m | c a m"},
        RefineCase{false, "0", true, false, ""},
        RefineCase{false, "", false, false, ""},
        RefineCase{false, "0", false, true, "c a e0 | c e0 b"},
        RefineCase{false, "1", false, true, "a b e1 | a e1 c"},
        RefineCase{false, "2", false, true, "b c e2 | b e2 a"},
        RefineCase{false, "12", false, true, "e1 c e2 | a b e1 e2"},
        RefineCase{false, "02", false, true, "e2 a e0 | b c e2 e0"},
        RefineCase{false, "01", false, true, "e0 b e1 | c a e0 e1"},
        RefineCase{false, "012", false, true, "a e0 e2 | b e1 e0 | c e2 e1 | e0 e1 e2"}),
    RefineCaseName);

INSTANTIATE_TEST_SUITE_P(
    Quadrilateral, RefineTest,
    ::testing::Values(
        RefineCase{true, "", true, true, "a b m | b c m | c d m | d a m"},
        RefineCase{true, "", false, false, ""},
        RefineCase{true, "1", true, false, ""},
        RefineCase{true, "13", true, false, ""},
        RefineCase{true, "123", true, false, ""},
        RefineCase{true, "0", false, true, "d a e0 | d e0 c | c e0 b"},
        RefineCase{true, "1", false, true, "a b e1 | a e1 d | d e1 c"},
        RefineCase{true, "2", false, true, "b c e2 | b e2 a | a e2 d"},
        RefineCase{true, "3", false, true, "c d e3 | c e3 b | b e3 a"},
        RefineCase{true, "02", false, true, "d a e0 e2 | e2 e0 b c"},
        RefineCase{true, "13", false, true, "a b e1 e3 | e3 e1 c d"},
        RefineCase{true, "01", false, true, "d a e0 | e0 b e1 | c d e1 | d e0 e1"},
        RefineCase{true, "12", false, true, "a b e1 | e1 c e2 | d a e2 | a e1 e2"},
        RefineCase{true, "23", false, true, "b c e2 | e2 d e3 | a b e3 | b e2 e3"},
        RefineCase{true, "03", false, true, "c d e3 | e3 a e0 | b c e0 | c e3 e0"},
        RefineCase{true, "123", false, true, "b e1 e3 a | c e2 e1 | d e3 e2 | e1 e2 e3"},
        RefineCase{true, "023", false, true, "c e2 e0 b | d e3 e2 | a e0 e3 | e2 e3 e0"},
        RefineCase{true, "013", false, true, "d e3 e1 c | a e0 e3 | b e1 e0 | e3 e0 e1"},
        RefineCase{true, "012", false, true, "a e0 e2 d | b e1 e0 | c e2 e1 | e0 e1 e2"},
        RefineCase{true, "0123", true, true, "a e0 m e3 | b e1 m e0 | c e2 m e1 | d e3 m e2"},
        RefineCase{true, "0123", false, true, "a e0 new e3 | b e1 new e0 | c e2 new e1 | d e3 new e2"}),
    RefineCaseName);

TEST(FaceCollapseTest, CollapseEdge)
{
    NamedVertices v;
    mg::Triangle tri(v("a"), v("b"), v("c"));
    mg::Quadrilateral quad(v("a"), v("b"), v("c"), v("d"));
    const char* expected[4] = {"m c d", "m d a", "m a b", "m b c"};
    for (int e = 0; e < 4; ++e) {
        OwnedElements<Face> out;
        EXPECT_TRUE(quad.collapse_edge(out.vec(), e, v("m"), nullptr));
        EXPECT_EQ(v.describe(out.vec()), expected[e]);
    }
    Vertex* subs[4] = {v("A"), v("B"), v("C"), v("D")};
    OwnedElements<Face> out;
    EXPECT_TRUE(quad.collapse_edge(out.vec(), 0, v("m"), subs));
    EXPECT_EQ(v.describe(out.vec()), "m C D");

    mg::Triangle placeholder;
    std::vector<Face*> vanished{&placeholder};
    EXPECT_TRUE(tri.collapse_edge(vanished, 1, v("m"), nullptr));
    EXPECT_TRUE(vanished.empty());
}

struct CollapseEdgesCase {
    const char* label;
    bool quad;
    std::vector<const char*> newVertices;  // "" stands for null
    bool result;
    const char* faces;   // "-" : the output vector was left as it was
    const char* log;
};

TEST(FaceCollapseTest, CollapseEdgesTable)
{
    const std::vector<CollapseEdgesCase> cases = {
        {"tri one vertex", false, {"", "m", ""}, true, "", ""},
        {"tri too many", false, {"m", "", "", ""}, false, "-",
         "WARNING in Triangle::collapse_edges(...): bad number of newEdgeVertices."},
        {"tri all null", false, {"", "", ""}, false, "-",
         "WARNING in Triangle::collapse:edges(...): no new vertex was specified."},
        {"tri none", false, {}, false, "-",
         "WARNING in Triangle::collapse:edges(...): no new vertex was specified."},
        {"quad second side", true, {"", "m"}, true, "m d a", ""},
        {"quad last side", true, {"", "", "", "m"}, true, "m b c", ""},
        {"quad two sides", true, {"m", "", "p"}, true, "", ""},
        {"quad too many", true, {"", "", "", "", "m"}, false, "-",
         "WARNING in Quadrilateral::collapse_edges(...): bad number of newEdgeVertices."},
        {"quad all null", true, {"", "", "", ""}, false, "",
         "WARNING in Quadrilateral::collapse:edges(...): no new vertex was specified."},
    };

    NamedVertices v;
    mg::Triangle tri(v("a"), v("b"), v("c"));
    mg::Quadrilateral quad(v("a"), v("b"), v("c"), v("d"));
    for (const CollapseEdgesCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<Vertex*> newVertices;
        for (const char* n : c.newVertices)
            newVertices.push_back(*n ? v(n) : nullptr);

        mg::Triangle placeholder;
        OwnedElements<Face> out;
        out.vec().push_back(&placeholder);
        mg_test::StdoutCapture capture;
        const Face& face = c.quad ? static_cast<const Face&>(quad) : tri;
        EXPECT_EQ(face.collapse_edges(out.vec(), newVertices, nullptr), c.result);
        EXPECT_EQ(capture.str(), c.log);

        const bool untouched = !out.vec().empty() && out[0] == &placeholder;
        if (untouched)
            out.vec().erase(out.vec().begin());
        EXPECT_EQ(untouched, std::string(c.faces) == "-");
        if (!untouched) {
            EXPECT_EQ(v.describe(out.vec()), c.faces);
        }
    }
}

TEST(FaceSplitTest, SplitByEdgeVertexAppends)
{
    NamedVertices v;
    mg::Triangle tri(v("a"), v("b"), v("c"));
    mg::Quadrilateral quad(v("a"), v("b"), v("c"), v("d"));
    const char* triExpected[3] = {"a p c | p b c", "b p a | p c a", "c p b | p a b"};
    for (int i = 0; i < 3; ++i) {
        OwnedElements<Face> out;
        tri.split_by_edge_vertex(i, v("p"), out.vec(), nullptr);
        EXPECT_EQ(v.describe(out.vec()), triExpected[i]);
    }
    const char* quadExpected[4] = {"a p d | p b c | d p c", "b p a | p c d | a p d",
                                   "c p b | p d a | b p a", "d p c | p a b | c p b"};
    for (int i = 0; i < 4; ++i) {
        OwnedElements<Face> out;
        quad.split_by_edge_vertex(i, v("p"), out.vec(), nullptr);
        EXPECT_EQ(v.describe(out.vec()), quadExpected[i]);
    }

    Vertex* subs[4] = {v("A"), v("B"), v("C"), v("D")};
    OwnedElements<Face> out;
    tri.split_by_edge_vertex(0, v("p"), out.vec(), nullptr);
    tri.split_by_edge_vertex(0, v("p"), out.vec(), subs);
    EXPECT_EQ(v.describe(out.vec()), "a p c | p b c | A p C | p B C");
}

TEST(ElementTest, ConstantAnswersOfTheConcreteClasses)
{
    struct Row {
        mg::GridObject* obj;
        int section, kind, shape, corners;
    };
    mg::RegularVertex vrt;
    mg::RegularEdge edge;
    mg::Triangle tri;
    mg::Quadrilateral quad;
    const Row rows[] = {{&vrt, 0, 0, 0, -1}, {&edge, 0, 1, 1, 2}, {&tri, 0, 2, 2, 3}, {&quad, 1, 2, 3, 4}};
    for (const Row& r : rows) {
        EXPECT_EQ(r.obj->container_section(), r.section);
        EXPECT_EQ(r.obj->base_object_kind(), r.kind);
        EXPECT_EQ(r.obj->shape_kind(), r.shape);
        std::unique_ptr<mg::GridObject> empty(r.obj->create_empty_instance());
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(typeid(*empty), typeid(*r.obj));
        if (auto* group = dynamic_cast<mg::IVertexGroup*>(r.obj)) {
            EXPECT_EQ(static_cast<int>(group->num_vertices()), r.corners);
        }
    }
    EXPECT_EQ(mg::Triangle::CONTAINER_SECTION, 0);
    EXPECT_EQ(mg::Quadrilateral::CONTAINER_SECTION, 1);
    EXPECT_EQ(mg::Face::CONTAINER_SECTION, -1);

    // The base face group is empty; descriptors answer for themselves.
    mg::FaceVertices none;
    EXPECT_EQ(none.num_vertices(), 0u);
    EXPECT_EQ(none.vertices(), nullptr);
    EXPECT_EQ(none.vertex(0), nullptr);
    EXPECT_EQ(mg::FaceDescriptor().num_vertices(), 0u);
    EXPECT_EQ(mg::VolumeDescriptor(8).num_vertices(), 8u);
}

TEST(ElementTest, SidesAndOppositeElements)
{
    NamedVertices v;
    mg::Triangle tri(mg::TriangleDescriptor(v("a"), v("b"), v("c")));
    mg::Quadrilateral quad(v("a"), v("b"), v("c"), v("d"));

    EXPECT_EQ(mg_test::corners(tri.edge_desc(2)), (std::vector<Vertex*>{v("c"), v("a")}));
    std::unique_ptr<mg::Edge> edge(quad.create_edge(3));
    EXPECT_NE(dynamic_cast<mg::RegularEdge*>(edge.get()), nullptr);
    EXPECT_EQ(mg_test::corners(*edge), (std::vector<Vertex*>{v("d"), v("a")}));

    mg::EdgeDescriptor out(v("p"), v("p"));
    const mg::EdgeDescriptor ba(v("b"), v("a"));
    EXPECT_FALSE(tri.opposite_side(&ba, out));
    EXPECT_EQ(out.vertex(0), v("p"));  // left as it was
    EXPECT_TRUE(quad.opposite_side(&ba, out));
    EXPECT_EQ(mg_test::corners(out), (std::vector<Vertex*>{v("c"), v("d")}));
    const mg::EdgeDescriptor diagonal(v("a"), v("c"));
    EXPECT_FALSE(quad.opposite_side(&diagonal, out));

    EXPECT_EQ(tri.opposite_object(v("a")), std::make_pair(1, 1));
    EXPECT_EQ(tri.opposite_object(v("b")), std::make_pair(1, 2));
    EXPECT_EQ(tri.opposite_object(v("c")), std::make_pair(1, 0));
    EXPECT_EQ(quad.opposite_object(v("a")), std::make_pair(0, 2));
    EXPECT_EQ(quad.opposite_object(v("d")), std::make_pair(0, 1));
    for (const Face* f : {static_cast<const Face*>(&tri), static_cast<const Face*>(&quad)}) {
        try {
            f->opposite_object(v("m"));
            ADD_FAILURE() << "no MGError thrown";
        } catch (const mg::MGError& err) {
            EXPECT_EQ(err.get_msg(), "The given vertex is not contained in the given face.");
        }
    }

    quad.set_vertex(2, v("m"));
    EXPECT_EQ(quad.vertex(2), v("m"));
}

TEST(ElementTest, EdgeRefineMakesTwoHalves)
{
    NamedVertices v;
    mg::RegularEdge edge(v("a"), v("b"));
    mg::RegularEdge placeholder;
    OwnedElements<mg::Edge> out;
    out.vec().push_back(&placeholder);
    EXPECT_TRUE(edge.refine(out.vec(), v("m"), nullptr));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(mg_test::corners(*out[0]), (std::vector<Vertex*>{v("a"), v("m")}));
    EXPECT_EQ(mg_test::corners(*out[1]), (std::vector<Vertex*>{v("m"), v("b")}));

    Vertex* subs[2] = {v("A"), v("B")};
    OwnedElements<mg::Edge> second;
    EXPECT_TRUE(edge.refine(second.vec(), v("m"), subs));
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(mg_test::corners(*second[0]), (std::vector<Vertex*>{v("A"), v("m")}));
    EXPECT_EQ(mg_test::corners(*second[1]), (std::vector<Vertex*>{v("m"), v("B")}));
}

TEST(ElementTest, VertexHashKeyIsTheWrappedSumOfSquares)
{
    mg_test::VertexSet v({3, 4, 65536, 65537});
    EXPECT_EQ(mg::vertex_hash_key(&static_cast<const mg::EdgeVertices&>(mg::EdgeDescriptor(v[0], v[1]))), 25u);
    mg::RegularEdge ab(v[0], v[1]);
    mg::RegularEdge ba(v[1], v[0]);
    EXPECT_EQ(mg::vertex_hash_key(&ab), mg::vertex_hash_key(&ba));

    mg::FaceDescriptor single(1);
    single.set_vertex(0, v[2]);
    EXPECT_EQ(mg::vertex_hash_key(&single), 0u);  // 65536^2 wraps to 0
    mg::Triangle tri(v[3], v[0], v[1]);
    EXPECT_EQ(mg::vertex_hash_key(&tri), 131073u + 25u);  // 65537^2 mod 2^32 = 131073
}

// Random counter-clockwise triangles and convex quadrilaterals, random side
// vertices and split flags: every face made must be counter-clockwise and
// together they must cover the parent exactly.
TEST(ElementPropertyTest, RefinedAndSplitFacesKeepOrientationAndArea)
{
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    mg_test::VertexSet corners(4), sideVertices(4), centres(1);
    mg_test::VertexSet splitPoint(1);

    for (int round = 0; round < 400; ++round) {
        const bool isQuad = round % 2 == 1;
        const int n = isQuad ? 4 : 3;
        SCOPED_TRACE("round " + std::to_string(round));

        // Corners on an ellipse in increasing angle: convex, counter-clockwise.
        mg_test::PlanarPositions pos;
        const double cx = unit(rng) * 10 - 5, cy = unit(rng) * 10 - 5;
        const double rx = 0.5 + unit(rng) * 3, ry = 0.5 + unit(rng) * 3;
        double angle = unit(rng) * 6.283;
        for (int i = 0; i < n; ++i) {
            pos.set(corners[i], cx + rx * std::cos(angle), cy + ry * std::sin(angle));
            angle += 0.3 + unit(rng) * (6.283 / n - 0.3);
        }
        std::unique_ptr<Face> face;
        if (isQuad)
            face.reset(new mg::Quadrilateral(corners[0], corners[1], corners[2], corners[3]));
        else
            face.reset(new mg::Triangle(corners[0], corners[1], corners[2]));
        const double parentArea = pos.signed_area(*face);
        ASSERT_GT(parentArea, 0);

        Vertex* sides[4] = {nullptr, nullptr, nullptr, nullptr};
        double ex = 0, ey = 0;
        const int mask = static_cast<int>(rng() % (1u << n));
        int numSplit = 0;
        for (int i = 0; i < n; ++i) {
            const auto& p0 = pos.get(corners[i]);
            const auto& p1 = pos.get(corners[(i + 1) % n]);
            const double t = 0.1 + 0.8 * unit(rng);
            pos.set(sideVertices[i], p0.x + t * (p1.x - p0.x), p0.y + t * (p1.y - p0.y));
            if (mask & (1 << i)) {
                sides[i] = sideVertices[i];
                ex += pos.get(sides[i]).x;
                ey += pos.get(sides[i]).y;
                ++numSplit;
            }
        }
        // A centre inside: the corners' mean, or the side vertices' mean when
        // all sides are split.
        Vertex* centre = nullptr;
        if (numSplit == 0 || (numSplit == n && isQuad && rng() % 2 == 0)) {
            centre = centres[0];
            double mx = 0, my = 0;
            for (int i = 0; i < n; ++i) {
                mx += pos.get(corners[i]).x;
                my += pos.get(corners[i]).y;
            }
            if (numSplit == 0)
                pos.set(centre, mx / n, my / n);
            else
                pos.set(centre, ex / n, ey / n);
        }

        OwnedElements<Face> out;
        Vertex* centreOut = nullptr;
        ASSERT_TRUE(face->refine(out.vec(), &centreOut, sides, centre, nullptr))
            << "mask " << mask;
        std::unique_ptr<Vertex> newCentre(centreOut != centre ? centreOut : nullptr);
        if (newCentre)
            pos.set(newCentre.get(), ex / n, ey / n);

        double sum = 0;
        for (Face* f : out.vec()) {
            const double a = pos.signed_area(*f);
            EXPECT_GT(a, 0) << "mask " << mask;
            sum += a;
        }
        EXPECT_NEAR(sum, parentArea, 1e-9 * parentArea) << "mask " << mask;

        // Splitting at a point of one side.
        const int side = static_cast<int>(rng() % n);
        pos.set(splitPoint[0], pos.get(sideVertices[side]).x, pos.get(sideVertices[side]).y);
        OwnedElements<Face> halves;
        face->split_by_edge_vertex(side, splitPoint[0], halves.vec(), nullptr);
        double splitSum = 0;
        for (Face* f : halves.vec()) {
            EXPECT_GT(pos.signed_area(*f), 0);
            splitSum += pos.signed_area(*f);
        }
        EXPECT_NEAR(splitSum, parentArea, 1e-9 * parentArea);
    }
}

}  // namespace
