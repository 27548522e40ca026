// Selectors: status bytes and lists, the rules for new elements, erasure,
// merging, clearing, and the life of a selector beside its grid.

#include "dez_odor/tools/selector.h"

#include "dez_odor/grid/grid.h"
#include "support/case_name.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/test_tetrahedron.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace mg;
using ::testing::ElementsAre;

template <class TElem>
std::vector<TElem*> listed(const Selector& sel)
{
    return std::vector<TElem*>(sel.begin<TElem>(), sel.end<TElem>());
}

// A triangle (a, b, c) with its edges, a quadrilateral (b, d, e, c) and a
// free vertex f, in a grid with the level's options.
struct SmallGrid {
    SmallGrid() : grid(GRIDOPT_LEVEL_MESH)
    {
        for (Vertex*& v : vrt)
            v = *grid.create<RegularVertex>();
        tri = *grid.create<Triangle>(TriangleDescriptor(vrt[0], vrt[1], vrt[2]));
        quad = new Quadrilateral(vrt[1], vrt[3], vrt[4], vrt[2]);
        grid.register_face(quad);
        ab = grid.get_edge(vrt[0], vrt[1]);
    }

    Grid grid;
    Vertex* vrt[6];
    Face* tri;
    Face* quad;
    Edge* ab;
};

TEST(Selector, StartsUnselectedOnAGridWithElements)
{
    SmallGrid g;
    Selector sel(&g.grid, SE_ALL);
    EXPECT_EQ(sel.grid(), &g.grid);
    EXPECT_EQ(sel.supported_elements(), static_cast<unsigned>(SE_ALL));
    for (auto it = g.grid.begin<Edge>(); it != g.grid.end<Edge>(); ++it)
        EXPECT_EQ(sel.is_selected(*it), 0);
    EXPECT_FALSE(sel.contains_vertices() || sel.contains_edges() || sel.contains_faces() ||
                 sel.contains_volumes());
    EXPECT_EQ(sel.num<Face>(), 0u);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));
}

TEST(Selector, ListsKeepTheOrderOfSelectionWithinEachClass)
{
    SmallGrid g;
    Selector sel(&g.grid);
    sel.select(g.quad, 2);
    sel.select(g.tri);
    sel.select(g.vrt[3]);
    sel.select(g.vrt[1], 5);
    sel.select(g.vrt[3], 9);  // a new status, same place
    EXPECT_THAT(listed<Vertex>(sel), ElementsAre(g.vrt[3], g.vrt[1]));
    EXPECT_EQ(sel.is_selected(g.vrt[3]), 9);
    EXPECT_EQ(sel.is_selected(g.vrt[1]), 5);

    // faces: triangles before quadrilaterals, whatever the order of selection
    EXPECT_THAT(listed<Face>(sel), ElementsAre(g.tri, g.quad));
    EXPECT_THAT(listed<Quadrilateral>(sel), ElementsAre(g.quad));
    EXPECT_EQ(sel.num<Triangle>(), 1u);
    EXPECT_EQ(sel.num<Face>(), 2u);
    EXPECT_EQ(sel.selection_status(g.quad), 2);
    EXPECT_EQ(sel.selection_status(g.ab), 0);

    sel.select(g.vrt[3], 0);  // status 0 deselects
    EXPECT_THAT(listed<Vertex>(sel), ElementsAre(g.vrt[1]));
    sel.deselect(g.tri);
    sel.deselect(g.tri);  // twice is harmless
    EXPECT_THAT(listed<Face>(sel), ElementsAre(g.quad));
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));
}

// The rules for a new element, one row per case: a parent of the given kind
// and status, then the new element of the given kind.
struct RuleCase {
    const char* name;
    bool autoselect;
    bool inherit;
    bool strict;
    int parentKind;  // -1 none, else BOK_EDGE or BOK_FACE
    unsigned char parentStatus;
    bool replacesParent;
    int newKind;  // BOK_EDGE or BOK_FACE
    unsigned char expected;
};

