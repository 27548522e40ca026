// Seeded random sequences of creations and erasures (and option switches),
// with the whole grid checked after every step.

#include "dez_odor/grid/grid.h"

#include "support/case_name.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"
#include "support/grid/stdout_capture.h"
#include "support/grid/test_tetrahedron.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

using namespace mg;
using mg_test::GridIsConsistent;

template <class TElem>
std::vector<TElem*> elements(Grid& g)
{
    std::vector<TElem*> out;
    for (auto it = g.begin<TElem>(); it != g.end<TElem>(); ++it)
        out.push_back(*it);
    return out;
}

std::vector<Vertex*> sorted_corners(const IVertexGroup& g)
{
    std::vector<Vertex*> v(g.vertices(), g.vertices() + g.num_vertices());
    std::sort(v.begin(), v.end());
    return v;
}

class RandomGridRun {
public:
    RandomGridRun(unsigned int options, unsigned int seed, bool withVolumes)
        : m_grid(options), m_rng(seed), m_withVolumes(withVolumes), m_observer(m_log)
    {
        m_observer.observe(m_grid);
    }

    Grid& grid() { return m_grid; }

    // One random operation.
    void step()
    {
        const int op = pick(100);
        std::vector<Vertex*> vrts = elements<Vertex>(m_grid);
        if (op < 22 || vrts.size() < 5) {
            if (vrts.size() < 40)
                m_grid.create<RegularVertex>();
        } else if (op < 50) {
            create_face(vrts, 3);
        } else if (op < 56) {
            create_face(vrts, 4);
        } else if (op < 64) {
            Vertex* a = vrts[pick(vrts.size())];
            Vertex* b = vrts[pick(vrts.size())];
            if (a != b && !has_edge(a, b))
                m_grid.create<RegularEdge>(EdgeDescriptor(a, b));
        } else if (op < 70 && m_withVolumes) {
            std::vector<Vertex*> c = distinct(vrts, 4);
            if (!has_volume(c))
                m_grid.register_volume(new mg_test::TestTetrahedron(c[0], c[1], c[2], c[3]));
        } else if (op < 78) {
            m_grid.erase(vrts[pick(vrts.size())]);
        } else if (op < 88) {
            std::vector<Edge*> edges = elements<Edge>(m_grid);
            if (!edges.empty())
                m_grid.erase(edges[pick(edges.size())]);
        } else if (op < 97) {
            std::vector<Face*> faces = elements<Face>(m_grid);
            if (!faces.empty())
                m_grid.erase(faces[pick(faces.size())]);
        } else {
            std::vector<Volume*> vols = elements<Volume>(m_grid);
            if (!vols.empty())
                m_grid.erase(vols[pick(vols.size())]);
        }
    }

    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }
    int pick(int n) { return static_cast<int>(pick(static_cast<size_t>(n))); }

private:
    std::vector<Vertex*> distinct(std::vector<Vertex*> vrts, size_t n)
    {
        std::shuffle(vrts.begin(), vrts.end(), m_rng);
        vrts.resize(n);
        return vrts;
    }

    void create_face(const std::vector<Vertex*>& vrts, size_t n)
    {
        std::vector<Vertex*> c = distinct(vrts, n);
        std::vector<Vertex*> key = c;
        std::sort(key.begin(), key.end());
        for (Face* f : elements<Face>(m_grid)) {
            if (sorted_corners(*f) == key)
                return;
        }
        if (n == 3)
            m_grid.create<Triangle>(TriangleDescriptor(c[0], c[1], c[2]));
        else
            m_grid.register_face(new Quadrilateral(c[0], c[1], c[2], c[3]));
    }

    bool has_edge(Vertex* a, Vertex* b)
    {
        for (Edge* e : elements<Edge>(m_grid)) {
            if ((e->vertex(0) == a && e->vertex(1) == b) ||
                (e->vertex(0) == b && e->vertex(1) == a))
                return true;
        }
        return false;
    }

    bool has_volume(std::vector<Vertex*> c)
    {
        std::sort(c.begin(), c.end());
        for (Volume* v : elements<Volume>(m_grid)) {
            if (sorted_corners(*v) == c)
                return true;
        }
        return false;
    }

    Grid m_grid;
    std::mt19937 m_rng;
    bool m_withVolumes;
    mg_test::NotificationLog m_log;
    mg_test::RecordingObserver m_observer;
};

struct RandomRunParam {
    const char* name;
    unsigned int options;
    bool volumes;
};

