// Subset handlers: indices and lists, subsets made on demand with the default
// description, the rules for new elements, the error messages, copying, the
// low-level list operations, and the life of a handler beside its grid.

#include "dez_odor/tools/grid_subset_handler.h"

#include "common/error.h"
#include "dez_odor/grid/grid.h"
#include "support/case_name.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/test_tetrahedron.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using namespace mg;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

template <class TElem>
std::vector<TElem*> listed(const GridSubsetHandler& sh, int subset)
{
    return std::vector<TElem*>(sh.begin<TElem>(subset), sh.end<TElem>(subset));
}

std::string error_message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const MGError& err) {
        return err.get_msg();
    }
    return "no error";
}

// Triangles (a, b, c) and (c, b, d), a quadrilateral (b, e, f, d), in a grid
// with the level's options.
struct SmallGrid {
    SmallGrid() : grid(GRIDOPT_LEVEL_MESH)
    {
        for (Vertex*& v : vrt)
            v = *grid.create<RegularVertex>();
        t0 = *grid.create<Triangle>(TriangleDescriptor(vrt[0], vrt[1], vrt[2]));
        t1 = *grid.create<Triangle>(TriangleDescriptor(vrt[2], vrt[1], vrt[3]));
        quad = new Quadrilateral(vrt[1], vrt[4], vrt[5], vrt[3]);
        grid.register_face(quad);
        ab = grid.get_edge(vrt[0], vrt[1]);
        bc = grid.get_edge(vrt[1], vrt[2]);
    }

    Grid grid;
    Vertex* vrt[6];
    Face* t0;
    Face* t1;
    Face* quad;
    Edge* ab;
    Edge* bc;
};

TEST(SubsetHandler, StartsWithoutSubsetsOnAGridWithElements)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid, SE_ALL);
    EXPECT_EQ(sh.grid(), &g.grid);
    EXPECT_EQ(sh.num_subsets(), 0);
    EXPECT_TRUE(sh.elements_are_supported(SE_ALL));
    for (auto it = g.grid.begin<Edge>(); it != g.grid.end<Edge>(); ++it)
        EXPECT_EQ(sh.subset_index(*it), -1);
    EXPECT_EQ(sh.subset_index(g.quad), -1);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
}

TEST(SubsetHandler, AssigningCreatesDefaultSubsetsAndMovesElements)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.ab, 2);
    ASSERT_EQ(sh.num_subsets(), 3);
    for (int i = 0; i < 3; ++i) {
        const SubsetInfo& info = static_cast<const GridSubsetHandler&>(sh).subset_info(i);
        EXPECT_EQ(info.name, "defSub");
        EXPECT_EQ(info.material_index, 0);
        EXPECT_EQ(info.color, (std::array<float, 4>{1, 1, 1, 1}));
        EXPECT_EQ(info.state, 0u);
        EXPECT_TRUE(info.property_map.empty());
    }
    EXPECT_THAT(listed<Edge>(sh, 2), ElementsAre(g.ab));
    EXPECT_FALSE(sh.contains_edges(0));
    EXPECT_TRUE(sh.contains_edges(2));
    EXPECT_EQ(sh.subset_index(g.ab), 2);
    EXPECT_EQ(sh.subset_index(static_cast<GridObject*>(g.ab)), 2);

    sh.assign_subset(g.bc, 2);
    sh.assign_subset(g.ab, 0);  // moves out of subset 2
    EXPECT_THAT(listed<Edge>(sh, 2), ElementsAre(g.bc));
    EXPECT_THAT(listed<Edge>(sh, 0), ElementsAre(g.ab));
    sh.assign_subset(g.ab, -1);  // into no subset
    EXPECT_FALSE(sh.contains_edges(0));
    EXPECT_EQ(sh.subset_index(g.ab), -1);
    EXPECT_EQ(sh.num_subsets(), 3);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
}