const RuleCase RULES[] = {
    {"autoselect without parent", true, true, false, -1, 0, false, BOK_FACE, 1},
    {"autoselect beats a parent's status", true, true, false, BOK_FACE, 3, false, BOK_EDGE, 1},
    {"autoselect with an unselected parent", true, false, false, BOK_FACE, 0, false, BOK_FACE, 1},
    {"inherit from a face", false, true, false, BOK_FACE, 3, false, BOK_FACE, 3},
    {"inherit across kinds", false, true, false, BOK_FACE, 3, false, BOK_EDGE, 3},
    {"inherit an unselected parent", false, true, false, BOK_FACE, 0, false, BOK_FACE, 0},
    {"strict, same kind", false, true, true, BOK_FACE, 3, false, BOK_FACE, 3},
    {"strict, other kind", false, true, true, BOK_FACE, 3, false, BOK_EDGE, 0},
    {"strict, edge from edge", false, true, true, BOK_EDGE, 2, false, BOK_EDGE, 2},
    {"no inheritance", false, false, false, BOK_FACE, 3, false, BOK_FACE, 0},
    {"no inheritance, replaces parent", false, false, false, BOK_EDGE, 2, true, BOK_EDGE, 2},
    {"replaces an unselected parent", false, false, false, BOK_EDGE, 0, true, BOK_EDGE, 0},
    {"no parent, no autoselect", false, true, false, -1, 0, false, BOK_EDGE, 0},
};

class SelectorRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(SelectorRules, NewElementStatus)
{
    const RuleCase& rc = GetParam();
    Grid grid(GRIDOPT_LEVEL_MESH);
    Selector sel(&grid);
    Vertex* v[5];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Face* parentFace = *grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
    Edge* parentEdge = grid.get_edge(v[0], v[1]);
    GridObject* parent = nullptr;
    if (rc.parentKind == BOK_FACE) {
        parent = parentFace;
        sel.select(parentFace, rc.parentStatus);
    } else if (rc.parentKind == BOK_EDGE) {
        parent = parentEdge;
        sel.select(parentEdge, rc.parentStatus);
    }
    sel.set_autoselect_new(rc.autoselect);
    sel.set_inherit_selection(rc.inherit);
    sel.set_strict_inheritance(rc.strict);

    GridObject* created = nullptr;
    if (rc.replacesParent) {
        // The grid itself never replaces; the notification is the one a
        // replacing operation sends.
        Edge* e = new RegularEdge(v[3], v[4]);
        grid.register_edge(e);
        sel.deselect(e);
        sel.edge_created(&grid, e, parent, true);
        created = e;
    } else if (rc.newKind == BOK_FACE) {
        created = *grid.create<Triangle>(TriangleDescriptor(v[1], v[3], v[2]), parent);
    } else {
        created = *grid.create<RegularEdge>(EdgeDescriptor(v[3], v[4]), parent);
    }
    EXPECT_EQ(sel.selection_status(created), rc.expected) << rc.name;
    EXPECT_TRUE(mg_test::GridIsConsistent(grid, &sel, nullptr)) << rc.name;
}

INSTANTIATE_TEST_SUITE_P(Table, SelectorRules, ::testing::ValuesIn(RULES), test_names::ByNameMember());

// Hears of erasures after the selector (observers registered earlier hear
// later) and records what the selector holds then.
class ErasureWitness : public GridObserver {
public:
    explicit ErasureWitness(const Selector& sel) : m_sel(sel) {}
    void face_to_be_erased(Grid*, Face* f, Face*) override
    {
        statusAtErasure.push_back(m_sel.is_selected(f));
        listedAtErasure.push_back(m_sel.num<Face>());
    }
    std::vector<int> statusAtErasure;
    std::vector<size_t> listedAtErasure;

private:
    const Selector& m_sel;
};

