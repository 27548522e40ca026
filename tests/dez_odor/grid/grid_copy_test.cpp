// Copying a grid and clearing its geometry.

#include "dez_odor/grid/grid.h"

#include "dez_odor/grid/global_attachments.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"
#include "support/grid/test_tetrahedron.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace mg;
using mg_test::GridIsConsistent;
using mg_test::TestTetrahedron;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

using vector3 = MathVector<3, float>;

template <class TElem>
std::vector<TElem*> elements(Grid& g)
{
    std::vector<TElem*> out;
    for (auto it = g.begin<TElem>(); it != g.end<TElem>(); ++it)
        out.push_back(*it);
    return out;
}

// Corner lists of the faces in list order, as vertex positions in the
// vertex list (so that grids can be compared).
std::vector<std::vector<int>> face_corners(Grid& g)
{
    std::vector<Vertex*> vrts = elements<Vertex>(g);
    std::vector<std::vector<int>> out;
    for (Face* f : elements<Face>(g)) {
        std::vector<int> corners;
        for (unsigned int i = 0; i < f->num_vertices(); ++i)
            corners.push_back(
                static_cast<int>(std::find(vrts.begin(), vrts.end(), f->vertex(i)) - vrts.begin()));
        out.push_back(corners);
    }
    return out;
}

// A small mesh: two triangles and a quadrilateral, positions and two
// attachments on the faces, one passed on and one not.
struct Source {
    explicit Source(unsigned int options = GRIDOPT_LEVEL_MESH) : grid(options)
    {
        grid.attach_to_vertices(aPosition);
        grid.attach_to_faces(aPassed, true);
        grid.attach_to_faces(aKept, false);
        AttachmentAccessor<Vertex, vector3> aaPos(grid.vertex_attachment_pipe(), aPosition);
        AttachmentAccessor<Face, int> aaPassed(grid.face_attachment_pipe(), aPassed);
        AttachmentAccessor<Face, int> aaKept(grid.face_attachment_pipe(), aKept);
        for (int i = 0; i < 6; ++i) {
            Vertex* v = *grid.create<RegularVertex>();
            aaPos[v] = vector3(static_cast<float>(i), static_cast<float>(i * i), 0);
            vrts.push_back(v);
        }
        Face* q = new Quadrilateral(vrts[2], vrts[3], vrts[4], vrts[5]);
        grid.register_face(q);
        Face* t1 = *grid.create<Triangle>(TriangleDescriptor(vrts[0], vrts[1], vrts[2]));
        Face* t2 = *grid.create<Triangle>(TriangleDescriptor(vrts[2], vrts[1], vrts[3]));
        aaPassed[q] = 30;
        aaPassed[t1] = 10;
        aaPassed[t2] = 20;
        aaKept[t1] = 99;
    }

    Grid grid;
    std::vector<Vertex*> vrts;
    Attachment<int> aPassed{"passed"};
    Attachment<int> aKept{"kept"};
};

TEST(GridCopy, CopiesElementsInOrderOptionsAndPassOnValues)
{
    Source src;
    Grid copy(0);
    copy = src.grid;

    EXPECT_EQ(copy.get_options(), src.grid.get_options());
    EXPECT_EQ(copy.num_vertices(), 6u);
    EXPECT_EQ(copy.num_edges(), src.grid.num_edges());
    EXPECT_EQ(copy.num<Triangle>(), 2u);
    EXPECT_EQ(copy.num<Quadrilateral>(), 1u);
    EXPECT_EQ(face_corners(copy), face_corners(src.grid));
    EXPECT_TRUE(GridIsConsistent(copy));

    // pass-on attachments come along with their values, the others do not
    ASSERT_TRUE(copy.has_vertex_attachment(aPosition));
    ASSERT_TRUE(copy.has_face_attachment(src.aPassed));
    EXPECT_FALSE(copy.has_face_attachment(src.aKept));
    AttachmentAccessor<Vertex, vector3> aaPos(copy.vertex_attachment_pipe(), aPosition);
    std::vector<float> ys;
    for (Vertex* v : elements<Vertex>(copy))
        ys.push_back(aaPos[v][1]);
    EXPECT_THAT(ys, ElementsAre(0, 1, 4, 9, 16, 25));
    AttachmentAccessor<Face, int> aaPassed(copy.face_attachment_pipe(), src.aPassed);
    std::vector<int> passed;
    for (Face* f : elements<Face>(copy))
        passed.push_back(aaPassed[f]);
    EXPECT_THAT(passed, ElementsAre(10, 20, 30));

    // vertices get fresh hash numbers from the copy's own counter
    std::vector<uint32_t> hashes;
    for (Vertex* v : elements<Vertex>(copy))
        hashes.push_back(v->hash_number());
    EXPECT_THAT(hashes, ElementsAre(0, 1, 2, 3, 4, 5));
}