TEST(SubsetHandler, RangesCountsAndClasses)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.quad, 1);
    sh.assign_subset(g.grid.begin<Triangle>(), g.grid.end<Triangle>(), 1);
    sh.assign_subset(g.grid.begin<Edge>(), g.grid.end<Edge>(), 5);

    // faces of a subset: triangles first, each class in order of assignment
    EXPECT_THAT(listed<Face>(sh, 1), ElementsAre(g.t0, g.t1, g.quad));
    EXPECT_THAT(listed<Triangle>(sh, 1), ElementsAre(g.t0, g.t1));
    EXPECT_EQ(sh.num<Triangle>(1), 2u);
    EXPECT_EQ(sh.num<Quadrilateral>(1), 1u);
    EXPECT_EQ(sh.num<Face>(1), 3u);
    EXPECT_EQ(sh.num<Edge>(5), g.grid.num_edges());
    EXPECT_EQ(sh.num<Edge>(4), 0u);
    EXPECT_EQ(sh.num<Edge>(99), 0u);
    EXPECT_EQ(sh.begin<Face>(99), sh.end<Face>(99));
    EXPECT_EQ(sh.begin<Face>(-1), sh.end<Face>(-1));

    // a subset's own list as the range, into another subset
    sh.assign_subset(sh.begin<Triangle>(1), sh.end<Triangle>(1), 2);
    EXPECT_THAT(listed<Face>(sh, 1), ElementsAre(g.quad));
    EXPECT_THAT(listed<Face>(sh, 2), ElementsAre(g.t0, g.t1));
    sh.assign_subset(sh.begin<Edge>(5), sh.end<Edge>(5), -1);
    EXPECT_EQ(sh.num<Edge>(5), 0u);
    EXPECT_EQ(sh.num_subsets(), 6);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
}

// The rules for a new element: its parent (none, a face or an edge) in a
// subset, then the new element of the given kind.
struct InheritanceCase {
    const char* name;
    bool inherit;
    bool strict;
    int defaultSubset;
    int parentKind;  // -1 none, else BOK_EDGE or BOK_FACE
    int parentSubset;
    int newKind;  // BOK_EDGE or BOK_FACE
    int expected;
};

const InheritanceCase INHERITANCE[] = {
    {"face from face", true, false, -1, BOK_FACE, 1, BOK_FACE, 1},
    {"edge from face", true, false, -1, BOK_FACE, 1, BOK_EDGE, 1},
    {"from a parent in no subset", true, false, 4, BOK_FACE, -1, BOK_FACE, -1},
    {"strict, face from face", true, true, -1, BOK_FACE, 1, BOK_FACE, 1},
    {"strict, edge from face", true, true, -1, BOK_FACE, 1, BOK_EDGE, -1},
    {"strict, edge from face, default", true, true, 4, BOK_FACE, 1, BOK_EDGE, 4},
    {"strict, edge from edge", true, true, -1, BOK_EDGE, 5, BOK_EDGE, 5},
    {"strict, from a parent in no subset", true, true, 4, BOK_EDGE, -1, BOK_EDGE, -1},
    {"no parent", true, false, -1, -1, 0, BOK_FACE, -1},
    {"no parent, default", true, true, 2, -1, 0, BOK_EDGE, 2},
    {"no inheritance", false, false, -1, BOK_FACE, 1, BOK_FACE, -1},
    {"no inheritance, default", false, false, 3, BOK_FACE, 1, BOK_FACE, 3},
};

class SubsetInheritance : public ::testing::TestWithParam<InheritanceCase> {};

TEST_P(SubsetInheritance, NewElementSubset)
{
    const InheritanceCase& ic = GetParam();
    Grid grid(GRIDOPT_LEVEL_MESH);
    GridSubsetHandler sh(&grid);
    Vertex* v[5];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Face* parentFace = *grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
    Edge* parentEdge = grid.get_edge(v[0], v[1]);
    GridObject* parent = nullptr;
    if (ic.parentKind == BOK_FACE) {
        parent = parentFace;
        sh.assign_subset(parentFace, ic.parentSubset);
    } else if (ic.parentKind == BOK_EDGE) {
        parent = parentEdge;
        sh.assign_subset(parentEdge, ic.parentSubset);
    }
    sh.set_subset_inheritance(ic.inherit);
    sh.set_strict_inheritance(ic.strict);
    sh.set_default_subset_index(ic.defaultSubset);

    GridObject* created;
    if (ic.newKind == BOK_FACE)
        created = *grid.create<Triangle>(TriangleDescriptor(v[1], v[3], v[2]), parent);
    else
        created = *grid.create<RegularEdge>(EdgeDescriptor(v[3], v[4]), parent);
    EXPECT_EQ(sh.subset_index(created), ic.expected) << ic.name;
    EXPECT_TRUE(mg_test::GridIsConsistent(grid, nullptr, &sh)) << ic.name;
}