TEST(Selector, AnErasedElementLeavesTheListBeforeItIsDeleted)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    // The witness is registered first, so that it hears of erasures last.
    Selector sel(nullptr);
    ErasureWitness witness(sel);
    grid.register_observer(&witness, OBSERVE_FACES);
    sel.bind_grid(&grid);

    Vertex* v[5];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Face* f0 = *grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
    Face* f1 = *grid.create<Triangle>(TriangleDescriptor(v[2], v[1], v[3]));
    Face* f2 = *grid.create<Triangle>(TriangleDescriptor(v[2], v[3], v[4]));
    sel.select(f0);
    sel.select(f1, 4);
    sel.select(f2);

    grid.erase(f1);  // from the middle of the list
    EXPECT_THAT(witness.statusAtErasure, ElementsAre(0));
    EXPECT_THAT(witness.listedAtErasure, ElementsAre(2u));
    EXPECT_THAT(listed<Face>(sel), ElementsAre(f0, f2));

    // Erasing a vertex takes its faces and edges out of the lists too.
    for (auto it = grid.begin<Edge>(); it != grid.end<Edge>(); ++it)
        sel.select(*it);
    sel.select(v[2]);
    grid.erase(v[2]);
    EXPECT_FALSE(sel.contains_faces());
    EXPECT_FALSE(sel.contains_vertices());
    EXPECT_EQ(sel.num<Edge>(), grid.num_edges());
    EXPECT_TRUE(mg_test::GridIsConsistent(grid, &sel, nullptr));
    grid.unregister_observer(&witness);
}

TEST(Selector, MergingSelectsTheTargetWhenEitherElementIsSelected)
{
    struct Case {
        unsigned char s1, s2, target, expected;
    };
    const Case cases[] = {{5, 0, 0, 1}, {0, 3, 0, 1}, {2, 2, 7, 1}, {0, 0, 0, 0}, {0, 0, 6, 6}};
    for (const Case& c : cases) {
        SmallGrid g;
        Selector sel(&g.grid);
        Edge* e1 = g.grid.get_edge(g.vrt[0], g.vrt[1]);
        Edge* e2 = g.grid.get_edge(g.vrt[1], g.vrt[2]);
        Edge* target = g.grid.get_edge(g.vrt[2], g.vrt[0]);
        sel.select(e1, c.s1);
        sel.select(e2, c.s2);
        sel.select(target, c.target);
        sel.edges_to_be_merged(&g.grid, target, e1, e2);
        EXPECT_EQ(sel.is_selected(target), c.expected)
            << int(c.s1) << " " << int(c.s2) << " " << int(c.target);
        EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));
    }
}

TEST(Selector, ClearZeroesEveryStatusKindByKind)
{
    SmallGrid g;
    Selector sel(&g.grid);
    for (Vertex* v : g.vrt)
        sel.select(v, 3);
    sel.select(g.ab, 2);
    sel.select(g.tri);
    sel.select(g.quad);

    sel.clear<Face>();
    EXPECT_EQ(sel.is_selected(g.tri), 0);
    EXPECT_FALSE(sel.contains_faces());
    EXPECT_EQ(sel.num<Vertex>(), 6u);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));

    sel.clear();
    EXPECT_EQ(sel.is_selected(g.vrt[4]), 0);
    EXPECT_EQ(sel.is_selected(g.ab), 0);
    EXPECT_FALSE(sel.contains_vertices() || sel.contains_edges());
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));

    // the lists are usable again
    sel.select(g.quad);
    EXPECT_THAT(listed<Face>(sel), ElementsAre(g.quad));
}

TEST(Selector, UnsupportedKindsAreIgnored)
{
    SmallGrid g;
    Selector sel(&g.grid, SE_VERTEX | SE_FACE);
    sel.set_autoselect_new(true);
    sel.select(g.ab);  // not supported: nothing happens
    EXPECT_EQ(sel.is_selected(g.ab), 0);
    EXPECT_EQ(sel.selection_status(g.ab), 0);
    sel.clear<Edge>();
    Face* f = *g.grid.create<Triangle>(TriangleDescriptor(g.vrt[3], g.vrt[5], g.vrt[4]));
    EXPECT_EQ(sel.is_selected(f), 1);
    EXPECT_EQ(sel.num<Edge>(), 0u);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));

    sel.remove_element_support(SE_FACE);
    EXPECT_EQ(sel.supported_elements(), static_cast<unsigned>(SE_VERTEX));
    EXPECT_EQ(sel.is_selected(f), 0);
    EXPECT_FALSE(sel.contains_faces());
    sel.add_element_support(SE_EDGE | SE_FACE);
    EXPECT_EQ(sel.is_selected(f), 0);
    sel.select(g.ab);
    EXPECT_EQ(sel.is_selected(g.ab), 1);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, nullptr));
}

