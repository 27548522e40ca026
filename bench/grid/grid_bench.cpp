// The grid on the level's workload: building the level disc, and erasing and
// recreating the elements of an explosion-sized hole in it.

#include "support/grid/level_disc.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

namespace {

using namespace mg;
using mg_test::LevelDiscGrid;
using mg_test::vector3;

void BM_BuildLevelDisc(benchmark::State& state)
{
    for (auto _ : state) {
        auto level = std::make_unique<LevelDiscGrid>(100.0f, 2.0f);
        benchmark::DoNotOptimize(level->grid.num_faces());
        state.PauseTiming();
        level.reset();
        state.ResumeTiming();
    }
    state.counters["triangles"] = 15658;
}
BENCHMARK(BM_BuildLevelDisc)->Unit(benchmark::kMillisecond);

bool inside(const vector3& p, float cx, float cy, float r)
{
    const float dx = p[0] - cx;
    const float dy = p[1] - cy;
    return dx * dx + dy * dy < r * r;
}

// The triangles whose three corners all lie in the circle, as corner triples.
std::vector<Face*> triangles_in(LevelDiscGrid& level, float cx, float cy, float r)
{
    std::vector<Face*> faces;
    for (auto it = level.grid.begin<Triangle>(); it != level.grid.end<Triangle>(); ++it) {
        Face* f = *it;
        bool in = true;
        for (unsigned int i = 0; i < 3 && in; ++i)
            in = inside(level.aaPos[f->vertex(i)], cx, cy, r);
        if (in)
            faces.push_back(f);
    }
    return faces;
}

// Erases the triangles of the hole (their edges stay) and makes them again.
void BM_HoleTriangles(benchmark::State& state)
{
    const float cx = static_cast<float>(state.range(0));
    const float r = static_cast<float>(state.range(1));
    LevelDiscGrid level(100.0f, 2.0f);
    std::vector<TriangleDescriptor> corners;
    for (Face* f : triangles_in(level, cx, 0, r))
        corners.emplace_back(f->vertex(0), f->vertex(1), f->vertex(2));

    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Face*> hole = triangles_in(level, cx, 0, r);
        state.ResumeTiming();
        for (Face* f : hole)
            level.grid.erase(f);
        for (const TriangleDescriptor& td : corners)
            level.grid.create<Triangle>(td);
    }
    state.counters["triangles"] = static_cast<double>(corners.size());
}
BENCHMARK(BM_HoleTriangles)->Args({0, 10})->Args({90, 15})->Unit(benchmark::kMicrosecond);

// Erases the vertices of the hole, which takes their triangles and edges
// with them, then makes the vertices and the triangles again (the triangles
// bring their edges).
void BM_HoleVertices(benchmark::State& state)
{
    const float cx = static_cast<float>(state.range(0));
    const float r = static_cast<float>(state.range(1));
    LevelDiscGrid level(100.0f, 2.0f);

    size_t numTriangles = 0;
    size_t numVertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // what the hole holds now: its vertices, and every triangle touching
        // one of them as corner indices (negative: a vertex outside)
        std::vector<Vertex*> vrts;
        std::vector<vector3> positions;
        std::map<Vertex*, int> index;
        for (auto it = level.grid.begin<Vertex>(); it != level.grid.end<Vertex>(); ++it) {
            if (inside(level.aaPos[*it], cx, 0, r)) {
                index[*it] = static_cast<int>(vrts.size());
                vrts.push_back(*it);
                positions.push_back(level.aaPos[*it]);
            }
        }
        struct Corners {
            Vertex* outside[3];
            int in[3];
        };
        std::vector<Corners> tris;
        for (auto it = level.grid.begin<Triangle>(); it != level.grid.end<Triangle>(); ++it) {
            Corners c{};
            bool touches = false;
            for (unsigned int i = 0; i < 3; ++i) {
                auto found = index.find((*it)->vertex(i));
                c.in[i] = found == index.end() ? -1 : found->second;
                c.outside[i] = found == index.end() ? (*it)->vertex(i) : nullptr;
                touches |= found != index.end();
            }
            if (touches)
                tris.push_back(c);
        }
        numTriangles = tris.size();
        numVertices = vrts.size();
        state.ResumeTiming();

        for (Vertex* v : vrts)
            level.grid.erase(v);
        std::vector<Vertex*> fresh(vrts.size());
        for (size_t i = 0; i < vrts.size(); ++i) {
            fresh[i] = *level.grid.create<RegularVertex>();
            level.aaPos[fresh[i]] = positions[i];
        }
        for (const Corners& c : tris) {
            Vertex* v[3];
            for (int i = 0; i < 3; ++i)
                v[i] = c.in[i] >= 0 ? fresh[static_cast<size_t>(c.in[i])] : c.outside[i];
            level.grid.create<Triangle>(TriangleDescriptor(v[0], v[1], v[2]));
        }
    }
    state.counters["vertices"] = static_cast<double>(numVertices);
    state.counters["triangles"] = static_cast<double>(numTriangles);
}
BENCHMARK(BM_HoleVertices)->Args({0, 10})->Args({90, 15})->Unit(benchmark::kMicrosecond);

}  // namespace