INSTANTIATE_TEST_SUITE_P(Table, SubsetInheritance, ::testing::ValuesIn(INHERITANCE), test_names::ByNameMember());

TEST(SubsetHandler, ErasedAndMergedElements)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.grid.begin<Face>(), g.grid.end<Face>(), 0);
    sh.assign_subset(g.grid.begin<Edge>(), g.grid.end<Edge>(), 1);
    g.grid.erase(g.vrt[0]);  // takes t0 and two edges out of their lists
    EXPECT_THAT(listed<Face>(sh, 0), ElementsAre(g.t1, g.quad));
    EXPECT_EQ(sh.num<Edge>(1), g.grid.num_edges());
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));

    struct Case {
        int i1, i2, target, expected;
    };
    const Case cases[] = {{4, -1, -1, 4}, {-1, 2, 0, 2}, {1, 2, 3, 3}, {-1, -1, 0, 0}};
    Edge* e1 = g.grid.get_edge(g.vrt[1], g.vrt[2]);
    Edge* e2 = g.grid.get_edge(g.vrt[2], g.vrt[3]);
    Edge* target = g.grid.get_edge(g.vrt[1], g.vrt[3]);
    for (const Case& c : cases) {
        sh.assign_subset(e1, c.i1);
        sh.assign_subset(e2, c.i2);
        sh.assign_subset(target, c.target);
        sh.edges_to_be_merged(&g.grid, target, e1, e2);
        EXPECT_EQ(sh.subset_index(target), c.expected) << c.i1 << " " << c.i2;
    }
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
}

TEST(SubsetHandler, ErrorMessages)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.t0, 1);
    const GridSubsetHandler& csh = sh;

    EXPECT_EQ(error_message([&] { sh.subset_info(-1); }),
              "Bad subset index -1. No subset-info available for this subset.");
    EXPECT_EQ(error_message([&] { csh.subset_info(2); }),
              "Bad subset index 2. Only 2 subsets are present.");
    EXPECT_EQ(error_message([&] { csh.subset_info(-3); }),
              "Bad subset index -3. Only 2 subsets are present.");
    sh.require_subset(2);
    EXPECT_EQ(error_message([&] { sh.get_element_collection(3); }),
              "Can't create new subsets in const ISubsetHandler. num current subsets: 3 "
              "required subset: 3");
    EXPECT_EQ(sh.num_subsets(), 3);  // nothing was created by the failures

    EXPECT_FALSE(sh.contains_faces(-1));
    EXPECT_FALSE(sh.contains_faces(99));
    EXPECT_TRUE(sh.contains_faces(1));
    ElementCollection col = sh.get_element_collection(1);
    EXPECT_EQ(col.num<Triangle>(), 1u);
}

TEST(SubsetHandler, AskingForADescriptionCreatesTheSubsetsUpToIt)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.t0, 1);
    sh.subset_info(0).name = "geometry";
    SubsetInfo& sixth = sh.subset_info(5);
    EXPECT_EQ(sh.num_subsets(), 6);
    EXPECT_EQ(sixth.name, "defSub");
    sixth.name = "edgeGeometry";
    sixth.color = {0.4f, 0.4f, 0.8f, 1.0f};
    sixth.property_map["layer"] = Variant(3);
    EXPECT_EQ(sh.subset_info(5).name, "edgeGeometry");
    EXPECT_EQ(sh.subset_info(0).name, "geometry");
    EXPECT_EQ(sh.subset_info(3).name, "defSub");
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));

    SubsetInfo plain;
    EXPECT_EQ(plain.name, "");
    EXPECT_EQ(plain.material_index, -1);
    EXPECT_EQ(plain.state, 0u);
}