TEST(Selector, VolumesAreSelectedLikeEveryOtherKind)
{
    Grid grid;  // volumes create their faces, faces their edges
    Selector sel(&grid);
    sel.set_autoselect_new(true);
    Vertex* v[4];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    grid.register_volume(new mg_test::TestTetrahedron(v[0], v[1], v[2], v[3]));
    EXPECT_EQ(sel.num<Volume>(), 1u);
    EXPECT_EQ(sel.num<Face>(), 4u);
    EXPECT_EQ(sel.num<Edge>(), 6u);
    EXPECT_TRUE(sel.contains_volumes());
    EXPECT_TRUE(mg_test::GridIsConsistent(grid, &sel, nullptr));
    grid.erase(*grid.begin<Volume>());
    EXPECT_FALSE(sel.contains_volumes());
    EXPECT_TRUE(mg_test::GridIsConsistent(grid, &sel, nullptr));
}

TEST(Selector, ASelectorWhoseGridIsDestroyedIsUnbound)
{
    Selector sel(nullptr, SE_EDGE | SE_FACE);
    EXPECT_EQ(sel.grid(), nullptr);
    EXPECT_EQ(sel.supported_elements(), static_cast<unsigned>(SE_EDGE | SE_FACE));
    {
        SmallGrid g;
        sel.bind_grid(&g.grid);
        sel.select(g.tri);
        sel.select(g.ab);
        EXPECT_EQ(sel.num<Face>(), 1u);
        EXPECT_EQ(sel.is_selected(g.vrt[0]), 0);  // vertices not supported
    }
    EXPECT_EQ(sel.grid(), nullptr);
    EXPECT_EQ(sel.supported_elements(), 0u);
    EXPECT_FALSE(sel.contains_faces() || sel.contains_edges());
    EXPECT_EQ(sel.begin<Face>(), sel.end<Face>());
    EXPECT_EQ(sel.num<Edge>(), 0u);
}

TEST(Selector, ADestroyedSelectorLeavesNothingInTheGrid)
{
    SmallGrid g;
    const size_t before = g.grid.vertex_attachment_pipe().num_attachments() +
                          g.grid.edge_attachment_pipe().num_attachments() +
                          g.grid.face_attachment_pipe().num_attachments() +
                          g.grid.volume_attachment_pipe().num_attachments();
    {
        Selector sel(&g.grid);
        sel.set_autoselect_new(true);
        sel.select(g.tri);
        Selector other(&g.grid, SE_FACE);
        other.select(g.quad);
    }
    const size_t after = g.grid.vertex_attachment_pipe().num_attachments() +
                         g.grid.edge_attachment_pipe().num_attachments() +
                         g.grid.face_attachment_pipe().num_attachments() +
                         g.grid.volume_attachment_pipe().num_attachments();
    EXPECT_EQ(after, before);
    // The grid no longer tells the selectors anything.
    g.grid.create<RegularVertex>();
    g.grid.erase(g.tri);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid));
}

TEST(Selector, TwoSelectorsOnOneGridAreIndependent)
{
    SmallGrid g;
    Selector a(&g.grid);
    Selector b(&g.grid);
    a.select(g.tri, 2);
    b.select(g.quad);
    b.select(g.tri, 7);
    EXPECT_EQ(a.is_selected(g.tri), 2);
    EXPECT_EQ(b.is_selected(g.tri), 7);
    EXPECT_EQ(a.is_selected(g.quad), 0);
    EXPECT_THAT(listed<Face>(b), ElementsAre(g.tri, g.quad));
    g.grid.erase(g.tri);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &a, nullptr));
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &b, nullptr));
}

}  // namespace