void PrintTo(const RandomRunParam& p, std::ostream* os)
{
    *os << "options 0x" << std::hex << p.options << (p.volumes ? " with volumes" : "");
}

class GridRandomSequence : public ::testing::TestWithParam<RandomRunParam> {};

TEST_P(GridRandomSequence, StaysConsistentAfterEveryStep)
{
    const RandomRunParam p = GetParam();
    for (unsigned int seed : {1u, 2u, 3u}) {
        mg_test::StdoutCapture quiet;  // grids with few options warn as they switch
        RandomGridRun run(p.options, seed, p.volumes);
        for (int i = 0; i < 400; ++i) {
            run.step();
            ASSERT_TRUE(GridIsConsistent(run.grid())) << "seed " << seed << ", step " << i;
        }
        // a copy of whatever came out is consistent too
        Grid copy(run.grid());
        ASSERT_TRUE(GridIsConsistent(copy)) << "copy, seed " << seed;
        ASSERT_EQ(copy.num_faces(), run.grid().num_faces());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, GridRandomSequence,
    ::testing::Values(
        RandomRunParam{"level_mesh", GRIDOPT_LEVEL_MESH, false},
        RandomRunParam{"default_with_volumes", GRIDOPT_DEFAULT, true},
        RandomRunParam{"level_mesh_edges_store_faces", GRIDOPT_LEVEL_MESH | EDGEOPT_STORE_ASSOCIATED_FACES, false},
        RandomRunParam{"no_options_with_volumes", 0, true},
        RandomRunParam{"all_links_with_volumes",
                       VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
                           VRTOPT_STORE_ASSOCIATED_VOLUMES | EDGEOPT_STORE_ASSOCIATED_FACES |
                           EDGEOPT_STORE_ASSOCIATED_VOLUMES | FACEOPT_STORE_ASSOCIATED_EDGES |
                           FACEOPT_STORE_ASSOCIATED_VOLUMES | VOLOPT_STORE_ASSOCIATED_EDGES |
                           VOLOPT_STORE_ASSOCIATED_FACES,
                       true},
        RandomRunParam{
            "all_links_and_autogeneration_with_volumes",
            0x1FFFFFFFu & (VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
                           VRTOPT_STORE_ASSOCIATED_VOLUMES | EDGEOPT_STORE_ASSOCIATED_FACES |
                           EDGEOPT_STORE_ASSOCIATED_VOLUMES | FACEOPT_STORE_ASSOCIATED_EDGES |
                           FACEOPT_STORE_ASSOCIATED_VOLUMES | FACEOPT_AUTOGENERATE_EDGES |
                           VOLOPT_STORE_ASSOCIATED_EDGES | VOLOPT_STORE_ASSOCIATED_FACES |
                           VOLOPT_AUTOGENERATE_EDGES | VOLOPT_AUTOGENERATE_FACES),
            true}),
    test_names::ByNameMember());

TEST(GridRandomSequence, OptionsSwitchedBetweenSteps)
{
    // Every option may be switched on or off between random steps; each
    // switch rebuilds or drops what it stands for.
    const unsigned int bits[] = {VRTOPT_STORE_ASSOCIATED_EDGES,    VRTOPT_STORE_ASSOCIATED_FACES,
                                 VRTOPT_STORE_ASSOCIATED_VOLUMES,  EDGEOPT_STORE_ASSOCIATED_FACES,
                                 EDGEOPT_STORE_ASSOCIATED_VOLUMES, FACEOPT_STORE_ASSOCIATED_EDGES,
                                 FACEOPT_STORE_ASSOCIATED_VOLUMES, FACEOPT_AUTOGENERATE_EDGES,
                                 VOLOPT_STORE_ASSOCIATED_EDGES,    VOLOPT_STORE_ASSOCIATED_FACES,
                                 VOLOPT_AUTOGENERATE_EDGES,        VOLOPT_AUTOGENERATE_FACES};
    for (unsigned int seed : {7u, 8u, 9u, 10u}) {
        mg_test::StdoutCapture quiet;
        RandomGridRun run(0, seed, true);
        for (int i = 0; i < 500; ++i) {
            if (run.pick(6) == 0) {
                const unsigned int bit = bits[run.pick(12)];
                const unsigned int opts = run.grid().get_options() ^ bit;
                run.grid().change_options(opts);
            } else {
                run.step();
            }
            ASSERT_TRUE(GridIsConsistent(run.grid()))
                << "seed " << seed << ", step " << i << ", options 0x" << std::hex
                << run.grid().get_options();
        }
    }
}

}  // namespace