TEST(SubsetHandler, CopyingOntoACopyOfTheGrid)
{
    SmallGrid g;
    GridSubsetHandler src(&g.grid);
    src.set_strict_inheritance(true);
    src.set_default_subset_index(2);
    src.assign_subset(g.t1, 1);
    src.assign_subset(g.quad, 0);
    src.assign_subset(g.ab, 3);
    src.assign_subset(g.vrt[4], 3);
    src.subset_info(1).name = "lava";
    src.subset_info(3).color = {0.8f, 0.4f, 0.4f, 1.0f};
    src.subset_info(3).property_map["k"] = Variant(std::string("v"));

    Grid copy(g.grid);
    GridSubsetHandler dest(&copy);
    dest.assign_subset(*copy.begin<Edge>(), 7);  // replaced by the copy
    dest = src;

    EXPECT_EQ(dest.num_subsets(), 4);
    EXPECT_FALSE(dest.strict_inheritance_enabled());  // not copied
    EXPECT_EQ(dest.get_default_subset_index(), 2);
    EXPECT_EQ(dest.subset_info(1).name, "lava");
    EXPECT_EQ(dest.subset_info(3).color, (std::array<float, 4>{0.8f, 0.4f, 0.4f, 1.0f}));
    EXPECT_EQ(dest.subset_info(3).property_map.at("k").to_stdstring(), "v");
    auto check_kind = [&](auto* tag) {
        using TBase = std::remove_pointer_t<decltype(tag)>;
        auto it = g.grid.begin<TBase>();
        auto cit = copy.begin<TBase>();
        for (; it != g.grid.end<TBase>(); ++it, ++cit)
            EXPECT_EQ(dest.subset_index(*cit), src.subset_index(*it));
    };
    check_kind(static_cast<Vertex*>(nullptr));
    check_kind(static_cast<Edge*>(nullptr));
    check_kind(static_cast<Face*>(nullptr));
    EXPECT_TRUE(mg_test::GridIsConsistent(copy, nullptr, &dest));

    // copying a handler onto itself keeps everything
    GridSubsetHandler& self = dest;
    dest = self;
    EXPECT_EQ(dest.num_subsets(), 4);
    EXPECT_EQ(dest.num<Face>(1), 1u);
    EXPECT_TRUE(mg_test::GridIsConsistent(copy, nullptr, &dest));
}

TEST(SubsetHandler, ClearRemovesEverySubset)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.grid.begin<Face>(), g.grid.end<Face>(), 2);
    sh.assign_subset(g.ab, 0);
    sh.clear();
    EXPECT_EQ(sh.num_subsets(), 0);
    EXPECT_EQ(sh.subset_index(g.quad), -1);
    EXPECT_EQ(sh.subset_index(g.ab), -1);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
    sh.assign_subset(g.quad, 0);
    EXPECT_THAT(listed<Face>(sh, 0), ElementsAre(g.quad));
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
}