TEST(GridCopy, CopyConstructorAndVolumes)
{
    Grid src;
    std::vector<Vertex*> v;
    for (int i = 0; i < 5; ++i)
        v.push_back(*src.create<RegularVertex>());
    src.register_volume(new TestTetrahedron(v[0], v[1], v[2], v[3]));
    src.register_volume(new TestTetrahedron(v[1], v[0], v[2], v[4]));

    Grid copy(src);
    EXPECT_EQ(copy.num_volumes(), 2u);
    EXPECT_EQ(copy.num_faces(), src.num_faces());
    EXPECT_EQ(copy.num_edges(), src.num_edges());
    EXPECT_NE(dynamic_cast<TestTetrahedron*>(*copy.begin<Volume>()), nullptr);
    EXPECT_TRUE(GridIsConsistent(copy));
}

TEST(GridCopy, SelfAssignmentKeepsTheGrid)
{
    Source src;
    Grid& alias = src.grid;
    src.grid = alias;
    EXPECT_EQ(src.grid.num_vertices(), 6u);
    EXPECT_EQ(src.grid.num_faces(), 3u);
    EXPECT_EQ(elements<Vertex>(src.grid), src.vrts);
    EXPECT_TRUE(src.grid.has_face_attachment(src.aKept));
    EXPECT_TRUE(GridIsConsistent(src.grid));
}

TEST(GridCopy, CopyIntoAGridThatHeldMoreElements)
{
    // The target's rows outnumber the source's: no row may be read from
    // beyond the source's values (ASan watches this).
    Source big;
    for (int i = 0; i < 100; ++i)
        big.grid.create<RegularVertex>();

    Grid empty(GRIDOPT_LEVEL_MESH);
    empty.attach_to_vertices(aPosition);  // pass-on, no vertices at all
    empty.attach_to_faces(big.aPassed, true);
    big.grid = empty;
    EXPECT_EQ(big.grid.num_vertices(), 0u);
    EXPECT_TRUE(big.grid.has_vertex_attachment(aPosition));
    EXPECT_TRUE(GridIsConsistent(big.grid));

    Source small;
    Grid target(0);
    for (int i = 0; i < 50; ++i)
        target.create<RegularVertex>();
    target = small.grid;
    EXPECT_EQ(target.num_vertices(), 6u);
    AttachmentAccessor<Vertex, vector3> aaPos(target.vertex_attachment_pipe(), aPosition);
    EXPECT_EQ(aaPos[elements<Vertex>(target).back()][1], 25.0f);
    EXPECT_TRUE(GridIsConsistent(target));

    // a vertex made in a row that was unused by the copy starts fresh
    Vertex* fresh = *target.create<RegularVertex>();
    EXPECT_EQ(aaPos[fresh], vector3(0, 0, 0));
}

TEST(GridCopy, ClearGeometryKeepsTheOptionsAndTellsTheObservers)
{
    Source src(GRIDOPT_LEVEL_MESH | EDGEOPT_STORE_ASSOCIATED_FACES);
    mg_test::NotificationLog log;
    mg_test::RecordingObserver obs(log);
    obs.observe(src.grid);
    const size_t numElements =
        src.grid.num_vertices() + src.grid.num_edges() + src.grid.num_faces();

    src.grid.clear_geometry();
    EXPECT_EQ(src.grid.get_options(),
              static_cast<unsigned int>(GRIDOPT_LEVEL_MESH | EDGEOPT_STORE_ASSOCIATED_FACES));
    EXPECT_EQ(src.grid.num_vertices() + src.grid.num_edges() + src.grid.num_faces(), 0u);
    EXPECT_EQ(log.lines().size(), numElements);
    EXPECT_EQ(log.lines().front().rfind("face_to_be_erased", 0), 0u);
    EXPECT_EQ(log.lines().back().rfind("vertex_to_be_erased", 0), 0u);

    // the grid works on as before
    Vertex* a = *src.grid.create<RegularVertex>();
    Vertex* b = *src.grid.create<RegularVertex>();
    Vertex* c = *src.grid.create<RegularVertex>();
    src.grid.create<Triangle>(TriangleDescriptor(a, b, c));
    EXPECT_EQ(src.grid.num_edges(), 3u);
    EXPECT_TRUE(GridIsConsistent(src.grid));
}

}  // namespace