TEST(SubsetHandler, ListOperationsWithTheIndicesKeptInStep)
{
    SmallGrid g;
    GridSubsetHandler sh(&g.grid);
    sh.assign_subset(g.t0, 0);
    sh.assign_subset(g.quad, 1);
    sh.assign_subset(g.t1, 2);

    // join 2 into 0: the lists alone change, then the indices follow
    sh.join_subset_lists(0, 0, 2);
    EXPECT_THAT(listed<Face>(sh, 0), ElementsAre(g.t0, g.t1));
    EXPECT_FALSE(sh.contains_faces(2));
    EXPECT_EQ(sh.subset_index(g.t1), 2);
    sh.change_subset_indices(0, 0);
    EXPECT_EQ(sh.subset_index(g.t1), 0);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));

    // swap 0 and 1 with their indices
    sh.swap_subset_lists(0, 1);
    sh.change_subset_indices(0, 0);
    sh.change_subset_indices(1, 1);
    EXPECT_THAT(listed<Face>(sh, 1), ElementsAre(g.t0, g.t1));
    EXPECT_THAT(listed<Face>(sh, 0), ElementsAre(g.quad));
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));

    // move 1 to the end
    sh.move_subset_lists(1, 2);
    sh.change_subset_indices(2, 2);
    sh.change_subset_indices(1, 1);
    EXPECT_THAT(listed<Face>(sh, 2), ElementsAre(g.t0, g.t1));
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));

    // erase the lists of a subset and its description's place
    sh.assign_subset(g.quad, -1);
    sh.erase_subset_lists(0);
    sh.change_subset_indices(1, 1);
    sh.change_subset_indices(0, 0);
    sh.add_required_subset_lists(2);
    EXPECT_EQ(sh.num_subset_lists(), 3);
    EXPECT_THAT(listed<Face>(sh, 1), ElementsAre(g.t0, g.t1));
    EXPECT_EQ(sh.subset_index(g.t0), 1);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
}

TEST(SubsetHandler, VolumesHaveSubsetsLikeEveryOtherKind)
{
    Grid grid;
    GridSubsetHandler sh(&grid);
    Vertex* v[5];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Volume* t0 = new mg_test::TestTetrahedron(v[0], v[1], v[2], v[3]);
    grid.register_volume(t0);
    sh.assign_subset(t0, 1);
    Volume* t1 = new mg_test::TestTetrahedron(v[1], v[0], v[2], v[4]);
    grid.register_volume(t1, t0);
    EXPECT_THAT(listed<Volume>(sh, 1), ElementsAre(t0, t1));
    EXPECT_TRUE(sh.contains_volumes(1));
    grid.erase(t0);
    EXPECT_THAT(listed<Volume>(sh, 1), ElementsAre(t1));
    EXPECT_TRUE(mg_test::GridIsConsistent(grid, nullptr, &sh));
}

TEST(SubsetHandler, AHandlerWhoseGridIsDestroyedIsEmpty)
{
    GridSubsetHandler sh(nullptr, SE_FACE | SE_EDGE);
    EXPECT_EQ(sh.grid(), nullptr);
    {
        SmallGrid g;
        sh.bind_grid(&g.grid);
        EXPECT_TRUE(sh.elements_are_supported(SE_FACE | SE_EDGE));
        EXPECT_FALSE(sh.elements_are_supported(SE_VERTEX));
        sh.assign_subset(g.t0, 2);
        sh.assign_subset(g.ab, 1);
        sh.assign_subset(g.vrt[0], 1);  // vertices are not supported
        EXPECT_EQ(sh.subset_index(g.vrt[0]), -1);
        EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, nullptr, &sh));
    }
    EXPECT_EQ(sh.grid(), nullptr);
    EXPECT_EQ(sh.num_subsets(), 0);
    EXPECT_EQ(sh.num_subset_lists(), 0);
    EXPECT_EQ(sh.supported_elements(), 0u);
    EXPECT_FALSE(sh.contains_faces(2));
}

TEST(SubsetHandler, ADestroyedHandlerLeavesNothingInTheGrid)
{
    SmallGrid g;
    auto count = [&] {
        return g.grid.vertex_attachment_pipe().num_attachments() +
               g.grid.edge_attachment_pipe().num_attachments() +
               g.grid.face_attachment_pipe().num_attachments() +
               g.grid.volume_attachment_pipe().num_attachments();
    };
    const size_t before = count();
    {
        GridSubsetHandler a(&g.grid);
        GridSubsetHandler b(&g.grid, SE_FACE);
        a.assign_subset(g.grid.begin<Face>(), g.grid.end<Face>(), 3);
        b.assign_subset(g.quad, 0);
        EXPECT_EQ(a.subset_index(g.quad), 3);
        EXPECT_EQ(b.subset_index(g.quad), 0);
    }
    EXPECT_EQ(count(), before);
    g.grid.erase(g.vrt[1]);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid));
}

}  // namespace
